#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/auto_close_notice_dlg.h"
#include "dialogs/busy_dlg.h"
#include "dialogs/comm_error_dlg.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/items_dlg.h"
#include "dialogs/property_sheet.h"
#include "dialogs/small_dlgs.h"
#include "dialogs/wait_dlgs.h"
#include "win/data_exchange.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

class SmallDialogsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddDialogResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }

  // Every visible, enabled control of the modal dialog can be clicked this way.
  static void Click(win::Window* dialog, int id) {
    auto* button = dynamic_cast<win::Button*>(dialog->GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }

  win::Window main_;
};

// Enter, Esc and closing the window, as each dialog's behaviour prescribes them.
TEST_F(SmallDialogsTest, EnterAndEscDoWhatEachDialogSays) {
  enum Key { kEnter, kEsc, kClose };
  struct Case {
    const char* name;
    std::function<std::unique_ptr<win::Dialog>()> make;
    Key key;
    int want;  // -2: the dialog must stay open
  };
  const std::vector<Case> cases = {
      {"notice: Enter ends it at once", [] { return std::make_unique<TAutoCloseNoticeDlg>(); }, kEnter, win::kIdOk},
      {"notice: Esc ends it at once", [] { return std::make_unique<TAutoCloseNoticeDlg>(); }, kEsc, win::kIdCancel},
      {"delete choice: Enter does nothing", [] { return std::make_unique<TDeleteChoiceDlg>(); }, kEnter, -2},
      {"delete choice: Esc cancels", [] { return std::make_unique<TDeleteChoiceDlg>(); }, kEsc, win::kIdCancel},
      {"delete confirm: Enter does nothing", [] { return std::make_unique<TDeleteConfirmDlg>(); }, kEnter, -2},
      {"delete confirm: Esc cancels", [] { return std::make_unique<TDeleteConfirmDlg>(); }, kEsc, win::kIdCancel},
      {"interface test: Enter is OK", [] { return std::make_unique<TInterfaceTestDlg>(); }, kEnter, win::kIdOk},
      {"interface test: Esc cancels", [] { return std::make_unique<TInterfaceTestDlg>(); }, kEsc, win::kIdCancel},
      {"three texts: Enter is OK", [] { return std::make_unique<TThreeTextDlg>(nullptr, nullptr); }, kEnter, win::kIdOk},
      {"communication error: Enter retries", [] { return std::make_unique<TCommErrorDlg>(); }, kEnter, 1},
      {"communication error: Esc cancels", [] { return std::make_unique<TCommErrorDlg>(); }, kEsc, 2},
      {"communication error: closing cancels", [] { return std::make_unique<TCommErrorDlg>(); }, kClose, 2},
      {"items: Esc cancels", [] { return std::make_unique<TItemsDlg>(nullptr, "T", "C", 0); }, kEsc, win::kIdCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<win::Dialog> dialog = c.make();
    bool stayed = false;
    DriveModal({[&](win::Window* modal) {
                  if (c.key == kEnter) win::Windows().PressKey(win::kVkReturn);
                  if (c.key == kEsc) win::Windows().PressKey(win::kVkEscape);
                  if (c.key == kClose) modal->SendMessage(win::kWmClose);
                  stayed = !dialog->Ended();
                },
                [&](win::Window*) { dialog->EndDialog(-2); }});
    EXPECT_EQ(dialog->DoModal(), c.want);
    EXPECT_EQ(stayed, c.want == -2);
  }
}

TEST_F(SmallDialogsTest, TheDeleteButtonEndsTheDeleteDialogsWithItsOwnNumber) {
  TDeleteChoiceDlg choice;
  DriveModal({[&](win::Window* modal) { Click(modal, DeleteDialog::kDeleteId); }});
  EXPECT_EQ(choice.DoModal(), 1245);
  TDeleteConfirmDlg confirm;
  DriveModal({[&](win::Window* modal) { Click(modal, DeleteDialog::kDeleteId); }});
  EXPECT_EQ(confirm.DoModal(), 1245);
}

TEST_F(SmallDialogsTest, TheSaveNoticeClosesItselfAfterOneSecond) {
  TAutoCloseNoticeDlg notice;
  std::vector<int64_t> open_at;
  win::Windows().SetModalIdleHandler([&](win::Window*) {
    open_at.push_back(clock_.TickMs());
    clock_.Advance(100);
    return true;
  });
  EXPECT_EQ(notice.DoModal(), win::kIdOk);
  EXPECT_EQ(open_at.back(), 900);  // still open at 900 ms, gone at 1000
  EXPECT_EQ(win::Windows().TimerCount(), 0u);
}

TEST_F(SmallDialogsTest, AWaitDialogEndsOnlyWhenItsWorkerHasFinished) {
  std::atomic<bool> release{false};
  std::atomic<bool> done{false};
  TWorkWaitDlg dialog([&] {
    while (!release.load()) std::this_thread::yield();
    done = true;
  });
  DriveModal({[&](win::Window* modal) {
    win::Windows().PressKey(win::kVkEscape);
    win::Windows().PressKey(win::kVkReturn);
    modal->SendMessage(win::kWmClose);
    EXPECT_FALSE(dialog.Ended());
    release = true;
  }});
  EXPECT_EQ(dialog.DoModal(), 1);
  EXPECT_TRUE(done);
}

TEST_F(SmallDialogsTest, AWaitDialogEndsAlsoWhenItsOperationThrows) {
  TRecalcProgressDlg dialog(nullptr, [] { throw std::runtime_error("pacemaker templates damaged"); });
  EXPECT_EQ(dialog.DoModal(), 1);
  EXPECT_EQ(dialog.Error(), "pacemaker templates damaged");
}

TEST_F(SmallDialogsTest, WithoutItsTemplateAWaitDialogStillRunsTheOperation) {
  win::Templates().Reset();
  bool ran = false;
  TWorkWaitDlg dialog([&] { ran = true; });
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(ran);
}

TEST_F(SmallDialogsTest, TheBusyDialogShowsItsCaptionHidesItsControlsAndCannotBeClosed) {
  struct Case {
    int mode;
    const char* text;
    const char* caption;
  };
  const Case cases[] = {{0, "/data/00012.QRS", "Opening the recording ..."}, {1, "", "Please wait ..."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    auto busy = std::make_unique<TBusyDlg>(c.mode, c.text);
    EXPECT_EQ(TBusyDlg::CurrentText(), c.text);
    busy->ShowBusy();
    ASSERT_TRUE(busy->IsWindow());
    EXPECT_TRUE(busy->IsWindowVisible());
    EXPECT_EQ(busy->GetWindowText(), c.caption);
    EXPECT_EQ(win::Windows().WaitCursorDepth(), 1);
    for (const int id : {TBusyDlg::kCancelId, TBusyDlg::kProgressId, TBusyDlg::kAnimationId}) {
      EXPECT_FALSE(busy->GetDlgItem(id)->IsWindowVisible()) << id;
      EXPECT_FALSE(busy->GetDlgItem(id)->IsWindowEnabled()) << id;
    }
    EXPECT_EQ(busy->Item<win::ProgressBar>(TBusyDlg::kProgressId)->GetRange(), (std::pair<int, int>{0, 2}));
    EXPECT_FALSE(busy->Item<win::Animation>(TBusyDlg::kAnimationId)->IsPlaying());
    // Painted at once, before the caller's work.
    EXPECT_NE(win::Windows().RecordOf(*busy), nullptr);
    win::Windows().PressKey(win::kVkReturn);
    win::Windows().PressKey(win::kVkEscape);
    EXPECT_TRUE(busy->IsWindowVisible());
    busy->EndBusy();
    EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
    busy.reset();
    EXPECT_TRUE(win::Windows().TopLevelWindows().size() == 1);  // the main window only
  }
  // The newest busy dialog decides the caption.
  TBusyDlg first(1, "");
  TBusyDlg second(0, "x");
  first.ShowBusy();
  EXPECT_EQ(first.GetWindowText(), "Opening the recording ...");
}

TEST_F(SmallDialogsTest, TheDateWindowTakesNewValuesWhetherOrNotItExists) {
  TDateInputDlg date;
  EXPECT_EQ(date.Value(), (platform::LocalDateTime{1970, 1, 1, 0, 0, 0, 0}));
  const DateTimeValue early = platform::LocalDateTime{2024, 3, 5, 8, 30, 0, 0};
  date.SetValue(early);  // before the window: only kept
  EXPECT_EQ(date.Value(), early);
  ASSERT_TRUE(date.CreateModeless(nullptr, false));
  EXPECT_EQ(date.GetDlgItemText(TDateInputDlg::kFieldId), "05.03.2024 08:30:00");
  const DateTimeValue later = platform::LocalDateTime{2024, 12, 31, 23, 59, 58, 0};
  EXPECT_EQ(date.SendMessage(TDateInputDlg::kSetValueMessage, reinterpret_cast<win::WParam>(&later)), 0);
  EXPECT_EQ(date.GetDlgItemText(TDateInputDlg::kFieldId), "31.12.2024 23:59:58");
}

TEST_F(SmallDialogsTest, TheThreeTextDialogExchangesItsTextsInOrder) {
  TThreeTextDlg dialog(nullptr, nullptr);
  dialog.second = "two";
  DriveModal({[&](win::Window* modal) {
    EXPECT_EQ(modal->GetDlgItemText(TThreeTextDlg::kSecondId), "two");
    modal->GetDlgItem(TThreeTextDlg::kFirstId)->SetWindowText("one");
    modal->GetDlgItem(TThreeTextDlg::kThirdId)->SetWindowText("three");
    win::Windows().PressKey(win::kVkReturn);
  }});
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
  EXPECT_EQ(dialog.first, "one");
  EXPECT_EQ(dialog.third, "three");
}

// ---------------------------------------------------------------------------------------------

class ItemsDialogTest : public SmallDialogsTest {
 protected:
  std::unique_ptr<TItemsDlg> Make(int mode, std::vector<std::string> input) {
    auto dialog = std::make_unique<TItemsDlg>(&target_, "Recorders found", "Device", mode);
    dialog->input = std::move(input);
    return dialog;
  }
  win::CommandTarget target_;
};

TEST_F(ItemsDialogTest, TheItemsDialogReturnsItsEndReasons) {
  struct Case {
    const char* name;
    int mode;
    std::vector<std::string> input;
    std::function<void(TItemsDlg&)> act;
    int result;
    int reason;
    std::vector<std::string> selected;
    int last;
  };
  const auto select = [](std::vector<int> rows) {
    return [rows](TItemsDlg& d) {
      d.List().SelectFromUser(rows);
      win::Windows().PressKey(win::kVkReturn);
    };
  };
  const std::vector<Case> cases = {
      {"Select with the first row chosen at the start", 0, {"USB 1", "USB 2"},
       [](TItemsDlg&) { win::Windows().PressKey(win::kVkReturn); }, win::kIdOk, TItemsDlg::kSelected, {"USB 1"}, 0},
      {"several rows in row order", 0, {"a", "b", "c", "d"}, select({3, 1}), win::kIdOk, TItemsDlg::kSelected,
       {"b", "d"}, 3},
      {"a double click selects", 0, {"a", "b"}, [](TItemsDlg& d) { d.List().DoubleClickFromUser(1); }, win::kIdOk,
       TItemsDlg::kSelected, {"b"}, 1},
      {"Search again ends with OK and reason 2", 0, {"a"},
       [](TItemsDlg& d) { dynamic_cast<win::Button*>(d.GetDlgItem(TItemsDlg::kSearchAgainId))->Click(); },
       win::kIdOk, TItemsDlg::kSearchAgain, {}, -1},
      {"Cancel", 0, {"a"}, [](TItemsDlg&) { win::Windows().PressKey(win::kVkEscape); }, win::kIdCancel,
       TItemsDlg::kCancelled, {}, -1},
      {"an empty list selects nothing", 0, {}, [](TItemsDlg&) { win::Windows().PressKey(win::kVkReturn); },
       win::kIdOk, TItemsDlg::kSelected, {}, -1},
      {"mode 2 shows an empty list", 2, {"a", "b"}, [](TItemsDlg&) { win::Windows().PressKey(win::kVkReturn); },
       win::kIdOk, TItemsDlg::kSelected, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TItemsDlg> made = Make(c.mode, c.input);
    TItemsDlg& dialog = *made;
    DriveModal({[&](win::Window*) { c.act(dialog); }});
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_EQ(dialog.end_reason, c.reason);
    EXPECT_EQ(dialog.selected, c.selected);
    EXPECT_EQ(dialog.last_selected, c.last);
  }
}

TEST_F(ItemsDialogTest, TheListKeepsTheInputOrderAndModeOneHasNoSearchAgain) {
  std::unique_ptr<TItemsDlg> made = Make(1, {"zeta", "alpha", "mid"});
  TItemsDlg& dialog = *made;
  DriveModal({[&](win::Window*) {
    EXPECT_EQ(dialog.GetWindowText(), "Recorders found");
    win::ListView& list = dialog.List();
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), "zeta");
    EXPECT_EQ(list.GetItemText(2, 0), "mid");
    EXPECT_EQ(list.GetColumn(0)->text, "Device");
    EXPECT_EQ(list.GetColumn(0)->width, list.GetClientRect().Width());
    EXPECT_EQ(list.GetItemState(0, win::kLvisSelected | win::kLvisFocused), win::kLvisSelected | win::kLvisFocused);
    EXPECT_FALSE(dialog.GetDlgItem(TItemsDlg::kSearchAgainId)->IsWindowEnabled());
    win::Windows().PressKey(win::kVkEscape);
  }});
  dialog.DoModal();
  EXPECT_EQ(win::Windows().WaitCursorDepth(), 0);
}

// ---------------------------------------------------------------------------------------------

class TapePage : public win::PropertyPage {
 public:
  TapePage() : win::PropertyPage(700) {}
  int calibration = 12;

 protected:
  void DoDataExchange(win::DataExchange& dx) override {
    win::DdxText(dx, 1226, calibration);
    win::DdvMinMaxInt(dx, calibration, 0, 30);
  }
};

TEST_F(SmallDialogsTest, ThePropertySheetBaseAddsItsButtonAtTheLowerLeftAndFallsBackToXX) {
  static constexpr win::ControlTemplate kPage[] = {{1226, win::ControlKind::kEdit, "", 10, 10, 40, 12}};
  static constexpr win::DialogTemplate kPages[] = {{700, "Tape", 200, 100, kPage, true}};
  win::Templates().Add(platform::Resources().ExePack(), kPages);
  TapePage page;
  TPropertySheet sheet("Options");
  sheet.AddPage(page);
  EXPECT_EQ(sheet.state, 0);
  EXPECT_FALSE(sheet.ExtraButton().IsWindow());
  DriveModal({[&](win::Window*) {
                const gfx::Rect client = sheet.GetClientRect();
                EXPECT_EQ(sheet.ExtraButton().GetWindowRectInParent(),
                          (gfx::Rect{6, client.bottom - 30, 126, client.bottom - 6}));
                EXPECT_EQ(sheet.ExtraButton().GetDlgCtrlID(), 1264);
                EXPECT_EQ(sheet.ExtraButton().GetWindowText(), "Play");
                EXPECT_EQ(sheet.ExtraButton().GetFont().height, -12);
                EXPECT_EQ(sheet.state, 1);
                sheet.ExtraButton().Click();
                EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"XX"});
                // Data exchange still refuses and keeps the page.
                page.Item<win::Edit>(1226)->SetTextFromUser("31");
                sheet.PressButton(win::kIdOk);
                EXPECT_FALSE(sheet.Ended());
              },
              [&](win::Window*) {
                page.Item<win::Edit>(1226)->SetTextFromUser("30");
                sheet.PressButton(win::kIdOk);
              }});
  EXPECT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(page.calibration, 30);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"XX", "Please enter an integer between 0 and 30."}));
}

TEST_F(SmallDialogsTest, GermanTextsComeFromTheGermanPack) {
  platform::ResourcePack german("ZK470Ger");
  AddDialogResources(german);
  win::AddWindowSystemResources(german);
  platform::Resources().SetLanguagePack(&german);
  TBusyDlg busy(0, "");
  busy.ShowBusy();
  EXPECT_EQ(busy.GetWindowText(), "Aufzeichnung wird geöffnet ...");
  TCommErrorDlg error;  // the program's own template, in English whatever the language
  DriveModal({[&](win::Window* modal) {
    EXPECT_EQ(modal->GetWindowText(), "Communication error !");
    EXPECT_EQ(modal->GetDlgItemText(1), "Retry");
    win::Windows().PressKey(win::kVkEscape);
  }});
  EXPECT_EQ(error.DoModal(), 2);
  platform::Resources().SetLanguagePack(nullptr);
}

}  // namespace
