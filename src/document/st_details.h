#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}  // namespace platform

// One point of an ST episode.
struct TSTPoint {
  int32_t position = 0;    // sample position
  int32_t heart_rate = 0;  // beats per minute
  double level = 0.0;      // 0.1 mV
  double slope = 0.0;

  bool operator==(const TSTPoint&) const = default;
};

// One ST episode: onset, extreme (the lowest ST level; its level is the episode's depth) and end.
struct TSTDetail {
  enum Point { kOnset = 0, kExtreme = 1, kEnd = 2 };
  std::array<TSTPoint, 3> points{};

  bool operator==(const TSTDetail&) const = default;
};

// The ST episodes of one ST channel in the order the ST analysis found them.
class TSTDetails {
 public:
  int GetSize() const { return static_cast<int>(details_.size()); }
  TSTDetail GetAt(int index) const { return details_.at(static_cast<size_t>(index)); }
  TSTDetail* ElementAt(int index) { return &details_.at(static_cast<size_t>(index)); }
  std::span<const TSTDetail> Elements() const { return details_; }
  void Add(const TSTDetail& detail) { details_.push_back(detail); }
  void RemoveAll();
  // Appends copies of the other list's episodes with their three positions moved by offset samples.
  void AppendShifted(const TSTDetails& other, int32_t offset);

  // int32 version, int32 count, per episode three groups of int32 position, int32 heart rate,
  // double level, double slope (72 bytes).
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the episodes; versions 2 to 9 hold no slopes (they load as 0), a count of 0 or less
  // holds none, and a list of unknown version is read past and left as it was. FormatError on a
  // damaged list, which is then unchanged.
  void Load(platform::ArchiveReader& ar);

  bool operator==(const TSTDetails&) const = default;

 private:
  std::vector<TSTDetail> details_;
};
