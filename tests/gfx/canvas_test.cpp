#include "gfx/canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/pixel_canvas.h"
#include "gfx/recording_canvas.h"

namespace gfx {
namespace {

using testing_support::PixelCanvas;

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;

DeviceInfo Printer300() {
  DeviceInfo d;
  d.width_px = 2480;
  d.height_px = 3508;
  d.dpi_x = 300;
  d.dpi_y = 300;
  return d;
}

// Which of the pixels in the row (or column) are not white, as a string of '#' and '.'.
std::string Row(const Bitmap& b, int32_t y, int32_t from, int32_t to) {
  std::string s;
  for (int32_t x = from; x < to; ++x) s += b.GetPixel(x, y) == kWhite ? '.' : '#';
  return s;
}
std::string Column(const Bitmap& b, int32_t x, int32_t from, int32_t to) {
  std::string s;
  for (int32_t y = from; y < to; ++y) s += b.GetPixel(x, y) == kWhite ? '.' : '#';
  return s;
}

TEST(CanvasMapping, FixedModesPlaceUnitsByResolutionWithYUp) {
  struct Case {
    const char* name;
    MapMode mode;
    DeviceInfo device;
    Point logical;
    Point device_point;
  };
  const Case kCases[] = {
      {"text", MapMode::kText, DeviceInfo{}, {7, 9}, {7, 9}},
      {"0.01 mm: one inch right, one down", MapMode::kHiMetric, DeviceInfo{}, {2540, -2540}, {96, 96}},
      {"0.01 mm: 10 mm, 20 mm, rounded", MapMode::kHiMetric, DeviceInfo{}, {1000, -2000}, {38, 76}},
      {"0.01 mm on a 300 dpi printer", MapMode::kHiMetric, Printer300(), {1000, -2000}, {118, 236}},
      {"0.01 mm above the origin is off the page", MapMode::kHiMetric, DeviceInfo{}, {0, 2540}, {0, -96}},
      {"twips", MapMode::kTwips, DeviceInfo{}, {1440, -720}, {96, 48}},
      {"twips: one centimetre", MapMode::kTwips, DeviceInfo{}, {567, -567}, {38, 38}},
      {"0.1 mm", MapMode::kLoMetric, DeviceInfo{}, {254, -508}, {96, 192}},
      {"0.01 inch", MapMode::kLoEnglish, DeviceInfo{}, {100, -50}, {96, 48}},
      {"0.001 inch", MapMode::kHiEnglish, DeviceInfo{}, {1000, -250}, {96, 24}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas(c.device);
    canvas.SetMapMode(c.mode);
    EXPECT_EQ(canvas.LPtoDP(c.logical), c.device_point);
  }
}

TEST(CanvasMapping, OriginsShiftAndDeviceToLogicalInverts) {
  RecordingCanvas canvas;
  canvas.SetMapMode(MapMode::kHiMetric);
  EXPECT_EQ(canvas.DPtoLP(Point{96, 96}), (Point{2540, -2540}));
  canvas.SetViewportOrg(100, 200);
  EXPECT_EQ(canvas.LPtoDP(Point{2540, 0}), (Point{196, 200}));
  canvas.SetViewportOrg(0, 0);
  canvas.SetWindowOrg(-2540, 2540);
  EXPECT_EQ(canvas.LPtoDP(Point{0, 0}), (Point{96, 96}));
  EXPECT_EQ(canvas.OffsetWindowOrg(2540, -2540), (Point{-2540, 2540}));
  EXPECT_EQ(canvas.LPtoDP(Point{0, 0}), (Point{0, 0}));
  // Switching modes keeps the origins.
  canvas.SetViewportOrg(5, 6);
  canvas.SetMapMode(MapMode::kText);
  EXPECT_EQ(canvas.LPtoDP(Point{1, 1}), (Point{6, 7}));
}

TEST(CanvasMapping, ExtentsCountOnlyInTheFreeModes) {
  RecordingCanvas canvas;
  canvas.SetMapMode(MapMode::kHiMetric);
  EXPECT_EQ(canvas.SetWindowExt(1, 1), (Size{2540, 2540}));
  EXPECT_EQ(canvas.GetWindowExt(), (Size{2540, 2540}));
  EXPECT_EQ(canvas.GetViewportExt(), (Size{96, -96}));

  canvas.SetMapMode(MapMode::kAnisotropic);
  canvas.SetWindowExt(1000, 1000);
  canvas.SetViewportExt(500, -250);
  EXPECT_EQ(canvas.LPtoDP(Point{100, 100}), (Point{50, -25}));

  // Isotropic: the direction with the larger scale gives way.
  canvas.SetMapMode(MapMode::kIsotropic);
  canvas.SetWindowExt(1000, 1000);
  canvas.SetViewportExt(500, -250);
  EXPECT_EQ(canvas.GetViewportExt(), (Size{250, -250}));
  EXPECT_EQ(canvas.LPtoDP(Point{100, 100}), (Point{25, -25}));
}

// Report parts draw lines in 0.01 mm and text in twips at the same place (x in twips = x in
// 0.01 mm x 566.929 / 1000, truncated); both must meet on the device.
TEST(CanvasMapping, HiMetricLinesAndTwipsTextMeetOnThePrinter) {
  RecordingCanvas canvas(Printer300());
  for (const int32_t himetric : {1000, 2540, 18500}) {
    SCOPED_TRACE(himetric);
    canvas.SetMapMode(MapMode::kHiMetric);
    const Point line = canvas.LPtoDP(Point{himetric, -himetric});
    canvas.SetMapMode(MapMode::kTwips);
    const int32_t twips = static_cast<int32_t>(himetric * 566.929 * 0.001);
    const Point text = canvas.LPtoDP(Point{twips, -twips});
    EXPECT_NEAR(text.x, line.x, 1);
    EXPECT_NEAR(text.y, line.y, 1);
  }
}

TEST(CanvasDeviceCaps, ReportsResolutionSizeAndColours) {
  DeviceInfo info = Printer300();
  info.num_colors = 2;
  const RecordingCanvas printer(info);
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kLogPixelsX), 300);
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kHorzRes), 2480);
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kHorzSize), 210);  // A4 at 300 dpi
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kVertSize), 297);
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kNumColors), 2);
  EXPECT_EQ(printer.GetDeviceCaps(DeviceCap::kPhysicalWidth), 2480);
  const RecordingCanvas screen;
  EXPECT_EQ(screen.GetDeviceCaps(DeviceCap::kNumColors), -1);
  EXPECT_EQ(screen.GetDeviceCaps(DeviceCap::kLogPixelsY), 96);
}

TEST(CanvasPixels, LinesLeaveOutTheirEndPixel) {
  struct Case {
    const char* name;
    Point from, to;
    std::vector<Point> drawn;
    Point left_out;
  };
  const Case kCases[] = {
      {"right", {2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}, {6, 5}},
      {"left", {6, 5}, {2, 5}, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}, {2, 5}},
      {"down", {3, 1}, {3, 4}, {{3, 1}, {3, 2}, {3, 3}}, {3, 4}},
      {"diagonal", {2, 2}, {5, 5}, {{2, 2}, {3, 3}, {4, 4}}, {5, 5}},
      {"zero length draws nothing", {4, 4}, {4, 4}, {}, {4, 4}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(10, 10);
    canvas.MoveTo(c.from.x, c.from.y);
    canvas.LineTo(c.to.x, c.to.y);
    for (const Point& p : c.drawn) EXPECT_EQ(canvas.GetPixel(p.x, p.y), kBlack) << p.x << "," << p.y;
    EXPECT_EQ(canvas.GetPixel(c.left_out.x, c.left_out.y), kWhite);
    EXPECT_EQ(canvas.GetCurrentPosition(), c.to);
  }
}

TEST(CanvasPixels, PolylineDrawsEachCornerOnceAndNotItsLastPoint) {
  PixelCanvas canvas(10, 10);
  canvas.SelectPen({PenStyle::kSolid, 1, kWhite});
  canvas.SetROP2(Rop2::kXorPen);  // a pixel drawn twice would turn white again
  const Point points[] = {{1, 1}, {5, 1}, {5, 5}};
  canvas.Polyline(points);
  const Bitmap& b = canvas.Pixels();
  EXPECT_EQ(Row(b, 1, 0, 7), ".#####.");
  EXPECT_EQ(Column(b, 5, 0, 7), ".####..");
}

TEST(CanvasPixels, RectanglesLeaveOutRightAndBottom) {
  {
    SCOPED_TRACE("black pen, hollow brush");
    PixelCanvas canvas(10, 10);
    canvas.SelectBrush({BrushStyle::kNull, 0});
    canvas.Rectangle(2, 2, 6, 5);
    const Bitmap& b = canvas.Pixels();
    EXPECT_EQ(Row(b, 2, 0, 8), "..####..");
    EXPECT_EQ(Row(b, 3, 0, 8), "..#..#..");
    EXPECT_EQ(Row(b, 4, 0, 8), "..####..");
    EXPECT_EQ(Row(b, 5, 0, 8), "........");
  }
  {
    SCOPED_TRACE("null pen: one pixel less each way");
    PixelCanvas canvas(10, 10);
    canvas.SelectPen({PenStyle::kNull, 0, 0});
    canvas.SelectBrush({BrushStyle::kSolid, kBlack});
    canvas.Rectangle(2, 2, 6, 5);
    const Bitmap& b = canvas.Pixels();
    EXPECT_EQ(Row(b, 2, 0, 8), "..###...");
    EXPECT_EQ(Row(b, 3, 0, 8), "..###...");
    EXPECT_EQ(Row(b, 4, 0, 8), "........");
  }
  {
    SCOPED_TRACE("FillRect");
    PixelCanvas canvas(10, 10);
    canvas.FillRect({2, 2, 6, 5}, {BrushStyle::kSolid, kBlack});
    const Bitmap& b = canvas.Pixels();
    EXPECT_EQ(Row(b, 4, 0, 8), "..####..");
    EXPECT_EQ(Row(b, 5, 0, 8), "........");
  }
  {
    SCOPED_TRACE("y-up mapping: same pixels from a rectangle given top > bottom");
    PixelCanvas canvas(10, 10);
    canvas.SetMapMode(MapMode::kAnisotropic);
    canvas.SetViewportExt(1, -1);
    canvas.SetViewportOrg(0, 10);
    canvas.FillRect({2, 8, 6, 5}, {BrushStyle::kSolid, kBlack});
    EXPECT_EQ(Row(canvas.Pixels(), 2, 0, 8), "..####..");
    EXPECT_EQ(Row(canvas.Pixels(), 4, 0, 8), "..####..");
    EXPECT_EQ(Row(canvas.Pixels(), 5, 0, 8), "........");
  }
}

TEST(CanvasPixels, StyledPensDrawTheirPatternAndTheGapsWhenOpaque) {
  struct Case {
    const char* name;
    PenStyle style;
    BkMode mode;
    const char* row;  // '#' pen, 'r' background colour, '.' untouched
  };
  const Case kCases[] = {
      {"dot, opaque", PenStyle::kDot, BkMode::kOpaque, "###rrr###rrr#"},
      {"dot, transparent", PenStyle::kDot, BkMode::kTransparent, "###...###...#"},
      {"dash", PenStyle::kDash, BkMode::kTransparent, "#############"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(20, 5);
    canvas.SetBkColor(0x0000FF);
    canvas.SetBkMode(c.mode);
    canvas.SelectPen({c.style, 1, kBlack});
    canvas.MoveTo(0, 2);
    canvas.LineTo(14, 2);
    std::string row;
    for (int32_t x = 0; x < 13; ++x) {
      const Color p = canvas.GetPixel(x, 2);
      row += p == kBlack ? '#' : p == 0x0000FF ? 'r' : '.';
    }
    EXPECT_EQ(row, c.row);
  }
}

TEST(CanvasPixels, FarOffLinesDrawOnlyWhatIsVisibleAndKeepTheirPattern) {
  PixelCanvas canvas(20, 10);
  canvas.MoveTo(-1000000000, 5);
  canvas.LineTo(1000000000, 5);
  EXPECT_EQ(Row(canvas.Pixels(), 5, 0, 20), std::string(20, '#'));
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SelectPen({PenStyle::kDot, 1, kBlack});
  canvas.MoveTo(-6000000, 2);
  canvas.LineTo(20, 2);
  std::string want;
  for (int32_t x = 0; x < 20; ++x) want += (x + 6000000) % 6 < 3 ? '#' : '.';
  EXPECT_EQ(Row(canvas.Pixels(), 2, 0, 20), want);
  canvas.SelectBrush({BrushStyle::kNull, 0});
  canvas.SelectPen({PenStyle::kSolid, 1, kBlack});
  canvas.Rectangle(-2000000000, 8, 2000000000, 2000000000);
  EXPECT_EQ(Row(canvas.Pixels(), 8, 0, 20), std::string(20, '#'));
  EXPECT_EQ(Row(canvas.Pixels(), 9, 0, 20), std::string(20, '.'));
}

// A picture with many colours, so that a mix that is not its own inverse shows.
void Paint(PixelCanvas& canvas) {
  Bitmap& b = canvas.Pixels();
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) b.SetPixel(x, y, Rgb(x * 13, y * 7, (x * y) & 0xFF));
}

TEST(CanvasPixels, XorAndNotDrawingTwiceRestoresThePicture) {
  struct Case {
    const char* name;
    Rop2 rop;
    Color color;
  };
  const Case kCases[] = {{"xor yellow", Rop2::kXorPen, 0x00FFFF},
                         {"xor olive", Rop2::kXorPen, 0x008080},
                         {"not", Rop2::kNot, 0x123456}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(40, 30);
    Paint(canvas);
    const Bitmap before = canvas.Pixels();
    const auto draw = [&] {
      canvas.SetROP2(c.rop);
      canvas.SelectPen({PenStyle::kSolid, 1, c.color});
      canvas.SelectBrush({BrushStyle::kSolid, c.color});
      canvas.MoveTo(3, 29);
      canvas.LineTo(30, 2);
      canvas.Rectangle(5, 5, 20, 12);
      const Point cursor[] = {{10, 6}, {10, 25}, {14, 25}};
      canvas.Polyline(cursor);
      canvas.SelectPen({PenStyle::kDot, 1, c.color});
      canvas.MoveTo(0, 15);
      canvas.LineTo(40, 15);
    };
    draw();
    EXPECT_NE(canvas.Pixels(), before);
    draw();
    EXPECT_EQ(canvas.Pixels(), before);
  }
}

TEST(CanvasPixels, InvertingOperationsTwiceRestoreThePicture) {
  struct Case {
    const char* name;
    void (*invert)(PixelCanvas&, const Canvas& source);
  };
  const Case kCases[] = {
      {"InvertRect",
       [](PixelCanvas& c, const Canvas&) {
         c.InvertRect({4, 4, 30, 20});
       }},
      {"DrawFocusRect",
       [](PixelCanvas& c, const Canvas&) {
         c.DrawFocusRect({4, 4, 30, 20});
       }},
      {"PatBlt DSTINVERT", [](PixelCanvas& c, const Canvas&) { c.PatBlt(4, 4, 26, 16, kDstInvert); }},
      {"PatBlt PATINVERT",
       [](PixelCanvas& c, const Canvas&) {
         c.SelectBrush({BrushStyle::kSolid, 0x3366CC});
         c.PatBlt(4, 4, 26, 16, kPatInvert);
       }},
      {"BitBlt SRCINVERT",
       [](PixelCanvas& c, const Canvas& s) { c.BitBlt(4, 4, 26, 16, &s, 1, 2, kSrcInvert); }},
      {"StretchBlt SRCINVERT",
       [](PixelCanvas& c, const Canvas& s) { c.StretchBlt(0, 0, 40, 30, &s, 0, 0, 20, 15, kSrcInvert); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PixelCanvas canvas(40, 30);
    Paint(canvas);
    PixelCanvas source(40, 30);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) source.Pixels().SetPixel(x, y, Rgb(255 - x, y * 5, 77));
    const Bitmap before = canvas.Pixels();
    c.invert(canvas, source);
    EXPECT_NE(canvas.Pixels(), before);
    c.invert(canvas, source);
    EXPECT_EQ(canvas.Pixels(), before);
  }
}

TEST(CanvasPixels, BlitsCopyAndNeedASourceWhenTheOperationReadsOne) {
  PixelCanvas canvas(10, 10);
  std::unique_ptr<Canvas> tile = canvas.CreateCompatible(3, 2);
  EXPECT_EQ(tile->GetPixel(0, 0), kBlack);  // a new bitmap starts black
  tile->SetPixel(2, 1, 0x0000FF);
  EXPECT_TRUE(canvas.BitBlt(5, 5, 3, 2, tile.get(), 0, 0, kSrcCopy));
  EXPECT_EQ(canvas.GetPixel(7, 6), 0x0000FFu);
  EXPECT_EQ(canvas.GetPixel(5, 5), kBlack);
  EXPECT_EQ(canvas.GetPixel(8, 6), kWhite);
  EXPECT_FALSE(canvas.BitBlt(0, 0, 3, 2, nullptr, 0, 0, kSrcCopy));
  EXPECT_TRUE(canvas.PatBlt(0, 0, 2, 2, kBlackness));
  EXPECT_EQ(canvas.GetPixel(1, 1), kBlack);
}

TEST(CanvasClip, ClipsNarrowAndComeBackWithRestoreAndReset) {
  PixelCanvas canvas(10, 10);
  const int32_t level = canvas.SaveDC();
  EXPECT_EQ(canvas.IntersectClipRect({0, 0, 5, 5}), 2);
  EXPECT_EQ(canvas.GetClipBox(), (Rect{0, 0, 5, 5}));
  canvas.FillSolidRect({0, 0, 10, 10}, kBlack);
  EXPECT_EQ(Row(canvas.Pixels(), 4, 0, 10), "#####.....");
  EXPECT_EQ(Row(canvas.Pixels(), 5, 0, 10), "..........");
  EXPECT_EQ(canvas.SetPixel(7, 7, kBlack), kInvalidColor);
  EXPECT_EQ(canvas.IntersectClipRect({6, 6, 9, 9}), 1);  // nothing left visible
  EXPECT_TRUE(canvas.RestoreDC(level));
  EXPECT_EQ(canvas.GetClipBox(), (Rect{0, 0, 10, 10}));
  canvas.SelectClipRect(Rect{8, 8, 10, 10});
  EXPECT_EQ(canvas.GetClipBox(), (Rect{8, 8, 10, 10}));
  canvas.SelectClipRect(std::nullopt);
  EXPECT_EQ(canvas.GetClipBox(), (Rect{0, 0, 10, 10}));
  // The window system's clip bounds everything the program selects.
  canvas.SetSystemClip(Rect{2, 2, 6, 6});
  canvas.SelectClipRect(Rect{0, 0, 4, 10});
  EXPECT_EQ(canvas.GetClipBox(), (Rect{2, 2, 4, 6}));
}

TEST(CanvasState, SaveAndRestoreBringBackObjectsAndMapping) {
  RecordingCanvas canvas;
  const Pen red{PenStyle::kSolid, 1, 0x0000FF};
  canvas.SelectPen(red);
  EXPECT_EQ(canvas.SaveDC(), 1);
  canvas.SelectPen({PenStyle::kDot, 1, 0});
  canvas.SetMapMode(MapMode::kTwips);
  canvas.SetROP2(Rop2::kXorPen);
  EXPECT_EQ(canvas.SaveDC(), 2);
  canvas.SetTextColor(0x00FF00);
  EXPECT_TRUE(canvas.RestoreDC(-2));
  EXPECT_EQ(canvas.GetPen(), red);
  EXPECT_EQ(canvas.GetMapMode(), MapMode::kText);
  EXPECT_EQ(canvas.GetROP2(), Rop2::kCopyPen);
  EXPECT_EQ(canvas.GetTextColor(), 0u);
  EXPECT_FALSE(canvas.RestoreDC(-1));  // nothing saved any more
  EXPECT_FALSE(canvas.RestoreDC(3));
}

TEST(CanvasState, SelectReturnsWhatItReplaced) {
  RecordingCanvas canvas;
  EXPECT_EQ(canvas.SelectPen({PenStyle::kSolid, 2, 0x00FF00}), (Pen{PenStyle::kSolid, 0, 0}));
  EXPECT_EQ(canvas.SelectBrush({BrushStyle::kNull, 0}), (Brush{BrushStyle::kSolid, kWhite}));
  EXPECT_EQ(canvas.SelectFont(Font{-15, 0, 0, 700}).face, "Arial");
  EXPECT_EQ(canvas.SetBkMode(BkMode::kTransparent), BkMode::kOpaque);
  EXPECT_EQ(canvas.SetBkColor(0), kWhite);
  EXPECT_EQ(canvas.SetTextAlign(kTaBaseline), kTaTop | kTaLeft);
}

}  // namespace
}  // namespace gfx
