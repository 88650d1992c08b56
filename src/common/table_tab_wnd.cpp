#include "common/table_tab_wnd.h"

CTableTabWnd::~CTableTabWnd() {
  // The beam gets its own fonts back before the copies go.
  if (installed_) SetBeamFonts(original_current_, original_normal_);
}

bool CTableTabWnd::Create(win::Window* parent, const gfx::Rect& rect, int id) {
  if (!win::TabWindow::Create(parent, rect, win::kWsChild | win::kWsVisible | win::kWsClipChildren, id)) return false;
  InstallFontCopies();
  return true;
}

bool CTableTabWnd::CreateEx(uint32_t ex_style, win::Window* parent, const gfx::Rect& rect, int id) {
  if (!win::TabWindow::Create(parent, rect, win::kWsChild | win::kWsVisible | win::kWsClipChildren, id, {},
                              ex_style)) {
    return false;
  }
  InstallFontCopies();
  return true;
}

void CTableTabWnd::InstallFontCopies() {
  if (installed_) return;
  original_current_ = BeamCurrentFont();
  original_normal_ = BeamNormalFont();
  // Fonts here carry no character set: the copies are the fonts themselves, which any text of
  // the program can be written with.
  SetBeamFonts(original_current_, original_normal_);
  installed_ = true;
}

win::LResult CTableTabWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmTabBeamSelect) {
    if (win::Window* parent = GetParent()) parent->SendMessage(kTabChosenMessage, wparam, lparam);
  }
  return win::TabWindow::WindowProc(message, wparam, lparam);
}
