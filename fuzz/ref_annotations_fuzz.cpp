#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/qrs_list.h"
#include "fuzz_file.h"
#include "tools/validation/reference_annotations.h"

// Feeds the bytes, as a reference annotation file, to ReadRefAnnotations. The beats it accepts
// are at most one per record and in order, and a list it read writes and reads back unchanged. A
// crash, a sanitizer report or any exception is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder::Get().Write("fuzz.MIN", std::span(data, size));
  TQRSList beats;
  if (!tools::ReadRefAnnotations(path, beats, 125.0)) {
    if (beats.GetSize() != 0) __builtin_trap();
    return 0;
  }
  if (static_cast<size_t>(beats.GetSize()) > size / 8) __builtin_trap();
  for (int i = 1; i < beats.GetSize(); ++i)
    if (beats.GetAt(i).GetPosition() < beats.GetAt(i - 1).GetPosition()) __builtin_trap();
  if (beats.GetSize() == 0) return 0;
  const std::string copy = FuzzFolder::Get().Path("copy.MIN");
  TQRSList again;
  if (!tools::WriteRefAnnotations(copy, beats, 125.0) || !tools::ReadRefAnnotations(copy, again, 125.0) ||
      !(again == beats))
    __builtin_trap();
  return 0;
}
