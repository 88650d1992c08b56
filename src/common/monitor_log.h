#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>

namespace platform {
class AtomicFileWriter;
}

// One record of the monitor log, 46 bytes in the file: eight 16-bit values, two 16-bit values
// shown times 5, a double, eight more 16-bit values and a last 16-bit value, little-endian.
struct TMonitorRecord {
  std::array<int16_t, 8> first{};
  int16_t value_a = 0;  // shown multiplied by 5
  int16_t value_b = 0;  // shown multiplied by 5
  double value_c = 0;
  std::array<int16_t, 8> second{};
  int16_t last = 0;
  bool operator==(const TMonitorRecord&) const = default;
};

// The monitor log file: fixed 46-byte records, record n at byte n x 46. Written through a buffer
// of 50 records, so the file lags 49 records behind until the log is closed; a log whose file
// cannot be opened ignores additions and reads as zeros. A written log goes to a temporary file
// beside its name, which replaces the named file only when the log is closed. One thread.
class TMonitorLog {
 public:
  static constexpr size_t kRecordSize = 46;
  static constexpr size_t kBufferRecords = 50;

  // path with its last three characters replaced by "MON"; write: a new log, else an existing
  // one is read.
  TMonitorLog(const std::filesystem::path& path, bool write);
  ~TMonitorLog();
  TMonitorLog(const TMonitorLog&) = delete;
  TMonitorLog& operator=(const TMonitorLog&) = delete;

  bool IsOpen() const { return file_ != nullptr || writer_ != nullptr; }
  const std::filesystem::path& FileName() const { return file_name_; }
  // Returns how many records wait in the buffer; 0 when the file is not open.
  size_t AddRecord(const TMonitorRecord& record);
  // Record n of the file; all zeros when the file is not open or holds no such record.
  TMonitorRecord ReadRecord(int64_t n);

  static std::array<uint8_t, kRecordSize> Encode(const TMonitorRecord& record);
  static TMonitorRecord Decode(const std::array<uint8_t, kRecordSize>& bytes);

 private:
  bool WriteAtEnd(const TMonitorRecord& record);

  std::filesystem::path file_name_;
  std::FILE* file_ = nullptr;  // reading
  std::unique_ptr<platform::AtomicFileWriter> writer_;
  bool write_failed_ = false;
  std::deque<TMonitorRecord> buffer_;
};
