#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "document/update_hints.h"
#include "gfx/recording_canvas.h"
#include "layouts/template_review_dialogs.h"
#include "layouts/template_review_fixture.h"
#include "platform/resources.h"

namespace templatetest {
namespace {

constexpr int kVES = TTemplateClassEntry::kFamilyVES;
constexpr int kNormal = TTemplateClassEntry::kFamilyNormal;
constexpr int kArtefact = TTemplateClassEntry::kFamilyArtefact;
constexpr int kSVES = TTemplateClassEntry::kFamilySVES;

// Rows of the 16-class screen: normal 0 (6 beats), normal 1 (3), VES 0 (4), SVES 0 (2).
class TemplateClasses : public TemplateReviewTest {
 protected:
  void SetUp() override {
    TemplateReviewTest::SetUp();
    Doc().GetSettings().SetInt(SettingKey::kTemplatesView, 0);
    SetClasses({{kNormal, 0, Beats(10, 6)},
                {kNormal, 1, Beats(20, 3)},
                {kVES, 0, Beats(30, 4)},
                {kSVES, 0, Beats(40, 2)}});
    Show(8);
  }
  std::vector<TTemplateClassEntry>& Rows() { return Doc().GetTemplateClassList(); }
  gfx::Point Centre(int slot) {
    const gfx::Rect r = Browser(slot).StoredRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  std::string Dump(int slot) {
    gfx::RecordingCanvas canvas;
    Browser(slot).Draw(canvas, Browser(slot).StoredRect());
    return canvas.Dump();
  }
};

TEST_F(TemplateClasses, EveryBrowserAnswersForItsSlotAndOwnsItsButtons) {
  ASSERT_EQ(Areas<CTemplateBrowserArea>().size(), 16u);
  struct Case {
    int slot;
    int family;
    int count;
    int member_beat;
  };
  const Case cases[] = {
      {0, kNormal, 6, 10}, {2, kVES, 4, 30}, {3, kSVES, 2, 40}, {4, -1, 0, -1}, {15, -1, 0, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    EXPECT_EQ(Classes().GetSlotFamily(c.slot), c.family);
    EXPECT_EQ(Classes().GetSlotCount(c.slot), c.count);
    EXPECT_EQ(Classes().GetSlotMember(c.slot, true), c.member_beat);
    EXPECT_EQ(Browser(c.slot).CountButton().GetWindowText(), std::to_string(c.count));
    EXPECT_EQ(Classes().GetDlgItem(CTemplateBrowserArea::kNextButtonId + c.slot),
              &Browser(c.slot).NextButton());
    EXPECT_EQ(Browser(c.slot).NextButton().GetCommandId(), c.slot);
  }
  // A member index beyond the class counts as its last member.
  Doc().GetRecordingData().CurrentMembers(kVES)[0] = 9;
  EXPECT_EQ(Classes().GetSlotMember(2, false), 3);
  EXPECT_EQ(Classes().GetSlotMember(2, true), 33);
  // The buttons sit at the browser's bottom corners, the arrows at their picture's size.
  const gfx::Rect r = Browser(9).StoredRect();
  EXPECT_EQ(Browser(9).PreviousButton().GetWindowRectInParent(),
            (gfx::Rect{r.left, r.bottom - 20, r.left + CRepeatButton::kBitmapWidth,
                       r.bottom - 20 + CRepeatButton::kBitmapHeight}));
  EXPECT_EQ(Browser(9).CountButton().GetWindowRectInParent(),
            (gfx::Rect{r.right - 50, r.bottom - 20, r.right + 1, r.bottom + 1}));
}

// The cursor row's title is white on blue; the others black on white. A press on a strip moves
// the highlight there at once, drawn on the window.
TEST_F(TemplateClasses, TheCursorRowsTitleIsWhiteOnBlue) {
  Doc().SetTemplateCursorRow(1);
  const std::string cursor = Dump(1);
  const std::string other = Dump(0);
  EXPECT_NE(cursor.find("FillRect"), std::string::npos);
  EXPECT_NE(cursor.find("SetBkColor 0xFF0000"), std::string::npos);
  EXPECT_NE(cursor.find("SetTextColor 0xFFFFFF"), std::string::npos);
  EXPECT_EQ(other.find("0xFF0000"), std::string::npos);
  EXPECT_NE(other.find("SetBkColor 0xFFFFFF"), std::string::npos);
  EXPECT_NE(cursor.find("Template 2"), std::string::npos);

  Mouse(Classes(), win::kWmLButtonDown, Centre(3));
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 3);
  Mouse(Classes(), win::kWmLButtonUp, Centre(3));
  // Right click: the context slot, and the cursor row too; a slot past the rows is the context
  // slot but moves no cursor.
  Mouse(Classes(), win::kWmRButtonUp, Centre(0));
  EXPECT_EQ(Classes().GetContextSlot(), 0);
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 0);
  Mouse(Classes(), win::kWmRButtonUp, Centre(7));
  EXPECT_EQ(Classes().GetContextSlot(), 7);
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 0);
}

// When the cursor leaves a row, that row's title bar is drawn again on the window: white, so
// that none of the blue stays behind.
TEST_F(TemplateClasses, TheOldCursorRowLosesItsBlueTitle) {
  Doc().SetTemplateCursorRow(1);
  win::Windows().ClearRecords();
  Mouse(Classes(), win::kWmLButtonDown, Centre(3));
  Mouse(Classes(), win::kWmLButtonUp, Centre(3));
  ASSERT_EQ(Doc().GetTemplateCursorRow(), 3);
  const win::WindowSystem::Record* record = win::Windows().RecordOf(Classes());
  ASSERT_NE(record, nullptr);
  std::string old_title;
  for (const auto& canvas : record->client) {
    const std::string dump = canvas->Dump();
    if (dump.find("Template 2") != std::string::npos) old_title = dump;
  }
  ASSERT_FALSE(old_title.empty()) << "the old cursor row's title was not drawn again";
  const gfx::Rect r = Browser(1).StoredRect();
  const gfx::Rect inside{r.left + 1, r.top + 1, r.right - 1, r.top + 18};
  gfx::RecordingCanvas white;
  white.FillSolidRect(inside, 0xFFFFFF);
  EXPECT_NE(old_title.find(white.Dump()), std::string::npos) << old_title;
  EXPECT_EQ(old_title.find("0xFF0000"), std::string::npos);
}

// A special class shows its name, and its strip carries no label texts.
TEST_F(TemplateClasses, SpecialClassShowsItsNameAndNoLabelTexts) {
  const std::string name = platform::LoadString(templatetext::kSpecialNames[3]);
  const std::string plain = Dump(2);
  EXPECT_EQ(plain.find(name), std::string::npos);
  Doc().GetRecordingData().ves_special = {-1, 0};
  const std::string special = Dump(2);
  EXPECT_NE(special.find(name), std::string::npos);
  // Same strip; the special one draws no beat letters under it.
  const auto letters = [](const std::string& dump) {
    size_t n = 0;
    for (size_t at = dump.find("\"V\""); at != std::string::npos; at = dump.find("\"V\"", at + 1)) ++n;
    return n;
  };
  EXPECT_GT(letters(plain), 0u);
  EXPECT_EQ(letters(special), 0u);
}

// NEXT held on a class of three members: a step at the press and every 300 ms, up to the last.
TEST_F(TemplateClasses, HeldNextStepsTheMemberEvery300MsUpToTheLast) {
  SetClasses({{kNormal, 0, Beats(10, 3)}, {kNormal, 1, Beats(20, 3)}});
  Classes().SendMessage(win::kWmCommand, CTemplateClassesWnd::kCmdRebuild);
  Doc().SetTemplateCursorRow(0);
  CRepeatButton& next = Browser(1).NextButton();
  const gfx::Point at{next.GetWindowRectInParent().left, next.GetWindowRectInParent().top};
  Doc().SetModifiedFlag(false);
  Mouse(Classes(), win::kWmLButtonDown, {at.x + 3, at.y + 3});
  std::vector<int> members = {Member(kNormal, 1)};
  for (int i = 0; i < 9; ++i) {
    Advance(100);
    members.push_back(Member(kNormal, 1));
  }
  Mouse(Classes(), win::kWmLButtonUp, {at.x + 3, at.y + 3});
  EXPECT_EQ(members, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(Classes().GetSlotMember(1, true), 22);
  EXPECT_TRUE(Doc().IsModified());
  // The step made the slot's row the cursor row.
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 1);
  // PREV steps back; nothing moves past a slot without a row.
  Classes().SendMessage(CTemplateClassesWnd::kMsgStepMember, 1, 0);
  EXPECT_EQ(Member(kNormal, 1), 1);
  Classes().SendMessage(CTemplateClassesWnd::kMsgStepMember, 9, 1);
}

// Paging goes by the page and by a browser row, forward only while rows lie beyond the page,
// and reaches the last page of even the longest list.
TEST_F(TemplateClasses, PagingReachesTheLastPage) {
  Rows().assign(20, TTemplateClassEntry{kNormal, 0, 6});
  struct Case {
    int command;
    int first_after;
    bool forward;
  };
  const Case cases[] = {{CTemplateClassesWnd::kCmdPageForward, 16, false},
                        {CTemplateClassesWnd::kCmdPageForward, 16, false},
                        {CTemplateClassesWnd::kCmdPageBack, 0, true},
                        {CTemplateClassesWnd::kCmdRowForward, 8, false},
                        {CTemplateClassesWnd::kCmdRowBack, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    Command(Classes(), c.command);
    EXPECT_EQ(Doc().GetFirstVisibleTemplateRow(), c.first_after);
    EXPECT_EQ(Enabled(Classes(), CTemplateClassesWnd::kCmdPageForward), c.forward);
    EXPECT_EQ(Enabled(Classes(), CTemplateClassesWnd::kCmdPageBack), c.first_after > 0);
  }
  EXPECT_EQ(Classes().GetSlotFamily(3), kNormal);

  // Four full families: 1200 rows; the page forward stays enabled until the last rows show.
  Rows().assign(1200, TTemplateClassEntry{kNormal, 0, 6});
  Doc().SetFirstVisibleTemplateRow(0);
  int pages = 0;
  while (Enabled(Classes(), CTemplateClassesWnd::kCmdPageForward) && pages < 100) {
    Command(Classes(), CTemplateClassesWnd::kCmdPageForward);
    ++pages;
  }
  EXPECT_EQ(Doc().GetFirstVisibleTemplateRow(), 1184);
  EXPECT_EQ(Classes().GetSlotRow(15), 1199);
}

TEST_F(TemplateClasses, SwitchingBetween16And24ClassesKeepsTheRows) {
  Rows().assign(40, TTemplateClassEntry{kNormal, 0, 6});
  Doc().SetFirstVisibleTemplateRow(16);
  Doc().SetTemplateCursorRow(18);
  Doc().SetSelectedTemplateRow(17);
  EXPECT_EQ(win::UpdateCommand(Classes(), CTemplateClassesWnd::kCmdSmallPage).Radio(),
            std::optional<bool>(true));
  Command(Classes(), CTemplateClassesWnd::kCmdLargePage);
  EXPECT_TRUE(Doc().GetLargeTemplateViewFlag());
  for (int layout : {10, 8}) {
    SCOPED_TRACE(layout);
    view_->GetSelector()->Select(layout);
    EXPECT_EQ(Classes().PageSize(), layout == 10 ? 24 : 16);
    EXPECT_EQ(Areas<CTemplateBrowserArea>().size(), layout == 10 ? 24u : 16u);
    EXPECT_EQ(Doc().GetFirstVisibleTemplateRow(), 16);
    EXPECT_EQ(Doc().GetTemplateCursorRow(), 18);
    EXPECT_EQ(Doc().GetSelectedTemplateRow(), 17);
    Command(Classes(), CTemplateClassesWnd::kCmdSmallPage);
  }
  EXPECT_FALSE(Doc().GetLargeTemplateViewFlag());
}

// The calibration marks lie at the window's bottom-left corner, drawn by three browsers of the
// bottom row only.
TEST_F(TemplateClasses, OnlyThreeBrowsersDrawTheCalibration) {
  for (int layout : {8, 10}) {
    SCOPED_TRACE(layout);
    Doc().GetSettings().SetInt(SettingKey::kTemplatesView, layout == 10 ? 1 : 0);
    Show(layout);
    const int slots = layout == 10 ? 24 : 16;
    const int first = layout == 10 ? 16 : 8;
    const int bottom = Classes().GetClientRect().bottom;
    for (int slot = 0; slot < slots; ++slot) {
      win::Windows().ClearRecords();
      gfx::RecordingCanvas canvas;
      Browser(slot).Draw(canvas, Browser(slot).StoredRect());
      const win::WindowSystem::Record* record = win::Windows().RecordOf(Classes());
      const bool drew = record != nullptr && !record->client.empty();
      EXPECT_EQ(drew, slot >= first && slot < first + 3) << slot;
      if (!drew) continue;
      const std::string marks = record->client.back()->Dump();
      EXPECT_NE(marks.find("MoveTo 5," + std::to_string(bottom - 60)), std::string::npos) << marks;
      EXPECT_NE(marks.find("SelectPen solid 1 0x0000FF"), std::string::npos);
    }
  }
}

// Dragging a strip: the image is inverted in and out at the same places; a drop on another
// browser merges the class into that one, a drop on itself moves nothing.
TEST_F(TemplateClasses, DraggingAStripOntoAnotherBrowserMergesTheClasses) {
  struct Case {
    const char* name;
    int drop_slot;
    int normal0_after;
    int normal1_after;
  };
  const Case cases[] = {{"onto itself", 0, 6, 3}, {"onto nothing", 12, 6, 3}, {"onto slot 1", 1, 0, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::Windows().ClearRecords();
    Mouse(Classes(), win::kWmLButtonDown, Centre(0));
    EXPECT_TRUE(Browser(0).IsDragging());
    Mouse(Classes(), win::kWmMouseMove, Centre(5));
    const gfx::Rect shown = Browser(0).DragImageShownAt();
    EXPECT_EQ(shown.Width(), Browser(0).DragImageRect().Width());
    Mouse(Classes(), win::kWmLButtonUp, Centre(c.drop_slot));
    EXPECT_FALSE(Browser(0).IsDragging());
    EXPECT_EQ(win::Windows().GetCapture(), nullptr);
    EXPECT_EQ(Size(kNormal, 0), c.normal0_after);
    EXPECT_EQ(Size(kNormal, 1), c.normal1_after);

    // Every inversion is undone at the same place.
    std::vector<std::string> blits;
    for (const auto& client : win::Windows().RecordOf(Classes())->client)
      for (const std::string& line : client->Lines())
        if (line.find("BitBlt") != std::string::npos) blits.push_back(line);
    ASSERT_EQ(blits.size(), 4u);
    for (size_t i = 0; i < blits.size(); i += 2) EXPECT_EQ(blits[i], blits[i + 1]) << i;
  }
  EXPECT_EQ(Rows()[1].count, 9);
  EXPECT_EQ(Classes().GetSlotFamily(0), -1);
  EXPECT_EQ(Browser(1).CountButton().GetWindowText(), "9");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().GetDerivedDataValid(), 0);
}

// VES into the artefacts: into an empty artefact class 0 the row becomes that class; into a
// filled one the row empties and the artefact row on the page counts the beats.
TEST_F(TemplateClasses, MovingAClassIntoTheArtefactsKeepsTheRowsTrue) {
  Classes().SetContextSlot(2);
  EXPECT_EQ(win::UpdateCommand(Classes(), CTemplateClassesWnd::kCmdToVES).Radio(), std::optional<bool>(true));
  Command(Classes(), CTemplateClassesWnd::kCmdToArtefact);
  EXPECT_EQ(Rows()[2], (TTemplateClassEntry{kArtefact, 0, 4}));
  EXPECT_EQ(Doc().GetQRSList().ElementAt(31)->GetClass(), kClassArtefact);
  EXPECT_EQ(document::Context().edit_mode, 0);
  // Artefact onto artefact is refused before the editor is asked.
  Command(Classes(), CTemplateClassesWnd::kCmdToArtefact);
  EXPECT_EQ(Rows()[2], (TTemplateClassEntry{kArtefact, 0, 4}));

  Classes().SetContextSlot(1);
  Command(Classes(), CTemplateClassesWnd::kCmdToArtefact);
  EXPECT_EQ(Rows()[1].family, -1);
  EXPECT_EQ(Rows()[2].count, 7);
  EXPECT_EQ(Browser(2).CountButton().GetWindowText(), "7");
  EXPECT_EQ(Browser(1).CountButton().GetWindowText(), "0");
}

// After a rebuild the cursor stays on the same morphology although sorting moved its class.
TEST_F(TemplateClasses, RebuildKeepsTheHighlightedMorphology) {
  Doc().GetRecordingData().normal_classes[1].Append(50);
  Doc().GetRecordingData().normal_classes[1].Append(51);
  Doc().GetRecordingData().normal_classes[1].Append(52);
  Doc().GetRecordingData().normal_classes[1].Append(53);
  Doc().UpdateTemplateClassCounts();
  Doc().SetTemplateCursorRow(1);  // normal 1: 7 beats, first beat 20
  Command(Classes(), CTemplateClassesWnd::kCmdRebuild);
  ASSERT_EQ(Rows()[0].count, 7);
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 0);
  EXPECT_EQ(Classes().GetSlotMember(0, true), 20);
  EXPECT_EQ(Browser(0).CountButton().GetWindowText(), "7");

  // The same through hint 1005: one compaction and sort for all browsers, the same result.
  Doc().GetRecordingData().normal_classes[0].RemoveAll();
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  EXPECT_EQ(Rows()[0], (TTemplateClassEntry{kNormal, 0, 6}));
  EXPECT_EQ(Rows()[1], (TTemplateClassEntry{kVES, 0, 4}));
  EXPECT_EQ(Browser(0).CountButton().GetWindowText(), "6");
}

// The count button opens the beat page of its class.
TEST_F(TemplateClasses, TheCountButtonOpensTheBeatPage) {
  const gfx::Rect button = Browser(2).CountButton().GetWindowRectInParent();
  Mouse(Classes(), win::kWmLButtonDown, {button.left + 5, button.top + 5});
  Mouse(Classes(), win::kWmLButtonUp, {button.left + 5, button.top + 5});
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 2);
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 2);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateBeats);
  // A slot without a class opens nothing.
  Doc().SetDisplayMode(DisplayMode::kTemplateClasses);
  Command(Classes(), CTemplateClassesWnd::kCmdSelectFirst + 9);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateClasses);
}

class AnswerNumber : public CTemplateReviewDialogs {
 public:
  explicit AnswerNumber(std::optional<std::string> answer) : answer_(std::move(answer)) {}
  std::optional<std::string> AskNumber(const std::string& initial) override {
    asked = initial;
    return answer_;
  }
  bool ChooseDelete(win::Window*) override { return false; }
  std::string asked;

 private:
  std::optional<std::string> answer_;
};

TEST_F(TemplateClasses, ReducingVESClassesAsksWithTheirNumber) {
  SetClasses({{kNormal, 0, Beats(10, 6)},
              {kVES, 0, Beats(30, 4)},
              {kVES, 1, Beats(34, 2)},
              {kVES, 2, Beats(36, 1)}});
  Doc().GetRecordingData().ves_special = {5, 6};
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>{}, std::optional<std::string>{"1"}}) {
    AnswerNumber dialogs(answer);
    SetTemplateReviewDialogs(&dialogs);
    Command(Classes(), CTemplateClassesWnd::kCmdReduceVES);
    SetTemplateReviewDialogs(nullptr);
    EXPECT_EQ(dialogs.asked, "3");
    EXPECT_EQ(Size(kVES, 1), answer ? 0 : 2);
  }
  // The surplus joined the second special VES class.
  EXPECT_EQ(Size(kVES, 6), 3);
  EXPECT_EQ(Size(kVES, 0), 4);
}

}  // namespace
}  // namespace templatetest
