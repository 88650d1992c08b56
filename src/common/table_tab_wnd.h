#pragma once

#include <cstdint>

#include "gfx/drawing_types.h"
#include "platform/ids.h"
#include "win/tab_window.h"

// The tab window of the statistics tables: a tab window that tells its parent which tab the user
// chose (message 2026, the tab in wparam) before it switches, and whose beam writes with copies of
// its fonts made for the default character set. User-interface thread only.
class CTableTabWnd : public win::TabWindow {
 public:
  static constexpr uint32_t kTabChosenMessage = msg::kTableTabChosen;

  CTableTabWnd() = default;
  ~CTableTabWnd() override;

  // The window creation and the extended creation; both install the beam's font copies.
  bool Create(win::Window* parent, const gfx::Rect& rect, int id);
  bool CreateEx(uint32_t ex_style, win::Window* parent, const gfx::Rect& rect, int id);

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void InstallFontCopies();

  gfx::Font original_current_;
  gfx::Font original_normal_;
  bool installed_ = false;
};
