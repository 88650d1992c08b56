#include "win/property_sheet.h"

#include <algorithm>

#include "platform/resources.h"
#include "win/system_metrics.h"
#include "win/win_strings.h"

namespace win {
namespace {

constexpr int kMargin = 7;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

}  // namespace

// ---------------------------------------------------------------------------------------------
// PropertyPage

PropertyPage::PropertyPage(int template_id, int caption_id) : Dialog(template_id), caption_id_(caption_id) {}

std::string PropertyPage::Caption() const {
  if (!caption_text_.empty()) return caption_text_;
  if (caption_id_ != 0) return platform::LoadString(caption_id_);
  if (IsWindow()) return GetWindowText();
  const DialogTemplate* t = Templates().Find(TemplateId());
  return t != nullptr && t->caption != nullptr ? t->caption : std::string();
}

void PropertyPage::SetModified(bool changed) {
  modified_ = changed;
  if (sheet_ != nullptr) sheet_->PageModified();
}

bool PropertyPage::OnSetActive() {
  if (first_set_active_) {
    first_set_active_ = false;
  } else {
    UpdateData(false);
  }
  return true;
}

bool PropertyPage::OnKillActive() { return UpdateData(true); }

void PropertyPage::OnOK() { modified_ = false; }

void PropertyPage::OnCancel() {}

bool PropertyPage::OnApply() {
  OnOK();
  return true;
}

void PropertyPage::OnReset() { OnCancel(); }

bool PropertyPage::CreatePage(PropertySheet& sheet, const gfx::Rect& rect) {
  if (IsWindow()) return true;
  sheet_ = &sheet;
  first_set_active_ = true;
  modified_ = false;
  SetParentWindow(&sheet);
  BindControls();
  if (!CreateDialogWindow(&sheet, true)) return false;
  MoveWindow(rect, false);
  InitDialogWindow();
  return IsWindow();
}

// ---------------------------------------------------------------------------------------------
// PropertySheet

PropertySheet::PropertySheet(int caption_id, Window* parent, int select_page)
    : PropertySheet(platform::LoadString(caption_id), parent, select_page) {}

PropertySheet::PropertySheet(std::string caption, Window* parent, int select_page)
    : Dialog(0, parent), start_page_(select_page), caption_(std::move(caption)) {
  AddCommand(kIdApplyNow, [this] { OnApplyNow(); });
  AddCommand(kIdHelp, [] {});
}

PropertySheet::~PropertySheet() { DestroyWindow(); }

void PropertySheet::AddPage(PropertyPage& page) {
  pages_.push_back(&page);
  page.sheet_ = this;
  if (IsWindow()) {
    tabs_.InsertItem(-1, page.Caption());
    LayOut();
  }
}

PropertyPage* PropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int PropertySheet::GetPageIndex(const PropertyPage& page) const {
  const auto it = std::find(pages_.begin(), pages_.end(), &page);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void PropertySheet::SetTitle(std::string_view title) {
  caption_ = std::string(title);
  if (IsWindow()) SetWindowText(caption_);
}

bool PropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return false;
  if (!IsWindow()) {
    start_page_ = index;
    return true;
  }
  if (index == active_) return true;
  if (PropertyPage* current = GetPage(active_); current != nullptr && !current->OnKillActive()) return false;
  return ShowPage(index);
}

bool PropertySheet::ShowPage(int index) {
  PropertyPage* page = GetPage(index);
  if (page == nullptr) return false;
  if (!page->IsWindow() && !page->CreatePage(*this, page_rect_)) return false;
  if (!page->OnSetActive()) return false;
  if (PropertyPage* old = GetPage(active_); old != nullptr && old != page) old->ShowWindow(kSwHide);
  active_ = index;
  tabs_.SetCurSel(index);
  page->ShowWindow(kSwShow);
  return true;
}

void PropertySheet::LayOut() {
  gfx::Size page_size{DluToPixelsX(212), DluToPixelsY(114)};
  bool any = false;
  for (const PropertyPage* page : pages_) {
    if (const DialogTemplate* t = Templates().Find(page->TemplateId())) {
      const gfx::Size size = DialogPixelSize(*t);
      page_size = any ? gfx::Size{std::max(page_size.cx, size.cx), std::max(page_size.cy, size.cy)} : size;
      any = true;
    }
  }
  const gfx::Rect tab_rect{kMargin, kMargin, kMargin + page_size.cx + 4,
                           kMargin + TabControl::kHeaderHeight + page_size.cy + 4};
  page_rect_ = {tab_rect.left + 2, tab_rect.top + TabControl::kHeaderHeight + 1, tab_rect.left + 2 + page_size.cx,
                tab_rect.top + TabControl::kHeaderHeight + 1 + page_size.cy};
  const int row_top = tab_rect.bottom + kMargin;
  const int width = std::max<int>(tab_rect.right + kMargin, 4 * (kButtonWidth + kButtonGap) + 2 * kMargin);
  const int height = row_top + kButtonHeight + kMargin;
  const gfx::Rect window = GetWindowRectInParent();
  MoveWindow({window.left, window.top, window.left + width, window.top + height}, false);
  tabs_.MoveWindow(tab_rect, false);
  // The buttons shown, right-aligned in this order.
  std::vector<Button*> row{&ok_, &cancel_};
  if (show_apply_) row.push_back(&apply_);
  if (show_help_) row.push_back(&help_);
  int right = width - kMargin;
  for (auto it = row.rbegin(); it != row.rend(); ++it) {
    (*it)->MoveWindow({right - kButtonWidth, row_top, right, row_top + kButtonHeight}, false);
    right -= kButtonWidth + kButtonGap;
  }
  for (PropertyPage* page : pages_) {
    if (page->IsWindow()) page->MoveWindow(page_rect_, false);
  }
  Invalidate(true);
}

bool PropertySheet::CreateDialogWindow(Window* parent, bool child) {
  if (!Create(parent, {0, 0, 100, 100}, kWsPopup | kWsCaption | kWsSysMenu, 0, caption_)) return false;
  SetFont(DialogFont(), false);
  const uint32_t button = kWsChild | kWsVisible | kWsTabStop;
  bool ok = tabs_.CreateControl(this, {}, kIdSheetTab, "", kWsChild | kWsVisible | kWsTabStop) &&
            ok_.CreateControl(this, {}, kIdOk, platform::LoadString(kIdsSheetOk), button) &&
            cancel_.CreateControl(this, {}, kIdCancel, platform::LoadString(kIdsSheetCancel), button) &&
            apply_.CreateControl(this, {}, kIdApplyNow, platform::LoadString(kIdsSheetApply),
                                 button | kWsDisabled) &&
            help_.CreateControl(this, {}, kIdHelp, platform::LoadString(kIdsSheetHelp), button);
  if (!ok) {
    DestroyWindow();
    return false;
  }
  if (!show_apply_) apply_.ShowWindow(kSwHide);
  if (!show_help_) help_.ShowWindow(kSwHide);
  for (const PropertyPage* page : pages_) tabs_.InsertItem(-1, page->Caption());
  active_ = -1;
  LayOut();
  CenterWindow();
  return true;
}

bool PropertySheet::OnInitDialog() {
  const int first = std::clamp(start_page_, 0, std::max(0, GetPageCount() - 1));
  if (GetPageCount() > 0) ShowPage(first);
  // The page's creation has put the focus on its first field.
  return false;
}

void PropertySheet::PageModified() {
  if (!IsWindow()) return;
  const bool any = std::any_of(pages_.begin(), pages_.end(), [](const PropertyPage* p) { return p->IsModified(); });
  apply_.EnableWindow(any);
}

void PropertySheet::OnOK() {
  if (PropertyPage* current = GetPage(active_); current != nullptr && !current->OnKillActive()) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    PropertyPage* page = pages_[static_cast<size_t>(i)];
    if (!page->IsWindow()) continue;
    if (!page->OnApply()) {
      ShowPage(i);
      return;
    }
  }
  EndDialog(kIdOk);
}

void PropertySheet::OnApplyNow() {
  if (PropertyPage* current = GetPage(active_); current != nullptr && !current->OnKillActive()) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    PropertyPage* page = pages_[static_cast<size_t>(i)];
    if (page->IsWindow() && !page->OnApply()) {
      ShowPage(i);
      return;
    }
  }
  PageModified();
}

void PropertySheet::OnCancel() {
  if (PropertyPage* current = GetPage(active_); current != nullptr && !current->OnQueryCancel()) return;
  for (PropertyPage* page : pages_) {
    if (page->IsWindow()) page->OnReset();
  }
  EndDialog(kIdCancel);
}

void PropertySheet::PressButton(int id) {
  Window* button = GetDlgItem(id);
  if (button == nullptr || !button->IsWindowVisible() || !button->IsInputEnabled()) return;
  SendMessage(kWmCommand, MakeWParam(id, kBnClicked), static_cast<LParam>(button->Handle()));
}

bool PropertySheet::OnNotify(const NotifyHeader& header, LResult* result) {
  if (header.from == tabs_.Handle()) {
    if (header.code == kTcnSelChanging) {
      PropertyPage* current = GetPage(active_);
      *result = current != nullptr && !current->OnKillActive() ? 1 : 0;
      return true;
    }
    if (header.code == kTcnSelChange) {
      const int wanted = tabs_.GetCurSel();
      if (!ShowPage(wanted)) tabs_.SetCurSel(active_);
      return true;
    }
  }
  return Dialog::OnNotify(header, result);
}

}  // namespace win
