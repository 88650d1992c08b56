#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

class TECGBlock;

// The header of a "KHI" exchange file: a recording from another source as raw multi-channel
// frames behind a 4096-byte header. The sample store reads such files minute by minute; the
// database importer fills the fields and writes the header before its frames.
// Fields are public: the importer fills them, ReadHeader replaces them.
class TSignalExchangeFile {
 public:
  static constexpr int kHeaderBytes = 4096;
  static constexpr int kMaxChannels = 16;  // channel-name slots and display-map entries
  static constexpr int kNameBytes = 16;
  // Bounds of what the reader takes: the store thins the signal to 125 Hz by whole frames.
  static constexpr uint32_t kMinRateHz = 125;
  static constexpr uint32_t kMaxRateHz = 8000;

  // Reads and checks the header: at least 4096 bytes, magic "ZK470KHI", version 1, 1 to 16
  // channels, at most 16 display entries each below the channel count, a rate of 125 to 8000 Hz
  // and a positive LSB. On success fills the fields and returns true; otherwise false with the
  // fields as they were.
  [[nodiscard]] bool ReadHeader(const std::string& path);
  // Sets the version to 1 and writes one 4096-byte header at the stream's position: the first
  // channel-count names cut to 16 characters, the display map. False when the stream fails.
  [[nodiscard]] bool WriteHeader(std::ostream& out);
  // Whole minutes of the duration, a started minute counted; 0 when not valid or the rate is 0.
  int GetDurationMinutes() const;
  // Reads one minute behind the header into the first min(display count, 3) blocks, scaled to
  // the store's 5-microvolt unit and thinned to 125 Hz by taking every (rate / 125)-th frame.
  // Samples after the last complete frame in the file are 0 in every block. False, with the
  // blocks untouched, when the header was not read, samples are not 2 bytes wide or the file
  // cannot be opened or read.
  [[nodiscard]] bool ReadBlock(const std::string& path, int minute, std::span<TECGBlock> blocks);

  bool IsValid() const { return valid_; }
  int GetBytesPerSample() const { return bytes_per_sample_; }
  // A valid header of samples other than 16 bits opens, but no minute of it can be read: the message
  // each minute's reading shows instead. Empty when the samples are 16 bits wide.
  std::string SampleWidthFault() const;

  int32_t version = 0;
  uint32_t duration = 0;  // samples per channel
  uint32_t rate = 0;      // Hz
  uint32_t channel_count = 0;
  uint32_t bits_per_sample = 0;
  double lsb = 0.0;  // microvolts per sample unit
  std::array<std::string, kMaxChannels> channel_names;
  uint32_t display_count = 0;
  std::array<int32_t, kMaxChannels> display_map{};

 private:
  bool valid_ = false;
  int bytes_per_sample_ = 0;
  std::vector<uint8_t> buffer_;  // one minute of frames, kept between reads
};
