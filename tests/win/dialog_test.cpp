#include "win/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/worker.h"
#include "win/data_exchange.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

constexpr int kTemplate = 500;
constexpr int kEditLength = 1226;
constexpr int kEditName = 1227;
constexpr int kCheck = 1064;
constexpr int kRadio1 = 1100;
constexpr int kCombo = 1200;

constexpr ControlTemplate kControls[] = {
    {-1, ControlKind::kStatic, "Length (0..30):", 7, 7, 60, 8},
    {kEditLength, ControlKind::kEdit, "", 70, 5, 40, 12},
    {kEditName, ControlKind::kEdit, "", 70, 20, 80, 12},
    {kCheck, ControlKind::kCheckBox, "Enabled", 7, 35, 60, 10},
    {kRadio1, ControlKind::kRadioButton, "One", 7, 50, 40, 10, 0, kCtlGroup},
    {kRadio1 + 1, ControlKind::kRadioButton, "Two", 50, 50, 40, 10},
    {kRadio1 + 2, ControlKind::kRadioButton, "Three", 93, 50, 40, 10},
    {kCombo, ControlKind::kComboDropList, "", 7, 65, 80, 60, 0, kCtlGroup},
    {kIdOk, ControlKind::kDefPushButton, "OK", 100, 90, 50, 14},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 155, 90, 50, 14},
};
constexpr DialogTemplate kDialogs[] = {{kTemplate, "Settings", 212, 110, kControls}};

// Page templates of a sheet: a length page and a name page.
constexpr ControlTemplate kLengthPage[] = {{kEditLength, ControlKind::kEdit, "", 70, 5, 40, 12}};
constexpr ControlTemplate kNamePage[] = {{kEditName, ControlKind::kEdit, "", 70, 5, 80, 12}};
constexpr DialogTemplate kPages[] = {{600, "Tape", 200, 100, kLengthPage, true},
                                     {601, "User", 180, 120, kNamePage, true}};

class SettingsDialog : public Dialog {
 public:
  SettingsDialog() : Dialog(kTemplate) {}
  int length = 10;
  std::string name = "Smith";
  int enabled = 1;
  int radio = 2;
  int combo = 1;
  Edit name_edit;

 protected:
  bool OnInitDialog() override {
    auto* combo_box = Item<ComboBox>(kCombo);
    combo_box->AddString("A");
    combo_box->AddString("B");
    return Dialog::OnInitDialog();
  }
  void DoDataExchange(DataExchange& dx) override {
    DdxControl(dx, kEditName, name_edit);
    DdxText(dx, kEditLength, length);
    DdvMinMaxInt(dx, length, 0, 30);
    DdxText(dx, kEditName, name);
    DdvMaxChars(dx, name, 8);
    DdxCheck(dx, kCheck, enabled);
    DdxRadio(dx, kRadio1, radio);
    DdxCBIndex(dx, kCombo, combo);
  }
};

class DialogTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Templates().Add(platform::Resources().ExePack(), kDialogs);
    Templates().Add(platform::Resources().ExePack(), kPages);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 800, 600}, kWsPopup | kWsVisible));
    Windows().SetMainWindow(&main_);
  }

  static Edit& EditOf(Window* dialog, int id) { return *dynamic_cast<Dialog*>(dialog)->Item<Edit>(id); }

  Window main_;
};

TEST_F(DialogTest, ATemplateBuildsTheControlsAndTheDialogRunsModallyOverItsDisabledOwner) {
  SettingsDialog dialog;
  bool checked = false;
  DriveModal({[&](Window* modal) {
    checked = true;
    ASSERT_EQ(modal, &dialog);
    EXPECT_EQ(dialog.GetWindowText(), "Settings");
    EXPECT_EQ(dialog.GetClientRect(), (gfx::Rect{0, 0, 318, 178}));  // 212 x 110 dialog units
    auto* edit = dialog.Item<Edit>(kEditLength);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetWindowRectInParent(), (gfx::Rect{105, 8, 165, 27}));
    EXPECT_EQ(dialog.GetDlgItem(kEditName), &dialog.name_edit);  // the member took the template's place
    EXPECT_FALSE(main_.IsWindowEnabled());
    // Loaded from the members; the focus on the first tab stop, its text selected.
    EXPECT_EQ(edit->GetWindowText(), "10");
    EXPECT_EQ(dialog.name_edit.GetWindowText(), "Smith");
    EXPECT_EQ(dialog.name_edit.GetLimitText(), 8);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kCheck), 1);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kRadio1 + 2), 1);
    EXPECT_EQ(dialog.Item<ComboBox>(kCombo)->GetCurSel(), 1);
    EXPECT_EQ(Windows().GetFocus(), edit);
    EXPECT_EQ(edit->GetSel(), (std::pair<int, int>{0, 2}));
    // The user changes everything and presses Enter.
    edit->SetTextFromUser("25");
    dialog.name_edit.SetTextFromUser("Miller");
    dialog.Item<Button>(kCheck)->Click();
    dialog.Item<Button>(kRadio1)->Click();
    dialog.Item<ComboBox>(kCombo)->SelectFromUser(0);
    Windows().PressKey(kVkReturn);
  }});
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(dialog.IsWindow());
  EXPECT_TRUE(main_.IsWindowEnabled());
  EXPECT_EQ(dialog.length, 25);
  EXPECT_EQ(dialog.name, "Miller");
  EXPECT_EQ(dialog.enabled, 0);
  EXPECT_EQ(dialog.radio, 0);
  EXPECT_EQ(dialog.combo, 0);
}

TEST_F(DialogTest, ValidationRefusesWithTheStandardMessageAndKeepsTheDialogOpen) {
  struct Case {
    const char* typed;
    const char* message;
  };
  const Case refused[] = {
      {"31", "Please enter an integer between 0 and 30."},
      {"-1", "Please enter an integer between 0 and 30."},
      {"abc", "Please enter an integer."},
      {"", "Please enter an integer."},
      {"12x", "Please enter an integer."},
      {"99999999999", "Please enter an integer."},
  };
  SettingsDialog dialog;
  std::vector<std::function<void(Window*)>> steps;
  for (const Case& c : refused) {
    steps.push_back([&, c](Window* modal) {
      SCOPED_TRACE(c.typed);
      prompt_.ClearLog();
      Edit& edit = EditOf(modal, kEditLength);
      edit.SetTextFromUser(c.typed);
      dialog.name_edit.SetFocus();
      Windows().PressKey(kVkReturn);
      EXPECT_FALSE(dialog.Ended());
      ASSERT_EQ(prompt_.Log().size(), 1u);
      EXPECT_EQ(prompt_.Log()[0].text, c.message);
      EXPECT_EQ(prompt_.Log()[0].style, kMbOk | kMbIconExclamation);
      EXPECT_EQ(Windows().GetFocus(), &edit);
      EXPECT_EQ(edit.GetSel(), (std::pair<int, int>{0, static_cast<int>(std::string(c.typed).size())}));
    });
  }
  steps.push_back([&](Window* modal) {
    EditOf(modal, kEditLength).SetTextFromUser(" 30 ");
    prompt_.ClearLog();
    Windows().PressKey(kVkReturn);
    EXPECT_TRUE(prompt_.Log().empty());
  });
  DriveModal(steps);
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(StepsRun(), steps.size());
  EXPECT_EQ(dialog.length, 30);
}

TEST_F(DialogTest, TheMessagesFollowTheLanguagePack) {
  platform::ResourcePack german("ZK470Ger");
  AddWindowSystemResources(german);
  platform::Resources().SetLanguagePack(&german);
  SettingsDialog dialog;
  DriveModal({[&](Window* modal) {
                EditOf(modal, kEditLength).SetTextFromUser("31");
                Windows().PressKey(kVkReturn);
              },
              [&](Window* modal) {
                EditOf(modal, kEditLength).SetTextFromUser("3");
                dialog.name_edit.SetWindowText("Müllerstraße");  // 12 characters, 14 bytes
                Windows().PressKey(kVkReturn);
              },
              [&](Window*) { Windows().PressKey(kVkEscape); }});
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Geben Sie eine ganze Zahl zwischen 0 und 30 ein.",
                                                       "Geben Sie höchstens 8 Zeichen ein."}));
  platform::Resources().SetLanguagePack(nullptr);
}

TEST_F(DialogTest, EscCancelsWithoutSavingUnlessCancelIsDisabled) {
  SettingsDialog dialog;
  DriveModal({[&](Window* modal) {
                EditOf(modal, kEditLength).SetTextFromUser("5");
                dialog.GetDlgItem(kIdCancel)->EnableWindow(false);
                const int beeps = Windows().BeepCount();
                Windows().PressKey(kVkEscape);
                modal->SendMessage(kWmClose);
                EXPECT_FALSE(dialog.Ended());
                EXPECT_EQ(Windows().BeepCount(), beeps + 2);
              },
              [&](Window*) {
                dialog.GetDlgItem(kIdCancel)->EnableWindow(true);
                Windows().PressKey(kVkEscape);
              }});
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.length, 10);
}

TEST_F(DialogTest, EnterClicksTheFocusedPushButtonOrElseTheDefaultOneAndTabWraps) {
  SettingsDialog dialog;
  std::vector<std::string> clicked;
  DriveModal({[&](Window* modal) {
    // Tab order: the two edits, the check box, the radio buttons, the combo box, OK, Cancel.
    std::vector<int> order;
    for (int i = 0; i < 9; ++i) {
      order.push_back(Windows().GetFocus()->GetDlgCtrlID());
      Windows().PressKey(kVkTab);
    }
    EXPECT_EQ(order, (std::vector<int>{kEditLength, kEditName, kCheck, kRadio1, kRadio1 + 1, kRadio1 + 2, kCombo,
                                       kIdOk, kIdCancel}));
    EXPECT_EQ(Windows().GetFocus()->GetDlgCtrlID(), kEditLength);  // wrapped
    Windows().SetKeyDown(kVkShift, true);
    Windows().PressKey(kVkTab);
    Windows().SetKeyDown(kVkShift, false);
    EXPECT_EQ(Windows().GetFocus()->GetDlgCtrlID(), kIdCancel);
    // Enter on the focused Cancel button cancels.
    Windows().PressKey(kVkReturn);
  }});
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
}

TEST_F(DialogTest, AMissingTemplateRunsNothing) {
  Dialog dialog(4711);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(dialog.CreateModeless());
  EXPECT_TRUE(main_.IsWindowEnabled());
}

TEST_F(DialogTest, TheProgramsOwnPackServesBetweenTheResourceSwitches) {
  static constexpr ControlTemplate kGermanControls[] = {{kIdOk, ControlKind::kDefPushButton, "OK", 10, 10, 50, 14}};
  static constexpr DialogTemplate kGerman[] = {{kTemplate, "Einstellungen", 100, 50, kGermanControls}};
  platform::ResourcePack german("ZK470Ger");
  Templates().Add(german, kGerman);
  platform::Resources().SetLanguagePack(&german);
  EXPECT_STREQ(Templates().Find(kTemplate)->caption, "Einstellungen");
  {
    platform::ScopedExeResources own;
    EXPECT_STREQ(Templates().Find(kTemplate)->caption, "Settings");
  }
  EXPECT_STREQ(Templates().Find(600)->caption, "Tape");  // only in the program's own pack
  platform::Resources().SetLanguagePack(nullptr);
}

// A wait dialog: its worker posts the end message; the dialog ends when it arrives.
class WaitDialog : public Dialog {
 public:
  static constexpr uint32_t kDone = 0x401;
  explicit WaitDialog(std::atomic<bool>& release) : Dialog(kTemplate), release_(release) {
    AddCommand(kIdOk, [] {});
    AddCommand(kIdCancel, [] {});
  }

 protected:
  bool OnInitDialog() override {
    const WindowHandle handle = Handle();
    worker_.Start([this, handle](const platform::WorkerThread&) {
      while (!release_.load()) std::this_thread::yield();
      platform::UiThreadQueue().PostMessage(handle, kDone);
    });
    return Dialog::OnInitDialog();
  }
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kDone) {
      EndDialog(1);
      return 0;
    }
    return Dialog::WindowProc(message, wparam, lparam);
  }

 private:
  std::atomic<bool>& release_;
  platform::WorkerThread worker_;
};

TEST_F(DialogTest, AWaitDialogEndsWhenItsWorkerPostsAndIgnoresEnterAndEsc) {
  std::atomic<bool> release{false};
  WaitDialog dialog(release);
  DriveModal({[&](Window*) {
    Windows().PressKey(kVkReturn);
    Windows().PressKey(kVkEscape);
    dialog.SendMessage(kWmClose);
    EXPECT_FALSE(dialog.Ended());
    release = true;
  }});
  EXPECT_EQ(dialog.DoModal(), 1);
}

TEST_F(DialogTest, ATimerEndsADialogOnTheManualClock) {
  class Notice : public Dialog {
   public:
    Notice() : Dialog(kTemplate) {}

   protected:
    bool OnInitDialog() override {
      SetTimer(1, 1000);
      return Dialog::OnInitDialog();
    }
    void OnTimer(uintptr_t) override {
      KillTimer(1);
      EndDialog(kIdOk);
    }
  };
  Notice notice;
  int advanced = 0;
  Windows().SetModalIdleHandler([&](Window*) {
    clock_.Advance(250);
    ++advanced;
    return true;
  });
  EXPECT_EQ(notice.DoModal(), kIdOk);
  EXPECT_EQ(advanced, 4);
}

TEST_F(DialogTest, AModelessDialogHidesOnEndDialog) {
  SettingsDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(&main_));
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_TRUE(main_.IsWindowEnabled());
  dialog.Item<Edit>(kEditLength)->SetTextFromUser("7");
  dialog.SendMessage(kWmCommand, MakeWParam(kIdOk, 0));
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_EQ(dialog.Result(), kIdOk);
  EXPECT_EQ(dialog.length, 7);
}

// ---------------------------------------------------------------------------------------------

class LengthPage : public PropertyPage {
 public:
  LengthPage() : PropertyPage(600) {}
  int length = 12;
  int set_active = 0;
  int applied = 0;
  int reset = 0;
  bool OnSetActive() override {
    ++set_active;
    return PropertyPage::OnSetActive();
  }
  void OnOK() override {
    ++applied;
    PropertyPage::OnOK();
  }
  void OnCancel() override { ++reset; }

 protected:
  void DoDataExchange(DataExchange& dx) override {
    DdxText(dx, kEditLength, length);
    DdvMinMaxInt(dx, length, 0, 30);
  }
};

class NamePage : public PropertyPage {
 public:
  NamePage() : PropertyPage(601) {}
  std::string name = "from the constructor";
  int applied = 0;
  void OnOK() override {
    ++applied;
    PropertyPage::OnOK();
  }

 protected:
  void DoDataExchange(DataExchange& dx) override {
    DdxText(dx, kEditName, name);
    DdvMaxChars(dx, name, 40);
  }
};

class PropertySheetTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    sheet_.AddPage(length_);
    sheet_.AddPage(name_);
  }
  LengthPage length_;
  NamePage name_;
  PropertySheet sheet_{"Options"};
};

TEST_F(PropertySheetTest, APageRefuses31WithTheStandardMessageAndStaysActive) {
  DriveModal({[&](Window*) {
                ASSERT_TRUE(length_.IsWindow());
                EXPECT_FALSE(name_.IsWindow());  // pages are made when first shown
                length_.Item<Edit>(kEditLength)->SetTextFromUser("31");
                // Another tab: refused, the tab row keeps the page.
                EXPECT_FALSE(sheet_.Tabs().SelectFromUser(1));
                EXPECT_EQ(sheet_.Tabs().GetCurSel(), 0);
                EXPECT_EQ(sheet_.GetActiveIndex(), 0);
                EXPECT_FALSE(name_.IsWindow());
                // OK: refused, the sheet stays open on the page.
                sheet_.PressButton(kIdOk);
                EXPECT_FALSE(sheet_.Ended());
                EXPECT_EQ(sheet_.GetActivePage(), &length_);
                EXPECT_EQ(Windows().GetFocus(), length_.GetDlgItem(kEditLength));
              },
              [&](Window*) {
                length_.Item<Edit>(kEditLength)->SetTextFromUser("30");
                Windows().PressKey(kVkReturn);
              }});
  EXPECT_EQ(sheet_.DoModal(), kIdOk);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Please enter an integer between 0 and 30.",
                                                       "Please enter an integer between 0 and 30."}));
  EXPECT_EQ(length_.length, 30);
}

TEST_F(PropertySheetTest, APageNeverShownKeepsItsConstructorValuesAndIsNotApplied) {
  DriveModal({[&](Window*) { sheet_.PressButton(kIdOk); }});
  EXPECT_EQ(sheet_.DoModal(), kIdOk);
  EXPECT_EQ(name_.name, "from the constructor");
  EXPECT_EQ(name_.applied, 0);
  EXPECT_EQ(length_.applied, 1);
  EXPECT_FALSE(name_.IsWindow());
  EXPECT_FALSE(length_.IsWindow());
}

TEST_F(PropertySheetTest, PagesShownAreAppliedOnOkAndResetOnCancel) {
  DriveModal({[&](Window*) {
                EXPECT_TRUE(sheet_.Tabs().SelectFromUser(1));
                ASSERT_TRUE(name_.IsWindow());
                EXPECT_FALSE(length_.IsWindowVisible());
                EXPECT_EQ(name_.Item<Edit>(kEditName)->GetWindowText(), "from the constructor");
                name_.Item<Edit>(kEditName)->SetTextFromUser("Miller");
                EXPECT_TRUE(sheet_.SetActivePage(0));  // back: the name page's values were saved
                EXPECT_EQ(name_.name, "Miller");
              },
              [&](Window*) { sheet_.PressButton(kIdOk); }});
  EXPECT_EQ(sheet_.DoModal(), kIdOk);
  EXPECT_EQ(length_.set_active, 2);
  EXPECT_EQ(length_.applied, 1);
  EXPECT_EQ(name_.applied, 1);

  LengthPage length;
  NamePage name;
  PropertySheet sheet("Options");
  sheet.AddPage(length);
  sheet.AddPage(name);
  sheet.SetActivePage(1);  // before the window exists: the page shown first
  DriveModal({[&](Window*) {
    EXPECT_EQ(sheet.GetActivePage(), &name);
    EXPECT_FALSE(length.IsWindow());
    name.Item<Edit>(kEditName)->SetTextFromUser("ignored");
    Windows().PressKey(kVkEscape);
  }});
  EXPECT_EQ(sheet.DoModal(), kIdCancel);
  EXPECT_EQ(name.name, "from the constructor");
  EXPECT_EQ(length.reset, 0);
}

TEST_F(PropertySheetTest, TheSheetHoldsItsLargestPageAndShowsOnlyTheButtonsAskedFor) {
  sheet_.SetApplyButton(false);
  DriveModal({[&](Window*) {
    // Pages of 200 x 100 and 180 x 120 dialog units: room for 300 x 195 pixels.
    EXPECT_EQ(sheet_.PageRect().Width(), 300);
    EXPECT_EQ(sheet_.PageRect().Height(), 195);
    EXPECT_EQ(length_.GetWindowRectInParent(), sheet_.PageRect());
    EXPECT_TRUE(sheet_.GetDlgItem(kIdOk)->IsWindowVisible());
    EXPECT_FALSE(sheet_.GetDlgItem(kIdApplyNow)->IsWindowVisible());
    EXPECT_FALSE(sheet_.GetDlgItem(kIdHelp)->IsWindowVisible());
    EXPECT_EQ(sheet_.Tabs().GetItemText(1), "User");
    sheet_.PressButton(kIdCancel);
  }});
  EXPECT_EQ(sheet_.DoModal(), kIdCancel);
  EXPECT_EQ(length_.reset, 1);
}

}  // namespace
}  // namespace win
