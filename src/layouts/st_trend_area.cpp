#include "layouts/st_trend_area.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>

#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/legend_items.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "win/messages.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr gfx::Color kGridGrey = gfx::Rgb(192, 192, 192);
constexpr uint32_t kBoxStyle = win::kWsChild | win::kWsVisible | win::kBsAutoCheckBox;

// Per curve: its switch, its colour setting, its ST channel index and pen width on the graph.
struct CurveInfo {
  SettingKey switch_key;
  SettingKey colour_key;
  int st_index;
  int width;
};

constexpr std::array<CurveInfo, kSTCurves> kCurves = {{
    {SettingKey::kSTTrendLevel1, SettingKey::kColorSTTrendCh1, 0, 2},
    {SettingKey::kSTTrendLevel2, SettingKey::kColorSTTrendCh2, 1, 2},
    {SettingKey::kSTTrendSlope1, SettingKey::kColorSTTrendCh1Slope, 0, 1},
    {SettingKey::kSTTrendSlope2, SettingKey::kColorSTTrendCh2Slope, 1, 1},
}};

// The legend's boxes 1327..1330 in order: level 1, slope 1, level 2, slope 2.
constexpr std::array<int, 4> kBoxCurve = {kSTLevel0, kSTSlope0, kSTLevel1, kSTSlope1};

bool IsAnalysed(const CZK470Doc& doc, int st_index) {
  if (st_index >= document::Context().g_STChannels.count) return false;
  return doc.GetRecordingData().st_channel_analysed[static_cast<size_t>(st_index)] != 0;
}

CSTTrendWnd* g_current_window = nullptr;
CSTTrendWnd::EpisodeDialogFactory& EpisodeFactory() {
  static CSTTrendWnd::EpisodeDialogFactory factory;
  return factory;
}

}  // namespace

bool IsSTCurveShown(const CZK470Doc& doc, int curve) {
  const CurveInfo& info = kCurves[static_cast<size_t>(curve)];
  return doc.GetSettings().Int(info.switch_key) == 1 && IsAnalysed(doc, info.st_index);
}

gfx::Color STCurveColour(const CZK470Doc& doc, int curve) {
  const int index = doc.GetSettings().Int(kCurves[static_cast<size_t>(curve)].colour_key);
  if (index < 0 || index >= static_cast<int>(CECGStripPainter::kDisplayColours.size())) return kBlack;
  return CECGStripPainter::kDisplayColours[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------------
// CSTTrendArea

CSTTrendArea::CSTTrendArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {}

CSTTrendArea::~CSTTrendArea() { drag_.Cancel(); }

win::Window* CSTTrendArea::GetCaliperWindow() const { return HostWindowOf(*this); }

double CSTTrendArea::GetColumnValue(int row, int column) const {
  if (row < 0 || row >= kSTCurves || column < 0 || column >= kMaxColumns) return 0.0;
  return column_values_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

int CSTTrendArea::ValueY(double value) const {
  const double scale = range_ > 0 ? static_cast<double>(rect_.bottom - rect_.top) / range_ : 0.0;
  return Mid() - static_cast<int>(std::trunc(scale * value));
}

double CSTTrendArea::ReducedValue(int curve, int point) const {
  // Points past those built for this recording are 0, never what an earlier build left.
  if (point < 0 || point >= reduced_points_ || point >= analysis::TSTTrendBuilder::kMaxPoints) return 0.0;
  const auto s = static_cast<size_t>(kCurves[static_cast<size_t>(curve)].st_index);
  const bool level = curve == kSTLevel0 || curve == kSTLevel1;
  return (level ? reduced_levels_ : reduced_slopes_)[s][static_cast<size_t>(point)];
}

void CSTTrendArea::ResetScale() {
  range_ = 6;
  lowest_ = -3.0;
  highest_ = 3.0;
  reduced_points_ = 0;
}

void CSTTrendArea::ResetPoints() {
  const int mid = Mid();
  for (int c = 0; c < kSTCurves; ++c) {
    for (int i = 0; i < kMaxColumns; ++i) {
      column_values_[static_cast<size_t>(c)][static_cast<size_t>(i)] = 0.0;
      vertices_[static_cast<size_t>(c)][static_cast<size_t>(i)] = {rect_.left + i + 1, mid};
    }
  }
}

void CSTTrendArea::Recompute() {
  // The arrays hold kMaxColumns columns; a wider area uses only those.
  width_ = std::clamp(rect_.right - rect_.left, 0, kMaxColumns);
  ResetScale();
  if (document_ == nullptr || document_->GetQRSList().GetSize() == 0) {
    ResetPoints();
    ResetScale();
    vertex_count_ = 0;
  } else {
    analysis::TSTTrendBuilder builder(*document_);
    builder.Build(kSecondsPerPoint, reduced_slopes_, 0);
    const std::array<double, 2> slope_low = {builder.GetLowest(0), builder.GetLowest(1)};
    const std::array<double, 2> slope_high = {builder.GetHighest(0), builder.GetHighest(1)};
    reduced_points_ = builder.Build(kSecondsPerPoint, reduced_levels_, 1);
    bool any = false;
    double lowest = 0.0;
    double highest = 0.0;
    for (int c = 0; c < kSTCurves; ++c) {
      if (!IsSTCurveShown(*document_, c)) continue;
      const auto s = static_cast<size_t>(kCurves[static_cast<size_t>(c)].st_index);
      const bool level = c == kSTLevel0 || c == kSTLevel1;
      const double low = level ? builder.GetLowest(static_cast<int>(s)) : slope_low[s];
      const double high = level ? builder.GetHighest(static_cast<int>(s)) : slope_high[s];
      lowest = any ? std::min(lowest, low) : low;
      highest = any ? std::max(highest, high) : high;
      any = true;
    }
    if (any) {
      lowest_ = lowest;
      highest_ = highest;
    }
    range_ = static_cast<int>(std::trunc(highest_ - lowest_));
    BuildPoints();
  }
  // The scale follows also when there is nothing to show, so it never keeps an earlier range.
  std::array<int, 2> bounds = {static_cast<int>(std::trunc(lowest_)), static_cast<int>(std::trunc(highest_))};
  if (config_ != nullptr && config_->GetRoot() != nullptr)
    config_->GetRoot()->BroadcastAll(areamsg::kSTRange, 0, reinterpret_cast<win::LParam>(bounds.data()));
}

void CSTTrendArea::BuildPoints() {
  ResetPoints();
  vertex_count_ = 0;
  if (document_ == nullptr) return;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t end = document_->GetSpanEndMs();
  const int64_t q = (end - start) / (int64_t{kSecondsPerPoint} * 1000);
  const int64_t h = start / (int64_t{kSecondsPerPoint} * 1000);
  const int w = width_;
  if (q <= 0 || w <= 0) return;
  const auto curve_at = [&](int c) -> auto& { return column_values_[static_cast<size_t>(c)]; };

  if (q >= w) {
    vertex_count_ = w;
    // Integer form of the running fraction: each column takes c / w points, the rest carries on.
    int64_t c = q;
    int64_t next = h;
    for (int x = 0; x < w; ++x) {
      const int64_t take = c / w;
      c = c % w + q;
      for (int curve = 0; curve < kSTCurves; ++curve) {
        double chosen = 0.0;
        for (int64_t k = next; k < next + take; ++k) {
          const double v = ReducedValue(curve, static_cast<int>(std::min<int64_t>(k, INT32_MAX)));
          if (std::abs(v) > std::abs(chosen)) chosen = v;
        }
        curve_at(curve)[static_cast<size_t>(x)] = chosen;
        vertices_[static_cast<size_t>(curve)][static_cast<size_t>(x)] = {rect_.left + x + 1, ValueY(chosen)};
      }
      next += take;
    }
    return;
  }

  vertex_count_ = static_cast<int>(q);
  // A single point has no step: its vertex sits at the left edge.
  const double step = q > 1 ? static_cast<double>(w) / static_cast<double>(q - 1) : 0.0;
  int first_unfilled = 0;
  for (int j = 0; j < q; ++j) {
    const int xj = std::clamp(static_cast<int>(std::trunc(j * step)), 0, w - 1);
    for (int curve = 0; curve < kSTCurves; ++curve) {
      const double v = ReducedValue(curve, static_cast<int>(h + j));
      for (int x = first_unfilled; x <= xj; ++x) curve_at(curve)[static_cast<size_t>(x)] = v;
      vertices_[static_cast<size_t>(curve)][static_cast<size_t>(j)] = {rect_.left + xj + 1, ValueY(v)};
    }
    first_unfilled = std::max(first_unfilled, xj + 1);
  }
}

int CSTTrendArea::UpdateCursor() {
  cursor_column_ = 0;
  if (document_ == nullptr) return 0;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t span_seconds = (int64_t{document_->GetSpanEndMs()} - start) / 1000;
  // A span under a second, or an area without two columns, leaves the cursor at column 0.
  if (span_seconds <= 0 || width_ < 2) return 0;
  const int64_t seconds = (int64_t{document_->GetCurrentPosition()} - start) / 1000;
  cursor_column_ =
      static_cast<int>(std::clamp<int64_t>(seconds * (width_ - 1) / span_seconds, 0, width_ - 1));
  return cursor_column_;
}

void CSTTrendArea::DrawCursor(gfx::Canvas& dc) {
  const int x = rect_.left + cursor_column_ + 1;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.MoveTo(x, 1);
  dc.LineTo(x, rect_.bottom - 1);
  dc.SelectPen(old_pen);
}

void CSTTrendArea::MoveCursor(gfx::Canvas& dc) {
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNotXorPen);
  DrawCursor(dc);
  UpdateCursor();
  DrawCursor(dc);
  dc.SetROP2(old);
}

void CSTTrendArea::SetPositionFromX(int x) {
  if (document_ == nullptr || x <= rect_.left || x >= rect_.right || width_ < 2) return;
  const int64_t start = document_->GetSpanStartMs();
  const int64_t step = (int64_t{document_->GetSpanEndMs()} - start) / (width_ - 1);
  if (gfx::Canvas* drag_dc = drag_.Canvas()) {
    const gfx::Rop2 old = drag_dc->SetROP2(gfx::Rop2::kNotXorPen);
    DrawCursor(*drag_dc);
    drag_dc->SetROP2(old);
  }
  document_->SetCurrentPosition(static_cast<int32_t>(start + step * (x - rect_.left)), 0);
  UpdateCursor();
  if (gfx::Canvas* drag_dc = drag_.Canvas()) {
    const gfx::Rop2 old = drag_dc->SetROP2(gfx::Rop2::kNotXorPen);
    DrawCursor(*drag_dc);
    drag_dc->SetROP2(old);
  }
}

void CSTTrendArea::Refresh() {
  Recompute();
  UpdateCursor();
  InvalidateArea(*this, rect_);
}

void CSTTrendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (document_ == nullptr) return;
  const int left = rect_.left;
  const int right = rect_.right;
  const int height = rect_.bottom - rect_.top;
  const int mid = Mid();
  dc.Rectangle(left, rect_.top, right + 1, rect_.bottom);

  const double unit = range_ > 0 ? static_cast<double>(height) / range_ : 0.0;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kDot, 1, kGridGrey});
  const auto hline = [&](int y) {
    dc.MoveTo(left + 1, y);
    dc.LineTo(right, y);
  };
  for (int i = 0; i < highest_; ++i) hline(mid - static_cast<int>(i * unit));
  if (-lowest_ > 1)
    for (int i = 1; i < -lowest_; ++i) hline(mid + static_cast<int>(i * unit));

  const TRecordingData& record = document_->GetRecordingData();
  for (int s = 0; s < std::clamp(document::Context().g_STChannels.count, 0, 2); ++s) {
    const int limit = record.st_depression_limit[static_cast<size_t>(s)];
    if (record.st_channel_analysed[static_cast<size_t>(s)] == 0 || limit <= -1) continue;
    dc.SelectPen({gfx::PenStyle::kDot, 1, kBlack});
    const int offset = range_ > 0 ? static_cast<int>(std::trunc(limit * 0.1 * height / range_)) : 0;
    hline(mid);
    hline(mid - offset);
    hline(mid + offset);
  }

  for (int c = 0; c < kSTCurves; ++c) {
    if (!IsSTCurveShown(*document_, c) || vertex_count_ <= 0) continue;
    dc.SelectPen(
        {gfx::PenStyle::kSolid, kCurves[static_cast<size_t>(c)].width, STCurveColour(*document_, c)});
    dc.Polyline(std::span<const gfx::Point>(vertices_[static_cast<size_t>(c)].data(),
                                            static_cast<size_t>(vertex_count_)));
  }
  dc.SelectPen(old_pen);

  UpdateCursor();
  const gfx::Rop2 old = dc.SetROP2(gfx::Rop2::kNotXorPen);
  DrawCursor(dc);
  dc.SetROP2(old);
}

int CSTTrendArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (document_ == nullptr) return 0;
  const auto move_to = [this](gfx::Point point) {
    SetPositionFromX(point.x);
    return point;
  };
  if (drag_.OnMessage(*this, rect_, caliper_.get(), msg, wparam, lparam, move_to) != 0) return 1;
  switch (msg) {
    case areamsg::kStripRecomputed:
      // The episode dialog follows the main strip; it answers through its own window.
      if (CSTTrendWnd* window = CSTTrendWnd::Current();
          window != nullptr && window->GetEpisodeDialog() != nullptr) {
        const int64_t strip_start = document_->GetStripStartMs();
        const int64_t at = strip_start + (int64_t{document_->GetStripEndMs()} - strip_start) / 3;
        window->GetEpisodeDialog()->SendMessage(areamsg::kStripRecomputed, 0, static_cast<win::LParam>(at));
      }
      return 0;
    case kSTCurvesSwitched:
      Refresh();
      return 1;
    case kSTTrendRadio0:
    case kSTTrendRadio1:
      Refresh();
      return 1;
    case CCaliper::kSwitchOnHidden:
      if (caliper_)
        caliper_->OnMessage(CCaliper::kSwitchOnHidden, static_cast<unsigned>(wparam),
                            reinterpret_cast<const gfx::Point*>(lparam));
      return 1;
    default:
      return 0;
  }
}

void CSTTrendArea::MakeCaliper() {
  caliper_.reset();
  caliper_ = std::make_unique<CSTTrendCaliper>(this);
  caliper_->OnMessage(CCaliper::kSwitchOnHidden, 0, nullptr);
}

void CSTTrendArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kPositionMoved:
    case hint::kNavigationRebuild:
    case hint::kArea1019:
      if (win::Window* host = HostWindowOf(*this)) {
        win::ClientDc dc(*host);
        MoveCursor(dc.Canvas());
      } else {
        UpdateCursor();
      }
      break;
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      Refresh();
      MakeCaliper();
      if (CSTTrendWnd* window = CSTTrendWnd::Current()) window->RecreateEpisodeDialog();
      break;
    case hint::kCountsChanged:
      Refresh();
      break;
    case hint::kMouse1027: {
      const auto* mouse = dynamic_cast<const TMouseHint*>(object);
      if (drag_.IsDragging() || mouse == nullptr) break;
      if (mouse->key_flags == last_flags_ && mouse->x == last_x_ && mouse->y == last_y_) break;
      if (win::Window* host = HostWindowOf(*this)) {
        win::ClientDc dc(*host);
        MoveCursor(dc.Canvas());
      }
      last_flags_ = mouse->key_flags;
      last_x_ = mouse->x;
      last_y_ = mouse->y;
      break;
    }
    default:
      break;
  }
}

void CSTTrendArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  MakeCaliper();
  ResetPoints();
}

void CSTTrendArea::OnLayout(int left, int top, int right, int bottom) {
  Recompute();
  UpdateCursor();
}

std::unique_ptr<CViewArea> CSTTrendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSTTrendArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CSTLegendArea

CSTLegendArea::CSTLegendArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {
  font_.height = 12;
  font_.weight = 400;
  font_.face = "Arial";
}

CSTLegendArea::~CSTLegendArea() = default;

win::DrawnCheckBox* CSTLegendArea::Box(int id) const {
  if (id < kSTLegendFirstBox || id > kSTLegendLastBox) return nullptr;
  return boxes_[static_cast<size_t>(id - kSTLegendFirstBox)].get();
}

void CSTLegendArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (host == nullptr || !host->IsWindow() || document_ == nullptr) return;
  const auto& channels = document::Context().g_STChannels;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const int curve = kBoxCurve[i];
    const bool level = curve == kSTLevel0 || curve == kSTLevel1;
    const int st_index = kCurves[static_cast<size_t>(curve)].st_index;
    const int channel =
        st_index < channels.count ? channels.channels[static_cast<size_t>(st_index)] : st_index;
    const std::string text =
        platform::LoadString(level ? kSTLevelString : kSTSlopeString) + " " + std::to_string(channel + 1);
    auto box = std::make_unique<win::DrawnCheckBox>();
    if (!box->CreateControl(host, {0, 0, 10, 16}, kSTLegendFirstBox + static_cast<int>(i), text, kBoxStyle))
      continue;
    box->SetFont(font_, true);
    box->SetCheck(document_->GetSettings().Int(kCurves[static_cast<size_t>(curve)].switch_key) == 1
                      ? win::kBstChecked
                      : win::kBstUnchecked);
    box->EnableWindow(IsAnalysed(*document_, st_index));
    boxes_[i] = std::move(box);
  }
}

void CSTLegendArea::OnLayout(int left, int top, int right, int bottom) {
  const int d = (bottom - top) / 8;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (!boxes_[i] || !boxes_[i]->IsWindow()) continue;
    const int k = 2 * static_cast<int>(i) + 1;
    const int y = top + k * d - 8;
    boxes_[i]->MoveWindow({left + 2, y, left + 2 + (right - left - 3), y + 16});
  }
}

void CSTLegendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (document_ == nullptr) return;
  dc.Rectangle(rect_);
  const gfx::Rect inner{rect_.left + 1, rect_.top + 1, rect_.right - 1, rect_.bottom - 1};
  dc.FillSolidRect(inner, win::GetSysColor(win::SysColor::kBtnFace));
  const int d = (inner.bottom - inner.top) / 8;
  struct Sample {
    int curve;
    int y;
    int width;
  };
  const std::array<Sample, 4> samples = {{{kSTLevel0, inner.top + d + 10, 3},
                                          {kSTSlope0, inner.top + 3 * d + 10, 1},
                                          {kSTLevel1, inner.top + 5 * d + 15, 3},
                                          {kSTSlope1, inner.top + 7 * d + 15, 1}}};
  const gfx::Pen old_pen = dc.GetPen();
  for (const Sample& sample : samples) {
    dc.SelectPen({gfx::PenStyle::kSolid, sample.width, STCurveColour(*document_, sample.curve)});
    dc.MoveTo(inner.left + 20, sample.y);
    dc.LineTo(inner.right - 3, sample.y);
  }
  dc.SelectPen(old_pen);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (!boxes_[i] || !boxes_[i]->IsWindow()) continue;
    const int st_index = kCurves[static_cast<size_t>(kBoxCurve[i])].st_index;
    boxes_[i]->EnableWindow(IsAnalysed(*document_, st_index));
    boxes_[i]->Invalidate();
  }
}

int CSTLegendArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg == kSTCurvesSwitched) InvalidateArea(*this, rect_);
  return 0;
}

void CSTLegendArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  if (hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) InvalidateArea(*this, rect_);
}

std::unique_ptr<CViewArea> CSTLegendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSTLegendArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CSTTrendWnd

CSTTrendWnd::CSTTrendWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  g_current_window = this;
  AddCommandRange(kSTLegendFirstBox, kSTLegendLastBox, [this](int id) {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    const SettingKey key =
        kCurves[static_cast<size_t>(kBoxCurve[static_cast<size_t>(id - kSTLegendFirstBox)])].switch_key;
    doc->GetSettings().SetInt(key, doc->GetSettings().Int(key) == 1 ? 0 : 1);
    GetConfig()->BroadcastUntilHandled(kSTCurvesSwitched, 0, 0);
  });
  AddCommandRange(kSTTrendRadio0, kSTTrendRadio1, [this](int id) {
    radio_flag_ = id == kSTTrendRadio0 ? 0 : 1;
    GetConfig()->BroadcastUntilHandled(static_cast<uint32_t>(id), 0, 0);
  });
  AddUpdateRange(kSTTrendRadio0, kSTTrendRadio1,
                 [this](win::CmdUI& ui) { ui.SetRadio((ui.Id() == kSTTrendRadio0) == (radio_flag_ == 0)); });
}

CSTTrendWnd::~CSTTrendWnd() {
  DestroyEpisodeDialog();
  if (g_current_window == this) g_current_window = nullptr;
}

CSTTrendWnd* CSTTrendWnd::Current() { return g_current_window; }

void CSTTrendWnd::SetEpisodeDialogFactory(EpisodeDialogFactory factory) {
  EpisodeFactory() = std::move(factory);
}

void CSTTrendWnd::DestroyEpisodeDialog() {
  if (episode_dialog_ && episode_dialog_->IsWindow()) episode_dialog_->DestroyWindow();
  episode_dialog_.reset();
}

void CSTTrendWnd::RecreateEpisodeDialog() {
  DestroyEpisodeDialog();
  if (EpisodeFactory()) episode_dialog_ = EpisodeFactory()(*this);
}

void CSTTrendWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  g_current_window = this;
  RecreateEpisodeDialog();
}

void CSTTrendWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CSTTrendWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CSTTrendWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

std::unique_ptr<CAreaWnd> CSTTrendWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CSTTrendWnd>(this, document);
}
