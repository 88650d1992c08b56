#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/testdata_cli.h"

namespace coretest {

// zk470-testdata's hooks with the document: from-wfdb writes OUT.QRS by WriteRecordingFile.
testsupport::TestdataHooks DocumentTestdataHooks();

// The zk470-testdata command line with those hooks.
int RunTestdataCliWithDocument(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A reference-database record made ready for the validation batch and statistic.
struct MitRecordFiles {
  std::filesystem::path qrs;  // the recording, not analysed
  std::filesystem::path ano;  // its reference annotations
};

// Converts a WFDB record (a path without extension, ".../mitdb/100") into the folder as
// MIT<record name> by zk470-testdata from-wfdb: ".CMP", ".ANO", ".QRS" and the test data files.
// Throws platform::IoError naming the record when the conversion fails.
MitRecordFiles ConvertMitRecord(const std::filesystem::path& record, const std::filesystem::path& folder);

}  // namespace coretest
