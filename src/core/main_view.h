#pragma once

#include <string>

#include "document/update_hints.h"
#include "win/frame_window.h"

class CZK470Doc;

// The main frame's view until the screen layouts arrive: it shows the open recording's name and
// patient on an empty work area, carries the commands that belong to the main view (open, close,
// status refresh, the patient sheet) and offers the read-out operations that the automation run
// calls. It routes every command it does not handle to the document. User-interface thread only.
class CMainView : public win::View, public document::DocumentView {
 public:
  explicit CMainView(CZK470Doc& doc);
  ~CMainView() override;

  CZK470Doc& GetDocument() const { return doc_; }

  // The read-recorder command: without a recorder link there is no recording to read; records
  // exit code 20 and deletes the document's work files 6 and 7 as a failed read-out does.
  virtual void ReadRecorder();
  // The SD-card import: without a card path holding a RAW file nothing is imported (exit code 20).
  virtual void ImportRawFile();

  void OnUpdate(document::DocumentView* sender, int hint, THintObject* object) override;
  // The hints received so far (tests).
  int UpdateCount() const { return updates_; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSize(int type, int cx, int cy) override { Invalidate(); }

 private:
  void OnFileOpen();
  void OnFileClose();
  // The patient sheet on the open recording (32922, 33315); at its diagnosis page (33316).
  void OnEditPatientData();
  void OnEditDiagnosis();

  CZK470Doc& doc_;
  int updates_ = 0;
};
