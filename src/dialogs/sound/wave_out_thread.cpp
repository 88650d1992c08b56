#include "dialogs/sound/wave_out_thread.h"

#include <algorithm>
#include <string>
#include <utility>

#include "dialogs/sound/null_audio_backend.h"
#include "dialogs/sound/sound_message.h"

namespace {

constexpr int kBuffersInFlight = 3;

}  // namespace

TWaveOutThread::TWaveOutThread(sound::AudioBackend* backend)
    : backend_(backend), thread_([this](sound::WaveHeader* header) { OnWOM_DONE(header); }) {}

TWaveOutThread::~TWaveOutThread() {
  Stop();
  // A device whose buffers were already handed back by then is still closed here.
  thread_.RunSync([this] {
    if (device_ && buffers_out_ == 0) CloseDevice();
  });
}

void TWaveOutThread::SetDataCallback(DataCallback callback) {
  thread_.RunSync([&] { callback_ = std::move(callback); });
}

bool TWaveOutThread::Start(const TWaveFormat* format) {
  bool result = false;
  thread_.RunSync([&] { DoStart(format, result); });
  return result;
}

void TWaveOutThread::Stop() {
  thread_.RunSync([this] { DoStop(); });
}

bool TWaveOutThread::Pause() {
  bool result = true;
  thread_.RunSync([&] {
    if (!started_) return;
    if (const sound::MmResult code = device_->Pause()) {
      Report(code, "in Pause()");
      result = false;
    }
  });
  return result;
}

bool TWaveOutThread::Continue() {
  bool result = true;
  thread_.RunSync([&] {
    if (!started_) return;
    if (const sound::MmResult code = device_->Restart()) {
      Report(code, "in Continue()");
      result = false;
    }
  });
  return result;
}

void TWaveOutThread::WaitUntilIdle() {
  std::unique_lock lock(idle_mutex_);
  idle_.wait(lock, [this] { return !device_open_flag_.load(); });
}

void TWaveOutThread::DoStart(const TWaveFormat* format, bool& result) {
  if (started_ || !callback_) return;
  if (format != nullptr) TWaveFormat::operator=(*format);
  // A device still open here lost buffers to a broken backend; it is given up.
  if (device_) CloseDevice();
  sound::AudioBackend& backend = backend_ != nullptr ? *backend_ : sound::CurrentAudioBackend();
  if (const sound::MmResult code = backend.OpenWaveOut(
          format_, [this](sound::WaveHeader* header) { thread_.PostDone(header); }, device_)) {
    device_.reset();
    Report(code, "in start()");
    return;
  }
  started_ = true;
  ending_ = false;
  PublishState();
  const int32_t bytes = BufferBytes();
  for (int i = 0; i < kBuffersInFlight && !ending_; ++i) {
    auto buffer = std::make_unique<OutBuffer>();
    buffer->block = std::make_unique<TAudioBuffer>(bytes, true);
    if (buffer->block->data == nullptr) break;
    buffer->header.user = buffer.get();
    TAudioBuffer view(buffer->block->data, bytes);
    callback_(view);
    // A block left empty is not written: the end is reached.
    if (view.size <= 0) {
      ending_ = true;
      break;
    }
    buffer->header.data = buffer->block->data;
    buffer->header.buffer_length = static_cast<uint32_t>(std::min(view.size, bytes));
    OutBuffer& added = *buffer;
    buffers_.push_back(std::move(buffer));
    if (!AddOutputBufferToQueue(added)) FreeBuffer(&added);
  }
  if (buffers_out_ == 0) {
    started_ = false;
    CloseDevice();
  }
  PublishState();
  result = true;
}

void TWaveOutThread::DoStop() {
  if (!started_) return;
  started_ = false;
  ending_ = false;
  std::vector<sound::WaveHeader*> returned;
  if (const sound::MmResult code = device_->Reset(returned)) {
    Report(code, "in stop()");
    started_ = true;  // the device may still play; the thread stays started
    PublishState();
    return;
  }
  for (sound::WaveHeader* header : returned) OnWOM_DONE(header);
  for (sound::WaveHeader* header : thread_.TakeQueuedDone()) OnWOM_DONE(header);
  if (device_) CloseDevice();
  PublishState();
}

void TWaveOutThread::OnWOM_DONE(sound::WaveHeader* header) {
  auto* buffer = static_cast<OutBuffer*>(header->user);
  --buffers_out_;
  if (started_ && !ending_) {
    const int32_t capacity = buffer->block->size;
    TAudioBuffer view(buffer->block->data, capacity);
    callback_(view);
    if (view.size > 0) {
      header->buffer_length = static_cast<uint32_t>(std::min(view.size, capacity));
      if (AddOutputBufferToQueue(*buffer)) {
        PublishState();
        return;
      }
    } else {
      ending_ = true;
    }
  }
  FreeBuffer(buffer);
  if (buffers_out_ == 0 && device_ && (!started_ || ending_)) {
    started_ = false;
    ending_ = false;
    CloseDevice();
  }
  PublishState();
}

bool TWaveOutThread::AddOutputBufferToQueue(OutBuffer& buffer) {
  if (const sound::MmResult code = device_->Write(&buffer.header)) {
    Report(code, "in AddOutputBufferToQueue()");
    return false;
  }
  ++buffers_out_;
  return true;
}

void TWaveOutThread::FreeBuffer(OutBuffer* buffer) {
  std::erase_if(buffers_, [buffer](const std::unique_ptr<OutBuffer>& b) { return b.get() == buffer; });
}

void TWaveOutThread::CloseDevice() {
  if (const sound::MmResult code = device_->Close()) Report(code, "in stop()");
  device_.reset();
  buffers_.clear();
  buffers_out_ = 0;
  // Published before waiters wake, so a waiter never sees the device closed but still started.
  started_flag_.store(started_);
  buffers_out_flag_.store(0);
  {
    const std::lock_guard lock(idle_mutex_);
    device_open_flag_.store(false);
  }
  idle_.notify_all();
}

void TWaveOutThread::PublishState() {
  started_flag_.store(started_);
  buffers_out_flag_.store(buffers_out_);
  const std::lock_guard lock(idle_mutex_);
  device_open_flag_.store(device_ != nullptr);
  if (!device_) idle_.notify_all();
}

void TWaveOutThread::Report(sound::MmResult code, const char* place) {
  sound::AudioBackend& backend = backend_ != nullptr ? *backend_ : sound::CurrentAudioBackend();
  const std::string text = backend.ErrorText(code).substr(0, 100);
  ShowSoundMessage("WAVEOUT:%x:%s %s", code, text.c_str(), place);
}
