#include "dialogs/sound/sound_controller.h"

#include <utility>

#include "dialogs/sound/sound_message.h"
#include "platform/worker.h"

namespace {

constexpr const char* kRecordingFile = "sound1.wav";

}  // namespace

TSoundController::TSoundController(win::WindowHandle owner, uint32_t message, sound::AudioBackend* backend)
    : owner_(owner), message_(message), playback_(backend), recording_(backend) {
  playback_.SetDataCallback([this](TAudioBuffer& block) { FillPlayBlock(block); });
  recording_.SetDataCallback([this](TAudioBuffer& block) { TakeRecordedBlock(block); });
}

TSoundController::~TSoundController() {
  recording_.Stop();
  playback_.Stop();
  const std::lock_guard lock(file_mutex_);
  file_.reset();
}

void TSoundController::NotifyOwner() { platform::UiThreadQueue().PostMessage(owner_, message_, 0, 0); }

bool TSoundController::Play(win::WindowHandle owner, const std::string& file_name) {
  owner_ = owner;
  // A playback whose end was reached may still be playing its last buffers; and a second Play
  // starts over.
  if (playback_.IsStarted()) playback_.Stop();
  {
    const std::lock_guard lock(file_mutex_);
    file_.reset();
    playing_ = false;
  }
  auto file = std::make_unique<TWaveFile>(file_name);
  if (!file->IsOpen()) {
    ShowSoundMessage("Unable to open file");
    return false;
  }
  const TWaveFormat format = *file;
  {
    const std::lock_guard lock(file_mutex_);
    file_ = std::move(file);
    playing_ = true;
  }
  if (playback_.Start(&format)) return true;
  const std::lock_guard lock(file_mutex_);
  file_.reset();
  playing_ = false;
  return false;
}

void TSoundController::StopPlay() {
  playback_.Stop();
  const std::lock_guard lock(file_mutex_);
  file_.reset();
  playing_ = false;
}

bool TSoundController::Pause() { return playback_.Pause(); }

bool TSoundController::Continue() { return playback_.Continue(); }

bool TSoundController::StartRecording() {
  {
    const std::lock_guard lock(file_mutex_);
    if (file_) return false;  // the file is in use by a playback or a recording
    write_failed_ = false;
    const TWaveFormat format = recording_;
    file_ = std::make_unique<TWaveFile>(kRecordingFile, &format);
    if (!file_->IsOpen()) {
      file_.reset();
      return false;
    }
  }
  if (recording_.Start(nullptr)) return true;
  const std::lock_guard lock(file_mutex_);
  file_.reset();
  return false;
}

void TSoundController::StopRecording() {
  recording_.Stop();
  const std::lock_guard lock(file_mutex_);
  if (file_ && file_->GetMode() == TWaveFile::kModeWriting) file_.reset();
}

bool TSoundController::IsPlaying() const {
  const std::lock_guard lock(file_mutex_);
  return playing_;
}

void TSoundController::FillPlayBlock(TAudioBuffer& block) {
  const std::lock_guard lock(file_mutex_);
  if (file_ && file_->GetMode() == TWaveFile::kModeReading && file_->Read(block)) return;
  block.size = 0;
  // The end notice goes out once per Play, never after StopPlay.
  if (playing_) {
    playing_ = false;
    file_.reset();
    NotifyOwner();
  }
}

void TSoundController::TakeRecordedBlock(TAudioBuffer& block) {
  bool failed = false;
  {
    const std::lock_guard lock(file_mutex_);
    failed = !file_ || file_->GetMode() != TWaveFile::kModeWriting || !file_->Write(block);
    if (failed && write_failed_) return;
    write_failed_ = write_failed_ || failed;
  }
  if (failed) {
    recording_.Stop();
    ShowPlainSoundMessage("Unable to write to file");
  }
}
