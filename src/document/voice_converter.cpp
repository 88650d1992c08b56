#include "document/voice_converter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

constexpr size_t kVoiceHeaderBytes = 16;
constexpr size_t kCountBytes = 4;
constexpr uint32_t kWaveRate = 16000;
constexpr uint8_t kSilence = 128;  // the mid value of unsigned 8-bit PCM

constexpr size_t kWaveHeaderBytes = 44;

std::vector<uint8_t> WaveFile(const std::vector<uint8_t>& samples) {
  const size_t data_size = samples.size();
  const size_t pad = data_size % 2;  // RIFF chunks are word-aligned
  std::vector<uint8_t> w(kWaveHeaderBytes + data_size + pad, 0);
  uint8_t* p = w.data();
  std::memcpy(p, "RIFF", 4);
  platform::StoreLE32(p + 4, static_cast<uint32_t>(kWaveHeaderBytes - 8 + data_size + pad));
  std::memcpy(p + 8, "WAVEfmt ", 8);
  platform::StoreLE32(p + 16, 16);
  platform::StoreLE16(p + 20, 1);  // PCM
  platform::StoreLE16(p + 22, 1);  // mono
  platform::StoreLE32(p + 24, kWaveRate);
  platform::StoreLE32(p + 28, kWaveRate);  // bytes per second
  platform::StoreLE16(p + 32, 1);          // block align
  platform::StoreLE16(p + 34, 8);          // bits per sample
  std::memcpy(p + 36, "data", 4);
  platform::StoreLE32(p + 40, static_cast<uint32_t>(data_size));
  std::copy(samples.begin(), samples.end(), w.begin() + kWaveHeaderBytes);
  return w;
}

}  // namespace

void ConvertVoiceToWave(const std::string& voice_path, const std::string& wave_path) {
  const std::string read_error = "Error reading VoicFile " + voice_path + " !";
  std::vector<uint8_t> file;
  try {
    file = platform::ReadFileBytes(voice_path);
  } catch (const platform::IoError&) {
    throw platform::IoError("", read_error);
  }
  if (file.size() < kVoiceHeaderBytes + kCountBytes) throw platform::IoError("", read_error);
  const uint32_t count = platform::LoadLE32(file.data() + kVoiceHeaderBytes);
  // A count beyond the file is a damaged file, not a request for memory; a RIFF size field
  // holds at most 4 GB.
  if (count > file.size() - kVoiceHeaderBytes - kCountBytes || count > 0xFFFF0000u)
    throw platform::IoError("", read_error);
  const uint8_t* in = file.data() + kVoiceHeaderBytes + kCountBytes;

  std::vector<uint8_t> out;
  try {
    std::vector<int32_t> values(count >= 2 ? count - 1 : 0);
    out.resize(values.size());
    // The recorder stores the voice delta-coded: each wrapped 8-bit step is one output sample.
    for (size_t i = 0; i < values.size(); ++i)
      values[i] = static_cast<int8_t>(static_cast<uint8_t>(in[i + 1] - in[i])) * 256;
    if (!values.empty()) {
      const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
      const int32_t min = *lo;
      const int32_t scale = (*hi - min) / 256;
      for (size_t i = 0; i < values.size(); ++i) {
        // Silence when every step is the same; the largest step would map to 256, one past the byte.
        out[i] =
            scale == 0 ? kSilence : static_cast<uint8_t>(std::min<int32_t>((values[i] - min) / scale, 255));
      }
    }
  } catch (const std::bad_alloc&) {
    throw platform::IoError("", "No memory, needed " + std::to_string(uint64_t{count} * 3) + " Bytes!");
  }

  try {
    const std::vector<uint8_t> wave = WaveFile(out);
    platform::WriteFileAtomic(wave_path, wave);
  } catch (const platform::IoError&) {
    throw platform::IoError("", "Error writing PIDFile " + wave_path + " !");
  }
}

bool ConvertVoiceToWave(const std::string& voice_path, const std::string& wave_path,
                        std::string& error_text) {
  try {
    ConvertVoiceToWave(voice_path, wave_path);
    return true;
  } catch (const platform::IoError& e) {
    error_text = e.fault();
    return false;
  }
}
