#include "support/cmp_reference_decoder.h"

#include <cassert>
#include <map>
#include <string>
#include <utility>

namespace testsupport {
namespace {

uint16_t Word(std::span<const uint8_t> bytes, size_t offset) {
  assert(offset + 2 <= bytes.size());
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

int32_t Twelve(uint16_t word) {
  const int32_t v = word & 0x0FFF;
  return v >= 0x800 ? v - 0x1000 : v;
}

int32_t Wrap(int32_t v) {
  v &= 0xFFFF;
  return v >= 0x8000 ? v - 0x10000 : v;
}

constexpr int kLiteral8 = 1000;
constexpr int kLiteral16 = 1001;
constexpr int kMarkerSymbol = 1002;

// The code table as printed: code word -> symbol.
const std::map<std::string, int>& Table(bool old_format) {
  static const std::map<std::string, int> old_table = {
      {"0", 0},          {"1000", 1},       {"1001", -1},      {"1010", 2},         {"1011", -2},
      {"1100", kLiteral8}, {"11010", 3},    {"11011", -3},     {"11100", 4},        {"11101", -4},
      {"111100", 5},     {"111101", -5},    {"1111100", 6},    {"1111101", -6},     {"11111100", 7},
      {"11111101", -7},  {"111111100", 8},  {"111111101", -8}, {"111111110", 9},    {"111111111", -9}};
  static const std::map<std::string, int> new_table = {
      {"0", 0},          {"1000", 1},       {"1001", -1},      {"1010", 2},         {"1011", -2},
      {"1100", kLiteral8}, {"11010", 3},    {"11011", -3},     {"11100", 4},        {"11101", -4},
      {"111100", 5},     {"111101", -5},    {"1111100", 6},    {"1111101", -6},     {"11111100", 7},
      {"11111101", -7},  {"111111100", 8},  {"111111101", -8}, {"1111111100", 9},   {"1111111101", -9},
      {"1111111110", kLiteral16},           {"1111111111", kMarkerSymbol}};
  return old_format ? old_table : new_table;
}

// The table as a lookup by code length and code bits; kNoCode where no code word ends.
constexpr int kNoCode = 9999;
using Lookup = std::vector<std::vector<int>>;

const Lookup& LookupTable(bool old_format) {
  static const auto build = [](const std::map<std::string, int>& table) {
    Lookup lookup(11, std::vector<int>(1024, kNoCode));
    for (const auto& [code, symbol] : table) {
      int bits = 0;
      for (char c : code) bits = (bits << 1) | (c == '1' ? 1 : 0);
      lookup[code.size()][static_cast<size_t>(bits)] = symbol;
    }
    return lookup;
  };
  static const Lookup old_lookup = build(Table(true));
  static const Lookup new_lookup = build(Table(false));
  return old_format ? old_lookup : new_lookup;
}

class BitReader {
 public:
  BitReader(std::span<const uint8_t> data, bool old_format) : data_(data), lookup_(LookupTable(old_format)) {}

  int Bit() {
    const size_t word = position_ / 16;
    const int bit = 15 - static_cast<int>(position_ % 16);
    ++position_;
    assert(2 * word + 1 < data_.size());
    return (Word(data_, 2 * word) >> bit) & 1;
  }
  int32_t Bits(int count) {
    int32_t v = 0;
    for (int i = 0; i < count; ++i) v = (v << 1) | Bit();
    return v;
  }
  // A symbol with 8-bit literals resolved; 16-bit literals and markers come back as their tags.
  int32_t Symbol() {
    int bits = 0;
    for (size_t length = 1;; ++length) {
      bits = (bits << 1) | Bit();
      assert(length <= 10);
      const int symbol = lookup_[length][static_cast<size_t>(bits)];
      if (symbol == kNoCode) continue;
      if (symbol == kLiteral8) {
        const int32_t b = Bits(8);
        return b >= 128 ? b - 256 : b;
      }
      return symbol;
    }
  }

 private:
  std::span<const uint8_t> data_;
  const Lookup& lookup_;
  size_t position_ = 0;
};

int32_t Expand(int32_t v) {
  if (v > 3) return Wrap(2 * v - 3);
  if (v < -3) return Wrap(2 * v + 3);
  return v;
}

void IntegrateFull(int32_t init, std::span<const int32_t> d, std::span<int16_t> out) {
  int32_t acc = init;
  out[0] = static_cast<int16_t>(Wrap(2 * acc));
  for (size_t j = 1; j < out.size(); ++j) {
    acc = Wrap(acc + d[j]);
    out[j] = static_cast<int16_t>(Wrap(2 * acc));
  }
}

// samples = out.size(); d[1..] the differences; accumulators acc_0..acc_(samples/2).
void IntegrateHalf(int32_t init, std::span<const int32_t> d, std::span<int16_t> out) {
  std::vector<int32_t> acc(out.size() / 2 + 1);
  acc[0] = init;
  for (size_t j = 1; j < acc.size(); ++j) acc[j] = Wrap(acc[j - 1] + d[j]);
  const size_t big_j = out.size() / 2 - 1;
  for (size_t j = 0; j < big_j; ++j) {
    out[2 * j] = static_cast<int16_t>(Wrap(2 * acc[j]));
    out[2 * j + 1] = static_cast<int16_t>(Wrap(2 * (acc[j] + d[j + 1] / 2)));
  }
  out[2 * big_j] = static_cast<int16_t>(Wrap(2 * acc[big_j]));
  out[2 * big_j + 1] = static_cast<int16_t>(Wrap(2 * acc[big_j + 1]));
}

void DecodeOld(std::span<const uint8_t> bytes, ReferenceDecoding& out) {
  std::vector<size_t> offsets;
  size_t offset = 0;
  while (offsets.size() < 4321 && offset + 8 <= bytes.size()) {
    const uint16_t len = Word(bytes, offset);
    if ((len & 1) != 0 || len < 900 || len > 16000) break;
    offsets.push_back(offset);
    offset += 8 + len;
  }
  out.channels = 2;
  out.stored_minutes = static_cast<int>(offsets.size());
  out.whole_minutes = std::min(out.stored_minutes, 1440);
  out.samples.assign(2, std::vector<int16_t>(offsets.size() * 7500, 0));
  for (size_t m = 0; m < offsets.size(); ++m) {
    const size_t at = offsets[m];
    const uint16_t len = Word(bytes, at);
    const int mode = Word(bytes, at + 2) & 3;
    out.block_modes.push_back(mode);
    const uint16_t init[2] = {Word(bytes, at + 4), Word(bytes, at + 6)};
    for (int c = 0; c < 2; ++c) {
      if ((init[c] & 0xF000) != 0) out.markers.push_back({c, static_cast<int32_t>(7500 * m), false, init[c] & 0xF000});
    }
    if (at + 8 + len > bytes.size()) break;
    BitReader bits(bytes.subspan(at + 8, len), true);
    const int value_count = mode == 0 ? 15000 : 7504;
    std::vector<int32_t> d[2];
    d[0].push_back(0);
    d[1].push_back(0);
    for (int i = 2; i < value_count;) {
      const int c = i % 2;
      int32_t s = bits.Symbol();
      if (s == -128) {
        const int32_t code = bits.Symbol();
        const int32_t pos = static_cast<int32_t>(7500 * m) + (mode == 0 ? i / 2 : 2 * (i / 2) - 1);
        out.markers.push_back({c, pos, true, code});
        continue;
      }
      int32_t v = s;
      int32_t last = s;
      if (s == 127) {
        do {
          last = bits.Symbol();
          v += last;
        } while (last == 127);
      }
      if (last == -127) {
        do {
          last = bits.Symbol();
          v += last;
        } while (last == -127);
      }
      v = Twelve(static_cast<uint16_t>(Expand(v)));
      d[c].push_back(v);
      ++i;
    }
    for (int c = 0; c < 2; ++c) {
      ApplyPeakCorrection(d[c]);
      std::span<int16_t> target(out.samples[static_cast<size_t>(c)].data() + 7500 * m, 7500);
      if (mode == 0) {
        IntegrateFull(Twelve(init[c]), d[c], target);
      } else {
        IntegrateHalf(Twelve(init[c]), d[c], target);
      }
    }
  }
}

void DecodeNew(std::span<const uint8_t> bytes, ReferenceDecoding& out) {
  assert(bytes.size() >= 10);
  const int channels = Word(bytes, 4);
  const int n_full = Word(bytes, 6) * Word(bytes, 2);
  assert(n_full == 3750 && channels >= 1 && channels <= 3);
  out.channels = channels;
  std::vector<size_t> offsets;
  size_t offset = 10;
  while (offsets.size() < 4321) {
    const size_t minute_start = offset;
    bool ok = true;
    for (int b = 0; b < 2 && ok; ++b) {
      if (offset + 2 > bytes.size()) {
        ok = false;
        break;
      }
      const uint16_t len = Word(bytes, offset);
      offset += len;
      if ((len & 1) != 0 || len < 900 || len > 23000) ok = false;
    }
    if (!ok) break;
    size_t record = minute_start + 4;
    for (int c = 0; c < channels && ok; ++c) {
      if (record + 4 > bytes.size()) {
        ok = false;
        break;
      }
      record += Word(bytes, record);
    }
    if (!ok) break;
    offsets.push_back(minute_start);
  }
  out.stored_minutes = static_cast<int>(offsets.size());
  out.whole_minutes = std::max(0, out.stored_minutes - 1);
  out.samples.assign(static_cast<size_t>(channels), std::vector<int16_t>(offsets.size() * 7500, 0));
  for (size_t m = 0; m < offsets.size(); ++m) {
    size_t block_at = offsets[m];
    for (int block = 0; block < 2; ++block) {
      const int32_t b = block * 3750;
      const uint16_t block_len = Word(bytes, block_at);
      const int mode = Word(bytes, block_at + 2) & 3;
      out.block_modes.push_back(mode);
      const int n = (mode == 1 || mode == 3) ? n_full / 2 + 1 : n_full;
      size_t record = block_at + 4;
      for (int c = 0; c < channels; ++c) {
        const uint16_t chan_len = Word(bytes, record);
        const uint16_t chan_init = Word(bytes, record + 2);
        const std::span<const uint8_t> data = bytes.subspan(record + 4, chan_len - 4u);
        std::span<int16_t> target(out.samples[static_cast<size_t>(c)].data() + 7500 * m + b, 3750);
        const int32_t base = static_cast<int32_t>(7500 * m) + b;
        if (mode <= 1) {
          if ((chan_init & 0xF000) != 0) out.markers.push_back({c, base, false, chan_init & 0xF000});
          BitReader bits(data, false);
          std::vector<int32_t> d(1, 0);
          for (int i = 1; i < n;) {
            int32_t s = bits.Symbol();
            if (s == kMarkerSymbol) {
              const int32_t code = bits.Symbol();
              out.markers.push_back({c, base + (mode == 0 ? i : 2 * i - 1), true, code});
              continue;
            }
            if (s == kLiteral16) s = static_cast<int16_t>(bits.Bits(16));
            d.push_back(Expand(s));
            ++i;
          }
          ApplyPeakCorrection(d);
          if (mode == 0) {
            IntegrateFull(Twelve(chan_init), d, target);
          } else {
            IntegrateHalf(Twelve(chan_init), d, target);
          }
        } else {
          std::vector<uint16_t> words(1, chan_init);
          for (int w = 1; w < n; ++w) words.push_back(Word(data, 2 * static_cast<size_t>(w - 1)));
          if (mode == 2) {
            for (int i = 0; i <= n - 2; ++i) {
              target[static_cast<size_t>(i)] = static_cast<int16_t>(2 * Twelve(words[static_cast<size_t>(i)]));
              if ((words[static_cast<size_t>(i)] & 0xF000) != 0)
                out.markers.push_back({c, base + 2 * i + 1, false, words[static_cast<size_t>(i)] & 0xF000});
            }
            // Not written by the format's reader; the writer's convention is the last word.
            target[3749] = static_cast<int16_t>(2 * Twelve(words[static_cast<size_t>(n - 1)]));
          } else {
            for (int i = 0; i < n; ++i) {
              if ((words[static_cast<size_t>(i)] & 0xF000) != 0)
                out.markers.push_back({c, base + (i == 0 ? 0 : 2 * i + 1), false, words[static_cast<size_t>(i)] & 0xF000});
            }
            for (int i = 0; i <= n - 2; ++i)
              target[static_cast<size_t>(2 * i)] = static_cast<int16_t>(2 * Twelve(words[static_cast<size_t>(i)]));
            for (int i = 0; i <= n - 3; ++i)
              target[static_cast<size_t>(2 * i + 1)] = static_cast<int16_t>(
                  2 * ((Twelve(words[static_cast<size_t>(i)]) + Twelve(words[static_cast<size_t>(i + 1)])) / 2));
            target[3749] = static_cast<int16_t>(2 * Twelve(words[static_cast<size_t>(n - 1)]));
          }
        }
        record += chan_len;
      }
      block_at += block_len;
    }
  }
}

}  // namespace

void ApplyPeakCorrection(std::span<int32_t> d) {
  bool pending = false;
  size_t p = 0;
  for (size_t j = 1; j < d.size(); ++j) {
    if (d[j] == 0) continue;
    if (pending && ((d[p] > 0) != (d[j] > 0))) {
      if (d[p] > 0) {
        d[p] += 1;
        d[j] -= 1;
      } else {
        d[p] -= 1;
        d[j] += 1;
      }
      pending = false;
    } else {
      pending = true;
      p = j;
    }
  }
}

ReferenceDecoding DecodeCmpReference(std::span<const uint8_t> bytes) {
  ReferenceDecoding out;
  assert(bytes.size() >= 2);
  if ((Word(bytes, 0) & 0x8000) != 0) {
    out.generation = 2;
    DecodeNew(bytes, out);
  } else {
    out.generation = 1;
    DecodeOld(bytes, out);
  }
  return out;
}

}  // namespace testsupport
