#include "document/ref_signal_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "document/ecg_block.h"
#include "document/sample_file.h"
#include "document/sample_word.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"

namespace {

constexpr int kStoreRateHz = 125;
constexpr double kStoreUnitMicrovolts = 5.0;

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The extension character at position 0..2, upper-cased, when the name has the point before its
// last three characters; 0 otherwise.
char ExtensionChar(const std::string& name, int index) {
  if (name.size() <= 4 || name[name.size() - 4] != '.') return 0;
  return Upper(name[name.size() - 3 + index]);
}

int RateFromCode(char c) {
  switch (c) {
    case '1':
      return 125;
    case '2':
      return 250;
    case '5':
      return 500;
    case 'A':
      return 1000;
    default:
      return 0;
  }
}

double LsbFromCode(char c) {
  switch (c) {
    case '1':
      return 1.0;
    case '2':
      return 2.5;
    case '5':
      return 5.0;
    case 'A':
      return 10.0;
    case 'C':
      return 12.5;
    default:
      return 0.0;
  }
}

int ChannelsFromCode(char c) {
  if (c >= '1' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

bool IsRefSignalFileName(const std::string& name) {
  if (name.size() < 3) return false;
  const char* ext = name.c_str() + name.size() - 3;
  const std::string_view rates = "125A", lsbs = "125AC", channels = "23";
  return rates.find(Upper(ext[0])) != std::string_view::npos &&
         lsbs.find(Upper(ext[1])) != std::string_view::npos &&
         channels.find(Upper(ext[2])) != std::string_view::npos;
}

int GetRefSampleRate(const std::string& name) { return RateFromCode(ExtensionChar(name, 0)); }

double GetRefLSB(const std::string& name) { return LsbFromCode(ExtensionChar(name, 1)); }

int GetRefChannelCount(const std::string& name) { return ChannelsFromCode(ExtensionChar(name, 2)); }

int GetRefDurationMinutes(const std::string& name) {
  const int rate = GetRefSampleRate(name);
  const int channels = GetRefChannelCount(name);
  if (rate == 0 || channels == 0) return 0;
  const SampleFile file = SampleFile::TryOpen(name);
  if (!file.IsOpen()) return 0;
  uint64_t length = 0;
  try {
    length = file.Size();
  } catch (const platform::IoError&) {
    return 0;
  }
  const uint64_t seconds = length / 2 / static_cast<uint64_t>(rate) / static_cast<uint64_t>(channels);
  const uint64_t whole = seconds / 60;
  const uint64_t whole_bytes = whole * 60 * static_cast<uint64_t>(rate) * static_cast<uint64_t>(channels) * 2;
  const uint64_t minutes = whole + (length > whole_bytes ? 1 : 0);
  return static_cast<int>(std::min<uint64_t>(minutes, 1u << 30));
}

std::string FindRefSignalFile(const std::string& name) {
  if (name.size() < 3) return {};
  const std::string base = name.substr(0, name.size() - 3);
  const std::filesystem::path base_path(base);
  std::filesystem::path folder = base_path.parent_path();
  const std::string prefix = base_path.filename().string();
  if (folder.empty()) folder = ".";
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() == prefix.size() + 3 &&
        platform::FileNameEqualNoCase(std::string_view(entry).substr(0, prefix.size()), prefix))
      names.push_back(entry);
  }
  std::sort(names.begin(), names.end());
  for (const char last : {'2', '3'}) {
    for (const std::string& entry : names)
      if (entry.back() == last && IsRefSignalFileName(entry)) return base + entry.substr(entry.size() - 3);
  }
  return {};
}

bool ReadRefSignalBlock(const std::string& name, int minute, std::span<TECGBlock> blocks) {
  const int rate = GetRefSampleRate(name);
  const int channels = GetRefChannelCount(name);
  const double lsb = GetRefLSB(name);
  if (rate == 0 || (channels != 2 && channels != 3) || lsb < 0.5 || minute < 0) return false;
  if (blocks.size() < static_cast<size_t>(channels)) return false;
  const SampleFile file = SampleFile::TryOpen(name);
  if (!file.IsOpen()) return false;

  const double factor = lsb / kStoreUnitMicrovolts;
  const size_t frame_step = static_cast<size_t>(channels) * static_cast<size_t>(rate / kStoreRateHz);
  const size_t bytes_per_minute = static_cast<size_t>(rate) * static_cast<size_t>(channels) * 120;
  std::vector<uint8_t> bytes(bytes_per_minute);
  size_t got = 0;
  try {
    got = file.ReadAt(static_cast<uint64_t>(minute) * bytes_per_minute, bytes);
  } catch (const platform::IoError&) {
    return false;
  }
  const size_t words = got / 2;
  const size_t zero_blocks = std::min<size_t>(blocks.size(), 3);
  for (int k = 0; k < channels; ++k) blocks[k].minute = minute;
  for (int i = 0; i < TECGBlock::kSamples; ++i) {
    const size_t w = static_cast<size_t>(i) * frame_step;
    if (w + static_cast<size_t>(channels) > words) {
      for (size_t k = 0; k < zero_blocks; ++k)
        std::fill(blocks[k].samples.begin() + i, blocks[k].samples.end(), int16_t{0});
      break;
    }
    for (int k = 0; k < channels; ++k) {
      const int16_t v = Int12(platform::LoadLE16(bytes.data() + 2 * (w + k)));
      blocks[k].samples[i] = static_cast<int16_t>(std::trunc(v * factor));
    }
  }
  return true;
}
