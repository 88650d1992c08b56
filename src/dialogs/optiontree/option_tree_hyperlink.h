#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"
#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace dialogs {

// Option bits of COptionTreeHyperlinkItem.
inline constexpr uint32_t HyperlinkOptionUnderline = 0x100;
inline constexpr uint32_t HyperlinkOptionUnderlineHover = 0x200;
inline constexpr uint32_t HyperlinkOptionVisitedColor = 0x400;
inline constexpr uint32_t HyperlinkOptionHoverColor = 0x40000;

// Timer that notices the pointer leaving the link (the window gets no leave message of its own).
inline constexpr uintptr_t kHyperlinkHoverTimer = 1000;
inline constexpr int kHyperlinkHoverMs = 100;

// A row whose value is a link (web address, file, anything the desktop opens) in a small window of
// its own over the value column: coloured and underlined under the pointer, a hand over the text,
// remembers a visit, and opens the text when clicked or when the row is activated. The window is
// created hidden after insertion, shown when the row is expanded into view, destroyed with the
// item. Colours as gfx::Color. User-interface thread only.
class COptionTreeHyperlinkItem : public win::Window, public COptionTreeItem {
 public:
  COptionTreeHyperlinkItem();
  ~COptionTreeHyperlinkItem() override;
  std::string_view ClassName() const override { return "COptionTreeHyperlinkItem"; }

  // After InsertItem. False when the item is in no control yet or the window exists.
  bool CreateHyperlinkWindow(uint32_t options, std::string_view text, gfx::Color normal, gfx::Color hover,
                             gfx::Color visited);

  void SetHyperlinkText(std::string_view text) { text_ = text; }
  const std::string& GetHyperlinkText() const { return text_; }
  void SetNormalColor(gfx::Color c) { normal_color_ = c; }
  gfx::Color GetNormalColor() const { return normal_color_; }
  void SetHoverColor(gfx::Color c) { hover_color_ = c; }
  gfx::Color GetHoverColor() const { return hover_color_; }
  void SetVisitedColor(gfx::Color c) { visited_color_ = c; }
  gfx::Color GetVisitedColor() const { return visited_color_; }
  void SetVisited(bool visited) { visited_ = visited; }
  bool IsVisited() const { return visited_; }
  bool HasOption(uint32_t bit) const { return (options_ & bit) != 0; }
  // A flag of 1 sets the bits, anything else clears them.
  void SetOption(uint32_t bits, int flag);
  // None before the window exists.
  std::optional<win::CursorShape> GetLinkCursor() const { return link_cursor_; }
  // None keeps the hand.
  void SetLinkCursor(std::optional<win::CursorShape> cursor);
  bool IsHovering() const { return hover_; }
  bool IsInUse() const { return in_use_; }
  // Client coordinates, as the last paint drew the text.
  const gfx::Rect& GetTextRect() const { return text_rect_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override { MoveToValueRect(); }
  void OnRefresh() override { MoveToValueRect(); }
  void OnDeleteItem() override;
  void OnExpand(bool expand) override;

  win::CursorShape PointerShapeAt(gfx::Point point) override;

 protected:
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnTimer(uintptr_t id) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  void MoveToValueRect();
  // Failures of the desktop are not reported: the link simply stays.
  void OpenText() const;

  bool in_use_ = false;
  gfx::Color normal_color_;
  gfx::Color hover_color_;
  gfx::Color visited_color_;
  bool visited_ = false;
  uint32_t options_ = 0;
  std::string text_;
  std::optional<win::CursorShape> link_cursor_;
  gfx::Rect text_rect_;
  bool hover_ = false;
  gfx::Font underline_font_;
};

}  // namespace dialogs
