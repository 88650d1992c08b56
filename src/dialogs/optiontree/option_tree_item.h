#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

namespace dialogs {

class COptionTree;

// Item kinds; each kind's constructor sets its number.
inline constexpr int kOptionItemPlain = 1;
inline constexpr int kOptionItemCheckBox = 2;
inline constexpr int kOptionItemColor = 3;
inline constexpr int kOptionItemComboBox = 4;
inline constexpr int kOptionItemDate = 5;
inline constexpr int kOptionItemEdit = 6;
inline constexpr int kOptionItemImage = 7;
inline constexpr int kOptionItemRadio = 8;
inline constexpr int kOptionItemSpinner = 9;
inline constexpr int kOptionItemFont = 10;
inline constexpr int kOptionItemFile = 11;
inline constexpr int kOptionItemIPAddress = 12;

// One row of the option tree: texts, tree links, the geometry recorded by the last paint, state
// flags and colours. Plain instances are categories and the root; every item kind derives from
// it and takes over the value column through the virtual operations, creating its editor window
// (after insertion) as a child of the control's list window. Owned by the control once inserted.
// Positions are pixels: "content" coordinates count from the top of the first row, before
// scrolling; the value and label rectangles are list client coordinates. User-interface thread only.
class COptionTreeItem {
 public:
  COptionTreeItem();
  virtual ~COptionTreeItem() = default;
  COptionTreeItem(const COptionTreeItem&) = delete;
  COptionTreeItem& operator=(const COptionTreeItem&) = delete;

  // The kinds' extension points; all empty here.
  // Draws the value when the editor is not showing it; clipped to value_rect.
  virtual void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {}
  // Shows the editor on the value rectangle and gives it the focus.
  virtual void OnActivate() {}
  // Moves the editor to the value rectangle; hides it unless it has the focus.
  virtual void OnMove() {}
  // Moves the editor to the value rectangle after a commit.
  virtual void OnRefresh() {}
  // Takes the value over from the editor and hides the editor.
  virtual void OnCommit() {}
  // Destroys the editor window, before the item is freed.
  virtual void OnDeleteItem() {}
  virtual void OnDeselect() {}
  virtual void OnSelect() {}
  virtual void OnExpand(bool expand) {}

  void SetLabelText(std::string_view text) { label_text_ = text; }
  const std::string& GetLabelText() const { return label_text_; }
  void SetInfoText(std::string_view text) { info_text_ = text; }
  const std::string& GetInfoText() const { return info_text_; }

  // Links, set by the control.
  void SetItemID(int id) { item_id_ = id; }
  int GetItemID() const { return item_id_; }
  void SetParentItem(COptionTreeItem* parent) { parent_ = parent; }
  COptionTreeItem* GetParentItem() const { return parent_; }
  void SetSibling(COptionTreeItem* sibling) { sibling_ = sibling; }
  COptionTreeItem* GetSibling() const { return sibling_; }
  void SetChild(COptionTreeItem* child) { child_ = child; }
  COptionTreeItem* GetChild() const { return child_; }
  void SetNextShown(COptionTreeItem* next) { next_shown_ = next; }
  COptionTreeItem* GetNextShown() const { return next_shown_; }
  void SetOptionTree(COptionTree* tree) { tree_ = tree; }
  COptionTree* GetOptionTree() const { return tree_; }

  gfx::Point GetPosition() const { return position_; }
  const gfx::Rect& GetValueRect() const { return value_rect_; }
  const gfx::Rect& GetExpandBox() const { return expand_box_; }
  void SetHeight(int height) { height_ = height; }
  int GetHeight() const { return height_; }
  // The own row plus, when expanded, every child's total.
  int GetTotalHeight() const;
  void SetLabelRect(const gfx::Rect& rect) { label_rect_ = rect; }
  const gfx::Rect& GetLabelRect() const { return label_rect_; }
  bool IsInExpandBox(gfx::Point content_point) const { return expand_box_.Contains(content_point); }

  void Select(bool select);
  bool IsSelected() const { return selected_; }
  // Needs the owning control; tells the item and all its descendants.
  void Expand(bool expand);
  bool IsExpanded() const { return expanded_; }
  void Activate();
  bool IsActivated() const { return activated_; }
  // The first call commits even without an activation; later ones only after Activate.
  void CommitChanges();
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool IsReadOnly() const { return read_only_; }
  void SetItemKind(int kind) { kind_ = kind; }
  int GetItemKind() const { return kind_; }
  void SetLabelAtTop(bool at_top) { label_at_top_ = at_top; }
  bool IsLabelAtTop() const { return label_at_top_; }
  // A top-level row of its control.
  bool IsCategory() const;

  void SetValueBackColor(gfx::Color c) { value_back_ = c; }
  gfx::Color GetValueBackColor() const { return value_back_; }
  void SetValueTextColor(gfx::Color c) { value_text_ = c; }
  gfx::Color GetValueTextColor() const { return value_text_; }
  void SetCategoryBackColor(gfx::Color c) { category_back_ = c; }
  gfx::Color GetCategoryBackColor() const { return category_back_; }
  void SetLabelTextColor(gfx::Color c) { label_text_color_ = c; }
  gfx::Color GetLabelTextColor() const { return label_text_color_; }
  void SetLabelBackColor(gfx::Color c) { label_back_ = c; }
  gfx::Color GetLabelBackColor() const { return label_back_; }

  // Draws the row at content (x, y) and, when expanded, its descendants below it; appends every
  // drawn item to the control's shown rows. Returns the height used (0 before insertion).
  int DrawItem(gfx::Canvas& canvas, const gfx::Rect& client, int x, int y);
  static void DrawExpandBox(gfx::Canvas& canvas, int left, int top, bool expanded, bool filled);
  static bool IsBlankText(std::string_view text);

 private:
  std::string label_text_;
  std::string info_text_;
  int item_id_ = 0;
  COptionTreeItem* parent_ = nullptr;
  COptionTreeItem* sibling_ = nullptr;
  COptionTreeItem* child_ = nullptr;
  COptionTreeItem* next_shown_ = nullptr;
  gfx::Rect expand_box_;
  COptionTree* tree_ = nullptr;
  gfx::Point position_;
  gfx::Rect value_rect_;
  bool committed_ = false;
  int height_ = 21;
  gfx::Rect label_rect_;
  bool selected_ = false;
  bool expanded_ = false;
  bool activated_ = false;
  bool read_only_ = false;
  int kind_ = kOptionItemPlain;
  bool label_at_top_ = false;
  gfx::Color value_back_;
  gfx::Color value_text_;
  gfx::Color category_back_;
  gfx::Color label_text_color_;
  gfx::Color label_back_;
};

// The text cut, with "..." appended, so that its extent plus margin fits into width; unchanged
// when it fits or is empty. Any length (no fixed buffer); at least one character stays.
std::string ShortenText(const gfx::Canvas& canvas, std::string_view text, int width, int margin);
// One-pixel grid lines in the button-shadow colour.
void DrawHorizontalLine(gfx::Canvas& canvas, int x, int y, int length);
void DrawVerticalLine(gfx::Canvas& canvas, int x, int y, int length);

}  // namespace dialogs
