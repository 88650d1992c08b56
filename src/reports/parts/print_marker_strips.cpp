#include "reports/parts/print_marker_strips.h"

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"

TPrintMarkerStrips::TPrintMarkerStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                       TPrintAutoGain* auto_gain)
    : TPrintSampleStrips(full_header, doc, report_values, auto_gain) {
  context_ends_at_strip_ = 1;
}

bool TPrintMarkerStrips::IsSelected() const { return IsSelectedFor(kOwnCommand, SettingKey::kPrintMarker); }

void TPrintMarkerStrips::Paginate() {
  records_.clear();
  page_count_ = 0;
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const std::string caption = platform::LoadString(kIdsMarkersCaption);
  size_t row = kRowsPerPage;  // full: the next marker opens a page
  for (const TEvent& event : doc->GetEventList().Elements()) {
    if (event.GetClass() != kClassMarker) continue;
    if (row == kRowsPerPage) {
      records_.push_back({});
      records_.back().caption = caption;
      records_.back().code = kClassMarker;
      row = 0;
    }
    records_.back().beats[row++] = TQRSComplex(event.GetPosition(), kClassMarker);
  }
  page_count_ = static_cast<int>(records_.size());
}
