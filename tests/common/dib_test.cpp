#include "common/dib.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/dib_palette.h"
#include "gfx/recording_canvas.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "platform/test_dir.h"

namespace {

namespace fs = std::filesystem;

struct Rgb {
  uint8_t r, g, b;
};

// What a test BMP file holds; the builder lays it out as the format does.
struct BmpLayout {
  bool core = false;
  int32_t width = 2;
  int32_t height = 2;
  uint16_t bit_count = 8;
  uint32_t clr_used = 0;
  uint32_t compression = 0;
  std::vector<Rgb> table;
  std::vector<uint8_t> pixels;  // stored rows, padded
};

std::vector<uint8_t> MakeBmp(const BmpLayout& s) {
  const uint32_t header = s.core ? 12 : 40;
  const uint32_t entry = s.core ? 3 : 4;
  const uint32_t offset = 14 + header + static_cast<uint32_t>(s.table.size()) * entry;
  std::vector<uint8_t> out(offset);
  uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  platform::StoreLE32(p + 2, offset + static_cast<uint32_t>(s.pixels.size()));
  platform::StoreLE32(p + 10, offset);
  platform::StoreLE32(p + 14, header);
  if (s.core) {
    platform::StoreLE16(p + 18, static_cast<uint16_t>(s.width));
    platform::StoreLE16(p + 20, static_cast<uint16_t>(s.height));
    platform::StoreLE16(p + 22, 1);
    platform::StoreLE16(p + 24, s.bit_count);
  } else {
    platform::StoreLE32(p + 18, static_cast<uint32_t>(s.width));
    platform::StoreLE32(p + 22, static_cast<uint32_t>(s.height));
    platform::StoreLE16(p + 26, 1);
    platform::StoreLE16(p + 28, s.bit_count);
    platform::StoreLE32(p + 30, s.compression);
    platform::StoreLE32(p + 46, s.clr_used);
  }
  uint8_t* e = p + 14 + header;
  for (const Rgb& c : s.table) {
    e[0] = c.b;
    e[1] = c.g;
    e[2] = c.r;
    e += entry;
  }
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

std::vector<Rgb> Ramp(int n) {
  std::vector<Rgb> t;
  for (int i = 0; i < n; ++i)
    t.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2)});
  return t;
}

// 2 x 2, 8 bits: bottom row 1, 2; top row 3, 4.
const std::vector<uint8_t> kPixels8 = {1, 2, 0, 0, 3, 4, 0, 0};

TEST(CDIB, ANewBitmapIsAnEightBitGreyRampOf16By16) {
  const CDIB dib;
  EXPECT_EQ(dib.GetWidth(), 16);
  EXPECT_EQ(dib.GetHeight(), 16);
  EXPECT_EQ(dib.GetHeader().bit_count, 8);
  EXPECT_EQ(dib.GetNumColors(), 256);
  EXPECT_EQ(dib.GetColorTable()[200], (CDIB::RgbQuad{200, 200, 200, 0}));
  EXPECT_EQ(dib.GetBits().size(), 256u);
  CDIB other;
  EXPECT_TRUE(other.Create(5, 3));
  EXPECT_EQ(other.GetBits().size(), 24u);  // rows padded to 8 bytes
  EXPECT_FALSE(other.Create(0, 3));
  EXPECT_EQ(other.GetWidth(), 5);
}

TEST(CDIB, ReadsTheBitmapKinds) {
  struct Case {
    const char* name;
    BmpLayout layout;
    int32_t colors;
    gfx::Color top_left;
    gfx::Color bottom_right;
    bool palette;
  };
  const std::vector<Rgb> ramp = Ramp(256);
  const Case kCases[] = {
      {"core header, 8 bits, 256 triples",
       {true, 2, 2, 8, 0, 0, ramp, kPixels8},
       256,
       gfx::Rgb(3, 252, 1),
       gfx::Rgb(2, 253, 1),
       true},
      {"8 bits using 16 colours",
       {false, 2, 2, 8, 16, 0, Ramp(16), {1, 2, 0, 0, 3, 4, 0, 0}},
       16,
       gfx::Rgb(3, 252, 1),
       gfx::Rgb(2, 253, 1),
       true},
      // Rows of 9 bytes padded to 12; blue, green, red per pixel.
      {"24 bits without table",
       {false, 3, 2, 24, 0, 0, {}, {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                    10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0}},
       0,
       gfx::Rgb(30, 20, 10),
       gfx::Rgb(9, 8, 7),
       false},
      {"1 bit, top-down",
       {false, 3, -2, 1, 0, 0, {{0, 0, 0}, {255, 255, 255}}, {0xA0, 0, 0, 0, 0x20, 0, 0, 0}},
       2,
       gfx::Rgb(255, 255, 255),
       gfx::Rgb(255, 255, 255),
       true},
      {"4 bits",
       {false, 3, 1, 4, 0, 0, Ramp(16), {0x12, 0x30, 0, 0}},
       16,
       gfx::Rgb(1, 254, 0),
       gfx::Rgb(3, 252, 1),
       true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CDIB dib;
    dib.ReadBytes(MakeBmp(c.layout), "logo.bmp");
    EXPECT_EQ(dib.GetHeader().size, 40u);
    EXPECT_EQ(dib.GetWidth(), c.layout.width);
    EXPECT_EQ(dib.GetHeight(), c.layout.height);
    EXPECT_EQ(dib.GetNumColors(), c.colors);
    ASSERT_EQ(dib.GetColorTable().size(), static_cast<size_t>(c.colors));
    if (c.colors > 0) {
      EXPECT_EQ(dib.GetColorTable()[1].reserved, 0);
    }
    EXPECT_EQ(dib.GetBits(), c.layout.pixels);
    const std::shared_ptr<const gfx::Bitmap> bitmap = dib.ToBitmap();
    EXPECT_EQ(bitmap->GetPixel(0, 0), c.top_left);
    EXPECT_EQ(bitmap->GetPixel(bitmap->Width() - 1, bitmap->Height() - 1), c.bottom_right);
    CDIBPalette palette;
    EXPECT_EQ(palette.CreateFromDIB(dib), c.palette);
    EXPECT_EQ(palette.GetNumColors(), c.palette ? c.colors : 0);
    if (c.palette) {
      const Rgb& e = c.layout.table[1];
      EXPECT_EQ(palette.Entries()[1], (CDIBPalette::Entry{e.r, e.g, e.b, 0}));
    }
  }
}

TEST(CDIB, DrawsAtItsNaturalSize) {
  CDIB dib;
  dib.ReadBytes(MakeBmp({false, 2, 2, 8, 0, 0, Ramp(256), kPixels8}), "logo.bmp");
  gfx::RecordingCanvas canvas;
  dib.Draw(canvas, 10, 20);
  ASSERT_EQ(canvas.Lines(),
            (std::vector<std::string>{"DrawBitmap 10,20,12,22 <- 0,0,2,2 of 2x2 rop 0x00CC0020"}));
  const auto& item = std::get<gfx::rec::DrawBitmap>(canvas.Items()[0]);
  EXPECT_EQ(item.bitmap->GetPixel(1, 0), gfx::Rgb(4, 251, 2));
}

TEST(CDIB, RefusesBadFilesAndKeepsWhatItHeld) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;
  };
  const std::vector<uint8_t> good = MakeBmp({false, 2, 2, 8, 0, 0, Ramp(256), kPixels8});
  const std::vector<uint8_t> core = MakeBmp({true, 2, 2, 8, 0, 0, Ramp(256), kPixels8});
  const auto with = [&](size_t at, std::vector<uint8_t> values) {
    std::vector<uint8_t> b = good;
    std::copy(values.begin(), values.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  const auto cut = [&](size_t size) {
    return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
  };
  const Case kCases[] = {
      {"bad magic", with(0, {'X', 'M'}), "file header: not a bitmap"},
      {"empty file", {}, "file header: truncated"},
      {"file header cut", cut(10), "file header: truncated"},
      {"information header cut", cut(40), "information header: truncated"},
      {"a newer header", with(14, {108, 0, 0, 0}), "size 108 is neither 40 nor 12"},
      {"colour table cut", cut(500), "colour table: 256 entries exceed the file"},
      {"pixels cut", cut(good.size() - 1), "pixel data: the picture needs 8 bytes"},
      {"pixel offset past the end", with(10, {0xFF, 0xFF, 0, 0}), "pixel data"},
      {"zero width", with(18, {0, 0, 0, 0}), "size 0 x 2 is not a picture"},
      {"negative width", with(18, {0xFE, 0xFF, 0xFF, 0xFF}), "size -2 x 2 is not a picture"},
      {"zero height", with(22, {0, 0, 0, 0}), "size 2 x 0 is not a picture"},
      {"huge", with(18, {0xA0, 0x86, 0x01, 0, 0xA0, 0x86, 0x01, 0}), "larger than the program shows"},
      {"bit count 2", with(28, {2, 0}), "bit count 2 is not supported"},
      {"run-length compressed", with(30, {1, 0, 0, 0}), "compression 1 is not supported"},
      {"core header cut", std::vector<uint8_t>(core.begin(), core.begin() + 20), "core header: truncated"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CDIB dib;
    const CDIB before = dib;
    try {
      dib.ReadBytes(c.bytes, "logo.bmp");
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
      EXPECT_EQ(e.where(), "logo.bmp");
    }
    EXPECT_EQ(dib.GetHeader(), before.GetHeader());
    EXPECT_EQ(dib.GetBits(), before.GetBits());
    EXPECT_EQ(dib.GetColorTable(), before.GetColorTable());
  }
}

TEST(CDIB, ReadsFilesAndNamesTheFileInErrors) {
  const fs::path dir = platform::testing_support::MakeTestDir();
  const std::vector<uint8_t> good = MakeBmp({true, 2, 2, 8, 0, 0, Ramp(256), kPixels8});
  platform::testing_support::WriteText(dir / "Logo.bmp", std::string(good.begin(), good.end()));
  platform::testing_support::WriteText(dir / "bad.bmp", "BM");
  CDIB dib;
  dib.Read(dir / "Logo.bmp");
  EXPECT_EQ(dib.GetWidth(), 2);
  try {
    dib.Read(dir / "bad.bmp");
    ADD_FAILURE() << "no error";
  } catch (const platform::FormatError& e) {
    EXPECT_EQ(e.where(), "bad.bmp");
  }
  try {
    dib.Read(dir / "missing.bmp");
    ADD_FAILURE() << "no error";
  } catch (const platform::FormatError&) {
    ADD_FAILURE() << "a missing file is not bad content";
  } catch (const platform::IoError&) {
  }
  EXPECT_EQ(dib.GetWidth(), 2);
  fs::remove_all(dir);
}

// The fuzz corpus of the reader (seeds and former findings) must read or fail cleanly.
TEST(CDIB, ReplaysTheFuzzCorpus) {
  const fs::path corpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/common/fuzz/dib";
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    fs::create_directories(corpus);
    const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
      platform::testing_support::WriteText(corpus / name, std::string(bytes.begin(), bytes.end()));
    };
    write("seed_core8", MakeBmp({true, 2, 2, 8, 0, 0, Ramp(256), kPixels8}));
    write("seed_info8_16colours", MakeBmp({false, 2, 2, 8, 16, 0, Ramp(16), kPixels8}));
    write("seed_info24", MakeBmp({false, 1, 1, 24, 0, 0, {}, {1, 2, 3, 0}}));
    write("seed_info1_topdown",
          MakeBmp({false, 3, -2, 1, 0, 0, {{0, 0, 0}, {255, 255, 255}}, {0xA0, 0, 0, 0, 0x20, 0, 0, 0}}));
  }
  ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    CDIB dib;
    try {
      dib.Read(entry.path());
    } catch (const platform::IoError&) {
    }
    const std::shared_ptr<const gfx::Bitmap> bitmap = dib.ToBitmap();
    EXPECT_EQ(bitmap->Width(), dib.GetWidth());
  }
  EXPECT_GE(files, 4);
}

}  // namespace
