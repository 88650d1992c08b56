#include "reports/emf2pdf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "gfx/canvas.h"
#include "gfx/font_metrics.h"
#include "gfx/recording_canvas.h"
#include "platform/clock.h"
#include "platform/cp1252.h"
#include "reports/emf_markers.h"
#include "reports/pdf/pdf_writer.h"
#include "reports/reports_context.h"

namespace {

constexpr double kPointsPerCm = 28.3464566929;
// The 19.773 x 28.689 cm frame centred on the A4 page (595 x 842 points).
constexpr double kFrameLeftCm = 0.6086385303076335;
constexpr double kFrameTopCm = 29.196444032470925;
// Where MM_TEXT pages start, and the line below which a rectangle's top is not widened.
constexpr double kTextTopCm = 28.689;
// Half a point in centimetres: half the pen width of a rectangle's outline.
constexpr double kHalfPointCm = 0.017638888888897218;
constexpr double kPixelSquareCm = 0.0085;
constexpr const char* kPageBox = "0 0 595 842";

// Grid tiles: 120 x 120 pixels of 1/6 mm (2 x 2 cm), one bit each, a dot where a bit is 0.
constexpr int kTilePixels = 120;
constexpr int kTileRowBytes = kTilePixels / 8;
constexpr double kTileCm = 2.0;
constexpr double kTilePoints = 56.69291305541992;
// Past the page edges nothing shows; this keeps an absurd marker from writing megabytes.
constexpr double kPageWidthCm = 595 / kPointsPerCm;
constexpr double kPageHeightCm = 842 / kPointsPerCm;

// The greys of the printed grids: lines and the background raster, the millimetre dots.
constexpr gfx::Color kGridLineColor = 0xC0C0C0;
constexpr gfx::Color kGridDotColor = 0xA0A0A0;

using Tile = std::array<uint8_t, kTileRowBytes * kTilePixels>;

void ClearBit(Tile& tile, int x, int y) {
  tile[static_cast<size_t>(y * kTileRowBytes + x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
}

// A dot every 0.5 mm.
Tile MakeBackgroundTile() {
  Tile tile;
  tile.fill(0xFF);
  for (int y = 0; y < kTilePixels; y += 3)
    for (int x = 0; x < kTilePixels; x += 3) ClearBit(tile, x, y);
  return tile;
}

// A dot every millimetre between the centimetre lines, and the 5 mm lines dotted every 0.5 mm.
Tile MakeMillimetreTile() {
  Tile tile;
  tile.fill(0xFF);
  for (int y = 6; y < kTilePixels; y += 6)
    for (int x = 6; x < kTilePixels; x += 6)
      if (x != 60 && y != 60) ClearBit(tile, x, y);
  for (const int line : {30, 90})
    for (int t = 3; t < kTilePixels; t += 6) {
      ClearBit(tile, line, t);
      ClearBit(tile, t, line);
    }
  return tile;
}

void WriteFillColor(gfx::Color c) {
  tvk_setRgbFill(gfx::RedOf(c) / 255.0, gfx::GreenOf(c) / 255.0, gfx::BlueOf(c) / 255.0);
}
void WriteStrokeColor(gfx::Color c) {
  tvk_setRgbStroke(gfx::RedOf(c) / 255.0, gfx::GreenOf(c) / 255.0, gfx::BlueOf(c) / 255.0);
}

// Dash patterns in points, for pens one reference pixel wide; wider pens draw solid.
const char* DashPattern(gfx::PenStyle style, int32_t width_px) {
  if (width_px != 1) return "";
  switch (style) {
    case gfx::PenStyle::kDash:
      return "[2.5 1.5]0";
    case gfx::PenStyle::kDot:
      return "[0.5 1.5]0";
    case gfx::PenStyle::kDashDot:
      return "[2.25 1.5 0 1.5]0";
    case gfx::PenStyle::kDashDotDot:
      return "[2.25 1.5 0 1.5 0 1.5]0";
    default:
      return "";
  }
}

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

// The mirrored drawing state of one page while its display list is played into the current PDF
// page. Logical units become centimetres through the map mode; the PDF graphics state is
// written only when it changes, and lines are batched into one path between strokes.
class CEmf2Pdf::Player {
 public:
  Player(const gfx::DeviceInfo& device, std::vector<std::string>& messages)
      : width_px_(device.width_px),
        height_px_(device.height_px),
        width_mm_(device.width_mm),
        height_mm_(device.height_mm),
        messages_(messages) {}

  void Header() {
    SetMapping(gfx::MapMode::kText);
    pen_width_pt_ = PenPoints(pen_);
    stroke_color_ = pen_.color;
    fill_color_ = 0xFFFFFF;
    tvk_setCharSpacing(0);
    tvk_setLineJoin(1);
    tvk_setLineCap(1);
    tvk_setLineWidth(pen_width_pt_);
    WriteStrokeColor(stroke_color_);
    WriteFillColor(fill_color_);
    MoveToCurrent();
    pending_move_ = false;
  }

  void Play(const gfx::DisplayItem& item) {
    std::visit(Overloaded{
                   [this](const gfx::rec::SetMapMode& r) { SetMapping(r.mode); },
                   [this](const gfx::rec::SelectPen& r) { SelectPen(r.pen); },
                   [this](const gfx::rec::SelectBrush& r) { brush_ = r.brush; },
                   [this](const gfx::rec::SelectFont& r) { font_ = r.font; },
                   [this](const gfx::rec::SetTextColor& r) { text_color_ = r.color; },
                   [this](const gfx::rec::SaveDC&) { saved_.push_back(CurrentSaved()); },
                   [this](const gfx::rec::RestoreDC& r) { RestoreDC(r.level); },
                   [this](const gfx::rec::MoveTo& r) { MoveTo(r.to); },
                   [this](const gfx::rec::LineTo& r) { LineTo(r.to); },
                   [this](const gfx::rec::Polyline& r) { Polyline(r.points, false); },
                   [this](const gfx::rec::PolylineTo& r) { Polyline(r.points, true); },
                   [this](const gfx::rec::Rectangle& r) { Rectangle(r.rect); },
                   [this](const gfx::rec::SetPixel& r) { SetPixel(r.at, r.color); },
                   [this](const gfx::rec::FillRect& r) { PatternFill(r.rect, r.brush); },
                   [this](const gfx::rec::PatBlt& r) {
                     if (r.rop == gfx::kPatCopy) PatternFill(r.dest, brush_);
                   },
                   [this](const gfx::rec::BitBlt& r) {
                     if (r.rop == gfx::kPatCopy && !r.source) PatternFill(r.dest, brush_);
                   },
                   [this](const gfx::rec::Text& r) { Text(r); },
                   [this](const gfx::rec::Comment& r) { Comment(r.text); },
                   // Clipping, window and viewport records, other shapes, bitmaps: nothing.
                   [](const auto&) {},
               },
               item);
  }

  // The end of the page.
  void End() { StrokePending(); }

  const std::string& Title() const { return title_; }

 private:
  struct Mapping {
    gfx::MapMode mode = gfx::MapMode::kText;
    double scale_x = 0, scale_y = 0;  // centimetres per logical unit
    double offset_x = kFrameLeftCm, offset_y = 0;
  };
  struct Saved {
    Mapping mapping;
    gfx::Pen pen;
    gfx::Brush brush;
    gfx::Font font;
    gfx::Color text_color;
    gfx::Point position;
  };

  double X(double x) const { return x * map_.scale_x + map_.offset_x; }
  double Y(double y) const { return y * map_.scale_y + map_.offset_y; }

  // Text drawn at screen scale in MM_TEXT is placed by the screen's resolution.
  bool ScreenScale() const { return map_.mode == gfx::MapMode::kText && screen_dpi_ > 0; }
  double TextX(double x) const { return ScreenScale() ? map_.offset_x + x / screen_dpi_ * 2.54 : X(x); }
  double TextY(double y) const { return ScreenScale() ? map_.offset_y - y / screen_dpi_ * 2.54 : Y(y); }

  void SetMapping(gfx::MapMode mode) {
    double unit = 0;
    switch (mode) {
      case gfx::MapMode::kText:
        // One unit is one pixel of the reference device, y down from the top of the text area.
        map_ = {mode, width_mm_ * 0.1 / width_px_, -height_mm_ * 0.1 / height_px_, kFrameLeftCm, kTextTopCm};
        return;
      case gfx::MapMode::kLoMetric:
        unit = 0.01;
        break;
      case gfx::MapMode::kHiMetric:
        unit = 0.001;
        break;
      case gfx::MapMode::kLoEnglish:
        unit = 0.0254;
        break;
      case gfx::MapMode::kHiEnglish:
        unit = 0.00254;
        break;
      case gfx::MapMode::kTwips:
        unit = 0.0017638888888888888;
        break;
      default:
        messages_.push_back("Setmapmode an/isotropic");
        return;
    }
    map_ = {mode, unit, unit, kFrameLeftCm, kFrameTopCm};
  }

  int32_t PenPixels(const gfx::Pen& pen) const {
    const double cm = std::min(std::abs(pen.width * map_.scale_x), 1000.0);
    const auto px = static_cast<int32_t>(cm * 1000 / kFrameWidth * width_px_ + 0.5);
    return std::max(px, 1);
  }
  double PenPoints(const gfx::Pen& pen) const {
    return PenPixels(pen) * (kFrameWidth * 0.001 / width_px_ * kPointsPerCm);
  }
  bool NullPen() const { return pen_.style == gfx::PenStyle::kNull; }

  void Op() { ++ops_; }
  void MoveToCurrent() {
    tvk_plotMoveTo(X(pos_.x), Y(pos_.y));
    Op();
  }
  // Ends the open path before anything that must not join it.
  void StrokePending() {
    if (ops_ > 0) tvk_stroke();
    ops_ = 0;
    pending_move_ = true;
  }
  void SetFill(gfx::Color c) {
    if (c == fill_color_) return;
    WriteFillColor(c);
    fill_color_ = c;
  }

  void SelectPen(const gfx::Pen& pen) {
    StrokePending();
    const int32_t px = PenPixels(pen);
    const std::string dash = DashPattern(pen.style, px);
    if (dash != dash_) {
      if (dash.empty())
        tvk_setNoDash();
      else
        tvk_setDash(dash);
      dash_ = dash;
    }
    const double width_pt = PenPoints(pen);
    bool changed = false;
    if (width_pt != pen_width_pt_) {
      tvk_setLineWidth(width_pt);
      changed = true;
    }
    if (pen.color != stroke_color_) {
      WriteStrokeColor(pen.color);
      stroke_color_ = pen.color;
      changed = true;
    }
    pen_ = pen;
    pen_width_pt_ = width_pt;
    if (changed) {
      MoveToCurrent();
      pending_move_ = false;
    }
  }

  Saved CurrentSaved() const { return {map_, pen_, brush_, font_, text_color_, pos_}; }

  void RestoreDC(int32_t level) {
    const auto count = static_cast<int64_t>(saved_.size());
    const int64_t n = level < 0 ? count + level + 1 : level;
    if (n < 1 || n > count) return;
    const Saved s = saved_[static_cast<size_t>(n - 1)];
    saved_.resize(static_cast<size_t>(n - 1));
    map_ = s.mapping;
    if (!(s.pen == pen_)) SelectPen(s.pen);
    brush_ = s.brush;
    font_ = s.font;
    text_color_ = s.text_color;
    if (s.position != pos_) {
      pos_ = s.position;
      pending_move_ = true;
    }
  }

  void MoveTo(gfx::Point p) {
    if (p == pos_) return;
    pos_ = p;
    move_start_ = p;
    pending_move_ = true;
  }

  void LineTo(gfx::Point p) {
    if (p == pos_) return;
    // The same line drawn twice in a row (move, line, move, line) is written once. Only a line
    // that itself begins at a move counts: a path back to an earlier point is drawn.
    const bool begins_at_move = pending_move_ && pos_ == move_start_;
    if (begins_at_move && has_segment_ && move_start_ == segment_start_ && p == segment_end_) {
      pos_ = p;
      return;
    }
    bool wrote_move = false;
    if (pending_move_ && !NullPen()) {
      MoveToCurrent();
      pending_move_ = false;
      wrote_move = true;
    }
    const gfx::Point from = pos_;
    pos_ = p;
    if (NullPen()) return;
    tvk_plotLineTo(X(p.x), Y(p.y));
    Op();
    if (wrote_move) {
      segment_start_ = from;
      segment_end_ = p;
      has_segment_ = true;
    }
  }

  // Axis-parallel runs in one direction are merged into one line to their last point.
  void Polyline(std::span<const gfx::Point> points, bool from_current) {
    if (points.empty()) return;
    const bool draw = !NullPen();
    if (!from_current && !draw) return;
    gfx::Point anchor;
    size_t next = 0;
    if (from_current) {
      if (pending_move_ && draw) {
        MoveToCurrent();
        pending_move_ = false;
      }
      anchor = pos_;
    } else {
      anchor = points[0];
      tvk_plotMoveTo(X(anchor.x), Y(anchor.y));
      Op();
      next = 1;
    }
    bool written = true;
    int run_dx = 0, run_dy = 0;  // direction of the last step, (0, 0) for none
    auto write = [&](gfx::Point p) {
      if (!draw) return;
      tvk_plotLineTo(X(p.x), Y(p.y));
      Op();
    };
    for (; next < points.size(); ++next) {
      const gfx::Point p = points[next];
      if (p == anchor) continue;
      int dx = 0, dy = 0;
      if (p.y == anchor.y)
        dx = p.x > anchor.x ? 1 : -1;
      else if (p.x == anchor.x)
        dy = p.y > anchor.y ? 1 : -1;
      const bool axis_step = dx != 0 || dy != 0;
      if (axis_step && !written && dx == run_dx && dy == run_dy) {
        anchor = p;
        continue;
      }
      if (!written) write(anchor);
      anchor = p;
      written = false;
      run_dx = dx;
      run_dy = dy;
    }
    if (!written) write(anchor);
    if (from_current) pos_ = anchor;
    StrokePending();
  }

  void Rectangle(const gfx::Rect& r) {
    StrokePending();
    const bool outline = !NullPen();
    const bool fill = brush_.style != gfx::BrushStyle::kNull;
    if (!outline && !fill) return;
    const double w = outline ? pen_width_pt_ * kHalfPointCm : 0;
    const double x1 = std::min(X(r.left), X(r.right)) - w;
    const double x2 = std::max(X(r.left), X(r.right)) + w;
    double top = std::max(Y(r.top), Y(r.bottom));
    double bottom = std::min(Y(r.top), Y(r.bottom));
    if (top + w < kTextTopCm) top += w;
    if (bottom - w >= 0) bottom -= w;
    if (fill) SetFill(brush_.color);
    tvk_plotRectangle(x1, bottom, x2 - x1, top - bottom);
    if (fill && outline)
      tvk_fillStroke();
    else if (fill)
      tvk_fill();
    else
      tvk_stroke();
  }

  void SetPixel(gfx::Point at, gfx::Color color) {
    StrokePending();
    SetFill(color);
    tvk_plotRectangle(X(at.x), Y(at.y), kPixelSquareCm, kPixelSquareCm);
    tvk_fill();
  }

  void PatternFill(const gfx::Rect& r, const gfx::Brush& brush) {
    if (brush.style == gfx::BrushStyle::kNull) return;
    StrokePending();
    SetFill(brush.color);
    tvk_plotRectangle(X(r.left), Y(r.top), (static_cast<double>(r.right) - r.left) * map_.scale_x,
                      (static_cast<double>(r.bottom) - r.top) * map_.scale_y);
    tvk_fill();
  }

  double FontPoints() const {
    const double em = gfx::FontEm(font_);
    if (ScreenScale()) return em / screen_dpi_ * 2.54 * kPointsPerCm;
    return em * std::abs(map_.scale_y) * kPointsPerCm;
  }

  void Text(const gfx::rec::Text& r) {
    if (r.text.empty()) return;
    StrokePending();
    if (r.clip) {
      // The page cut this text at its box; uncut it would run over the next column.
      ClippedText(r, *r.clip);
      return;
    }
    TextObject(r);
  }

  void ClippedText(const gfx::rec::Text& r, const gfx::Rect& clip) {
    const double x = std::min(TextX(clip.left), TextX(clip.right));
    const double y = std::min(TextY(clip.top), TextY(clip.bottom));
    tvk_saveState();
    tvk_newPath();
    tvk_plotRectangle(x, y, std::abs(TextX(clip.right) - TextX(clip.left)),
                      std::abs(TextY(clip.bottom) - TextY(clip.top)));
    tvk_clip();
    tvk_newPath();
    const gfx::Color fill = fill_color_;
    TextObject(r);
    tvk_restoreState();
    // The restored state has the fill colour of before the text.
    fill_color_ = fill;
  }

  void TextObject(const gfx::rec::Text& r) {
    tvk_beginText(0);
    SetFill(text_color_);
    const double size = FontPoints();
    tvk_setFont(font_.weight >= 600 ? "Helvetica-Bold" : "Helvetica", "WinAnsiEncoding", size);
    const double left = std::min(TextX(r.bounds.left), TextX(r.bounds.right));
    const double right = std::max(TextX(r.bounds.left), TextX(r.bounds.right));
    const double top = std::max(TextY(r.bounds.top), TextY(r.bounds.bottom));
    const size_t n = platform::Utf8ToCp1252(r.text).size();
    if (n > 1) {
      // Spread the text so that it fills the cell the page gave it.
      const double measured = tvk_stringWidth(r.text);
      const double width_pt = (right - left) * kPointsPerCm;
      const double gaps = static_cast<double>(n - 1);
      char_spacing_ = (width_pt - (measured - gaps * char_spacing_)) / gaps;
      tvk_setCharSpacing(char_spacing_);
    }
    // The baseline lies the font's ascent below the cell's top; a rotated run turns about its
    // reference point.
    const double ascent_cm = gfx::ResolveFontFace(font_).ascent_em * size / kPointsPerCm;
    double x = left;
    double y = top - ascent_cm;
    const double angle = font_.escapement / 10.0;
    if (font_.escapement != 0) {
      const double rx = TextX(r.at.x), ry = TextY(r.at.y);
      const double a = angle * 3.14159265358979323846 / 180;
      const double dx = x - rx, dy = y - ry;
      x = rx + dx * std::cos(a) - dy * std::sin(a);
      y = ry + dx * std::sin(a) + dy * std::cos(a);
    }
    tvk_plotText(x, y, angle, r.text);
    tvk_endText();
  }

  void Comment(std::string_view text) {
    const std::optional<EmfMarker> marker = ParseEmfMarker(text);
    if (!marker) return;
    switch (marker->kind) {
      case EmfMarkerKind::kPageTitle:
        title_ = marker->title;
        return;
      case EmfMarkerKind::kScreenDpi:
        screen_dpi_ = marker->dpi;
        return;
      case EmfMarkerKind::kMMGrid:
      case EmfMarkerKind::kBGGrid: {
        StrokePending();
        const gfx::Rect& g = marker->rect;
        const double x = std::min(X(g.left), X(g.right));
        const double y = std::min(Y(g.top), Y(g.bottom));
        DrawGridPattern(x, y, std::max(X(g.left), X(g.right)) - x, std::max(Y(g.top), Y(g.bottom)) - y,
                        marker->kind == EmfMarkerKind::kMMGrid);
        return;
      }
    }
  }

  void DrawGridPattern(double x, double y, double width, double height, bool millimetre) {
    static const Tile kBackground = MakeBackgroundTile();
    static const Tile kMillimetre = MakeMillimetreTile();
    const Tile& tile = millimetre ? kMillimetre : kBackground;
    const double right = std::min(x + width, kPageWidthCm);
    const double top = std::min(y + height, kPageHeightCm);
    // The first tile and line that can reach the page; tiles keep their 2 cm steps from x, y.
    const auto first = [](double from, double step) {
      return from < -step ? static_cast<int64_t>(std::ceil((-step - from) / step)) : int64_t{0};
    };
    // The printed grid's own greys: the page's colours in effect are whatever was drawn last
    // (white after the header, which would hide every dot).
    tvk_saveState();
    WriteFillColor(millimetre ? kGridDotColor : kGridLineColor);
    WriteStrokeColor(kGridLineColor);
    if (millimetre) tvk_setLineWidth(0.3);
    tvk_newPath();
    tvk_plotRectangle(x, y, width, height);
    tvk_clip();
    tvk_newPath();
    for (int64_t i = first(x, kTileCm); x + i * kTileCm < right; ++i)
      for (int64_t j = first(y, kTileCm); y + j * kTileCm < top; ++j)
        tvk_inlineImage(tile, (x + i * kTileCm) * kPointsPerCm, (y + j * kTileCm) * kPointsPerCm, 0,
                        kTilePoints, kTilePoints, kTilePixels, kTilePixels, 1, tvk_kImageMask, 1);
    if (millimetre) {
      for (int64_t k = std::max<int64_t>(1, first(x, 1)); x + k < std::min(x + width, right); ++k) {
        tvk_plotMoveTo(x + k, y);
        tvk_plotLineTo(x + k, y + height);
      }
      for (int64_t k = std::max<int64_t>(1, first(y, 1)); y + k < std::min(y + height, top); ++k) {
        tvk_plotMoveTo(x, y + k);
        tvk_plotLineTo(x + width, y + k);
      }
      tvk_stroke();
    }
    tvk_restoreState();
    if (millimetre) {
      tvk_saveState();
      WriteStrokeColor(kGridLineColor);
      tvk_setLineWidth(0.3);
      tvk_plotRectangle(x, y, width, height);
      tvk_stroke();
      tvk_restoreState();
    }
  }

  const int32_t width_px_, height_px_, width_mm_, height_mm_;
  std::vector<std::string>& messages_;

  Mapping map_;
  // The canvas's own defaults: what a page drew with before it selected anything.
  gfx::Pen pen_;
  double pen_width_pt_ = 0;
  std::string dash_;
  gfx::Brush brush_;
  gfx::Font font_;
  gfx::Color text_color_ = 0x000000;
  std::vector<Saved> saved_;

  gfx::Point pos_;
  gfx::Point move_start_;
  gfx::Point segment_start_, segment_end_;
  bool has_segment_ = false;
  int ops_ = 0;
  bool pending_move_ = false;

  gfx::Color stroke_color_ = 0;
  gfx::Color fill_color_ = 0xFFFFFF;
  double char_spacing_ = 0;

  std::string title_;
  int32_t screen_dpi_ = 0;
};

CEmf2Pdf::CEmf2Pdf(const platform::Clock& clock) : clock_(clock) {}

CEmf2Pdf::~CEmf2Pdf() {
  if (recording_) EndEmfRecording();
}

int CEmf2Pdf::OpenEmfDC(const gfx::Canvas* reference_dc) {
  if (recording_) return 0;
  emf_.reset();
  dc_ = std::make_unique<gfx::RecordingCanvas>(reference_dc ? reference_dc->Device() : gfx::DeviceInfo{});
  recording_ = 1;
  BeginEmfRecording();
  return 1;
}

gfx::Canvas* CEmf2Pdf::GetEmfDC() { return recording_ ? dc_.get() : nullptr; }

int CEmf2Pdf::CloseEmfDC() {
  if (!recording_) return 0;
  recording_ = 0;
  EndEmfRecording();
  emf_device_ = dc_->Device();
  emf_device_.width_mm = dc_->GetDeviceCaps(gfx::DeviceCap::kHorzSize);
  emf_device_.height_mm = dc_->GetDeviceCaps(gfx::DeviceCap::kVertSize);
  emf_ = dc_->Items();
  dc_.reset();
  return 1;
}

int CEmf2Pdf::DeleteEmf() {
  if (!emf_) return 0;
  emf_.reset();
  return 1;
}

int CEmf2Pdf::OpenPdf(std::string_view file_name, std::string_view creator, std::string_view title,
                      std::string_view subject, std::string_view keywords) {
  tvk_prepare(0);
  tvk_setPdfVersion(1, 2);
  tvk_enableCompression(1);
  if (!file_name.empty()) tvk_setOutputName(file_name);
  if (tvk_open() != 0) return 0;
  tvk_setCreator(creator);
  tvk_setTitle(title);
  tvk_setSubject(subject);
  tvk_setKeywords(keywords);
  tvk_setViewerPreferences(1, 0, 0, 0, 0, 0, 0, 0);
  tvk_setUnitSize(kPointsPerCm);
  pdf_open_ = 1;
  last_bookmark_ = nullptr;
  return 1;
}

int CEmf2Pdf::ConvertPage(int page, std::string_view default_title,
                          const std::function<bool()>& stop_requested) {
  if (!emf_ || !pdf_open_) return 0;
  if (emf_device_.width_px <= 0 || emf_device_.height_px <= 0 || emf_device_.width_mm <= 0 ||
      emf_device_.height_mm <= 0)
    return 0;
  if (tvk_beginPage(page, 0, kPageBox, kPageBox) != 0) return 0;
  Player player(emf_device_, messages_);
  player.Header();
  bool complete = true;
  for (const gfx::DisplayItem& item : *emf_) {
    if (stop_requested && stop_requested()) {
      complete = false;
      break;
    }
    player.Play(item);
  }
  player.End();
  const std::string title = player.Title().empty() ? std::string(default_title) : player.Title();
  if (tvk_OutlineEntry* entry = tvk_addOutline(last_bookmark_, 0, 1, page, title, 0, 0, 0, 0, 0))
    last_bookmark_ = entry;
  tvk_endPage(page);
  return complete ? 1 : 0;
}

int CEmf2Pdf::ClosePdf(std::string_view file_name, bool show) {
  pdf_open_ = 0;
  last_bookmark_ = nullptr;
  const bool saved = tvk_finishDocument(clock_) == 0 && tvk_saveToFile(file_name) == 0;
  tvk_release();
  if (!saved) return 0;
  if (show) tvk_launchViewer(file_name);
  return 1;
}
