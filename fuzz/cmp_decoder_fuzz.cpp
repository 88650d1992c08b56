#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/cmp_decoder.h"
#include "document/ecg_block.h"
#include "document/sample_file.h"
#include "document/sample_file_checker.h"
#include "document/zk130_info_list.h"
#include "fuzz_file.h"
#include "platform/io_error.h"

// Feeds the bytes to the compressed sample decoder as a "CMP" file: the index scan, every
// indexed minute (at most 64) decoded with marker reporting, then the checking scan and the
// check report over the same file. Only IoError is an expected outcome.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder::Get().Write("f.CMP", {data, size});
  static constexpr int kAnalysed[] = {0, 1};
  TZK130InfoList markers;
  const CmpMarkerTarget target{&markers, kAnalysed};
  std::array<TECGBlock, 3> blocks;
  try {
    const SampleFile file(path);
    CmpDecoder decoder;
    decoder.Index(file);
    for (int m = 0; m < decoder.WholeMinutes() && m < 64; ++m) {
      for (TECGBlock& block : blocks) block.samples.fill(0);
      decoder.DecodeMinute(file, m, true, std::span<TECGBlock, 3>(blocks), target);
    }
  } catch (const platform::IoError&) {
  }
  try {
    const SampleFile file(path);
    CmpDecoder checker;
    const int minutes = checker.CheckNew(file, [](const std::string&) {});
    for (int m = 0; m < minutes && m < 64; ++m)
      checker.DecodeMinute(file, m, false, std::span<TECGBlock, 3>(blocks), target);
  } catch (const platform::IoError&) {
  }
  (void)SampleFileChecker::CheckReport(path);
  return 0;
}
