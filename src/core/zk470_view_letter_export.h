#pragma once

#include <array>
#include <string>

class CZK470Doc;
class TPatientData;
class TRecordingData;

namespace export_cmd {
inline constexpr int kLetterExport = 33220;
}  // namespace export_cmd

// The letter switch of the patient record that asks for each recipient kind (insurance, patient,
// physician referred to, referring physician): the record keeps them in another order.
inline constexpr std::array<int, 4> kLetterSwitchOfKind = {2, 3, 1, 0};

// "First Last dd-mm-yyyy HH-MM ", made safe for a file name; the letter's number and ".rtf" follow.
std::string LetterExportBaseName(const TPatientData& patient, const TRecordingData& recording);

// The letter export of the open recording: asks for the folder, then writes the letters the
// patient record switches on, numbered from 1 in recipient order, each asking before it
// overwrites. Returns the number of files written. User-interface thread only.
int RunLetterExport(CZK470Doc& doc);
