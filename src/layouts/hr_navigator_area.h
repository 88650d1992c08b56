#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "document/update_hints.h"
#include "gfx/geometry.h"
#include "layouts/hr_navigator_lists.h"
#include "layouts/plot_drag.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

// The navigator's commands, passed down as area messages of the same numbers by its window.
namespace navcmd {
inline constexpr int kRateHighest = 33275;
inline constexpr int kRateNextHigher = 33276;
inline constexpr int kRateNextLower = 33277;
inline constexpr int kRateLowest = 33278;
inline constexpr int kStoreHRMax = 33279;
inline constexpr int kStoreHRMin = 33280;
inline constexpr int kGoToHRMax = 33281;
inline constexpr int kGoToHRMin = 33282;
inline constexpr int kNNLongest = 33283;
inline constexpr int kNNNextLonger = 33284;
inline constexpr int kNNNextShorter = 33285;
inline constexpr int kNNShortest = 33286;
inline constexpr int kStoreNNMax = 33287;
inline constexpr int kStoreNNMin = 33288;
inline constexpr int kGoToNNMax = 33289;
inline constexpr int kGoToNNMin = 33290;
inline constexpr int kFirst = kRateHighest;
inline constexpr int kLast = kGoToNNMin;
}  // namespace navcmd

// Where the navigator's cursors stand at the ends of their sorted lists. Process-wide: at most
// one navigator exists; the navigator window's buttons read it.
struct NavigatorEndFlags {
  bool rateAtHighest = false;
  bool rateAtLowest = false;
  bool nnAtLongest = false;
  bool nnAtShortest = false;
};

// The busy window shown while the navigator builds its lists; ends when the object goes.
class CNavigatorBusy {
 public:
  virtual ~CNavigatorBusy() = default;
};

// The heart-rate navigator plot: the local heart rate of every beat of the displayed span as an
// envelope per pixel column (first, lowest, highest, last) with a smoothed mean line, and a
// vertical NOT cursor at the current position that the user drags. Behind it two lists over the
// whole recording, local heart rate and NN interval per beat, each also sorted by value; sixteen
// commands walk the sorted lists, go to the stored extremes or store the strip's beat as one.
// The lists are built on the first layout and after hint 1005 only; span changes and resizes
// rebuild the plot alone. Per-column storage follows the plot's width and the index the
// recording's length. User-interface thread only.
class CHRNavigatorArea : public CViewArea, public CFollowCaliperHost {
 public:
  using BusyFactory = std::function<std::unique_ptr<CNavigatorBusy>(std::string_view text)>;

  CHRNavigatorArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CHRNavigatorArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  void Recompute();
  void BuildPlot();
  void UpdateCursorColumn();
  void DrawCursor(gfx::Canvas& dc);
  void RedrawCursor(gfx::Canvas& dc);
  // Inside the plot only: moves the current position to the time under point.x, and makes the
  // caller's point relative to the plot's left edge.
  void MoveCursorTo(gfx::Point& point);
  void SyncFromRate();
  void SyncFromNN();
  void RecomputeAndInvalidate();

  // CFollowCaliperHost: rows 0 mean, 1 lowest, 2 highest of a column.
  gfx::Rect GetCaliperRect() const override { return rect_; }
  win::Window* GetCaliperWindow() const override;
  int GetCursorColumn() const override { return cursor_column_; }
  double GetColumnValue(int row, int column) const override;

  // The y of a value on the plot.
  int ValueY(int value) const;
  int GetScaleMin() const { return scale_min_; }
  int GetScaleMax() const { return scale_max_; }
  int GetScaleSpan() const { return scale_span_; }
  const std::array<int, 4>& GetRangeBlock() const { return range_block_; }
  std::span<const TNavigatorEntry> GetRateByBeat() const { return rate_by_beat_; }
  std::span<const TNavigatorEntry> GetRateSorted() const { return rate_sorted_; }
  std::span<const TNavigatorEntry> GetNNSorted() const { return nn_sorted_; }
  std::span<const int> GetRateTenMinuteIndex() const { return rate_ten_minute_index_; }
  std::span<const int> GetNNTenMinuteIndex() const { return nn_ten_minute_index_; }
  int GetRateCursor() const { return rate_cursor_; }
  int GetNNCursor() const { return nn_cursor_; }
  int GetColumnCount() const { return column_count_; }
  int GetPlotWidth() const { return plot_width_; }
  std::span<const gfx::Point> GetMeanPoints() const {
    return {mean_points_.data(), static_cast<size_t>(column_count_)};
  }
  std::span<const gfx::Point> GetEnvelopePoints() const {
    return {envelope_points_.data(), static_cast<size_t>(column_count_) * 4};
  }
  bool IsDragging() const { return drag_.IsDragging(); }
  bool NeedsRecompute() const { return needs_recompute_; }
  CHRNavigatorCaliper* GetCaliper() const { return caliper_.get(); }

  static const NavigatorEndFlags& GetEndFlags();
  // The dialogs layer installs the busy window; without one the lists are built without it.
  static void SetBusyFactory(BusyFactory factory);

 private:
  // Column values of the dense and the sparse case, and the trailing empty columns.
  void PlotColumn(int c, int first, int lowest, int highest, int last, int mean, bool lo_at_start);
  void SizeColumns(int width);
  void RedrawCursorOnHost();
  void SendRange();
  void SendHint(int hint, THintObject* object = nullptr);
  void DrawCursorWhileDragging();
  void MoveToPosition(int32_t samples);
  void RateMove(int new_cursor);
  void NNMove(int new_cursor);
  void GoToStored(bool nn_list, int32_t position);
  void StoreStripBeat(int command);
  void Command(int command);
  void SetEndFlags();

  std::unique_ptr<CHRNavigatorCaliper> caliper_;
  std::optional<TMouseHint> last_hint_;
  std::array<int, 4> range_block_ = {40, 100, -1, -1};
  bool needs_recompute_ = true;
  std::vector<TNavigatorEntry> rate_by_beat_;
  std::vector<TNavigatorEntry> rate_sorted_;
  int rate_cursor_ = -1;
  std::vector<int> rate_ten_minute_index_;
  std::vector<TNavigatorEntry> nn_sorted_;
  int nn_cursor_ = -1;
  std::vector<int> nn_ten_minute_index_;
  int scale_min_ = 40;
  int scale_max_ = 100;
  int scale_span_ = 60;
  double sample_rate_ = 0.0;
  std::vector<gfx::Point> mean_points_;
  std::vector<int> column_max_;
  std::vector<int> column_mean_;
  std::vector<int> column_min_;
  std::vector<gfx::Point> envelope_points_;
  int plot_width_ = 0;
  int column_count_ = 0;
  int cursor_column_ = 0;
  CPlotDrag drag_;
};

class CHRNavigatorAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRNavigatorAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
