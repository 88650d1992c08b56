#include "qt/qt_print_service.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "gfx/canvas.h"
#include "platform/resources.h"
#include "qt/qt_test_app.h"
#include "reports/envelope_printer.h"
#include "reports/print_envelopes_dlg.h"
#include "reports/report_resources.h"
#include "win/win_fixture.h"

namespace {

// What pdfinfo says of a file.
std::string PdfInfo(const std::filesystem::path& file) {
  std::string out;
  const std::string command = "pdfinfo '" + file.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

class QtPrintServiceTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    qthost::testing_support::TestApp();
    AddReportResources(platform::Resources().ExePack());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("zk_qt_print_" + std::to_string(getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    win::SetPrintService(nullptr);
    std::filesystem::remove_all(dir_);
    WinTest::TearDown();
  }

  std::filesystem::path dir_;
};

TEST_F(QtPrintServiceTest, AnEnvelopeComesOutAsOnePdfPageTurnedByTheFeedMethod) {
  struct Case {
    int feed;
    const char* page_size;
  };
  for (const Case& c : {Case{0, "595 x 842 pts"}, Case{1, "842 x 595 pts"}}) {
    SCOPED_TRACE(c.feed);
    const std::filesystem::path pdf = dir_ / ("envelope" + std::to_string(c.feed) + ".pdf");
    qthost::QtPrintService service;
    service.SetPdfOutput(QString::fromStdString(pdf.string()));
    win::SetPrintService(&service);
    ASSERT_TRUE(service.DefaultPrinter().has_value());
    EXPECT_EQ(service.DefaultPrinter()->paper_width_mm, 210);

    EnvelopeRequest request;
    request.addressees[0] = {true, "City Insurance\r\nMarket 1\r\n10115 Berlin"};
    request.practice_address = "Dr. Schmidt\r\nHigh Street 5";
    request.application_title = "ZK-470";
    DriveModal({[&](win::Window* modal) {
      // Checked directly: A4 is narrower than the envelope, so the first button is disabled.
      auto* first = dynamic_cast<win::Button*>(modal->GetDlgItem(TPrintEnvelopesDlg::kFirstFeedId));
      auto* second = dynamic_cast<win::Button*>(modal->GetDlgItem(TPrintEnvelopesDlg::kSecondFeedId));
      ASSERT_NE(first, nullptr);
      ASSERT_NE(second, nullptr);
      first->SetCheck(c.feed == 0 ? win::kBstChecked : win::kBstUnchecked);
      second->SetCheck(c.feed == 1 ? win::kBstChecked : win::kBstUnchecked);
      win::Windows().PressKey(win::kVkReturn);
    }});
    PrintEnvelopes(request, nullptr);
    win::SetPrintService(nullptr);

    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string info = PdfInfo(pdf);
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find(c.page_size), std::string::npos) << info;
  }
}

// The print dialog comes up only while the switch asks for it; without it the job goes to the
// current printer with the whole range.
TEST_F(QtPrintServiceTest, PrintDialogFollowsItsSwitch) {
  struct Case {
    const char* name;
    bool show;
    bool want_shown;
    bool want_result;
  };
  const Case cases[] = {
      {"switch on, cancelled", true, true, false},
      {"switch off", false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qthost::QtPrintService service;
    service.SetPdfOutput(QString::fromStdString((dir_ / "dialog.pdf").string()));
    service.SetPrintDialogSwitch([&c] { return c.show; });
    bool shown = false;
    // Cancels the dialog once its modal loop runs.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
        shown = true;
        dialog->reject();
      }
    });
    closer.start(0);
    win::CPrintInfo info;
    info.max_page = 3;
    EXPECT_EQ(service.PrintDialog(info), c.want_result);
    closer.stop();
    EXPECT_EQ(shown, c.want_shown);
    EXPECT_EQ(info.from_page, 1);
    EXPECT_EQ(info.to_page, 0xFFFF);
  }
}

// The preview shows the pages the job draws on the preview's printer.
TEST_F(QtPrintServiceTest, PreviewShowsThePagesDrawn) {
  qthost::QtPrintService service;
  service.SetPdfOutput(QString::fromStdString((dir_ / "preview.pdf").string()));
  int drawn = 0;
  int shown_pages = -1;
  int ticks = 0;
  gfx::DeviceInfo device;
  // Closes the preview once it has asked for its pages (or gave up waiting for them).
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || (drawn == 0 && ++ticks < 500)) return;
    if (auto* pages = dialog->findChild<QPrintPreviewWidget*>()) shown_pages = pages->pageCount();
    dialog->reject();
  });
  closer.start(0);
  EXPECT_TRUE(service.Preview("Preview", [&](win::PrintJob& job) {
    device = job.Canvas().Device();
    for (int page = 0; page < 2; ++page) {
      ASSERT_TRUE(job.StartPage());
      job.Canvas().Rectangle(100, 100, 500, 500);
      ASSERT_TRUE(job.EndPage());
    }
    ++drawn;
  }));
  closer.stop();
  EXPECT_GE(drawn, 1);
  EXPECT_EQ(shown_pages, 2);
  EXPECT_GT(device.dpi_x, 0);
  EXPECT_GT(device.width_px, 0);
}

}  // namespace
