#include "document/cmp_decoder.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "document/ecg_block.h"
#include "document/sample_file.h"
#include "document/sample_word.h"
#include "document/zk130_info_list.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

constexpr int kSymLiteral8 = 98;   // an 8-bit literal follows (the old format's escape)
constexpr int kSymLiteral16 = 99;  // a 16-bit literal follows (new format)
constexpr int kSymMarker = 100;    // the next symbol is a marker code (new format)
constexpr int kOldMarker = -128;   // old format: this literal announces a marker code
constexpr int kPeekBits = 10;      // the longest code word

constexpr int kNewValuesFull = CmpDecoder::kSamplesPerBlock;          // 3750
constexpr int kNewValuesHalf = CmpDecoder::kSamplesPerBlock / 2 + 1;  // 1876
constexpr int kOldValuesFull = 15000;  // both channels of a full-rate minute, initial values included
constexpr int kOldValuesHalf = 7504;
constexpr int kSamplesPerMinute = TECGBlock::kSamples;

// Differences above 3 in magnitude are stored halved: odd values only.
int16_t Expand(int16_t s) {
  if (s > 3) return Wrap16(2 * s - 3);
  if (s < -3) return Wrap16(2 * s + 3);
  return s;
}

struct CodeWord {
  const char* bits;
  int16_t symbol;
};

// Shared by both generations up to +-8; they differ in the longest words.
constexpr CodeWord kCommonCodes[] = {
    {"0", 0},         {"1000", 1},      {"1001", -1},
    {"1010", 2},      {"1011", -2},     {"1100", kSymLiteral8},
    {"11010", 3},     {"11011", -3},    {"11100", 4},
    {"11101", -4},    {"111100", 5},    {"111101", -5},
    {"1111100", 6},   {"1111101", -6},  {"11111100", 7},
    {"11111101", -7}, {"111111100", 8}, {"111111101", -8},
};
constexpr CodeWord kOldCodes[] = {{"111111110", 9}, {"111111111", -9}};
constexpr CodeWord kNewCodes[] = {
    {"1111111100", 9}, {"1111111101", -9}, {"1111111110", kSymLiteral16}, {"1111111111", kSymMarker}};

struct LutEntry {
  int16_t symbol = 0;
  int16_t expanded = 0;  // the difference a plain symbol stands for
  uint8_t length = 0;
};
using Lut = std::array<LutEntry, 1 << kPeekBits>;

void AddCodes(Lut& lut, std::span<const CodeWord> codes) {
  for (const CodeWord& code : codes) {
    const int length = static_cast<int>(std::strlen(code.bits));
    unsigned value = 0;
    for (int i = 0; i < length; ++i) value = (value << 1) | (code.bits[i] == '1' ? 1u : 0u);
    const unsigned first = value << (kPeekBits - length);
    const unsigned count = 1u << (kPeekBits - length);
    for (unsigned k = 0; k < count; ++k)
      lut[first + k] = {code.symbol, Expand(code.symbol), static_cast<uint8_t>(length)};
  }
}

const Lut& OldLut() {
  static const Lut lut = [] {
    Lut l{};
    AddCodes(l, kCommonCodes);
    AddCodes(l, kOldCodes);
    return l;
  }();
  return lut;
}

const Lut& NewLut() {
  static const Lut lut = [] {
    Lut l{};
    AddCodes(l, kCommonCodes);
    AddCodes(l, kNewCodes);
    return l;
  }();
  return lut;
}

// Bits of 16-bit little-endian words, most significant bit first. Past the end of its data a
// stream reads as zero bits (code word 0, difference 0): a short stream gives a flat tail, never
// bytes of another record.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t bytes) : data_(data), words_(bytes / 2) {}

  // Makes at least 33 bits available: enough for a code word and a 16-bit literal.
  void Refill() {
    if (bits_ > 32) return;
    uint64_t two = 0;
    if (next_ + 2 <= words_) {
      two =
          (uint64_t{platform::LoadLE16(data_ + 2 * next_)} << 16) | platform::LoadLE16(data_ + 2 * next_ + 2);
    } else if (next_ < words_) {
      two = uint64_t{platform::LoadLE16(data_ + 2 * next_)} << 16;
    }
    next_ += 2;
    buffer_ |= two << (32 - bits_);
    bits_ += 32;
  }
  unsigned Peek(int n) const { return static_cast<unsigned>(buffer_ >> (64 - n)); }
  void Skip(int n) {
    buffer_ <<= n;
    bits_ -= n;
  }
  unsigned Take(int n) {
    const unsigned v = Peek(n);
    Skip(n);
    return v;
  }
  const LutEntry& Entry(const Lut& lut) {
    Refill();
    const LutEntry& e = lut[Peek(kPeekBits)];
    Skip(e.length);
    return e;
  }
  int Symbol(const Lut& lut) { return Entry(lut).symbol; }

 private:
  const uint8_t* data_;
  size_t words_;
  size_t next_ = 0;
  uint64_t buffer_ = 0;
  int bits_ = 0;
};

// The old format's symbol: the escape is replaced by its 8-bit literal.
int OldSymbol(BitReader& bits) {
  const int s = bits.Symbol(OldLut());
  if (s == kSymLiteral8) return static_cast<int8_t>(static_cast<uint8_t>(bits.Take(8)));
  return s;
}

// Undoes the encoder's peak flattening: a difference followed (zeros skipped) by one of the
// opposite sign both grow by one in magnitude. `pending` is the index of the difference waiting
// for its partner, -1 when none.
inline void PeakCorrect(int16_t* values, int index, int16_t& d, int& pending) {
  if (d == 0) return;
  if (pending < 0) {
    pending = index;
    return;
  }
  const int16_t p = values[pending];
  if ((p > 0) != (d > 0)) {
    values[pending] = Wrap16(p > 0 ? p + 1 : p - 1);
    d = Wrap16(p > 0 ? d - 1 : d + 1);
    pending = -1;
  } else {
    pending = index;
  }
}

// Samples from an initial value and differences d_1.. at d[stride * k]: full rate one sample per
// accumulator step, half rate an interpolated sample between steps. All arithmetic is 16-bit.
void Integrate(int16_t init, const int16_t* d, int stride, int samples, bool half_rate, int16_t* out) {
  int16_t acc = init;
  if (!half_rate) {
    out[0] = Wrap16(2 * acc);
    for (int j = 1; j < samples; ++j) {
      acc = Wrap16(acc + d[stride * j]);
      out[j] = Wrap16(2 * acc);
    }
    return;
  }
  const int last = samples / 2 - 1;
  for (int j = 0; j < last; ++j) {
    const int16_t next = d[stride * (j + 1)];
    out[2 * j] = Wrap16(2 * acc);
    out[2 * j + 1] = Wrap16(2 * Wrap16(acc + next / 2));
    acc = Wrap16(acc + next);
  }
  out[samples - 2] = Wrap16(2 * acc);
  acc = Wrap16(acc + d[stride * (last + 1)]);
  out[samples - 1] = Wrap16(2 * acc);
}

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%" PRIX64, value);
  return text;
}

template <typename... Args>
std::string Printf(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace

CmpDecoder::CmpDecoder() : block_buffer_(2 * kMaxNewBlkLen + 16), values_(kOldValuesFull + 8) {}

void CmpDecoder::Reset() {
  format_ = Format::kNone;
  whole_minutes_ = 0;
  channel_count_ = 2;
  index_note_.clear();
  index_.clear();
  header_ = {};
  episode_ = {};
  pending_.clear();
}

void CmpDecoder::Index(const SampleFile& file) {
  Reset();
  const uint64_t size = file.Size();
  uint16_t first = 0;
  if (!file.ReadWord(0, first))
    throw platform::FormatError(file.Path() + ", offset 0",
                                "the first word cannot be read (the file is empty)");
  if (first & 0x8000) {
    IndexNew(file, size);
  } else {
    format_ = Format::kOld;
    IndexOld(file, size);
  }
}

void CmpDecoder::IndexOld(const SampleFile& file, uint64_t file_size) {
  uint64_t offset = 0;
  for (int k = 0; k <= kMaxWholeMinutes; ++k) {
    uint8_t head[kOldBlockHeaderBytes];
    const size_t got = file.ReadAt(offset, head);
    const std::string where = "minute " + std::to_string(k) + " at offset " + Hex(offset) + ": ";
    if (got == 0 && offset == file_size) break;
    if (got < sizeof head) {
      index_note_ = where + "the block header is cut off";
      break;
    }
    const uint16_t blk_len = platform::LoadLE16(head);
    if (blk_len % 2 != 0 || blk_len < kMinOldBlkLen || blk_len > kMaxOldBlkLen) {
      index_note_ = where + "blkLen " + std::to_string(blk_len) + " is not an even length of 900 to 16000";
      break;
    }
    // A block cut off by the end of the file is not a whole minute.
    if (offset + kOldBlockHeaderBytes + blk_len > file_size) {
      index_note_ = where + "the block is cut off by the end of the file";
      break;
    }
    index_.push_back({offset, {blk_len, 0}});
    offset += kOldBlockHeaderBytes + blk_len;
  }
  whole_minutes_ = std::min<int>(static_cast<int>(index_.size()), kMaxOldMinutes);
}

void CmpDecoder::IndexNew(const SampleFile& file, uint64_t file_size) {
  uint8_t head[kNewHeaderBytes];
  if (file.ReadAt(0, head) != sizeof head)
    throw platform::FormatError(file.Path() + ", file header", "the 10-byte header is cut off");
  for (size_t i = 0; i < header_.size(); ++i) header_[i] = platform::LoadLE16(head + 2 * i);
  const int blk_size = header_[1];
  const int channels = header_[2];
  const int base_freq = header_[3];
  if (channels < 1 || channels > kMaxChannels)
    throw platform::FormatError(file.Path() + ", file header",
                                "nbrsChan " + std::to_string(channels) + " is not 1 to 3 channels");
  if (blk_size != kBlockSeconds || base_freq != kBaseFreq)
    throw platform::FormatError(file.Path() + ", file header", "blocks of " + std::to_string(blk_size) +
                                                                   " s at " + std::to_string(base_freq) +
                                                                   " Hz; the format has 30 s at 125 Hz");
  format_ = Format::kNew;
  channel_count_ = channels;

  uint64_t offset = kNewHeaderBytes;
  for (int k = 0; k <= kMaxWholeMinutes; ++k) {
    MinuteEntry entry{offset, {}};
    bool ok = true;
    for (int b = 0; b < 2 && ok; ++b) {
      const std::string where =
          "minute " + std::to_string(k) + ", block " + std::to_string(b) + " at offset " + Hex(offset) + ": ";
      uint16_t blk_len = 0;
      if (!file.ReadWord(offset, blk_len)) {
        if (!(b == 0 && offset == file_size)) index_note_ = where + "the file ends inside the block";
        ok = false;
        break;
      }
      if (blk_len % 2 != 0 || blk_len < kMinNewBlkLen || blk_len > kMaxNewBlkLen) {
        index_note_ = where + "blkLen " + std::to_string(blk_len) + " is not an even length of 900 to 23000";
        ok = false;
        break;
      }
      entry.blk_len[b] = blk_len;
      offset += blk_len;
    }
    if (!ok) break;
    uint64_t record = entry.offset + 4;
    for (int c = 0; c < channels && ok; ++c) {
      uint16_t chan_len = 0;
      uint16_t chan_init = 0;
      if (!file.ReadWord(record, chan_len) || !file.ReadWord(record + 2, chan_init)) {
        index_note_ = "minute " + std::to_string(k) + ", record " + std::to_string(c) + " at offset " +
                      Hex(record) + ": the file ends inside the record";
        ok = false;
      }
      record += chan_len;
    }
    if (!ok) break;
    index_.push_back(entry);
  }
  // The last minute found is never whole: the recorder closes the file inside it.
  whole_minutes_ = std::clamp(static_cast<int>(index_.size()) - 1, 0, kMaxWholeMinutes);
}

void CmpDecoder::DecodeMinute(const SampleFile& file, int minute, bool report, std::span<TECGBlock, 3> blocks,
                              const CmpMarkerTarget& target) {
  if (minute < 0 || minute >= whole_minutes_ || static_cast<size_t>(minute) >= index_.size()) return;
  if (format_ == Format::kOld) DecodeOldMinute(file, minute, report, blocks, target);
  if (format_ == Format::kNew) DecodeNewMinute(file, minute, report, blocks, target);
}

void CmpDecoder::DecodeOldMinute(const SampleFile& file, int minute, bool report,
                                 std::span<TECGBlock, 3> blocks, const CmpMarkerTarget& target) {
  const MinuteEntry& entry = index_[minute];
  const size_t need = kOldBlockHeaderBytes + entry.blk_len[0];
  uint8_t* buf = block_buffer_.data();
  const size_t got = file.ReadAt(entry.offset, std::span<uint8_t>(buf, need));
  // The file changed since it was indexed: show nothing rather than a guess.
  if (got < need || platform::LoadLE16(buf) != entry.blk_len[0]) return;
  const int mode = platform::LoadLE16(buf + 2) & 3;
  if (mode >= 2) return;  // not defined for the old format
  const uint16_t init[2] = {platform::LoadLE16(buf + 4), platform::LoadLE16(buf + 6)};
  const int32_t base = kSamplesPerMinute * minute;
  if (report) {
    ReportFlags(init[0], 0, base, target);
    ReportFlags(init[1], 1, base, target);
  }
  const int count = mode == 0 ? kOldValuesFull : kOldValuesHalf;
  int16_t* values = values_.data();
  values[0] = Int12(init[0]);
  values[1] = Int12(init[1]);
  BitReader bits(buf + kOldBlockHeaderBytes, entry.blk_len[0]);
  int pending[2] = {-1, -1};
  for (int i = 2; i < count;) {
    const int s = OldSymbol(bits);
    if (s == kOldMarker) {
      const int code = OldSymbol(bits);
      if (report) {
        const int32_t pos = base + (mode == 0 ? i / 2 : 2 * (i / 2) - 1);
        ReportCode(code, i % 2, pos, target);
      }
      continue;
    }
    int32_t v = s;
    int last = s;
    if (s == 127) {
      do {
        last = OldSymbol(bits);
        v += last;
      } while (last == 127);
    }
    if (last == -127) {
      do {
        last = OldSymbol(bits);
        v += last;
      } while (last == -127);
    }
    int16_t d = Int12(static_cast<uint16_t>(Expand(Wrap16(v))));
    PeakCorrect(values, i, d, pending[i % 2]);
    values[i] = d;
    ++i;
  }
  for (int c = 0; c < 2; ++c)
    Integrate(values[c], values + c, 2, kSamplesPerMinute, mode == 1, blocks[c].samples.data());
}

void CmpDecoder::DecodeNewMinute(const SampleFile& file, int minute, bool report,
                                 std::span<TECGBlock, 3> blocks, const CmpMarkerTarget& target) {
  const MinuteEntry& entry = index_[minute];
  const size_t total = size_t{entry.blk_len[0]} + entry.blk_len[1];
  uint8_t* buf = block_buffer_.data();
  const size_t got = file.ReadAt(entry.offset, std::span<uint8_t>(buf, total));
  pending_.clear();
  size_t start = 0;
  for (int b = 0; b < 2; ++b) {
    const size_t block_len = entry.blk_len[b];
    const size_t held = got > start ? std::min(block_len, got - start) : 0;
    const uint8_t* block = buf + start;
    start += block_len;
    // A block whose length changed since the index is not the block that was indexed.
    if (held < 4 || platform::LoadLE16(block) != block_len) continue;
    const int mode = platform::LoadLE16(block + 2) & 3;
    const int32_t base = kSamplesPerMinute * minute + kSamplesPerBlock * b;
    size_t pos = 4;
    for (int c = 0; c < channel_count_; ++c) {
      if (pos + 4 > held) break;
      const size_t chan_len = platform::LoadLE16(block + pos);
      // A record shorter than its own header or longer than what is left of the block is
      // outside the format: it and the rest of the block stay flat.
      if (chan_len < 4 || pos + chan_len > held) break;
      DecodeRecord(mode, platform::LoadLE16(block + pos + 2), block + pos + 4, chan_len - 4, base, c, report,
                   blocks[c].samples.data() + kSamplesPerBlock * b);
      pos += chan_len;
    }
  }
  if (report) {
    for (const PendingMarker& m : pending_) {
      if (m.is_flags)
        ReportFlags(static_cast<uint16_t>(m.value), m.channel, m.position, target);
      else
        ReportCode(m.value, m.channel, m.position, target);
    }
  }
  pending_.clear();
}

void CmpDecoder::DecodeRecord(int mode, uint16_t chan_init, const uint8_t* data, size_t data_bytes,
                              int32_t base, int channel, bool report, int16_t* out) {
  const bool half_rate = (mode & 1) != 0;
  const int n = half_rate ? kNewValuesHalf : kNewValuesFull;
  const auto ch = static_cast<int16_t>(channel);
  if (mode >= 2) {
    // Raw 12-bit words: chanInit is word 0; words missing from a short record read as 0.
    const size_t words = data_bytes / 2;
    auto word = [&](int i) -> uint16_t {
      if (i == 0) return chan_init;
      return static_cast<size_t>(i - 1) < words ? platform::LoadLE16(data + 2 * (i - 1)) : 0;
    };
    if (report) {
      // The recorders place a raw word's flags by the half-rate offsets in both raw modes: word 0
      // at the block start (half rate only), word i one sample after 2i. A full-rate block's last
      // word carries no flags.
      const int last_flagged = half_rate ? n - 1 : n - 2;
      for (int i = 0; i <= last_flagged; ++i) {
        const uint16_t w = word(i);
        if (MarkerFlags(w) == 0) continue;
        const int32_t pos = base + (half_rate && i == 0 ? 0 : 2 * i + 1);
        QueueMarker({pos, static_cast<int16_t>(w), ch, true});
      }
    }
    if (!half_rate) {
      for (int i = 0; i < n; ++i) out[i] = Wrap16(2 * Int12(word(i)));
      return;
    }
    for (int i = 0; i <= n - 2; ++i) out[2 * i] = Wrap16(2 * Int12(word(i)));
    for (int i = 0; i <= n - 3; ++i) out[2 * i + 1] = Wrap16(2 * ((Int12(word(i)) + Int12(word(i + 1))) / 2));
    out[kSamplesPerBlock - 1] = Wrap16(2 * Int12(word(n - 1)));
    return;
  }

  if (report && MarkerFlags(chan_init) != 0) QueueMarker({base, static_cast<int16_t>(chan_init), ch, true});
  int16_t* d = values_.data();
  d[0] = 0;
  BitReader bits(data, data_bytes);
  const Lut& lut = NewLut();
  int pending = -1;
  for (int i = 1; i < n;) {
    const LutEntry& e = bits.Entry(lut);
    int16_t diff = e.expanded;
    if (e.symbol >= kSymLiteral8) {
      if (e.symbol == kSymMarker) {
        const int code = bits.Symbol(lut);  // taken as the raw symbol, no literal behind it
        if (report && code >= -1 && code <= 9)
          QueueMarker({base + (half_rate ? 2 * i - 1 : i), static_cast<int16_t>(code), ch, false});
        continue;
      }
      const int literal = e.symbol == kSymLiteral8
                              ? static_cast<int8_t>(static_cast<uint8_t>(bits.Take(8)))
                              : static_cast<int16_t>(static_cast<uint16_t>(bits.Take(16)));
      diff = Expand(static_cast<int16_t>(literal));
    }
    PeakCorrect(d, i, diff, pending);
    d[i] = diff;
    ++i;
  }
  Integrate(Int12(chan_init), d, 1, kSamplesPerBlock, half_rate, out);
}

void CmpDecoder::QueueMarker(const PendingMarker& marker) {
  // Before the first entry whose position is not smaller (the queue stays sorted): among equal
  // positions the later one is reported first.
  const auto at =
      std::lower_bound(pending_.begin(), pending_.end(), marker.position,
                       [](const PendingMarker& m, int32_t position) { return m.position < position; });
  pending_.insert(at, marker);
}

namespace {
int AnalysisIndex(const CmpMarkerTarget& target, int channel) {
  for (size_t i = 0; i < target.analysis_channels.size(); ++i)
    if (target.analysis_channels[i] == channel) return static_cast<int>(i);
  return -1;
}
}  // namespace

void CmpDecoder::ReportFlags(uint16_t word, int channel, int32_t position, const CmpMarkerTarget& target) {
  if (target.sink == nullptr || channel < 0 || channel >= kMaxChannels) return;
  TZK130InfoList& sink = *target.sink;
  if (word & 0x1000) {
    if (channel == 0) sink.AddEntry(1, position, channel);
    if (channel == 1) sink.AddEntry(4, position, channel);
  }
  if ((word & 0x2000) && episode_[channel] == 0) sink.AddEntry(2, position, channel);
  if (word & 0x4000) sink.AddEntry(0, position, channel);
  if ((word & 0x8000) && episode_[channel] == 0) {
    const int index = AnalysisIndex(target, channel);
    if (index >= 0) {
      sink.AddEntry(TZK130InfoList::kEpisodeKind, position, index);
      episode_[channel] = 1;
    }
  }
}

void CmpDecoder::ReportCode(int code, int channel, int32_t position, const CmpMarkerTarget& target) {
  if (target.sink == nullptr || channel < 0 || channel >= kMaxChannels) return;
  TZK130InfoList& sink = *target.sink;
  switch (code) {
    case -1:
      sink.AddEntry(1, position, channel);
      break;
    case 0:
      if (episode_[channel] == 0) sink.AddEntry(2, position, channel);
      break;
    case 1:
      sink.AddEntry(0, position, channel);
      break;
    case 2: {
      const int index = AnalysisIndex(target, channel);
      if (index >= 0) {
        sink.AddEntry(TZK130InfoList::kEpisodeKind, position, index);
        episode_[channel] ^= 1;
      }
      break;
    }
    case 9:
      sink.AddEntry(5, position - 1, channel);
      break;
    default:
      break;
  }
}

int CmpDecoder::CheckNew(const SampleFile& file, const std::function<void(const std::string&)>& line) {
  Reset();
  bool error = false;
  int identical = 0;
  auto finish = [&] {
    line(Printf("Number of identical Data blocks: %d\n", identical));
    line(error ? "Error found in InitNewDEC\n" : "No error found in InitNewDEC\n");
    whole_minutes_ = std::clamp(static_cast<int>(index_.size()) - 1, 0, kMaxWholeMinutes);
    return whole_minutes_;
  };
  uint8_t head[kNewHeaderBytes];
  if (file.ReadAt(0, head) != sizeof head) {
    line("Error: Read file fileHead\n");
    error = true;
    return finish();
  }
  for (size_t i = 0; i < header_.size(); ++i) header_[i] = platform::LoadLE16(head + 2 * i);
  const unsigned nbr_comp = header_[0] & 0x7FFF;
  line(Printf("fileHead.nbrComp    : %6u <=> 0x%04X\n", nbr_comp, nbr_comp));
  line(Printf("fileHead.blkSize    : %6u <=> 0x%04X\n", unsigned{header_[1]}, unsigned{header_[1]}));
  line(Printf("fileHead.nbrsBlk    : %6u <=> 0x%04X\n", 2u, 2u));
  line(Printf("fileHead.nbrsChan   : %6u <=> 0x%04X\n", unsigned{header_[2]}, unsigned{header_[2]}));
  line(Printf("fileHead.baseFreq   : %6u <=> 0x%04X\n", unsigned{header_[3]}, unsigned{header_[3]}));
  line(Printf("fileHead.baseSens   : %6u <=> 0x%04X\n", unsigned{header_[4]}, unsigned{header_[4]}));
  const int channels = header_[2];
  if (channels < 1 || channels > kMaxChannels || header_[1] != kBlockSeconds || header_[3] != kBaseFreq) {
    line("Error: fileHead outside the format (1 to 3 channels, 30 s blocks at 125 Hz)\n");
    error = true;
    return finish();
  }
  format_ = Format::kNew;
  channel_count_ = channels;

  std::vector<uint8_t> data(0x10000);
  uint64_t offset = kNewHeaderBytes;
  for (int k = 0; !error && k <= kMaxWholeMinutes; ++k) {
    line(Printf("nbrsMin             : %6u    offset: 0x%08" PRIx64 "\n", static_cast<unsigned>(k), offset));
    MinuteEntry entry{offset, {}};
    bool minute_ok = true;
    bool ended = false;
    for (int b = 0; b < 2; ++b) {
      uint16_t blk_len = 0;
      if (!file.ReadWord(offset, blk_len)) {
        line("Normal End OR Error: Read file blklen failed\n");
        ended = true;
        break;
      }
      line(Printf("%4d-%d-x.blkLen     : %6u <=> 0x%04X\n", k, b, unsigned{blk_len}, unsigned{blk_len}));
      bool block_error = false;
      if (blk_len % 2 != 0) {
        line("Error: blkLen % 2 != 0\n");
        block_error = true;
      }
      if (blk_len < kMinNewBlkLen || blk_len > kMaxNewBlkLen) {
        line("Error: blkLen < 900 oder blkLen > 23000\n");
        block_error = true;
      }
      uint16_t blk_head = 0;
      if (!block_error && !file.ReadWord(offset + 2, blk_head)) {
        line("Error: Read file blkHead failed\n");
        block_error = true;
      }
      uint64_t record = offset + 4;
      unsigned sum = 0;
      for (int c = 0; c < channels && !block_error; ++c) {
        uint16_t chan_len = 0;
        uint16_t chan_init = 0;
        if (!file.ReadWord(record, chan_len)) {
          line("Error: Read file chanLen\n");
          block_error = true;
          break;
        }
        line(Printf("%4d-%d-%d.chanLen    : %6u <=> 0x%04X    offset: 0x%08" PRIx64 "\n", k, b, c,
                    unsigned{chan_len}, unsigned{chan_len}, record));
        if (!file.ReadWord(record + 2, chan_init)) {
          line("Error: Read file chanInit\n");
          block_error = true;
          break;
        }
        line(Printf("%4d-%d-%d.chanInit   : %6d <=> 0x%04X\n", k, b, c, int{static_cast<int16_t>(chan_init)},
                    unsigned{chan_init}));
        if (chan_len < 4) {
          line("Error: chanLen < 4\n");
          block_error = true;
          break;
        }
        const size_t data_bytes = chan_len - 4u;
        if (file.ReadAt(record + 4, std::span<uint8_t>(data.data(), data_bytes)) != data_bytes) {
          line("Error: Read file chanDat\n");
          block_error = true;
          break;
        }
        const size_t words = data_bytes / 2;
        auto word = [&](size_t i) -> unsigned {
          return i < words ? platform::LoadLE16(data.data() + 2 * i) : 0u;
        };
        bool same = words > 0;
        for (size_t i = 1; i < words && same; ++i) same = word(i) == word(0);
        if (same) ++identical;
        line(Printf("%4d-%d-%d.chanDat    :   %04X %04X %04X %04X %s\n", k, b, c, word(0), word(1), word(2),
                    word(3), same ? "<- !!!!!" : ""));
        sum += chan_len;
        record += chan_len;
      }
      if (!block_error && sum + 4 != blk_len) {
        line(Printf("Error: BlkLen: %u != SumChanLen+4: %u\n", unsigned{blk_len}, sum + 4));
        block_error = true;
      }
      entry.blk_len[b] = blk_len;
      offset += blk_len;
      if (block_error) {
        error = true;
        minute_ok = false;
        break;
      }
    }
    if (ended) break;
    if (minute_ok) index_.push_back(entry);
  }
  return finish();
}
