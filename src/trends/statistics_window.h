#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/window_area.h"

// The window node of the statistics tables ("Table View").
class CStatisticsWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CStatisticsWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Hosts the statistics table area under a toolbar that chooses the recording day of the hourly
// tables (day 1, 2, 3 or all days, on tabs 1 and 2 only). Passes the go-to commands of the
// extremes, the ST extremes and the kind selection on to the areas of its node. The current tab
// (as the tab window reports it) and the selected day go back to 0 on every layout pass, as the
// table area's grids do. User-interface thread only.
class CStatisticsWnd : public CAreaWnd {
 public:
  static constexpr int kCmdDay1 = 33318;  // 33319, 33320: days 2 and 3
  static constexpr int kCmdAllDays = 33321;
  static constexpr int kAllDays = 99;
  static constexpr int kToolBarResource = 193;
  static constexpr int kToolBarId = 0xE800;

  CStatisticsWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CStatisticsWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  int GetCurrentTab() const { return current_tab_; }
  int GetSelectedDay() const { return selected_day_; }
  std::string_view ClassName() const override { return "StatisticsWnd"; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void AddDayCommand(int id, int day, int more_than_minutes);
  // The bar shows the new states at once, as an idle update would.
  void RefreshBar();

  int current_tab_ = 0;
  int selected_day_ = 0;
  win::WindowHandle bar_handle_ = 0;
};
