#include "views/full_disclosure_area.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "document/document_context.h"
#include "document/raw_ecg_data.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/column_extremes.h"
#include "views/ecg_page_window.h"
#include "views/ecg_strip_painter.h"
#include "win/window.h"

namespace {

constexpr int kNormalClass = 1;
constexpr gfx::Color kCalibrationColour = gfx::Rgb(255, 0, 0);
// One stored sample unit is 5 microvolts.
constexpr double kMicrovoltsPerUnit = 5.0;

int Trunc(double value) { return static_cast<int>(value); }

gfx::Pen SolidPen(gfx::Color colour) { return {gfx::PenStyle::kSolid, 1, colour}; }

}  // namespace

std::unique_ptr<CViewArea> CFullDisclosureAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CFullDisclosureArea>(this, doc);
}

CFullDisclosureArea::CFullDisclosureArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CFullDisclosureArea::~CFullDisclosureArea() {
  drag_dc_.reset();
  if (dragging_) win::Windows().ReleaseCapture();
  CZK470Doc::FreeChannelMinutesSet0(blocks_);
  if (host_ != nullptr) {
    host_->ClearPageRows();
    if (!IsViewClosing()) host_->CloseAutoScroll();
  }
}

void CFullDisclosureArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = FindECGPageWindow(config_);
  // The first layout centres the page on the current position.
  recentre_ = 1;
  int colours = -1;
  if (host_ != nullptr) {
    win::ClientDc dc(*host_);
    colours = dc->GetDeviceCaps(gfx::DeviceCap::kNumColors);
  }
  const gfx::Color colour = colours == -1 ? gfx::Rgb(255, 255, 0) : gfx::Rgb(128, 128, 0);
  box_pen_ = SolidPen(colour);
  box_brush_ = {gfx::BrushStyle::kSolid, colour};
}

bool CFullDisclosureArea::HasSamples() const {
  return document_ != nullptr && document_->GetRawECGData() != nullptr &&
         document_->GetRawECGData()->GetWholeMinutes() > 0;
}

int CFullDisclosureArea::RowCount() const {
  return host_ != nullptr ? static_cast<int>(host_->GetPageRows().size()) : 0;
}

void CFullDisclosureArea::OnLayout(int, int, int, int) {
  if (host_ == nullptr || !HasSamples()) return;
  win::Windows().BeginWaitCursor();
  ComputeGeometry();
  ComputeTimeWindow();
  BuildTraces();
  BuildMarks();
  if (CViewAreaConfig* node = host_->GetConfig()) node->BroadcastAll(areamsg::kRowGeometryChanged, 0, 0);
  ComputeBoxWidth();
  win::Windows().EndWaitCursor();
}

void CFullDisclosureArea::Rebuild(bool geometry, bool window) {
  if (host_ == nullptr || !HasSamples()) return;
  // No wait cursor flickering on every page while auto-scroll runs.
  const bool wait = !host_->IsAutoScrollOn();
  if (wait) win::Windows().BeginWaitCursor();
  if (geometry) ComputeGeometry();
  if (window) ComputeTimeWindow();
  BuildTraces();
  BuildMarks();
  if (CViewAreaConfig* node = host_->GetConfig()) node->BroadcastAll(areamsg::kRowGeometryChanged, 0, 0);
  ComputeBoxWidth();
  Invalidate();
  if (wait) win::Windows().EndWaitCursor();
}

void CFullDisclosureArea::ComputeGeometry() {
  host_->ComputePageRows(rect_);
  host_->ComputeLabelRows(rect_);
  pixels_per_second_ = host_->PixelsPerSecond();
  pixels_per_mv_ = host_->PixelsPerMV();
}

void CFullDisclosureArea::SetPageStart(int64_t start) {
  // At most range end - page - 1, at least the range start (which wins).
  start = std::min<int64_t>(start, int64_t{document_->GetTimeRangeEnd()} - page_ms_ - 1);
  start = std::max<int64_t>(start, document_->GetTimeRangeStart());
  document_->GetViewFields().page_start_ms = static_cast<int32_t>(start);
  document_->GetViewFields().page_end_ms = static_cast<int32_t>(start + page_ms_);
}

int CFullDisclosureArea::ClampPosition(int64_t position) const {
  position = std::min<int64_t>(position, int64_t{document_->GetTimeRangeEnd()} - 1);
  return static_cast<int>(std::max<int64_t>(position, document_->GetTimeRangeStart()));
}

void CFullDisclosureArea::ComputeTimeWindow() {
  row_ms_ = pixels_per_second_ > 0.0 ? Trunc(Width() * 1000.0 / pixels_per_second_) : 0;
  page_ms_ = row_ms_ * RowCount();
  CZK470Doc::ViewFields& view = document_->GetViewFields();
  int64_t start = view.page_start_ms;
  if (recentre_ != 0) {
    start = std::max<int64_t>(int64_t{document_->GetCurrentPosition()} - page_ms_ / 2,
                              document_->GetTimeRangeStart());
    recentre_ = 0;
  }
  if (int64_t{document_->GetTimeRangeEnd()} - page_ms_ < start)
    start = int64_t{document_->GetTimeRangeEnd()} - page_ms_ - 1;
  start = std::max<int64_t>(start, document_->GetTimeRangeStart());
  view.page_start_ms = static_cast<int32_t>(start);
  view.page_end_ms = static_cast<int32_t>(start + page_ms_);
  const double rate = document_->GetSampleRate();
  first_sample_ = std::max(0, Trunc(start * rate / 1000.0) % TECGBlock::kSamples);
  document_->LoadChannelMinutesSet0(blocks_, view.page_start_ms, page_ms_, false);
}

int16_t CFullDisclosureArea::SampleAt(size_t channel, size_t minute, int sample) const {
  const auto& list = blocks_[channel];
  if (minute >= list.size() || !list[minute]) return 0;
  return list[minute]->samples[static_cast<size_t>(sample)];
}

void CFullDisclosureArea::BuildTraces() {
  channel_count_ = std::clamp(document::Context().g_DisplayChannels.count, 0, 3);
  const int width = std::max(0, Width());
  const int rows = RowCount();
  traces_.assign(static_cast<size_t>(channel_count_),
                 std::vector<gfx::Point>(static_cast<size_t>(rows) * static_cast<size_t>(width)));
  if (channel_count_ == 0 || rows == 0 || width == 0 || pixels_per_second_ <= 0.0) return;
  const double rate = document_->GetSampleRate();
  const double ppmv = pixels_per_mv_;
  // Channel c's baseline lies s x c + 2 millivolts below the row top.
  const int s = channel_count_ > 2 ? 3 : 2;
  size_t minute = 0;
  int sample = first_sample_;
  // Each build starts its extremes from the page's first sample, so the first column shows a
  // sample of this page, not a value left from another page or a fixed start value.
  std::array<TColumnExtremes, 3> columns{};
  for (size_t c = 0; c < static_cast<size_t>(channel_count_); ++c) columns[c].Start(SampleAt(c, 0, sample));
  const std::vector<gfx::Rect>& page_rows = host_->GetPageRows();
  double accumulator = rate;
  for (int r = 0; r < rows; ++r) {
    const int top = page_rows[static_cast<size_t>(r)].top;
    for (int x = 0; x < width; ++x) {
      double whole = 0.0;
      const double fraction = std::modf(accumulator / pixels_per_second_, &whole);
      for (int k = 0; k < static_cast<int>(whole); ++k) {
        for (size_t c = 0; c < static_cast<size_t>(channel_count_); ++c)
          columns[c].Add(SampleAt(c, minute, sample));
        if (++sample >= TECGBlock::kSamples) {
          sample = 0;
          ++minute;
        }
      }
      const size_t at = static_cast<size_t>(r) * static_cast<size_t>(width) + static_cast<size_t>(x);
      for (size_t c = 0; c < static_cast<size_t>(channel_count_); ++c) {
        const int value = columns[c].Take();
        const int baseline = top + Trunc(ppmv * (s * static_cast<int>(c) + 2));
        traces_[c][at] = {rect_.left + x + 1, baseline - Trunc(ppmv * value * kMicrovoltsPerUnit / 1000.0)};
      }
      accumulator = rate + fraction * pixels_per_second_;
    }
  }
}

void CFullDisclosureArea::BuildMarks() {
  marks_.clear();
  const int rows = RowCount();
  const int start = PageStart();
  const int end = PageEnd();
  if (rows == 0 || end <= start || pixels_per_second_ <= 0.0) return;
  const double rate = document_->GetSampleRate();
  const int width = Width();
  const double half = document_->GetViewFields().width * pixels_per_second_ * 0.0005 + 1.0;
  const TQRSList& beats = document_->GetQRSList();
  const int32_t after = Trunc(start * rate / 1000.0) + 1;
  for (int i = beats.FindNextAfterPosition(after, 0); i < beats.GetSize(); ++i) {
    const TQRSComplex& beat = *beats.ElementAt(i);
    const double t = beat.GetPosition() / rate * 1000.0;
    if (t >= end) break;
    if (beat.GetClass() == kNormalClass) continue;
    const int row = Trunc((t - start) * rows / (end - start));
    const double o = (t - start) * pixels_per_second_ / 1000.0 - static_cast<double>(width) * row;
    const int left = std::max(0, Trunc(o - half + 3.0));
    const int right = std::min(Trunc(o + 1.8 * half), width - 1);
    marks_.emplace_back(row, left, right, beat.GetClass());
  }
}

void CFullDisclosureArea::ComputeBoxWidth() {
  double strip_ms = -1.0;
  CViewAreaConfig* root = config_->GetRoot();
  if (root != nullptr)
    root->BroadcastUntilHandled(areamsg::kStripLengthMs, 0, reinterpret_cast<win::LParam>(&strip_ms));
  box_width_ = strip_ms < 0.0 ? 4 : Trunc(strip_ms * pixels_per_second_ / 1000.0);
}

std::vector<CFullDisclosureArea::BoxPart> CFullDisclosureArea::BoxParts() const {
  std::vector<BoxPart> parts;
  const int rows = RowCount();
  const int position = document_->GetCurrentPosition();
  if (host_ == nullptr || rows == 0 || row_ms_ <= 0 || position < PageStart() || position >= PageEnd())
    return parts;
  const std::vector<gfx::Rect>& page_rows = host_->GetPageRows();
  const int64_t o = int64_t{position} - PageStart() - 1;
  const int row = static_cast<int>(std::min<int64_t>(o / row_ms_, rows - 1));
  const int64_t rest = o % row_ms_;
  const int x = rect_.left + static_cast<int>(int64_t{Width()} * rest / row_ms_);
  const int box_left = x - box_width_ / 3;
  const int box_right = box_left + box_width_;
  const auto part = [&](int r, int left, int right, bool cut_left, bool cut_right) {
    const gfx::Rect& row_rect = page_rows[static_cast<size_t>(r)];
    parts.push_back(
        {{left, row_rect.top + 1, right, row_rect.bottom - 1},
         {cut_left ? left : left + 3, row_rect.top + 4, cut_right ? right : right - 3, row_rect.bottom - 4}});
  };
  const bool cut_left = box_left < rect_.left;
  const bool cut_right = box_right > rect_.right;
  part(row, std::max(box_left, rect_.left), std::min(box_right, rect_.right), cut_left, cut_right);
  if (cut_right && row + 1 < rows)
    part(row + 1, rect_.left, rect_.left + (box_right - rect_.right), true, false);
  if (cut_left && row > 0) part(row - 1, rect_.right - (rect_.left - box_left), rect_.right, false, true);
  return parts;
}

void CFullDisclosureArea::DrawBox(gfx::Canvas& dc) const {
  const std::vector<BoxPart> parts = BoxParts();
  if (parts.empty()) return;
  const gfx::Rop2 old_rop = dc.SetROP2(gfx::Rop2::kXorPen);
  const gfx::Pen old_pen = dc.SelectPen(box_pen_);
  const gfx::Brush old_brush = dc.SelectBrush(box_brush_);
  for (const BoxPart& p : parts) {
    dc.Rectangle(p.outer);
    dc.Rectangle(p.inner);
  }
  dc.SelectBrush(old_brush);
  dc.SelectPen(old_pen);
  dc.SetROP2(old_rop);
}

void CFullDisclosureArea::DrawBoxOnClient() {
  if (host_ == nullptr || !host_->IsWindow()) return;
  if (drag_dc_) {
    DrawBox(drag_dc_->Canvas());
    return;
  }
  win::ClientDc dc(*host_);
  DrawBox(dc.Canvas());
}

void CFullDisclosureArea::DrawCalibration(gfx::Canvas& dc) const {
  const int second = Trunc(pixels_per_second_);
  const int millivolt = Trunc(pixels_per_mv_);
  const int l = rect_.left;
  const int b = rect_.bottom;
  const gfx::Pen old_pen = dc.SelectPen(SolidPen(kCalibrationColour));
  const auto line = [&dc](int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
  const int bar_end = l + 11 + second;
  line(l + 10, b - 5, bar_end, b - 5);
  line(l + 9, b - 4, l + 9, b - 7);
  line(bar_end, b - 4, bar_end, b - 7);
  const int bar_top = b - 11 - millivolt;
  line(l + 5, b - 10, l + 5, bar_top);
  line(l + 4, b - 10, l + 7, b - 10);
  line(l + 4, bar_top, l + 7, bar_top);
  dc.SelectPen(old_pen);
}

void CFullDisclosureArea::Draw(gfx::Canvas& dc, const gfx::Rect&) {
  const int width = Width();
  const int rows = RowCount();
  if (!traces_.empty() && width > 0 && rows > 0 && traces_[0].size() == static_cast<size_t>(rows) * width) {
    const SettingsStore& settings = document_->GetSettings();
    const auto colour_of = [&settings](int code) {
      const int index = settings.Color(code);
      const auto& table = CECGStripPainter::kDisplayColours;
      return table[static_cast<size_t>(index >= 0 && index < static_cast<int>(table.size()) ? index : 0)];
    };
    const gfx::Pen old_pen = dc.SelectPen(SolidPen(colour_of(kNormalClass)));
    const auto run = [&](int r, int from, int to, int code) {
      if (to < from) return;
      dc.SelectPen(SolidPen(colour_of(code)));
      for (const std::vector<gfx::Point>& points : traces_) {
        const size_t first = static_cast<size_t>(r) * width + static_cast<size_t>(from);
        dc.Polyline(std::span<const gfx::Point>(points.data() + first, static_cast<size_t>(to - from + 1)));
      }
    };
    size_t m = 0;
    for (int r = 0; r < rows; ++r) {
      int x = 0;
      for (; m < marks_.size() && marks_[m].row == r; ++m) {
        const int left = std::max(marks_[m].left_x, x);
        const int right = std::max(marks_[m].right_x, left);
        if (left > x) run(r, x, left, kNormalClass);
        run(r, left, right, marks_[m].beat_class);
        x = right;
      }
      while (m < marks_.size() && marks_[m].row < r) ++m;
      if (x < width - 1) run(r, x, width - 1, kNormalClass);
    }
    dc.SelectPen(old_pen);
  }
  if (HasSamples()) DrawCalibration(dc);
  // The page may be laid out before the strip whose length the box shows: ask again at every
  // paint, so the first one already shows the strip's span.
  if (host_ != nullptr && HasSamples()) ComputeBoxWidth();
  DrawBox(dc);
}

void CFullDisclosureArea::Invalidate() {
  if (host_ != nullptr && host_->IsWindow()) host_->InvalidateRect(rect_, true);
}

void CFullDisclosureArea::Hints(int first, int second) {
  document_->UpdateAllViews(nullptr, first);
  document_->UpdateAllViews(nullptr, second);
}

int CFullDisclosureArea::RowAt(gfx::Point point) const {
  if (host_ == nullptr) return -1;
  const std::vector<gfx::Rect>& rows = host_->GetPageRows();
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Contains(point)) return static_cast<int>(i);
  return -1;
}

void CFullDisclosureArea::MoveBoxTo(gfx::Point point) {
  if (point.x <= rect_.left || point.x >= rect_.right) return;
  DrawBoxOnClient();
  const int row = RowAt(point);
  if (row >= 0 && Width() > 0) {
    const int64_t position =
        int64_t{row_ms_} * (point.x - rect_.left) / Width() + int64_t{row_ms_} * row + PageStart();
    document_->SetCurrentPosition(static_cast<int32_t>(position), 0);
  }
  DrawBoxOnClient();
}

int CFullDisclosureArea::OnMessage(uint32_t msg, win::WParam, win::LParam lparam) {
  CZK470Doc& doc = *document_;
  const int position = doc.GetCurrentPosition();
  switch (msg) {
    case areamsg::kMouseMove:
      if (!dragging_) return 0;
      MoveBoxTo(*reinterpret_cast<const gfx::Point*>(lparam));
      return 1;
    case areamsg::kLeftButtonDown: {
      const gfx::Point point = *reinterpret_cast<const gfx::Point*>(lparam);
      if (host_ == nullptr || !rect_.Contains(point)) return 0;
      host_->SetCapture();
      drag_dc_ = std::make_unique<win::ClientDc>(*host_);
      MoveBoxTo(point);
      dragging_ = true;
      return 1;
    }
    case areamsg::kLeftButtonUp:
      if (!dragging_) return 0;
      win::Windows().ReleaseCapture();
      drag_dc_.reset();
      dragging_ = false;
      if (doc.GetDisplaySubMode() != 0) {
        Hints(hint::kPositionMoved, hint::kArea1019);
      } else {
        // A click on the page alone brings the strip below it; this area goes with the layout.
        doc.SetDisplaySubMode(1);
        doc.UpdateAllViews(nullptr, hint::kPositionMoved);
      }
      return 1;
    case areamsg::kRepaintPage:
      Invalidate();
      return 1;
    case areamsg::kStripRecomputed: {
      if (host_ == nullptr || !HasSamples()) return 0;
      const int old_width = box_width_;
      ComputeBoxWidth();
      if (box_width_ != old_width) Invalidate();
      return 0;
    }
    case areamsg::kCanRowBack:
      *reinterpret_cast<int*>(lparam) = int64_t{position} - row_ms_ >= doc.GetTimeRangeStart() ? 1 : 0;
      return 1;
    case areamsg::kCanRowForward:
      *reinterpret_cast<int*>(lparam) = int64_t{position} + row_ms_ <= doc.GetTimeRangeEnd() ? 1 : 0;
      return 1;
    case areamsg::kPositionFromCursor:
      if (position < PageStart()) {
        SetPageStart(int64_t{PageStart()} - page_ms_);
        Rebuild(false, true);
      } else if (position >= PageEnd()) {
        SetPageStart(int64_t{PageStart()} + page_ms_);
        Rebuild(false, true);
      } else {
        Invalidate();
      }
      Hints(hint::kPositionMoved, hint::kArea1019);
      return 1;
    case areamsg::kPositionOffPage:
      if (PageStart() < position && position < PageEnd()) return 0;
      recentre_ = 1;
      return 1;
    case areamsg::kCentrePage:
      SetPageStart(int64_t{position} - page_ms_ / 2);
      Rebuild(false, true);
      return 0;
    case areamsg::kChannelModeChanged:
      Rebuild(true, true);
      return 1;
    case cmd::kNextPage:
    case cmd::kPreviousPage: {
      double strip_ms = 0.0;
      if (CViewAreaConfig* root = config_->GetRoot())
        root->BroadcastUntilHandled(areamsg::kStripLengthMs, 0, reinterpret_cast<win::LParam>(&strip_ms));
      DrawBoxOnClient();
      const int step = Trunc(strip_ms);
      const int moved = ClampPosition(int64_t{position} + (msg == cmd::kNextPage ? step : -step));
      doc.SetCurrentPosition(moved, 0);
      if (moved >= PageEnd()) {
        SetPageStart(int64_t{PageStart()} + page_ms_);
        Rebuild(false, true);
      } else if (moved < PageStart()) {
        SetPageStart(int64_t{PageStart()} - page_ms_);
        Rebuild(false, true);
      } else {
        DrawBoxOnClient();
      }
      Hints(hint::kPositionMoved, hint::kArea1019);
      return 1;
    }
    case cmd::kPreviousEvent:
    case cmd::kNextEvent: {
      const bool previous = msg == cmd::kPreviousEvent;
      if (!(previous ? doc.GoToPreviousEvent() : doc.GoToNextEvent())) return 1;
      const int moved = doc.GetCurrentPosition();
      if (PageStart() <= moved && moved < PageEnd()) {
        // The old box was drawn at the old position: erase it there.
        doc.SetCurrentPosition(position, 0);
        DrawBoxOnClient();
        doc.SetCurrentPosition(moved, 0);
        DrawBoxOnClient();
      } else {
        SetPageStart(previous ? int64_t{moved} - Trunc(page_ms_ * 0.9) : int64_t{moved} - page_ms_ / 10);
        Rebuild(false, true);
      }
      Hints(hint::kNavigationRebuild, hint::kArea1019);
      return 1;
    }
    case cmd::kNextPageOfPage:
    case cmd::kPreviousPageOfPage: {
      const int sign = msg == cmd::kNextPageOfPage ? 1 : -1;
      const int old_start = PageStart();
      SetPageStart(int64_t{old_start} + sign * int64_t{page_ms_});
      const int moved = ClampPosition(int64_t{position} + sign * int64_t{page_ms_});
      if (PageStart() == old_start && moved == position) return 1;
      doc.SetCurrentPosition(moved, 0);
      Rebuild(false, true);
      Hints(hint::kPositionMoved, hint::kArea1019);
      return 1;
    }
    case cmd::kNextRow:
    case cmd::kPreviousRow: {
      const int rows = RowCount();
      const int64_t o = int64_t{position} - PageStart() - 1;
      const int box_row = row_ms_ > 0 ? static_cast<int>(o / row_ms_) : 0;
      if (msg == cmd::kNextRow) {
        if (box_row < rows - 1) {
          DrawBoxOnClient();
          doc.SetCurrentPosition(ClampPosition(int64_t{position} + row_ms_), 0);
          DrawBoxOnClient();
        } else {
          SetPageStart(int64_t{PageStart()} + row_ms_);
          doc.SetCurrentPosition(ClampPosition(int64_t{position} + row_ms_), 0);
          Rebuild(false, true);
        }
      } else if (box_row <= 0 && PageStart() != 0) {
        SetPageStart(int64_t{PageStart()} - row_ms_);
        doc.SetCurrentPosition(ClampPosition(int64_t{position} - row_ms_), 0);
        Rebuild(false, true);
      } else {
        DrawBoxOnClient();
        doc.SetCurrentPosition(ClampPosition(int64_t{position} - row_ms_), 0);
        DrawBoxOnClient();
      }
      Hints(hint::kPositionMoved, hint::kArea1019);
      return 1;
    }
    case cmd::kPageFaster:
    case cmd::kPageSlower:
    case cmd::kPageLarger:
    case cmd::kPageSmaller: {
      SettingsStore& settings = doc.GetSettings();
      int speed = std::clamp(settings.Int(SettingKey::kResECGSpeed), 0, 3);
      int amplitude = std::clamp(settings.Int(SettingKey::kResECGAmplitude), 0, 3);
      // The larger gains go with the faster speeds, the smaller with the slower ones.
      if (msg == cmd::kPageFaster) {
        speed = std::min(speed + 1, 3);
        if (speed > 1) amplitude = std::max(amplitude, 2);
      } else if (msg == cmd::kPageSlower) {
        speed = std::max(speed - 1, 0);
        if (speed < 2) amplitude = std::min(amplitude, 1);
      } else if (msg == cmd::kPageLarger) {
        amplitude = std::min(amplitude + 1, 3);
        if (amplitude > 1) speed = std::max(speed, 2);
      } else {
        amplitude = std::max(amplitude - 1, 0);
        if (amplitude < 2) speed = std::min(speed, 1);
      }
      settings.SetInt(SettingKey::kResECGSpeed, speed);
      settings.SetInt(SettingKey::kResECGAmplitude, amplitude);
      recentre_ = 1;
      Rebuild(true, true);
      return 1;
    }
    default:
      return 0;
  }
}

void CFullDisclosureArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  switch (hint_number) {
    case hint::kDisplaySettings:
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      Rebuild(true, true);
      break;
    case hint::kCountsChanged:
      BuildMarks();
      Invalidate();
      break;
    case hint::kNavigationRebuild:
      Invalidate();
      break;
    case hint::kEditsChanged:
      recentre_ = 1;
      break;
    default:
      break;
  }
}
