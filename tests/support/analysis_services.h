#pragma once

#include "analysis/analysis_run.h"

namespace analysis {
class AnalysisDialogs;
}

namespace coretest {

// The analysis services the program gives a run: the pacemaker and ST steps under the run's
// dialogs, no external library.
analysis::AnalysisRun::Services ProgramAnalysisServices(analysis::AnalysisDialogs& dialogs);

}  // namespace coretest
