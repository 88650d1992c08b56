#include "reports/print_hr_events_page.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <string>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/print_hr_trend_chart.h"
#include "reports/print_time_axis.h"
#include "reports/report_part_resources.h"

namespace {

constexpr int kNameLeft = 650;
constexpr int kPlotLeft = 2650;
constexpr int kPlotWidth = 14350;
constexpr int kFirstGroupLine = 8;

// The event kinds a row shows besides its own code.
std::span<const int> CollectedKinds(int row_code) {
  static constexpr int kLeadOff[] = {32, 34};
  static constexpr int kSVBigeminy[] = {14};
  static constexpr int kArrhythmia[] = {30, 31};
  switch (row_code) {
    case kClassLeadOff:
      return kLeadOff;
    case kClassSVBigeminy:
      return kSVBigeminy;
    case kClassArrhythmia:
      return kArrhythmia;
    default:
      return {};
  }
}

bool RowShowsEvent(int row_code, int kind) {
  if (kind == row_code) return true;
  for (const int collected : CollectedKinds(row_code))
    if (kind == collected) return true;
  return false;
}

// The first n code points of a UTF-8 text, one string each.
std::vector<std::string> Characters(const std::string& text, size_t n) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size() && characters.size() < n;) {
    size_t length = 1;
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
      ++length;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

}  // namespace

TPrintHREventsPage::TPrintHREventsPage(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values),
      trend_chart_(std::make_unique<TPrintHRTrendChart>(doc, 0, 14500, kTableWidth, 6500)) {}

TPrintHREventsPage::~TPrintHREventsPage() = default;

int TPrintHREventsPage::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintHREvents) != 0);
  page_count_ = selected ? 1 : 0;
  return page_count_;
}

void TPrintHREventsPage::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  TPrinter::PrintPage(dc, info, page);
  SetOffset(0, kPageYOffset);
  std::string title = platform::LoadString(kIdsHREventsTitle);
  if (IsPdfExport()) {
    std::string bookmark = title;
    while (!bookmark.empty() && bookmark.back() == ':') bookmark.pop_back();
    WritePageTitleMarker(dc, bookmark);
  }
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, title, 0, 8000, 2500, 3100, kLeftText);
  }
  doc->SetPrintSpanStartMinute(0);
  doc->SetPrintSpanLength(doc->GetRecordingMinutes());
  DrawTable(dc, info);
  trend_chart_->PrintPage(dc, info, 1);
}

int TPrintHREventsPage::RowCount(int row_code) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return 0;
  if (row_code == kClassArtefact || row_code == kClassSVES || row_code == kClassVES)
    return doc->GetQRSList().GetCounter(row_code);
  const TEventList& events = doc->GetEventList();
  int count = events.GetCounter(row_code);
  for (const int collected : CollectedKinds(row_code)) count += events.GetCounter(collected);
  return count;
}

int TPrintHREventsPage::TimeToX(int32_t position) const {
  const CZK470Doc* doc = Document();
  const int64_t span_seconds = doc != nullptr ? static_cast<int64_t>(doc->GetPrintSpanLength()) * 60 : 0;
  if (span_seconds <= 0) return kPlotLeft;
  const auto seconds = static_cast<int64_t>(std::trunc(position / doc->GetSampleRate()));
  return kPlotLeft + static_cast<int>(10 * (seconds * 1435 / span_seconds));
}

void TPrintHREventsPage::DrawTable(gfx::Canvas& dc, win::CPrintInfo& info) {
  DrawStep step(dc);
  const CZK470Doc* doc = Document();
  SetOffset(0, kTableTop);
  constexpr int r = kRowHeight;
  constexpr int n = kRowCount;
  constexpr int w = kTableWidth;

  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, w, (n + 1) * r);
  Line(dc, 500, 0, 500, n * r);
  Line(dc, kPlotLeft, 0, kPlotLeft, (n + 1) * r);
  Line(dc, w - 1500, 0, w - 1500, (n + 1) * r);
  dc.SelectPen(medium_pen_);
  for (int j = 1; j < n; ++j) Line(dc, 500, j * r, w, j * r);
  dc.SelectPen(thick_pen_);
  for (const int row : {kFirstGroupLine, 13, 19, n}) Line(dc, 0, row * r, w, row * r);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  for (int j = 0; j < n; ++j) {
    const int code = kRowCodes[static_cast<size_t>(j)];
    const std::string name =
        code == kClassSVBigeminy ? platform::LoadString(kIdsSVBigeminyName) : doc->GetKindName(code);
    TextBox(dc, name, kNameLeft, kPlotLeft, j * r, (j + 1) * r, kLeftText);
  }
  ResTextBox(dc, kIdsTimeCaption, kNameLeft, kPlotLeft, n * r, (n + 1) * r, kLeftText);

  const std::vector<std::string> letters = Characters(platform::LoadString(kIdsSVESName), 4);
  for (size_t i = 0; i < letters.size(); ++i) {
    const int top = 4250 + static_cast<int>(i) * r;
    TextBox(dc, letters[i], 0, 500, top, top + r, kCentredText);
    if (i >= 1) TextBox(dc, letters[i], 0, 500, top + 3000 - r, top + 3000, kCentredText);
  }
  dc.SetMapMode(gfx::MapMode::kHiMetric);

  const bool black = IsMonochromeJob();
  std::array<gfx::Pen, kClassCount> pens;
  for (int code = 0; code < kClassCount; ++code)
    pens[static_cast<size_t>(code)] = {gfx::PenStyle::kSolid, 16, black ? 0x000000 : CodeColour(code)};
  const gfx::Pen battery_pen{gfx::PenStyle::kSolid, 1, black ? 0x000000 : CodeColour(kClassBattOff)};

  const TEventList& events = doc->GetEventList();
  const TQRSList& beats = doc->GetQRSList();
  for (int j = 0; j < n; ++j) {
    const int code = kRowCodes[static_cast<size_t>(j)];
    for (int i = 0; i < events.GetSize(); ++i) {
      const TEvent& event = *events.ElementAt(i);
      if (!RowShowsEvent(code, event.GetClass())) continue;
      dc.SelectPen(code == kClassLeadOff && event.GetClass() == kClassBattOff
                       ? battery_pen
                       : pens[static_cast<size_t>(code)]);
      const int start = TimeToX(event.GetPosition());
      Line(dc, start, j * r + 150, start, (j + 1) * r - 150);
      Line(dc, start, j * r + r / 2, TimeToX(event.GetEnd()), j * r + r / 2);
    }
    dc.SelectPen(pens[static_cast<size_t>(code)]);
    for (int i = 0; i < beats.GetSize(); ++i) {
      const TQRSComplex& beat = *beats.ElementAt(i);
      if (beat.GetClass() != code) continue;
      const int x = TimeToX(beat.GetPosition());
      Line(dc, x, j * r + 150, x, (j + 1) * r - 150);
    }
  }

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  for (int j = 0; j < n; ++j)
    TextBox(dc, IntToText(RowCount(kRowCodes[static_cast<size_t>(j)])), w - 1500, w - 200, j * r, (j + 1) * r,
            kRightText);
  ResTextBox(dc, kIdsCountColumn, w - 1500, w, -r, 0, kCentredText);
  TextBox(dc, IntToText(beats.GetSize()), w - 1500, w - 200, n * r, (n + 1) * r, kRightText);
  dc.SetMapMode(gfx::MapMode::kHiMetric);

  TPrintTimeAxis axis(Document(), kPlotLeft, n * r, kPlotWidth, 500);
  axis.SetOffset(GetXOffset(), GetYOffset());
  axis.Draw(dc, info);
}
