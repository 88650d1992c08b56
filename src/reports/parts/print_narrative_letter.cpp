#include "reports/parts/print_narrative_letter.h"

#include <atomic>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "document/profile_keys.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/narrative_test_data.h"
#include "reports/report_resources.h"
#include "reports/richtext/rich_text_layout.h"
#include "reports/richtext/rtf_reader.h"
#include "win/printing.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

std::atomic<bool> g_pdf_export{false};

// The patient record's switch of each letter kind, and the one that picks the letter templates.
constexpr std::array<size_t, TPrintNarrativeLetter::kKinds> kKindSwitch = {2, 3, 1, 0};
constexpr size_t kTemplateSwitch = 13;

int MmToTwips(int mm) { return static_cast<int>(std::lround(mm * 1440.0 / 25.4)); }

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

bool IsReportPdfExportUnderWay() { return g_pdf_export.load(); }
void SetReportPdfExportUnderWay(bool on) { g_pdf_export.store(on); }

TPrintNarrativeLetter::TPrintNarrativeLetter(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrinter(full_header, doc, -1, report_values), letter_(doc, report_values) {}

TPrintNarrativeLetter::~TPrintNarrativeLetter() { DeleteFiles(); }

bool TPrintNarrativeLetter::IsSelected() const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return false;
  const int command = GetCommand();
  return command == kOwnCommand || command == kTestDataCommand ||
         (command == kWholeReportCommand && doc->GetSettings().Int(SettingKey::kPrintLetter) != 0);
}

std::array<bool, TPrintNarrativeLetter::kKinds> TPrintNarrativeLetter::SelectedKinds() const {
  std::array<bool, kKinds> kinds{};
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return kinds;
  if (GetCommand() == kTestDataCommand) {
    const auto& recipients = NarrativeTestData().recipients;
    for (size_t k = 0; k < kinds.size(); ++k) kinds[k] = recipients[k] != 0;
  } else {
    const auto& switches = doc->GetPatientData().letter_switches;
    for (size_t k = 0; k < kinds.size(); ++k) kinds[k] = switches[kKindSwitch[k]] != 0;
  }
  return kinds;
}

void TPrintNarrativeLetter::DeleteFiles() {
  for (std::string& name : file_names_) {
    DeleteNarrativeLetterFile(name);
    name.clear();
  }
}

void TPrintNarrativeLetter::Paginate() {
  // Counting again must not leave the letters of the first count behind.
  DeleteFiles();
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const bool letter_form = doc->GetPatientData().letter_switches[kTemplateSwitch] != 0;
  const bool test_data = GetCommand() == kTestDataCommand;
  const std::array<bool, kKinds> kinds = SelectedKinds();
  for (int k = 0; k < kKinds; ++k)
    if (kinds[static_cast<size_t>(k)])
      file_names_[static_cast<size_t>(k)] =
          letter_.CreateLetter(k, letter_form, IsReportPdfExportUnderWay(), test_data);
}

int TPrintNarrativeLetter::GetPageCount(win::CPrintInfo&) {
  pages_.clear();
  for (auto& layout : layouts_) layout.reset();
  page_count_ = 0;
  if (!IsSelected()) return 0;
  const std::array<bool, kKinds> kinds = SelectedKinds();
  bool any = false;
  for (const bool on : kinds) any = any || on;
  if (!any) return 0;

  const bool pdf = IsReportPdfExportUnderWay() || IsPdfExport();
  int paper_width = kPdfPageWidthTwips;
  int paper_height = kPdfPageHeightTwips;
  if (!pdf) {
    // Asked before the letters are made: no private file for a job that cannot print.
    const std::optional<win::PrinterInfo> printer = win::Printing().DefaultPrinter();
    if (!printer) {
      win::CurrentPrompt().MessageBox(platform::LoadString(kIdsNoPrinterSelected), win::Windows().AppTitle(),
                                      win::kMbOk | win::kMbIconExclamation);
      return 0;
    }
    paper_width = MmToTwips(printer->paper_width_mm);
    paper_height = MmToTwips(printer->paper_height_mm);
  }

  Paginate();
  for (int k = 0; k < kKinds; ++k) {
    const std::string& name = file_names_[static_cast<size_t>(k)];
    if (name.empty()) continue;
    const std::optional<std::string> rtf = ReadFile(name);
    if (!rtf) continue;
    richtext::RichTextDocument document;
    try {
      document = richtext::ReadRtf(*rtf, name).document;
    } catch (const platform::FormatError&) {
      // Our own file spoilt on the disk: that letter is left out.
      continue;
    }
    const int width = paper_width - document.margin_left_twips - document.margin_right_twips;
    const int height = paper_height - document.margin_top_twips - document.margin_bottom_twips;
    if (width <= 0 || height <= 0) continue;
    auto layout = std::make_unique<richtext::RichTextLayout>(document, width, height);
    for (int p = 1; p <= layout->PageCount(); ++p) pages_.push_back({k, p});
    origins_[static_cast<size_t>(k)] = {document.margin_left_twips, document.margin_top_twips};
    layouts_[static_cast<size_t>(k)] = std::move(layout);
  }
  page_count_ = static_cast<int>(pages_.size());
  return page_count_;
}

void TPrintNarrativeLetter::PrintPage(gfx::Canvas& dc, win::CPrintInfo&, int page) {
  // No report header or footer: the letter fills the page.
  if (page < 1 || page > static_cast<int>(pages_.size())) return;
  const PageEntry entry = pages_[static_cast<size_t>(page - 1)];
  const richtext::RichTextLayout* layout = layouts_[static_cast<size_t>(entry.kind)].get();
  if (layout == nullptr || entry.page > layout->PageCount()) return;
  const bool pdf = IsPdfExport();
  if (pdf) {
    const std::string title =
        "Narrative " + std::to_string(entry.kind + 1) + "-" + std::to_string(entry.page);
    WritePageTitleMarker(dc, title);
  }
  // The device's origin is the printable area's corner, the letter's margins count from the paper's.
  const gfx::DeviceInfo& device = dc.Device();
  gfx::Point origin = origins_[static_cast<size_t>(entry.kind)];
  if (device.dpi_x > 0) origin.x -= device.physical_offset_x_px * 1440 / device.dpi_x;
  if (device.dpi_y > 0) origin.y -= device.physical_offset_y_px * 1440 / device.dpi_y;
  layout->DrawPage(dc, entry.page - 1, origin, pdf);
}

void TPrintNarrativeLetter::Cleanup(gfx::Canvas*, win::CPrintInfo&) { DeleteFiles(); }
