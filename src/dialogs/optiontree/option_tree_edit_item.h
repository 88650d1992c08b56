#pragma once

#include <cstdint>

#include "dialogs/optiontree/option_tree_item.h"
#include "win/controls.h"

namespace dialogs {

// Option bits of COptionTreeEditItem.
inline constexpr uint32_t kEditOptionDecimal = 0x100;
inline constexpr uint32_t kEditOptionInteger = 0x200;
inline constexpr uint32_t kEditOptionPassword = 0x400;
inline constexpr uint32_t kEditOptionMultiline = 0x40000;

inline constexpr int kEditItemMultilineHeight = 75;

class COptionTreeEditItem;

// The edit field of an edit item: tells its item of focus changes and commits on Enter.
class COptionTreeEditField : public win::Edit {
 public:
  explicit COptionTreeEditField(COptionTreeEditItem& item) : item_(item) {}
  // The field takes Enter, Tab and Esc itself, before the dialog around it would.
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 protected:
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;

 private:
  COptionTreeEditItem& item_;
};

// The text-entry row: the value column shows the field's text (a password as stars), and the
// field opens over it while the row is edited. The text lives only in the field, so every
// getter fails before CreateEditWindow. Numbers are read strictly (see the getters) and written
// with the point as decimal sign. User-interface thread only.
class COptionTreeEditItem : public COptionTreeItem {
 public:
  COptionTreeEditItem();
  ~COptionTreeEditItem() override;

  // After insertion into a control; false when not inserted or the field exists already.
  bool CreateEditWindow(uint32_t options, uint32_t extra_style = 0);
  bool GetOption(uint32_t bit) const { return (options_ & bit) != 0; }
  void SetOption(uint32_t bits, bool on);

  // Each sets the output to 0 first; false without the field, without the matching option or
  // when the text is no valid number. Integers are digits with optional blanks around them and
  // must fit the type; decimals need a finite leading number.
  bool GetDoubleValue(double& value) const;
  bool GetFloatValue(float& value) const;
  bool GetLongValue(long& value) const;
  bool GetIntValue(int& value) const;
  bool GetUIntValue(uint32_t& value) const;
  // Write the field's text when it exists: decimals with three places, integers in full.
  void SetDoubleValue(double value);
  void SetFloatValue(float value);
  void SetLongValue(long value);
  void SetIntValue(int value);
  void SetUIntValue(uint32_t value);

  // The field, for its own text operations.
  win::Edit& GetEdit() { return edit_; }
  bool IsInUse() const { return in_use_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeleteItem() override;
  void OnDeselect() override;

 private:
  friend class COptionTreeEditField;
  void ApplyOptions();
  void FieldGotFocus();
  void FieldLostFocus(win::Window* new_focus);
  void FieldEnter();

  uint32_t options_ = 0;
  bool in_use_ = false;
  COptionTreeEditField edit_;
};

}  // namespace dialogs
