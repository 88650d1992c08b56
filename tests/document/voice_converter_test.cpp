#include "document/voice_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/archive.h"
#include "sample_test_files.h"

namespace {

using namespace sampletest;

std::vector<uint8_t> VoiceFile(const std::vector<uint8_t>& samples, uint32_t count) {
  std::vector<uint8_t> bytes(16, 0xAB);
  bytes.resize(20);
  platform::StoreLE32(bytes.data() + 16, count);
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  return bytes;
}

std::vector<uint8_t> WaveData(const std::vector<uint8_t>& wave) {
  const uint32_t size = platform::LoadLE32(wave.data() + 40);
  return {wave.begin() + 44, wave.begin() + 44 + size};
}

TEST(ConvertVoiceToWave, WritesEightBitMonoAt16kHz) {
  TempFolder folder;
  // Steps +1, -1, +3, +3 (253 -> 0 wraps), +3: values 256, -256, 768, 768, 768.
  const std::string voice = folder.Write("v.VOI", VoiceFile({250, 251, 250, 253, 0, 3}, 6));
  const std::string wave = folder.File("v.PID");
  std::string error;
  ASSERT_TRUE(ConvertVoiceToWave(voice, wave, error)) << error;
  const std::vector<uint8_t> w = ReadAll(wave);
  ASSERT_EQ(w.size(), 44u + 5 + 1);  // odd data chunk padded to a word
  EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
  EXPECT_EQ(platform::LoadLE32(w.data() + 4), w.size() - 8);
  EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(platform::LoadLE32(w.data() + 16), 16u);
  EXPECT_EQ(platform::LoadLE16(w.data() + 20), 1);
  EXPECT_EQ(platform::LoadLE16(w.data() + 22), 1);
  EXPECT_EQ(platform::LoadLE32(w.data() + 24), 16000u);
  EXPECT_EQ(platform::LoadLE32(w.data() + 28), 16000u);
  EXPECT_EQ(platform::LoadLE16(w.data() + 32), 1);
  EXPECT_EQ(platform::LoadLE16(w.data() + 34), 8);
  EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
  // min -256, max 768: scale 4; the largest step would be 256 and is kept at 255.
  EXPECT_EQ(WaveData(w), (std::vector<uint8_t>{128, 0, 255, 255, 255}));
}

TEST(ConvertVoiceToWave, UnguardedCasesOfTheRecorderFile) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    bool ok;
    std::vector<uint8_t> want_data;
    std::string want_error;
  };
  const std::string v = folder.File("v.VOI");
  const Case cases[] = {
      {"all steps equal: silence", VoiceFile({5, 6, 7, 8}, 4), true, {128, 128, 128}, ""},
      {"one sample: an empty sound", VoiceFile({5}, 1), true, {}, ""},
      {"no sample", VoiceFile({}, 0), true, {}, ""},
      {"count beyond the file", VoiceFile({1, 2, 3}, 4), false, {}, "Error reading VoicFile " + v + " !"},
      {"huge count", VoiceFile({1, 2, 3}, 0xFFFFFFFF), false, {}, "Error reading VoicFile " + v + " !"},
      {"header cut off", std::vector<uint8_t>(19, 0), false, {}, "Error reading VoicFile " + v + " !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write("v.VOI", c.file);
    const std::string wave = folder.Write("v.PID", {1, 2, 3});
    std::string error;
    EXPECT_EQ(ConvertVoiceToWave(v, wave, error), c.ok);
    EXPECT_EQ(error, c.want_error);
    if (c.ok)
      EXPECT_EQ(WaveData(ReadAll(wave)), c.want_data);
    else
      EXPECT_EQ(ReadAll(wave), (std::vector<uint8_t>{1, 2, 3}));  // the old file stays
  }
  std::string error;
  EXPECT_FALSE(ConvertVoiceToWave(folder.File("missing.VOI"), folder.File("m.PID"), error));
  EXPECT_EQ(error, "Error reading VoicFile " + folder.File("missing.VOI") + " !");
  folder.Write("ok.VOI", VoiceFile({1, 2}, 2));
  const std::string unwritable = folder.File("no/such/folder/x.PID");
  EXPECT_FALSE(ConvertVoiceToWave(folder.File("ok.VOI"), unwritable, error));
  EXPECT_EQ(error, "Error writing PIDFile " + unwritable + " !");
}

}  // namespace
