#pragma once

#include <functional>

#include "analysis/editing/beat_editor.h"
#include "views/beat_edit_request.h"

class CZK470Doc;

// The program's edit sink: hands each request of the review windows to a new beat editor of the
// analysis library and answers the editor's event hit test through the asking window's layout.
// Install with SetBeatEditSink; user-interface thread only.
class CAnalysisBeatEditSink : public CBeatEditSink {
 public:
  // st_reanalysis: what a Yes to the question after a long range relabel runs (the analysis
  // run's ST re-analysis of the whole recording); empty skips it.
  explicit CAnalysisBeatEditSink(std::function<void(CZK470Doc&)> st_reanalysis = {});

  void ExecuteCommand(CZK470Doc& document, const TBeatEditRequest& request) override;
  void CheckExampleStrips(CZK470Doc& document) override;
  bool AsksForTheClass() const override;

  // The window's record as the editor takes it.
  static analysis::TBeatEditRequest ToEditorRequest(const TBeatEditRequest& request);
  // The index of the event marker under the request's point in its window, -1 for none.
  static int EventAtPoint(const analysis::TBeatEditRequest& request);

 private:
  std::function<void(CZK470Doc&)> st_reanalysis_;
};
