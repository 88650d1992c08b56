#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/bitmap.h"

namespace gfx {
class Canvas;
}

// One device-independent bitmap in memory: the pictures of the about box and the logo areas,
// read from ".bmp" files beside the program. Holds the 40-byte information header, a colour
// table of at most 256 entries and the pixel rows as the file stores them (bottom row first
// unless the height is negative, each row padded to a multiple of 4 bytes). A plain value;
// one thread at a time.
class CDIB {
 public:
  // The information header's fields; a core header read from a file becomes one of these with
  // every further field 0.
  struct Header {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // negative: rows top-down
    uint16_t planes = 1;
    uint16_t bit_count = 8;
    uint32_t compression = 0;
    uint32_t size_image = 0;
    int32_t x_pels_per_meter = 0;
    int32_t y_pels_per_meter = 0;
    uint32_t clr_used = 0;
    uint32_t clr_important = 0;
    friend bool operator==(const Header&, const Header&) = default;
  };
  struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
  };

  // An 8-bit picture of 16 x 16 pixels, as Create makes it.
  CDIB();

  // A zeroed 8-bit picture with a grey-ramp colour table (entry i = i, i, i). False, and nothing
  // changed, for a size that is not positive or larger than the limit.
  bool Create(int32_t width, int32_t height);

  // Reads a BMP file: a 14-byte file header of type "BM", a 40-byte information header or the
  // older 12-byte core header, the colour table, and the uncompressed pixel rows at the file
  // header's pixel offset. Throws platform::IoError when the file cannot be read and
  // platform::FormatError for bad content; on any failure the bitmap keeps what it held.
  void Read(const std::filesystem::path& file);
  // The same from bytes in memory; name says where they came from in error messages.
  void ReadBytes(std::span<const uint8_t> bytes, std::string_view name);

  // The whole picture at (x, y) at its natural size, colours from its table, source copy.
  void Draw(gfx::Canvas& canvas, int32_t x, int32_t y) const;

  int32_t GetWidth() const { return header_.width; }
  int32_t GetHeight() const { return header_.height; }
  // Entries of the colour table: 2, 16 or 256 by the bit count (0 above 8 bits), or the header's
  // colours-used value when it is set (never more than the bit count allows, nor than 256).
  int32_t GetNumColors() const;

  const Header& GetHeader() const { return header_; }
  const std::vector<RgbQuad>& GetColorTable() const { return colors_; }
  const std::vector<uint8_t>& GetBits() const { return bits_; }

  // The picture as top-down pixels; made once and shared until the bitmap changes.
  std::shared_ptr<const gfx::Bitmap> ToBitmap() const;

 private:
  Header header_;
  std::vector<RgbQuad> colors_;
  std::vector<uint8_t> bits_;
  mutable std::shared_ptr<const gfx::Bitmap> bitmap_;
};
