#pragma once

#include <filesystem>
#include <string>

class CZK470Doc;

namespace coretest {

struct PatientNames {
  std::string first_name = "Anna";
  std::string surname = "Demo";
  std::string patient_id = "4711";
};

// Writes base.QRS beside the sample file that zk470-testdata made at base (base.CMP and
// base.setup.txt): an unanalysed recording that starts when the setup says, for the patient given,
// saved by the document itself. Returns the ".QRS" path. Throws platform::IoError when the setup
// cannot be read or the file cannot be written.
std::filesystem::path WriteRecordingFile(const std::filesystem::path& base, const PatientNames& patient = {});

// Makes a synthetic recording of the given length at base (zk470-testdata synth, then the
// ".QRS"); returns the ".QRS" path.
std::filesystem::path MakeSyntheticRecording(const std::filesystem::path& base, int minutes,
                                             const PatientNames& patient = {});

// As WriteRecordingFile, saved as analysed: the generator's true beats and events are the
// recording's lists and the analysis settings are recorded.
std::filesystem::path WriteAnalysedRecordingFile(const std::filesystem::path& base,
                                                 const PatientNames& patient = {});

// As MakeSyntheticRecording with the channels given, saved as analysed (WriteAnalysedRecordingFile),
// so that every screen has beats, classes and events to show.
std::filesystem::path MakeAnalysedRecording(const std::filesystem::path& base, int minutes, int channels,
                                            const PatientNames& patient = {});

// Template classes as an analysis forms them: each family's beats in three classes of falling
// size, so that the review screens have classes to show.
void AddTemplateClasses(CZK470Doc& doc);

}  // namespace coretest
