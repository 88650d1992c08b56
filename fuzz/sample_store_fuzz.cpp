#include <cstddef>
#include <cstdint>
#include <string>

#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/sample_file_checker.h"
#include "document/zk130_info_list.h"
#include "fuzz_file.h"
#include "platform/io_error.h"

// Feeds the bytes to the sample store as a sample file: the first byte picks the file kind, the
// rest is the file. The store is opened (IoError is the only expected outcome), every minute it
// indexes is decoded with marker reporting, and the checking scan runs over the same file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kExtensions[] = {"CMP", "DAT", "TAP", "RX3", "KZC", "KHI", "252", "2C3"};
  if (size == 0) return 0;
  const std::string path =
      FuzzFolder::Get().Write(std::string("f.") + kExtensions[data[0] % 8], {data + 1, size - 1});
  TZK130InfoList markers;
  try {
    TRawECGData store(&markers, path);
    TECGBlock block;
    for (int m = 0; m < store.GetWholeMinutes() && m < 64; ++m) {
      store.GetAnalysisMinute(block, 1, m, true);
      for (int c = 0; c < 3; ++c) store.GetChannelMinute(c, m);
    }
  } catch (const platform::IoError&) {
  }
  if (data[0] % 8 < 2) (void)SampleFileChecker::CheckReport(path);
  return 0;
}
