#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "dialogs/sound/buffer_queue.h"
#include "dialogs/sound/sound_in.h"
#include "dialogs/sound/wave_file.h"
#include "dialogs/sound/wave_out_thread.h"
#include "win/messages.h"

namespace sound {
class AudioBackend;
}

// The voice-diary player of the patient data sheet: ties the playback and recording threads to a
// wave file and posts the owner's message (both parameters 0) when playback reaches the end of
// the file, once per Play. The file is shared with the sound threads' data callbacks under a
// lock; StopPlay stops the playback thread before it lets the file go, so no callback reads a
// file that is being released and no end notice follows a stop. Play, StopPlay, Pause, Continue
// and the recording calls belong to the user-interface thread.
class TSoundController {
 public:
  // backend nullptr: sound::CurrentAudioBackend().
  TSoundController(win::WindowHandle owner, uint32_t message, sound::AudioBackend* backend = nullptr);
  virtual ~TSoundController();
  TSoundController(const TSoundController&) = delete;
  TSoundController& operator=(const TSoundController&) = delete;

  // Posts the message to the owner; called on the playback thread.
  virtual void NotifyOwner();

  // Opens the file and starts playing it from its first sample; a file that cannot be opened
  // shows "Unable to open file". A playback still running is stopped first. False when nothing
  // plays: the file or the output device could not be opened (either was said).
  bool Play(win::WindowHandle owner, const std::string& file_name);
  void StopPlay();
  bool Pause();
  bool Continue();
  // Records into "sound1.wav" of the current folder; false when that cannot be created or the
  // device cannot start.
  bool StartRecording();
  // Stops and closes the file, which writes its sizes.
  void StopRecording();

  // Whether a Play is under way whose end has not been reached or stopped.
  bool IsPlaying() const;
  TWaveOutThread& PlaybackThread() { return playback_; }
  CSoundIn& RecordingThread() { return recording_; }

 private:
  void FillPlayBlock(TAudioBuffer& block);
  void TakeRecordedBlock(TAudioBuffer& block);

  TBufferQueue queue_in_;
  TBufferQueue queue_out_;
  mutable std::mutex file_mutex_;
  std::unique_ptr<TWaveFile> file_;
  bool playing_ = false;
  // Stopping hands the device's remaining blocks to the callback, which would fail and report again.
  bool write_failed_ = false;
  win::WindowHandle owner_;
  uint32_t message_;
  // Threads last: they end before the file and the lock they use.
  TWaveOutThread playback_;
  CSoundIn recording_;
};
