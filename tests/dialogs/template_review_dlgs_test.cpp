#include "dialogs/template_review_dlgs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "dialogs/dialog_resources.h"
#include "dialogs/small_dlgs.h"
#include "dialogs/small_value_dlgs.h"
#include "win/controls.h"
#include "win/win_fixture.h"

namespace {

class TemplateReviewDialogsTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddDialogResources(platform::Resources().ExePack());
    AddSmallValueDialogResources(platform::Resources().ExePack());
    InstallTemplateReviewDialogs();
  }
  void TearDown() override {
    SetTemplateReviewDialogs(nullptr);
    WinTest::TearDown();
  }
  static void Click(win::Window* dialog, int id) {
    auto* button = dynamic_cast<win::Button*>(dialog->GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }
};

// The number question starts with the given text; OK hands back what was typed, Cancel nothing.
TEST_F(TemplateReviewDialogsTest, NumberQuestionReturnsTheTypedTextOnOk) {
  struct Case {
    const char* name;
    int button;
    std::optional<std::string> want;
  };
  const Case cases[] = {{"OK", win::kIdOk, "12"}, {"Cancel", win::kIdCancel, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string shown;
    DriveModal({[&](win::Window* modal) {
      shown = modal->GetDlgItemText(TNumberInputDlg::kTextId);
      modal->SetDlgItemText(TNumberInputDlg::kTextId, "12");
      Click(modal, c.button);
    }});
    EXPECT_EQ(GetTemplateReviewDialogs()->AskNumber("7"), c.want);
    EXPECT_EQ(shown, "7");
  }
}

TEST_F(TemplateReviewDialogsTest, DeleteChoiceIsTrueOnlyForItsDeleteButton) {
  DriveModal({[](win::Window* modal) { Click(modal, DeleteDialog::kDeleteId); }});
  EXPECT_TRUE(GetTemplateReviewDialogs()->ChooseDelete(nullptr));
  DriveModal({[](win::Window*) { win::Windows().PressKey(win::kVkEscape); }});
  EXPECT_FALSE(GetTemplateReviewDialogs()->ChooseDelete(nullptr));
}

}  // namespace
