#include "views/navigation_window.h"

#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "win/messages.h"

CNavigationWnd::CNavigationWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  // The legends and the tick strip act on these; here they only travel down the node.
  for (const int id : {cmd::kPreviousEvent, cmd::kNextEvent}) AddCommand(id, [this, id] { Broadcast(id); });
  AddPositionJumpCommands();

  AddNotification(kEventKindComboId, win::kCbnSelChange, [this] {
    if (CZK470Doc* doc = GetDocument()) {
      doc->UpdateAllViews(nullptr, hint::kArea20000);
      doc->UpdateAllViews(nullptr, hint::kDocumentChanged);
    }
  });
}

void CNavigationWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  // Tells the caliper users of the band that the caliper is on; none of the built-in ones acts.
  Broadcast(areamsg::kCaliper, 1);
}

int CNavigationWnd::Broadcast(uint32_t msg, win::WParam wparam) {
  return GetConfig()->BroadcastAll(msg, wparam, 0);
}

void CNavigationWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CNavigationWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CNavigationWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

std::unique_ptr<CAreaWnd> CNavigationWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CNavigationWnd>(this, document);
}
