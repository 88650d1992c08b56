#include "reports/parts/print_user_event_strips.h"

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"

TPrintUserEventStrips::TPrintUserEventStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                             TPrintAutoGain* auto_gain)
    : TPrintStripPage(full_header, doc, report_values, auto_gain) {}

TPrintUserEventStrips::~TPrintUserEventStrips() = default;

int TPrintUserEventStrips::GetPageCount(win::CPrintInfo&) {
  page_count_ = 0;
  if (IsSelectedFor(kOwnCommand, SettingKey::kPrintUserSections)) Paginate();
  return page_count_;
}

void TPrintUserEventStrips::Paginate() {
  items_.clear();
  page_count_ = 0;
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const TEventList& events = doc->GetEventList();
  int remaining = events.GetCounter(kClassUser);
  int next = 0;
  while (remaining > 0) {
    TPrintStripPageItem item;
    for (int row = 0; row < kRows && remaining > 0; ++row) {
      while (next < events.GetSize() && events.ElementAt(next)->GetClass() != kClassUser) ++next;
      if (next >= events.GetSize()) {
        remaining = 0;
        break;
      }
      item.positions[static_cast<size_t>(row)] = events.ElementAt(next)->GetPosition();
      ++next;
      --remaining;
    }
    items_.push_back(item);
    ++page_count_;
  }
}

void TPrintUserEventStrips::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || page < 1 || page > static_cast<int>(items_.size())) return;
  TPrintStripPage::PrintPage(dc, info, page);
  SetOffset(0, 1500);
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsUserEventsTitle, 0, 12000, 0, 600, kLeftText);
}
