#pragma once

#include <cstdint>
#include <vector>

class CDIB;

// A logical palette made from a bitmap's colour table, so that the picture can be shown with its
// own colours on a display of 256 colours. Owns its entries; a plain value.
class CDIBPalette {
 public:
  struct Entry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  // One entry per colour-table entry of the bitmap, in order. False, and nothing changed, when
  // the bitmap has no colour table (more than 8 bits per pixel).
  bool CreateFromDIB(const CDIB& dib);

  // The number of entries; 0 before a palette was made.
  int32_t GetNumColors() const { return static_cast<int32_t>(entries_.size()); }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};
