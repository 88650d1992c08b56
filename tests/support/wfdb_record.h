#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// One signal line of a WFDB header.
struct WfdbSignal {
  std::string file_name;
  int format = 0;             // 212 (two 12-bit samples in three bytes) or 16 (little-endian words)
  int64_t byte_offset = 0;    // bytes to skip at the start of the file
  double gain = 200.0;        // analog-to-digital units per millivolt
  int baseline = 0;           // the sample value of 0 mV
  int adc_resolution = 12;
  int adc_zero = 0;
  int initial_value = 0;
  std::optional<int> checksum;  // 16-bit sum of all samples
  std::string description;
};

struct WfdbHeader {
  std::string record_name;
  double sampling_frequency = 250.0;  // per signal
  int64_t samples_per_signal = 0;     // 0 when the header does not say
  std::vector<WfdbSignal> signals;
};

struct WfdbRecord {
  WfdbHeader header;
  std::vector<std::vector<int16_t>> samples;  // per signal, in analog-to-digital units
};

// One annotation of an MIT-format annotation file.
struct WfdbAnnotation {
  int64_t sample = 0;  // at the record's sampling frequency
  int code = 0;        // 1..49
  int subtype = 0;
  int channel = 0;
  int number = 0;
  std::string aux;
};

// Readers of outside files: every count and length is checked; damaged or unsupported input throws
// platform::FormatError (platform::IoError when a file cannot be read), naming file and place.
// Multi-segment records, skewed signals and formats other than 212 and 16 are refused.
WfdbHeader ReadWfdbHeader(const std::filesystem::path& hea_path);
// record: the record's path without extension (".../100"); signal files are found beside the header.
// Verifies the header's sample count and checksums.
WfdbRecord ReadWfdbRecord(const std::filesystem::path& record);
std::vector<WfdbAnnotation> ReadWfdbAnnotations(const std::filesystem::path& path);

// Annotation codes of the MIT standard.
bool IsWfdbBeat(int code);
// The code's mnemonic ('N', 'V', '/', ...); '?' for codes without one.
char WfdbMnemonic(int code);
// The recording's beat class of a beat code: N L R B e j -> 1 normal; A a J S n -> 9
// supraventricular; V E r F -> 15 ventricular; / f -> 29 paced; | (isolated QRS-like artefact) -> 5;
// Q and other beats -> 22.
uint8_t WfdbBeatClass(int code);
// Annotations the validation statistic reads besides beats: ventricular flutter wave '!' and the
// flutter start and end marks '[' and ']'.
bool IsWfdbFlutterMark(int code);

}  // namespace testsupport
