#include "dialogs/io_port_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_resources.h"
#include "document/context_guard.h"
#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "recorder/rx3_transfer.h"
#include "support/recorder_sim.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "win/controls.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

using P = TIOPortPage;

class IOPortPageTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddDialogResources(own);
    AddIOPortPageResources(own);
    recorder::AddRecorderSearchResources(own);
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  // The page alone in a sheet; the steps run on the page, then OK.
  int RunSheet(TIOPortPage& page, std::vector<std::function<void(TIOPortPage&)>> steps) {
    win::PropertySheet sheet(std::string("Options"), &main_);
    sheet.AddPage(page);
    std::vector<std::function<void(win::Window*)>> modal_steps;
    for (auto& step : steps) modal_steps.push_back([&page, step](win::Window*) { step(page); });
    modal_steps.push_back([&sheet](win::Window*) { sheet.PressButton(win::kIdOk); });
    DriveModal(std::move(modal_steps));
    return sheet.DoModal();
  }

  static std::vector<bool> AddressesEnabled(TIOPortPage& page) {
    std::vector<bool> enabled;
    for (int i = 0; i < P::kAddressCount; ++i)
      enabled.push_back(page.GetDlgItem(P::kFirstAddressId + i)->IsWindowEnabled());
    return enabled;
  }
  static void Click(TIOPortPage& page, int id) { page.Item<win::Button>(id)->Click(); }

  ContextGuard context_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(IOPortPageTest, StartsFromTheSettings) {
  struct Case {
    int base_address;
    int want_index;
    uint32_t want_base;
  };
  constexpr Case kCases[] = {{0x300, 0, 0x300}, {0x308, 1, 0x308},  {0x310, 2, 0x310},
                             {0x318, 3, 0x318}, {0x320, -1, 0x300}, {0, -1, 0x300}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.base_address);
    doc_->GetSettings().SetInt(SettingKey::kIOPortBaseAdr, c.base_address);
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, 0);
    doc_->GetSettings().SetInt(SettingKey::kIOPortDoAskPatData, 1);
    const TIOPortPage page(*doc_);
    EXPECT_EQ(page.address_index, c.want_index);
    EXPECT_EQ(page.BaseAddress(), c.want_base);
    EXPECT_EQ(page.interface_choice, 0);
    EXPECT_EQ(page.ask_patient_data, 1);
  }
}

TEST_F(IOPortPageTest, UsbGreysTheAddressesAndOkStoresTheChoices) {
  TIOPortPage page(*doc_);
  std::vector<std::vector<bool>> seen;
  EXPECT_EQ(RunSheet(page, {[&](TIOPortPage& p) {
                       seen.push_back(AddressesEnabled(p));
                       Click(p, P::kFirstAddressId + 2);
                       Click(p, P::kUsbId);
                       seen.push_back(AddressesEnabled(p));
                       Click(p, P::kCardId);
                       seen.push_back(AddressesEnabled(p));
                       Click(p, P::kUsbId);
                       Click(p, P::kAskPatientDataId);
                     }}),
            win::kIdOk);
  const std::vector<bool> on(4, true);
  const std::vector<bool> off(4, false);
  EXPECT_EQ(seen, (std::vector<std::vector<bool>>{on, off, on}));

  StoreIOPortPage(page, *doc_);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kIOPortMode), 0);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kIOPortBaseAdr), 0x310);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kIOPortDoAskPatData), 1);
}

TEST_F(IOPortPageTest, OpensGreyedForTheUsbConverter) {
  doc_->GetSettings().SetInt(SettingKey::kIOPortMode, 0);
  TIOPortPage page(*doc_);
  std::vector<bool> seen;
  RunSheet(page, {[&](TIOPortPage& p) { seen = AddressesEnabled(p); }});
  EXPECT_EQ(seen, std::vector<bool>(4, false));
}

TEST_F(IOPortPageTest, AnAddressNoneOfTheFourIsKept) {
  doc_->GetSettings().SetInt(SettingKey::kIOPortBaseAdr, 0x2F8);
  TIOPortPage page(*doc_);
  EXPECT_EQ(RunSheet(page, {}), win::kIdOk);
  StoreIOPortPage(page, *doc_);
  // 0x300 + 8 x (-1) would be stored otherwise.
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kIOPortBaseAdr), 0x2F8);
}

TEST_F(IOPortPageTest, TestMessageNamesTheRecorder) {
  struct Case {
    int result;
    const char* version;
    bool has_72_hours;
    const char* want;
  };
  const Case cases[] = {
      {2, "", false, "Recorder found: ZK-130 !"},
      {3, "", false, "Recorder found: ZK-130/3 !"},
      {4, "1.20", true, "Recorder found: ZK-131 !\nVersion: 1.20\nSerial: 42\n72 Hours: X\n"},
      {4, "1.10", false, "Recorder found: ZK-131 !\nVersion: 1.10\nSerial: 42\n72 Hours: -\n"},
      {9, "", false, "No recorder found.\nCheck the cable, the recorder and the interface settings."},
      {1, "", false, "No recorder found.\nCheck the cable, the recorder and the interface settings."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(InterfaceTestMessage(c.result, c.version, "42", c.has_72_hours), c.want);
  }
}

TEST_F(IOPortPageTest, TestButtonSearchesWithThePagesChoices) {
  TIOPortPage page(*doc_);
  std::vector<std::pair<int, int>> searched;
  page.SetSearch([&](CZK470Doc& doc, int interface_kind, int base) {
    searched.emplace_back(interface_kind, base);
    recorder::CurrentRecorder current(doc);
    current.FirmwareVersion() = "1.20";
    current.SerialNumber() = "13100815";
    current.Set72HourCapability(true);
    return 4;
  });
  win::PropertySheet sheet(std::string("Options"), &main_);
  sheet.AddPage(page);
  // The prompt first: Cancel ends the test, OK runs the search.
  DriveModal({[&](win::Window*) {
                Click(page, P::kFirstAddressId + 3);
                Click(page, P::kTestId);
              },
              [&](win::Window* modal) { modal->SendMessage(win::kWmCommand, win::kIdCancel, 0); },
              [&](win::Window*) { Click(page, P::kTestId); },
              [&](win::Window* modal) { modal->SendMessage(win::kWmCommand, win::kIdOk, 0); },
              [&](win::Window*) { sheet.PressButton(win::kIdOk); }});
  EXPECT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(searched, (std::vector<std::pair<int, int>>{{1, 0x318}}));
  EXPECT_EQ(
      MessagesAsked(),
      (std::vector<std::string>{"Recorder found: ZK-131 !\nVersion: 1.20\nSerial: 13100815\n72 Hours: X\n"}));
}

// The real search against a simulated ZK-131 on a converter's terminal.
TEST_F(IOPortPageTest, TestReportsTheSimulatedRecordersCapability) {
  struct Case {
    const char* version;
    const char* want_last_line;
  };
  const Case cases[] = {{"V1.20", "72 Hours: X"}, {"V1.10", "72 Hours: -"}};
  const recorder::LinkEnvironment saved = recorder::Environment();
  recorder::ScaledRecorderClock fast(50);
  recorder::ScriptedRecorderSearchUi ui;
  recorder::SetClock(&fast);
  recorder::SetRecorderSearchUi(&ui);
  recorder::Environment().sysfs_root = (testsupport::MakeTestDir("io_port_sysfs") / "none").string();
  doc_->GetSettings().SetInt(SettingKey::kIOPortMode, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    prompt_.ClearLog();
    recsim::SimConfig config = recsim::SimConfig::ForKind(4);
    config.version = c.version;
    config.ecg.assign(2000, 0x40);
    recsim::PtyRecorder sim(config);
    recorder::Environment().probe_names = {sim.DevicePath()};
    TIOPortPage page(*doc_);
    win::PropertySheet sheet(std::string("Options"), &main_);
    sheet.AddPage(page);
    DriveModal({[&](win::Window*) { Click(page, P::kTestId); },
                [&](win::Window* modal) { modal->SendMessage(win::kWmCommand, win::kIdOk, 0); },
                [&](win::Window*) { sheet.PressButton(win::kIdOk); }});
    EXPECT_EQ(sheet.DoModal(), win::kIdOk);
    ASSERT_EQ(MessagesAsked().size(), 1u);
    EXPECT_EQ(MessagesAsked()[0], std::string("Recorder found: ZK-131 !\nVersion: ") + c.version +
                                      "\nSerial: 13100815\n" + c.want_last_line + "\n");
  }
  recorder::SetRecorderSearchUi(nullptr);
  recorder::SetClock(nullptr);
  recorder::Environment() = saved;
}

TEST_F(IOPortPageTest, SmallPagesExchangeTheirValues) {
  doc_->GetSettings().SetInt(SettingKey::kZK130AutoDelete, 1);
  AddRX3Resources(platform::Resources().ExePack());
  TZK130Settings zk130(*doc_);
  TRX3Transfer transfer(*doc_);
  transfer.speed_index = 3;
  transfer.port_index = 2;
  TRX3PortDlg rx3(transfer);
  EXPECT_EQ(TRX3PortDlg().speed_index, -1);
  win::PropertySheet sheet(std::string("Options"), &main_);
  sheet.AddPage(zk130);
  sheet.AddPage(rx3);
  std::string speed_text;
  DriveModal({[&](win::Window*) {
                EXPECT_EQ(zk130.Item<win::Button>(TZK130Settings::kAutoDeleteId)->GetCheck(), 1);
                zk130.Item<win::Button>(TZK130Settings::kAutoDeleteId)->Click();
                sheet.SetActivePage(1);
              },
              [&](win::Window*) {
                const auto* speed = rx3.Item<win::ComboBox>(TRX3PortDlg::kSpeedId);
                speed_text = speed->GetLBText(speed->GetCurSel());
                rx3.Item<win::ComboBox>(TRX3PortDlg::kPortId)->SetCurSel(0);
                sheet.PressButton(win::kIdOk);
              }});
  EXPECT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(zk130.auto_delete, 0);
  EXPECT_EQ(speed_text, "14400");
  EXPECT_EQ(rx3.speed_index, 3);
  EXPECT_EQ(rx3.port_index, 0);
}

TEST_F(IOPortPageTest, GoldenDisplayList) {
  TIOPortPage page(*doc_);
  RunSheet(page, {[&](TIOPortPage& p) {
             win::Windows().RunPending();
             testsupport::ExpectScreenGolden("recorder", "io_port_page", testsupport::RecordedScreen(p));
           }});
}

}  // namespace
