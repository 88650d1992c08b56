#include "views/ecg_strip_edit_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/worker.h"
#include "views/area_messages.h"
#include "views/layout_test_nodes.h"
#include "views/strip_recording.h"
#include "views/view_test_fixture.h"
#include "win/frame_window.h"
#include "win/messages.h"
#include "win/toolbar_window.h"

namespace {

using Lines = std::vector<std::string>;
using W = CECGStripWnd;

// An area whose answers the test scripts; it logs every message it gets.
class ScriptedNode : public CViewAreaConfig {
 public:
  using Handler =
      std::function<int(const gfx::Rect& rect, uint32_t msg, win::WParam wparam, win::LParam lparam)>;

  ScriptedNode(std::string name, Lines* log, Handler handler, gfx::Size per_mille)
      : CViewAreaConfig(CPosition{}, {0, 0}, per_mille, true),
        name_(std::move(name)),
        log_(log),
        handler_(std::move(handler)) {}

  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

  const std::string name_;
  Lines* log_;
  Handler handler_;
};

class ScriptedArea : public CViewArea {
 public:
  ScriptedArea(ScriptedNode* node, CZK470Doc* doc) : CViewArea(node, doc), node_(node) {}
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override {
    node_->log_->push_back(node_->name_ + " " + std::to_string(msg) + " " + std::to_string(wparam));
    return node_->handler_(rect_, msg, wparam, lparam);
  }

 private:
  ScriptedNode* node_;
};

std::unique_ptr<CViewArea> ScriptedNode::CreateArea(CZK470Doc* doc) {
  return std::make_unique<ScriptedArea>(this, doc);
}

// The edit engine as the tests see it: every request with the manual-edit flag at that moment.
class RecordingSink : public CBeatEditSink {
 public:
  explicit RecordingSink(Lines* log) : log_(log) {}
  void ExecuteCommand(CZK470Doc&, const TBeatEditRequest& request) override {
    requests.push_back(request);
    manual_flags.push_back(document::Context().edit_mode);
    log_->push_back("edit " + std::to_string(request.command) + " by hand " +
                    std::to_string(document::Context().edit_mode));
  }
  void CheckExampleStrips(CZK470Doc&) override { log_->push_back("check examples"); }

  std::vector<TBeatEditRequest> requests;
  std::vector<int> manual_flags;

 private:
  Lines* log_;
};

// The hints the document sends, with the marks of hint 1010.
class HintRecorder : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    hints.push_back(hint);
    if (const auto* counts = dynamic_cast<const TCountsHint*>(object)) marks = counts->marks;
  }
  std::vector<int> hints;
  TCountsHint::Table marks{};
};

// A view that offers every command to all of its windows, as the program's main view does.
class RoutingView : public viewstest::TestView {
 public:
  using TestView::TestView;
  bool OnCmdMsg(win::CommandMessage& message) override {
    if (win::OfferToChildren(*this, message)) return true;
    return TestView::OnCmdMsg(message);
  }
};

// One label cell of the fake strip: its x span in the strip window and what it names.
struct Cell {
  int left;
  int right;
  int index;
  int position;
  int code;
};

constexpr int kBeatSpacing = 80;
constexpr int kBeatCount = 10;

// A main strip window over a two-minute recording whose beats the test places: beat i lies at
// sample 1000 + 500 i and its label cell spans x 40 + 80 i +- 12 in the window. A fake strip area
// answers the cursor and hit-test messages from those cells, and a fake beat page sits at the root.
class StripEditWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    win::Windows().SetClock(&clock_);
    SetBeatEditSink(&sink_);
    CZK470Doc& doc = recording_.Doc();
    doc.GetQRSList().RemoveAll();
    doc.GetEventList().RemoveAll();
    for (int i = 0; i < kBeatCount; ++i) {
      doc.GetQRSList().Append(TQRSComplex(BeatPosition(i), kClassNormal, kPriorNeverEdited));
      beat_cells_.push_back({BeatX(i) - 12, BeatX(i) + 12, i, BeatPosition(i), kClassNormal});
    }
    doc.AddView(&hints_);

    auto layout = std::make_unique<viewstest::TestLayout>(&events_);
    auto window_node = std::make_unique<CECGStripWindowConfig>(CPosition{}, gfx::Size{300, 100},
                                                               gfx::Size{1000, 1000}, false);
    window_node->AddChild(std::make_unique<ScriptedNode>(
        "strip", &log_,
        [this](const gfx::Rect& rect, uint32_t msg, win::WParam wparam, win::LParam lparam) {
          return Strip(rect, msg, wparam, lparam);
        },
        gfx::Size{1000, 1000}));
    window_node_ = window_node.get();
    layout->AddChild(std::move(window_node));
    layout->AddChild(std::make_unique<ScriptedNode>(
        "page", &log_,
        [this](const gfx::Rect&, uint32_t msg, win::WParam wparam, win::LParam lparam) {
          return Page(msg, wparam, lparam);
        },
        gfx::Size{0, 0}));
    list_.Add(std::move(layout));
    view_ = std::make_unique<RoutingView>(&doc, &list_, &events_);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 300}, win::kWsVisible));
    win::Windows().RunPending();
    window_ = dynamic_cast<W*>(dynamic_cast<CWindowArea*>(window_node_->GetArea())->GetHostedWindow());
    ASSERT_NE(window_, nullptr);
    log_.clear();
    hints_.hints.clear();
  }

  void TearDown() override {
    recording_.Doc().RemoveView(&hints_);
    view_.reset();
    SetBeatEditSink(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  static int BeatX(int i) { return 40 + kBeatSpacing * i; }
  static int BeatPosition(int i) { return 1000 + 500 * i; }

  static bool Hit(const std::vector<Cell>& cells, CHitRecord& hit, bool pacemaker_only) {
    for (const Cell& cell : cells) {
      if (hit.x < cell.left || hit.x >= cell.right || (pacemaker_only && cell.code != kClassPaceMaker))
        continue;
      hit.kind = CHitRecord::kBeat;
      hit.index = cell.index;
      hit.position = cell.position;
      return true;
    }
    return false;
  }

  int Strip(const gfx::Rect& rect, uint32_t msg, win::WParam wparam, win::LParam lparam) {
    switch (msg) {
      case areamsg::kStripCursorX:
        *reinterpret_cast<int*>(lparam) = cursor_x_;
        return 1;
      case areamsg::kStripCursorTimeMs:
        *reinterpret_cast<int*>(lparam) = cursor_x_ * 10;
        return 1;
      case areamsg::kLeftButtonDown: {
        const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
        if (rect.Contains(*point)) cursor_x_ = point->x;
        return 1;
      }
      case areamsg::kBeatAtPoint:
      case areamsg::kEventAtPoint:
      case areamsg::kPacemakerEventAtPoint: {
        auto& hit = *reinterpret_cast<CHitRecord*>(lparam);
        if (!rect.Contains({hit.x, hit.y})) {
          hit.position = -1;
          return 1;
        }
        if (msg == areamsg::kBeatAtPoint && Hit(beat_cells_, hit, false)) return 1;
        if ((msg != areamsg::kBeatAtPoint || wparam == W::kCmdUserMarker) &&
            Hit(event_cells_, hit, msg == areamsg::kPacemakerEventAtPoint))
          return 1;
        hit.kind = CHitRecord::kFreePosition;
        hit.index = -1;
        hit.position = free_position_;
        return 1;
      }
      case areamsg::kCaliper:
        recording_.Doc().GetViewFields().caliper = recording_.Doc().GetViewFields().caliper != 0 ? 0 : 1;
        return 1;
      case W::kCmdNextPage:
      case W::kCmdPreviousPage:
        return 1;
      default:
        return 0;
    }
  }

  int Page(uint32_t msg, win::WParam wparam, win::LParam lparam) {
    if (!page_answers_) return 0;
    switch (msg) {
      case areamsg::kBeatPageRows:
        *reinterpret_cast<int*>(lparam) = 5;
        return 1;
      case areamsg::kBeatPageColumns:
        *reinterpret_cast<int*>(lparam) = 4;
        return 1;
      case areamsg::kBeatPageRect:
        *reinterpret_cast<gfx::Rect*>(lparam) = {0, 0, 401, 253};
        return 1;
      case areamsg::kBeatPageOpenAt: {
        const auto* offset = reinterpret_cast<const COffsetParam*>(lparam);
        log_.push_back("offset " + std::to_string(offset->x) + "," + std::to_string(offset->y));
        return 1;
      }
      default:
        return 0;
    }
  }

  CZK470Doc& Doc() { return recording_.Doc(); }
  void Execute(int id) { ASSERT_TRUE(win::ExecuteCommand(*window_, id)) << id; }
  bool Enabled(int id) { return win::UpdateCommand(*window_, id).Enabled().value_or(false); }
  Lines Logged(const std::string& prefix) const {
    Lines out;
    for (const std::string& line : log_)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }

  platform::ManualClock clock_;
  viewstest::StripRecording recording_;
  viewstest::EventLog events_;
  Lines log_;
  RecordingSink sink_{&log_};
  HintRecorder hints_;
  std::vector<Cell> beat_cells_;
  std::vector<Cell> event_cells_;
  int cursor_x_ = BeatX(4);
  int free_position_ = 7777;
  bool page_answers_ = true;
  CViewConfigurations list_;
  CECGStripWindowConfig* window_node_ = nullptr;
  std::unique_ptr<RoutingView> view_;
  W* window_ = nullptr;
};

TEST_F(StripEditWindowTest, EveryEditCommandSendsItsRequestThenTellsTheBeatPage) {
  struct Case {
    const char* name;
    int command;
    int direct;
    int want_command;
    int by_hand;
  };
  constexpr Case kCases[] = {
      {"class choice", W::kCmdClassChoice, 0, 0, 1},
      {"normal", W::kCmdNormal, 1, W::kCmdNormal, 1},
      {"VES", W::kCmdVES, 1, W::kCmdVES, 1},
      {"SVES", W::kCmdSVES, 1, W::kCmdSVES, 1},
      {"artefact", W::kCmdArtefact, 1, W::kCmdArtefact, 1},
      {"delete beat", W::kCmdDeleteBeat, 1, W::kCmdDeleteBeat, 0},
      {"delete event", W::kCmdDeleteEvent, 1, W::kCmdDeleteEvent, 0},
      {"mark range start", W::kCmdMarkRangeStart, 1, W::kCmdMarkRangeStart, 0},
      {"range unlabel", W::kCmdRangeUnlabel, 1, W::kCmdRangeUnlabel, 1},
      {"range VES", W::kCmdRangeVES, 1, W::kCmdRangeVES, 1},
      {"range SVES", W::kCmdRangeSVES, 1, W::kCmdRangeSVES, 1},
      {"range normal", W::kCmdRangeNormal, 1, W::kCmdRangeNormal, 1},
      {"range artefact", W::kCmdRangeArtefact, 1, W::kCmdRangeArtefact, 1},
      {"atrial fibrillation", W::kCmdRangeFibrillation, 1, W::kCmdRangeFibrillation, 1},
      {"atrial flutter", W::kCmdRangeFlutter, 1, W::kCmdRangeFlutter, 1},
  };
  Doc().GetViewFields().range_start_beat = 1;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    sink_.requests.clear();
    Execute(c.command);
    ASSERT_EQ(sink_.requests.size(), 1u);
    TBeatEditRequest want;
    want.window = static_cast<int32_t>(window_->Handle());
    want.x = BeatX(4);
    want.y = W::kCursorHitY;
    want.off_beat = 0;
    want.position = BeatPosition(4);
    want.beat_index = 4;
    want.key_flags = 0;
    want.direct = c.direct;
    want.command = c.want_command;
    want.not_in_selected_class = 1;
    want.beat_class = -1;
    EXPECT_EQ(sink_.requests[0], want);
    // The manual-edit flag is set for the request alone, and the beat page hears of it after.
    EXPECT_EQ(Logged("edit").at(0),
              "edit " + std::to_string(c.want_command) + " by hand " + std::to_string(c.by_hand));
    EXPECT_EQ(Logged("page 1109"), Lines{"page 1109 4"});
    EXPECT_EQ(document::Context().edit_mode, 0);
  }
}

TEST_F(StripEditWindowTest, RequestsAtAFreePositionOrOutsideTheStrip) {
  // A free position: the request names the sample under the cursor and no beat.
  cursor_x_ = BeatX(4) + 40;
  Execute(W::kCmdVES);
  ASSERT_EQ(sink_.requests.size(), 1u);
  EXPECT_EQ(sink_.requests[0].off_beat, 1);
  EXPECT_EQ(sink_.requests[0].position, free_position_);
  EXPECT_EQ(sink_.requests[0].beat_index, -1);

  // Outside the strip nothing is asked of the engine and nothing is told.
  log_.clear();
  cursor_x_ = -50;
  Execute(W::kCmdVES);
  EXPECT_EQ(sink_.requests.size(), 1u);
  EXPECT_TRUE(Logged("page 1109").empty());
}

TEST_F(StripEditWindowTest, ABeatOfTheSelectedTemplateClassKeepsItsEntry) {
  // On the beat page, beat 4 belongs to the selected class: the engine must leave its entry.
  Doc().SetDisplayMode(DisplayMode::kTemplateBeats);
  Doc().GetTemplateClassList() = {{TTemplateClassEntry::kFamilyNormal, 2, 1}};
  Doc().SetSelectedTemplateRow(0);
  Doc().GetRecordingData().TemplateClasses(TTemplateClassEntry::kFamilyNormal)[2].Append(4);
  Execute(W::kCmdVES);
  cursor_x_ = BeatX(5);
  Execute(W::kCmdVES);
  ASSERT_EQ(sink_.requests.size(), 2u);
  EXPECT_EQ(sink_.requests[0].not_in_selected_class, 0);
  EXPECT_EQ(sink_.requests[1].not_in_selected_class, 1);
}

TEST_F(StripEditWindowTest, OnTheSampleScreenAnEditChecksTheExamplesAndRebuilds) {
  Doc().SetDisplayMode(DisplayMode::kSampleWindows);
  Execute(W::kCmdNormal);
  EXPECT_EQ(Logged("check"), Lines{"check examples"});
  ASSERT_FALSE(hints_.hints.empty());
  EXPECT_EQ(hints_.hints.back(), hint::kDocumentChanged);
}

TEST_F(StripEditWindowTest, CaliperModeDisablesEveryEditButNavigationAndTheBoxes) {
  struct Case {
    int command;
    bool without_caliper;
    bool with_caliper;
  };
  constexpr Case kCases[] = {
      {W::kCmdClassChoice, true, false},
      {W::kCmdNormal, true, false},
      {W::kCmdVES, true, false},
      {W::kCmdSVES, true, false},
      {W::kCmdArtefact, true, false},
      {W::kCmdDeleteBeat, true, false},
      {W::kCmdDeleteEvent, true, false},
      {W::kCmdMarkRangeStart, true, false},
      {W::kCmdRangeUnlabel, true, false},
      {W::kCmdRangeVES, true, false},
      {W::kCmdRangeSVES, true, false},
      {W::kCmdRangeNormal, true, false},
      {W::kCmdRangeArtefact, true, false},
      {W::kCmdRangeFibrillation, true, false},
      {W::kCmdRangeFlutter, true, false},
      {W::kCmdUserMarker, true, false},
      {W::kCmdShowBeatTemplate, true, false},
      {W::kCmdShowPacemakerTemplate, true, false},
      {W::kCmdTakeCursor, true, false},
      {W::kCmdNextPage, true, true},
      {W::kCmdPreviousPage, true, true},
      {W::kCmdCaliper, true, true},
      {W::kCmdRRMode, true, true},
      {W::kCmdRRModeMin, true, true},
      {W::kCmdNothing, true, true},
      // The window has no example slot.
      {CECGSampleWnd::kCmdTakeExample, false, false},
      {CECGSampleWnd::kCmdNextExample, false, false},
  };
  // A beat, a pacemaker event and a marked range at the cursor: everything applies.
  Doc().GetEventList().Append(TEvent(BeatPosition(4), BeatPosition(4), kClassPaceMaker));
  event_cells_.push_back({BeatX(4) - 12, BeatX(4) + 12, 0, BeatPosition(4), kClassPaceMaker});
  Doc().GetViewFields().range_start_beat = 1;
  for (const bool caliper : {false, true}) {
    Doc().GetViewFields().caliper = caliper ? 1 : 0;
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message()
                   << "command " << c.command << (caliper ? " caliper on" : " caliper off"));
      EXPECT_EQ(Enabled(c.command), caliper ? c.with_caliper : c.without_caliper);
    }
  }
}

TEST_F(StripEditWindowTest, WhatLiesUnderTheCursorEnablesTheClassCommands) {
  struct Case {
    const char* name;
    int cursor_x;
    int beat_class;
    bool mode17;
    bool want_ves;
    bool want_delete;
    bool want_radio_ves;
  };
  const Case kCases[] = {
      {"normal beat", BeatX(4), kClassNormal, false, true, true, false},
      {"VES beat has its radio mark", BeatX(4), kClassVES, false, true, true, true},
      {"paced beat is left alone", BeatX(4), kClassPacedBeat, false, false, true, false},
      {"free position inserts", BeatX(4) + 40, kClassNormal, false, true, true, false},
      {"outside the strip", -50, kClassNormal, false, false, false, false},
      {"heart-rate navigator screen", BeatX(4), kClassNormal, true, false, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    cursor_x_ = c.cursor_x;
    Doc().GetQRSList().SetClass(4, c.beat_class);
    Doc().SetDisplayMode(c.mode17 ? DisplayMode::kHeartRateNavigator : DisplayMode::kNavigation);
    const win::CmdUI ves = win::UpdateCommand(*window_, W::kCmdVES);
    EXPECT_EQ(ves.Enabled().value_or(false), c.want_ves);
    EXPECT_EQ(ves.Radio().value_or(false), c.want_radio_ves);
    EXPECT_EQ(Enabled(W::kCmdDeleteBeat), c.want_delete);
  }
}

TEST_F(StripEditWindowTest, UserMarkerTogglesAndStepsBackFromTheRecordingEnd) {
  cursor_x_ = BeatX(4) + 40;
  free_position_ = 5000;
  Execute(W::kCmdUserMarker);
  ASSERT_EQ(Doc().GetEventList().GetSize(), 1);
  EXPECT_EQ(Doc().GetEventList().GetAt(0).GetPosition(), 5000);
  EXPECT_EQ(Doc().GetEventList().GetAt(0).GetClass(), kClassUser);
  EXPECT_EQ(hints_.hints, std::vector<int>{hint::kCountsChanged});
  EXPECT_EQ(hints_.marks[kClassUser], 1);
  EXPECT_TRUE(Doc().IsModified());

  // The same place again takes the marker away.
  Execute(W::kCmdUserMarker);
  EXPECT_EQ(Doc().GetEventList().GetSize(), 0);
  EXPECT_EQ(hints_.marks[kClassUser], 1);

  // On the last sample of the two minutes the marker goes 7 s earlier; twice there leaves none.
  const int last_sample = 2 * 60 * 125 - 1;
  free_position_ = last_sample;
  Execute(W::kCmdUserMarker);
  ASSERT_EQ(Doc().GetEventList().GetSize(), 1);
  EXPECT_EQ(Doc().GetEventList().GetAt(0).GetPosition(), last_sample - 7 * 125);
  Execute(W::kCmdUserMarker);
  EXPECT_EQ(Doc().GetEventList().GetSize(), 0);
  // None of this went through the engine.
  EXPECT_TRUE(sink_.requests.empty());
}

TEST_F(StripEditWindowTest, UserMarkerKeepsTheEventListInOrder) {
  Doc().GetEventList().Append(TEvent(100, 200, kClassPause));
  Doc().GetEventList().Append(TEvent(9000, 9000, kClassMarker));
  cursor_x_ = BeatX(4) + 40;
  free_position_ = 5000;
  Execute(W::kCmdUserMarker);
  ASSERT_EQ(Doc().GetEventList().GetSize(), 3);
  EXPECT_EQ(Doc().GetEventList().GetAt(1).GetPosition(), 5000);
  // A label of an event under the cursor places the marker on that event.
  event_cells_.push_back({BeatX(4) + 30, BeatX(4) + 50, 2, 9000, kClassMarker});
  Execute(W::kCmdUserMarker);
  ASSERT_EQ(Doc().GetEventList().GetSize(), 4);
  EXPECT_EQ(Doc().GetEventList().GetAt(3).GetPosition(), 9000);
  EXPECT_EQ(Doc().GetEventList().GetAt(3).GetClass(), kClassUser);
}

TEST_F(StripEditWindowTest, ARangeAskedFromEitherEndNamesTheSameBeats) {
  std::vector<std::set<int>> ranges;
  for (const auto& [mark, cursor] : {std::pair{2, 7}, std::pair{7, 2}}) {
    Doc().GetViewFields().range_start_beat = mark;
    cursor_x_ = BeatX(cursor);
    sink_.requests.clear();
    Execute(W::kCmdRangeVES);
    ASSERT_EQ(sink_.requests.size(), 1u);
    ranges.push_back({Doc().GetViewFields().range_start_beat, sink_.requests[0].beat_index});
  }
  EXPECT_EQ(ranges[0], ranges[1]);
  EXPECT_EQ(ranges[0], (std::set<int>{2, 7}));
}

TEST_F(StripEditWindowTest, MarkingARangeStoresTheTimeUnderTheCursor) {
  Execute(W::kCmdMarkRangeStart);
  EXPECT_EQ(Doc().GetViewFields().range_position, BeatX(4) * 10);
  EXPECT_FALSE(win::UpdateCommand(*window_, W::kCmdMarkRangeStart).Check().value_or(0) != 0);
  Doc().GetViewFields().range_start_beat = 4;
  EXPECT_EQ(win::UpdateCommand(*window_, W::kCmdMarkRangeStart).Check().value_or(0), 1);
}

TEST_F(StripEditWindowTest, RightClickMovesTheCursorBeforeTheMenuOpens) {
  const gfx::Point offset = window_->OffsetInTopLevel();
  const gfx::Point at{BeatX(7) + offset.x, 50 + offset.y};
  bool menu_complete = false;
  win::Windows().QueuePopupAnswer([&](const win::PopupRequest& request) {
    // Every entry of menu 184 is there, whatever applies.
    menu_complete = request.menu != nullptr && request.menu->FindItem(W::kCmdVES) != nullptr &&
                    request.menu->FindItem(W::kCmdRangeFlutter) != nullptr &&
                    request.menu->FindItem(W::kCmdShowPacemakerTemplate) != nullptr;
    EXPECT_EQ(request.screen_point, view_->ClientToScreen(at));
    return W::kCmdVES;
  });
  win::Windows().MouseInput(*view_, win::kWmRButtonDown, at);
  win::Windows().MouseInput(*view_, win::kWmRButtonUp, at);
  win::Windows().RunPending();
  EXPECT_TRUE(menu_complete);
  EXPECT_EQ(win::Windows().PendingPopupAnswers(), 0u);
  ASSERT_EQ(sink_.requests.size(), 1u);
  EXPECT_EQ(sink_.requests[0].beat_index, 7);
  EXPECT_EQ(sink_.requests[0].command, W::kCmdVES);
}

TEST_F(StripEditWindowTest, ShiftF10OpensTheMenuInsideTheTopLeftCorner) {
  std::optional<gfx::Point> shown;
  win::Windows().QueuePopupAnswer([&](const win::PopupRequest& request) {
    shown = request.screen_point;
    return 0;
  });
  EXPECT_FALSE(window_->PreTranslateMessage(win::kWmKeyDown, win::kVkF10, 0));
  win::Windows().SetKeyDown(win::kVkShift, true);
  EXPECT_TRUE(window_->PreTranslateMessage(win::kWmSysKeyDown, win::kVkF10, 0));
  win::Windows().SetKeyDown(win::kVkShift, false);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(*shown, window_->ClientToScreen(gfx::Point{5, 5}));
}

TEST_F(StripEditWindowTest, DoubleClickAsksForTheClassAtTheClickedPoint) {
  const gfx::Point offset = window_->OffsetInTopLevel();
  const gfx::Point at{BeatX(2) + offset.x, 60 + offset.y};
  win::Windows().MouseInput(*view_, win::kWmLButtonDown, at, win::kMkShift);
  win::Windows().MouseInput(*view_, win::kWmLButtonUp, at, win::kMkShift);
  win::Windows().MouseInput(*view_, win::kWmLButtonDblClk, at, win::kMkShift);
  ASSERT_EQ(sink_.requests.size(), 1u);
  EXPECT_EQ(sink_.requests[0].beat_index, 2);
  EXPECT_EQ(sink_.requests[0].y, 60);
  EXPECT_EQ(sink_.requests[0].key_flags, static_cast<int32_t>(win::kMkShift));
  EXPECT_EQ(sink_.requests[0].direct, 0);
  EXPECT_EQ(sink_.requests[0].command, 0);
  EXPECT_EQ(sink_.manual_flags[0], 1);

  // Not in caliper mode, and never on a paced beat.
  Doc().GetQRSList().SetClass(2, kClassPacedBeat);
  win::Windows().MouseInput(*view_, win::kWmLButtonDblClk, at);
  Doc().GetQRSList().SetClass(2, kClassNormal);
  Doc().GetViewFields().caliper = 1;
  win::Windows().MouseInput(*view_, win::kWmLButtonDblClk, at);
  EXPECT_EQ(sink_.requests.size(), 1u);
}

TEST_F(StripEditWindowTest, ShowingTheTemplateClassOfABeat) {
  // Row 20 holds beat 4 as member 37; rows of no family come first.
  std::vector<TTemplateClassEntry> rows(20, TTemplateClassEntry{-1, -1, 0});
  rows.push_back({TTemplateClassEntry::kFamilyVES, 3, 40});
  Doc().GetTemplateClassList() = rows;
  TTemplateList& list = Doc().GetRecordingData().TemplateClasses(TTemplateClassEntry::kFamilyVES)[3];
  for (int j = 0; j < 40; ++j) list.Append(j == 37 ? 4 : 1000 + j);

  // From another screen: the beat page opens on the class's page at the beat. With pages of 24
  // rows row 20 is on the first, with 16 on the second.
  Doc().GetSettings().SetInt(SettingKey::kTemplatesView, 1);
  Execute(W::kCmdShowBeatTemplate);
  EXPECT_EQ(Doc().GetFirstVisibleTemplateRow(), 0);
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  hints_.hints.clear();
  Doc().GetSettings().SetInt(SettingKey::kTemplatesView, 0);
  Execute(W::kCmdShowBeatTemplate);
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 20);
  EXPECT_EQ(Doc().GetTemplateCursorRow(), 20);
  EXPECT_EQ(Doc().GetFirstVisibleTemplateRow(), 16);
  EXPECT_EQ(Doc().GetViewFields().pending_beat_in_class, 37);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateBeats);
  EXPECT_EQ(hints_.hints, std::vector<int>{hint::kArea1101});

  // On the beat page (5 rows of 4): page row 5, cell (1, 4) of 100 x 50 pixels.
  hints_.hints.clear();
  Doc().SetSelectedTemplateRow(0);
  Execute(W::kCmdShowBeatTemplate);
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 20);
  EXPECT_EQ(Logged("page 1102"), Lines{"page 1102 5"});
  EXPECT_EQ(Logged("offset"), Lines{"offset 100,200"});
  EXPECT_TRUE(hints_.hints.empty());

  // Without a beat page that tells its geometry there is no page to open.
  log_.clear();
  page_answers_ = false;
  Execute(W::kCmdShowBeatTemplate);
  EXPECT_TRUE(Logged("page 1102").empty());
  EXPECT_EQ(Doc().GetSelectedTemplateRow(), 20);
  page_answers_ = true;

  // A beat of no class changes nothing.
  log_.clear();
  cursor_x_ = BeatX(6);
  Execute(W::kCmdShowBeatTemplate);
  EXPECT_TRUE(Logged("page 1102").empty());
}

TEST_F(StripEditWindowTest, ShowingThePacemakerClassOfASpike) {
  Doc().GetEventList().Append(TEvent(BeatPosition(4), BeatPosition(4), kClassPaceMaker));
  event_cells_.push_back({BeatX(4) - 12, BeatX(4) + 12, 0, BeatPosition(4), kClassPaceMaker});
  TPMTemplateList& pm_class = Doc().GetRecordingData().pm_classes[20];
  pm_class.Append(TPMTemplate(10));
  pm_class.Append(TPMTemplate(BeatPosition(4)));
  Execute(W::kCmdShowPacemakerTemplate);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kPacemakerTemplates);
  EXPECT_EQ(hints_.hints, std::vector<int>{hint::kDisplayMode13});
  const int row = Doc().GetPMRowState()[1];
  ASSERT_GE(row, 0);
  EXPECT_EQ(Doc().GetPMTemplateClassList().at(static_cast<size_t>(row)).class_index, 20);
  EXPECT_EQ(Doc().GetPMRowState()[0], row / W::kPacemakerPageRows * W::kPacemakerPageRows);
  EXPECT_EQ(Doc().GetRecordingData().pm_current[20], 1);
}

TEST_F(StripEditWindowTest, ZoomStepsTheStripScaleAndTheSampleScaleFollows) {
  struct Case {
    const char* name;
    int command;
    SettingKey zoom;
    SettingKey sample;
    int from;
    int want;
  };
  constexpr Case kCases[] = {
      {"faster", W::kCmdFaster, SettingKey::kResZoomSpeed, SettingKey::kResSampleSpeed, 1, 2},
      {"faster at the top", W::kCmdFaster, SettingKey::kResZoomSpeed, SettingKey::kResSampleSpeed, 2, 2},
      {"slower", W::kCmdSlower, SettingKey::kResZoomSpeed, SettingKey::kResSampleSpeed, 1, 0},
      {"larger", W::kCmdLarger, SettingKey::kResZoomAmplitude, SettingKey::kResSampleAmplitude, 0, 1},
      {"smaller at the bottom", W::kCmdSmaller, SettingKey::kResZoomAmplitude,
       SettingKey::kResSampleAmplitude, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SettingsStore& settings = Doc().GetSettings();
    settings.SetInt(c.zoom, c.from);
    settings.SetInt(c.sample, 1);
    log_.clear();
    hints_.hints.clear();
    win::ExecuteCommand(*window_, c.command);
    EXPECT_EQ(settings.Int(c.zoom), c.want);
    const bool changed = c.want != c.from;
    EXPECT_EQ(settings.Int(c.sample), changed ? c.want : 1);
    EXPECT_EQ(Logged("strip " + std::to_string(c.command)).size(), changed ? 1u : 0u);
    EXPECT_EQ(hints_.hints, changed ? std::vector<int>{hint::kDisplaySettings} : std::vector<int>{});
  }
  // The strip's scale: 30 px/cm x 50 mm/s and x 20 mm/mV.
  Doc().GetSettings().SetInt(SettingKey::kResZoomSpeed, 2);
  Doc().GetSettings().SetInt(SettingKey::kResZoomAmplitude, 2);
  window_->UpdateScale();
  EXPECT_DOUBLE_EQ(window_->GetPixelsPerSecond(), 150.0);
  EXPECT_DOUBLE_EQ(window_->GetPixelsPerMV(), 60.0);
}

TEST_F(StripEditWindowTest, ChannelBandsOverlapByOneAndAHalfCentimetres) {
  document::Context().g_RecordingChannels.count = 3;
  window_->LayoutChannelBands({0, 0, 500, 300});
  const std::vector<gfx::Rect>& bands = window_->ChannelBands();
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[0], (gfx::Rect{0, 0, 500, 145}));
  EXPECT_EQ(bands[1], (gfx::Rect{0, 55, 500, 245}));
  EXPECT_EQ(bands[2], (gfx::Rect{0, 155, 500, 300}));
}

TEST_F(StripEditWindowTest, BoxesAndCaliperGoDownTheTree) {
  Execute(W::kCmdRRMode);
  Execute(W::kCmdRRModeMin);
  Execute(W::kCmdCaliper);
  Execute(W::kCmdCaliper);
  Execute(W::kCmdNextPage);
  Execute(W::kCmdTakeCursor);
  // The caliper message carries the state it switches to.
  EXPECT_EQ(Logged("strip"), (Lines{"strip 41101 0", "strip 41102 0", "strip 32957 1", "strip 32957 0",
                                    "strip 32783 0", "strip 32823 0"}));
  EXPECT_EQ(Logged("page 4110"), (Lines{"page 41101 0", "page 41102 0"}));
}

TEST_F(StripEditWindowTest, ToolbarCarriesTheStripCommands) {
  auto* bar = dynamic_cast<win::ToolBarWindow*>(window_node_->GetToolBar());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetDlgCtrlID(), W::kToolBarId);
  std::vector<int> ids;
  for (size_t i = 0; i < bar->Model().Count(); ++i) ids.push_back(bar->Model().At(i).id);
  EXPECT_EQ(ids, (std::vector<int>{W::kCmdTakeCursor, W::kCmdUserMarker, 0, W::kCmdSlower, W::kCmdFaster, 0,
                                   W::kCmdLarger, W::kCmdSmaller}));
}

TEST_F(StripEditWindowTest, WithoutASinkEditsDoNothing) {
  SetBeatEditSink(nullptr);
  Execute(W::kCmdVES);
  EXPECT_TRUE(Logged("page 1109").empty());
  EXPECT_EQ(document::Context().edit_mode, 0);
}

}  // namespace
