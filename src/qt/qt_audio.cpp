#include "qt/qt_audio.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <QMetaObject>

#include <algorithm>
#include <cstring>
#include <optional>

namespace qthost {

// --- WaveOutQueue ---

void WaveOutQueue::Write(sound::WaveHeader* header) {
  const std::lock_guard lock(mutex_);
  queue_.push_back(header);
}

int64_t WaveOutQueue::Read(char* bytes, int64_t count) {
  const std::lock_guard lock(mutex_);
  int64_t filled = 0;
  while (filled < count && !queue_.empty()) {
    sound::WaveHeader* front = queue_.front();
    const int64_t left = static_cast<int64_t>(front->buffer_length) - offset_;
    const int64_t n = std::min(left, count - filled);
    if (n > 0) std::memcpy(bytes + filled, front->data + offset_, static_cast<size_t>(n));
    filled += n;
    offset_ += static_cast<uint32_t>(n);
    if (offset_ >= front->buffer_length) {
      queue_.pop_front();
      offset_ = 0;
      done_(front);
    }
  }
  if (filled < count) std::memset(bytes + filled, silence_, static_cast<size_t>(count - filled));
  return count;
}

void WaveOutQueue::Reset(std::vector<sound::WaveHeader*>& returned) {
  const std::lock_guard lock(mutex_);
  returned.insert(returned.end(), queue_.begin(), queue_.end());
  queue_.clear();
  offset_ = 0;
}

bool WaveOutQueue::Empty() const {
  const std::lock_guard lock(mutex_);
  return queue_.empty();
}

// --- WaveInQueue ---

void WaveInQueue::Add(sound::WaveHeader* header) {
  const std::lock_guard lock(mutex_);
  header->bytes_recorded = 0;
  queue_.push_back(header);
}

void WaveInQueue::Take(const char* bytes, int64_t count) {
  const std::lock_guard lock(mutex_);
  int64_t used = 0;
  while (used < count && !queue_.empty()) {
    sound::WaveHeader* front = queue_.front();
    const int64_t room = static_cast<int64_t>(front->buffer_length) - front->bytes_recorded;
    const int64_t n = std::min(room, count - used);
    std::memcpy(front->data + front->bytes_recorded, bytes + used, static_cast<size_t>(n));
    front->bytes_recorded += static_cast<uint32_t>(n);
    used += n;
    if (front->bytes_recorded >= front->buffer_length) {
      queue_.pop_front();
      done_(front);
    }
  }
}

void WaveInQueue::Reset(std::vector<sound::WaveHeader*>& returned) {
  const std::lock_guard lock(mutex_);
  returned.insert(returned.end(), queue_.begin(), queue_.end());
  queue_.clear();
}

bool WaveInQueue::Empty() const {
  const std::lock_guard lock(mutex_);
  return queue_.empty();
}

namespace {

// Runs f on the audio thread and waits for it.
template <typename F>
void OnAudioThread(QObject* context, F&& f) {
  if (QThread::currentThread() == context->thread()) {
    f();
    return;
  }
  QMetaObject::invokeMethod(context, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

std::optional<QAudioFormat> QtFormat(const sound::WaveFormatEx& f) {
  if (f.format_tag != sound::WaveFormatEx::kPcm || f.channels == 0) return std::nullopt;
  QAudioFormat format;
  format.setSampleRate(static_cast<int>(f.samples_per_sec));
  format.setChannelCount(f.channels);
  switch (f.bits_per_sample) {
    case 8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case 16: format.setSampleFormat(QAudioFormat::Int16); break;
    case 32: format.setSampleFormat(QAudioFormat::Int32); break;
    default: return std::nullopt;
  }
  return format;
}

class PullDevice : public QIODevice {
 public:
  explicit PullDevice(WaveOutQueue& queue) : queue_(queue) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return 1 << 16; }

 protected:
  qint64 readData(char* data, qint64 max_size) override { return queue_.Read(data, max_size); }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  WaveOutQueue& queue_;
};

class PushDevice : public QIODevice {
 public:
  explicit PushDevice(WaveInQueue& queue) : queue_(queue) {}
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    queue_.Take(data, size);
    return size;
  }

 private:
  WaveInQueue& queue_;
};

class QtWaveOut : public sound::WaveOutDevice {
 public:
  QtWaveOut(QObject* context, sound::DoneHandler done, uint8_t silence)
      : context_(context), queue_(std::move(done), silence) {}
  ~QtWaveOut() override {
    std::vector<sound::WaveHeader*> ignored;
    Reset(ignored);
    Close();
  }

  sound::MmResult Start(const QAudioDevice& device, const QAudioFormat& format) {
    bool ok = false;
    OnAudioThread(context_, [&] {
      pull_ = std::make_unique<PullDevice>(queue_);
      pull_->open(QIODevice::ReadOnly);
      sink_ = std::make_unique<QAudioSink>(device, format);
      sink_->start(pull_.get());
      ok = sink_->error() == QAudio::NoError;
    });
    return ok ? sound::kMmNoError : sound::kMmError;
  }
  sound::MmResult Write(sound::WaveHeader* header) override {
    if (!sink_) return sound::kMmInvalParam;
    queue_.Write(header);
    return sound::kMmNoError;
  }
  sound::MmResult Reset(std::vector<sound::WaveHeader*>& returned) override {
    queue_.Reset(returned);
    return sound::kMmNoError;
  }
  sound::MmResult Pause() override {
    OnAudioThread(context_, [&] {
      if (sink_) sink_->suspend();
    });
    return sound::kMmNoError;
  }
  sound::MmResult Restart() override {
    OnAudioThread(context_, [&] {
      if (sink_) sink_->resume();
    });
    return sound::kMmNoError;
  }
  sound::MmResult Close() override {
    if (!queue_.Empty()) return sound::kWaveStillPlaying;
    OnAudioThread(context_, [&] {
      if (sink_) sink_->stop();
      sink_.reset();
      pull_.reset();
    });
    return sound::kMmNoError;
  }

 private:
  QObject* context_;
  WaveOutQueue queue_;
  std::unique_ptr<PullDevice> pull_;
  std::unique_ptr<QAudioSink> sink_;
};

class QtWaveIn : public sound::WaveInDevice {
 public:
  QtWaveIn(QObject* context, sound::DoneHandler done, const QAudioDevice& device, const QAudioFormat& format)
      : context_(context), queue_(std::move(done)), device_(device), format_(format) {}
  ~QtWaveIn() override {
    std::vector<sound::WaveHeader*> ignored;
    Reset(ignored);
    Close();
  }

  sound::MmResult AddBuffer(sound::WaveHeader* header) override {
    queue_.Add(header);
    return sound::kMmNoError;
  }
  sound::MmResult Start() override {
    bool ok = false;
    OnAudioThread(context_, [&] {
      push_ = std::make_unique<PushDevice>(queue_);
      push_->open(QIODevice::WriteOnly);
      source_ = std::make_unique<QAudioSource>(device_, format_);
      source_->start(push_.get());
      ok = source_->error() == QAudio::NoError;
    });
    return ok ? sound::kMmNoError : sound::kMmError;
  }
  sound::MmResult Reset(std::vector<sound::WaveHeader*>& returned) override {
    OnAudioThread(context_, [&] {
      if (source_) source_->stop();
    });
    queue_.Reset(returned);
    return sound::kMmNoError;
  }
  sound::MmResult Close() override {
    if (!queue_.Empty()) return sound::kWaveStillPlaying;
    OnAudioThread(context_, [&] {
      source_.reset();
      push_.reset();
    });
    return sound::kMmNoError;
  }

 private:
  QObject* context_;
  WaveInQueue queue_;
  QAudioDevice device_;
  QAudioFormat format_;
  std::unique_ptr<PushDevice> push_;
  std::unique_ptr<QAudioSource> source_;
};

}  // namespace

QtAudioBackend::QtAudioBackend() : context_(std::make_unique<QObject>()) {
  thread_.setObjectName("audio");
  context_->moveToThread(&thread_);
  thread_.start();
}

QtAudioBackend::~QtAudioBackend() {
  thread_.quit();
  thread_.wait();
}

bool QtAudioBackend::HasOutputDevice() { return !QMediaDevices::defaultAudioOutput().isNull(); }

sound::MmResult QtAudioBackend::OpenWaveOut(const sound::WaveFormatEx& format, sound::DoneHandler done,
                                            std::unique_ptr<sound::WaveOutDevice>& device) {
  const std::optional<QAudioFormat> qt_format = QtFormat(format);
  if (!qt_format) return sound::kWaveBadFormat;
  QAudioDevice output;
  OnAudioThread(context_.get(), [&] { output = QMediaDevices::defaultAudioOutput(); });
  if (output.isNull()) return sound::kMmNoDriver;
  if (!output.isFormatSupported(*qt_format)) return sound::kWaveBadFormat;
  // Silence of unsigned 8-bit samples is their middle value.
  auto out = std::make_unique<QtWaveOut>(context_.get(), std::move(done), format.bits_per_sample == 8 ? 0x80 : 0);
  if (const sound::MmResult code = out->Start(output, *qt_format)) return code;
  device = std::move(out);
  return sound::kMmNoError;
}

sound::MmResult QtAudioBackend::OpenWaveIn(const sound::WaveFormatEx& format, sound::DoneHandler done,
                                           std::unique_ptr<sound::WaveInDevice>& device) {
  const std::optional<QAudioFormat> qt_format = QtFormat(format);
  if (!qt_format) return sound::kWaveBadFormat;
  QAudioDevice input;
  OnAudioThread(context_.get(), [&] { input = QMediaDevices::defaultAudioInput(); });
  if (input.isNull()) return sound::kMmNoDriver;
  if (!input.isFormatSupported(*qt_format)) return sound::kWaveBadFormat;
  device = std::make_unique<QtWaveIn>(context_.get(), std::move(done), input, *qt_format);
  return sound::kMmNoError;
}

}  // namespace qthost
