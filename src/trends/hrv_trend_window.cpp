#include "trends/hrv_trend_window.h"

#include <algorithm>
#include <array>
#include <string>

#include "document/heart_rate_trend.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/menu.h"
#include "win/popup_menu.h"
#include "win/toolbar_window.h"

namespace {

CHRVTrendWnd* g_current_window = nullptr;

// The review windows' bars have no bitmaps: each button shows a short text.
constexpr win::TextToolBarWindow::ButtonText kMainTexts[] = {
    {CHRVTrendWnd::kCmdScreen0, "RR"},
    {CHRVTrendWnd::kCmdScreen0 + 1, "Seg"},
    {CHRVTrendWnd::kCmdScreen0 + 2, "Hist"},
    {CHRVTrendWnd::kCmdRecalculate, "Calc"},
    {CHRVTrendWnd::kCmdZoomOut, "-"},
    {CHRVTrendWnd::kCmdZoomIn, "+"},
    {CHRVTrendWnd::kCmdScaleDown, "y-"},
    {CHRVTrendWnd::kCmdScaleUp, "y+"},
    {cmd::kGoToNNMin, "NN<"},
    {CHRVTrendWnd::kCmdNextLongerNN, ">"},
    {cmd::kGoToNNMax, "NN>"},
    {CHRVTrendWnd::kCmdNextShorterNN, "<"},
};
constexpr std::array<int, 17> kMainLayout = {CHRVTrendWnd::kCmdScreen0,
                                             CHRVTrendWnd::kCmdScreen0 + 1,
                                             CHRVTrendWnd::kCmdScreen0 + 2,
                                             0,
                                             CHRVTrendWnd::kCmdRecalculate,
                                             0,
                                             CHRVTrendWnd::kCmdZoomOut,
                                             CHRVTrendWnd::kCmdZoomIn,
                                             0,
                                             CHRVTrendWnd::kCmdScaleDown,
                                             CHRVTrendWnd::kCmdScaleUp,
                                             0,
                                             cmd::kGoToNNMin,
                                             CHRVTrendWnd::kCmdNextLongerNN,
                                             0,
                                             cmd::kGoToNNMax,
                                             CHRVTrendWnd::kCmdNextShorterNN};

constexpr win::TextToolBarWindow::ButtonText kDayTexts[] = {
    {CHRVTrendWnd::kCmdDay0, "1"},
    {CHRVTrendWnd::kCmdDay0 + 1, "2"},
    {CHRVTrendWnd::kCmdDay0 + 2, "3"},
    {CHRVTrendWnd::kCmdWholeRecording, "All"},
};
constexpr std::array<int, 5> kDayLayout = {CHRVTrendWnd::kCmdDay0, CHRVTrendWnd::kCmdDay0 + 1,
                                           CHRVTrendWnd::kCmdDay0 + 2, 0, CHRVTrendWnd::kCmdWholeRecording};

// The commands with a tip of their own, in the order of their strings from kFirstTipString.
constexpr std::array<int, 18> kTipCommands = {CHRVTrendWnd::kCmdScreen0,
                                              CHRVTrendWnd::kCmdScreen0 + 1,
                                              CHRVTrendWnd::kCmdScreen0 + 2,
                                              CHRVTrendWnd::kCmdRecalculate,
                                              CHRVTrendWnd::kCmdZoomOut,
                                              CHRVTrendWnd::kCmdZoomIn,
                                              CHRVTrendWnd::kCmdScaleDown,
                                              CHRVTrendWnd::kCmdScaleUp,
                                              cmd::kGoToNNMin,
                                              CHRVTrendWnd::kCmdNextLongerNN,
                                              cmd::kGoToNNMax,
                                              CHRVTrendWnd::kCmdNextShorterNN,
                                              CHRVTrendWnd::kCmdDay0,
                                              CHRVTrendWnd::kCmdDay0 + 1,
                                              CHRVTrendWnd::kCmdDay0 + 2,
                                              CHRVTrendWnd::kCmdWholeRecording,
                                              cmd::kSetMark,
                                              cmd::kReturnToMark};

std::string TipOf(int command) {
  const auto it = std::find(kTipCommands.begin(), kTipCommands.end(), command);
  if (it == kTipCommands.end()) return {};
  return platform::LoadString(CHRVTrendWnd::kFirstTipString + static_cast<int>(it - kTipCommands.begin()));
}

// Minutes a recording needs before day 1 and day 2 can be chosen.
constexpr std::array<int, 3> kDayMinutes = {0, 1441, 2881};

std::unique_ptr<win::Window> MakeBar(CAreaFrameWnd& frame,
                                     std::span<const win::TextToolBarWindow::ButtonText> texts,
                                     std::span<const int> layout, int id, win::Window* commands) {
  auto bar = std::make_unique<win::TextToolBarWindow>(texts);
  for (const int button : layout) {
    if (button == 0)
      bar->Model().AddSeparator();
    else
      bar->Model().AddButton(button, -1, win::ToolButtonStyle::kButton, TipOf(button));
  }
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, id,
                          win::kTbStyleFlat, commands))
    return nullptr;
  bar->UpdateButtons();
  return bar;
}

}  // namespace

std::unique_ptr<CAreaWnd> CHRVTrendWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CHRVTrendWnd>(this, document);
}

CHRVTrendWnd::CHRVTrendWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  g_current_window = this;
  AddCommands();
  TakeKeysOnClick();
}

CHRVTrendWnd::~CHRVTrendWnd() {
  if (g_current_window == this) g_current_window = nullptr;
}

CHRVTrendWnd* CHRVTrendWnd::Current() { return g_current_window; }

void CHRVTrendWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  g_current_window = this;
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  doc->SetHRVSelectedDay(kWholeRecording);
  ComputeVisibleRange();
  if (!trend_) trend_ = std::make_unique<THeartRateTrend>(*doc);
  if (doc->GetExtremesValid() == 0) doc->RecalcHeartRateExtremes(0, 0, 1);
}

int64_t CHRVTrendWnd::DayStartMs() const {
  const CZK470Doc* doc = GetDocument();
  if (doc == nullptr || doc->GetHRVSelectedDay() == kWholeRecording) return 0;
  return std::max<int64_t>(0, doc->GetHRVSelectedDay() * kDayMs);
}

int64_t CHRVTrendWnd::DayEndMs() const {
  const CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return 0;
  const int64_t length = int64_t{doc->GetRecordingMinutes()} * 60'000;
  const int day = doc->GetHRVSelectedDay();
  if (day == kWholeRecording) return length;
  return std::min(length, (int64_t{day} + 1) * kDayMs);
}

void CHRVTrendWnd::ComputeVisibleRange() {
  const CZK470Doc* doc = GetDocument();
  const int64_t start = DayStartMs();
  const int64_t end = DayEndMs();
  const int zoom = doc != nullptr ? std::clamp(doc->GetHRVZoomLevel(), 0, kMaxZoom) : 0;
  if (zoom == 0) {
    visible_start_ = start;
    visible_end_ = end;
    return;
  }
  const int64_t width = (end - start) >> zoom;
  visible_start_ = std::max(start, int64_t{doc->GetCurrentPosition()} - width / 2);
  visible_end_ = visible_start_ + width;
  if (visible_end_ > end) {
    visible_end_ = end;
    visible_start_ = end - width;
  }
}

void CHRVTrendWnd::SelectDay(int day) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  doc->SetHRVSelectedDay(static_cast<int16_t>(day));
  doc->SetHRVZoomLevel(0);
  doc->SetHRVScaleStep(0);
  ComputeVisibleRange();
  doc->UpdateAllViews(nullptr, hint::kTrend22224);
}

int64_t CHRVTrendWnd::PositionMs(int32_t samples) const {
  const double rate = GetDocument()->GetSampleRate();
  return static_cast<int64_t>(samples / rate * 1000.0);
}

void CHRVTrendWnd::Forward(int id) {
  handled_ = false;
  GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
}

void CHRVTrendWnd::ShowScreen(int kind) {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  doc->GetHost().BeginBusy("");
  doc->SetHRVSubMode(static_cast<int16_t>(kind));
  doc->SetDisplayMode(static_cast<DisplayMode>(static_cast<int>(DisplayMode::kHrv10) + kind));
  doc->UpdateAllViews(nullptr, hint::kDocumentChanged);
  doc->GetHost().EndBusy();
}

void CHRVTrendWnd::AddCommands() {
  for (int day = 0; day < 3; ++day) {
    AddCommand(kCmdDay0 + day, [this, day] { SelectDay(day); });
    AddUpdate(kCmdDay0 + day, [this, day](win::CmdUI& ui) {
      const CZK470Doc* doc = GetDocument();
      ui.Enable(doc != nullptr && doc->GetRecordingMinutes() >= kDayMinutes[static_cast<size_t>(day)]);
      ui.SetCheck(doc != nullptr && doc->GetHRVSelectedDay() == day ? 1 : 0);
    });
  }
  AddCommand(kCmdWholeRecording, [this] { SelectDay(kWholeRecording); });
  AddUpdate(kCmdWholeRecording, [this](win::CmdUI& ui) {
    ui.Enable(true);
    ui.SetCheck(GetDocument() != nullptr && GetDocument()->GetHRVSelectedDay() == kWholeRecording ? 1 : 0);
  });

  const auto step = [this](bool zoom, int delta) {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    const int value = zoom ? doc->GetHRVZoomLevel() : doc->GetHRVScaleStep();
    const int limit = zoom ? kMaxZoom : kMaxScaleStep;
    if (value + delta < 0 || value + delta > limit) return;
    if (zoom) {
      doc->SetHRVZoomLevel(value + delta);
      ComputeVisibleRange();
    } else {
      doc->SetHRVScaleStep(value + delta);
    }
    doc->UpdateAllViews(nullptr, hint::kTrend22222);
  };
  const auto can_step = [this](bool zoom, int delta, win::CmdUI& ui) {
    const CZK470Doc* doc = GetDocument();
    const int value = doc == nullptr ? 0 : zoom ? doc->GetHRVZoomLevel() : doc->GetHRVScaleStep();
    ui.Enable(doc != nullptr && (delta > 0 ? value < (zoom ? kMaxZoom : kMaxScaleStep) : value > 0));
  };
  AddCommand(kCmdZoomIn, [step] { step(true, 1); });
  AddUpdate(kCmdZoomIn, [can_step](win::CmdUI& ui) { can_step(true, 1, ui); });
  AddCommand(kCmdZoomOut, [step] { step(true, -1); });
  AddUpdate(kCmdZoomOut, [can_step](win::CmdUI& ui) { can_step(true, -1, ui); });
  AddCommand(kCmdScaleUp, [step] { step(false, 1); });
  AddUpdate(kCmdScaleUp, [can_step](win::CmdUI& ui) { can_step(false, 1, ui); });
  AddCommand(kCmdScaleDown, [step] { step(false, -1); });
  AddUpdate(kCmdScaleDown, [can_step](win::CmdUI& ui) { can_step(false, -1, ui); });

  AddCommand(kCmdRecalculate, [this] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    doc->GetHost().BeginBusy("");
    doc->UpdateAllViews(nullptr, hint::kDocumentChanged);
    doc->GetHost().EndBusy();
  });
  AddUpdate(kCmdRecalculate, [](win::CmdUI& ui) { ui.Enable(true); });
  for (int kind = 0; kind < 3; ++kind) {
    AddCommand(kCmdScreen0 + kind, [this, kind] { ShowScreen(kind); });
    AddUpdate(kCmdScreen0 + kind, [this, kind](win::CmdUI& ui) {
      const CZK470Doc* doc = GetDocument();
      ui.Enable(true);
      ui.SetCheck(doc != nullptr && static_cast<int>(doc->GetDisplayMode()) ==
                                        static_cast<int>(DisplayMode::kHrv10) + kind
                      ? 1
                      : 0);
    });
  }

  // The extreme jumps: the extremes are found first when they are not valid.
  struct Extreme {
    int id;
    int32_t (CZK470Doc::*position)() const;
  };
  constexpr std::array<Extreme, 4> kExtremes = {{{cmd::kGoToSinusHRMin, &CZK470Doc::GetSinusHRMinPosition},
                                                 {cmd::kGoToSinusHRMax, &CZK470Doc::GetSinusHRMaxPosition},
                                                 {cmd::kGoToNNMin, &CZK470Doc::GetNNMinPosition},
                                                 {cmd::kGoToNNMax, &CZK470Doc::GetNNMaxPosition}}};
  for (const Extreme& extreme : kExtremes) {
    AddCommand(extreme.id, [this, id = extreme.id] {
      CZK470Doc* doc = GetDocument();
      if (doc == nullptr) return;
      if (doc->GetExtremesValid() == 0) doc->RecalcHeartRateExtremes(0, 0, 1);
      Forward(id);
    });
    AddUpdate(extreme.id, [this, extreme](win::CmdUI& ui) {
      const CZK470Doc* doc = GetDocument();
      const int32_t position = doc != nullptr ? (doc->*extreme.position)() : -1;
      ui.Enable(position != -1);
      ui.SetCheck(position != -1 && doc->GetExtremesValid() != 0 &&
                          doc->GetCurrentPosition() == PositionMs(position)
                      ? 1
                      : 0);
    });
  }
  // The other jumps the charts answer take the same path, so that one chart carries each out.
  for (const int id : {kCmdNextLongerNN, kCmdNextShorterNN, cmd::kGoToHRMin, cmd::kGoToHRMax, cmd::kGoToRRMin,
                       cmd::kGoToRRMax})
    AddCommand(id, [this, id] { Forward(id); });

  AddCommand(cmd::kSetMark, [this] {
    if (CZK470Doc* doc = GetDocument()) doc->GetViewFields().position_mark = doc->GetCurrentPosition();
  });
  AddCommand(cmd::kReturnToMark, [this] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    doc->SetCurrentPosition(doc->GetViewFields().position_mark, 0);
    GetConfig()->BroadcastAll(areamsg::kPositionPaged, 0, 0);
  });
}

std::unique_ptr<win::Window> CHRVTrendWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t*, int* dock_bar) {
  *dock_bar = kDockBarTop;
  return MakeBar(frame, kMainTexts, kMainLayout, kMainToolBarId, this);
}

std::unique_ptr<win::Window> CHRVTrendWnd::CreateSecondToolBar(CAreaFrameWnd& frame, uint32_t*,
                                                               int* dock_bar) {
  *dock_bar = kDockBarTop;
  return MakeBar(frame, kDayTexts, kDayLayout, kDayToolBarId, this);
}

void CHRVTrendWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CHRVTrendWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CHRVTrendWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CHRVTrendWnd::OnRButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kRightButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

bool CHRVTrendWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (win::IsContextMenuRequest(message, wparam)) {
    OnContextMenu(this, ClientToScreen(gfx::Point{5, 5}));
    return true;
  }
  return CAreaWnd::PreTranslateMessage(message, wparam, lparam);
}

void CHRVTrendWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  // The window's own commands; the update pass enables and ticks them before the menu shows.
  win::Menu menu;
  for (const int id : {cmd::kGoToNNMin, cmd::kGoToNNMax, kCmdNextLongerNN, kCmdNextShorterNN, 0, kCmdZoomIn,
                       kCmdZoomOut, kCmdScaleUp, kCmdScaleDown, 0, cmd::kSetMark, cmd::kReturnToMark}) {
    if (id == 0)
      menu.AppendSeparator();
    else
      menu.AppendItem(id, TipOf(id));
  }
  win::Window* owner = this;
  while (owner->IsChild() && owner->GetParent() != nullptr) owner = owner->GetParent();
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y, *owner,
                      this);
}
