#include <gtest/gtest.h>

#include <vector>

#include "analysis/analysis_run.h"
#include "layouts/template_review_fixture.h"

namespace templatetest {
namespace {

constexpr int kVES = TTemplateClassEntry::kFamilyVES;
constexpr int kNormal = TTemplateClassEntry::kFamilyNormal;

// Layout 9 with rows A (normal 0, 12 beats), B (normal 1, no beats), C (VES 0, 5 beats), A
// selected; the analysis hooks carry out committed relabels and deletions.
class TemplateDetail : public TemplateReviewTest {
 protected:
  void SetUp() override {
    TemplateReviewTest::SetUp();
    SetClasses({{kNormal, 0, Beats(10, 12)}, {kVES, 0, Beats(40, 5)}});
    rows().insert(rows().begin() + 1, TTemplateClassEntry{kNormal, 1, 0});
    Doc().SetSelectedTemplateRow(0);
    Doc().SetTemplateCursorRow(0);
    Doc().SetDisplayMode(DisplayMode::kTemplateBeats);
    Doc().SetAnalysisHooks(&analysis_);
    Show(9);
  }
  void TearDown() override {
    Doc().SetAnalysisHooks(nullptr);
    TemplateReviewTest::TearDown();
  }
  std::vector<TTemplateClassEntry>& rows() { return Doc().GetTemplateClassList(); }
  CTemplateDetailArea& Area() { return *Areas<CTemplateDetailArea>().front(); }

  analysis::AnalysisRun analysis_{{}};
};

// 32807 skips the empty row B; the cursor row moves along by the same number of rows.
TEST_F(TemplateDetail, StepsSkipClassesWithoutBeats) {
  EXPECT_EQ(Area().CountButton().GetWindowText(), "12");
  struct Case {
    int command;
    int selected;
    int cursor;
    bool next;
    bool previous;
  };
  const Case cases[] = {{CTemplateDetailWnd::kCmdNextClass, 2, 2, false, true},
                        {CTemplateDetailWnd::kCmdNextClass, 2, 2, false, true},
                        {CTemplateDetailWnd::kCmdPreviousClass, 0, 0, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    Command(Detail(), c.command);
    EXPECT_EQ(Doc().GetSelectedTemplateRow(), c.selected);
    EXPECT_EQ(Doc().GetTemplateCursorRow(), c.cursor);
    EXPECT_EQ(Enabled(Detail(), CTemplateDetailWnd::kCmdNextClass), c.next);
    EXPECT_EQ(Enabled(Detail(), CTemplateDetailWnd::kCmdPreviousClass), c.previous);
  }
  Command(Detail(), CTemplateDetailWnd::kCmdNextClass);
  EXPECT_EQ(Area().CountButton().GetWindowText(), "5");
  EXPECT_EQ(Detail().GetSelectedCount(), 5);
}

// NEXT steps the member shown in the detail and marks the document modified; at the last
// member nothing more happens.
TEST_F(TemplateDetail, NextStepsTheDetailsMember) {
  Doc().GetRecordingData().CurrentMembers(kNormal)[0] = 10;
  Doc().SetModifiedFlag(false);
  CRepeatButton& next = Area().NextButton();
  EXPECT_EQ(next.GetCommandId(), -1);
  for (int want : {11, 11}) {
    next.SendMessage(win::kWmLButtonDown, 0, 0);
    next.SendMessage(win::kWmLButtonUp, 0, 0);
    EXPECT_EQ(Member(kNormal, 0), want);
  }
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 0);
  Detail().SendMessage(CTemplateDetailWnd::kMsgStepMember, static_cast<win::WParam>(-1), 0);
  EXPECT_EQ(Member(kNormal, 0), 10);
}

// Relabels pending in other classes are carried out before a move, whatever the moved class's
// own records; the class's own records covering all its beats are dropped, so that template
// lists and beat classes agree afterwards.
TEST_F(TemplateDetail, AMoveCommitsTheOtherClassesRelabels) {
  struct Case {
    const char* name;
    int own_pending;  // of the 12 beats of A
  };
  const Case cases[] = {{"some of the class", 3}, {"all of the class", 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetClasses({{kNormal, 0, Beats(10, 12)}, {kVES, 0, Beats(40, 5)}});
    Doc().SetSelectedTemplateRow(0);
    std::vector<TQRSUndoEntry>& pending = Doc().GetPendingRelabels();
    pending.clear();
    // Beat 41 of C was relabelled normal.
    Doc().GetQRSList().SetClass(41, kClassNormal);
    pending.push_back({*Doc().GetQRSList().ElementAt(41), 41, document::kUndoChanged});
    for (int i = 0; i < c.own_pending; ++i)
      pending.push_back({*Doc().GetQRSList().ElementAt(10 + i), 10 + i, document::kUndoChanged});
    Command(Detail(), CTemplateDetailWnd::kCmdToVES);
    EXPECT_TRUE(Doc().GetPendingRelabels().empty());
    // Beat 41 left C for the normal family.
    const auto members = Doc().GetRecordingData().ves_classes[0].Elements();
    EXPECT_EQ(std::count_if(members.begin(), members.end(),
                            [](const TTemplate& t) { return t.GetBeatIndex() == 41; }),
              0);
    EXPECT_EQ(Doc().GetQRSList().ElementAt(41)->GetClass(), kClassNormal);
    EXPECT_EQ(rows()[0].family, kVES);
    EXPECT_EQ(Doc().GetQRSList().ElementAt(21)->GetClass(), kClassVES);
  }
}

TEST_F(TemplateDetail, DeletingTheOnlyClassReturnsToTheTemplateScreen) {
  SetClasses({{kVES, 0, Beats(40, 3)}});
  Doc().SetSelectedTemplateRow(0);
  Doc().SetTemplateCursorRow(0);
  const int beats = Doc().GetQRSList().GetSize();
  Command(Detail(), CTemplateDetailWnd::kCmdDeleteClass);
  EXPECT_EQ(Doc().GetQRSList().GetSize(), beats - 3);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateClasses);
}

TEST_F(TemplateDetail, DeletingAClassGoesOnToTheNextWithBeats) {
  Command(Detail(), CTemplateDetailWnd::kCmdDeleteClass);
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 2);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateBeats);
  EXPECT_EQ(Size(kNormal, 0), 0);
}

}  // namespace
}  // namespace templatetest
