// The program part of the application object: start-up, the first document with the main frame,
// the application's commands and the end of the program.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "analysis/analysis_run.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"
#include "analysis/vra_interface.h"
#include "common/text_view_dlg.h"
#include "core/about_dlg.h"
#include "core/analysis_dialogs.h"
#include "core/automation_command_line_info.h"
#include "core/automation_dispatcher.h"
#include "core/automation_exit_codes.h"
#include "core/batch_analysis_install.h"
#include "core/beat_edit_sink.h"
#include "core/core_ids.h"
#include "core/document_sheets.h"
#include "core/findings_window_access.h"
#include "core/gdt_link_service.h"
#include "core/mail_program.h"
#include "core/main_frame.h"
#include "core/main_toolbars.h"
#include "core/new_recording_procedure.h"
#include "core/printing_engine.h"
#include "core/recorder_screen_services.h"
#include "core/recorder_search_ui.h"
#include "core/resource_packs.h"
#include "core/splash_window.h"
#include "core/view_services.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/auto_close_notice_dlg.h"
#include "dialogs/auto_scroll_dlg.h"
#include "dialogs/beat_edit_dlgs.h"
#include "dialogs/busy_dlg.h"
#include "dialogs/print_option_pages.h"
#include "dialogs/small_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "dialogs/template_review_dlgs.h"
#include "dialogs/view_dialog_service.h"
#include "dialogs/wait_dlgs.h"
#include "document/document_strings.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/hr_navigator_area.h"
#include "layouts/screen_factories.h"
#include "layouts/st_trend_area.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "recorder/recorder_screen_factories.h"
#include "tools/archive_copy.h"
#include "tools/kzt_import.h"
#include "tools/run_family.h"
#include "tools/validation/annotation_statistic.h"
#include "tools/validation/stt_statistic.h"
#include "trends/trend_screens.h"
#include "views/document_display.h"
#include "views/ecg_page_window.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

namespace ids = core_ids;

CZK470App* g_app = nullptr;

void PostToMainWindow(uint32_t message) {
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(message);
}

bool AutomationCommandPresent() { return AutomationInfo().IsAutomationStart(); }

}  // namespace

CZK470App* App() { return g_app; }

// --- The document's view of the application ------------------------------------------------------------------

class CZK470App::DocumentHostImpl : public document::DocumentHost {
 public:
  explicit DocumentHostImpl(CZK470App& app) : app_(app) {}

  int GetFileFormatVersion() const override { return app_.GetFileFormatVersion(); }
  void AddToRecentFileList(std::string_view path) override { app_.AddToRecentFileList(path); }
  void ReplaceFirstRecentFile(std::string_view path) override { app_.ReplaceFirstRecentFile(path); }

  bool IsBatchRunning() const override { return AutomationInfo().IsBatchRunning() != 0; }
  void SetBatchFileResult(int result) override { AutomationInfo().SetBatchFileResult(result); }
  bool IsAutomationCommandComplete() const override { return AutomationInfo().IsCommandComplete(); }
  std::string GetAutomationFileName() const override { return AutomationInfo().GetAutomationFileName(); }
  void ReplaceLastResultLine(std::string line) override { AutomationInfo().AddResultLine(std::move(line), true); }
  void WriteResultFile() override { (void)AutomationInfo().WriteResultFile(); }

  void PostMainFrameMessage(uint32_t message) override { PostToMainWindow(message); }
  void RecordingLengthChanged(int minutes) override { CTimeSpanToolBar::FillSpans(minutes); }

  void BeginBusy(std::string_view text) override {
    busy_ = std::make_unique<TBusyDlg>(0, std::string(text));
    busy_->ShowBusy();
  }
  void EndBusy() override {
    if (busy_ == nullptr) return;
    busy_->EndBusy();
    busy_.reset();
  }
  void ShowSaveNotice() override {
    TAutoCloseNoticeDlg notice(win::Windows().MainWindow());
    notice.DoModal();
  }
  void ShowTextView(std::string_view title, std::span<const std::string> lines) override {
    TTextViewDlg view(std::vector<std::string>(lines.begin(), lines.end()), std::string(title), false,
                      win::Windows().MainWindow());
    view.DoModal();
  }
  void RunUnderWaitDialog(const std::function<void()>& work) override {
    TWorkWaitDlg wait(work, win::Windows().MainWindow());
    wait.DoModal();
  }

  int RunNewRecordingReadOut(CZK470Doc& doc) override { return RunNewRecordingProcedure(doc); }
  bool ImportKztFile(CZK470Doc& doc, const std::string& path) override {
    return tools::ImportKztFile(doc, path);
  }

 private:
  CZK470App& app_;
  std::unique_ptr<TBusyDlg> busy_;
};

// The document's place on the command route: the analysis run's commands, the framework's save
// and the document's own handlers.
class CZK470App::DocumentCommands : public win::CommandTarget {
 public:
  explicit DocumentCommands(CZK470App& app) : app_(app) {}

  bool OnCmdMsg(win::CommandMessage& message) override {
    CZK470Doc* doc = app_.GetDocument();
    if (doc == nullptr || message.code != 0) return false;
    analysis::AnalysisRun* run = app_.GetAnalysisRun();
    const std::optional<bool> run_state = run != nullptr ? run->IsCommandEnabled(*doc, message.id) : std::nullopt;
    switch (message.kind) {
      case win::CommandMessage::Kind::kExecute:
        if (run_state) return run->OnCommand(*doc, message.id);
        if (document_sheets::RunDocumentSheet(*doc, message.id, app_.GetMainFrame(),
                                              app_.GetAnalysisLibraryVersionText()))
          return true;
        if (message.id == cmd::kFileSave) {
          (void)doc->DoFileSave();
          return true;
        }
        return doc->OnCommand(message.id);
      case win::CommandMessage::Kind::kUpdate: {
        if (run_state) {
          message.ui->Enable(*run_state);
          return true;
        }
        if (message.id == cmd::kFileSave) {
          message.ui->Enable(!doc->GetPathName().empty() && doc->GetDisplayMode() != DisplayMode::kPdf);
          return true;
        }
        const CZK470Doc::CommandUpdate update = doc->OnUpdateCommand(message.id);
        if (!update.handled && document_sheets::IsDocumentSheetCommand(message.id)) {
          message.ui->Enable(true);
          return true;
        }
        if (update.handled && update.enabled) message.ui->Enable(*update.enabled);
        return update.handled;
      }
      case win::CommandMessage::Kind::kProbe:
        return run_state.has_value() || message.id == cmd::kFileSave ||
               document_sheets::IsDocumentSheetCommand(message.id) ||
               doc->OnUpdateCommand(message.id).handled;
    }
    return false;
  }

 private:
  CZK470App& app_;
};

// --- Construction and commands ---------------------------------------------------------------------------

// Defined here, where the members' types are complete.
CZK470App::CZK470App(platform::ProfileStore& profile) : profile_(profile) {}

CZK470App::~CZK470App() {
  ExitInstance();
  if (g_app == this) g_app = nullptr;
}

bool CZK470App::InitInstance(StartupOptions options) {
  g_app = this;
  clock_ = options.clock;
  view_factory_ = std::move(options.view_factory);
  narrative_test_ = std::move(options.narrative_test);
  CAutomationCommandLineInfo& info = AutomationInfo();

  // 1. The command line. Its paths count from the caller's working folder, which the document
  // replaces with its data directory below.
  std::error_code no_folder;
  const std::filesystem::path caller_folder = std::filesystem::current_path(no_folder);
  info.ParseCommandLine(options.args);
  info.ResolvePathParameters(caller_folder);
  SetCommandLine(options.args);

  // 2. One instance: a plain second start brings the first one to the front and ends; its file
  // (a double-click in the file manager) goes to the first one, which may run in another folder.
  if (options.instance != nullptr && options.instance->FindRunningInstance()) {
    if (!info.IsCommandComplete() && info.IsParseValid()) {
      const bool has_file = !GetCommandLine().empty() && GetGDTMode() == 0;
      options.instance->RaiseRunningInstance(has_file ? ResolveAgainstFolder(caller_folder, GetCommandLine())
                                                      : "");
      return false;
    }
    info.SetFirstInstance(0);
  }
  class_registered_ = true;

  // 4, 5. Profile, recent files and the language pack.
  LoadStdProfileSettings();
  if (!pack_source_) {
    InstallProgramResources();
    SetLanguagePackSource(FindLanguagePack);
  }
  LoadLanguageDll();
  UseLanguageResources();
  {
    platform::ScopedExeResources own;
    win::Windows().SetAppTitle(platform::LoadString(ids::kIdsAppTitle));
  }

  // 7. The C-library locale.
  if (const std::string locale = SelectRuntimeLocale(); !locale.empty() && options.apply_locale) {
    options.apply_locale(locale);
  }

  // 9. The splash, for starts a user watches.
  if (!AutomationCommandPresent()) CSplashWindow::EnableSplash(info.ShowSplash());
  input_filter_ = win::Windows().AddInputFilter(
      [](const win::InputMessage& input) { CSplashWindow::PreTranslateAppMessage(input.message); });

  // 12. The document with its collaborators; the application is last on every command route.
  if (options.analysis_dialogs == nullptr) {
    own_analysis_dialogs_ = std::make_unique<WindowAnalysisDialogs>();
    options.analysis_dialogs = own_analysis_dialogs_.get();
  }
  analysis::AnalysisRun::Services services;
  services.dialogs = options.analysis_dialogs;
  services.sample_source = std::move(options.analysis_sample_source);
  services.library_version_text = [this] { return GetAnalysisLibraryVersionText(); };
  services.set_analysis_aborted = [](int aborted) { SetAnalysisAborted(aborted); };
  services.is_analysis_aborted = [] { return IsAnalysisAborted(); };
  services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
  services.st_analysis = [dialogs = options.analysis_dialogs](CZK470Doc& doc, int mode) {
    return analysis::RunSTAnalysisDialog(*dialogs, doc, mode);
  };
  analysis_run_ = std::make_unique<analysis::AnalysisRun>(std::move(services));
  beat_edit_sink_ = std::make_unique<CAnalysisBeatEditSink>(
      [run = analysis_run_.get()](CZK470Doc& doc) { run->RunSTAnalysisAfterEdit(doc); });
  SetBeatEditSink(beat_edit_sink_.get());
  doc_host_ = std::make_unique<DocumentHostImpl>(*this);
  doc_commands_ = std::make_unique<DocumentCommands>(*this);
  doc_ = std::make_unique<CZK470Doc>(profile_, *clock_, options.settings_defaults);
  doc_->SetHost(doc_host_.get());
  doc_->SetAnalysisHooks(analysis_run_.get());
  win::Windows().SetAppCommandTarget(this);
  AddCommand(cmd::kAppAbout, [this] { OnAppAbout(); });
  AddCommand(cmd::kFileNew, [this] { OnFileNew(); });
  AddUpdate(cmd::kFileNew, [](win::CmdUI& ui) { ui.Enable(!AutomationInfo().IsCommandComplete()); });
  AddCommandRange(cmd::kFileMruFirst, cmd::kFileMruLast,
                  [this](int id) { OpenRecentFile(id - cmd::kFileMruFirst); });
  AddUpdateRange(cmd::kFileMruFirst, cmd::kFileMruLast, [this](win::CmdUI& ui) {
    ui.Enable(!GetRecentFileName(ui.Id() - cmd::kFileMruFirst).empty());
  });
  AddCommand(cmd::kAppExit, [] {
    if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(win::kWmClose);
  });
  info.SetEndRequestHandler([](int exit_code) { win::Windows().PostQuitMessage(exit_code); });

  // 13. The screen layouts with the program's area and window classes and the services their
  // windows reach, before the main frame and its view.
  InstallScreenServices();
  (void)CreateDefaultLayouts();

  // 14. The first document, part one.
  if (AutomationCommandPresent() || GetCommandLine().empty()) {
    OnFileNew();
  } else {
    SetGDTStartMode(GetGDTMode());
    if (GetGDTStartMode() != 0) OnFileNew();
  }

  // 15, 16. The library's version for the status bar: the program's binding, by the name the
  // profile gives, is loaded and freed again.
  if (!options.library_version) {
    options.library_version = [this] {
      CVRAInterface& library = CVRAInterface::Process();
      library.SetLibraryName(CVRAInterface::LibraryNameFromProfile(profile_));
      return library.ReadVersion();
    };
  }
  ReadAnalysisLibraryVersion(options.library_version);
  InstallBatchAnalysis();
  PostToMainWindow(msg::kStatusRefresh);

  // 17. A test build warns before it touches recordings.
  std::string build;
  {
    platform::ScopedExeResources own;
    build = platform::LoadString(ids::kIdsBuild);
  }
  if (!build.empty() && build[0] == '9' && win::Windows().MainWindow() != nullptr && !AutomationCommandPresent()) {
    win::CurrentPrompt().MessageBox(
        "BETA-VERSION: " + build +
            "\n\nThis BETA-VERSION is provided AS IS without any warranty !\n\n"
            "Only use TEST-DATAFILES to evaluate, especially it can\nNOT BE GUARANTEED that QRS-Files modified by "
            "this BETA-VERSION\nwill be readable by future release versions !\n\nBETA-VERSIONS will not be supported !",
        win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
  }

  // 18. The first document, part two: the automation command, or the file of the command line.
  if (AutomationCommandPresent()) {
    PostToMainWindow(msg::kStartupCommand);
  } else if (!GetCommandLine().empty()) {
    // The start mode was read in part one; reading it again changes nothing.
    if (GetGDTStartMode() == 0 && !OpenDocumentFile(ResolveAgainstFolder(caller_folder, GetCommandLine())) &&
        frame_ == nullptr)
      return false;
  }
  if (frame_ == nullptr) return false;
  // A frame that came with the command line's file takes dropped files too: how the program was
  // started should not decide whether a drop works.
  frame_->DragAcceptFiles(true);
  if (options.instance != nullptr && info.IsFirstInstance() != 0) {
    options.instance->Listen([this](const std::string& file) { OnRaiseRequest(file); });
  }
  return true;
}

int CZK470App::ExitInstance() {
  if (input_filter_ != 0) {
    win::Windows().RemoveInputFilter(input_filter_);
    input_filter_ = 0;
  }
  CSplashWindow::Reset();
  if (frame_ != nullptr) {
    frame_->DestroyWindow();
    frame_.reset();
  }
  doc_.reset();
  RemoveScreenServices();
  // Normally gone with the view; a run that never made one leaves them here.
  DeleteDefaultLayouts();
  if (win::Windows().AppCommandTarget() == this) win::Windows().SetAppCommandTarget(nullptr);
  if (g_app == this) AutomationInfo().SetEndRequestHandler(nullptr);
  class_registered_ = false;
  return win::Windows().QuitRequested() ? win::Windows().QuitCode() : 0;
}

void CZK470App::InstallScreenServices() {
  RegisterScreenFactories();
  RegisterTrendScreenFactories();
  RegisterRecorderScreenFactories();
  InstallRecorderScreenServices();
  InstallViewDialogs();
  InstallBeatEditDialogs();
  InstallSTDialogs(profile_);
  InstallAutoScrollDialog(profile_);
  InstallTemplateReviewDialogs();
  InstallPrintingEngine();
  InstallFindingsWindowAccess();
  InstallPrintOptionPages();
  InstallRecorderSearchDialogs();
  ViewServices view_services;
  AddMailServices(view_services);
  view_services.gdt_link = MakeGdtLink;
  view_services.archive_copy = [](CZK470Doc& doc, int copy_mode) {
    return RunArchiveCopy(doc, copy_mode, nullptr, win::Windows().MainWindow());
  };
  view_services.archive_copy_chosen = [](CZK470Doc& doc, int copy_mode,
                                         const std::vector<std::string>& chosen) {
    return RunArchiveCopy(doc, copy_mode, &chosen, win::Windows().MainWindow());
  };
  view_services.validation_statistic = [](CZK470Doc& doc, int command) {
    if (command == cmd::kSTStatistic) {
      tools::TSTTStatistic(doc).Run();
    } else {
      tools::RunAnnotationStatisticCommand(doc, command == cmd::kAnnotationStatisticMIT);
    }
  };
  InstallViewServices(std::move(view_services));
  tools::ToolServices tool_services;
  tool_services.open_document = [this](const std::string& path) -> CZK470Doc* {
    return OpenDocumentFile(path) ? GetDocument() : nullptr;
  };
  tool_services.set_file_format_version = [this](int version) { SetFileFormatVersion(version); };
  tool_services.batch_file_result = [] { return GetBatchFileResult(); };
  tool_services.set_batch_running = [](int running) { SetBatchRunning(running); };
  tools::InstallToolServices(std::move(tool_services));
  CECGPageServices page_services;
  page_services.set_analysis_aborted = [](int aborted) { SetAnalysisAborted(aborted); };
  page_services.is_analysis_aborted = [] { return IsAnalysisAborted(); };
  page_services.open_document = [this](const std::string& path) { return OpenDocumentFile(path); };
  SetECGPageServices(std::move(page_services));
  CDocumentBrowserServices browser;
  browser.confirm_delete = [](win::Window* parent) {
    TDeleteChoiceDlg choice(parent);
    if (choice.DoModal() != TDeleteChoiceDlg::kDeleteId) return false;
    const std::string question = platform::Resources().LoadString(TDeleteChoiceDlg::kConfirmQuestion);
    return win::CurrentPrompt().MessageBox(question, win::Windows().AppTitle(),
                                           win::kMbYesNo | win::kMbIconQuestion) == win::kIdYes;
  };
  browser.remove_recent_file = [this](const std::string& path) {
    if (!recent_files_) return;
    for (int i = 0; i < recent_files_->GetSize(); ++i) {
      if (recent_files_->GetName(i) == path) {
        RemoveRecentFile(i);
        return;
      }
    }
  };
  browser.end_automation = [](int exit_code) {
    AutomationInfo().SetExitCode(exit_code);
    AutomationInfo().EndAutomation();
  };
  SetDocumentBrowserServices(std::move(browser));
  CHRNavigatorArea::SetBusyFactory([](std::string_view text) -> std::unique_ptr<CNavigatorBusy> {
    // The busy window of any other work, shown while the navigator builds its lists.
    class Busy : public CNavigatorBusy {
     public:
      explicit Busy(std::string_view text) : dialog_(1, std::string(text)) { dialog_.ShowBusy(); }
      ~Busy() override { dialog_.EndBusy(); }

     private:
      TBusyDlg dialog_;
    };
    return std::make_unique<Busy>(text);
  });
}

void CZK470App::RemoveScreenServices() {
  if (beat_edit_sink_ != nullptr && GetBeatEditSink() == beat_edit_sink_.get()) SetBeatEditSink(nullptr);
  // The dialog factories hold this application's profile, the page services the application.
  SetAutoScrollDialogFactory({});
  CSTTrendWnd::SetEpisodeDialogFactory({});
  SetECGPageServices({});
  InstallViewServices({});
  tools::InstallToolServices({});
  SetTemplateReviewDialogs(nullptr);
  SetDocumentBrowserServices({});
  CHRNavigatorArea::SetBusyFactory({});
}

bool CZK470App::CreateMainFrame() {
  // The screens exist before the view; a view that went with an earlier frame took them along.
  SetViewClosing(false);
  if (GetDefaultLayouts() == nullptr && !CreateDefaultLayouts()) return false;
  std::unique_ptr<win::View> view =
      view_factory_ ? view_factory_(*doc_) : std::make_unique<CZK470View>(doc_.get());
  if (view != nullptr) view->SetDocument(doc_commands_.get());
  auto frame = std::make_unique<CMainFrame>(*this);
  if (!frame->LoadFrame(std::move(view))) return false;
  frame_ = std::move(frame);
  win::Windows().SetMainWindow(frame_.get());
  frame_->ShowWindow(win::kSwShowNormal);
  if (frame_->GetView() != nullptr) frame_->GetView()->SetFocus();
  frame_->UpdateWindow();
  return true;
}

void CZK470App::OnFileNew() {
  if (doc_ == nullptr) return;
  if (frame_ == nullptr) {
    if (!CreateMainFrame()) return;
  } else if (!doc_->SaveModified()) {
    return;
  }
  if (doc_->OnNewDocument()) doc_->SetTitle(document::DocString(document::strings::kUntitled));
  PostToMainWindow(msg::kStatusRefresh);
}

bool CZK470App::OpenDocumentFile(const std::string& path) {
  if (doc_ == nullptr) return false;
  bool made_frame = false;
  if (frame_ == nullptr) {
    if (!CreateMainFrame()) return false;
    made_frame = true;
  } else if (!doc_->SaveModified()) {
    return false;
  }
  if (doc_->OnOpenDocument(path)) return true;
  if (made_frame) {
    // The first document could not be opened: no frame without a document.
    frame_->DestroyWindow();
    frame_.reset();
    win::Windows().ClearQuit();
  }
  return false;
}

bool CZK470App::OpenChosenFile(const std::string& path) {
  const bool opened = OpenDocumentFile(path);
  if (opened && doc_ != nullptr && !doc_->GetDocumentPath().empty()) {
    doc_->SetPathName(doc_->GetDocumentPath());
  }
  PostToMainWindow(msg::kStatusRefresh);
  return opened;
}

void CZK470App::OpenRecentFile(int index) {
  const std::string name = GetRecentFileName(index);
  if (name.empty()) return;
  // A recent file that cannot be opened any more leaves the list, as the framework does.
  if (!OpenDocumentFile(name)) RemoveRecentFile(index);
}

void CZK470App::OnAppAbout() {
  CAboutDlg about(doc_ != nullptr ? doc_->GetMainDirectory() : std::string(), win::Windows().MainWindow());
  about.DoModal();
}

void CZK470App::RunNarrativeTest() {
  if (!narrative_test_ || doc_ == nullptr) return;
  doc_->EnsureAnalysisUpToDate();
  // The test letters are looked at, not printed: the preview of the narrative print kind.
  if (narrative_test_() != 1) return;
  if (CZK470View* view = GetActiveZK470View()) view->PrintPreview(cmd::kPrintNarrative);
}

void CZK470App::OnRaiseRequest(const std::string& file) {
  ++raise_requests_;
  win::Window* main = win::Windows().MainWindow();
  if (main == nullptr) return;
  if (main->IsMinimized()) main->ShowWindow(win::kSwRestore);
  // The last active pop-up: a dialog the user left open comes to the front with its frame.
  win::Window* front = win::Windows().GetActiveWindow();
  if (front == nullptr || (front != main && front->GetOwner() != main)) front = main;
  if (win::Host* host = win::Windows().HostOf(*front)) host->BringToForeground(*front);
  // The file opens as a dropped one does, but not under a dialog, an automation command or an
  // opening still asking about the last one: the recording they work on would go from under them.
  if (file.empty() || !main->IsWindowEnabled() || AutomationCommandPresent() || opening_handed_file_) return;
  opening_handed_file_ = true;
  (void)OpenChosenFile(file);
  opening_handed_file_ = false;
}
