#include "core/test_recordings.h"

#include <sstream>

#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/recording_setup.h"
#include "support/testdata_cli.h"

namespace coretest {

std::filesystem::path WriteRecordingFile(const std::filesystem::path& base, const PatientNames& patient) {
  const testsupport::RecordingSetup setup = testsupport::ReadRecordingSetup(testsupport::SetupPathFor(base));
  platform::MemoryProfileStore profile;
  const platform::SystemClock clock;
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  doc.GetPatientData().first_name = patient.first_name;
  doc.GetPatientData().surname = patient.surname;
  doc.GetPatientData().patient_id = patient.patient_id;
  const platform::LocalDateTime start{setup.start.year, setup.start.month, setup.start.day,
                                      setup.start.hour, setup.start.minute, setup.start.second, 0};
  doc.GetRecordingData().start_date = document::OleDateOnly(start);
  doc.GetRecordingData().start_time = document::OleTimeOnly(start);
  const std::filesystem::path qrs = testsupport::WithExtension(base, "QRS");
  if (!doc.OnSaveDocument(qrs.string())) throw platform::IoError(qrs.string(), "the recording could not be saved");
  return qrs;
}

std::filesystem::path MakeSyntheticRecording(const std::filesystem::path& base, int minutes,
                                             const PatientNames& patient) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = testsupport::RunTestdataCli(
      {"synth", "--minutes", std::to_string(minutes), "--ves", "0.05", base.string()}, out, err);
  if (code != 0) throw platform::IoError(base.string(), "zk470-testdata synth failed: " + err.str());
  return WriteRecordingFile(base, patient);
}

}  // namespace coretest
