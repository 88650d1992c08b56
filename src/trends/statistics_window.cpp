#include "trends/statistics_window.h"

#include "common/table_tab_wnd.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "trends/statistics_grids.h"
#include "views/area_messages.h"
#include "views/navigation_window.h"
#include "win/toolbar_window.h"

namespace {

// The bar has no pictures of its own: each button shows its day.
constexpr win::TextToolBarWindow::ButtonText kDayButtons[] = {
    {CStatisticsWnd::kCmdDay1, "1"},
    {CStatisticsWnd::kCmdDay1 + 1, "2"},
    {CStatisticsWnd::kCmdDay1 + 2, "3"},
    {CStatisticsWnd::kCmdAllDays, "1-3"},
};

}  // namespace

std::unique_ptr<CAreaWnd> CStatisticsWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CStatisticsWnd>(this, document);
}

CStatisticsWnd::CStatisticsWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  AddDayCommand(kCmdDay1, 0, 0);
  AddDayCommand(kCmdDay1 + 1, 1, 1440);
  AddDayCommand(kCmdDay1 + 2, 2, 2880);
  AddDayCommand(kCmdAllDays, kAllDays, 0);

  AddPositionJumpCommands();
}

CStatisticsWnd::~CStatisticsWnd() {
  // A position chosen in the tables is in view when the next layout opens.
  if (CZK470Doc* doc = GetDocument()) doc->AdjustTimeSpanToPosition(false);
}

void CStatisticsWnd::AddDayCommand(int id, int day, int more_than_minutes) {
  AddCommand(id, [this, day] {
    selected_day_ = day;
    GetConfig()->BroadcastAll(statmsg::kSelectDay, static_cast<win::WParam>(day), 0);
    RefreshBar();
  });
  AddUpdate(id, [this, day, more_than_minutes](win::CmdUI& ui) {
    const CZK470Doc* doc = GetDocument();
    const bool hourly_tab = current_tab_ == 1 || current_tab_ == 2;
    const bool long_enough = doc != nullptr && doc->GetRecordingMinutes() > more_than_minutes;
    if (hourly_tab && long_enough) {
      ui.Enable(true);
      ui.SetRadio(selected_day_ == day);
    } else {
      ui.Enable(false);
      ui.SetCheck(2);
    }
  });
}

std::unique_ptr<win::Window> CStatisticsWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                           int* dock_bar) {
  const platform::ScopedExeResources exe;
  auto bar = std::make_unique<win::TextToolBarWindow>(kDayButtons);
  for (size_t i = 0; i < std::size(kDayButtons); ++i) {
    if (i > 0) bar->Model().AddSeparator();
    bar->Model().AddButton(kDayButtons[i].id, -1, win::ToolButtonStyle::kButton, {});
  }
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this)) {
    return nullptr;
  }
  bar->SetWindowText("Table View");
  bar->UpdateButtons();
  bar_handle_ = bar->Handle();
  return bar;
}

void CStatisticsWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  GetConfig()->BroadcastAll(areamsg::kCaliper, 1, 0);
}

void CStatisticsWnd::RefreshBar() {
  if (auto* bar = dynamic_cast<win::ToolBarWindow*>(win::Window::FromHandle(bar_handle_)))
    bar->UpdateButtons();
}

void CStatisticsWnd::OnLayout(int, int, int, int) {
  current_tab_ = 0;
  selected_day_ = 0;
  RefreshBar();
}

win::LResult CStatisticsWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == CTableTabWnd::kTabChosenMessage) {
    current_tab_ = static_cast<int>(wparam);
    RefreshBar();
    return 0;
  }
  return CAreaWnd::WindowProc(message, wparam, lparam);
}
