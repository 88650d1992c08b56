#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// The fields of a text line, split at blanks (spaces, tabs, and the '\r' of a CR LF line end).
inline std::vector<std::string_view> SplitFields(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !blank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// A line of a text file with its fields; where names the file and line for messages
// ("100.hea, line 3"). The views point into the text the line came from.
struct FieldLine {
  std::string_view text;
  std::vector<std::string_view> fields;
  std::string where;
};

// The lines of a text file that hold fields, without comment lines (a first field beginning with
// '#'), numbered from 1 as the file counts them.
inline std::vector<FieldLine> FieldLines(std::string_view text, const std::string& file) {
  std::vector<FieldLine> lines;
  size_t start = 0;
  size_t line_number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.empty() || fields[0].front() == '#') continue;
    lines.push_back({line, std::move(fields), file + ", line " + std::to_string(line_number)});
  }
  return lines;
}

}  // namespace testsupport
