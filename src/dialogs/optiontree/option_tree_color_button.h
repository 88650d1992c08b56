#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/controls.h"

namespace win {
class DataExchange;
}

namespace dialogs {

// A push button that draws a colour swatch and a drop-down arrow itself. A click opens the colour
// picker below it; the button follows the pick and tells its parent (wparam the colour, lparam the
// button's id): kWmColorButtonPickerOpened when the picker opens, kWmColorButtonPickerEnded when it
// ends (before the picker's own 2028 or 2029, which the button passes on), and 2025 after a
// choice that changed the colour and for every preview. Attach it to a dialog's push button id
// (Dialog::AttachControl or DdxControl). User-interface thread only.
class COptionTreeFontSelColorButton : public win::Button {
 public:
  // The colour value that shows the default colour.
  static constexpr gfx::Color kAutomaticColor = 0xFF000000;
  static constexpr uint32_t kWmColorButtonPickerOpened = 2026;
  static constexpr uint32_t kWmColorButtonPickerEnded = 2027;

  COptionTreeFontSelColorButton();

  gfx::Color GetColor() const { return color_; }
  // Redraws at once when the window exists.
  void SetColor(gfx::Color color);
  gfx::Color GetDefaultColor() const { return default_color_; }
  void SetDefaultColor(gfx::Color color) { default_color_ = color; }
  void SetDefaultText(std::string_view text) { default_text_ = text; }
  void SetCustomText(std::string_view text) { custom_text_ = text; }
  // When set, the button's colour follows the picker's preview.
  void SetTrackSelection(bool track) { track_ = track; }
  bool GetTrackSelection() const { return track_; }
  bool IsPickerOpen() const { return picker_open_; }
  // Opens the picker at the button's lower-left corner.
  void Click() override;

  std::string_view ClassName() const override { return "COptionTreeFontSelColorButton"; }
  // Its swatch and arrow are its own drawing, not a standard button's.
  bool IsOwnerDrawn() const override { return true; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  void TellParent(uint32_t message, gfx::Color color);

  gfx::Color color_ = kAutomaticColor;
  gfx::Color default_color_;
  std::string default_text_ = "Automatic";
  std::string custom_text_ = "More Colors...";
  bool picker_open_ = false;
  bool track_ = false;
};

// Saving stores the button's colour in value; loading sets the button's colour from it.
void ExchangeColorButton(win::DataExchange& dx, int id, gfx::Color& value);

}  // namespace dialogs
