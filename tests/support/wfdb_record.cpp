#include "support/wfdb_record.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <string_view>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "support/text_fields.h"

namespace testsupport {
namespace {

constexpr int kMaxSignals = 32;
constexpr double kMaxFrequency = 100000.0;
// Annotation words: 6-bit code, 10-bit time difference or value.
constexpr int kSkip = 59;
constexpr int kNum = 60;
constexpr int kSub = 61;
constexpr int kChn = 62;
constexpr int kAux = 63;
constexpr int kMaxCode = 49;

template <typename T>
T ParseNumber(std::string_view text, const std::string& where, const char* what) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw platform::FormatError(where, std::string(what) + " \"" + std::string(text) + "\" is not a number");
  return value;
}

// The leading number of a token like "360/360(0)" or "200(0)/mV".
std::string_view LeadingNumber(std::string_view text) {
  const size_t end = text.find_first_of("/(");
  return text.substr(0, end);
}

WfdbSignal ParseSignalLine(std::string_view line, const std::string& where) {
  const auto tokens = SplitFields(line);
  if (tokens.size() < 2) throw platform::FormatError(where, "signal line needs a file name and a format");
  WfdbSignal signal;
  signal.file_name = std::string(tokens[0]);
  if (signal.file_name.find('/') != std::string::npos || signal.file_name.find("..") != std::string::npos ||
      signal.file_name == "-")
    throw platform::FormatError(where, "signal file \"" + signal.file_name + "\" is not a file beside the header");

  std::string_view format = tokens[1];
  const size_t plus = format.find('+');
  if (plus != std::string_view::npos) {
    signal.byte_offset = ParseNumber<int64_t>(format.substr(plus + 1), where, "byte offset");
    if (signal.byte_offset < 0) throw platform::FormatError(where, "negative byte offset");
    format = format.substr(0, plus);
  }
  const size_t colon = format.find(':');
  if (colon != std::string_view::npos) {
    if (ParseNumber<int>(format.substr(colon + 1), where, "skew") != 0)
      throw platform::FormatError(where, "skewed signals are not supported");
    format = format.substr(0, colon);
  }
  const size_t x = format.find('x');
  if (x != std::string_view::npos) {
    if (ParseNumber<int>(format.substr(x + 1), where, "samples per frame") != 1)
      throw platform::FormatError(where, "signals with several samples per frame are not supported");
    format = format.substr(0, x);
  }
  signal.format = ParseNumber<int>(format, where, "format");
  if (signal.format != 212 && signal.format != 16)
    throw platform::FormatError(where, "format " + std::to_string(signal.format) + " is not supported (212, 16)");

  bool has_baseline = false;
  if (tokens.size() > 2) {
    const std::string_view gain = tokens[2];
    signal.gain = ParseNumber<double>(LeadingNumber(gain), where, "gain");
    if (signal.gain == 0.0) signal.gain = 200.0;
    if (!(signal.gain > 0.0) || !std::isfinite(signal.gain)) throw platform::FormatError(where, "gain must be positive");
    const size_t open = gain.find('(');
    if (open != std::string_view::npos) {
      const size_t close = gain.find(')', open);
      if (close == std::string_view::npos) throw platform::FormatError(where, "baseline without ')'");
      signal.baseline = ParseNumber<int>(gain.substr(open + 1, close - open - 1), where, "baseline");
      has_baseline = true;
    }
  }
  if (tokens.size() > 3) signal.adc_resolution = ParseNumber<int>(tokens[3], where, "ADC resolution");
  if (tokens.size() > 4) signal.adc_zero = ParseNumber<int>(tokens[4], where, "ADC zero");
  if (tokens.size() > 5) signal.initial_value = ParseNumber<int>(tokens[5], where, "initial value");
  if (tokens.size() > 6) signal.checksum = ParseNumber<int>(tokens[6], where, "checksum");
  if (tokens.size() > 7 && ParseNumber<int>(tokens[7], where, "block size") != 0)
    throw platform::FormatError(where, "block-structured signal files are not supported");
  for (size_t i = 8; i < tokens.size(); ++i) {
    if (!signal.description.empty()) signal.description += ' ';
    signal.description += std::string(tokens[i]);
  }
  if (!has_baseline) signal.baseline = signal.adc_zero;
  return signal;
}

// Reads the samples of the signals stored in one file, frame after frame.
void ReadSignalFile(const std::filesystem::path& path, const std::vector<size_t>& members, WfdbRecord& record,
                    int64_t frames_wanted) {
  const WfdbSignal& first = record.header.signals[members.front()];
  const std::string name = first.file_name;
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
  if (first.byte_offset > static_cast<int64_t>(bytes.size()))
    throw platform::FormatError(name, "byte offset " + std::to_string(first.byte_offset) + " beyond the file");
  const std::span<const uint8_t> data = std::span(bytes).subspan(static_cast<size_t>(first.byte_offset));
  const int64_t per_frame = static_cast<int64_t>(members.size());
  // Whole samples the file holds: 212 packs two in three bytes.
  const int64_t samples_held = first.format == 212 ? static_cast<int64_t>(data.size()) * 2 / 3
                                                   : static_cast<int64_t>(data.size()) / 2;
  const int64_t frames_held = samples_held / per_frame;
  int64_t frames = frames_wanted;
  if (frames == 0) {
    frames = frames_held;
  } else if (frames > frames_held) {
    throw platform::FormatError(name, "holds " + std::to_string(frames_held) + " samples per signal, the header says " +
                                          std::to_string(frames_wanted));
  }
  for (size_t m : members) record.samples[m].assign(static_cast<size_t>(frames), 0);
  const int64_t total = frames * per_frame;
  for (int64_t k = 0; k < total; ++k) {
    int32_t v;
    if (first.format == 212) {
      const size_t at = static_cast<size_t>(k / 2) * 3;
      if (k % 2 == 0) {
        v = data[at] | ((data[at + 1] & 0x0F) << 8);
      } else {
        v = data[at + 2] | ((data[at + 1] & 0xF0) << 4);
      }
      if (v >= 0x800) v -= 0x1000;
    } else {
      v = static_cast<int16_t>(platform::LoadLE16(&data[static_cast<size_t>(k) * 2]));
    }
    record.samples[members[static_cast<size_t>(k % per_frame)]][static_cast<size_t>(k / per_frame)] =
        static_cast<int16_t>(v);
  }
}

}  // namespace

WfdbHeader ReadWfdbHeader(const std::filesystem::path& hea_path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(hea_path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string file = hea_path.filename().string();
  WfdbHeader header;
  bool have_record_line = false;
  int signal_count = 0;
  for (const FieldLine& line : FieldLines(text, file)) {
    const std::vector<std::string_view>& tokens = line.fields;
    const std::string& where = line.where;
    if (!have_record_line) {
      if (tokens.size() < 2) throw platform::FormatError(where, "record line needs a name and a signal count");
      header.record_name = std::string(tokens[0]);
      if (header.record_name.find('/') != std::string::npos)
        throw platform::FormatError(where, "multi-segment records are not supported");
      signal_count = ParseNumber<int>(tokens[1], where, "signal count");
      if (signal_count < 1 || signal_count > kMaxSignals)
        throw platform::FormatError(where, "signal count " + std::to_string(signal_count) + " outside 1.." +
                                               std::to_string(kMaxSignals));
      if (tokens.size() > 2) {
        header.sampling_frequency = ParseNumber<double>(LeadingNumber(tokens[2]), where, "sampling frequency");
        if (!(header.sampling_frequency > 0.0 && header.sampling_frequency <= kMaxFrequency))
          throw platform::FormatError(where, "sampling frequency out of range");
      }
      if (tokens.size() > 3) {
        header.samples_per_signal = ParseNumber<int64_t>(tokens[3], where, "sample count");
        if (header.samples_per_signal < 0 || header.samples_per_signal > std::numeric_limits<int32_t>::max())
          throw platform::FormatError(where, "sample count out of range");
      }
      have_record_line = true;
      continue;
    }
    if (static_cast<int>(header.signals.size()) == signal_count) continue;  // info lines after the signals
    header.signals.push_back(ParseSignalLine(line.text, where));
  }
  if (!have_record_line) throw platform::FormatError(file, "no record line");
  if (static_cast<int>(header.signals.size()) != signal_count)
    throw platform::FormatError(file, "header announces " + std::to_string(signal_count) + " signals but describes " +
                                          std::to_string(header.signals.size()));
  return header;
}

WfdbRecord ReadWfdbRecord(const std::filesystem::path& record_path) {
  std::filesystem::path hea = record_path;
  hea += ".hea";
  WfdbRecord record;
  record.header = ReadWfdbHeader(hea);
  record.samples.resize(record.header.signals.size());
  // Signals sharing a file are interleaved in header order.
  std::map<std::string, std::vector<size_t>> files;
  std::vector<std::string> order;
  for (size_t i = 0; i < record.header.signals.size(); ++i) {
    const WfdbSignal& s = record.header.signals[i];
    auto [it, inserted] = files.try_emplace(s.file_name);
    if (inserted) order.push_back(s.file_name);
    if (!it->second.empty()) {
      const WfdbSignal& first = record.header.signals[it->second.front()];
      if (first.format != s.format || first.byte_offset != s.byte_offset)
        throw platform::FormatError(hea.filename().string(), "signals of " + s.file_name + " differ in format");
    }
    it->second.push_back(i);
  }
  for (const std::string& name : order) {
    ReadSignalFile(hea.parent_path() / name, files[name], record, record.header.samples_per_signal);
  }
  const size_t length = record.samples[0].size();
  for (size_t i = 0; i < record.samples.size(); ++i) {
    const WfdbSignal& s = record.header.signals[i];
    if (record.samples[i].size() != length)
      throw platform::FormatError(s.file_name, "signals differ in length");
    if (s.checksum && record.header.samples_per_signal > 0) {
      uint16_t sum = 0;
      for (int16_t v : record.samples[i]) sum = static_cast<uint16_t>(sum + static_cast<uint16_t>(v));
      if (static_cast<int16_t>(sum) != static_cast<int16_t>(static_cast<uint16_t>(*s.checksum)))
        throw platform::FormatError(s.file_name, "checksum of signal " + std::to_string(i) + " is " +
                                                     std::to_string(static_cast<int16_t>(sum)) + ", the header says " +
                                                     std::to_string(*s.checksum));
    }
  }
  return record;
}

std::vector<WfdbAnnotation> ReadWfdbAnnotations(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
  const std::string name = path.filename().string();
  std::vector<WfdbAnnotation> annotations;
  int64_t time = 0;
  int channel = 0;
  int number = 0;
  size_t at = 0;
  auto where = [&](size_t offset) { return name + ", offset " + std::to_string(offset); };
  while (at + 2 <= bytes.size()) {
    const size_t word_at = at;
    const uint16_t word = platform::LoadLE16(&bytes[at]);
    at += 2;
    const int code = word >> 10;
    const int value = word & 0x3FF;
    if (word == 0) break;  // end of file
    switch (code) {
      case kSkip: {
        if (at + 4 > bytes.size()) throw platform::FormatError(where(word_at), "skip cut short");
        // A 32-bit interval stored as two 16-bit words, the high word first.
        const uint32_t high = platform::LoadLE16(&bytes[at]);
        const uint32_t low = platform::LoadLE16(&bytes[at + 2]);
        at += 4;
        time += static_cast<int32_t>((high << 16) | low);
        break;
      }
      case kNum:
        number = value;
        if (!annotations.empty()) annotations.back().number = value;
        break;
      case kSub:
        if (!annotations.empty()) annotations.back().subtype = value;
        break;
      case kChn:
        channel = value;
        if (!annotations.empty()) annotations.back().channel = value;
        break;
      case kAux: {
        const size_t padded = static_cast<size_t>(value) + (value & 1);
        if (at + padded > bytes.size()) throw platform::FormatError(where(word_at), "auxiliary text cut short");
        if (!annotations.empty()) annotations.back().aux.assign(reinterpret_cast<const char*>(&bytes[at]), value);
        at += padded;
        break;
      }
      default:
        if (code > kMaxCode) throw platform::FormatError(where(word_at), "annotation code " + std::to_string(code));
        time += value;
        if (time < 0) throw platform::FormatError(where(word_at), "annotation before the record's start");
        annotations.push_back({time, code, 0, channel, number, {}});
        break;
    }
  }
  return annotations;
}

bool IsWfdbBeat(int code) {
  return (code >= 1 && code <= 13) || code == 16 || code == 25 || code == 30 || code == 34 || code == 35 ||
         code == 38 || code == 41;
}

bool IsWfdbFlutterMark(int code) { return code == 31 || code == 32 || code == 33; }

char WfdbMnemonic(int code) {
  static constexpr char kMnemonics[] = " NLRaVFJASEj/Q~ | sT*D\"=pB^t+u?![]en@xf()r";
  if (code < 0 || code >= static_cast<int>(sizeof kMnemonics) - 1) return '?';
  const char c = kMnemonics[code];
  return c == ' ' ? '?' : c;
}

uint8_t WfdbBeatClass(int code) {
  switch (WfdbMnemonic(code)) {
    case 'N':
    case 'L':
    case 'R':
    case 'B':
    case 'e':
    case 'j':
      return 1;
    case 'A':
    case 'a':
    case 'J':
    case 'S':
    case 'n':
      return 9;
    case 'V':
    case 'E':
    case 'r':
    case 'F':
      return 15;
    case '/':
    case 'f':
      return 29;
    case '|':
      return 5;
    default:
      return 22;
  }
}

}  // namespace testsupport
