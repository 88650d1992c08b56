#include "platform/profile_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/archive.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"

namespace platform {
namespace {

using Section = std::map<std::string, std::string>;
using Sections = std::map<std::string, Section>;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// Names compare like the registry's: ignoring ASCII case. The exact spelling is tried first
// because it is the common case and the map finds it without a scan.
template <typename Map>
auto FindNoCase(Map& map, std::string_view name) -> decltype(map.begin()) {
  if (auto it = map.find(std::string(name)); it != map.end()) return it;
  for (auto it = map.begin(); it != map.end(); ++it)
    if (EqualNoCase(it->first, name)) return it;
  return map.end();
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    int extra = 0;
    if (b < 0x80) {
      extra = 0;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (i + static_cast<size_t>(extra) >= text.size()) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// A value is written bare unless reading it back bare would change it: then it is quoted with
// C-style escapes, so multi-line texts (an office address) and edge blanks survive.
bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return false;
  if (value.front() == '"' || value.front() == ' ' || value.front() == '\t') return true;
  if (value.back() == ' ' || value.back() == '\t') return true;
  return value.find_first_of("\r\n") != std::string_view::npos;
}

std::string Quote(std::string_view value) {
  std::string out = "\"";
  for (const char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

// Undoes Quote; a quoted text that is cut short is taken as far as it goes.
std::string Unquote(std::string_view quoted) {
  std::string out;
  for (size_t i = 1; i < quoted.size(); ++i) {
    const char c = quoted[i];
    if (c == '"') break;
    if (c != '\\' || i + 1 == quoted.size()) {
      out += c;
      continue;
    }
    const char e = quoted[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += e;
    }
  }
  return out;
}

std::string_view StripBom(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

void SetValue(Sections& sections, std::string_view section, std::string_view key, std::string value) {
  auto sit = FindNoCase(sections, section);
  if (sit == sections.end()) sit = sections.emplace(std::string(section), Section{}).first;
  auto kit = FindNoCase(sit->second, key);
  if (kit == sit->second.end()) {
    sit->second.emplace(std::string(key), std::move(value));
  } else {
    kit->second = std::move(value);
  }
}

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

// One line of the file as the reader sees it.
struct ParsedLine {
  enum class Kind { kOther, kSection, kBrokenSection, kKey } kind = Kind::kOther;
  std::string name;  // the section or the key, trimmed
  std::string value;
};

ParsedLine ParseLine(std::string_view raw) {
  // Hand-edited files may hold cp1252 text; the program works in UTF-8.
  std::string converted;
  if (!IsValidUtf8(raw)) {
    converted = Cp1252ToUtf8(raw);
    raw = converted;
  }
  ParsedLine parsed;
  const std::string_view line = Trim(raw);
  if (line.empty() || line.front() == ';' || line.front() == '#') return parsed;
  if (line.front() == '[') {
    const size_t close = line.rfind(']');
    const std::string_view name =
        close == std::string_view::npos ? std::string_view{} : Trim(line.substr(1, close - 1));
    parsed.kind = name.empty() ? ParsedLine::Kind::kBrokenSection : ParsedLine::Kind::kSection;
    parsed.name = std::string(name);
    return parsed;
  }
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return parsed;
  const std::string_view key = Trim(line.substr(0, eq));
  if (key.empty()) return parsed;
  const std::string_view bare = Trim(line.substr(eq + 1));
  parsed.kind = ParsedLine::Kind::kKey;
  parsed.name = std::string(key);
  parsed.value = (!bare.empty() && bare.front() == '"') ? Unquote(bare) : std::string(bare);
  return parsed;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  text = StripBom(text);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return lines;
}

// Lines that fit no rule (text without "=", a "[" without "]", keys before the first section)
// are not values, so a damaged file still yields every line that is sound. Keys after a broken
// section line are not filed under the section before it. Names are looked up through their
// folded spelling, so that a long file reads in n log n.
Sections Parse(std::string_view text) {
  Sections sections;
  std::map<std::string, Sections::iterator> section_of;
  std::map<std::string, std::map<std::string, bool>> seen_keys;
  Sections::iterator current = sections.end();
  std::string current_folded;
  for (const std::string_view raw : SplitLines(text)) {
    ParsedLine line = ParseLine(raw);
    if (line.kind == ParsedLine::Kind::kBrokenSection) current = sections.end();
    if (line.kind == ParsedLine::Kind::kSection) {
      current_folded = Fold(line.name);
      auto known = section_of.find(current_folded);
      if (known == section_of.end())
        known = section_of.emplace(current_folded, sections.emplace(line.name, Section{}).first).first;
      current = known->second;
    }
    if (line.kind != ParsedLine::Kind::kKey || current == sections.end()) continue;
    // The first of two equal keys wins, as the system's profile reader does.
    if (seen_keys[current_folded].emplace(Fold(line.name), true).second)
      current->second.emplace(std::move(line.name), std::move(line.value));
  }
  for (auto it = sections.begin(); it != sections.end();)
    it = it->second.empty() ? sections.erase(it) : std::next(it);
  return sections;
}

// The file's lines with the values put in: a line that is not a value of ours (a comment, a line
// without "=", a key before the first section, a repeated key) stays as it was, a value line
// whose value did not change stays too, a removed key's line goes, and new keys follow the last
// value line of their section (new sections at the end).
std::string Merge(const std::vector<std::string>& lines, const Sections& values) {
  std::map<std::string, const Section*> wanted;
  for (const auto& [section, keys] : values) wanted.emplace(Fold(section), &keys);
  std::map<std::string, std::map<std::string, bool>> written;
  std::map<std::string, bool> sections_done;
  std::string out;
  std::string current;  // folded; empty: no section of ours
  size_t insert_at = 0;
  const auto value_line = [](const std::string& key, const std::string& value) {
    return key + '=' + (NeedsQuotes(value) ? Quote(value) : value) + '\n';
  };
  size_t header_at = 0;
  bool block_has_text = false;
  const auto close_section = [&] {
    if (current.empty() || sections_done[current]) return;
    sections_done[current] = true;
    const auto it = wanted.find(current);
    // A section whose last value went goes too, unless a person wrote something into it.
    if (it == wanted.end()) {
      if (!block_has_text) out.erase(header_at);
      return;
    }
    std::string missing;
    for (const auto& [key, value] : *it->second)
      if (!written[current].contains(Fold(key))) missing += value_line(key, value);
    out.insert(insert_at, missing);
  };
  for (const std::string& raw : lines) {
    const ParsedLine line = ParseLine(raw);
    if (line.kind == ParsedLine::Kind::kSection || line.kind == ParsedLine::Kind::kBrokenSection) {
      close_section();
      current =
          line.kind == ParsedLine::Kind::kSection && !sections_done[Fold(line.name)] ? Fold(line.name) : "";
      header_at = out.size();
      block_has_text = false;
      out += raw + '\n';
      insert_at = out.size();
      continue;
    }
    if (line.kind != ParsedLine::Kind::kKey || current.empty() ||
        !written[current].emplace(Fold(line.name), true).second) {
      if (!Trim(raw).empty()) block_has_text = true;
      out += raw + '\n';
      continue;
    }
    const auto section = wanted.find(current);
    if (section == wanted.end()) continue;
    const auto key = FindNoCase(*section->second, line.name);
    if (key == section->second->end()) continue;
    out += key->second == line.value ? raw + '\n' : value_line(line.name, key->second);
    insert_at = out.size();
  }
  close_section();
  for (const auto& [section, keys] : values) {
    if (keys.empty() || sections_done[Fold(section)]) continue;
    if (!out.empty() && !out.ends_with("\n\n")) out += '\n';
    out += '[' + section + "]\n";
    for (const auto& [key, value] : keys) out += value_line(key, value);
  }
  return out;
}

// Names come from the program, not from the user; one that the file format cannot carry is a bug.
[[maybe_unused]] bool IsWritableName(std::string_view name, bool is_key) {
  if (name.empty() || Trim(name) != name) return false;
  if (name.find_first_of("\r\n") != std::string_view::npos) return false;
  if (is_key) return name.find('=') == std::string_view::npos && name.front() != '[' && name.front() != ';' && name.front() != '#';
  return true;
}

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return std::filesystem::current_path();
}

}  // namespace

std::optional<int> MemoryProfileStore::GetInt(std::string_view section, std::string_view key) const {
  const std::optional<std::string> text = GetString(section, key);
  if (!text) return std::nullopt;
  std::string_view digits = Trim(*text);
  // from_chars takes no '+'; strip one, but only before a digit ("+-1" is no number).
  if (digits.size() > 1 && digits.front() == '+' && digits[1] >= '0' && digits[1] <= '9') digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<std::string> MemoryProfileStore::GetString(std::string_view section, std::string_view key) const {
  const auto sit = FindNoCase(values_, section);
  if (sit == values_.end()) return std::nullopt;
  const auto kit = FindNoCase(sit->second, key);
  if (kit == sit->second.end()) return std::nullopt;
  return kit->second;
}

void MemoryProfileStore::WriteInt(std::string_view section, std::string_view key, int value) {
  SetValue(values_, section, key, std::to_string(value));
}

void MemoryProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  SetValue(values_, section, key, std::string(value));
}

void MemoryProfileStore::RemoveKey(std::string_view section, std::string_view key) {
  const auto sit = FindNoCase(values_, section);
  if (sit == values_.end()) return;
  if (const auto kit = FindNoCase(sit->second, key); kit != sit->second.end()) sit->second.erase(kit);
  if (sit->second.empty()) values_.erase(sit);
}

IniProfileStore::IniProfileStore(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path_, ec);
  if (status.type() == std::filesystem::file_type::not_found) return;
  if (ec) throw IoError(path_.string(), "cannot look for the profile: " + ec.message());
  if (status.type() != std::filesystem::file_type::regular)
    throw IoError(path_.string(), "the profile is not a regular file");
  // An existing file that cannot be read must not silently become an empty profile: the next
  // save would then wipe every setting.
  const std::vector<uint8_t> bytes = ReadFileBytes(path_);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  values_ = Parse(text);
  for (const std::string_view line : SplitLines(text)) lines_.emplace_back(line);
}

std::filesystem::path IniProfileStore::DefaultPath() {
  if (const char* file = std::getenv("ZK470_PROFILE"); file && *file) return file;
  std::filesystem::path config;
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    config = xdg;
  } else {
    config = HomeFolder() / ".config";
  }
  return config / "KESTROVA AG" / "ZK-470.ini";
}

void IniProfileStore::WriteInt(std::string_view section, std::string_view key, int value) {
  assert(IsWritableName(section, false) && IsWritableName(key, true));
  // Dialogs write every field back on OK: a value that is already stored costs no file rewrite.
  if (GetString(section, key) == std::to_string(value)) return;
  MemoryProfileStore::WriteInt(section, key, value);
  Changed();
}

void IniProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  assert(IsWritableName(section, false) && IsWritableName(key, true));
  if (GetString(section, key) == value) return;
  MemoryProfileStore::WriteString(section, key, value);
  Changed();
}

void IniProfileStore::RemoveKey(std::string_view section, std::string_view key) {
  if (!GetString(section, key)) return;
  MemoryProfileStore::RemoveKey(section, key);
  Changed();
}

void IniProfileStore::Flush() {
  if (!dirty_) return;
  const std::filesystem::path folder = path_.parent_path();
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw IoError(path_.string(), "cannot create the profile folder: " + ec.message());
  }
  const std::string text = Merge(lines_, values_);
  WriteFileAtomic(path_, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  lines_.clear();
  for (const std::string_view line : SplitLines(text)) lines_.emplace_back(line);
  dirty_ = false;
}

void IniProfileStore::SetBatching(bool batching) {
  batching_ = batching;
  if (!batching_ && dirty_) SaveQuietly();
}

void IniProfileStore::Changed() {
  dirty_ = true;
  if (!batching_) SaveQuietly();
}

void IniProfileStore::SaveQuietly() {
  // Profile writes report nothing to their callers; a save that fails leaves the store dirty so
  // that the next explicit Flush retries it and throws.
  try {
    Flush();
  } catch (const IoError&) {
  }
}

}  // namespace platform
