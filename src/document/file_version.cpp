#include "document/file_version.h"

#include <cassert>
#include <limits>
#include <string>

#include "platform/archive.h"
#include "platform/io_error.h"

namespace document {
namespace {

int32_t CheckCount(platform::ArchiveReader& ar, int64_t count, size_t element_bytes, size_t trailing_bytes) {
  assert(count >= 0 && element_bytes > 0);
  const size_t remaining = ar.Remaining();
  const bool fits = remaining >= trailing_bytes &&
                    static_cast<uint64_t>(count) <= (remaining - trailing_bytes) / element_bytes;
  if (!fits || count > std::numeric_limits<int32_t>::max())
    throw platform::FormatError(ar.Where(), "element count " + std::to_string(count) + " exceeds the file (" +
                                                std::to_string(remaining) + " bytes left)");
  return static_cast<int32_t>(count);
}

}  // namespace

int32_t ReadMemberVersion(platform::ArchiveReader& ar) { return ar.ReadInt32(); }

int32_t ReadInt32Count(platform::ArchiveReader& ar, size_t element_bytes) {
  const int32_t count = ar.ReadInt32();
  if (count <= 0) return 0;
  return CheckCount(ar, count, element_bytes, 0);
}

int32_t ReadArchiveCount(platform::ArchiveReader& ar, size_t element_bytes, size_t trailing_bytes) {
  return CheckCount(ar, ar.ReadCount(), element_bytes, trailing_bytes);
}

}  // namespace document
