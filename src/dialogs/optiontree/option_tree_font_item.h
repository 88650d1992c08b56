#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dialogs/optiontree/option_tree_font_dialog.h"
#include "dialogs/optiontree/option_tree_item.h"

namespace win {
class Window;
}

namespace dialogs {

// The row of a font and its text colour: the value column shows a sample, the face name or the
// caller's text in that font and colour; activating it runs the font dialog, and an accepted
// choice makes the row tall enough for the font. No editor window. Colours 0x00BBGGRR.
// User-interface thread only.
class COptionTreeFontItem : public COptionTreeItem {
 public:
  COptionTreeFontItem();

  // Each needs the item inserted in a control (false otherwise) and takes the row's height now
  // as the height to return to.
  bool CreateFontItem(const FontDescription& font, gfx::Color text_color, uint32_t options);
  bool CreateFontItem(const FontDescription& font, gfx::Color text_color, const FontDescription& default_font,
                      gfx::Color default_color, uint32_t options);
  bool CreateFontItem(const CharacterFormat& format, gfx::Color text_color, uint32_t options);
  bool CreateFontItem(const CharacterFormat& format, gfx::Color text_color,
                      const CharacterFormat& default_format, gfx::Color default_color, uint32_t options);

  void SetCharFormat(const CharacterFormat& format) { font_ = FontFromCharFormat(format); }
  void SetDefaultCharFormat(const CharacterFormat& format) { default_font_ = FontFromCharFormat(format); }
  // The font given as a character format in the item's text colour.
  CharacterFormat GetCharFormat(const FontDescription& font) const {
    return CharFormatFromFont(font, text_color_);
  }
  const FontDescription& GetLogFont() const { return font_; }
  const FontDescription& GetDefaultLogFont() const { return default_font_; }

  void SetTextColor(gfx::Color color) { text_color_ = color; }
  gfx::Color GetTextColor() const { return text_color_; }
  void SetDefaultColor(gfx::Color color) { default_color_ = color; }
  gfx::Color GetDefaultColor() const { return default_color_; }
  // True when any of the bits is set.
  bool HasOption(uint32_t bits) const { return (options_ & bits) != 0; }
  // flag 1 sets the bits, any other value clears them.
  void SetOption(uint32_t bits, int flag);
  void SetCustomText(std::string_view text) { custom_text_ = text; }
  // The dialog's parent; none: the control.
  void SetOwnerWindow(win::Window* owner) { owner_ = owner; }

  // The text the value column shows.
  std::string ValueText() const;
  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;

 private:
  bool SetUp(uint32_t options);

  gfx::Color default_color_ = 0;
  gfx::Color text_color_ = 0;
  FontDescription font_;
  FontDescription default_font_;
  uint32_t options_ = 0;
  std::string custom_text_;
  win::Window* owner_ = nullptr;
  int base_height_ = 0;
};

}  // namespace dialogs
