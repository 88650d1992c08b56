#include "views/pixel_grid.h"

#include <algorithm>
#include <span>

#include "gfx/canvas.h"
#include "views/area_messages.h"

namespace {

// Draws straight into the tile's pixels. The tile uses plain copies only, so the mix mode is not
// applied.
class TileCanvas : public gfx::Canvas {
 public:
  explicit TileCanvas(gfx::Bitmap& bitmap) : Canvas(DeviceOf(bitmap)), bitmap_(bitmap) {}

  std::unique_ptr<gfx::Canvas> CreateCompatible(int32_t width, int32_t height) const override {
    return nullptr;
  }

 protected:
  void PlotPixels(std::span<const gfx::Point> pixels, gfx::Color color, gfx::Rop2 rop) override {
    for (const gfx::Point& p : pixels) bitmap_.SetPixel(p.x, p.y, color);
  }
  void FillPixels(const gfx::Rect& device, gfx::Color color, gfx::Rop2 rop) override {
    for (int32_t y = device.top; y < device.bottom; ++y) {
      for (int32_t x = device.left; x < device.right; ++x) bitmap_.SetPixel(x, y, color);
    }
  }
  gfx::Color GetPixelDevice(gfx::Point device) const override { return bitmap_.GetPixel(device.x, device.y); }

 private:
  static gfx::DeviceInfo DeviceOf(const gfx::Bitmap& bitmap) {
    gfx::DeviceInfo device;
    device.width_px = bitmap.Width();
    device.height_px = bitmap.Height();
    return device;
  }

  gfx::Bitmap& bitmap_;
};

int PositiveModulo(int value, int divisor) {
  const int r = value % divisor;
  return r < 0 ? r + divisor : r;
}

// Where the subdivision boundaries of a cell lie: the running sums of the steps.
std::vector<int> Boundaries(const std::vector<int>& steps) {
  std::vector<int> out;
  int sum = 0;
  for (const int step : steps) out.push_back(sum += step);
  return out;
}

}  // namespace

CGridTile::CGridTile() : CGridTile(0xC0C0C0, 3, 3, 100, 1000, 10, 10) {}

CGridTile::CGridTile(gfx::Color color, int cells_x, int cells_y, int cell_width, int cell_height,
                     int divisions_x, int divisions_y)
    : width_(std::max(cells_x, 0) * std::max(cell_width, 0)),
      height_(std::max(cells_y, 0) * std::max(cell_height, 0)),
      color_(color),
      cell_width_(std::max(cell_width, 0)),
      cell_height_(std::max(cell_height, 0)),
      divisions_x_(std::max(divisions_x, 0)),
      divisions_y_(std::max(divisions_y, 0)),
      steps_x_(DistributeSteps(cell_width_, divisions_x_)),
      steps_y_(DistributeSteps(cell_height_, divisions_y_)) {}

CGridTile::~CGridTile() = default;

std::vector<int> CGridTile::DistributeSteps(int cell_size, int divisions) {
  std::vector<int> steps;
  if (divisions <= 0) return steps;
  const int q = cell_size / divisions;
  const int r = cell_size % divisions;
  const int half = divisions / 2;
  int accumulator = r;
  for (int i = 0; i < divisions; ++i) {
    int step = q;
    if (accumulator > half) {
      step = q + 1;
      accumulator -= divisions;
    }
    accumulator += r;
    steps.push_back(step);
  }
  return steps;
}

bool CGridTile::CreateBitmap() {
  bitmap_.reset();
  if (width_ <= 0 || height_ <= 0 || cell_width_ <= 0 || cell_height_ <= 0) return false;
  auto bitmap = std::make_shared<gfx::Bitmap>(width_, height_, 0xFFFFFF);
  {
    TileCanvas canvas(*bitmap);
    canvas.SaveDC();
    canvas.IntersectClipRect({0, 0, cell_width_, cell_height_});
    DrawTile(canvas, color_);
    canvas.RestoreDC(-1);
  }
  // The first cell, copied to every other cell position, column by column.
  for (int cell_x = 0; cell_x < width_; cell_x += cell_width_) {
    for (int cell_y = 0; cell_y < height_; cell_y += cell_height_) {
      if (cell_x == 0 && cell_y == 0) continue;
      for (int y = 0; y < cell_height_; ++y) {
        for (int x = 0; x < cell_width_; ++x)
          bitmap->SetPixel(cell_x + x, cell_y + y, bitmap->GetPixel(x, y));
      }
    }
  }
  bitmap_ = std::move(bitmap);
  return true;
}

void CGridTile::Paint(gfx::Canvas& dc, const gfx::Rect& rect, gfx::Point origin) const {
  if (rect.IsEmpty() || !bitmap_) return;
  const int first_x = PositiveModulo(origin.x, cell_width_);
  const int first_y = PositiveModulo(origin.y, cell_height_);
  int source_x = first_x;
  for (int x = rect.left; x < rect.right;) {
    const int width = std::min(width_ - source_x, rect.right - x);
    int source_y = first_y;
    for (int y = rect.top; y < rect.bottom;) {
      const int height = std::min(height_ - source_y, rect.bottom - y);
      dc.DrawBitmap({x, y, x + width, y + height}, bitmap_,
                    {source_x, source_y, source_x + width, source_y + height}, gfx::kSrcCopy);
      y += height;
      source_y = 0;
    }
    x += width;
    source_x = 0;
  }
}

CDotGridTile::CDotGridTile(gfx::Color color, int cell_width, int cell_height, int divisions_x,
                           int divisions_y)
    : CGridTile(color, 1, 5, cell_width, cell_height, divisions_x, divisions_y) {}

void CDotGridTile::DrawTile(gfx::Canvas& dc, gfx::Color color) {
  const int cell_width = GetCellWidth();
  const int cell_height = GetCellHeight();
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 0, color});
  dc.MoveTo(0, cell_height);
  dc.LineTo(0, 0);
  dc.LineTo(cell_width, 0);

  const std::vector<int> across = Boundaries(GetStepsX());
  const std::vector<int> down = Boundaries(GetStepsY());
  // Only an even count has a boundary in the middle of the square.
  const int middle_x = GetDivisionsX() % 2 == 0 && !across.empty() ? (GetDivisionsX() - 1) / 2 : -1;
  const int middle_y = GetDivisionsY() % 2 == 0 && !down.empty() ? (GetDivisionsY() - 1) / 2 : -1;
  dc.SelectPen({gfx::PenStyle::kDot, 0, color});
  if (middle_x >= 0) {
    dc.MoveTo(across[middle_x], 0);
    dc.LineTo(across[middle_x], cell_height);
  }
  if (middle_y >= 0) {
    dc.MoveTo(0, down[middle_y]);
    dc.LineTo(cell_width, down[middle_y]);
  }
  dc.SelectPen(old_pen);

  for (size_t i = 0; i < across.size(); ++i) {
    if (static_cast<int>(i) == middle_x) continue;
    for (size_t j = 0; j < down.size(); ++j) {
      if (static_cast<int>(j) == middle_y) continue;
      dc.SetPixel(across[i], down[j], color);
    }
  }
}

CPixelGridConfig::CPixelGridConfig() = default;

CPixelGridConfig::CPixelGridConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille,
                                   gfx::Color color, int divisions_x, int divisions_y)
    : CViewAreaConfig(position, min_size, per_mille, false),
      color_(color),
      divisions_x_(divisions_x),
      divisions_y_(divisions_y) {}

std::unique_ptr<CViewArea> CPixelGridConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CPixelGridArea>(this, doc);
}

std::unique_ptr<CViewArea> CECGPixelGridConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CECGPixelGridArea>(this, doc);
}

std::unique_ptr<CViewArea> CStripPixelGridConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CStripPixelGridArea>(this, doc);
}

CPixelGridArea::CPixelGridArea(CPixelGridConfig* config, CZK470Doc* document)
    : CViewArea(config, document),
      tile_(config->GetColor(), kSquarePixels, kSquarePixels, config->GetDivisionsX(),
            config->GetDivisionsY()) {
  tile_.CreateBitmap();
}

void CPixelGridArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  tile_.Paint(dc, update, {update.left - rect_.left, update.top - rect_.top});
}

int CPixelGridArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != areamsg::kFindPixelGrid || lparam == 0) return 0;
  *reinterpret_cast<CViewArea**>(lparam) = this;
  return 1;
}
