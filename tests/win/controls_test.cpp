#include "win/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

template <class List>
std::vector<std::string> Texts(const List& list) {
  std::vector<std::string> texts;
  for (const ListEntry& entry : list.Items()) texts.push_back(entry.text);
  return texts;
}

// Combo and list boxes keep their entries alike: the choice follows its entry through insertions
// and deletions, and indexes out of range change nothing.
template <class List>
class ListControlTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 300, 200}, kWsPopup));
    ASSERT_TRUE(list_.CreateControl(&parent_, {10, 10, 150, 100}, 100, "", kWsVisible));
    for (const char* text : {"alpha", "beta", "gamma"}) list_.AddString(text);
  }

  Window parent_;
  List list_;
};

using ListKinds = ::testing::Types<ComboBox, ListBox>;
TYPED_TEST_SUITE(ListControlTest, ListKinds);

TYPED_TEST(ListControlTest, TheChoiceFollowsItsEntry) {
  TypeParam& list = this->list_;
  EXPECT_EQ(list.GetCurSel(), -1);
  EXPECT_EQ(list.SetCurSel(1), 1);
  EXPECT_EQ(list.InsertString(0, "first"), 0);
  EXPECT_EQ(list.GetCurSel(), 2);  // "beta" moved down
  EXPECT_EQ(list.InsertString(3, "after"), 3);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(list.InsertString(99, "last"), 5);  // past the end: appended
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"first", "alpha", "beta", "after", "gamma", "last"}));
  EXPECT_EQ(list.DeleteString(0), 5);
  EXPECT_EQ(list.GetCurSel(), 1);
  EXPECT_EQ(list.DeleteString(4), 4);
  EXPECT_EQ(list.GetCurSel(), 1);
  EXPECT_EQ(list.DeleteString(1), 3);  // the chosen entry goes with the choice
  EXPECT_EQ(list.GetCurSel(), -1);
  EXPECT_EQ(list.DeleteString(3), -1);
  EXPECT_EQ(list.DeleteString(-1), -1);
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"alpha", "after", "gamma"}));
  EXPECT_EQ(list.SetCurSel(7), -1);
  list.SetCurSel(2);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCurSel(), -1);
}

TYPED_TEST(ListControlTest, ItemDataStaysWithItsEntry) {
  TypeParam& list = this->list_;
  EXPECT_EQ(list.SetItemData(2, 42), 0);
  EXPECT_EQ(list.SetItemData(3, 7), -1);
  list.InsertString(0, "first");
  EXPECT_EQ(list.GetItemData(3), 42u);
  EXPECT_EQ(list.GetItemData(0), 0u);
  EXPECT_EQ(list.GetItemData(-1), 0u);
  EXPECT_EQ(list.GetItemData(4), 0u);
}

TEST(ListControlText, EntryTextsAndOutOfRange) {
  ComboBox combo;
  ListBox box;
  for (const char* text : {"one", "two"}) {
    combo.AddString(text);
    box.AddString(text);
  }
  EXPECT_EQ(combo.GetLBText(1), "two");
  EXPECT_EQ(box.GetText(0), "one");
  EXPECT_EQ(combo.GetLBText(2), "");
  EXPECT_EQ(box.GetText(-1), "");
}

TEST(WithoutMnemonic, DropsMarksAndKeepsDoubledAmpersands) {
  struct Case {
    const char* text;
    const char* want;
  };
  constexpr Case kCases[] = {{"&Delete", "Delete"}, {"Save && close", "Save & close"}, {"trailing&", "trailing"},
                             {"&&&x", "&x"},        {"", ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(WithoutMnemonic(c.text), c.want);
  }
}

}  // namespace
}  // namespace win
