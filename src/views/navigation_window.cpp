#include "views/navigation_window.h"

#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "win/messages.h"

CNavigationWnd::CNavigationWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  // The legends and the tick strip act on these; here they only travel down the node.
  for (const int id : {cmd::kPreviousEvent, cmd::kNextEvent}) AddCommand(id, [this, id] { Broadcast(id); });
  for (const int id : {cmd::kSelectOccurringKinds, cmd::kClearKindSelection}) {
    AddCommand(id, [this, id] { Broadcast(id); });
    AddUpdate(id, [this](win::CmdUI& ui) {
      ui.Enable(GetDocument() != nullptr && GetDocument()->GetDisplayMode() != DisplayMode::kNone);
    });
  }

  AddExtremeCommand(cmd::kGoToHRMin, &CZK470Doc::GetHRMinPosition);
  AddExtremeCommand(cmd::kGoToHRMax, &CZK470Doc::GetHRMaxPosition);
  AddExtremeCommand(cmd::kGoToSinusHRMin, &CZK470Doc::GetSinusHRMinPosition);
  AddExtremeCommand(cmd::kGoToSinusHRMax, &CZK470Doc::GetSinusHRMaxPosition);
  AddExtremeCommand(cmd::kGoToRRMin, &CZK470Doc::GetRRMinPosition);
  AddExtremeCommand(cmd::kGoToRRMax, &CZK470Doc::GetRRMaxPosition);
  AddExtremeCommand(cmd::kGoToNNMin, &CZK470Doc::GetNNMinPosition);
  AddExtremeCommand(cmd::kGoToNNMax, &CZK470Doc::GetNNMaxPosition);
  AddSTCommand(cmd::kGoToST1, 0);
  AddSTCommand(cmd::kGoToST2, 1);
  AddSTCommand(cmd::kGoToST3, 2);

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

bool CNavigationWnd::IsAtStoredPosition(int32_t samples) const {
  const CZK470Doc* doc = GetDocument();
  return doc != nullptr && samples != -1 && doc->SamplesToMs(samples) == doc->GetCurrentPosition();
}

void CNavigationWnd::AddExtremeCommand(int id, int32_t (CZK470Doc::*position)() const) {
  AddCommand(id, [this, id] {
    CZK470Doc* doc = GetDocument();
    if (doc == nullptr) return;
    if (doc->GetExtremesValid() == 0) doc->RecalcHeartRateExtremes(0, 0, 1);
    Broadcast(id);
  });
  AddUpdate(id, [this, position](win::CmdUI& ui) {
    const CZK470Doc* doc = GetDocument();
    const int32_t stored = doc != nullptr ? (doc->*position)() : -1;
    ui.Enable(stored != -1);
    ui.SetCheck(doc != nullptr && doc->GetExtremesValid() != 0 && IsAtStoredPosition(stored) ? 1 : 0);
  });
}

void CNavigationWnd::AddSTCommand(int id, int channel) {
  AddCommand(id, [this, channel] {
    Broadcast(kAreaGoToSTPosition, static_cast<win::WParam>(CZK470Doc::GetSTChannelIndex(channel)));
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
