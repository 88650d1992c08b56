#include "support/test_recordings.h"

#include <sstream>

#include "document/event.h"
#include "document/event_list.h"
#include "document/qrs_complex.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/recording_setup.h"
#include "support/testdata_cli.h"
#include "support/truth_list.h"

namespace coretest {

namespace {

std::filesystem::path WriteRecording(const std::filesystem::path& base, const PatientNames& patient,
                                     bool analysed) {
  const testsupport::RecordingSetup setup = testsupport::ReadRecordingSetup(testsupport::SetupPathFor(base));
  platform::MemoryProfileStore profile;
  const platform::SystemClock clock;
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  doc.GetPatientData().first_name = patient.first_name;
  doc.GetPatientData().surname = patient.surname;
  doc.GetPatientData().patient_id = patient.patient_id;
  const platform::LocalDateTime start{setup.start.year,
                                      setup.start.month,
                                      setup.start.day,
                                      setup.start.hour,
                                      setup.start.minute,
                                      setup.start.second,
                                      0};
  doc.GetRecordingData().start_date = document::OleDateOnly(start);
  doc.GetRecordingData().start_time = document::OleTimeOnly(start);
  // As the recorder's read-out records them: spikes become pacemaker events only in a recording
  // made with pacemaker detection.
  doc.GetRecordingData().pacemaker_recording = setup.pacemaker ? 1 : 0;
  doc.GetPatientData().pacemaker = setup.pacemaker ? 1 : 0;
  if (analysed) {
    const testsupport::TruthList truth = testsupport::ReadTruthList(base.parent_path() / setup.truth_file);
    for (const testsupport::TruthBeat& beat : truth.beats)
      doc.GetQRSList().Append(TQRSComplex(beat.position, beat.beat_class, '!'));
    for (const testsupport::TruthEvent& event : truth.events)
      doc.GetEventList().Append(TEvent(event.start, event.end, event.kind));
    AddTemplateClasses(doc);
    // The first entry of each analysis setting: what a run with the default settings records.
    TRecordingData& record = doc.GetRecordingData();
    record.tachycardia_threshold = 0;
    record.sves_prematurity = 0;
    record.pause_threshold = 0;
    record.bradycardia_threshold = 0;
    record.arrhythmia_deviation = 0;
    record.arrhythmia_min_duration = 0;
  }
  const std::filesystem::path qrs = testsupport::WithExtension(base, "QRS");
  if (!doc.OnSaveDocument(qrs.string()))
    throw platform::IoError(qrs.string(), "the recording could not be saved");
  return qrs;
}

}  // namespace

void AddTemplateClasses(CZK470Doc& doc) {
  TRecordingData& record = doc.GetRecordingData();
  const TQRSList& beats = doc.GetQRSList();
  for (int32_t i = 0; i < beats.GetSize(); ++i) {
    int family = 0;
    switch (beats.GetAt(i).GetClass()) {
      case kClassNormal:
        family = TTemplateClassEntry::kFamilyNormal;
        break;
      case kClassVES:
        family = TTemplateClassEntry::kFamilyVES;
        break;
      case kClassSVES:
        family = TTemplateClassEntry::kFamilySVES;
        break;
      case kClassArtefact:
        family = TTemplateClassEntry::kFamilyArtefact;
        break;
      default:
        continue;
    }
    const size_t index = i % 25 == 0 ? 2 : i % 5 == 0 ? 1 : 0;
    record.TemplateClasses(family)[index].Append(i);
  }
}

std::filesystem::path WriteRecordingFile(const std::filesystem::path& base, const PatientNames& patient) {
  return WriteRecording(base, patient, false);
}

std::filesystem::path WriteAnalysedRecordingFile(const std::filesystem::path& base,
                                                 const PatientNames& patient) {
  return WriteRecording(base, patient, true);
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

std::filesystem::path MakeAnalysedRecording(const std::filesystem::path& base, int minutes, int channels,
                                            const PatientNames& patient) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = testsupport::RunTestdataCli(
      {"synth", "--minutes", std::to_string(minutes), "--channels", std::to_string(channels), "--seed", "11",
       "--ves", "0.05", "--sves", "0.03", "--pauses", "2", base.string()},
      out, err);
  if (code != 0) throw platform::IoError(base.string(), "zk470-testdata synth failed: " + err.str());
  return WriteAnalysedRecordingFile(base, patient);
}

}  // namespace coretest
