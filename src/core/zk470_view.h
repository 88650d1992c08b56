#pragma once

#include <memory>
#include <string_view>

#include "platform/ids.h"
#include "views/base_view.h"

class CMainFrame;
class PrintComposer;

// The application's one view of the recording document: shows the built-in layout that the
// document's display mode asks for, offers every command to the windows of that layout before its
// own handlers, trims the main toolbar and menu once, and carries the screen, span, file, sheet,
// GDT, mail and print commands. Created with the main frame and living as long as the program;
// its destructor deletes the process-wide layout list. User-interface thread only.
class CZK470View : public CBaseView {
 public:
  // The whole report: the print kind by default and after every job.
  static constexpr int kDefaultPrintKind = cmd::kPrintWholeReport;
  // The event strips that document hint 1021 prints at once.
  static constexpr int kEventStripsPrintKind = 32664;

  explicit CZK470View(CZK470Doc* document);
  ~CZK470View() override;

  bool SelectInitialConfiguration() override;
  CViewConfigurations* GetConfigurations() override;

  void OnUpdate(document::DocumentView* sender, int hint, THintObject* object) override;
  // The windows of the layout first, in z-order; then the view's own route.
  bool OnCmdMsg(win::CommandMessage& message) override;

  // The trimming of the main toolbar and the menu; also after the settings change.
  void HideToolBarButtons();
  void RemoveMenuEntries();
  bool AreMenusPruned() const { return menus_pruned_; }

  // The read-out entry points of the automation run (commands 32821 and 33237).
  virtual void ReadRecorder();
  virtual void ImportRawFile();

  // --- Printing ---
  // 0 when the options sheet was confirmed or not shown, -1 when it was cancelled.
  int DoPrintOptions(int kind);
  // The preview of the report kind (the main frame's preview commands).
  void PrintPreview(int kind);
  bool OnPreparePrinting(win::CPrintInfo& info) override;
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo& info) override;
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override;
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override;
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override;

  int GetPrintKind() const { return print_kind_; }
  PrintComposer* GetPrintComposer() const { return print_composer_.get(); }
  // Set by the PDF export while it prints through the view.
  bool IsExportingPdf() const { return exporting_pdf_; }
  void SetExportingPdf(bool on) { exporting_pdf_ = on; }

  // --- The report as PDF (zk470_view_pdf_export.cpp) ---
  static constexpr int kExportReportPdf = cmd::kExportReportPdf;
  // Registers command 33215 and its update handler; called by the constructor.
  void AddReportPdfCommands();
  // Command 33215: the whole report as a PDF beside the recording, then shown as the document.
  void OnExportReportPdf();
  // Writes the report of the current print kind as a PDF beside the recording, its pages
  // converted on the wait dialog's worker thread; true when the file was saved. The job is
  // prepared and ended here, and what the conversion has to say is shown after the dialog.
  bool CreateReportPdf();
  // Before a report PDF is made: valid extremes, the template screen's print preparation (from the
  // beat page back to the classes first), the 'V' number and a save of pending edits.
  void PrepareDocumentForReportPdf();
  // Registers the RR export and the archive copies of chosen recordings (zk470_view_exports.cpp).
  void AddExportCommands();
  // Registers the letter export, command 33220 (zk470_view_letter_export.cpp).
  void AddLetterExportCommands();
  // The code of the time span chosen in the main frame's box (0 all, 1 24 h .. 4 3 h).
  int GetSpanCode() const { return span_code_; }
  // A one-shot request that the patient sheet open at its diagnosis page; the sheet clears it.
  bool GetPatientSheetPage() const { return patient_sheet_page_; }
  void SetPatientSheetPage(bool on) { patient_sheet_page_ = on; }

  std::string_view ClassName() const override { return "ZK470View"; }

 protected:
  void OnSize(int type, int cx, int cy) override;

 private:
  // The layout the display mode asks for; -1 keeps the current one.
  int LayoutForDisplayMode(int hint) const;
  bool SelectLayout(int index);
  CMainFrame* GetMainFrame() const;
  CZK470Doc& Doc() const { return *GetDocument(); }
  // Not in display modes 0, 5 or 15.
  bool UsualRule() const;

  // zk470_view_commands.cpp
  void AddDisplayModeCommands();
  void AddSpanCommands();
  void AddFileAndSheetCommands();
  void AddServiceCommands();
  // Reading recorders, tapes and SD cards.
  void AddRecorderCommands();
  void OnNavigation();
  void OnECGPage();
  // The trend (pane 2) or strip (pane 1) below the navigation or the ECG page, on and off.
  void ToggleLowerPane(int pane, int navigation_layout, int page_layout);
  void OnTemplateBrowser();
  void OnHeartRateVariability();
  void OnPacemakerTemplates();
  void ShowScreen(DisplayMode mode, int layout);
  bool IsSpanNavigationPossible() const;
  void MoveSpan(int new_start);
  void OnSpanLength();
  void OnFileOpen();
  void OnFileClose();
  void OnUserId();
  void OnPacemakerTexts();
  void OnArchiveCopy(int copy_mode);
  void OnGDTSendResult();
  void OnGDTTakePatient();
  void OnSend();

  // zk470_view_printing.cpp
  void AddPrintCommands();
  void OnPrintCommand(int kind);
  void OnPrintPreviewCommand();
  void OnPrintEnvelopes();
  bool CanPrint() const;

  int16_t span_code_ = 0;
  std::unique_ptr<PrintComposer> print_composer_;
  int print_kind_ = kDefaultPrintKind;
  bool menus_pruned_ = false;
  bool exporting_pdf_ = false;
  bool patient_sheet_page_ = false;
};

// The main frame's active view when it is the application's view; nullptr otherwise.
CZK470View* GetActiveZK470View();
