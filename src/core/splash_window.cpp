#include "core/splash_window.h"

#include <array>
#include <cmath>
#include <memory>

#include "core/core_ids.h"
#include "gfx/canvas.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "platform/worker.h"

namespace {

bool g_enabled = false;
// Shown once per program run.
bool g_shown = false;
// The splash owns itself while it is shown; gone after its window ended.
std::unique_ptr<CSplashWindow> g_splash;

constexpr gfx::Size kSplashSize{440, 260};

// The product picture: the name over a strip of ECG on recorder paper.
void DrawSplashPicture(gfx::Canvas& canvas) {
  const gfx::Rect all{0, 0, kSplashSize.cx, kSplashSize.cy};
  canvas.FillSolidRect(all, gfx::Rgb(16, 48, 96));
  const gfx::Rect paper{20, 120, kSplashSize.cx - 20, 220};
  canvas.FillSolidRect(paper, gfx::Rgb(255, 245, 240));
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, gfx::Rgb(245, 200, 195)});
  for (int x = paper.left; x < paper.right; x += 10) {
    canvas.MoveTo(x, paper.top);
    canvas.LineTo(x, paper.bottom);
  }
  for (int y = paper.top; y < paper.bottom; y += 10) {
    canvas.MoveTo(paper.left, y);
    canvas.LineTo(paper.right, y);
  }
  canvas.SelectPen({gfx::PenStyle::kSolid, 2, gfx::Rgb(20, 20, 20)});
  std::vector<gfx::Point> trace;
  const int baseline = 180;
  for (int x = paper.left; x < paper.right; ++x) {
    const int phase = (x - paper.left) % 80;
    int y = baseline;
    if (phase >= 10 && phase < 18) y -= static_cast<int>(6 * std::sin((phase - 10) * 3.14159 / 8));  // P
    if (phase == 24) y += 6;                                                                          // Q
    if (phase >= 25 && phase < 29) y -= 12 * (phase - 24);                                            // R up
    if (phase >= 29 && phase < 33) y -= 12 * (33 - phase) - 8;                                        // R down
    if (phase >= 45 && phase < 61) y -= static_cast<int>(10 * std::sin((phase - 45) * 3.14159 / 16));  // T
    trace.push_back({x, y});
  }
  canvas.Polyline(trace);
  canvas.SelectPen(old_pen);
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = canvas.SetTextColor(gfx::Rgb(255, 255, 255));
  const gfx::Font old_font = canvas.SelectFont(gfx::Font{-24, 0, 0, gfx::kFwBold, false, false, false, "Arial"});
  gfx::Rect title{20, 24, kSplashSize.cx - 20, 64};
  std::string name;
  {
    platform::ScopedExeResources own;
    name = platform::LoadString(core_ids::kIdsAppTitle);
  }
  canvas.DrawText(name, title, gfx::kDtSingleLine | gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.SelectFont(gfx::Font{-14, 0, 0, gfx::kFwNormal, false, false, false, "Arial"});
  gfx::Rect line{20, 70, kSplashSize.cx - 20, 96};
  canvas.DrawText("Holter ECG workstation", line, gfx::kDtSingleLine | gfx::kDtCenter | gfx::kDtVCenter);
  canvas.SelectFont(old_font);
  canvas.SetTextColor(old_color);
  canvas.SetBkMode(old_mode);
}

}  // namespace

std::optional<gfx::Size> PictureSize(int picture_id) {
  if (picture_id == core_ids::kSplashBitmap) return kSplashSize;
  return std::nullopt;
}

void DrawPicture(gfx::Canvas& canvas, int picture_id) {
  if (picture_id == core_ids::kSplashBitmap) DrawSplashPicture(canvas);
}

void CSplashWindow::EnableSplash(bool enable) { g_enabled = enable; }
bool CSplashWindow::IsEnabled() { return g_enabled; }
CSplashWindow* CSplashWindow::Current() {
  return g_splash != nullptr && g_splash->IsWindow() ? g_splash.get() : nullptr;
}

void CSplashWindow::ShowSplash(win::Window* frame) {
  if (!g_enabled || g_shown || g_splash != nullptr) return;
  g_shown = true;
  auto splash = std::make_unique<CSplashWindow>();
  CSplashWindow* raw = splash.get();
  g_splash = std::move(splash);
  if (!raw->Create(frame, core_ids::kSplashBitmap)) {
    g_splash.reset();
    return;
  }
  raw->UpdateWindow();
}

void CSplashWindow::PreTranslateAppMessage(uint32_t message) {
  CSplashWindow* splash = Current();
  if (splash == nullptr) return;
  switch (message) {
    case win::kWmKeyDown:
    case win::kWmSysKeyDown:
    case win::kWmLButtonDown:
    case win::kWmRButtonDown:
    case win::kWmMButtonDown:
      splash->DestroyWindow();
      if (win::Window* main = win::Windows().MainWindow()) main->UpdateWindow();
      return;
    default:
      return;
  }
}

void CSplashWindow::Reset() {
  if (g_splash != nullptr) g_splash->DestroyWindow();
  g_splash.reset();
  g_enabled = false;
  g_shown = false;
}

bool CSplashWindow::Create(win::Window* parent, int picture_id) {
  const std::optional<gfx::Size> size = PictureSize(picture_id);
  if (!size) return false;
  picture_id_ = picture_id;
  return Window::Create(parent, {0, 0, size->cx, size->cy}, win::kWsPopup | win::kWsVisible, 0);
}

int CSplashWindow::OnCreate() {
  CenterWindow();
  SetTimer(kTimerId, kShowMs);
  return 0;
}

void CSplashWindow::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) { DrawPicture(canvas, picture_id_); }

void CSplashWindow::OnTimer(uintptr_t id) {
  if (id != kTimerId) return;
  DestroyWindow();
  if (win::Window* main = win::Windows().MainWindow()) main->UpdateWindow();
}

void CSplashWindow::PostNcDestroy() {
  // The object goes once the window system is done with it.
  if (g_splash.get() == this) platform::UiThreadQueue().PostTask([] {
      if (g_splash != nullptr && !g_splash->IsWindow()) g_splash.reset();
    });
}

namespace {

// A fresh process shows no splash window and has not enabled one.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kCore, [] { CSplashWindow::Reset(); });

}  // namespace
