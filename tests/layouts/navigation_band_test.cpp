#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/event.h"
#include "document/profile_keys.h"
#include "document/qrs_complex.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/band_legend_area.h"
#include "layouts/count_legend_area.h"
#include "layouts/event_legend_area.h"
#include "layouts/event_tick_area.h"
#include "layouts/layout_harness.h"
#include "layouts/legend_items.h"
#include "layouts/navigation_factories.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "support/screen_golden.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/caption_areas.h"
#include "views/navigation_window.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/controls.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

using layouttest::LayoutHarness;

constexpr int kRate = 125;
int Samples(int seconds) { return seconds * kRate; }

// Lines of a recording as "x1,y1-x2,y2" for each MoveTo directly followed by a LineTo.
std::vector<std::string> Segments(const std::vector<std::string>& lines) {
  std::vector<std::string> segments;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i].rfind("MoveTo ", 0) == 0 && lines[i + 1].rfind("LineTo ", 0) == 0)
      segments.push_back(lines[i].substr(7) + "-" + lines[i + 1].substr(7));
  }
  return segments;
}

// The quoted texts of the DrawText lines, in order.
std::vector<std::string> Texts(const std::vector<std::string>& lines) {
  std::vector<std::string> texts;
  for (const std::string& line : lines) {
    if (line.rfind("DrawText ", 0) != 0) continue;
    const size_t open = line.find('"');
    const size_t close = line.find('"', open + 1);
    texts.push_back(line.substr(open + 1, close - open - 1));
  }
  return texts;
}

size_t Count(const std::vector<std::string>& lines, std::string_view prefix) {
  size_t n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

// Every hint the document sends, in order.
class HintSpy : public document::DocumentView {
 public:
  explicit HintSpy(CZK470Doc& doc) : doc_(doc) { doc_.AddView(this); }
  ~HintSpy() override { doc_.RemoveView(this); }
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;

 private:
  CZK470Doc& doc_;
};

// A three-hour span from 10:35 with a few beats and events of the band's rows, and the stored
// heart-rate extremes.
void FillRecording(CZK470Doc& doc) {
  doc.GetRecordingData().start_time.days = (10 * 60 + 35) / 1440.0;
  doc.SetSpanStartMinute(0);
  doc.SetSpanLength(180);
  doc.SetSpanStartMs(0);
  doc.SetSpanEndMs(180 * 60000);
  doc.SetDisplayMode(DisplayMode::kNavigation);
  for (int s = 0; s < 180 * 60; s += 30) doc.GetQRSList().Append(TQRSComplex(Samples(s), 1));
  for (const int s : {600, 601, 3000}) doc.GetQRSList().Append(TQRSComplex(Samples(s), 15));
  doc.GetQRSList().Append(TQRSComplex(Samples(4000), 9));
  doc.GetEventList().Append(TEvent(Samples(1200), Samples(1500), 6));   // pause
  doc.GetEventList().Append(TEvent(Samples(2400), Samples(2700), 14));  // SV trigeminy: SV bigeminy row
  doc.GetEventList().Append(TEvent(Samples(5000), Samples(5600), 30));  // atrial fibrillation
  doc.GetEventList().Append(TEvent(Samples(7000), Samples(7200), 34));  // lead-off, second pen
  doc.SetHRMin(45, Samples(3600), 0, 0);
  doc.SetHRMax(130, Samples(7200), 0, 0);
  doc.SetExtremesValid(1);
}

// Layout 0 (navigation with strip) with the band's classes registered, at 1000 x 700.
class NavigationBand : public testing::Test {
 protected:
  void SetUp() override {
    RegisterNavigationFactories();
    SetTimeAxisLocale(&locale_);
  }
  void TearDown() override {
    harness_.reset();
    SetTimeAxisLocale(nullptr);
  }

  void Show(int layout = 0, bool with_data = true) {
    harness_ = std::make_unique<LayoutHarness>(layout, 1000, 700);
    if (with_data) {
      FillRecording(Doc());
      Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
    }
    win::Windows().RunPending();
  }

  CZK470Doc& Doc() { return harness_->Doc(); }
  // The hosted window of a window row.
  win::Window& Window(int row) {
    auto* area = dynamic_cast<CWindowArea*>(harness_->Node(row)->GetArea());
    return *area->GetHostedWindow();
  }
  template <typename Area>
  Area& AreaOf(int row) {
    return *dynamic_cast<Area*>(harness_->Node(row)->GetArea());
  }
  win::CmdUI Update(int id) { return win::UpdateCommand(Window(1), id); }

  // A click in the navigation window at a point of its client area.
  void Mouse(uint32_t message, gfx::Point client, unsigned flags = 0) {
    win::Window& window = Window(1);
    const gfx::Point at = window.OffsetInTopLevel();
    win::Windows().MouseInput(*window.GetTopLevel(), message, {at.x + client.x, at.y + client.y}, flags);
  }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<LayoutHarness> harness_;
};

TEST_F(NavigationBand, RegisteredClassesTakeTheirPlacesInTheLayouts) {
  Show(0, false);
  EXPECT_NE(dynamic_cast<CNavigationWnd*>(&Window(1)), nullptr);
  EXPECT_NE(dynamic_cast<CBandLegendArea*>(harness_->Node(3)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CEventLegendArea*>(harness_->Node(4)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CEventTickArea*>(harness_->Node(5)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CCountLegendArea*>(harness_->Node(6)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CCaptionArea*>(harness_->Node(8)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CTimeAxisArea*>(harness_->Node(9)->GetArea()), nullptr);
  EXPECT_NE(dynamic_cast<CBeatCountArea*>(harness_->Node(10)->GetArea()), nullptr);
  EXPECT_EQ(AreaOf<CEventTickArea>(5).Items().size(), 22u);
}

TEST_F(NavigationBand, PaintingEqualsTheGoldenDisplayList) {
  Show();
  Window(1).RedrawWindow();
  testsupport::ExpectScreenGolden("layouts", "navigation_window", testsupport::RecordedScreen(Window(1)));
}

TEST_F(NavigationBand, CaptionAxisAndCountShowTheSpanAndTheBeats) {
  Show();
  Window(1).RedrawWindow();
  const std::vector<std::string> texts = Texts(win::Windows().RecordOf(Window(1))->paint->Lines());
  // The axis of a span from 10:35 labels 11 first; the box counts every beat.
  const auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has("11"));
  EXPECT_TRUE(has("13"));
  EXPECT_FALSE(has("10")) << "10:35 is before the first hour mark";
  EXPECT_TRUE(has(std::to_string(Doc().GetQRSList().GetSize())));
  // A slot hint object keeps the count and the axis as they are.
  const int beats = Doc().GetQRSList().GetSize();
  Doc().GetQRSList().Append(TQRSComplex(Samples(179 * 60), 1));
  struct SlotHint : THintObject {
  } slot;
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged, &slot);
  win::Windows().RunPending();
  EXPECT_TRUE(Window(1).UpdateRect().IsEmpty());
  Doc().UpdateAllViews(nullptr, hint::kNavigationRebuild);
  win::Windows().RunPending();
  const std::vector<std::string> after = Texts(win::Windows().RecordOf(Window(1))->paint->Lines());
  EXPECT_NE(std::find(after.begin(), after.end(), std::to_string(beats + 1)), after.end());
}

TEST_F(NavigationBand, LegendRowsShareTheRemainderFromTheThirdRowOn) {
  // 240 pixels over 22 rows: 10 each and 20 left, so rows 2 to 21 are 11 high.
  CZK470Doc& doc = (Show(0, false), Doc());
  const std::vector<gfx::Rect> rows = LayOutLegendRows({0, 0, 50, 240}, 22, &doc);
  ASSERT_EQ(rows.size(), 22u);
  EXPECT_EQ(doc.GetViewFields().legend_row_height, 10);
  for (int i = 0; i < 22; ++i) {
    SCOPED_TRACE(i);
    const int height = i < 2 ? 10 : 11;
    const int overlap = i < 21 ? 1 : 0;
    EXPECT_EQ(rows[i].Height(), height + overlap);
    EXPECT_EQ(rows[i].right, 51);
  }
  EXPECT_EQ(rows[21].bottom, 240) << "the last row keeps the area's bottom";
  EXPECT_TRUE(LayOutLegendRows({0, 0, 50, 240}, 0, &doc).empty());

  // The band legend divides the same rows; neighbouring boxes share rows 8, 13 and 20.
  const CPosition at{};
  CBandLegendAreaConfig config(at, {18, 240}, {0, 1000}, true);
  std::unique_ptr<CViewArea> created = config.CreateArea(&doc);
  auto& band = dynamic_cast<CBandLegendArea&>(*created);
  band.SetRect({0, 0, 18, 240});
  band.OnLayout(0, 0, 18, 240);
  // Row tops: 0, 10, 20, 31, ... (rows 2 to 21 are 11 high).
  EXPECT_EQ(band.GeneralBox(), (gfx::Rect{0, 0, 19, 97 + 1}));
  EXPECT_EQ(band.SupraBox(), (gfx::Rect{0, 86, 19, 152 + 1}));
  EXPECT_EQ(band.VentricularBox(), (gfx::Rect{0, 141, 19, 229 + 1}));
  EXPECT_EQ(band.LastBox(), (gfx::Rect{0, 218, 19, 240}));
}

TEST_F(NavigationBand, BandLegendLettersTheSupraventricularName) {
  Show(0, false);
  const std::vector<std::string> lines = [&] {
    gfx::RecordingCanvas canvas;
    AreaOf<CBandLegendArea>(3).Draw(canvas, {0, 0, 1000, 1000});
    return canvas.Lines();
  }();
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"S", "V", "E", "S", "V", "E", "S"}));
  EXPECT_EQ(Count(lines, "FillRect"), 2u) << "the blue boxes are filled";
}

TEST_F(NavigationBand, CountsAddTheKindsARowStandsFor) {
  Show();
  CZK470Doc& doc = Doc();
  doc.GetEventList().Append(TEvent(Samples(8000), Samples(8100), 13));
  doc.GetEventList().Append(TEvent(Samples(8200), Samples(8300), 31));
  doc.GetEventList().Append(TEvent(Samples(8400), Samples(8500), 32));
  struct Case {
    int code;
    int want;
  };
  const Case cases[] = {{13, 2}, {24, 2}, {4, 2}, {15, 3}, {9, 1}, {6, 1}, {21, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(CountOfCode(doc, c.code), c.want);
  }
  // While an analysis runs the boxes stay empty and the tick rows show their background only.
  doc.SetAnalysisRunning(1);
  gfx::RecordingCanvas canvas;
  AreaOf<CCountLegendArea>(6).Draw(canvas, {0, 0, 1000, 1000});
  AreaOf<CEventTickArea>(5).Items()[0]->Draw(canvas);
  EXPECT_TRUE(Texts(canvas.Lines()).empty());
  EXPECT_TRUE(Segments(canvas.Lines()).empty());
}

TEST_F(NavigationBand, TickRowsDrawOneTickPerColumnAndEventBars) {
  Show();
  CZK470Doc& doc = Doc();
  // A row 182 pixels wide: 180 columns over 10 800 seconds, one column per minute.
  const auto draw = [&](int code) {
    CEventTickItem item(&doc, code, kLegendWhite);
    item.SetRect({0, 0, 182, 12});
    gfx::RecordingCanvas canvas;
    item.Draw(canvas);
    return canvas.Lines();
  };
  // VES at 600 s and 601 s share column 10; 3000 s is column 50.
  EXPECT_EQ(Segments(draw(15)), (std::vector<std::string>{"11,4-11,8", "51,4-51,8"}));
  // A pause from 1200 s to 1500 s: its tick at column 20 and a 3-line bar to column 25.
  EXPECT_EQ(Segments(draw(6)),
            (std::vector<std::string>{"21,4-21,8", "21,5-26,5", "21,6-26,6", "21,7-26,7"}));
  // SV trigeminy counts in the SV bigeminy row, atrial fibrillation in the arrhythmia row.
  EXPECT_EQ(Segments(draw(13)).size(), 4u);
  EXPECT_EQ(Segments(draw(24)).size(), 4u);
  // The bradycardia row marks the stored heart-rate minimum (3600 s, column 60) with two triangles.
  const std::vector<std::string> brady = draw(7);
  EXPECT_EQ(Count(brady, "Polygon 58,1 64,1 61,4"), 1u);
  EXPECT_EQ(Count(brady, "Polygon 58,10 64,10 61,7"), 1u);

  // An empty span and a row without columns place nothing, whatever the lists hold.
  doc.SetSpanEndMs(doc.GetSpanStartMs() + 999);
  EXPECT_TRUE(Segments(draw(15)).empty());
  EXPECT_EQ(Count(draw(7), "Polygon"), 0u);
  doc.SetSpanEndMs(180 * 60000);
  CEventTickItem narrow(&doc, 15, kLegendWhite);
  narrow.SetRect({0, 0, 1, 12});
  gfx::RecordingCanvas canvas;
  narrow.Draw(canvas);
  EXPECT_TRUE(Segments(canvas.Lines()).empty());
}

TEST_F(NavigationBand, ClickingANameTogglesItsKindAndTheKindsItStandsFor) {
  Show();
  auto& legend = AreaOf<CEventLegendArea>(4);
  const auto row_centre = [&](int code) {
    for (const auto& item : legend.Items())
      if (item->GetCode() == code)
        return gfx::Point{(item->GetRect().left + item->GetRect().right) / 2,
                          (item->GetRect().top + item->GetRect().bottom) / 2};
    return gfx::Point{};
  };
  struct Case {
    int code;
    std::vector<int> also;
  };
  const Case cases[] = {{13, {14}}, {24, {30, 31}}, {4, {32, 34}}, {15, {}}};
  auto& flags = Doc().GetNavigationFlags();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    flags.fill(0);
    Mouse(win::kWmLButtonDown, row_centre(c.code));
    Mouse(win::kWmLButtonUp, row_centre(c.code));
    int selected = 0;
    for (const int32_t f : flags) selected += f;
    EXPECT_EQ(flags[c.code], 1);
    for (const int kind : c.also) EXPECT_EQ(flags[kind], 1) << kind;
    EXPECT_EQ(selected, 1 + static_cast<int>(c.also.size()));
    Mouse(win::kWmLButtonDown, row_centre(c.code));
    Mouse(win::kWmLButtonUp, row_centre(c.code));
    for (const int32_t f : flags) EXPECT_EQ(f, 0);
  }
  // Pressed in the legend, released over the tick strip: nothing changes.
  Mouse(win::kWmLButtonDown, row_centre(15));
  Mouse(win::kWmLButtonUp, {harness_->RectOf(5).left + 20, row_centre(15).y});
  EXPECT_EQ(flags[15], 0);
  EXPECT_EQ(win::Windows().GetCapture(), nullptr);
}

TEST_F(NavigationBand, EnableAndCheckRulesFollowTheStoredPositions) {
  Show();
  CZK470Doc& doc = Doc();
  // 1001 samples are 8007.999... ms, which the document truncates to 8007.
  doc.SetHRMin(45, 1001, 0, 0);
  doc.SetRRMax(2000, -1, -1, 0);
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 2});
  doc.GetRecordingData().deepest_st_position = {Samples(60), Samples(90)};
  doc.GetRecordingData().st_channel_analysed = {1, 0};

  struct Case {
    const char* name;
    int id;
    int32_t position_ms;
    int valid;
    bool enabled;
    int check;
  };
  const Case cases[] = {
      {"extreme at the position", cmd::kGoToHRMin, 8007, 1, true, 1},
      {"position equal before truncation only", cmd::kGoToHRMin, 8008, 1, true, 0},
      {"stale extremes: enabled, unchecked", cmd::kGoToHRMin, 8007, 0, true, 0},
      {"no stored position", cmd::kGoToRRMax, 8007, 1, false, 0},
      {"ST channel 1 at its position", cmd::kGoToST1, 60000, 1, true, 1},
      {"ST channel 1 elsewhere", cmd::kGoToST1, 0, 1, true, 0},
      {"not an ST channel", cmd::kGoToST2, 90000, 1, false, 0},
      {"ST channel 3: position index without flag", cmd::kGoToST3, 90000, 1, false, 0},
      {"kinds with a recording", cmd::kSelectOccurringKinds, 0, 1, true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.SetCurrentPosition(c.position_ms, 0);
    doc.SetExtremesValid(c.valid);
    const win::CmdUI ui = Update(c.id);
    ASSERT_TRUE(ui.Enabled().has_value());
    EXPECT_EQ(*ui.Enabled(), c.enabled);
    if (c.check >= 0) EXPECT_EQ(ui.Check().value_or(-1), c.check);
  }
  doc.SetDisplayMode(DisplayMode::kNone);
  EXPECT_FALSE(Update(cmd::kClearKindSelection).Enabled().value_or(true));
}

TEST_F(NavigationBand, GoToCommandsMoveThePositionAndTheLine) {
  Show();
  CZK470Doc& doc = Doc();
  HintSpy spy(doc);
  doc.SetCurrentPosition(0, 0);
  ASSERT_TRUE(win::ExecuteCommand(Window(1), cmd::kGoToHRMax));
  EXPECT_EQ(doc.GetCurrentPosition(), 7200 * 1000);
  EXPECT_EQ(spy.hints, (std::vector<int>{hint::kSpanMoved, hint::kNavigationRebuild, hint::kEditsChanged}));
  // The line's column: 7200 s of 10 800 s over the strip's width less one.
  const CEventTickArea& ticks = AreaOf<CEventTickArea>(5);
  const int w = ticks.GetCaliperRect().Width();
  EXPECT_EQ(doc.GetViewFields().event_tick_column, 7200 * (w - 1) / 10800);
  EXPECT_EQ(Update(cmd::kGoToHRMax).Check().value_or(0), 1);

  // The shortest RR interval also tells the legends that a stored position was shown.
  spy.hints.clear();
  doc.SetRRMin(300, Samples(100), 0, 0);
  ASSERT_TRUE(win::ExecuteCommand(Window(1), cmd::kGoToRRMin));
  EXPECT_EQ(spy.hints, (std::vector<int>{hint::kSpanMoved, hint::kNavigationRebuild, hint::kExtremeShown,
                                         hint::kEditsChanged}));

  // The mark: 32859 stores the position, 32860 returns to it.
  ASSERT_TRUE(win::ExecuteCommand(Window(1), cmd::kSetMark));
  EXPECT_EQ(doc.GetViewFields().position_mark, 100 * 1000);
  doc.SetCurrentPosition(5000, 0);
  spy.hints.clear();
  ASSERT_TRUE(win::ExecuteCommand(Window(1), cmd::kReturnToMark));
  EXPECT_EQ(doc.GetCurrentPosition(), 100 * 1000);
  EXPECT_EQ(spy.hints, (std::vector<int>{hint::kPositionMoved, hint::kEditsChanged}));
}

TEST_F(NavigationBand, DraggingThePositionLineMovesThePositionInsideTheStripOnly) {
  Show();
  CZK470Doc& doc = Doc();
  HintSpy spy(doc);
  const gfx::Rect strip = harness_->RectOf(5);
  const int w = strip.Width();
  const int64_t step = int64_t{180 * 60000} / (w - 1);
  doc.SetCurrentPosition(1234, 0);
  Mouse(win::kWmLButtonDown, {strip.left + 100, strip.top + 20});
  EXPECT_EQ(doc.GetCurrentPosition(), step * 100);
  EXPECT_TRUE(AreaOf<CEventTickArea>(5).IsDragging());
  // Beyond either edge the position stays where the drag left it.
  Mouse(win::kWmMouseMove, {strip.left - 5, strip.top + 20}, win::kMkLButton);
  EXPECT_EQ(doc.GetCurrentPosition(), step * 100);
  Mouse(win::kWmMouseMove, {strip.right + 3, strip.top + 20}, win::kMkLButton);
  EXPECT_EQ(doc.GetCurrentPosition(), step * 100);
  Mouse(win::kWmMouseMove, {strip.left + 200, strip.top + 20}, win::kMkLButton);
  EXPECT_EQ(doc.GetCurrentPosition(), step * 200);
  Mouse(win::kWmLButtonUp, {strip.left + 200, strip.top + 20});
  EXPECT_FALSE(AreaOf<CEventTickArea>(5).IsDragging());
  EXPECT_EQ(win::Windows().GetCapture(), nullptr);
  const std::vector<int> want = {hint::kMouse1026, hint::kMouse1027,     hint::kMouse1027,
                                 hint::kMouse1027, hint::kPositionMoved, hint::kEditsChanged,
                                 hint::kMouse1028};
  EXPECT_EQ(spy.hints, want);
}

TEST_F(NavigationBand, KindListOfTheSampleScreenOwnsTheSelectionWhileItExists) {
  // Layout 12: rows 3, 4 and 5 are the event legend with its list, the tick strip and the counts.
  Show(12, false);
  CZK470Doc& doc = Doc();
  auto& root = dynamic_cast<CViewConfiguration&>(*harness_->Node(0));
  CViewConfigSelector& selector = *root.GetView()->GetSelector();
  auto& flags = doc.GetNavigationFlags();
  // The screen is made afresh with the user's own selection {Marker} and a remembered kind.
  const auto reopen = [&](int remembered) {
    root.DestroyAreas();
    flags.fill(0);
    flags[3] = 1;
    doc.GetSettings().SetInt(SettingKey::kECGSamplesLast, remembered);
    selector.Rebuild();
    win::Windows().RunPending();
    return AreaOf<CEventLegendArea>(3).GetList();
  };
  const auto selected = [&] {
    std::vector<int> kinds;
    for (int k = 0; k < kClassCount; ++k)
      if (flags[k] != 0) kinds.push_back(k);
    return kinds;
  };

  struct Case {
    const char* name;
    int remembered;
    int index;
    std::vector<int> kinds;
  };
  const Case cases[] = {
      {"remembered kind", 15, 10, {15}},
      {"a kind not in the list starts on Pause", 21, 0, {6}},
      {"arrhythmia with its two forms", 24, 3, {24, 30, 31}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::ComboBox* list = reopen(c.remembered);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurSel(), c.index);
    EXPECT_EQ(selected(), c.kinds);
    int asked = -1;
    EXPECT_TRUE(
        root.BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0, reinterpret_cast<win::LParam>(&asked)));
    EXPECT_EQ(asked, c.kinds.front());
    // The first layout tells the one-row columns the kind.
    EXPECT_EQ(AreaOf<CEventTickArea>(4).Items().front()->GetCode(), c.kinds.front());
    EXPECT_EQ(AreaOf<CCountLegendArea>(5).Items().front()->GetCode(), c.kinds.front());
  }

  // Choosing SV bigeminy selects that kind only (not SV trigeminy).
  HintSpy spy(doc);
  AreaOf<CEventLegendArea>(3).GetList()->SelectFromUser(8);
  EXPECT_EQ(spy.hints, (std::vector<int>{hint::kArea20000, hint::kDocumentChanged}));
  EXPECT_EQ(selected(), (std::vector<int>{13}));

  // When the screen goes, the user's selection returns and the choice is remembered.
  root.DestroyAreas();
  EXPECT_EQ(selected(), (std::vector<int>{3}));
  EXPECT_EQ(doc.GetSettings().Int(SettingKey::kECGSamplesLast), 13);
}

TEST_F(NavigationBand, KindQueryOutsideTheListScreenKeepsTheAskersValue) {
  Show();
  int asked = 42;
  EXPECT_FALSE(harness_->Node(0)->BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0,
                                                        reinterpret_cast<win::LParam>(&asked)));
  EXPECT_EQ(asked, 42);
}

}  // namespace
