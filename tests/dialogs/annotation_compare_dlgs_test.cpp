#include "dialogs/annotation_compare_dlgs.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_add_items.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "win/controls.h"
#include "win/data_exchange.h"
#include "win/messages.h"
#include "win/win_fixture.h"

namespace {

using dialogs::COptionTree;
using dialogs::COptionTreeCheckItem;
using dialogs::COptionTreeDateItem;
using dialogs::COptionTreeEditItem;
using dialogs::COptionTreeItem;
using win::testing_support::WinTest;

class AnnotationCompareTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddAnnotationCompareResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  // Runs the steps on the open dialog; the last one must end it.
  int Run(win::Dialog& dialog, std::vector<std::function<void(win::Window*)>> steps) {
    DriveModal(std::move(steps));
    return dialog.DoModal();
  }

  win::Window main_;
};

// --- 320 ---

TEST_F(AnnotationCompareTest, OptionsDialogTakesSampleDifferencesFrom1To1000) {
  struct Case {
    const char* typed;
    bool accepted;
    long want;
    const char* message;  // the refusal shown
  };
  const std::string range = win::FormatStandardMessage(win::kIdsParseIntRange, "1", "1000");
  const std::string not_a_number = win::FormatStandardMessage(win::kIdsParseInt, "");
  const Case kCases[] = {
      {"0", false, 0, range.c_str()},
      {"1001", false, 0, range.c_str()},
      {"-5", false, 0, range.c_str()},
      {"abc", false, 0, not_a_number.c_str()},
      {"1", true, 1, ""},
      {"1000", true, 1000, ""},
      {" 250 ", true, 250, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    prompt_.ClearLog();
    TAnnotationOptionsDlg dialog(&main_);
    std::string caption;
    std::string shown;
    bool open_after_ok = false;
    const int result =
        Run(dialog, {[&](win::Window* modal) {
                       caption = modal->GetWindowText();
                       shown = modal->GetDlgItemText(TAnnotationOptionsDlg::kSampleDifferenceId);
                       modal->SetDlgItemText(TAnnotationOptionsDlg::kSampleDifferenceId, c.typed);
                       modal->CheckDlgButton(TAnnotationOptionsDlg::kTriggerPointOnlyId, 1);
                       modal->SendMessage(win::kWmCommand, win::kIdOk);
                     },
                     [&](win::Window* modal) {
                       open_after_ok = true;
                       modal->SendMessage(win::kWmCommand, win::kIdCancel);
                     }});
    EXPECT_EQ(caption, "Annotation Comparison Options");
    EXPECT_EQ(shown, "0");  // both values are 0 until the caller sets them
    EXPECT_EQ(result, c.accepted ? win::kIdOk : win::kIdCancel);
    EXPECT_EQ(open_after_ok, !c.accepted);
    EXPECT_EQ(dialog.sample_difference, c.want);
    EXPECT_EQ(dialog.trigger_point_only, c.accepted ? 1 : 0);
    const std::vector<std::string> messages = MessagesAsked();
    if (c.accepted) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0], c.message);
    }
  }
}

// --- 321 ---

class CompareDialogTest : public AnnotationCompareTest {
 protected:
  // Opens the dialog with the values, runs check on it, then presses the button.
  int RunCompare(TAnnotationCompareDlg& dialog, const std::function<void(win::Window*)>& check, int button) {
    return Run(dialog, {[&](win::Window* modal) {
                          win::Windows().RunPending();
                          check(modal);
                          modal->SendMessage(win::kWmCommand, button);
                        },
                        // Only reached when the button left the dialog open.
                        [&](win::Window* modal) { dialog.EndDialog(99); }});
  }

  // A press and release in the value column of the row, as a user clicks it.
  static void ClickValue(win::Window* modal, COptionTree& tree, const COptionTreeItem& item) {
    tree.UpdateList();
    win::Windows().RunPending();
    const gfx::Rect r = item.GetValueRect();
    const gfx::Point at = tree.GetListWindow().OffsetInTopLevel();
    const gfx::Point p{at.x + r.left + 8, at.y + r.top + 5};
    win::Windows().MouseInput(*modal, win::kWmLButtonDown, p);
    win::Windows().RunPending();
    win::Windows().MouseInput(*modal, win::kWmLButtonUp, p);
    win::Windows().RunPending();
  }
};

TEST_F(CompareDialogTest, ShowsCommonWithBothValuesExpanded) {
  TAnnotationCompareDlg dialog(&main_);
  dialog.sample_difference = 25;
  dialog.trigger_point_only = 1;
  RunCompare(
      dialog,
      [&](win::Window* modal) {
        EXPECT_EQ(modal->GetWindowText(), "Annotation Compare Parameter");
        COptionTree& tree = dialog.Tree();
        COptionTreeItem* common = tree.GetRootItem()->GetChild();
        ASSERT_NE(common, nullptr);
        EXPECT_EQ(common, dialog.CommonItem());
        EXPECT_EQ(common->GetSibling(), nullptr);
        EXPECT_EQ(common->GetLabelText(), "Common");
        EXPECT_EQ(common->GetInfoText(), "Allgemeine Optionen");
        EXPECT_TRUE(common->IsExpanded());

        auto* difference = dynamic_cast<COptionTreeEditItem*>(common->GetChild());
        ASSERT_NE(difference, nullptr);
        EXPECT_EQ(difference->GetLabelText(), "# Sample Difference");
        EXPECT_EQ(difference->GetInfoText(), " in Samples > 0");
        EXPECT_TRUE(difference->GetOption(dialogs::kEditOptionInteger));
        EXPECT_EQ(difference->GetEdit().GetWindowText(), "25");

        auto* trigger = dynamic_cast<COptionTreeCheckItem*>(difference->GetSibling());
        ASSERT_NE(trigger, nullptr);
        EXPECT_EQ(trigger->GetLabelText(), "Do only Trigger Point check");
        EXPECT_EQ(trigger->GetInfoText(), "Ja/Nein");
        EXPECT_EQ(trigger->GetCheck(), 1);
        EXPECT_EQ(trigger->GetCheckedText(), "Checked");
        EXPECT_EQ(trigger->GetUncheckedText(), "UnChecked");
        EXPECT_EQ(trigger->GetSibling(), nullptr);
        // Both rows were drawn: the tree is open down to them.
        EXPECT_TRUE(tree.IsItemShown(difference));
        EXPECT_TRUE(tree.IsItemShown(trigger));
        EXPECT_TRUE(tree.IsNotifyOn());

        // The tree fills the client area above the band of the buttons.
        const gfx::Rect client = modal->GetClientRect();
        const int band = modal->GetDlgItem(TAnnotationCompareDlg::kFrameId)->GetWindowRect().Height() + 20;
        EXPECT_EQ(tree.GetWindowRectInParent(), (gfx::Rect{0, 0, client.right, client.bottom - band}));
      },
      TAnnotationCompareDlg::kCancelId);
}

TEST_F(CompareDialogTest, CompareReadsBothValuesBackAndCancelKeepsThem) {
  struct Case {
    const char* name;
    int button;
    const char* typed;  // none: the field as shown
    bool toggle;
    int want_result;
    long want_difference;
    int want_trigger;
  };
  const Case kCases[] = {
      {"compare", TAnnotationCompareDlg::kCompareId, "250", true, 1, 250, 1},
      {"not a number", TAnnotationCompareDlg::kCompareId, "abc", false, 1, 1, 0},
      {"empty", TAnnotationCompareDlg::kCompareId, "", false, 1, 1, 0},
      {"blanks around", TAnnotationCompareDlg::kCompareId, " 7 ", false, 1, 7, 0},
      {"as shown", TAnnotationCompareDlg::kCompareId, nullptr, true, 1, 40, 1},
      {"cancel", TAnnotationCompareDlg::kCancelId, "250", true, 2, 40, 0},
      {"escape", win::kIdCancel, "250", true, 2, 40, 0},
      // Enter reads the values as Compare does, rather than ending with 1 and the old values.
      {"enter", win::kIdOk, "12", true, 1, 12, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TAnnotationCompareDlg dialog(&main_);
    dialog.sample_difference = 40;
    const int result = RunCompare(
        dialog,
        [&](win::Window* modal) {
          ClickValue(modal, dialog.Tree(), *dialog.SampleDifferenceItem());
          if (c.typed != nullptr) dialog.SampleDifferenceItem()->GetEdit().SetWindowText(c.typed);
          // A click on the row's box opens the check window and toggles it.
          if (c.toggle) ClickValue(modal, dialog.Tree(), *dialog.TriggerPointItem());
          EXPECT_EQ(dialog.TriggerPointItem()->GetCheck(), c.toggle ? 1 : 0);
        },
        c.button);
    EXPECT_EQ(result, c.want_result);
    EXPECT_EQ(dialog.sample_difference, c.want_difference);
    EXPECT_EQ(dialog.trigger_point_only, c.want_trigger);
  }
}

TEST_F(CompareDialogTest, ExpandAllLeavesTheDialogAndTheTreeAsTheyAre) {
  TAnnotationCompareDlg dialog(&main_);
  bool collapsed_after = false;
  const int result = Run(dialog, {[&](win::Window* modal) {
                                    dialog.CommonItem()->Expand(false);
                                    modal->SendMessage(win::kWmCommand, TAnnotationCompareDlg::kExpandAllId);
                                  },
                                  [&](win::Window* modal) {
                                    collapsed_after = !dialog.CommonItem()->IsExpanded();
                                    modal->SendMessage(win::kWmCommand, TAnnotationCompareDlg::kCancelId);
                                  }});
  EXPECT_EQ(result, 2);
  EXPECT_TRUE(collapsed_after);
}

TEST_F(CompareDialogTest, ResizingResizesTheTreeAboveTheButtons) {
  TAnnotationCompareDlg dialog(&main_);
  RunCompare(
      dialog,
      [&](win::Window* modal) {
        const int band = modal->GetDlgItem(TAnnotationCompareDlg::kFrameId)->GetWindowRect().Height() + 20;
        const gfx::Rect before = modal->GetWindowRect();
        for (const int grow : {200, -40}) {
          SCOPED_TRACE(grow);
          modal->MoveWindow({before.left, before.top, before.right + grow, before.bottom + grow});
          win::Windows().RunPending();
          const gfx::Rect client = modal->GetClientRect();
          EXPECT_EQ(dialog.Tree().GetWindowRectInParent(),
                    (gfx::Rect{0, 0, client.right, client.bottom - band}));
        }
      },
      TAnnotationCompareDlg::kCancelId);
}

TEST_F(CompareDialogTest, GoldenDialogsWithTheTreeExpandedAndAnEditorOpen) {
  TAnnotationOptionsDlg options(&main_);
  options.sample_difference = 10;
  Run(options, {[&](win::Window* modal) {
        win::Windows().RunPending();
        testsupport::ExpectScreenGolden("dialogs", "annotation_options_dialog",
                                        testsupport::RecordedScreen(*modal));
        modal->SendMessage(win::kWmCommand, win::kIdCancel);
      }});

  TAnnotationCompareDlg compare(&main_);
  compare.sample_difference = 18;
  RunCompare(
      compare,
      [&](win::Window* modal) {
        ClickValue(modal, compare.Tree(), *compare.SampleDifferenceItem());
        EXPECT_TRUE(compare.SampleDifferenceItem()->GetEdit().IsWindowVisible());
        win::Windows().RunPending();
        testsupport::ExpectScreenGolden("dialogs", "annotation_compare_dialog",
                                        testsupport::RecordedScreen(*modal));
      },
      TAnnotationCompareDlg::kCancelId);
}

// --- The row adders ---

class AddItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    win::SetPrompt(&prompt_);
    ASSERT_TRUE(host_.Create(nullptr, {0, 0, 440, 560}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 420, 540}, &host_,
                             dialogs::OptionShowInfoPane, 100));
    category_ = new COptionTreeItem;
    category_->SetLabelText("Values");
    tree_.InsertItem(category_);
  }
  void TearDown() override {
    tree_.DestroyWindow();
    host_.DestroyWindow();
    win::SetPrompt(nullptr);
    win::Windows().SetClock(nullptr);
  }

  void Paint() {
    tree_.UpdateList();
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }
  void ClickValue(const COptionTreeItem& item) {
    Paint();
    const gfx::Rect r = item.GetValueRect();
    const gfx::Point at = tree_.GetListWindow().OffsetInTopLevel();
    const gfx::Point p{at.x + r.left + 8, at.y + r.top + 5};
    win::Windows().MouseInput(host_, win::kWmLButtonDown, p);
    win::Windows().RunPending();
    win::Windows().MouseInput(host_, win::kWmLButtonUp, p);
    win::Windows().RunPending();
  }

  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::Window host_;
  COptionTree tree_;
  COptionTreeItem* category_ = nullptr;
};

TEST_F(AddItemsTest, EachAdderInsertsLabelsAndShowsItsValue) {
  struct Case {
    const char* name;
    // Adds the row with the case's name as label and "about " + name as information text.
    std::function<COptionTreeItem*(const std::string& label, const std::string& info)> add;
    const char* shown;  // the value as the row shows it
    std::function<void(COptionTreeItem&)> check;
  };
  const auto edit = [](COptionTreeItem& item) -> COptionTreeEditItem& {
    return *dynamic_cast<COptionTreeEditItem*>(&item);
  };
  const auto shown_text = [](COptionTreeItem& item) -> std::string {
    if (auto* e = dynamic_cast<COptionTreeEditItem*>(&item)) return e->GetEdit().GetWindowText();
    if (auto* c = dynamic_cast<COptionTreeCheckItem*>(&item))
      return c->GetCheck() != 0 ? c->GetCheckedText() : c->GetUncheckedText();
    if (auto* d = dynamic_cast<COptionTreeDateItem*>(&item)) return d->Text();
    return {};
  };
  const Case kCases[] = {
      {"whole number",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeEditItem;
         EXPECT_TRUE(dialogs::AddIntegerItem(tree_, category_, item, label, info, 42));
         return item;
       },
       "42",
       [&](COptionTreeItem& item) {
         EXPECT_TRUE(edit(item).GetOption(dialogs::kEditOptionInteger));
         EXPECT_FALSE(edit(item).GetOption(dialogs::kEditOptionDecimal));
         int value = 0;
         EXPECT_TRUE(edit(item).GetIntValue(value));
         EXPECT_EQ(value, 42);
       }},
      {"decimal number",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeEditItem;
         EXPECT_TRUE(dialogs::AddDecimalItem(tree_, category_, item, label, info, 2.25));
         return item;
       },
       "2.250",
       [&](COptionTreeItem& item) {
         EXPECT_TRUE(edit(item).GetOption(dialogs::kEditOptionDecimal));
         double value = 0;
         EXPECT_TRUE(edit(item).GetDoubleValue(value));
         EXPECT_DOUBLE_EQ(value, 2.25);
       }},
      {"multi-line text",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeEditItem;
         EXPECT_TRUE(dialogs::AddMultilineTextItem(tree_, category_, item, label, info, "a\r\nb"));
         return item;
       },
       "a\r\nb",
       [&](COptionTreeItem& item) {
         EXPECT_TRUE(edit(item).GetOption(dialogs::kEditOptionMultiline));
         EXPECT_TRUE(edit(item).GetEdit().IsMultiline());
         EXPECT_NE(edit(item).GetEdit().GetStyle() & win::kEsWantReturn, 0u);
         EXPECT_EQ(item.GetHeight(), dialogs::kEditItemMultilineHeight);
       }},
      {"text",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeEditItem;
         EXPECT_TRUE(dialogs::AddTextItem(tree_, category_, item, label, info, "abc"));
         return item;
       },
       "abc",
       [&](COptionTreeItem& item) {
         EXPECT_FALSE(edit(item).GetOption(dialogs::kEditOptionInteger | dialogs::kEditOptionDecimal |
                                           dialogs::kEditOptionMultiline));
         EXPECT_FALSE(item.IsReadOnly());
       }},
      {"read-only text",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeEditItem;
         EXPECT_TRUE(dialogs::AddReadOnlyTextItem(tree_, category_, item, label, info, "fixed"));
         return item;
       },
       "fixed",
       [&](COptionTreeItem& item) {
         EXPECT_TRUE(item.IsReadOnly());
         // A click opens no editor on it.
         ClickValue(item);
         EXPECT_FALSE(edit(item).GetEdit().IsWindowVisible());
         EXPECT_FALSE(item.IsActivated());
       }},
      {"check",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeCheckItem;
         EXPECT_TRUE(dialogs::AddCheckItem(tree_, category_, item, label, info, 1));
         return item;
       },
       "Checked",
       [&](COptionTreeItem& item) {
         auto& check = *dynamic_cast<COptionTreeCheckItem*>(&item);
         EXPECT_EQ(check.GetUncheckedText(), "UnChecked");
         EXPECT_TRUE(check.HasOption(dialogs::CheckOptionDrawBox));
         EXPECT_TRUE(check.HasOption(dialogs::CheckOptionDrawText));
       }},
      {"date",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeDateItem;
         EXPECT_TRUE(dialogs::AddDateItem(tree_, category_, item, label, info,
                                          platform::LocalDateTime{2024, 3, 5, 9, 30, 0, 0}));
         return item;
       },
       "Tue, Mar 5, 2024",
       [&](COptionTreeItem& item) {
         auto& date = *dynamic_cast<COptionTreeDateItem*>(&item);
         EXPECT_EQ(date.GetFormat(), "ddd, MMM d, yyyy");
         EXPECT_EQ(date.GetStyle() & 0xF, dialogs::kDtsLongDateFormat);
       }},
      {"time",
       [&](const std::string& label, const std::string& info) {
         auto* item = new COptionTreeDateItem;
         EXPECT_TRUE(dialogs::AddTimeItem(tree_, category_, item, label, info,
                                          platform::LocalDateTime{2024, 3, 5, 21, 5, 0, 0}));
         return item;
       },
       "09:05 PM",
       [&](COptionTreeItem& item) {
         auto& date = *dynamic_cast<COptionTreeDateItem*>(&item);
         EXPECT_EQ(date.GetFormat(), "hh:mm tt");
         EXPECT_EQ(date.GetStyle() & 0xF, dialogs::kDtsTimeFormat);
       }},
  };
  std::vector<COptionTreeItem*> added;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    COptionTreeItem* item = c.add(c.name, std::string("about ") + c.name);
    added.push_back(item);
    EXPECT_EQ(item->GetParentItem(), category_);
    EXPECT_EQ(item->GetOptionTree(), &tree_);
    EXPECT_EQ(item->GetLabelText(), c.name);
    EXPECT_EQ(item->GetInfoText(), std::string("about ") + c.name);
    EXPECT_EQ(shown_text(*item), c.shown);
    c.check(*item);
  }
  // The rows stand under the category in the order they were added.
  std::vector<COptionTreeItem*> children;
  for (COptionTreeItem* child = category_->GetChild(); child != nullptr; child = child->GetSibling())
    children.push_back(child);
  EXPECT_EQ(children, added);
}

TEST_F(AddItemsTest, RefusesNoItemAndAddsUnderTheRootWithoutAParent) {
  EXPECT_FALSE(dialogs::AddTextItem(tree_, category_, nullptr, "None", "", "x"));
  EXPECT_FALSE(dialogs::AddCheckItem(tree_, category_, nullptr, "None", "", 0));
  EXPECT_FALSE(dialogs::AddDateItem(tree_, category_, nullptr, "None", "", std::nullopt));
  EXPECT_EQ(category_->GetChild(), nullptr);

  auto* parked = new COptionTreeEditItem;
  ASSERT_TRUE(dialogs::AddIntegerItem(tree_, nullptr, parked, "Root", "", 6));
  EXPECT_EQ(parked->GetParentItem(), tree_.GetRootItem());
  auto* date = new COptionTreeDateItem;
  ASSERT_TRUE(dialogs::AddDateItem(tree_, category_, date, "Empty date", "", std::nullopt));
  EXPECT_EQ(date->Text(), "");
  EXPECT_FALSE(date->GetTime().has_value());
}

}  // namespace
