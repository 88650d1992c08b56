#include "views/st_scale_area.h"

#include <string>

#include "gfx/canvas.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/preset_font.h"
#include "win/window.h"

namespace {

constexpr uint32_t kCentredLine = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter;
constexpr uint32_t kRightLine = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtRight;

// Labels grow sparse as the range grows: every tick up to 4, every second up to 8, else every
// fourth.
bool Labelled(int tick, int bound) {
  if (bound <= 4) return true;
  if (bound <= 8) return tick % 2 == 0;
  return tick % 4 == 0;
}

}  // namespace

std::unique_ptr<CViewArea> CSTScaleAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSTScaleArea>(this, doc);
}

void CSTScaleArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = config_ != nullptr ? config_->GetParentWindow() : nullptr;
}

int CSTScaleArea::OnMessage(uint32_t msg, win::WParam, win::LParam lparam) {
  if (msg != areamsg::kSTRange || lparam == 0) return 0;
  const int* range = reinterpret_cast<const int*>(lparam);
  range_min_ = range[0];
  range_max_ = range[1];
  range_span_ = range_max_ - range_min_;
  if (host_ != nullptr && host_->IsWindow()) host_->InvalidateRect(rect_, true);
  return 1;
}

void CSTScaleArea::Draw(gfx::Canvas& dc, const gfx::Rect&) {
  const int l = rect_.left;
  const int t = rect_.top;
  const int r = rect_.right;
  const int b = rect_.bottom;
  const int h = b - t;
  dc.Rectangle(l, t, r + 1, b);
  CPresetFont preset;
  const gfx::Font old_font = dc.GetFont();
  if (const gfx::Font* font = preset.Select(2)) dc.SelectFont(*font);

  const auto tick = [&dc, r](double y, int label, bool labelled) {
    const int yi = static_cast<int>(y);
    dc.MoveTo(r, yi);
    dc.LineTo(r - 8, yi);
    if (!labelled) return;
    gfx::Rect box{r - 40, static_cast<int>(y - 10) + 1, r - 10, static_cast<int>(y + 10) + 1};
    dc.DrawText(std::to_string(label), box, kRightLine);
  };
  // An empty or reversed range has no step: only the frame and the captions are defined.
  if (range_span_ > 0) {
    const double step = static_cast<double>(h) / range_span_;
    const int centre = t + h / 2;
    for (int i = 0; i < range_max_; ++i) tick(centre - i * step, i, Labelled(i, range_max_));
    if (range_min_ <= -2)
      for (int j = 1; j <= -range_min_ - 1; ++j) tick(centre + j * step, -j, Labelled(j, -range_min_));
  }

  gfx::Rect level{l + 5, t, l + (r - l) / 2 - 10, t + 20};
  dc.DrawText(platform::LoadString(kLevelCaption), level, kCentredLine);
  gfx::Rect slope{l + (r - l) / 2 - 10, t, r - 10, t + 20};
  dc.DrawText(platform::LoadString(kSlopeCaption), slope, kCentredLine);
  if (const gfx::Font* font = preset.Select(4)) dc.SelectFont(*font);
  gfx::Rect st{l, t + h / 3, r - 20, b - h / 2};
  dc.DrawText(platform::LoadString(kSTCaption), st, kCentredLine);
  gfx::Rect trend{l, t + h / 2, r - 20, b - h / 3};
  dc.DrawText(platform::LoadString(kTrendCaption), trend, kCentredLine);
  dc.SelectFont(old_font);
}
