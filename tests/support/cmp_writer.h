#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace testsupport {

inline constexpr int kSampleRateHz = 125;
inline constexpr int kSamplesPerMinute = 7500;
// The file header's sensitivity word; readers store it and never use it.
inline constexpr uint16_t kDefaultBaseSens = 200;

enum class CmpFormat { kOld, kNew };

// Block modes as a block head stores them. The old format knows only the two coded modes.
enum class CmpMode : uint16_t { kCodedFull = 0, kCodedHalf = 1, kRawFull = 2, kRawHalf = 3 };

// A recorder marker to write into the sample stream: a marker code (-1..9) that travels as a marker
// symbol, or flag bits (0x1000..0x8000) in a sample word.
struct CmpMarker {
  enum class Type { kCode, kFlags };
  Type type = Type::kCode;
  int channel = 0;
  int32_t position = 0;  // sample position from the start of the recording
  int value = 0;

  bool operator==(const CmpMarker&) const = default;
};

// The modes the two half-minute blocks of a new-format minute were written in (the old format has one
// block; both entries then hold its mode). A coded block that overflows the format's block size falls
// back to the raw mode (new format) or to half rate (old format).
struct CmpMinuteModes {
  CmpMode first = CmpMode::kCodedFull;
  CmpMode second = CmpMode::kCodedFull;
};

// Writes a compressed sample file minute by minute, as a recorder would. Samples are in the store's
// unit (5 microvolts); a reader yields twice a 16-bit accumulator, so only even values survive and the
// coded modes can move only by the steps the prefix code and the reader's peak correction allow. The
// writer plans its differences so that the reader's peak correction produces the intended signal:
// a signal that a reader could have produced comes back exactly, anything else as close as the
// format permits. Every turn of the signal costs at least two accumulator steps (four units) each
// way, so wiggles smaller than that come back up to two steps off; most samples land within one
// unit. Not thread-safe.
class CmpWriter {
 public:
  // The old format holds exactly two channels; the new one 1 to 3. Throws std::invalid_argument.
  CmpWriter(CmpFormat format, int channel_count, uint16_t base_sens = kDefaultBaseSens);

  // Appends one minute: channel_count spans of 7500 samples. Markers of other minutes are ignored;
  // each marker is placed where the block can hold it (PlacedMarkers tells where). When `decoded` is
  // not empty it receives, per channel, the 7500 samples a reader decodes from what was written.
  // Throws std::runtime_error when even the fallback mode cannot hold the minute.
  CmpMinuteModes AddMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                           std::span<const CmpMarker> markers = {},
                           std::span<const std::span<int16_t>> decoded = {});

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }
  int Minutes() const { return minutes_; }
  int ChannelCount() const { return channel_count_; }
  CmpFormat Format() const { return format_; }
  // Every marker written so far, with the position and channel a reader reports it at. A marker code
  // in a raw block travels as its flag bit (-1: 0x1000, 0: 0x2000, 1: 0x4000, 2: 0x8000); codes
  // without a flag are dropped there.
  const std::vector<CmpMarker>& PlacedMarkers() const { return placed_; }

 private:
  CmpMinuteModes AddOldMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                              std::span<const CmpMarker> markers, std::span<const std::span<int16_t>> decoded);
  CmpMinuteModes AddNewMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                              std::span<const CmpMarker> markers, std::span<const std::span<int16_t>> decoded);

  CmpFormat format_;
  int channel_count_;
  int minutes_ = 0;
  std::vector<uint8_t> bytes_;
  std::vector<CmpMarker> placed_;
};

// Whole-signal convenience: channels of equal length, cut into minutes (a short last minute is
// padded with its last sample). Returns the file bytes.
std::vector<uint8_t> EncodeCmp(CmpFormat format, std::span<const std::vector<int16_t>> channels,
                               CmpMode mode = CmpMode::kCodedFull, std::span<const CmpMarker> markers = {});

}  // namespace testsupport
