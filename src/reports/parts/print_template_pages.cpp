#include "reports/parts/print_template_pages.h"

#include <algorithm>
#include <cmath>

#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_ecg_strip.h"
#include "reports/parts/print_grids.h"
#include "reports/parts/print_pm_templates.h"

namespace {

// The print switch of each family, by family number.
constexpr std::array<SettingKey, 4> kFamilySwitches = {
    SettingKey::kPrintTemplatesVES, SettingKey::kPrintTemplatesNormal, SettingKey::kPrintTemplatesArtefact,
    SettingKey::kPrintTemplatesSVES};

constexpr platform::StringEntry kEnglishStrings[] = {
    {TPrintTemplatePages::kPageTitleString, "Beat templates"},
    {TPrintPMTemplates::kPageTitleString, "Pacemaker templates"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {TPrintTemplatePages::kPageTitleString, "Schlag-Templates"},
    {TPrintPMTemplates::kPageTitleString, "Schrittmacher-Templates"},
};

// Settings are edited by hand in the profile; an index beyond its table takes the nearest entry.
template <size_t N>
double TableEntry(const std::array<double, N>& table, int index) {
  return table[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

}  // namespace

TPrintTemplatePages::TPrintTemplatePages(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values) {}

int TPrintTemplatePages::GetPageCount(win::CPrintInfo&) {
  const CZK470Doc* doc = Document();
  const bool selected =
      GetCommand() == kOwnCommand || (GetCommand() == kWholeReportCommand && doc != nullptr &&
                                      doc->GetSettings().Int(SettingKey::kPrintTemplates) != 0);
  if (!selected) {
    page_count_ = 0;
    return 0;
  }
  Paginate();
  return page_count_;
}

void TPrintTemplatePages::Paginate() {
  page_count_ = 0;
  printable_count_ = 0;
  page_starts_.clear();
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const std::vector<TTemplateClassEntry>& rows = doc->GetTemplateClassList();
  int slot = kCellsPerPage;
  for (size_t j = 0; j < rows.size(); ++j) {
    if (!PrintsFamily(rows[j].family)) continue;
    ++printable_count_;
    if (++slot > kCellsPerPage) {
      page_starts_.push_back(static_cast<int>(j));
      ++page_count_;
      slot = 1;
    }
  }
}

void TPrintTemplatePages::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  CZK470Doc* doc = Document();
  if (doc == nullptr || page < 1 || page > static_cast<int>(page_starts_.size())) return;
  TPrinter::PrintPage(dc, info, page);
  SetOffset(0, 0);
  title_ = platform::LoadString(kPageTitleString);
  if (IsPdfExport()) WritePageTitleMarker(dc, title_);
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, title_ + " :", 0, 18000, 1400, 2100, kLeftText);
  }
  SetOffset(0, kCellsTop);
  const int no_grid = doc->GetSettings().Int(SettingKey::kPrintNoGrid);
  const int first_of_page = (page - 1) * kCellsPerPage;
  for (int n = 0; n < kCellsPerPage && first_of_page + n < printable_count_; ++n) {
    const int x = kColumnPitch * (n % kColumns);
    const int y = kRowPitch * (n / kColumns);
    TPrintECGGrid grid(XToPage(x), YToPage(y), XToPage(x + kCellWidth), YToPage(y + kCellHeight), no_grid);
    grid.Draw(dc, info);
  }

  const std::vector<TTemplateClassEntry>& rows = doc->GetTemplateClassList();
  int slot = 0;
  for (auto j = static_cast<size_t>(page_starts_[static_cast<size_t>(page - 1)]);
       j < rows.size() && slot < kCellsPerPage; ++j) {
    if (!PrintsFamily(rows[j].family)) continue;
    PrintCell(dc, info, rows[j], static_cast<int>(j), kColumnPitch * (slot % kColumns),
              kRowPitch * (slot / kColumns));
    ++slot;
  }
}

int32_t TPrintTemplatePages::StripStart(int32_t position) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return 0;
  const double strip_seconds = kCellWidth * 0.01 / Speed();
  const auto lead = static_cast<int32_t>(std::trunc(doc->GetSampleRate() * strip_seconds * 0.4));
  return std::max(position - lead, 0);
}

bool TPrintTemplatePages::PrintsFamily(int family) const {
  // Rows of emptied classes carry family -1 and never print.
  if (family < 0 || family >= static_cast<int>(kFamilySwitches.size())) return false;
  return Document()->GetSettings().Int(kFamilySwitches[static_cast<size_t>(family)]) != 0;
}

double TPrintTemplatePages::Speed() const {
  return TableEntry(kSpeeds, Document()->GetSettings().Int(SettingKey::kResTemplatesSpeed));
}

double TPrintTemplatePages::Gain() const {
  return TableEntry(kGains, Document()->GetSettings().Int(SettingKey::kResTemplatesAmplitude));
}

void TPrintTemplatePages::PrintCell(gfx::Canvas& dc, win::CPrintInfo& info, const TTemplateClassEntry& row,
                                    int row_index, int x, int y) {
  CZK470Doc* doc = Document();
  const int family = row.family;
  int member = 0;
  const int beat = row.count != 0 ? RepresentativeBeat(family, row.class_index, member) : -1;
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 7, 0);
    TextBox(dc, platform::LoadString(kNumberString) + " " + std::to_string(row_index + 1), x, x + kCellWidth,
            y - 500, y, kCentredText);
    ResTextBox(dc, kFamilyNameStrings[static_cast<size_t>(family)], x, x + kCellWidth, y, y + 500,
               kCentredText);
    if (const int special = SpecialString(family, row.class_index); special != 0)
      ResTextBox(dc, special, x, x + kCellWidth, y + 500, y + 1000, kCentredText);
    if (row.count != 0)
      TextBox(dc, std::to_string(member + 1) + " / " + std::to_string(row.count), x, x + kCellWidth, y + 4500,
              y + 5000, kCentredText);
  }
  if (beat < 0) return;
  const int32_t position = doc->GetQRSList().GetAt(beat).GetPosition();
  TPrintECGStrip strip(doc, StripStart(position), XToPage(x), YToPage(y + 500), XToPage(x + kCellWidth),
                       YToPage(y + 4500), Speed(), Gain(), kChannelSpread);
  strip.Draw(dc, info);
}

int TPrintTemplatePages::SpecialString(int family, int class_index) const {
  const TRecordingData& recording = Document()->GetRecordingData();
  const std::array<int32_t, 2>* special = nullptr;
  const std::array<int, 2>* names = nullptr;
  switch (family) {
    case TTemplateClassEntry::kFamilyVES:
      special = &recording.ves_special;
      names = &kVESSpecialStrings;
      break;
    case TTemplateClassEntry::kFamilyNormal:
      special = &recording.normal_special;
      names = &kNormalSpecialStrings;
      break;
    case TTemplateClassEntry::kFamilySVES:
      special = &recording.sves_special;
      names = &kSVESSpecialStrings;
      break;
    default:
      return 0;
  }
  for (size_t i = 0; i < special->size(); ++i)
    if ((*special)[i] >= 0 && (*special)[i] == class_index) return (*names)[i];
  return 0;
}

int TPrintTemplatePages::RepresentativeBeat(int family, int class_index, int& member) const {
  member = 0;
  if (class_index < 0 || class_index >= TRecordingData::kTemplateClasses) return -1;
  TRecordingData& recording = Document()->GetRecordingData();
  const TTemplateList& members = recording.TemplateClasses(family)[static_cast<size_t>(class_index)];
  member = recording.CurrentMembers(family)[static_cast<size_t>(class_index)];
  if (members.GetSize() == 0) return -1;
  // A stored member beyond the class (the class shrank since) shows its nearest member.
  member = std::clamp(member, 0, members.GetSize() - 1);
  const int beat = members.GetAt(member).GetBeatIndex();
  return beat >= 0 && beat < Document()->GetQRSList().GetSize() ? beat : -1;
}

void AddTemplatePagesResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
