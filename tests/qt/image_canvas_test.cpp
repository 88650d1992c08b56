#include "qt/image_canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <cstring>
#include <string>

#include "gfx/recording_canvas.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"

namespace qthost {
namespace {

constexpr gfx::Color kWhite = 0xFFFFFF;
constexpr gfx::Color kBlack = 0x000000;

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

gfx::DeviceInfo Screen() { return gfx::DeviceInfo{}; }

bool SameBytes(const QImage& a, const QImage& b) {
  return a.size() == b.size() && a.format() == b.format() &&
         std::memcmp(a.constBits(), b.constBits(), static_cast<size_t>(a.sizeInBytes())) == 0;
}

// A picture with many colours, so that a mix that is not its own inverse shows.
QImage Picture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb((x * 13) & 0xFF, (y * 7) & 0xFF, (x * y) & 0xFF));
  return image;
}

std::string Row(const QImage& image, int y, int from, int to) {
  std::string s;
  for (int x = from; x < to; ++x) s += (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? '.' : '#';
  return s;
}

class ImageCanvasTest : public testing::Test {
 protected:
  void SetUp() override { testing_support::TestApp(); }
};

TEST_F(ImageCanvasTest, LinesAndRectanglesKeepTheEdgeRules) {
  QImage image = WhiteImage(12, 8);
  {
    ImageCanvas canvas(image, QPoint(0, 0), Screen());
    canvas.MoveTo(1, 1);
    canvas.LineTo(6, 1);
    canvas.SelectBrush({gfx::BrushStyle::kNull, 0});
    canvas.Rectangle(2, 3, 7, 6);
  }
  EXPECT_EQ(Row(image, 1, 0, 8), ".#####..");
  EXPECT_EQ(Row(image, 3, 0, 8), "..#####.");
  EXPECT_EQ(Row(image, 4, 0, 8), "..#...#.");
  EXPECT_EQ(Row(image, 5, 0, 8), "..#####.");
  EXPECT_EQ(Row(image, 6, 0, 8), "........");
}

TEST_F(ImageCanvasTest, XorAndNotDrawingTwiceRestoresTheImageByteForByte) {
  struct Case {
    const char* name;
    gfx::Rop2 rop;
    gfx::Color color;
    int pen_width;
  };
  const Case kCases[] = {
      {"xor yellow cursor pen", gfx::Rop2::kXorPen, 0x00FFFF, 1},
      {"xor olive on a palette display", gfx::Rop2::kXorPen, 0x008080, 1},
      {"not", gfx::Rop2::kNot, 0, 1},
      {"xor wide pen", gfx::Rop2::kXorPen, 0x3366CC, 5},
      {"not wide pen", gfx::Rop2::kNot, 0, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    QImage image = Picture(64, 48);
    const QImage before = image.copy();
    const auto draw = [&] {
      ImageCanvas canvas(image, QPoint(0, 0), Screen());
      canvas.SetROP2(c.rop);
      canvas.SelectPen({gfx::PenStyle::kSolid, c.pen_width, c.color});
      canvas.SelectBrush({gfx::BrushStyle::kSolid, c.color});
      canvas.MoveTo(3, 40);
      canvas.LineTo(60, 5);
      canvas.Rectangle(5, 5, 30, 20);
      const gfx::Point trace[] = {{10, 30}, {20, 44}, {40, 25}, {50, 45}};
      canvas.Polyline(trace);
      canvas.Ellipse({35, 10, 60, 30});
      const gfx::Point triangle[] = {{2, 46}, {12, 30}, {22, 46}};
      canvas.Polygon(triangle);
      canvas.SelectPen({gfx::PenStyle::kDot, 1, c.color});
      canvas.MoveTo(0, 24);
      canvas.LineTo(64, 24);
    };
    draw();
    EXPECT_FALSE(SameBytes(image, before));
    draw();
    EXPECT_TRUE(SameBytes(image, before));
  }
}

TEST_F(ImageCanvasTest, InvertingBlitsTwiceRestoreTheImageByteForByte) {
  struct Case {
    const char* name;
    void (*invert)(gfx::Canvas& canvas, const gfx::Canvas& source);
  };
  const Case kCases[] = {
      {"DSTINVERT", [](gfx::Canvas& c, const gfx::Canvas&) { c.PatBlt(4, 4, 50, 30, gfx::kDstInvert); }},
      {"InvertRect",
       [](gfx::Canvas& c, const gfx::Canvas&) {
         c.InvertRect({0, 0, 64, 48});
       }},
      {"DrawFocusRect",
       [](gfx::Canvas& c, const gfx::Canvas&) {
         c.DrawFocusRect({3, 3, 40, 30});
       }},
      {"PATINVERT",
       [](gfx::Canvas& c, const gfx::Canvas&) {
         c.SelectBrush({gfx::BrushStyle::kSolid, 0x808000});
         c.PatBlt(10, 10, 30, 30, gfx::kPatInvert);
       }},
      {"SRCINVERT",
       [](gfx::Canvas& c, const gfx::Canvas& s) { c.BitBlt(5, 6, 40, 30, &s, 2, 3, gfx::kSrcInvert); }},
      {"SRCINVERT stretched and mirrored",
       [](gfx::Canvas& c, const gfx::Canvas& s) {
         c.StretchBlt(60, 0, -60, 48, &s, 0, 0, 20, 16, gfx::kSrcInvert);
       }},
      {"SRCINVERT from itself",
       [](gfx::Canvas& c, const gfx::Canvas&) { c.BitBlt(0, 0, 20, 20, &c, 30, 20, gfx::kSrcInvert); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    QImage image = Picture(64, 48);
    const QImage before = image.copy();
    ImageCanvas canvas(image, QPoint(0, 0), Screen());
    std::unique_ptr<gfx::Canvas> source = canvas.CreateCompatible(64, 48);
    source->SelectPen({gfx::PenStyle::kSolid, 1, 0x00FF80});
    for (int y = 0; y < 48; y += 3) {
      source->MoveTo(0, y);
      source->LineTo(64, 48 - y);
    }
    c.invert(canvas, *source);
    EXPECT_FALSE(SameBytes(image, before));
    c.invert(canvas, *source);
    EXPECT_TRUE(SameBytes(image, before));
  }
}

TEST_F(ImageCanvasTest, DrawsAtItsOriginInsideTheSystemClip) {
  QImage image = WhiteImage(40, 30);
  {
    // A child window whose client area starts at (10, 5) of its top-level window and whose
    // visible part is 8 x 6 pixels.
    ImageCanvas canvas(image, QPoint(10, 5), Screen());
    canvas.SetSystemClip(gfx::Rect{0, 0, 8, 6});
    canvas.FillSolidRect({-5, -5, 100, 100}, kBlack);
    EXPECT_EQ(canvas.GetPixel(0, 0), kBlack);
    EXPECT_EQ(canvas.GetPixel(8, 0), gfx::kInvalidColor);
  }
  EXPECT_EQ(image.pixel(9, 5) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(10, 5) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.pixel(17, 10) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.pixel(18, 10) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(17, 11) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ImageCanvasTest, ReportsWhatItChangedWhenReleased) {
  QImage image = WhiteImage(40, 30);
  QRect changed;
  {
    ImageCanvas canvas(image, QPoint(3, 4), Screen());
    canvas.SetReleaseHandler([&](const QRect& r) { changed = r; });
    canvas.SetPixel(1, 1, kBlack);
    canvas.FillSolidRect({5, 5, 7, 8}, kBlack);
  }
  EXPECT_EQ(changed, QRect(QPoint(4, 5), QPoint(9, 11)));
}

TEST_F(ImageCanvasTest, MappingModesPlaceMillimetresOnThePixels) {
  QImage image = WhiteImage(120, 120);
  {
    ImageCanvas canvas(image, QPoint(0, 0), Screen());
    canvas.SetMapMode(gfx::MapMode::kHiMetric);
    // A square of 10 mm, 5 mm from the top-left corner: 19 to 57 pixels at 96 dpi.
    canvas.FillSolidRect({500, -500, 1500, -1500}, kBlack);
    canvas.SetMapMode(gfx::MapMode::kTwips);
    // One inch down, a line half an inch long: pixels 0 to 47 of row 96.
    canvas.SelectPen({gfx::PenStyle::kSolid, 0, kBlack});
    canvas.MoveTo(0, -1440);
    canvas.LineTo(720, -1440);
  }
  EXPECT_EQ(Row(image, 19, 17, 60), "..######################################...");
  EXPECT_EQ(Row(image, 18, 17, 60), std::string(43, '.'));
  EXPECT_EQ(Row(image, 57, 17, 60), std::string(43, '.'));
  EXPECT_EQ(Row(image, 96, 0, 50), std::string(48, '#') + "..");
}

TEST_F(ImageCanvasTest, TextUsesTheArialMetricFace) {
  QImage image = WhiteImage(200, 60);
  ImageCanvas canvas(image, QPoint(0, 0), Screen());
  gfx::RecordingCanvas standard;
  struct Case {
    gfx::Font font;
    const char* text;
  };
  gfx::Font bold{-15, 0, 0, gfx::kFwBold};
  gfx::Font large{-48, 0, 0, gfx::kFwNormal};
  gfx::Font cell{15, 0, 0, gfx::kFwNormal};
  const Case kCases[] = {
      {bold, "Ch.1 Amplitude"}, {large, "12:00"}, {cell, "Herzfrequenz \xC3\xA4\xC3\xB6\xC3\xBC"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    canvas.SelectFont(c.font);
    standard.SelectFont(c.font);
    const QFontInfo info(canvas.QtFont());
    EXPECT_EQ(info.family().toStdString(), "Liberation Sans");
    const gfx::Size screen = canvas.GetTextExtent(c.text);
    const gfx::Size metrics = standard.GetTextExtent(c.text);
    EXPECT_NEAR(screen.cx, metrics.cx, 1);
    EXPECT_EQ(screen.cy, metrics.cy);
  }
  canvas.SelectFont(bold);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.TextOut(10, 10, "Ch.1");
  const gfx::Size extent = canvas.GetTextExtent("Ch.1");
  int dark_inside = 0, dark_outside = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool dark = qGray(image.pixel(x, y)) < 128;
      const bool inside = x >= 10 && x < 10 + extent.cx + 1 && y >= 10 && y < 10 + extent.cy;
      (inside ? dark_inside : dark_outside) += dark ? 1 : 0;
    }
  }
  EXPECT_GT(dark_inside, 20);
  EXPECT_EQ(dark_outside, 0);
  testing_support::SaveScreenshot(image, "image_canvas_text");
}

TEST_F(ImageCanvasTest, OpaqueTextFillsItsCellWithTheBackground) {
  QImage image = WhiteImage(100, 40);
  {
    ImageCanvas canvas(image, QPoint(0, 0), Screen());
    canvas.SelectFont({-20});
    canvas.SetBkColor(0x0000FF);
    canvas.TextOut(5, 5, "Hello");  // 46 x 22
  }
  EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.pixel(50, 26) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.pixel(51, 26) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(50, 27) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ImageCanvasTest, BitmapsStretchToTheirDestination) {
  QImage image = WhiteImage(10, 10);
  gfx::Bitmap bitmap(2, 2);
  bitmap.SetPixel(0, 0, 0x0000FF);
  bitmap.SetPixel(1, 1, 0x00FF00);
  {
    ImageCanvas canvas(image, QPoint(0, 0), Screen());
    canvas.DrawBitmap({2, 2, 6, 6}, bitmap, {0, 0, 2, 2});
  }
  EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0xFF0000u);  // red
  EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0x00FF00u);  // green
  EXPECT_EQ(image.pixel(4, 2) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.pixel(6, 6) & 0xFFFFFF, 0xFFFFFFu);
}

// An unscaled copy (the paper tiles) lands pixel for pixel at the canvas origin, inside the clip,
// from the part of the bitmap named, exactly as a copy through a one-pixel stretch does.
TEST_F(ImageCanvasTest, UnscaledBitmapCopiesMatchTheStretchingCopyAtAnOriginInsideTheClip) {
  gfx::Bitmap bitmap(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x)
      bitmap.SetPixel(x, y, gfx::Rgb(static_cast<uint8_t>(30 * x), static_cast<uint8_t>(40 * y), 7));
  }
  const auto draw = [&](const gfx::Rect& dest, const gfx::Rect& source) {
    QImage image = WhiteImage(30, 20);
    ImageCanvas canvas(image, QPoint(6, 4), Screen());
    canvas.SetSystemClip(gfx::Rect{1, 1, 9, 7});
    canvas.DrawBitmap(dest, bitmap, source);
    return image;
  };
  struct Case {
    const char* name;
    gfx::Rect dest;
    gfx::Rect source;
  };
  const Case kCases[] = {{"whole bitmap", {0, 0, 7, 5}, {0, 0, 7, 5}},
                         {"a part, cut by the clip", {-2, 3, 4, 8}, {2, 0, 8, 5}},
                         {"past the bitmap's edge", {4, 2, 10, 6}, {3, 1, 9, 5}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const QImage fast = draw(c.dest, c.source);
    // A mirrored copy of the mirrored bitmap is the same picture, drawn the general way.
    QImage general = WhiteImage(30, 20);
    {
      ImageCanvas canvas(general, QPoint(6, 4), Screen());
      canvas.SetSystemClip(gfx::Rect{1, 1, 9, 7});
      gfx::Bitmap flipped(7, 5);
      for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) flipped.SetPixel(6 - x, y, bitmap.GetPixel(x, y));
      }
      const gfx::Rect from{7 - c.source.right, c.source.top, 7 - c.source.left, c.source.bottom};
      canvas.DrawBitmap({c.dest.right, c.dest.top, c.dest.left, c.dest.bottom}, flipped, from);
    }
    EXPECT_TRUE(SameBytes(fast, general));
    EXPECT_FALSE(SameBytes(fast, WhiteImage(30, 20)));
  }
}

}  // namespace
}  // namespace qthost
