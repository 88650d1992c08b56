#pragma once

#include <cstdint>
#include <string>

#include "gfx/drawing_types.h"
#include "win/controls.h"
#include "win/property_sheet.h"

// The base of the program's sheets that need one push button of their own (id 1264) in the lower
// left corner, next to the standard buttons: placed once when the sheet's window is made, with
// the message font and the text of string 30002. A derived sheet gives it its meaning by handling
// command 1264. User-interface thread only.
class TPropertySheet : public win::PropertySheet {
 public:
  static constexpr int kExtraButtonId = 1264;
  static constexpr int kExtraButtonText = 30002;

  TPropertySheet(int caption_id, win::Window* parent = nullptr, int select_page = 0);
  TPropertySheet(std::string caption, win::Window* parent = nullptr, int select_page = 0);

  win::Button& ExtraButton() { return extra_button_; }
  // 0 until the button exists, then 1; derived sheets use it as the button's state.
  uint8_t state = 0;

 protected:
  bool OnInitDialog() override;
  // The fallback of command 1264: a message box "XX".
  virtual void OnExtraButton();

 private:
  win::Button extra_button_;
  gfx::Font font_;
};
