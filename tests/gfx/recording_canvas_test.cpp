#include "gfx/recording_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gfx {
namespace {

using Lines = std::vector<std::string>;

// The position cursor of an ECG strip: two small bars drawn with an XOR pen and brush, and the
// previous pen, brush and mode restored.
TEST(RecordingCanvas, RecordsAnXorCursorExactly) {
  RecordingCanvas canvas;
  const Pen old_pen = canvas.SelectPen({PenStyle::kSolid, 1, 0x00FFFF});
  const Brush old_brush = canvas.SelectBrush({BrushStyle::kSolid, 0x00FFFF});
  const Rop2 old_rop = canvas.SetROP2(Rop2::kXorPen);
  canvas.Rectangle(95, 11, 105, 16);
  canvas.Rectangle(95, 195, 105, 200);
  canvas.SetROP2(old_rop);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
  EXPECT_EQ(canvas.Lines(), (Lines{
                                "SelectPen solid 1 0x00FFFF",
                                "SelectBrush solid 0x00FFFF",
                                "SetROP2 xorpen",
                                "Rectangle 95,11,105,16",
                                "Rectangle 95,195,105,200",
                                "SetROP2 copypen",
                                "SelectBrush solid 0xFFFFFF",
                                "SelectPen solid 0 0x000000",
                            }));
}

// A report header block: lines in 0.01 mm, the title in twips into a band, back to 0.01 mm.
TEST(RecordingCanvas, RecordsAReportHeaderExactly) {
  DeviceInfo printer;
  printer.dpi_x = printer.dpi_y = 300;
  RecordingCanvas canvas(printer);
  canvas.SetMapMode(MapMode::kHiMetric);
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SelectPen({PenStyle::kSolid, 32, 0});
  canvas.MoveTo(1000, -1000);
  canvas.LineTo(19500, -1000);
  canvas.SetMapMode(MapMode::kTwips);
  canvas.SelectFont({348, 0, 0, kFwBold});
  Rect band{566, -1417, 10771, -1757};
  canvas.DrawText("Summary", band, 0x24);
  canvas.SetMapMode(MapMode::kHiMetric);
  canvas.Comment("PAGETITLE,Summary");
  EXPECT_EQ(canvas.Dump(),
            "SetMapMode himetric\n"
            "SetBkMode transparent\n"
            "SelectPen solid 32 0x000000\n"
            "MoveTo 1000,-1000\n"
            "LineTo 19500,-1000\n"
            "SetMapMode twips\n"
            "SelectFont \"Arial\" 348 w700\n"
            // Cell 348, so the line starts (340 - 348) / 2 = -4 below the band's top: it overlaps the
            // band by a few twips and is clipped to it.
            "DrawText 566,-1417,10771,-1757 0x24 \"Summary\" at 566,-1413 [566,-1413,1985,-1761] "
            "clip 566,-1417,10771,-1757\n"
            "SetMapMode himetric\n"
            "Comment \"PAGETITLE,Summary\"\n");
}

// The pixel grid draws one tile into a memory canvas and copies it: the copy carries the tile's
// own recording, so that a reader of the page sees what was copied.
TEST(RecordingCanvas, RecordsCopiesWithWhatTheSourceDrew) {
  RecordingCanvas window;
  std::unique_ptr<Canvas> tile = window.CreateCompatible(30, 150);
  EXPECT_EQ(tile->GetDeviceCaps(DeviceCap::kHorzRes), 30);
  EXPECT_EQ(tile->GetDeviceCaps(DeviceCap::kLogPixelsX), 96);
  tile->FillSolidRect({0, 0, 30, 150}, 0xFFFFFF);
  tile->SelectPen({PenStyle::kDot, 1, 0xC0C0C0});
  tile->MoveTo(14, 0);
  tile->LineTo(14, 30);
  tile->SetPixel(2, 2, 0xC0C0C0);
  window.BitBlt(17, 0, 13, 150, tile.get(), 17, 0, kSrcCopy);
  window.BitBlt(30, 0, 30, 150, tile.get(), 0, 0, kSrcCopy);
  window.PatBlt(0, 0, 10, 10, kPatCopy);
  ASSERT_EQ(window.Lines(), (Lines{
                                "BitBlt 17,0,30,150 <- 17,0,30,150 of 30x150 rop 0x00CC0020",
                                "BitBlt 30,0,60,150 <- 0,0,30,150 of 30x150 rop 0x00CC0020",
                                "PatBlt 0,0,10,10 rop 0x00F00021",
                            }));
  const auto& copy = std::get<rec::BitBlt>(window.Items()[0]);
  ASSERT_TRUE(copy.source && copy.source->picture);
  EXPECT_EQ(ToLines(copy.source->picture->items), (Lines{
                                                      "FillRect 0,0,30,150 solid 0xFFFFFF",
                                                      "SelectPen dot 1 0xC0C0C0",
                                                      "MoveTo 14,0",
                                                      "LineTo 14,30",
                                                      "SetPixel 2,2 0xC0C0C0",
                                                  }));
  // Both copies share one picture of the unchanged tile.
  EXPECT_EQ(copy.source->picture, std::get<rec::BitBlt>(window.Items()[1]).source->picture);
}

TEST(RecordingCanvas, RecordsShapesBitmapsAndStateInTheirOwnTerms) {
  RecordingCanvas canvas;
  const Point trace[] = {{0, 10}, {1, 12}, {2, 9}};
  canvas.SaveDC();
  canvas.SetMapMode(MapMode::kAnisotropic);
  canvas.SetWindowExt(100, 100);
  canvas.SetViewportExt(50, 50);
  canvas.SetViewportOrg(3, 4);
  canvas.IntersectClipRect({0, 0, 100, 100});
  canvas.PolylineTo(trace);
  canvas.Polygon(trace);
  canvas.Ellipse({1, 2, 3, 4});
  canvas.SelectFont({-15, 0, 900, 400, true, true, false, "Courier New"});
  canvas.SetTextColor(0x0000FF);
  canvas.SetBkColor(0x808080);
  canvas.SetTextAlign(kTaBaseline | kTaCenter);
  canvas.DrawFocusRect({0, 0, 8, 8});
  canvas.InvertRect({0, 0, 8, 8});
  canvas.FrameRect({0, 0, 8, 8}, {BrushStyle::kNull, 0});
  canvas.DrawBitmap({0, 0, 32, 32}, Bitmap(16, 16), {0, 0, 16, 16});
  canvas.SelectClipRect(std::nullopt);
  EXPECT_EQ(canvas.GetCurrentPosition(), (Point{2, 9}));
  canvas.RestoreDC(-1);
  EXPECT_EQ(canvas.Lines(), (Lines{
                                "SaveDC",
                                "SetMapMode anisotropic",
                                "SetWindowExt 100,100",
                                "SetViewportExt 50,50",
                                "SetViewportOrg 3,4",
                                "IntersectClipRect 0,0,100,100",
                                "PolylineTo 0,10 1,12 2,9",
                                "Polygon 0,10 1,12 2,9",
                                "Ellipse 1,2,3,4",
                                "SelectFont \"Courier New\" -15 w400 italic underline esc 900",
                                "SetTextColor 0x0000FF",
                                "SetBkColor 0x808080",
                                "SetTextAlign 0x1E",
                                "DrawFocusRect 0,0,8,8",
                                "InvertRect 0,0,8,8",
                                "FrameRect 0,0,8,8 null",
                                "DrawBitmap 0,0,32,32 <- 0,0,16,16 of 16x16 rop 0x00CC0020",
                                "SelectClipRect none",
                                "RestoreDC -1",
                            }));
  // The current position is part of the saved state.
  EXPECT_EQ(canvas.GetCurrentPosition(), (Point{0, 0}));
  EXPECT_EQ(canvas.GetMapMode(), MapMode::kText);
}

TEST(RecordingCanvas, ClearKeepsTheStateAndAnswersNoPixels) {
  RecordingCanvas canvas;
  canvas.SetMapMode(MapMode::kTwips);
  canvas.SetPixel(1, -1, 0x123456);
  canvas.Clear();
  EXPECT_TRUE(canvas.Items().empty());
  EXPECT_EQ(canvas.GetMapMode(), MapMode::kTwips);
  EXPECT_EQ(canvas.GetPixel(1, -1), kInvalidColor);
  canvas.TextOut(0, 0, "a\"b");
  EXPECT_EQ(canvas.Lines(), (Lines{"TextOut 0,0 \"a\\\"b\" [0,0,18,-14]"}));
}

}  // namespace
}  // namespace gfx
