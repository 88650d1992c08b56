#pragma once

#include <string_view>
#include <vector>

#include "recorder/recorder_search.h"
#include "recorder/search_status_dlg.h"

// The device search's dialogs as the user sees them: message boxes through win::CurrentPrompt(),
// the communication-error dialog, the list of recorders and the status window.
// User-interface thread only.
class RecorderSearchDialogs : public recorder::RecorderSearchUi {
 public:
  void ShowMessage(std::string_view text, unsigned icon) override;
  bool AskRetry(std::string_view text) override;
  bool AskRetryAfterCommError() override;
  Choice ChooseRecorder(const std::vector<std::string>& entries) override;
  void ShowStatus(std::string_view title, std::string_view text) override;
  void CloseStatus() override;

 private:
  TSearchStatusDlg status_;
};

// The communication-error question of a run with nobody at the screen: asked through the
// unattended prompt, which answers Cancel and logs it.
bool AskRetryUnattended();

// Installs one process-wide RecorderSearchDialogs as the search's user interface.
void InstallRecorderSearchDialogs();
