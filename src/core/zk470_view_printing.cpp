// The main view's print commands, its print options sheet and the hooks of the print loop over
// the printing engine's composer.
#include <memory>
#include <string>
#include <vector>

#include "core/core_ids.h"
#include "core/zk470_view.h"
#include "document/patient_data.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "reports/envelope_printer.h"
#include "reports/print_composer.h"
#include "win/property_sheet.h"
#include "win/window.h"

namespace {

namespace ids = core_ids;

// The report kinds of the print commands; each command prints under its own number.
constexpr int kPrintKinds[] = {
    cmd::kPrintWholeReport,    cmd::kPrint32790, cmd::kPrintSamples,   cmd::kPrint32876, cmd::kPrint32885,
    cmd::kPrint32886,          cmd::kPrint32911, cmd::kPrint32912,     cmd::kPrint32956, cmd::kPrint32987,
    cmd::kPrintFullDisclosure, cmd::kPrint32989, cmd::kPrintTemplates, cmd::kPrint32996, cmd::kPrint33007,
    cmd::kPrint33203,          cmd::kPrint33218, cmd::kPrintNarrative,
};

// The sheet opens on this page unless the kind names another.
constexpr int kSheetStartPage = 5;

enum class FirstPage { kNoSheet, kStartPage, kUser, kSamples, kFirstFullDisclosure, kTemplates };

FirstPage FirstPageOf(int kind) {
  switch (kind) {
    case cmd::kPrintWholeReport:
      return FirstPage::kUser;
    case cmd::kPrintSamples:
    case cmd::kPrint32876:
    case cmd::kPrint32911:
    case cmd::kPrint32956:
    case cmd::kPrint32987:
    case cmd::kPrint33203:
      return FirstPage::kSamples;
    case cmd::kPrintFullDisclosure:
      return FirstPage::kFirstFullDisclosure;
    case cmd::kPrintTemplates:
      return FirstPage::kTemplates;
    case cmd::kPrint32790:
    case cmd::kPrint32885:
    case cmd::kPrint32886:
    case cmd::kPrint32912:
    case cmd::kPrint32989:
    case cmd::kPrint32996:
    case cmd::kPrint33007:
    case cmd::kPrint33218:
    case cmd::kPrintNarrative:
      return FirstPage::kNoSheet;
    default:
      return FirstPage::kStartPage;
  }
}

}  // namespace

bool CZK470View::CanPrint() const { return static_cast<bool>(GetPrintComposerFactory()) && UsualRule(); }

// Registered after the base's own print and preview handlers, which these replace.
void CZK470View::AddPrintCommands() {
  for (const int kind : kPrintKinds) {
    AddCommand(kind, [this, kind] { OnPrintCommand(kind); });
    AddUpdate(kind, [this](win::CmdUI& ui) { ui.Enable(CanPrint()); });
  }
  AddCommand(cmd::kFilePrintPreview, [this] { OnPrintPreviewCommand(); });
  AddUpdate(cmd::kFilePrintPreview, [this](win::CmdUI& ui) { ui.Enable(CanPrint()); });
  AddCommand(cmd::kFilePrint, [this] { OnFilePrint(); });
  AddUpdate(cmd::kFilePrint, [this](win::CmdUI& ui) { ui.Enable(CanPrint()); });
  AddCommand(cmd::kPrintOptions, [this] { (void)DoPrintOptions(cmd::kPrintWholeReport); });
  AddUpdate(cmd::kPrintOptions,
            [](win::CmdUI& ui) { ui.Enable(static_cast<bool>(GetPrintOptionPagesFactory())); });
  AddCommand(cmd::kPrintEnvelopes, [this] { OnPrintEnvelopes(); });
  AddUpdate(cmd::kPrintEnvelopes, [this](win::CmdUI& ui) { ui.Enable(UsualRule()); });
}

void CZK470View::OnPrintCommand(int kind) {
  print_kind_ = kind;
  Doc().EnsureAnalysisUpToDate();
  if (Doc().GetSettings().Int(SettingKey::kSetupShowPrintDlg) == 0 || DoPrintOptions(kind) == 0)
    OnFilePrint();
}

void CZK470View::OnPrintPreviewCommand() {
  Doc().EnsureAnalysisUpToDate();
  if (Doc().GetSettings().Int(SettingKey::kSetupShowPrintDlg) == 0 ||
      DoPrintOptions(cmd::kPrintWholeReport) == 0) {
    OnFilePrintPreview();
  }
}

void CZK470View::PrintPreview(int kind) {
  print_kind_ = kind;
  OnFilePrintPreview();
}

int CZK470View::DoPrintOptions(int kind) {
  const FirstPage first = FirstPageOf(kind);
  if (first == FirstPage::kNoSheet) return 0;
  const PrintOptionPagesFactory& factory = GetPrintOptionPagesFactory();
  // Without the printing engine there are no pages to show: nothing stands in the way of printing.
  if (!factory) return 0;
  std::unique_ptr<PrintOptionPages> pages = factory(Doc());
  if (pages == nullptr) return 0;

  win::PropertySheet sheet(ids::kIdsPrintOptionsCaption, this, kSheetStartPage);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  sheet.AddPage(pages->TemplatesPage());
  sheet.AddPage(pages->SamplesPage());
  const std::vector<win::PropertyPage*> days = pages->FullDisclosurePages();
  for (win::PropertyPage* day : days) {
    if (day != nullptr) sheet.AddPage(*day);
  }
  sheet.AddPage(pages->UserPage());
  switch (first) {
    case FirstPage::kUser:
      (void)sheet.SetActivePage(pages->UserPage());
      break;
    case FirstPage::kSamples:
      (void)sheet.SetActivePage(pages->SamplesPage());
      break;
    case FirstPage::kFirstFullDisclosure:
      if (!days.empty() && days.front() != nullptr) (void)sheet.SetActivePage(*days.front());
      break;
    case FirstPage::kTemplates:
      (void)sheet.SetActivePage(pages->TemplatesPage());
      break;
    case FirstPage::kStartPage:
    case FirstPage::kNoSheet:
      break;
  }
  if (sheet.DoModal() != win::kIdOk) return -1;
  pages->StoreValues();
  Doc().SaveSettings();
  return 0;
}

bool CZK470View::OnPreparePrinting(win::CPrintInfo& info) {
  CZK470Doc& doc = Doc();
  if (!exporting_pdf_) {
    if (doc.GetExtremesValid() == 0) doc.RecalcHeartRateExtremes(0, 0, 1);
    if (doc.GetDisplayMode() == DisplayMode::kTemplateClasses) {
      doc.UpdateAllViews(nullptr, hint::kPrintPreparation);
    } else if (doc.GetDisplayMode() == DisplayMode::kTemplateBeats) {
      // The report counts the template browser's pages, not the beat page's.
      doc.ScrollTemplateClassIntoView();
      doc.SetDisplayMode(DisplayMode::kTemplateClasses);
      doc.UpdateAllViews(nullptr, hint::kPrintPreparation);
    }
  }
  if (const PrintComposerFactory& factory = GetPrintComposerFactory()) print_composer_ = factory(doc);
  if (print_composer_ != nullptr) print_composer_->CountPages(info, print_kind_);
  if (win::DoPreparePrinting(info)) return true;
  print_composer_.reset();
  print_kind_ = kDefaultPrintKind;
  return false;
}

void CZK470View::OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) {
  if (print_composer_ != nullptr) print_composer_->DecideColour(dc);
}

void CZK470View::OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) {
  if (print_composer_ != nullptr) print_composer_->PrepareDC(dc, info);
  CBaseView::OnPrepareDC(dc, info);
}

void CZK470View::OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) {
  if (print_composer_ != nullptr) print_composer_->PrintPage(dc, info, 1);
}

void CZK470View::OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) {
  if (print_composer_ != nullptr) {
    print_composer_->CleanUp(dc, info);
    print_composer_.reset();
  }
  print_kind_ = kDefaultPrintKind;
}

void CZK470View::OnPrintEnvelopes() {
  const TPatientData& patient = Doc().GetPatientData();
  // The patient record's letter switches: 0 referred by, 1 refer to, 2 insurance, 3 patient letter;
  // 13 the envelope's format.
  const auto letter = [&patient](size_t index) { return patient.letter_switches[index] != 0; };
  EnvelopeRequest request;
  request.format = patient.letter_switches[13];
  request.addressees = {{
      {letter(2), patient.insurance_address},
      {letter(3), patient.address},
      {letter(1), patient.referred_to_address},
      {letter(0), patient.referring_address},
  }};
  request.patient_first_name = patient.first_name;
  request.patient_last_name = patient.surname;
  request.practice_address = Doc().GetSettings().Text(SettingKey::kUserOfficeAddress);
  request.application_title = win::Windows().AppTitle();
  PrintEnvelopes(request, this);
}
