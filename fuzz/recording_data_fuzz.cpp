#include <cstddef>
#include <cstdint>

#include "document/document_context.h"
#include "document/recording_data.h"
#include "member_fuzz.h"
#include "platform/clock.h"

// The first byte stands for what the patient record left in g_AnalysisChannels (0, 1 or 2
// channels), which version 26 depends on; the rest is the member.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  if (size == 0) return 0;
  document::Context().Reset();
  constexpr int32_t kChannels[] = {0, 1};
  document::Context().g_AnalysisChannels.Assign(std::span<const int32_t>(kChannels, data[0] % 3));
  return FuzzMember<TRecordingData>({data + 1, size - 1}, [] { return TRecordingData(clock); });
}
