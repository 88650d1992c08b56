#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/drawing_types.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace gfx {
class Canvas;
}

// The ECG-paper pattern: drawn once, pixel by pixel, into a bitmap of whole grid squares, then
// copied block by block over any rectangle. A plain value of the area that owns it.
class CGridTile {
 public:
  // 3 x 3 cells of 100 x 1000 pixels in light grey with 10 x 10 subdivisions.
  CGridTile();
  CGridTile(gfx::Color color, int cells_x, int cells_y, int cell_width, int cell_height, int divisions_x,
            int divisions_y);
  virtual ~CGridTile();
  CGridTile(const CGridTile&) = delete;
  CGridTile& operator=(const CGridTile&) = delete;

  // Builds the bitmap: the canvas background (white), DrawTile of the first cell, then that cell
  // copied to every cell position. False (and no bitmap) when the tile has no pixels.
  bool CreateBitmap();
  // Covers rect with copies of the tile; origin is where rect lies in the pattern (its offset
  // from the grid's top-left corner), so a partial repaint continues the pattern seamlessly.
  // Nothing without a bitmap or for an empty rect.
  virtual void Paint(gfx::Canvas& dc, const gfx::Rect& rect, gfx::Point origin) const;
  // Draws the first cell at the canvas origin. Base: nothing.
  virtual void DrawTile(gfx::Canvas& dc, gfx::Color color) {}

  // Shares a cell out over its subdivisions as evenly as whole pixels allow: 30 in 10 is ten 3s,
  // 32 in 10 has 4s at the third and the eighth step.
  static std::vector<int> DistributeSteps(int cell_size, int divisions);

  const std::shared_ptr<const gfx::Bitmap>& GetBitmap() const { return bitmap_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetCellWidth() const { return cell_width_; }
  int GetCellHeight() const { return cell_height_; }
  gfx::Color GetColor() const { return color_; }
  int GetDivisionsX() const { return divisions_x_; }
  int GetDivisionsY() const { return divisions_y_; }
  const std::vector<int>& GetStepsX() const { return steps_x_; }
  const std::vector<int>& GetStepsY() const { return steps_y_; }

 private:
  std::shared_ptr<const gfx::Bitmap> bitmap_;
  int width_ = 0;
  int height_ = 0;
  gfx::Color color_ = 0xC0C0C0;
  int cell_width_ = 0;
  int cell_height_ = 0;
  int divisions_x_ = 0;
  int divisions_y_ = 0;
  std::vector<int> steps_x_;
  std::vector<int> steps_y_;
};

// One square across and five down: a solid line on the left and top edges, dotted centre lines
// when a direction has an even number of subdivisions, and a dot at every other crossing of
// subdivision boundaries.
class CDotGridTile : public CGridTile {
 public:
  CDotGridTile(gfx::Color color, int cell_width, int cell_height, int divisions_x, int divisions_y);
  void DrawTile(gfx::Canvas& dc, gfx::Color color) override;
};

// A node for an ECG-paper grid; never clips.
class CPixelGridConfig : public CViewAreaConfig {
 public:
  // Light grey, 10 x 10 subdivisions.
  CPixelGridConfig();
  CPixelGridConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, gfx::Color color,
                   int divisions_x, int divisions_y);

  std::string_view GetClassName() const override { return "CPixelGridConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

  gfx::Color GetColor() const { return color_; }
  int GetDivisionsX() const { return divisions_x_; }
  int GetDivisionsY() const { return divisions_y_; }

 private:
  gfx::Color color_ = 0xC0C0C0;
  int divisions_x_ = 10;
  int divisions_y_ = 10;
};

// The grid of the ECG page window.
class CECGPixelGridConfig : public CPixelGridConfig {
 public:
  using CPixelGridConfig::CPixelGridConfig;
  std::string_view GetClassName() const override { return "CECGPixelGridConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The grid under the ECG strip.
class CStripPixelGridConfig : public CPixelGridConfig {
 public:
  using CPixelGridConfig::CPixelGridConfig;
  std::string_view GetClassName() const override { return "CStripPixelGridConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Draws the grid in 30-pixel squares whatever its size, a square's corner on the area's top-left
// corner. Answers area message 1 (find the layout's grid) with its own address.
class CPixelGridArea : public CViewArea {
 public:
  static constexpr int kSquarePixels = 30;

  CPixelGridArea(CPixelGridConfig* config, CZK470Doc* document);

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  // Message 1: lparam points to a CViewArea*, which takes this area's address.
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;

  const CDotGridTile& GetTile() const { return tile_; }

 private:
  CDotGridTile tile_;
};

class CECGPixelGridArea : public CPixelGridArea {
 public:
  using CPixelGridArea::CPixelGridArea;
};

class CStripPixelGridArea : public CPixelGridArea {
 public:
  using CPixelGridArea::CPixelGridArea;
};
