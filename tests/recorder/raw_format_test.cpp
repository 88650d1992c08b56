#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/raw/raw_image.h"
#include "recorder/raw/raw_image_writer.h"
#include "support/test_files.h"

namespace recorder {
namespace {

// A card image planted by hand: a header, the file's length, and bytes laid over it.
struct PlantedImage {
  TRawFileHeader header;
  size_t file_size = 4096;
  std::vector<std::pair<size_t, std::vector<uint8_t>>> patches;

  PlantedImage() {
    header.RawPatBlockAddr = 512;
    header.RawPatBlockSize = 512;
    header.RawRecBlockAddr = 1024;
    header.RawRecBlockSize = 512;
    header.RawEcgBlockAddr = 1536;
    header.RawEcgBlockSize = 1024;
  }

  void PlantVoice(size_t addr, const TRawVoiceHeader& voice) {
    header.RawVoicBlockAddr = static_cast<uint32_t>(addr);
    const auto bytes = voice.Pack();
    patches.push_back({addr, {bytes.begin(), bytes.end()}});
  }

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> bytes(file_size, 0x20);
    const auto packed = header.Pack();
    std::copy_n(packed.begin(), std::min(file_size, packed.size()), bytes.begin());
    for (const auto& [at, patch] : patches) std::copy(patch.begin(), patch.end(), bytes.begin() + at);
    return bytes;
  }
};

TRawVoiceHeader FourSamples() {
  TRawVoiceHeader voice;
  voice.VoicNSample = 4;
  return voice;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TRawFileHeader, FieldsSitAtTheirOffsetsAndRoundTrip) {
  TRawFileHeader h;
  h.RawPatBlockAddr = 0x01020304;
  h.RawEcgBlockSize = 0xA0B0C0D0;
  h.RawVoicBlockAddr = 7;
  h.RawFlexBlockAddr[0] = 0x11;
  h.RawFlexBlockSize[49] = 0x2233;
  h.RawFileVersion = 2;
  const auto bytes = h.Pack();

  struct Field {
    const char* name;
    size_t offset;
    uint32_t want;
  };
  const Field kFields[] = {{"ident", 0, 0x9002},  {"pat addr", 4, 0x01020304}, {"ecg size", 24, 0xA0B0C0D0},
                           {"voice addr", 28, 7}, {"flex 0 addr", 108, 0x11},  {"flex 49 size", 504, 0x2233}};
  for (const Field& f : kFields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(platform::LoadLE32(bytes.data() + f.offset), f.want);
  }
  EXPECT_EQ(platform::LoadLE16(bytes.data() + 508), 2);
  for (size_t i = 32; i < 108; ++i) EXPECT_EQ(bytes[i], 0) << "reserved byte " << i;
  EXPECT_EQ(bytes[510], 0);
  EXPECT_EQ(bytes[511], 0);
  EXPECT_EQ(TRawFileHeader::Unpack(bytes), h);
}

TEST(TRawVoiceHeader, SecondsAreStoredHighWordFirst) {
  TRawVoiceHeader v;
  v.VoicSec = 0x00012345;
  v.VoicNSample = 70000;
  const auto bytes = v.Pack();
  EXPECT_EQ(platform::LoadLE16(bytes.data() + 10), 0x0001);
  EXPECT_EQ(platform::LoadLE16(bytes.data() + 12), 0x2345);
  EXPECT_EQ(platform::LoadLE32(bytes.data() + 16), 70000u);
  EXPECT_EQ(TRawVoiceHeader::Unpack(bytes), v);
}

TEST(RawImage, ValidityRulesNameTheBrokenRule) {
  using Plant = void (*)(PlantedImage&);
  struct Case {
    const char* name;
    Plant plant;
    std::optional<RawRule> want;
  };
  const Case kCases[] = {
      {"all flex entries zero", [](PlantedImage&) {}, std::nullopt},
      {"511 bytes beginning with the ident", [](PlantedImage& p) { p.file_size = 511; }, RawRule::kHeader},
      {"wrong ident", [](PlantedImage& p) { p.header.ident_code = 0x9003; }, RawRule::kHeader},
      {"ECG end past 2^32 does not wrap",
       [](PlantedImage& p) {
         p.header.RawEcgBlockAddr = 256;
         p.header.RawEcgBlockSize = 0xFFFFFFFFu - 127;
       },
       RawRule::kBlockBounds},
      {"recording block end one past the file",
       [](PlantedImage& p) { p.header.RawRecBlockAddr = 4096 - 511; }, RawRule::kBlockBounds},
      {"ECG area ends exactly at the file end",
       [](PlantedImage& p) { p.header.RawEcgBlockSize = 4096 - 1536; }, std::nullopt},
      {"voice address past the file", [](PlantedImage& p) { p.header.RawVoicBlockAddr = 4097; },
       RawRule::kVoiceAddress},
      {"patient block 513", [](PlantedImage& p) { p.header.RawPatBlockSize = 513; }, RawRule::kBlockMaxSize},
      {"recording block 513", [](PlantedImage& p) { p.header.RawRecBlockSize = 513; },
       RawRule::kBlockMaxSize},
      {"patient block 293", [](PlantedImage& p) { p.header.RawPatBlockSize = 293; }, RawRule::kBlockMinSize},
      {"patient block 294", [](PlantedImage& p) { p.header.RawPatBlockSize = 294; }, std::nullopt},
      {"recording block 38", [](PlantedImage& p) { p.header.RawRecBlockSize = 38; }, RawRule::kBlockMinSize},
      {"recording block 39", [](PlantedImage& p) { p.header.RawRecBlockSize = 39; }, std::nullopt},
      {"flex entry 7 of 513 bytes",
       [](PlantedImage& p) {
         p.header.RawFlexBlockAddr[7] = 2600;
         p.header.RawFlexBlockSize[7] = 513;
       },
       RawRule::kFlexEntries},
      {"absent flex entry 49 with a size past the file",
       [](PlantedImage& p) { p.header.RawFlexBlockSize[49] = 4097; }, RawRule::kFlexEntries},
      {"flex entry 0 of 512 bytes at the file end",
       [](PlantedImage& p) {
         p.header.RawFlexBlockAddr[0] = 4096 - 512;
         p.header.RawFlexBlockSize[0] = 512;
       },
       std::nullopt},
      {"small voice area with fewer than 512 bytes left",
       [](PlantedImage& p) { p.PlantVoice(4096 - 511, FourSamples()); }, RawRule::kVoiceArea},
      {"small voice area with exactly 512 bytes left",
       [](PlantedImage& p) { p.PlantVoice(4096 - 512, FourSamples()); }, std::nullopt},
      {"voice samples past the file end",
       [](PlantedImage& p) {
         TRawVoiceHeader big;
         big.VoicNSample = 4096 - 2560 - 20 + 1;
         p.PlantVoice(2560, big);
       },
       RawRule::kVoiceArea},
      {"voice samples as large as 2^32 - 1",
       [](PlantedImage& p) {
         TRawVoiceHeader huge;
         huge.VoicNSample = 0xFFFFFFFFu;
         p.PlantVoice(2560, huge);
       },
       RawRule::kVoiceArea},
      {"all-zero voice header with too few bytes left", [](PlantedImage& p) { p.PlantVoice(4096 - 20, {}); },
       RawRule::kVoiceArea},
  };
  const auto dir = testsupport::MakeTestDir("raw");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PlantedImage planted;
    c.plant(planted);
    const auto file = dir / "CARD.RAW";
    const auto bytes = planted.Bytes();
    testsupport::WriteBytes(file, bytes);
    if (!c.want) {
      EXPECT_NO_THROW((void)ReadRawImage(file));
    } else {
      try {
        (void)ReadRawImage(file);
        ADD_FAILURE() << "accepted";
      } catch (const platform::FormatError& e) {
        EXPECT_NE(e.where().find(std::string(RawRuleName(*c.want))), std::string::npos) << e.what();
        EXPECT_NE(e.where().find("CARD.RAW"), std::string::npos) << e.what();
      }
      if (planted.file_size >= kRawHeaderSize) {
        const auto broken = CheckRawHeader(planted.header, planted.file_size);
        if (broken) EXPECT_EQ(broken->rule, *c.want) << broken->detail;
      }
    }
    EXPECT_EQ(ReadAll(file), bytes) << "the image is only read";
  }
}

TEST(RawImage, EmptyOrMissingFileIsNoImage) {
  const auto dir = testsupport::MakeTestDir("raw");
  testsupport::WriteBytes(dir / "EMPTY.RAW", {});
  EXPECT_THROW((void)ReadRawImage(dir / "EMPTY.RAW"), platform::FormatError);
  try {
    (void)ReadRawImage(dir / "NONE.RAW");
    ADD_FAILURE() << "accepted";
  } catch (const platform::FormatError&) {
    ADD_FAILURE() << "a missing file is no format fault";
  } catch (const platform::IoError& e) {
    EXPECT_NE(std::string(e.what()).find("NONE.RAW"), std::string::npos);
  }
}

TEST(RawImage, ReadsBlocksAndVoiceArea) {
  PlantedImage planted;
  planted.header.RawPatBlockAddr = 2048;  // blocks may lie anywhere, in any order
  planted.header.RawPatBlockSize = 300;
  planted.header.RawRecBlockSize = 39;
  planted.patches.push_back({2048, std::vector<uint8_t>(300, 'P')});
  planted.patches.push_back({1024, std::vector<uint8_t>(39, 'R')});
  TRawVoiceHeader zero_samples;
  zero_samples.VoicFreq = 8000;
  planted.PlantVoice(3000, zero_samples);
  const auto dir = testsupport::MakeTestDir("raw");
  testsupport::WriteBytes(dir / "A.RAW", planted.Bytes());

  const TRawImage image = ReadRawImage(dir / "A.RAW");
  EXPECT_EQ(image.file_size, 4096u);
  EXPECT_EQ(image.patient_block, std::vector<uint8_t>(300, 'P'));
  EXPECT_EQ(image.recording_block, std::vector<uint8_t>(39, 'R'));
  EXPECT_TRUE(image.flex_block0.empty());
  // A header that is not all zero is a voice block even with no samples; it then has size 0.
  EXPECT_TRUE(image.voice.present);
  EXPECT_EQ(image.voice.RawVoicBlockSize, 0u);
  EXPECT_EQ(image.voice_header.VoicFreq, 8000);

  TRawVoiceHeader with_samples;
  with_samples.VoicNSample = 3;
  planted.PlantVoice(3000, with_samples);
  testsupport::WriteBytes(dir / "B.RAW", planted.Bytes());
  EXPECT_EQ(ReadRawImage(dir / "B.RAW").voice.RawVoicBlockSize, 23u);

  // Twenty zero bytes at the voice address: no voice area at all.
  planted.PlantVoice(3000, {});
  testsupport::WriteBytes(dir / "C.RAW", planted.Bytes());
  EXPECT_FALSE(ReadRawImage(dir / "C.RAW").voice.present);
}

TEST(RawImage, AddressBlockFollowsFirmwareVersionAndFlexEntry) {
  struct Case {
    const char* name;
    const char* dev_version;
    uint32_t flex_addr;
    bool want;
  };
  const Case kCases[] = {{"0.99b is before the address block", "0.99b", 2600, false},
                         {"leading letter and 1.20", "V1.20", 2600, true},
                         {"exactly 1.2", "V1.2", 2600, true},
                         {"1.20 without the leading character reads 0.2", "1.20", 2600, false},
                         {"no flex entry 0", "V1.20", 0, false},
                         {"non-numeric text", "Vx.yz", 2600, false}};
  const auto dir = testsupport::MakeTestDir("raw");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PlantedImage planted;
    planted.header.RawFlexBlockAddr[0] = c.flex_addr;
    planted.header.RawFlexBlockSize[0] = c.flex_addr ? 263 : 0;
    planted.patches.push_back({2600, std::vector<uint8_t>(263, 'A')});
    testsupport::WriteBytes(dir / "CARD.RAW", planted.Bytes());
    const TRawImage image = ReadRawImage(dir / "CARD.RAW");
    const auto block = image.AddressBlock(c.dev_version);
    ASSERT_EQ(block.has_value(), c.want);
    if (block) EXPECT_EQ(std::vector<uint8_t>(block->begin(), block->end()), std::vector<uint8_t>(263, 'A'));
  }
}

TEST(DevVersionNumber, ReadsThreeCharactersAfterTheFirst) {
  struct Case {
    const char* text;
    double want;
  };
  const Case kCases[] = {{"0.99b", 0.99}, {"V1.20", 1.2}, {"1.20", 0.2}, {"V2", 2.0},
                         {"", 0.0},       {"V", 0.0},     {"Vabc", 0.0}, {"V 1.2", 1.0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(DevVersionNumber(c.text), c.want);
  }
}

TEST(VoiceSoundSamples, AreByteDifferencesModulo256) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<int8_t> want;
  };
  const Case kCases[] = {{"up and down", {10, 12, 9}, {2, -3}},
                         {"wraps past 255", {250, 4}, {10}},
                         {"one byte carries no sample", {7}, {}},
                         {"no bytes", {}, {}},
                         {"largest step down", {128, 0}, {-128}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VoiceSoundSamples(c.bytes), c.want);
  }
}

TEST(RawImage, WrittenLayoutWithEmptyEcgAreaIsValid) {
  std::vector<uint8_t> bytes(kWrittenEcgBlockAddr, 0x20);
  const auto header = TRawFileHeader::ForWrittenImage(0).Pack();
  std::copy(header.begin(), header.end(), bytes.begin());
  const auto dir = testsupport::MakeTestDir("raw");
  testsupport::WriteBytes(dir / "W.RAW", bytes);
  const TRawImage image = ReadRawImage(dir / "W.RAW");
  EXPECT_EQ(image.header.RawPatBlockAddr, 512u);
  EXPECT_EQ(image.header.RawRecBlockAddr, 1024u);
  EXPECT_EQ(image.header.RawEcgBlockAddr, 1536u);
  EXPECT_EQ(image.header.RawEcgBlockSize, 0u);
  EXPECT_EQ(image.patient_block.size(), 512u);
  EXPECT_EQ(image.recording_block.size(), 512u);
  EXPECT_FALSE(image.voice.present);
  EXPECT_TRUE(std::all_of(header.begin() + 28, header.end(), [](uint8_t b) { return b == 0; }));
}

struct WrittenBlocks {
  std::array<uint8_t, 512> patient;
  std::array<uint8_t, 512> recording;
  WrittenBlocks() {
    patient.fill('P');
    recording.fill('R');
  }
};

TEST(TRawImageWriter, WritesFixedLayoutInChunks) {
  struct Case {
    const char* name;
    uint32_t ecg_size;
    size_t chunk;
    std::vector<int> want_progress;
  };
  const Case kCases[] = {
      {"empty ECG area", 0, TRawImageWriter::kDefaultChunkBytes, {}},
      {"one test sector", 512, TRawImageWriter::kDefaultChunkBytes, {1}},
      {"one byte past a chunk", (1u << 20) + 1, TRawImageWriter::kDefaultChunkBytes, {2, 2}},
      {"exact chunks", 3000, 1000, {3, 3, 3}}};
  const WrittenBlocks blocks;
  const auto dir = testsupport::MakeTestDir("raw");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto target = dir / "OUT.RAW";
    std::vector<int> ranges;
    std::vector<int> steps;
    const TRawImageWriter writer(blocks.patient, blocks.recording, c.chunk);
    ASSERT_TRUE(writer.WriteZeros(target, c.ecg_size, [&](int done, int count) {
      steps.push_back(done);
      ranges.push_back(count);
      return true;
    }));
    EXPECT_EQ(ranges, c.want_progress);
    EXPECT_EQ(steps.size(), c.want_progress.size());

    const auto bytes = ReadAll(target);
    ASSERT_EQ(bytes.size(), 1536u + c.ecg_size);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 512, bytes.begin() + 1024),
              std::vector<uint8_t>(512, 'P'));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1024, bytes.begin() + 1536),
              std::vector<uint8_t>(512, 'R'));
    EXPECT_TRUE(std::all_of(bytes.begin() + 1536, bytes.end(), [](uint8_t b) { return b == 0; }));
    const TRawImage image = ReadRawImage(target);
    EXPECT_EQ(image.header, TRawFileHeader::ForWrittenImage(c.ecg_size));
  }
}

TEST(TRawImageWriter, CopiesSampleFileUnchanged) {
  const auto dir = testsupport::MakeTestDir("raw");
  std::vector<uint8_t> cmp(2500);
  for (size_t i = 0; i < cmp.size(); ++i) cmp[i] = static_cast<uint8_t>(i * 7 + 3);
  testsupport::WriteBytes(dir / "REC.CMP", cmp);
  const WrittenBlocks blocks;
  const TRawImageWriter writer(blocks.patient, blocks.recording, 1000);
  ASSERT_TRUE(writer.WriteFromFile(dir / "REC.RAW", dir / "REC.CMP", [](int, int) { return true; }));
  const auto bytes = ReadAll(dir / "REC.RAW");
  ASSERT_EQ(bytes.size(), 1536u + cmp.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1536, bytes.end()), cmp);
  EXPECT_EQ(ReadRawImage(dir / "REC.RAW").header.RawEcgBlockSize, 2500u);
}

TEST(TRawImageWriter, CancelOrBadSourceLeavesTargetAsItWas) {
  const auto dir = testsupport::MakeTestDir("raw");
  const auto target = dir / "OUT.RAW";
  const std::vector<uint8_t> old_image = {1, 2, 3};
  const WrittenBlocks blocks;
  const TRawImageWriter writer(blocks.patient, blocks.recording, 1000);
  const auto files_in_dir = [&] {
    return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
  };

  testsupport::WriteBytes(target, old_image);
  EXPECT_FALSE(writer.WriteZeros(target, 5000, [](int done, int) { return done < 2; }));
  EXPECT_EQ(ReadAll(target), old_image);
  EXPECT_EQ(files_in_dir(), 1) << "no temp file left behind";

  EXPECT_THROW((void)writer.WriteFromFile(target, dir / "NONE.CMP", [](int, int) { return true; }),
               platform::IoError);
  // A sample file past 4 GB cannot be described by the 32-bit area size; sparse, so it costs no disk.
  const auto huge = dir / "HUGE.CMP";
  testsupport::WriteBytes(huge, {});
  std::filesystem::resize_file(huge, (uint64_t{1} << 32) + 1);
  EXPECT_THROW((void)writer.WriteFromFile(target, huge, [](int, int) { return true; }),
               platform::FormatError);
  std::filesystem::remove(huge);
  EXPECT_EQ(ReadAll(target), old_image);
  EXPECT_EQ(files_in_dir(), 1);
}

}  // namespace
}  // namespace recorder
