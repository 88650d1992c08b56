#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "beat_page_fixture.h"
#include "gfx/recording_canvas.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/hit_record.h"

namespace {

using beatpagetest::BeatPageTest;

std::vector<int> Range(int from, int to) {
  std::vector<int> cells(static_cast<size_t>(to - from + 1));
  std::iota(cells.begin(), cells.end(), from);
  return cells;
}

std::vector<int> Sorted(std::vector<int> cells) {
  std::sort(cells.begin(), cells.end());
  return cells;
}

std::string Drawn(CBeatPageArea& area) {
  gfx::RecordingCanvas canvas;
  area.Draw(canvas, area.StoredRect());
  return canvas.Dump();
}

// 250 beats: three pages, the last one filled to 50 cells and without a further page.
TEST_F(BeatPageTest, AClassOf250BeatsShowsThreePages) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 250);
  Open();
  struct Case {
    int first_row;
    int strips;
    const char* text;
    int has_next;
  };
  const Case cases[] = {{0, 100, "Page 1 / 3", 1}, {5, 100, "Page 2 / 3", 1}, {10, 50, "Page 3 / 3", 0}};
  AddBeatPageResources(platform::Resources().ExePack());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, static_cast<win::WParam>(c.first_row), 0);
    EXPECT_EQ(Page().GetFirstRow(), c.first_row);
    EXPECT_EQ(Area().StripCount(), c.strips);
    EXPECT_EQ(AskInt(areamsg::kBeatPageHasNext), c.has_next);
    EXPECT_NE(Drawn(Area()).find(c.text), std::string::npos);
  }
  // The empty cells of the last page take no click.
  Click(60);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{0});
}

TEST_F(BeatPageTest, CtrlClicksToggleCellsAndKeepTheLastOne) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  struct Click {
    int cell;
    unsigned flags;
  };
  struct Case {
    const char* name;
    std::vector<Click> before;
    int ctrl_click;
    std::vector<int> after;
    int cursor;
  };
  const unsigned ctrl = win::kMkControl;
  const Case cases[] = {
      {"the only cell stays", {{7, 0}}, 7, {7}, 7},
      {"a new cell becomes current", {{7, 0}, {9, ctrl}}, 12, {7, 9, 12}, 12},
      // 9, then the range back to 7: entries 9, 7, 8 with 7 current.
      {"the current cell of three: the following entry", {{9, 0}, {7, win::kMkShift}}, 7, {8, 9}, 8},
      {"the current cell as the last entry: the one before", {{7, 0}, {9, ctrl}, {12, ctrl}}, 12, {7, 9}, 9},
      {"another selected cell goes, the current stays", {{7, 0}, {9, ctrl}, {12, ctrl}}, 7, {9, 12}, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Click& click : c.before) BeatPageTest::Click(click.cell, click.flags);
    BeatPageTest::Click(c.ctrl_click, ctrl);
    EXPECT_EQ(Sorted(Area().SelectedCells()), c.after);
    EXPECT_EQ(CursorCell(), c.cursor);
    EXPECT_EQ(Area().SelectedCells()[static_cast<size_t>(Area().CurrentEntry())], c.cursor);
  }
}

TEST_F(BeatPageTest, ShiftClickSelectsTheRangeInRowMajorOrderEitherWay) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  struct Case {
    int from;
    int to;
  };
  for (const Case c : {Case{3, 45}, Case{45, 3}}) {
    SCOPED_TRACE(c.from);
    Click(c.from);
    const int32_t position = Doc().GetCurrentPosition();
    Click(c.to, win::kMkShift);
    EXPECT_EQ(Sorted(Area().SelectedCells()), Range(3, 45));
    EXPECT_EQ(CursorCell(), c.to);
    EXPECT_EQ(Area().SelectedCells()[static_cast<size_t>(Area().CurrentEntry())], c.to);
    EXPECT_EQ(Doc().GetCurrentPosition(), position) << "a range leaves the position";
  }
  // A range onto a cell already selected makes it current.
  Click(50, win::kMkShift);
  Click(47, win::kMkShift);
  EXPECT_EQ(CursorCell(), 47);
  EXPECT_EQ(Sorted(Area().SelectedCells()), Range(3, 50));
}

TEST_F(BeatPageTest, PlainAndRightClicks) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  Click(4);
  Click(6, win::kMkControl);
  // A plain click sets the position to its beat (beat 21 lies at sample 2200, 125 Hz).
  Click(21);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{21});
  EXPECT_EQ(Doc().GetCurrentPosition(), 2200 * 1000 / 125);

  Click(25, win::kMkControl);
  RightClick(21);
  EXPECT_EQ(Area().SelectedCells(), (std::vector<int>{21, 25})) << "inside the selection: kept for the menu";
  RightClick(30);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{30});
  // Outside the grid (the pixels right of the 20 columns) nothing changes.
  const gfx::Rect r = Area().StoredRect();
  Mouse(win::kWmLButtonDown, {r.left + 20 * Area().CellWidth() + 2, r.top + 5});
  Mouse(win::kWmLButtonUp, {r.left + 20 * Area().CellWidth() + 2, r.top + 5});
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{30});
}

// A button release without a running selection is not taken; a press outside the area neither.
TEST_F(BeatPageTest, ReleaseWithoutSelectionIsNotHandled) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Open();
  gfx::Point p = CellCentre(2);
  EXPECT_EQ(Area().OnMessage(areamsg::kLeftButtonUp, 0, reinterpret_cast<win::LParam>(&p)), 0);
  gfx::Point outside{-10, -10};
  EXPECT_EQ(Area().OnMessage(areamsg::kLeftButtonDown, 0, reinterpret_cast<win::LParam>(&outside)), 0);
  log_.hints.clear();
  Click(2);
  EXPECT_EQ(log_.hints, std::vector<int>{hint::kNavigationRebuild});
}

TEST_F(BeatPageTest, AResizeKeepsTheCellsAndTheCursorBeat) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  Click(3);
  Click(25, win::kMkControl);
  Click(47, win::kMkControl);
  const int32_t position = Doc().GetCurrentPosition();
  for (const gfx::Size size : {gfx::Size{1400, 900}, gfx::Size{700, 500}}) {
    SCOPED_TRACE(size.cx);
    Resize(size.cx, size.cy);
    EXPECT_EQ(Area().SelectedCells(), (std::vector<int>{3, 25, 47}));
    EXPECT_EQ(CursorCell(), 47);
    EXPECT_EQ(Doc().GetCurrentPosition(), position);
    EXPECT_EQ(Area().Cursor().x % Area().CellWidth(), 0);
  }
}

TEST_F(BeatPageTest, KeyboardStepsCrossPagesAndStopAtTheEnds) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  const auto step = [&](uint32_t message) { WindowNode()->BroadcastAll(message, 0, 0); };
  Click(99);
  step(CBeatPageWnd::kMsgNextBeat);
  EXPECT_EQ(Page().GetFirstRow(), 5);
  EXPECT_EQ(CursorCell(), 0);
  EXPECT_EQ(Area().StripCount(), 20);
  EXPECT_EQ(Doc().GetCurrentPosition(), 10100 * 1000 / 125);

  step(CBeatPageWnd::kMsgPreviousBeat);
  EXPECT_EQ(Page().GetFirstRow(), 0);
  EXPECT_EQ(CursorCell(), 99);
  EXPECT_EQ(Area().StripCount(), 100);

  // The last beat of the class (entry 119): the step only redraws the cursor frame.
  WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, 5, 0);
  Click(19);
  Click(5, win::kMkControl);
  step(CBeatPageWnd::kMsgNextBeat);
  EXPECT_EQ(CursorCell(), 6);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{6}) << "the selection shrinks to the cursor";
  Click(19);
  log_.hints.clear();
  step(CBeatPageWnd::kMsgNextBeat);
  EXPECT_EQ(CursorCell(), 19);
  EXPECT_EQ(Page().GetFirstRow(), 5);
  EXPECT_TRUE(log_.hints.empty());
  // The first beat: back does nothing.
  WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, 0, 0);
  step(CBeatPageWnd::kMsgPreviousBeat);
  EXPECT_EQ(CursorCell(), 0);
  EXPECT_EQ(Page().GetFirstRow(), 0);
}

// The frames are drawn on the page window's client DC with XOR: a cell and the cell inset by 3.
TEST_F(BeatPageTest, FramesAreTwoXorRectanglesInTheStyleOfTheirEntry) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Open();
  Click(2);
  Click(4, win::kMkControl);
  const std::string drawn = Drawn(Area());
  const int w = Area().CellWidth();
  const int h = Area().CellHeight();
  const gfx::Rect r = Area().StoredRect();
  const auto rect_text = [](int l, int t, int rt, int b) {
    return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(rt) + "," + std::to_string(b);
  };
  EXPECT_NE(drawn.find(rect_text(r.left + 4 * w, r.top, r.left + 5 * w, r.top + h)), std::string::npos)
      << drawn;
  EXPECT_NE(drawn.find(rect_text(r.left + 4 * w + 3, r.top + 3, r.left + 5 * w - 3, r.top + h - 3)),
            std::string::npos);

  gfx::RecordingCanvas true_colour;
  gfx::DeviceInfo palette_device;
  palette_device.num_colors = 256;
  gfx::RecordingCanvas palette(palette_device);
  const auto colours = CBeatPageArea::FrameColoursFor(true_colour);
  const auto palette_colours = CBeatPageArea::FrameColoursFor(palette);
  EXPECT_EQ(colours.current, 0x00FFFFu);
  EXPECT_EQ(colours.other, 0x008080u);
  EXPECT_EQ(palette_colours.current, 0x008080u);
  EXPECT_EQ(palette_colours.other, 0x004040u);
}

TEST_F(BeatPageTest, AnswersTheCursorBeatAndTheSelection) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Open();
  Click(2);
  Click(5, win::kMkControl);
  CHitRecord hit{11, 12};
  WindowNode()->BroadcastUntilHandled(areamsg::kBeatAtPoint, 0, reinterpret_cast<win::LParam>(&hit));
  EXPECT_EQ(hit.x, 11);
  EXPECT_EQ(hit.kind, CHitRecord::kBeat);
  EXPECT_EQ(hit.index, 5);
  EXPECT_EQ(hit.position, 600);
  EXPECT_EQ(AskInt(areamsg::kBeatPageCursorClass), kClassNormal);
  EXPECT_EQ(AskInt(areamsg::kBeatPageSelectionCount), 2);
  std::vector<CHitRecord> records;
  WindowNode()->BroadcastUntilHandled(CBeatPageWnd::kMsgSelectionRecords, 0,
                                      reinterpret_cast<win::LParam>(&records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].index, 2);
  EXPECT_EQ(records[1].position, 600);
  gfx::Rect rect;
  WindowNode()->BroadcastUntilHandled(areamsg::kBeatPageRect, 0, reinterpret_cast<win::LParam>(&rect));
  EXPECT_EQ(rect, Area().StoredRect());

  // A cell without a beat answers -1.
  COffsetParam empty(Area().CellWidth() * 15, Area().CellHeight());
  WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, 0, reinterpret_cast<win::LParam>(&empty));
  EXPECT_EQ(CursorCell(), 35);
  EXPECT_EQ(AskInt(areamsg::kBeatPageCursorClass), -1);
  hit = CHitRecord{};
  WindowNode()->BroadcastUntilHandled(areamsg::kBeatAtPoint, 0, reinterpret_cast<win::LParam>(&hit));
  EXPECT_EQ(hit.position, -1);
  EXPECT_EQ(hit.index, -1);
}

// Deleting the last beat of a class: the next class with beats, else the previous, else the
// template classes screen.
TEST_F(BeatPageTest, EmptyingTheClassMovesToAnotherClassOrLeaves) {
  struct Case {
    const char* name;
    std::vector<int> counts;  // rows of normal classes 0, 1, ...
    int shown;
    int row_after;  // -1: back to the template classes screen
  };
  const Case cases[] = {
      {"next", {4, 1, 0, 6}, 1, 3},
      {"previous", {4, 1}, 1, 0},
      {"none left", {1}, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t k = 0; k < c.counts.size(); ++k) {
      if (c.counts[k] > 0)
        AddClass(TTemplateClassEntry::kFamilyNormal, static_cast<int>(k), c.counts[k]);
      else
        Doc().GetTemplateClassList().push_back({TTemplateClassEntry::kEmptied, -1, 0});
    }
    Doc().SetSelectedTemplateRow(c.shown);
    Open();
    WindowNode()->BroadcastAll(areamsg::kBeatPageRefresh, 0, 0);
    Doc()
        .GetRecordingData()
        .TemplateClasses(TTemplateClassEntry::kFamilyNormal)[static_cast<size_t>(c.shown)]
        .RemoveAll();
    log_.hints.clear();
    Doc().UpdateAllViews(nullptr, hint::kBeatsEdited);
    if (c.row_after < 0) {
      EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateClasses);
      EXPECT_EQ(log_.hints, (std::vector<int>{hint::kDisplayModeChanged, hint::kBeatsEdited}));
    } else {
      EXPECT_EQ(Doc().GetSelectedTemplateRow(), c.row_after);
      EXPECT_EQ(Doc().GetTemplateCursorRow(), c.row_after);
      EXPECT_EQ(Page().GetFirstRow(), 0);
      EXPECT_EQ(CursorCell(), 0);
      EXPECT_EQ(Area().StripCount(), c.counts[static_cast<size_t>(c.row_after)]);
      EXPECT_EQ(log_.hints,
                (std::vector<int>{hint::kNavigationRebuild, hint::kArea1111, hint::kBeatsEdited}));
    }
    TearDown();
    SetUp();
  }
}

// A deleted beat at the end of the class pulls the cursor back onto the last beat.
TEST_F(BeatPageTest, ADeletedLastBeatPullsTheCursorBack) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 101);
  Open();
  WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, 5, 0);
  EXPECT_EQ(Area().StripCount(), 1);
  Doc().GetRecordingData().TemplateClasses(TTemplateClassEntry::kFamilyNormal)[0].RemoveAt(100);
  Doc().UpdateAllViews(nullptr, hint::kBeatsEdited);
  EXPECT_EQ(Page().GetFirstRow(), 0);
  EXPECT_EQ(CursorCell(), 99);
  EXPECT_EQ(Area().StripCount(), 100);
}

TEST_F(BeatPageTest, UndoDropsTheNewestPendingRelabelAndReturnsToTheFirstPage) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 150);
  Open();
  WindowNode()->BroadcastAll(areamsg::kBeatPageOpenAt, 5, 0);
  Doc().GetPendingRelabels() = {{TQRSComplex(200, kClassNormal, '!'), 1, document::kUndoChanged},
                                {TQRSComplex(300, kClassNormal, '!'), 2, document::kUndoChanged}};
  Doc().UpdateAllViews(nullptr, hint::kEditsUndone);
  // Without the editor the rest stays pending.
  ASSERT_EQ(Doc().GetPendingRelabels().size(), 1u);
  EXPECT_EQ(Doc().GetPendingRelabels()[0].index, 1);
  EXPECT_EQ(Page().GetFirstRow(), 0);
  EXPECT_EQ(CursorCell(), 0);
  EXPECT_EQ(Area().StripCount(), 100);
}

// The strip of an edited beat is made again in place; a beat without a strip changes nothing.
TEST_F(BeatPageTest, RenewsTheStripOfAnEditedBeat) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Open();
  Click(4);
  const CECGStripPainter* before = Area().StripOf(4);
  const CECGStripPainter* other = Area().StripOf(5);
  WindowNode()->BroadcastUntilHandled(areamsg::kBeatPageRenewBeat, 4, 0);
  EXPECT_NE(Area().StripOf(4), before);
  EXPECT_EQ(Area().StripOf(5), other);
  EXPECT_EQ(Area().StripCount(), 30);
  WindowNode()->BroadcastUntilHandled(areamsg::kBeatPageRenewBeat, 77, 0);
  EXPECT_EQ(Area().StripCount(), 30);
}

// A selected row of no family shows an empty page that takes no click.
TEST_F(BeatPageTest, ARowWithoutFamilyLeavesThePageEmpty) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Doc().GetTemplateClassList()[0].family = TTemplateClassEntry::kEmptied;
  Open();
  EXPECT_EQ(Area().StripCount(), 0);
  Click(3);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{0});
  EXPECT_EQ(AskInt(areamsg::kBeatPageHasNext), 0);
}

}  // namespace
