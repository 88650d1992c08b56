// Display lists of the recording's screens as the program builds them: the built-in layouts with
// every registered class, over a synthetic recording, in a headless 1000 x 700 view.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_strings.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/count_legend_area.h"
#include "layouts/default_layouts.h"
#include "layouts/editing_factories.h"
#include "layouts/event_legend_area.h"
#include "layouts/event_tick_area.h"
#include "layouts/layout_harness.h"
#include "layouts/screen_factories.h"
#include "layouts/strip_header_area.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "support/screen_golden.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/caption_areas.h"
#include "views/ecg_page_window.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_edit_window.h"
#include "views/full_disclosure_area.h"
#include "views/online_ecg_area.h"
#include "views/strip_recording.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace {

using Lines = std::vector<std::string>;

// Shows one layout of the default list from its creation on.
class LayoutView : public CBaseView {
 public:
  LayoutView(CZK470Doc* doc, int index) : CBaseView(doc), index_(index) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(index_); }

 private:
  int index_ = 0;
};

// The first node of the tree (depth first) whose class the tables name so.
CViewAreaConfig* FindNode(CViewAreaConfig* node, std::string_view class_name) {
  if (node == nullptr) return nullptr;
  if (node->GetClassName() == class_name) return node;
  for (int i = 0; i < node->GetChildCount(); ++i) {
    if (CViewAreaConfig* found = FindNode(node->GetChild(i), class_name)) return found;
  }
  return nullptr;
}

template <typename T>
std::vector<T*> AreasOf(CViewAreaConfig* node) {
  std::vector<T*> found;
  if (node == nullptr) return found;
  if (auto* area = dynamic_cast<T*>(node->GetArea())) found.push_back(area);
  for (int i = 0; i < node->GetChildCount(); ++i) {
    for (T* area : AreasOf<T>(node->GetChild(i))) found.push_back(area);
  }
  return found;
}

// What was drawn on the window outside painting since its last paint, each canvas headed,
// from the canvas numbered `first` on.
Lines ClientDrawing(const win::Window& window, size_t first = 0) {
  Lines lines;
  const win::WindowSystem::Record* record = win::Windows().RecordOf(window);
  if (record == nullptr) return lines;
  for (size_t n = first; n < record->client.size(); ++n) {
    lines.push_back("-- client dc " + std::to_string(n));
    for (std::string& line : record->client[n]->Lines()) lines.push_back(std::move(line));
  }
  return lines;
}

size_t ClientCanvases(const win::Window& window) {
  const win::WindowSystem::Record* record = win::Windows().RecordOf(window);
  return record != nullptr ? record->client.size() : 0;
}

size_t Count(const Lines& lines, std::string_view prefix) {
  size_t n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

bool HasText(const Lines& lines, std::string_view text) {
  for (const std::string& line : lines) {
    if (line.rfind("DrawText ", 0) == 0 && line.find(text) != std::string::npos) return true;
  }
  return false;
}

// The units the program's resources give the scale markers.
constexpr platform::StringEntry kUnitStrings[] = {{16003, " s"}, {16004, " mV"}};

// A synthetic recording (seeded generator, manual clock) in a headless view of one built-in layout
// with every class of the program registered.
class ScreenGoldens : public testing::Test {
 protected:
  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    win::Windows().SetClock(&clock_);
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    platform::Resources().ExePack().AddStrings(SampleWindowStrings());
    platform::Resources().ExePack().AddStrings(kUnitStrings);
    AddEditingResources(platform::Resources().ExePack());
    SetTimeAxisLocale(&locale_);
    SetStripHeaderLocale(&locale_);
    CECGPageServices services;
    services.locale = &locale_;
    SetECGPageServices(services);
    RegisterScreenFactories();
  }

  void TearDown() override {
    if (view_) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
    recording_.reset();
    SetECGPageServices({});
    SetStripHeaderLocale(nullptr);
    SetTimeAxisLocale(nullptr);
    win::Windows().SetClock(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  // fresh: a new recording of that length; else the one the test made and prepared.
  void Show(int layout, DisplayMode mode, int16_t sub_mode, int minutes = 2, int channels = 2,
            bool fresh = true) {
    if (fresh) recording_ = std::make_unique<viewstest::StripRecording>(minutes, channels);
    Doc().SetDisplayMode(mode);
    Doc().SetDisplaySubMode(sub_mode);
    Doc().SetSpanEndMs(Doc().GetTimeRangeEnd());
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<LayoutView>(&Doc(), layout);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 700}, win::kWsVisible));
    win::Windows().RunPending();
  }

  CZK470Doc& Doc() { return recording_->Doc(); }
  CViewAreaConfig* Root() { return view_->GetSelector()->GetCurrent(); }
  CWindowArea* WindowAreaOf(std::string_view class_name) {
    return dynamic_cast<CWindowArea*>(FindNode(Root(), class_name)->GetArea());
  }
  // Paints the window node's frame (toolbars and hosted window) now and lists what it drew.
  Lines Screen(CWindowArea& area) {
    win::Window& frame = *area.GetFrame();
    frame.RedrawWindow();
    win::Windows().RunPending();
    return testsupport::RecordedScreen(frame);
  }

  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<viewstest::StripRecording> recording_;
  std::unique_ptr<LayoutView> view_;
};

TEST_F(ScreenGoldens, BeatEditingStripWindowUnderTheNavigation) {
  ASSERT_NO_FATAL_FAILURE(Show(0, DisplayMode::kNavigation, 1));
  CWindowArea* area = WindowAreaOf("CECGStripWindowConfig");
  ASSERT_NE(area, nullptr);
  ASSERT_NE(dynamic_cast<CECGStripWnd*>(area->GetHostedWindow()), nullptr);
  const Lines lines = Screen(*area);
  // Both traces, the labels of a ventricular beat among normal ones, the header and the toolbar.
  EXPECT_GT(Count(lines, "PolylineTo "), 50u);
  EXPECT_TRUE(HasText(lines, "\"N\""));
  EXPECT_TRUE(HasText(lines, "\"V\""));
  EXPECT_TRUE(HasText(lines, "\"08:00:00\""));
  EXPECT_EQ(Count(lines, "== ToolbarWindow32 id 1025"), 1u);
  testsupport::ExpectScreenGolden("layouts", "ecg_strip_edit_window", lines);
}

TEST_F(ScreenGoldens, ECGPageWithFullDisclosure) {
  ASSERT_NO_FATAL_FAILURE(Show(11, DisplayMode::kEcgPage, 0, 30));
  CWindowArea* area = WindowAreaOf("CECGWindowConfig");
  ASSERT_NE(area, nullptr);
  ASSERT_NE(dynamic_cast<CECGWnd*>(area->GetHostedWindow()), nullptr);
  const Lines lines = Screen(*area);
  // Twelve rows of two channels, each row headed by its clock time.
  EXPECT_GT(Count(lines, "Polyline "), 24u);
  EXPECT_TRUE(HasText(lines, "\"08:00:48\""));
  EXPECT_TRUE(HasText(lines, "\"08:08:50\""));
  testsupport::ExpectScreenGolden("layouts", "ecg_page_window", lines);
}

// Chosen from the navigation screen, the page is laid out before the strip, yet its box spans the
// strip from the first paint on.
TEST_F(ScreenGoldens, FullDisclosureBoxSpansTheStripOnFirstDisplay) {
  struct Case {
    int layout;
    int display_mode;
  };
  for (const Case c : {Case{1, 2}, Case{20, 16}}) {
    SCOPED_TRACE(c.layout);
    ASSERT_NO_FATAL_FAILURE(Show(0, DisplayMode::kNavigation, 1, 30));
    Doc().SetDisplayMode(static_cast<DisplayMode>(c.display_mode));
    view_->GetSelector()->Select(c.layout);
    win::Windows().RunPending();
    const std::vector<CFullDisclosureArea*> pages = AreasOf<CFullDisclosureArea>(Root());
    ASSERT_EQ(pages.size(), 1u);
    double strip_ms = -1.0;
    Root()->BroadcastUntilHandled(areamsg::kStripLengthMs, 0, reinterpret_cast<win::LParam>(&strip_ms));
    ASSERT_GT(strip_ms, 5000.0);
    const CFullDisclosureArea& page = *pages.front();
    const double box_ms = 1.0 * page.BoxWidth() * page.RowLengthMs() / page.StoredRect().Width();
    EXPECT_NEAR(box_ms, strip_ms, 2.0 * page.RowLengthMs() / page.StoredRect().Width());
    view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }
}

// A faster paper shows less time around the same position: the strips start later, and the
// headers of the main strip and of the example strips that follow its scale say so at once.
TEST_F(ScreenGoldens, StripHeadersFollowASpeedChange) {
  recording_ = std::make_unique<viewstest::StripRecording>(10, 2);
  for (auto& slots : Doc().GetRecordingData().example_strips) slots = {120000, 240000, 360000};
  Doc().SetCurrentPosition(300000, 0);
  ASSERT_NO_FATAL_FAILURE(Show(12, DisplayMode::kSampleWindows, 0, 10, 2, false));
  std::vector<CSampleHeaderArea*> headers = AreasOf<CSampleHeaderArea>(Root());
  ASSERT_EQ(headers.size(), 4u);
  std::vector<std::string> before;
  for (CSampleHeaderArea* header : headers) before.push_back(header->TimeText());
  CWindowArea* area = WindowAreaOf("CECGStripWindowConfig");
  ASSERT_NE(area, nullptr);
  ASSERT_TRUE(win::ExecuteCommand(*area->GetHostedWindow(), CECGStripWnd::kCmdFaster));
  win::Windows().RunPending();
  for (size_t i = 0; i < headers.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string shown = headers[i]->TimeText();
    EXPECT_NE(shown, before[i]);
    // What the window shows now, without a repaint forced.
    const Lines painted = testsupport::RecordedScreen(*headers[i]->GetConfig()->GetParentWindow());
    EXPECT_TRUE(HasText(painted, "\"" + shown + "\"")) << shown;
  }
}

// Layout 12's one legend row names the kind of its drop-down list: the tick strip and the count
// box show that kind from the first display on, and follow a new choice in the list.
TEST_F(ScreenGoldens, SampleLayoutTickRowFollowsTheChosenKind) {
  ASSERT_NO_FATAL_FAILURE(Show(12, DisplayMode::kSampleWindows, 0, 10));
  const std::vector<CEventLegendArea*> legends = AreasOf<CEventLegendArea>(Root());
  const std::vector<CEventTickArea*> ticks = AreasOf<CEventTickArea>(Root());
  const std::vector<CCountLegendArea*> counts = AreasOf<CCountLegendArea>(Root());
  ASSERT_EQ(legends.size(), 1u);
  ASSERT_EQ(ticks.size(), 1u);
  ASSERT_EQ(counts.size(), 1u);
  win::ComboBox* list = legends.front()->GetList();
  ASSERT_NE(list, nullptr);
  CWindowArea* navigation = WindowAreaOf("CNavigationWindowConfig");
  ASSERT_NE(navigation, nullptr);
  for (const int choice : {-1, 4, 0}) {
    SCOPED_TRACE(choice);
    if (choice >= 0) {
      list->SelectFromUser(choice);
      win::Windows().RunPending();
    }
    const int kind = static_cast<int>(list->GetItemData(list->GetCurSel()));
    ASSERT_EQ(ticks.front()->Items().size(), 1u);
    EXPECT_EQ(ticks.front()->Items().front()->GetCode(), kind);
    EXPECT_EQ(counts.front()->Items().front()->GetCode(), kind);
    // What the window shows now, without a repaint forced.
    const Lines lines = testsupport::RecordedScreen(*navigation->GetFrame());
    EXPECT_TRUE(HasText(lines, "\"" + std::to_string(CountOfCode(Doc(), kind)) + "\""))
        << testing::PrintToString(lines);
  }
}

// The caliper on the strip: switched on, its cursors drawn at once outside painting, then B
// dragged to the right and the window repainted with both cursors and the checked header box.
TEST_F(ScreenGoldens, StripWithTheCaliperOn) {
  ASSERT_NO_FATAL_FAILURE(Show(0, DisplayMode::kNavigation, 1));
  CWindowArea* area = WindowAreaOf("CECGStripWindowConfig");
  ASSERT_NE(area, nullptr);
  win::Window& strip = *area->GetHostedWindow();
  Screen(*area);
  ASSERT_TRUE(win::ExecuteCommand(strip, CECGStripWnd::kCmdCaliper));
  win::Windows().RunPending();
  ASSERT_EQ(Doc().GetViewFields().caliper, 1);
  Lines lines = ClientDrawing(strip);
  const size_t switched_on = ClientCanvases(strip);
  EXPECT_GT(Count(lines, "SetROP2 xorpen"), 0u) << "the cursors are drawn as soon as the caliper is on";

  // B from wherever it starts to the middle of the strip's right half, the left button held.
  const gfx::Point at = strip.OffsetInTopLevel();
  const gfx::Point from{700, 100};
  const gfx::Point to{800, 100};
  win::Windows().MouseInput(*strip.GetTopLevel(), win::kWmLButtonDown, {at.x + from.x, at.y + from.y},
                            win::kMkLButton);
  win::Windows().MouseInput(*strip.GetTopLevel(), win::kWmMouseMove, {at.x + to.x, at.y + to.y},
                            win::kMkLButton);
  win::Windows().MouseInput(*strip.GetTopLevel(), win::kWmLButtonUp, {at.x + to.x, at.y + to.y}, 0);
  win::Windows().RunPending();
  lines.push_back("-- after dragging");
  for (std::string& line : ClientDrawing(strip, switched_on)) lines.push_back(std::move(line));
  lines.push_back("-- repainted");
  for (std::string& line : Screen(*area)) lines.push_back(std::move(line));
  testsupport::ExpectScreenGolden("layouts", "ecg_strip_caliper", lines);
}

// The online sweep of a two-channel recorder after two seconds fed in batches of a fifth of a
// second: what each batch drew as it came, then the window repainted from the kept columns.
TEST_F(ScreenGoldens, OnlineSweepAfterFedBatches) {
  ASSERT_NO_FATAL_FAILURE(Show(6, DisplayMode::kOnlineEcg, 0));
  CWindowArea* area = WindowAreaOf("CRecorderWindowConfig");
  ASSERT_NE(area, nullptr);
  const std::vector<COnlineECGArea*> sweeps = AreasOf<COnlineECGArea>(Root());
  ASSERT_EQ(sweeps.size(), 2u);
  Screen(*area);

  // A 1.2 mV beat every 0.8 s (the recorder's values grow downwards), a flagged sample once.
  constexpr int kBatch = 25;
  std::vector<int32_t> batch(kBatch);
  for (int sample = 0; sample < 2 * COnlineECGArea::kSampleRate; sample += kBatch) {
    for (int i = 0; i < kBatch; ++i) {
      const int phase = (sample + i) % 100;
      batch[static_cast<size_t>(i)] =
          phase == 50 ? -240 : (phase == 49 || phase == 51 ? -80 : (phase == 53 ? 40 : 0));
    }
    if (sample == 100) batch[10] = static_cast<int32_t>(1u << 30);
    for (COnlineECGArea* sweep : sweeps) sweep->EraseAhead(kBatch);
    for (int channel = 0; channel < 2; ++channel) {
      EXPECT_EQ(sweeps[static_cast<size_t>(channel)]->AddSamples(batch, channel), kBatch);
    }
    win::Windows().RunPending();
  }
  ASSERT_GT(sweeps[0]->GetSweepPos(), 0);
  Lines lines = ClientDrawing(*area->GetHostedWindow());
  EXPECT_GT(Count(lines, "-- client dc"), 10u);
  lines.push_back("-- repainted");
  for (std::string& line : Screen(*area)) lines.push_back(std::move(line));
  testsupport::ExpectScreenGolden("layouts", "online_sweep_fed", lines);
}

}  // namespace
