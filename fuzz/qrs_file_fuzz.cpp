#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"

// Feeds the bytes to the document as a whole ".QRS" file, the way opening a recording reads it
// (the four members through CZK470Doc::Serialize), then does what opening does with the loaded
// records without a sample file: the template-class lists and the heart-rate extremes. A loaded
// file must save stably: its bytes read back and save again to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  static platform::MemoryProfileStore profile;
  static CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  // Each input starts from the channel sets of a fresh document.
  static const document::DocumentContext fresh = document::Context();
  document::Context() = fresh;

  try {
    platform::ArchiveReader ar({data, size}, "fuzz.QRS");
    doc.Serialize(ar);
  } catch (const platform::IoError&) {
    return 0;
  }
  const std::vector<uint8_t> first = doc.StoreToBytes();
  platform::ArchiveReader back(first, "fuzz round trip");
  doc.Serialize(back);
  if (!back.AtEnd() || doc.StoreToBytes() != first) __builtin_trap();

  doc.BuildTemplateClassList();
  doc.BuildPMTemplateClassList();
  doc.UpdateTemplateClassCounts();
  doc.RecalcHeartRateExtremes(0, 0, 0);
  (void)doc.StoreToBytes();
  return 0;
}
