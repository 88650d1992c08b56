#include "support/recording_setup.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"

namespace testsupport {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2 ? 1 : 0;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool ParseInt(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

double ToOleDays(const RecordingStart& start) {
  const long days = DaysFromCivil(start.year, start.month, start.day) - DaysFromCivil(1899, 12, 30);
  return static_cast<double>(days) + (start.hour * 3600.0 + start.minute * 60.0 + start.second) / 86400.0;
}

std::string FormatRecordingStart(const RecordingStart& start) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", start.year, start.month, start.day, start.hour,
                start.minute, start.second);
  return text;
}

bool ParseRecordingStart(const std::string& text, RecordingStart& start) {
  // "YYYY-MM-DD HH:MM:SS"
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
    return false;
  const std::string_view t(text);
  RecordingStart parsed;
  if (!ParseInt(t.substr(0, 4), parsed.year) || !ParseInt(t.substr(5, 2), parsed.month) ||
      !ParseInt(t.substr(8, 2), parsed.day) || !ParseInt(t.substr(11, 2), parsed.hour) ||
      !ParseInt(t.substr(14, 2), parsed.minute) || !ParseInt(t.substr(17, 2), parsed.second))
    return false;
  if (parsed.year < 1900 || parsed.year > 9999 || parsed.month < 1 || parsed.month > 12 || parsed.day < 1 ||
      parsed.day > DaysInMonth(parsed.year, parsed.month) || parsed.hour > 23 || parsed.minute > 59 ||
      parsed.second > 59)
    return false;
  start = parsed;
  return true;
}

std::filesystem::path SetupPathFor(const std::filesystem::path& base) { return WithExtension(base, "setup.txt"); }

std::filesystem::path WithExtension(const std::filesystem::path& base, const std::string& extension) {
  std::filesystem::path path = base;
  path += "." + extension;
  return path;
}

void WriteRecordingSetup(const std::filesystem::path& path, const RecordingSetup& setup) {
  std::string text = "# test recording: files beside this one and what the recording record needs\n";
  auto line = [&text](const char* key, const std::string& value) {
    text += key;
    text += '=';
    text += value;
    text += '\n';
  };
  line("sample_file", setup.sample_file);
  line("truth_file", setup.truth_file);
  if (!setup.reference_file.empty()) line("reference_file", setup.reference_file);
  if (!setup.annotation_file.empty()) line("annotation_file", setup.annotation_file);
  line("channels", std::to_string(setup.channels));
  line("start", FormatRecordingStart(setup.start));
  line("minutes", std::to_string(setup.minutes));
  line("sample_rate", "125");
  line("format", setup.format);
  if (setup.pacemaker) line("pacemaker", "1");
  line("source", setup.source);
  platform::WriteFileAtomic(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

RecordingSetup ReadRecordingSetup(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  RecordingSetup setup;
  bool has_sample_file = false;
  size_t start = 0;
  int line_number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::string where = path.filename().string() + ", line " + std::to_string(line_number);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) throw platform::FormatError(where, "expected key=value");
    const std::string_view key = line.substr(0, equals);
    const std::string value(line.substr(equals + 1));
    auto number = [&](int min, int max) {
      int v = 0;
      if (!ParseInt(value, v) || v < min || v > max)
        throw platform::FormatError(where, std::string(key) + " \"" + value + "\" is not a number in " +
                                               std::to_string(min) + ".." + std::to_string(max));
      return v;
    };
    if (key == "sample_file") {
      setup.sample_file = value;
      has_sample_file = !value.empty();
    } else if (key == "truth_file") {
      setup.truth_file = value;
    } else if (key == "reference_file") {
      setup.reference_file = value;
    } else if (key == "annotation_file") {
      setup.annotation_file = value;
    } else if (key == "channels") {
      setup.channels = number(1, 3);
    } else if (key == "start") {
      if (!ParseRecordingStart(value, setup.start))
        throw platform::FormatError(where, "start \"" + value + "\" is not YYYY-MM-DD HH:MM:SS");
    } else if (key == "minutes") {
      setup.minutes = number(0, 4320);
    } else if (key == "sample_rate") {
      number(125, 125);
    } else if (key == "format") {
      if (value != "new" && value != "old") throw platform::FormatError(where, "format must be new or old");
      setup.format = value;
    } else if (key == "pacemaker") {
      setup.pacemaker = number(0, 1) == 1;
    } else if (key == "source") {
      setup.source = value;
    }
    // Unknown keys are kept for later versions and ignored here.
  }
  if (!has_sample_file) throw platform::FormatError(path.filename().string(), "no sample_file");
  return setup;
}

}  // namespace testsupport
