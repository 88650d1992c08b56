#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class SampleFile;
class TECGBlock;
class TZK130InfoList;

// Where decoded recorder markers go, and which recorder channels the beat analysis uses (their
// order gives the analysed-channel index that lead-off episodes carry).
struct CmpMarkerTarget {
  TZK130InfoList* sink = nullptr;
  std::span<const int> analysis_channels;
};

// Reader of the compressed sample files ("CMP", also read as "DAT"), both generations: the old
// one without header (one block per minute, two channels interleaved) and the new one with a
// 10-byte header and two 30-second blocks per minute with a record per channel. Indexes a file
// once, then decodes one minute at a time into the store's channel blocks.
// Holds its working buffers (sized from the format's limits) and the per-channel lead-off episode
// flags, which run on from minute to minute. Not thread-safe: one reader at a time.
class CmpDecoder {
 public:
  enum class Format { kNone = 0, kOld = 1, kNew = 2 };

  static constexpr int kMaxWholeMinutes = 4320;  // three days
  static constexpr int kMaxOldMinutes = 1440;    // the old recorders hold one day
  static constexpr int kNewHeaderBytes = 10;
  static constexpr int kMinOldBlkLen = 900;
  static constexpr int kMaxOldBlkLen = 16000;
  static constexpr int kOldBlockHeaderBytes = 8;
  static constexpr int kMinNewBlkLen = 900;
  static constexpr int kMaxNewBlkLen = 23000;
  static constexpr int kBlockSeconds = 30;
  static constexpr int kBaseFreq = 125;
  static constexpr int kMaxChannels = 3;
  static constexpr int kSamplesPerBlock = kBlockSeconds * kBaseFreq;  // 3750

  CmpDecoder();

  // Scans the file and builds the minute index; clears the episode flags. Throws
  // platform::FormatError when the first word or the new-format header cannot be read, or the
  // header is not the format's (1 to 3 channels, 30-second blocks at 125 Hz). A damaged or cut
  // block ends the scan: the minutes before it stay readable and IndexNote() says where.
  void Index(const SampleFile& file);

  Format GetFormat() const { return format_; }
  int WholeMinutes() const { return whole_minutes_; }
  // Channel records per block (new format); 2 for the old format.
  int ChannelCount() const { return channel_count_; }
  // Why the scan stopped inside the file ("minute 5, block 1 at offset 0x...: blkLen 901 is odd");
  // empty when it ran to the end of the file.
  const std::string& IndexNote() const { return index_note_; }

  // Decodes minute m (below WholeMinutes) into blocks 0..ChannelCount()-1, which the caller has
  // cleared: what a damaged or short record cannot give stays a flat line at 0 (a record shorter
  // than its header or running past its block, and the records after it). A raw full-rate record
  // also gives its last word as the block's last sample. With report set, the minute's markers go
  // to the target in ascending position. Throws platform::IoError on a read error.
  void DecodeMinute(const SampleFile& file, int minute, bool report, std::span<TECGBlock, 3> blocks,
                    const CmpMarkerTarget& target);

  // The checking scan of a new-format file: one line per field read, as the check report shows
  // it. Builds the same index as Index, so the store can decode afterwards. Returns the whole
  // minutes (indexed minutes minus one). Never throws for file content.
  int CheckNew(const SampleFile& file, const std::function<void(const std::string&)>& line);

  // Clears the index (a store without a usable file).
  void Reset();

 private:
  struct MinuteEntry {
    uint64_t offset = 0;
    std::array<uint16_t, 2> blk_len{};  // old format: blk_len[0] only
  };
  struct PendingMarker {
    int32_t position;
    int16_t value;  // flag word or marker code
    int16_t channel;
    bool is_flags;
  };

  void IndexOld(const SampleFile& file, uint64_t file_size);
  void IndexNew(const SampleFile& file, uint64_t file_size);
  void DecodeOldMinute(const SampleFile& file, int minute, bool report, std::span<TECGBlock, 3> blocks,
                       const CmpMarkerTarget& target);
  void DecodeNewMinute(const SampleFile& file, int minute, bool report, std::span<TECGBlock, 3> blocks,
                       const CmpMarkerTarget& target);
  void DecodeRecord(int mode, uint16_t chan_init, const uint8_t* data, size_t data_bytes, int32_t base,
                    int channel, bool report, int16_t* out);
  void QueueMarker(const PendingMarker& marker);
  void ReportFlags(uint16_t word, int channel, int32_t position, const CmpMarkerTarget& target);
  void ReportCode(int code, int channel, int32_t position, const CmpMarkerTarget& target);

  Format format_ = Format::kNone;
  int whole_minutes_ = 0;
  int channel_count_ = 2;
  std::string index_note_;
  std::vector<MinuteEntry> index_;
  std::array<uint16_t, 5> header_{};
  std::array<int32_t, kMaxChannels> episode_{};
  std::vector<uint8_t> block_buffer_;  // one minute of blocks, with room for zero padding
  std::vector<int16_t> values_;        // differences of a minute (old) or a record (new)
  std::vector<PendingMarker> pending_;
};
