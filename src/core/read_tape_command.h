#pragma once

#include <optional>
#include <string>

class CZK470Doc;
class CZK470View;
class TPatientData;
class TRecordingData;
namespace platform {
class ResourcePack;
}

// The message the read-in shows for a tape program's exit code; none for 0, for Cancel (2) and
// for codes the program does not document.
std::optional<std::string> TapeResultMessage(int result);

// Default records of a recording that comes from a tape or a serial recorder: morning 07:00,
// evening 22:00.
void PrepareRecorderFileRecords(TRecordingData& recording);

// The patient data sheet without Apply and Help on the records of a new recording; on OK the
// records take what the user entered. False for anything but OK.
bool AskNewRecordingPatientData(CZK470Doc& doc, TPatientData& patient, TRecordingData& recording);

// The tape read-in up to the new recording: the wait dialog with the tape program, the message
// of its exit code, the patient sheet, and the move of "HOLTER.TAP" with the new ".QRS" beside
// it under the patient's base name. The ".QRS" path to open; empty when nothing was made. A
// tape file that cannot be moved makes no ".QRS" (a recording without samples): the user is told
// and the tape file stays "HOLTER.TAP".
std::string ReadTapeRecording(CZK470Doc& doc);

// Command 32822 of the main view: ReadTapeRecording, then the document is reset, old recordings
// are deleted as set up and the new recording is opened.
void RunReadTapeCommand(CZK470View& view);

// The menu state of command 32822: disabled while the online monitor and programming screen
// (display mode 5) is shown.
bool IsReadTapeEnabled(const CZK470Doc& doc);

// Texts of the read-in: German to the German pack, English to every other one.
void AddReadTapeResources(platform::ResourcePack& pack);
