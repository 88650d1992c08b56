#include "support/wfdb_test_files.h"

namespace testsupport {

std::vector<uint8_t> Encode212(const std::vector<std::vector<int16_t>>& signals) {
  std::vector<int16_t> flat;
  for (size_t i = 0; i < signals[0].size(); ++i)
    for (const auto& s : signals) flat.push_back(s[i]);
  std::vector<uint8_t> bytes;
  for (size_t k = 0; k < flat.size(); k += 2) {
    const uint16_t a = static_cast<uint16_t>(flat[k]) & 0x0FFF;
    const uint16_t b = k + 1 < flat.size() ? static_cast<uint16_t>(flat[k + 1]) & 0x0FFF : 0;
    bytes.push_back(static_cast<uint8_t>(a & 0xFF));
    bytes.push_back(static_cast<uint8_t>(((a >> 8) & 0x0F) | ((b >> 4) & 0xF0)));
    if (k + 1 < flat.size()) bytes.push_back(static_cast<uint8_t>(b & 0xFF));
  }
  return bytes;
}

std::vector<uint8_t> EncodeAnnotations(const std::vector<TestAnnotation>& annotations) {
  std::vector<uint8_t> out;
  auto word = [&out](int code, int value) {
    const uint16_t w = static_cast<uint16_t>((code << 10) | (value & 0x3FF));
    out.push_back(static_cast<uint8_t>(w));
    out.push_back(static_cast<uint8_t>(w >> 8));
  };
  int64_t time = 0;
  int channel = 0;
  int number = 0;
  for (const TestAnnotation& a : annotations) {
    int64_t delta = a.sample - time;
    if (delta > 1023 || delta < 0) {
      word(59, 0);
      const uint32_t d = static_cast<uint32_t>(delta);
      word(static_cast<int>(d >> 26), static_cast<int>((d >> 16) & 0x3FF));
      word(static_cast<int>((d >> 10) & 0x3F), static_cast<int>(d & 0x3FF));
      delta = 0;
    }
    word(a.code, static_cast<int>(delta));
    time = a.sample;
    if (a.subtype != 0) word(61, a.subtype);
    if (a.channel != channel) word(62, a.channel);
    if (a.number != number) word(60, a.number);
    channel = a.channel;
    number = a.number;
    if (!a.aux.empty()) {
      word(63, static_cast<int>(a.aux.size()));
      out.insert(out.end(), a.aux.begin(), a.aux.end());
      if (a.aux.size() % 2 != 0) out.push_back(0);
    }
  }
  word(0, 0);
  return out;
}

int Checksum(const std::vector<int16_t>& signal) {
  uint16_t sum = 0;
  for (int16_t v : signal) sum = static_cast<uint16_t>(sum + static_cast<uint16_t>(v));
  return static_cast<int16_t>(sum);
}

std::filesystem::path WriteTestRecord(const std::filesystem::path& dir, const std::string& name, int rate,
                                      const std::vector<std::vector<int16_t>>& signals,
                                      const std::vector<TestAnnotation>& annotations) {
  std::string header = name + " " + std::to_string(signals.size()) + " " + std::to_string(rate) + " " +
                       std::to_string(signals[0].size()) + "\n";
  for (size_t i = 0; i < signals.size(); ++i) {
    header += name + ".dat 212 200 11 1024 " + std::to_string(signals[i][0]) + " " + std::to_string(Checksum(signals[i])) +
              " 0 lead" + std::to_string(i + 1) + "\n";
  }
  header += "# made by a test\n";
  WriteText(dir / (name + ".hea"), header);
  WriteBytes(dir / (name + ".dat"), Encode212(signals));
  if (!annotations.empty()) WriteBytes(dir / (name + ".atr"), EncodeAnnotations(annotations));
  return dir / name;
}

}  // namespace testsupport
