#include "core/beat_edit_sink.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "platform/worker.h"
#include "views/area_messages.h"
#include "views/ecg_strip_edit_window.h"
#include "views/hit_record.h"
#include "views/layout_test_nodes.h"
#include "views/view_test_fixture.h"
#include "win/command_target.h"
#include "win/window.h"

namespace {

using W = CECGStripWnd;

// A strip that answers the cursor and the hit tests: beat i has its label at x 40 + 80 i (+-12),
// the event markers are listed by the test.
class FakeStripNode : public CViewAreaConfig {
 public:
  struct Marker {
    int left;
    int right;
    int index;
    int position;
  };
  FakeStripNode() : CViewAreaConfig(CPosition{}, {0, 0}, {1000, 1000}, true) {}
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

  int cursor_x = 0;
  std::vector<Marker> beats;
  std::vector<Marker> events;
};

class FakeStripArea : public CViewArea {
 public:
  FakeStripArea(FakeStripNode* node, CZK470Doc* doc) : CViewArea(node, doc), node_(node) {}
  int OnMessage(uint32_t msg, win::WParam, win::LParam lparam) override {
    switch (msg) {
      case areamsg::kStripCursorX:
        *reinterpret_cast<int*>(lparam) = node_->cursor_x;
        return 1;
      case areamsg::kBeatAtPoint:
      case areamsg::kEventAtPoint: {
        auto& hit = *reinterpret_cast<CHitRecord*>(lparam);
        const auto& markers = msg == areamsg::kBeatAtPoint ? node_->beats : node_->events;
        for (const auto& m : markers) {
          if (hit.x < m.left || hit.x >= m.right) continue;
          hit.kind = CHitRecord::kBeat;
          hit.index = m.index;
          hit.position = m.position;
          return 1;
        }
        hit.kind = CHitRecord::kFreePosition;
        hit.position = 99999;
        return 1;
      }
      default:
        return 0;
    }
  }

 private:
  FakeStripNode* node_;
};

std::unique_ptr<CViewArea> FakeStripNode::CreateArea(CZK470Doc* doc) {
  return std::make_unique<FakeStripArea>(this, doc);
}

class CountsLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    hints.push_back(hint);
    if (auto* counts = dynamic_cast<TCountsHint*>(object)) marks = counts->marks;
  }
  std::vector<int> hints;
  TCountsHint::Table marks{};
};

class RoutingView : public viewstest::TestView {
 public:
  using TestView::TestView;
  bool OnCmdMsg(win::CommandMessage& message) override {
    if (win::OfferToChildren(*this, message)) return true;
    return TestView::OnCmdMsg(message);
  }
};

// The program's sink under a real strip edit window: each command travels from the window
// through the sink into the editor and back to the document's views.
class BeatEditSinkTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    for (int i = 0; i < 10; ++i) {
      doc_->GetQRSList().Append(TQRSComplex(1000 + 500 * i, kClassNormal));
      strip_beats_.push_back({28 + 80 * i, 52 + 80 * i, i, 1000 + 500 * i});
    }
    doc_->AddView(&counts_);
    SetBeatEditSink(&sink_);
    auto layout = std::make_unique<viewstest::TestLayout>(&events_);
    auto window_node = std::make_unique<CECGStripWindowConfig>(CPosition{}, gfx::Size{300, 100},
                                                               gfx::Size{1000, 1000}, false);
    auto strip = std::make_unique<FakeStripNode>();
    strip_ = strip.get();
    strip_->beats = strip_beats_;
    window_node->AddChild(std::move(strip));
    CWindowAreaConfig* window_config = window_node.get();
    layout->AddChild(std::move(window_node));
    list_.Add(std::move(layout));
    view_ = std::make_unique<RoutingView>(doc_.get(), &list_, &events_);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 300}, win::kWsVisible));
    win::Windows().RunPending();
    window_ = dynamic_cast<W*>(dynamic_cast<CWindowArea*>(window_config->GetArea())->GetHostedWindow());
    ASSERT_NE(window_, nullptr);
    counts_.hints.clear();
  }
  void TearDown() override {
    doc_->RemoveView(&counts_);
    view_.reset();
    SetBeatEditSink(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    doc_.reset();
    platform::ResetProcessState();
  }
  void Execute(int id) { ASSERT_TRUE(win::ExecuteCommand(*window_, id)) << id; }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  viewstest::EventLog events_;
  CViewConfigurations list_;
  std::unique_ptr<RoutingView> view_;
  std::vector<FakeStripNode::Marker> strip_beats_;
  FakeStripNode* strip_ = nullptr;
  W* window_ = nullptr;
  CountsLog counts_;
  CAnalysisBeatEditSink sink_;
};

TEST_F(BeatEditSinkTest, VESCommandAtABeatRelabelsIt) {
  strip_->cursor_x = 40 + 80 * 4;
  Execute(W::kCmdVES);
  EXPECT_EQ(doc_->GetQRSList().GetAt(4).GetClass(), kClassVES);
  EXPECT_EQ(doc_->GetQRSList().GetAt(4).GetPriorClass(), kClassNormal);
  EXPECT_EQ(doc_->GetQRSList().GetCounter(kClassVES), 1);
  ASSERT_FALSE(counts_.hints.empty());
  EXPECT_EQ(counts_.hints.front(), hint::kCountsChanged);
  EXPECT_EQ(counts_.marks[kClassVES], 1);
  EXPECT_TRUE(doc_->IsModified());
}

// Off a beat the event under the cursor goes, found through the window's own strip; with no
// marker there nothing goes.
TEST_F(BeatEditSinkTest, DeleteEventFindsTheEventThroughTheWindow) {
  doc_->GetEventList().Append(TEvent(1100, 1200, kClassUser));
  doc_->GetEventList().Append(TEvent(3100, 3200, kClassUser));
  strip_->events = {{400, 420, 1, 3100}};
  strip_->cursor_x = 300;  // no beat, no marker
  Execute(W::kCmdDeleteEvent);
  EXPECT_EQ(doc_->GetEventList().GetSize(), 2);
  strip_->cursor_x = 410;
  Execute(W::kCmdDeleteEvent);
  ASSERT_EQ(doc_->GetEventList().GetSize(), 1);
  EXPECT_EQ(doc_->GetEventList().GetAt(0).GetPosition(), 1100);
}

}  // namespace
