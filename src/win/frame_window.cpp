#include "win/frame_window.h"

#include <algorithm>

#include "win/toolbar_window.h"

namespace win {
namespace {

void CollectToolBars(const Window& window, std::vector<WindowHandle>& bars) {
  for (const Window* child : window.Children()) {
    if (dynamic_cast<const ToolBarWindow*>(child) != nullptr) bars.push_back(child->Handle());
    CollectToolBars(*child, bars);
  }
}

}  // namespace
void FrameWindow::SetMenu(Menu menu) {
  menu_ = std::move(menu);
  has_menu_ = true;
  NotifyChanged(kChangedState);
}

void FrameWindow::UpdateToolBars() {
  for (ToolBarModel* bar : toolbars_) bar->Update(*this);
  // Every other bar of the tree (the bars of hosted windows, docked deep inside) follows its own
  // command window's route. Collected first: an update handler may make or end windows.
  std::vector<WindowHandle> bars;
  CollectToolBars(*this, bars);
  for (const WindowHandle handle : bars) {
    auto* bar = dynamic_cast<ToolBarWindow*>(Windows().FromHandle(handle));
    if (bar == nullptr || !bar->IsWindowVisible()) continue;
    if (std::find(toolbars_.begin(), toolbars_.end(), &bar->Model()) != toolbars_.end()) continue;
    bar->UpdateButtons();
  }
  NotifyChanged(kChangedState);
}

bool FrameWindow::OnCmdMsg(CommandMessage& message) {
  if (active_view_ != nullptr && active_view_->IsWindow() && active_view_->OnCmdMsg(message)) return true;
  if (HandleOwnCommand(message)) return true;
  CommandTarget* app = Windows().AppCommandTarget();
  return app != nullptr && app->OnCmdMsg(message);
}

bool View::OnCmdMsg(CommandMessage& message) {
  if (HandleOwnCommand(message)) return true;
  return document_ != nullptr && document_->OnCmdMsg(message);
}

bool OfferToChildren(Window& parent, CommandMessage& message) {
  // A handler may create or destroy windows: walk a copy and skip those that are gone.
  const std::vector<Window*> children = parent.Children();
  for (Window* child : children) {
    const auto& now = parent.Children();
    if (std::find(now.begin(), now.end(), child) == now.end() || !child->IsWindow()) continue;
    if (child->OnCmdMsg(message)) return true;
  }
  return false;
}

bool OfferToFocusedChild(Window& parent, CommandMessage& message) {
  Window* focus = Windows().GetFocus();
  if (focus == nullptr) return false;
  for (Window* child : parent.Children()) {
    if (focus->IsSelfOrDescendantOf(child)) return child->OnCmdMsg(message);
  }
  return false;
}

}  // namespace win
