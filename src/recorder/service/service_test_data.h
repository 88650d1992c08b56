#pragma once

#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/clock.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_protocol.h"

namespace platform {
class Locale;
}

// The test patients the service dialogs program into a recorder, and the texts they log of what a
// recorder sends back. Pure; any thread.
namespace recorder {

// Whole years from birth to today: one less while this year's birthday is still ahead.
int AgeInYears(const platform::LocalDateTime& birth, const platform::LocalDateTime& today);

// The ZK-130 record of test patient 1 or 2, starting now.
TRecorderPatientRecord ServiceTestRecord(int patient, const platform::Clock& clock);
// The patient and recording blocks the command tester sends to a ZK-131.
TPatientBlockFields ServiceTestPatientBlock(const platform::Clock& clock);
TRecordingBlockFields ServiceTestRecordingBlock();

// The date or the time of day in the locale's form; empty for a value no calendar holds.
std::string ServiceDateText(const platform::OleDateTime& value, const platform::Locale& locale);
std::string ServiceTimeText(const platform::OleDateTime& value, const platform::Locale& locale);

// The log lines of a decoded patient or recording block.
std::vector<std::string> PatientBlockLines(const TPatientBlockFields& fields, const platform::Locale& locale);
std::vector<std::string> RecordingBlockLines(const TRecordingBlockFields& fields,
                                             const platform::Locale& locale);

}  // namespace recorder
