#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/ecg_block.h"
#include "document/signal_exchange_file.h"
#include "fuzz_file.h"

// Feeds the bytes to the "KHI" exchange reader as a file: the header, then every minute it
// claims (at most 8, and one past the end) into three blocks. The reader answers false for what
// it refuses; a crash or a sanitizer report is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder::Get().Write("f.KHI", {data, size});
  TSignalExchangeFile file;
  if (!file.ReadHeader(path)) return 0;
  std::array<TECGBlock, 3> blocks;
  const int minutes = file.GetDurationMinutes();
  for (int m = 0; m <= minutes && m < 8; ++m) (void)file.ReadBlock(path, m, blocks);
  return 0;
}
