#pragma once

#include <string>
#include <vector>

#include "win/window.h"

// The frame's status bar: a strip at the bottom of its client area with panes of text, each named
// by an indicator id. Pane 0 takes the width the others leave; the others are as wide as their
// text (at least their minimum). User-interface thread only.
class CStatusBar : public win::Window {
 public:
  static constexpr int kHeight = 22;

  // Creates the bar as a child of parent along the given rectangle; false on failure.
  bool Create(win::Window& parent, const gfx::Rect& rect, int id);
  // Replaces the panes; each starts empty. False when ids is empty.
  bool SetIndicators(const std::vector<int>& ids);
  size_t PaneCount() const { return panes_.size(); }
  int GetItemID(size_t index) const { return index < panes_.size() ? panes_[index].id : -1; }
  // -1 when no pane has the id.
  int CommandToIndex(int id) const;
  void SetPaneText(size_t index, std::string text);
  std::string GetPaneText(size_t index) const;
  // Where pane index lies in the bar's client area.
  gfx::Rect GetItemRect(size_t index) const;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSize(int type, int cx, int cy) override;

 private:
  struct Pane {
    int id = 0;
    std::string text;
    int min_width = 0;
  };
  std::vector<int> Widths() const;

  std::vector<Pane> panes_;
};
