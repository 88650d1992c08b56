#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace testsupport {

// Beat classes and event kinds of the recording's code space that the test data uses.
inline constexpr uint8_t kClassPacemakerSpike = 0;  // event kind
inline constexpr uint8_t kClassNormal = 1;
inline constexpr uint8_t kClassArtefact = 5;
inline constexpr uint8_t kKindPause = 6;  // event kind
inline constexpr uint8_t kClassSves = 9;
inline constexpr uint8_t kClassVes = 15;
inline constexpr uint8_t kClassUndefined = 22;
inline constexpr uint8_t kKindStEpisode1 = 25;  // event kind, + recorder channel
inline constexpr uint8_t kClassPaced = 29;

// One true beat: the sample position (125 Hz) of its main QRS peak in channel 0, and its class.
struct TruthBeat {
  int32_t position = 0;
  uint8_t beat_class = kClassNormal;

  bool operator==(const TruthBeat&) const = default;
};

// One true event: pause (from the beat before to the beat after), pacemaker spike (start = end),
// ST episode of a channel (kind 25 + channel).
struct TruthEvent {
  uint8_t kind = 0;
  int32_t start = 0;
  int32_t end = 0;

  bool operator==(const TruthEvent&) const = default;
};

// What a generated or converted recording really holds, in position order.
struct TruthList {
  std::vector<TruthBeat> beats;
  std::vector<TruthEvent> events;

  bool operator==(const TruthList&) const = default;
};

// Text file, one item a line: "beat <position> <class>" and "event <kind> <start> <end>"; lines
// starting with '#' are comments. Writing replaces the file atomically; reading throws
// platform::IoError / FormatError naming the file and line.
void WriteTruthList(const std::filesystem::path& path, const TruthList& truth);
TruthList ReadTruthList(const std::filesystem::path& path);

}  // namespace testsupport
