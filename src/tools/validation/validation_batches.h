#pragma once

#include <string>
#include <vector>

#include "tools/batch_analysis.h"
#include "tools/run_family.h"
#include "tools/validation/validation_records.h"

class CZK470Doc;
namespace win {
class Window;
}

namespace tools {

// The set's records that have a ".QRS" in the folder, in the set's order.
std::vector<std::string> FindValidationRecords(ValidationSet set, const std::string& folder);

// Analyses and saves every record of the set found in the folder, each on its own document on the
// batch's workers (options as for RunBatchAnalysis). The result lists only what went wrong: a
// record that could not be opened, analysed or saved keeps its file and gets a line; the stop line
// when the batch was cancelled; then the summary.
RunResults RunValidationBatch(ValidationSet set, const std::string& folder, BatchOptions options);

// The set a validation batch command runs (32815 AHA, 32843 MIT, 32952 ESC).
ValidationSet ValidationSetOfCommand(int command);

// A validation batch command on the program's document: the records of the data directory on all
// cores under the batch's progress window with Cancel; the open recording stays as it is (were it
// one of the records, that record is left out and named). Ends with the set's finishing message,
// followed by what went wrong.
void RunValidationBatchCommand(win::Window* frame, CZK470Doc& doc, int command);

}  // namespace tools
