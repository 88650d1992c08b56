#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "win/window.h"

namespace win {

// The message a tab window's beam sends to the window when the user chooses a tab; wparam is the
// tab's index.
inline constexpr uint32_t kWmTabBeamSelect = 0x785;

// A window of several sheets with a beam of tabs along its bottom edge (the tab window of the
// table views): one sheet shows at a time, above the beam. The sheets are child windows of this
// one, made and owned by the caller. User-interface thread only.
class TabWindow : public Window {
 public:
  static constexpr int kBeamHeight = 18;

  // Adds sheet (a child of this window) under a tab; returns its index.
  int AddTab(Window& sheet, std::string_view name);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  std::string TabName(int index) const;
  Window* Sheet(int index) const;
  int CurrentTab() const { return current_; }
  // Shows the sheet of index and hides the others.
  void ActivateTab(int index);
  // The user chose tab index in the beam.
  void SelectTabFromUser(int index);

  // The beam's fonts: the current tab's and the others'.
  const gfx::Font& BeamCurrentFont() const { return beam_current_font_; }
  const gfx::Font& BeamNormalFont() const { return beam_normal_font_; }
  void SetBeamFonts(const gfx::Font& current, const gfx::Font& normal);

  std::string_view ClassName() const override { return "TabWindow"; }

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;

 private:
  struct Tab {
    std::string name;
    Window* sheet;
  };
  gfx::Rect TabRect(int index) const;
  void PlaceSheets();

  std::vector<Tab> tabs_;
  int current_ = -1;
  gfx::Font beam_current_font_{-11, 0, 0, gfx::kFwBold, false, false, false, "Arial"};
  gfx::Font beam_normal_font_{-11, 0, 0, gfx::kFwNormal, false, false, false, "Arial"};
};

}  // namespace win
