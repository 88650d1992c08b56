#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/display_list.h"
#include "gfx/drawing_types.h"
#include "gfx/font_metrics.h"
#include "gfx/geometry.h"

namespace gfx {

// A device context: drawing state and drawing calls with the semantics of the Windows drawing
// interface that the program's windows, areas and report parts were written for.
// - Coordinates are logical units, mapped to device pixels by the mapping mode, the window and
//   viewport origins and extents (device = (logical - window origin) x viewport extent / window
//   extent + viewport origin, rounded to the nearest pixel).
// - Lines leave out their last pixel; rectangles and ellipses cover left..right-1 and top..bottom-1
//   in device pixels (one pixel less each way with a null pen); FillRect covers the same.
// - Lines, rectangles, ellipses and polygons mix with the screen by the ROP2 mode (XOR, NOT ...);
//   block transfers by their raster operation; FillRect, SetPixel and text ignore both.
// - Objects are selected by value; each Select returns the one it replaced, for restoring.
// - Text is UTF-8, measured in the selected font (Arial metrics unless the face is fixed-pitch or
//   serif). A new canvas has Font{} selected (Arial, an em of 12 logical units): select a font
//   before drawing text.
// Device pixels are those of the window's client area (or of the bitmap or page); the window system
// sets where that area lies and what of it is visible.
// One canvas belongs to one thread at a time; it is meant to live for one drawing.
class Canvas {
 public:
  virtual ~Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Device.
  const DeviceInfo& Device() const { return device_; }
  int32_t GetDeviceCaps(DeviceCap cap) const;

  // Mapping. The fixed modes (all but MM_ISOTROPIC and MM_ANISOTROPIC) set both extents from the
  // device resolution and ignore extent changes; origins are kept across mode changes.
  MapMode SetMapMode(MapMode mode);
  MapMode GetMapMode() const { return state_.map_mode; }
  Point SetWindowOrg(int32_t x, int32_t y);
  Point OffsetWindowOrg(int32_t dx, int32_t dy);
  Point GetWindowOrg() const { return state_.window_org; }
  Size SetWindowExt(int32_t cx, int32_t cy);
  Size GetWindowExt() const { return state_.window_ext; }
  Point SetViewportOrg(int32_t x, int32_t y);
  Point OffsetViewportOrg(int32_t dx, int32_t dy);
  Point GetViewportOrg() const { return state_.viewport_org; }
  Size SetViewportExt(int32_t cx, int32_t cy);
  Size GetViewportExt() const { return state_.viewport_ext; }
  Point LPtoDP(Point logical) const;
  Point DPtoLP(Point device) const;
  // Corner by corner: in a y-up mode a logical rectangle with top > bottom maps to a device
  // rectangle with top < bottom.
  Rect LPtoDP(const Rect& logical) const;
  Rect DPtoLP(const Rect& device) const;

  // Objects and attributes.
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  Font SelectFont(const Font& font);
  const Pen& GetPen() const { return state_.pen; }
  const Brush& GetBrush() const { return state_.brush; }
  const Font& GetFont() const { return state_.font; }
  Color SetTextColor(Color color);
  Color GetTextColor() const { return state_.text_color; }
  Color SetBkColor(Color color);
  Color GetBkColor() const { return state_.bk_color; }
  BkMode SetBkMode(BkMode mode);
  BkMode GetBkMode() const { return state_.bk_mode; }
  Rop2 SetROP2(Rop2 rop);
  Rop2 GetROP2() const { return state_.rop2; }
  uint32_t SetTextAlign(uint32_t align);
  uint32_t GetTextAlign() const { return state_.text_align; }

  // State stack. SaveDC returns the new level (1 for the first save). RestoreDC restores the state
  // saved at that level (negative: that many saves back) and drops it and every later save; false
  // when there is no such level.
  int32_t SaveDC();
  bool RestoreDC(int32_t level);

  // Clipping. The clip box is the visible part of the device in logical units. IntersectClipRect
  // narrows the clip by a logical rectangle; SelectClipRect sets it to a device rectangle, or back
  // to the whole window with none. Both return 1 when nothing stays visible, 2 otherwise.
  Rect GetClipBox() const;
  int32_t IntersectClipRect(const Rect& logical);
  int32_t SelectClipRect(std::optional<Rect> device);
  // For the window system: the part of the device the window may draw on (device units); none
  // for the whole device. Not recorded; SelectClipRect(none) returns to it.
  void SetSystemClip(std::optional<Rect> device);

  // Lines and shapes.
  Point MoveTo(int32_t x, int32_t y);
  Point GetCurrentPosition() const { return state_.position; }
  void LineTo(int32_t x, int32_t y);
  void Polyline(std::span<const Point> points);
  // From the current position through the points; the last point becomes the current position.
  void PolylineTo(std::span<const Point> points);
  // Filled with the brush (alternate rule), outlined with the pen, closed.
  void Polygon(std::span<const Point> points);
  void Rectangle(const Rect& rect);
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Rectangle(Rect{left, top, right, bottom});
  }
  void Ellipse(const Rect& rect);
  void FillRect(const Rect& rect, const Brush& brush);
  void FillSolidRect(const Rect& rect, Color color) { FillRect(rect, Brush{BrushStyle::kSolid, color}); }
  // A border one device pixel wide in the brush's colour.
  void FrameRect(const Rect& rect, const Brush& brush);
  void InvertRect(const Rect& rect);
  // The dotted focus border, drawn by inverting: drawing it twice removes it.
  void DrawFocusRect(const Rect& rect);
  // Returns the colour set, or kInvalidColor when the point lies outside the clip.
  Color SetPixel(int32_t x, int32_t y, Color color);
  // kInvalidColor outside the clip or on a canvas without pixels.
  Color GetPixel(int32_t x, int32_t y) const;

  // Text.
  void TextOut(int32_t x, int32_t y, std::string_view text);
  // Returns the height of the text; with kDtVCenter or kDtBottom on a single line, the distance
  // from the rectangle's top to the bottom of the text. kDtCalcRect only measures: it sets the
  // rectangle's right and bottom to fit the text and draws nothing.
  int32_t DrawText(std::string_view text, Rect& rect, uint32_t format);
  Size GetTextExtent(std::string_view text) const;
  TextMetrics GetTextMetrics() const;

  // Block transfers; dest and source in the logical units of their canvases. The source is a
  // canvas of the same kind (CreateCompatible); operations without source take none. A negative
  // size mirrors. Return false when the operation needs a source and has none.
  bool BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas* source, int32_t src_x,
              int32_t src_y, uint32_t rop);
  bool StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas* source, int32_t src_x,
                  int32_t src_y, int32_t src_width, int32_t src_height, uint32_t rop);
  bool PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop);
  // A device-independent picture stretched onto dest; source in the picture's pixels.
  void DrawBitmap(const Rect& dest, const Bitmap& bitmap, const Rect& source, uint32_t rop = kSrcCopy);
  void DrawBitmap(const Rect& dest, std::shared_ptr<const Bitmap> bitmap, const Rect& source,
                  uint32_t rop = kSrcCopy);

  // A comment in the recorded page; draws nothing.
  void Comment(std::string_view text);

  // A memory canvas of the same kind with a black bitmap of that many device pixels, at the same
  // resolution: what is drawn into it can be copied here with BitBlt.
  virtual std::unique_ptr<Canvas> CreateCompatible(int32_t width, int32_t height) const = 0;

 protected:
  explicit Canvas(const DeviceInfo& device);

  // A logical font realised on the device.
  struct DeviceFont {
    FontFace face;
    double em_px = 0;
    double stretch = 1;
    double ascent_px = 0;
    int32_t weight = kFwNormal;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    int32_t escapement = 0;
  };

  // The raster backend. Coordinates are device pixels; every call is already cut to DeviceClip(),
  // except where noted. A canvas without pixels leaves them all empty.
  virtual void PlotPixels(std::span<const Point> pixels, Color color, Rop2 rop) {}
  virtual void FillPixels(const Rect& device, Color color, Rop2 rop) {}
  // Not cut: the backend clips. width_px > 1.
  virtual void StrokeWide(std::span<const Point> device_points, bool closed, int32_t width_px, Color color,
                          Rop2 rop) {}
  // Not cut: the backend clips. Alternate fill rule.
  virtual void FillPolygonDevice(std::span<const Point> device_points, Color color, Rop2 rop) {}
  // Not cut: the backend clips. box normalised; pen_width_px 0 for no outline.
  virtual void EllipseDevice(const Rect& box, int32_t pen_width_px, Color pen_color,
                             std::optional<Color> fill, Rop2 rop) {}
  // Not cut: the backend clips. cell is the text's device rectangle (before rotation).
  virtual void TextDevice(const Rect& cell, std::string_view text, const DeviceFont& font, Color color) {}
  // Not cut: the backend clips. Rectangles normalised; the mirror flags say whether the copy is
  // flipped; source is null for operations without source.
  virtual void BlitDevice(const Rect& dest, const Canvas* source, const Rect& source_device, bool mirror_x,
                          bool mirror_y, uint32_t rop, Color brush) {}
  virtual void BitmapDevice(const Rect& dest, const Bitmap& bitmap, const Rect& source, bool mirror_x,
                            bool mirror_y, uint32_t rop, Color brush) {}
  virtual Color GetPixelDevice(Point device) const { return kInvalidColor; }

  // The text width in logical units of the selected font; the default measures with the standard
  // font metrics.
  virtual double MeasureText(std::string_view text) const;

  // Display-list hook: called with every drawing call before it is rastered, when Records() is true.
  virtual bool Records() const { return false; }
  virtual void Record(DisplayItem item) {}
  // What a copy from this canvas records as its source.
  virtual rec::BlitSource Snapshot() const;

  // Device rectangle that drawing may touch: the device, the system clip and the program's clip.
  Rect DeviceClip() const;
  DeviceFont RealizeFont() const;
  // Signed viewport extent / window extent.
  double ScaleX() const;
  double ScaleY() const;

 private:
  struct State {
    MapMode map_mode = MapMode::kText;
    Point window_org;
    Size window_ext{1, 1};
    Point viewport_org;
    Size viewport_ext{1, 1};
    Pen pen;
    Brush brush;
    Font font;
    Color text_color = 0x000000;
    Color bk_color = 0xFFFFFF;
    BkMode bk_mode = BkMode::kOpaque;
    Rop2 rop2 = Rop2::kCopyPen;
    uint32_t text_align = kTaTop | kTaLeft | kTaNoUpdateCp;
    Point position;
    std::optional<Rect> clip;  // device units
  };

  void Stroke(std::span<const Point> logical, bool closed);
  void StrokeCosmetic(std::span<const Point> device, bool closed);
  void PlotClipped(std::vector<Point>& pixels, Color color, Rop2 rop);
  void FillClipped(const Rect& device, Color color, Rop2 rop);
  int32_t PenWidthPx() const;
  void AdjustIsotropic();
  // The logical cell of a text at the reference point with the alignment, and its device rectangle.
  Rect TextCell(Point reference, uint32_t align, double width_logical, Rect* device_cell) const;
  void PaintText(const Rect& device_cell, std::string_view text);
  // One run of a DrawText line, its top-left corner at the logical point.
  void DrawTextRun(Point top_left, std::string_view text, double width, const Rect& draw_rect,
                   uint32_t format);
  void PaintBitmap(const Rect& dest, const Bitmap& bitmap, const Rect& source, uint32_t rop);
  int32_t ClipResult() const { return DeviceClip().IsEmpty() ? 1 : 2; }

  DeviceInfo device_;
  State state_;
  std::vector<State> saved_;
  std::optional<Rect> system_clip_;
};

}  // namespace gfx
