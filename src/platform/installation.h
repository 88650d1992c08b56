#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The desktop's names of the program and of its recording files (".QRS").
inline constexpr char kDesktopEntryName[] = "zk470.desktop";
inline constexpr char kRecordingMimeType[] = "application/x-zk470-document";
inline constexpr char kMimePackageName[] = "zk470.xml";
// The sizes of the program's icon under icons/hicolor.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The files the program ships, laid out as under an install prefix's "share" folder: letter
// templates and start-screen logos in zk470/, the desktop entry in applications/, the file type
// in mime/packages/ and the icons in icons/hicolor/<n>x<n>/apps/.
struct ProgramShare {
  std::filesystem::path root;

  std::filesystem::path Files() const { return root / "zk470"; }
  std::filesystem::path DesktopEntry() const { return root / "applications" / kDesktopEntryName; }
  std::filesystem::path MimePackage() const { return root / "mime" / "packages" / kMimePackageName; }
  std::filesystem::path Icon(int size) const;
};

// The running program's executable (/proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutablePath();

// Where the program's shipped files are: <folder of the executable>/../share when it holds them
// (an installed program), else build_share (a development build's staged copy); nullopt when
// neither does.
std::optional<ProgramShare> FindProgramShare(const std::filesystem::path& executable,
                                             const std::filesystem::path& build_share);

// Copies the regular files of from that folder lacks into it (making the folder), so that a
// clinic's own templates and logos stay. Returns the names copied. Throws IoError when the folder
// cannot be made or a copy fails.
std::vector<std::string> CopyMissingFiles(const std::filesystem::path& from,
                                          const std::filesystem::path& folder);

// The user's folders of the desktop, as the XDG base directories give them.
struct UserDesktop {
  std::filesystem::path data_home;               // $XDG_DATA_HOME, else ~/.local/share
  std::filesystem::path config_home;             // $XDG_CONFIG_HOME, else ~/.config
  std::vector<std::filesystem::path> data_dirs;  // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
  // Runs update-mime-database on a mime folder; false when it could not.
  std::function<bool(const std::filesystem::path& mime_folder)> update_mime_database;

  static UserDesktop FromEnvironment();
};

struct DesktopRegistration {
  // What was written this time: "file type", "desktop entry", "default application".
  std::vector<std::string> written;
  // Why a part could not be registered; empty when none failed.
  std::string problem;
};

// Registers the recording file type and the desktop entry for the user where neither the user's
// data folder nor a system one has them, and makes the entry the user's default application for
// the type where the user's mimeapps.list names none. Only the user's own folders are written and
// what is there stays, so a second start writes nothing. The entry written for the user starts
// executable and shows the share's largest icon.
DesktopRegistration RegisterForUser(const ProgramShare& share, const std::filesystem::path& executable,
                                    const UserDesktop& desktop);

// The desktop entry's Exec value that starts program with a file: quoted as the desktop entry
// format asks when needed, with the "%f" field code.
std::string DesktopExecLine(const std::filesystem::path& program);

}  // namespace platform
