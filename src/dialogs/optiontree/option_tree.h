#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "dialogs/optiontree/option_tree_info.h"
#include "dialogs/optiontree/option_tree_item.h"
#include "dialogs/optiontree/option_tree_list.h"
#include "gfx/drawing_types.h"
#include "win/window.h"

namespace dialogs {

// Option word bits of COptionTree.
inline constexpr uint32_t OptionShowInfoPane = 1;
inline constexpr uint32_t OptionNotify = 2;
inline constexpr uint32_t OptionDefaultInfoText = 4;
inline constexpr uint32_t OptionShadeExpandColumn = 8;
inline constexpr uint32_t OptionShadeCategories = 16;

// Hit codes of COptionTree::HitTest.
inline constexpr int HitLabel = 2024;
inline constexpr int HitDivider = 2025;
inline constexpr int HitExpandBox = 2026;
inline constexpr int HitValue = 2027;
inline constexpr int HitNowhere = 2028;

// Notification codes, sent as kWmNotify with a COptionTreeNotify.
inline constexpr int NotifyItemInserted = -1101;
inline constexpr int NotifyItemDeleting = -1102;
inline constexpr int NotifyItemChanged = -1105;
inline constexpr int NotifySelectionChanged = -1107;
inline constexpr int NotifyExpanding = -1108;
inline constexpr int NotifyDividerDrag = -1109;
inline constexpr int NotifyActivating = -1110;

inline constexpr int kOptionTreeInfoId = 65535;
inline constexpr int kOptionTreeListId = 30000;
inline constexpr int kOptionTreeInfoHeight = 50;

struct COptionTreeNotify {
  win::NotifyHeader header;
  COptionTreeItem* item = nullptr;
};

// A property grid: a tree of option items shown as label and value columns in its list window,
// above an optional info pane describing the focused item. Owns every inserted item, the list
// window and the pane; holds the focus, divider, scroll offset and the rows of the last paint,
// which the list window and the items read. Pixels throughout. User-interface thread only.
class COptionTree : public win::Window {
 public:
  COptionTree();
  ~COptionTree() override;

  bool Create(uint32_t style, const gfx::Rect& rect, win::Window* parent, uint32_t options, int id);
  std::string_view ClassName() const override { return "COptionTree"; }

  // Each setter sets its bit for exactly 1 and clears it otherwise, then lays out and repaints.
  void ShowInfoPane(int flag);
  bool IsInfoPaneShown() const { return (options_ & OptionShowInfoPane) != 0; }
  void SetNotifyWindow(int flag, win::Window* window);
  bool IsNotifyOn() const { return (options_ & OptionNotify) != 0; }
  void SetDefaultInfoText(int flag);
  bool HasDefaultInfoText() const { return (options_ & OptionDefaultInfoText) != 0; }
  void SetShadeExpandColumn(int flag);
  bool IsExpandColumnShaded() const { return (options_ & OptionShadeExpandColumn) != 0; }
  void SetShadeCategories(int flag);
  bool AreCategoriesShaded() const { return (options_ & OptionShadeCategories) != 0; }
  uint32_t GetOptions() const { return options_; }

  // Takes ownership; parent none is the root. Returns the item, none when none was given.
  COptionTreeItem* InsertItem(COptionTreeItem* item, COptionTreeItem* parent = nullptr);
  // none: every item below the root.
  void DeleteItem(COptionTreeItem* item);
  void DeleteAllItems() { DeleteItem(nullptr); }
  void ExpandAll();
  COptionTreeItem* GetRootItem() { return &root_; }
  COptionTreeItem* FindItem(int id);
  using EnumCallback = std::function<int(COptionTree&, COptionTreeItem&, intptr_t)>;
  // 1 when no callback answered 0. A 0 stops the walk below that item only.
  int EnumItems(COptionTreeItem* start, const EnumCallback& callback, intptr_t user);
  void SelectItems(COptionTreeItem* start, bool select);
  void MoveEditors();
  void RefreshItems(COptionTreeItem* item = nullptr);
  void UpdateList();

  COptionTreeItem* GetFocusedItem() const { return focused_; }
  void SetFocusedItem(COptionTreeItem* item);
  COptionTreeItem* FocusFirst();
  COptionTreeItem* FocusLast();
  COptionTreeItem* FocusPrevious();
  COptionTreeItem* FocusNext();
  void EnsureVisible(COptionTreeItem* item);

  int GetColumn() const { return origin_.x; }
  void SetColumn(int x);
  gfx::Point GetOrigin() const { return origin_; }
  void SetScrollOffset(int y) { origin_.y = y; }
  int HitTest(gfx::Point list_point);
  COptionTreeItem* FindShownItemAt(gfx::Point list_point);
  COptionTreeItem* GetFirstShownItem() const { return first_shown_; }
  void AddShownItem(COptionTreeItem* item);
  void ClearShownItems();
  bool IsItemShown(const COptionTreeItem* item) const;
  void ClearLabelRects();
  gfx::Rect GetWidestLabelRect();
  COptionTreeList& GetListWindow() { return list_; }
  COptionTreeInfo& GetInfoWindow() { return info_; }

  static const gfx::Font& GetNormalFont();
  static const gfx::Font& GetBoldFont();
  // Whether a font family is installed, for the choice of the label face; the host sets it. None
  // counts as not installed.
  static void SetFontFamilyQuery(std::function<bool(std::string_view)> query);

  // The notify window's answer, or 0 when nothing was sent.
  int SendNotify(int code, COptionTreeItem* item);
  // While set the list window ignores input; the parent is disabled meanwhile.
  void DisableInput(bool disable);
  bool IsInputDisabled() const { return input_disabled_; }

 protected:
  int OnCreate() override;
  void OnSize(int type, int cx, int cy) override;
  void OnEnable(bool enable) override;
  void OnSetFocus(win::Window* old_focus) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  void LayoutChildren(int width, int height);
  void SetOptionBit(uint32_t bit, int flag);
  void RemoveItem(COptionTreeItem* item);
  // Deselects all, selects the focused item, notifies when it changed.
  COptionTreeItem* FinishFocusMove(COptionTreeItem* before);

  uint32_t options_ = 0;
  COptionTreeInfo info_;
  COptionTreeItem root_;
  COptionTreeItem* first_shown_ = nullptr;
  COptionTreeItem* focused_ = nullptr;
  gfx::Point origin_{150, 0};
  COptionTreeList list_;
  bool input_disabled_ = false;
  int item_counter_ = 0;
  win::Window* notify_window_ = nullptr;
};

}  // namespace dialogs
