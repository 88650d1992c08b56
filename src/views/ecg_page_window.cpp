#include "views/ecg_page_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/time_formatter.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/preset_font.h"
#include "views/view_dialogs.h"
#include "views/view_resources.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/toolbar_window.h"

namespace {

constexpr int kPrintEventStripsCommand = ecgpage::kPrintEventStripsCommand;
constexpr int kToolBarId = 0xE800;
// Posted to itself after a command, so that the toolbar shows the new states once the command
// is over (the command may have replaced the whole layout, this window with it).
constexpr uint32_t kRefreshBarMessage = win::kWmUser + 1;
constexpr uint32_t kCentredLine = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter;
constexpr int kMsPerDay = 86'400'000;

AutoScrollDialogFactory& Factory() {
  static AutoScrollDialogFactory factory;
  return factory;
}

CECGPageServices& Services() {
  static CECGPageServices services;
  return services;
}

const platform::Locale& PageLocale() {
  static const platform::SystemLocale system;
  return Services().locale != nullptr ? *Services().locale : system;
}

// A profile may hold any index; the tables have four entries.
int ClampIndex(int index) { return std::clamp(index, 0, 3); }

struct ChannelMode {
  std::array<int32_t, 3> channels;
  int count;
  double row_mv;  // row height in millivolts
};
constexpr ChannelMode kChannelModes[] = {
    {{0}, 1, 3.7},    {{1}, 1, 3.7},    {{0, 1}, 2, 6.0},     {{2}, 1, 3.7},
    {{1, 2}, 2, 6.0}, {{0, 2}, 2, 6.0}, {{0, 1, 2}, 3, 12.0},
};

// The analysed-channel codes of the channel choice: the set and the ST pair each code stands for.
struct AnalysedCode {
  std::array<int32_t, 2> channels;
  int count;
  std::array<int32_t, 2> st_pair;
};
constexpr AnalysedCode kAnalysedCodes[] = {
    {{0}, 1, {0, 1}}, {{1}, 1, {0, 1}},    {{0, 1}, 2, {0, 1}},
    {{2}, 1, {0, 2}}, {{1, 2}, 2, {1, 2}}, {{0, 2}, 2, {0, 2}},
};

int CodeOfAnalysedSet(const document::ChannelSet& set) {
  for (int code = 0; code < static_cast<int>(std::size(kAnalysedCodes)); ++code) {
    const AnalysedCode& c = kAnalysedCodes[code];
    if (set.count != c.count) continue;
    if (std::equal(c.channels.begin(), c.channels.begin() + c.count, set.channels.begin())) return code;
  }
  return 2;
}

// The ECG toolbar's buttons have no pictures of their own: each shows a short text.
constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {cmd::kCentrePage, "C"},        {kPrintEventStripsCommand, "P"}, {cmd::kPreviousPageOfPage, "<"},
    {cmd::kNextPageOfPage, ">"},    {cmd::kPageSlower, "S-"},        {cmd::kPageFaster, "S+"},
    {cmd::kPageLarger, "A+"},       {cmd::kPageSmaller, "A-"},       {cmd::kChannels, "Ch"},
    {cmd::kAnalysedChannels, "An"}, {cmd::kAutoScroll, "Au"},
};

}  // namespace

void SetAutoScrollDialogFactory(AutoScrollDialogFactory factory) { Factory() = std::move(factory); }

void SetECGPageServices(CECGPageServices services) { Services() = std::move(services); }

// ---- CECGWindowConfig

std::unique_ptr<CAreaWnd> CECGWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CECGWnd>(this, document);
}

CECGWnd* FindECGPageWindow(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* n = node; n != nullptr; n = n->GetParent()) {
    if (dynamic_cast<const CECGWindowConfig*>(n) == nullptr) continue;
    const auto* area = dynamic_cast<const CWindowArea*>(n->GetArea());
    return area != nullptr ? dynamic_cast<CECGWnd*>(area->GetHostedWindow()) : nullptr;
  }
  return nullptr;
}

// ---- CECGWnd

CECGWnd::CECGWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  if (document != nullptr) {
    const double scale = document->GetViewFields().screen_scale;
    pixels_per_second_ = scale * kPageSpeeds[SpeedIndex()] * 0.1;
    pixels_per_mv_ = scale * kPageGains[AmplitudeIndex()] * 0.1;
  }
  AddCommands();
}

CECGWnd::~CECGWnd() {
  if (CZK470Doc* doc = GetDocument()) doc->AdjustTimeSpanToPosition(false);
  page_rows_.clear();
  label_rows_.clear();
  row_texts_.clear();
  CloseAutoScroll();
  if (CZK470Doc* doc = GetDocument()) doc->GetHost().PostMainFrameMessage(msg::kStatusRefresh);
}

int CECGWnd::SpeedIndex() const {
  return GetDocument() != nullptr ? ClampIndex(GetDocument()->GetSettings().Int(SettingKey::kResECGSpeed))
                                  : 2;
}

int CECGWnd::AmplitudeIndex() const {
  return GetDocument() != nullptr ? ClampIndex(GetDocument()->GetSettings().Int(SettingKey::kResECGAmplitude))
                                  : 2;
}

void CECGWnd::UpdateScale() {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const double scale = doc->GetViewFields().screen_scale;
  pixels_per_second_ = scale * kPageSpeeds[SpeedIndex()] * 0.1;
  pixels_per_mv_ = scale * kPageGains[AmplitudeIndex()] * 0.1;
  SettingsStore& settings = doc->GetSettings();
  int mode = settings.Int(SettingKey::kECGViewChannel);
  if (doc->GetChannelCount() < 3 && mode > 2) {
    mode = 2;
    settings.SetInt(SettingKey::kECGViewChannel, mode);
  }
  if (mode < 0 || mode >= static_cast<int>(std::size(kChannelModes))) return;
  const ChannelMode& m = kChannelModes[mode];
  document::Context().g_DisplayChannels.Assign({m.channels.data(), static_cast<size_t>(m.count)});
  row_height_ = static_cast<int>(m.row_mv * pixels_per_mv_);
}

std::vector<gfx::Rect> CECGWnd::ComputeRows(const gfx::Rect& r) const {
  std::vector<gfx::Rect> rows;
  const double p = pixels_per_mv_;
  const double h = row_height_;
  if (h + p <= 0.0) return rows;
  // Rows are separated by a gap of one millivolt.
  const int n = static_cast<int>((r.bottom - r.top) / (h + p));
  for (int i = 0; i < n; ++i) {
    const int top = r.top + static_cast<int>(i * p + i * h);
    rows.push_back({r.left, top, r.right, top + row_height_});
  }
  return rows;
}

void CECGWnd::ComputePageRows(const gfx::Rect& r) {
  UpdateScale();
  page_rows_ = ComputeRows(r);
}

void CECGWnd::ComputeLabelRows(const gfx::Rect& r) {
  UpdateScale();
  label_rows_ = ComputeRows(r);
  row_texts_.assign(label_rows_.size(), std::string());
}

void CECGWnd::UpdateTexts() {
  CZK470Doc* doc = GetDocument();
  const int n = static_cast<int>(label_rows_.size());
  if (doc == nullptr || n == 0) return;
  row_texts_.assign(label_rows_.size(), std::string());
  const int64_t start = doc->GetViewFields().page_start_ms;
  const int64_t end = doc->GetViewFields().page_end_ms;
  const int64_t row_ms = (end - start) / n;
  // The recording's start as a time of day, to the second.
  const double days = doc->GetRecordingData().start_time.days;
  const int64_t start_of_day_ms =
      static_cast<int64_t>(std::llround((days - std::floor(days)) * 86400.0) % 86400) * 1000;
  const TTimeFormatter formatter(PageLocale());
  for (int i = 0; i < n; ++i) {
    const int64_t t = start + i * row_ms;
    const int64_t clock = ((t + start_of_day_ms) % kMsPerDay + kMsPerDay) % kMsPerDay;
    row_texts_[static_cast<size_t>(i)] = formatter.FormatHourLabel(static_cast<int>(clock), 0) +
                                         doc->GetDayLabelAt(static_cast<int>(t / 1000));
  }
}

void CECGWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  CloseAutoScroll();
  UpdateScale();
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  if (doc->GetViewFields().auto_scroll_request != 0) {
    doc->GetViewFields().auto_scroll_request = 0;
    OpenAutoScroll();
  }
  doc->GetHost().PostMainFrameMessage(msg::kStatusRefresh);
}

void CECGWnd::OnAreaNotify(document::DocumentView*, int, THintObject*) { PostMessage(kRefreshBarMessage); }

std::unique_ptr<win::Window> CECGWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  win::ToolBarModel& model = bar->Model();
  const auto button = [&model](int id) {
    model.AddButton(id, -1, win::ToolButtonStyle::kButton, ToolTipOfCommand(id));
  };
  button(cmd::kCentrePage);
  button(kPrintEventStripsCommand);
  model.AddSeparator();
  button(cmd::kPreviousPageOfPage);
  button(cmd::kNextPageOfPage);
  model.AddSeparator();
  button(cmd::kPageSlower);
  button(cmd::kPageFaster);
  model.AddSeparator();
  button(cmd::kPageLarger);
  button(cmd::kPageSmaller);
  model.AddSeparator();
  button(cmd::kChannels);
  button(cmd::kAnalysedChannels);
  model.AddSeparator();
  button(cmd::kAutoScroll);
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText("ECG Window");
  bar->UpdateButtons();
  return bar;
}

bool CECGWnd::Send(uint32_t n, win::LParam lparam) {
  return GetConfig()->BroadcastUntilHandled(n, 0, lparam);
}

void CECGWnd::Tell(uint32_t n) { GetConfig()->BroadcastAll(n, 0, 0); }

void CECGWnd::AddCommands() {
  const auto no_auto_scroll = [this](win::CmdUI& ui) { ui.Enable(!IsAutoScrollOn()); };
  // Commands that do nothing while auto-scroll pages.
  const auto unless_scrolling = [this](std::function<void()> action) {
    return [this, action = std::move(action)] {
      if (!IsAutoScrollOn()) action();
    };
  };
  const auto page_end = [this] { return GetDocument()->GetViewFields().page_end_ms; };
  const auto page_start = [this] { return GetDocument()->GetViewFields().page_start_ms; };

  AddCommand(cmd::kNextPageOfPage, [this, page_end] {
    if (page_end() + 1 < GetDocument()->GetTimeRangeEnd()) Send(cmd::kNextPageOfPage);
  });
  AddUpdate(cmd::kNextPageOfPage, [this, page_end](win::CmdUI& ui) {
    ui.Enable(page_end() + 1 < GetDocument()->GetTimeRangeEnd());
  });
  AddCommand(cmd::kPreviousPageOfPage, [this, page_start] {
    if (GetDocument()->GetTimeRangeStart() < page_start()) Send(cmd::kPreviousPageOfPage);
  });
  AddUpdate(cmd::kPreviousPageOfPage, [this, page_start](win::CmdUI& ui) {
    ui.Enable(GetDocument()->GetTimeRangeStart() < page_start());
  });
  for (const auto& [id, query] : {std::pair{cmd::kNextRow, areamsg::kCanRowForward},
                                  std::pair{cmd::kPreviousRow, areamsg::kCanRowBack}}) {
    AddCommand(id, [this, id = id] { Send(static_cast<uint32_t>(id)); });
    AddUpdate(id, [this, query = query](win::CmdUI& ui) {
      int possible = 1;
      Send(query, reinterpret_cast<win::LParam>(&possible));
      ui.Enable(possible != 0 && !IsAutoScrollOn());
    });
  }
  AddCommand(cmd::kNextPage, [this] { Send(cmd::kNextPage); });
  AddCommand(cmd::kPreviousPage, [this] { Send(cmd::kPreviousPage); });
  AddCommand(cmd::kPreviousEvent, [this] { Tell(cmd::kPreviousEvent); });
  AddCommand(cmd::kNextEvent, [this] { Tell(cmd::kNextEvent); });

  // The amplitude may rise up to index m: the two larger gains only at the two faster speeds.
  const auto amplitude_limit = [this] { return SpeedIndex() > 1 ? 3 : 1; };
  AddCommand(cmd::kPageFaster, unless_scrolling([this] {
               if (SpeedIndex() < 3) Send(cmd::kPageFaster);
             }));
  AddUpdate(cmd::kPageFaster, [this](win::CmdUI& ui) { ui.Enable(SpeedIndex() <= 2 && !IsAutoScrollOn()); });
  AddCommand(cmd::kPageSlower, unless_scrolling([this] {
               if (SpeedIndex() > 0) Send(cmd::kPageSlower);
             }));
  AddUpdate(cmd::kPageSlower, [this](win::CmdUI& ui) { ui.Enable(SpeedIndex() > 0 && !IsAutoScrollOn()); });
  AddCommand(cmd::kPageLarger, unless_scrolling([this, amplitude_limit] {
               if (AmplitudeIndex() < amplitude_limit()) Send(cmd::kPageLarger);
             }));
  AddUpdate(cmd::kPageLarger, [this, amplitude_limit](win::CmdUI& ui) {
    ui.Enable(AmplitudeIndex() < amplitude_limit() && !IsAutoScrollOn());
  });
  AddCommand(cmd::kPageSmaller, unless_scrolling([this, amplitude_limit] {
               if (AmplitudeIndex() >= amplitude_limit()) Send(cmd::kPageSmaller);
             }));
  AddUpdate(cmd::kPageSmaller, [this, amplitude_limit](win::CmdUI& ui) {
    ui.Enable(AmplitudeIndex() >= amplitude_limit() && !IsAutoScrollOn());
  });

  AddCommand(cmd::kCentrePage, [this] { Send(areamsg::kCentrePage); });
  AddUpdate(cmd::kCentrePage, no_auto_scroll);
  AddCommand(kPrintEventStripsCommand,
             unless_scrolling([this] { GetDocument()->UpdateAllViews(nullptr, hint::kPrintEventStrips); }));
  AddUpdate(kPrintEventStripsCommand, no_auto_scroll);
  AddCommand(cmd::kChannels, unless_scrolling([this] { ChooseChannels(); }));
  AddUpdate(cmd::kChannels, no_auto_scroll);
  AddCommand(cmd::kAnalysedChannels, unless_scrolling([this] { ChooseAnalysedChannels(); }));
  AddUpdate(cmd::kAnalysedChannels, no_auto_scroll);

  AddCommand(cmd::kSetMark,
             [this] { GetDocument()->GetViewFields().position_mark = GetDocument()->GetCurrentPosition(); });
  AddCommand(cmd::kReturnToMark, unless_scrolling([this] { GoToMark(); }));
  AddUpdate(cmd::kReturnToMark, [this](win::CmdUI& ui) {
    const CZK470Doc& doc = *GetDocument();
    const DisplayMode mode = doc.GetDisplayMode();
    ui.Enable(mode != DisplayMode::kNone && mode != DisplayMode::kPdf &&
              doc.GetViewFields().position_mark != -1 && !IsAutoScrollOn());
  });
  AddGoTo(cmd::kGoToHRMin, &CZK470Doc::GoToHRMin, &CZK470Doc::GetHRMinPosition, hint::kPositionMoved, false);
  AddGoTo(cmd::kGoToHRMax, &CZK470Doc::GoToHRMax, &CZK470Doc::GetHRMaxPosition, hint::kPositionMoved, false);
  AddGoTo(cmd::kGoToSinusHRMin, &CZK470Doc::GoToSinusHRMin, &CZK470Doc::GetSinusHRMinPosition,
          hint::kPositionMoved, false);
  AddGoTo(cmd::kGoToSinusHRMax, &CZK470Doc::GoToSinusHRMax, &CZK470Doc::GetSinusHRMaxPosition,
          hint::kPositionMoved, false);
  AddGoTo(cmd::kGoToRRMin, &CZK470Doc::GoToRRMin, &CZK470Doc::GetRRMinPosition, hint::kNavigationRebuild,
          true);
  AddGoTo(cmd::kGoToRRMax, &CZK470Doc::GoToRRMax, &CZK470Doc::GetRRMaxPosition, hint::kNavigationRebuild,
          false);
  AddGoTo(cmd::kGoToNNMin, &CZK470Doc::GoToNNMin, &CZK470Doc::GetNNMinPosition, hint::kNavigationRebuild,
          true);
  AddGoTo(cmd::kGoToNNMax, &CZK470Doc::GoToNNMax, &CZK470Doc::GetNNMaxPosition, hint::kNavigationRebuild,
          true);
  AddGoToST(cmd::kGoToST1, 0);
  AddGoToST(cmd::kGoToST2, 1);

  AddCommand(cmd::kAutoScroll, [this] { ToggleAutoScroll(); });
  AddUpdate(cmd::kAutoScroll, [this](win::CmdUI& ui) {
    ui.Enable(true);
    ui.SetCheck(IsAutoScrollOn() ? 1 : 0);
  });
  AddCommand(cmd::kStartStopAutoScroll, [this] {
    if (auto_scroll_) auto_scroll_->StartStop();
  });
}

void CECGWnd::AddGoTo(int id, bool (CZK470Doc::*go)(), int32_t (CZK470Doc::*position)() const, int moved_hint,
                      bool extreme_shown) {
  AddCommand(id, [this, go, moved_hint, extreme_shown] {
    if (IsAutoScrollOn()) return;
    CZK470Doc& doc = *GetDocument();
    if (doc.GetExtremesValid() == 0) doc.RecalcHeartRateExtremes(0, 0, 1);
    if (!(doc.*go)()) return;
    AfterGoTo(moved_hint);
    if (extreme_shown) doc.UpdateAllViews(nullptr, hint::kExtremeShown);
  });
  AddUpdate(id, [this, position](win::CmdUI& ui) {
    const CZK470Doc& doc = *GetDocument();
    const int32_t samples = (doc.*position)();
    ui.Enable(samples != -1 && !IsAutoScrollOn());
    const bool here = samples != -1 && static_cast<int32_t>(samples / doc.GetSampleRate() * 1000.0) ==
                                           doc.GetCurrentPosition();
    ui.SetCheck(here && doc.GetExtremesValid() != 0 ? 1 : 0);
  });
}

void CECGWnd::AddGoToST(int id, int channel) {
  // A channel outside the analysed set has no ST data: the command stays disabled and does
  // nothing, instead of asking for ST index -1.
  AddCommand(id, [this, channel] {
    if (IsAutoScrollOn()) return;
    CZK470Doc& doc = *GetDocument();
    const int index = CZK470Doc::GetSTChannelIndex(channel);
    if (index < 0 || !doc.GoToSTPosition(index)) return;
    AfterGoTo(hint::kNavigationRebuild);
  });
  AddUpdate(id, [this, channel](win::CmdUI& ui) {
    const CZK470Doc& doc = *GetDocument();
    const int index = CZK470Doc::IsSTChannel(channel) ? CZK470Doc::GetSTChannelIndex(channel) : -1;
    if (index < 0 || index >= TRecordingData::kStChannels) {
      ui.Enable(false);
      return;
    }
    const int32_t samples = doc.GetRecordingData().deepest_st_position[static_cast<size_t>(index)];
    ui.Enable(samples != -1 && !IsAutoScrollOn());
    const bool here = samples != -1 && static_cast<int32_t>(samples / doc.GetSampleRate() * 1000.0) ==
                                           doc.GetCurrentPosition();
    ui.SetCheck(here ? 1 : 0);
  });
}

void CECGWnd::GoToMark() {
  CZK470Doc& doc = *GetDocument();
  doc.SetCurrentPosition(doc.GetViewFields().position_mark, 0);
  AfterGoTo(hint::kPositionMoved);
}

void CECGWnd::AfterGoTo(int moved_hint) {
  CZK470Doc& doc = *GetDocument();
  int hint_number = hint::kDocumentChanged;
  if (!Send(areamsg::kPositionOffPage)) {
    Send(areamsg::kRepaintPage);
    hint_number = moved_hint;
  }
  doc.UpdateAllViews(nullptr, hint_number);
}

void CECGWnd::ChooseChannels() {
  CZK470Doc& doc = *GetDocument();
  CViewDialogs* dialogs = GetViewDialogs();
  if (dialogs == nullptr) return;
  SettingsStore& settings = doc.GetSettings();
  const int current = settings.Int(SettingKey::kECGViewChannel);
  const std::optional<int> chosen = dialogs->ChooseChannels(this, current, doc.GetChannelCount(), true,
                                                            platform::LoadString(ecgpage::kChannelsCaption));
  if (!chosen) return;
  settings.SetInt(SettingKey::kECGViewChannel, *chosen);
  if (*chosen != current) Send(areamsg::kChannelModeChanged);
  doc.GetHost().PostMainFrameMessage(msg::kStatusRefresh);
}

void CECGWnd::ChooseAnalysedChannels() {
  CZK470Doc& doc = *GetDocument();
  CViewDialogs* dialogs = GetViewDialogs();
  if (dialogs == nullptr) return;
  document::DocumentContext& context = document::Context();
  const int current = CodeOfAnalysedSet(context.g_AnalysisChannels);
  const std::optional<int> chosen = dialogs->ChooseChannels(
      this, current, doc.GetChannelCount(), false, platform::LoadString(ecgpage::kAnalysedChannelsCaption));
  if (!chosen || *chosen == current || *chosen < 0 || *chosen >= static_cast<int>(std::size(kAnalysedCodes)))
    return;
  if (win::CurrentPrompt().MessageBox(platform::LoadString(ecgpage::kConfirmReanalysis),
                                      win::Windows().AppTitle(),
                                      win::kMbYesNo | win::kMbIconQuestion) != win::kIdYes)
    return;
  doc.DoFileSave();
  const AnalysedCode& code = kAnalysedCodes[*chosen];
  context.g_AnalysisChannels.Assign({code.channels.data(), static_cast<size_t>(code.count)});
  context.g_STChannels.Assign({code.st_pair.data(), code.st_pair.size()});
  doc.ResetAnalysisResults();
  doc.SetModifiedFlag(true);
  doc.GetHost().PostMainFrameMessage(msg::kStatusRefresh);
  // The analysis and what follows it may replace this window with the layout: from here on only
  // the document and copies are used.
  const CECGPageServices services = Services();
  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (services.set_analysis_aborted) services.set_analysis_aborted(0);
  doc.StartAnalysis(1);
  if (!services.is_analysis_aborted || services.is_analysis_aborted() == 0) return;
  if (services.set_analysis_aborted) services.set_analysis_aborted(0);
  win::CurrentPrompt().MessageBox(platform::LoadString(ecgpage::kReanalysisAborted),
                                  win::Windows().AppTitle(), win::kMbIconExclamation);
  doc.SetModifiedFlag(false);
  const std::string path = doc.GetPathName();
  doc.ResetToUntitled();
  if (services.open_document && !path.empty()) services.open_document(path);
}

void CECGWnd::ToggleAutoScroll() {
  if (auto_scroll_) {
    CloseAutoScroll();
    return;
  }
  CZK470Doc& doc = *GetDocument();
  if (doc.GetDisplaySubMode() == 0) {
    OpenAutoScroll();
    return;
  }
  // The page alone (layout 11) scrolls: its page window opens the dialog when it is attached.
  doc.GetViewFields().auto_scroll_request = 1;
  doc.SetDisplaySubMode(0);
  doc.UpdateAllViews(nullptr, hint::kPositionMoved);
}

void CECGWnd::OpenAutoScroll() {
  if (Factory() && GetDocument() != nullptr) auto_scroll_ = Factory()(*GetDocument(), *this);
}

void CECGWnd::CloseAutoScroll() {
  if (!auto_scroll_) return;
  if (auto_scroll_->IsOpen()) auto_scroll_->Close();
  auto_scroll_.reset();
}

void CECGWnd::ScrollOnePage() { Send(cmd::kNextPageOfPage); }

void CECGWnd::RequestClose() {
  // The dialog is inside its own message handling: end it once that is over.
  PostMessage(win::kWmCommand, static_cast<win::WParam>(cmd::kAutoScroll), 0);
}

void CECGWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CECGWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CECGWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

win::LResult CECGWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kRefreshBarMessage) {
    if (auto* bar = dynamic_cast<win::ToolBarWindow*>(GetConfig()->GetToolBar());
        bar != nullptr && bar->IsWindow())
      bar->UpdateButtons();
    return 0;
  }
  // Queued first: the command may end this window, and then the refresh is dropped.
  if (message == win::kWmCommand) PostMessage(kRefreshBarMessage);
  return CAreaWnd::WindowProc(message, wparam, lparam);
}

// ---- CECGRowTimeArea

std::unique_ptr<CViewArea> CECGRowTimeAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CECGRowTimeArea>(this, doc);
}

void CECGRowTimeArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = FindECGPageWindow(config_);
}

void CECGRowTimeArea::OnLayout(int left, int top, int right, int bottom) {
  if (host_ != nullptr) host_->ComputeLabelRows({left, top, right, bottom});
}

void CECGRowTimeArea::Refresh() {
  if (host_ == nullptr) return;
  host_->UpdateTexts();
  host_->InvalidateRect(rect_, true);
}

int CECGRowTimeArea::OnMessage(uint32_t msg, win::WParam, win::LParam) {
  if (msg != areamsg::kRowGeometryChanged) return 0;
  Refresh();
  return 1;
}

void CECGRowTimeArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  if (hint_number == hint::kPatientData) Refresh();
}

void CECGRowTimeArea::Draw(gfx::Canvas& dc, const gfx::Rect&) {
  const gfx::Color face = win::GetSysColor(win::SysColor::kBtnFace);
  dc.FillSolidRect(rect_, face);
  if (host_ == nullptr) return;
  CPresetFont preset;
  const gfx::Font* font = preset.Select(3);
  const gfx::Font old_font = dc.SelectFont(font != nullptr ? *font : dc.GetFont());
  const gfx::Color old_text = dc.SetTextColor(0x000000);
  const gfx::Color old_bk = dc.SetBkColor(face);
  const std::vector<gfx::Rect>& rows = host_->GetLabelRows();
  const std::vector<std::string>& texts = host_->GetRowTexts();
  for (size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
    gfx::Rect r{rect_.left, rows[i].top, rect_.right, rows[i].bottom};
    dc.DrawText(texts[i], r, kCentredLine);
  }
  dc.SetBkColor(old_bk);
  dc.SetTextColor(old_text);
  dc.SelectFont(old_font);
}
