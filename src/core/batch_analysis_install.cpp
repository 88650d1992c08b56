#include "core/batch_analysis_install.h"

#include <string>
#include <utility>

#include "analysis/analysis_run.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/st/st_progress_dlg.h"
#include "core/zk470_app.h"
#include "tools/batch_analysis.h"

void InstallBatchAnalysis() {
  tools::BatchAnalysisServices services;
  services.run_services = [](analysis::AnalysisDialogs& dialogs) {
    analysis::AnalysisRun::Services run;
    run.dialogs = &dialogs;
    // Taken now, on the user-interface thread: the workers never reach the application object.
    if (const CZK470App* app = App())
      run.library_version_text = [text = app->GetAnalysisLibraryVersionText()] { return text; };
    run.pacemaker_analysis = analysis::RunPacemakerAnalysis;
    run.st_analysis = [&dialogs](CZK470Doc& doc, int mode) {
      return analysis::RunSTAnalysisDialog(dialogs, doc, mode);
    };
    return run;
  };
  tools::InstallBatchAnalysisServices(std::move(services));
}
