#include "common/monitor_log.h"

#include <cstring>
#include <limits>

#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"

namespace {

void Put16(uint8_t* out, int16_t value) { platform::StoreLE16(out, static_cast<uint16_t>(value)); }

int16_t Get16(const uint8_t* in) { return static_cast<int16_t>(platform::LoadLE16(in)); }

std::filesystem::path MonitorName(const std::filesystem::path& path) {
  std::string name = path.string();
  if (name.size() >= 3) name.resize(name.size() - 3);
  return name + "MON";
}

}  // namespace

std::array<uint8_t, TMonitorLog::kRecordSize> TMonitorLog::Encode(const TMonitorRecord& record) {
  std::array<uint8_t, kRecordSize> bytes{};
  for (size_t i = 0; i < 8; ++i) Put16(&bytes[2 * i], record.first[i]);
  Put16(&bytes[16], record.value_a);
  Put16(&bytes[18], record.value_b);
  uint64_t bits = 0;
  std::memcpy(&bits, &record.value_c, sizeof bits);
  for (size_t i = 0; i < 8; ++i) bytes[20 + i] = static_cast<uint8_t>(bits >> (8 * i));
  for (size_t i = 0; i < 8; ++i) Put16(&bytes[28 + 2 * i], record.second[i]);
  Put16(&bytes[44], record.last);
  return bytes;
}

TMonitorRecord TMonitorLog::Decode(const std::array<uint8_t, kRecordSize>& bytes) {
  TMonitorRecord record;
  for (size_t i = 0; i < 8; ++i) record.first[i] = Get16(&bytes[2 * i]);
  record.value_a = Get16(&bytes[16]);
  record.value_b = Get16(&bytes[18]);
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[20 + i]) << (8 * i);
  std::memcpy(&record.value_c, &bits, sizeof bits);
  for (size_t i = 0; i < 8; ++i) record.second[i] = Get16(&bytes[28 + 2 * i]);
  record.last = Get16(&bytes[44]);
  return record;
}

TMonitorLog::TMonitorLog(const std::filesystem::path& path, bool write) : file_name_(MonitorName(path)) {
  if (!write) {
    file_ = std::fopen(file_name_.c_str(), "rb");
    return;
  }
  try {
    writer_ = std::make_unique<platform::AtomicFileWriter>(file_name_);
  } catch (const platform::IoError&) {
    // A log that cannot be written ignores additions.
  }
}

TMonitorLog::~TMonitorLog() {
  if (writer_ != nullptr) {
    while (!buffer_.empty()) {
      WriteAtEnd(buffer_.front());
      buffer_.pop_front();
    }
    // A log that could not be written completely leaves the file of the name as it was; the
    // writer removes its temp file then.
    if (!write_failed_) {
      try {
        writer_->Commit();
      } catch (const platform::IoError&) {
      }
    }
    return;
  }
  if (file_ != nullptr) std::fclose(file_);
}

bool TMonitorLog::WriteAtEnd(const TMonitorRecord& record) {
  const std::array<uint8_t, kRecordSize> bytes = Encode(record);
  try {
    writer_->Write(bytes);
  } catch (const platform::IoError&) {
    write_failed_ = true;
    return false;
  }
  return true;
}

size_t TMonitorLog::AddRecord(const TMonitorRecord& record) {
  if (writer_ == nullptr) return 0;
  buffer_.push_back(record);
  if (buffer_.size() >= kBufferRecords) {
    WriteAtEnd(buffer_.front());
    buffer_.pop_front();
  }
  return buffer_.size();
}

TMonitorRecord TMonitorLog::ReadRecord(int64_t n) {
  if (!IsOpen() || n < 0 || n > std::numeric_limits<long>::max() / static_cast<int64_t>(kRecordSize))
    return {};
  std::array<uint8_t, kRecordSize> bytes{};
  const int64_t offset = n * static_cast<int64_t>(kRecordSize);
  if (writer_ != nullptr) {
    try {
      if (writer_->ReadAt(static_cast<uint64_t>(offset), bytes) != bytes.size()) return {};
    } catch (const platform::IoError&) {
      return {};
    }
    return Decode(bytes);
  }
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
      std::fread(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    return {};
  }
  return Decode(bytes);
}
