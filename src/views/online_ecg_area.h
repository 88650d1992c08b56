#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "views/column_extremes.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace win {
class Window;
}

// A node of one channel's live sweep in the online screens.
class COnlineECGAreaConfig : public CViewAreaConfig {
 public:
  COnlineECGAreaConfig() = default;
  COnlineECGAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                       int channel);

  std::string_view GetClassName() const override { return "COnlineECGAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetChannel() const { return channel_; }

 private:
  int channel_ = 0;
};

// The live ECG of one recorder channel, written left to right by a sweep that wraps at the right
// edge over the oldest trace, with a small erased gap running ahead of it. The recorder area feeds
// it batch by batch (125 samples per second): EraseAhead on every channel's area, then AddSamples
// on each in channel order. Samples are resampled to the sweep speed by min/max decimation, one
// point per pixel column (x is the column index, which is the host's client x), and a column that
// holds a flagged sample gets a 1 mV tick. Between paints it draws on a client canvas of the host
// window. User-interface thread only.
class COnlineECGArea : public CViewArea {
 public:
  static constexpr int kSampleRate = 125;
  static constexpr uint32_t kAmplitudeDoubled = 33016;
  static constexpr uint32_t kAmplitudeHalved = 33017;

  COnlineECGArea(COnlineECGAreaConfig* config, CZK470Doc* document);
  ~COnlineECGArea() override;

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  // Clears count columns (and a few more) ahead of the sweep by repainting the grid there.
  void EraseAhead(int count);
  // Returns how many samples were used; the rest waits for the next batch.
  int AddSamples(std::span<const int32_t> samples, int channel);
  void Redraw();

  // A sample whose bit 30 differs from its sign bit carries the recorder's mark; Restore gives
  // its value.
  static bool IsFlagged(int32_t sample);
  static int32_t Restore(int32_t sample);

  int GetSweepPos() const { return sweep_pos_; }
  int GetBaseline() const { return baseline_; }
  const std::vector<gfx::Point>& GetPoints() const { return points_; }
  bool IsMarked(int column) const;
  double GetPixelsPerSecond() const { return pixels_per_second_; }
  double GetPixelsPerMV() const { return pixels_per_mv_; }
  CViewArea* GetGridArea() const { return grid_area_; }
  int GetChannel() const;

 private:
  int DecimateGroup(std::span<const int32_t> samples);
  void DrawTrace(gfx::Canvas& dc, int first, int count);
  // The trace of new points, and the calibration again when they lie near the left edge.
  void DrawSegment(gfx::Canvas& dc, int first, int count);
  void DrawTicks(gfx::Canvas& dc, int first, int count);
  void DrawCalibration(gfx::Canvas& dc);
  void UpdateScales();
  // y := baseline + (y - baseline) x factor over every column.
  void ScaleAmplitude(double factor);
  int AmplitudeIndex() const;
  win::Window* HostWindow() const;

  std::vector<gfx::Point> points_;
  std::vector<uint8_t> marks_;
  int sweep_pos_ = 0;
  int baseline_ = 0;
  bool group_mark_ = false;
  // The running extremes start from the first sample, not from a fixed value.
  bool group_started_ = false;
  TColumnExtremes group_;
  double fraction_ = 0.0;
  double whole_samples_ = 0.0;
  double accumulator_ = 0.0;
  CViewArea* grid_area_ = nullptr;
  int amplitude_index_ = 1;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
};
