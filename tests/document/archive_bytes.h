#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

// Hand assembly of archive bytes for expected layouts and old-version fixtures, independent of the
// archive writer under test.
class ArchiveBytes {
 public:
  ArchiveBytes& U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  ArchiveBytes& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
  ArchiveBytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
  ArchiveBytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  ArchiveBytes& I32s(std::initializer_list<int32_t> values) {
    for (const int32_t v : values) I32(v);
    return *this;
  }
  ArchiveBytes& I32Repeat(int32_t v, int times) {
    for (int i = 0; i < times; ++i) I32(v);
    return *this;
  }
  ArchiveBytes& Double(double v) {
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    return U32(static_cast<uint32_t>(bits)).U32(static_cast<uint32_t>(bits >> 32));
  }
  // A short text (below 255 bytes) in single-byte characters.
  ArchiveBytes& Text(std::string_view text) {
    U8(static_cast<uint8_t>(text.size()));
    for (const char c : text) U8(static_cast<uint8_t>(c));
    return *this;
  }
  ArchiveBytes& Date(int32_t status, double days) { return I32(status).Double(days); }
  // An empty list member of the recording record (version, int32 count 0).
  ArchiveBytes& EmptyMember(int32_t version) { return I32(version).I32(0); }
  ArchiveBytes& Append(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};
