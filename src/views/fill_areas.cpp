#include "views/fill_areas.h"

#include <utility>

#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace {

// The whole rectangle, not only the update: the fill must not depend on how the repaint was cut.
void FillButtonFace(gfx::Canvas& dc, const gfx::Rect& rect) {
  dc.FillRect(rect, gfx::Brush{gfx::BrushStyle::kSolid, win::GetSysColor(win::SysColor::kBtnFace)});
}

}  // namespace

void CBlankArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  FillButtonFace(dc, rect_);
}

std::unique_ptr<CViewArea> CBlankAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBlankArea>(this, doc);
}

void CSpacerArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  FillButtonFace(dc, rect_);
}

std::unique_ptr<CViewArea> CSpacerAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSpacerArea>(this, doc);
}

void CBackgroundArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  FillButtonFace(dc, rect_);
}

std::unique_ptr<CViewArea> CBackgroundAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBackgroundArea>(this, doc);
}

void CFrameArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_);
}

std::unique_ptr<CViewArea> CFrameAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CFrameArea>(this, doc);
}

std::unique_ptr<CViewArea> CPlaceholderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CPlaceholderArea>(this, doc);
}

CColorFieldAreaConfig::CColorFieldAreaConfig(const CPosition& position, gfx::Size min_size,
                                             gfx::Size per_mille, bool clip, std::string caption,
                                             const gfx::Font& font, gfx::Color second_color,
                                             gfx::Color fill_color)
    : CViewAreaConfig(position, min_size, per_mille, clip),
      caption_(std::move(caption)),
      font_(font),
      second_color_(second_color),
      fill_color_(fill_color) {}

std::unique_ptr<CViewArea> CColorFieldAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CColorFieldArea>(this, doc);
}

CColorFieldArea::CColorFieldArea(CColorFieldAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document), field_(config) {}

void CColorFieldArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.FillSolidRect(rect_, field_->GetFillColor());
  const gfx::Font old_font = dc.SelectFont(field_->GetFont());
  gfx::Rect text_rect = rect_;
  dc.DrawText(field_->GetCaption(), text_rect, gfx::kDtLeft | gfx::kDtVCenter | gfx::kDtSingleLine);
  dc.SelectFont(old_font);
}
