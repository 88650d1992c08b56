#include "views/online_ecg_area.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"
#include "win/window.h"

namespace {

constexpr std::array<double, 2> kOnlineSpeeds = {25.0, 50.0};  // mm/s
constexpr std::array<double, 2> kOnlineGains = {5.0, 10.0};    // mm/mV
constexpr int kPacemakerCode = 0;
constexpr gfx::Color kCalibrationColour = gfx::Rgb(255, 0, 0);
constexpr uint32_t kCentredLine = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter;
constexpr int kSecondUnitString = 16003;
constexpr int kMillivoltUnitString = 16004;
constexpr int kChannelNameString = 14394;
// One stored unit is 5 microvolts.
constexpr double kMicrovoltsPerUnit = 5.0;

// A profile may hold any index; the tables have two entries.
double TableValue(const std::array<double, 2>& table, int index) {
  return table[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(table.size()) - 1))];
}

int ClampToInt(double value) {
  return static_cast<int>(
      std::clamp(value, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

gfx::Pen SolidPen(gfx::Color colour) { return {gfx::PenStyle::kSolid, 1, colour}; }

}  // namespace

// ---- COnlineECGAreaConfig

COnlineECGAreaConfig::COnlineECGAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille,
                                           bool clip, int channel)
    : CViewAreaConfig(position, min_size, per_mille, clip), channel_(channel) {}

std::unique_ptr<CViewArea> COnlineECGAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<COnlineECGArea>(this, doc);
}

// ---- COnlineECGArea

COnlineECGArea::COnlineECGArea(COnlineECGAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {
  amplitude_index_ = AmplitudeIndex();
  UpdateScales();
}

COnlineECGArea::~COnlineECGArea() = default;

int COnlineECGArea::GetChannel() const {
  const auto* config = dynamic_cast<const COnlineECGAreaConfig*>(config_);
  return config != nullptr ? config->GetChannel() : 0;
}

int COnlineECGArea::AmplitudeIndex() const {
  return document_ != nullptr ? document_->GetSettings().Int(SettingKey::kResRealTimeAmplitude) : 1;
}

void COnlineECGArea::UpdateScales() {
  const double scale = document_ != nullptr ? document_->GetViewFields().screen_scale : 30.0;
  const int speed_index =
      document_ != nullptr ? document_->GetSettings().Int(SettingKey::kResRealTimeSpeed) : 0;
  pixels_per_second_ = scale * TableValue(kOnlineSpeeds, speed_index) * 0.1;
  pixels_per_mv_ = scale * TableValue(kOnlineGains, AmplitudeIndex()) * 0.1;
}

win::Window* COnlineECGArea::HostWindow() const {
  win::Window* window = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  return window != nullptr && window->IsWindow() ? window : nullptr;
}

void COnlineECGArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  grid_area_ = nullptr;
  if (config_ != nullptr) {
    config_->GetRoot()->BroadcastUntilHandled(areamsg::kFindPixelGrid, 0,
                                              reinterpret_cast<win::LParam>(&grid_area_));
  }
}

void COnlineECGArea::OnLayout(int left, int top, int right, int bottom) {
  baseline_ = top + (bottom - top) / 2;
  // One column per client x up to the right edge, however wide the screen.
  const int columns = std::max(right, 0);
  points_.assign(static_cast<size_t>(columns), gfx::Point{});
  for (int i = 0; i < columns; ++i) points_[static_cast<size_t>(i)] = {i, baseline_};
  marks_.assign(static_cast<size_t>(columns), 0);
  sweep_pos_ = 0;
}

bool COnlineECGArea::IsMarked(int column) const {
  return column >= 0 && column < static_cast<int>(marks_.size()) && marks_[static_cast<size_t>(column)] != 0;
}

void COnlineECGArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const int count = std::min(rect_.right - rect_.left, static_cast<int>(points_.size()));
  if (count > 0) DrawTrace(dc, 0, count);
  DrawCalibration(dc);
}

void COnlineECGArea::DrawTicks(gfx::Canvas& dc, int first, int count) {
  const int index = document_ != nullptr ? document_->GetSettings().Color(kPacemakerCode) : 0;
  const gfx::Color colour =
      CECGStripPainter::kDisplayColours[static_cast<size_t>(index >= 0 && index < 15 ? index : 0)];
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(colour));
  const int tick = static_cast<int>(pixels_per_mv_);
  for (int i = first; i < first + count; ++i) {
    if (!IsMarked(i)) continue;
    const gfx::Point p = points_[static_cast<size_t>(i)];
    dc.MoveTo(i, p.y);
    dc.LineTo(i, p.y - tick);
  }
  dc.SelectPen(old_pen);
}

// A line two pixels thick through the points, with the DC's current pen, then the ticks.
void COnlineECGArea::DrawTrace(gfx::Canvas& dc, int first, int count) {
  first = std::clamp(first, 0, static_cast<int>(points_.size()));
  count = std::clamp(count, 0, static_cast<int>(points_.size()) - first);
  if (count == 0) return;
  const std::span<const gfx::Point> segment(points_.data() + first, static_cast<size_t>(count));
  dc.Polyline(segment);
  std::vector<gfx::Point> lower(segment.begin(), segment.end());
  for (gfx::Point& p : lower) p.y += 1;
  dc.Polyline(lower);
  DrawTicks(dc, first, count);
}

void COnlineECGArea::DrawSegment(gfx::Canvas& dc, int first, int count) {
  DrawTrace(dc, first, count);
  // A segment near the left edge would wipe out the calibration bars.
  if (rect_.left + static_cast<int>(pixels_per_second_) + 20 >= sweep_pos_ - count) DrawCalibration(dc);
}

void COnlineECGArea::DrawCalibration(gfx::Canvas& dc) {
  const int l = rect_.left;
  const int t = rect_.top;
  const int b = rect_.bottom;
  const int p = static_cast<int>(pixels_per_mv_);
  const int s = static_cast<int>(pixels_per_second_);
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(kCalibrationColour));
  dc.MoveTo(l + 5, b - 20);
  dc.LineTo(l + 5, b - p - 21);
  dc.MoveTo(l + 4, b - 20);
  dc.LineTo(l + 7, b - 20);
  dc.MoveTo(l + 4, b - p - 21);
  dc.LineTo(l + 7, b - p - 21);
  dc.MoveTo(l + 10, b - 15);
  dc.LineTo(l + 10 + s, b - 15);
  dc.MoveTo(l + 9, b - 14);
  dc.LineTo(l + 9, b - 17);
  dc.MoveTo(l + 10 + s, b - 14);
  dc.LineTo(l + 10 + s, b - 17);
  dc.SelectPen(old_pen);

  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  const gfx::Color old_text = dc.SetTextColor(kCalibrationColour);
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  // The labels may be wider than their boxes in the screen font: centred on them, never cut.
  gfx::Rect second{l + 6, b - 27, l + 11 + s, b - 17};
  dc.DrawText("1" + platform::LoadString(kSecondUnitString), second, kCentredLine | gfx::kDtNoClip);
  gfx::Rect millivolt{l + 6, b - p - 21, l + 30, b - 20};
  dc.DrawText("1" + platform::LoadString(kMillivoltUnitString), millivolt, kCentredLine | gfx::kDtNoClip);
  dc.SelectFont(*fonts.Select(3));
  dc.SetTextColor(0);
  gfx::Rect name{l, t, l + 50, t + 40};
  dc.DrawText(platform::LoadString(kChannelNameString + GetChannel()), name, kCentredLine);
  dc.SetBkMode(old_mode);
  dc.SetTextColor(old_text);
  dc.SelectFont(old_font);
}

int COnlineECGArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  switch (msg) {
    case areamsg::kFindSweepArea:
      if (static_cast<int>(wparam) != GetChannel() || lparam == 0) return 0;
      *reinterpret_cast<CViewArea**>(lparam) = this;
      return 1;
    case kAmplitudeDoubled:
      ScaleAmplitude(2.0);
      Redraw();
      return 1;
    case kAmplitudeHalved:
      ScaleAmplitude(0.5);
      Redraw();
      return 1;
    default:
      return 0;
  }
}

void COnlineECGArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kDisplaySettings: {
      const int index = AmplitudeIndex();
      if (index == amplitude_index_) return;
      if (index == 0) {
        ScaleAmplitude(0.5);
        Redraw();
      } else if (index == 1) {
        ScaleAmplitude(2.0);
        Redraw();
      }
      amplitude_index_ = index;
      return;
    }
    case hint::kPositionMoved:
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      Redraw();
      return;
    default:
      return;
  }
}

void COnlineECGArea::ScaleAmplitude(double factor) {
  for (gfx::Point& p : points_) {
    // Halving truncates toward zero, as an integer division by two does.
    const double offset = static_cast<double>(p.y - baseline_) * factor;
    p.y = baseline_ + ClampToInt(std::trunc(offset));
  }
}

void COnlineECGArea::Redraw() {
  UpdateScales();
  if (win::Window* host = HostWindow()) {
    host->InvalidateRect(rect_, true);
    host->UpdateWindow();
  }
}

void COnlineECGArea::EraseAhead(int count) {
  win::Window* host = HostWindow();
  if (grid_area_ == nullptr || host == nullptr) return;
  win::ClientDc dc(*host);
  const int top = rect_.top;
  const int bottom = rect_.bottom + 2;
  const int right = rect_.right;
  if (sweep_pos_ + count + 6 < right) {
    grid_area_->Draw(dc.Canvas(), {sweep_pos_, top, sweep_pos_ + count + 6, bottom});
  } else {
    grid_area_->Draw(dc.Canvas(), {sweep_pos_, top, right, bottom});
    grid_area_->Draw(dc.Canvas(), {rect_.left, top, rect_.left + count + sweep_pos_ - right + 7, bottom});
  }
}

bool COnlineECGArea::IsFlagged(int32_t sample) {
  const uint32_t bits = static_cast<uint32_t>(sample);
  return ((bits >> 30) & 1u) != ((bits >> 31) & 1u);
}

int32_t COnlineECGArea::Restore(int32_t sample) {
  if (!IsFlagged(sample)) return sample;
  const uint32_t bits = static_cast<uint32_t>(sample);
  return static_cast<int32_t>(sample < 0 ? bits | (1u << 30) : bits & ~(1u << 30));
}

int COnlineECGArea::DecimateGroup(std::span<const int32_t> samples) {
  group_mark_ = false;
  for (const int32_t raw : samples) {
    if (IsFlagged(raw)) group_mark_ = true;
    const int v = Restore(raw);
    if (!group_started_) {
      group_.Start(v);
      group_started_ = true;
    }
    group_.Add(v);
  }
  return group_.Take();
}

int COnlineECGArea::AddSamples(std::span<const int32_t> samples, int channel) {
  const int count = static_cast<int>(samples.size());
  const int columns = static_cast<int>(points_.size());
  if (count < 1 || columns == 0 || pixels_per_second_ <= 0.0) return 0;
  win::Window* host = HostWindow();
  std::unique_ptr<win::ClientDc> dc = host != nullptr ? std::make_unique<win::ClientDc>(*host) : nullptr;

  int first = std::max(sweep_pos_ - 1, 0);
  int used = 0;
  accumulator_ = fraction_ * pixels_per_second_ + kSampleRate;
  while (used < count) {
    double whole_part = 0.0;
    const double fraction = std::modf(accumulator_ / pixels_per_second_, &whole_part);
    const int whole = static_cast<int>(whole_part);
    // The column waits for the next batch with the phase it has now, so that a batch border
    // changes nothing.
    if (used + whole > count) break;
    fraction_ = fraction;
    whole_samples_ = whole_part;
    const int v = DecimateGroup(samples.subspan(static_cast<size_t>(used), static_cast<size_t>(whole)));
    // A larger value is drawn lower.
    points_[static_cast<size_t>(sweep_pos_)].y =
        baseline_ + ClampToInt(std::trunc(v * kMicrovoltsPerUnit * pixels_per_mv_ * 0.001));
    used += whole;
    accumulator_ = fraction_ * pixels_per_second_ + kSampleRate;
    sweep_pos_ = (sweep_pos_ + 1) % columns;
    // A column's tick belongs to the group written just before it.
    marks_[static_cast<size_t>(sweep_pos_)] = group_mark_ ? 1 : 0;
    if (sweep_pos_ == 0) {
      // Up to the right edge; the trace goes on from x = 0 without a line across.
      if (dc) DrawSegment(dc->Canvas(), first, columns - first);
      first = 0;
    }
  }
  if (sweep_pos_ > first && dc) DrawSegment(dc->Canvas(), first, sweep_pos_ - first);
  return used;
}
