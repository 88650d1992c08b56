#pragma once

#include <string_view>
#include <vector>

#include "win/menu.h"
#include "win/toolbar_model.h"
#include "win/window.h"

namespace win {

class View;

// A frame window: the main frame, or a frame that hosts a window with its toolbars. A command
// from its menu, its toolbars or an accelerator (kWmCommand to the frame) travels to the active
// view first (which offers it to its document), then to the frame's own handlers, then to the
// application's command target. The menu and the toolbars are models the host renders; they take
// their states from the update handlers along the same route. User-interface thread only.
class FrameWindow : public Window {
 public:
  void SetActiveView(View* view) { active_view_ = view; }
  View* GetActiveView() const { return active_view_; }

  void SetMenu(Menu menu);
  Menu* GetMenu() { return has_menu_ ? &menu_ : nullptr; }
  // Toolbars shown by the frame; not owned.
  void AddToolBar(ToolBarModel& bar) { toolbars_.push_back(&bar); }
  void RemoveToolBar(ToolBarModel& bar) { std::erase(toolbars_, &bar); }
  const std::vector<ToolBarModel*>& ToolBars() const { return toolbars_; }

  // The update pass of a pop-up that is about to open.
  void OnInitMenuPopup(Menu& popup) { popup.UpdateItems(*this); }
  // The idle update of the toolbars: the frame's own along its route, and every other visible
  // toolbar window of its tree along its command window's route.
  void UpdateToolBars();

  bool OnCmdMsg(CommandMessage& message) override;
  std::string_view ClassName() const override { return "Frame"; }

 private:
  View* active_view_ = nullptr;
  Menu menu_;
  bool has_menu_ = false;
  std::vector<ToolBarModel*> toolbars_;
};

// A view: a window that shows a document. Its route is its own handlers, then the document.
// Views that host child windows route through them first with OfferToChildren or
// OfferToFocusedChild in their own OnCmdMsg.
class View : public Window {
 public:
  // Not owned; nullptr when none.
  void SetDocument(CommandTarget* document) { document_ = document; }
  CommandTarget* GetDocumentTarget() const { return document_; }
  bool OnCmdMsg(CommandMessage& message) override;
  std::string_view ClassName() const override { return "View"; }

 private:
  CommandTarget* document_ = nullptr;
};

// Offers the command to each child window of parent in z-order (the first created first) until
// one handles it; each child routes it on as its own OnCmdMsg does.
bool OfferToChildren(Window& parent, CommandMessage& message);
// Offers it only to the direct child of parent that holds the keyboard focus (or has it below).
bool OfferToFocusedChild(Window& parent, CommandMessage& message);

}  // namespace win
