#pragma once

#include "win/window.h"

namespace dialogs {

class COptionTree;

// The scrolling list of the option tree: paints the rows (each item draws its own), turns mouse,
// wheel and keys into selection, expansion, editor activation and divider moves, and keeps the
// vertical scroll bar in step with the shown rows. The parent of every item's editor window.
// Keeps no item state: everything lives in the control. User-interface thread only.
class COptionTreeList : public win::Window {
 public:
  void SetOptionTree(COptionTree* tree) { tree_ = tree; }
  std::string_view ClassName() const override { return "COptionTreeList"; }
  void UpdateScrollBars();
  // Drops a focus that no longer lies on a shown row.
  void ValidateFocusedItem();
  // The scroll handling; the control also calls it with kSbThumbTrack to show a row.
  void OnVScroll(int code, int position);
  // Sizing over the divider (or while dragging it), a hand over an expand box.
  win::CursorShape PointerShapeAt(gfx::Point point) override;
  bool IsDraggingDivider() const { return dragging_; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnSize(int type, int cx, int cy) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnMouseWheel(unsigned flags, int delta, gfx::Point screen_point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnSetFocus(win::Window* old_focus) override;

 private:
  bool InputAllowed() const;
  // Expands or collapses after -1108 was not vetoed; true when it did.
  bool ToggleExpand(class COptionTreeItem* item, bool expand);
  void OpenFocusedEditor();

  COptionTree* tree_ = nullptr;
  bool dragging_ = false;
  int drag_position_ = -1;
};

}  // namespace dialogs
