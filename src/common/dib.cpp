#include "common/dib.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "gfx/canvas.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

constexpr uint16_t kBitmapType = 19778;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr int32_t kMaxColors = 256;
// Larger pictures are refused: a logo has a few hundred thousand pixels, and a small file with
// one bit per pixel must not make gigabytes of screen pixels.
constexpr int64_t kMaxPixels = 32 * 1024 * 1024;

int32_t TableSize(uint16_t bit_count) {
  switch (bit_count) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

int32_t ColorsOf(const CDIB::Header& h) {
  int64_t n = TableSize(h.bit_count);
  if (h.size == kInfoHeaderSize && h.clr_used != 0) {
    n = (h.bit_count == 1 || h.bit_count == 4 || h.bit_count == 8) ? std::min<int64_t>(h.clr_used, n)
                                                                   : h.clr_used;
  }
  return static_cast<int32_t>(std::min<int64_t>(n, kMaxColors));
}

int64_t RowBytes(int32_t width, uint16_t bit_count) {
  return (static_cast<int64_t>(width) * bit_count + 31) / 32 * 4;
}

}  // namespace

CDIB::CDIB() { Create(16, 16); }

bool CDIB::Create(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels) return false;
  Header header;
  header.width = width;
  header.height = height;
  header.bit_count = 8;
  std::vector<RgbQuad> colors(kMaxColors);
  for (int i = 0; i < kMaxColors; ++i) {
    const auto v = static_cast<uint8_t>(i);
    colors[static_cast<size_t>(i)] = {v, v, v, 0};
  }
  header_ = header;
  colors_ = std::move(colors);
  bits_.assign(static_cast<size_t>(RowBytes(width, 8) * height), 0);
  bitmap_.reset();
  return true;
}

int32_t CDIB::GetNumColors() const { return ColorsOf(header_); }

void CDIB::Read(const std::filesystem::path& file) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(file);
  ReadBytes(bytes, file.filename().string());
}

void CDIB::ReadBytes(std::span<const uint8_t> bytes, std::string_view name) {
  const std::string where(name);
  const auto fail = [&](const std::string& place, const std::string& fault) {
    throw platform::FormatError(where, place + ": " + fault);
  };
  const size_t size = bytes.size();
  const uint8_t* p = bytes.data();

  if (size < kFileHeaderSize) fail("file header", "truncated (" + std::to_string(size) + " bytes)");
  if (platform::LoadLE16(p) != kBitmapType) fail("file header", "not a bitmap (no \"BM\")");
  const uint32_t pixel_offset = platform::LoadLE32(p + 10);

  if (size < kFileHeaderSize + 4) fail("information header", "truncated");
  Header h;
  const uint32_t stored_size = platform::LoadLE32(p + kFileHeaderSize);
  const bool core = stored_size == kCoreHeaderSize;
  const uint8_t* info = p + kFileHeaderSize;
  if (stored_size == kInfoHeaderSize) {
    if (size < kFileHeaderSize + kInfoHeaderSize) fail("information header", "truncated");
    h.width = static_cast<int32_t>(platform::LoadLE32(info + 4));
    h.height = static_cast<int32_t>(platform::LoadLE32(info + 8));
    h.planes = platform::LoadLE16(info + 12);
    h.bit_count = platform::LoadLE16(info + 14);
    h.compression = platform::LoadLE32(info + 16);
    h.size_image = platform::LoadLE32(info + 20);
    h.x_pels_per_meter = static_cast<int32_t>(platform::LoadLE32(info + 24));
    h.y_pels_per_meter = static_cast<int32_t>(platform::LoadLE32(info + 28));
    h.clr_used = platform::LoadLE32(info + 32);
    h.clr_important = platform::LoadLE32(info + 36);
  } else if (core) {
    if (size < kFileHeaderSize + kCoreHeaderSize) fail("core header", "truncated");
    // The core header's sizes are unsigned 16-bit; the result is an information header.
    h.size = kInfoHeaderSize;
    h.width = platform::LoadLE16(info + 4);
    h.height = platform::LoadLE16(info + 6);
    h.planes = platform::LoadLE16(info + 8);
    h.bit_count = platform::LoadLE16(info + 10);
  } else {
    fail("information header", "size " + std::to_string(stored_size) + " is neither 40 nor 12");
  }

  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) {
    fail("information header",
         "size " + std::to_string(h.width) + " x " + std::to_string(h.height) + " is not a picture");
  }
  const int64_t rows = std::llabs(static_cast<int64_t>(h.height));
  if (static_cast<int64_t>(h.width) * rows > kMaxPixels) {
    fail("information header", "size " + std::to_string(h.width) + " x " + std::to_string(rows) +
                                   " is larger than the program shows");
  }
  if (h.bit_count != 1 && h.bit_count != 4 && h.bit_count != 8 && h.bit_count != 16 && h.bit_count != 24 &&
      h.bit_count != 32) {
    fail("information header", "bit count " + std::to_string(h.bit_count) + " is not supported");
  }
  if (h.compression != 0) {
    fail("information header", "compression " + std::to_string(h.compression) + " is not supported");
  }

  // Colour table: behind the header, 3-byte triples after a core header, 4-byte entries after
  // an information header.
  const int32_t n = ColorsOf(h);
  const size_t entry_size = core ? 3 : 4;
  const size_t table_offset = kFileHeaderSize + (core ? kCoreHeaderSize : kInfoHeaderSize);
  if (table_offset + static_cast<size_t>(n) * entry_size > size) {
    fail("colour table", std::to_string(n) + " entries exceed the file");
  }
  std::vector<RgbQuad> colors(static_cast<size_t>(n));
  for (size_t i = 0; i < colors.size(); ++i) {
    const uint8_t* e = p + table_offset + i * entry_size;
    colors[i] = {e[0], e[1], e[2], core ? uint8_t{0} : e[3]};
  }

  // Pixels: exactly the rows the picture needs, from the pixel offset. (The file header's size
  // field is not trusted to say how many there are.)
  const int64_t needed = RowBytes(h.width, h.bit_count) * rows;
  if (pixel_offset > size || static_cast<int64_t>(size - pixel_offset) < needed) {
    fail("pixel data", "the picture needs " + std::to_string(needed) + " bytes from offset " +
                           std::to_string(pixel_offset) + ", the file has " +
                           std::to_string(pixel_offset > size ? 0 : size - pixel_offset));
  }
  std::vector<uint8_t> bits(p + pixel_offset, p + pixel_offset + needed);

  header_ = h;
  colors_ = std::move(colors);
  bits_ = std::move(bits);
  bitmap_.reset();
}

std::shared_ptr<const gfx::Bitmap> CDIB::ToBitmap() const {
  if (bitmap_) return bitmap_;
  const int32_t width = header_.width;
  const int32_t height = static_cast<int32_t>(std::llabs(static_cast<int64_t>(header_.height)));
  auto bitmap = std::make_shared<gfx::Bitmap>(width, height);
  const int64_t row_bytes = RowBytes(width, header_.bit_count);
  const auto color = [&](uint32_t index) -> gfx::Color {
    if (index >= colors_.size()) return 0;
    const RgbQuad& q = colors_[index];
    return gfx::Rgb(q.red, q.green, q.blue);
  };
  for (int32_t y = 0; y < height; ++y) {
    const int32_t stored_row = header_.height > 0 ? height - 1 - y : y;
    const uint8_t* row = bits_.data() + static_cast<size_t>(stored_row * row_bytes);
    for (int32_t x = 0; x < width; ++x) {
      gfx::Color c = 0;
      switch (header_.bit_count) {
        case 1:
          c = color((row[x / 8] >> (7 - x % 8)) & 1);
          break;
        case 4:
          c = color((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
          break;
        case 8:
          c = color(row[x]);
          break;
        case 16: {
          const uint16_t v = platform::LoadLE16(row + 2 * x);  // 5-5-5
          const auto scale = [](int bits5) { return static_cast<uint8_t>((bits5 << 3) | (bits5 >> 2)); };
          c = gfx::Rgb(scale((v >> 10) & 0x1F), scale((v >> 5) & 0x1F), scale(v & 0x1F));
          break;
        }
        case 24:
          c = gfx::Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
          break;
        case 32:
          c = gfx::Rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
          break;
        default:
          break;
      }
      bitmap->SetPixel(x, y, c);
    }
  }
  bitmap_ = std::move(bitmap);
  return bitmap_;
}

void CDIB::Draw(gfx::Canvas& canvas, int32_t x, int32_t y) const {
  const std::shared_ptr<const gfx::Bitmap> bitmap = ToBitmap();
  const int32_t w = bitmap->Width(), h = bitmap->Height();
  canvas.DrawBitmap({x, y, x + w, y + h}, bitmap, {0, 0, w, h}, gfx::kSrcCopy);
}
