#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/default_layouts.h"
#include "layouts/layout_harness.h"
#include "layouts/pm_template_area.h"
#include "layouts/pm_template_factories.h"
#include "layouts/pm_template_window.h"
#include "support/screen_golden.h"
#include "views/base_view.h"
#include "views/strip_recording.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace {

using layouttest::LayoutHarness;

constexpr int kWindowRow = 1;
constexpr int kFirstAreaRow = 3;  // page rows 0..11 are table rows 3..14

// Layout 16 with the page's classes registered and three pacemaker classes filled: class 0 with
// spikes at 1000, 2000, 3000, class 1 with 4000, 5000, class 2 with 6000 (samples).
class PMTemplatePage : public testing::Test {
 protected:
  void SetUp() override {
    RegisterPMTemplateFactories();
    harness_ = std::make_unique<LayoutHarness>(16, 1000, 700);
    TRecordingData& record = Doc().GetRecordingData();
    const std::vector<std::vector<int>> classes = {{1000, 2000, 3000}, {4000, 5000}, {6000}};
    for (size_t c = 0; c < classes.size(); ++c)
      for (int position : classes[c]) record.pm_classes[c].Append(TPMTemplate(position));
    SetRows(3);
    Doc().UpdateAllViews(nullptr, hint::kArea1100);
  }
  void TearDown() override { harness_.reset(); }

  CZK470Doc& Doc() { return harness_->Doc(); }
  CPMTemplateWnd& Page() {
    auto* area = dynamic_cast<CWindowArea*>(harness_->Node(kWindowRow)->GetArea());
    return *dynamic_cast<CPMTemplateWnd*>(area->GetHostedWindow());
  }
  CPMTemplateArea& Area(int page_row) {
    return *dynamic_cast<CPMTemplateArea*>(harness_->Node(kFirstAreaRow + page_row)->GetArea());
  }
  gfx::Point CentreOf(int page_row) {
    const gfx::Rect r = harness_->RectOf(kFirstAreaRow + page_row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // Rows for classes 0..count-1 with their true member counts, first visible and selected 0.
  void SetRows(int count) {
    std::vector<TPMTemplateClassEntry>& rows = Doc().GetPMTemplateClassList();
    rows.clear();
    for (int c = 0; c < count; ++c) rows.push_back({0, c, Doc().GetRecordingData().pm_classes[c].GetSize()});
    Doc().GetPMRowState() = {0, 0, 0};
  }
  int Members(int pm_class) { return Doc().GetRecordingData().pm_classes[pm_class].GetSize(); }
  bool Enabled(int id) { return win::UpdateCommand(Page(), id).Enabled().value_or(false); }
  void Command(int id) { Page().SendMessage(win::kWmCommand, static_cast<win::WParam>(id)); }
  void Mouse(uint32_t message, gfx::Point client, unsigned flags = 0) {
    const gfx::Point at = Page().OffsetInTopLevel();
    win::Windows().MouseInput(*Page().GetTopLevel(), message, {at.x + client.x, at.y + client.y}, flags);
  }

  std::unique_ptr<LayoutHarness> harness_;
};

TEST_F(PMTemplatePage, TheLayoutUsesTheRealClassesOneAreaPerPageRow) {
  for (int row = 0; row < CPMTemplateWnd::kPageRows; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(Area(row).Row(), row);
  }
  EXPECT_EQ(FindPMTemplateWindow(harness_->Node(kFirstAreaRow + 8)), &Page());
  // The buttons are children of the page window with the ids of their row.
  EXPECT_EQ(Page().GetDlgItem(CPMTemplateArea::kCountButtonId + 5), &Area(5).CountButton());
  EXPECT_EQ(Page().GetDlgItem(CPMTemplateArea::kNextButtonId + 11), &Area(11).NextButton());
  EXPECT_EQ(Area(0).CountButton().GetWindowText(), "3");
}

// Paging by 12 and by 4 within the rows; forward only while rows lie beyond the page.
TEST_F(PMTemplatePage, PagingStaysWithinTheRows) {
  SetRows(3);
  for (int id : {CPMTemplateWnd::kCmdPageForward, CPMTemplateWnd::kCmdStepForward,
                 CPMTemplateWnd::kCmdPageBack, CPMTemplateWnd::kCmdStepBack})
    EXPECT_FALSE(Enabled(id)) << id;

  // 20 rows (classes without members count as rows too).
  std::vector<TPMTemplateClassEntry>& rows = Doc().GetPMTemplateClassList();
  for (int c = 3; c < 20; ++c) rows.push_back({0, c, 0});
  struct Case {
    int command;
    int first_after;
    bool forward;
    bool back;
  };
  const Case cases[] = {
      {CPMTemplateWnd::kCmdPageForward, 12, false, true}, {CPMTemplateWnd::kCmdStepBack, 8, false, true},
      {CPMTemplateWnd::kCmdStepForward, 12, false, true}, {CPMTemplateWnd::kCmdPageBack, 0, true, false},
      {CPMTemplateWnd::kCmdStepForward, 4, true, true},   {CPMTemplateWnd::kCmdPageBack, 0, true, false},
  };
  EXPECT_TRUE(Enabled(CPMTemplateWnd::kCmdPageForward));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    Command(c.command);
    EXPECT_EQ(Page().FirstVisibleRow(), c.first_after);
    EXPECT_EQ(Enabled(CPMTemplateWnd::kCmdPageForward), c.forward);
    EXPECT_EQ(Enabled(CPMTemplateWnd::kCmdStepForward), c.forward);
    EXPECT_EQ(Enabled(CPMTemplateWnd::kCmdPageBack), c.back);
  }
  // The page shows the class rows from the first visible one; rows beyond them show nothing.
  Command(CPMTemplateWnd::kCmdPageForward);
  ASSERT_NE(Page().RowEntry(7), nullptr);
  EXPECT_EQ(Page().RowEntry(7)->class_index, 19);
  EXPECT_EQ(Page().RowEntry(8), nullptr);
  EXPECT_EQ(Area(8).CountButton().GetWindowText(), "0");
}

TEST_F(PMTemplatePage, SpeedAmplitudeAndDistanceStepWithinTheirIndexes) {
  struct Case {
    int up;
    int down;
    SettingKey key;
    int high;
  };
  const Case cases[] = {
      {CPMTemplateWnd::kCmdSpeedUp, CPMTemplateWnd::kCmdSpeedDown, SettingKey::kResPMSpeed, 2},
      {CPMTemplateWnd::kCmdAmplitudeUp, CPMTemplateWnd::kCmdAmplitudeDown, SettingKey::kResPMAmplitude, 3},
      {CPMTemplateWnd::kCmdDistanceUp, CPMTemplateWnd::kCmdDistanceDown, SettingKey::kPMDistance, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.up);
    Doc().GetSettings().SetInt(c.key, c.high - 1);
    EXPECT_TRUE(Enabled(c.up));
    Command(c.up);
    EXPECT_EQ(Doc().GetSettings().Int(c.key), c.high);
    EXPECT_FALSE(Enabled(c.up));
    Command(c.up);
    EXPECT_EQ(Doc().GetSettings().Int(c.key), c.high);
    Doc().GetSettings().SetInt(c.key, 0);
    EXPECT_FALSE(Enabled(c.down));
    Command(c.down);
    EXPECT_EQ(Doc().GetSettings().Int(c.key), 0);
  }
  EXPECT_EQ(Page().Speed(), 12.5);
  EXPECT_EQ(Page().Amplitude(), 2.5);
}

// Stepping the member: nothing at the ends; a step selects the row, marks the document modified
// and moves the current position to the spike.
TEST_F(PMTemplatePage, StepMemberMovesWithinTheClassOnly) {
  struct Case {
    int row;
    int start;
    int direction;
    int member_after;
    bool stepped;
  };
  const Case cases[] = {
      {0, 0, 0, 0, false}, {0, 2, 1, 2, false}, {0, 0, 1, 1, true},
      {0, 2, 0, 1, true},  {2, 0, 1, 0, false}, {5, 0, 1, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << " " << c.start << " " << c.direction);
    Doc().GetPMRowState() = {0, 1, 0};
    if (c.row < 3) Doc().GetRecordingData().pm_current[static_cast<size_t>(c.row)] = c.start;
    Doc().SetModifiedFlag(false);
    Doc().SetCurrentPosition(-5);
    Page().SendMessage(CPMTemplateWnd::kMsgStepMember, static_cast<win::WParam>(c.row),
                       static_cast<win::LParam>(c.direction));
    EXPECT_EQ(Page().GetCurrentMember(c.row, false), c.member_after);
    EXPECT_EQ(Doc().IsModified(), c.stepped);
    if (c.stepped) {
      EXPECT_EQ(Page().SelectedRow(), c.row);
      EXPECT_EQ(Doc().GetCurrentPosition(), Page().GetCurrentMember(c.row, true) * 8);  // 125 Hz
    } else {
      EXPECT_EQ(Doc().GetCurrentPosition(), -5);
    }
  }
}

TEST_F(PMTemplatePage, TheRowButtonsStepTheirRow) {
  CPMStepButton& next = Area(1).NextButton();
  next.SendMessage(win::kWmLButtonDown, 0, 0);
  next.SendMessage(win::kWmLButtonUp, 0, 0);
  EXPECT_EQ(Page().GetCurrentMember(1, false), 1);
  CPMStepButton& previous = Area(1).PreviousButton();
  previous.SendMessage(win::kWmLButtonDown, 0, 0);
  previous.SendMessage(win::kWmLButtonUp, 0, 0);
  EXPECT_EQ(Page().GetCurrentMember(1, false), 0);
}

// The context menu's k names a pacemaker class: a class beyond the rows on the page is a target
// like any other.
TEST_F(PMTemplatePage, MoveAndMergeTargetsArePacemakerClassesNotPageRows) {
  Page().SetContextRow(0);
  Doc().GetRecordingData().pm_current[0] = 1;
  Command(CPMTemplateWnd::kCmdMoveFirst + 10);
  EXPECT_EQ(Members(0), 2);
  ASSERT_EQ(Members(10), 1);
  EXPECT_EQ(Doc().GetRecordingData().pm_classes[10].GetAt(0).GetPosition(), 2000);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().GetDerivedDataValid(), 0);

  Page().SetContextRow(1);
  Command(CPMTemplateWnd::kCmdMergeFirst + 13);
  EXPECT_EQ(Members(1), 0);
  EXPECT_EQ(Members(13), 2);

  // Both rebuilt the class rows from the record: class 10 and 13 now have rows of their own.
  const auto& rows = Doc().GetPMTemplateClassList();
  const auto row_of = [&](int pm_class) {
    return std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.class_index == pm_class; });
  };
  ASSERT_NE(row_of(13), rows.end());
  EXPECT_EQ(row_of(13)->count, 2);

  // A context row without a class does nothing.
  SetRows(3);
  Page().SetContextRow(7);
  Command(CPMTemplateWnd::kCmdMoveFirst + 2);
  Command(CPMTemplateWnd::kCmdMergeFirst + 2);
  EXPECT_EQ(Members(2), 1);
}

TEST_F(PMTemplatePage, MenuTextsNameTheClasses) {
  Doc().GetSettings().SetText(SettingKey::kPM2B, "Two B");
  EXPECT_EQ(win::UpdateCommand(Page(), CPMTemplateWnd::kCmdMoveFirst + 3).Text().value_or(""), "Two B");
  EXPECT_EQ(win::UpdateCommand(Page(), CPMTemplateWnd::kCmdMergeFirst + 3).Text().value_or(""), "Two B");
  EXPECT_TRUE(Enabled(CPMTemplateWnd::kCmdMergeFirst + 13));
  EXPECT_EQ(CPMTemplateWnd::ClassName(Doc(), 20), "");
}

// Dragging a class: its image follows the mouse, inverted in and out at the same places; a drop
// on another class's area merges, on its own area or outside every area nothing happens.
TEST_F(PMTemplatePage, DraggingAClassOntoAnotherMergesIt) {
  struct Case {
    int from;
    int drop_row;  // -1 outside every area
    int merged_into;
  };
  const Case cases[] = {{0, 0, -1}, {0, -1, -1}, {0, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drop_row);
    const int before = Members(c.from);
    win::Windows().ClearRecords();
    Mouse(win::kWmLButtonDown, CentreOf(c.from));
    EXPECT_TRUE(Area(c.from).IsDragging());
    const gfx::Point drop = c.drop_row >= 0 ? CentreOf(c.drop_row) : gfx::Point{-50, -50};
    Mouse(win::kWmMouseMove, drop);
    const gfx::Rect shown = Area(c.from).DragImageShownAt();
    EXPECT_EQ((gfx::Point{shown.left + shown.Width() / 2, shown.top + shown.Height() / 2}), drop);
    Mouse(win::kWmLButtonUp, drop, 0);
    EXPECT_FALSE(Area(c.from).IsDragging());
    EXPECT_TRUE(Area(c.from).DragImageShownAt().IsEmpty());
    std::vector<std::string> blits;
    for (const auto& client : win::Windows().RecordOf(Page())->client)
      for (const std::string& line : client->Lines())
        if (line.find("BitBlt") != std::string::npos) blits.push_back(line);
    ASSERT_EQ(blits.size(), 4u);
    for (size_t i = 0; i < blits.size(); i += 2) EXPECT_EQ(blits[i], blits[i + 1]) << i;
    if (c.merged_into < 0) {
      EXPECT_EQ(Members(c.from), before);
    } else {
      EXPECT_EQ(Members(c.from), 0);
      EXPECT_EQ(Members(c.merged_into), before + 2);
      // The rows stay; their counts follow the record.
      EXPECT_EQ(Doc().GetPMTemplateClassList()[1].count, before + 2);
      EXPECT_EQ(Area(1).CountButton().GetWindowText(), std::to_string(before + 2));
    }
  }
}

TEST_F(PMTemplatePage, RightClickSelectsTheRowAndMakesItTheContextRow) {
  Mouse(win::kWmRButtonUp, CentreOf(2));
  EXPECT_EQ(Page().GetContextRow(), 2);
  EXPECT_EQ(Page().SelectedRow(), 2);
  // A row without a class is the context row but cannot be selected.
  Mouse(win::kWmRButtonUp, CentreOf(9));
  EXPECT_EQ(Page().GetContextRow(), 9);
  EXPECT_EQ(Page().SelectedRow(), 2);
}

// The calibration (the red bars) is drawn in the area of row 8 alone, whatever the classes.
TEST_F(PMTemplatePage, OnlyRowEightDrawsTheCalibration) {
  for (int row = 0; row < CPMTemplateWnd::kPageRows; ++row) {
    SCOPED_TRACE(row);
    gfx::RecordingCanvas canvas;
    Area(row).Draw(canvas, harness_->RectOf(kFirstAreaRow + row));
    std::string dump = canvas.Dump();
    std::transform(dump.begin(), dump.end(), dump.begin(), [](unsigned char ch) { return std::tolower(ch); });
    // Colours print as BBGGRR.
    const bool red = dump.find("0000ff") != std::string::npos;
    EXPECT_EQ(red, row == 8);
  }
}

class PMPageView : public CBaseView {
 public:
  explicit PMPageView(CZK470Doc* doc) : CBaseView(doc) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(16); }
};

// The page over a synthetic recording: three classes, the second selected, strips around the
// spikes, the calibration in row 8.
TEST(PMTemplatePageGolden, PaintingEqualsTheGoldenDisplayList) {
  RegisterPMTemplateFactories();
  auto recording = std::make_unique<viewstest::StripRecording>(2, 2);
  CZK470Doc& doc = recording->Doc();
  TRecordingData& record = doc.GetRecordingData();
  const std::vector<std::vector<int>> classes = {{1250, 2500, 3750}, {5000, 6250}, {7500}};
  for (size_t c = 0; c < classes.size(); ++c)
    for (int position : classes[c]) record.pm_classes[c].Append(TPMTemplate(position));
  record.pm_current[0] = 1;
  doc.GetPMTemplateClassList() = {{0, 0, 3}, {0, 1, 2}, {0, 2, 1}};
  doc.GetPMRowState() = {0, 1, 0};
  ASSERT_TRUE(CreateDefaultLayouts());
  auto view = std::make_unique<PMPageView>(&doc);
  ASSERT_TRUE(view->Create(nullptr, {0, 0, 1000, 700}, win::kWsVisible));
  win::Windows().RunPending();
  CPMTemplateWnd* page = nullptr;
  for (int i = 0; i < view->GetSelector()->GetCurrent()->GetChildCount() && page == nullptr; ++i)
    page = FindPMTemplateWindow(view->GetSelector()->GetCurrent()->GetChild(i));
  ASSERT_NE(page, nullptr);
  page->RedrawWindow();
  win::Windows().RunPending();
  const std::vector<std::string> lines = testsupport::RecordedScreen(*page);
  EXPECT_GT(
      std::count_if(lines.begin(), lines.end(),
                    [](const std::string& line) { return line.find("PolylineTo") != std::string::npos; }),
      3);
  testsupport::ExpectScreenGolden("layouts", "pm_template_window", lines);
  view->DestroyWindow();
  view.reset();
  DeleteDefaultLayouts();
  recording.reset();
  win::Windows().Reset();
}

}  // namespace
