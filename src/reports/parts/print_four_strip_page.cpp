#include "reports/parts/print_four_strip_page.h"

#include <string>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {{kIdsUserEventsTitle, "User events:"}};
constexpr platform::StringEntry kGermanStrings[] = {{kIdsUserEventsTitle, "Benutzerereignisse:"}};

}  // namespace

void AddStripPageResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}

TPrintStripPage::TPrintStripPage() = default;

TPrintStripPage::TPrintStripPage(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                 TPrintAutoGain* auto_gain)
    : TPrintSampleStrips(full_header, doc, report_values, auto_gain) {}

TPrintStripPage::~TPrintStripPage() = default;

void TPrintStripPage::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || page < 1 || page > static_cast<int>(items_.size())) return;
  TPrinter::PrintPage(dc, info, page);
  if (IsPdfExport()) {
    std::string title = platform::LoadString(kIdsUserEventsTitle);
    while (!title.empty() && title.back() == ':') title.pop_back();
    WritePageTitleMarker(dc, title);
  }
  SetOffset(0, 0);
  ChooseSpeedAndGain();
  const TPrintStripPageItem& item = items_[static_cast<size_t>(page - 1)];
  for (int row = 0; row < kRows; ++row) {
    SetStripRect(0, kFirstStripTop + kStripPitch * row, kStripWidth, kStripHeight);
    PrintStripRow(dc, info, item.positions[static_cast<size_t>(row)]);
  }
}

void TPrintStripPage::PrintStripRow(gfx::Canvas& dc, win::CPrintInfo& info, int32_t position) {
  if (position < 0) return;
  PrintPaper(dc, info);
  PrintLegend(dc);
  const int32_t start = StripStart(position);
  PrintECG(dc, info, start);
  PrintTimeLabel(dc, start);
  PrintAnnotations(dc, start);
}
