#include "win/tab_window.h"

#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace win {
namespace {

constexpr int kTabWidth = 80;

}  // namespace

int TabWindow::AddTab(Window& sheet, std::string_view name) {
  tabs_.push_back({std::string(name), &sheet});
  if (current_ < 0) {
    ActivateTab(0);
  } else {
    sheet.ShowWindow(kSwHide);
  }
  PlaceSheets();
  Invalidate(true);
  return TabCount() - 1;
}

std::string TabWindow::TabName(int index) const {
  return index >= 0 && index < TabCount() ? tabs_[static_cast<size_t>(index)].name : std::string();
}

Window* TabWindow::Sheet(int index) const {
  return index >= 0 && index < TabCount() ? tabs_[static_cast<size_t>(index)].sheet : nullptr;
}

void TabWindow::ActivateTab(int index) {
  if (index < 0 || index >= TabCount()) return;
  current_ = index;
  for (int i = 0; i < TabCount(); ++i) {
    Window* sheet = tabs_[static_cast<size_t>(i)].sheet;
    if (sheet->IsWindow()) sheet->ShowWindow(i == index ? kSwShow : kSwHide);
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void TabWindow::SelectTabFromUser(int index) {
  if (index < 0 || index >= TabCount() || !IsInputEnabled()) return;
  SendMessage(kWmTabBeamSelect, static_cast<WParam>(index), 0);
}

void TabWindow::SetBeamFonts(const gfx::Font& current, const gfx::Font& normal) {
  beam_current_font_ = current;
  beam_normal_font_ = normal;
  Invalidate(true);
}

LResult TabWindow::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  if (message == kWmTabBeamSelect) {
    ActivateTab(static_cast<int>(wparam));
    return 0;
  }
  return Window::WindowProc(message, wparam, lparam);
}

void TabWindow::OnSize(int type, int cx, int cy) { PlaceSheets(); }

void TabWindow::PlaceSheets() {
  const gfx::Rect client = GetClientRect();
  const gfx::Rect area{0, 0, client.right, std::max(0, client.bottom - kBeamHeight)};
  for (const Tab& tab : tabs_) {
    if (tab.sheet->IsWindow() && tab.sheet->GetParent() == this) tab.sheet->MoveWindow(area);
  }
}

gfx::Rect TabWindow::TabRect(int index) const {
  const int top = GetClientRect().bottom - kBeamHeight;
  return {index * kTabWidth, top, (index + 1) * kTabWidth, top + kBeamHeight};
}

void TabWindow::OnLButtonDown(unsigned flags, gfx::Point point) {
  for (int i = 0; i < TabCount(); ++i) {
    if (TabRect(i).Contains(point)) {
      SelectTabFromUser(i);
      return;
    }
  }
}

void TabWindow::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect({0, client.bottom - kBeamHeight, client.right, client.bottom}, GetSysColor(SysColor::kBtnFace));
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  for (int i = 0; i < TabCount(); ++i) {
    gfx::Rect tab = TabRect(i);
    canvas.FillSolidRect(tab, i == current_ ? GetSysColor(SysColor::kWindow) : GetSysColor(SysColor::kBtnFace));
    canvas.FrameRect(tab, {gfx::BrushStyle::kSolid, GetSysColor(SysColor::kBtnShadow)});
    const gfx::Font old_font = canvas.SelectFont(i == current_ ? beam_current_font_ : beam_normal_font_);
    canvas.DrawText(tabs_[static_cast<size_t>(i)].name, tab,
                    gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis);
    canvas.SelectFont(old_font);
  }
  canvas.SetBkMode(old_mode);
}

}  // namespace win
