#include "trends/statistics_table_area.h"

#include <string>

#include "common/table_tab_wnd.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "trends/report_values.h"
#include "trends/statistics_grids.h"
#include "views/area_messages.h"
#include "views/navigation_window.h"
#include "win/system_metrics.h"

namespace {

constexpr int kTabWindowId = 1;
constexpr int kFirstPaneId = 2;

void SetUpHourlyGrid(CStatisticsGrid& grid, int wide_first, int wide_last) {
  grid.SetTableSize(26, 15);
  grid.SetFixedRowCount(2);
  grid.SetFixedColumnCount(1);
  grid.SetRowHeight(18);
  grid.SetColumnWidth(0, 82);
  for (int c = 1; c <= 15; ++c) grid.SetColumnWidth(c, c >= wide_first && c <= wide_last ? 82 : 62);
}

void SetUpSummaryGrid(CStatisticsGrid& grid) {
  grid.SetTableSize(24, 13);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  grid.SetHeadersHidden(true, true);
  grid.SetRowHeight(18);
  grid.SetColumnWidth(1, 110);
  for (int c = 2; c <= 4; ++c) grid.SetColumnWidth(c, 80);
  grid.SetColumnWidth(5, 18);
  grid.SetColumnWidth(6, 110);
  for (int c = 7; c <= 13; ++c) grid.SetColumnWidth(c, 80);
}

}  // namespace

std::unique_ptr<CViewArea> CStatisticsTableAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CStatisticsTableArea>(this, doc);
}

CStatisticsTableArea::CStatisticsTableArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CStatisticsTableArea::~CStatisticsTableArea() {
  rhythm_.reset();
  ventricular_.reset();
  summary_.reset();
  values_.reset();
  tab_.reset();
}

void CStatisticsTableArea::Attach(CBaseView* view) { CViewArea::Attach(view); }

void CStatisticsTableArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_);
  dc.FillSolidRect({rect_.left + 1, rect_.top + 1, rect_.right - 1, rect_.bottom - 1},
                   win::GetSysColor(win::SysColor::kBtnFace));
}

void CStatisticsTableArea::OnLayout(int left, int top, int right, int bottom) {
  CZK470Doc* doc = GetDocument();
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (doc == nullptr || host == nullptr || !host->IsWindow()) return;
  if (!values_) values_ = std::make_unique<TReportValues>(*doc);
  rhythm_.reset();
  ventricular_.reset();
  summary_.reset();
  tab_.reset();

  rhythm_ = std::make_unique<CStatisticsRhythmGrid>(doc, config_);
  ventricular_ = std::make_unique<CStatisticsVentricularGrid>(doc, config_);
  summary_ = std::make_unique<CStatisticsSummaryGrid>(doc, config_);
  const gfx::Rect rect{left, top, right, bottom};
  tab_ = std::make_unique<CTableTabWnd>();
  if (!tab_->Create(host, rect, kTabWindowId)) {
    values_.reset();
    return;
  }
  tab_->ShowWindow(win::kSwHide);
  int pane = kFirstPaneId;
  for (CStatisticsGrid* grid :
       {static_cast<CStatisticsGrid*>(summary_.get()), static_cast<CStatisticsGrid*>(rhythm_.get()),
        static_cast<CStatisticsGrid*>(ventricular_.get())}) {
    grid->CreateGrid(*tab_, {0, 0, 1, 1}, pane++);
  }
  tab_->AddTab(*summary_, platform::LoadString(statstr::kSummaryTab));
  tab_->AddTab(*rhythm_, platform::LoadString(statstr::kRhythmTab));
  tab_->AddTab(*ventricular_, platform::LoadString(statstr::kVentricularTab));

  {
    const platform::ScopedExeResources exe;
    SetUpHourlyGrid(*rhythm_, 9, 10);
    SetUpHourlyGrid(*ventricular_, 8, 9);
    SetUpSummaryGrid(*summary_);
    FillRhythmGrid(0);
    FillVentricularGrid(0);
    FillSummaryGrid();
    values_.reset();
  }

  tab_->MoveWindow(rect, false);
  tab_->ActivateTab(0);
  tab_->ShowWindow(win::kSwShow);
  RedrawAll();
}

void CStatisticsTableArea::RefillHourlyGrids(int day) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr || !rhythm_ || !ventricular_ || !rhythm_->IsWindow()) return;
  {
    const platform::ScopedExeResources exe;
    if (!values_) values_ = std::make_unique<TReportValues>(*doc);
    FillRhythmGrid(day);
    FillVentricularGrid(day);
    values_.reset();
  }
  RedrawAll();
}

void CStatisticsTableArea::RedrawAll() {
  for (win::GridCtrl* grid :
       {static_cast<win::GridCtrl*>(summary_.get()), static_cast<win::GridCtrl*>(rhythm_.get()),
        static_cast<win::GridCtrl*>(ventricular_.get())}) {
    if (grid != nullptr && grid->IsWindow()) grid->Invalidate();
  }
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

void CStatisticsTableArea::GoToEpisode(uint32_t msg) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  values_ = std::make_unique<TReportValues>(*doc);
  TReportValues& v = *values_;
  v.ComputeEpisodes();
  // An episode may start at sample 0: whether it exists is told by its duration, not its start.
  std::string duration;
  TReportValues::EpisodeStart slot = TReportValues::kStartLongestBradycardia;
  switch (msg) {
    case statmsg::kLongestBradycardia:
      slot = TReportValues::kStartLongestBradycardia;
      duration = v.GetLongestBradycardiaDurationText();
      break;
    case statmsg::kLongestTachycardia:
      slot = TReportValues::kStartLongestTachycardia;
      duration = v.GetLongestTachycardiaDurationText();
      break;
    case statmsg::kLongestVt:
      slot = TReportValues::kStartLongestVt;
      duration = v.GetLongestVtDurationText();
      break;
    case statmsg::kFastestVt:
      slot = TReportValues::kStartFastestVt;
      duration = v.GetFastestVtDurationText();
      break;
    case statmsg::kLongestVBigeminy:
      slot = TReportValues::kStartLongestVBigeminy;
      duration = v.GetLongestVBigeminyDurationText();
      break;
    case statmsg::kFastestVBigeminy:
      slot = TReportValues::kStartFastestVBigeminy;
      duration = v.GetFastestVBigeminyDurationText();
      break;
    case statmsg::kLongestVTrigeminy:
      slot = TReportValues::kStartLongestVTrigeminy;
      duration = v.GetLongestVTrigeminyDurationText();
      break;
    case statmsg::kFastestVTrigeminy:
      slot = TReportValues::kStartFastestVTrigeminy;
      duration = v.GetFastestVTrigeminyDurationText();
      break;
    case statmsg::kLongestSvt:
      slot = TReportValues::kStartLongestSvt;
      duration = v.GetLongestSvtDurationText();
      break;
    default:
      slot = TReportValues::kStartFastestSvt;
      duration = v.GetFastestSvtDurationText();
      break;
  }
  const int32_t start = v.GetEpisodeStartPosition(slot);
  values_.reset();
  if (duration == "-" || duration.empty()) return;
  doc->SetCurrentPosition(static_cast<int32_t>(start / doc->GetSampleRate() * 1000.0), 0);
  doc->UpdateAllViews(nullptr, hint::kNavigationRebuild);
}

int CStatisticsTableArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return 0;
  const auto go = [doc](bool moved, bool extreme_shown) {
    if (!moved) return 1;
    doc->UpdateAllViews(nullptr, hint::kNavigationRebuild);
    if (extreme_shown) doc->UpdateAllViews(nullptr, hint::kExtremeShown);
    return 1;
  };
  if (msg >= statmsg::kLongestBradycardia && msg <= statmsg::kFastestSvt) {
    GoToEpisode(msg);
    return 1;
  }
  switch (msg) {
    case areamsg::kPositionPaged:
    case areamsg::kPositionFromCursor:
      doc->UpdateAllViews(nullptr, hint::kPositionMoved);
      return 1;
    case cmd::kGoToHRMin:
      return go(doc->GoToHRMin(), false);
    case cmd::kGoToHRMax:
      return go(doc->GoToHRMax(), false);
    case cmd::kGoToSinusHRMin:
      return go(doc->GoToSinusHRMin(), false);
    case cmd::kGoToSinusHRMax:
      return go(doc->GoToSinusHRMax(), false);
    case cmd::kGoToRRMin:
      return go(doc->GoToRRMin(), true);
    case cmd::kGoToRRMax:
      return go(doc->GoToRRMax(), false);
    case kAreaGoToSTPosition:
      return go(doc->GoToSTPosition(static_cast<int>(wparam)), false);
    case cmd::kGoToNNMin:
      return go(doc->GoToNNMin(), true);
    case cmd::kGoToNNMax:
      return go(doc->GoToNNMax(), false);
    case statmsg::kSelectDay:
      RefillHourlyGrids(static_cast<int>(wparam));
      return 0;
    default:
      return 0;
  }
}

void CStatisticsTableArea::OnNotify(document::DocumentView*, int hint, THintObject*) {
  switch (hint) {
    case hint::kDocumentChanged:
    case hint::kCountsChanged:
    case hint::kSpanMoved:
      RefillHourlyGrids(0);
      break;
    case hint::kPatientData:
      if (win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
          host != nullptr && host->IsWindow())
        host->InvalidateRect(rect_, true);
      break;
    default:
      break;
  }
}
