#include "layouts/strip_header_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/editing_factories.h"
#include "layouts/layout_harness.h"
#include "layouts/layout_table.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "views/ecg_strip_edit_window.h"
#include "views/view_test_fixture.h"
#include "win/messages.h"

namespace {

using Lines = std::vector<std::string>;

class HintRecorder : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

bool Contains(const Lines& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// The main strip window of a 1000 x 300 view with its header (90 pixels wide) as the layout
// tables place it, over a document without a recording that started at 22:30.
class StripHeaderTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    AddEditingResources(platform::Resources().ExePack());
    SetStripHeaderLocale(&locale_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetRecordingData().start_time.days = 22.5 / 24.0;
    doc_->AddView(&hints_);

    auto layout = std::make_unique<viewstest::TestLayout>(&events_);
    auto window_node = std::make_unique<CECGStripWindowConfig>(CPosition{}, gfx::Size{300, 100},
                                                               gfx::Size{1000, 1000}, false);
    auto header =
        std::make_unique<CStripHeaderAreaConfig>(CPosition{}, gfx::Size{90, 100}, gfx::Size{0, 1000}, true);
    header_node_ = header.get();
    window_node->AddChild(std::move(header));
    window_node_ = window_node.get();
    layout->AddChild(std::move(window_node));
    list_.Add(std::move(layout));
    view_ = std::make_unique<viewstest::TestView>(doc_.get(), &list_, &events_);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 300}, win::kWsVisible));
    win::Windows().RunPending();
    window_ =
        dynamic_cast<CECGStripWnd*>(dynamic_cast<CWindowArea*>(window_node_->GetArea())->GetHostedWindow());
    header_ = dynamic_cast<CStripHeaderArea*>(header_node_->GetArea());
    ASSERT_NE(window_, nullptr);
    ASSERT_NE(header_, nullptr);
    hints_.hints.clear();
  }

  void TearDown() override {
    doc_->RemoveView(&hints_);
    view_.reset();
    SetStripHeaderLocale(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    platform::ResetProcessState();
  }

  Lines Drawn() {
    gfx::RecordingCanvas canvas;
    header_->Draw(canvas, header_->StoredRect());
    return canvas.Lines();
  }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  HintRecorder hints_;
  viewstest::EventLog events_;
  CViewConfigurations list_;
  CECGStripWindowConfig* window_node_ = nullptr;
  CStripHeaderAreaConfig* header_node_ = nullptr;
  std::unique_ptr<viewstest::TestView> view_;
  CECGStripWnd* window_ = nullptr;
  CStripHeaderArea* header_ = nullptr;
};

TEST_F(StripHeaderTest, ShowsTheTimeOfDayAndTheHeartRateAtTheStripStart) {
  struct Case {
    const char* name;
    int strip_start_ms;
    int heart_rate;
    const char* want_time;
    const char* want_rate;
  };
  constexpr Case kCases[] = {
      {"two hours in, past midnight", 2 * 3600 * 1000, 72, "00:30:00", "72 /min"},
      {"at the start", 0, -1, "22:30:00", "-- /min"},
      {"milliseconds are dropped", 59'999, 60, "22:30:59", "60 /min"},
      {"before the recording", -30'000, 60, "22:29:30", "60 /min"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->SetStripStartMs(c.strip_start_ms);
    window_->SetHeartRate(c.heart_rate);
    EXPECT_EQ(header_->TimeText(), c.want_time);
    EXPECT_EQ(header_->HeartRateText(), c.want_rate);
    const Lines lines = Drawn();
    EXPECT_TRUE(Contains(lines, std::string("\"") + c.want_time + "\"")) << testing::PrintToString(lines);
    EXPECT_TRUE(Contains(lines, std::string("\"") + c.want_rate + "\""));
  }
}

TEST_F(StripHeaderTest, STValuesCarryTheirSignPlace) {
  EXPECT_EQ(CStripHeaderArea::STText(0, 0.5), "ST 1 :  0.5");
  EXPECT_EQ(CStripHeaderArea::STText(0, -0.5), "ST 1 : -0.5");
  EXPECT_EQ(CStripHeaderArea::STText(2, 0.0), "ST 3 :  0.0");
  EXPECT_EQ(CStripHeaderArea::STText(1, 1.25), "ST 2 :  1.3");
}

TEST_F(StripHeaderTest, STLinesSitAroundTheMiddleOnTheSTScreen) {
  // The header is 270 pixels high (300 less the frame and the toolbar): its middle is 135.
  ASSERT_EQ(header_->StoredRect().Height(), 270);
  struct Case {
    const char* name;
    int recording_channels;
    std::vector<int32_t> st_channels;
    std::vector<int> analysed;
    Lines want;
  };
  const Case kCases[] = {
      {"two channels: 20 pixels above and below",
       2,
       {0, 1},
       {1, 1},
       {"DrawText 0,115,90,135 0x26 \"ST 1 :  0.5\"", "DrawText 0,135,90,155 0x26 \"ST 2 : -0.5\""}},
      {"three channels: 50 pixels",
       3,
       {0, 2},
       {1, 1},
       {"DrawText 0,85,90,135 0x26 \"ST 1 :  0.5\"", "DrawText 0,135,90,185 0x26 \"ST 3 : -0.5\""}},
      {"channel 1 alone takes the upper place",
       3,
       {1, 2},
       {1, 1},
       {"DrawText 0,85,90,135 0x26 \"ST 2 :  0.5\"", "DrawText 0,135,90,185 0x26 \"ST 3 : -0.5\""}},
      {"an ST channel without its flag has no line",
       2,
       {0, 1},
       {0, 1},
       {"DrawText 0,135,90,155 0x26 \"ST 2 : -0.5\""}},
  };
  TRecordingData& record = doc_->GetRecordingData();
  record.st_interval = 15;
  // At one third of the strip (0..90 s): 30 s, the third segment.
  doc_->SetStripStartMs(0);
  doc_->SetStripEndMs(90'000);
  for (const double v : {9.0, 9.0, 0.5}) record.st_levels[0].Add(v);
  for (const double v : {9.0, 9.0, -0.5, 9.0}) record.st_levels[1].Add(v);
  doc_->SetDisplayMode(DisplayMode::kStTrend);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    document::Context().g_RecordingChannels.count = c.recording_channels;
    document::Context().g_STChannels.Assign(c.st_channels);
    record.st_channel_analysed = {c.analysed[0], c.analysed[1]};
    Lines st;
    for (const std::string& line : Drawn())
      if (line.find("\"ST ") != std::string::npos) st.push_back(line.substr(0, line.find(" at ")));
    EXPECT_EQ(st, c.want);
  }
  // Elsewhere than on the ST screen, and without a segment length, there are none.
  doc_->SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_FALSE(Contains(Drawn(), "\"ST "));
  doc_->SetDisplayMode(DisplayMode::kStTrend);
  record.st_interval = 0;
  EXPECT_FALSE(Contains(Drawn(), "\"ST "));
}

TEST_F(StripHeaderTest, TheFirstBoxInvertsRRModeAndRedrawsEveryView) {
  SettingsStore& settings = doc_->GetSettings();
  ASSERT_EQ(settings.Int(SettingKey::kResRRMode), 1);
  ASSERT_EQ(header_->RRModeBox()->GetCheck(), win::kBstChecked);
  header_->RRModeBox()->Click();
  EXPECT_EQ(settings.Int(SettingKey::kResRRMode), 0);
  EXPECT_EQ(settings.Int(SettingKey::kResRRModeMin), 1);
  EXPECT_EQ(header_->RRModeBox()->GetCheck(), win::kBstUnchecked);
  EXPECT_EQ(hints_.hints, std::vector<int>{hint::kPositionMoved});
  header_->RRModeBox()->Click();
  EXPECT_EQ(settings.Int(SettingKey::kResRRMode), 1);

  header_->RRModeMinBox()->Click();
  EXPECT_EQ(settings.Int(SettingKey::kResRRModeMin), 0);
  EXPECT_EQ(header_->RRModeMinBox()->GetCheck(), win::kBstUnchecked);
}

TEST_F(StripHeaderTest, CaliperBoxFollowsTheCaliperSwitch) {
  ASSERT_EQ(header_->CaliperBox()->GetCheck(), win::kBstUnchecked);
  // The box announces the state the strip area is about to switch to.
  header_->CaliperBox()->Click();
  EXPECT_EQ(header_->CaliperBox()->GetCheck(), win::kBstChecked);
  // A rebuild takes the document's flag again.
  doc_->UpdateAllViews(nullptr, hint::kDocumentChanged);
  EXPECT_EQ(header_->CaliperBox()->GetCheck(), win::kBstUnchecked);
  doc_->GetViewFields().caliper = 1;
  doc_->UpdateAllViews(nullptr, hint::kSpanMoved);
  EXPECT_EQ(header_->CaliperBox()->GetCheck(), win::kBstChecked);
}

TEST_F(StripHeaderTest, BoxesHideDuringLayoutAndShowAtTheFootAfterPainting) {
  const struct {
    win::DrawnCheckBox* box;
    gfx::Rect want;
  } kBoxes[] = {
      {header_->CaliperBox(), {4, 225, 86, 240}},
      {header_->RRModeBox(), {4, 240, 86, 255}},
      {header_->RRModeMinBox(), {4, 255, 86, 270}},
  };
  for (const auto& b : kBoxes) {
    EXPECT_EQ(b.box->GetWindowRectInParent(), b.want);
    EXPECT_TRUE(b.box->IsWindowVisible());
  }
  view_->MoveWindow({0, 0, 1000, 400});
  for (const auto& b : kBoxes) EXPECT_FALSE(b.box->IsWindowVisible());
  win::Windows().RunPending();
  for (const auto& b : kBoxes) {
    EXPECT_TRUE(b.box->IsWindowVisible());
    EXPECT_EQ(b.box->GetWindowRectInParent(), b.want.Offset(0, 100));
  }
}

TEST_F(StripHeaderTest, RegisteredForTheLayoutTables) {
  RegisterEditingFactories();
  for (const char* name : {"CECGStripWindowConfig", "CStripHeaderAreaConfig", "CSampleHeaderAreaConfig"}) {
    SCOPED_TRACE(name);
    layouts::LayoutRow row{1, 0, name, layouts::P(0), layouts::P(0), 90, 100, 0, 1000, 1};
    const std::unique_ptr<CViewAreaConfig> node = layouts::CreateNode(row);
    EXPECT_EQ(node->GetClassName(), name);
    EXPECT_EQ(node->GetMinSize(), (gfx::Size{90, 100}));
  }
  // In the navigation screen the strip window carries its toolbar and the header its boxes.
  const layouttest::LayoutHarness screen(0, 1000, 700);
  auto* window_node = dynamic_cast<CECGStripWindowConfig*>(screen.Node(11));
  ASSERT_NE(window_node, nullptr);
  ASSERT_NE(window_node->GetToolBar(), nullptr);
  EXPECT_EQ(window_node->GetToolBar()->GetDlgCtrlID(), CECGStripWnd::kToolBarId);
  auto* header = dynamic_cast<CStripHeaderArea*>(screen.Node(12)->GetArea());
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->StoredRect().Width(), 90);
  ASSERT_NE(header->RRModeMinBox(), nullptr);
  EXPECT_EQ(header->RRModeMinBox()->GetWindowRectInParent().bottom, header->StoredRect().bottom);
}

}  // namespace
