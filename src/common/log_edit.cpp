#include "common/log_edit.h"

#include <cstdio>
#include <string>

CLogEdit::CLogEdit() { SetAcceptsFocus(false); }

void CLogEdit::AddLine(std::string_view text) {
  std::string line;
  if (!GetWindowText().empty()) line = "\r\n";
  line.append(text);
  AppendText(line);
  if (auto_scroll_ != 0) LineScroll(GetLineCount());
}

void CLogEdit::Clear() {
  SetWindowText("");
  if (auto_scroll_ != 0) LineScroll(0);
}

void CLogEdit::AddHexDump(std::string_view caption, std::span<const uint8_t> bytes) {
  AddLine(caption);
  std::string hex;
  std::string chars;
  size_t line_start = 0;
  const auto flush = [&] {
    char line[128];
    std::snprintf(line, sizeof line, "%04X: %-48s %-16s", static_cast<unsigned>(line_start), hex.c_str(),
                  chars.c_str());
    AddLine(line);
    hex.clear();
    chars.clear();
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    char cell[4];
    std::snprintf(cell, sizeof cell, "%02x ", bytes[i]);
    hex += cell;
    // The printable characters of the C locale; bytes above 127 show as dots.
    chars += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
    if ((i + 1) % 16 == 0) {
      flush();
      line_start = i + 1;
    }
  }
  if (!hex.empty()) flush();
}
