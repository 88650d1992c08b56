#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/archive.h"
#include "support/test_files.h"

// Hand-assembled sample files for the reader tests: bit streams written code word by code word
// and blocks laid out field by field, so each test shows the bytes it feeds the reader.
namespace sampletest {

// A folder of its own per test, removed afterwards.
using testsupport::TempFolder;

inline std::vector<uint8_t> ReadAll(const std::string& file) { return platform::ReadFileBytes(file); }

// Bits most significant first into 16-bit little-endian words, the last word padded with zeros.
class BitWriter {
 public:
  // "1000 1001": spaces are ignored.
  BitWriter& Bits(std::string_view bits) {
    for (char c : bits)
      if (c == '0' || c == '1') bits_.push_back(c == '1');
    return *this;
  }
  BitWriter& Value(unsigned value, int count) {
    for (int i = count - 1; i >= 0; --i) bits_.push_back(((value >> i) & 1) != 0);
    return *this;
  }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out;
    for (size_t w = 0; w < bits_.size(); w += 16) {
      uint16_t word = 0;
      for (size_t b = 0; b < 16; ++b)
        if (w + b < bits_.size() && bits_[w + b]) word = static_cast<uint16_t>(word | (0x8000u >> b));
      out.push_back(static_cast<uint8_t>(word));
      out.push_back(static_cast<uint8_t>(word >> 8));
    }
    return out;
  }

 private:
  std::vector<bool> bits_;
};

// Code words of the difference symbols shared by both generations (-8..8).
inline std::string CommonCode(int symbol) {
  switch (symbol) {
    case 0:
      return "0";
    case 1:
      return "1000";
    case -1:
      return "1001";
    case 2:
      return "1010";
    case -2:
      return "1011";
    case 3:
      return "11010";
    case -3:
      return "11011";
    case 4:
      return "11100";
    case -4:
      return "11101";
    case 5:
      return "111100";
    case -5:
      return "111101";
    case 6:
      return "1111100";
    case -6:
      return "1111101";
    case 7:
      return "11111100";
    case -7:
      return "11111101";
    case 8:
      return "111111100";
    case -8:
      return "111111101";
    default:
      return "?";
  }
}
inline std::string NewCode(int symbol) {
  if (symbol == 9) return "1111111100";
  if (symbol == -9) return "1111111101";
  if (symbol == 98) return "1100";
  if (symbol == 99) return "1111111110";
  if (symbol == 100) return "1111111111";
  return CommonCode(symbol);
}
inline std::string OldCode(int symbol) {
  if (symbol == 9) return "111111110";
  if (symbol == -9) return "111111111";
  return CommonCode(symbol);
}
// The old format's escape and its 8-bit literal.
inline std::string OldLiteral(int value) {
  std::string bits = "1100";
  for (int i = 7; i >= 0; --i) bits += ((static_cast<unsigned>(value) >> i) & 1) ? '1' : '0';
  return bits;
}

inline void PutLE16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

struct Record {
  uint16_t chan_init = 0;
  std::vector<uint8_t> data;         // chanDat
  std::optional<uint16_t> chan_len;  // a damaged length in place of the true one
};

struct Block {
  uint16_t mode = 0;
  std::vector<Record> records;
  std::optional<uint16_t> blk_len;  // a damaged length in place of the true one
};

// A new-format block; the last record's data is padded with zero bytes up to the format's
// smallest block of 900 bytes (zero bits decode as difference 0 and are never reached).
inline std::vector<uint8_t> NewBlock(Block block) {
  size_t total = 4;
  for (const Record& r : block.records) total += 4 + r.data.size();
  if (total < 900 && !block.records.empty())
    block.records.back().data.resize(block.records.back().data.size() + 900 - total);
  std::vector<uint8_t> body;
  for (const Record& r : block.records) {
    PutLE16(body, r.chan_len.value_or(static_cast<uint16_t>(4 + r.data.size())));
    PutLE16(body, r.chan_init);
    body.insert(body.end(), r.data.begin(), r.data.end());
  }
  std::vector<uint8_t> out;
  PutLE16(out, block.blk_len.value_or(static_cast<uint16_t>(4 + body.size())));
  PutLE16(out, block.mode);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline std::vector<uint8_t> NewHeader(uint16_t channels, uint16_t blk_size = 30, uint16_t base_freq = 125) {
  std::vector<uint8_t> out;
  PutLE16(out, 0x8001);
  PutLE16(out, blk_size);
  PutLE16(out, channels);
  PutLE16(out, base_freq);
  PutLE16(out, 200);
  return out;
}

// A flat new-format minute: every channel holds 2 x its initial value in both blocks.
inline std::vector<uint8_t> FlatNewMinute(const std::vector<uint16_t>& inits, uint16_t mode = 0) {
  std::vector<uint8_t> out;
  for (int b = 0; b < 2; ++b) {
    Block block{mode, {}, {}};
    for (uint16_t init : inits) block.records.push_back({init, std::vector<uint8_t>(2, 0), {}});
    const auto bytes = NewBlock(block);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

inline std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A new-format file of flat minutes; minute m of channel c has the initial value 10 * (m + 1) + c.
inline std::vector<uint8_t> FlatNewFile(int channels, int minutes) {
  std::vector<uint8_t> out = NewHeader(static_cast<uint16_t>(channels));
  for (int m = 0; m < minutes; ++m) {
    std::vector<uint16_t> inits;
    for (int c = 0; c < channels; ++c) inits.push_back(static_cast<uint16_t>(10 * (m + 1) + c));
    const auto bytes = FlatNewMinute(inits);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

// An old-format block: 8-byte header then the interleaved stream, padded to 900 bytes.
inline std::vector<uint8_t> OldBlock(uint16_t mode, uint16_t init0, uint16_t init1, std::vector<uint8_t> data,
                                     std::optional<uint16_t> blk_len = {}) {
  if (data.size() < 900) data.resize(900);
  if (data.size() % 2) data.push_back(0);
  std::vector<uint8_t> out;
  PutLE16(out, blk_len.value_or(static_cast<uint16_t>(data.size())));
  PutLE16(out, mode);
  PutLE16(out, init0);
  PutLE16(out, init1);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline std::vector<uint8_t> FlatOldFile(int minutes) {
  std::vector<uint8_t> out;
  for (int m = 0; m < minutes; ++m) {
    const auto block =
        OldBlock(0, static_cast<uint16_t>(10 * (m + 1)), static_cast<uint16_t>(10 * (m + 1) + 1), {});
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

}  // namespace sampletest
