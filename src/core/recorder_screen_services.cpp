#include "core/recorder_screen_services.h"

#include "core/automation_command_line_info.h"
#include "core/recorder_search_ui.h"
#include "core/unattended_prompt.h"
#include "dialogs/comm_error_dlg.h"
#include "recorder/recorder_area.h"
#include "win/window.h"

void InstallRecorderScreenServices() {
  SetRecorderScreenServices({
      [] {
        if (PromptIsUnattended()) return AskRetryUnattended();
        return TCommErrorDlg(win::Windows().MainWindow()).DoModal() == 1;
      },
      [](int exit_code) {
        AutomationInfo().SetExitCode(exit_code);
        AutomationInfo().EndAutomation();
      },
  });
}
