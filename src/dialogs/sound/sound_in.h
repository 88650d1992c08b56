#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/sound/audio_backend.h"
#include "dialogs/sound/audio_buffer.h"
#include "dialogs/sound/sound_thread.h"
#include "dialogs/sound/wave_format.h"

// The recording thread: owns the wave-in device while recording and keeps three buffers of
// GetBufferSamples() frames at the device, handing each full one to the data callback and lending
// it again. Start and Stop are called from the user-interface thread and run on the sound thread
// in turn with the device's notices. Default format: 16 bits, 22050 samples per second, mono.
class CSoundIn : public TWaveFormat {
 public:
  // Takes the recorded bytes of the block (its size).
  using DataCallback = std::function<void(TAudioBuffer&)>;

  explicit CSoundIn(sound::AudioBackend* backend = nullptr);
  ~CSoundIn() override;

  void SetDataCallback(DataCallback callback);

  // What the device recorded so far goes to the callback before the buffers are freed.
  virtual void Stop();
  // Refuses (false) when already started or without data callback.
  virtual bool Start(const TWaveFormat* format = nullptr);

  bool IsStarted() const { return started_flag_.load(); }
  int BuffersQueued() const { return queued_flag_.load(); }

 private:
  struct InBuffer {
    sound::WaveHeader header;
    std::unique_ptr<TAudioBuffer> block;
  };

  void DoStart(const TWaveFormat* format, bool& result);
  void DoStop();
  void OnWIM_DATA(sound::WaveHeader* header);
  bool AddInputBufferToQueue();
  void FreeBuffer(InBuffer* buffer);
  void Report(sound::MmResult code, const char* place);

  sound::AudioBackend* backend_;
  DataCallback callback_;
  std::unique_ptr<sound::WaveInDevice> device_;
  std::vector<std::unique_ptr<InBuffer>> buffers_;
  bool started_ = false;
  int queued_ = 0;
  sound::WaveHeader* handling_ = nullptr;
  std::atomic<bool> started_flag_{false};
  std::atomic<int> queued_flag_{0};
  sound::SoundThread thread_;
};
