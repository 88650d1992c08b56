#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "views/ecg_sample_window.h"
#include "views/layout_tree.h"
#include "views/sample_slot_hint.h"
#include "win/window.h"

namespace viewstest {

// A layout root that shows in a test's top-level window instead of a view.
class SampleHostRoot : public CViewConfiguration {
 public:
  explicit SampleHostRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

// Stands in for the event legend: answers the selected-kind query with its kind.
class KindAnswerArea : public CViewArea {
 public:
  KindAnswerArea(CViewAreaConfig* config, const int* kind) : CViewArea(config, nullptr), kind_(kind) {}
  int OnMessage(uint32_t msg, win::WParam, win::LParam lparam) override {
    if (msg != 20002 || *kind_ < 0) return 0;
    *reinterpret_cast<int*>(lparam) = *kind_;
    return 1;
  }

 private:
  const int* kind_;
};

class KindAnswerConfig : public CViewAreaConfig {
 public:
  explicit KindAnswerConfig(const int* kind) : CViewAreaConfig({}, {1, 1}, {0, 0}, false), kind_(kind) {}
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc*) override {
    return std::make_unique<KindAnswerArea>(this, kind_);
  }

 private:
  const int* kind_;
};

// Writes down every hint the document sends, with the slot of a slot hint ("1005 slot 1").
class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    std::string line = std::to_string(hint);
    if (const auto* slot = dynamic_cast<const TSampleSlotHint*>(object))
      line += " slot " + std::to_string(slot->slot);
    lines.push_back(line);
  }
  std::vector<std::string> lines;
};

inline CPosition TopLeft() { return {CXPosition{-1, 0, 0}, CYPosition{-1, 0, 0}}; }
inline CPosition Below(int sibling) { return {CXPosition{-1, 0, 0}, CYPosition{sibling, 1, 0}}; }

// An empty document (125 samples per second, no sample store) at 40 pixels per cm, so that the
// sample windows draw 100 pixels per second; a top-level window stands in for the view, with a
// layout root whose children the test adds; the labels of the rows are loaded.
class SampleWindowFixture : public testing::Test {
 protected:
  static constexpr int kHostWidth = 600;
  static constexpr int kHostHeight = 400;

  void SetUp() override {
    platform::ResetProcessState();
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    platform::Resources().ExePack().AddStrings(SampleWindowStrings());
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetViewFields().screen_scale = 40;
    ASSERT_TRUE(host_.Create(nullptr, {0, 0, kHostWidth, kHostHeight}, win::kWsVisible));
    root_ = std::make_unique<SampleHostRoot>(&host_);
    root_->AddChild(std::make_unique<KindAnswerConfig>(&legend_kind_));
    doc_->AddView(&hints_);
  }

  void TearDown() override {
    doc_->RemoveView(&hints_);
    root_.reset();
    host_.DestroyWindow();
    doc_.reset();
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    platform::ResetProcessState();
  }

  // A sample window node of the given slot below the previous child, 600 x height. Its frame is
  // made at the minimum width and widened by the layout, so that its areas are laid out once
  // attached (a frame that keeps its size gets no size change).
  CECGSampleWindowConfig* AddSampleWindow(int slot, int height = 200) {
    const int index = root_->GetChildCount() - 1;
    auto node = std::make_unique<CECGSampleWindowConfig>(Below(index), gfx::Size{kHostWidth / 2, height},
                                                         gfx::Size{1000, 0}, false, slot);
    CECGSampleWindowConfig* raw = node.get();
    root_->AddChild(std::move(node));
    return raw;
  }

  // A row of the given class inside parent, anchored as the layout tables place the rows: the
  // annotation row at the bottom, the label row at the top, the event row below the label row.
  template <class Config>
  Config* AddRow(CViewAreaConfig* parent, const CPosition& position, gfx::Size size) {
    auto node = std::make_unique<Config>(position, size, gfx::Size{0, 0}, true);
    Config* raw = node.get();
    parent->AddChild(std::move(node));
    return raw;
  }
  static CPosition AtBottom() { return {CXPosition{-1, 0, 0}, CYPosition{-1, 1, 0}}; }

  void Show() {
    ASSERT_TRUE(root_->CreateAreas(doc_.get()));
    root_->AttachData(nullptr);
    ASSERT_TRUE(root_->Layout({0, 0, kHostWidth, kHostHeight}));
    win::Windows().RunPending();
  }

  static CECGSampleWnd& WindowOf(const CViewAreaConfig* node) {
    auto* area = dynamic_cast<CWindowArea*>(node->GetArea());
    auto* window = area != nullptr ? dynamic_cast<CECGSampleWnd*>(area->GetHostedWindow()) : nullptr;
    EXPECT_NE(window, nullptr);
    return *window;
  }

  void AddBeat(int position, int beat_class, uint8_t prior = kPriorNeverEdited) {
    doc_->GetQRSList().Append(TQRSComplex(position, static_cast<uint8_t>(beat_class), prior));
  }
  void AddEvent(int position, int kind, uint8_t prior = kPriorNeverEdited) {
    TEvent event(position, position, static_cast<uint8_t>(kind));
    event.SetPriorClass(prior);
    doc_->GetEventList().Append(event);
  }
  int32_t& ExampleTime(int kind, int slot) {
    return doc_->GetRecordingData().example_strips[static_cast<size_t>(kind)][static_cast<size_t>(slot)];
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  win::Window host_;
  std::unique_ptr<SampleHostRoot> root_;
  // What the stand-in legend answers to the selected-kind query; -1 leaves the query unanswered.
  int legend_kind_ = -1;
  HintLog hints_;
};

}  // namespace viewstest
