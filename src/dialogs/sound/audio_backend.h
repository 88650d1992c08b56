#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The sound devices that the voice diary plays and records through. The host implements them
// (Qt Multimedia); headless runs use NullAudioBackend. Header-only, so that a host can implement
// it without linking the dialogs library.
namespace sound {

// Result codes of device operations: 0 success, else the platform's multimedia error numbers.
using MmResult = uint32_t;
inline constexpr MmResult kMmNoError = 0;
inline constexpr MmResult kMmError = 1;          // unspecified error
inline constexpr MmResult kMmBadDeviceId = 2;    // no such device
inline constexpr MmResult kMmNoDriver = 6;       // no device present
inline constexpr MmResult kMmNoMem = 7;
inline constexpr MmResult kMmInvalParam = 11;
inline constexpr MmResult kWaveBadFormat = 32;   // the device cannot play or record that format
inline constexpr MmResult kWaveStillPlaying = 33;

// The PCM wave format record as a RIFF "fmt " chunk stores it (18 bytes, little-endian, in this
// order).
struct WaveFormatEx {
  static constexpr int kBytes = 18;
  static constexpr uint16_t kPcm = 1;

  uint16_t format_tag = kPcm;
  uint16_t channels = 1;
  uint32_t samples_per_sec = 22050;
  uint32_t avg_bytes_per_sec = 44100;
  uint16_t block_align = 2;
  uint16_t bits_per_sample = 16;
  uint16_t extra_size = 0;

  bool operator==(const WaveFormatEx&) const = default;
};

// One buffer lent to a device. The device reads (output) or fills (input) data and hands the
// header back exactly once through the done handler or in the list of Reset.
struct WaveHeader {
  uint8_t* data = nullptr;
  uint32_t buffer_length = 0;   // bytes to play, or room to record into
  uint32_t bytes_recorded = 0;  // input: bytes the device filled in
  void* user = nullptr;         // the lender's own record
};

// Called by a device when it is done with a buffer, on any thread. Every call for a buffer has
// returned before Reset or Close of its device returns.
using DoneHandler = std::function<void(WaveHeader*)>;

class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;
  // Queues the buffer for playing; the device hands it back once it has taken the bytes.
  virtual MmResult Write(WaveHeader* header) = 0;
  // Stops playing; every buffer the device still holds is appended to returned instead of
  // going through the done handler.
  virtual MmResult Reset(std::vector<WaveHeader*>& returned) = 0;
  virtual MmResult Pause() = 0;
  virtual MmResult Restart() = 0;
  // After Close the done handler is not called again. Reset first: closing with buffers out
  // fails with kWaveStillPlaying.
  virtual MmResult Close() = 0;
};

class WaveInDevice {
 public:
  virtual ~WaveInDevice() = default;
  // Lends an empty buffer to be filled; it comes back through the done handler when full.
  virtual MmResult AddBuffer(WaveHeader* header) = 0;
  virtual MmResult Start() = 0;
  // Stops recording; every buffer the device still holds (with what it recorded so far) is
  // appended to returned.
  virtual MmResult Reset(std::vector<WaveHeader*>& returned) = 0;
  virtual MmResult Close() = 0;
};

// Opens the system's default devices (the wave mapper). Implementations are thread-safe: sound
// threads open and drive their devices from their own threads.
class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  virtual MmResult OpenWaveOut(const WaveFormatEx& format, DoneHandler done,
                               std::unique_ptr<WaveOutDevice>& device) = 0;
  virtual MmResult OpenWaveIn(const WaveFormatEx& format, DoneHandler done,
                              std::unique_ptr<WaveInDevice>& device) = 0;
  // The text of an error code (at most 100 characters are shown).
  virtual std::string ErrorText(MmResult code) const {
    switch (code) {
      case kMmNoError: return "The specified command was carried out.";
      case kMmBadDeviceId: return "A device ID has been used that is out of range for your system.";
      case kMmNoDriver: return "There is no driver installed on your system.";
      case kMmNoMem: return "The system could not allocate or lock memory.";
      case kMmInvalParam: return "An invalid parameter was passed to a system function.";
      case kWaveBadFormat: return "The specified format is not supported or cannot be translated.";
      case kWaveStillPlaying: return "There are still buffers in the queue.";
      default: return "Undefined external error.";
    }
  }
};

}  // namespace sound
