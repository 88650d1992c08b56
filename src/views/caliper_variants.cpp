#include "views/caliper_variants.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "document/zk470_doc.h"
#include "platform/locale.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr int kDayMs = 86'400'000;

// What the host passes with a message: the mouse point, or none for commands.
gfx::Point PointOr(const gfx::Point* point, gfx::Point fallback) {
  return point != nullptr ? *point : fallback;
}

std::unique_ptr<CCaliperReadout> MakeReadout(CaliperReadoutKind kind, win::Window* host,
                                             std::span<const int32_t> channels) {
  CViewDialogs* dialogs = GetViewDialogs();
  if (dialogs == nullptr || host == nullptr || !host->IsWindow()) return nullptr;
  return dialogs->CreateCaliperReadout(kind, host, channels);
}

// The recording's start as seconds of its day.
int StartSecondOfDay(const CZK470Doc& doc) {
  const double days = doc.GetRecordingData().start_time.days;
  const double fraction = days - std::floor(days);
  return static_cast<int>(std::llround(fraction * 86400.0)) % 86400;
}

}  // namespace

// ---- CECGCaliper

CECGCaliper::CECGCaliper(CECGCaliperSource* source) : CCaliper(source), source_(source) {
  left_margin_ = 3;
  right_margin_ = 3;
}

void CECGCaliper::Start() {
  SetReadout(nullptr);
  const int channels = source_->GetChannelCount();
  if (channels == 2 || channels == 3) {
    std::vector<int32_t> measured;
    for (int c = 0; c < channels; ++c) measured.push_back(source_->GetRecorderChannel(c));
    SetReadout(MakeReadout(channels == 2 ? CaliperReadoutKind::kAmplitude2 : CaliperReadoutKind::kAmplitude3,
                           source_->GetCaliperWindow(), measured));
  }
  CCaliper::Start();
}

void CECGCaliper::OnMessage(uint32_t message, unsigned flags, const gfx::Point* point) {
  const int move = (flags & win::kMkControl) != 0 ? kMoveBoth : kMoveNearer;
  switch (message) {
    case win::kWmMouseMove:
      if ((flags & win::kMkLButton) == 0) return;
      last_input_ = static_cast<int>(message);
      DragMouse(PointOr(point, mouse_));
      TrackOnWindow(move);
      ShowValues();
      return;
    case win::kWmLButtonDown:
      mouse_ = PointOr(point, mouse_);
      last_input_ = static_cast<int>(message);
      TrackOnWindow(move);
      ShowValues();
      return;
    case win::kWmLButtonUp:
      mouse_ = PointOr(point, mouse_);
      last_input_ = static_cast<int>(message);
      ReleaseMouse();
      return;
    case win::kWmRButtonDown:
      mouse_ = PointOr(point, mouse_);
      last_input_ = static_cast<int>(message);
      return;
    case kCaliperSwitch:
      SetState(static_cast<int>(flags));
      TrackOnWindow(kMoveNearer);
      ShowValues();
      ReleaseMouse();
      return;
    case kSpeedUp:
    case kSpeedDown:
      last_input_ = static_cast<int>(message);
      TrackOnWindow(kMoveNearer);
      ShowValues();
      return;
    default:
      return;
  }
}

int32_t CECGCaliper::SampleAt(int channel, int x) const {
  const gfx::Rect area = source_->GetCaliperRect();
  // Full microvolts: a 16-bit view of them would wrap above 32.7 mV.
  const int64_t v = source_->GetMicrovoltsAt(channel, x);
  if (x - area.left < 2 || x >= area.right) return static_cast<int32_t>(v);
  const int64_t p = source_->GetMicrovoltsAt(channel, x - 1);
  const int64_t n = source_->GetMicrovoltsAt(channel, x + 1);
  if (p < v && v < n) return static_cast<int32_t>((v + n) / 2);
  if (p > v && v > n) return static_cast<int32_t>((v + p) / 2);
  return static_cast<int32_t>(v);
}

void CECGCaliper::UpdateValues() {
  pixels_per_second_ = source_->GetPixelsPerSecond();
  const int channels = source_->GetChannelCount();
  values_.clear();
  if (channels == 2 || channels == 3) {
    for (int c = 0; c < channels; ++c) {
      const int64_t difference = static_cast<int64_t>(SampleAt(c, a_.x)) - SampleAt(c, b_.x);
      values_.push_back(numbers_.FormatFixed(static_cast<double>(difference) * 0.001, 2));
    }
  }
  // A strip without a scale yet has no time across it.
  const int64_t ms =
      pixels_per_second_ > 0.0 ? static_cast<int64_t>((a_.x - b_.x) / pixels_per_second_ * 1000.0) : 0;
  values_.push_back(std::to_string(ms));
  if (CCaliperReadout* readout = GetReadout()) readout->SetValues(values_);
}

bool CECGCaliper::SyncCursors() {
  previous_pixels_per_second_ = pixels_per_second_;
  if (last_input_ != static_cast<int>(kSpeedUp) && last_input_ != static_cast<int>(kSpeedDown)) return false;
  const double now = source_->GetPixelsPerSecond();
  // Before the first readout there is no old scale to come from.
  const double ratio = previous_pixels_per_second_ > 0.0 ? now / previous_pixels_per_second_ : 1.0;
  const gfx::Rect area = source_->GetCaliperRect();
  const bool left_pivot = source_->GetStripStartMs() <= 0;
  const int pivot = left_pivot ? area.left : area.left + area.Width() / 3;
  const auto scale = [&](int x) { return pivot + static_cast<int>(static_cast<double>(x - pivot) * ratio); };
  a_.x = scale(a_.x);
  b_.x = scale(b_.x);
  if (left_pivot && a_.x == b_.x) {
    if (b_.x > area.left + 1) {
      b_.x -= 1;
    } else {
      a_.x += 1;
    }
  }
  mouse_.x = a_active_ ? a_.x : b_.x;
  return true;
}

// ---- CFollowCaliper

CFollowCaliper::CFollowCaliper(CFollowCaliperHost* host, CaliperReadoutKind kind)
    : CCaliper(host), follow_host_(host), kind_(kind) {
  follow_ = true;
}

void CFollowCaliper::Start() {
  SetReadout(nullptr);
  SetReadout(MakeReadout(kind_, follow_host_->GetCaliperWindow(), {}));
  CCaliper::Start();
}

void CFollowCaliper::OnMessage(uint32_t message, unsigned flags, const gfx::Point* point) {
  switch (message) {
    case win::kWmMouseMove:
      mouse_ = PointOr(point, mouse_);
      TrackOnWindow(kMoveNearer);
      ShowValues();
      return;
    case win::kWmLButtonDown:
      ShowInfo();
      mouse_ = PointOr(point, mouse_);
      last_input_ = static_cast<int>(message);
      TrackOnWindow(kMoveNearer);
      ShowValues();
      return;
    case win::kWmLButtonUp:
      HideInfo();
      ReleaseMouse();
      return;
    case kSwitchOnHidden:
      SetState(kStateOn);
      HideInfo();
      return;
    default:
      return;
  }
}

bool CFollowCaliper::SyncCursors() {
  const gfx::Rect reference = follow_host_->GetReferenceRect();
  const gfx::Rect size = InfoSize();
  mouse_.x = reference.left + follow_host_->GetCursorColumn();
  b_ = {mouse_.x - size.Width() - 6, mouse_.y};
  b_.y = std::max(std::min(b_.y, reference.bottom - size.Height()), reference.top);
  if (b_.x > reference.right - size.Width()) b_.x = reference.right - size.Width();
  if (b_.x < reference.left) b_.x = mouse_.x + 7;
  return false;
}

int CFollowCaliper::MouseColumn() const {
  const gfx::Rect area = follow_host_->GetCaliperRect();
  return std::clamp(mouse_.x, 1, std::max(1, area.right)) - area.left;
}

void CFollowCaliper::Publish(std::vector<std::string> values) {
  values_ = std::move(values);
  if (CCaliperReadout* readout = GetReadout()) readout->SetValues(values_);
}

// ---- CStripTimeCaliper, CHRVTrendCaliper

CStripTimeCaliper::CStripTimeCaliper(CFollowCaliperHost* host, CZK470Doc* document,
                                     const platform::Locale& locale)
    : CFollowCaliper(host, CaliperReadoutKind::kStripTime),
      document_(document),
      times_(std::make_unique<TTimeFormatter>(locale)) {}

std::string CStripTimeCaliper::ClockText(int hour, int minute, int second) const {
  const int64_t position = document_->GetCurrentPosition();
  const int64_t start = int64_t{hour} * 3'600'000 + int64_t{minute} * 60'000 + int64_t{second} * 1000;
  const int t = static_cast<int>(((start + position) % kDayMs + kDayMs) % kDayMs);
  return times_->FormatHourLabel(t, 0) + document_->GetDayLabelAt(static_cast<int>(position / 1000));
}

void CStripTimeCaliper::UpdateValues() {
  const int second_of_day = StartSecondOfDay(*document_);
  Publish({ClockText(second_of_day / 3600, second_of_day / 60 % 60, second_of_day % 60)});
}

CHRVTrendCaliper::CHRVTrendCaliper(CFollowCaliperHost* host, CZK470Doc* document,
                                   const platform::Locale& locale)
    : CStripTimeCaliper(host, document, locale) {}

void CHRVTrendCaliper::UpdateValues() {
  Publish({ClockText(document_->GetSpanStartClockHour(), document_->GetSpanStartClockMinute(),
                     document_->GetSpanStartClockSecond())});
}

// ---- CHRTrendCaliper, CSTTrendCaliper

CHRTrendCaliper::CHRTrendCaliper(CFollowCaliperHost* host)
    : CFollowCaliper(host, CaliperReadoutKind::kHRValues) {}

CHRTrendCaliper::~CHRTrendCaliper() { SetState(kStateOff); }

void CHRTrendCaliper::UpdateValues() {
  const int column = MouseColumn();
  std::vector<std::string> texts;
  for (int row = 0; row < 3; ++row)
    texts.push_back(numbers_.FormatCount(static_cast<int32_t>(follow_host_->GetColumnValue(row, column))));
  Publish(std::move(texts));
}

CSTTrendCaliper::CSTTrendCaliper(CFollowCaliperHost* host)
    : CFollowCaliper(host, CaliperReadoutKind::kSTValues) {}

CSTTrendCaliper::~CSTTrendCaliper() { SetState(kStateOff); }

void CSTTrendCaliper::UpdateValues() {
  const int column = MouseColumn();
  std::vector<std::string> texts;
  for (int row = 0; row < 4; ++row) {
    const double v = std::trunc(follow_host_->GetColumnValue(row, column) * 100.0) * 0.01;
    texts.push_back(numbers_.FormatFixed(v, 1));
  }
  Publish(std::move(texts));
}
