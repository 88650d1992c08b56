#include "qt/image_canvas.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QPolygonF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <variant>
#include <vector>

#include "gfx/raster_ops.h"

namespace qthost {
namespace {

// The image keeps 0xAARRGGBB; the program's colours are 0x00BBGGRR.
uint32_t ToRgb(gfx::Color c) {
  return (static_cast<uint32_t>(gfx::RedOf(c)) << 16) | (static_cast<uint32_t>(gfx::GreenOf(c)) << 8) |
         gfx::BlueOf(c);
}

gfx::Color FromRgb(uint32_t rgb) {
  return gfx::Rgb(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb));
}

constexpr uint32_t kOpaque = 0xFF000000;

// Within what a QRect holds; every use is cut to the image afterwards.
int Fit(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 29), 1 << 29)); }

QRect ToQRect(const gfx::Rect& r) {
  if (r.IsEmpty()) return {};
  return QRect(QPoint(Fit(r.left), Fit(r.top)),
               QPoint(Fit(static_cast<int64_t>(r.right) - 1), Fit(static_cast<int64_t>(r.bottom) - 1)));
}

QRect Bounds(std::span<const gfx::Point> points, int32_t margin) {
  int64_t left = points.front().x, top = points.front().y, right = left, bottom = top;
  for (const gfx::Point& p : points) {
    left = std::min<int64_t>(left, p.x);
    top = std::min<int64_t>(top, p.y);
    right = std::max<int64_t>(right, p.x);
    bottom = std::max<int64_t>(bottom, p.y);
  }
  return QRect(QPoint(Fit(left - margin), Fit(top - margin)),
               QPoint(Fit(right + margin), Fit(bottom + margin)));
}

// Text is laid out and drawn at one reference size and scaled, so that its advances are the
// face's design advances at any fractional size, as the standard metrics give them.
constexpr double kReferenceEm = 256.0;

QFont ReferenceFont(std::string_view family, int32_t weight, bool italic, bool underline, bool strike_out,
                    double stretch_factor) {
  QFont font(QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size())));
  font.setPixelSize(static_cast<int>(kReferenceEm));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strike_out);
  const int stretch = static_cast<int>(std::lround(stretch_factor * 100));
  if (stretch != 100) font.setStretch(std::clamp(stretch, 1, 4000));
  // Advances summed without pair kerning: what the standard metrics assume.
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace

ImageCanvas::ImageCanvas(QImage& image, QPoint origin, const gfx::DeviceInfo& device)
    : gfx::Canvas(device), image_(&image), origin_(origin) {}

ImageCanvas::ImageCanvas(int32_t width, int32_t height, const gfx::DeviceInfo& device)
    : gfx::Canvas(device), image_(&owned_) {
  if (width > 0 && height > 0) {
    owned_ = QImage(width, height, QImage::Format_RGB32);
    owned_.fill(QColor(0, 0, 0));
  }
}

ImageCanvas::~ImageCanvas() {
  if (release_ && !changed_.isEmpty()) release_(changed_);
}

std::unique_ptr<gfx::Canvas> ImageCanvas::CreateCompatible(int32_t width, int32_t height) const {
  gfx::DeviceInfo device = Device();
  device.width_px = width;
  device.height_px = height;
  device.width_mm = device.height_mm = 0;
  device.physical_width_px = device.physical_height_px = 0;
  device.physical_offset_x_px = device.physical_offset_y_px = 0;
  return std::make_unique<ImageCanvas>(width, height, device);
}

QRect ImageCanvas::ImageClip() const {
  if (image_->isNull()) return {};
  return ToQRect(DeviceClip()).translated(origin_) & image_->rect();
}

void ImageCanvas::Touch(const QRect& image_rect) {
  changed_ |= image_rect;
  if (change_ && !image_rect.isEmpty()) change_(image_rect);
}

void ImageCanvas::PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) {
  const QRect clip = ImageClip();
  if (clip.isEmpty()) return;
  const uint32_t pen = ToRgb(color);
  QRect touched;
  for (const gfx::Point& p : pixels) {
    const int x = p.x + origin_.x(), y = p.y + origin_.y();
    if (!clip.contains(x, y)) continue;
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
    line[x] = kOpaque | gfx::ApplyRop2(rop, pen, line[x] & 0xFFFFFF);
    touched |= QRect(x, y, 1, 1);
  }
  Touch(touched);
}

void ImageCanvas::FillPixels(const gfx::Rect& device, gfx::Color color, gfx::Rop2 rop) {
  const QRect r = ToQRect(device).translated(origin_) & ImageClip();
  if (r.isEmpty()) return;
  const uint32_t pen = ToRgb(color);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
    for (int x = r.left(); x <= r.right(); ++x)
      line[x] = kOpaque | gfx::ApplyRop2(rop, pen, line[x] & 0xFFFFFF);
  }
  Touch(r);
}

void ImageCanvas::PaintShape(const QRect& device_bounds, gfx::Rop2 rop, gfx::Color color,
                             const std::function<void(QPainter&, const QColor&)>& draw) {
  const QRect clip = ImageClip();
  const QRect area = device_bounds.translated(origin_) & clip;
  if (area.isEmpty() || rop == gfx::Rop2::kNop) return;
  const uint32_t pen = ToRgb(color);
  if (rop == gfx::Rop2::kCopyPen) {
    QPainter painter(image_);
    painter.setClipRect(clip);
    painter.translate(origin_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    draw(painter, QColor::fromRgb(kOpaque | pen));
    Touch(area);
    return;
  }
  // Any other mix: the shape's coverage first, then every covered pixel mixed bit for bit.
  QImage mask(area.size(), QImage::Format_Grayscale8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    painter.translate(origin_ - area.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, false);
    draw(painter, QColor(Qt::white));
  }
  for (int y = 0; y < area.height(); ++y) {
    const uchar* covered = mask.constScanLine(y);
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(area.top() + y));
    for (int x = 0; x < area.width(); ++x) {
      if (covered[x] == 0) continue;
      QRgb& p = line[area.left() + x];
      p = kOpaque | gfx::ApplyRop2(rop, pen, p & 0xFFFFFF);
    }
  }
  Touch(area);
}

void ImageCanvas::StrokeWide(std::span<const gfx::Point> points, bool closed, int32_t width_px,
                             gfx::Color color, gfx::Rop2 rop) {
  if (points.empty()) return;
  QPolygonF path;
  for (const gfx::Point& p : points) path << QPointF(p.x + 0.5, p.y + 0.5);
  PaintShape(Bounds(points, width_px), rop, color, [&](QPainter& painter, const QColor& c) {
    painter.setPen(QPen(c, width_px, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    if (closed) {
      painter.drawPolygon(path);
    } else {
      painter.drawPolyline(path);
    }
  });
}

void ImageCanvas::FillPolygonDevice(std::span<const gfx::Point> points, gfx::Color color, gfx::Rop2 rop) {
  if (points.empty()) return;
  QPolygon polygon;
  for (const gfx::Point& p : points) polygon << QPoint(p.x, p.y);
  PaintShape(Bounds(points, 1), rop, color, [&](QPainter& painter, const QColor& c) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
  });
}

void ImageCanvas::EllipseDevice(const gfx::Rect& box, int32_t pen_width_px, gfx::Color pen_color,
                                std::optional<gfx::Color> fill, gfx::Rop2 rop) {
  // Through the pixel centres of the box, whose right and bottom edges lie outside.
  const QRectF path(box.left + 0.5, box.top + 0.5, box.Width() - 1.0, box.Height() - 1.0);
  const QRect bounds = ToQRect(box).adjusted(-pen_width_px, -pen_width_px, pen_width_px, pen_width_px);
  if (fill) {
    PaintShape(bounds, rop, *fill, [&](QPainter& painter, const QColor& c) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(c);
      painter.drawEllipse(path);
    });
  }
  if (pen_width_px > 0) {
    PaintShape(bounds, rop, pen_color, [&](QPainter& painter, const QColor& c) {
      painter.setPen(QPen(c, pen_width_px));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(path);
    });
  }
}

QFont ImageCanvas::MakeFont(const DeviceFont& f) const {
  return ReferenceFont(f.face.screen_family, f.weight, f.italic, f.underline, f.strike_out, f.stretch);
}

QFont ImageCanvas::QtFont() const { return MakeFont(RealizeFont()); }

double ImageCanvas::MeasureText(std::string_view text) const {
  const DeviceFont f = RealizeFont();
  const double scale = std::abs(ScaleX());
  if (f.em_px <= 0 || scale <= 0 || text.empty()) return 0;
  const QFontMetricsF metrics(MakeFont(f));
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return metrics.horizontalAdvance(s) * (f.em_px / kReferenceEm) / scale;
}

void ImageCanvas::TextDevice(const gfx::Rect& cell, std::string_view text, const DeviceFont& font,
                             gfx::Color color) {
  const QRect clip = ImageClip();
  if (clip.isEmpty()) return;
  QPainter painter(image_);
  painter.setClipRect(clip);
  painter.translate(origin_);
  painter.setFont(MakeFont(font));
  painter.setPen(QColor::fromRgb(kOpaque | ToRgb(color)));
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.translate(cell.left, cell.top);
  if (font.escapement != 0) painter.rotate(-font.escapement / 10.0);
  const double scale = font.em_px / kReferenceEm;
  painter.translate(0, font.ascent_px);
  painter.scale(scale, scale);
  painter.drawText(QPointF(0, 0), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  Touch(font.escapement != 0 ? clip : ToQRect(cell).translated(origin_) & clip);
}

void ImageCanvas::Transfer(const gfx::Rect& dest, const gfx::Rect& source, bool mirror_x, bool mirror_y,
                           uint32_t rop, gfx::Color brush, bool has_source,
                           const std::function<uint32_t(int32_t, int32_t)>& source_pixel) {
  const QRect area = ToQRect(dest).translated(origin_) & ImageClip();
  if (area.isEmpty()) return;
  const int32_t dw = dest.Width(), dh = dest.Height();
  const int32_t sw = source.Width(), sh = source.Height();
  if (has_source && (sw <= 0 || sh <= 0)) return;
  // Nearest source pixel of each destination column and row, read before anything is written:
  // the source may be this very image.
  std::vector<int32_t> columns, rows;
  if (has_source) {
    for (int x = area.left(); x <= area.right(); ++x) {
      int32_t sx = static_cast<int32_t>(static_cast<int64_t>(x - origin_.x() - dest.left) * sw / dw);
      columns.push_back(mirror_x ? sw - 1 - sx : sx);
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
      int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y - origin_.y() - dest.top) * sh / dh);
      rows.push_back(mirror_y ? sh - 1 - sy : sy);
    }
  }
  std::vector<uint32_t> from;
  if (has_source) {
    from.reserve(static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()));
    for (const int32_t sy : rows)
      for (const int32_t sx : columns) from.push_back(source_pixel(sx, sy));
  }
  const uint32_t pattern = ToRgb(brush);
  size_t i = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const uint32_t s = has_source ? from[i++] : 0;
      line[x] = kOpaque | gfx::ApplyRop3(rop, pattern, s, line[x] & 0xFFFFFF);
    }
  }
  Touch(area);
}

void ImageCanvas::BlitDevice(const gfx::Rect& dest, const gfx::Canvas* source, const gfx::Rect& source_device,
                             bool mirror_x, bool mirror_y, uint32_t rop, gfx::Color brush) {
  if (source == nullptr) {
    Transfer(dest, {}, false, false, rop, brush, false, {});
    return;
  }
  const auto* from = dynamic_cast<const ImageCanvas*>(source);
  if (from == nullptr || from->image_->isNull()) return;
  const QImage& image = *from->image_;
  const QPoint at = from->origin_ + QPoint(source_device.left, source_device.top);
  Transfer(dest, source_device, mirror_x, mirror_y, rop, brush, true, [&](int32_t x, int32_t y) -> uint32_t {
    const int ix = at.x() + x, iy = at.y() + y;
    if (!image.rect().contains(ix, iy)) return 0;
    return reinterpret_cast<const QRgb*>(image.constScanLine(iy))[ix] & 0xFFFFFF;
  });
}

void ImageCanvas::BitmapDevice(const gfx::Rect& dest, const gfx::Bitmap& bitmap, const gfx::Rect& source,
                               bool mirror_x, bool mirror_y, uint32_t rop, gfx::Color brush) {
  // An unscaled copy (the ECG paper tiles, every repaint) goes row by row.
  if (rop == gfx::kSrcCopy && !mirror_x && !mirror_y && dest.Width() == source.Width() &&
      dest.Height() == source.Height()) {
    const QRect area = ToQRect(dest).translated(origin_) & ImageClip();
    if (area.isEmpty()) return;
    const std::vector<gfx::Color>& pixels = bitmap.Pixels();
    for (int y = area.top(); y <= area.bottom(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
      const int32_t sy = source.top + (y - origin_.y() - dest.top);
      for (int x = area.left(); x <= area.right(); ++x) {
        const int32_t sx = source.left + (x - origin_.x() - dest.left);
        const bool inside = sx >= 0 && sy >= 0 && sx < bitmap.Width() && sy < bitmap.Height();
        line[x] = kOpaque | (inside ? ToRgb(pixels[static_cast<size_t>(sy) * bitmap.Width() + sx]) : 0);
      }
    }
    Touch(area);
    return;
  }
  Transfer(dest, source, mirror_x, mirror_y, rop, brush, true, [&](int32_t x, int32_t y) -> uint32_t {
    const gfx::Color c = bitmap.GetPixel(source.left + x, source.top + y);
    return c == gfx::kInvalidColor ? 0 : ToRgb(c);
  });
}

gfx::Color ImageCanvas::GetPixelDevice(gfx::Point device) const {
  const int x = device.x + origin_.x(), y = device.y + origin_.y();
  if (image_->isNull() || !image_->rect().contains(x, y)) return gfx::kInvalidColor;
  return FromRgb(reinterpret_cast<const QRgb*>(image_->constScanLine(y))[x] & 0xFFFFFF);
}

// ---- PainterCanvas

namespace {

// The colour a mix leaves on white paper; none when the paper stays white (or the mix is a no-op).
std::optional<QColor> OnPaper(gfx::Rop2 rop, gfx::Color color) {
  if (rop == gfx::Rop2::kCopyPen) return QColor::fromRgb(kOpaque | ToRgb(color));
  const uint32_t mixed = gfx::ApplyRop2(rop, ToRgb(color), 0xFFFFFF) & 0xFFFFFF;
  if (mixed == 0xFFFFFF && rop != gfx::Rop2::kWhite) return std::nullopt;
  return QColor::fromRgb(kOpaque | mixed);
}

// Raster operations that write the paper even where the result is white.
bool WritesWhite(uint32_t rop) {
  return rop == gfx::kSrcCopy || rop == gfx::kPatCopy || rop == gfx::kWhiteness;
}

QRectF ToQRectF(const gfx::Rect& r) { return QRectF(r.left, r.top, r.Width(), r.Height()); }

// The pattern of a dashed one-pixel pen in device pixels, as the canvas rasters it.
QList<qreal> DashOf(gfx::PenStyle style) {
  switch (style) {
    case gfx::PenStyle::kDash:
      return {18, 6};
    case gfx::PenStyle::kDot:
      return {3, 3};
    case gfx::PenStyle::kDashDot:
      return {9, 6, 3, 6};
    case gfx::PenStyle::kDashDotDot:
      return {9, 3, 3, 3, 3, 3};
    default:
      return {};
  }
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const gfx::DeviceInfo& device)
    : gfx::Canvas(device), painter_(painter) {}

std::unique_ptr<gfx::Canvas> PainterCanvas::CreateCompatible(int32_t width, int32_t height) const {
  gfx::DeviceInfo device = Device();
  device.width_px = width;
  device.height_px = height;
  device.width_mm = device.height_mm = 0;
  device.physical_width_px = device.physical_height_px = 0;
  device.physical_offset_x_px = device.physical_offset_y_px = 0;
  device.num_colors = -1;
  device.bits_per_pixel = 32;
  return std::make_unique<ImageCanvas>(width, height, device);
}

bool PainterCanvas::Begin() {
  if (drawn_ || !painter_.isActive()) return false;
  const gfx::Rect clip = DeviceClip();
  if (clip.IsEmpty()) return false;
  painter_.save();
  const gfx::DeviceInfo& device = Device();
  if (clip.left > 0 || clip.top > 0 || clip.right < device.width_px || clip.bottom < device.height_px)
    painter_.setClipRect(ToQRectF(clip));
  return true;
}

void PainterCanvas::FillDeviceRect(const gfx::Rect& device, const QColor& color) {
  if (!device.IsEmpty()) painter_.fillRect(ToQRectF(device), color);
}

void PainterCanvas::HairlinePath(const std::vector<gfx::Point>& device_points, bool closed) {
  const gfx::Pen& pen = GetPen();
  const std::optional<QColor> color = OnPaper(GetROP2(), pen.color);
  if (device_points.size() < 2 || !Begin()) return;
  QPolygonF path;
  for (const gfx::Point& p : device_points) path << QPointF(p.x + 0.5, p.y + 0.5);
  if (closed) path << path.front();
  painter_.setBrush(Qt::NoBrush);
  const QList<qreal> dashes = DashOf(pen.style);
  if (!dashes.isEmpty()) {
    // The gaps of an opaque background carry the background colour.
    if (const std::optional<QColor> gaps = OnPaper(GetROP2(), GetBkColor());
        gaps && GetBkMode() == gfx::BkMode::kOpaque) {
      painter_.setPen(QPen(*gaps, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
      painter_.drawPolyline(path);
    }
  }
  if (color) {
    // Cosmetic: the thinnest line the device draws, as a one-pixel pen is on paper.
    QPen line(*color, dashes.isEmpty() ? 0 : 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (!dashes.isEmpty()) line.setDashPattern(dashes);
    painter_.setPen(line);
    painter_.drawPolyline(path);
  }
  End();
}

void PainterCanvas::Record(gfx::DisplayItem item) {
  drawn_ = false;
  const gfx::Pen& pen = GetPen();
  const int32_t width_px =
      pen.width <= 0
          ? 1
          : std::max<int32_t>(1, static_cast<int32_t>(std::lround(pen.width * std::abs(ScaleX()))));
  const bool hairline = pen.style != gfx::PenStyle::kNull && width_px <= 1;
  const auto device_points = [this](std::span<const gfx::Point> logical) {
    std::vector<gfx::Point> device;
    device.reserve(logical.size() + 1);
    for (const gfx::Point& p : logical) device.push_back(LPtoDP(p));
    return device;
  };
  if (const auto* line = std::get_if<gfx::rec::LineTo>(&item); line != nullptr && hairline) {
    const gfx::Point segment[] = {GetCurrentPosition(), line->to};
    HairlinePath(device_points(segment), false);
    drawn_ = true;
  } else if (const auto* polyline = std::get_if<gfx::rec::Polyline>(&item); polyline != nullptr && hairline) {
    HairlinePath(device_points(polyline->points), false);
    drawn_ = true;
  } else if (const auto* to = std::get_if<gfx::rec::PolylineTo>(&item); to != nullptr && hairline) {
    if (!to->points.empty()) {
      std::vector<gfx::Point> path{GetCurrentPosition()};
      path.insert(path.end(), to->points.begin(), to->points.end());
      HairlinePath(device_points(path), false);
    }
    drawn_ = true;
  } else if (const auto* polygon = std::get_if<gfx::rec::Polygon>(&item); polygon != nullptr && hairline) {
    // The fill first, then the outline over it, as the base draws them.
    if (polygon->points.size() >= 2) {
      const std::vector<gfx::Point> device = device_points(polygon->points);
      if (GetBrush().style != gfx::BrushStyle::kNull && device.size() >= 3)
        FillPolygonDevice(device, GetBrush().color, GetROP2());
      HairlinePath(device, true);
    }
    drawn_ = true;
  } else if (const auto* rectangle = std::get_if<gfx::rec::Rectangle>(&item);
             rectangle != nullptr && hairline) {
    const gfx::Rect d = LPtoDP(rectangle->rect).Normalized();
    if (!d.IsEmpty()) {
      if (GetBrush().style != gfx::BrushStyle::kNull)
        FillPixels({d.left + 1, d.top + 1, d.right - 1, d.bottom - 1}, GetBrush().color, GetROP2());
      if (d.Width() == 1 || d.Height() == 1) {
        FillPixels(d, pen.color, GetROP2());
      } else {
        HairlinePath(
            {{d.left, d.top}, {d.right - 1, d.top}, {d.right - 1, d.bottom - 1}, {d.left, d.bottom - 1}},
            true);
      }
    }
    drawn_ = true;
  } else if (const auto* frame = std::get_if<gfx::rec::FrameRect>(&item)) {
    const gfx::Rect d = LPtoDP(frame->rect).Normalized();
    if (frame->brush.style != gfx::BrushStyle::kNull && !d.IsEmpty() && Begin()) {
      const QColor color = QColor::fromRgb(kOpaque | ToRgb(frame->brush.color));
      FillDeviceRect({d.left, d.top, d.right, d.top + 1}, color);
      FillDeviceRect({d.left, d.bottom - 1, d.right, d.bottom}, color);
      FillDeviceRect({d.left, d.top, d.left + 1, d.bottom}, color);
      FillDeviceRect({d.right - 1, d.top, d.right, d.bottom}, color);
      End();
    }
    drawn_ = true;
  }
}

void PainterCanvas::PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) {
  const std::optional<QColor> c = OnPaper(rop, color);
  if (!c || pixels.empty() || !Begin()) return;
  // Runs along the rows, and runs of equal columns stacked row on row, become rectangles.
  std::vector<gfx::Point> sorted(pixels.begin(), pixels.end());
  std::sort(sorted.begin(), sorted.end(),
            [](const gfx::Point& a, const gfx::Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<gfx::Rect> rects;
  std::map<std::pair<int32_t, int32_t>, size_t> ending;
  for (size_t i = 0; i < sorted.size();) {
    size_t j = i + 1;
    while (j < sorted.size() && sorted[j].y == sorted[i].y && sorted[j].x == sorted[j - 1].x + 1) ++j;
    const int32_t y = sorted[i].y, left = sorted[i].x, right = sorted[j - 1].x + 1;
    if (auto it = ending.find({left, right}); it != ending.end() && rects[it->second].bottom == y) {
      rects[it->second].bottom = y + 1;
    } else {
      rects.push_back({left, y, right, y + 1});
      ending[{left, right}] = rects.size() - 1;
    }
    i = j;
  }
  for (const gfx::Rect& r : rects) FillDeviceRect(r, *c);
  End();
}

void PainterCanvas::FillPixels(const gfx::Rect& device, gfx::Color color, gfx::Rop2 rop) {
  const std::optional<QColor> c = OnPaper(rop, color);
  if (!c || device.IsEmpty() || !Begin()) return;
  FillDeviceRect(device, *c);
  End();
}

void PainterCanvas::StrokeWide(std::span<const gfx::Point> points, bool closed, int32_t width_px,
                               gfx::Color color, gfx::Rop2 rop) {
  const std::optional<QColor> c = OnPaper(rop, color);
  if (!c || points.empty() || !Begin()) return;
  QPolygonF path;
  for (const gfx::Point& p : points) path << QPointF(p.x + 0.5, p.y + 0.5);
  painter_.setPen(QPen(*c, width_px, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter_.setBrush(Qt::NoBrush);
  if (closed) {
    painter_.drawPolygon(path);
  } else {
    painter_.drawPolyline(path);
  }
  End();
}

void PainterCanvas::FillPolygonDevice(std::span<const gfx::Point> points, gfx::Color color, gfx::Rop2 rop) {
  const std::optional<QColor> c = OnPaper(rop, color);
  if (!c || points.empty() || !Begin()) return;
  QPolygonF polygon;
  for (const gfx::Point& p : points) polygon << QPointF(p.x, p.y);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(*c);
  painter_.drawPolygon(polygon, Qt::OddEvenFill);
  End();
}

void PainterCanvas::EllipseDevice(const gfx::Rect& box, int32_t pen_width_px, gfx::Color pen_color,
                                  std::optional<gfx::Color> fill, gfx::Rop2 rop) {
  if (!Begin()) return;
  const QRectF path(box.left + 0.5, box.top + 0.5, box.Width() - 1.0, box.Height() - 1.0);
  if (const std::optional<QColor> c = fill ? OnPaper(rop, *fill) : std::nullopt) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(*c);
    painter_.drawEllipse(path);
  }
  if (const std::optional<QColor> c = pen_width_px > 0 ? OnPaper(rop, pen_color) : std::nullopt) {
    painter_.setPen(QPen(*c, pen_width_px <= 1 ? 0 : pen_width_px));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(path);
  }
  End();
}

double PainterCanvas::MeasureText(std::string_view text) const {
  const DeviceFont f = RealizeFont();
  const double scale = std::abs(ScaleX());
  if (f.em_px <= 0 || scale <= 0 || text.empty()) return 0;
  const QFontMetricsF metrics(
      ReferenceFont(f.face.screen_family, f.weight, f.italic, f.underline, f.strike_out, f.stretch));
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return metrics.horizontalAdvance(s) * (f.em_px / kReferenceEm) / scale;
}

void PainterCanvas::TextDevice(const gfx::Rect& cell, std::string_view text, const DeviceFont& font,
                               gfx::Color color) {
  if (!Begin()) return;
  painter_.setFont(ReferenceFont(font.face.screen_family, font.weight, font.italic, font.underline,
                                 font.strike_out, font.stretch));
  painter_.setPen(QColor::fromRgb(kOpaque | ToRgb(color)));
  painter_.translate(cell.left, cell.top);
  if (font.escapement != 0) painter_.rotate(-font.escapement / 10.0);
  const double scale = font.em_px / kReferenceEm;
  painter_.translate(0, font.ascent_px);
  painter_.scale(scale, scale);
  painter_.drawText(QPointF(0, 0), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  End();
}

void PainterCanvas::Picture(const gfx::Rect& dest, int32_t source_width, int32_t source_height, bool mirror_x,
                            bool mirror_y, uint32_t rop, gfx::Color brush,
                            const std::function<uint32_t(int32_t, int32_t)>& source_pixel) {
  if (source_width <= 0 || source_height <= 0 || dest.IsEmpty() || !Begin()) return;
  const uint32_t pattern = ToRgb(brush);
  QImage picture(source_width, source_height, QImage::Format_ARGB32);
  for (int32_t y = 0; y < source_height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    const int32_t sy = mirror_y ? source_height - 1 - y : y;
    for (int32_t x = 0; x < source_width; ++x) {
      const uint32_t s = source_pixel(mirror_x ? source_width - 1 - x : x, sy) & 0xFFFFFF;
      const uint32_t mixed = rop == gfx::kSrcCopy ? s : gfx::ApplyRop3(rop, pattern, s, 0xFFFFFF) & 0xFFFFFF;
      // Where the mix leaves the paper white, the paper shows through.
      line[x] = mixed == 0xFFFFFF && !WritesWhite(rop) ? 0 : kOpaque | mixed;
    }
  }
  painter_.drawImage(ToQRectF(dest), picture);
  End();
}

void PainterCanvas::BlitDevice(const gfx::Rect& dest, const gfx::Canvas* source,
                               const gfx::Rect& source_device, bool mirror_x, bool mirror_y, uint32_t rop,
                               gfx::Color brush) {
  if (source == nullptr) {
    const uint32_t mixed = gfx::ApplyRop3(rop, ToRgb(brush), 0, 0xFFFFFF) & 0xFFFFFF;
    if ((mixed != 0xFFFFFF || WritesWhite(rop)) && Begin()) {
      FillDeviceRect(dest, QColor::fromRgb(kOpaque | mixed));
      End();
    }
    return;
  }
  const auto* from = dynamic_cast<const ImageCanvas*>(source);
  if (from == nullptr || from->Image().isNull()) return;
  const QImage& image = from->Image();
  const QPoint at = from->Origin() + QPoint(source_device.left, source_device.top);
  Picture(dest, source_device.Width(), source_device.Height(), mirror_x, mirror_y, rop, brush,
          [&](int32_t x, int32_t y) -> uint32_t {
            const int ix = at.x() + x, iy = at.y() + y;
            if (!image.rect().contains(ix, iy)) return 0;
            return reinterpret_cast<const QRgb*>(image.constScanLine(iy))[ix] & 0xFFFFFF;
          });
}

void PainterCanvas::BitmapDevice(const gfx::Rect& dest, const gfx::Bitmap& bitmap, const gfx::Rect& source,
                                 bool mirror_x, bool mirror_y, uint32_t rop, gfx::Color brush) {
  Picture(dest, source.Width(), source.Height(), mirror_x, mirror_y, rop, brush,
          [&](int32_t x, int32_t y) -> uint32_t {
            const gfx::Color c = bitmap.GetPixel(source.left + x, source.top + y);
            return c == gfx::kInvalidColor ? 0 : ToRgb(c);
          });
}

}  // namespace qthost
