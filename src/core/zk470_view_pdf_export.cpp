// The main view's report export: the whole report as a PDF file beside the recording.
#include <string>

#include "core/core_ids.h"
#include "core/pdf_convert_wait_dlg.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "layouts/beat_page_area.h"
#include "platform/resources.h"
#include "reports/parts/print_narrative_letter.h"
#include "reports/report_pdf_export.h"
#include "views/document_display.h"
#include "win/printing.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr const char* kExportFailed = "Internal PDF Library Error!";

// The application's edit mode for the time of the export: a beat-class change made meanwhile
// is not the user's edit.
class ExportEditMode {
 public:
  ExportEditMode() {
    if (CZK470App* app = App()) app->SetEditMode(2);
  }
  ~ExportEditMode() {
    if (CZK470App* app = App()) app->SetEditMode(0);
  }
  ExportEditMode(const ExportEditMode&) = delete;
  ExportEditMode& operator=(const ExportEditMode&) = delete;
};

ReportPdfTexts ExportTexts(const CZK470Doc& doc) {
  ReportPdfTexts texts;
  {
    platform::ScopedExeResources own;
    texts.creator =
        platform::LoadString(core_ids::kIdsAppTitle) + " V " + platform::LoadString(core_ids::kIdsBuild);
  }
  const std::string& title = doc.GetTitle();
  texts.title = title.substr(0, title.size() - std::min<size_t>(4, title.size()));
  texts.subject = platform::LoadString(kIdsReportPdfSubject);
  // The word "Page" of the beat page; the language string the bookmarks once used shares its
  // number with the AHA statistic command's prompt.
  texts.page_label = platform::LoadString(CBeatPageArea::kPageString);
  return texts;
}

}  // namespace

void CZK470View::AddReportPdfCommands() {
  AddCommand(kExportReportPdf, [this] { OnExportReportPdf(); });
  AddUpdate(kExportReportPdf, [this](win::CmdUI& ui) { ui.Enable(CanPrint()); });
}

void CZK470View::PrepareDocumentForReportPdf() {
  CZK470Doc& doc = Doc();
  if (doc.GetExtremesValid() == 0) doc.RecalcHeartRateExtremes(0, 0, 1);
  if (doc.GetDisplayMode() == DisplayMode::kTemplateClasses) {
    doc.UpdateAllViews(nullptr, hint::kPrintPreparation);
  } else if (doc.GetDisplayMode() == DisplayMode::kTemplateBeats) {
    doc.ScrollTemplateClassIntoView();
    doc.SetDisplayMode(DisplayMode::kTemplateClasses);
    doc.UpdateAllViews(nullptr, hint::kPrintPreparation);
  }
  doc.MarkRecordingNumber(1);
  if (doc.IsModified()) (void)doc.DoFileSave();
}

void CZK470View::OnExportReportPdf() {
  CZK470Doc& doc = Doc();
  doc.EnsureAnalysisUpToDate();
  {
    ExportEditMode edit_mode;
    if (DoPrintOptions(cmd::kPrintWholeReport) != 0) return;
  }
  PrepareDocumentForReportPdf();

  print_kind_ = kDefaultPrintKind;
  bool saved = false;
  {
    ExportEditMode edit_mode;
    saved = CreateReportPdf();
  }
  if (!saved) {
    win::CurrentPrompt().MessageBox(kExportFailed, win::Windows().AppTitle(),
                                    win::kMbOk | win::kMbIconExclamation);
    return;
  }
  // The PDF's window offers to delete the recording's files on its first paint.
  auto& fields = doc.GetViewFields().report_values;
  fields[CDocumentBrowserWnd::kDeleteOfferField] = 1;
  const TRawECGData* samples = doc.GetRawECGData();
  fields[CDocumentBrowserWnd::kSampleKindField] = samples != nullptr ? samples->GetReaderKind() : -1;
  if (CZK470App* app = App()) (void)app->OpenDocumentFile(ReportPdfPath(doc.GetPathName()));
}

bool CZK470View::CreateReportPdf() {
  CZK470Doc& doc = Doc();
  const std::string pdf_path = ReportPdfPath(doc.GetPathName());
  const ReportPdfTexts texts = ExportTexts(doc);

  // Preparing the job makes the composer and its windows: here, not on the worker.
  exporting_pdf_ = true;
  SetReportPdfExportUnderWay(true);
  win::CPrintInfo info;
  info.preview = true;
  if (!OnPreparePrinting(info)) {
    exporting_pdf_ = false;
    SetReportPdfExportUnderWay(false);
    return false;
  }
  ReportPdfWriter writer(doc.GetClock());
  TPdfConvertWaitDlg dialog([this, &writer, &info, &texts,
                             &pdf_path] { return writer.Write(*this, info, texts, pdf_path) ? 1 : 0; },
                            this);
  const bool saved = dialog.DoModal() == 1;
  // Always ended: the composer's clean-up removes temporary files that hold patient data.
  OnEndPrinting(nullptr, info);
  exporting_pdf_ = false;
  SetReportPdfExportUnderWay(false);
  for (const std::string& message : writer.Messages())
    win::CurrentPrompt().MessageBox(message, win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
  return saved;
}
