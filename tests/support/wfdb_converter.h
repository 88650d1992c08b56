#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/truth_list.h"
#include "support/wfdb_record.h"

namespace testsupport {

// One reference annotation as the validation statistic reads it from an ".ANO" file: the time in
// milliseconds from the record's start and the label (MIT mnemonic, '.' for a normal beat). A
// converted record's times are whole samples at 125 Hz (8 ms each), so time / 8 is the position.
struct ReferenceBeat {
  int32_t time_ms = 0;
  char label = '.';

  bool operator==(const ReferenceBeat&) const = default;
};

// A record brought to the store's rate and unit.
struct WfdbConversion {
  std::string record_name;
  int channels = 0;      // 2 or 3: the reference signal file holds no other count
  int minutes = 0;       // whole minutes the compressed file shows
  // Per channel at 125 Hz in 5-microvolt units, 12-bit range: the whole resampled record. The
  // reference signal file holds exactly these.
  std::vector<std::vector<int16_t>> resampled;
  // Per channel, `minutes` x 7500: what a reader decodes from the compressed file (even values,
  // within a few units of `resampled`).
  std::vector<std::vector<int16_t>> cmp_samples;
  std::vector<uint8_t> cmp_bytes;
  std::vector<ReferenceBeat> references;  // every beat and flutter mark of the record, in order
  TruthList truth;                        // beats at 125 Hz within `minutes`
};

// Resamples every signal to 125 Hz (anti-aliasing low-pass), scales it from the record's gain and
// baseline to 5-microvolt units, and encodes it in the new compressed format. A record with one
// signal gets it twice; of more than three signals the first three are kept. Throws
// platform::FormatError for a record the store cannot hold (rate not a whole number of hertz, no
// samples).
WfdbConversion ConvertWfdbRecord(const WfdbRecord& record, const std::vector<WfdbAnnotation>& annotations);

// Reads <record>.hea, its signal file and <record>.atr (no annotations when that file is missing)
// and writes <out>.CMP, the reference signal file <out>.15<channels> (125 Hz, 5 microvolts per
// unit), <out>.ANO (reference beats in milliseconds), <out>.truth.txt and <out>.setup.txt, each
// replaced atomically. The compressed file holds one minute more than it shows (its reader shows
// one fewer than it holds); the reference signal file holds the whole resampled record.
WfdbConversion ConvertWfdbRecordToFiles(const std::filesystem::path& record, const std::filesystem::path& out_base);

// ".ANO": 5-byte records, int32 little-endian milliseconds then the label byte.
void WriteAnoFile(const std::filesystem::path& path, const std::vector<ReferenceBeat>& references);
std::vector<ReferenceBeat> ReadAnoFile(const std::filesystem::path& path);

// Frames of 16-bit little-endian words holding 12-bit values, channel after channel.
std::vector<uint8_t> EncodeReferenceSignal(const std::vector<std::vector<int16_t>>& channels);

}  // namespace testsupport
