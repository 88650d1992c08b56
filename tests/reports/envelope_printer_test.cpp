#include "reports/envelope_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources.h"
#include "reports/print_envelopes_dlg.h"
#include "reports/report_resources.h"
#include "support/recording_print_service.h"
#include "support/screen_golden.h"
#include "win/win_fixture.h"

namespace {

using testsupport::RecordingPrintService;
using testsupport::ScopedPrintService;
using Dlg = TPrintEnvelopesDlg;

constexpr int kOk = win::kIdOk;
constexpr int kCancel = win::kIdCancel;
constexpr int kSkip = Dlg::kSkipId;

class EnvelopePrinterTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddReportResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    service_.SetDefaultPrinter("Office", 210, 297);
    installed_ = std::make_unique<ScopedPrintService>(service_);
  }
  void TearDown() override {
    installed_.reset();
    WinTest::TearDown();
  }

  static win::Button* ButtonOf(win::Window* dialog, int id) {
    return dynamic_cast<win::Button*>(dialog->GetDlgItem(id));
  }

  static EnvelopeRequest Request() {
    EnvelopeRequest request;
    request.addressees = {{{true, "City Insurance\r\nMarket 1\r\n10115 Berlin"},
                           {true, "Lake Road 2\r\n20095 Hamburg"},
                           {true, "Dr. Weber\r\nStation Street 3"},
                           {true, "Dr. Braun\r\nPark Lane 4"}}};
    request.patient_first_name = "Anna";
    request.patient_last_name = "Meier";
    request.practice_address = "Dr. Schmidt\r\nHigh Street 5";
    request.application_title = "ZK-470";
    return request;
  }

  // Runs the envelopes, answering each dialog with one button after choosing a feed method (-1:
  // as it stands); returns the envelope names the dialogs showed.
  std::vector<std::string> Run(const EnvelopeRequest& request, const std::vector<int>& buttons,
                               int feed = -1) {
    std::vector<std::string> names;
    std::vector<std::function<void(win::Window*)>> steps;
    for (int button : buttons) {
      steps.push_back([&names, button, feed](win::Window* modal) {
        names.push_back(modal->GetDlgItemText(Dlg::kNameId));
        if (feed >= 0) {
          // Checked directly: on paper narrower than the envelope the first button is disabled.
          ButtonOf(modal, Dlg::kFirstFeedId)->SetCheck(feed == 0 ? win::kBstChecked : win::kBstUnchecked);
          ButtonOf(modal, Dlg::kSecondFeedId)->SetCheck(feed == 1 ? win::kBstChecked : win::kBstUnchecked);
        }
        ButtonOf(modal, button)->Click();
      });
    }
    DriveModal(std::move(steps));
    PrintEnvelopes(request, &main_);
    return names;
  }

  win::Window main_;
  RecordingPrintService service_;
  std::unique_ptr<ScopedPrintService> installed_;
};

TEST_F(EnvelopePrinterTest, AnEnvelopeUprightOnA4PrintsCentredAtTheTopEdge) {
  EnvelopeRequest request = Request();
  request.addressees[1].print = request.addressees[2].print = request.addressees[3].print = false;
  EXPECT_EQ(Run(request, {kOk}, 0), std::vector<std::string>{"Insurance - Letter"});
  ASSERT_EQ(service_.Jobs().size(), 1u);
  const RecordingPrintService::Job& job = service_.Jobs()[0];
  EXPECT_EQ(job.name, "ZK-470");
  EXPECT_EQ(job.orientation, win::PageOrientation::kPortrait);
  EXPECT_TRUE(job.ended);
  ASSERT_EQ(job.pages.size(), 1u);
  testsupport::ExpectScreenGolden("reports", "envelope_format0_feed0_a4", job.pages[0]);
  std::string page;
  for (const std::string& line : job.pages[0]) page += line + "\n";
  EXPECT_NE(page.find("DrawText 1050,-1130,1750,-1430 "), std::string::npos) << page;
  EXPECT_NE(page.find("DrawText 10,-80,710,-380 "), std::string::npos) << page;
}

TEST_F(EnvelopePrinterTest, FeedMethodsPlaceTheEnvelopeAndTurnThePage) {
  struct Case {
    const char* name;
    int format;
    int feed;
    win::PageOrientation orientation;
    const char* recipient_box;
  };
  // A4 turned is 297 x 210: at the right edge, centred vertically.
  const Case cases[] = {
      {"format 0 upright", 0, 0, win::PageOrientation::kPortrait, "DrawText 1050,-1130,1750,-1430 "},
      {"format 0 sideways", 0, 1, win::PageOrientation::kLandscape, "DrawText 1820,-1370,2520,-1670 "},
      {"format 2 upright", 2, 0, win::PageOrientation::kPortrait, "DrawText 1070,-1480,1770,-1780 "},
      {"format 2 sideways", 2, 1, win::PageOrientation::kLandscape, "DrawText 1590,-1460,2290,-1760 "},
      {"unknown format prints as 0", 7, 0, win::PageOrientation::kPortrait,
       "DrawText 1050,-1130,1750,-1430 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    service_.Clear();
    EnvelopeRequest request = Request();
    request.format = c.format;
    request.addressees[1].print = request.addressees[2].print = request.addressees[3].print = false;
    Run(request, {kOk}, c.feed);
    ASSERT_EQ(service_.Jobs().size(), 1u);
    EXPECT_EQ(service_.Jobs()[0].orientation, c.orientation);
    ASSERT_EQ(service_.Jobs()[0].pages.size(), 1u);
    std::string page;
    for (const std::string& line : service_.Jobs()[0].pages[0]) page += line + "\n";
    EXPECT_NE(page.find(c.recipient_box), std::string::npos) << page;
  }
}

TEST_F(EnvelopePrinterTest, PaperNarrowerThanTheEnvelopeAllowsOnlyTheSecondFeedMethod) {
  struct Case {
    int paper_width_mm;
    bool first_enabled;
  };
  for (const Case& c : {Case{228, false}, Case{229, true}}) {
    SCOPED_TRACE(c.paper_width_mm);
    service_.SetDefaultPrinter("Narrow", c.paper_width_mm, 297);
    bool first_enabled = !c.first_enabled;
    int second_check = -1;
    DriveModal({[&](win::Window* modal) {
      first_enabled = modal->GetDlgItem(Dlg::kFirstFeedId)->IsWindowEnabled();
      second_check = ButtonOf(modal, Dlg::kSecondFeedId)->GetCheck();
      ButtonOf(modal, kCancel)->Click();
    }});
    PrintEnvelopes(Request(), &main_);
    EXPECT_EQ(first_enabled, c.first_enabled);
    EXPECT_EQ(second_check, win::kBstChecked);
  }
}

TEST_F(EnvelopePrinterTest, WithoutAPrinterTheUserIsToldAndNoDialogShows) {
  service_.SetDefaultPrinter(std::nullopt);
  EXPECT_TRUE(Run(Request(), {kOk}).empty());
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].text, "No printer selected!");
  EXPECT_TRUE(service_.Jobs().empty());
}

TEST_F(EnvelopePrinterTest, AddresseesComeInOrderAndTheButtonsDecideWhatPrints) {
  struct Case {
    const char* name;
    std::vector<bool> flags;
    std::vector<int> buttons;
    std::vector<std::string> names;
    std::vector<std::string> printed;  // a text of each envelope printed
  };
  const Case cases[] = {
      {"all printed",
       {true, true, true, true},
       {kOk, kOk, kOk, kOk},
       {"Insurance - Letter", "Patient - Letter", "Refer to - Letter", "Refered by - Letter"},
       {"City Insurance", "\"Anna Meier\" at", "Dr. Weber", "Dr. Braun"}},
      {"only flagged ones",
       {false, true, false, true},
       {kOk, kOk},
       {"Patient - Letter", "Refered by - Letter"},
       {"Anna Meier", "Dr. Braun"}},
      {"skip goes on",
       {true, true, true, true},
       {kSkip, kOk, kSkip, kOk},
       {"Insurance - Letter", "Patient - Letter", "Refer to - Letter", "Refered by - Letter"},
       {"Anna Meier", "Dr. Braun"}},
      {"cancel stops",
       {true, true, true, true},
       {kOk, kCancel, kOk},
       {"Insurance - Letter", "Patient - Letter"},
       {"City Insurance"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    service_.Clear();
    EnvelopeRequest request = Request();
    for (size_t i = 0; i < 4; ++i) request.addressees[i].print = c.flags[i];
    EXPECT_EQ(Run(request, c.buttons), c.names);
    ASSERT_EQ(service_.Jobs().size(), c.printed.size());
    for (size_t i = 0; i < c.printed.size(); ++i) {
      const RecordingPrintService::Job& job = service_.Jobs()[i];
      ASSERT_EQ(job.pages.size(), 1u);
      std::string page;
      for (const std::string& line : job.pages[0]) page += line + "\n";
      EXPECT_NE(page.find(c.printed[i]), std::string::npos) << page;
      EXPECT_NE(page.find("Dr. Schmidt"), std::string::npos);
      // The feed method starts sideways.
      EXPECT_EQ(job.orientation, win::PageOrientation::kLandscape);
    }
  }
}

TEST_F(EnvelopePrinterTest, TheDialogEndsWithItsOwnResultForSkipAndKeepsTheFeedMethod) {
  struct Case {
    int button;
    int result;
  };
  for (const Case& c : {Case{kSkip, Dlg::kSkipResult}, Case{kOk, kOk}, Case{kCancel, kCancel}}) {
    SCOPED_TRACE(c.button);
    Dlg dialog(&main_);
    dialog.name = "Patient - Letter";
    dialog.feed_method = 1;
    DriveModal({[&](win::Window* modal) {
      ButtonOf(modal, Dlg::kFirstFeedId)->Click();
      ButtonOf(modal, c.button)->Click();
    }});
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_EQ(dialog.feed_method, c.result == kOk ? 0 : 1);
  }
}

TEST_F(EnvelopePrinterTest, TheEnvelopeTextsAndDialogExistInEnglishAndGerman) {
  for (const char* name : {"ZK470Eng", "ZK470Ger"}) {
    platform::ResourcePack pack(name);
    AddReportResources(pack);
    EXPECT_TRUE(pack.FindString(kIdsNoPrinterSelected).has_value()) << name;
    EXPECT_NE(win::Templates().FindIn(name, TPrintEnvelopesDlg::kTemplateId), nullptr) << name;
  }
}

}  // namespace
