#include "views/placeholder_area.h"

#include <utility>

#include "gfx/canvas.h"
#include "views/preset_font.h"

namespace {

constexpr gfx::Color kBoxFill = gfx::Rgb(236, 240, 246);
constexpr gfx::Color kBoxBorder = gfx::Rgb(150, 160, 175);
constexpr gfx::Color kBoxText = gfx::Rgb(70, 80, 95);

}  // namespace

void DrawNamedPlaceholder(gfx::Canvas& dc, const gfx::Rect& rect, std::string_view class_name, bool fill) {
  if (rect.IsEmpty()) return;
  if (fill) dc.FillSolidRect(rect, kBoxFill);
  dc.FrameRect(rect, gfx::Brush{gfx::BrushStyle::kSolid, kBoxBorder});
  CPresetFont preset(1);
  const gfx::Font old_font = dc.SelectFont(*preset.Select(0));
  const gfx::Color old_color = dc.SetTextColor(kBoxText);
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  gfx::Rect text_rect = rect;
  dc.DrawText(class_name, text_rect,
              gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine | gfx::kDtNoPrefix);
  dc.SetBkMode(old_mode);
  dc.SetTextColor(old_color);
  dc.SelectFont(old_font);
}

CNamedPlaceholderAreaConfig::CNamedPlaceholderAreaConfig(std::string class_name, const CPosition& position,
                                                         gfx::Size min_size, gfx::Size per_mille, bool clip)
    : CViewAreaConfig(position, min_size, per_mille, clip), class_name_(std::move(class_name)) {}

std::unique_ptr<CViewArea> CNamedPlaceholderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CNamedPlaceholderArea>(this, doc);
}

CNamedPlaceholderArea::CNamedPlaceholderArea(CNamedPlaceholderAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

void CNamedPlaceholderArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  // Unfilled: layouts lay areas over grids and over one another, and what lies below stays seen.
  DrawNamedPlaceholder(dc, rect_, config_->GetClassName(), false);
}

CNamedPlaceholderWindowConfig::CNamedPlaceholderWindowConfig(std::string class_name,
                                                             const CPosition& position, gfx::Size min_size,
                                                             gfx::Size per_mille, bool focusable)
    : CWindowAreaConfig(position, min_size, per_mille, focusable), class_name_(std::move(class_name)) {}

std::unique_ptr<CAreaWnd> CNamedPlaceholderWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CNamedPlaceholderWnd>(this, document);
}

void CNamedPlaceholderWnd::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CAreaWnd::Draw(dc, update);
  DrawNamedPlaceholder(dc, GetClientRect(), GetConfig()->GetClassName(), true);
}
