#pragma once

#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

class CTableTabWnd;
class CStatisticsRhythmGrid;
class CStatisticsVentricularGrid;
class CStatisticsSummaryGrid;
class TReportValues;

// The node of the statistics tables; its area fills the statistics window.
class CStatisticsTableAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CStatisticsTableAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// A tab window of three read-only grids: the summary (tab 0), the hourly heart rate, rhythm and
// supraventricular table (tab 1) and the hourly ventricular table (tab 2). Every layout pass
// builds them anew (tab 0, hourly grids on day 1); day changes and analysis hints refill the
// hourly grids. The values come from report values made for one filling or one go-to and
// deleted after it. Owns the tab window and the grids, which are children of the window the
// area lies in. User-interface thread only.
class CStatisticsTableArea : public CViewArea {
 public:
  CStatisticsTableArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CStatisticsTableArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // The cell maps of the three grids; the report values must exist.
  void FillRhythmGrid(int day);
  void FillVentricularGrid(int day);
  void FillSummaryGrid();

  CTableTabWnd* GetTabWindow() const { return tab_.get(); }
  CStatisticsRhythmGrid* GetRhythmGrid() const { return rhythm_.get(); }
  CStatisticsVentricularGrid* GetVentricularGrid() const { return ventricular_.get(); }
  CStatisticsSummaryGrid* GetSummaryGrid() const { return summary_.get(); }

 private:
  void RefillHourlyGrids(int day);
  void GoToEpisode(uint32_t msg);
  void RedrawAll();

  std::unique_ptr<CTableTabWnd> tab_;
  std::unique_ptr<CStatisticsRhythmGrid> rhythm_;
  std::unique_ptr<CStatisticsVentricularGrid> ventricular_;
  std::unique_ptr<CStatisticsSummaryGrid> summary_;
  std::unique_ptr<TReportValues> values_;
};
