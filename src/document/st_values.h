#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}  // namespace platform

// The ST value (level in 0.1 mV, or slope) of one ST interval of the recording.
class TSTWindow {
 public:
  TSTWindow() = default;
  explicit TSTWindow(double value) : value_(value) {}

  double GetValue() const { return value_; }
  void SetValue(double value) { value_ = value; }

  bool operator==(const TSTWindow&) const = default;

 private:
  double value_ = 0.0;
};

// One ST series of one ST channel: element i covers seconds i x interval to (i + 1) x interval of the
// recording (the interval is the recording record's, 15 s when the ST analysis wrote it).
class TSTValues {
 public:
  int GetSize() const { return static_cast<int>(values_.size()); }
  TSTWindow GetAt(int index) const { return values_.at(static_cast<size_t>(index)); }
  TSTWindow* ElementAt(int index) { return &values_.at(static_cast<size_t>(index)); }
  std::span<const TSTWindow> Elements() const { return values_; }
  void Add(double value) { values_.emplace_back(value); }
  void RemoveAll();
  // Appends copies of the other list's values (the sample offset does not apply to values).
  void AppendShifted(const TSTValues& other, int32_t offset);

  // int32 version, int32 count, a double per value.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the values (version 10 and a count of 0 or less hold none); a list of unknown version is
  // read past and left as it was. FormatError on a damaged list, which is then unchanged.
  void Load(platform::ArchiveReader& ar);

  bool operator==(const TSTValues&) const = default;

 private:
  std::vector<TSTWindow> values_;
};
