#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/base_view.h"
#include "views/layout_test_nodes.h"
#include "win/messages.h"
#include "win/window.h"

namespace viewstest {

// A base view over a list the test builds; it logs the print hooks it is asked for and has one
// command of its own.
class TestView : public CBaseView {
 public:
  static constexpr int kOwnCommand = 40001;

  TestView(CZK470Doc* document, CViewConfigurations* list, EventLog* log)
      : CBaseView(document), list_(list), log_(log) {
    AddCommand(kOwnCommand, [this] { log_->lines.push_back("view command"); });
  }

  CViewConfigurations* GetConfigurations() override { return list_; }
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    log_->lines.push_back(info.preview ? "prepare preview" : "prepare print");
    return false;
  }

 private:
  CViewConfigurations* list_;
  EventLog* log_;
};

// An empty document, a list of test layouts and a headless 800 x 600 view over them.
//   0: kind (1, 1): "a" filling the view, with "a1" (10 x 10) inside
//   1: kind (2, 1): "b" (20 x 20)
//   2: kind (1, 1): "c", "d" whose factory fails, "e"
//   3: kind (1, 2): "f"
class ViewFixture : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    auto l0 = std::make_unique<TestLayout>(&log_, 1, 1);
    TestNode* a = l0->Add("a", {XP(0, 0), YP(0, 0)}, {0, 0}, {1000, 1000});
    a->Add("a1", {XP(0, 0), YP(0, 0)}, {10, 10}, {0, 0});
    auto l1 = std::make_unique<TestLayout>(&log_, 2, 1);
    l1->Add("b", {XP(0, 0), YP(0, 0)}, {20, 20}, {0, 0});
    auto l2 = std::make_unique<TestLayout>(&log_, 1, 1);
    l2->Add("c");
    l2->Add("d")->fail_create = true;
    l2->Add("e");
    auto l3 = std::make_unique<TestLayout>(&log_, 1, 2);
    l3->Add("f");
    list_ = std::make_unique<CViewConfigurations>();
    list_->Add(std::move(l0));
    list_->Add(std::move(l1));
    list_->Add(std::move(l2));
    list_->Add(std::move(l3));
    view_ = std::make_unique<TestView>(doc_.get(), list_.get(), &log_);
  }

  void TearDown() override {
    view_.reset();
    list_.reset();
    doc_.reset();
    platform::ResetProcessState();
  }

  bool CreateView() { return view_->Create(nullptr, {0, 0, 800, 600}, win::kWsVisible); }
  CViewConfigSelector& Selector() { return *view_->GetSelector(); }
  CViewAreaConfig* Node(int layout, int child) { return list_->GetAt(layout)->GetChild(child); }

  EventLog log_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<CViewConfigurations> list_;
  std::unique_ptr<TestView> view_;
};

}  // namespace viewstest
