#include "layouts/bar_graph_areas.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/time_formatter.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/legend_items.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/caption_areas.h"
#include "views/preset_font.h"
#include "views/view_resources.h"
#include "win/command_target.h"
#include "win/toolbar_window.h"

namespace {

constexpr gfx::Color kBlack = 0x000000;
constexpr uint32_t kCentredLine = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine;
constexpr int kMsPerHour = 3600 * 1000;
constexpr int kAxisTop = 20;    // pixels above the plot: the title
constexpr int kAxisRight = 20;  // pixels right of the time axis: the unit
constexpr int kLineHeight = 15;

constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {kBarGraphVentricularCommand, "V"},
    {kBarGraphSupraventricularCommand, "SV"},
    {kBarGraphOtherGroupCommand, "Ev"},
};

// Grid step of the value axis.
int GridStep(int scale_max) {
  if (scale_max <= 10) return 1;
  if (scale_max <= 200) return 10;
  if (scale_max <= 400) return 20;
  if (scale_max <= 800) return 40;
  if (scale_max <= 1000) return 80;
  if (scale_max <= 10000) return 100;
  return 1000;
}

// Every o-th bar is labelled: 8 below 5 pixels of bar width, 4 below 10, 2 below 20, else 1.
int LabelInterval(int bar_width) {
  if (bar_width < 5) return 8;
  if (bar_width < 10) return 4;
  if (bar_width < 20) return 2;
  return 1;
}

// Hour of day (0..23) at which the recording starts.
int StartHourOfDay(const CZK470Doc& doc) {
  const double days = doc.GetRecordingData().start_time.days;
  const double fraction = days - std::floor(days);
  return static_cast<int>(std::llround(fraction * 86400.0) % 86400 / 3600);
}

}  // namespace

int HourlyBarCount(int whole_minutes) { return std::max(24, whole_minutes / 60); }

std::vector<int> HourlyCounts(const CZK470Doc& doc, int code, int bar_count) {
  std::vector<int> counts(static_cast<size_t>(std::max(0, bar_count)), 0);
  const auto samples_per_hour = static_cast<int64_t>(std::llround(doc.GetSampleRate() * 3600.0));
  if (samples_per_hour <= 0) return counts;
  // A partial last hour has no bar and is not counted.
  const auto add = [&](const auto& element) {
    if (element.GetClass() != code || element.GetPosition() < 0) return;
    const int64_t hour = element.GetPosition() / samples_per_hour;
    if (hour < bar_count) ++counts[static_cast<size_t>(hour)];
  };
  for (const TQRSComplex& beat : doc.GetQRSList().Elements()) add(beat);
  for (const TEvent& event : doc.GetEventList().Elements()) add(event);
  return counts;
}

// ---------------------------------------------------------------------------------------------
// CBarGraphArea

CBarGraphArea::CBarGraphArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {}

void CBarGraphArea::ResetValues(int bar_count) {
  bar_count_ = std::max(0, bar_count);
  hour_values_.assign(static_cast<size_t>(bar_count_), 0);
  bars_.assign(static_cast<size_t>(bar_count_), {});
  scale_max_ = 0;
  value_max_ = 0;
}

void CBarGraphArea::OnLayout(int left, int top, int right, int bottom) {
  ComputeValues();
  graph_rect_ = rect_;
  bars_.assign(static_cast<size_t>(bar_count_), {});
  if (bar_count_ <= 0) return;
  // Very long recordings in a narrow graph leave no width: the bars shrink to their gaps.
  const int w = std::max(0, (rect_.Width() - 2 * bar_count_ - left_margin_ - 24) / bar_count_);
  const int base = rect_.bottom - bottom_margin_;
  const int plot_height = rect_.bottom - rect_.top - bottom_margin_ - kAxisTop;
  const int f = scale_max_ < 1 ? plot_height : plot_height * value_max_ / scale_max_;
  for (int i = 0; i < bar_count_; ++i) {
    const int x = rect_.left + left_margin_ + 2 + i * (w + 2);
    const int value = hour_values_[static_cast<size_t>(i)];
    const int top_y = scale_max_ > 0 && value_max_ > 0 ? base - f * value / value_max_ : base;
    bars_[static_cast<size_t>(i)] = {x, top_y, x + w, base};
  }
}

void CBarGraphArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.Rectangle(rect_);

  CPresetFont fonts;
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(3));
  gfx::Rect title{rect_.left, rect_.top + 3, rect_.right, rect_.top + 18};
  dc.DrawText(caption_, title, gfx::kDtCenter | gfx::kDtVCenter);

  const int axis_x = rect_.left + left_margin_;
  const int base = rect_.bottom - bottom_margin_;
  dc.MoveTo(axis_x, rect_.top + kAxisTop);
  dc.LineTo(axis_x, base);
  dc.LineTo(rect_.right - kAxisRight, base);

  dc.SelectPen(grid_pen_);
  const int plot_height = rect_.bottom - rect_.top - bottom_margin_ - kAxisTop;
  if (scale_max_ >= 1) {
    const int step = GridStep(scale_max_);
    const int lines = (scale_max_ + step - 1) / step;
    const double pixels_per_step = plot_height / (static_cast<double>(scale_max_) / step);
    for (int j = 0; j < lines; ++j) {
      const int y = static_cast<int>(pixels_per_step * j + rect_.top + kAxisTop);
      dc.MoveTo(axis_x + 1, y);
      dc.LineTo(rect_.right - kAxisRight, y);
    }
  }

  dc.SelectFont(*fonts.Select(2));
  if (bar_count_ > 0 && document_ != nullptr) {
    const TTimeFormatter times(TimeAxisLocale());
    const bool am_pm = times.UsesAmPm();
    const bool days = document_->IsSpanLongerThanDay();
    const int start_hour = StartHourOfDay(*document_);
    const int interval = LabelInterval(bars_[0].Width());
    int first = 0;
    if (interval > 1)
      while (first < bar_count_ && (start_hour + first) % 24 % 2 != 0) ++first;
    dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
    for (int i = first; i < bar_count_; i += interval) {
      const gfx::Rect& bar = bars_[static_cast<size_t>(i)];
      const int hour = (start_hour + i) % 24;
      if (interval > 1) {
        const int centre = bar.left + bar.Width() / 2;
        dc.MoveTo(centre, bar.bottom);
        dc.LineTo(centre, bar.bottom + 3);
      }
      gfx::Rect label{bar.left - 10, base + 4, bar.right + 10, base + 18};
      dc.DrawText(times.FormatHourLabel(hour * kMsPerHour, 3), label, kCentredLine);
      if (am_pm) {
        label.top += kLineHeight;
        label.bottom += kLineHeight;
        dc.DrawText(times.FormatHourLabel(hour * kMsPerHour, 4), label, kCentredLine);
      }
      if (days) {
        label.top += kLineHeight;
        label.bottom += kLineHeight;
        dc.DrawText(document_->GetDayLabel(i / 24 + 1), label, kCentredLine);
      }
    }
  }
  gfx::Rect unit{rect_.right - kAxisRight, base + 1, rect_.right - 1, base + 15};
  dc.DrawText("[h]", unit, kCentredLine);
  gfx::Rect top_value{rect_.left, rect_.top + 7, rect_.left + 2 * left_margin_ - 1, rect_.top + 34};
  dc.DrawText(std::to_string(scale_max_), top_value, kCentredLine);

  dc.SelectPen(grid_pen_);
  for (const gfx::Rect& bar : bars_) {
    // Bars past the time axis (recordings too long for the width) would paint over the neighbour.
    if (bar.right > rect_.right - kAxisRight) break;
    dc.Rectangle(bar);
    dc.FillRect(bar, bar_brush_);
  }
  dc.SelectPen(old_pen);
  dc.SelectFont(old_font);
}

std::unique_ptr<CViewArea> CBarGraphAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBarGraphArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CClassBarGraphArea

CClassBarGraphArea::CClassBarGraphArea(CViewAreaConfig* config, CZK470Doc* document)
    : CBarGraphArea(config, document) {
  if (const auto* node = dynamic_cast<const CClassBarGraphAreaConfig*>(config))
    class_slot_ = node->GetClassSlot();
}

void CClassBarGraphArea::ComputeValues() {
  if (class_slot_ == -1 || document_ == nullptr) return;
  win::Windows().BeginWaitCursor();
  ResetValues(HourlyBarCount(document_->GetRecordingMinutes()));
  hour_values_ = HourlyCounts(*document_, class_slot_, bar_count_);
  for (const int value : hour_values_) value_max_ = std::max(value_max_, value);
  scale_max_ = (value_max_ + 9) / 10 * 10;
  win::Windows().EndWaitCursor();
}

void CClassBarGraphArea::OnLayout(int left, int top, int right, int bottom) {
  if (class_slot_ != -1) CBarGraphArea::OnLayout(left, top, right, bottom);
}

void CClassBarGraphArea::Attach(CBaseView* view) {
  CBarGraphArea::Attach(view);
  if (class_slot_ == -1 || document_ == nullptr) return;
  left_margin_ = 25;
  const bool am_pm = TTimeFormatter(TimeAxisLocale()).UsesAmPm();
  const bool days = document_->IsMultiDayRecording();
  bottom_margin_ = 20 + (am_pm ? 20 : 0) + (days ? 20 : 0) + (!am_pm && !days ? 5 : 0);
  bar_brush_ = {gfx::BrushStyle::kSolid, CodeColour(*document_, class_slot_)};
  grid_pen_ = {gfx::PenStyle::kDot, 1, gfx::Rgb(192, 192, 192)};
  caption_ = document_->GetKindName(class_slot_);
}

void CClassBarGraphArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  if (class_slot_ != -1) {
    CBarGraphArea::Draw(dc, update);
    return;
  }
  CViewArea::Draw(dc, update);
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.Rectangle(rect_);
  dc.SelectPen(old_pen);
}

void CClassBarGraphArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  if (hint_number != hint::kDocumentChanged && hint_number != hint::kSpanMoved) return;
  if (class_slot_ == -1 || document_ == nullptr) return;
  // Only the colour follows; the counts wait for the next layout pass.
  bar_brush_ = {gfx::BrushStyle::kSolid, CodeColour(*document_, class_slot_)};
  InvalidateArea(*this, rect_);
}

std::unique_ptr<CViewArea> CClassBarGraphAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CClassBarGraphArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CBarGraphWnd

int CBarGraphWnd::FirstCodeOfGroup(int group) {
  switch (group) {
    case 2:
      return 9;
    case 3:
      return 3;
    default:
      return 15;
  }
}

CBarGraphWnd::CBarGraphWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  if (document != nullptr) {
    const int16_t stored = document->GetViewFields().bar_graph_group;
    group_ = stored >= 1 && stored <= 3 ? stored : int16_t{1};
  }
  SetChildSlots();
  struct Choice {
    int command;
    int group;
  };
  for (const Choice choice :
       {Choice{kBarGraphOtherGroupCommand, 3}, Choice{kBarGraphSupraventricularCommand, 2},
        Choice{kBarGraphVentricularCommand, 1}}) {
    AddCommand(choice.command, [this, choice] { SelectGroup(choice.group); });
    AddUpdate(choice.command, [this, choice](win::CmdUI& ui) {
      ui.Enable(true);
      ui.SetRadio(group_ == choice.group);
    });
  }
}

CBarGraphWnd::~CBarGraphWnd() {
  if (GetDocument() != nullptr) GetDocument()->GetViewFields().bar_graph_group = group_;
}

void CBarGraphWnd::SetChildSlots() {
  CWindowAreaConfig* node = GetConfig();
  if (node == nullptr) return;
  const int first = FirstCodeOfGroup(group_);
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (auto* child = dynamic_cast<CClassBarGraphAreaConfig*>(node->GetChild(i)))
      child->SetClassSlot(first + i);
}

void CBarGraphWnd::SelectGroup(int group) {
  if (group < 1 || group > 3) return;
  group_ = static_cast<int16_t>(group);
  SetChildSlots();
  CWindowAreaConfig* node = GetConfig();
  if (node == nullptr || !IsWindow()) return;
  win::Windows().BeginWaitCursor();
  node->DestroyChildAreas();
  node->CreateChildAreas(GetDocument());
  node->AttachChildData(nullptr);
  LayOutAreas();
  const gfx::Rect client = GetClientRect();
  win::ClientDc dc(*this);
  Draw(dc.Canvas(), client);
  node->PaintChildren(dc.Canvas(), client);
  win::Windows().EndWaitCursor();
}

std::unique_ptr<win::Window> CBarGraphWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                         int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  win::ToolBarModel& model = bar->Model();
  model.AddButton(kBarGraphVentricularCommand, -1, win::ToolButtonStyle::kButton,
                  ToolTipOfCommand(kBarGraphVentricularCommand));
  model.AddSeparator();
  model.AddButton(kBarGraphSupraventricularCommand, -1, win::ToolButtonStyle::kButton,
                  ToolTipOfCommand(kBarGraphSupraventricularCommand));
  model.AddSeparator();
  model.AddButton(kBarGraphOtherGroupCommand, -1, win::ToolButtonStyle::kButton,
                  ToolTipOfCommand(kBarGraphOtherGroupCommand));
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight},
                          kBarGraphToolBarId, win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText("Bar Graph View");
  bar->UpdateButtons();
  return bar;
}

std::unique_ptr<CAreaWnd> CBarGraphWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CBarGraphWnd>(this, document);
}
