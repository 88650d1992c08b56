#include "support/mit_records.h"

#include <sstream>

#include "platform/io_error.h"
#include "support/recording_setup.h"
#include "support/test_recordings.h"

namespace coretest {

testsupport::TestdataHooks DocumentTestdataHooks() {
  testsupport::TestdataHooks hooks;
  hooks.write_recording_file = [](const std::filesystem::path& base) { return WriteRecordingFile(base); };
  return hooks;
}

int RunTestdataCliWithDocument(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return testsupport::RunTestdataCli(args, out, err, DocumentTestdataHooks());
}

MitRecordFiles ConvertMitRecord(const std::filesystem::path& record, const std::filesystem::path& folder) {
  const std::filesystem::path base = folder / ("MIT" + record.filename().string());
  std::ostringstream out;
  std::ostringstream err;
  if (RunTestdataCliWithDocument({"from-wfdb", record.string(), base.string()}, out, err) != 0)
    throw platform::IoError(record.string(), "zk470-testdata from-wfdb failed: " + err.str());
  return {testsupport::WithExtension(base, "QRS"), testsupport::WithExtension(base, "ANO")};
}

}  // namespace coretest
