#include "views/window_area.h"

#include <utility>

#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/navigation_window.h"
#include "win/frame_window.h"
#include "win/system_metrics.h"

namespace {

constexpr uint32_t kChildStyle = win::kWsChild | win::kWsVisible | win::kWsClipChildren;

bool IsFocusableWindowNode(const CViewAreaConfig* node) {
  const auto* window_node = dynamic_cast<const CWindowAreaConfig*>(node);
  return window_node != nullptr && window_node->IsFocusable();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CWindowAreaConfig

CWindowAreaConfig::CWindowAreaConfig() { SetClip(true); }

CWindowAreaConfig::CWindowAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille,
                                     bool focusable)
    : CViewAreaConfig(position, min_size, per_mille, true), focusable_(focusable) {}

CWindowAreaConfig::~CWindowAreaConfig() {
  // The bars of the last creation may still live in a frame that outlasts the tree; end them
  // before the objects go.
  if (tool_bar_ && tool_bar_->IsWindow()) tool_bar_->DestroyWindow();
  if (second_tool_bar_ && second_tool_bar_->IsWindow()) second_tool_bar_->DestroyWindow();
}

bool CWindowAreaConfig::CreateAreas(CZK470Doc* doc) {
  if (GetParent() == nullptr) return true;
  std::unique_ptr<CViewArea> created = CreateArea(doc);
  if (!created) return false;
  SetArea(std::move(created));
  auto* area = dynamic_cast<CWindowArea*>(GetArea());
  if (area == nullptr || area->GetFrame() == nullptr) return false;
  CAreaFrameWnd& frame = *area->GetFrame();

  std::unique_ptr<CAreaWnd> window = CreateWindow(doc);
  if (!window) return false;
  // Recorded before its creation, so that window nodes nested below this one find the hosted
  // window, and not the frame, as their parent while its creation makes them.
  CAreaWnd* hosted = window.get();
  area->SetHostedWindow(std::move(window));
  if (!hosted->CreateAreaWindow()) {
    area->SetHostedWindow(nullptr);
    return false;
  }

  uint32_t style = kDockAlignAny;
  int dock_bar = kDockBarTop;
  tool_bar_ = hosted->CreateToolBar(frame, &style, &dock_bar);
  if (tool_bar_) frame.DockControlBar(tool_bar_.get(), dock_bar);
  second_tool_bar_ = hosted->CreateSecondToolBar(frame, &style, &dock_bar);
  if (second_tool_bar_) frame.DockControlBar(second_tool_bar_.get(), dock_bar);
  // The frame may keep its size through the first layout; place the window inside its border now.
  frame.RecalcLayout();
  return true;
}

win::Window* CWindowAreaConfig::GetParentWindow() const {
  if (GetArea() != nullptr) return GetArea()->GetWindow();
  return CViewAreaConfig::GetParentWindow();
}

std::unique_ptr<CViewArea> CWindowAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CWindowArea>(this, doc);
}

std::unique_ptr<CAreaWnd> CWindowAreaConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CAreaWnd>(this, document);
}

// ---------------------------------------------------------------------------------------------
// CWindowArea

CWindowArea::CWindowArea(CWindowAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {
  // The node's own override would answer this area, which is not yet stored: ask the tree above.
  win::Window* parent = config->CViewAreaConfig::GetParentWindow();
  frame_ = std::make_unique<CAreaFrameWnd>(config, this);
  if (parent == nullptr || !frame_->Create(parent, rect_, kChildStyle, 0)) frame_.reset();
}

CWindowArea::~CWindowArea() {
  // While the view goes, its window has taken these windows with it already.
  if (!IsViewClosing() && frame_ && frame_->IsWindow()) frame_->DestroyWindow();
  window_.reset();
  frame_.reset();
}

int CWindowArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  return window_ ? window_->OnAreaMessage(msg, wparam, lparam) : 0;
}

void CWindowArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (window_) window_->OnAreaNotify(sender, hint, object);
}

bool CWindowArea::HasWindow() const { return frame_ && frame_->IsWindow() && window_ && window_->IsWindow(); }

win::Window* CWindowArea::GetWindow() const {
  if (window_) return window_.get();
  return frame_.get();
}

void CWindowArea::SetRect(const gfx::Rect& rect) {
  rect_ = rect;
  if (!frame_ || !frame_->IsWindow()) return;
  const gfx::Rect before = frame_->GetWindowRectInParent();
  frame_->MoveWindow(rect, true);
  // Without a size change the frame sends no size message, yet a window made at its final size
  // must still lay out its areas once they are attached.
  if (before.Width() == rect.Width() && before.Height() == rect.Height() && window_ && window_->IsWindow())
    window_->LayOutAreas();
}

gfx::Rect CWindowArea::GetRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }

void CWindowArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  if (window_) window_->Attach(view);
}

void CWindowArea::SetHostedWindow(std::unique_ptr<CAreaWnd> window) { window_ = std::move(window); }

// ---------------------------------------------------------------------------------------------
// CAreaFrameWnd

CAreaFrameWnd::CAreaFrameWnd(CWindowAreaConfig* config, CWindowArea* area) : config_(config), area_(area) {
  // The frame class's window-coloured background: the 1-pixel border of a window that cannot
  // take the focus stays plain.
  SetBackground(win::GetSysColor(win::SysColor::kWindow));
}

CAreaFrameWnd::~CAreaFrameWnd() { DestroyWindow(); }

void CAreaFrameWnd::DockControlBar(win::Window* bar, int dock_bar) {
  if (bar == nullptr) return;
  bars_.push_back({bar, dock_bar == kDockBarLeft ? kDockBarLeft : kDockBarTop, bar->Handle()});
  RecalcLayout();
}

void CAreaFrameWnd::RecalcLayout() {
  if (!IsWindow()) return;
  const int border = config_->IsFocusable() ? 3 : 1;
  const gfx::Rect client = GetClientRect();
  gfx::Rect free{client.left + border, client.top + border, client.right - border, client.bottom - border};
  // Top bars take the whole width first, then left bars the height that is left.
  for (const int dock : {kDockBarTop, kDockBarLeft}) {
    for (const DockedBar& docked : bars_) {
      win::Window* bar = win::Window::FromHandle(docked.handle);
      if (docked.dock_bar != dock || bar == nullptr || bar->GetParent() != this ||
          (bar->GetStyle() & win::kWsVisible) == 0) {
        continue;
      }
      const gfx::Rect place = bar->GetWindowRectInParent();
      if (dock == kDockBarTop) {
        const int height = std::min(place.Height(), std::max(free.bottom - free.top, 0));
        bar->MoveWindow({free.left, free.top, std::max(free.right, free.left), free.top + height});
        free.top += height;
      } else {
        const int width = std::min(place.Width(), std::max(free.right - free.left, 0));
        bar->MoveWindow({free.left, free.top, free.left + width, std::max(free.bottom, free.top)});
        free.left += width;
      }
    }
  }
  free.right = std::max(free.right, free.left);
  free.bottom = std::max(free.bottom, free.top);
  if (win::Window* hosted = GetDlgItem(kHostedWindowId)) {
    hosted->MoveWindow(free, true);
    hosted->Invalidate(true);
  }
}

gfx::Rect CAreaFrameWnd::GetHostedRect() const {
  if (const win::Window* hosted = GetDlgItem(kHostedWindowId)) return hosted->GetWindowRectInParent();
  return {};
}

bool CAreaFrameWnd::OnCmdMsg(win::CommandMessage& message) {
  if (win::OfferToChildren(*this, message)) return true;
  return win::Window::OnCmdMsg(message);
}

void CAreaFrameWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (!config_->IsFocusable()) return;
  const gfx::Color color =
      win::GetSysColor(area_->HasFocus() ? win::SysColor::kActiveCaption : win::SysColor::kInactiveCaption);
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, color});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, color});
  canvas.Rectangle(GetClientRect());
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

void CAreaFrameWnd::OnSize(int type, int cx, int cy) { RecalcLayout(); }

// ---------------------------------------------------------------------------------------------
// CAreaWnd

CAreaWnd::CAreaWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : area_(dynamic_cast<CWindowArea*>(config->GetArea())), config_(config), document_(document) {
  SetBackground(win::GetSysColor(win::SysColor::kWindow));
}

CAreaWnd::~CAreaWnd() { DestroyWindow(); }

bool CAreaWnd::CreateAreaWindow() {
  win::Window* parent = area_ != nullptr ? area_->GetFrame() : nullptr;
  if (parent == nullptr) return false;
  return Create(parent, area_->StoredRect(), kChildStyle, kHostedWindowId);
}

int CAreaWnd::OnCreate() {
  if (config_->IsFocusable()) SetFocus();
  return config_->CreateChildAreas(document_) ? 0 : -1;
}

void CAreaWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  Draw(canvas, update);
  config_->PaintChildren(canvas, update);
}

void CAreaWnd::LayOutAreas() {
  const gfx::Rect client = GetClientRect();
  OnSize(0, client.Width(), client.Height());
}

void CAreaWnd::OnSize(int type, int cx, int cy) {
  if (config_->IsAttached()) OnLayout(0, 0, cx, cy);
  config_->LayoutChildren({0, 0, cx, cy});
}

void CAreaWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  if (config_->IsFocusable() || keys_on_click_) SetFocus();
}

void CAreaWnd::OnRButtonDown(unsigned flags, gfx::Point point) {
  if (config_->IsFocusable() || keys_on_click_) SetFocus();
  OnRightButtonDown(point);
}

void CAreaWnd::OnSetFocus(win::Window* old_focus) {
  win::Window::OnSetFocus(old_focus);
  if (!config_->IsFocusable() && keys_on_click_) return;
  if (!config_->IsFocusable()) {
    if (old_focus != nullptr && old_focus != this && old_focus->IsWindow()) old_focus->SetFocus();
    return;
  }
  if (area_ == nullptr) return;
  area_->SetHasFocus(true);
  if (CAreaFrameWnd* frame = area_->GetFrame()) frame->Invalidate(true);
}

void CAreaWnd::OnKillFocus(win::Window* new_focus) {
  if (area_ == nullptr) return;
  area_->SetHasFocus(false);
  if (CAreaFrameWnd* frame = area_->GetFrame()) frame->Invalidate(true);
}

void CAreaWnd::OnChar(int character, unsigned repeat, unsigned flags) {
  if (character != '\t') return;
  const bool backward = win::Windows().IsKeyDown(win::kVkShift);
  const auto step = [backward](const CViewAreaConfig* node) {
    return backward ? node->PrevFocusable() : node->NextFocusable();
  };
  // Every sibling is visited at most once before the search comes back to this node.
  CViewAreaConfig* node = step(config_);
  for (int guard = config_->GetParent() != nullptr ? config_->GetParent()->GetChildCount() : 0;
       node != nullptr && node != config_ && !IsFocusableWindowNode(node) && guard > 0; --guard) {
    node = step(node);
  }
  if (node == nullptr || node->GetArea() == nullptr) return;
  auto* area = dynamic_cast<CWindowArea*>(node->GetArea());
  win::Window* target = area != nullptr ? area->GetHostedWindow() : node->GetArea()->GetWindow();
  if (target != nullptr && target->IsWindow()) target->SetFocus();
}

// ---------------------------------------------------------------------------------------------
// The heart-rate trend window

std::unique_ptr<CAreaWnd> CHRTrendWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CHRTrendWnd>(this, document);
}

void CHRTrendWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CHRTrendWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CHRTrendWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CAreaWnd::AddPositionJumpCommands() {
  for (const int id : {cmd::kSelectOccurringKinds, cmd::kClearKindSelection}) {
    AddCommand(id, [this, id] { GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0); });
    AddUpdate(id, [this](win::CmdUI& ui) {
      ui.Enable(GetDocument() != nullptr && GetDocument()->GetDisplayMode() != DisplayMode::kNone);
    });
  }
  AddExtremeJump(cmd::kGoToHRMin, &CZK470Doc::GetHRMinPosition);
  AddExtremeJump(cmd::kGoToHRMax, &CZK470Doc::GetHRMaxPosition);
  AddExtremeJump(cmd::kGoToSinusHRMin, &CZK470Doc::GetSinusHRMinPosition);
  AddExtremeJump(cmd::kGoToSinusHRMax, &CZK470Doc::GetSinusHRMaxPosition);
  AddExtremeJump(cmd::kGoToRRMin, &CZK470Doc::GetRRMinPosition);
  AddExtremeJump(cmd::kGoToRRMax, &CZK470Doc::GetRRMaxPosition);
  AddExtremeJump(cmd::kGoToNNMin, &CZK470Doc::GetNNMinPosition);
  AddExtremeJump(cmd::kGoToNNMax, &CZK470Doc::GetNNMaxPosition);
  AddSTJump(cmd::kGoToST1, 0);
  AddSTJump(cmd::kGoToST2, 1);
  AddSTJump(cmd::kGoToST3, 2);
  AddCommand(cmd::kSetMark, [this] {
    if (CZK470Doc* doc = GetDocument()) doc->GetViewFields().position_mark = doc->GetCurrentPosition();
  });
  // Enabled by the document's own rule (display mode and a mark set).
  AddCommand(cmd::kReturnToMark, [this] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    doc->SetCurrentPosition(doc->GetViewFields().position_mark, 0);
    if (CViewAreaConfig* root = GetConfig()->GetRoot())
      root->BroadcastUntilHandled(areamsg::kPositionPaged, 0, 0);
  });
}

bool CAreaWnd::IsAtStoredPosition(int32_t samples) const {
  const CZK470Doc* doc = GetDocument();
  return doc != nullptr && samples != -1 && doc->SamplesToMs(samples) == doc->GetCurrentPosition();
}

void CAreaWnd::AddExtremeJump(int id, int32_t (CZK470Doc::*position)() const) {
  AddCommand(id, [this, id] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    if (doc->GetExtremesValid() == 0) doc->RecalcHeartRateExtremes(0, 0, 1);
    GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
  });
  AddUpdate(id, [this, position](win::CmdUI& ui) {
    const CZK470Doc* doc = GetDocument();
    const int32_t stored = doc != nullptr ? (doc->*position)() : -1;
    ui.Enable(stored != -1);
    ui.SetCheck(doc != nullptr && doc->GetExtremesValid() != 0 && IsAtStoredPosition(stored) ? 1 : 0);
  });
}

void CAreaWnd::AddSTJump(int id, int channel) {
  AddCommand(id, [this, channel] {
    GetConfig()->BroadcastAll(kAreaGoToSTPosition,
                              static_cast<win::WParam>(CZK470Doc::GetSTChannelIndex(channel)), 0);
  });
  AddUpdate(id, [this, channel](win::CmdUI& ui) {
    const CZK470Doc* doc = GetDocument();
    const int index = CZK470Doc::GetSTChannelIndex(channel);
    // The record keeps ST positions for the first ST indices only; a channel beyond them has none.
    if (doc == nullptr || !CZK470Doc::IsSTChannel(channel) || index < 0 ||
        index >= TRecordingData::kStChannels) {
      ui.Enable(false);
      ui.SetCheck(0);
      return;
    }
    const TRecordingData& record = doc->GetRecordingData();
    const bool flag = record.st_channel_analysed[static_cast<size_t>(index)] != 0;
    ui.Enable(flag);
    ui.SetCheck(flag && IsAtStoredPosition(record.deepest_st_position[static_cast<size_t>(index)]) ? 1 : 0);
  });
}
