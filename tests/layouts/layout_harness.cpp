#include "layouts/layout_harness.h"

#include <gtest/gtest.h>

#include <span>

#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "platform/process_context.h"
#include "views/base_view.h"
#include "views/view_area.h"
#include "win/window.h"

namespace layouttest {

// Shows one layout of the default list from its creation on.
class HarnessView : public CBaseView {
 public:
  HarnessView(CZK470Doc* doc, int index) : CBaseView(doc), index_(index) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(index_); }

 private:
  int index_ = 0;
};

LayoutHarness::LayoutHarness(int index, int width, int height) : clock_({2024, 1, 15, 9, 0, 0, 0}) {
  platform::ResetProcessState();
  win::Windows().SetClock(&clock_);
  doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  EXPECT_TRUE(CreateDefaultLayouts());
  view_ = std::make_unique<HarnessView>(doc_.get(), index);
  EXPECT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
  win::Windows().RunPending();

  // The builder adds every row to its parent in table order, so a row's node is the parent's
  // next child not yet taken.
  const std::span<const layouts::LayoutRow> table = GetLayoutTable(index);
  CViewConfiguration* root = GetDefaultLayouts() != nullptr ? GetDefaultLayouts()->GetAt(index) : nullptr;
  if (table.empty() || root == nullptr) {
    ADD_FAILURE() << "layout " << index << " has no table or no tree";
    return;
  }
  nodes_.assign(table.size(), nullptr);
  std::vector<int> taken(table.size(), 0);
  nodes_[0] = root;
  for (size_t row = 1; row < table.size(); ++row) {
    const int parent = table[row].parent;
    CViewAreaConfig* parent_node = parent >= 0 && parent < static_cast<int>(row) ? nodes_[parent] : nullptr;
    if (parent_node == nullptr || taken[parent] >= parent_node->GetChildCount()) {
      ADD_FAILURE() << "layout " << index << " row " << row << " is missing from the tree";
      return;
    }
    nodes_[row] = parent_node->GetChild(taken[parent]++);
  }
}

LayoutHarness::~LayoutHarness() {
  if (view_) view_->DestroyWindow();
  view_.reset();
  DeleteDefaultLayouts();
  doc_.reset();
  win::Windows().SetClock(nullptr);
  platform::ResetProcessState();
}

CViewAreaConfig* LayoutHarness::Node(int row) const {
  if (row < 0 || row >= static_cast<int>(nodes_.size())) return nullptr;
  return nodes_[row];
}

gfx::Rect LayoutHarness::RectOf(int row) const {
  const CViewAreaConfig* node = Node(row);
  if (node == nullptr || node->GetArea() == nullptr) {
    ADD_FAILURE() << "row " << row << " has no area";
    return {};
  }
  return node->GetArea()->StoredRect();
}

gfx::Rect LayoutHarness::ClientOf(int row) const {
  const CViewAreaConfig* node = Node(row);
  const win::Window* window =
      node != nullptr && node->GetArea() != nullptr ? node->GetArea()->GetWindow() : nullptr;
  if (window == nullptr || !window->IsWindow()) {
    ADD_FAILURE() << "row " << row << " hosts no window";
    return {};
  }
  return window->GetClientRect();
}

void LayoutHarness::Resize(int width, int height) {
  view_->MoveWindow({0, 0, width, height});
  win::Windows().RunPending();
}

std::map<int, gfx::Rect> LayOutWindowContents(int layout, int window_row, int width, int height) {
  std::map<int, gfx::Rect> rects;
  LayoutHarness harness(layout, 1000, 700);
  const CViewAreaConfig* node = harness.Node(window_row);
  win::Window* window =
      node != nullptr && node->GetArea() != nullptr ? node->GetArea()->GetWindow() : nullptr;
  if (window == nullptr || !window->IsWindow()) {
    ADD_FAILURE() << "layout " << layout << " row " << window_row << " hosts no window";
    return rects;
  }
  // The hosted window lays its node's children out on every size change.
  const gfx::Rect place = window->GetWindowRectInParent();
  window->MoveWindow({place.left, place.top, place.left + width, place.top + height});
  win::Windows().RunPending();

  const std::span<const layouts::LayoutRow> table = GetLayoutTable(layout);
  for (size_t row = 1; row < table.size(); ++row) {
    int ancestor = table[row].parent;
    while (ancestor > 0 && ancestor != window_row) ancestor = table[static_cast<size_t>(ancestor)].parent;
    if (ancestor == window_row) rects[static_cast<int>(row)] = harness.RectOf(static_cast<int>(row));
  }
  return rects;
}

}  // namespace layouttest
