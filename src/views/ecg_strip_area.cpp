#include "views/ecg_strip_area.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/event_list.h"
#include "document/heart_rate_trend.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/column_extremes.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_painter.h"
#include "views/hit_record.h"
#include "views/label_cell.h"
#include "views/preset_font.h"
#include "views/sample_slot_hint.h"
#include "win/messages.h"

namespace {

constexpr int kMinuteSamples = TECGBlock::kSamples;
constexpr int kNormalCode = 1;
constexpr int kPacemakerCode = 0;
constexpr int kSVESCode = 9;
constexpr int kVESCode = 15;
// Units after the "1" of the calibration bars: seconds, millivolts.
constexpr int kSecondUnitString = 16003;
constexpr int kMillivoltUnitString = 16004;
constexpr int kCalibrationFont = 2;
constexpr gfx::Color kCalibrationColour = 0x0000FF;
// The position cursor: yellow on a true-colour display, olive on a palette display.
constexpr gfx::Color kCursorTrueColour = 0x00FFFF;
constexpr gfx::Color kCursorPaletteColour = 0x008080;
// Flags of the caliper's move after a reset of the cursor: left button with Ctrl (both cursors).
constexpr unsigned kCaliperFollowFlags = win::kMkLButton | win::kMkControl;
constexpr int kCaliperFollowDy = 30;
// Commands the strip window passes down.
constexpr uint32_t kNextPage = cmd::kNextPage;
constexpr uint32_t kPreviousPage = cmd::kPreviousPage;
constexpr uint32_t kTakeCursor = 32823;
constexpr uint32_t kUserMarker = 32872;
constexpr uint32_t kSpeedUp = 33008;
constexpr uint32_t kSpeedDown = 33009;
constexpr uint32_t kGainUp = 33010;
constexpr uint32_t kGainDown = 33011;

int Trunc(double value) { return static_cast<int>(value); }

gfx::Pen SolidPen(gfx::Color colour) { return gfx::Pen{gfx::PenStyle::kSolid, 1, colour}; }

int RecordingChannels() { return std::clamp(document::Context().g_RecordingChannels.count, 1, 3); }

// Reads the samples of the strip's window one sample position after the other. Positions before
// the recording start and past the loaded minutes read as zero.
class SampleCursor {
 public:
  SampleCursor(const CZK470Doc::MinuteBlockArrays& blocks, int first_minute, int position)
      : blocks_(blocks), first_minute_(first_minute), position_(position) {}

  int16_t At(int channel) const {
    if (position_ < 0) return 0;
    const int minute = position_ / kMinuteSamples - first_minute_;
    const auto& list = blocks_[static_cast<size_t>(channel)];
    if (minute < 0 || minute >= static_cast<int>(list.size()) || !list[static_cast<size_t>(minute)]) return 0;
    return list[static_cast<size_t>(minute)]->samples[static_cast<size_t>(position_ % kMinuteSamples)];
  }
  void Advance() { ++position_; }

 private:
  const CZK470Doc::MinuteBlockArrays& blocks_;
  int first_minute_;
  int position_;
};

}  // namespace

std::unique_ptr<CViewArea> CSampleStripAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSampleStripArea>(this, doc);
}

std::unique_ptr<CViewArea> CECGStripAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CECGStripArea>(this, doc);
}

// ---- CSampleStripArea

CSampleStripArea::CSampleStripArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {
  if (document_ != nullptr) heart_rate_ = std::make_unique<THeartRateTrend>(*document_);
}

CSampleStripArea::~CSampleStripArea() {
  if (CECGSampleWnd* host = Host()) host->ChannelBands().clear();
  if (document_ != nullptr) CZK470Doc::FreeChannelMinutesSet1(document_->GetMinuteBlocks());
}

CECGSampleWnd* CSampleStripArea::Host() const {
  if (host_ == nullptr || win::Window::FromHandle(host_handle_) != host_) return nullptr;
  return host_;
}

const std::vector<CLabelCell>* CSampleStripArea::BeatCells() const {
  CECGSampleWnd* host = Host();
  return host != nullptr ? &host->BeatLabelCells() : nullptr;
}

const std::vector<CLabelCell>* CSampleStripArea::EventCells() const {
  CECGSampleWnd* host = Host();
  return host != nullptr ? &host->EventLabelCells() : nullptr;
}

const std::vector<gfx::Point>& CSampleStripArea::Points(int channel) const {
  static const std::vector<gfx::Point> kNone;
  return channel >= 0 && channel < channels_ ? points_[static_cast<size_t>(channel)] : kNone;
}

const std::vector<int32_t>& CSampleStripArea::Microvolts(int channel) const {
  static const std::vector<int32_t> kNone;
  return channel >= 0 && channel < channels_ ? microvolts_[static_cast<size_t>(channel)] : kNone;
}

bool CSampleStripArea::HasSamples() const {
  return document_ != nullptr && document_->GetRawECGData()->GetWholeMinutes() > 0;
}

void CSampleStripArea::AskEventClass() {
  if (config_ == nullptr) return;
  config_->GetRoot()->BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0,
                                            reinterpret_cast<win::LParam>(&event_class_));
}

void CSampleStripArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = FindSampleWindow(config_);
  host_handle_ = host_ != nullptr ? host_->Handle() : 0;
  if (host_ != nullptr) {
    pixels_per_second_ = host_->GetPixelsPerSecond();
    pixels_per_mv_ = host_->GetPixelsPerMV();
  }
  sample_slot_ = FindSampleSlot(config_);
  // Without an event legend to ask, the slot shows the kind its window chose.
  if (document_ != nullptr && sample_slot_ >= 0 && sample_slot_ <= 2)
    event_class_ = document_->GetViewFields().sample_kind[static_cast<size_t>(sample_slot_)];
  AskEventClass();
  if (document_ != nullptr && sample_slot_ >= 0 && sample_slot_ <= 2) {
    CZK470Doc::ViewFields& fields = document_->GetViewFields();
    start_address_ = &fields.sample_start_ms[static_cast<size_t>(sample_slot_)];
    end_address_ = &fields.sample_end_ms[static_cast<size_t>(sample_slot_)];
  }
}

int CSampleStripArea::GetReferencePosition() const {
  if (document_ == nullptr || sample_slot_ < 0 || sample_slot_ >= TRecordingData::kExampleStripsPerCode ||
      event_class_ < 0 || event_class_ >= kClassCount)
    return -1;
  return document_->GetRecordingData()
      .example_strips[static_cast<size_t>(event_class_)][static_cast<size_t>(sample_slot_)];
}

void CSampleStripArea::Recompute() {
  if (!HasSamples() || GetReferencePosition() < 0) return;
  win::Windows().BeginWaitCursor();
  UpdateScales();
  ComputeWindow();
  ComputePoints();
  ComputeHeartRate();
  win::Windows().EndWaitCursor();
}

void CSampleStripArea::OnLayout(int left, int top, int right, int bottom) { Recompute(); }

void CSampleStripArea::Refresh(bool reset_cursor) {
  Recompute();
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
  if (config_ != nullptr) config_->GetRoot()->BroadcastAll(areamsg::kStripRecomputed, 0, 0);
}

void CSampleStripArea::UpdateScales() {
  channels_ = RecordingChannels();
  if (CECGSampleWnd* host = Host()) {
    host->LayoutChannelBands(rect_);
    host->LayoutChannelLabels(rect_);
    pixels_per_second_ = host->GetPixelsPerSecond();
    pixels_per_mv_ = host->GetPixelsPerMV();
  }
}

void CSampleStripArea::ComputeWindow() {
  window_ms_ = pixels_per_second_ > 0 ? Trunc(rect_.Width() * 1000 / pixels_per_second_) : 0;
  int start = GetReferencePosition() - window_ms_ / 3;
  // The main strip starts at the recording start at the earliest; an example may start before it.
  if (sample_slot_ < 0 && start < 0) start = 0;
  SetStart(start);
  SetEnd(start + window_ms_);
  CZK470Doc::MinuteBlockArrays& blocks = document_->GetMinuteBlocks();
  try {
    document_->LoadChannelMinutesSet1(blocks, std::max(start, 0), window_ms_, false);
  } catch (const platform::IoError&) {
    // The minutes that could not be read show as zero; the strip keeps the rest.
  }
}

void CSampleStripArea::ComputePoints() {
  const double rate = document_->GetSampleRate();
  const int width = std::max(0, rect_.Width());
  for (int i = 0; i < 3; ++i) {
    points_[static_cast<size_t>(i)].clear();
    microvolts_[static_cast<size_t>(i)].clear();
  }
  if (!(pixels_per_second_ > 0) || !(rate > 0)) return;

  const int start = GetStart();
  const int start_sample = Trunc(start * rate * 0.001);
  const int first_minute = Trunc(std::max(start, 0) * rate * 0.001) / kMinuteSamples;
  SampleCursor samples(document_->GetMinuteBlocks(), first_minute, start_sample);

  // The y of value 0 for each channel: the band's centre, or the window's with one channel.
  std::array<int, 3> baseline{};
  CECGSampleWnd* host = Host();
  for (int i = 0; i < channels_; ++i) {
    gfx::Rect band = rect_;
    if (host != nullptr && channels_ == 1) {
      band = host->GetClientRect();
    } else if (host != nullptr && i < static_cast<int>(host->ChannelBands().size())) {
      band = host->ChannelBands()[static_cast<size_t>(i)];
    } else {
      const int h = rect_.Height() / channels_;
      band = {rect_.left, rect_.top + i * h, rect_.right, rect_.top + (i + 1) * h};
    }
    baseline[static_cast<size_t>(i)] = band.top + band.Height() / 2;
  }

  std::array<TColumnExtremes, 3> columns{};
  // The first column starts from the strip's first sample, never from a value of no sample.
  for (int i = 0; i < channels_; ++i) columns[static_cast<size_t>(i)].Start(samples.At(i));
  double accumulator = rate;
  for (int c = 0; c < width; ++c) {
    double whole = 0.0;
    const double fraction = std::modf(accumulator / pixels_per_second_, &whole);
    for (int n = static_cast<int>(whole); n > 0; --n) {
      for (int i = 0; i < channels_; ++i) columns[static_cast<size_t>(i)].Add(samples.At(i));
      samples.Advance();
    }
    for (int i = 0; i < channels_; ++i) {
      const auto k = static_cast<size_t>(i);
      const int microvolts = columns[k].Take() * CZK470Doc::kSampleUnitMicrovolts;
      microvolts_[k].push_back(microvolts);
      points_[k].push_back({rect_.left + c + 1, baseline[k] - Trunc(microvolts * pixels_per_mv_ * 0.001)});
    }
    accumulator = rate + fraction * pixels_per_second_;
  }
}

void CSampleStripArea::ComputeHeartRate() {
  CECGSampleWnd* host = Host();
  if (host == nullptr || heart_rate_ == nullptr) return;
  const TQRSList& beats = document_->GetQRSList();
  if (beats.GetSize() == 0) {
    host->SetHeartRate(-1);
    return;
  }
  const int sample = Trunc(GetReferencePosition() * document_->GetSampleRate() * 0.001);
  const int index = beats.FindNearest(TQRSComplex(sample, kNormalCode, kPriorNeverEdited));
  host->SetHeartRate(heart_rate_->GetHeartRateAt(index, 0));
}

gfx::Color CSampleStripArea::CodeColour(int code) const {
  const int index = document_ != nullptr ? document_->GetSettings().Color(code) : 0;
  const auto& table = CECGStripPainter::kDisplayColours;
  return table[static_cast<size_t>(index >= 0 && index < static_cast<int>(table.size()) ? index : 0)];
}

void CSampleStripArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  CECGSampleWnd* host = Host();
  if (host != nullptr && !host->HasExample()) return;
  const gfx::Pen old_pen = dc.GetPen();
  const int width = static_cast<int>(points_[0].size());

  // Draws columns from..to (both included) as one piece.
  const auto piece = [&](const std::vector<gfx::Point>& points, int from, int to, gfx::Color colour) {
    from = std::max(from, 0);
    to = std::min(to, width - 1);
    if (to <= from) return;
    dc.SelectPen(SolidPen(colour));
    dc.MoveTo(points[static_cast<size_t>(from)].x, points[static_cast<size_t>(from)].y);
    dc.PolylineTo(std::span<const gfx::Point>(points).subspan(static_cast<size_t>(from) + 1,
                                                              static_cast<size_t>(to - from)));
  };
  std::vector<CLabelCell> cells;
  if (const std::vector<CLabelCell>* beat_cells = BeatCells()) cells = *beat_cells;
  if (cells.empty())
    cells.push_back(CLabelCell({rect_.left - 1, rect_.top, rect_.right + 1, rect_.bottom}, 1, -1, '!'));
  const gfx::Color normal = CodeColour(kNormalCode);
  for (int i = 0; i < channels_; ++i) {
    const std::vector<gfx::Point>& points = points_[static_cast<size_t>(i)];
    if (points.empty()) continue;
    int done = 0;
    for (const CLabelCell& cell : cells) {
      const int left = ColumnOf(cell.rect.left);
      const int right = ColumnOf(cell.rect.right);
      if (left > done) piece(points, done, left, normal);
      piece(points, left, right, CodeColour(cell.code));
      done = std::max(done, right);
    }
    if (done < width - 1) piece(points, done, width - 1, normal);
  }

  // 1 mV marks at the middle of every pacemaker label.
  const int half = Trunc(CECGStripArea::kMarkerWidthMs * pixels_per_second_ * 0.0005);
  if (const std::vector<CLabelCell>* event_cells = EventCells()) {
    dc.SelectPen(SolidPen(CodeColour(kPacemakerCode)));
    for (const CLabelCell& cell : *event_cells) {
      if (cell.code != kPacemakerCode) continue;
      const int c = ColumnOf(cell.rect.left + half);
      for (int i = 0; i < channels_; ++i) {
        if (c < 0 || c >= width) continue;
        const gfx::Point p = points_[static_cast<size_t>(i)][static_cast<size_t>(c)];
        dc.MoveTo(p.x, p.y);
        dc.LineTo(p.x, p.y - Trunc(pixels_per_mv_));
      }
    }
  }

  // Calibration: a 1 mV bar on the left, a 1 s bar along the bottom.
  const int l = rect_.left;
  const int b = rect_.bottom;
  const int p = Trunc(pixels_per_mv_);
  const int s = Trunc(pixels_per_second_);
  dc.SelectPen(SolidPen(kCalibrationColour));
  const auto line = [&dc](int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
  line(l + 5, b - 30, l + 5, b - p - 31);
  line(l + 4, b - 30, l + 7, b - 30);
  line(l + 4, b - p - 31, l + 7, b - p - 31);
  line(l + 10, b - 25, l + 11 + s, b - 25);
  line(l + 9, b - 24, l + 9, b - 27);
  line(l + 11 + s, b - 24, l + 11 + s, b - 27);
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(kCalibrationFont));
  const gfx::Color old_text = dc.SetTextColor(kCalibrationColour);
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  // The labels may be wider than their boxes in the screen font: centred on them, never cut.
  constexpr uint32_t kCentred = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine | gfx::kDtNoClip;
  gfx::Rect seconds{l + 6, b - 37, l + 11 + s, b - 27};
  dc.DrawText("1" + platform::LoadString(kSecondUnitString), seconds, kCentred);
  gfx::Rect millivolts{l + 6, b - p - 31, l + 30, b - 30};
  dc.DrawText("1" + platform::LoadString(kMillivoltUnitString), millivolts, kCentred);
  dc.SetBkMode(old_mode);
  dc.SetTextColor(old_text);
  dc.SelectFont(old_font);
  dc.SelectPen(old_pen);
}

int CSampleStripArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg == areamsg::kRRMode || msg == areamsg::kRRModeMin) {
    Refresh(false);
    return 1;
  }
  return 0;
}

void CSampleStripArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kDisplaySettings:
    case hint::kCountsChanged:
    case hint::kHeartRateAveraging:
      Refresh(false);
      break;
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (HintConcernsSlot(object, sample_slot_)) Refresh(true);
      break;
    case hint::kArea20000:
    case hint::kArea20003:
      AskEventClass();
      sample_slot_ = FindSampleSlot(config_);
      SetStart(GetReferencePosition());
      break;
    default:
      break;
  }
}

// ---- CECGStripArea

CECGStripArea::CECGStripArea(CViewAreaConfig* config, CZK470Doc* document)
    : CSampleStripArea(config, document) {}

CECGStripArea::~CECGStripArea() {
  if (CaliperOn()) {
    if (caliper_) caliper_->OnMessage(CCaliper::kCaliperSwitch, 0, nullptr);
    document_->GetViewFields().caliper = 0;
  }
  caliper_.reset();
}

bool CECGStripArea::CaliperOn() const {
  return document_ != nullptr && document_->GetViewFields().caliper != 0;
}

win::Window* CECGStripArea::GetCaliperWindow() const { return Host(); }

int32_t CECGStripArea::GetMicrovoltsAt(int channel, int x) const {
  const std::vector<int32_t>& values = Microvolts(channel);
  const int c = ColumnOf(x);
  return c >= 0 && c < static_cast<int>(values.size()) ? values[static_cast<size_t>(c)] : 0;
}

int32_t CECGStripArea::GetRecorderChannel(int channel) const {
  const document::ChannelSet& set = document::Context().g_RecordingChannels;
  return channel >= 0 && channel < set.count ? set.channels[static_cast<size_t>(channel)] : channel;
}

void CECGStripArea::Attach(CBaseView* view) {
  CSampleStripArea::Attach(view);
  if (document_ != nullptr) {
    start_address_ = document_->GetStripStartAddress();
    end_address_ = document_->GetStripEndAddress();
  }
  if (!caliper_) caliper_ = std::make_unique<CECGCaliper>(this);
  gfx::Color colour = kCursorTrueColour;
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) {
    win::ClientDc dc(*host);
    if (dc.Canvas().GetDeviceCaps(gfx::DeviceCap::kNumColors) != -1) colour = kCursorPaletteColour;
  }
  cursor_pen_ = SolidPen(colour);
  cursor_brush_ = gfx::Brush{gfx::BrushStyle::kSolid, colour};
}

int CECGStripArea::GetReferencePosition() const {
  return document_ != nullptr ? document_->GetCurrentPosition() : -1;
}

int CECGStripArea::HalfWidth() const { return 1 + Trunc(kMarkerWidthMs * pixels_per_second_ * 0.0005); }

void CECGStripArea::OnLayout(int left, int top, int right, int bottom) {
  CSampleStripArea::OnLayout(left, top, right, bottom);
  cursor_half_width_ = HalfWidth();
  cursor_x_ = left + (right - left) / 3;
}

void CECGStripArea::Refresh(bool reset_cursor) {
  if (reset_cursor) cursor_x_ = rect_.left + rect_.Width() / 3;
  cursor_half_width_ = HalfWidth();
  CSampleStripArea::Refresh(reset_cursor);
  if (reset_cursor && caliper_ && CaliperOn()) {
    const gfx::Point point{cursor_x_, rect_.top + kCaliperFollowDy};
    caliper_->OnMessage(win::kWmMouseMove, kCaliperFollowFlags, &point);
  }
}

void CECGStripArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CSampleStripArea::Draw(dc, update);
  if (!CaliperOn()) DrawCursor(dc);
  if (caliper_ && CaliperOn()) caliper_->Track(dc, CCaliper::kRedraw);
}

void CECGStripArea::DrawCursor(gfx::Canvas& dc) {
  const gfx::Pen old_pen = dc.SelectPen(cursor_pen_);
  const gfx::Brush old_brush = dc.SelectBrush(cursor_brush_);
  const gfx::Rop2 old_rop = dc.SetROP2(gfx::Rop2::kXorPen);
  cursor_half_width_ = HalfWidth();
  const int d = cursor_half_width_;
  const int x = cursor_x_;
  const gfx::Rect& r = rect_;
  if (x - d <= r.left) {
    dc.Rectangle(r.left + 1, r.top + 1, r.left + 2 * d + 1, r.top + 6);
    dc.Rectangle(r.left + 1, r.bottom - 5, r.left + 1 + 2 * d, r.bottom);
  } else if (x + d > r.right) {
    dc.Rectangle(r.right - 2 * d, r.top + 1, r.right, r.top + 6);
    dc.Rectangle(r.right - 2 * d, r.bottom - 5, r.right, r.bottom);
  } else {
    dc.Rectangle(x - d, r.top + 1, x + d, r.top + 6);
    dc.Rectangle(x - d, r.bottom - 5, x + d, r.bottom);
  }
  dc.SetROP2(old_rop);
  dc.SelectBrush(old_brush);
  dc.SelectPen(old_pen);
}

void CECGStripArea::MoveCursor(int x) {
  cursor_half_width_ = HalfWidth();
  if (x <= rect_.left || x >= rect_.right) return;
  std::unique_ptr<win::ClientDc> temporary;
  gfx::Canvas* dc = client_dc_ ? &client_dc_->Canvas() : nullptr;
  if (dc == nullptr) {
    CECGSampleWnd* host = Host();
    if (host == nullptr || !host->IsWindow()) {
      cursor_x_ = x;
      return;
    }
    temporary = std::make_unique<win::ClientDc>(*host);
    dc = &temporary->Canvas();
  }
  if (cursor_x_ > 0) DrawCursor(*dc);
  cursor_x_ = x;
  DrawCursor(*dc);
}

void CECGStripArea::RunHostCommand(int command) {
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow())
    host->SendMessage(win::kWmCommand, static_cast<win::WParam>(command), 0);
}

int CECGStripArea::CursorMs() const {
  return pixels_per_second_ > 0 ? GetStart() + Trunc((cursor_x_ - rect_.left) * 1000 / pixels_per_second_)
                                : GetStart();
}

void CECGStripArea::HitTest(uint32_t msg, win::WParam wparam, win::LParam lparam) const {
  auto* hit = reinterpret_cast<CHitRecord*>(lparam);
  if (hit == nullptr) return;
  const gfx::Point point{hit->x, hit->y};
  if (!rect_.Contains(point)) {
    hit->position = -1;
    return;
  }
  // The cell under the point whose centre lies nearest to it; the first of equals.
  const auto nearest = [&](const std::vector<CLabelCell>* cells, bool pacemaker_only) -> const CLabelCell* {
    if (cells == nullptr) return nullptr;
    const CLabelCell* best = nullptr;
    int best_distance = 0;
    for (const CLabelCell& cell : *cells) {
      if (pacemaker_only && cell.code != kPacemakerCode) continue;
      if (point.x < cell.rect.left || point.x >= cell.rect.right) continue;
      const int distance = std::abs((cell.rect.left + cell.rect.right) / 2 - point.x);
      if (best == nullptr || distance < best_distance) {
        best = &cell;
        best_distance = distance;
      }
    }
    return best;
  };
  const TQRSList& beats = document_->GetQRSList();
  const TEventList& events = document_->GetEventList();
  const auto take_event = [&](const CLabelCell* cell) {
    if (cell == nullptr || cell->index < 0 || cell->index >= events.GetSize()) return false;
    hit->kind = CHitRecord::kBeat;
    hit->index = cell->index;
    hit->position = events.GetAt(cell->index).GetPosition();
    return true;
  };
  if (msg == areamsg::kBeatAtPoint) {
    const CLabelCell* cell = nearest(BeatCells(), false);
    if (cell != nullptr && cell->index >= 0 && cell->index < beats.GetSize()) {
      hit->kind = CHitRecord::kBeat;
      hit->index = cell->index;
      hit->position = beats.GetAt(cell->index).GetPosition();
      return;
    }
    if (wparam == kUserMarker && take_event(nearest(EventCells(), false))) return;
  } else if (take_event(nearest(EventCells(), msg == areamsg::kPacemakerEventAtPoint))) {
    return;
  }
  // Nothing there: the sample under the position cursor, not under the point.
  const double rate = document_->GetSampleRate();
  hit->index = -1;
  hit->kind = CHitRecord::kFreePosition;
  hit->position =
      pixels_per_second_ > 0
          ? Trunc(rate * (GetStart() * 0.001) + rate * (cursor_x_ - rect_.left) / pixels_per_second_)
          : Trunc(rate * (GetStart() * 0.001));
}

void CECGStripArea::NextPage() {
  CZK470Doc& doc = *document_;
  const int d = window_ms_;
  int current = doc.GetCurrentPosition();
  current = current == 0 ? current + Trunc(1.5 * d) : current + d;
  if (current > doc.GetTimeRangeEnd()) current = doc.GetTimeRangeEnd() - 1;
  doc.SetCurrentPosition(current);
  if (current > doc.GetSpanEndMs() && doc.AdjustTimeSpanToPosition(true))
    doc.UpdateAllViews(nullptr, hint::kSpanMoved);
  int start = GetStart() + d;
  if (start > doc.GetSpanEndMs() - d) start = doc.GetSpanEndMs() - d - 1;
  SetStart(start);
  Refresh(false);
}

void CECGStripArea::PreviousPage() {
  CZK470Doc& doc = *document_;
  const int d = window_ms_;
  int current = doc.GetCurrentPosition() - d;
  if (current < doc.GetTimeRangeStart() || current <= d / 3) current = doc.GetTimeRangeStart();
  doc.SetCurrentPosition(current);
  if (current < doc.GetSpanStartMs() && doc.AdjustTimeSpanToPosition(true))
    doc.UpdateAllViews(nullptr, hint::kSpanMoved);
  SetStart(std::max(GetStart() - d, doc.GetSpanStartMs()));
  Refresh(false);
}

void CECGStripArea::TakeCursor() {
  const int current = pixels_per_second_ > 0
                          ? GetStart() + Trunc((cursor_x_ - rect_.left) / pixels_per_second_ * 1000)
                          : GetStart();
  document_->SetCurrentPosition(current);
  SetStart(current - window_ms_ / 3);
  Refresh(true);
  config_->GetRoot()->BroadcastUntilHandled(areamsg::kPositionFromCursor, 0, 0);
}

void CECGStripArea::SwitchCaliper(win::WParam wparam) {
  if (caliper_) caliper_->OnMessage(CCaliper::kCaliperSwitch, static_cast<unsigned>(wparam), nullptr);
  if (CaliperOn()) {
    document_->GetViewFields().caliper = 0;
    Refresh(false);
    return;
  }
  document_->GetViewFields().caliper = 1;
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) {
    win::ClientDc dc(*host);
    DrawCursor(dc.Canvas());
  }
}

int CECGStripArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return CSampleStripArea::OnMessage(msg, wparam, lparam);
  const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
  switch (msg) {
    case areamsg::kMouseMove:
      if (!capturing_ || point == nullptr) break;
      if (CaliperOn()) {
        if (caliper_) caliper_->OnMessage(win::kWmMouseMove, static_cast<unsigned>(wparam), point);
      } else {
        MoveCursor(point->x);
      }
      return 1;
    case areamsg::kLeftButtonDown: {
      if (point == nullptr || !rect_.Contains(*point)) break;
      if (CaliperOn() && caliper_)
        caliper_->OnMessage(win::kWmLButtonDown, static_cast<unsigned>(wparam), point);
      CECGSampleWnd* host = Host();
      if (host != nullptr && host->IsWindow()) {
        win::Windows().SetCapture(host);
        client_dc_ = std::make_unique<win::ClientDc>(*host);
      }
      if (!CaliperOn()) MoveCursor(point->x);
      capturing_ = client_dc_ != nullptr;
      return 1;
    }
    case areamsg::kLeftButtonUp:
      if (!capturing_) break;
      win::Windows().ReleaseCapture();
      client_dc_.reset();
      capturing_ = false;
      return 1;
    case areamsg::kStripLengthMs:
      if (lparam != 0)
        *reinterpret_cast<double*>(lparam) =
            pixels_per_second_ > 0 ? rect_.Width() * 1000 / pixels_per_second_ : 0.0;
      return 1;
    case areamsg::kBeatAtPoint:
    case areamsg::kEventAtPoint:
    case areamsg::kPacemakerEventAtPoint:
      HitTest(msg, wparam, lparam);
      return 1;
    case kNextPage:
    case kPreviousPage:
      if (msg == kNextPage) {
        NextPage();
      } else {
        PreviousPage();
      }
      config_->GetRoot()->BroadcastAll(areamsg::kPositionPaged, 0, 0);
      return 1;
    case cmd::kPreviousEvent:
    case cmd::kNextEvent:
      Refresh(true);
      return 1;
    case kTakeCursor:
      TakeCursor();
      return 1;
    case areamsg::kDeleteBeatAtCursor:
      RunHostCommand(static_cast<int>(areamsg::kDeleteBeatAtCursor));
      return 1;
    case areamsg::kCaliper:
      SwitchCaliper(wparam);
      return 1;
    case kSpeedUp:
    case kSpeedDown:
      Refresh(false);
      if (caliper_ && CaliperOn()) caliper_->OnMessage(msg, static_cast<unsigned>(wparam), nullptr);
      config_->GetRoot()->BroadcastAll(areamsg::kRepaintPage, 0, 0);
      return 1;
    case kGainUp:
    case kGainDown:
      Refresh(false);
      return 1;
    case areamsg::kStripCursorX:
      if (lparam != 0) *reinterpret_cast<int*>(lparam) = cursor_x_;
      return 1;
    case areamsg::kStripCursorTimeMs:
      if (lparam != 0) *reinterpret_cast<int*>(lparam) = CursorMs();
      return 1;
    default:
      break;
  }
  return CSampleStripArea::OnMessage(msg, wparam, lparam);
}

void CECGStripArea::MoveCursorToShortestRR() {
  const std::vector<CLabelCell>* cells = BeatCells();
  if (cells == nullptr) return;
  const TQRSList& beats = document_->GetQRSList();
  const auto class_of = [&](const CLabelCell& cell) {
    return cell.index >= 0 && cell.index < beats.GetSize() ? beats.GetAt(cell.index).GetClass() : -1;
  };
  const int position = document_->GetRRMinPosition();
  for (size_t k = 0; k + 1 < cells->size(); ++k) {
    const CLabelCell& cell = (*cells)[k];
    if (cell.index < 0 || cell.index >= beats.GetSize() || beats.GetAt(cell.index).GetPosition() != position)
      continue;
    const int here = class_of(cell);
    const int next = class_of((*cells)[k + 1]);
    const bool ectopic_next = next == kSVESCode || next == kVESCode;
    if (here != kSVESCode && here != kVESCode && ectopic_next) {
      const gfx::Rect& span = (*cells)[k + 1].rect;
      MoveCursor((span.left + span.right) / 2);
    }
    return;
  }
}

void CECGStripArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kPositionMoved:
    case hint::kNavigationRebuild:
    case hint::kEditsChanged:
      Refresh(true);
      break;
    case hint::kExtremeShown:
      MoveCursorToShortestRR();
      break;
    case hint::kArea20000:
    case hint::kArea20003:
      // The main strip follows the current position, not an example: its window stays.
      return;
    case areamsg::kDeleteBeatAtCursor:
      RunHostCommand(static_cast<int>(areamsg::kDeleteBeatAtCursor));
      break;
    case hint::kCaliperOff:
      if (caliper_) caliper_->OnMessage(CCaliper::kCaliperSwitch, 0, nullptr);
      break;
    default:
      break;
  }
  CSampleStripArea::OnNotify(sender, hint, object);
}
