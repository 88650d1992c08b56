// Replays the fuzz corpus fixtures of the PDF writer's readers of outside files (JPEG images, the
// PFM and PFB files of external fonts, the font map; seeds and former findings) through the same
// calls as the fuzz targets. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "reports/pdf/pdf_test_support.h"
#include "reports/pdf/pdf_writer.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/pdf/fuzz";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A small valid PFB outline file: one text segment, one data segment, the end mark (as the PFM
// target places beside its input).
std::string ValidPfb() {
  const std::string text = "%!PS-AdobeFont-1.0: FuzzFont\r";
  std::string b = {'\x80', '\x01', static_cast<char>(text.size()), '\0', '\0', '\0'};
  b += text;
  b += std::string("\x80\x02\x04\0\0\0\xDE\xAD\xBE\xEF\x80\x03", 12);
  return b;
}

class PdfFuzzCorpus : public pdf_test::PdfTest {
 protected:
  // A fresh one-page document for each file, as each fuzz input gets.
  void Begin() {
    tvk_release();
    tvk_prepare(0);
    ASSERT_EQ(tvk_open(), 0);
    ASSERT_EQ(BeginA4(1), 0);
    tvk_setFontDirectories(dir_.string(), dir_.string());
    tvk_setFontMap(Path("none.lst").string());
  }
  // Whatever a reader refused, the document still finishes with a valid cross-reference table.
  void End() {
    const std::string pdf = Finish();
    pdf_test::ExpectValidXref(pdf);
    tvk_release();
  }

  void UseFont(const std::string& path) {
    tvk_beginText(0);
    EXPECT_EQ(tvk_setFont(path, "WinAnsiEncoding", 10), 0);
    (void)tvk_stringWidth("Gr\xC3\xB6\xC3\x9F" "e ~");
    tvk_text(72, 700, 0, "Gr\xC3\xB6\xC3\x9F" "e ~");
    EXPECT_EQ(tvk_setFont(path, "", 12), 0);
    tvk_text(72, 600, 0, "plain");
    tvk_endText();
  }

  void ReplayJpeg(const std::string& bytes) {
    tvk_JpegInfo info;
    (void)read_JPEG_header({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, "corpus.jpg", &info);
    const std::string path = pdf_test::WriteFile(Path("f.jpg"), bytes);
    Begin();
    double width = 0, height = 0, x_scale = 0, y_scale = 0;
    (void)tvk_placeImage(path, tvk_kImageJpeg, 10, 10, 0, &width, &height, &x_scale, &y_scale, 1);
    double given_width = 200;
    (void)tvk_placeImage(path, tvk_kImageJpeg, 10, 300, 30, &given_width, nullptr, nullptr, nullptr, 0);
    End();
  }

  void ReplayPfm(const std::string& bytes) {
    pdf_test::WriteFile(Path("F.pfb"), ValidPfb());
    pdf_test::WriteFile(Path("F.pfm"), bytes);
    Begin();
    UseFont(Path("F").string());
    End();
  }

  void ReplayPfb(const std::string& bytes) {
    pdf_test::WriteFile(Path("F.pfm"), pdf_test::MakePfm("FuzzFont", 32, 126));
    pdf_test::WriteFile(Path("F.pfb"), bytes);
    Begin();
    UseFont(Path("F").string());
    End();
  }

  void ReplayFontMap(const std::string& bytes) {
    Begin();
    tvk_setFontMap(pdf_test::WriteFile(Path("fontmap.lst"), bytes));
    std::string pfm, pfb;
    for (const char* name : {"FontA", "$Font_Directories"}) (void)tvk_readFontMap(name, &pfm, &pfb);
    End();
  }

  std::map<std::string, std::function<void(const std::string&)>> Readers() {
    return {{"jpeg", [this](const std::string& b) { ReplayJpeg(b); }},
            {"pfm", [this](const std::string& b) { ReplayPfm(b); }},
            {"pfb", [this](const std::string& b) { ReplayPfb(b); }},
            {"font_map", [this](const std::string& b) { ReplayFontMap(b); }}};
  }
};

// Seeds: small valid files of each kind.
std::map<std::string, std::string> Seeds() {
  std::map<std::string, std::string> seeds;
  seeds["jpeg/seed_tiny"] = ReadFile(pdf_test::FixturePath("tiny.jpg"));
  seeds["pfm/seed_32_126"] = pdf_test::MakePfm("FuzzFont", 32, 126);
  seeds["pfm/seed_32_255"] = pdf_test::MakePfm("FuzzFont-Bold", 32, 255);
  seeds["pfb/seed_text_data_text"] =
      ValidPfb().substr(0, ValidPfb().size() - 2) + std::string("\x80\x01\x0B\0\0\0cleartomark\x80\x03", 19);
  seeds["font_map/seed_plain"] = "# fonts\n%x\nFontA (a.pfm) (a.pfb)\nFontB (b.pfm) (b.pfb)\n";
  seeds["font_map/seed_directories"] =
      "$Font_Directories (/fonts/pfm) (/fonts/pfb)\r\n$Abs_Path_Prefix (/) (C:)\r\nFontA (a.pfm) (/abs/a.pfb)\r\n";
  return seeds;
}

TEST(PdfFuzzCorpusSeeds, SeedsAreCurrent) {
  const bool update = std::getenv("UPDATE_GOLDEN") != nullptr;
  for (const auto& [name, bytes] : Seeds()) {
    SCOPED_TRACE(name);
    const fs::path path = kCorpus / name;
    if (update) {
      fs::create_directories(path.parent_path());
      pdf_test::WriteFile(path, bytes);
    }
    EXPECT_EQ(ReadFile(path), bytes) << "regenerate with UPDATE_GOLDEN=1";
  }
}

TEST_F(PdfFuzzCorpus, EveryFixtureReplaysCleanly) {
  int replayed = 0;
  for (const auto& [reader, replay] : Readers()) {
    const fs::path dir = kCorpus / reader;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      replay(ReadFile(entry.path()));
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 6);
}

}  // namespace
