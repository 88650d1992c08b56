#include "gfx/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

namespace gfx {
namespace {

constexpr int32_t kNullRegion = 1;

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// a x b / c rounded half away from zero, as the mapping rounds.
int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  const int64_t n = a * b;
  int64_t q = n / c;
  const int64_t r = n % c;
  if (2 * std::llabs(r) >= std::llabs(c)) q += ((n < 0) != (c < 0)) ? -1 : 1;
  return ClampToInt32(q);
}

// Logical units per inch of the fixed mapping modes; 0 for the others.
int32_t UnitsPerInch(MapMode mode) {
  switch (mode) {
    case MapMode::kLoMetric:
      return 254;
    case MapMode::kHiMetric:
      return 2540;
    case MapMode::kLoEnglish:
      return 100;
    case MapMode::kHiEnglish:
      return 1000;
    case MapMode::kTwips:
      return 1440;
    default:
      return 0;
  }
}

bool IsFixed(MapMode mode) { return mode != MapMode::kIsotropic && mode != MapMode::kAnisotropic; }

// On and off lengths of the one-pixel styled pens, in pixels.
std::span<const int> DashPattern(PenStyle style) {
  static constexpr int kDash[] = {18, 6};
  static constexpr int kDot[] = {3, 3};
  static constexpr int kDashDot[] = {9, 6, 3, 6};
  static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case PenStyle::kDash:
      return kDash;
    case PenStyle::kDot:
      return kDot;
    case PenStyle::kDashDot:
      return kDashDot;
    case PenStyle::kDashDotDot:
      return kDashDotDot;
    default:
      return {};
  }
}

// The pixels of one-pixel lines inside a clip, sorted into those the pen's pattern draws and
// those of its gaps. The pattern runs on from segment to segment along one drawing call.
class LineRaster {
 public:
  LineRaster(const Rect& clip, std::span<const int> pattern) : clip_(clip), pattern_(pattern) {
    for (const int n : pattern) period_ += n;
  }

  // From a to b without b.
  void Segment(Point a, Point b) {
    const int64_t steps =
        std::max(std::llabs(static_cast<int64_t>(b.x) - a.x), std::llabs(static_cast<int64_t>(b.y) - a.y));
    if (steps == 0) return;
    // A line much longer than the clip is cut to the clip (grown by two pixels) first, so that a
    // stray coordinate cannot make billions of pixels; the pattern keeps its phase.
    const int64_t limit = 4 * (static_cast<int64_t>(clip_.Width()) + clip_.Height()) + 64;
    if (steps <= limit) {
      Walk(a, b);
      return;
    }
    double t0 = 0, t1 = 1;
    const double x0 = a.x, y0 = a.y, dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const auto cut = [&](double p, double q) {
      if (p == 0) return q >= 0;
      const double t = q / p;
      if (p < 0) {
        if (t > t1) return false;
        t0 = std::max(t0, t);
      } else {
        if (t < t0) return false;
        t1 = std::min(t1, t);
      }
      return true;
    };
    const double left = clip_.left - 2.0, top = clip_.top - 2.0, right = clip_.right + 2.0,
                 bottom = clip_.bottom + 2.0;
    if (!(cut(-dx, x0 - left) && cut(dx, right - x0) && cut(-dy, y0 - top) && cut(dy, bottom - y0))) {
      step_ += steps;
      return;
    }
    const auto at = [&](double t) {
      return Point{static_cast<int32_t>(std::lround(x0 + t * dx)),
                   static_cast<int32_t>(std::lround(y0 + t * dy))};
    };
    const int64_t skipped = std::llround(t0 * static_cast<double>(steps));
    const int64_t end = step_ + steps;
    step_ += skipped;
    Walk(at(t0), at(t1));
    step_ = end;
  }

  std::vector<Point>& On() { return on_; }
  std::vector<Point>& Off() { return off_; }

 private:
  void Walk(Point a, Point b) {
    const int64_t dx = std::llabs(static_cast<int64_t>(b.x) - a.x);
    const int64_t dy = -std::llabs(static_cast<int64_t>(b.y) - a.y);
    const int32_t sx = a.x < b.x ? 1 : -1;
    const int32_t sy = a.y < b.y ? 1 : -1;
    int64_t err = dx + dy;
    int32_t x = a.x, y = a.y;
    while (x != b.x || y != b.y) {
      if (clip_.Contains({x, y})) (Drawn() ? on_ : off_).push_back({x, y});
      ++step_;
      const int64_t e2 = 2 * err;
      if (e2 >= dy) err += dy, x += sx;
      if (e2 <= dx) err += dx, y += sy;
    }
  }

  bool Drawn() const {
    if (pattern_.empty()) return true;
    int64_t pos = step_ % period_;
    size_t dash = 0;
    while (pos >= pattern_[dash]) pos -= pattern_[dash++];
    return dash % 2 == 0;
  }

  Rect clip_;
  std::span<const int> pattern_;
  int64_t period_ = 0;
  int64_t step_ = 0;
  std::vector<Point> on_, off_;
};

// The one-pixel border of a normalised device rectangle, each pixel once, as far as it lies in
// the clip.
std::vector<Point> BorderPixels(const Rect& d, const Rect& clip) {
  std::vector<Point> out;
  if (d.IsEmpty()) return out;
  const int32_t r = d.right - 1, b = d.bottom - 1;
  const int32_t x_from = std::max(d.left, clip.left), x_to = std::min(r, clip.right - 1);
  const int32_t y_from = std::max(d.top + 1, clip.top), y_to = std::min(b - 1, clip.bottom - 1);
  const auto row = [&](int32_t y) {
    if (y < clip.top || y >= clip.bottom) return;
    for (int32_t x = x_from; x <= x_to; ++x) out.push_back({x, y});
  };
  const auto column = [&](int32_t x) {
    if (x < clip.left || x >= clip.right) return;
    for (int32_t y = y_from; y <= y_to; ++y) out.push_back({x, y});
  };
  row(d.top);
  if (b > d.top) row(b);
  column(d.left);
  if (r > d.left) column(r);
  return out;
}

size_t Utf8Length(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return std::min(n, s.size() - i);
}

// Drops the last UTF-8 character.
void PopCharacter(std::string& s) {
  while (!s.empty()) {
    const auto c = static_cast<unsigned char>(s.back());
    s.pop_back();
    if ((c & 0xC0) != 0x80) break;
  }
}

std::string StripPrefixes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" gives "&", "&x" gives "x"
    out.push_back(text[i]);
  }
  return out;
}

std::vector<std::string> SplitParagraphs(std::string_view text) {
  std::vector<std::string> out(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out.emplace_back();
    } else {
      out.back().push_back(text[i]);
    }
  }
  return out;
}

void TrimTrailingBlanks(std::string& s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
}

}  // namespace

Canvas::Canvas(const DeviceInfo& device) : device_(device) {}

int32_t Canvas::GetDeviceCaps(DeviceCap cap) const {
  const auto mm = [](int32_t px, int32_t dpi) {
    return dpi > 0 ? static_cast<int32_t>(std::lround(px * 25.4 / dpi)) : 0;
  };
  switch (cap) {
    case DeviceCap::kHorzSize:
      return device_.width_mm ? device_.width_mm : mm(device_.width_px, device_.dpi_x);
    case DeviceCap::kVertSize:
      return device_.height_mm ? device_.height_mm : mm(device_.height_px, device_.dpi_y);
    case DeviceCap::kHorzRes:
      return device_.width_px;
    case DeviceCap::kVertRes:
      return device_.height_px;
    case DeviceCap::kBitsPixel:
      return device_.bits_per_pixel;
    case DeviceCap::kPlanes:
      return 1;
    case DeviceCap::kNumColors:
      return device_.num_colors;
    case DeviceCap::kLogPixelsX:
      return device_.dpi_x;
    case DeviceCap::kLogPixelsY:
      return device_.dpi_y;
    case DeviceCap::kSizePalette:
      return device_.num_colors == -1 ? 0 : 256;
    case DeviceCap::kPhysicalWidth:
      return device_.physical_width_px ? device_.physical_width_px : device_.width_px;
    case DeviceCap::kPhysicalHeight:
      return device_.physical_height_px ? device_.physical_height_px : device_.height_px;
    case DeviceCap::kPhysicalOffsetX:
      return device_.physical_offset_x_px;
    case DeviceCap::kPhysicalOffsetY:
      return device_.physical_offset_y_px;
  }
  return 0;
}

// ---- Mapping

MapMode Canvas::SetMapMode(MapMode mode) {
  if (Records()) Record(rec::SetMapMode{mode});
  const MapMode previous = state_.map_mode;
  state_.map_mode = mode;
  if (mode == MapMode::kText) {
    state_.window_ext = {1, 1};
    state_.viewport_ext = {1, 1};
  } else if (const int32_t units = UnitsPerInch(mode); units > 0) {
    state_.window_ext = {units, units};
    state_.viewport_ext = {device_.dpi_x, -device_.dpi_y};
  } else if (mode == MapMode::kIsotropic) {
    AdjustIsotropic();
  }
  return previous;
}

Point Canvas::SetWindowOrg(int32_t x, int32_t y) {
  if (Records()) Record(rec::SetWindowOrg{{x, y}});
  return std::exchange(state_.window_org, Point{x, y});
}

Point Canvas::OffsetWindowOrg(int32_t dx, int32_t dy) {
  const Point o = state_.window_org;
  return SetWindowOrg(o.x + dx, o.y + dy);
}

Size Canvas::SetWindowExt(int32_t cx, int32_t cy) {
  if (Records()) Record(rec::SetWindowExt{{cx, cy}});
  const Size previous = state_.window_ext;
  if (IsFixed(state_.map_mode) || cx == 0 || cy == 0) return previous;
  state_.window_ext = {cx, cy};
  if (state_.map_mode == MapMode::kIsotropic) AdjustIsotropic();
  return previous;
}

Point Canvas::SetViewportOrg(int32_t x, int32_t y) {
  if (Records()) Record(rec::SetViewportOrg{{x, y}});
  return std::exchange(state_.viewport_org, Point{x, y});
}

Point Canvas::OffsetViewportOrg(int32_t dx, int32_t dy) {
  const Point o = state_.viewport_org;
  return SetViewportOrg(o.x + dx, o.y + dy);
}

Size Canvas::SetViewportExt(int32_t cx, int32_t cy) {
  if (Records()) Record(rec::SetViewportExt{{cx, cy}});
  const Size previous = state_.viewport_ext;
  if (IsFixed(state_.map_mode) || cx == 0 || cy == 0) return previous;
  state_.viewport_ext = {cx, cy};
  if (state_.map_mode == MapMode::kIsotropic) AdjustIsotropic();
  return previous;
}

// Isotropic mapping keeps one unit equally long both ways: the viewport extent of the direction
// with the larger scale shrinks to the other's scale.
void Canvas::AdjustIsotropic() {
  Size& v = state_.viewport_ext;
  const Size& w = state_.window_ext;
  const double xdim = std::abs(static_cast<double>(v.cx) / (static_cast<double>(device_.dpi_x) * w.cx));
  const double ydim = std::abs(static_cast<double>(v.cy) / (static_cast<double>(device_.dpi_y) * w.cy));
  if (xdim > ydim) {
    const int32_t cx = static_cast<int32_t>(std::floor(v.cx * ydim / xdim + 0.5));
    v.cx = cx != 0 ? cx : (v.cx < 0 ? -1 : 1);
  } else if (ydim > xdim) {
    const int32_t cy = static_cast<int32_t>(std::floor(v.cy * xdim / ydim + 0.5));
    v.cy = cy != 0 ? cy : (v.cy < 0 ? -1 : 1);
  }
}

Point Canvas::LPtoDP(Point p) const {
  const State& s = state_;
  return {MulDivRound(static_cast<int64_t>(p.x) - s.window_org.x, s.viewport_ext.cx, s.window_ext.cx) +
              s.viewport_org.x,
          MulDivRound(static_cast<int64_t>(p.y) - s.window_org.y, s.viewport_ext.cy, s.window_ext.cy) +
              s.viewport_org.y};
}

Point Canvas::DPtoLP(Point p) const {
  const State& s = state_;
  return {MulDivRound(static_cast<int64_t>(p.x) - s.viewport_org.x, s.window_ext.cx, s.viewport_ext.cx) +
              s.window_org.x,
          MulDivRound(static_cast<int64_t>(p.y) - s.viewport_org.y, s.window_ext.cy, s.viewport_ext.cy) +
              s.window_org.y};
}

Rect Canvas::LPtoDP(const Rect& r) const {
  const Point a = LPtoDP(Point{r.left, r.top});
  const Point b = LPtoDP(Point{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

Rect Canvas::DPtoLP(const Rect& r) const {
  const Point a = DPtoLP(Point{r.left, r.top});
  const Point b = DPtoLP(Point{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

double Canvas::ScaleX() const { return static_cast<double>(state_.viewport_ext.cx) / state_.window_ext.cx; }

double Canvas::ScaleY() const { return static_cast<double>(state_.viewport_ext.cy) / state_.window_ext.cy; }

// ---- Objects and attributes

Pen Canvas::SelectPen(const Pen& pen) {
  if (Records()) Record(rec::SelectPen{pen});
  return std::exchange(state_.pen, pen);
}

Brush Canvas::SelectBrush(const Brush& brush) {
  if (Records()) Record(rec::SelectBrush{brush});
  return std::exchange(state_.brush, brush);
}

Font Canvas::SelectFont(const Font& font) {
  if (Records()) Record(rec::SelectFont{font});
  return std::exchange(state_.font, font);
}

Color Canvas::SetTextColor(Color color) {
  if (Records()) Record(rec::SetTextColor{color});
  return std::exchange(state_.text_color, color);
}

Color Canvas::SetBkColor(Color color) {
  if (Records()) Record(rec::SetBkColor{color});
  return std::exchange(state_.bk_color, color);
}

BkMode Canvas::SetBkMode(BkMode mode) {
  if (Records()) Record(rec::SetBkMode{mode});
  return std::exchange(state_.bk_mode, mode);
}

Rop2 Canvas::SetROP2(Rop2 rop) {
  if (Records()) Record(rec::SetRop2{rop});
  return std::exchange(state_.rop2, rop);
}

uint32_t Canvas::SetTextAlign(uint32_t align) {
  if (Records()) Record(rec::SetTextAlign{align});
  return std::exchange(state_.text_align, align);
}

int32_t Canvas::SaveDC() {
  if (Records()) Record(rec::SaveDC{});
  saved_.push_back(state_);
  return static_cast<int32_t>(saved_.size());
}

bool Canvas::RestoreDC(int32_t level) {
  if (Records()) Record(rec::RestoreDC{level});
  const int64_t count = static_cast<int64_t>(saved_.size());
  const int64_t n = level < 0 ? count + level + 1 : level;
  if (n < 1 || n > count) return false;
  state_ = saved_[static_cast<size_t>(n - 1)];
  saved_.resize(static_cast<size_t>(n - 1));
  return true;
}

// ---- Clipping

Rect Canvas::DeviceClip() const {
  Rect r = system_clip_ ? *system_clip_ : Rect{0, 0, device_.width_px, device_.height_px};
  if (state_.clip) r = Intersect(r, *state_.clip);
  return r;
}

Rect Canvas::GetClipBox() const { return DPtoLP(DeviceClip()); }

int32_t Canvas::IntersectClipRect(const Rect& logical) {
  if (Records()) Record(rec::IntersectClipRect{logical});
  const Rect d = LPtoDP(logical).Normalized();
  state_.clip = state_.clip ? Intersect(*state_.clip, d) : d;
  return ClipResult();
}

int32_t Canvas::SelectClipRect(std::optional<Rect> device) {
  if (Records()) Record(rec::SelectClipRect{device});
  state_.clip.reset();
  if (device) state_.clip = device->Normalized();
  return ClipResult();
}

void Canvas::SetSystemClip(std::optional<Rect> device) {
  system_clip_.reset();
  if (device) system_clip_ = device->Normalized();
}

// ---- Lines and shapes

int32_t Canvas::PenWidthPx() const {
  if (state_.pen.width <= 0) return 1;
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(state_.pen.width * std::abs(ScaleX()))));
}

void Canvas::PlotClipped(std::vector<Point>& pixels, Color color, Rop2 rop) {
  const Rect clip = DeviceClip();
  std::erase_if(pixels, [&](const Point& p) { return !clip.Contains(p); });
  if (!pixels.empty()) PlotPixels(pixels, color, rop);
}

void Canvas::FillClipped(const Rect& device, Color color, Rop2 rop) {
  const Rect r = Intersect(device, DeviceClip());
  if (!r.IsEmpty()) FillPixels(r, color, rop);
}

void Canvas::StrokeCosmetic(std::span<const Point> device, bool closed) {
  if (device.empty()) return;
  std::vector<Point> path(device.begin(), device.end());
  if (closed && path.size() > 1 && path.back() != path.front()) path.push_back(path.front());
  LineRaster raster(DeviceClip(), DashPattern(state_.pen.style));
  for (size_t i = 0; i + 1 < path.size(); ++i) raster.Segment(path[i], path[i + 1]);
  PlotClipped(raster.On(), state_.pen.color, state_.rop2);
  if (state_.bk_mode == BkMode::kOpaque) PlotClipped(raster.Off(), state_.bk_color, state_.rop2);
}

void Canvas::Stroke(std::span<const Point> logical, bool closed) {
  if (state_.pen.style == PenStyle::kNull || logical.empty()) return;
  std::vector<Point> device;
  device.reserve(logical.size());
  for (const Point& p : logical) device.push_back(LPtoDP(p));
  const int32_t width = PenWidthPx();
  if (width <= 1) {
    StrokeCosmetic(device, closed);
  } else if (!DeviceClip().IsEmpty()) {
    StrokeWide(device, closed, width, state_.pen.color, state_.rop2);
  }
}

Point Canvas::MoveTo(int32_t x, int32_t y) {
  if (Records()) Record(rec::MoveTo{{x, y}});
  return std::exchange(state_.position, Point{x, y});
}

void Canvas::LineTo(int32_t x, int32_t y) {
  if (Records()) Record(rec::LineTo{{x, y}});
  const Point segment[] = {state_.position, {x, y}};
  state_.position = {x, y};
  Stroke(segment, false);
}

void Canvas::Polyline(std::span<const Point> points) {
  if (Records()) Record(rec::Polyline{{points.begin(), points.end()}});
  if (points.size() >= 2) Stroke(points, false);
}

void Canvas::PolylineTo(std::span<const Point> points) {
  if (Records()) Record(rec::PolylineTo{{points.begin(), points.end()}});
  if (points.empty()) return;
  std::vector<Point> path;
  path.reserve(points.size() + 1);
  path.push_back(state_.position);
  path.insert(path.end(), points.begin(), points.end());
  state_.position = points.back();
  Stroke(path, false);
}

void Canvas::Polygon(std::span<const Point> points) {
  if (Records()) Record(rec::Polygon{{points.begin(), points.end()}});
  if (points.size() < 2) return;
  if (state_.brush.style != BrushStyle::kNull && points.size() >= 3 && !DeviceClip().IsEmpty()) {
    std::vector<Point> device;
    device.reserve(points.size());
    for (const Point& p : points) device.push_back(LPtoDP(p));
    FillPolygonDevice(device, state_.brush.color, state_.rop2);
  }
  Stroke(points, true);
}

void Canvas::Rectangle(const Rect& rect) {
  if (Records()) Record(rec::Rectangle{rect});
  const Rect d = LPtoDP(rect).Normalized();
  const bool fill = state_.brush.style != BrushStyle::kNull;
  if (state_.pen.style == PenStyle::kNull) {
    if (fill) FillClipped({d.left, d.top, d.right - 1, d.bottom - 1}, state_.brush.color, state_.rop2);
    return;
  }
  if (d.IsEmpty()) return;
  const int32_t width = PenWidthPx();
  if (fill) FillClipped({d.left + 1, d.top + 1, d.right - 1, d.bottom - 1}, state_.brush.color, state_.rop2);
  const int32_t r = d.right - 1, b = d.bottom - 1;
  if (width <= 1) {
    if (d.Width() == 1 || d.Height() == 1) {
      std::vector<Point> pixels = BorderPixels(d, DeviceClip());
      PlotClipped(pixels, state_.pen.color, state_.rop2);
    } else {
      const Point corners[] = {{d.left, d.top}, {r, d.top}, {r, b}, {d.left, b}};
      StrokeCosmetic(corners, true);
    }
  } else if (!DeviceClip().IsEmpty()) {
    // An inside-frame pen keeps the whole border inside the rectangle.
    const int32_t inset = state_.pen.style == PenStyle::kInsideFrame ? width / 2 : 0;
    const Point corners[] = {{d.left + inset, d.top + inset},
                             {r - inset, d.top + inset},
                             {r - inset, b - inset},
                             {d.left + inset, b - inset}};
    StrokeWide(corners, true, width, state_.pen.color, state_.rop2);
  }
}

void Canvas::Ellipse(const Rect& rect) {
  if (Records()) Record(rec::Ellipse{rect});
  Rect d = LPtoDP(rect).Normalized();
  const bool outline = state_.pen.style != PenStyle::kNull;
  if (!outline) d = {d.left, d.top, d.right - 1, d.bottom - 1};
  if (d.IsEmpty() || DeviceClip().IsEmpty()) return;
  std::optional<Color> fill;
  if (state_.brush.style != BrushStyle::kNull) fill = state_.brush.color;
  EllipseDevice(d, outline ? PenWidthPx() : 0, state_.pen.color, fill, state_.rop2);
}

void Canvas::FillRect(const Rect& rect, const Brush& brush) {
  if (Records()) Record(rec::FillRect{rect, brush});
  if (brush.style == BrushStyle::kNull) return;
  FillClipped(LPtoDP(rect).Normalized(), brush.color, Rop2::kCopyPen);
}

void Canvas::FrameRect(const Rect& rect, const Brush& brush) {
  if (Records()) Record(rec::FrameRect{rect, brush});
  if (brush.style == BrushStyle::kNull) return;
  std::vector<Point> pixels = BorderPixels(LPtoDP(rect).Normalized(), DeviceClip());
  PlotClipped(pixels, brush.color, Rop2::kCopyPen);
}

void Canvas::InvertRect(const Rect& rect) {
  if (Records()) Record(rec::InvertRect{rect});
  FillClipped(LPtoDP(rect).Normalized(), 0, Rop2::kNot);
}

void Canvas::DrawFocusRect(const Rect& rect) {
  if (Records()) Record(rec::DrawFocusRect{rect});
  std::vector<Point> pixels = BorderPixels(LPtoDP(rect).Normalized(), DeviceClip());
  std::erase_if(pixels, [](const Point& p) { return ((p.x + p.y) & 1) != 0; });
  PlotClipped(pixels, 0xFFFFFF, Rop2::kXorPen);
}

Color Canvas::SetPixel(int32_t x, int32_t y, Color color) {
  if (Records()) Record(rec::SetPixel{{x, y}, color});
  const Point p = LPtoDP(Point{x, y});
  if (!DeviceClip().Contains(p)) return kInvalidColor;
  const Point one[] = {p};
  PlotPixels(one, color, Rop2::kCopyPen);
  return color & 0xFFFFFF;
}

Color Canvas::GetPixel(int32_t x, int32_t y) const {
  const Point p = LPtoDP(Point{x, y});
  if (!DeviceClip().Contains(p)) return kInvalidColor;
  return GetPixelDevice(p);
}

// ---- Text

double Canvas::MeasureText(std::string_view text) const { return StandardTextWidth(state_.font, text); }

TextMetrics Canvas::GetTextMetrics() const { return StandardTextMetrics(state_.font); }

Size Canvas::GetTextExtent(std::string_view text) const {
  return {static_cast<int32_t>(std::lround(MeasureText(text))), GetTextMetrics().height};
}

Canvas::DeviceFont Canvas::RealizeFont() const {
  const Font& f = state_.font;
  const double sy = std::abs(ScaleY());
  DeviceFont d;
  d.face = ResolveFontFace(f);
  d.em_px = FontEm(f) * sy;
  d.stretch = FontStretch(f);
  d.ascent_px = GetTextMetrics().ascent * sy;
  d.weight = f.weight;
  d.italic = f.italic;
  d.underline = f.underline;
  d.strike_out = f.strike_out;
  d.escapement = f.escapement;
  return d;
}

Rect Canvas::TextCell(Point reference, uint32_t align, double width_logical, Rect* device_cell) const {
  const TextMetrics tm = GetTextMetrics();
  const int64_t width = std::llround(std::clamp(width_logical, 0.0, 1e9));
  // Logical y of one step down the screen.
  const int64_t down = ScaleY() < 0 ? -1 : 1;
  int64_t left = reference.x;
  if ((align & kTaCenter) == kTaCenter) {
    left -= width / 2;
  } else if (align & kTaRight) {
    left -= width;
  }
  int64_t above = 0;  // distance from the cell's top down to the reference point
  if ((align & kTaBaseline) == kTaBaseline) {
    above = tm.ascent;
  } else if (align & kTaBottom) {
    above = tm.height;
  }
  const int64_t top = reference.y - down * above;
  const Rect bounds{ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + width),
                    ClampToInt32(top + down * tm.height)};
  if (device_cell) *device_cell = LPtoDP(bounds).Normalized();
  return bounds;
}

void Canvas::PaintText(const Rect& device_cell, std::string_view text) {
  if (state_.bk_mode == BkMode::kOpaque) FillClipped(device_cell, state_.bk_color, Rop2::kCopyPen);
  if (!DeviceClip().IsEmpty() && !text.empty())
    TextDevice(device_cell, text, RealizeFont(), state_.text_color);
}

void Canvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  const uint32_t align = state_.text_align;
  const bool update_cp = (align & kTaUpdateCp) != 0;
  const Point reference = update_cp ? state_.position : Point{x, y};
  const double width = MeasureText(text);
  Rect device_cell;
  const Rect bounds = TextCell(reference, align, width, &device_cell);
  if (Records()) Record(rec::Text{reference, std::string(text), bounds, false, Rect{}, 0, std::nullopt});
  PaintText(device_cell, text);
  if (update_cp) {
    const int32_t w = static_cast<int32_t>(std::lround(width));
    const bool centred = (align & kTaCenter) == kTaCenter;
    if (!centred) state_.position.x += (align & kTaRight) ? -w : w;
  }
}

void Canvas::DrawTextRun(Point top_left, std::string_view text, double width, const Rect& draw_rect,
                         uint32_t format) {
  Rect device_cell;
  const Rect bounds = TextCell(top_left, kTaTop | kTaLeft, width, &device_cell);
  const Rect device_box = LPtoDP(draw_rect).Normalized();
  const bool overflows = Intersect(device_cell, device_box) != device_cell;
  const bool clip = overflows && !(format & kDtNoClip);
  if (Records()) {
    rec::Text item{top_left, std::string(text), bounds, true, draw_rect, format, std::nullopt};
    if (clip) item.clip = draw_rect;
    Record(std::move(item));
  }
  if (!clip) {
    PaintText(device_cell, text);
    return;
  }
  const std::optional<Rect> saved = state_.clip;
  state_.clip = saved ? Intersect(*saved, device_box) : device_box;
  PaintText(device_cell, text);
  state_.clip = saved;
}

int32_t Canvas::DrawText(std::string_view text, Rect& rect, uint32_t format) {
  const TextMetrics tm = GetTextMetrics();
  const int32_t line_height = tm.height;
  const bool y_up = ScaleY() < 0;
  const int32_t down = y_up ? -1 : 1;
  const double box_width = static_cast<double>(rect.right) - rect.left;
  const double tab_width = 8.0 * tm.ave_char_width;
  const bool tabs = (format & kDtExpandTabs) != 0 && tab_width > 0;

  const std::string plain = (format & kDtNoPrefix) ? std::string(text) : StripPrefixes(text);

  // A line is one or more runs: tabs start a new run at the next tab stop.
  struct Run {
    std::string text;
    double x = 0;
    double width = 0;
  };
  const auto layout = [&](std::string_view line) {
    std::vector<Run> runs(1);
    double x = 0;
    for (size_t i = 0; i < line.size();) {
      if (tabs && line[i] == '\t') {
        runs.back().width = MeasureText(runs.back().text);
        x = runs.back().x + runs.back().width;
        x = (std::floor(x / tab_width) + 1) * tab_width;
        runs.push_back({{}, x, 0});
        ++i;
        continue;
      }
      const size_t n = Utf8Length(line, i);
      runs.back().text.append(line.substr(i, n));
      i += n;
    }
    runs.back().width = MeasureText(runs.back().text);
    return runs;
  };
  const auto line_width = [&](std::string_view line) {
    const std::vector<Run> runs = layout(line);
    return runs.back().x + runs.back().width;
  };

  std::vector<std::string> lines;
  if (format & kDtSingleLine) {
    lines.push_back(plain);
  } else {
    for (std::string& paragraph : SplitParagraphs(plain)) {
      if (!(format & kDtWordBreak)) {
        lines.push_back(std::move(paragraph));
        continue;
      }
      // Greedy: words with their following blanks; a word wider than the box stands alone.
      std::string current;
      const size_t n = paragraph.size();
      size_t i = 0;
      do {
        size_t end = i;
        while (end < n && paragraph[end] == ' ') ++end;  // blanks at the paragraph's start
        while (end < n && paragraph[end] != ' ') ++end;
        while (end < n && paragraph[end] == ' ') ++end;
        const std::string word = paragraph.substr(i, end - i);
        std::string candidate = current + word;
        std::string trimmed = candidate;
        TrimTrailingBlanks(trimmed);
        if (current.empty() || line_width(trimmed) <= box_width) {
          current = std::move(candidate);
        } else {
          TrimTrailingBlanks(current);
          lines.push_back(std::move(current));
          current = word;
        }
        i = end;
      } while (i < n);
      TrimTrailingBlanks(current);
      lines.push_back(std::move(current));
    }
  }

  if (format & kDtEndEllipsis) {
    for (std::string& line : lines) {
      if (line_width(line) <= box_width) continue;
      while (!line.empty() && line_width(line + "...") > box_width) PopCharacter(line);
      line += "...";
    }
  }

  const int32_t count = static_cast<int32_t>(lines.size());
  const int32_t total = count * line_height;
  if (plain.empty() && (format & kDtCalcRect)) {
    rect.right = rect.left;
    rect.bottom = rect.top;
    return 0;
  }
  if (format & kDtCalcRect) {
    double widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, line_width(line));
    rect.right = rect.left + static_cast<int32_t>(std::lround(widest));
    rect.bottom = rect.top + down * total;
    return total;
  }
  if (plain.empty()) return 0;

  int32_t y = rect.top;
  const bool single = (format & kDtSingleLine) != 0;
  if (single && (format & kDtVCenter)) {
    y = rect.top + (rect.bottom - rect.top - down * line_height) / 2;
  } else if (single && (format & kDtBottom)) {
    y = rect.bottom - down * line_height;
  }
  for (const std::string& line : lines) {
    const std::vector<Run> runs = layout(line);
    const double width = runs.back().x + runs.back().width;
    double x = rect.left;
    if (format & kDtCenter) {
      x = rect.left + (box_width - width) / 2;
    } else if (format & kDtRight) {
      x = rect.right - width;
    }
    for (const Run& run : runs) {
      if (run.text.empty()) continue;
      const Point at{static_cast<int32_t>(std::floor(x + run.x + 0.5)), y};
      DrawTextRun(at, run.text, run.width, rect, format);
    }
    y += down * line_height;
  }
  if (single && (format & (kDtVCenter | kDtBottom))) return std::abs(y - rect.top);
  return total;
}

// ---- Block transfers

bool Canvas::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas* source,
                        int32_t src_x, int32_t src_y, int32_t src_width, int32_t src_height, uint32_t rop) {
  if (RopUsesSource(rop) && source == nullptr) return false;
  const Rect dest{x, y, x + width, y + height};
  const Rect src{src_x, src_y, src_x + src_width, src_y + src_height};
  if (Records()) {
    rec::BitBlt item{dest, src, rop, std::nullopt};
    if (RopUsesSource(rop)) item.source = source->Snapshot();
    Record(std::move(item));
  }
  if (RopUsesPattern(rop) && state_.brush.style == BrushStyle::kNull) return true;
  if (DeviceClip().IsEmpty()) return true;
  const bool mirror_x = (width < 0) != (src_width < 0);
  const bool mirror_y = (height < 0) != (src_height < 0);
  const Rect source_device = RopUsesSource(rop) ? source->LPtoDP(src).Normalized() : Rect{};
  BlitDevice(LPtoDP(dest).Normalized(), RopUsesSource(rop) ? source : nullptr, source_device, mirror_x,
             mirror_y, rop, state_.brush.color);
  return true;
}

bool Canvas::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas* source, int32_t src_x,
                    int32_t src_y, uint32_t rop) {
  return StretchBlt(x, y, width, height, source, src_x, src_y, width, height, rop);
}

bool Canvas::PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop) {
  if (RopUsesSource(rop)) return false;
  const Rect dest{x, y, x + width, y + height};
  if (Records()) Record(rec::PatBlt{dest, rop});
  if (RopUsesPattern(rop) && state_.brush.style == BrushStyle::kNull) return true;
  if (DeviceClip().IsEmpty()) return true;
  BlitDevice(LPtoDP(dest).Normalized(), nullptr, Rect{}, false, false, rop, state_.brush.color);
  return true;
}

void Canvas::DrawBitmap(const Rect& dest, const Bitmap& bitmap, const Rect& source, uint32_t rop) {
  if (Records()) Record(rec::DrawBitmap{dest, source, rop, std::make_shared<const Bitmap>(bitmap)});
  PaintBitmap(dest, bitmap, source, rop);
}

void Canvas::DrawBitmap(const Rect& dest, std::shared_ptr<const Bitmap> bitmap, const Rect& source,
                        uint32_t rop) {
  if (!bitmap) return;
  if (Records()) Record(rec::DrawBitmap{dest, source, rop, bitmap});
  PaintBitmap(dest, *bitmap, source, rop);
}

void Canvas::PaintBitmap(const Rect& dest, const Bitmap& bitmap, const Rect& source, uint32_t rop) {
  if (RopUsesPattern(rop) && state_.brush.style == BrushStyle::kNull) return;
  if (DeviceClip().IsEmpty() || bitmap.IsEmpty()) return;
  const bool mirror_x = (dest.Width() < 0) != (source.Width() < 0);
  const bool mirror_y = (dest.Height() < 0) != (source.Height() < 0);
  BitmapDevice(LPtoDP(dest).Normalized(), bitmap, source.Normalized(), mirror_x, mirror_y, rop,
               state_.brush.color);
}

void Canvas::Comment(std::string_view text) {
  if (Records()) Record(rec::Comment{std::string(text)});
}

rec::BlitSource Canvas::Snapshot() const { return {{device_.width_px, device_.height_px}, nullptr}; }

}  // namespace gfx
