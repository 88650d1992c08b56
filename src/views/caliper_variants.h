#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/number_formatter.h"
#include "common/time_formatter.h"
#include "views/caliper.h"

class CZK470Doc;

namespace platform {
class Locale;
}

// What the two-cursor caliper reads of the ECG strip that owns it.
class CECGCaliperSource : public CCaliperHost {
 public:
  virtual double GetPixelsPerSecond() const = 0;
  // Microvolts of displayed channel 0..2 in the pixel column drawn at x; 0 where none is drawn.
  virtual int32_t GetMicrovoltsAt(int channel, int x) const = 0;
  // The recording's channel count; the strip shows its channels in recording order.
  virtual int GetChannelCount() const = 0;
  // The recorder channel (0..2) that displayed channel shows, for the readout's labels.
  virtual int32_t GetRecorderChannel(int channel) const = 0;
  // Start of the strip's window (ms).
  virtual int32_t GetStripStartMs() const = 0;
};

// What a follow caliper reads of the plot that owns it.
class CFollowCaliperHost : public CCaliperHost {
 public:
  // The rectangle the cursor column counts from: the area, or a chart's plot rectangle.
  virtual gfx::Rect GetReferenceRect() const { return GetCaliperRect(); }
  // The document's cursor column of this display (pixels from the reference's left edge).
  virtual int GetCursorColumn() const = 0;
  // The plot's value of a row in a column (pixels from the area's left edge). Heart-rate plots:
  // rows mean, minimum, maximum (-1 none); the ST trend: rows 0..3.
  virtual double GetColumnValue(int row, int column) const { return 0.0; }
};

// The two-cursor caliper of the main ECG strip: cursors A and B dragged with the left button,
// the readout showing every channel's amplitude difference between them (mV) and their distance
// (ms). The readout window fits the channel count: 2 or 3 channels; any other count measures
// without one.
class CECGCaliper : public CCaliper {
 public:
  explicit CECGCaliper(CECGCaliperSource* source);

  void OnMessage(uint32_t message, unsigned flags, const gfx::Point* point) override;
  void Start() override;
  void UpdateValues() override;
  // Re-scales the cursors after the strip's speed was stepped (33008, 33009).
  bool SyncCursors() override;
  // The column value at x, smoothed toward the steeper neighbour inside the area.
  int32_t SampleAt(int channel, int x) const;

  // The texts of the last UpdateValues: the amplitudes in channel order, then the time.
  const std::vector<std::string>& GetValueTexts() const { return values_; }
  double GetPixelsPerSecond() const { return pixels_per_second_; }

 private:
  CECGCaliperSource* source_ = nullptr;
  double pixels_per_second_ = 0.0;
  double previous_pixels_per_second_ = 0.0;
  std::vector<std::string> values_;
  TNumberFormatter numbers_;
};

// The common behaviour of the follow calipers: the host draws its own position line; the readout
// shows the values at the document's cursor column of that display while the left button is held.
class CFollowCaliper : public CCaliper {
 public:
  CFollowCaliper(CFollowCaliperHost* host, CaliperReadoutKind kind);

  void OnMessage(uint32_t message, unsigned flags, const gfx::Point* point) override;
  void Start() override;
  bool SyncCursors() override;

  const std::vector<std::string>& GetValueTexts() const { return values_; }

 protected:
  // The column under the mouse, from the area's left edge.
  int MouseColumn() const;
  void Publish(std::vector<std::string> values);

  CFollowCaliperHost* follow_host_ = nullptr;

 private:
  CaliperReadoutKind kind_;
  std::vector<std::string> values_;
};

// The clock time at the current position, under the event-tick strip.
class CStripTimeCaliper : public CFollowCaliper {
 public:
  CStripTimeCaliper(CFollowCaliperHost* host, CZK470Doc* document, const platform::Locale& locale);
  void UpdateValues() override;

 protected:
  std::string ClockText(int hour, int minute, int second) const;

  CZK470Doc* document_ = nullptr;
  std::unique_ptr<TTimeFormatter> times_;
};

// As the strip-time caliper, with the clock of the displayed span's start.
class CHRVTrendCaliper : public CStripTimeCaliper {
 public:
  CHRVTrendCaliper(CFollowCaliperHost* host, CZK470Doc* document, const platform::Locale& locale);
  void UpdateValues() override;
};

// Mean, minimum and maximum heart rate of the column under the mouse.
class CHRTrendCaliper : public CFollowCaliper {
 public:
  explicit CHRTrendCaliper(CFollowCaliperHost* host);
  ~CHRTrendCaliper() override;
  void UpdateValues() override;

 protected:
  TNumberFormatter numbers_;
};

// The heart-rate navigator's three rows in the roles of the trend's values.
class CHRNavigatorCaliper : public CHRTrendCaliper {
 public:
  using CHRTrendCaliper::CHRTrendCaliper;
};

// The four ST values (level and slope of both ST channels) of the column under the mouse.
class CSTTrendCaliper : public CFollowCaliper {
 public:
  explicit CSTTrendCaliper(CFollowCaliperHost* host);
  ~CSTTrendCaliper() override;
  void UpdateValues() override;

 private:
  TNumberFormatter numbers_;
};
