#include "dialogs/sound/sound_controller.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "dialogs/fake_audio_backend.h"
#include "dialogs/sound/null_audio_backend.h"
#include "dialogs/sound_test_support.h"
#include "document/voice_converter.h"
#include "platform/archive.h"
#include "platform/ids.h"
#include "win/prompt.h"

namespace {

using dialogs_test::ManualAudioBackend;
using dialogs_test::ReadBytes;
using dialogs_test::SoundTest;
using dialogs_test::WriteBytes;

constexpr win::WindowHandle kOwner = 0x4711;
constexpr uint32_t kEndMessage = msg::kPlaybackEnded;

// A mono 8-bit 16000 Hz wave file (the voice files' format) of the given samples.
std::filesystem::path MakeWave(const std::filesystem::path& path, const std::vector<uint8_t>& samples) {
  TWaveFormat format;
  format.SetBitsPerSample(8);
  format.SetSampleRate(16000);
  TWaveFile file(path.string(), &format);
  std::vector<uint8_t> copy = samples;
  if (!copy.empty()) {
    EXPECT_TRUE(file.Write(TAudioBuffer(copy.data(), static_cast<int32_t>(copy.size()))));
  }
  return path;
}

std::vector<uint8_t> Ramp(size_t count) {
  std::vector<uint8_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return samples;
}

class TSoundControllerTest : public SoundTest {};

TEST_F(TSoundControllerTest, RecorderVoicePlaysToItsEndWithOneEndNotice) {
  // The recorder's voice file: a 16-byte header, the sample count, delta-coded bytes; 16001 of
  // them make one second of sound.
  const uint32_t count = 16001;
  std::vector<uint8_t> voice(20 + count);
  platform::StoreLE32(voice.data() + 16, count);
  for (uint32_t i = 0; i < count; ++i) voice[20 + i] = static_cast<uint8_t>(i * i);
  WriteBytes(dir_ / "00001.VOC", voice);
  const std::string pid = (dir_ / "00001.PID").string();
  ConvertVoiceToWave((dir_ / "00001.VOC").string(), pid);

  sound::NullAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, pid);
  controller.PlaybackThread().WaitUntilIdle();
  Pump();

  EXPECT_EQ(PostedCount(kEndMessage), 1);
  EXPECT_EQ(posted_.at(0).target, kOwner);
  EXPECT_EQ(posted_.at(0).wparam, 0u);
  EXPECT_EQ(posted_.at(0).lparam, 0);
  EXPECT_EQ(backend.PlayedBytes(), 16000u);
  EXPECT_EQ(backend.PlayedMs(), 1000);
  EXPECT_FALSE(controller.IsPlaying());
  EXPECT_FALSE(controller.PlaybackThread().IsStarted());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TSoundControllerTest, ShortFileEndsWhilePlaybackStartsAndStillPlaysItsLastBuffers) {
  const auto path = MakeWave(dir_ / "short.PID", Ramp(1500));
  ManualAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, path.string());
  Pump();
  EXPECT_EQ(PostedCount(kEndMessage), 1);  // posted while starting
  ASSERT_EQ(backend.Held(), 2u);
  EXPECT_TRUE(controller.PlaybackThread().IsStarted());

  backend.CompleteOne();
  backend.CompleteOne();
  controller.PlaybackThread().WaitUntilIdle();
  Pump();
  EXPECT_EQ(PostedCount(kEndMessage), 1);
  const auto written = backend.WrittenBuffers();
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0].bytes.size(), 1000u);
  EXPECT_EQ(written[1].bytes.size(), 500u);
  EXPECT_FALSE(backend.Open());
  EXPECT_FALSE(controller.PlaybackThread().IsStarted());
}

TEST_F(TSoundControllerTest, EmptyVoiceFileEndsAtOnce) {
  const auto path = MakeWave(dir_ / "empty.PID", {});
  ManualAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, path.string());
  Pump();
  EXPECT_EQ(PostedCount(kEndMessage), 1);
  EXPECT_TRUE(backend.WrittenBuffers().empty());
  EXPECT_FALSE(backend.Open());
  EXPECT_FALSE(controller.PlaybackThread().IsStarted());
  EXPECT_FALSE(controller.IsPlaying());
}

TEST_F(TSoundControllerTest, StopDuringPlaybackIsCleanAndPlayStartsOver) {
  const std::vector<uint8_t> samples = Ramp(10000);
  const auto path = MakeWave(dir_ / "ten.PID", samples);
  ManualAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, path.string());
  ASSERT_EQ(backend.Held(), 3u);
  backend.CompleteOne();
  backend.WaitHeld(3);  // refilled and written again on the sound thread
  ASSERT_EQ(backend.WrittenBuffers().size(), 4u);

  controller.StopPlay();
  EXPECT_EQ(backend.Held(), 0u);
  EXPECT_FALSE(backend.Open());
  EXPECT_FALSE(controller.PlaybackThread().IsStarted());
  EXPECT_FALSE(controller.PlaybackThread().IsDeviceOpen());
  EXPECT_FALSE(controller.IsPlaying());
  controller.StopPlay();  // a second stop does nothing
  Pump();
  EXPECT_EQ(PostedCount(kEndMessage), 0);

  controller.Play(kOwner, path.string());
  const auto written = backend.WrittenBuffers();
  ASSERT_EQ(written.size(), 7u);
  EXPECT_EQ(written[4].bytes, std::vector<uint8_t>(samples.begin(), samples.begin() + 1000));
  EXPECT_EQ(backend.Opened(), 2);
  controller.StopPlay();
  Pump();
  EXPECT_EQ(PostedCount(kEndMessage), 0);
}

TEST_F(TSoundControllerTest, StopRacingTheSoundThreadNeverNotifiesAfterStop) {
  const auto path = MakeWave(dir_ / "long.PID", Ramp(48000));
  sound::NullAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  int ended_before_stop = 0;
  for (int i = 0; i < 40; ++i) {
    controller.Play(kOwner, path.string());
    controller.StopPlay();
    EXPECT_FALSE(controller.PlaybackThread().IsDeviceOpen());
    EXPECT_FALSE(controller.IsPlaying());
    Pump();
    const int notices = PostedCount(kEndMessage);
    // Either the end was reached before the stop (one notice) or the stop came first (none).
    EXPECT_LE(notices - ended_before_stop, 1);
    ended_before_stop = notices;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TSoundControllerTest, MissingFileShowsUnableToOpenAndStartsNothing) {
  ManualAudioBackend backend;
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, (dir_ / "none.PID").string());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Unable to open file");
  EXPECT_EQ(prompt_.Log()[0].style, win::kMbOk | win::kMbIconExclamation);
  EXPECT_EQ(backend.Opened(), 0);
  EXPECT_FALSE(controller.IsPlaying());
}

TEST_F(TSoundControllerTest, DeviceThatCannotOpenReportsAndLeavesPlaybackIdle) {
  const auto path = MakeWave(dir_ / "v.PID", Ramp(3000));
  ManualAudioBackend backend;
  backend.FailOpen(sound::kMmNoDriver);
  TSoundController controller(kOwner, kEndMessage, &backend);
  controller.Play(kOwner, path.string());
  Pump();  // the sound thread posts its box to this thread
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "WAVEOUT:6:There is no driver installed on your system. in start()");
  EXPECT_FALSE(controller.IsPlaying());
  EXPECT_FALSE(controller.PlaybackThread().IsStarted());
  EXPECT_EQ(PostedCount(kEndMessage), 0);
}

TEST_F(TSoundControllerTest, SoundThreadsRefuseASecondStartAndAStartWithoutCallback) {
  ManualAudioBackend backend;
  TWaveOutThread bare(&backend);
  EXPECT_FALSE(bare.Start());

  CSoundIn in(&backend);
  in.SetDataCallback([](TAudioBuffer&) {});
  EXPECT_TRUE(in.Start());
  EXPECT_FALSE(in.Start());
  EXPECT_EQ(in.BuffersQueued(), 3);
  in.Stop();
  EXPECT_FALSE(in.IsStarted());
  EXPECT_EQ(in.BuffersQueued(), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TSoundControllerTest, RecordingWritesSound1WavWithItsSizes) {
  const std::filesystem::path old_dir = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  {
    ManualAudioBackend backend;
    TSoundController controller(kOwner, kEndMessage, &backend);
    ASSERT_TRUE(controller.StartRecording());
    EXPECT_FALSE(controller.StartRecording());
    backend.WaitInHeld(3);
    const std::vector<uint8_t> block(2000, 0x33);  // one buffer: 1000 frames of 16 bits
    backend.Record(block);
    backend.WaitInHeld(3);  // handed to the file and lent again
    backend.Record(std::vector<uint8_t>(2000, 0x44));
    backend.WaitInHeld(3);
    controller.StopRecording();
  }
  std::filesystem::current_path(old_dir);
  TWaveFile file((dir_ / "sound1.wav").string());
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.DataBytes(), 4000u);
  EXPECT_EQ(file.GetBitsPerSample(), 16);
  EXPECT_EQ(file.GetSampleRate(), 22050);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
