#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "win/dialog_template.h"
#include "win/image_list.h"
#include "win/window.h"

// The standard controls: each keeps its state as a model, paints itself on a canvas (where it
// lies inside a painted window) and tells its parent what the user did with the platform's
// notifications. A host that shows a window as real widgets reads the state and calls the
// ...FromUser operations, which behave as the user's action would.
namespace win {

// The text of a button or static without the "&" mnemonic marks ("&&" is one "&"), as it shows.
std::string WithoutMnemonic(std::string_view text);

// Common base: the kind, and the notifications to the parent.
class Control : public Window {
 public:
  explicit Control(ControlKind kind) : kind_(kind) {}
  ControlKind Kind() const { return kind_; }
  std::string_view ClassName() const override;
  // The kind-specific style bits (the low word of the style).
  uint32_t ControlStyle() const { return GetStyle() & 0xFFFF; }
  // A child control; style holds the window styles and the kind's bits.
  bool CreateControl(Window* parent, const gfx::Rect& rect, int id, std::string_view text, uint32_t style);
  // Whether Tab stops here and the dialog may give it the focus.
  bool IsTabStop() const { return (GetStyle() & kWsTabStop) != 0; }
  // A control that paints itself (its own look, no standard widget): hosts show what it paints.
  virtual bool IsOwnerDrawn() const { return false; }

 protected:
  // kWmCommand to the parent with this control's id and code.
  void NotifyParent(int code);
  // kWmNotify to the parent; header's from, id_from and code are filled in. Returns its result.
  LResult NotifyParent(NotifyHeader& header, int code);
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  // The text colour a disabled control writes with.
  gfx::Color TextColor() const;

 private:
  ControlKind kind_;
};

// Static text, picture and group frame.
class StaticControl : public Control {
 public:
  explicit StaticControl(ControlKind kind = ControlKind::kStatic) : Control(kind) {}

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
};

// Push buttons, check boxes and radio buttons.
class Button : public Control {
 public:
  explicit Button(ControlKind kind = ControlKind::kPushButton) : Control(kind) {}
  int GetCheck() const { return check_; }
  void SetCheck(int check);
  bool IsDefault() const { return Kind() == ControlKind::kDefPushButton || default_; }
  void SetDefault(bool is_default);
  // A click: a check box toggles, a radio button checks itself and clears the other radio buttons
  // of its group; then kBnClicked goes to the parent. A disabled button ignores it.
  virtual void Click();

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnKeyUp(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  // The pushed-in look while the mouse holds the button.
  bool IsPressed() const { return pressed_; }
  void SetPressed(bool pressed);

 private:
  int check_ = kBstUnchecked;
  bool default_ = false;
  bool pressed_ = false;
};

// Single- and multi-line edit fields; the text is the window text.
class Edit : public Control {
 public:
  Edit() : Control(ControlKind::kEdit) {}
  // The most characters the user may type; 0 restores the default (30000).
  void SetLimitText(int max_chars);
  int GetLimitText() const { return limit_; }
  void SetReadOnly(bool read_only = true);
  bool IsReadOnly() const { return (ControlStyle() & kEsReadOnly) != 0; }
  bool IsMultiline() const { return (ControlStyle() & kEsMultiline) != 0; }
  // Selection in characters (bytes of the UTF-8 text); end -1 means the end of the text.
  void SetSel(int start, int end);
  std::pair<int, int> GetSel() const { return {sel_start_, sel_end_}; }
  // Replaces the selection and puts the caret after the new text.
  void ReplaceSel(std::string_view text);
  // Adds text at the end and puts the caret there, without copying what the field holds: the
  // way a log grows. Tells the parent as ReplaceSel would.
  void AppendText(std::string_view text);
  // Lines separated by "\r\n" (or "\n"); an empty text has one line.
  int GetLineCount() const { return line_count_; }
  int GetFirstVisibleLine() const { return first_visible_line_; }
  // Scrolls by that many lines; it stops when the last line has reached the bottom.
  void LineScroll(int lines);
  // How many whole lines the field shows.
  int VisibleLineCount() const;
  // The user typed or pasted: the whole text becomes text (cut to the limit), kEnChange follows.
  // Read-only fields ignore it.
  void SetTextFromUser(std::string_view text);
  // A field that offers a context menu of its own: a host that shows the field as a widget sends
  // it kWmContextMenu instead of showing the widget's menu.
  virtual bool HasOwnContextMenu() const { return false; }

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  void OnChar(int character, unsigned repeat, unsigned flags) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnSetFocus(Window* old_focus) override;
  void OnKillFocus(Window* new_focus) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  int OnCreate() override;

 private:
  int limit_ = 30000;
  int sel_start_ = 0;
  int sel_end_ = 0;
  int first_visible_line_ = 0;
  int line_count_ = 1;
};

// One entry of a list-like control.
struct ListEntry {
  std::string text;
  uintptr_t data = 0;
  bool selected = false;
};

// What happened to the rows of a list-like control, oldest first, for a host that mirrors the
// rows in a widget of its own: it reads the changes after the revision it last saw and applies
// only those. A reader too far behind (the log keeps the last kCapacity changes) rebuilds.
class RowChangeLog {
 public:
  enum class Kind { kInserted, kDeleted, kChanged, kReset };
  struct Change {
    Kind kind;
    int row;  // kReset: -1
  };
  static constexpr size_t kCapacity = 4096;

  void Add(Kind kind, int row);
  // Counts every change ever made; also bumped by selection changes, see SelectionRevision.
  uint64_t Revision() const { return revision_; }
  uint64_t SelectionRevision() const { return selection_revision_; }
  void SelectionChanged() { ++selection_revision_; }
  // The changes after revision since; false when some of them are no longer kept.
  bool Since(uint64_t since, std::vector<Change>& out) const;

 private:
  std::vector<Change> changes_;
  uint64_t first_ = 0;  // the revision before changes_[0]
  uint64_t revision_ = 0;
  uint64_t selection_revision_ = 0;
};

// The entries and the current choice that combo and list boxes share; what choosing does to the
// rest of the control is theirs (SetCurSel).
class ListControl : public Control {
 public:
  int AddString(std::string_view text);
  int InsertString(int index, std::string_view text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  // -1 when nothing is chosen.
  int GetCurSel() const { return cur_sel_; }
  uintptr_t GetItemData(int index) const;
  int SetItemData(int index, uintptr_t data);
  const std::vector<ListEntry>& Items() const { return items_; }
  const RowChangeLog& RowChanges() const { return row_changes_; }

 protected:
  explicit ListControl(ControlKind kind) : Control(kind) {}
  bool IsIndex(int index) const { return index >= 0 && index < GetCount(); }
  // The entry's text; empty when the index is out of range.
  std::string EntryText(int index) const;
  // The choice or the selected entries changed.
  void SelectionChanged() { row_changes_.SelectionChanged(); }

  RowChangeLog row_changes_;

  std::vector<ListEntry> items_;
  int cur_sel_ = -1;
};

// Drop-down combo boxes (with an edit field or a list only). The list drops down as the host's
// own pop-up (headless: the window system's scripted answers). A click opens it (on a box with an
// edit field only a click on the button), and so do F4 and Alt+Down or Alt+Up; the other arrows,
// Home and End choose an entry of the closed box at once and send kCbnSelChange.
class ComboBox : public ListControl {
 public:
  // Width of the button at the right end of the box.
  static constexpr int kButtonWidth = 17;
  // Height of the closed box; the rest of a taller rectangle is the dropped list's.
  static constexpr int kClosedHeight = 21;

  explicit ComboBox(ControlKind kind = ControlKind::kComboDropList) : ListControl(kind) {}
  // -1 clears the choice; an index out of range clears it and returns -1.
  int SetCurSel(int index);
  std::string GetLBText(int index) const { return EntryText(index); }
  // -1 when not found; case-insensitive as the platform compares.
  int FindStringExact(int start_after, std::string_view text) const;
  // Chooses the first entry that begins with text; its index, or -1.
  int SelectString(int start_after, std::string_view text);
  // The user chose an entry: it becomes current and kCbnSelChange goes to the parent.
  void SelectFromUser(int index);
  // The user typed into the edit field: no entry is current, the text changes and the parent gets
  // kCbnEditUpdate and kCbnEditChange.
  void SetEditTextFromUser(std::string_view text);
  // Drops the list down and waits for the user: kCbnDropDown first (the parent may still fill
  // the list), then the list shows; an entry chosen becomes current and the parent gets
  // kCbnSelEndOk, kCbnCloseUp and kCbnSelChange, a list closed without a choice kCbnSelEndCancel
  // and kCbnCloseUp. Returns the index chosen, -1 for none. A disabled box, or one whose list is
  // down already, does nothing and returns -1.
  int DropDown();
  bool GetDroppedState() const { return dropped_; }
  // For a host that shows the box as a widget with a list of its own: the user opened the list,
  // and closed it choosing index (-1 none). They send what DropDown sends.
  void DroppedDownFromUser();
  void ClosedUpFromUser(int index);
  // For a host that shows the entries itself: draws entry index into rect of canvas, as the box
  // would draw it, and says so; false when the entries are their texts.
  virtual bool DrawListEntry(gfx::Canvas& canvas, const gfx::Rect& rect, int index) { return false; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;

 private:
  // The choice of the closed box moved by the keyboard.
  void StepSelection(int index);
  bool dropped_ = false;
};

class ListBox : public ListControl {
 public:
  ListBox() : ListControl(ControlKind::kListBox) {}
  int SetCurSel(int index);
  std::string GetText(int index) const { return EntryText(index); }
  bool IsMultiSelect() const { return (ControlStyle() & (kLbsMultipleSel | kLbsExtendedSel)) != 0; }
  int SetSel(int index, bool select);
  int GetSel(int index) const;
  std::vector<int> GetSelItems() const;
  void SelectFromUser(int index);
  void DoubleClickFromUser(int index);

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
};

// Item states of list views.
inline constexpr unsigned kLvisFocused = 0x0001;
inline constexpr unsigned kLvisSelected = 0x0002;
inline constexpr unsigned kLvisDropHilited = 0x0008;
inline constexpr unsigned kLvisStateImageMask = 0xF000;
// GetNextItem flags.
inline constexpr unsigned kLvniAll = 0x0000;
inline constexpr unsigned kLvniFocused = 0x0001;
inline constexpr unsigned kLvniSelected = 0x0002;
// Image lists of a list view.
inline constexpr int kLvsilNormal = 0;
inline constexpr int kLvsilSmall = 1;
inline constexpr int kLvsilState = 2;
// Column formats.
inline constexpr int kLvcfmtLeft = 0;
inline constexpr int kLvcfmtRight = 1;
inline constexpr int kLvcfmtCenter = 2;

// The kWmNotify record of list views (kLvnItemChanged, kNmDblClk).
struct NmListView {
  NotifyHeader header;
  int item = -1;
  int sub_item = 0;
  unsigned new_state = 0;
  unsigned old_state = 0;
  uintptr_t data = 0;
};

// Report-style list views: columns, rows with sub-item texts, item data, images and states.
class ListView : public Control {
 public:
  struct Column {
    std::string text;
    int format = kLvcfmtLeft;
    int width = 0;
  };
  struct Item {
    std::vector<std::string> texts;  // [0] the label, then the sub-items
    uintptr_t data = 0;
    int image = -1;
    unsigned state = 0;
  };

  ListView() : Control(ControlKind::kListView) {}
  int InsertColumn(int index, std::string_view text, int format = kLvcfmtLeft, int width = -1);
  int GetColumnCount() const { return static_cast<int>(columns_.size()); }
  const Column* GetColumn(int index) const;
  bool SetColumnWidth(int index, int width);

  // Returns the new row's index, or -1.
  int InsertItem(int index, std::string_view text, int image = -1);
  bool SetItemText(int item, int sub_item, std::string_view text);
  std::string GetItemText(int item, int sub_item) const;
  bool SetItemData(int item, uintptr_t data);
  uintptr_t GetItemData(int item) const;
  // -1 when the index is out of range.
  int GetItemImage(int item) const;
  bool SetItemState(int item, unsigned state, unsigned mask);
  unsigned GetItemState(int item, unsigned mask) const;
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  int GetSelectedCount() const;
  // The next row after start (-1: from the first) with the flags' states; -1 when none.
  int GetNextItem(int start, unsigned flags) const;
  bool DeleteItem(int item);
  bool DeleteAllItems();
  // Orders the rows by their item data, as the comparison (data1, data2) says: < 0 first before.
  void SortItems(const std::function<int(uintptr_t, uintptr_t)>& compare);
  bool IsSingleSelection() const { return (ControlStyle() & kLvsSingleSel) != 0; }
  bool ShowsSelectionAlways() const { return (ControlStyle() & kLvsShowSelAlways) != 0; }
  // Not owned; nullptr removes it. Returns the list it replaced.
  const ImageList* SetImageList(const ImageList* list, int which);
  const ImageList* GetImageList(int which) const;
  // Height of a row and of the column header, in pixels.
  static constexpr int kRowHeight = 17;
  // The row's rectangle across all columns, and the rectangles of its first column.
  gfx::Rect ItemBounds(int item) const;
  gfx::Rect ItemLabelRect(int item) const;
  gfx::Rect ItemIconRect(int item) const;

  // The user selected these rows (clearing the others); the first becomes the focused row.
  void SelectFromUser(const std::vector<int>& rows);
  void DoubleClickFromUser(int row);
  const std::vector<Item>& Items() const { return items_; }
  const std::vector<Column>& Columns() const { return columns_; }
  // Row changes (texts and images; a new image list or a new column changes every row) and
  // selection changes (selected and focused states); the columns' own revision.
  const RowChangeLog& RowChanges() const { return row_changes_; }
  uint64_t ColumnRevision() const { return column_revision_; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;

 private:
  void SetStateNotify(int item, unsigned state, unsigned mask);
  int RowAt(gfx::Point point) const;

  std::vector<Column> columns_;
  std::vector<Item> items_;
  RowChangeLog row_changes_;
  uint64_t column_revision_ = 0;
  const ImageList* small_images_ = nullptr;
  const ImageList* state_images_ = nullptr;
  const ImageList* normal_images_ = nullptr;
};

class ProgressBar : public Control {
 public:
  ProgressBar() : Control(ControlKind::kProgressBar) {}
  void SetRange32(int lower, int upper);
  std::pair<int, int> GetRange() const { return {lower_, upper_}; }
  // The position is kept inside the range. Each returns the previous position.
  int SetPos(int pos);
  int GetPos() const { return pos_; }
  int OffsetPos(int delta);
  int SetStep(int step);
  int GetStep() const { return step_; }
  // Past the upper bound the bar starts over from the lower one, as the platform's does.
  int StepIt();
  bool IsSmooth() const { return (ControlStyle() & kPbsSmooth) != 0; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  int Clamp(int pos) const;
  int lower_ = 0;
  int upper_ = 100;
  int pos_ = 0;
  int step_ = 10;
};

// Track bars; a position change by the user sends kWmHScroll to the parent.
class Slider : public Control {
 public:
  Slider() : Control(ControlKind::kSlider) {}
  void SetRange(int min, int max, bool redraw = true);
  std::pair<int, int> GetRange() const { return {min_, max_}; }
  void SetPos(int pos);
  int GetPos() const { return pos_; }
  void SetPosFromUser(int pos);

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int pos_ = 0;
};

// An animation clip player. Opening needs the clip file; nothing is played headless.
class Animation : public Control {
 public:
  Animation() : Control(ControlKind::kAnimation) {}
  // False when the file does not exist.
  bool Open(std::string_view path);
  void Close();
  bool Play();
  void Stop() { playing_ = false; }
  bool IsOpen() const { return !clip_.empty(); }
  bool IsPlaying() const { return playing_; }
  const std::string& Clip() const { return clip_; }

 private:
  std::string clip_;
  bool playing_ = false;
};

// The kWmNotify code of a date and time change.
inline constexpr int kDtnDateTimeChange = -759;

// Date and time fields; the value shows as "dd.mm.yyyy hh:mm:ss" unless a format is set.
class DateTimePicker : public Control {
 public:
  DateTimePicker() : Control(ControlKind::kDateTimePicker) {}
  // none: no valid time (the field shows empty).
  void SetTime(std::optional<platform::LocalDateTime> value);
  const std::optional<platform::LocalDateTime>& GetTime() const { return value_; }
  void SetTimeFromUser(std::optional<platform::LocalDateTime> value);
  // The text the field shows.
  std::string Text() const;
  // A display format of the picker's own letters: d dd ddd dddd, M MM MMM MMMM, y yy yyyy,
  // h hh (12-hour), H HH, m mm, s ss, t tt (AM/PM), 'quoted text'; names are English. An empty
  // format restores the default.
  void SetFormat(std::string_view format);
  const std::string& GetFormat() const { return format_; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  std::optional<platform::LocalDateTime> value_;
  std::string format_;
};

class SpinButton : public Control {
 public:
  SpinButton() : Control(ControlKind::kSpin) {}
  void SetRange32(int lower, int upper);
  std::pair<int, int> GetRange() const { return {lower_, upper_}; }
  int SetPos32(int pos);
  int GetPos32() const { return pos_; }

 private:
  int lower_ = 0;
  int upper_ = 100;
  int pos_ = 0;
};

// The header of tabs of a property sheet or tab window.
class TabControl : public Control {
 public:
  TabControl() : Control(ControlKind::kTab) {}
  int InsertItem(int index, std::string_view text);
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  std::string GetItemText(int index) const;
  int GetCurSel() const { return cur_sel_; }
  // Without notification; returns the previous selection.
  int SetCurSel(int index);
  // The user clicked a tab: kTcnSelChanging asks the parent, which refuses with a nonzero
  // result; then the tab becomes current and kTcnSelChange follows. False when refused.
  bool SelectFromUser(int index);
  // Height of the tab row.
  static constexpr int kHeaderHeight = 22;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;

 private:
  gfx::Rect TabRect(int index) const;
  std::vector<std::string> items_;
  int cur_sel_ = -1;
};

// Characters of a UTF-8 text (what a user counts, and what a single-byte file stores).
size_t Utf8Length(std::string_view text);
// The first max_chars characters of a UTF-8 text.
std::string_view Utf8Prefix(std::string_view text, size_t max_chars);

// The control object of a kind (StaticControl, Button, Edit, ...).
std::unique_ptr<Control> MakeControl(ControlKind kind);
// The window style a template control is created with: visible unless hidden, disabled when
// asked, a tab stop for the controls that take input, the group bit and the kind's bits.
uint32_t TemplateControlStyle(const ControlTemplate& control);

}  // namespace win
