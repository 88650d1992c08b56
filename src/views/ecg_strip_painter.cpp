#include "views/ecg_strip_painter.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "document/event_list.h"
#include "document/qrs_list.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "views/column_extremes.h"
#include "views/preset_font.h"

namespace {

// One minute of samples per block.
constexpr int kMinuteSamples = TECGBlock::kSamples;
// Label texts are language strings, one per class code from this id.
constexpr int kFirstClassLabelString = 4200;
// Code of the pacemaker event kind.
constexpr int kPacemakerCode = 0;
// A prior class of '!' means the beat keeps the class the analysis gave it.
constexpr int kPriorUntouched = '!';
constexpr int kTickHeight = 9;
// Arial 15, normal.
constexpr int kLabelFont = 2;

int Trunc(double value) { return static_cast<int>(value); }

gfx::Pen SolidPen(gfx::Color color) { return gfx::Pen{gfx::PenStyle::kSolid, 1, color}; }

}  // namespace

const CECGStripPainter::ColourTable CECGStripPainter::kDisplayColours = {
    0xFFFFFF, 0x00FFFF, 0xFFFF00, 0xFF0000, 0x800000, 0x808000, 0x800080, 0x0000FF,
    0xFF00FF, 0x00FF00, 0x008000, 0x808000, 0xC0C0C0, 0x808080, 0x000000};
const CECGStripPainter::ColourTable CECGStripPainter::kDarkTrueColours = {
    0x000000, 0x00FFFF, 0xFFFF00, 0x00FFFF, 0x800000, 0x8080FF, 0x800080, 0xFFFF00,
    0x00FF00, 0x00FF00, 0xFF80FF, 0x808000, 0xC0C0C0, 0x808080, 0xFFFFFF};
const CECGStripPainter::ColourTable CECGStripPainter::kDarkPaletteColours = {
    0x000000, 0x00FFFF, 0xFFFF00, 0x008080, 0x800000, 0x4040FF, 0x800080, 0x808000,
    0x008000, 0x00FF00, 0xC040C0, 0x808000, 0xC0C0C0, 0x808080, 0xFFFFFF};

CECGStripPainter::CECGStripPainter(CZK470Doc& document, gfx::Canvas* dc, gfx::Color trace_colour, int left,
                                   int top, int right, int bottom, int beat_index, double speed, double gain,
                                   double duration, bool beat_mode, int start_position)
    : document_(document),
      dc_(dc),
      trace_colour_(trace_colour),
      given_rect_{left, top, right, bottom},
      rect_{left, top, right, bottom},
      beat_index_(beat_index),
      speed_(speed),
      gain_(gain),
      duration_(duration),
      beat_mode_(beat_mode),
      start_position_(start_position) {}

CECGStripPainter::~CECGStripPainter() { CZK470Doc::FreeChannelMinutesSet1(blocks_); }

bool CECGStripPainter::ReferenceValid() const {
  if (beat_mode_) return beat_index_ >= 0 && beat_index_ < document_.GetQRSList().GetSize();
  return start_position_ >= 0;
}

int CECGStripPainter::ReferenceSample() const {
  return beat_mode_ ? document_.GetQRSList().GetAt(beat_index_).GetPosition() : start_position_;
}

int CECGStripPainter::ColourIndexOf(int code) const {
  const int index = document_.GetSettings().Color(code);
  return index >= 0 && index < static_cast<int>(kDisplayColours.size()) ? index : 0;
}

void CECGStripPainter::Prepare() {
  if (beat_mode_ && !ReferenceValid()) return;
  const double scale = document_.GetViewFields().screen_scale;
  const double rate = document_.GetSampleRate();
  channels_ = std::clamp(document_.GetChannelCount(), 1, 3);

  pixels_per_second_ = scale * speed_ * 0.1;
  pixels_per_mv_ = scale * gain_ * 0.1;
  rect_ = given_rect_;
  if (duration_ > 0) {
    const int width = Trunc(duration_ * pixels_per_second_);
    if (width < rect_.right - rect_.left) {
      rect_.left += (rect_.right - rect_.left - width) / 2;
      rect_.right = rect_.left + width;
    }
  }
  const int band_height = (rect_.bottom - rect_.top) / channels_;
  bands_.clear();
  for (int i = 0; i < channels_; ++i)
    bands_.push_back(
        {rect_.left, rect_.top + i * band_height, rect_.right, rect_.top + i * band_height + band_height});
  if (overlap_bands_ && channels_ > 1) {
    const int margin = Trunc(scale * 1.5);
    bands_[0].bottom += margin;
    bands_[1].top -= margin;
    if (channels_ == 3) {
      bands_[1].bottom += margin;
      bands_[2].top -= margin;
    }
  }

  window_ms_ = pixels_per_second_ > 0 ? Trunc((rect_.right - rect_.left) * 1000 / pixels_per_second_) : 0;
  const int reference = ReferenceSample();
  window_start_ms_ = Trunc(reference * 1000.0 / rate) - Trunc(window_ms_ * kReferenceFraction);
  if (window_start_ms_ > document_.GetSpanEndMs() - window_ms_)
    window_start_ms_ = document_.GetSpanEndMs() - window_ms_ - 1;
  if (window_start_ms_ < 0) window_start_ms_ = 0;
  window_end_ms_ = window_start_ms_ + window_ms_;

  CZK470Doc::FreeChannelMinutesSet1(blocks_);
  document_.LoadChannelMinutesSet1(blocks_, window_start_ms_, window_ms_, true);

  const int start_sample = Trunc(rate * window_start_ms_ * 0.001);
  const int end_sample = Trunc(rate * window_end_ms_ * 0.001);
  const auto ms_of = [rate](int sample) { return Trunc(sample * 1000.0 / rate); };

  pacemaker_x_.clear();
  const TEventList& events = document_.GetEventList();
  int e = events.FindNextAfterPosition(start_sample, 0);
  if (e < events.GetSize() && ms_of(events.GetAt(e).GetPosition()) <= window_end_ms_) {
    for (; e < events.GetSize() && events.GetAt(e).GetPosition() < end_sample; ++e) {
      const TEvent event = events.GetAt(e);
      if (event.GetPosition() > start_sample && event.GetClass() == kPacemakerCode)
        pacemaker_x_.push_back(
            rect_.left + Trunc((ms_of(event.GetPosition()) - window_start_ms_) * pixels_per_second_ * 0.001) +
            1);
    }
  }

  beat_spans_.clear();
  beat_span_colour_.clear();
  labels_.clear();
  const TQRSList& beats = document_.GetQRSList();
  int b = beats.FindNextAfterPosition(start_sample, 0);
  if (b < beats.GetSize() && ms_of(beats.GetAt(b).GetPosition()) <= window_end_ms_) {
    // Half of the 250 ms beat marker.
    const int half = Trunc(250 * pixels_per_second_ * 0.0005);
    for (; b < beats.GetSize() && beats.GetAt(b).GetPosition() < end_sample; ++b) {
      const TQRSComplex beat = beats.GetAt(b);
      if (beat.GetPosition() <= start_sample) continue;
      const int e_px = Trunc((ms_of(beat.GetPosition()) - window_start_ms_) * pixels_per_second_ * 0.001);
      const int f = rect_.left + e_px + 1;
      beat_spans_.push_back({std::max(rect_.left, f - half + 2), 0, std::min(rect_.right, f + half + 2), 0});
      beat_span_colour_.push_back(ColourIndexOf(beat.GetClass()));
      if (rect_.left < f && f < rect_.right)
        labels_.push_back({rect_.left + e_px, beat.GetClass(), beat.GetPriorClass()});
    }
  }
  ComputePoints();
}

void CECGStripPainter::ComputePoints() {
  const double rate = document_.GetSampleRate();
  const int width = std::max(0, rect_.right - rect_.left);
  int sample_in_minute = Trunc(rate * window_start_ms_ * 0.001) % kMinuteSamples;
  size_t minute_index = 0;
  std::array<TColumnExtremes, 3> columns{};
  static const TECGBlock kZeroBlock;
  const auto block_of = [&](int channel) -> const TECGBlock& {
    const auto& list = blocks_[channel];
    return minute_index < list.size() && list[minute_index] ? *list[minute_index] : kZeroBlock;
  };
  for (auto& p : points_) p.clear();
  // A zero speed or rate gives no columns rather than an endless sample count.
  if (!(pixels_per_second_ > 0) || !(rate > 0)) return;
  // The first column starts from the strip's first sample, never from a value of no sample.
  for (int i = 0; i < channels_; ++i) columns[i].Start(block_of(i).samples[sample_in_minute]);
  double accumulator = rate;
  for (int c = 0; c < width; ++c) {
    double whole = 0.0;
    const double fraction = std::modf(accumulator / pixels_per_second_, &whole);
    for (int n = static_cast<int>(whole); n > 0; --n) {
      for (int i = 0; i < channels_; ++i) columns[i].Add(block_of(i).samples[sample_in_minute]);
      if (++sample_in_minute == kMinuteSamples) {
        ++minute_index;
        sample_in_minute = 0;
      }
    }
    for (int i = 0; i < channels_; ++i) {
      const int value = columns[i].Take();
      const gfx::Rect& band = bands_[i];
      const int y = band.top + (band.bottom - band.top) / 2 -
                    Trunc(value * CZK470Doc::kSampleUnitMicrovolts * pixels_per_mv_ * 0.001);
      points_[i].push_back({rect_.left + c + 1, y});
    }
    accumulator = rate + fraction * pixels_per_second_;
  }
}

std::vector<gfx::Point> CECGStripPainter::Points(int channel) const {
  return channel >= 0 && channel < channels_ ? points_[channel] : std::vector<gfx::Point>{};
}

void CECGStripPainter::SetChannelGap(int gap) {
  const auto move = [this](int channel, int dy) {
    for (gfx::Point& p : points_[channel]) p.y += dy;
  };
  move(0, -gap / 2);
  if (channels_ == 3) {
    move(2, gap / 2);
  } else if (channels_ == 2) {
    move(1, gap / 2);
  }
}

void CECGStripPainter::AddChannelGap(int delta) {
  for (gfx::Point& p : points_[0]) p.y -= delta / 2;
  if (channels_ > 1)
    for (gfx::Point& p : points_[1]) p.y += delta / 2;
}

void CECGStripPainter::SetDeviceColours(const gfx::Canvas& dc) {
  device_colours_ =
      dc.GetDeviceCaps(gfx::DeviceCap::kNumColors) == -1 ? kDarkTrueColours : kDarkPaletteColours;
}

void CECGStripPainter::Draw(bool labels, bool dark, bool marker) {
  if (dc_ == nullptr || !ReferenceValid()) return;
  DrawWith(*dc_, labels, true, dark, marker);
}

void CECGStripPainter::DrawTo(gfx::Canvas* dc, bool marker, bool labels, bool clip, bool label_texts) {
  if (dc == nullptr || !ReferenceValid()) return;
  if (!clip) {
    DrawWith(*dc, labels, label_texts, false, marker);
    return;
  }
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(rect_);
  DrawWith(*dc, labels, label_texts, false, marker);
  dc->RestoreDC(saved);
}

void CECGStripPainter::DrawWith(gfx::Canvas& dc, bool labels, bool label_texts, bool dark, bool marker) {
  SetDeviceColours(dc);
  if (labels) DrawLabels(dc, label_texts, dark);
  DrawTraces(dc, dark);
  DrawPacemakerMarks(dc, dark);
  if (marker) DrawMarker(dc, dark);
}

void CECGStripPainter::DrawTraces(gfx::Canvas& dc, bool dark) {
  const ColourTable& table = dark ? device_colours_ : kDisplayColours;
  const gfx::Pen old_pen = dc.GetPen();
  for (int i = 0; i < channels_; ++i) {
    const std::vector<gfx::Point>& points = points_[i];
    if (points.empty()) continue;
    // Draws the points of columns [from, to) joined to the point before from.
    const auto run = [&](int from, int to, gfx::Color color) {
      from = std::clamp(from, 0, static_cast<int>(points.size()));
      to = std::clamp(to, 0, static_cast<int>(points.size()));
      if (to <= from) return;
      dc.SelectPen(SolidPen(color));
      dc.MoveTo(points[std::max(from - 1, 0)].x, points[std::max(from - 1, 0)].y);
      dc.PolylineTo(std::span<const gfx::Point>(points).subspan(from, to - from));
    };
    if (beat_spans_.empty()) {
      run(0, static_cast<int>(points.size()), trace_colour_);
      continue;
    }
    const auto column = [this](int x) { return x - rect_.left - 1; };
    run(0, column(beat_spans_.front().left), trace_colour_);
    for (size_t k = 0; k < beat_spans_.size(); ++k) {
      const gfx::Rect& span = beat_spans_[k];
      run(column(span.left), column(span.right), table[beat_span_colour_[k]]);
      const int next =
          k + 1 < beat_spans_.size() ? column(beat_spans_[k + 1].left) : static_cast<int>(points.size());
      run(column(span.right), next, trace_colour_);
    }
  }
  dc.SelectPen(old_pen);
}

void CECGStripPainter::DrawPacemakerMarks(gfx::Canvas& dc, bool dark) {
  if (pacemaker_x_.empty()) return;
  const ColourTable& table = dark ? device_colours_ : kDisplayColours;
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(table[ColourIndexOf(kPacemakerCode)]));
  for (const int x : pacemaker_x_) {
    const int c = x - rect_.left - 1;
    for (int i = 0; i < channels_; ++i) {
      if (c < 0 || c >= static_cast<int>(points_[i].size())) continue;
      const gfx::Point p = points_[i][c];
      dc.MoveTo(p.x, p.y);
      dc.LineTo(p.x, p.y - Trunc(pixels_per_mv_));
    }
  }
  dc.SelectPen(old_pen);
}

void CECGStripPainter::DrawLabels(gfx::Canvas& dc, bool texts, bool dark) {
  const ColourTable& table = dark ? device_colours_ : kDisplayColours;
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(trace_colour_));
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(kLabelFont));
  for (const Label& label : labels_) {
    dc.MoveTo(label.x, rect_.bottom);
    dc.LineTo(label.x, rect_.bottom - kTickHeight);
    if (!texts) continue;
    std::string text = platform::LoadString(kFirstClassLabelString + label.beat_class);
    if (label.prior_class != kPriorUntouched) text.insert(0, "*");
    const gfx::Color old_text = dc.SetTextColor(table[ColourIndexOf(label.beat_class)]);
    const gfx::Color old_back = dc.SetBkColor(dark ? 0x000000 : 0xFFFFFF);
    gfx::Rect box{label.x - 8, rect_.top, label.x + 8, rect_.top + 10};
    dc.DrawText(text, box, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
    dc.SetTextColor(old_text);
    dc.SetBkColor(old_back);
  }
  dc.SelectFont(old_font);
  dc.SelectPen(old_pen);
}

void CECGStripPainter::DrawMarker(gfx::Canvas& dc, bool dark) {
  const int x = Trunc((rect_.right - rect_.left) * kReferenceFraction + rect_.left);
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(dark ? 0xFFFFFF : 0x000000));
  const int bottom = rect_.bottom;
  if (beat_mode_) {
    dc.MoveTo(x, bottom - kTickHeight);
    dc.LineTo(x, bottom);
    dc.MoveTo(x - 4, bottom - 5);
    dc.LineTo(x + 5, bottom - 5);
  } else {
    dc.MoveTo(x, bottom);
    const gfx::Point arrow[] = {
        {x, bottom - kTickHeight}, {x - 2, bottom - 7}, {x + 2, bottom - 7}, {x, bottom - kTickHeight}};
    dc.PolylineTo(arrow);
  }
  dc.SelectPen(old_pen);
}
