#include "dialogs/sound/wave_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "dialogs/sound/buffer_queue.h"
#include "dialogs/sound_test_support.h"
#include "platform/archive.h"
#include "win/prompt.h"

namespace {

using dialogs_test::ReadBytes;
using dialogs_test::SoundTest;
using dialogs_test::WriteBytes;

// A wave file from its parts: the chunks are written as given (sizes too), so damaged layouts
// can be built.
std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& content, int64_t size = -1) {
  std::vector<uint8_t> b(8);
  std::memcpy(b.data(), id, 4);
  platform::StoreLE32(b.data() + 4, static_cast<uint32_t>(size < 0 ? content.size() : size));
  b.insert(b.end(), content.begin(), content.end());
  if (content.size() % 2 != 0) b.push_back(0);
  return b;
}

std::vector<uint8_t> FormatRecord(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool with_extra,
                                  uint16_t extra = 0) {
  std::vector<uint8_t> r(with_extra ? 18 : 16);
  const uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
  platform::StoreLE16(&r[0], tag);
  platform::StoreLE16(&r[2], channels);
  platform::StoreLE32(&r[4], rate);
  platform::StoreLE32(&r[8], rate * align);
  platform::StoreLE16(&r[12], align);
  platform::StoreLE16(&r[14], bits);
  if (with_extra) platform::StoreLE16(&r[16], extra);
  return r;
}

std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks, const char* form = "WAVE") {
  std::vector<uint8_t> content(form, form + 4);
  for (const auto& c : chunks) content.insert(content.end(), c.begin(), c.end());
  return Chunk("RIFF", content);
}

TEST(TWaveFormat, SettersKeepBlockAlignAndByteRate) {
  struct Case {
    const char* name;
    int bits;
    int channels;
    int rate;
    int want_align;
    uint32_t want_bytes_per_second;
  };
  constexpr Case kCases[] = {
      {"defaults", 16, 1, 22050, 2, 44100},
      {"8 bits", 8, 1, 22050, 1, 22050},
      {"stereo 16 bits", 16, 2, 22050, 4, 88200},
      {"voice files", 8, 1, 16000, 1, 16000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TWaveFormat format;
    EXPECT_EQ(format.SetBitsPerSample(c.bits), c.want_align == 0 ? 0 : c.bits / 8);
    EXPECT_EQ(format.SetChannels(c.channels), c.want_align);
    EXPECT_EQ(format.SetSampleRate(c.rate), c.want_align);
    EXPECT_EQ(format.GetFormat().block_align, c.want_align);
    EXPECT_EQ(format.GetFormat().avg_bytes_per_sec, c.want_bytes_per_second);
    EXPECT_EQ(format.GetFormat().format_tag, 1);
    EXPECT_EQ(format.GetFormat().extra_size, 0);
    EXPECT_EQ(format.GetBufferSamples(), 1000);
  }
}

TEST(TWaveFormat, ShortFormatRecordLeavesTheRestAsItWas) {
  TWaveFormat format;
  const std::vector<uint8_t> full = FormatRecord(1, 2, 8000, 8, true, 7);
  format.SetFormatBytes(full.data(), 18);
  EXPECT_EQ(format.GetFormat().extra_size, 7);
  const std::vector<uint8_t> short_record = FormatRecord(1, 1, 16000, 16, false);
  format.SetFormatBytes(short_record.data(), 16);
  EXPECT_EQ(format.GetSampleRate(), 16000);
  EXPECT_EQ(format.GetFormat().block_align, 2);
  EXPECT_EQ(format.GetFormat().extra_size, 7);
}

TEST(TAudioBuffer, OwnsWhatItAllocatesAndNeverWhatItIsGiven) {
  TAudioBuffer allocated(16, true);
  ASSERT_NE(allocated.data, nullptr);
  EXPECT_EQ(allocated.size, 16);
  std::memset(allocated.data, 0xAB, 16);
  allocated.Clear();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(allocated.data[i], 0);

  uint8_t outside[4] = {1, 2, 3, 4};
  {
    TAudioBuffer view(outside, 4);
    EXPECT_FALSE(view.owns);
    view.Clear();
  }
  EXPECT_EQ(outside[3], 0);  // still there after the view is gone
  TAudioBuffer none(nullptr, 10);
  EXPECT_EQ(none.size, 0);
}

class TWaveFileTest : public SoundTest {};

TEST_F(TWaveFileTest, EmptyFileHasRiffSize38AndAnEmptyDataChunk) {
  const auto path = dir_ / "empty.wav";
  TWaveFormat format;
  {
    TWaveFile file(path.string(), &format);
    EXPECT_EQ(file.GetMode(), TWaveFile::kModeWriting);
  }
  const std::vector<uint8_t> b = ReadBytes(path);
  ASSERT_EQ(b.size(), 46u);
  EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
  EXPECT_EQ(platform::LoadLE32(&b[4]), 38u);
  EXPECT_EQ(std::memcmp(&b[8], "WAVEfmt ", 8), 0);
  EXPECT_EQ(platform::LoadLE32(&b[16]), 18u);
  const auto record = format.FormatBytes();
  EXPECT_TRUE(std::equal(record.begin(), record.end(), b.begin() + 20));
  EXPECT_EQ(std::memcmp(&b[38], "data", 4), 0);
  EXPECT_EQ(platform::LoadLE32(&b[42]), 0u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TWaveFileTest, WrittenSamplesReadBackBlockByBlock) {
  const auto path = dir_ / "round.wav";
  TWaveFormat format;
  format.SetBitsPerSample(8);
  format.SetSampleRate(16000);
  format.SetBufferSamples(4);
  std::vector<uint8_t> samples(11);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(100 + i);
  {
    TWaveFile file(path.string(), &format);
    TAudioBuffer first(samples.data(), 6);
    TAudioBuffer second(samples.data() + 6, 5);
    EXPECT_TRUE(file.Write(first));
    EXPECT_TRUE(file.Write(second));
    EXPECT_FALSE(file.Read(first));  // not in reading mode
  }
  const std::vector<uint8_t> b = ReadBytes(path);
  // An odd sample count gets a pad byte that the RIFF size counts and the data size does not.
  ASSERT_EQ(b.size(), 46u + 11 + 1);
  EXPECT_EQ(platform::LoadLE32(&b[4]), 38u + 12);
  EXPECT_EQ(platform::LoadLE32(&b[42]), 11u);

  TWaveFile file(path.string());
  ASSERT_EQ(file.GetMode(), TWaveFile::kModeReading);
  EXPECT_EQ(file.GetSampleRate(), 16000);
  EXPECT_EQ(file.GetBitsPerSample(), 8);
  EXPECT_EQ(file.DataBytes(), 11u);
  file.SetBufferSamples(4);
  std::vector<uint8_t> back;
  while (std::unique_ptr<TAudioBuffer> block = file.ReadNewBuffer()) {
    EXPECT_LE(block->size, 4);
    back.insert(back.end(), block->data, block->data + block->size);
  }
  EXPECT_EQ(back, samples);
  uint8_t room[8];
  TAudioBuffer at_end(room, 8);
  EXPECT_FALSE(file.Read(at_end));
  EXPECT_EQ(at_end.size, 0);
}

TEST_F(TWaveFileTest, ReadsOtherLayoutsOfValidFiles) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t want_data;
  };
  const std::vector<uint8_t> pcm16 = FormatRecord(1, 1, 16000, 8, false);
  const std::vector<uint8_t> samples = {1, 2, 3};
  const Case cases[] = {
      {"16-byte fmt chunk", Riff({Chunk("fmt ", pcm16), Chunk("data", samples)}), 3},
      {"a chunk before fmt and between fmt and data",
       Riff({Chunk("LIST", {9, 9, 9}), Chunk("fmt ", pcm16), Chunk("fact", {0, 0, 0, 0}), Chunk("data", samples)}), 3},
      {"longer fmt chunk", Riff({Chunk("fmt ", [] {
                                   auto r = FormatRecord(1, 1, 16000, 8, true);
                                   r.insert(r.end(), {5, 5});
                                   return r;
                                 }()),
                                 Chunk("data", samples)}),
       3},
      {"data size beyond the file", Riff({Chunk("fmt ", pcm16), Chunk("data", samples, 1000)}), 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir_ / "in.wav";
    WriteBytes(path, c.bytes);
    TWaveFile file(path.string());
    EXPECT_EQ(file.GetMode(), TWaveFile::kModeReading);
    EXPECT_EQ(file.GetSampleRate(), 16000);
    EXPECT_EQ(file.DataBytes(), c.want_data);  // the pad byte counts when the size runs past the end
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TWaveFileTest, BadFilesShowTheirMessageAndStayClosed) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;  // nullptr: no message
  };
  const std::vector<uint8_t> pcm = FormatRecord(1, 1, 16000, 8, false);
  const std::vector<uint8_t> samples = {1, 2, 3, 4};
  const Case cases[] = {
      {"empty file", {}, "Error descending into file"},
      {"no RIFF", Chunk("JUNK", samples), "Error descending into file"},
      {"another form", Riff({Chunk("fmt ", pcm)}, "AVI "), "Error descending into file"},
      {"no fmt chunk", Riff({Chunk("data", samples)}), "Error descending in wave file"},
      {"fmt chunk cut short", Riff({Chunk("fmt ", {1, 0, 1, 0}, 16)}), "Error ascending in File"},
      {"no data chunk", Riff({Chunk("fmt ", pcm)}), "error reading data chunk"},
      {"data before fmt", Riff({Chunk("data", samples), Chunk("fmt ", pcm)}), "error reading data chunk"},
      {"compressed format", Riff({Chunk("fmt ", FormatRecord(2, 1, 16000, 4, false)), Chunk("data", samples)}),
       "Unsupported wave format"},
      {"block align zero", Riff({Chunk("fmt ", FormatRecord(1, 0, 16000, 8, false)), Chunk("data", samples)}),
       "Unsupported wave format"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    const auto path = dir_ / "bad.wav";
    WriteBytes(path, c.bytes);
    TWaveFile file(path.string());
    EXPECT_EQ(file.GetMode(), TWaveFile::kModeClosed);
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], c.message);
    EXPECT_EQ(prompt_.Log()[0].style, win::kMbOk);
    EXPECT_EQ(ReadBytes(path), c.bytes);
  }
  prompt_.ClearLog();
  TWaveFile missing((dir_ / "missing.wav").string());
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TWaveFileTest, WritingReplacesAnOlderFileOnlyWhenClosed) {
  const auto path = dir_ / "sound1.wav";
  WriteBytes(path, {'o', 'l', 'd'});
  TWaveFormat format;
  {
    TWaveFile file(path.string(), &format);
    uint8_t samples[4] = {1, 2, 3, 4};
    EXPECT_TRUE(file.Write(TAudioBuffer(samples, 4)));
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  }
  EXPECT_EQ(ReadBytes(path).size(), 46u + 4);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);  // no temp file left behind
}

// A recording through a link replaces the link's target; a read-only file is never replaced.
TEST_F(TWaveFileTest, RecordingWritesThroughLinksAndLeavesReadOnlyFilesAlone) {
  WriteBytes(dir_ / "target.wav", {'o', 'l', 'd'});
  std::filesystem::create_symlink("target.wav", dir_ / "link.wav");
  WriteBytes(dir_ / "locked.wav", {'o', 'l', 'd'});
  std::filesystem::permissions(dir_ / "locked.wav", std::filesystem::perms::owner_read);
  struct Case {
    const char* name;
    const char* written;
    const char* changed;
    bool opens;
  };
  const Case cases[] = {
      {"link", "link.wav", "target.wav", true},
      {"read-only file", "locked.wav", "locked.wav", false},
  };
  TWaveFormat format;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      TWaveFile file((dir_ / c.written).string(), &format);
      EXPECT_EQ(file.IsOpen(), c.opens);
      uint8_t samples[2] = {1, 2};
      EXPECT_EQ(file.Write(TAudioBuffer(samples, 2)), c.opens);
    }
    EXPECT_EQ(ReadBytes(dir_ / c.changed).size(), c.opens ? 46u + 2 : 3u);
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.wav"));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 3);  // no temp file left behind
}

TEST(TBufferQueue, PopWaitsForAPushFromAnotherThread) {
  TBufferQueue queue;
  TAudioBuffer a(nullptr, 0);
  TAudioBuffer b(nullptr, 0);
  std::thread producer([&] {
    queue.Push(&a);
    queue.Push(&b);
  });
  EXPECT_EQ(queue.Pop(), &a);
  EXPECT_EQ(queue.Pop(), &b);
  producer.join();
  EXPECT_EQ(queue.Count(), 0);
}

TEST(TBufferQueue, RefusesMoreThanItsMaximum) {
  TBufferQueue queue;
  TAudioBuffer a(nullptr, 0);
  for (int i = 0; i < TBufferQueue::kMaxCount; ++i) ASSERT_TRUE(queue.Push(&a));
  EXPECT_FALSE(queue.Push(&a));
  EXPECT_EQ(queue.Count(), TBufferQueue::kMaxCount);
}

}  // namespace
