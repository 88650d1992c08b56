#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "dialogs/print_option_pages.h"
#include "document/context_guard.h"
#include "document/profile_keys.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "win/controls.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

using Page = TPrintCfgTemplates;

// Box ids and settings in one order: artefact, normal, SVES, VES.
constexpr std::array<int, 4> kBoxIds = {Page::kArtefactId, Page::kNormalId, Page::kSVESId, Page::kVESId};
constexpr std::array<SettingKey, 4> kKeys = {SettingKey::kPrintTemplatesArtefact,
                                             SettingKey::kPrintTemplatesNormal,
                                             SettingKey::kPrintTemplatesSVES, SettingKey::kPrintTemplatesVES};

std::array<int, 4> ValuesOf(const Page& page) { return {page.artefact, page.normal, page.sves, page.ves}; }

class PrintCfgTemplatesTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    context_ = std::make_unique<ContextGuard>();
    AddPrintOptionPageResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    context_.reset();
    WinTest::TearDown();
  }

  void SetSwitches(const std::array<int, 4>& values) {
    for (size_t i = 0; i < kKeys.size(); ++i) doc_->GetSettings().SetInt(kKeys[i], values[i]);
  }
  std::array<int, 4> Switches() const {
    std::array<int, 4> values{};
    for (size_t i = 0; i < kKeys.size(); ++i) values[i] = doc_->GetSettings().Int(kKeys[i]);
    return values;
  }

  // Shows the page alone in a sheet; `shown` receives the boxes' check states, then the boxes
  // listed in `click` are clicked and the sheet ends with `button`.
  int Run(Page& page, std::array<int, 4>& shown, const std::array<bool, 4>& click, int button) {
    win::PropertySheet sheet("Print options", &main_);
    sheet.SetApplyButton(false);
    sheet.AddPage(page);
    DriveModal({[&](win::Window*) {
      win::Windows().RunPending();
      for (size_t i = 0; i < kBoxIds.size(); ++i) {
        auto* box = dynamic_cast<win::Button*>(page.GetDlgItem(kBoxIds[i]));
        ASSERT_NE(box, nullptr) << kBoxIds[i];
        shown[i] = box->GetCheck() == win::kBstChecked ? 1 : 0;
        if (click[i]) box->Click();
      }
      sheet.PressButton(button);
    }});
    return sheet.DoModal();
  }

  std::unique_ptr<ContextGuard> context_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2026, 3, 4, 14, 5, 9, 0}};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(PrintCfgTemplatesTest, DefaultsAreAllOnAndABarePageHoldsNone) {
  EXPECT_EQ(Switches(), (std::array<int, 4>{1, 1, 1, 1}));
  const Page bare;
  EXPECT_EQ(ValuesOf(bare), (std::array<int, 4>{0, 0, 0, 0}));
  EXPECT_EQ(bare.TemplateId(), Page::kTemplateId);
}

TEST_F(PrintCfgTemplatesTest, TheFourBoxesRoundTripThePrintSwitches) {
  struct Case {
    const char* name;
    std::array<int, 4> stored;
    std::array<bool, 4> click;
    int button;
    std::array<int, 4> after;
  };
  const Case cases[] = {
      {"every box flipped", {1, 0, 1, 0}, {true, true, true, true}, win::kIdOk, {0, 1, 0, 1}},
      {"one box flipped", {1, 1, 1, 1}, {false, false, true, false}, win::kIdOk, {1, 1, 0, 1}},
      {"unchanged", {0, 1, 0, 0}, {false, false, false, false}, win::kIdOk, {0, 1, 0, 0}},
      {"cancel keeps the switches", {1, 0, 1, 0}, {true, true, true, true}, win::kIdCancel, {1, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetSwitches(c.stored);
    Page page(*doc_);
    EXPECT_EQ(ValuesOf(page), c.stored);
    std::array<int, 4> shown{};
    EXPECT_EQ(Run(page, shown, c.click, c.button), c.button);
    EXPECT_EQ(shown, c.stored);
    EXPECT_EQ(ValuesOf(page), c.after);
    page.StoreSettings(doc_->GetSettings());
    EXPECT_EQ(Switches(), c.after);
  }
}

}  // namespace
