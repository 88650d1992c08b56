#include "dialogs/sound/sound_in.h"

#include <algorithm>
#include <string>
#include <utility>

#include "dialogs/sound/null_audio_backend.h"
#include "dialogs/sound/sound_message.h"

namespace {

constexpr int kBuffersAtDevice = 3;

}  // namespace

CSoundIn::CSoundIn(sound::AudioBackend* backend)
    : backend_(backend), thread_([this](sound::WaveHeader* header) { OnWIM_DATA(header); }) {}

CSoundIn::~CSoundIn() { Stop(); }

void CSoundIn::SetDataCallback(DataCallback callback) {
  thread_.RunSync([&] { callback_ = std::move(callback); });
}

bool CSoundIn::Start(const TWaveFormat* format) {
  bool result = false;
  thread_.RunSync([&] { DoStart(format, result); });
  return result;
}

void CSoundIn::Stop() {
  thread_.RunSync([this] { DoStop(); });
}

void CSoundIn::DoStart(const TWaveFormat* format, bool& result) {
  if (started_ || !callback_) return;
  if (format != nullptr) TWaveFormat::operator=(*format);
  sound::AudioBackend& backend = backend_ != nullptr ? *backend_ : sound::CurrentAudioBackend();
  if (const sound::MmResult code = backend.OpenWaveIn(
          format_, [this](sound::WaveHeader* header) { thread_.PostDone(header); }, device_)) {
    device_.reset();
    Report(code, "in Start()");
    return;
  }
  for (int i = 0; i < kBuffersAtDevice; ++i) AddInputBufferToQueue();
  if (const sound::MmResult code = device_->Start()) {
    Report(code, "in Start()");
    std::vector<sound::WaveHeader*> returned;
    (void)device_->Reset(returned);
    (void)device_->Close();
    device_.reset();
    buffers_.clear();
    queued_ = 0;
    queued_flag_.store(0);
    return;
  }
  started_ = true;
  started_flag_.store(true);
  result = true;
}

void CSoundIn::DoStop() {
  if (!started_) return;
  started_ = false;
  started_flag_.store(false);
  std::vector<sound::WaveHeader*> returned;
  if (const sound::MmResult code = device_->Reset(returned)) Report(code, "in Stop()");
  for (sound::WaveHeader* header : thread_.TakeQueuedDone()) returned.push_back(header);
  // Nothing waits here for the device: Reset hands back every buffer it held.
  for (sound::WaveHeader* header : returned) {
    auto* buffer = static_cast<InBuffer*>(header->user);
    const uint32_t recorded = std::min(header->bytes_recorded, header->buffer_length);
    if (recorded > 0 && callback_) {
      TAudioBuffer view(header->data, static_cast<int32_t>(recorded));
      callback_(view);
    }
    FreeBuffer(buffer);
    --queued_;
  }
  // A buffer whose data the callback is handling (it stopped the recording) is no longer queued.
  if (handling_ != nullptr) --queued_;
  if (const sound::MmResult code = device_->Close()) Report(code, "in Stop()");
  device_.reset();
  if (queued_ > 0) ShowSoundMessage("Still %d buffers in waveIn queue!", queued_);
  buffers_.clear();
  queued_ = 0;
  queued_flag_.store(0);
}

void CSoundIn::OnWIM_DATA(sound::WaveHeader* header) {
  auto* buffer = static_cast<InBuffer*>(header->user);
  if (started_) {
    const uint32_t recorded = std::min(header->bytes_recorded, header->buffer_length);
    TAudioBuffer view(header->data, static_cast<int32_t>(recorded));
    handling_ = header;
    callback_(view);
    handling_ = nullptr;
    // The callback may have stopped the recording (a failed write); then the buffer is freed.
    if (started_ && device_) {
      header->bytes_recorded = 0;
      const sound::MmResult code = device_->AddBuffer(header);
      if (code == sound::kMmNoError) return;
      Report(code, "in OnWIM_DATA()");
    } else if (!device_) {
      return;  // Stop freed every buffer already
    }
  }
  FreeBuffer(buffer);
  --queued_;
  queued_flag_.store(queued_);
}

bool CSoundIn::AddInputBufferToQueue() {
  auto buffer = std::make_unique<InBuffer>();
  const int32_t bytes = BufferBytes();
  buffer->block = std::make_unique<TAudioBuffer>(bytes, true);
  if (buffer->block->data == nullptr) return false;
  buffer->header.data = buffer->block->data;
  buffer->header.buffer_length = static_cast<uint32_t>(bytes);
  buffer->header.user = buffer.get();
  if (const sound::MmResult code = device_->AddBuffer(&buffer->header)) {
    Report(code, "in AddInputBufferToQueue()");
    return false;
  }
  buffers_.push_back(std::move(buffer));
  ++queued_;
  queued_flag_.store(queued_);
  return true;
}

void CSoundIn::FreeBuffer(InBuffer* buffer) {
  std::erase_if(buffers_, [buffer](const std::unique_ptr<InBuffer>& b) { return b.get() == buffer; });
}

void CSoundIn::Report(sound::MmResult code, const char* place) {
  sound::AudioBackend& backend = backend_ != nullptr ? *backend_ : sound::CurrentAudioBackend();
  const std::string text = backend.ErrorText(code).substr(0, 100);
  ShowSoundMessage("WAVEIN:%x:%s %s", code, text.c_str(), place);
}
