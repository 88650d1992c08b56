#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "platform/process_context.h"
#include "reports/print_composer.h"
#include "support/recording_print_service.h"
#include "win/printing.h"

namespace {

using testsupport::RecordingPrintService;
using testsupport::ScopedPrintService;

// Logs each hook with the page it was called for and draws one line per page.
class LoggingHooks : public win::PrintHooks {
 public:
  int max_page = 3;
  bool prepare = true;
  int stop_before_page = 0;  // clears continue_printing in OnPrepareDC of that page
  std::vector<std::string> log;

  bool OnPreparePrinting(win::CPrintInfo& info) override {
    log.push_back(std::string("prepare") + (info.preview ? " preview" : ""));
    info.max_page = max_page;
    return prepare && win::DoPreparePrinting(info);
  }
  void OnBeginPrinting(gfx::Canvas&, win::CPrintInfo& info) override {
    log.push_back("begin " + std::to_string(info.draw_rect.Width()));
  }
  void OnPrepareDC(gfx::Canvas&, win::CPrintInfo& info) override {
    log.push_back("dc " + std::to_string(info.current_page));
    if (info.current_page == stop_before_page) info.continue_printing = false;
  }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override {
    log.push_back("print " + std::to_string(info.current_page));
    dc.MoveTo(0, 0);
    dc.LineTo(info.current_page, 0);
  }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo&) override {
    log.push_back(dc != nullptr ? "end" : "end without dc");
  }
};

class PrintLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    service_.SetDefaultPrinter("Office", 210, 297);
    service_.SetDpi(100);
  }
  void TearDown() override { platform::ResetProcessState(); }

  RecordingPrintService service_;
};

TEST_F(PrintLoopTest, WithoutAHostThereIsNoPrinterAndNothingPrints) {
  EXPECT_FALSE(win::Printing().DefaultPrinter().has_value());
  LoggingHooks hooks;
  EXPECT_FALSE(win::RunPrintJob(hooks, "Report", false));
  EXPECT_FALSE(win::RunPrintJob(hooks, "Report", true));
  EXPECT_EQ(hooks.log, (std::vector<std::string>{"prepare", "prepare preview", "end without dc"}));
}

TEST_F(PrintLoopTest, TheProcessResetForgetsTheInstalledService) {
  win::SetPrintService(&service_);
  EXPECT_EQ(&win::Printing(), &service_);
  platform::ResetProcessState();
  EXPECT_NE(&win::Printing(), &service_);
}

TEST_F(PrintLoopTest, HooksRunInOrderOverThePagesOfTheChosenRange) {
  struct Case {
    const char* name;
    std::optional<int> from;
    std::optional<int> to;
    int stop_before;
    std::vector<std::string> log;
    size_t pages;
  };
  const std::vector<std::string> all = {"prepare", "begin 826", "dc 1",    "print 1", "dc 2",
                                        "print 2", "dc 3",      "print 3", "end"};
  const Case cases[] = {
      {"all pages", {}, {}, 0, all, 3},
      {"range inside", 2, 2, 0, {"prepare", "begin 826", "dc 2", "print 2", "end"}, 1},
      {"range beyond the last page", 3, 9, 0, {"prepare", "begin 826", "dc 3", "print 3", "end"}, 1},
      {"range before the first page", 0, 1, 0, {"prepare", "begin 826", "dc 1", "print 1", "end"}, 1},
      {"a hook stops before page 2",
       {},
       {},
       2,
       {"prepare", "begin 826", "dc 1", "print 1", "dc 2", "end"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingPrintService service;
    service.SetDefaultPrinter("Office", 210, 297);
    service.SetDpi(100);
    service.QueueDialogAnswer({true, c.from, c.to});
    ScopedPrintService installed(service);
    LoggingHooks hooks;
    hooks.stop_before_page = c.stop_before;
    EXPECT_TRUE(win::RunPrintJob(hooks, "Report", false));
    EXPECT_EQ(hooks.log, c.log);
    EXPECT_EQ(service.PrintDialogCount(), 1);
    ASSERT_EQ(service.Jobs().size(), 1u);
    EXPECT_EQ(service.Jobs()[0].name, "Report");
    EXPECT_EQ(service.Jobs()[0].pages.size(), c.pages);
    EXPECT_TRUE(service.Jobs()[0].ended);
  }
}

TEST_F(PrintLoopTest, ACancelledDialogOrFailedPreparationPrintsNothing) {
  ScopedPrintService installed(service_);
  LoggingHooks cancelled;
  service_.QueueDialogAnswer(false);
  EXPECT_FALSE(win::RunPrintJob(cancelled, "Report", false));
  EXPECT_EQ(cancelled.log, std::vector<std::string>{"prepare"});

  LoggingHooks refused;
  refused.prepare = false;
  EXPECT_FALSE(win::RunPrintJob(refused, "Report", false));
  EXPECT_EQ(refused.log, std::vector<std::string>{"prepare"});
  EXPECT_TRUE(service_.Jobs().empty());
}

TEST_F(PrintLoopTest, ADocumentThatCannotStartStillEndsThePrinting) {
  ScopedPrintService installed(service_);
  service_.SetStartDocFails(true);
  LoggingHooks hooks;
  EXPECT_FALSE(win::RunPrintJob(hooks, "Report", false));
  EXPECT_EQ(hooks.log, (std::vector<std::string>{"prepare", "end without dc"}));
}

TEST_F(PrintLoopTest, APreviewShowsNoDialogAndDrawsEveryPage) {
  ScopedPrintService installed(service_);
  LoggingHooks hooks;
  EXPECT_TRUE(win::RunPrintJob(hooks, "Report", true));
  EXPECT_EQ(service_.PrintDialogCount(), 0);
  EXPECT_EQ(service_.PreviewCount(), 1);
  EXPECT_EQ(hooks.log, (std::vector<std::string>{"prepare preview", "begin 826", "dc 1", "print 1", "dc 2",
                                                 "print 2", "dc 3", "print 3", "end without dc"}));
  ASSERT_EQ(service_.Jobs().size(), 1u);
  EXPECT_TRUE(service_.Jobs()[0].preview);
  EXPECT_EQ(service_.Jobs()[0].pages.size(), 3u);
}

TEST_F(PrintLoopTest, TheComposerFactoriesAreEmptyUntilInstalledAndAfterAReset) {
  EXPECT_FALSE(GetPrintComposerFactory());
  EXPECT_FALSE(GetPrintOptionPagesFactory());
  InstallPrintComposerFactory([](CZK470Doc&) { return std::unique_ptr<PrintComposer>(); });
  InstallPrintOptionPagesFactory([](CZK470Doc&) { return std::unique_ptr<PrintOptionPages>(); });
  EXPECT_TRUE(GetPrintComposerFactory());
  EXPECT_TRUE(GetPrintOptionPagesFactory());
  platform::ResetProcessState();
  EXPECT_FALSE(GetPrintComposerFactory());
  EXPECT_FALSE(GetPrintOptionPagesFactory());
}

}  // namespace
