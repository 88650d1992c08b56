#include "core/main_toolbars.h"

#include <algorithm>

#include "core/core_ids.h"
#include "core/menu_bar.h"
#include "core/tool_glyphs.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "win/frame_window.h"
#include "win/system_metrics.h"

namespace {

// The bars are made while the program's own resources are chosen; the span names the whole
// recording in the user's language all the same.
std::string WholeRecordingSpanText() {
  platform::ResourceContext& resources = platform::Resources();
  const bool exe_chosen = resources.ExeResourcesChosen();
  if (exe_chosen) resources.UseLanguageResources();
  std::string text = platform::LoadString(core_ids::kIdsSpanAll);
  if (exe_chosen) resources.UseExeResources();
  return text.empty() ? "All" : text;
}

CTimeSpanToolBar* g_time_span_bar = nullptr;

}  // namespace

// --- ToolBarWnd -----------------------------------------------------------------------------------------

bool ToolBarWnd::CreateBar(win::FrameWindow& frame, int resource_id, const gfx::Rect& rect, int id) {
  const std::span<const ToolbarButtonTemplate> buttons = FindToolbarResource(resource_id);
  if (buttons.empty()) return false;
  Model() = win::ToolBarModel();
  glyphs_.clear();
  for (const ToolbarButtonTemplate& button : buttons) {
    if (button.id == 0) {
      Model().AddSeparator();
    } else {
      Model().AddButton(button.id, static_cast<int>(glyphs_.size()), win::ToolButtonStyle::kButton,
                        CommandToolTip(button.id));
    }
    glyphs_.push_back(button.glyph);
  }
  SetIdleMessage(core_ids::kIdsReady);
  return CreateToolBar(frame, rect, id);
}

void ToolBarWnd::DrawButtonImage(gfx::Canvas& canvas, const win::ToolButton& button, const gfx::Rect& box,
                                 bool enabled) {
  const ToolGlyph glyph = button.image >= 0 && static_cast<size_t>(button.image) < glyphs_.size()
                              ? glyphs_[static_cast<size_t>(button.image)]
                              : ToolGlyph::kNone;
  DrawToolGlyph(canvas, glyph, box, enabled);
}

std::string ToolBarWnd::ToolTipText(int id) const {
  // Controls on the bar have no button of their own: their command's string serves.
  const std::optional<size_t> index = Model().CommandToIndex(id);
  return index ? Model().At(*index).tooltip : CommandToolTip(id);
}

// --- CMainToolBar -----------------------------------------------------------------------------------------

int CMainToolBar::CreateBar(win::FrameWindow& frame, const gfx::Rect& rect) {
  if (!ToolBarWnd::CreateBar(frame, core_ids::kMainToolbarResource, rect, core_ids::kToolBarId)) return -1;
  for (const int id : {cmd::kReadRecorder, cmd::kFileOpen, cmd::kFileSave, cmd::kSend, cmd::kAnalyzeRecording,
                       cmd::kPrintWholeReport}) {
    SetDropDownArrow(id);
  }
  return 1;
}

// --- Time-span combo and toolbar ---------------------------------------------------------------------------

int TimeSpanCombo::DropDown(const std::function<void(PopupMenuWnd&)>& on_open) {
  if (!IsWindowEnabled() || GetCount() == 0) return -1;
  // The entries as a menu whose command ids are index + 1.
  win::Menu list;
  for (int i = 0; i < GetCount(); ++i) {
    list.AppendItem(i + 1, GetLBText(i));
    list.At(static_cast<size_t>(i)).check = i == GetCurSel() ? 1 : 0;
    list.At(static_cast<size_t>(i)).radio = true;
  }
  // No update pass: the entries are not commands.
  struct NoRoute : win::CommandTarget {
    bool OnCmdMsg(win::CommandMessage& message) override {
      if (message.kind == win::CommandMessage::Kind::kUpdate && message.ui != nullptr) message.ui->Enable(true);
      return true;
    }
  } route;
  const gfx::Rect client = GetClientRect();
  // A list, not a menu: no status-bar prompts for its entries.
  PopupMenuOptions options;
  options.notify_owner = false;
  const int chosen = TrackPopupMenu(list, ClientToScreen(gfx::Point{0, std::min(client.Height(), 24)}),
                                    GetTopLevel(), route, {}, on_open, options);
  if (chosen <= 0) return -1;
  SelectFromUser(chosen - 1);
  return chosen - 1;
}

void TimeSpanCombo::OnLButtonDown(unsigned, gfx::Point) { DropDown(); }

CTimeSpanToolBar::~CTimeSpanToolBar() {
  if (g_time_span_bar == this) g_time_span_bar = nullptr;
}

int CTimeSpanToolBar::CreateBar(win::FrameWindow& frame, const gfx::Rect& rect) {
  if (!ToolBarWnd::CreateBar(frame, core_ids::kTimeSpanToolbarResource, rect, core_ids::kToolBarId + 1)) return -1;
  // The button becomes a separator that keeps the place of the controls.
  const std::optional<size_t> index = Model().CommandToIndex(cmd::kTimeSpan);
  if (!index) return -1;
  Model().At(*index).style = win::ToolButtonStyle::kSeparator;
  SetSeparatorWidth(cmd::kTimeSpan, kComboWidth + 10);
  gfx::Rect place = ButtonRect(*index).Offset(10, 0);
  place.right = place.left + kComboWidth;
  // The combo first: the first child lies on top, and the empty static under it must not take the
  // clicks. The list opens as a pop-up, so the box is only as high as a button.
  if (!combo_.CreateControl(this, {place.left, place.top, place.right, place.top + kButtonHeight},
                            cmd::kTimeSpan, "", win::kWsChild | win::kWsVisible | win::kWsTabStop)) {
    return -1;
  }
  label_.CreateControl(this, place, cmd::kTimeSpan, "", win::kWsChild | win::kWsVisible);
  font_ = gfx::Font{};
  font_.height = 22;
  font_.weight = 600;
  font_.face = "Arial";
  combo_.SetFont(font_, false);
  codes_.clear();
  AddSpan(WholeRecordingSpanText(), 0);
  for (const auto& [text, code] :
       {std::pair<const char*, int>{"24h", 1}, {"12h", 2}, {"  6h", 3}, {"  3h", 4}})
    AddSpan(text, code);
  combo_.SetCurSel(0);
  g_time_span_bar = this;
  return 1;
}

void CTimeSpanToolBar::OnDestroy() {
  ToolBarWnd::OnDestroy();
  if (g_time_span_bar == this) g_time_span_bar = nullptr;
}

void CTimeSpanToolBar::AddSpan(std::string_view text, int code) {
  combo_.AddString(text);
  codes_.push_back(code);
}

CTimeSpanToolBar* CTimeSpanToolBar::Current() { return g_time_span_bar; }

int CTimeSpanToolBar::GetSelectedSpan() {
  const CTimeSpanToolBar* bar = g_time_span_bar;
  if (bar == nullptr) return kSpanAll;
  const int index = bar->combo_.GetCurSel();
  if (index < 0 || static_cast<size_t>(index) >= bar->codes_.size()) return kSpanAll;
  return bar->codes_[static_cast<size_t>(index)];
}

bool CTimeSpanToolBar::HasSpanChoice() {
  return g_time_span_bar != nullptr && g_time_span_bar->combo_.GetCount() > 1;
}

void CTimeSpanToolBar::FillSpans(int minutes) {
  CTimeSpanToolBar* bar = g_time_span_bar;
  if (bar == nullptr) return;
  bar->combo_.ResetContent();
  bar->codes_.clear();
  bar->AddSpan(WholeRecordingSpanText(), 0);
  if (minutes > 1440) bar->AddSpan("24h", 1);
  if (minutes > 720) bar->AddSpan("12h", 2);
  if (minutes > 360) bar->AddSpan(" 6h", 3);
  if (minutes > 180) bar->AddSpan(" 3h", 4);
  bar->combo_.SetCurSel(0);
  bar->combo_.Invalidate();
}
