#include "dialogs/optiontree/option_tree_font_item.h"

#include <cstdlib>

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

constexpr int kSampleTextId = 65053;
// Room above and below the font's height when the row grows for it.
constexpr int kRowPadding = 10;

}  // namespace

COptionTreeFontItem::COptionTreeFontItem() { SetItemKind(kOptionItemFont); }

bool COptionTreeFontItem::SetUp(uint32_t options) {
  options_ = options;
  base_height_ = GetHeight();
  return true;
}

bool COptionTreeFontItem::CreateFontItem(const FontDescription& font, gfx::Color text_color,
                                         uint32_t options) {
  if (GetOptionTree() == nullptr) return false;
  font_ = font;
  text_color_ = text_color;
  return SetUp(options);
}

bool COptionTreeFontItem::CreateFontItem(const FontDescription& font, gfx::Color text_color,
                                         const FontDescription& default_font, gfx::Color default_color,
                                         uint32_t options) {
  if (GetOptionTree() == nullptr) return false;
  default_font_ = default_font;
  default_color_ = default_color;
  return CreateFontItem(font, text_color, options);
}

bool COptionTreeFontItem::CreateFontItem(const CharacterFormat& format, gfx::Color text_color,
                                         uint32_t options) {
  return CreateFontItem(FontFromCharFormat(format), text_color, options);
}

bool COptionTreeFontItem::CreateFontItem(const CharacterFormat& format, gfx::Color text_color,
                                         const CharacterFormat& default_format, gfx::Color default_color,
                                         uint32_t options) {
  return CreateFontItem(FontFromCharFormat(format), text_color, FontFromCharFormat(default_format),
                        default_color, options);
}

void COptionTreeFontItem::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

std::string COptionTreeFontItem::ValueText() const {
  if (HasOption(kFontDlgPreviewText)) return custom_text_;
  if (HasOption(kFontDlgPreviewFaceName)) return font_.face_name;
  return platform::Resources().LoadString(kSampleTextId);
}

void COptionTreeFontItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr) return;
  const std::optional<gfx::Font> font = CreateFontFrom(font_);
  if (!font) return;
  const bool grey = IsReadOnly() || !tree->IsWindowEnabled();
  const gfx::Font old_font = canvas.SelectFont(*font);
  const gfx::Color old_text =
      canvas.SetTextColor(grey ? win::GetSysColor(win::SysColor::kGrayText) : text_color_);
  const gfx::Color old_back = canvas.SetBkColor(GetValueBackColor());
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  gfx::Rect rect = value_rect.Offset(1, 0);
  canvas.DrawText(ValueText(), rect, gfx::kDtSingleLine | gfx::kDtVCenter);
  canvas.SetBkMode(old_mode);
  canvas.SetBkColor(old_back);
  canvas.SetTextColor(old_text);
  canvas.SelectFont(old_font);
}

void COptionTreeFontItem::OnActivate() {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr) return;
  COptionTreeFontDialog dialog(options_, font_, default_font_, owner_ != nullptr ? owner_ : tree);
  dialog.SetDefaultColor(default_color_);
  dialog.SetColor(text_color_);
  dialog.SetUserValue(GetItemID());
  if (dialog.DoModal() == COptionTreeFontDialog::kIdAccept) {
    font_ = dialog.GetLogFont();
    const gfx::Color chosen = dialog.GetColor();
    text_color_ =
        chosen == COptionTreeFontSelColorButton::kAutomaticColor ? dialog.GetDefaultColor() : chosen;
    const int height = std::abs(font_.height) + kRowPadding;
    const bool grows = height > base_height_;
    SetHeight(grows ? height : base_height_);
    SetLabelAtTop(grows);
  }
  tree->UpdateList();
}

}  // namespace dialogs
