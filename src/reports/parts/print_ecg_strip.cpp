#include "reports/parts/print_ecg_strip.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "gfx/canvas.h"

namespace {

constexpr int kMsPerMinute = 60000;

int Trunc(double value) { return static_cast<int>(std::trunc(value)); }

}  // namespace

TPrintECGStrip::TPrintECGStrip() { points_.reserve(kMaxPoints); }

TPrintECGStrip::TPrintECGStrip(CZK470Doc* doc, int32_t start, int left, int top, int right, int bottom,
                               double speed, double gain, int spread)
    : TPrinter(0, doc, -1, nullptr),
      doc_(doc),
      start_(start),
      left_(left),
      top_(top),
      right_(right),
      bottom_(bottom),
      speed_(speed),
      gain_(gain),
      spread_(spread) {
  points_.reserve(kMaxPoints);
}

TPrintECGStrip::~TPrintECGStrip() = default;

int TPrintECGStrip::WindowMs() const {
  if (speed_ <= 0.0) return 0;
  return Trunc((right_ - left_) * 1000.0 / (speed_ * 100.0));
}

int TPrintECGStrip::WindowSamples() const {
  if (doc_ == nullptr || speed_ <= 0.0) return 0;
  const double window_ms = (right_ - left_) * 1000.0 / (speed_ * 100.0);
  // A minute at 175 / 60 mm/s must give its 7500 samples, not 7499 from a rounding below.
  const double samples = doc_->GetSampleRate() * window_ms * 0.001 + 1e-6;
  if (samples <= 0.0) return 0;
  return std::min(Trunc(samples), kMaxPoints);
}

int TPrintECGStrip::SampleX(int k) const {
  const double rate = doc_ != nullptr ? doc_->GetSampleRate() : CZK470Doc::kDefaultSampleRate;
  return Trunc(left_ + speed_ * 100.0 * k / rate);
}

int TPrintECGStrip::ValueY(int baseline, int value) const {
  return Trunc(baseline + value * kMicrovoltsPerUnit * gain_ * 0.1);
}

std::array<int, 3> TPrintECGStrip::Baselines(bool middle) const {
  std::array<int, 3> baselines{};
  const int height = bottom_ - top_;
  if (middle) {
    baselines.fill(top_ + height / 2);
    return baselines;
  }
  const int c = std::max(ChannelCount(), 1);
  for (int i = 0; i < 3; ++i) baselines[static_cast<size_t>(i)] = top_ + height / (2 * c) + i * (height / c);
  // Page y grows upward: the first channel moves down, the second up.
  baselines[0] -= spread_;
  baselines[1] += spread_;
  return baselines;
}

std::vector<int32_t> TPrintECGStrip::LoadedMinutes(int channel) const {
  std::vector<int32_t> minutes;
  if (channel < 0 || channel >= 3) return minutes;
  for (const auto& block : blocks_[static_cast<size_t>(channel)]) minutes.push_back(block->minute);
  return minutes;
}

int TPrintECGStrip::ChannelCount() const {
  return std::clamp(document::Context().g_RecordingChannels.count, 0, 3);
}

bool TPrintECGStrip::LoadWindow(int32_t first_sample, int samples) {
  CZK470Doc::FreeChannelMinutes(blocks_, 1);
  if (doc_ == nullptr || samples <= 0 || first_sample < 0) return false;
  const double rate = doc_->GetSampleRate();
  samples_per_minute_ = std::clamp(Trunc(rate * 60.0), 1, TECGBlock::kSamples);
  const int64_t recorded = int64_t{doc_->GetRecordingMinutes()} * samples_per_minute_;
  // Past the recording's end there is nothing to read and nothing to draw.
  if (first_sample >= recorded) return false;
  const int64_t last_sample = int64_t{first_sample} + samples - 1;
  const auto start_ms = static_cast<int32_t>(first_sample / rate * 1000.0);
  const auto last_ms = static_cast<int32_t>(last_sample / rate * 1000.0);
  // Whole minutes from the first sample's minute to the last sample's one, nothing beyond.
  doc_->LoadChannelMinutesSet1(blocks_, start_ms, std::max(last_ms - start_ms, 0), true);
  first_offset_ = first_sample % samples_per_minute_;
  loaded_samples_ = samples;
  return !blocks_[0].empty();
}

int TPrintECGStrip::SampleAt(int channel, int index) const {
  if (index < 0 || channel < 0 || channel >= 3) return 0;
  const int position = first_offset_ + index;
  const auto minute = static_cast<size_t>(position / samples_per_minute_);
  const auto& blocks = blocks_[static_cast<size_t>(channel)];
  if (minute >= blocks.size()) return 0;
  return blocks[minute]->samples[static_cast<size_t>(position % samples_per_minute_)];
}

void TPrintECGStrip::BuildPoints(int channel, int samples, int baseline) {
  points_.clear();
  for (int k = 0; k < samples; ++k) points_.push_back({SampleX(k), ValueY(baseline, SampleAt(channel, k))});
}

void TPrintECGStrip::DrawPacemakerMarks(gfx::Canvas& dc, int samples, bool at_or_beyond) {
  const TEventList& events = doc_->GetEventList();
  if (events.GetCounter(kClassPaceMaker) == 0 || points_.empty()) return;
  const int64_t end = int64_t{start_} + samples;
  const int height = Trunc(gain_ * 100.0);
  for (int e = events.FindNextAfterPosition(start_, 0); e < events.GetSize(); ++e) {
    const TEvent& event = *events.ElementAt(e);
    if (event.GetPosition() >= end) break;
    if (event.GetClass() != kClassPaceMaker) continue;
    const int spike_x = SampleX(event.GetPosition() - start_);
    for (const gfx::Point& point : points_) {
      if (at_or_beyond ? point.x < spike_x : point.x != spike_x) continue;
      dc.MoveTo(point.x, point.y);
      dc.LineTo(point.x, point.y + height);
      if (at_or_beyond) break;
    }
  }
}

void TPrintECGStrip::Draw(gfx::Canvas& dc, win::CPrintInfo&) {
  const int n = WindowSamples();
  if (n <= 0 || start_ < 0 || !LoadWindow(start_, n)) return;
  const std::array<int, 3> baselines = Baselines(false);
  const gfx::Pen previous = dc.SelectPen(medium_pen_);

  const bool black = IsMonochromeJob();
  std::array<gfx::Pen, kPenCount> pens;
  for (int code = 0; code < kPenCount; ++code)
    pens[static_cast<size_t>(code)] = {gfx::PenStyle::kSolid, 16, black ? 0x000000 : CodeColour(code)};

  const double rate = doc_->GetSampleRate();
  const int half = Trunc(rate * kBeatMarkMs * 0.0005);
  const TQRSList& beats = doc_->GetQRSList();
  const int64_t end = int64_t{start_} + n;
  for (int channel = 0; channel < ChannelCount(); ++channel) {
    BuildPoints(channel, n, baselines[static_cast<size_t>(channel)]);
    const std::span<const gfx::Point> points(points_);
    dc.MoveTo(points[0].x, points[0].y);
    int done = 0;
    // Draws the points after the last drawn one up to index `upto` (clipped to the window's end).
    const auto draw_to = [&](int64_t upto, const gfx::Pen& pen) {
      const int last = static_cast<int>(std::min<int64_t>(upto, n - 1));
      if (last <= done) return;
      dc.SelectPen(pen);
      dc.PolylineTo(points.subspan(static_cast<size_t>(done) + 1, static_cast<size_t>(last - done)));
      done = last;
    };
    for (int b = beats.FindNextAfterPosition(start_, 0); b < beats.GetSize(); ++b) {
      const TQRSComplex& beat = *beats.ElementAt(b);
      const int64_t at = int64_t{beat.GetPosition()} - start_;
      draw_to(at - half, pens[kClassNormal]);
      draw_to(at + half, pens[beat.GetClass()]);
      // The first beat after the window's end closes its stretch and ends the walk.
      if (beat.GetPosition() > end) break;
    }
    draw_to(n - 1, pens[kClassNormal]);
  }
  DrawPacemakerMarks(dc, n, false);
  dc.SelectPen(previous);
}

int TPrintECGStrip::NextMinMax(int channel) {
  // The last step of a window whose length is no multiple of the step reads no further.
  for (int j = 0; j < step_ && sample_index_ < loaded_samples_; ++j) {
    const int sample = SampleAt(channel, sample_index_);
    ++sample_index_;
    if (sample < minimum_) {
      minimum_ = sample;
      maximum_last_ = false;
    }
    if (sample > maximum_) {
      maximum_ = sample;
      maximum_last_ = true;
    }
  }
  if (maximum_last_) {
    const int value = minimum_;
    minimum_ = maximum_;
    return value;
  }
  const int value = maximum_;
  maximum_ = minimum_;
  return value;
}

void TPrintECGStrip::DrawCompressed(gfx::Canvas& dc, win::CPrintInfo&, int channels) {
  const int n = WindowSamples();
  if (n <= 0) return;
  const int lead_in = start_ < 0 ? -start_ : 0;
  if (lead_in >= n || !LoadWindow(std::max(start_, 0), n - lead_in)) return;
  const std::array<int, 3> baselines = Baselines(spread_ < 0);
  const gfx::Pen pen{gfx::PenStyle::kSolid, 6, 0x000000};
  const gfx::Pen previous = dc.SelectPen(pen);

  std::vector<int> chosen;
  switch (channels) {
    case 0:
      chosen = {0};
      break;
    case 1:
      chosen = {1};
      break;
    case 2:
      chosen = {0, 1};
      break;
    default:
      for (int c = 0; c < 3; ++c) chosen.push_back(c);
      break;
  }
  for (const int channel : chosen) {
    if (channel >= ChannelCount()) continue;
    const int baseline = baselines[static_cast<size_t>(channel)];
    minimum_ = 0;
    maximum_ = 0;
    maximum_last_ = false;
    points_.clear();
    for (int r = 0; r < n; r += step_) {
      // The lead-in and the first step lie on the baseline, undrawn, their samples unread.
      if (r <= lead_in) continue;
      if (points_.empty()) sample_index_ = r - lead_in;
      const int value = NextMinMax(channel);
      points_.push_back({SampleX(r), ValueY(baseline, value)});
    }
    if (points_.empty()) continue;
    dc.MoveTo(points_[0].x, points_[0].y);
    if (points_.size() > 1) dc.PolylineTo(std::span<const gfx::Point>(points_).subspan(1));
  }
  DrawPacemakerMarks(dc, n, true);
  dc.SelectPen(previous);
}
