#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"

class CZK470Doc;

namespace tools {

// One reference ST measurement of an ".STT" file (8 bytes, little-endian).
struct STTRecord {
  static constexpr int kMeasurement = 2;
  static constexpr uint16_t kTypeMask = 0x000F;
  static constexpr uint16_t kNegative = 0x0040;
  static constexpr uint16_t kSecondChannel = 0x0080;

  int32_t time_ms = 0;  // from the start of the record
  uint16_t flags = 0;
  int16_t value = 0;  // hundredths; the magnitude when kNegative is set

  int Type() const { return flags & kTypeMask; }
  // 0 or 1: the channel of the record's ST values.
  int Channel() const { return (flags & kSecondChannel) != 0 ? 1 : 0; }
  // The signed reference value in the unit of the stored ST levels.
  double Reference() const;

  bool operator==(const STTRecord&) const = default;
};

// The records of an ".STT" file's bytes, in file order; an incomplete last record is ignored.
// Every record is checked: its time neither negative nor before the previous record's, its flags
// of a known record type (1..15, no bits beyond the type, sign and channel bits), and a measurement
// (type 2) without a negative magnitude. Throws platform::FormatError naming the file and the
// byte offset of the first bad record; nothing is returned for a file with a bad record.
std::vector<STTRecord> ParseSTTRecords(std::span<const uint8_t> bytes, const std::string& name);
// The same for a file; platform::IoError when it cannot be read.
std::vector<STTRecord> ReadSTTFile(const std::string& path);

// The ST-T statistic: for the European ST-T reference records of the document's data directory
// it lists every reference ST measurement beside the ST value the stored analysis holds for the
// 15-second segment at that time, in "STTStat.txt". Each record is read into the statistic's own
// objects; the open recording is not touched. User-interface thread.
class TSTTStatistic {
 public:
  explicit TSTTStatistic(CZK470Doc& doc);

  // Writes the statistic file (temp file and rename) and ends with a beep and the success message,
  // which names every record refused with its file and reason; a file that cannot be written
  // gives an error message naming it instead.
  void Run();

 private:
  // The record's lines; false (and the reason) when one of its files is present but unreadable.
  bool CompareRecord(int number, std::string& lines, std::string& reason);

  CZK470Doc& doc_;
  TQRSList beats_;
  TEventList events_;
  TPatientData patient_;
  TRecordingData recording_;
  std::vector<STTRecord> references_;
};

}  // namespace tools
