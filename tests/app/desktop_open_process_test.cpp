// The program as the desktop sees it: after its first start under a fresh home the desktop's own
// tools know ".QRS" files as its type, with its entry as their default application, and a file
// opened from the file manager while the program runs comes up in that program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "app/virtual_screen.h"
#include "core/automation_exit_codes.h"
#include "platform/installation.h"
#include "platform/process.h"
#include "support/test_recordings.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
using coretest::MakeSyntheticRecording;

// Start-up may take long in a sanitizer build.
constexpr int kStartWaitMs = 60000;

bool OnPath(const std::string& tool) {
  return platform::RunProcess({"sh", "-c", "command -v " + tool}, {.timeout_ms = 10000}).Succeeded();
}

std::string FirstLine(const platform::ProcessResult& run) { return run.out.substr(0, run.out.find('\n')); }

class DesktopOpenProcess : public testing::Test {
 protected:
  DesktopOpenProcess() {
    // No system folder of this machine (an installed package, say) decides what the user sees.
    const fs::path system = home_.Folder("system-share");
    home_.SetEnv("XDG_DATA_DIRS", system.string());
    home_.SetEnv("XDG_DATA_HOME", std::nullopt);
    home_.SetEnv("XDG_CURRENT_DESKTOP", std::nullopt);
  }

  fs::path DataHome() const { return home_.Root() / "home" / ".local" / "share"; }

  ProgramHome home_;
};

TEST_F(DesktopOpenProcess, FirstStartRegistersTheRecordingTypeWithTheDesktop) {
  for (const char* tool : {"xdg-mime", "mimetype", "desktop-file-validate"}) {
    if (!OnPath(tool))
      GTEST_SKIP() << "needs " << tool
                   << " (Debian packages xdg-utils, libfile-mimeinfo-perl, desktop-file-utils)";
  }
  const fs::path qrs = MakeSyntheticRecording(home_.Folder("rec") / "00001", 2);
  // An automation command that ends at once: the registration comes before anything else.
  const platform::ProcessResult start = RunProgram({"/OpenRecording", "/a/b.QRS1", "r.txt"});
  ASSERT_EQ(start.exit_code, kExitPathTooShort) << start.err;

  // Recorders write ".QRS"; a copy may have gone through a system that lowers the case.
  const fs::path lower = qrs.parent_path() / "copy.qrs";
  fs::copy_file(qrs, lower);
  for (const fs::path& file : {qrs, lower}) {
    const platform::ProcessResult type =
        platform::RunProcess({"xdg-mime", "query", "filetype", file.string()});
    EXPECT_EQ(FirstLine(type), platform::kRecordingMimeType) << file << type.err;
  }
  const platform::ProcessResult entry =
      platform::RunProcess({"xdg-mime", "query", "default", platform::kRecordingMimeType});
  EXPECT_EQ(FirstLine(entry), platform::kDesktopEntryName) << entry.err;
  const fs::path user_entry = DataHome() / "applications" / platform::kDesktopEntryName;
  const platform::ProcessResult valid = platform::RunProcess({"desktop-file-validate", user_entry.string()});
  EXPECT_TRUE(valid.Succeeded()) << valid.out << valid.err;
  EXPECT_NE(ReadFile(user_entry).find("Exec=" + ProgramPath().string() + " %f"), std::string::npos)
      << ReadFile(user_entry);

  // The second start finds everything in place and writes nothing.
  const auto written = fs::last_write_time(user_entry);
  const std::string list = ReadFile(home_.Root() / "config" / "mimeapps.list");
  ASSERT_EQ(RunProgram({"/OpenRecording", "/a/b.QRS1", "r.txt"}).exit_code, kExitPathTooShort);
  EXPECT_EQ(fs::last_write_time(user_entry), written);
  EXPECT_EQ(ReadFile(home_.Root() / "config" / "mimeapps.list"), list);
}

TEST_F(DesktopOpenProcess, FileOpenedFromTheFileManagerComesUpInTheRunningProgram) {
  if (const std::vector<std::string> missing = VirtualScreen::MissingTools(); !missing.empty()) {
    GTEST_SKIP() << "needs " << missing.front()
                 << " on PATH (Debian packages xvfb, x11-apps, x11-utils, xdotool)";
  }
  if (!OnPath("gio")) GTEST_SKIP() << "needs gio (Debian package libglib2.0-bin)";
  VirtualScreen screen(home_.Root() / "xvfb.log");
  ASSERT_TRUE(screen.Ready()) << screen.Problem();
  home_.SetEnv("DISPLAY", screen.Display());
  home_.SetEnv("QT_QPA_PLATFORM", "xcb");
  const fs::path qrs = MakeSyntheticRecording(home_.Folder("rec") / "00001", 2);

  BackgroundProgram program({});
  auto frame_title = [&](const std::string& part) {
    for (const VirtualScreen::Window& window : screen.VisibleWindows()) {
      if (window.name.starts_with("KESTROVA ZK-470") && window.name.find(part) != std::string::npos)
        return true;
    }
    return false;
  };
  ASSERT_TRUE(WaitFor([&] { return frame_title("") || program.Ended(); }, kStartWaitMs)) << "no main frame";
  ASSERT_FALSE(program.Ended()) << program.Stop().err;

  // What a double-click in the file manager runs: the type's default application with the file.
  // The program it starts outlives gio: its output must not go to a pipe that closes under it.
  const platform::ProcessResult open = platform::RunProcess(
      {"sh", "-c", "exec gio open \"$1\" >/dev/null 2>&1", "sh", qrs.string()}, {.timeout_ms = 30000});
  ASSERT_TRUE(open.Succeeded()) << open.error << open.err;
  const bool opened = WaitFor([&] { return frame_title("00001.QRS") || program.Ended(); }, kStartWaitMs);
  std::string windows;
  for (const VirtualScreen::Window& window : screen.VisibleWindows()) windows += " [" + window.name + "]";
  EXPECT_TRUE(opened) << "the recording did not come up in the running program:" << windows;
  EXPECT_FALSE(program.Ended());
  const platform::ProcessResult run = program.Stop();
  EXPECT_TRUE(run.stopped) << run.err;
}

}  // namespace
}  // namespace apptest
