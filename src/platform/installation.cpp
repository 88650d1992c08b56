#include "platform/installation.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>
#include <system_error>

#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"
#include "platform/process.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr char kDefaultsSection[] = "[Default Applications]";

fs::path EnvPath(const char* name, const fs::path& otherwise) {
  const char* value = std::getenv(name);
  // Relative values are invalid by the base directory rules and are ignored.
  if (value != nullptr && value[0] == '/') return value;
  return otherwise;
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::optional<std::string> ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, std::string_view text) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) throw IoError(path.parent_path().string(), error.message());
  AtomicFileWriter writer(path);
  writer.Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  writer.Commit();
}

// Whether the user's folder or a system one already holds relative.
bool AnyDataFolderHas(const UserDesktop& desktop, const fs::path& relative) {
  if (IsFile(desktop.data_home / relative)) return true;
  for (const fs::path& folder : desktop.data_dirs) {
    if (IsFile(folder / relative)) return true;
  }
  return false;
}

// The shipped entry with Exec and Icon pointing at this program's files.
std::string UserEntry(const std::string& shipped, const ProgramShare& share, const fs::path& executable) {
  std::istringstream lines(shipped);
  std::string out;
  std::string line;
  while (std::getline(lines, line)) {
    if (line.starts_with("Exec=")) {
      line = "Exec=" + DesktopExecLine(executable);
    } else if (line.starts_with("Icon=")) {
      const fs::path icon = share.Icon(kIconSizes[std::size(kIconSizes) - 1]);
      if (IsFile(icon)) line = "Icon=" + fs::absolute(icon).lexically_normal().string();
    } else if (line.starts_with("TryExec=")) {
      continue;
    }
    out += line + "\n";
  }
  return out;
}

// mimeapps.list with entry as the type's default added, or nullopt when it names a default for the
// type already (the user's choice stays).
std::optional<std::string> WithDefault(const std::string& list, std::string_view type,
                                       std::string_view entry) {
  std::istringstream lines(list);
  std::string line;
  std::string out;
  bool in_defaults = false;
  bool added = false;
  const std::string key = std::string(type) + "=";
  const std::string assignment = key + std::string(entry) + ";";
  while (std::getline(lines, line)) {
    std::string_view trimmed = line;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\r')) trimmed.remove_suffix(1);
    if (trimmed.starts_with('[')) {
      if (in_defaults && !added) {
        // After the section's last line, before the blank lines that part it from the next.
        size_t blank_lines = 0;
        for (; out.ends_with("\n\n"); ++blank_lines) out.pop_back();
        out += assignment + "\n" + std::string(blank_lines, '\n');
        added = true;
      }
      in_defaults = trimmed == kDefaultsSection;
    } else if (in_defaults && trimmed.starts_with(key) && trimmed.size() > key.size()) {
      return std::nullopt;
    }
    out += line + "\n";
  }
  if (!added) {
    if (!in_defaults) {
      if (!out.empty() && !out.ends_with("\n\n")) out += "\n";
      out += std::string(kDefaultsSection) + "\n";
    }
    out += assignment + "\n";
  }
  return out;
}

}  // namespace

fs::path ProgramShare::Icon(int size) const {
  const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
  return root / "icons" / "hicolor" / dimensions / "apps" / "zk470.png";
}

fs::path ExecutablePath() {
  std::error_code error;
  fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : path;
}

std::optional<ProgramShare> FindProgramShare(const fs::path& executable, const fs::path& build_share) {
  auto holds_files = [](const fs::path& root) {
    std::error_code error;
    return !root.empty() && fs::is_directory(ProgramShare{root}.Files(), error);
  };
  if (!executable.empty()) {
    const fs::path installed = (executable.parent_path() / ".." / "share").lexically_normal();
    if (holds_files(installed)) return ProgramShare{installed};
  }
  if (holds_files(build_share)) return ProgramShare{build_share};
  return std::nullopt;
}

std::vector<std::string> CopyMissingFiles(const fs::path& from, const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) throw IoError(folder.string(), error.message());
  std::vector<std::string> copied;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
    std::error_code ignored;
    if (!entry.is_regular_file(ignored)) continue;
    const fs::path target = folder / entry.path().filename();
    // A dangling link counts as there: it is the clinic's, not ours to replace.
    if (fs::exists(fs::symlink_status(target, ignored))) continue;
    const std::optional<std::string> bytes = ReadText(entry.path());
    if (!bytes) throw IoError(entry.path().string(), "cannot be read");
    WriteText(target, *bytes);
    copied.push_back(entry.path().filename().string());
  }
  if (error) throw IoError(from.string(), error.message());
  return copied;
}

UserDesktop UserDesktop::FromEnvironment() {
  UserDesktop desktop;
  const fs::path home = EnvPath("HOME", "/");
  desktop.data_home = EnvPath("XDG_DATA_HOME", home / ".local" / "share");
  desktop.config_home = EnvPath("XDG_CONFIG_HOME", home / ".config");
  std::string dirs = "/usr/local/share:/usr/share";
  if (const char* value = std::getenv("XDG_DATA_DIRS"); value != nullptr && *value != '\0') dirs = value;
  std::istringstream parts(dirs);
  std::string part;
  while (std::getline(parts, part, ':')) {
    if (!part.empty() && part[0] == '/') desktop.data_dirs.emplace_back(part);
  }
  desktop.update_mime_database = [](const fs::path& mime_folder) {
    ProcessOptions options;
    options.timeout_ms = 30000;
    return RunProcess({"update-mime-database", mime_folder.string()}, options).Succeeded();
  };
  return desktop;
}

DesktopRegistration RegisterForUser(const ProgramShare& share, const fs::path& executable,
                                    const UserDesktop& desktop) {
  DesktopRegistration result;
  auto fail = [&](const std::string& what) {
    if (!result.problem.empty()) result.problem += "; ";
    result.problem += what;
  };

  const fs::path mime_package = fs::path("mime") / "packages" / kMimePackageName;
  if (!AnyDataFolderHas(desktop, mime_package)) {
    try {
      const std::optional<std::string> package = ReadText(share.MimePackage());
      if (!package) throw IoError(share.MimePackage().string(), "cannot be read");
      WriteText(desktop.data_home / mime_package, *package);
      result.written.emplace_back("file type");
      const fs::path mime_folder = desktop.data_home / "mime";
      if (desktop.update_mime_database && !desktop.update_mime_database(mime_folder)) {
        fail("update-mime-database " + mime_folder.string() + " failed");
      }
    } catch (const IoError& error) {
      fail(error.what());
    }
  }

  const fs::path entry = fs::path("applications") / kDesktopEntryName;
  if (!AnyDataFolderHas(desktop, entry)) {
    try {
      const std::optional<std::string> shipped = ReadText(share.DesktopEntry());
      if (!shipped) throw IoError(share.DesktopEntry().string(), "cannot be read");
      WriteText(desktop.data_home / entry, UserEntry(*shipped, share, executable));
      result.written.emplace_back("desktop entry");
    } catch (const IoError& error) {
      fail(error.what());
    }
  }

  const fs::path list = desktop.config_home / "mimeapps.list";
  try {
    const std::string text = ReadText(list).value_or("");
    if (const std::optional<std::string> changed = WithDefault(text, kRecordingMimeType, kDesktopEntryName)) {
      WriteText(list, *changed);
      result.written.emplace_back("default application");
    }
  } catch (const IoError& error) {
    fail(error.what());
  }
  return result;
}

std::string DesktopExecLine(const fs::path& program) {
  const std::string text = program.string();
  bool needs_quotes = text.empty();
  std::string quoted;
  for (const char c : text) {
    if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos) needs_quotes = true;
    // Inside quotes these take a backslash; the value's own escaping then doubles every backslash.
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
    } else if (c == '\\') {
      quoted += "\\\\\\";
    } else if (c == '\n') {
      quoted += "\\n";
      continue;
    }
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return (needs_quotes ? "\"" + quoted + "\"" : quoted) + " %f";
}

}  // namespace platform
