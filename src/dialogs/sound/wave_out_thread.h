#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "dialogs/sound/audio_backend.h"
#include "dialogs/sound/audio_buffer.h"
#include "dialogs/sound/sound_thread.h"
#include "dialogs/sound/wave_format.h"

// The playback thread: owns the wave-out device while playing and keeps three buffers of
// GetBufferSamples() frames in flight, refilling each from the data callback when the device hands
// it back. Start, Stop, Pause and Continue are called from the user-interface thread and run on
// the sound thread in turn with the device's notices, so the data callback never runs after Stop
// has returned. When the callback leaves a buffer empty the buffers still out play to their end;
// then the device is closed and the thread is idle again.
class TWaveOutThread : public TWaveFormat {
 public:
  // Fills the block (at most its size bytes) and sets its size to what it put in; 0 is the end.
  using DataCallback = std::function<void(TAudioBuffer&)>;

  // backend nullptr: sound::CurrentAudioBackend() when the device is opened.
  explicit TWaveOutThread(sound::AudioBackend* backend = nullptr);
  ~TWaveOutThread() override;

  void SetDataCallback(DataCallback callback);

  virtual void Stop();
  // Refuses (false) when already started or without data callback. format replaces the thread's.
  virtual bool Start(const TWaveFormat* format = nullptr);
  virtual bool Pause();
  virtual bool Continue();

  bool IsStarted() const { return started_flag_.load(); }
  // Buffers written to the device and not yet back.
  int BuffersOut() const { return buffers_out_flag_.load(); }
  bool IsDeviceOpen() const { return device_open_flag_.load(); }
  // Blocks until the device is closed (playback ran to its end or was stopped).
  void WaitUntilIdle();

 private:
  struct OutBuffer {
    sound::WaveHeader header;
    std::unique_ptr<TAudioBuffer> block;
  };

  void DoStart(const TWaveFormat* format, bool& result);
  void DoStop();
  void OnWOM_DONE(sound::WaveHeader* header);
  bool AddOutputBufferToQueue(OutBuffer& buffer);
  void FreeBuffer(OutBuffer* buffer);
  void CloseDevice();
  void Report(sound::MmResult code, const char* place);
  void PublishState();

  sound::AudioBackend* backend_;
  DataCallback callback_;
  // Sound-thread state.
  std::unique_ptr<sound::WaveOutDevice> device_;
  std::vector<std::unique_ptr<OutBuffer>> buffers_;
  bool started_ = false;
  bool ending_ = false;  // the callback found the end; the buffers still out play on
  int buffers_out_ = 0;
  // What other threads may read.
  std::atomic<bool> started_flag_{false};
  std::atomic<int> buffers_out_flag_{0};
  std::atomic<bool> device_open_flag_{false};
  std::mutex idle_mutex_;
  std::condition_variable idle_;
  // Last member: its thread ends before the state above goes away.
  sound::SoundThread thread_;
};
