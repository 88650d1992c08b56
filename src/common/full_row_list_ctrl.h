#pragma once

#include "win/controls.h"

// A report-style list that paints a selected row's highlight over more than its label, by the
// highlight mode: 0 the label only (its text plus a margin), 1 from the label to the item's right
// edge, 2 from the label to the client area's right edge (the whole row), 3 from the first
// column's right edge to the client area's right edge. It also counts nested redraw locks.
// User-interface thread only.
class CFullRowListCtrl : public win::ListView {
 public:
  // A mode of 3 or less is taken (any other value draws the label only); returns the previous
  // mode whether or not it changed.
  int SetHighlightMode(int mode);
  int GetHighlightMode() const { return highlight_mode_; }
  // false opens a lock (the first switches redrawing off), true closes one (the last switches it
  // on again and repaints). Unbalanced closes are ignored.
  void SetRedraw(bool redraw);
  int RedrawLockDepth() const { return redraw_lock_; }
  // The highlighted area of a row by the current mode.
  gfx::Rect HighlightRect(gfx::Canvas& canvas, int item) const;
  // Paints one row as the owner-drawn list does.
  void DrawItem(gfx::Canvas& canvas, int item);

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  bool ShowsAsSelected(int item) const;
  int redraw_lock_ = 0;
  int highlight_mode_ = 2;
};
