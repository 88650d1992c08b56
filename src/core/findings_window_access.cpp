#include "core/findings_window_access.h"

#include "dialogs/findings_dlg.h"
#include "reports/parts/print_report.h"

void InstallFindingsWindowAccess() {
  SetFindingsWindowAccess([](const TFindingsDlg* findings) -> const win::Dialog* { return findings; });
}
