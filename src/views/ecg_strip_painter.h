#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

// Draws a short stretch of the recording's ECG, every channel in a band of its own, into a
// rectangle of a canvas: the traces reduced to one point per pixel column, the stretch of every
// beat in its class colour, pacemaker marks, beat ticks with labels and a marker at the reference,
// which always sits at 35 % of the strip's width. Pixels come from the document's screen scale
// (pixels per cm), the paper speed (mm/s) and the gain (mm/mV). The painter owns the minute blocks
// it loads until it is destroyed; the document must outlive it. User-interface thread only.
class CECGStripPainter {
 public:
  static constexpr double kReferenceFraction = 0.35;
  using ColourTable = std::array<gfx::Color, 15>;
  // Colours by colour index on a white background, and the dark tables of a true-colour and of a
  // palette device.
  static const ColourTable kDisplayColours;
  static const ColourTable kDarkTrueColours;
  static const ColourTable kDarkPaletteColours;

  // beat_index -1 in position mode. dc may be nullptr when only DrawTo is used.
  CECGStripPainter(CZK470Doc& document, gfx::Canvas* dc, gfx::Color trace_colour, int left, int top,
                   int right, int bottom, int beat_index, double speed, double gain, double duration,
                   bool beat_mode, int start_position);
  ~CECGStripPainter();
  CECGStripPainter(const CECGStripPainter&) = delete;
  CECGStripPainter& operator=(const CECGStripPainter&) = delete;

  // Lays out the bands, loads the window's minutes and computes points, marks, spans and labels.
  // Nothing in beat mode with a beat index outside the list. May run again after a change.
  void Prepare();
  void Draw(bool labels, bool dark, bool marker);
  // Always with the white-background colours; clip limits the drawing to the strip's rectangle.
  void DrawTo(gfx::Canvas* dc, bool marker, bool labels, bool clip, bool label_texts);
  // Moves the prepared points apart vertically (see the channel rules in the .cpp).
  void SetChannelGap(int gap);
  void AddChannelGap(int delta);
  // Lets neighbouring bands overlap by 1.5 cm; takes effect at the next Prepare.
  void SetLabelMargins(bool on) { overlap_bands_ = on; }
  void SetDeviceColours(const gfx::Canvas& dc);

  struct Label {
    int x = 0;
    int beat_class = 0;
    int prior_class = 0;
  };
  const gfx::Rect& StripRect() const { return rect_; }
  const std::vector<gfx::Rect>& Bands() const { return bands_; }
  int ChannelCount() const { return channels_; }
  // The prepared polyline of a channel, one point per pixel column.
  std::vector<gfx::Point> Points(int channel) const;
  int WindowStartMs() const { return window_start_ms_; }
  int WindowEndMs() const { return window_end_ms_; }
  double PixelsPerSecond() const { return pixels_per_second_; }
  double PixelsPerMV() const { return pixels_per_mv_; }
  const std::vector<int>& PacemakerX() const { return pacemaker_x_; }
  // Horizontal spans (left, 0, right, 0) and their colour indexes.
  const std::vector<gfx::Rect>& BeatSpans() const { return beat_spans_; }
  const std::vector<int>& BeatSpanColours() const { return beat_span_colour_; }
  const std::vector<Label>& Labels() const { return labels_; }
  const ColourTable& DeviceColours() const { return device_colours_; }

 private:
  bool ReferenceValid() const;
  int ReferenceSample() const;
  int ColourIndexOf(int code) const;
  void ComputePoints();
  void DrawWith(gfx::Canvas& dc, bool labels, bool label_texts, bool dark, bool marker);
  void DrawTraces(gfx::Canvas& dc, bool dark);
  void DrawPacemakerMarks(gfx::Canvas& dc, bool dark);
  void DrawLabels(gfx::Canvas& dc, bool texts, bool dark);
  void DrawMarker(gfx::Canvas& dc, bool dark);

  CZK470Doc& document_;
  gfx::Canvas* dc_;
  gfx::Color trace_colour_;
  gfx::Rect given_rect_;  // as constructed; Prepare narrows a copy
  gfx::Rect rect_;
  int beat_index_;
  double speed_;
  double gain_;
  double duration_;
  bool beat_mode_;
  int start_position_;
  int channels_ = 1;
  CZK470Doc::MinuteBlockArrays blocks_;
  int window_start_ms_ = 0;
  int window_end_ms_ = 0;
  int window_ms_ = 0;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
  std::array<std::vector<gfx::Point>, 3> points_;
  std::vector<gfx::Rect> bands_;
  bool overlap_bands_ = false;
  std::vector<int> pacemaker_x_;
  std::vector<gfx::Rect> beat_spans_;
  std::vector<int> beat_span_colour_;
  std::vector<Label> labels_;
  ColourTable device_colours_{};
};
