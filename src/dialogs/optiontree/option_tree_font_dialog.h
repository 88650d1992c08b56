#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/optiontree/option_tree_color_button.h"
#include "gfx/drawing_types.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/font_database.h"
#include "win/window.h"

namespace platform {
class ResourcePack;
}

namespace dialogs {

// A logical font as the option tree keeps one: height in pixels (negative: the character height,
// positive: the cell height), width 0 for the face's proportions, weight 400 or 700, and the
// one-byte flags and classes of the platform's record (1 means set).
struct FontDescription {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  uint8_t char_set = 0;
  uint8_t out_precision = 0;
  uint8_t clip_precision = 0;
  uint8_t quality = 0;
  uint8_t pitch_and_family = 0;
  std::string face_name;
  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// Mask and effect bits of a rich-text character format.
inline constexpr uint32_t kCfmBold = 0x00000001;
inline constexpr uint32_t kCfmItalic = 0x00000002;
inline constexpr uint32_t kCfmUnderline = 0x00000004;
inline constexpr uint32_t kCfmStrikeOut = 0x00000008;
inline constexpr uint32_t kCfmCharSet = 0x08000000;
inline constexpr uint32_t kCfmFace = 0x20000000;
inline constexpr uint32_t kCfmColor = 0x40000000;
inline constexpr uint32_t kCfmSize = 0x80000000;
inline constexpr uint32_t kCfeBold = 0x0001;
inline constexpr uint32_t kCfeItalic = 0x0002;
inline constexpr uint32_t kCfeUnderline = 0x0004;
inline constexpr uint32_t kCfeStrikeOut = 0x0008;

// A rich-text character format: size in twips, colour 0x00BBGGRR.
struct CharacterFormat {
  uint32_t mask = 0;
  uint32_t effects = 0;
  int32_t height_twips = 0;
  int32_t offset_twips = 0;
  gfx::Color text_color = 0;
  uint8_t char_set = 0;
  uint8_t pitch_and_family = 0;
  std::string face_name;
  friend bool operator==(const CharacterFormat&, const CharacterFormat&) = default;
};

// Twips = |height| x (1440 / resolution), the division first (15 at 96 pixels per inch).
CharacterFormat CharFormatFromFont(const FontDescription& font, gfx::Color text_color,
                                   int pixels_per_inch = win::kScreenLogPixelsY);
// Height = |twips x resolution / 1440|; weight 700 or 400; character set and precisions 0.
FontDescription FontFromCharFormat(const CharacterFormat& format,
                                   int pixels_per_inch = win::kScreenLogPixelsY);
// The drawing font of a description; none when no font can be made of it (no face name).
std::optional<gfx::Font> CreateFontFrom(const FontDescription& font);
// The platform's multiply-divide: a x b / c rounded half away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The face box of the font dialog: one entry per face, its text the face name, each with the
// face's font type and description. Faces are unique regardless of case.
class COptionTreeFontFaceCombo : public win::ComboBox {
 public:
  COptionTreeFontFaceCombo() : win::ComboBox(win::ControlKind::kComboBox) {}
  // The entry index, or -1 when the face is already listed.
  int AddFont(const FontDescription& font, int font_type);
  // index -1: the current entry. None when there is no such entry.
  std::optional<FontDescription> GetLogFont(int index = -1) const;
  // 0 when there is no such entry.
  int GetFontType(int index = -1) const;
  std::string GetCurrentFace() const;
  // 1 when a face of exactly that name (any case) is listed and now current, else 0.
  int SelectFace(std::string_view name);
  void ResetContent();
  // One entry; rect is the entry's whole rectangle.
  static void DrawEntry(gfx::Canvas& canvas, const gfx::Rect& rect, std::string_view face, int font_type,
                        bool selected, bool focused);

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  struct Record {
    int font_type = 0;
    FontDescription font;
  };
  // Parallel to the entries: AddFont appends to both.
  std::vector<Record> records_;
};

// The size box of the font dialog: entries are point sizes ("%d"), ordered by font size and free
// of duplicates; each entry's data is the font height in pixels (negative from points).
class COptionTreeFontSizeCombo : public win::ComboBox {
 public:
  COptionTreeFontSizeCombo() : win::ComboBox(win::ControlKind::kComboBox) {}
  // height 0 is computed from the points. The entry index, or -1 for a duplicate height.
  int AddSize(int points, int height);
  // index -1: the current entry, else the edit text as an exact entry, else as a number of
  // points (rounded); entry 0 when the text is no positive size.
  int GetHeight(int index = -1) const;
  // The edit text as a currency number (ten-thousandths); none when it is no finite number.
  std::optional<int64_t> GetSizeValue() const;
};

// Flags of the font dialog.
inline constexpr uint32_t kFontDlgCharFormat = 0x100;
inline constexpr uint32_t kFontDlgApplyButton = 0x200;
inline constexpr uint32_t kFontDlgDefaultButton = 0x400;
inline constexpr uint32_t kFontDlgPreviewText = 0x800;
inline constexpr uint32_t kFontDlgPreviewFaceName = 0x1000;
inline constexpr uint32_t kFontDlgNoEffects = 0x8000;
inline constexpr uint32_t kFontDlgNoColor = 0x20000;
inline constexpr uint32_t kFontDlgTrueTypeOnly = 0x40000;
inline constexpr uint32_t kFontDlgNoFace = 0x80000;
inline constexpr uint32_t kFontDlgNoStyle = 0x800000;

// Style codes, also the style box's item data.
inline constexpr int kFontStyleRegular = 64;
inline constexpr int kFontStyleBold = 32;
inline constexpr int kFontStyleItalic = 1;
inline constexpr int kFontStyleBoldItalic = 33;

// The modal font chooser of the option tree: face, style and size boxes, effects, text colour and
// a live preview. Works on font descriptions; character formats are converted at the screen's
// resolution. Ends with 139 (the current font then holds the choice), 140, or cancel.
// User-interface thread only.
class COptionTreeFontDialog : public win::Dialog {
 public:
  static constexpr int kTemplateId = 32000;
  static constexpr int kIdPreview = 152;
  static constexpr int kIdFace = 154;
  static constexpr int kIdStyle = 155;
  static constexpr int kIdSize = 156;
  static constexpr int kIdStrikeOut = 145;
  static constexpr int kIdUnderline = 146;
  static constexpr int kIdApply = 141;
  static constexpr int kIdDefault = 142;
  static constexpr int kIdColor = 143;
  static constexpr int kIdAccept = 139;
  static constexpr int kIdFaceAndSize = 140;
  // To the parent on kIdApply: wparam the user value, lparam a FontDescription* or, with
  // kFontDlgCharFormat, a CharacterFormat*.
  static constexpr uint32_t kApplyMessage = 2024;
  // From the colour button: a colour was chosen.
  static constexpr uint32_t kColorChosenMessage = 2028;

  COptionTreeFontDialog(uint32_t flags, const FontDescription& font, const FontDescription& default_font,
                        win::Window* parent = nullptr);
  COptionTreeFontDialog(uint32_t flags, const FontDescription& font, win::Window* parent = nullptr);
  COptionTreeFontDialog(uint32_t flags, const CharacterFormat& format, gfx::Color color,
                        const CharacterFormat& default_format, gfx::Color default_color,
                        win::Window* parent = nullptr);
  ~COptionTreeFontDialog() override;

  // Refills the controls when they exist.
  void SetLogFont(const FontDescription& font);
  void SetDefaultLogFont(const FontDescription& font) { default_font_ = font; }
  void SetCharFormat(const CharacterFormat& format);
  void SetDefaultCharFormat(const CharacterFormat& format);
  const FontDescription& GetLogFont() const { return cur_font_; }
  CharacterFormat GetCharFormat() const;

  void SetColor(gfx::Color color);
  gfx::Color GetColor() const;
  void SetDefaultColor(gfx::Color color);
  gfx::Color GetDefaultColor() const;
  void SetPreviewText(std::string_view text) { preview_text_ = text; }
  void SetUserValue(int value) { user_value_ = value; }
  uint32_t GetFlags() const { return flags_; }

  COptionTreeFontFaceCombo& FaceCombo() { return face_combo_; }
  COptionTreeFontSizeCombo& SizeCombo() { return size_combo_; }
  int GetCurrentStyle() const { return cur_style_; }
  const std::optional<gfx::Font>& GetPreviewFont() const { return preview_font_; }
  // The preview text as it shows now.
  std::string PreviewText() const;
  // The sample over rect, in the preview font and the chosen colour.
  void DrawPreview(gfx::Canvas& canvas, const gfx::Rect& rect) const;

 protected:
  bool OnInitDialog() override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  // The preview area: a window that lets the dialog draw the sample on it.
  class Preview : public win::Window {
   public:
    explicit Preview(const COptionTreeFontDialog& dialog) : dialog_(dialog) {}

   protected:
    void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

   private:
    const COptionTreeFontDialog& dialog_;
  };

  bool AllControlsExist() const;
  win::ComboBox* StyleCombo() const;
  void FillFaces();
  void FillSizesAndStyles();
  void SelectSizeAndStyle();
  void SelectFont(const FontDescription& font);
  void UpdatePreviewFont();
  // The choice of the controls; none without a current face.
  std::optional<FontDescription> TakeSelection() const;
  void SetCheck(int id, int check);
  // The colour the sample is drawn in: an automatic colour shows as the default one.
  gfx::Color SampleColor() const;

  std::optional<gfx::Font> preview_font_;
  int cur_style_ = kFontStyleRegular;
  int wanted_style_ = kFontStyleRegular;
  int style_avail_ = 0;
  int strike_out_ = 0;
  int underline_ = 0;
  std::string size_text_;
  FontDescription cur_font_;
  FontDescription default_font_;
  uint32_t flags_ = 0;
  std::string preview_text_;
  int user_value_ = 0;
  COptionTreeFontFaceCombo face_combo_;
  COptionTreeFontSizeCombo size_combo_;
  COptionTreeFontSelColorButton color_button_;
  Preview preview_{*this};
};

// Template 32000 and the style names and sample text, English or German by pack.
void AddOptionTreeFontResources(platform::ResourcePack& pack);

}  // namespace dialogs
