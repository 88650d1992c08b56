#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/ecg_block.h"
#include "document/ref_signal_file.h"
#include "fuzz_file.h"

// Feeds the bytes to the reference signal reader as a file: the first byte picks the extension
// (rate, resolution and channel count, valid or not), the rest is the file. Every minute the
// reader claims (at most 8, and one past the end) is read into three blocks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kExtensions[] = {"112", "113", "252", "253", "2C3", "552", "A53",
                                            "AA2", "1C3", "212", "254", "X52", "25A", "a13"};
  constexpr size_t kKinds = sizeof kExtensions / sizeof kExtensions[0];
  if (size == 0) return 0;
  const std::string path =
      FuzzFolder::Get().Write(std::string("f.") + kExtensions[data[0] % kKinds], {data + 1, size - 1});
  std::array<TECGBlock, 3> blocks;
  const int minutes = GetRefDurationMinutes(path);
  for (int m = 0; m <= minutes && m < 8; ++m) (void)ReadRefSignalBlock(path, m, blocks);
  return 0;
}
