// Replays the fuzz corpus of the RAW card image checker (seeds and former findings) through the
// same checks as the fuzz target. UPDATE_GOLDEN=1 rewrites the seed files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "tools/raw_file_checker.h"
#include "tools/raw_image_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace rawcheck;

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz/raw_header";

// Small images that reach every part of the check: the whole image, one without voice whose
// firmware writes no address block, a header alone, and flex entries of every kind.
std::map<std::string, std::vector<uint8_t>> Seeds() {
  std::map<std::string, std::vector<uint8_t>> seeds;
  seeds["seed_good"] = Image::Good().Bytes();
  Image old = Image::Good("V1.10");
  old.header.RawVoicBlockAddr = 0;
  old.bytes.resize(3072);
  seeds["seed_no_voice_v1_10"] = old.Bytes();
  Image header_only;
  header_only.bytes.resize(512);
  seeds["seed_header_only"] = header_only.Bytes();
  Image flex = Image::Good();
  flex.header.RawFlexBlockAddr[1] = 2048;
  flex.header.RawFlexBlockSize[1] = 512;
  flex.header.RawFlexBlockAddr[49] = 3000;
  flex.header.RawFlexBlockSize[49] = 600;
  seeds["seed_flex_entries"] = flex.Bytes();
  return seeds;
}

TEST(RawHeaderFuzzCorpus, SeedsAreCurrent) { testsupport::ExpectSeedsCurrent(kCorpus, Seeds()); }

TEST(RawHeaderFuzzCorpus, EveryFixtureReplaysCleanly) {
  const testsupport::TempFolder folder("rawcorpus");
  const int replayed = testsupport::ReplayCorpus(kCorpus, [&](const std::vector<uint8_t>& bytes) {
    const std::string path = folder.Write("f.RAW", bytes);
    std::vector<std::string> lines;
    EXPECT_NO_THROW(lines = tools::CheckRawFileLines(path, kClock, kLocale));
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back() == "No error found" || lines.back() == "Error found") << lines.back();
  });
  EXPECT_GE(replayed, 4);
}

}  // namespace
