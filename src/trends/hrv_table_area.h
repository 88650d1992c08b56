#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "trends/hrv_statistics.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace win {
class GridCtrl;
}

// Sent from the layout root by the chart areas of an HRV screen to find its table area; lparam:
// CHRVTableArea**, which the table area sets to itself.
inline constexpr uint32_t kFindHRVTableArea = 22223;

// The table of an HRV screen: the HRV statistics of the selected day in 12 rows (coverage, mean
// NN, SDNN, SDANN, SDNN index, RMSSD, three difference counts and their percentages) and three
// columns (outside the HRV time window, inside it, all). It owns the screen's THRVStatistics,
// which the chart areas of the same layout read through it, and the grid window it shows them in
// (created on the first layout, a child of the window the area lies in). User-interface thread.
class CHRVTableArea : public CViewArea {
 public:
  static constexpr int kValueRows = 12;
  static constexpr int kValueColumns = 3;
  static constexpr int kGridId = 10;
  static constexpr int kGridMargin = 5;
  static constexpr int kHeaderColumnWidth = 85;
  static constexpr int kValueColumnWidth = 40;
  // Row headers 24000..24011, column headers 24012..24014.
  static constexpr int kFirstRowString = 24000;
  static constexpr int kFirstColumnString = 24012;

  CHRVTableArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CHRVTableArea() override;

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  // Writes the 36 values of the statistics' result block into the grid.
  void Fill();

  // Null before Attach.
  THRVStatistics* GetStatistics() const { return statistics_.get(); }
  win::GridCtrl* GetGrid() const { return grid_.get(); }

  // The text of value row (0..11) and column (THRVStatistics::kOutside, kInside, 2 for all).
  static std::string FormatValue(const THRVResult& result, int row, int column);

 private:
  void InvalidateArea();

  std::unique_ptr<THRVStatistics> statistics_;
  std::unique_ptr<win::GridCtrl> grid_;
};

class CHRVTableAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRVTableAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
