#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/clock.h"
#include "tools/kzt_import.h"

// Feeds the bytes, from memory, to the KZT exchange file parser. It answers nullopt for what it
// refuses; a crash or a sanitizer report is a finding. What it accepts must have the recorder text
// of a KZT import and a sex the records know.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  const std::optional<tools::KztRecords> records =
      tools::ParseKztFile(std::span<const uint8_t>(data, size), clock);
  if (records &&
      (records->recording.identity_text != "KZT" || records->patient.sex < 0 || records->patient.sex > 2))
    __builtin_trap();
  return 0;
}
