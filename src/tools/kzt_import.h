#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "document/patient_data.h"
#include "document/recording_data.h"

class CZK470Doc;
namespace platform {
class Clock;
}

namespace tools {

// The records a KZT exchange file describes: a default patient and recording record with the
// file's fields set and the recorder text "KZT".
struct KztRecords {
  TPatientData patient;
  TRecordingData recording;
};

// Reads the text of a KZT file (cp1252, lines ending in CR LF or LF): exactly nine lines of key,
// tab and value in the fixed order NAME, PATID, BIRTHDAY, PACER, HEIGHT, WEIGHT, SEX, DATE, TIME.
// nullopt when a line lacks its key or the file has another number of lines. A date or time that
// forms none is kept marked invalid; a number without leading digits is 0. The clock gives the
// defaults of the records.
std::optional<KztRecords> ParseKztFile(std::span<const uint8_t> bytes, const platform::Clock& clock);

// Converts the KZT file at path into the recording document of the same base name (".QRS") beside
// it, with empty beat and event lists, and deletes the KZT file once the document is in place.
// An existing document is replaced only when the user agrees; when the user declines, both files
// stay as they are and the existing document is what the open goes on with. False when the KZT
// file cannot be read or is malformed or the document cannot be written (nothing on disk changed
// then), and when the KZT file cannot be deleted after the document was written. Used as the
// document host's KZT conversion; user-interface thread.
bool ImportKztFile(CZK470Doc& doc, const std::string& path);

}  // namespace tools
