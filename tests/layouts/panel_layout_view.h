#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/panel_factories.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/base_view.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

namespace paneltest {

// A headless view of one layout of the default list.
class LayoutView : public CBaseView {
 public:
  LayoutView(CZK470Doc* doc, int index) : CBaseView(doc), index_(index) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(index_); }

 private:
  int index_;
};

// A document without user interface (set it up before Show: main directory, recorder values) and
// the view of a built-in layout with the panel classes registered.
class PanelLayoutFixture : public testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    RegisterPanelFactories();
  }
  void TearDown() override {
    Close();
    doc_.reset();
    win::Windows().SetClock(nullptr);
    platform::ResetProcessState();
  }

  void Show(int layout, int width, int height) {
    Close();
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<LayoutView>(doc_.get(), layout);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }
  void Close() {
    if (view_ != nullptr) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }

  // The node of a row of the shown layout's table.
  CViewAreaConfig* Node(int parent_row_child, int child = -1) const {
    CViewAreaConfig* node = view_->GetSelector()->GetCurrent()->GetChild(parent_row_child);
    return child < 0 ? node : node->GetChild(child);
  }
  template <typename T>
  T* HostedIn(CViewAreaConfig* node) const {
    return node != nullptr && node->GetArea() != nullptr ? dynamic_cast<T*>(node->GetArea()->GetWindow())
                                                         : nullptr;
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<LayoutView> view_;
};

}  // namespace paneltest
