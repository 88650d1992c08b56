#include "layouts/hr_navigator_area.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/legend_items.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/hit_record.h"
#include "win/messages.h"

namespace {

constexpr gfx::Color kGridGrey = gfx::Rgb(192, 192, 192);
// The strip's hit test looks for the label cell at this height under its cursor.
constexpr int kStripQueryY = 20;
// The busy window keeps this text but shows its own caption.
constexpr std::string_view kBusyText = "Test";
// Scale while nothing is computed, and around an empty list.
constexpr int kDefaultMin = 40;
constexpr int kDefaultMax = 100;

NavigatorEndFlags g_end_flags;

CHRNavigatorArea::BusyFactory& Busy() {
  static CHRNavigatorArea::BusyFactory factory;
  return factory;
}

gfx::Color SettingColour(const CZK470Doc& doc, SettingKey key) {
  const int index = doc.GetSettings().Int(key);
  if (index < 0 || index >= static_cast<int>(CECGStripPainter::kDisplayColours.size())) return gfx::Color{0};
  return CECGStripPainter::kDisplayColours[static_cast<size_t>(index)];
}

struct WaitCursor {
  WaitCursor() { win::Windows().BeginWaitCursor(); }
  ~WaitCursor() { win::Windows().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CHRNavigatorArea::CHRNavigatorArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CHRNavigatorArea::~CHRNavigatorArea() {
  drag_.Cancel();
  caliper_.reset();
}

const NavigatorEndFlags& CHRNavigatorArea::GetEndFlags() { return g_end_flags; }

void CHRNavigatorArea::SetBusyFactory(BusyFactory factory) { Busy() = std::move(factory); }

win::Window* CHRNavigatorArea::GetCaliperWindow() const { return HostWindowOf(*this); }

double CHRNavigatorArea::GetColumnValue(int row, int column) const {
  if (column < 0 || column >= plot_width_ || static_cast<size_t>(column) >= column_mean_.size()) return 0.0;
  const auto c = static_cast<size_t>(column);
  switch (row) {
    case 0:
      return column_mean_[c];
    case 1:
      return column_min_[c];
    case 2:
      return column_max_[c];
    default:
      return 0.0;
  }
}

int CHRNavigatorArea::ValueY(int value) const {
  const int tens = scale_span_ / 10;
  const double per_ten = tens > 0 ? static_cast<double>(rect_.bottom - rect_.top) / tens : 0.0;
  return rect_.bottom - static_cast<int>((value - scale_min_) * per_ten * 0.1);
}

void CHRNavigatorArea::SizeColumns(int width) {
  // Resizing keeps the capacity: a span change at the same width allocates nothing.
  const auto n = static_cast<size_t>(std::max(width, 0));
  column_min_.assign(n, 0);
  column_mean_.assign(n, 0);
  column_max_.assign(n, 0);
  mean_points_.resize(n);
  envelope_points_.resize(n * 4);
}

void CHRNavigatorArea::Recompute() {
  WaitCursor wait;
  plot_width_ = rect_.right - rect_.left;
  if (needs_recompute_) {
    scale_min_ = kDefaultMin;
    scale_max_ = kDefaultMax;
    scale_span_ = kDefaultMax - kDefaultMin;
    rate_by_beat_.clear();
    rate_sorted_.clear();
    nn_sorted_.clear();
    rate_ten_minute_index_.clear();
    nn_ten_minute_index_.clear();
    rate_cursor_ = -1;
    nn_cursor_ = -1;
    range_block_ = {kDefaultMin, kDefaultMax, -1, -1};
    std::unique_ptr<CNavigatorBusy> busy = Busy() ? Busy()(kBusyText) : nullptr;
    if (document_ != nullptr) {
      TBeatRateCalculator calculator(*document_);
      sample_rate_ = calculator.GetSampleRate();
      std::vector<TNavigatorEntry> nn_by_beat;
      calculator.BuildNNList(nn_by_beat);
      SortByValue(nn_by_beat, nn_sorted_);
      calculator.BuildRateList(rate_by_beat_);
      SortByValue(rate_by_beat_, rate_sorted_);
      rate_cursor_ =
          FindNearestEntry(rate_sorted_, NavigatorTarget(document_->GetCurrentPosition(), sample_rate_));
      SyncFromRate();
      const int minutes = document_->GetRawECGData()->GetWholeMinutes();
      rate_ten_minute_index_ = BuildTenMinuteIndex(rate_by_beat_, sample_rate_, minutes);
      nn_ten_minute_index_ = BuildTenMinuteIndex(nn_by_beat, sample_rate_, minutes);
      range_block_ = {calculator.GetMinRate(), calculator.GetMaxRate(), calculator.RateAtStoredMin(),
                      calculator.RateAtStoredMax()};
      if (rate_by_beat_.empty()) {
        // Without a rate the calculator's starting extremes would turn the scale upside down.
        range_block_[0] = kDefaultMin;
        range_block_[1] = kDefaultMax;
      } else {
        range_block_[0] = range_block_[0] / 10 * 10;
        range_block_[1] = range_block_[1] / 10 * 10 + 10;
        if (range_block_[1] - range_block_[0] <= 20) {
          range_block_[0] -= 10;
          range_block_[1] += 10;
        }
      }
      scale_min_ = range_block_[0];
      scale_max_ = range_block_[1];
      scale_span_ = scale_max_ - scale_min_;
    }
    needs_recompute_ = false;
  }
  BuildPlot();
  SendRange();
}

void CHRNavigatorArea::PlotColumn(int c, int first, int lowest, int highest, int last, int mean,
                                  bool lo_at_start) {
  const auto i = static_cast<size_t>(c);
  column_min_[i] = lowest;
  column_mean_[i] = mean;
  column_max_[i] = highest;
  // The empty start of the recording is left out; empty columns further on drop to 0.
  if (lo_at_start && column_count_ == 0 && first == 0 && lowest == 0 && highest == 0 && last == 0) return;
  const int x = rect_.left + c + 1;
  const auto k = static_cast<size_t>(column_count_);
  envelope_points_[4 * k] = {x, ValueY(first)};
  envelope_points_[4 * k + 1] = {x, ValueY(lowest)};
  envelope_points_[4 * k + 2] = {x, ValueY(highest)};
  envelope_points_[4 * k + 3] = {x, ValueY(last)};
  mean_points_[k] = {x, ValueY(mean)};
  ++column_count_;
}

void CHRNavigatorArea::BuildPlot() {
  column_count_ = 0;
  const int width = plot_width_;
  SizeColumns(width);
  const int count = static_cast<int>(rate_by_beat_.size());
  if (document_ == nullptr || width < 2 || count == 0 || sample_rate_ <= 0.0) return;
  const int start_minute = document_->GetSpanStartMinute();
  const int length = document_->GetSpanLength();
  const int lo = TenMinuteSlot(rate_ten_minute_index_, start_minute / 10, count);
  const int hi = TenMinuteSlot(rate_ten_minute_index_, (start_minute + length) / 10 + 1, count);
  if (hi <= lo) return;
  const bool lo_at_start = lo == 0;

  if (hi - lo >= width) {
    const auto start = static_cast<int64_t>(start_minute * 60.0 * sample_rate_);
    const double per_column = length * 60.0 * sample_rate_ / (width - 1);
    int j = lo;
    for (int c = 0; c < width; ++c) {
      const int64_t end = start + static_cast<int64_t>(per_column * (c + 1));
      int first = 0;
      int lowest = 500;
      int highest = 0;
      int last = 0;
      int64_t sum = 0;
      int n = 0;
      for (; j < hi && rate_by_beat_[static_cast<size_t>(j)].position < end; ++j) {
        const int v = rate_by_beat_[static_cast<size_t>(j)].value;
        if (n == 0) first = v;
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
        last = v;
        sum += v;
        ++n;
      }
      if (n == 0) {
        PlotColumn(c, 0, 0, 0, 0, 0, lo_at_start);
      } else {
        PlotColumn(c, first, lowest, highest, last, static_cast<int>(sum / n), lo_at_start);
      }
    }
  } else {
    // Each entry stretches over its share of the columns; a single entry over all of them.
    const int gaps = hi - lo - 1;
    const double per_entry = gaps > 0 ? static_cast<double>(width) / gaps : 0.0;
    int next = 0;
    for (int j = lo; j < hi; ++j) {
      const int last_column =
          gaps > 0 ? std::min(static_cast<int>((j - lo) * per_entry), width - 1) : width - 1;
      if (last_column < next) continue;
      const int v = rate_by_beat_[static_cast<size_t>(j)].value;
      for (int c = next; c <= last_column; ++c) PlotColumn(c, v, v, v, v, v, lo_at_start);
      next = last_column + 1;
    }
  }

  if (hi == count) {
    // Empty columns at the end of the recording are not drawn.
    const int y0 = ValueY(0);
    while (column_count_ > 0) {
      const auto k = static_cast<size_t>(column_count_ - 1);
      const bool empty = std::any_of(envelope_points_.begin() + static_cast<std::ptrdiff_t>(4 * k),
                                     envelope_points_.begin() + static_cast<std::ptrdiff_t>(4 * k + 4),
                                     [y0](const gfx::Point& p) { return p.y == y0; });
      if (!empty) break;
      --column_count_;
    }
  }

  // Smoothed in place: the points already smoothed enter the later sums.
  if (column_count_ > 6) {
    for (int i = 3; i <= column_count_ - 4; ++i) {
      int sum = 0;
      for (int k = i - 3; k <= i + 3; ++k) sum += mean_points_[static_cast<size_t>(k)].y;
      mean_points_[static_cast<size_t>(i)].y = sum / 7;
    }
  }
}

void CHRNavigatorArea::UpdateCursorColumn() {
  cursor_column_ = 0;
  if (document_ == nullptr) return;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t span_seconds = (int64_t{document_->GetSpanEndMs()} - start) / 1000;
  const int width = rect_.right - rect_.left;
  if (span_seconds <= 0 || width < 2) return;
  const int64_t column = (document_->GetCurrentPosition() - start) / 1000 * (width - 1) / span_seconds;
  // A position outside the span keeps the line on the plot's edge, never over its neighbours.
  cursor_column_ = static_cast<int>(std::clamp<int64_t>(column, 0, width - 1));
}

void CHRNavigatorArea::DrawCursor(gfx::Canvas& dc) {
  const int x = rect_.left + cursor_column_ + 1;
  dc.MoveTo(x, 1);
  dc.LineTo(x, rect_.bottom - 1);
}

void CHRNavigatorArea::RedrawCursor(gfx::Canvas& dc) {
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  DrawCursor(dc);
  UpdateCursorColumn();
  DrawCursor(dc);
  dc.SetROP2(old);
}

void CHRNavigatorArea::RedrawCursorOnHost() {
  if (win::Window* host = HostWindowOf(*this)) {
    win::ClientDc dc(*host);
    RedrawCursor(dc.Canvas());
  } else {
    UpdateCursorColumn();
  }
}

void CHRNavigatorArea::MoveCursorTo(gfx::Point& point) {
  if (document_ == nullptr || point.x <= rect_.left || point.x >= rect_.right) return;
  DrawCursorWhileDragging();
  point.x -= rect_.left;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t ms_per_pixel = (int64_t{document_->GetSpanEndMs()} - start) / (rect_.right - rect_.left - 1);
  document_->SetCurrentPosition(static_cast<int32_t>(ms_per_pixel * point.x + start), 0);
  UpdateCursorColumn();
  DrawCursorWhileDragging();
}

void CHRNavigatorArea::DrawCursorWhileDragging() {
  gfx::Canvas* drag_dc = drag_.Canvas();
  if (drag_dc == nullptr) return;
  const gfx::Rop2 old = drag_dc->SetROP2(gfx::Rop2::kNot);
  DrawCursor(*drag_dc);
  drag_dc->SetROP2(old);
}

void CHRNavigatorArea::SetEndFlags() {
  const int rate_count = static_cast<int>(rate_sorted_.size());
  const int nn_count = static_cast<int>(nn_sorted_.size());
  g_end_flags.rateAtHighest = rate_cursor_ >= 0 && rate_cursor_ == rate_count - 1;
  g_end_flags.rateAtLowest = rate_cursor_ == 0;
  g_end_flags.nnAtLongest = nn_cursor_ >= 0 && nn_cursor_ == nn_count - 1;
  g_end_flags.nnAtShortest = nn_cursor_ == 0;
}

void CHRNavigatorArea::SyncFromRate() {
  g_end_flags = {};
  if (rate_cursor_ < 0 || rate_cursor_ >= static_cast<int>(rate_sorted_.size())) {
    rate_cursor_ = -1;
    nn_cursor_ = -1;
    return;
  }
  if (!nn_sorted_.empty())
    nn_cursor_ = FindNearestEntry(nn_sorted_, rate_sorted_[static_cast<size_t>(rate_cursor_)].position);
  SetEndFlags();
}

void CHRNavigatorArea::SyncFromNN() {
  g_end_flags = {};
  if (nn_cursor_ < 0 || nn_cursor_ >= static_cast<int>(nn_sorted_.size())) {
    rate_cursor_ = -1;
    nn_cursor_ = -1;
    return;
  }
  if (!rate_sorted_.empty())
    rate_cursor_ = FindNearestEntry(rate_sorted_, nn_sorted_[static_cast<size_t>(nn_cursor_)].position);
  SetEndFlags();
}

void CHRNavigatorArea::RecomputeAndInvalidate() {
  Recompute();
  UpdateCursorColumn();
  InvalidateArea(*this, rect_);
}

void CHRNavigatorArea::SendRange() {
  if (config_ == nullptr || config_->GetRoot() == nullptr) return;
  std::array<int, 4> block = range_block_;
  config_->GetRoot()->BroadcastAll(areamsg::kHeartRateRange, 0, reinterpret_cast<win::LParam>(block.data()));
}

void CHRNavigatorArea::SendHint(int hint_number, THintObject* object) {
  if (document_ != nullptr) document_->UpdateAllViews(nullptr, hint_number, object);
}

void CHRNavigatorArea::MoveToPosition(int32_t samples) {
  if (document_ == nullptr || sample_rate_ <= 0.0) return;
  document_->SetCurrentPosition(static_cast<int32_t>(samples / sample_rate_ * 1000.0), 0);
}

void CHRNavigatorArea::RateMove(int new_cursor) {
  if (rate_sorted_.empty()) return;
  {
    WaitCursor wait;
    rate_cursor_ = new_cursor;
    if (rate_cursor_ >= 0 && rate_cursor_ < static_cast<int>(rate_sorted_.size()))
      MoveToPosition(rate_sorted_[static_cast<size_t>(rate_cursor_)].position);
    RedrawCursorOnHost();
    SyncFromRate();
  }
  SendHint(hint::kNavigationRebuild);
}

void CHRNavigatorArea::NNMove(int new_cursor) {
  if (nn_sorted_.empty()) return;
  {
    WaitCursor wait;
    nn_cursor_ = new_cursor;
    if (nn_cursor_ >= 0 && nn_cursor_ < static_cast<int>(nn_sorted_.size()))
      MoveToPosition(nn_sorted_[static_cast<size_t>(nn_cursor_)].position);
    RedrawCursorOnHost();
    SyncFromNN();
  }
  SendHint(hint::kNavigationRebuild);
}

void CHRNavigatorArea::GoToStored(bool nn_list, int32_t position) {
  std::vector<TNavigatorEntry>& sorted = nn_list ? nn_sorted_ : rate_sorted_;
  if (sorted.empty() || position == -1 || document_ == nullptr) return;
  {
    WaitCursor wait;
    MoveToPosition(position);
    const int nearest =
        FindNearestEntry(sorted, NavigatorTarget(document_->GetCurrentPosition(), sample_rate_));
    (nn_list ? nn_cursor_ : rate_cursor_) = nearest;
    RedrawCursorOnHost();
    if (nn_list) {
      SyncFromNN();
    } else {
      SyncFromRate();
    }
  }
  SendHint(hint::kNavigationRebuild);
}

void CHRNavigatorArea::StoreStripBeat(int command) {
  const bool nn_list = command == navcmd::kStoreNNMax || command == navcmd::kStoreNNMin;
  std::vector<TNavigatorEntry>& sorted = nn_list ? nn_sorted_ : rate_sorted_;
  int& cursor = nn_list ? nn_cursor_ : rate_cursor_;
  if (sorted.empty() || cursor < 0 || document_ == nullptr || config_ == nullptr) return;
  std::optional<TNavigatorEntry> stored;
  {
    WaitCursor wait;
    CViewAreaConfig* root = config_->GetRoot();
    int x = 0;
    root->BroadcastUntilHandled(areamsg::kStripCursorX, 0, reinterpret_cast<win::LParam>(&x));
    CHitRecord hit;
    hit.x = x;
    hit.y = kStripQueryY;
    root->BroadcastUntilHandled(areamsg::kBeatAtPoint, 0, reinterpret_cast<win::LParam>(&hit));
    // The whole sorted list is searched: it is ordered by value, so no stretch of it by time
    // would surely hold the beat.
    const auto found = hit.position == -1 || hit.index < 0
                           ? sorted.end()
                           : std::ranges::find(sorted, hit.index, &TNavigatorEntry::beatIndex);
    if (found == sorted.end()) {
      win::Windows().MessageBeep();
      return;
    }
    cursor = static_cast<int>(found - sorted.begin());
    const TNavigatorEntry& e = *found;
    switch (command) {
      case navcmd::kStoreHRMax:
        document_->SetHRMax(e.value, e.position, e.beatIndex, 3);
        break;
      case navcmd::kStoreHRMin:
        document_->SetHRMin(e.value, e.position, e.beatIndex, 3);
        break;
      case navcmd::kStoreNNMax:
        document_->SetNNMax(e.value, e.position, e.beatIndex, 3);
        break;
      default:
        document_->SetNNMin(e.value, e.position, e.beatIndex, 3);
        break;
    }
    if (nn_list) {
      SyncFromNN();
    } else {
      SyncFromRate();
    }
    document_->SetModifiedFlag(true);
    stored = e;
  }
  if (command == navcmd::kStoreHRMax || command == navcmd::kStoreHRMin) {
    range_block_[command == navcmd::kStoreHRMax ? 3 : 2] = stored->value;
    SendRange();
  }
}

void CHRNavigatorArea::Command(int command) {
  const int rate_last = static_cast<int>(rate_sorted_.size()) - 1;
  const int nn_last = static_cast<int>(nn_sorted_.size()) - 1;
  switch (command) {
    case navcmd::kRateHighest:
      RateMove(rate_last);
      break;
    case navcmd::kRateNextHigher:
      RateMove(rate_cursor_ < rate_last ? rate_cursor_ + 1 : rate_cursor_);
      break;
    case navcmd::kRateNextLower:
      RateMove(rate_cursor_ > 0 ? rate_cursor_ - 1 : rate_cursor_);
      break;
    case navcmd::kRateLowest:
      RateMove(0);
      break;
    case navcmd::kNNLongest:
      NNMove(nn_last);
      break;
    case navcmd::kNNNextLonger:
      NNMove(nn_cursor_ < nn_last ? nn_cursor_ + 1 : nn_cursor_);
      break;
    case navcmd::kNNNextShorter:
      NNMove(nn_cursor_ > 0 ? nn_cursor_ - 1 : nn_cursor_);
      break;
    case navcmd::kNNShortest:
      NNMove(0);
      break;
    case navcmd::kStoreHRMax:
    case navcmd::kStoreHRMin:
    case navcmd::kStoreNNMax:
    case navcmd::kStoreNNMin:
      StoreStripBeat(command);
      break;
    case navcmd::kGoToHRMax:
      if (document_ != nullptr) GoToStored(false, document_->GetHRMaxPosition());
      break;
    case navcmd::kGoToHRMin:
      if (document_ != nullptr) GoToStored(false, document_->GetHRMinPosition());
      break;
    case navcmd::kGoToNNMax:
      if (document_ != nullptr) GoToStored(true, document_->GetNNMaxPosition());
      break;
    case navcmd::kGoToNNMin:
      if (document_ != nullptr) GoToStored(true, document_->GetNNMinPosition());
      break;
    default:
      break;
  }
}

void CHRNavigatorArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (document_ == nullptr) return;
  const int left = rect_.left;
  const int right = rect_.right;
  dc.Rectangle(left, rect_.top, right + 1, rect_.bottom);
  const int tens = scale_span_ / 10;
  const double per_ten = tens > 0 ? static_cast<double>(rect_.bottom - rect_.top) / tens : 0.0;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kDot, 1, kGridGrey});
  for (int i = 1; i < tens; ++i) {
    const int y = static_cast<int>(rect_.bottom - i * per_ten);
    dc.MoveTo(left + 1, y);
    dc.LineTo(right, y);
  }
  if (column_count_ > 0) {
    dc.SelectPen({gfx::PenStyle::kSolid, 1, SettingColour(*document_, SettingKey::kColorHRTrendMin)});
    dc.Polyline(GetEnvelopePoints());
    dc.SelectPen({gfx::PenStyle::kSolid, 2, SettingColour(*document_, SettingKey::kColorHRTrendAverage)});
    dc.Polyline(GetMeanPoints());
  }
  dc.SelectPen(old_pen);
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNot);
  UpdateCursorColumn();
  DrawCursor(dc);
  if (drag_.IsDragging() && caliper_) caliper_->Track(dc, CCaliper::kRedraw);
  dc.SetROP2(old);
}

int CHRNavigatorArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return 0;
  // The caliper reads its column from the window's point; the hint carries the plot's.
  const auto move_to = [this](gfx::Point point) {
    MoveCursorTo(point);
    return point;
  };
  if (drag_.OnMessage(*this, rect_, caliper_.get(), msg, wparam, lparam, move_to) != 0) return 1;
  const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
  const auto flags = static_cast<unsigned>(wparam);
  switch (msg) {
    case areamsg::kPositionPaged:
      RedrawCursorOnHost();
      SendHint(hint::kPositionMoved);
      SendHint(hint::kEditsChanged);
      return 1;
    case areamsg::kPositionFromCursor:
      RedrawCursorOnHost();
      SendHint(hint::kPositionMoved);
      return 1;
    case CCaliper::kSwitchOnHidden:
      if (caliper_) caliper_->OnMessage(CCaliper::kSwitchOnHidden, flags, point);
      return 0;
    default:
      if (msg >= static_cast<uint32_t>(navcmd::kFirst) && msg <= static_cast<uint32_t>(navcmd::kLast)) {
        Command(static_cast<int>(msg));
        return 1;
      }
      return 0;
  }
}

void CHRNavigatorArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kPositionMoved:
    case hint::kNavigationRebuild:
    case hint::kArea1019:
      RedrawCursorOnHost();
      break;
    case hint::kDocumentChanged:
      needs_recompute_ = true;
      RecomputeAndInvalidate();
      break;
    case hint::kHeartRateAveraging:
    case hint::kSpanMoved:
      RecomputeAndInvalidate();
      break;
    case hint::kMouse1027: {
      const auto* mouse = dynamic_cast<const TMouseHint*>(object);
      if (drag_.IsDragging() || mouse == nullptr) break;
      if (last_hint_ && last_hint_->key_flags == mouse->key_flags && last_hint_->x == mouse->x &&
          last_hint_->y == mouse->y) {
        break;
      }
      RedrawCursorOnHost();
      if (!rate_sorted_.empty() && document_ != nullptr) {
        rate_cursor_ =
            FindNearestEntry(rate_sorted_, NavigatorTarget(document_->GetCurrentPosition(), sample_rate_));
        nn_cursor_ = -1;
        SyncFromRate();
      }
      last_hint_.emplace(mouse->key_flags, mouse->x, mouse->y);
      break;
    }
    case hint::kMouse1028:
      if (!rate_sorted_.empty() && document_ != nullptr) {
        rate_cursor_ =
            FindNearestEntry(rate_sorted_, NavigatorTarget(document_->GetCurrentPosition(), sample_rate_));
        nn_cursor_ = -1;
        SyncFromRate();
      }
      break;
    default:
      break;
  }
}

void CHRNavigatorArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  SizeColumns(rect_.right - rect_.left);
  column_count_ = 0;
  caliper_.reset();
  caliper_ = std::make_unique<CHRNavigatorCaliper>(this);
  caliper_->OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
}

void CHRNavigatorArea::OnLayout(int left, int top, int right, int bottom) {
  Recompute();
  UpdateCursorColumn();
}

std::unique_ptr<CViewArea> CHRNavigatorAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRNavigatorArea>(this, doc);
}
