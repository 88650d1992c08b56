#pragma once

#include <cstdint>
#include <string>

#include "dialogs/optiontree/option_tree_item.h"
#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace dialogs {

// Option bits of COptionTreeColorItem.
inline constexpr uint32_t ColorOptionTrack = 0x400;
inline constexpr uint32_t ColorOptionHexText = 0x40000;

// The colour row of the option tree: a swatch and the colour as text. Its editor window, a child
// of the tree's list window, shows the same while it has the focus; a click on it opens the colour
// picker at the pointer, and the chosen colour is committed. Owned by the tree once inserted.
// User-interface thread only.
class COptionTreeColorItem : public win::Window, public COptionTreeItem {
 public:
  COptionTreeColorItem();
  ~COptionTreeColorItem() override;

  // Needs the owning tree; false when the item has none or the window exists.
  bool CreateColorWindow(uint32_t options, gfx::Color color, gfx::Color automatic_color);
  gfx::Color GetColor() const { return color_; }
  void SetColor(gfx::Color color) { color_ = color; }
  gfx::Color GetAutomaticColor() const { return automatic_color_; }
  void SetAutomaticColor(gfx::Color color) { automatic_color_ = color; }
  // True when any of bits is set.
  bool HasOption(uint32_t bits) const { return (options_ & bits) != 0; }
  // flag 1 sets the bits, any other value clears them.
  void SetOption(uint32_t bits, int flag);
  // "#RRGGBB" with ColorOptionHexText, else "RGB (r, g, b)".
  std::string GetValueText() const;

  std::string_view ClassName() const override { return "COptionTreeColorItem"; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeselect() override;
  void OnDeleteItem() override;

 protected:
  using win::Window::OnMove;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }

 private:
  void DrawColorValue(gfx::Canvas& canvas, const gfx::Rect& r);
  void MoveToValueRect();
  void UpdateTreeList();

  bool focus_ = false;
  gfx::Color color_ = 0;
  gfx::Color automatic_color_ = 0;
  uint32_t options_ = 0;
  // From the click until the picker ends: the focus leaving for the picker commits nothing yet.
  bool picking_ = false;
};

}  // namespace dialogs
