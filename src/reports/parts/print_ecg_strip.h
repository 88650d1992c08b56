#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/geometry.h"
#include "reports/printer_base.h"

// One printed strip of ECG: the recording's channels stacked inside a rectangle of page
// coordinates (0.01 mm, y up, so top > bottom), from a sample position on, at a paper speed (mm/s)
// and a gain (mm/mV). A part builds one per strip, draws it and deletes it at once: the strip
// loads only the minutes of its own window, and a window never holds more than one minute of
// samples (kMaxPoints). Owns the loaded minute blocks; the document must outlive it.
class TPrintECGStrip : public TPrinter {
 public:
  static constexpr int kMaxPoints = 7500;
  // The compressed drawing keeps one point of every kCompressStep samples.
  static constexpr int kCompressStep = 5;
  // The coloured stretch around a beat is 250 ms wide.
  static constexpr int kBeatMarkMs = 250;
  // Sample values are 5 microvolts per unit.
  static constexpr int kMicrovoltsPerUnit = 5;
  static constexpr int kPenCount = 40;

  TPrintECGStrip();
  // spread in 0.01 mm: the first two channels come 2 x spread closer; negative puts every channel
  // of a compressed strip on the middle line.
  TPrintECGStrip(CZK470Doc* doc, int32_t start, int left, int top, int right, int bottom, double speed,
                 double gain, int spread);
  ~TPrintECGStrip() override;

  // Full resolution, every beat's stretch in its class colour (black on a monochrome job), with
  // pacemaker marks.
  virtual void Draw(gfx::Canvas& dc, win::CPrintInfo& info);
  // One black point per kCompressStep samples alternating between the extremes of consecutive
  // steps. channels: 0 the first, 1 the second, 2 both, anything else all of the recording's.
  virtual void DrawCompressed(gfx::Canvas& dc, win::CPrintInfo& info, int channels);

  int WindowMs() const;
  // Samples of the window, at most kMaxPoints.
  int WindowSamples() const;
  // x of the k-th sample of the window.
  int SampleX(int k) const;
  int ValueY(int baseline, int value) const;
  // The channel baselines (page y); middle: every channel on the rectangle's middle line.
  std::array<int, 3> Baselines(bool middle) const;
  // The minute numbers that the last drawing loaded for a channel position (0..2).
  std::vector<int32_t> LoadedMinutes(int channel) const;
  // The points of the last channel that the last drawing built.
  const std::vector<gfx::Point>& Points() const { return points_; }

 private:
  int ChannelCount() const;
  // Loads the window's minutes from the first sample to load; false when nothing lies there.
  bool LoadWindow(int32_t first_sample, int samples);
  // The sample at a position of the window, counted from the first loaded sample.
  int SampleAt(int channel, int index) const;
  void BuildPoints(int channel, int samples, int baseline);
  void DrawPacemakerMarks(gfx::Canvas& dc, int samples, bool at_or_beyond);
  int NextMinMax(int channel);

  CZK470Doc* doc_ = nullptr;
  int32_t start_ = 0;
  int left_ = 0;
  int top_ = 0;
  int right_ = 0;
  int bottom_ = 0;
  double speed_ = 25.0;
  double gain_ = 10.0;
  int spread_ = 0;
  CZK470Doc::MinuteBlockArrays blocks_;
  // Offset of the window's first loaded sample inside the first loaded minute.
  int first_offset_ = 0;
  // Compressed drawing: running extremes and which of them came last.
  int step_ = kCompressStep;
  int minimum_ = 0;
  int maximum_ = 0;
  bool maximum_last_ = false;
  // Read position, counted from the first loaded sample, and how many samples were loaded.
  int sample_index_ = 0;
  int loaded_samples_ = 0;
  int samples_per_minute_ = 7500;
  std::vector<gfx::Point> points_;
};
