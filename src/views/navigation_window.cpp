#include "views/navigation_window.h"

#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/messages.h"
#include "win/popup_menu.h"

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

void CNavigationWnd::OnRButtonUp(unsigned, gfx::Point point) {
  // The platform's default answer to a released right button: the context menu at the pointer.
  const gfx::Point screen = ClientToScreen(point);
  SendMessage(win::kWmContextMenu, Handle(), win::MakeLParam(screen.x, screen.y));
}

void CNavigationWnd::OnContextMenu(win::Window*, gfx::Point screen_point) {
  // The entries' texts are the commands' tool tips, which both language packs carry.
  static constexpr int kEntries[] = {
      cmd::kPreviousEvent,
      cmd::kNextEvent,
      0,
      cmd::kSelectOccurringKinds,
      cmd::kClearKindSelection,
      0,
      cmd::kSetMark,
      cmd::kReturnToMark,
      cmd::kGoToStart,
      0,
      cmd::kGoToHRMin,
      cmd::kGoToHRMax,
      cmd::kGoToSinusHRMin,
      cmd::kGoToSinusHRMax,
      cmd::kGoToRRMin,
      cmd::kGoToRRMax,
      cmd::kGoToNNMin,
      cmd::kGoToNNMax,
      0,
      cmd::kGoToST1,
      cmd::kGoToST2,
      cmd::kGoToST3,
  };
  win::Menu menu;
  for (const int id : kEntries) {
    if (id == 0) {
      menu.AppendSeparator();
      continue;
    }
    const std::string prompt = platform::LoadString(id);
    const size_t line_end = prompt.find('\n');
    menu.AppendItem(id, line_end == std::string::npos ? prompt : prompt.substr(line_end + 1));
  }
  // Owned by the top-level window: the chosen command takes the main route, where the document's
  // rules (return to mark, go to start) and this window's handlers both take part.
  if (win::Window* owner = GetTopLevel())
    win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y,
                        *owner);
}

std::unique_ptr<CAreaWnd> CNavigationWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CNavigationWnd>(this, document);
}
