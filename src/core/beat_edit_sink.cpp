#include "core/beat_edit_sink.h"

#include <utility>

#include "analysis/example_strips.h"
#include "document/zk470_doc.h"
#include "views/area_messages.h"
#include "views/hit_record.h"
#include "views/window_area.h"
#include "win/window.h"

CAnalysisBeatEditSink::CAnalysisBeatEditSink(std::function<void(CZK470Doc&)> st_reanalysis)
    : st_reanalysis_(std::move(st_reanalysis)) {}

analysis::TBeatEditRequest CAnalysisBeatEditSink::ToEditorRequest(const TBeatEditRequest& request) {
  analysis::TBeatEditRequest out;
  out.window = request.window;
  out.x = request.x;
  out.y = request.y;
  out.off_beat = request.off_beat;
  out.position = request.position;
  out.beat_index = request.beat_index;
  out.key_flags = request.key_flags;
  out.direct = request.direct;
  out.command = request.command;
  // Passed on as it stands: the windows send 0 for a beat of the template class on show, whose
  // entry must then stay put (a pending relabel) so that the page does not change under the user.
  out.in_selected_class = request.not_in_selected_class;
  out.beat_class = request.beat_class;
  return out;
}

int CAnalysisBeatEditSink::EventAtPoint(const analysis::TBeatEditRequest& request) {
  auto* window =
      dynamic_cast<CAreaWnd*>(win::Window::FromHandle(static_cast<win::WindowHandle>(request.window)));
  if (window == nullptr || window->GetConfig() == nullptr) return -1;
  CHitRecord hit{request.x, request.y};
  hit.index = -1;
  window->GetConfig()->BroadcastUntilHandled(areamsg::kEventAtPoint,
                                             static_cast<win::WParam>(request.key_flags),
                                             reinterpret_cast<win::LParam>(&hit));
  if (hit.position == -1 || hit.kind != CHitRecord::kBeat) return -1;
  return hit.index;
}

void CAnalysisBeatEditSink::ExecuteCommand(CZK470Doc& document, const TBeatEditRequest& request) {
  TBeatEditor editor(document, 1);
  editor.GetHooks().event_at_point = &CAnalysisBeatEditSink::EventAtPoint;
  if (st_reanalysis_) editor.GetHooks().st_reanalysis = st_reanalysis_;
  editor.ExecuteCommand(ToEditorRequest(request));
}

bool CAnalysisBeatEditSink::AsksForTheClass() const {
  const TBeatEditor::Hooks& hooks = TBeatEditor::DefaultHooks();
  return hooks.beat_dialog && hooks.choice_dialog;
}

void CAnalysisBeatEditSink::CheckExampleStrips(CZK470Doc& document) {
  analysis::CheckExampleStrips(document);
}
