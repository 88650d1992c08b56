#include "tools/validation/stt_statistic.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "common/time_formatter.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "tools/validation/validation_records.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

constexpr size_t kRecordBytes = 8;
constexpr int32_t kSegmentMs = 15000;
constexpr int32_t kSegmentSeconds = kSegmentMs / 1000;
constexpr int64_t kMsPerDay = 86'400'000;
// A 48 h record with a measurement every second on both channels holds under 3 MB.
constexpr uint64_t kMaxSttBytes = 64ull << 20;
constexpr uint16_t kKnownFlags = STTRecord::kTypeMask | STTRecord::kNegative | STTRecord::kSecondChannel;

constexpr std::string_view kRuler = "==========================================";

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// The recording's start as milliseconds of the day, to the second as the record stores it.
int64_t StartOfDayMs(const TRecordingData& recording) {
  const double days = recording.start_time.days;
  if (!std::isfinite(days)) return 0;
  const double fraction = days - std::floor(days);
  return std::llround(fraction * 86400.0) * 1000 % kMsPerDay;
}

// The wait cursor while the records are read, taken down however the reading ends.
class WaitCursor {
 public:
  WaitCursor() { win::Windows().BeginWaitCursor(); }
  ~WaitCursor() { win::Windows().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

void ShowMessage(const std::string& text, unsigned icon) {
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk | icon);
}

}  // namespace

double STTRecord::Reference() const {
  const double magnitude = value * 0.01;
  return (flags & kNegative) != 0 ? -magnitude : magnitude;
}

std::vector<STTRecord> ParseSTTRecords(std::span<const uint8_t> bytes, const std::string& name) {
  std::vector<STTRecord> records;
  records.reserve(bytes.size() / kRecordBytes);
  int32_t previous_ms = 0;
  for (size_t offset = 0; offset + kRecordBytes <= bytes.size(); offset += kRecordBytes) {
    const uint8_t* p = bytes.data() + offset;
    STTRecord record;
    record.time_ms = static_cast<int32_t>(platform::LoadLE32(p));
    record.flags = static_cast<uint16_t>(p[4] | (p[5] << 8));
    record.value = static_cast<int16_t>(static_cast<uint16_t>(p[6] | (p[7] << 8)));
    auto refuse = [&](const std::string& fault) {
      throw platform::FormatError(name + ", offset " + std::to_string(offset), fault);
    };
    if (record.time_ms < 0) refuse("negative time " + std::to_string(record.time_ms) + " ms");
    if (record.time_ms < previous_ms)
      refuse("time " + std::to_string(record.time_ms) + " ms before the previous record's " +
             std::to_string(previous_ms) + " ms");
    if ((record.flags & ~kKnownFlags) != 0 || record.Type() == 0) {
      char flags[8];
      std::snprintf(flags, sizeof flags, "0x%04X", record.flags);
      refuse(std::string("unknown record type, flags ") + flags);
    }
    if (record.Type() == STTRecord::kMeasurement && record.value < 0 &&
        (record.flags & STTRecord::kNegative) != 0)
      refuse("negative magnitude " + std::to_string(record.value) + " with the sign bit");
    previous_ms = record.time_ms;
    records.push_back(record);
  }
  return records;
}

std::vector<STTRecord> ReadSTTFile(const std::string& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxSttBytes);
  return ParseSTTRecords(bytes, FileNameOf(path));
}

TSTTStatistic::TSTTStatistic(CZK470Doc& doc)
    : doc_(doc), patient_(doc.GetClock()), recording_(doc.GetClock()) {}

bool TSTTStatistic::CompareRecord(int number, std::string& lines, std::string& reason) {
  const std::string folder = doc_.GetDataDirectory();
  const std::string qrs = ValidationRecordPath(folder, ValidationSet::kEsc, number, ".QRS");
  const std::string ano = ValidationRecordPath(folder, ValidationSet::kEsc, number, ".ANO");
  const std::string stt = ValidationRecordPath(folder, ValidationSet::kEsc, number, ".STT");
  if (!FileExists(qrs) || !FileExists(ano) || !FileExists(stt)) return true;

  // Read into locals and keep them only when the whole record reads.
  TPatientData patient(doc_.GetClock());
  TRecordingData recording(doc_.GetClock());
  TQRSList beats;
  TEventList events;
  std::vector<STTRecord> references;
  try {
    CZK470Doc::ReadRecordingFile(qrs, patient, recording, beats, events);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ano, ec) || !std::ifstream(ano, std::ios::binary))
      throw platform::IoError(FileNameOf(ano), "cannot be opened");
    references = ReadSTTFile(stt);
  } catch (const platform::IoError& error) {
    reason = error.what();
    return false;
  }
  patient_ = std::move(patient);
  recording_ = std::move(recording);
  beats_ = std::move(beats);
  events_ = std::move(events);
  references_ = std::move(references);

  lines += "====" + FileNameOf(stt) + "=================\n";
  // Values of segments of another length would be read at the wrong time: none are used.
  const bool segments_fit = recording_.st_interval == kSegmentSeconds;
  const int64_t start_ms = StartOfDayMs(recording_);
  const TTimeFormatter times{platform::FixedLocale(platform::FixedLocale::Kind::k24Hour)};
  for (const STTRecord& reference : references_) {
    if (reference.Type() != STTRecord::kMeasurement) continue;
    const int channel = reference.Channel();
    const double r = reference.Reference();
    const int segment = reference.time_ms / kSegmentMs;
    const TSTValues& values = recording_.st_levels[static_cast<size_t>(channel)];
    const double s = segments_fit && segment < values.GetSize() ? values.GetAt(segment).GetValue() : NAN;
    const double percent = r != 0.0 ? (s - r) * 100.0 / r : NAN;
    const int time_of_day = static_cast<int>((start_ms + reference.time_ms) % kMsPerDay);
    lines += times.FormatHMS(time_of_day) + "  " + StatisticField(r, 6, 2) + "  " + StatisticField(s, 6, 2) +
             "  " + StatisticField(percent, 6, 0) + "  " + StatisticField(channel, 6, 0) + " \n";
  }
  return true;
}

void TSTTStatistic::Run() {
  std::string text;
  std::vector<std::string> refused;
  const std::string path = CZK470Doc::JoinPath(doc_.GetDataDirectory(), "STTStat.txt");
  std::string error;
  {
    const WaitCursor wait;
    text.append(kRuler).append("\n");
    text += "             ESC     ZK-470         Kanal \n";
    text.append(kRuler).append("\n");
    for (const int number : ValidationRecordNumbers(ValidationSet::kEsc)) {
      std::string lines;
      std::string reason;
      if (CompareRecord(number, lines, reason))
        text += lines;
      else
        refused.push_back(std::move(reason));
    }
    beats_.RemoveAll();
    events_.RemoveAll();
    references_.clear();
    try {
      platform::WriteFileAtomic(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    } catch (const platform::IoError& e) {
      error = e.what();
    }
  }
  win::Windows().MessageBeep();
  if (!error.empty()) {
    ShowMessage("The ST-T statistic could not be written to " + path + ":\n" + error,
                win::kMbIconExclamation);
    return;
  }
  std::string message = "ST-T statistic successful.";
  if (!refused.empty()) {
    message += "\n\nRecords left out:";
    for (const std::string& line : refused) message += "\n" + line;
  }
  ShowMessage(message, refused.empty() ? 0u : win::kMbIconExclamation);
}

}  // namespace tools
