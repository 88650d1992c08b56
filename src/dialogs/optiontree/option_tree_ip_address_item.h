#pragma once

#include <array>
#include <cstdint>

#include "dialogs/optiontree/option_tree_item.h"
#include "win/controls.h"

namespace dialogs {

class COptionTreeIPAddressItem;

// Messages of an address field to its owner, the address control.
inline constexpr uint32_t kIPAddressFieldLeft = 2026;  // wparam: the window that gains the focus
inline constexpr uint32_t kIPAddressFieldFull = 2027;  // wparam: the field

// One of the four number fields of the address control.
class COptionTreeIPAddressEdit : public win::Edit {
 public:
  void SetOwner(win::Window* owner) { owner_ = owner; }

 protected:
  void OnKillFocus(win::Window* new_focus) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnChar(int character, unsigned repeat, unsigned flags) override;

 private:
  win::Window* owner_ = nullptr;
};

// The address control of an IP address item: four number fields of up to three digits with
// points between them, the address read from them as four bytes (first octet first). Sends the
// item its focus changes and moves the caret on from a full field.
class COptionTreeIPAddressWindow : public win::Window {
 public:
  explicit COptionTreeIPAddressWindow(COptionTreeIPAddressItem& item) : item_(item) {}
  std::string_view ClassName() const override { return "COptionTreeIPAddressWindow"; }

  // Empty or unreadable fields read 0; a field above 255 reads 255.
  std::array<uint8_t, 4> GetAddress() const;
  void SetAddress(const std::array<uint8_t, 4>& address);
  // Field 0 is the first (leftmost) one.
  COptionTreeIPAddressEdit& Field(int index) { return fields_[3 - index]; }
  bool IsField(const win::Window* window) const;
  // Places the fields for the control's size: width b = (W - 25) / 4 at x = 5 + k (b + 5).
  void LayoutFields();

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  int OnCreate() override;
  void OnDestroy() override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  int FieldWidth() const { return (GetClientRect().Width() - 25) / 4; }
  // The focus left the group for new_focus: commits when it stays inside the option tree.
  void FocusLeft(win::Window* new_focus);

  COptionTreeIPAddressItem& item_;
  // In window order: the fourth (rightmost) field first.
  std::array<COptionTreeIPAddressEdit, 4> fields_;
};

// The row holding an IPv4 address: the value column shows it as "a.b.c.d", and the address
// control opens over it while the row is edited. The address lives in the control.
// User-interface thread only.
class COptionTreeIPAddressItem : public COptionTreeItem {
 public:
  COptionTreeIPAddressItem();
  ~COptionTreeIPAddressItem() override;

  // After insertion into a control; false when not inserted or the window exists already.
  bool CreateIPAddressWindow(uint32_t extra_style = 0);
  COptionTreeIPAddressWindow& GetAddressWindow() { return window_; }
  bool IsInUse() const { return in_use_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeleteItem() override;
  void OnDeselect() override;

 private:
  friend class COptionTreeIPAddressWindow;
  void PlaceWindow();

  bool in_use_ = false;
  COptionTreeIPAddressWindow window_;
};

}  // namespace dialogs
