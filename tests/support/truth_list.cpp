#include "support/truth_list.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "support/text_fields.h"

namespace testsupport {
namespace {

void Append(std::string& out, std::string_view text) { out.append(text); }

void AppendNumber(std::string& out, long long value) {
  out.push_back(' ');
  out.append(std::to_string(value));
}

int64_t Number(std::string_view field, int64_t min, int64_t max, const std::string& where) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size())
    throw platform::FormatError(where, "\"" + std::string(field) + "\" is not a number");
  if (value < min || value > max)
    throw platform::FormatError(where, std::to_string(value) + " is outside " + std::to_string(min) + ".." +
                                           std::to_string(max));
  return value;
}

}  // namespace

void WriteTruthList(const std::filesystem::path& path, const TruthList& truth) {
  std::string text = "# true beats and events; positions are samples at 125 Hz\n";
  text.reserve(truth.beats.size() * 16 + truth.events.size() * 24 + text.size());
  for (const TruthBeat& beat : truth.beats) {
    Append(text, "beat");
    AppendNumber(text, beat.position);
    AppendNumber(text, beat.beat_class);
    text.push_back('\n');
  }
  for (const TruthEvent& event : truth.events) {
    Append(text, "event");
    AppendNumber(text, event.kind);
    AppendNumber(text, event.start);
    AppendNumber(text, event.end);
    text.push_back('\n');
  }
  platform::WriteFileAtomic(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TruthList ReadTruthList(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  TruthList truth;
  for (const FieldLine& line : FieldLines(text, path.filename().string())) {
    const std::vector<std::string_view>& fields = line.fields;
    const std::string& where = line.where;
    if (fields[0] == "beat" && fields.size() == 3) {
      truth.beats.push_back({static_cast<int32_t>(Number(fields[1], 0, INT32_MAX, where)),
                             static_cast<uint8_t>(Number(fields[2], 0, 39, where))});
    } else if (fields[0] == "event" && fields.size() == 4) {
      const auto kind = static_cast<uint8_t>(Number(fields[1], 0, 39, where));
      const auto first = static_cast<int32_t>(Number(fields[2], 0, INT32_MAX, where));
      const auto last = static_cast<int32_t>(Number(fields[3], first, INT32_MAX, where));
      truth.events.push_back({kind, first, last});
    } else {
      throw platform::FormatError(where, "expected \"beat <position> <class>\" or \"event <kind> <start> <end>\"");
    }
  }
  return truth;
}

}  // namespace testsupport
