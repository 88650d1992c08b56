#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

#include "gfx/canvas.h"

namespace qthost {

// The screen's canvas: draws with the drawing rules of gfx::Canvas on a QImage of 32-bit pixels
// (a window's backing store, or a memory bitmap of its own). Pixels, rectangle fills, one-pixel
// lines, their ROP2 mixes and block transfers are computed here bit for bit; wide lines, ellipses
// and polygons take their shape from QPainter; text is drawn and measured in the Liberation face
// that matches the logical font (Arial metrics). One thread at a time.
class ImageCanvas : public gfx::Canvas {
 public:
  // Draws on image, which outlives the canvas, with device pixel (0, 0) at origin in the image.
  // The image must be Format_RGB32 or Format_ARGB32.
  ImageCanvas(QImage& image, QPoint origin, const gfx::DeviceInfo& device);
  // A memory canvas with a black image of its own, width x height.
  ImageCanvas(int32_t width, int32_t height, const gfx::DeviceInfo& device);
  ~ImageCanvas() override;

  QImage& Image() { return *image_; }
  const QImage& Image() const { return *image_; }
  QPoint Origin() const { return origin_; }

  // Called once from the destructor with the part of the image the canvas changed (image
  // coordinates), when it changed anything: the host repaints the screen from it.
  void SetReleaseHandler(std::function<void(const QRect& changed)> handler) { release_ = std::move(handler); }
  // Called with each part the canvas changes, while it lives: a canvas held open across events (a
  // cursor line dragged with the mouse) shows at once.
  void SetChangeHandler(std::function<void(const QRect& changed)> handler) { change_ = std::move(handler); }

  // The Qt face the selected font is drawn in, at the reference size that text is scaled from.
  QFont QtFont() const;

  std::unique_ptr<gfx::Canvas> CreateCompatible(int32_t width, int32_t height) const override;

 protected:
  void PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) override;
  void FillPixels(const gfx::Rect& device, gfx::Color color, gfx::Rop2 rop) override;
  void StrokeWide(std::span<const gfx::Point> device_points, bool closed, int32_t width_px, gfx::Color color,
                  gfx::Rop2 rop) override;
  void FillPolygonDevice(std::span<const gfx::Point> device_points, gfx::Color color, gfx::Rop2 rop) override;
  void EllipseDevice(const gfx::Rect& box, int32_t pen_width_px, gfx::Color pen_color,
                     std::optional<gfx::Color> fill, gfx::Rop2 rop) override;
  void TextDevice(const gfx::Rect& cell, std::string_view text, const DeviceFont& font,
                  gfx::Color color) override;
  void BlitDevice(const gfx::Rect& dest, const gfx::Canvas* source, const gfx::Rect& source_device,
                  bool mirror_x, bool mirror_y, uint32_t rop, gfx::Color brush) override;
  void BitmapDevice(const gfx::Rect& dest, const gfx::Bitmap& bitmap, const gfx::Rect& source, bool mirror_x,
                    bool mirror_y, uint32_t rop, gfx::Color brush) override;
  gfx::Color GetPixelDevice(gfx::Point device) const override;
  double MeasureText(std::string_view text) const override;

 private:
  // The clip in image coordinates, inside the image.
  QRect ImageClip() const;
  void Touch(const QRect& image_rect);
  // Paints a shape with QPainter: straight for the copy mix, else through a coverage mask whose
  // pixels are then mixed bit for bit.
  void PaintShape(const QRect& device_bounds, gfx::Rop2 rop, gfx::Color color,
                  const std::function<void(class QPainter&, const QColor&)>& draw);
  // A block transfer from a function that gives the source pixel (0x00RRGGBB) at a position of
  // the normalised source rectangle.
  void Transfer(const gfx::Rect& dest, const gfx::Rect& source, bool mirror_x, bool mirror_y, uint32_t rop,
                gfx::Color brush, bool has_source,
                const std::function<uint32_t(int32_t, int32_t)>& source_pixel);
  QFont MakeFont(const DeviceFont& font) const;

  QImage owned_;
  QImage* image_;
  QPoint origin_;
  QRect changed_;
  std::function<void(const QRect&)> release_;
  std::function<void(const QRect&)> change_;
};

// A canvas that draws through a QPainter on any paint device (a printer, a preview page, a PDF
// writer) as vectors: one-pixel lines and frames become paths, fills rectangles and polygons,
// text the Liberation face's glyphs at the exact size; only pictures stay pictures. Nothing is
// read back from the device (GetPixel gives kInvalidColor). A paint device has no pixels to mix
// with: ROP2 and raster-operation mixes are taken as on white paper, and a mix that leaves white
// paper white draws nothing. Memory canvases made from it are image canvases at its resolution.
// One thread at a time.
class PainterCanvas : public gfx::Canvas {
 public:
  // Device pixel (0, 0) is the painter's origin. The painter outlives the canvas; while it is not
  // active, nothing is drawn.
  PainterCanvas(QPainter& painter, const gfx::DeviceInfo& device);

  std::unique_ptr<gfx::Canvas> CreateCompatible(int32_t width, int32_t height) const override;

 protected:
  void PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) override;
  void FillPixels(const gfx::Rect& device, gfx::Color color, gfx::Rop2 rop) override;
  void StrokeWide(std::span<const gfx::Point> device_points, bool closed, int32_t width_px, gfx::Color color,
                  gfx::Rop2 rop) override;
  void FillPolygonDevice(std::span<const gfx::Point> device_points, gfx::Color color, gfx::Rop2 rop) override;
  void EllipseDevice(const gfx::Rect& box, int32_t pen_width_px, gfx::Color pen_color,
                     std::optional<gfx::Color> fill, gfx::Rop2 rop) override;
  void TextDevice(const gfx::Rect& cell, std::string_view text, const DeviceFont& font,
                  gfx::Color color) override;
  void BlitDevice(const gfx::Rect& dest, const gfx::Canvas* source, const gfx::Rect& source_device,
                  bool mirror_x, bool mirror_y, uint32_t rop, gfx::Color brush) override;
  void BitmapDevice(const gfx::Rect& dest, const gfx::Bitmap& bitmap, const gfx::Rect& source, bool mirror_x,
                    bool mirror_y, uint32_t rop, gfx::Color brush) override;
  double MeasureText(std::string_view text) const override;
  // The drawing calls come here first: one-pixel lines, outlines and frames are drawn as paths,
  // and the pixels the base then rasters for them are dropped.
  bool Records() const override { return true; }
  void Record(gfx::DisplayItem item) override;

 private:
  // Saves the painter's state and clips it to the canvas's clip; false when nothing is visible.
  bool Begin();
  void End() { painter_.restore(); }
  // A one-pixel path through the centres of the device pixels, with the pen's pattern.
  void HairlinePath(const std::vector<gfx::Point>& device_points, bool closed);
  void FillDeviceRect(const gfx::Rect& device, const QColor& color);
  // The picture of dest: pixel (x, y) of the normalised source is source_pixel(x, y) (0x00RRGGBB).
  void Picture(const gfx::Rect& dest, int32_t source_width, int32_t source_height, bool mirror_x,
               bool mirror_y, uint32_t rop, gfx::Color brush,
               const std::function<uint32_t(int32_t, int32_t)>& source_pixel);

  QPainter& painter_;
  // Set while the current drawing call was drawn whole in Record.
  bool drawn_ = false;
};

}  // namespace qthost
