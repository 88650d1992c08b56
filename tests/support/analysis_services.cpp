#include "support/analysis_services.h"

#include <string>

#include "analysis/analysis_dialogs.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"

namespace coretest {

analysis::AnalysisRun::Services ProgramAnalysisServices(analysis::AnalysisDialogs& dialogs) {
  analysis::AnalysisRun::Services services;
  services.dialogs = &dialogs;
  services.library_version_text = [] { return std::string("-"); };
  services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
  services.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
    return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
  };
  return services;
}

}  // namespace coretest
