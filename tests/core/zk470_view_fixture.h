#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/app_fixture.h"
#include "core/main_frame.h"
#include "core/main_toolbars.h"
#include "core/zk470_view.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace coretest {

// A node that records what reaches its area: the hints, and the rectangles it is laid out in. It is
// 10 x 10 pixels in the far corner of its parent.
class RecordingNode : public CViewAreaConfig {
 public:
  struct Log {
    std::vector<gfx::Rect> layouts;
  };

  RecordingNode(std::vector<int>* hints, Log* log)
      : CViewAreaConfig(CPosition{{-1, 1, 0}, {-1, 1, 0}}, {10, 10}, {0, 0}, false),
        hints_(hints),
        log_(log) {}
  std::string_view GetClassName() const override { return "RecordingNode"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override { return std::make_unique<Area>(this, doc); }

 private:
  class Area : public CViewArea {
   public:
    Area(RecordingNode* node, CZK470Doc* doc) : CViewArea(node, doc), node_(node) {}
    void OnNotify(document::DocumentView*, int hint, THintObject*) override {
      if (node_->hints_ != nullptr) node_->hints_->push_back(hint);
    }
    void OnLayout(int left, int top, int right, int bottom) override {
      if (node_->log_ != nullptr) node_->log_->layouts.push_back({left, top, right, bottom});
    }

   private:
    RecordingNode* node_;
  };

  std::vector<int>* hints_;
  Log* log_;
};

// A node whose area hosts a child window of the view that handles one command.
class HostingNode : public CViewAreaConfig {
 public:
  HostingNode(int command, int* handled)
      : CViewAreaConfig(CPosition{}, {0, 0}, {1000, 1000}, false), command_(command), handled_(handled) {}
  std::string_view GetClassName() const override { return "HostingNode"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override { return std::make_unique<Area>(this, doc); }

 private:
  class Hosted : public win::Window {
   public:
    Hosted(int command, int* handled) {
      AddCommand(command, [handled] { ++*handled; });
    }
  };
  class Area : public CViewArea {
   public:
    Area(HostingNode* node, CZK470Doc* doc) : CViewArea(node, doc), window_(node->command_, node->handled_) {}
    ~Area() override { window_.DestroyWindow(); }
    void Attach(CBaseView* view) override {
      window_.Create(view, {0, 0, 20, 20}, win::kWsChild | win::kWsVisible);
    }
    bool HasWindow() const override { return true; }
    win::Window* GetWindow() const override { return const_cast<Hosted*>(&window_); }

   private:
    Hosted window_;
  };

  int command_;
  int* handled_;
};

// The program started with its main view; helpers for screens, commands and hints.
class ZK470ViewTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    ASSERT_TRUE(Start({}));
    Pump();
    ASSERT_NE(GetActiveZK470View(), nullptr);
  }

  void TearDown() override {
    if (app_ != nullptr && app_->GetDocument() != nullptr) {
      for (const auto& spy : spies_) Doc().RemoveView(spy.get());
    }
    spies_.clear();
    AppTest::TearDown();
  }

  CZK470View& View() { return *GetActiveZK470View(); }
  int Layout() { return View().GetSelector()->GetCurrentIndex(); }
  bool Enabled(int id) { return win::UpdateCommand(Frame(), id).Enabled().value_or(false); }

  // Adds a node to a built-in layout that is not shown now (its areas come at its next selection).
  void AddRecordingNode(int layout, std::vector<int>* hints, RecordingNode::Log* log = nullptr) {
    ASSERT_NE(Layout(), layout);
    GetDefaultLayouts()->GetAt(layout)->AddChild(std::make_unique<RecordingNode>(hints, log));
  }
  void AddHostingNode(int layout, int command, int* handled) {
    ASSERT_NE(Layout(), layout);
    GetDefaultLayouts()->GetAt(layout)->AddChild(std::make_unique<HostingNode>(command, handled));
  }

  // The span box of the main frame chooses the entry of this code, as a user's choice does.
  void ChooseSpan(int code) {
    CTimeSpanToolBar& bar = *Frame().GetTimeSpanToolBar();
    const std::vector<int>& codes = bar.SpanCodes();
    for (size_t i = 0; i < codes.size(); ++i) {
      if (codes[i] != code) continue;
      bar.Combo().SetCurSel(static_cast<int>(i));
      ASSERT_TRUE(win::ExecuteCommand(Frame(), cmd::kTimeSpan, win::kCbnSelChange));
      return;
    }
    FAIL() << "no span entry with code " << code;
  }

  // Counts the document updates with this hint.
  void SpyHints(int hint, int* count) {
    auto spy = std::make_unique<HintSpy>(hint, count);
    Doc().AddView(spy.get());
    spies_.push_back(std::move(spy));
  }

 private:
  class HintSpy : public document::DocumentView {
   public:
    HintSpy(int hint, int* count) : hint_(hint), count_(count) {}
    void OnUpdate(document::DocumentView*, int hint, THintObject*) override {
      if (hint == hint_) ++*count_;
    }

   private:
    int hint_;
    int* count_;
  };
  std::vector<std::unique_ptr<HintSpy>> spies_;
};

}  // namespace coretest
