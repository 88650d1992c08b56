#include "dialogs/optiontree/option_tree_font_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>
#include <span>

#include "gfx/canvas.h"
#include "platform/resources.h"
#include "win/dialog_layout.h"
#include "win/prompt.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::ControlKind;
using win::ControlLayout;
using Dlg = COptionTreeFontDialog;

constexpr int kStyleNameIds[] = {65049, 65050, 65051, 65052};
constexpr int kStyleCodes[] = {kFontStyleRegular, kFontStyleBold, kFontStyleItalic, kFontStyleBoldItalic};
constexpr int kSampleTextId = 65053;
constexpr int kStandardSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// Style availability marks collected while a face's styles are enumerated.
constexpr int kMarkRegular = kFontStyleRegular;
constexpr int kMarkBold = kFontStyleBold;
constexpr int kMarkItalic = kFontStyleItalic;
// The preview window lies inside the "Sample" frame, in dialog units.
constexpr gfx::Rect kPreviewDlu{13, 98, 221, 126};

constexpr win::DialogLayout kLayout{Dlg::kTemplateId, 292, 136};
constexpr ControlLayout kControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 98, 9},
    {Dlg::kIdFace, ControlKind::kComboBox, 7, 17, 98, 76},
    {-1, ControlKind::kStatic, 111, 7, 70, 9},
    {Dlg::kIdStyle, ControlKind::kComboDropList, 111, 17, 70, 76},
    {-1, ControlKind::kStatic, 187, 7, 40, 9},
    {Dlg::kIdSize, ControlKind::kComboBox, 187, 17, 40, 76},
    {-1, ControlKind::kGroupBox, 7, 40, 98, 42},
    {Dlg::kIdStrikeOut, ControlKind::kCheckBox, 13, 52, 86, 10},
    {Dlg::kIdUnderline, ControlKind::kCheckBox, 13, 66, 86, 10},
    {-1, ControlKind::kStatic, 111, 44, 70, 9},
    {Dlg::kIdColor, ControlKind::kPushButton, 111, 55, 70, 14},
    {-1, ControlKind::kGroupBox, 7, 88, 220, 42},
    {Dlg::kIdAccept, ControlKind::kDefPushButton, 235, 7, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 235, 24, 50, 14},
    {Dlg::kIdFaceAndSize, ControlKind::kPushButton, 235, 41, 50, 14},
    {Dlg::kIdApply, ControlKind::kPushButton, 235, 62, 50, 14, 0, win::kCtlHidden},
    {Dlg::kIdDefault, ControlKind::kPushButton, 235, 79, 50, 14, 0, win::kCtlHidden},
};
constexpr auto kEnglishControls = win::LocalizeControls(
    kControls, {"&Font:", "", "Font st&yle:", "", "&Size:", "", "Effects", "Stri&keout", "&Underline",
                "&Colour:", "", "Sample", "OK", "Cancel", "&Plain", "&Apply", "&Default"});
constexpr auto kGermanControls =
    win::LocalizeControls(kControls, {"&Schriftart:", "", "Schrifts&til:", "", "&Grad:", "", "Effekte",
                                      "&Durchgestrichen", "&Unterstrichen", "&Farbe:", "", "Beispiel", "OK",
                                      "Abbrechen", "&Einfach", "&Übernehmen", "&Standard"});
constexpr win::DialogTemplate kEnglishDialogs[] = {win::LocalizeDialog(kLayout, "Font", kEnglishControls)};
constexpr win::DialogTemplate kGermanDialogs[] = {
    win::LocalizeDialog(kLayout, "Schriftart", kGermanControls)};

constexpr platform::StringEntry kEnglishStrings[] = {
    {65049, "Regular"}, {65050, "Bold"}, {65051, "Italic"}, {65052, "Bold Italic"}, {65053, "AaBbYyZz"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {65049, "Standard"}, {65050, "Fett"}, {65051, "Kursiv"}, {65052, "Fett Kursiv"}, {65053, "AaBbYyZz"},
};

uintptr_t HeightData(int height) { return static_cast<uintptr_t>(static_cast<intptr_t>(height)); }
int DataHeight(uintptr_t data) { return static_cast<int>(static_cast<intptr_t>(data)); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Text to a currency value (ten-thousandths, half away from zero at the fifth decimal): blanks
// around, an optional sign, digits with at most one decimal point. None for anything else and
// beyond the currency range.
std::optional<int64_t> ParseCurrency(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max() / 10;
  int64_t value = 0;  // in ten-thousandths
  int decimals = -1;  // digits after the point; -1 before it
  bool digits = false;
  bool round_up = false;
  for (const char c : text) {
    if (c == '.' && decimals < 0) {
      decimals = 0;
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    digits = true;
    if (decimals >= 4) {
      if (decimals == 4) round_up = c >= '5';
      ++decimals;
      continue;
    }
    if (value > kMax) return std::nullopt;
    value = value * 10 + (c - '0');
    if (decimals >= 0) ++decimals;
  }
  if (!digits) return std::nullopt;
  for (int d = std::max(decimals, 0); d < 4; ++d) {
    if (value > kMax) return std::nullopt;
    value *= 10;
  }
  if (round_up) ++value;
  return negative ? -value : value;
}

// The two T's of a scalable face, 20 by 12 pixels from (x, y).
void DrawTrueTypeMark(gfx::Canvas& canvas, int x, int y) {
  const auto draw_t = [&canvas](int left, int top, gfx::Color color) {
    canvas.FillSolidRect({left, top, left + 10, top + 2}, color);
    canvas.FillSolidRect({left + 4, top + 2, left + 6, top + 9}, color);
  };
  draw_t(x + 2, y, gfx::Rgb(128, 128, 128));
  draw_t(x + 8, y + 3, gfx::Rgb(0, 0, 0));
}

}  // namespace

// --- conversions ---

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = std::abs(static_cast<int64_t>(c)) / 2;
  int64_t result = (std::abs(product) + half) / std::abs(static_cast<int64_t>(c));
  if ((product < 0) != (c < 0)) result = -result;
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(result);
}

CharacterFormat CharFormatFromFont(const FontDescription& font, gfx::Color text_color, int pixels_per_inch) {
  CharacterFormat format;
  format.mask =
      kCfmBold | kCfmItalic | kCfmUnderline | kCfmStrikeOut | kCfmSize | kCfmColor | kCfmFace | kCfmCharSet;
  if (font.weight >= gfx::kFwBold) format.effects |= kCfeBold;
  if (font.italic == 1) format.effects |= kCfeItalic;
  if (font.underline == 1) format.effects |= kCfeUnderline;
  if (font.strike_out == 1) format.effects |= kCfeStrikeOut;
  const int64_t twips = std::abs(static_cast<int64_t>(font.height)) * (1440 / std::max(pixels_per_inch, 1));
  format.height_twips = static_cast<int32_t>(std::min<int64_t>(twips, std::numeric_limits<int32_t>::max()));
  format.char_set = font.char_set;
  format.pitch_and_family = font.pitch_and_family;
  format.face_name = font.face_name;
  format.text_color = text_color;
  return format;
}

FontDescription FontFromCharFormat(const CharacterFormat& format, int pixels_per_inch) {
  FontDescription font;
  font.height =
      static_cast<int32_t>(std::abs(static_cast<int64_t>(format.height_twips) * pixels_per_inch / 1440));
  font.weight = (format.effects & kCfeBold) != 0 ? gfx::kFwBold : gfx::kFwNormal;
  font.italic = (format.effects & kCfeItalic) != 0 ? 1 : 0;
  font.underline = (format.effects & kCfeUnderline) != 0 ? 1 : 0;
  font.strike_out = (format.effects & kCfeStrikeOut) != 0 ? 1 : 0;
  font.pitch_and_family = format.pitch_and_family;
  font.face_name = format.face_name;
  return font;
}

std::optional<gfx::Font> CreateFontFrom(const FontDescription& font) {
  if (std::all_of(font.face_name.begin(), font.face_name.end(), IsBlank)) return std::nullopt;
  gfx::Font result;
  result.height = font.height;
  result.width = font.width;
  result.escapement = font.escapement;
  result.weight = font.weight == 0 ? gfx::kFwNormal : font.weight;
  result.italic = font.italic != 0;
  result.underline = font.underline != 0;
  result.strike_out = font.strike_out != 0;
  result.face = font.face_name;
  return result;
}

// --- COptionTreeFontFaceCombo ---

int COptionTreeFontFaceCombo::AddFont(const FontDescription& font, int font_type) {
  // Only an equal name is the same face: "Arial" must not hide behind "Arial Narrow".
  if (FindStringExact(-1, font.face_name) >= 0) return -1;
  const int index = AddString(font.face_name);
  if (index < 0) return -1;
  records_.insert(records_.begin() + index, Record{font_type, font});
  return index;
}

std::optional<FontDescription> COptionTreeFontFaceCombo::GetLogFont(int index) const {
  if (index == -1) index = GetCurSel();
  if (!IsIndex(index) || static_cast<size_t>(index) >= records_.size()) return std::nullopt;
  return records_[static_cast<size_t>(index)].font;
}

int COptionTreeFontFaceCombo::GetFontType(int index) const {
  if (index == -1) index = GetCurSel();
  if (!IsIndex(index) || static_cast<size_t>(index) >= records_.size()) return 0;
  return records_[static_cast<size_t>(index)].font_type;
}

std::string COptionTreeFontFaceCombo::GetCurrentFace() const { return GetLBText(GetCurSel()); }

int COptionTreeFontFaceCombo::SelectFace(std::string_view name) {
  const int index = FindStringExact(-1, name);
  if (index < 0) return 0;
  SetCurSel(index);
  return 1;
}

void COptionTreeFontFaceCombo::ResetContent() {
  win::ComboBox::ResetContent();
  records_.clear();
}

void COptionTreeFontFaceCombo::DrawEntry(gfx::Canvas& canvas, const gfx::Rect& rect, std::string_view face,
                                         int font_type, bool selected, bool focused) {
  if (face.empty()) return;
  const gfx::Color back = win::GetSysColor(selected ? win::SysColor::kHighlight : win::SysColor::kWindow);
  const gfx::Color fore =
      win::GetSysColor(selected ? win::SysColor::kHighlightText : win::SysColor::kWindowText);
  const int u = win::DluToPixelsX(4) / 4;  // a quarter of the horizontal base unit
  const gfx::Font old_font = canvas.SelectFont(win::DialogFont());
  const gfx::Color old_text = canvas.SetTextColor(fore);
  const gfx::Color old_back = canvas.SetBkColor(back);
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kOpaque);
  canvas.FillSolidRect(rect, back);
  const int text_height = canvas.GetTextExtent(face).cy;
  const int text_x = rect.left + 2 * u + 20;
  canvas.SaveDC();
  canvas.IntersectClipRect({text_x, rect.top, rect.right, rect.bottom});
  canvas.TextOut(text_x, rect.top + (rect.Height() - text_height) / 2, face);
  canvas.RestoreDC(-1);
  if ((font_type & win::kTrueTypeFontType) != 0)
    DrawTrueTypeMark(canvas, rect.left + u, rect.top + (rect.Height() - 12) / 2);
  if (focused) canvas.DrawFocusRect(rect);
  canvas.SetBkMode(old_mode);
  canvas.SetBkColor(old_back);
  canvas.SetTextColor(old_text);
  canvas.SelectFont(old_font);
}

void COptionTreeFontFaceCombo::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  win::ComboBox::OnPaint(canvas, update);
  const int index = GetCurSel();
  if (index < 0) return;
  const gfx::Rect client = GetClientRect();
  const gfx::Rect entry{client.left + 2, client.top + 2, client.right - kButtonWidth - 2,
                        client.top + std::min(client.Height(), 21) - 2};
  DrawEntry(canvas, entry, GetLBText(index), GetFontType(index), HasFocus(), false);
}

// --- COptionTreeFontSizeCombo ---

int COptionTreeFontSizeCombo::AddSize(int points, int height) {
  if (height == 0) height = -MulDiv(win::kScreenLogPixelsY, points, 72);
  const int count = GetCount();
  int at = count;
  for (int i = 0; i < count; ++i) {
    const int other = DataHeight(GetItemData(i));
    if (other == height) return -1;
    if (at == count && (height < 0 ? other < height : other > height)) at = i;
  }
  const int index = InsertString(at, std::to_string(points));
  if (index < 0) return -1;
  SetItemData(index, HeightData(height));
  return index;
}

std::optional<int64_t> COptionTreeFontSizeCombo::GetSizeValue() const {
  return ParseCurrency(GetWindowText());
}

int COptionTreeFontSizeCombo::GetHeight(int index) const {
  if (index != -1) return DataHeight(GetItemData(index));
  if (GetCurSel() >= 0) return DataHeight(GetItemData(GetCurSel()));
  // Only the whole text names an entry: a typed 7 is not 72.
  const int entry = FindStringExact(-1, GetWindowText());
  if (entry >= 0) return DataHeight(GetItemData(entry));
  const std::optional<int64_t> value = GetSizeValue();
  if (!value || *value <= 0) return DataHeight(GetItemData(0));
  const int64_t points = (*value + 5000) / 10000;
  if (points <= 0 || points > std::numeric_limits<int>::max()) return DataHeight(GetItemData(0));
  const int pixels = MulDiv(win::kScreenLogPixelsY, static_cast<int>(points), 72);
  if (pixels <= 0) return DataHeight(GetItemData(0));
  return -pixels;
}

// --- COptionTreeFontDialog ---

COptionTreeFontDialog::COptionTreeFontDialog(uint32_t flags, const FontDescription& font,
                                             const FontDescription& default_font, win::Window* parent)
    : win::Dialog(kTemplateId, parent), cur_font_(font), default_font_(default_font), flags_(flags) {
  AttachControl(kIdFace, face_combo_);
  AttachControl(kIdSize, size_combo_);
  AttachControl(kIdColor, color_button_);

  AddNotification(kIdFace, win::kCbnSelChange, [this] { FillSizesAndStyles(); });
  AddNotification(kIdFace, win::kCbnEditUpdate, [this] {
    const int index = face_combo_.FindStringExact(-1, face_combo_.GetWindowText());
    if (index < 0) return;
    face_combo_.SetCurSel(index);
    FillSizesAndStyles();
  });
  AddNotification(kIdSize, win::kCbnSelChange, [this] {
    size_text_ = size_combo_.GetLBText(size_combo_.GetCurSel());
    UpdatePreviewFont();
  });
  AddNotification(kIdSize, win::kCbnEditUpdate, [this] {
    size_text_ = size_combo_.GetWindowText();
    const int index = size_combo_.FindStringExact(-1, size_text_);
    if (index < 0) return;
    size_combo_.SetCurSel(index);
    UpdatePreviewFont();
  });
  const auto take_style = [this] {
    win::ComboBox* style = StyleCombo();
    if (style == nullptr) return;
    int index = style->GetCurSel();
    if (index < 0) index = style->FindStringExact(-1, style->GetWindowText());
    if (index < 0) return;
    cur_style_ = wanted_style_ = static_cast<int>(style->GetItemData(index));
    UpdatePreviewFont();
  };
  AddNotification(kIdStyle, win::kCbnSelChange, take_style);
  AddNotification(kIdStyle, win::kCbnEditChange, take_style);
  const auto take_effect = [this](int id, int& flag) {
    auto* box = Item<win::Button>(id);
    flag = box != nullptr && box->GetCheck() == win::kBstChecked ? 1 : 0;
    UpdatePreviewFont();
  };
  AddCommand(kIdStrikeOut, [this, take_effect] { take_effect(kIdStrikeOut, strike_out_); });
  AddCommand(kIdUnderline, [this, take_effect] { take_effect(kIdUnderline, underline_); });

  AddCommand(kIdAccept, [this] {
    if (const std::optional<FontDescription> chosen = TakeSelection()) cur_font_ = *chosen;
    EndDialog(kIdAccept);
  });
  AddCommand(kIdFaceAndSize, [this] {
    if (std::optional<FontDescription> face = face_combo_.GetLogFont(-1)) {
      face->height = size_combo_.GetHeight(-1);
      face->width = 0;
      cur_font_ = *face;
    }
    EndDialog(kIdFaceAndSize);
  });
  AddCommand(kIdDefault, [this] {
    SelectFont(default_font_);
    SetColor(GetDefaultColor());
    UpdatePreviewFont();
  });
  AddCommand(kIdApply, [this] {
    win::Window* parent = ParentWindow();
    if (parent == nullptr) return;
    const std::optional<FontDescription> chosen = TakeSelection();
    if (!chosen) return;
    CharacterFormat format = CharFormatFromFont(*chosen, GetColor());
    FontDescription font = *chosen;
    const win::LParam record = (flags_ & kFontDlgCharFormat) != 0 ? reinterpret_cast<win::LParam>(&format)
                                                                  : reinterpret_cast<win::LParam>(&font);
    parent->SendMessage(kApplyMessage, static_cast<win::WParam>(user_value_), record);
  });
}

COptionTreeFontDialog::COptionTreeFontDialog(uint32_t flags, const FontDescription& font, win::Window* parent)
    : COptionTreeFontDialog(flags, font, font, parent) {}

COptionTreeFontDialog::COptionTreeFontDialog(uint32_t flags, const CharacterFormat& format, gfx::Color color,
                                             const CharacterFormat& default_format, gfx::Color default_color,
                                             win::Window* parent)
    : COptionTreeFontDialog(flags, FontFromCharFormat(format), FontFromCharFormat(default_format), parent) {
  SetColor(color);
  SetDefaultColor(default_color);
}

COptionTreeFontDialog::~COptionTreeFontDialog() = default;

void COptionTreeFontDialog::SetLogFont(const FontDescription& font) {
  cur_font_ = font;
  SelectFont(font);
}

void COptionTreeFontDialog::SetCharFormat(const CharacterFormat& format) {
  SetLogFont(FontFromCharFormat(format));
}

void COptionTreeFontDialog::SetDefaultCharFormat(const CharacterFormat& format) {
  default_font_ = FontFromCharFormat(format);
}

CharacterFormat COptionTreeFontDialog::GetCharFormat() const {
  return CharFormatFromFont(cur_font_, GetColor());
}

void COptionTreeFontDialog::SetColor(gfx::Color color) {
  color_button_.SetColor(color);
  UpdatePreviewFont();
}
gfx::Color COptionTreeFontDialog::GetColor() const { return color_button_.GetColor(); }
void COptionTreeFontDialog::SetDefaultColor(gfx::Color color) { color_button_.SetDefaultColor(color); }
gfx::Color COptionTreeFontDialog::GetDefaultColor() const { return color_button_.GetDefaultColor(); }

gfx::Color COptionTreeFontDialog::SampleColor() const {
  const gfx::Color color = GetColor();
  return color == COptionTreeFontSelColorButton::kAutomaticColor ? GetDefaultColor() : color;
}

bool COptionTreeFontDialog::OnInitDialog() {
  win::Window* apply = GetDlgItem(kIdApply);
  win::Window* reset = GetDlgItem(kIdDefault);
  if (reset != nullptr && (flags_ & kFontDlgDefaultButton) != 0) {
    reset->ShowWindow(win::kSwShow);
    if (apply != nullptr && (flags_ & kFontDlgApplyButton) == 0)
      reset->MoveWindow(apply->GetWindowRectInParent());
  }
  if (apply != nullptr && (flags_ & kFontDlgApplyButton) != 0) apply->ShowWindow(win::kSwShow);

  const auto enable = [this](int id, bool on) {
    if (win::Window* control = GetDlgItem(id)) control->EnableWindow(on);
  };
  if ((flags_ & kFontDlgNoColor) != 0) enable(kIdColor, false);
  if ((flags_ & kFontDlgNoEffects) != 0) {
    enable(kIdStrikeOut, false);
    enable(kIdUnderline, false);
  }
  if ((flags_ & kFontDlgNoStyle) != 0) enable(kIdStyle, false);
  if ((flags_ & kFontDlgNoFace) != 0) enable(kIdFace, false);

  const gfx::Rect area{win::DluToPixelsX(kPreviewDlu.left), win::DluToPixelsY(kPreviewDlu.top),
                       win::DluToPixelsX(kPreviewDlu.right), win::DluToPixelsY(kPreviewDlu.bottom)};
  preview_.Create(this, area, win::kWsChild | win::kWsVisible, kIdPreview);

  FillFaces();
  UpdatePreviewFont();
  SelectFont(cur_font_);
  return win::Dialog::OnInitDialog();
}

win::LResult COptionTreeFontDialog::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kColorChosenMessage) {
    UpdatePreviewFont();
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

bool COptionTreeFontDialog::AllControlsExist() const {
  return IsWindow() && face_combo_.IsWindow() && size_combo_.IsWindow() && color_button_.IsWindow() &&
         StyleCombo() != nullptr && Item<win::Button>(kIdStrikeOut) != nullptr &&
         Item<win::Button>(kIdUnderline) != nullptr;
}

win::ComboBox* COptionTreeFontDialog::StyleCombo() const { return Item<win::ComboBox>(kIdStyle); }

void COptionTreeFontDialog::SetCheck(int id, int check) {
  if (auto* box = Item<win::Button>(id)) box->SetCheck(check);
}

void COptionTreeFontDialog::FillFaces() {
  if (!AllControlsExist()) return;
  face_combo_.ResetContent();
  for (const win::FontFamilyInfo& family : win::CurrentFontDatabase().Families()) {
    if (!family.scalable && (flags_ & kFontDlgTrueTypeOnly) != 0) continue;
    FontDescription face;
    face.weight = gfx::kFwNormal;
    face.face_name = family.name;
    face_combo_.AddFont(face, family.FontType());
  }
  if (face_combo_.SetCurSel(0) < 0) {
    for (const int id : {kIdFace, kIdSize, kIdStyle, kIdStrikeOut, kIdUnderline}) {
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
    }
    return;
  }
  FillSizesAndStyles();
}

void COptionTreeFontDialog::FillSizesAndStyles() {
  if (!AllControlsExist()) return;
  win::ComboBox& style = *StyleCombo();
  size_combo_.ResetContent();
  style.ResetContent();
  style_avail_ = 0;

  const int font_type = face_combo_.GetFontType(-1);
  const std::string face = face_combo_.GetCurrentFace();
  for (const win::FontStyleInfo& info : win::CurrentFontDatabase().Styles(face)) {
    const bool bold = info.weight >= gfx::kFwBold;
    if ((font_type & win::kTrueTypeFontType) != 0) {
      if (!info.italic && !bold) style_avail_ |= kMarkRegular;
      if (info.italic) style_avail_ |= kMarkItalic;
      if (bold) style_avail_ |= kMarkBold;
      continue;
    }
    if ((flags_ & kFontDlgTrueTypeOnly) != 0) continue;
    if (font_type == win::kRasterFontType && info.height_px > 0)
      size_combo_.AddSize(MulDiv(info.height_px, 72, win::kScreenLogPixelsY), info.height_px);
    if (bold)
      style_avail_ |= info.italic ? kFontStyleBoldItalic : kFontStyleBold;
    else
      style_avail_ |= info.italic ? kFontStyleItalic : kFontStyleRegular;
  }
  if (font_type != win::kRasterFontType) {
    for (const int points : kStandardSizes) size_combo_.AddSize(points, 0);
  }

  std::vector<int> offered;
  if ((style_avail_ & kMarkRegular) != 0)
    offered = {kFontStyleRegular, kFontStyleBold, kFontStyleItalic, kFontStyleBoldItalic};
  else if ((style_avail_ & kMarkBold) != 0)
    offered = {kFontStyleBold, kFontStyleBoldItalic};
  else if ((style_avail_ & kMarkItalic) != 0)
    offered = {kFontStyleItalic, kFontStyleBoldItalic};
  for (const int code : offered) {
    const size_t which = static_cast<size_t>(std::find(std::begin(kStyleCodes), std::end(kStyleCodes), code) -
                                             std::begin(kStyleCodes));
    const int index = style.AddString(platform::Resources().LoadString(kStyleNameIds[which]));
    style.SetItemData(index, static_cast<uintptr_t>(code));
  }
  SelectSizeAndStyle();
  UpdatePreviewFont();
}

void COptionTreeFontDialog::SelectSizeAndStyle() {
  const int size_index = size_combo_.FindStringExact(-1, size_text_);
  if (size_index >= 0) {
    size_combo_.SetCurSel(size_index);
  } else {
    size_combo_.SetCurSel(-1);
    size_combo_.SetWindowText(size_text_);
  }
  win::ComboBox& style = *StyleCombo();
  int style_index = -1;
  for (int i = 0; i < style.GetCount(); ++i) {
    if (static_cast<int>(style.GetItemData(i)) == wanted_style_) style_index = i;
  }
  if (style_index >= 0) {
    style.SetCurSel(style_index);
    cur_style_ = wanted_style_;
  } else {
    style.SetCurSel(0);
    cur_style_ = kFontStyleRegular;
  }
}

void COptionTreeFontDialog::SelectFont(const FontDescription& font) {
  if (!AllControlsExist()) return;
  if (face_combo_.SelectFace(font.face_name) == 0) face_combo_.SetCurSel(0);
  FillSizesAndStyles();
  size_text_ = std::to_string(std::abs(static_cast<int64_t>(font.height) * 72 / win::kScreenLogPixelsY));
  underline_ = font.underline == 1 ? 1 : 0;
  strike_out_ = font.strike_out == 1 ? 1 : 0;
  SetCheck(kIdUnderline, underline_);
  SetCheck(kIdStrikeOut, strike_out_);
  if (font.weight < gfx::kFwBold)
    wanted_style_ = font.italic != 0 ? kFontStyleItalic : kFontStyleRegular;
  else
    wanted_style_ = font.italic != 0 ? kFontStyleBoldItalic : kFontStyleBold;
  SelectSizeAndStyle();
  UpdatePreviewFont();
}

std::optional<FontDescription> COptionTreeFontDialog::TakeSelection() const {
  // Without a listed face there is nothing to take; the fonts stay as they are.
  std::optional<FontDescription> font = face_combo_.GetLogFont(-1);
  if (!font) return std::nullopt;
  font->height = size_combo_.GetHeight(-1);
  font->width = 0;
  font->weight = (cur_style_ & kFontStyleBold) != 0 ? gfx::kFwBold : gfx::kFwNormal;
  font->italic = (cur_style_ & kFontStyleItalic) != 0 ? 1 : 0;
  font->underline = static_cast<uint8_t>(underline_);
  font->strike_out = static_cast<uint8_t>(strike_out_);
  return font;
}

void COptionTreeFontDialog::UpdatePreviewFont() {
  if (!AllControlsExist()) return;
  const std::optional<FontDescription> font = TakeSelection();
  if (!font) return;
  preview_font_ = CreateFontFrom(*font);
  if (preview_.IsWindow()) preview_.Invalidate();
}

std::string COptionTreeFontDialog::PreviewText() const {
  if ((flags_ & kFontDlgPreviewText) != 0) return preview_text_;
  if ((flags_ & kFontDlgPreviewFaceName) != 0) return preview_font_ ? preview_font_->face : std::string();
  return platform::Resources().LoadString(kSampleTextId);
}

void COptionTreeFontDialog::DrawPreview(gfx::Canvas& canvas, const gfx::Rect& r) const {
  if (!preview_font_) return;
  const std::string text = PreviewText();
  const gfx::Font old_font = canvas.SelectFont(*preview_font_);
  const gfx::Color old_color = canvas.SetTextColor(SampleColor());
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::TextMetrics metrics = canvas.GetTextMetrics();
  const int text_width = canvas.GetTextExtent(text).cx;
  const int x = !text.empty() && text_width < r.Width() ? r.left + (r.Width() - text_width) / 2 : r.left;
  const int baseline =
      std::min(r.bottom, r.bottom - (r.bottom + metrics.internal_leading - r.top - metrics.ascent) / 2);
  canvas.SaveDC();
  canvas.IntersectClipRect(r);
  canvas.TextOut(x, baseline - metrics.ascent, text);
  canvas.RestoreDC(-1);
  canvas.SetBkMode(old_mode);
  canvas.SetTextColor(old_color);
  canvas.SelectFont(old_font);
}

void COptionTreeFontDialog::Preview::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kBtnFace));
  dialog_.DrawPreview(canvas, client);
}

void AddOptionTreeFontResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}

}  // namespace dialogs
