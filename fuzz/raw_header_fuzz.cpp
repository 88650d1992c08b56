#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "tools/raw_file_checker.h"

// Feeds the bytes to the RAW card image checker as a "RAW" file. The checker reports every
// problem as a line; only IoError is an expected escape, and the report must end with its verdict.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  static const platform::FixedLocale locale(platform::FixedLocale::Kind::k24Hour);
  const std::string path = FuzzFolder::Get().Write("f.RAW", {data, size});
  try {
    const auto lines = tools::CheckRawFileLines(path, clock, locale);
    if (lines.empty() || (lines.back() != "No error found" && lines.back() != "Error found"))
      __builtin_trap();
  } catch (const platform::IoError&) {
  }
  return 0;
}
