// The main view's report export: command state, the recording marked and saved, the pages
// converted on the wait dialog's worker, the job always ended, messages after the dialog, and the
// PDF opened as the document.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/pdf_convert_wait_dlg.h"
#include "core/view_pages.h"
#include "core/zk470_view.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/small_dlgs.h"
#include "document/profile_keys.h"
#include "document/settings_store.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "reports/print_composer.h"
#include "reports/report_pdf_export.h"
#include "reports/reports_context.h"
#include "support/test_recordings.h"
#include "win/printing.h"
#include "win/prompt.h"
#include "win/property_sheet.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

int PageCount(const std::string& pdf) {
  const size_t at = pdf.find("/Type /Pages\n/Count ");
  return at == std::string::npos ? -1 : std::stoi(pdf.substr(at + 20));
}

// What the composer saw, written by the user-interface thread and the worker at times the wait
// dialog keeps apart.
struct ComposerLog {
  std::vector<std::string> steps;
  std::thread::id page_thread;
  int edit_mode_when_counted = -1;
  DisplayMode mode_when_counted = DisplayMode::kNone;
  int first_row_when_counted = -1;
  bool throw_on_page = false;
  int pages = 3;
};

class FakeComposer : public PrintComposer {
 public:
  explicit FakeComposer(ComposerLog& log) : log_(log) {}
  void CountPages(win::CPrintInfo& info, int print_kind) override {
    log_.steps.push_back("count " + std::to_string(print_kind));
    log_.edit_mode_when_counted = App()->GetEditMode();
    log_.mode_when_counted = App()->GetDocument()->GetDisplayMode();
    log_.first_row_when_counted = App()->GetDocument()->GetFirstVisibleTemplateRow();
    info.max_page = log_.pages;
  }
  void DecideColour(gfx::Canvas&) override {
    log_.steps.push_back(IsEmfRecording() ? "colour recording" : "colour");
  }
  void PrepareDC(gfx::Canvas& dc, win::CPrintInfo&) override { dc.SetMapMode(gfx::MapMode::kHiMetric); }
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int) override {
    log_.steps.push_back("page " + std::to_string(info.current_page));
    log_.page_thread = std::this_thread::get_id();
    if (log_.throw_on_page) throw std::runtime_error("page failed");
    // The converter has something to say about this mapping mode.
    if (info.current_page == 1) dc.SetMapMode(gfx::MapMode::kAnisotropic);
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.TextOut(2000, -2000, "Report page " + std::to_string(info.current_page));
  }
  void CleanUp(gfx::Canvas*, win::CPrintInfo&) override { log_.steps.push_back("clean up"); }

 private:
  ComposerLog& log_;
};

// The options sheet's pages, on the user-id page's template.
class FakePages : public PrintOptionPages {
 public:
  win::PropertyPage& TemplatesPage() override { return templates_; }
  win::PropertyPage& SamplesPage() override { return samples_; }
  std::vector<win::PropertyPage*> FullDisclosurePages() override { return {&day_}; }
  win::PropertyPage& UserPage() override { return user_; }
  void StoreValues() override {}

 private:
  TUserIDPage templates_{"templates"};
  TUserIDPage samples_{"samples"};
  TUserIDPage day_{"day"};
  TUserIDPage user_{"user"};
};

// Notes on which thread each message box came.
class ThreadPrompt : public win::ScriptedPrompt {
 public:
  int MessageBox(std::string_view text, std::string_view caption, unsigned style) override {
    if (std::this_thread::get_id() != ui_thread_) ++off_ui_thread;
    return win::ScriptedPrompt::MessageBox(text, caption, style);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const Asked& asked : Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }
  int off_ui_thread = 0;

 private:
  std::thread::id ui_thread_ = std::this_thread::get_id();
};

// A folder in which no file can be made or renamed, for the superuser too (immutable).
class LockedFolder {
 public:
  explicit LockedFolder(const fs::path& folder) : folder_(folder) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() == 0) locked_ = SetImmutable(true);
  }
  ~LockedFolder() {
    if (locked_) SetImmutable(false);
    fs::permissions(folder_, fs::perms::owner_all);
  }
  bool Locked() const { return ::geteuid() != 0 || locked_; }

 private:
  bool SetImmutable(bool on) {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  fs::path folder_;
  bool locked_ = false;
};

class ReportPdfExportTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    win::SetPrompt(&prompt_);
    AddReportPdfExportResources(platform::Resources().ExePack());
    View().AddReportPdfCommands();
    InstallPrintComposerFactory([this](CZK470Doc&) { return std::make_unique<FakeComposer>(log_); });
    InstallPrintOptionPagesFactory([](CZK470Doc&) { return std::make_unique<FakePages>(); });
    on_idle_ = [this](win::Window* modal) {
      // The wait dialog ends by its worker's message alone.
      if (dynamic_cast<TPdfConvertWaitDlg*>(modal) != nullptr) return false;
      // The PDF's window offers to delete the exported recording; it is kept.
      if (auto* offer = dynamic_cast<TDeleteChoiceDlg*>(modal)) {
        ++delete_offers_;
        offer->EndDialog(win::kIdCancel);
        return true;
      }
      if (auto* sheet = dynamic_cast<win::PropertySheet*>(modal)) {
        ++sheets_;
        sheet->PressButton(sheet_answer_);
        return true;
      }
      return false;
    };
  }

  void TearDown() override {
    win::SetPrompt(nullptr);
    ZK470ViewTest::TearDown();
  }

  // Opens a synthetic recording of Jürgen Müßig.
  void OpenRecording(const char* folder = "rec") {
    const fs::path qrs = MakeSyntheticRecording(Folder(folder) / "00001", 2, {"Jürgen", "Müßig", "4711"});
    ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
    Pump();
    ASSERT_EQ(Doc().GetDisplayMode(), DisplayMode::kNavigation);
  }

  bool Export() { return win::ExecuteCommand(Frame(), CZK470View::kExportReportPdf); }

  ThreadPrompt prompt_;
  ComposerLog log_;
  int sheets_ = 0;
  int delete_offers_ = 0;
  int sheet_answer_ = win::kIdOk;
};

TEST_F(ReportPdfExportTest, TheCommandNeedsARecordingAndThePrintingEngine) {
  OpenRecording();
  struct Case {
    DisplayMode mode;
    bool enabled;
  };
  constexpr Case kCases[] = {{DisplayMode::kNone, false},         {DisplayMode::kOnlineEcg, false},
                             {DisplayMode::kPdf, false},          {DisplayMode::kNavigation, true},
                             {DisplayMode::kTemplateBeats, true}, {DisplayMode::kHrv10, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    Doc().SetDisplayMode(c.mode);
    EXPECT_EQ(Enabled(CZK470View::kExportReportPdf), c.enabled);
  }
  InstallPrintComposerFactory({});
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_FALSE(Enabled(CZK470View::kExportReportPdf));
}

TEST_F(ReportPdfExportTest, TheReportIsWrittenOnTheWorkerBesideTheMarkedRecordingAndOpened) {
  OpenRecording();
  ASSERT_TRUE(Export());
  Pump();

  EXPECT_EQ(sheets_, 1);
  const std::vector<std::string> want = {"count 32816", "colour recording", "page 1",
                                         "page 2",      "page 3",           "clean up"};
  EXPECT_EQ(log_.steps, want);
  EXPECT_EQ(log_.edit_mode_when_counted, 2);
  EXPECT_NE(log_.page_thread, std::this_thread::get_id());
  EXPECT_EQ(app_->GetEditMode(), 0);
  EXPECT_FALSE(View().IsExportingPdf());
  EXPECT_FALSE(IsEmfRecording());

  // The converter's remark comes after the dialog, on this thread; no failure is reported.
  EXPECT_EQ(prompt_.off_ui_thread, 0);
  EXPECT_EQ(prompt_.Messages(), std::vector<std::string>{"Setmapmode an/isotropic"});

  // The PDF is the open document now, and its window will offer to delete the recording.
  const std::string pdf_path = Doc().GetPathName();
  ASSERT_EQ(pdf_path.substr(pdf_path.size() - 4), ".PDF");
  EXPECT_NE(pdf_path.find(" V"), std::string::npos);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kPdf);
  EXPECT_EQ(delete_offers_, 1);
  const std::string pdf = ReadAll(pdf_path);
  EXPECT_EQ(PageCount(pdf), 3);
  EXPECT_NE(pdf.find("/Title (Page  3)"), std::string::npos);
  EXPECT_NE(pdf.find("/Title (00001 V----)"), std::string::npos);
  EXPECT_NE(pdf.find("/Subject (Holter ECG report)"), std::string::npos);

  // Again on the renamed recording: its name stays and the PDF is overwritten.
  const std::string qrs_path = pdf_path.substr(0, pdf_path.size() - 3) + "QRS";
  ASSERT_TRUE(app_->OpenDocumentFile(qrs_path));
  Pump();
  log_ = {};
  log_.pages = 1;
  prompt_.ClearLog();
  ASSERT_TRUE(Export());
  Pump();
  EXPECT_EQ(Doc().GetPathName(), pdf_path);
  EXPECT_EQ(PageCount(ReadAll(pdf_path)), 1);
  for (const std::string& name : Listing(Folder("rec")))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

TEST_F(ReportPdfExportTest, TheBeatPageIsLeftForTheTemplateBrowserBeforeThePagesAreCounted) {
  struct Case {
    const char* name;
    DisplayMode mode;
    DisplayMode want_mode;
    int want_preparation_hints;
  };
  constexpr Case kCases[] = {
      {"beat page", DisplayMode::kTemplateBeats, DisplayMode::kTemplateClasses, 1},
      {"template browser", DisplayMode::kTemplateClasses, DisplayMode::kTemplateClasses, 1},
      {"navigation", DisplayMode::kNavigation, DisplayMode::kNavigation, 0},
  };
  constexpr int kCursorRow = 40;
  int preparations = 0;
  SpyHints(hint::kPrintPreparation, &preparations);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenRecording(c.name));
    Doc().SetDisplayMode(c.mode);
    // The cursor row lies below the visible rows.
    Doc().SetTemplateCursorRow(kCursorRow);
    Doc().SetFirstVisibleTemplateRow(0);
    preparations = 0;
    log_ = {};
    ASSERT_TRUE(Export());
    Pump();
    EXPECT_EQ(log_.mode_when_counted, c.want_mode);
    // Sent by the command alone: the print preparation leaves it out while exporting.
    EXPECT_EQ(preparations, c.want_preparation_hints);
    if (c.mode == DisplayMode::kTemplateBeats) {
      EXPECT_LE(log_.first_row_when_counted, kCursorRow);
      const int page_rows = Doc().GetSettings().Int(SettingKey::kTemplatesView) != 0 ? 24 : 16;
      EXPECT_GT(log_.first_row_when_counted + page_rows, kCursorRow);
    } else {
      EXPECT_EQ(log_.first_row_when_counted, 0);
    }
    EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kPdf);
  }
}

TEST_F(ReportPdfExportTest, ACancelledSheetExportsNothing) {
  OpenRecording();
  const std::vector<std::string> before = Listing(Folder("rec"));
  sheet_answer_ = win::kIdCancel;
  ASSERT_TRUE(Export());
  EXPECT_EQ(sheets_, 1);
  EXPECT_TRUE(log_.steps.empty());
  EXPECT_EQ(Listing(Folder("rec")), before);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNavigation);
  EXPECT_TRUE(prompt_.Messages().empty());
  EXPECT_EQ(app_->GetEditMode(), 0);
}

TEST_F(ReportPdfExportTest, AFailedExportTellsOnceAfterTheDialogAndStillEndsTheJob) {
  OpenRecording();
  // Marked before the conversion, which does not undo that; here it is done beforehand.
  Doc().MarkRecordingNumber(1);
  struct Case {
    const char* name;
    bool throw_on_page;
    bool lock_folder;
    std::vector<std::string> want_steps;
  };
  const Case kCases[] = {
      {"a page fails", true, false, {"count 32816", "colour recording", "page 1", "clean up"}},
      {"unwritable folder",
       false,
       true,
       {"count 32816", "colour recording", "page 1", "page 2", "page 3", "clean up"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path pdf = ReportPdfPath(Doc().GetPathName());
    std::ofstream(pdf) << "earlier report";
    const std::vector<std::string> before = Listing(Folder("rec"));
    log_ = {};
    log_.throw_on_page = c.throw_on_page;
    prompt_.ClearLog();
    std::optional<LockedFolder> locked;
    if (c.lock_folder) {
      locked.emplace(Folder("rec"));
      if (!locked->Locked()) GTEST_SKIP() << "the folder cannot be made unwritable here";
    }
    ASSERT_TRUE(Export());
    locked.reset();
    Pump();
    EXPECT_EQ(log_.steps, c.want_steps);
    EXPECT_EQ(prompt_.Messages().back(), "Internal PDF Library Error!");
    EXPECT_EQ(prompt_.off_ui_thread, 0);
    EXPECT_FALSE(IsEmfRecording());
    EXPECT_FALSE(View().IsExportingPdf());
    EXPECT_EQ(ReadAll(pdf), "earlier report");
    EXPECT_EQ(Listing(Folder("rec")), before);
    EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNavigation);
  }
}

}  // namespace
}  // namespace coretest
