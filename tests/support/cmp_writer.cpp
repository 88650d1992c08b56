#include "support/cmp_writer.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/archive.h"

namespace testsupport {
namespace {

constexpr int kNewBlockSamples = 3750;  // 30 s at 125 Hz
constexpr int kNewMinBlockLen = 900;
constexpr int kNewMaxBlockLen = 23000;
constexpr int kOldMinDataLen = 900;
constexpr int kOldMaxDataLen = 16000;
// Initial values and raw words hold 12 bits; coded differences carry the accumulator anywhere in
// the 16-bit sample range.
constexpr int kAccMin = -2048;
constexpr int kAccMax = 2047;
constexpr int kCodedAccMin = -16384;
constexpr int kCodedAccMax = 16383;
// Largest planned difference. The old format reduces differences to 12 bits before the peak
// correction; the new one expands a 16-bit literal in 16-bit arithmetic.
constexpr int kOldMaxStep = 2000;
constexpr int kNewMaxStep = 8000;

int16_t Wrap16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
int Sign(int32_t v) { return (v > 0) - (v < 0); }

// ---------------------------------------------------------------------------------------------
// Prefix codes.

struct Code {
  uint16_t bits = 0;
  uint8_t length = 0;
};

constexpr Code MakeCode(const char* text) {
  Code code;
  for (const char* p = text; *p != '\0'; ++p) {
    code.bits = static_cast<uint16_t>((code.bits << 1) | (*p == '1' ? 1 : 0));
    ++code.length;
  }
  return code;
}

// Symbols -9..9, indexed by symbol + 9.
constexpr std::array<Code, 19> kOldCodes = {
    MakeCode("111111111"), MakeCode("111111101"), MakeCode("11111101"), MakeCode("1111101"),
    MakeCode("111101"),    MakeCode("11101"),     MakeCode("11011"),    MakeCode("1011"),
    MakeCode("1001"),      MakeCode("0"),         MakeCode("1000"),     MakeCode("1010"),
    MakeCode("11010"),     MakeCode("11100"),     MakeCode("111100"),   MakeCode("1111100"),
    MakeCode("11111100"),  MakeCode("111111100"), MakeCode("111111110")};
constexpr std::array<Code, 19> kNewCodes = {
    MakeCode("1111111101"), MakeCode("111111101"), MakeCode("11111101"), MakeCode("1111101"),
    MakeCode("111101"),     MakeCode("11101"),     MakeCode("11011"),    MakeCode("1011"),
    MakeCode("1001"),       MakeCode("0"),         MakeCode("1000"),     MakeCode("1010"),
    MakeCode("11010"),      MakeCode("11100"),     MakeCode("111100"),   MakeCode("1111100"),
    MakeCode("11111100"),   MakeCode("111111100"), MakeCode("1111111100")};
constexpr Code kEscape8 = MakeCode("1100");  // old escape, new symbol 98
constexpr Code kLiteral16 = MakeCode("1111111110");
constexpr Code kMarker = MakeCode("1111111111");

// Packs bits most significant first into 16-bit little-endian words.
class BitWriter {
 public:
  void Put(uint32_t bits, int count) {
    acc_ = (acc_ << count) | (bits & ((1u << count) - 1u));
    pending_ += count;
    while (pending_ >= 16) {
      pending_ -= 16;
      const uint16_t word = static_cast<uint16_t>(acc_ >> pending_);
      bytes_.push_back(static_cast<uint8_t>(word));
      bytes_.push_back(static_cast<uint8_t>(word >> 8));
      acc_ &= (1u << pending_) - 1u;
    }
  }
  void Put(const Code& code) { Put(code.bits, code.length); }
  // Pads the last word with zero bits.
  std::vector<uint8_t> Finish() {
    if (pending_ > 0) Put(0, 16 - pending_);
    return std::move(bytes_);
  }

 private:
  uint32_t acc_ = 0;
  int pending_ = 0;
  std::vector<uint8_t> bytes_;
};

// The symbol a written difference e comes from: the reader doubles magnitudes above 3 less 3.
int32_t SymbolOf(int32_t e) {
  if (e >= -3 && e <= 3) return e;
  assert((e & 1) != 0);
  return e > 0 ? (e + 3) / 2 : (e - 3) / 2;
}

void PutNewSymbol(BitWriter& bits, int32_t symbol) {
  if (symbol >= -9 && symbol <= 9) {
    bits.Put(kNewCodes[static_cast<size_t>(symbol + 9)]);
  } else if (symbol >= -128 && symbol <= 127) {
    bits.Put(kEscape8);
    bits.Put(static_cast<uint32_t>(symbol) & 0xFF, 8);
  } else {
    bits.Put(kLiteral16);
    bits.Put(static_cast<uint32_t>(symbol) & 0xFFFF, 16);
  }
}

// One old-format symbol: a code word or an escaped byte. -128 is the marker symbol and never a value.
void PutOldSymbol(BitWriter& bits, int32_t symbol) {
  assert(symbol >= -127 && symbol <= 127);
  if (symbol >= -9 && symbol <= 9) {
    bits.Put(kOldCodes[static_cast<size_t>(symbol + 9)]);
  } else {
    bits.Put(kEscape8);
    bits.Put(static_cast<uint32_t>(symbol) & 0xFF, 8);
  }
}

// The reader sums a run of 127 (or of -127) with the symbol that ends it.
void PutOldValue(BitWriter& bits, int32_t value) {
  if (value >= 127) {
    for (; value >= 127; value -= 127) PutOldSymbol(bits, 127);
    PutOldSymbol(bits, value);
  } else if (value <= -127) {
    for (; value <= -127; value += 127) PutOldSymbol(bits, -127);
    PutOldSymbol(bits, value);
  } else {
    PutOldSymbol(bits, value);
  }
}

// ---------------------------------------------------------------------------------------------
// Planning the differences.
//
// The reader grows a pending difference and the next non-zero difference of the opposite sign by
// one each. Which differences pair depends only on the signs, so the planner picks decoded
// differences D and writes D less its sign for the paired ones. A decoded difference is reachable
// unpaired when its magnitude is 1, 2, 3 or odd, paired when it is 2, 3 or even. The fate of a
// pending difference is known only at the next non-zero one; until then its value is provisional
// and may move by one, shifting the samples since it (the "stretch").

enum class Allowed { kAny, kUnpaired, kPaired };

bool IsAllowed(int32_t magnitude, Allowed allowed) {
  switch (allowed) {
    case Allowed::kAny:
      return magnitude >= 1;
    case Allowed::kUnpaired:
      return magnitude >= 1 && (magnitude <= 3 || (magnitude & 1) != 0);
    case Allowed::kPaired:
      return magnitude >= 2 && (magnitude == 3 || (magnitude & 1) == 0);
  }
  return false;
}

int32_t Distance(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo - v : (v > hi ? v - hi : 0); }

// The value of the given sign and allowed magnitude closest to [lo, hi]; ties go to the smaller
// magnitude.
int32_t NearestSigned(int32_t lo, int32_t hi, int sign, Allowed allowed, int32_t max_step) {
  const int32_t ml = sign > 0 ? lo : -hi;
  const int32_t mh = sign > 0 ? hi : -lo;
  const std::array<int32_t, 10> candidates = {ml - 1, ml, ml + 1, mh - 1, mh, mh + 1, 1, 2, max_step - 1, max_step};
  int32_t best = -1;
  int32_t best_distance = 0;
  for (int32_t m : candidates) {
    if (m < 1 || m > max_step || !IsAllowed(m, allowed)) continue;
    const int32_t d = Distance(m, ml, mh);
    if (best < 0 || d < best_distance || (d == best_distance && m < best)) {
      best = m;
      best_distance = d;
    }
  }
  assert(best > 0);
  return sign * best;
}

// Plans one stream of one channel. lo/hi: the accumulator values that are right at each step
// (count values, the first is the initial value). Fills acc (decoded accumulators), diff (decoded
// differences, diff[0] unused) and written (what goes into the stream, written[0] unused).
class StreamPlanner {
 public:
  void Plan(std::span<const int32_t> lo, std::span<const int32_t> hi, int32_t max_step) {
    const size_t count = lo.size();
    acc_.assign(count, 0);
    diff_.assign(count, 0);
    paired_.assign(count, 0);
    written_.assign(count, 0);

    int32_t y = std::clamp(lo[0], kAccMin, kAccMax);
    acc_[0] = y;
    bool pending = false;
    size_t p = 0;
    int sp = 0;
    // Worst residuals over the stretch: max(lo - y) and max(y - hi).
    int32_t above = 0;
    int32_t below = 0;

    for (size_t j = 1; j < count; ++j) {
      const int32_t dlo = lo[j] - y;
      const int32_t dhi = hi[j] - y;
      if (dlo <= 0 && dhi >= 0) {
        if (pending) {
          above = std::max(above, dlo);
          below = std::max(below, -dhi);
        }
        continue;
      }
      if (!pending) {
        const int32_t d = std::clamp(dlo > 0 ? dlo : dhi, -max_step, max_step);
        diff_[j] = d;
        y += d;
        pending = true;
        p = j;
        sp = Sign(d);
        above = lo[j] - y;
        below = y - hi[j];
        continue;
      }

      struct Choice {
        int kind = -1;  // 0 zero, 1 same sign (new pending), 2 opposite sign (pairs)
        int delta = 0;
        int32_t d = 0;
        int32_t current = 0;
        int32_t stretch = 0;
      };
      auto better = [](const Choice& a, const Choice& b) {
        if (b.kind < 0) return true;
        const auto key = [](const Choice& c) {
          return std::array<int32_t, 5>{std::max(c.current, c.stretch), c.current, c.stretch, std::abs(c.delta), c.kind};
        };
        return key(a) < key(b);
      };
      Choice best;
      for (int delta : {0, -1, 1}) {
        const int32_t dp = diff_[p] + delta;
        if (dp == 0 || Sign(dp) != sp || std::abs(dp) > max_step + 1) continue;
        const int32_t stretch = std::max({above - delta, below + delta, 0});
        const int32_t rlo = dlo - delta;
        const int32_t rhi = dhi - delta;
        Choice zero{0, delta, 0, Distance(0, rlo, rhi), stretch};
        if (better(zero, best)) best = zero;
        if (IsAllowed(std::abs(dp), Allowed::kUnpaired)) {
          const int32_t d = NearestSigned(rlo, rhi, sp, Allowed::kAny, max_step);
          Choice same{1, delta, d, Distance(d, rlo, rhi), stretch};
          if (better(same, best)) best = same;
        }
        if (IsAllowed(std::abs(dp), Allowed::kPaired)) {
          const int32_t d = NearestSigned(rlo, rhi, -sp, Allowed::kPaired, max_step);
          Choice opposite{2, delta, d, Distance(d, rlo, rhi), stretch};
          if (better(opposite, best)) best = opposite;
        }
        if (delta == 0 && best.current == 0 && best.stretch == 0) break;
      }
      assert(best.kind >= 0);
      diff_[p] += best.delta;
      y += best.delta;
      if (best.kind == 0) {
        above = std::max(above - best.delta, lo[j] - y);
        below = std::max(below + best.delta, y - hi[j]);
      } else if (best.kind == 1) {
        diff_[j] = best.d;
        y += best.d;
        p = j;
        sp = Sign(best.d);
        above = lo[j] - y;
        below = y - hi[j];
      } else {
        diff_[j] = best.d;
        y += best.d;
        paired_[p] = 1;
        paired_[j] = 1;
        pending = false;
      }
    }
    if (pending && !IsAllowed(std::abs(diff_[p]), Allowed::kUnpaired)) {
      // Even magnitude of 4 or more left pending at the end: one step either way is odd.
      const int32_t up = std::max({above - 1, below + 1, 0});
      const int32_t down = std::max({above + 1, below - 1, 0});
      diff_[p] += down <= up ? -1 : 1;
    }

    y = acc_[0];
    for (size_t j = 1; j < count; ++j) {
      y += diff_[j];
      acc_[j] = y;
      written_[j] = paired_[j] ? diff_[j] - Sign(diff_[j]) : diff_[j];
    }
    assert(CheckPeakCorrection());
  }

  std::span<const int32_t> Acc() const { return acc_; }
  std::span<const int32_t> Diff() const { return diff_; }
  std::span<const int32_t> Written() const { return written_; }

 private:
  // The reader's peak correction applied to what is written must give back the plan.
  bool CheckPeakCorrection() const {
    std::vector<int32_t> d(written_);
    size_t pending = 0;
    bool has_pending = false;
    for (size_t j = 1; j < d.size(); ++j) {
      if (d[j] == 0) continue;
      if (has_pending && Sign(d[j]) != Sign(d[pending])) {
        d[pending] += Sign(d[pending]);
        d[j] += Sign(d[j]);
        has_pending = false;
      } else {
        pending = j;
        has_pending = true;
      }
    }
    for (size_t j = 1; j < d.size(); ++j) {
      if (d[j] != diff_[j]) return false;
      if (written_[j] > 3 || written_[j] < -3) {
        if ((written_[j] & 1) == 0) return false;
      }
    }
    return true;
  }

  std::vector<int32_t> acc_;
  std::vector<int32_t> diff_;
  std::vector<uint8_t> paired_;
  std::vector<int32_t> written_;
};

// The accumulator values that decode to a sample within one unit of x.
void TargetOf(int16_t x, int32_t& lo, int32_t& hi) {
  const int32_t v = x;
  lo = std::clamp(v >= 0 ? v / 2 : -((-v + 1) / 2), kCodedAccMin, kCodedAccMax);
  hi = std::clamp(v >= 0 ? (v + 1) / 2 : -((-v) / 2), kCodedAccMin, kCodedAccMax);
}

int16_t RawWordOf(int16_t x) {
  int32_t lo;
  int32_t hi;
  TargetOf(x, lo, hi);
  return static_cast<int16_t>(std::clamp(lo, kAccMin, kAccMax));
}

// Targets of a coded stream: full rate takes every sample; half rate every second one and then the
// last sample, padded to `count` by repeating the last.
void CodedTargets(std::span<const int16_t> samples, bool half, size_t count, std::vector<int32_t>& lo,
                  std::vector<int32_t>& hi) {
  lo.assign(count, 0);
  hi.assign(count, 0);
  const size_t n = samples.size();
  for (size_t j = 0; j < count; ++j) {
    const size_t index = std::min(half ? 2 * j : j, n - 1);
    TargetOf(samples[index], lo[j], hi[j]);
  }
}

// Samples a reader integrates from a planned stream; `samples` values of one channel.
void DecodePlanned(const StreamPlanner& plan, bool half, std::span<int16_t> out) {
  const auto acc = plan.Acc();
  const auto diff = plan.Diff();
  if (!half) {
    for (size_t j = 0; j < out.size(); ++j) out[j] = Wrap16(2 * acc[j]);
    return;
  }
  const size_t last = out.size() / 2 - 1;
  for (size_t j = 0; j < last; ++j) {
    out[2 * j] = Wrap16(2 * acc[j]);
    out[2 * j + 1] = Wrap16(2 * (acc[j] + diff[j + 1] / 2));
  }
  out[2 * last] = Wrap16(2 * acc[last]);
  out[2 * last + 1] = Wrap16(2 * acc[last + 1]);
}

uint16_t CodeToFlag(int code) {
  switch (code) {
    case -1:
      return 0x1000;
    case 0:
      return 0x2000;
    case 1:
      return 0x4000;
    case 2:
      return 0x8000;
    default:
      return 0;
  }
}

void CheckMarker(const CmpMarker& marker, int channel_count) {
  if (marker.channel < 0 || marker.channel >= channel_count)
    throw std::invalid_argument("marker channel " + std::to_string(marker.channel) + " outside the file's channels");
  if (marker.type == CmpMarker::Type::kCode && (marker.value < -9 || marker.value > 9))
    throw std::invalid_argument("marker code " + std::to_string(marker.value) + " outside -9..9");
  if (marker.type == CmpMarker::Type::kFlags && (marker.value == 0 || (marker.value & ~0xF000) != 0))
    throw std::invalid_argument("marker flags must be bits 12-15");
}

void AppendWord(std::vector<uint8_t>& out, uint16_t word) {
  out.push_back(static_cast<uint8_t>(word));
  out.push_back(static_cast<uint8_t>(word >> 8));
}

// One channel record of a new-format block, built before the block is assembled.
struct NewRecord {
  uint16_t init = 0;
  std::vector<uint8_t> data;
};

struct CodeAt {
  size_t index;  // difference or word index within the stream
  int code;
};

}  // namespace

CmpWriter::CmpWriter(CmpFormat format, int channel_count, uint16_t base_sens)
    : format_(format), channel_count_(channel_count) {
  if (format == CmpFormat::kOld && channel_count != 2)
    throw std::invalid_argument("the old compressed format holds exactly two channels");
  if (channel_count < 1 || channel_count > 3)
    throw std::invalid_argument("the compressed format holds 1 to 3 channels");
  if (format == CmpFormat::kNew) {
    AppendWord(bytes_, 0x8000);  // format mark
    AppendWord(bytes_, 30);      // seconds per block
    AppendWord(bytes_, static_cast<uint16_t>(channel_count));
    AppendWord(bytes_, kSampleRateHz);
    AppendWord(bytes_, base_sens);
  }
}

CmpMinuteModes CmpWriter::AddMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                                    std::span<const CmpMarker> markers,
                                    std::span<const std::span<int16_t>> decoded) {
  if (channels.size() != static_cast<size_t>(channel_count_))
    throw std::invalid_argument("one span per channel expected");
  for (const auto& channel : channels) {
    if (channel.size() != kSamplesPerMinute) throw std::invalid_argument("a minute has 7500 samples per channel");
  }
  if (!decoded.empty()) {
    if (decoded.size() != channels.size()) throw std::invalid_argument("one decoded span per channel expected");
    for (const auto& channel : decoded) {
      if (channel.size() != kSamplesPerMinute) throw std::invalid_argument("a decoded minute has 7500 samples");
    }
  }
  const int32_t start = minutes_ * kSamplesPerMinute;
  std::vector<CmpMarker> mine;
  for (const CmpMarker& marker : markers) {
    if (marker.position < start || marker.position >= start + kSamplesPerMinute) continue;
    CheckMarker(marker, channel_count_);
    mine.push_back(marker);
  }
  const CmpMinuteModes modes = format_ == CmpFormat::kOld ? AddOldMinute(channels, mode, mine, decoded)
                                                          : AddNewMinute(channels, mode, mine, decoded);
  ++minutes_;
  return modes;
}

CmpMinuteModes CmpWriter::AddOldMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                                       std::span<const CmpMarker> markers,
                                       std::span<const std::span<int16_t>> decoded) {
  if (mode != CmpMode::kCodedFull && mode != CmpMode::kCodedHalf)
    throw std::invalid_argument("the old compressed format has no raw modes");
  const int32_t start = minutes_ * kSamplesPerMinute;

  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool half = mode == CmpMode::kCodedHalf;
    // Values in the stream after the two initial values: 15000 or 7504 in all, both channels.
    const size_t per_channel = half ? 3752 : 7500;
    std::array<StreamPlanner, 2> plans;
    std::vector<int32_t> lo;
    std::vector<int32_t> hi;
    for (int c = 0; c < 2; ++c) {
      // At half rate the last accumulator of a channel is decoded but never shown; its target
      // repeats the one before, so it is normally written as 0.
      CodedTargets(channels[static_cast<size_t>(c)], half, per_channel, lo, hi);
      plans[static_cast<size_t>(c)].Plan(lo, hi, kOldMaxStep);
    }

    std::array<uint16_t, 2> init_flags = {0, 0};
    std::array<std::vector<CodeAt>, 2> codes;
    std::vector<CmpMarker> placed;
    for (const CmpMarker& marker : markers) {
      const int32_t rel = marker.position - start;
      const size_t c = static_cast<size_t>(marker.channel);
      if (marker.type == CmpMarker::Type::kFlags) {
        init_flags[c] = static_cast<uint16_t>(init_flags[c] | marker.value);
        placed.push_back({marker.type, marker.channel, start, marker.value});
        continue;
      }
      size_t j;
      int32_t at;
      if (!half) {
        j = static_cast<size_t>(std::clamp<int32_t>(rel, 1, 7499));
        at = static_cast<int32_t>(j);
      } else {
        j = static_cast<size_t>(std::clamp<int32_t>((rel + 1) / 2, 1, 3750));
        at = static_cast<int32_t>(2 * j - 1);
      }
      codes[c].push_back({j, marker.value});
      placed.push_back({marker.type, marker.channel, start + at, marker.value});
    }
    for (auto& list : codes) {
      std::stable_sort(list.begin(), list.end(), [](const CodeAt& a, const CodeAt& b) { return a.index < b.index; });
    }

    BitWriter bits;
    std::array<size_t, 2> next_code = {0, 0};
    for (size_t j = 1; j < per_channel; ++j) {
      for (size_t c = 0; c < 2; ++c) {
        for (; next_code[c] < codes[c].size() && codes[c][next_code[c]].index == j; ++next_code[c]) {
          bits.Put(kEscape8);
          bits.Put(0x80, 8);
          PutOldSymbol(bits, codes[c][next_code[c]].code);
        }
        const int32_t e = plans[c].Written()[j];
        PutOldValue(bits, SymbolOf(e));
      }
    }
    std::vector<uint8_t> data = bits.Finish();
    if (data.size() > kOldMaxDataLen) {
      if (half) throw std::runtime_error("minute " + std::to_string(minutes_) + " does not fit an old-format block");
      mode = CmpMode::kCodedHalf;
      continue;
    }
    if (data.size() < kOldMinDataLen) data.resize(kOldMinDataLen, 0);

    AppendWord(bytes_, static_cast<uint16_t>(data.size()));
    AppendWord(bytes_, static_cast<uint16_t>(mode));
    for (size_t c = 0; c < 2; ++c) {
      AppendWord(bytes_, static_cast<uint16_t>((plans[c].Acc()[0] & 0x0FFF) | init_flags[c]));
    }
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    placed_.insert(placed_.end(), placed.begin(), placed.end());
    if (!decoded.empty()) {
      for (size_t c = 0; c < 2; ++c) DecodePlanned(plans[c], half, decoded[c]);
    }
    return {mode, mode};
  }
  throw std::logic_error("unreachable");
}

CmpMinuteModes CmpWriter::AddNewMinute(std::span<const std::span<const int16_t>> channels, CmpMode mode,
                                       std::span<const CmpMarker> markers,
                                       std::span<const std::span<int16_t>> decoded) {
  const int32_t start = minutes_ * kSamplesPerMinute;
  CmpMinuteModes result;
  for (int block = 0; block < 2; ++block) {
    const int32_t b = block * kNewBlockSamples;
    CmpMode block_mode = mode;
    for (;;) {
      const bool raw = block_mode == CmpMode::kRawFull || block_mode == CmpMode::kRawHalf;
      const bool half = block_mode == CmpMode::kCodedHalf || block_mode == CmpMode::kRawHalf;
      // Accumulators (coded) or words (raw) per record.
      const size_t n = half ? kNewBlockSamples / 2 + 1 : kNewBlockSamples;
      std::vector<NewRecord> records(static_cast<size_t>(channel_count_));
      std::vector<CmpMarker> placed;
      std::vector<std::vector<int16_t>> block_decoded(static_cast<size_t>(channel_count_),
                                                      std::vector<int16_t>(kNewBlockSamples, 0));
      for (size_t c = 0; c < records.size(); ++c) {
        const std::span<const int16_t> samples = channels[c].subspan(static_cast<size_t>(b), kNewBlockSamples);
        // Markers of this record, in the order given.
        std::vector<CodeAt> codes;
        uint16_t init_flags = 0;
        std::vector<uint16_t> word_flags(raw ? n : 0, 0);
        for (const CmpMarker& marker : markers) {
          if (static_cast<size_t>(marker.channel) != c) continue;
          const int32_t rel = marker.position - start - b;
          if (rel < 0 || rel >= kNewBlockSamples) continue;
          if (raw) {
            const uint16_t flag = marker.type == CmpMarker::Type::kFlags ? static_cast<uint16_t>(marker.value)
                                                                         : CodeToFlag(marker.value);
            if (flag == 0) continue;
            // A reader places the flags of raw words at these offsets.
            auto offset_of = [&](size_t w) -> int32_t {
              if (half && w == 0) return 0;
              return static_cast<int32_t>(2 * w + 1);
            };
            const size_t last_word = half ? n - 1 : n - 2;
            size_t best = 0;
            for (size_t w = 0; w <= last_word; ++w) {
              if (std::abs(offset_of(w) - rel) < std::abs(offset_of(best) - rel)) best = w;
              if (offset_of(w) > rel) break;
            }
            word_flags[best] = static_cast<uint16_t>(word_flags[best] | flag);
            placed.push_back({CmpMarker::Type::kFlags, marker.channel, start + b + offset_of(best), flag});
          } else if (marker.type == CmpMarker::Type::kFlags) {
            init_flags = static_cast<uint16_t>(init_flags | marker.value);
            placed.push_back({marker.type, marker.channel, start + b, marker.value});
          } else {
            size_t i;
            int32_t at;
            if (!half) {
              i = static_cast<size_t>(std::clamp<int32_t>(rel, 1, static_cast<int32_t>(n - 1)));
              at = static_cast<int32_t>(i);
            } else {
              i = static_cast<size_t>(std::clamp<int32_t>((rel + 1) / 2, 1, static_cast<int32_t>(n - 1)));
              at = static_cast<int32_t>(2 * i - 1);
            }
            codes.push_back({i, marker.value});
            placed.push_back({marker.type, marker.channel, start + b + at, marker.value});
          }
        }
        std::stable_sort(codes.begin(), codes.end(), [](const CodeAt& x, const CodeAt& y) { return x.index < y.index; });

        NewRecord& record = records[c];
        if (raw) {
          std::vector<int16_t> words(n);
          for (size_t w = 0; w < n; ++w) {
            const size_t index = half ? std::min(2 * w, samples.size() - 1) : w;
            words[w] = RawWordOf(samples[index]);
          }
          record.init = static_cast<uint16_t>((words[0] & 0x0FFF) | word_flags[0]);
          for (size_t w = 1; w < n; ++w) AppendWord(record.data, static_cast<uint16_t>((words[w] & 0x0FFF) | word_flags[w]));
          std::vector<int16_t>& out = block_decoded[c];
          if (!half) {
            for (size_t w = 0; w < n; ++w) out[w] = Wrap16(2 * words[w]);
          } else {
            for (size_t i = 0; i + 1 < n; ++i) out[2 * i] = Wrap16(2 * words[i]);
            for (size_t i = 0; i + 2 < n; ++i) out[2 * i + 1] = Wrap16(2 * ((words[i] + words[i + 1]) / 2));
            out[kNewBlockSamples - 1] = Wrap16(2 * words[n - 1]);
          }
        } else {
          std::vector<int32_t> lo;
          std::vector<int32_t> hi;
          CodedTargets(samples, half, n, lo, hi);
          StreamPlanner plan;
          plan.Plan(lo, hi, kNewMaxStep);
          record.init = static_cast<uint16_t>((plan.Acc()[0] & 0x0FFF) | init_flags);
          BitWriter bits;
          size_t next = 0;
          for (size_t i = 1; i < n; ++i) {
            for (; next < codes.size() && codes[next].index == i; ++next) {
              bits.Put(kMarker);
              PutNewSymbol(bits, codes[next].code);
            }
            PutNewSymbol(bits, SymbolOf(plan.Written()[i]));
          }
          record.data = bits.Finish();
          DecodePlanned(plan, half, block_decoded[c]);
        }
      }

      size_t block_len = 4;
      for (const NewRecord& record : records) block_len += 4 + record.data.size();
      if (block_len > kNewMaxBlockLen) {
        if (raw) throw std::runtime_error("minute " + std::to_string(minutes_) + " does not fit a block");
        block_mode = half ? CmpMode::kRawHalf : CmpMode::kRawFull;
        continue;
      }
      if (block_len < kNewMinBlockLen) {
        records.back().data.resize(records.back().data.size() + (kNewMinBlockLen - block_len), 0);
        block_len = kNewMinBlockLen;
      }
      AppendWord(bytes_, static_cast<uint16_t>(block_len));
      AppendWord(bytes_, static_cast<uint16_t>(block_mode));
      for (const NewRecord& record : records) {
        AppendWord(bytes_, static_cast<uint16_t>(4 + record.data.size()));
        AppendWord(bytes_, record.init);
        bytes_.insert(bytes_.end(), record.data.begin(), record.data.end());
      }
      placed_.insert(placed_.end(), placed.begin(), placed.end());
      if (!decoded.empty()) {
        for (size_t c = 0; c < records.size(); ++c) {
          std::copy(block_decoded[c].begin(), block_decoded[c].end(), decoded[c].begin() + b);
        }
      }
      (block == 0 ? result.first : result.second) = block_mode;
      break;
    }
  }
  return result;
}

std::vector<uint8_t> EncodeCmp(CmpFormat format, std::span<const std::vector<int16_t>> channels, CmpMode mode,
                               std::span<const CmpMarker> markers) {
  if (channels.empty()) throw std::invalid_argument("no channels");
  const size_t length = channels[0].size();
  for (const auto& channel : channels) {
    if (channel.size() != length) throw std::invalid_argument("channels differ in length");
  }
  CmpWriter writer(format, static_cast<int>(channels.size()));
  const size_t minutes = (length + kSamplesPerMinute - 1) / kSamplesPerMinute;
  std::vector<std::vector<int16_t>> minute(channels.size(), std::vector<int16_t>(kSamplesPerMinute));
  std::vector<std::span<const int16_t>> spans(channels.size());
  for (size_t m = 0; m < minutes; ++m) {
    for (size_t c = 0; c < channels.size(); ++c) {
      const size_t begin = m * kSamplesPerMinute;
      const size_t end = std::min(length, begin + kSamplesPerMinute);
      std::copy(channels[c].begin() + static_cast<ptrdiff_t>(begin), channels[c].begin() + static_cast<ptrdiff_t>(end),
                minute[c].begin());
      std::fill(minute[c].begin() + static_cast<ptrdiff_t>(end - begin), minute[c].end(), channels[c][end - 1]);
      spans[c] = minute[c];
    }
    writer.AddMinute(spans, mode, markers);
  }
  return writer.TakeBytes();
}

}  // namespace testsupport
