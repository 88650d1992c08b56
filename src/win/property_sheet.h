#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win/controls.h"
#include "win/dialog.h"

namespace win {

class PropertySheet;

// Control ids of a sheet's own controls.
inline constexpr int kIdApplyNow = 0x3021;
inline constexpr int kIdHelp = 9;
inline constexpr int kIdSheetTab = 0x3020;

// One page of a property sheet: a child dialog made from its template the first time the sheet
// shows it. A page that was never shown has no window, and its members keep the values its owner
// gave them. User-interface thread only.
class PropertyPage : public Dialog {
 public:
  // caption_id 0: the tab shows the template's caption.
  explicit PropertyPage(int template_id, int caption_id = 0);

  std::string Caption() const;
  // A tab text of the page's own, in place of the caption string or the template's caption.
  void SetCaption(std::string caption) { caption_text_ = std::move(caption); }
  PropertySheet* Sheet() const { return sheet_; }
  // Marks the page changed: the sheet enables its Apply button.
  void SetModified(bool changed = true);
  bool IsModified() const { return modified_; }

  // The page becomes the sheet's current page. The base reloads the controls from the members,
  // except the first time (its creation loaded them). False keeps the page from being shown.
  virtual bool OnSetActive();
  // The page is to be left (another tab, OK, Apply): the base saves and checks the data; false
  // (a failed check) keeps the page current and the sheet open.
  virtual bool OnKillActive();
  // OK or Apply, for every page that has been created, after OnKillActive of the current one.
  // The base clears the changed mark.
  void OnOK() override;
  // Cancel, for every created page. The base does nothing.
  void OnCancel() override;
  // The base calls OnOK and returns true; false keeps the sheet open on this page.
  virtual bool OnApply();
  // The base calls OnCancel.
  virtual void OnReset();
  // Asked of the current page before Cancel; false keeps the sheet open.
  virtual bool OnQueryCancel() { return true; }

  // Makes the page's window inside the sheet at rect (pixels of the sheet's client area).
  bool CreatePage(PropertySheet& sheet, const gfx::Rect& rect);

 private:
  friend class PropertySheet;
  int caption_id_ = 0;
  std::string caption_text_;
  PropertySheet* sheet_ = nullptr;
  bool first_set_active_ = true;
  bool modified_ = false;
};

// A property sheet: a tab row over the pages and the buttons OK, Cancel, Apply and (when asked)
// Help. Pages are not owned. Sized to hold its largest page. Run modally like a dialog; it ends
// with kIdOk or kIdCancel. User-interface thread only.
class PropertySheet : public Dialog {
 public:
  PropertySheet(int caption_id, Window* parent = nullptr, int select_page = 0);
  PropertySheet(std::string caption, Window* parent = nullptr, int select_page = 0);
  ~PropertySheet() override;

  void AddPage(PropertyPage& page);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  PropertyPage* GetPage(int index) const;
  int GetPageIndex(const PropertyPage& page) const;
  int GetActiveIndex() const { return IsWindow() ? active_ : start_page_; }
  PropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
  // Before the window exists: the page shown first. Afterwards: the current page must let go
  // (OnKillActive), then the page is created if it never was and shown. False when refused.
  bool SetActivePage(int index);
  bool SetActivePage(PropertyPage& page) { return SetActivePage(GetPageIndex(page)); }
  void SetTitle(std::string_view title);

  // Without Apply (the platform's "no apply now" flag); with or without Help.
  void SetApplyButton(bool shown) { show_apply_ = shown; }
  void SetHelpButton(bool shown) { show_help_ = shown; }
  bool HasApplyButton() const { return show_apply_; }
  bool HasHelpButton() const { return show_help_; }
  // As if the user pressed the sheet's button kIdOk, kIdCancel, kIdApplyNow or kIdHelp.
  void PressButton(int id);
  // Enables Apply when a page is marked changed.
  void PageModified();

  // Where pages lie in the client area.
  const gfx::Rect& PageRect() const { return page_rect_; }
  TabControl& Tabs() { return tabs_; }

 protected:
  bool CreateDialogWindow(Window* parent, bool child) override;
  // Shows the first page, whose creation puts the focus on its first field.
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  virtual void OnApplyNow();
  bool OnNotify(const NotifyHeader& header, LResult* result) override;

 private:
  bool ShowPage(int index);
  void LayOut();

  std::vector<PropertyPage*> pages_;
  int start_page_ = 0;
  int active_ = -1;
  bool show_apply_ = true;
  bool show_help_ = false;
  std::string caption_;
  gfx::Rect page_rect_;
  TabControl tabs_;
  Button ok_{ControlKind::kDefPushButton};
  Button cancel_{ControlKind::kPushButton};
  Button apply_{ControlKind::kPushButton};
  Button help_{ControlKind::kPushButton};
};

}  // namespace win
