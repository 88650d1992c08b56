#include "views/pixel_grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/recording_canvas.h"
#include "views/fill_areas.h"
#include "views/placeholder_area.h"
#include "win/system_metrics.h"

namespace {

constexpr gfx::Color kGrey = 0xC0C0C0;
constexpr gfx::Color kWhite = 0xFFFFFF;

// A canvas with real pixels, so that two paintings can be compared pixel by pixel.
class PixelCanvas : public gfx::Canvas {
 public:
  PixelCanvas(int width, int height, gfx::Color fill)
      : Canvas(Device(width, height)), bitmap_(width, height, fill) {}

  const gfx::Bitmap& Pixels() const { return bitmap_; }
  std::unique_ptr<gfx::Canvas> CreateCompatible(int32_t width, int32_t height) const override {
    return std::make_unique<PixelCanvas>(width, height, 0);
  }

 protected:
  void PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2) override {
    for (const gfx::Point& p : pixels) bitmap_.SetPixel(p.x, p.y, color);
  }
  void FillPixels(const gfx::Rect& r, gfx::Color color, gfx::Rop2) override {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) bitmap_.SetPixel(x, y, color);
    }
  }
  void BitmapDevice(const gfx::Rect& dest, const gfx::Bitmap& bitmap, const gfx::Rect& source, bool, bool,
                    uint32_t, gfx::Color) override {
    ASSERT_EQ(dest.Width(), source.Width()) << "the grid copies without stretching";
    ASSERT_EQ(dest.Height(), source.Height());
    for (int y = 0; y < dest.Height(); ++y) {
      for (int x = 0; x < dest.Width(); ++x) {
        const gfx::Point at{dest.left + x, dest.top + y};
        if (DeviceClip().Contains(at))
          bitmap_.SetPixel(at.x, at.y, bitmap.GetPixel(source.left + x, source.top + y));
      }
    }
  }
  gfx::Color GetPixelDevice(gfx::Point p) const override { return bitmap_.GetPixel(p.x, p.y); }

 private:
  static gfx::DeviceInfo Device(int width, int height) {
    gfx::DeviceInfo device;
    device.width_px = width;
    device.height_px = height;
    return device;
  }
  gfx::Bitmap bitmap_;
};

CPosition AtParentOrigin() { return {}; }

int GreyInColumn(const gfx::Bitmap& tile, int x, int height) {
  int count = 0;
  for (int y = 0; y < height; ++y) count += tile.GetPixel(x, y) == kGrey ? 1 : 0;
  return count;
}

int GreyInRow(const gfx::Bitmap& tile, int y, int width) {
  int count = 0;
  for (int x = 0; x < width; ++x) count += tile.GetPixel(x, y) == kGrey ? 1 : 0;
  return count;
}

TEST(CGridTile, DistributeStepsSharesTheRemainderEvenly) {
  struct Case {
    const char* name;
    int cell;
    int divisions;
    std::vector<int> want;
  };
  const Case kCases[] = {
      {"30 in 10", 30, 10, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
      {"32 in 10: the third and the eighth are 4", 32, 10, {3, 3, 4, 3, 3, 3, 3, 4, 3, 3}},
      {"30 in 5", 30, 5, {6, 6, 6, 6, 6}},
      {"31 in 4", 31, 4, {8, 7, 8, 8}},
      {"no subdivisions", 30, 0, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::vector<int> steps = CGridTile::DistributeSteps(c.cell, c.divisions);
    EXPECT_EQ(steps, c.want);
    int sum = 0;
    for (const int step : steps) sum += step;
    if (c.divisions > 0) {
      EXPECT_EQ(sum, c.cell);
    }
  }
}

TEST(CDotGridTile, TenDivisionsGiveDottedCentreLinesAtFifteenAndDotsEveryThreePixels) {
  CDotGridTile tile(kGrey, 30, 30, 10, 10);
  ASSERT_TRUE(tile.CreateBitmap());
  const gfx::Bitmap& bitmap = *tile.GetBitmap();
  ASSERT_EQ(bitmap.Width(), 30);
  ASSERT_EQ(bitmap.Height(), 150) << "one square across, five down";

  EXPECT_EQ(GreyInColumn(bitmap, 0, 30), 30) << "solid left edge";
  EXPECT_EQ(GreyInRow(bitmap, 0, 30), 30) << "solid top edge";
  const int centre_column = GreyInColumn(bitmap, 15, 30);
  const int centre_row = GreyInRow(bitmap, 15, 30);
  EXPECT_GE(centre_column, 12) << "dotted, not dots";
  EXPECT_LT(centre_column, 30) << "dotted, not solid";
  EXPECT_GE(centre_row, 12);
  EXPECT_LT(centre_row, 30);
  for (int x = 1; x < 30; ++x) {
    if (x == 15) continue;
    SCOPED_TRACE(x);
    EXPECT_LE(GreyInColumn(bitmap, x, 30), 11) << "only the centre column is a line";
  }
  struct Pixel {
    int x;
    int y;
    gfx::Color want;
  };
  constexpr Pixel kPixels[] = {{3, 3, kGrey},  {6, 9, kGrey},  {27, 27, kGrey},  {12, 24, kGrey},
                               {4, 4, kWhite}, {1, 1, kWhite}, {29, 29, kWhite}, {3, 4, kWhite}};
  for (const Pixel& p : kPixels) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(bitmap.GetPixel(p.x, p.y), p.want);
  }
  // Every square of the tile repeats the first.
  for (int y = 30; y < 150; ++y) {
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(bitmap.GetPixel(x, y), bitmap.GetPixel(x, y % 30)) << x << "," << y;
  }
}

TEST(CDotGridTile, FiveDivisionsHaveNoCentreLineOnlyDots) {
  CDotGridTile tile(kGrey, 30, 30, 5, 5);
  ASSERT_TRUE(tile.CreateBitmap());
  const gfx::Bitmap& bitmap = *tile.GetBitmap();
  for (int i = 1; i < 30; ++i) {
    SCOPED_TRACE(i);
    // The top (left) edge pixel and at most four dots.
    EXPECT_LE(GreyInColumn(bitmap, i, 30), 5);
    EXPECT_LE(GreyInRow(bitmap, i, 30), 5);
  }
  EXPECT_EQ(bitmap.GetPixel(6, 6), kGrey);
  EXPECT_EQ(bitmap.GetPixel(24, 18), kGrey);
  EXPECT_EQ(bitmap.GetPixel(15, 3), kWhite);
  EXPECT_EQ(bitmap.GetPixel(15, 6), kWhite);
}

TEST(CGridTile, PaintWithoutBitmapOrAreaDrawsNothing) {
  CDotGridTile without(kGrey, 30, 30, 10, 10);
  gfx::RecordingCanvas canvas;
  without.Paint(canvas, {0, 0, 100, 100}, {});
  CDotGridTile with(kGrey, 30, 30, 10, 10);
  ASSERT_TRUE(with.CreateBitmap());
  with.Paint(canvas, {10, 10, 10, 50}, {});
  EXPECT_TRUE(canvas.Items().empty());
}

// The grid area of a 200 x 130 node placed at (5, 7) of a 220 x 150 canvas.
class PixelGridAreaTest : public testing::Test {
 protected:
  void SetUp() override {
    area_ = config_.CreateArea(nullptr);
    ASSERT_NE(area_, nullptr);
    area_->SetRect(kRect);
  }

  static constexpr gfx::Rect kRect{5, 7, 205, 137};
  CPixelGridConfig config_{AtParentOrigin(), {200, 130}, {1000, 1000}, kGrey, 10, 10};
  std::unique_ptr<CViewArea> area_;
};

TEST_F(PixelGridAreaTest, ARepaintSeventeenPixelsInEqualsAFullPaint) {
  PixelCanvas full(220, 150, 0);
  area_->Draw(full, kRect);
  EXPECT_EQ(full.Pixels().GetPixel(5, 7), kGrey) << "a square's corner on the area's top-left corner";
  EXPECT_EQ(full.Pixels().GetPixel(5 + 15, 7 + 1), kGrey) << "the dotted centre of the first square";
  EXPECT_EQ(full.Pixels().GetPixel(5 + 30, 7 + 30 + 29), kGrey) << "the next square's left edge";

  struct Case {
    const char* name;
    gfx::Rect update;
  };
  constexpr Case kCases[] = {
      {"17 pixels in", {kRect.left + 17, kRect.top, kRect.right, kRect.bottom}},
      {"17 in and 41 down", {kRect.left + 17, kRect.top + 41, kRect.right, kRect.bottom}},
      {"a strip in the middle", {kRect.left + 61, kRect.top + 100, kRect.left + 89, kRect.top + 129}},
      {"below the first tile", {kRect.left, kRect.top + 151 - 30, kRect.right, kRect.bottom}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PixelCanvas part(220, 150, 0);
    const gfx::Rect update = c.update;
    area_->Draw(part, update);
    EXPECT_EQ(update, c.update) << "the caller's rectangle stays";
    for (int y = 0; y < 150; ++y) {
      for (int x = 0; x < 220; ++x) {
        const gfx::Color want = update.Contains({x, y}) ? full.Pixels().GetPixel(x, y) : 0;
        ASSERT_EQ(part.Pixels().GetPixel(x, y), want) << x << "," << y;
      }
    }
  }
}

TEST_F(PixelGridAreaTest, CopiesTheTileInBlocksFiveSquaresHigh) {
  gfx::RecordingCanvas canvas;
  area_->Draw(canvas, {kRect.left + 17, kRect.top, kRect.right, kRect.bottom});
  const std::vector<std::string> lines = canvas.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "DrawBitmap 22,7,35,137 <- 17,0,30,130 of 30x150 rop 0x00CC0020");
  // 200 - 17 = 183 pixels: a 13-pixel column, then five whole ones and a 20-pixel one; one copy each.
  EXPECT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines.back(), "DrawBitmap 185,7,205,137 <- 0,0,20,130 of 30x150 rop 0x00CC0020");
}

TEST_F(PixelGridAreaTest, MessageOneAnswersTheGridsOwnAddress) {
  CViewArea* found = nullptr;
  EXPECT_EQ(area_->OnMessage(1, 0, reinterpret_cast<win::LParam>(&found)), 1);
  EXPECT_EQ(found, area_.get());
  CViewArea* untouched = nullptr;
  EXPECT_EQ(area_->OnMessage(2000, 0, reinterpret_cast<win::LParam>(&untouched)), 0);
  EXPECT_EQ(untouched, nullptr);
}

TEST(CPixelGridConfig, NeverClipsAndEachKindMakesItsOwnArea) {
  const CPosition at = AtParentOrigin();
  CPixelGridConfig plain(at, {10, 10}, {0, 0}, kGrey, 10, 10);
  CECGPixelGridConfig ecg(at, {10, 10}, {0, 0}, kGrey, 10, 10);
  CStripPixelGridConfig strip(at, {10, 10}, {0, 0}, kGrey, 5, 4);
  EXPECT_FALSE(plain.GetClip());
  EXPECT_EQ(plain.GetClassName(), "CPixelGridConfig");
  EXPECT_EQ(ecg.GetClassName(), "CECGPixelGridConfig");
  EXPECT_EQ(strip.GetClassName(), "CStripPixelGridConfig");
  EXPECT_NE(dynamic_cast<CECGPixelGridArea*>(ecg.CreateArea(nullptr).get()), nullptr);
  const std::unique_ptr<CViewArea> area = strip.CreateArea(nullptr);
  const auto* grid = dynamic_cast<CStripPixelGridArea*>(area.get());
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->GetTile().GetCellWidth(), 30) << "30-pixel squares whatever the node's size";
  EXPECT_EQ(grid->GetTile().GetStepsX(), (std::vector<int>{6, 6, 6, 6, 6}));
  EXPECT_EQ(grid->GetTile().GetStepsY(), (std::vector<int>{7, 8, 7, 8}));
  const CPixelGridConfig defaults;
  EXPECT_EQ(defaults.GetColor(), kGrey);
  EXPECT_EQ(defaults.GetDivisionsX(), 10);
  EXPECT_EQ(defaults.GetDivisionsY(), 10);
}

TEST(FillAreas, ButtonFaceFillsCoverTheWholeRectangleOnAPartialRepaint) {
  const CPosition at = AtParentOrigin();
  CBlankAreaConfig blank(at, {3, 3}, {0, 0}, true);
  CSpacerAreaConfig spacer(at, {3, 3}, {0, 0}, true);
  CBackgroundAreaConfig background(at, {3, 3}, {0, 0}, true);
  struct Case {
    CViewAreaConfig* config;
    const char* class_name;
  };
  const Case kCases[] = {
      {&blank, "CBlankAreaConfig"}, {&spacer, "CSpacerAreaConfig"}, {&background, "CBackgroundAreaConfig"}};
  const gfx::Rect rect{10, 20, 110, 50};
  const std::string want = "FillRect 10,20,110,50 solid 0xF0F0F0";
  ASSERT_EQ(win::GetSysColor(win::SysColor::kBtnFace), 0xF0F0F0u);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.class_name);
    EXPECT_EQ(c.config->GetClassName(), c.class_name);
    const std::unique_ptr<CViewArea> area = c.config->CreateArea(nullptr);
    ASSERT_NE(area, nullptr);
    area->SetRect(rect);
    gfx::RecordingCanvas canvas;
    area->Draw(canvas, {60, 30, 70, 40});
    EXPECT_EQ(canvas.Lines(), std::vector<std::string>{want});
  }
}

TEST(FillAreas, PlaceholderDrawsNothingAndFrameUsesTheSelectedPenAndBrush) {
  const CPosition at = AtParentOrigin();
  CPlaceholderAreaConfig placeholder(at, {3, 3}, {0, 0}, false);
  CFrameAreaConfig frame(at, {3, 3}, {0, 0}, false);
  gfx::RecordingCanvas canvas;
  const std::unique_ptr<CViewArea> nothing = placeholder.CreateArea(nullptr);
  nothing->SetRect({0, 0, 40, 40});
  nothing->Draw(canvas, {0, 0, 40, 40});
  EXPECT_TRUE(canvas.Items().empty());
  const std::unique_ptr<CViewArea> box = frame.CreateArea(nullptr);
  box->SetRect({1, 2, 40, 30});
  box->Draw(canvas, {5, 5, 10, 10});
  EXPECT_EQ(canvas.Lines(), std::vector<std::string>{"Rectangle 1,2,40,30"});
}

TEST(NamedPlaceholders, NameTheirClassAndDrawABoxWithTheNameCentred) {
  const CPosition at = AtParentOrigin();
  CNamedPlaceholderAreaConfig area_config("CECGStripAreaConfig", at, {100, 40}, {1000, 0}, true);
  CNamedPlaceholderWindowConfig window_config("CNavigationWindowConfig", at, {300, 48}, {1000, 0}, false);
  EXPECT_EQ(area_config.GetClassName(), "CECGStripAreaConfig");
  EXPECT_TRUE(area_config.GetClip());
  EXPECT_EQ(window_config.GetClassName(), "CNavigationWindowConfig");
  EXPECT_FALSE(window_config.IsFocusable());
  EXPECT_TRUE(window_config.GetClip()) << "window nodes always clip";

  const std::unique_ptr<CViewArea> area = area_config.CreateArea(nullptr);
  area->SetRect({10, 10, 210, 50});
  gfx::RecordingCanvas canvas;
  area->Draw(canvas, {10, 10, 20, 20});
  const std::vector<std::string> lines = canvas.Lines();
  ASSERT_GE(lines.size(), 2u);
  // Unfilled, so that a grid below an area placeholder stays seen.
  EXPECT_EQ(lines[0].rfind("FrameRect 10,10,210,50", 0), 0u) << lines[0];
  bool named = false;
  for (const std::string& line : lines) {
    if (line.find("SelectFont \"Arial\" 14 w400") != std::string::npos) named = true;
  }
  EXPECT_TRUE(named) << "preset font 0";
  bool text = false;
  for (const std::string& line : lines) {
    if (line.rfind("DrawText 10,10,210,50 0x825 \"CECGStripAreaConfig\"", 0) == 0) text = true;
  }
  EXPECT_TRUE(text);
}

}  // namespace
