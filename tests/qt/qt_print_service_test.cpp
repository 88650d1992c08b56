#include "qt/qt_print_service.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

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

}  // namespace
