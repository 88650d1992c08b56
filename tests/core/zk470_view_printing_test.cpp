// Printing through the main view: which report a command prints, the options sheet before it, and
// the hooks of the print loop over the printing engine's composer (a recording fake here).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/view_pages.h"
#include "core/zk470_view.h"
#include "core/zk470_view_fixture.h"
#include "gfx/recording_canvas.h"
#include "reports/print_composer.h"
#include "reports/print_envelopes_dlg.h"
#include "win/printing.h"
#include "win/property_sheet.h"

namespace coretest {
namespace {

// A printer that keeps nothing; its dialog answers as the test says.
class FakePrintService : public win::PrintService {
 public:
  class Job : public win::PrintJob {
   public:
    gfx::Canvas& Canvas() override { return canvas_; }
    bool StartPage() override { return true; }
    bool EndPage() override { return true; }
    bool EndDoc() override { return true; }
    void AbortDoc() override {}
    win::PrinterInfo Printer() const override { return {"Test", 210, 297, true}; }

   private:
    gfx::RecordingCanvas canvas_;
  };

  std::optional<win::PrinterInfo> DefaultPrinter() override {
    return win::PrinterInfo{"Test", 210, 297, true};
  }
  bool PrintDialog(win::CPrintInfo&) override {
    ++dialogs;
    return dialog_answer;
  }
  std::unique_ptr<win::PrintJob> StartDoc(std::string_view, win::PageOrientation) override {
    return std::make_unique<Job>();
  }
  bool Preview(std::string_view, const std::function<void(win::PrintJob&)>& print_pages) override {
    ++previews;
    Job job;
    print_pages(job);
    return true;
  }

  bool dialog_answer = true;
  int dialogs = 0;
  int previews = 0;
};

// Records each step the view asks of it, with the display mode when the pages are counted.
class FakeComposer : public PrintComposer {
 public:
  FakeComposer(CZK470Doc& doc, std::vector<std::string>& log) : doc_(doc), log_(log) {}
  void CountPages(win::CPrintInfo& info, int print_kind) override {
    log_.push_back("count " + std::to_string(print_kind) + " in mode " +
                   std::to_string(static_cast<int>(doc_.GetDisplayMode())));
    info.max_page = 2;
  }
  void DecideColour(gfx::Canvas&) override { log_.push_back("colour"); }
  void PrepareDC(gfx::Canvas&, win::CPrintInfo& info) override {
    log_.push_back("prepare " + std::to_string(info.current_page));
  }
  void PrintPage(gfx::Canvas&, win::CPrintInfo& info, int flag) override {
    log_.push_back("page " + std::to_string(info.current_page) + " flag " + std::to_string(flag));
  }
  void CleanUp(gfx::Canvas*, win::CPrintInfo&) override { log_.push_back("clean up"); }

 private:
  CZK470Doc& doc_;
  std::vector<std::string>& log_;
};

// Option pages on the user-id page's template, one full-disclosure page per day (at most three).
class FakePages : public PrintOptionPages {
 public:
  FakePages(int days, int* stored) : stored_(stored) {
    for (int day = 0; day < std::clamp(days, 1, 3); ++day)
      days_.push_back(std::make_unique<TUserIDPage>("day"));
  }
  win::PropertyPage& TemplatesPage() override { return templates_; }
  win::PropertyPage& SamplesPage() override { return samples_; }
  std::vector<win::PropertyPage*> FullDisclosurePages() override {
    std::vector<win::PropertyPage*> pages;
    for (const auto& page : days_) pages.push_back(page.get());
    return pages;
  }
  win::PropertyPage& UserPage() override { return user_; }
  void StoreValues() override { ++*stored_; }

 private:
  TUserIDPage templates_{"templates"};
  TUserIDPage samples_{"samples"};
  std::vector<std::unique_ptr<TUserIDPage>> days_;
  TUserIDPage user_{"user"};
  int* stored_;
};

class PrintingTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    win::SetPrintService(&printer_);
    InstallPrintComposerFactory([this](CZK470Doc& doc) { return std::make_unique<FakeComposer>(doc, log_); });
    InstallPrintOptionPagesFactory(
        [this](CZK470Doc& doc) { return std::make_unique<FakePages>(doc.GetDayCount(), &stored_); });
    Doc().SetDisplayMode(DisplayMode::kNavigation);
    Doc().GetRawECGData()->SetWholeMinutes(600);
    SetOptionsFirst(false);
    // Each sheet that opens is noted (pages, first page) and ends as the test says.
    on_idle_ = [this](win::Window* modal) {
      auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
      if (sheet == nullptr) return false;
      sheets_.push_back({sheet->GetPageCount(), sheet->GetActiveIndex()});
      sheet->PressButton(sheet_answer_);
      return true;
    };
  }

  void TearDown() override {
    win::SetPrintService(nullptr);
    ZK470ViewTest::TearDown();
  }

  void SetOptionsFirst(bool on) { Doc().GetSettings().SetInt(SettingKey::kSetupShowPrintDlg, on ? 1 : 0); }

  struct SheetSeen {
    int pages;
    int first;
  };
  FakePrintService printer_;
  std::vector<std::string> log_;
  std::vector<SheetSeen> sheets_;
  int sheet_answer_ = win::kIdOk;
  int stored_ = 0;
};

TEST_F(PrintingTest, APrintCommandRunsTheHooksInOrderOverOneComposer) {
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrint32885));
  const std::vector<std::string> want = {
      "count 32885 in mode 1", "colour",  "prepare 1", "page 1 flag 1", "prepare 2",
      "page 2 flag 1",         "clean up"};
  EXPECT_EQ(log_, want);
  EXPECT_EQ(printer_.dialogs, 1);
  EXPECT_EQ(View().GetPrintComposer(), nullptr);
  EXPECT_EQ(View().GetPrintKind(), CZK470View::kDefaultPrintKind);
}

TEST_F(PrintingTest, TheOptionsSheetOpensOnThePageOfTheKind) {
  struct Case {
    const char* name;
    int kind;
    int first;  // -1: no sheet
  };
  // One day: templates 0, samples 1, the day 2, user 3.
  constexpr Case kCases[] = {
      {"whole report", 32816, 3},  {"samples 32863", 32863, 1},   {"samples 32876", 32876, 1},
      {"samples 32911", 32911, 1}, {"samples 32956", 32956, 1},   {"samples 32987", 32987, 1},
      {"samples 33203", 33203, 1}, {"full disclosure", 32988, 2}, {"templates", 32992, 0},
      {"32790", 32790, -1},        {"32885", 32885, -1},          {"32886", 32886, -1},
      {"32912", 32912, -1},        {"32989", 32989, -1},          {"32996", 32996, -1},
      {"33007", 33007, -1},        {"33218", 33218, -1},
  };
  sheet_answer_ = win::kIdCancel;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    sheets_.clear();
    EXPECT_EQ(View().DoPrintOptions(c.kind), c.first == -1 ? 0 : -1);
    if (c.first == -1) {
      EXPECT_TRUE(sheets_.empty());
      continue;
    }
    ASSERT_EQ(sheets_.size(), 1u);
    EXPECT_EQ(sheets_[0].pages, 4);
    EXPECT_EQ(sheets_[0].first, c.first);
  }
  EXPECT_EQ(stored_, 0);
}

TEST_F(PrintingTest, TwoDaysGiveFivePagesAndOkStoresThem) {
  Doc().GetRawECGData()->SetWholeMinutes(2000);
  EXPECT_EQ(View().DoPrintOptions(cmd::kPrintFullDisclosure), 0);
  ASSERT_EQ(sheets_.size(), 1u);
  EXPECT_EQ(sheets_[0].pages, 5);
  EXPECT_EQ(sheets_[0].first, 2);
  EXPECT_EQ(stored_, 1);
}

TEST_F(PrintingTest, WithOptionsFirstSomeKindsSkipTheSheetAndOthersOpenIt) {
  SetOptionsFirst(true);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrint32885));
  EXPECT_TRUE(sheets_.empty());
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "count 32885 in mode 1");

  log_.clear();
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrintSamples));
  ASSERT_EQ(sheets_.size(), 1u);
  EXPECT_EQ(sheets_[0].first, 1);
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "count 32863 in mode 1");

  // A cancelled sheet prints nothing.
  log_.clear();
  sheet_answer_ = win::kIdCancel;
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrintSamples));
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(printer_.dialogs, 2);
}

TEST_F(PrintingTest, Hint1021PrintsTheEventStripsWithoutASheet) {
  SetOptionsFirst(true);
  Doc().UpdateAllViews(nullptr, hint::kPrintEventStrips);
  EXPECT_TRUE(sheets_.empty());
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "count 32664 in mode 1");
  EXPECT_EQ(View().GetPrintKind(), CZK470View::kDefaultPrintKind);
}

TEST_F(PrintingTest, PrintingFromTheBeatPageReturnsToTheTemplateBrowserBeforeCounting) {
  Doc().SetDisplayMode(DisplayMode::kTemplateBeats);
  int preparations = 0;
  SpyHints(hint::kPrintPreparation, &preparations);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrintTemplates));
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "count 32992 in mode 7");
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateClasses);
  EXPECT_EQ(preparations, 1);
}

TEST_F(PrintingTest, ACancelledPrintDialogDropsTheComposerAndRestoresTheWholeReport) {
  printer_.dialog_answer = false;
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrint32885));
  EXPECT_EQ(log_, std::vector<std::string>{"count 32885 in mode 1"});
  EXPECT_EQ(View().GetPrintComposer(), nullptr);
  EXPECT_EQ(View().GetPrintKind(), CZK470View::kDefaultPrintKind);
}

TEST_F(PrintingTest, PreviewPrintsTheKindWithoutADialog) {
  View().PrintPreview(cmd::kPrint32989);
  EXPECT_EQ(printer_.previews, 1);
  EXPECT_EQ(printer_.dialogs, 0);
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "count 32989 in mode 1");
  EXPECT_EQ(View().GetPrintKind(), CZK470View::kDefaultPrintKind);
}

TEST_F(PrintingTest, PrintCommandsNeedAComposerAndOptionsNeedPages) {
  const int print_commands[] = {cmd::kPrintWholeReport, cmd::kPrintSamples, cmd::kFilePrint,
                                cmd::kFilePrintPreview};
  for (const int id : print_commands) EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(cmd::kPrintOptions));
  InstallPrintComposerFactory(nullptr);
  InstallPrintOptionPagesFactory(nullptr);
  for (const int id : print_commands) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(cmd::kPrintOptions));
}

TEST_F(PrintingTest, EnvelopesOfferTheSwitchedOnAddresseesOfThePatientRecord) {
  TPatientData& patient = Doc().GetPatientData();
  // Insurance, patient, refer to, referred by.
  patient.letter_switches[0] = 1;
  patient.letter_switches[1] = 1;
  patient.letter_switches[2] = 0;
  patient.letter_switches[3] = 1;
  std::vector<std::string> offered;
  on_idle_ = [&offered](win::Window* modal) {
    auto* dialog = dynamic_cast<TPrintEnvelopesDlg*>(modal);
    if (dialog == nullptr) return false;
    offered.push_back(dialog->GetDlgItemText(TPrintEnvelopesDlg::kNameId));
    dialog->SendMessage(win::kWmCommand, TPrintEnvelopesDlg::kSkipId);
    return true;
  };
  prompt_.ClearLog();
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPrintEnvelopes));
  EXPECT_EQ(offered,
            (std::vector<std::string>{"Patient - Letter", "Refer to - Letter", "Refered by - Letter"}));
  EXPECT_TRUE(prompt_.Log().empty());
}

}  // namespace
}  // namespace coretest
