#include "reports/parts/print_extreme_strips.h"

#include <string>

#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsRRMinLabel, "Shortest RR interval"},
    {kIdsRRMaxLabel, "Longest RR interval"},
    {kIdsHRExtremesTitle, "Heart rate and RR extremes:"},
    {kIdsSinusExtremesTitle, "Sinus rate and NN extremes:"},
    {kIdsSinusMinLabel, "Sinus rate min."},
    {kIdsSinusMaxLabel, "Sinus rate max."},
    {kIdsNNMinLabel, "Shortest NN interval"},
    {kIdsNNMaxLabel, "Longest NN interval"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsRRMinLabel, "Kürzestes RR-Intervall"},
    {kIdsRRMaxLabel, "Längstes RR-Intervall"},
    {kIdsHRExtremesTitle, "Herzfrequenz- und RR-Extremwerte:"},
    {kIdsSinusExtremesTitle, "Sinusfrequenz- und NN-Extremwerte:"},
    {kIdsSinusMinLabel, "Sinusfrequenz min."},
    {kIdsSinusMaxLabel, "Sinusfrequenz max."},
    {kIdsNNMinLabel, "Kürzestes NN-Intervall"},
    {kIdsNNMaxLabel, "Längstes NN-Intervall"},
};

}  // namespace

void AddExtremeStripResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}

TPrintExtremeStrips::TPrintExtremeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                         TPrintAutoGain* auto_gain)
    : TPrintStripPage(full_header, doc, report_values, auto_gain) {}

void TPrintExtremeStrips::Paginate() {
  items_.clear();
  page_count_ = 0;
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const TQRSList& beats = doc->GetQRSList();
  if (beats.GetSize() == 0) return;
  const Rows rows = ExtremeRows();
  TPrintStripPageItem item;
  bool filled = false;
  for (size_t row = 0; row < rows.beats.size(); ++row) {
    // An index the working list no longer holds (the list was edited since) is no extreme.
    const int32_t beat = rows.beats[row];
    if (beat < 0 || beat >= beats.GetSize()) continue;
    item.positions[row] = beats.ElementAt(beat)->GetPosition();
    filled = true;
  }
  if (!filled) return;
  items_.push_back(item);
  page_count_ = 1;
}

void TPrintExtremeStrips::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || page < 1 || page > static_cast<int>(items_.size())) return;
  TPrintStripPage::PrintPage(dc, info, page);
  const Rows rows = ExtremeRows();
  const std::string title = platform::LoadString(rows.title);
  if (IsPdfExport()) {
    std::string bookmark = title;
    while (!bookmark.empty() && bookmark.back() == ':') bookmark.pop_back();
    WritePageTitleMarker(dc, bookmark);
  }
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SetOffset(0, kTitleTop);
  SelectPresetFont(dc, 8, 1);
  TextBox(dc, title, 0, 12000, 0, 600, kLeftText);

  SetOffset(0, kLabelTop);
  SelectPresetFont(dc, 7, 1);
  const TPrintStripPageItem& item = items_[static_cast<size_t>(page - 1)];
  for (int row = 0; row < kRows; ++row) {
    if (item.positions[static_cast<size_t>(row)] < 0) continue;
    const int top = kStripPitch * row;
    ResTextBox(dc, rows.labels[static_cast<size_t>(row)], strip_left_ + 7000, strip_left_ + 15000, top - 400,
               top - 100, kLeftText);
  }
  SetOffset(0, 0);
}

TPrintHRExtremeStrips::TPrintHRExtremeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                             TPrintAutoGain* auto_gain)
    : TPrintExtremeStrips(full_header, doc, report_values, auto_gain) {}

bool TPrintHRExtremeStrips::IsSelected() const {
  return IsSelectedFor(kOwnCommand, SettingKey::kPrintMinMaxHR_RR);
}

TPrintExtremeStrips::Rows TPrintHRExtremeStrips::ExtremeRows() const {
  const CZK470Doc* doc = Document();
  return {{doc->GetHRMinBeat(), doc->GetHRMaxBeat(), doc->GetRRMinBeat(), doc->GetRRMaxBeat()},
          {kIdsHRMinLabel, kIdsHRMaxLabel, kIdsRRMinLabel, kIdsRRMaxLabel},
          kIdsHRExtremesTitle};
}

TPrintSinusExtremeStrips::TPrintSinusExtremeStrips(int full_header, CZK470Doc* doc,
                                                   TReportValues* report_values, TPrintAutoGain* auto_gain)
    : TPrintExtremeStrips(full_header, doc, report_values, auto_gain) {}

bool TPrintSinusExtremeStrips::IsSelected() const {
  return IsSelectedFor(kOwnCommand, SettingKey::kPrintMinMaxSinusHR_RR);
}

TPrintExtremeStrips::Rows TPrintSinusExtremeStrips::ExtremeRows() const {
  const CZK470Doc* doc = Document();
  return {{doc->GetSinusHRMinBeat(), doc->GetSinusHRMaxBeat(), doc->GetNNMinBeat(), doc->GetNNMaxBeat()},
          {kIdsSinusMinLabel, kIdsSinusMaxLabel, kIdsNNMinLabel, kIdsNNMaxLabel},
          kIdsSinusExtremesTitle};
}
