#include "win/dialog.h"

#include "win/data_exchange.h"
#include "win/system_metrics.h"

namespace win {
namespace {

bool IsPushButton(const Window* window) {
  const auto* button = dynamic_cast<const Button*>(window);
  return button != nullptr &&
         (button->Kind() == ControlKind::kPushButton || button->Kind() == ControlKind::kDefPushButton);
}

// The tab stops of a dialog in z-order, with those of the pages inside it.
void CollectTabStops(const Window& window, std::vector<Window*>& stops) {
  for (Window* child : window.Children()) {
    // Own bits only: the dialog itself is still hidden while it sets its first focus.
    if ((child->GetStyle() & kWsVisible) == 0 || !child->IsWindowEnabled()) continue;
    if (auto* control = dynamic_cast<Control*>(child)) {
      if (control->IsTabStop()) stops.push_back(control);
    } else if (dynamic_cast<Dialog*>(child) != nullptr) {
      CollectTabStops(*child, stops);
    }
  }
}

Window* FindDescendant(const Window& window, int id) {
  for (Window* child : window.Children()) {
    if (child->GetDlgCtrlID() == id && dynamic_cast<Control*>(child) != nullptr) return child;
  }
  for (Window* child : window.Children()) {
    if (dynamic_cast<Dialog*>(child) != nullptr) {
      if (Window* found = FindDescendant(*child, id)) return found;
    }
  }
  return nullptr;
}

}  // namespace

gfx::Size DialogPixelSize(const DialogTemplate& dialog_template) {
  return {DluToPixelsX(dialog_template.cx), DluToPixelsY(dialog_template.cy)};
}

Dialog::Dialog(int template_id, Window* parent) : template_id_(template_id), parent_window_(parent) {
  AddCommand(kIdOk, [this] { OnOK(); });
  AddCommand(kIdCancel, [this] { OnCancel(); });
}

Dialog::~Dialog() {
  // The controls are members of this object: end the window while they still exist.
  DestroyWindow();
}

void Dialog::AttachControl(int id, Control& control) { attached_[id] = &control; }

void Dialog::BindControls() {
  DataExchange dx(*this, DataExchange::Mode::kBind);
  DoDataExchange(dx);
}

bool Dialog::CreateTemplateControls(const DialogTemplate& dialog_template) {
  // Those of an earlier run of the dialog have lost their windows with it.
  std::erase_if(owned_controls_, [](const std::unique_ptr<Control>& c) { return !c->IsWindow(); });
  for (const ControlTemplate& ct : dialog_template.controls) {
    Control* control = nullptr;
    if (const auto it = attached_.find(ct.id); it != attached_.end() && !it->second->IsWindow()) {
      control = it->second;
    } else {
      owned_controls_.push_back(MakeControl(ct.kind));
      control = owned_controls_.back().get();
    }
    const gfx::Rect rect{DluToPixelsX(ct.x), DluToPixelsY(ct.y), DluToPixelsX(ct.x + ct.cx), DluToPixelsY(ct.y + ct.cy)};
    if (!control->CreateControl(this, rect, ct.id, ct.text != nullptr ? ct.text : "", TemplateControlStyle(ct))) {
      return false;
    }
    if (ct.kind == ControlKind::kDefPushButton) def_id_ = ct.id;
  }
  return true;
}

bool Dialog::CreateDialogWindow(Window* parent, bool child) {
  const DialogTemplate* dialog_template = Templates().Find(template_id_);
  if (dialog_template == nullptr) return false;
  const gfx::Size size = DialogPixelSize(*dialog_template);
  const uint32_t style = child ? kWsChild : (kWsPopup | kWsCaption | kWsSysMenu);
  if (!Create(parent, {0, 0, size.cx, size.cy}, style, 0, dialog_template->caption)) return false;
  SetFont(DialogFont(), false);
  if (!CreateTemplateControls(*dialog_template)) {
    DestroyWindow();
    return false;
  }
  if (!child) CenterWindow();
  return true;
}

void Dialog::InitDialogWindow() {
  const WindowHandle handle = Handle();
  const bool focus_first = SendMessage(kWmInitDialog) != 0;
  if (Windows().FromHandle(handle) != this || ended_) return;
  if (focus_first) {
    std::vector<Window*> stops;
    CollectTabStops(*this, stops);
    if (!stops.empty()) GotoDlgCtrl(stops.front());
  }
}

int Dialog::DoModal() {
  if (IsWindow()) return -1;
  WindowSystem& ws = Windows();
  Window* owner = parent_window_ != nullptr && parent_window_->IsWindow() ? parent_window_->GetTopLevel()
                                                                          : ws.MainWindow();
  const WindowHandle previous_focus = ws.GetFocus() != nullptr ? ws.GetFocus()->Handle() : 0;
  ended_ = false;
  result_ = -1;
  BindControls();
  if (!CreateDialogWindow(owner, false)) return -1;
  const bool enable_owner = owner != nullptr && owner->IsWindowEnabled();
  if (enable_owner) owner->EnableWindow(false);
  running_modal_ = true;
  InitDialogWindow();
  if (IsWindow() && !ended_) ShowWindow(kSwShow);
  const WindowHandle handle = Handle();
  ws.RunModalLoop([this, handle] { return ended_ || Windows().FromHandle(handle) != this; }, this);
  running_modal_ = false;
  if (enable_owner && owner->IsWindow()) owner->EnableWindow(true);
  if (IsWindow()) {
    ShowWindow(kSwHide);
    DestroyWindow();
  }
  if (owner != nullptr && owner->IsWindow() && owner->IsWindowVisible()) ws.SetActiveWindow(owner);
  if (Window* focus = ws.FromHandle(previous_focus)) ws.SetFocus(focus);
  return result_;
}

bool Dialog::CreateModeless(Window* parent, bool show) {
  if (IsWindow()) return false;
  if (parent != nullptr) parent_window_ = parent;
  ended_ = false;
  result_ = -1;
  BindControls();
  if (!CreateDialogWindow(parent_window_, false)) return false;
  InitDialogWindow();
  if (show && IsWindow() && !ended_) ShowWindow(kSwShow);
  return IsWindow();
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (!running_modal_ && IsWindow()) ShowWindow(kSwHide);
}

bool Dialog::UpdateData(bool save_and_validate) {
  DataExchange dx(*this, save_and_validate ? DataExchange::Mode::kSave : DataExchange::Mode::kLoad);
  DoDataExchange(dx);
  return !dx.Failed();
}

void Dialog::SetDefID(int id) {
  if (auto* old = dynamic_cast<Button*>(FindDescendant(*this, def_id_))) old->SetDefault(false);
  def_id_ = id;
  if (auto* button = dynamic_cast<Button*>(FindDescendant(*this, id))) button->SetDefault(true);
}

void Dialog::GotoDlgCtrl(Window* control) {
  if (control == nullptr || !control->IsWindow()) return;
  control->SetFocus();
  if (auto* edit = dynamic_cast<Edit*>(control)) edit->SetSel(0, -1);
}

void Dialog::NextDlgCtrl(bool previous) {
  std::vector<Window*> stops;
  CollectTabStops(*this, stops);
  if (stops.empty()) return;
  Window* focus = Windows().GetFocus();
  const auto it = std::find(stops.begin(), stops.end(), focus);
  size_t index = 0;
  if (it == stops.end()) {
    index = previous ? stops.size() - 1 : 0;
  } else {
    const size_t at = static_cast<size_t>(it - stops.begin());
    index = previous ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  }
  GotoDlgCtrl(stops[index]);
}

bool Dialog::PreTranslateMessage(uint32_t message, WParam wparam, LParam lparam) {
  // Pages leave the dialog keys to the sheet around them.
  if (IsChild() || message != kWmKeyDown) return false;
  WindowSystem& ws = Windows();
  switch (static_cast<int>(wparam)) {
    case kVkTab:
      NextDlgCtrl(ws.IsKeyDown(kVkShift));
      return true;
    case kVkReturn: {
      Window* focus = ws.GetFocus();
      // A multi-line field takes Enter as a line break: a half-typed text must not answer the dialog.
      if (auto* edit = dynamic_cast<Edit*>(focus);
          edit != nullptr && edit->IsMultiline() && !edit->IsReadOnly()) {
        return false;
      }
      int id = def_id_;
      Window* control = nullptr;
      if (focus != nullptr && IsPushButton(focus) && focus->IsSelfOrDescendantOf(this)) {
        control = focus;
        id = focus->GetDlgCtrlID();
      } else {
        control = FindDescendant(*this, id);
      }
      if (control != nullptr && !control->IsInputEnabled()) {
        ws.MessageBeep();
        return true;
      }
      SendMessage(kWmCommand, MakeWParam(id, kBnClicked), static_cast<LParam>(control ? control->Handle() : 0));
      return true;
    }
    case kVkEscape: {
      Window* cancel = FindDescendant(*this, kIdCancel);
      if (cancel != nullptr && !cancel->IsInputEnabled()) {
        ws.MessageBeep();
        return true;
      }
      SendMessage(kWmCommand, MakeWParam(kIdCancel, kBnClicked), static_cast<LParam>(cancel ? cancel->Handle() : 0));
      return true;
    }
    default:
      return false;
  }
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::OnClose() {
  Window* cancel = FindDescendant(*this, kIdCancel);
  if (cancel != nullptr && !cancel->IsInputEnabled()) {
    Windows().MessageBeep();
    return;
  }
  SendMessage(kWmCommand, MakeWParam(kIdCancel, kBnClicked), static_cast<LParam>(cancel ? cancel->Handle() : 0));
}

LResult Dialog::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  if (message == kWmInitDialog) return OnInitDialog() ? 1 : 0;
  return Window::WindowProc(message, wparam, lparam);
}

}  // namespace win
