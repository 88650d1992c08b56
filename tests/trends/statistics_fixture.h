#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../layouts/trend_screen_fixture.h"
#include "common/table_tab_wnd.h"
#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "trends/report_values.h"
#include "trends/statistics_factories.h"
#include "trends/statistics_grids.h"
#include "trends/statistics_table_area.h"
#include "trends/statistics_window.h"

namespace statstest {

constexpr int kRate = 125;
constexpr int32_t kHourSamples = kRate * 3600;

// What a planted recording holds besides its beats.
struct PlantOptions {
  bool with_vt = true;
  // A bradycardia from sample 0 on (the longest one).
  bool bradycardia_at_start = false;
};

// The texts that come with the screens sharing them.
inline constexpr platform::StringEntry kSharedStrings[] = {
    {14389, "1/min"}, {21088, "RR"}, {21061, "Artefacts"}};

// The statistics screen (layout 17) headless, over a short synthetic recording whose length is
// then set to any number of minutes and whose working lists the test plants: beats with an
// interval that changes by the hour, ectopic beats in chosen hours and one or two events of
// every kind the tables count.
class StatisticsScreen : public trendtest::TrendScreen {
 protected:
  void SetUp() override {
    TrendScreen::SetUp();
    platform::Resources().ExePack().AddStrings(kSharedStrings);
    AddStatisticsResources(platform::Resources().ExePack());
    RegisterStatisticsFactories();
    SetReportValuesLocale(&locale_);
  }
  void TearDown() override {
    TrendScreen::TearDown();
    SetReportValuesLocale(nullptr);
  }

  // A recording of `minutes` whose beats fill `beat_hours` hours.
  void Plant(int minutes, int beat_hours, const PlantOptions& options = {}) {
    CloseView();
    Record(1);
    Doc().GetRawECGData()->SetWholeMinutes(minutes);
    Doc().SetSpanLength(minutes);
    Doc().SetSpanEndMs(minutes * 60000);
    TQRSList& beats = Doc().GetQRSList();
    TEventList& events = Doc().GetEventList();
    beats.RemoveAll();
    events.RemoveAll();
    int n = 0;
    for (int h = 0; h < beat_hours; ++h) {
      const int32_t rr = 100 + (h % 6) * 10;
      for (int32_t p = h * kHourSamples + 50; p < (h + 1) * kHourSamples; p += rr, ++n) {
        uint8_t beat_class = kClassNormal;
        if (h % 3 == 0 && n % 97 == 0) beat_class = kClassVES;
        if (h % 4 == 1 && n % 89 == 0) beat_class = kClassSVES;
        if (h == 11 && n % 500 == 0) beat_class = kClassArtefact;
        beats.Append(TQRSComplex(p, beat_class, '!'));
      }
    }
    struct Planted {
      int kind;
      int hour;
      int32_t offset;  // samples into the hour
      int32_t length;  // samples
    };
    std::vector<Planted> planted = {
        {kClassVCouplet, 0, 9000, 200},
        {kClassBradycardia, 2, 1000, 4000},
        {kClassSVCouplet, 3, 500, 200},
        {kClassTachycardia, 5, 20000, 9000},
        {kClassPause, 7, 300, 300},
        {kClassArrhythmia, 10, 5000, 30000},
        {kClassSVTachycardia, 12, 700, 700},
        {kClassSVBigeminy, 13, 100, 900},
        {kClassSVTrigeminy, 14, 100, 900},
        {kClassVBigeminy, 16, 2000, 1000},
        {kClassVTrigeminy, 17, 2000, 1500},
        {kClassRonT, 18, 40, 1},
        {kClassMarker, 20, 0, 0},
        {kClassSVTriplet, 26, 800, 300},
        {kClassVTriplet, 27, 800, 300},
        {kClassBradycardia, 30, 100, 6000},
        {kClassAtrialFibrillation, 40, 1000, 50000},
        {kClassLeadOff, 45, 0, 2 * kRate * 60},
        {kClassTachycardia, 50, 100, 3000},
        {kClassSVTachycardia, 60, 300, 500},
        {kClassMarker, 70, 60, 0},
    };
    if (options.with_vt) {
      planted.push_back({kClassVTachycardia, 15, 4000, 300});
      planted.push_back({kClassVTachycardia, 62, 4000, 200});
    }
    std::vector<TEvent> list;
    if (options.bradycardia_at_start) list.emplace_back(0, 3 * kRate * 60, kClassBradycardia);
    for (const Planted& p : planted) {
      const int32_t start = p.hour * kHourSamples + p.offset;
      if (start < minutes * 60 * kRate) list.emplace_back(start, start + p.length, p.kind);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const TEvent& a, const TEvent& b) { return a.GetPosition() < b.GetPosition(); });
    for (const TEvent& e : list) events.Append(e);
    Doc().RecalcHeartRateExtremes(0, 0, 0);
  }

  CStatisticsWnd* Window() {
    auto* area =
        dynamic_cast<CWindowArea*>(trendtest::FindNode(Root(), "CStatisticsWindowConfig")->GetArea());
    return area != nullptr ? dynamic_cast<CStatisticsWnd*>(area->GetHostedWindow()) : nullptr;
  }
  CStatisticsTableArea* Area() {
    return dynamic_cast<CStatisticsTableArea*>(
        trendtest::FindNode(Root(), "CStatisticsTableAreaConfig")->GetArea());
  }
  // The command as a toolbar button sends it, with the pending work done.
  void Command(int id) {
    Window()->SendMessage(win::kWmCommand, static_cast<win::WParam>(id), 0);
    win::Windows().RunPending();
  }
  // A click in the middle of a cell of a grid on the tab shown.
  void ClickCell(win::GridCtrl& grid, int row, int column) {
    const gfx::Rect cell = grid.CellRect({row, column});
    ASSERT_FALSE(cell.IsEmpty()) << row << "," << column;
    const gfx::Point at = grid.OffsetInTopLevel();
    const gfx::Point point{at.x + (cell.left + cell.right) / 2, at.y + (cell.top + cell.bottom) / 2};
    win::Window* top = view_.get();
    win::Windows().MouseInput(*top, win::kWmLButtonDown, point);
    win::Windows().MouseInput(*top, win::kWmLButtonUp, point);
    win::Windows().RunPending();
  }
};

// The grid's model as text: its shape, the covered blocks, then one line per row with a letter
// per cell for its look (. none, c caption, C bold caption, T total, v value, B button, b bold
// button, x other) and the texts of the row.
inline std::vector<std::string> DumpGrid(const win::GridCtrl& grid) {
  std::vector<std::string> lines;
  lines.push_back("rows " + std::to_string(grid.GetRowCount()) + " columns " +
                  std::to_string(grid.GetColumnCount()) + " fixed " +
                  std::to_string(grid.GetFixedRowCount()) + "/" + std::to_string(grid.GetFixedColumnCount()) +
                  (grid.IsColumnHeaderRowHidden() ? " hidden-row" : "") +
                  (grid.IsRowHeaderColumnHidden() ? " hidden-column" : ""));
  std::string widths = "widths";
  for (int c = 0; c < grid.GetColumnCount(); ++c) widths += " " + std::to_string(grid.GetColumnWidth(c));
  lines.push_back(widths);
  for (const win::GridRange& r : grid.CoveredRanges()) {
    lines.push_back("covered " + std::to_string(r.top) + "," + std::to_string(r.left) + "-" +
                    std::to_string(r.bottom) + "," + std::to_string(r.right));
  }
  const win::GridCellStyle caption = statstyle::Caption(false);
  const win::GridCellStyle bold_caption = statstyle::Caption(true);
  win::GridCellStyle total = bold_caption;
  total.horz = win::GridHorzAlign::kCenter;
  const win::GridCellStyle value = statstyle::Value();
  const win::GridCellStyle button = statstyle::Button();
  win::GridCellStyle bold_button = button;
  bold_button.bold = true;
  bold_button.horz = win::GridHorzAlign::kCenter;
  for (int r = 0; r < grid.GetRowCount(); ++r) {
    std::string looks;
    std::string texts;
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
      const std::optional<win::GridCellStyle> s = grid.GetCellStyle(r, c);
      looks += !s                   ? '.'
               : *s == caption      ? 'c'
               : *s == bold_caption ? 'C'
               : *s == total        ? 'T'
               : *s == value        ? 'v'
               : *s == button       ? 'B'
               : *s == bold_button  ? 'b'
                                    : 'x';
      texts += (c == 0 ? "" : "|") + grid.GetItemText(r, c);
    }
    lines.push_back(std::to_string(r) + " " + looks + " " + texts);
  }
  return lines;
}

}  // namespace statstest
