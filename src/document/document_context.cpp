#include "document/document_context.h"

#include <cassert>

#include "platform/process_context.h"

namespace document {

void ChannelSet::Assign(std::span<const int32_t> values) {
  assert(values.size() <= static_cast<size_t>(capacity));
  channels = {};
  count = static_cast<int32_t>(values.size());
  for (size_t i = 0; i < values.size(); ++i) channels[i] = values[i];
}

void DocumentContext::Reset() {
  g_DisplayChannels = {3, 2, {0, 1, 2}};
  g_RecordingChannels = {3, 2, {0, 1, 2}};
  g_AnalysisChannels = {2, 2, {0, 1, 0}};
  g_STChannels = {2, 2, {0, 1, 0}};
  edit_mode = 0;
}

ChannelSet& DocumentContext::ChannelSetByNumber(int set_number) {
  switch (set_number) {
    case 0: return g_DisplayChannels;
    case 1: return g_RecordingChannels;
    case 2: return g_AnalysisChannels;
    default:
      assert(set_number == 3);
      return g_STChannels;
  }
}

DocumentContext& Context() {
  if (void* own = platform::ThreadSlotValue(platform::ThreadSlot::kDocumentContext))
    return *static_cast<DocumentContext*>(own);
  static DocumentContext context;
  return context;
}

}  // namespace document

namespace {

// The globals the document layer shares, as a fresh process starts them.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kDocument, [] { document::Context().Reset(); });

}  // namespace
