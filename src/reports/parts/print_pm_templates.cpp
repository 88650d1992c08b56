#include "reports/parts/print_pm_templates.h"

#include <algorithm>
#include <cmath>

#include "document/pm_template_list.h"
#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_ecg_strip.h"
#include "reports/parts/print_grids.h"

namespace {

constexpr std::array<SettingKey, 13> kClassNameKeys = {
    SettingKey::kPM1A, SettingKey::kPM1B, SettingKey::kPM2A, SettingKey::kPM2B, SettingKey::kPM2C,
    SettingKey::kPM3A, SettingKey::kPM3B, SettingKey::kPM4A, SettingKey::kPM4B, SettingKey::kPM4C,
    SettingKey::kPM5A, SettingKey::kPM5B, SettingKey::kPM6};

// Settings are edited by hand in the profile; an index beyond its table takes the nearest entry.
template <size_t N>
double TableEntry(const std::array<double, N>& table, int index) {
  return table[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

}  // namespace

TPrintPMTemplates::TPrintPMTemplates(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

int TPrintPMTemplates::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintPMTemplates) != 0);
  if (!selected) {
    page_count_ = 0;
    return 0;
  }
  Paginate();
  return page_count_;
}

void TPrintPMTemplates::Paginate() {
  page_count_ = 0;
  rows_to_print_ = 0;
  page_starts_.clear();
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const std::vector<TPMTemplateClassEntry>& rows = doc->GetPMTemplateClassList();
  // The first row alone never makes a page: the search for the last class with examples stops
  // before it.
  for (int j = static_cast<int>(rows.size()) - 1; j >= 1; --j) {
    if (rows[static_cast<size_t>(j)].count > 0) {
      rows_to_print_ = j + 1;
      break;
    }
  }
  for (int j = 0; j < rows_to_print_; j += kCellsPerPage) page_starts_.push_back(j);
  page_count_ = static_cast<int>(page_starts_.size());
}

void TPrintPMTemplates::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr || page < 1 || page > static_cast<int>(page_starts_.size())) return;
  TPrinter::PrintPage(dc, info, page);
  SetOffset(0, 0);
  text_ = platform::LoadString(kPageTitleString);
  if (IsPdfExport()) {
    std::string bookmark = text_;
    while (!bookmark.empty() && bookmark.back() == ':') bookmark.pop_back();
    WritePageTitleMarker(dc, bookmark);
  }
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, text_ + " :", 0, 18000, 1400, 2100, kLeftText);
  }
  SetOffset(0, kCellsTop);
  const int no_grid = doc->GetSettings().Int(SettingKey::kPrintNoGrid);
  const int first = page_starts_[static_cast<size_t>(page - 1)];
  const int columns = static_cast<int>(kColumnX.size());
  // Only the rows to print: the empty classes after the last one with examples get no cell.
  const int last = std::min(first + kCellsPerPage, rows_to_print_);
  for (int j = first; j < last; ++j) {
    const int n = j - first;
    const int x = kColumnX[static_cast<size_t>(n % columns)];
    const int y = kRowPitch * (n / columns);
    TPrintECGGrid grid(XToPage(x), YToPage(y), XToPage(x + kCellWidth), YToPage(y + kCellHeight), no_grid);
    grid.Draw(dc, info);
  }
  const std::vector<TPMTemplateClassEntry>& rows = doc->GetPMTemplateClassList();
  for (int j = first; j < last && j < static_cast<int>(rows.size()); ++j) {
    const int n = j - first;
    PrintCell(dc, info, rows[static_cast<size_t>(j)], kColumnX[static_cast<size_t>(n % columns)],
              kRowPitch * (n / columns));
  }
}

int32_t TPrintPMTemplates::StripStart(int32_t position) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return 0;
  const double strip_seconds = kCellWidth * 0.01 / Speed();
  const auto lead = static_cast<int32_t>(std::trunc(doc->GetSampleRate() * strip_seconds * 0.4));
  return std::max(position - lead, 0);
}

std::string TPrintPMTemplates::ClassName(const CZK470Doc& doc, int class_index) {
  if (class_index >= 0 && class_index < static_cast<int>(kClassNameKeys.size()))
    return doc.GetSettings().Text(kClassNameKeys[static_cast<size_t>(class_index)]);
  if (class_index == 13) return platform::LoadString(kClass13String);
  if (class_index == 14) return platform::LoadString(kClass14String);
  return {};
}

double TPrintPMTemplates::Speed() const {
  return TableEntry(kSpeeds, Document()->GetSettings().Int(SettingKey::kResPMSpeed));
}

double TPrintPMTemplates::Gain() const {
  return TableEntry(kGains, Document()->GetSettings().Int(SettingKey::kResPMAmplitude));
}

void TPrintPMTemplates::PrintCell(gfx::Canvas& dc, win::CPrintInfo& info, const TPMTemplateClassEntry& row,
                                  int x, int y) {
  CZK470Doc* doc = Document();
  const bool known = row.class_index >= 0 && row.class_index < TRecordingData::kPMClasses;
  int example = 0;
  int32_t position = -1;
  if (known && row.count > 0) {
    const TRecordingData& recording = doc->GetRecordingData();
    const TPMTemplateList& examples = recording.pm_classes[static_cast<size_t>(row.class_index)];
    example = recording.pm_current[static_cast<size_t>(row.class_index)];
    if (examples.GetSize() > 0) {
      // A stored example beyond the class (the class shrank since) shows its nearest example.
      example = std::clamp(example, 0, examples.GetSize() - 1);
      position = examples.GetAt(example).GetPosition();
    }
  }
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 7, 0);
    TextBox(dc, ClassName(*doc, row.class_index), x, x + kCellWidth, y - 500, y, kCentredText);
    if (row.count > 0)
      TextBox(dc, std::to_string(example + 1) + " / " + std::to_string(row.count), x, x + kCellWidth,
              y + 4500, y + 5000, kCentredText);
  }
  if (position < 0) return;
  TPrintECGStrip strip(doc, StripStart(position), XToPage(x), YToPage(y + 500), XToPage(x + kCellWidth),
                       YToPage(y + 4500), Speed(), Gain(), kChannelSpread);
  strip.Draw(dc, info);
}
