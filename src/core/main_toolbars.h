#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/core_resources.h"
#include "gfx/drawing_types.h"
#include "win/controls.h"
#include "win/toolbar_window.h"
#include "win/window.h"

namespace win {
class FrameWindow;
}

// The program's toolbars: a win::ToolBarWindow of the frame, filled from a toolbar resource, whose
// buttons show the program's own pictures. Tool tips are the part of the command's string after
// the line end (a button's own, else the command's), fly-by prompts go to the frame's message
// pane, which shows "Ready" when the pointer leaves the bar. User-interface thread only.
class ToolBarWnd : public win::ToolBarWindow {
 public:
  // Creates the bar in the frame from toolbar resource resource_id; false when it cannot be
  // created.
  bool CreateBar(win::FrameWindow& frame, int resource_id, const gfx::Rect& rect, int id);

 protected:
  void DrawButtonImage(gfx::Canvas& canvas, const win::ToolButton& button, const gfx::Rect& box,
                       bool enabled) override;
  std::string ToolTipText(int id) const override;

 private:
  std::vector<ToolGlyph> glyphs_;
};

// The main toolbar (resource 306): open, save, recorder, analysis, print, send and About, with
// drop-down arrows on 32821, 57601, 57603, 33216, 32817 and 32816.
class CMainToolBar : public ToolBarWnd {
 public:
  // 1, or -1 when the bar cannot be created.
  int CreateBar(win::FrameWindow& frame, const gfx::Rect& rect);
};

// The combo box of the time-span toolbar: a click opens its entries as a pop-up list.
class TimeSpanCombo : public win::ComboBox {
 public:
  TimeSpanCombo() : win::ComboBox(win::ControlKind::kComboDropList) {}
  // Opens the list as a click does; returns the index chosen, -1 for none. on_open lets tests
  // drive the list.
  int DropDown(const std::function<void(class PopupMenuWnd&)>& on_open = {});

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  // The box takes no keys: its list opens from the mouse only.
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override {}
};

// The time-span toolbar (resource 326): its button 33312 is the place of a static control and a
// drop-down combo box (both id 33312) with the spans of the recording. The combo and the table of
// span codes behind its entries are the program's one instance (the last bar created).
class CTimeSpanToolBar : public ToolBarWnd {
 public:
  // Span codes: 0 all, 1 24 h, 2 12 h, 3 6 h, 4 3 h.
  static constexpr int kSpanAll = 0;
  static constexpr int kComboWidth = 80;

  ~CTimeSpanToolBar() override;
  // 1, or -1 when the bar cannot be created.
  int CreateBar(win::FrameWindow& frame, const gfx::Rect& rect);

  // The code of the selected entry (0 when there is none).
  static int GetSelectedSpan();
  // Whether the combo offers more than one entry.
  static bool HasSpanChoice();
  // The choices for a recording of this many minutes: "All", and "24h", "12h", " 6h", " 3h" for
  // each span the recording is longer than; the first is selected.
  static void FillSpans(int minutes);
  // The live bar, nullptr when none.
  static CTimeSpanToolBar* Current();

  TimeSpanCombo& Combo() { return combo_; }
  const std::vector<int>& SpanCodes() const { return codes_; }

 protected:
  void OnDestroy() override;

 private:
  void AddSpan(std::string_view text, int code);

  win::StaticControl label_;
  TimeSpanCombo combo_;
  std::vector<int> codes_;
  gfx::Font font_;
};
