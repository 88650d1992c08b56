#include "core/status_bar.h"

#include <algorithm>
#include <cmath>

#include "core/tool_glyphs.h"
#include "gfx/canvas.h"
#include "gfx/font_metrics.h"
#include "platform/resources.h"
#include "win/system_metrics.h"

namespace {

constexpr int kGap = 2;
constexpr int kPaneMargin = 8;
// The narrowest indicator pane.
constexpr int kIndicatorWidth = 40;

int TextWidth(std::string_view text) {
  return static_cast<int>(std::ceil(gfx::StandardTextWidth(win::MessageFont(), text)));
}

}  // namespace

bool CStatusBar::Create(win::Window& parent, const gfx::Rect& rect, int id) {
  if (!Window::Create(&parent, rect, win::kWsChild | win::kWsVisible, id)) return false;
  SetBackground(win::GetSysColor(win::SysColor::kBtnFace));
  SetAcceptsFocus(false);
  return true;
}

bool CStatusBar::SetIndicators(const std::vector<int>& ids) {
  if (ids.empty()) return false;
  panes_.clear();
  for (const int id : ids) {
    // An indicator with a text of its own (the lock keys) is as wide as that text, lit or not,
    // so that the panes beside it keep their place.
    int width = 0;
    if (id != 0) {
      const std::string text = platform::LoadString(id);
      width = std::max(kIndicatorWidth, text.empty() ? 0 : TextWidth(text) + 2 * kPaneMargin);
    }
    panes_.push_back({id, {}, width});
  }
  Invalidate();
  return true;
}

int CStatusBar::CommandToIndex(int id) const {
  for (size_t i = 0; i < panes_.size(); ++i) {
    if (panes_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

void CStatusBar::SetPaneText(size_t index, std::string text) {
  if (index >= panes_.size() || panes_[index].text == text) return;
  panes_[index].text = std::move(text);
  Invalidate();
}

std::string CStatusBar::GetPaneText(size_t index) const {
  return index < panes_.size() ? panes_[index].text : std::string();
}

std::vector<int> CStatusBar::Widths() const {
  std::vector<int> widths(panes_.size(), 0);
  int fixed = 0;
  for (size_t i = 1; i < panes_.size(); ++i) {
    widths[i] = std::max(panes_[i].min_width, TextWidth(panes_[i].text) + 2 * kPaneMargin);
    fixed += widths[i] + kGap;
  }
  if (!panes_.empty()) widths[0] = std::max(0, GetClientRect().Width() - fixed - 2 * kGap - 14);
  return widths;
}

gfx::Rect CStatusBar::GetItemRect(size_t index) const {
  const std::vector<int> widths = Widths();
  int x = kGap;
  const int height = GetClientRect().Height();
  for (size_t i = 0; i < widths.size(); ++i) {
    if (i == index) return {x, 2, x + widths[i], height - 1};
    x += widths[i] + kGap;
  }
  return {};
}

void CStatusBar::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kBtnFace));
  const gfx::Font old_font = canvas.SelectFont(win::MessageFont());
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = canvas.SetTextColor(win::GetSysColor(win::SysColor::kBtnText));
  for (size_t i = 0; i < panes_.size(); ++i) {
    const gfx::Rect r = GetItemRect(i);
    DrawEdge3d(canvas, r, true);
    gfx::Rect text{r.left + kPaneMargin / 2, r.top, r.right - kPaneMargin / 2, r.bottom};
    // Blanks lead some pane texts; they must show, not be trimmed by the layout.
    canvas.DrawText(panes_[i].text, text, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtLeft);
  }
  canvas.SetTextColor(old_color);
  canvas.SetBkMode(old_mode);
  canvas.SelectFont(old_font);
  // The size grip.
  for (int k = 0; k < 3; ++k) {
    const int off = 4 * k + 3;
    canvas.FillSolidRect({client.right - off, client.bottom - 3, client.right - off + 2, client.bottom - 1},
                         win::GetSysColor(win::SysColor::kBtnShadow));
  }
}

void CStatusBar::OnSize(int, int, int) { Invalidate(); }
