#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "support/ecg_synthesizer.h"

// European ST-T validation records made from the synthesizer, as the validation batch and the
// ST-T statistic find them in a data folder.
namespace coretest {

// One reference ST measurement of an ".STT" file.
struct SttReference {
  int32_t time_ms = 0;
  int channel = 0;           // 0 or 1
  int value_hundredths = 0;  // signed; stored as the magnitude, a negative one with the sign bit
  int type = 2;              // 2: ST measurement
};

// 8-byte records: int32 time, flags (type, bit 6 negative, bit 7 second channel), int16 value.
std::vector<uint8_t> EncodeSttRecords(const std::vector<SttReference>& references);
void WriteSttFile(const std::filesystem::path& path, const std::vector<SttReference>& references);

// "ESC0100" for 100, "ESC1001" for 1001.
std::string EscRecordName(int number);

// Makes record ESCnnnn in the folder from the options (ST episodes in SynthOptions::st_episodes):
// ESCnnnn.CMP, an unanalysed ESCnnnn.QRS saved by the document, and ESCnnnn.ANO with the true
// beats (normal '.', supraventricular 'A', ventricular 'V', paced '/'). No ".STT": the test writes
// the references it asks for. Returns the truth. Throws platform::IoError when a file cannot be
// written.
testsupport::TruthList MakeEscRecord(const std::filesystem::path& folder, int number,
                                     const testsupport::SynthOptions& options);

}  // namespace coretest
