#include "views/base_view.h"

#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "views/layout_tree.h"
#include "win/messages.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace {

bool g_view_closing = false;

[[maybe_unused]] const bool kRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kViews, [] { g_view_closing = false; });

}  // namespace

void SetViewClosing(bool closing) { g_view_closing = closing; }

bool IsViewClosing() { return g_view_closing; }

CBaseView::CBaseView(CZK470Doc* document) : document_(document) {
  // The view class's window-coloured background: where no area of a layout paints (the seams
  // between windows), a screen shown before must not stay visible.
  SetBackground(win::GetSysColor(win::SysColor::kWindow));
  if (document_ != nullptr) document_->AddView(this);
  AddCommand(cmd::kFilePrint, [this] { OnFilePrint(); });
  AddCommand(cmd::kFilePrintPreview, [this] { OnFilePrintPreview(); });
}

CBaseView::~CBaseView() {
  if (document_ != nullptr) document_->RemoveView(this);
  // The layouts and their areas belong to the list, not to the view.
  selector_.reset();
}

bool CBaseView::SelectInitialConfiguration() { return selector_ != nullptr && selector_->Select(0); }

int CBaseView::OnCreate() {
  if (win::View::OnCreate() == -1) return -1;
  selector_ = std::make_unique<CViewConfigSelector>(GetConfigurations(), this);
  return SelectInitialConfiguration() ? 0 : -1;
}

void CBaseView::OnSize(int type, int cx, int cy) {
  win::View::OnSize(type, cx, cy);
  if (type == win::kSizeMinimized || selector_ == nullptr) return;
  if (CViewConfiguration* layout = selector_->GetCurrent()) layout->Layout({0, 0, cx, cy});
}

void CBaseView::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (selector_ == nullptr) return;
  if (CViewConfiguration* layout = selector_->GetCurrent()) layout->Paint(canvas, GetClientRect());
}

void CBaseView::OnUpdate(document::DocumentView* sender, int hint, THintObject* object) {
  if (selector_ == nullptr) return;
  if (CViewConfiguration* layout = selector_->GetCurrent()) layout->NotifyAll(sender, hint, object);
}

bool CBaseView::OnCmdMsg(win::CommandMessage& message) {
  if (win::OfferToFocusedChild(*this, message)) return true;
  return win::View::OnCmdMsg(message);
}

void CBaseView::OnFilePrint() { win::RunPrintJob(*this, win::Windows().AppTitle(), false); }

void CBaseView::OnFilePrintPreview() { win::RunPrintJob(*this, win::Windows().AppTitle(), true); }
