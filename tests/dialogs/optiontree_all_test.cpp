#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/optiontree_all_tree.h"
#include "platform/clock.h"
#include "support/screen_golden.h"
#include "win/controls.h"
#include "win/prompt.h"
#include "win/window.h"

namespace dialogs {
namespace {

using testing_support::FillTreeOfEveryKind;
using testing_support::TreeOfEveryKind;

class TreeOfEveryKindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    win::SetPrompt(&prompt_);
    ASSERT_TRUE(dialog_.Create(nullptr, {0, 0, 440, 560}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 420, 540}, &dialog_,
                             OptionShowInfoPane | OptionShadeCategories | OptionShadeExpandColumn, 100));
    t_ = FillTreeOfEveryKind(tree_);
    Paint();
  }
  void TearDown() override {
    tree_.DestroyWindow();
    dialog_.DestroyWindow();
    win::SetPrompt(nullptr);
    win::Windows().SetClock(nullptr);
  }

  void Paint() {
    tree_.UpdateList();
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  // A press and release in the value column of the row, as a user clicks it.
  void ClickValue(const COptionTreeItem& item) {
    const gfx::Rect r = item.GetValueRect();
    const gfx::Point at = tree_.GetListWindow().OffsetInTopLevel();
    const gfx::Point p{at.x + r.left + 8, at.y + r.top + 5};
    win::Windows().MouseInput(dialog_, win::kWmLButtonDown, p);
    win::Windows().RunPending();
    win::Windows().MouseInput(dialog_, win::kWmLButtonUp, p);
    win::Windows().RunPending();
  }

  // The editor windows that show in the list window.
  std::vector<const win::Window*> ShownEditors() {
    std::vector<const win::Window*> out;
    for (const win::Window* child : tree_.GetListWindow().Children())
      if (child->IsWindowVisible()) out.push_back(child);
    return out;
  }

  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::Window dialog_;
  COptionTree tree_;
  TreeOfEveryKind t_;
};

TEST_F(TreeOfEveryKindTest, GoldenCollapsedExpandedEditingAndDisabled) {
  struct Case {
    const char* name;
    std::function<void()> step;
  };
  const Case kCases[] = {
      {"collapsed", [] {}},
      {"expanded", [this] { tree_.ExpandAll(); }},
      {"editing", [this] { ClickValue(*t_.station); }},
      {"disabled",
       [this] {
         tree_.GetListWindow().SetFocus();
         tree_.EnableWindow(false);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    c.step();
    Paint();
    testsupport::ExpectScreenGolden("dialogs", std::string("optiontree_all_") + c.name,
                                    testsupport::RecordedScreen(tree_));
  }
}

TEST_F(TreeOfEveryKindTest, EachClickedRowOpensItsOwnEditorOnItsRowAlone) {
  tree_.ExpandAll();
  Paint();
  for (COptionTreeItem* item : t_.Editable()) {
    SCOPED_TRACE(item->GetLabelText());
    ClickValue(*item);
    Paint();
    EXPECT_TRUE(item->IsActivated());
    // Whatever shows lies on the clicked row's value column: the editor before it has gone.
    const gfx::Rect value = item->GetValueRect();
    for (const win::Window* editor : ShownEditors()) {
      const gfx::Rect r = editor->GetWindowRectInParent();
      if (editor == static_cast<const win::Window*>(t_.link)) continue;  // always shown on its own row
      EXPECT_GE(r.left, value.left) << editor->ClassName();
      EXPECT_GE(r.top, value.top) << editor->ClassName();
      // A combo box's rectangle reaches down over its list; the closed box is the row.
      if (dynamic_cast<const win::ComboBox*>(editor) == nullptr) {
        EXPECT_LE(r.bottom, value.bottom + 1) << editor->ClassName();
      }
    }
    // A picker that popped up takes the next click to close itself: Esc closes it first.
    if (win::Windows().TopLevelWindows().size() > 1) {
      win::Windows().PressKey(win::kVkEscape);
      win::Windows().RunPending();
    }
  }
}

TEST_F(TreeOfEveryKindTest, ADisabledTreeOpensNoEditor) {
  tree_.ExpandAll();
  Paint();
  tree_.EnableWindow(false);
  for (COptionTreeItem* item : t_.Editable()) ClickValue(*item);
  for (const COptionTreeItem* item : t_.Editable()) EXPECT_FALSE(item->IsActivated()) << item->GetLabelText();
  EXPECT_TRUE(prompt_.Log().empty());
}

}  // namespace
}  // namespace dialogs
