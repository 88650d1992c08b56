#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {
class ArchiveReader;
}

namespace document {

// The file-format version every member of a ".QRS" file begins with: writers use the application's
// current version (32, or 25 while saving in the old format); readers accept 2..32.
inline constexpr int32_t kCurrentFileVersion = 32;
inline constexpr int32_t kOldFormatFileVersion = 25;
inline constexpr int32_t kMinFileVersion = 2;
inline constexpr int32_t kMaxFileVersion = 32;

// Reads a member's int32 version; a version outside 2..32 means the member is damaged or from an
// unknown program, and the rest of the file cannot be trusted to be aligned: FormatError.
int32_t ReadMemberVersion(platform::ArchiveReader& ar);

// Reads a plain int32 element count and checks that the stream still holds count elements of
// element_bytes each: FormatError otherwise (also for a negative count).
int32_t ReadInt32Count(platform::ArchiveReader& ar, size_t element_bytes);

// The same for the framework's archive count (16 bits, or 0xFFFF then 32 bits). trailing_bytes is
// what must still follow the elements (so the check is exact, not only bounded).
int32_t ReadArchiveCount(platform::ArchiveReader& ar, size_t element_bytes, size_t trailing_bytes = 0);

}  // namespace document
