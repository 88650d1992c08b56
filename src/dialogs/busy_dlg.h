#pragma once

#include <string>
#include <string_view>

#include "win/controls.h"
#include "win/dialog.h"

// The shared wait window for a few seconds of work on the user-interface thread without a message
// pump (opening a recording, switching to a heavy screen, rebuilding a table): shown modelessly,
// painted at once, the wait cursor on; the user cannot close it; its owner ends and deletes it.
// The most recently constructed busy dialog decides the caption (one exists at a time).
// User-interface thread only.
class TBusyDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30755;
  static constexpr int kAnimationId = 1206;
  static constexpr int kProgressId = 1211;
  static constexpr int kCancelId = 1210;
  // Captions: mode 0 (opening a document) and mode 1 (any other work).
  static constexpr int kOpeningCaption = 10002;
  static constexpr int kBusyCaption = 10003;
  // The system's file-copy clip; the animation is loaded with it but never started or shown.
  static constexpr const char* kClip = "FILECOPY.AVI";

  TBusyDlg(int mode, std::string text);
  ~TBusyDlg() override;

  // Creates and shows the window, begins the wait cursor and paints the window at once.
  void ShowBusy();
  // Ends the wait cursor that ShowBusy began.
  void EndBusy();

  int Mode() const { return mode_; }
  // The module-wide state the last constructor set.
  static int CurrentMode();
  static const std::string& CurrentText();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  win::Animation animation_;
  win::ProgressBar progress_;
  int mode_ = 0;
  int cancel_allowed_ = 0;
  bool wait_cursor_ = false;
};
