// Where the program finds the files it ships, how they reach the main folder, and its registration
// with the user's desktop: only the user's folders, only what is missing, once.
#include "platform/installation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/io_error.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_support::MakeTestDir;
using testing_support::ReadText;

// The file with its folders.
void WriteText(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  testing_support::WriteText(file, text);
}

// A share folder as the build stages it and the install lays it out.
ProgramShare MakeShare(const fs::path& root) {
  const ProgramShare share{root};
  WriteText(share.Files() / "ZK470.let", "{\\rtf1 letter}");
  WriteText(share.Files() / "Main_Logo.bmp", "BM logo");
  WriteText(share.DesktopEntry(),
            "[Desktop Entry]\nType=Application\nName=ZK-470\nTryExec=zk470\nExec=zk470 %f\nIcon=zk470\n"
            "MimeType=application/x-zk470-document;\n");
  WriteText(share.MimePackage(), "<mime-info/>\n");
  WriteText(share.Icon(256), "PNG");
  return share;
}

TEST(ProgramShareTest, InstalledBesideTheExecutableElseTheBuildCopy) {
  const fs::path root = MakeTestDir();
  const fs::path prefix = root / "prefix";
  MakeShare(prefix / "share");
  const fs::path build_share = root / "build" / "share";
  MakeShare(build_share);

  const std::optional<ProgramShare> installed = FindProgramShare(prefix / "bin" / "zk470", build_share);
  ASSERT_TRUE(installed);
  EXPECT_EQ(installed->root, prefix / "share");

  const std::optional<ProgramShare> development =
      FindProgramShare(root / "build" / "src" / "app" / "zk470", build_share);
  ASSERT_TRUE(development);
  EXPECT_EQ(development->root, build_share);

  EXPECT_FALSE(FindProgramShare(root / "elsewhere" / "bin" / "zk470", root / "gone"));
  EXPECT_FALSE(FindProgramShare({}, {}));
}

TEST(ProgramShareTest, CopyMissingFilesKeepsTheClinicsOwn) {
  const fs::path root = MakeTestDir();
  const ProgramShare share = MakeShare(root / "share");
  const fs::path main_folder = root / "home" / "ZK-470";
  WriteText(main_folder / "Main_Logo.bmp", "the clinic's logo");

  EXPECT_EQ(CopyMissingFiles(share.Files(), main_folder), std::vector<std::string>{"ZK470.let"});
  EXPECT_EQ(ReadText(main_folder / "ZK470.let"), "{\\rtf1 letter}");
  EXPECT_EQ(ReadText(main_folder / "Main_Logo.bmp"), "the clinic's logo");
  EXPECT_TRUE(CopyMissingFiles(share.Files(), main_folder).empty());

  // A main folder that cannot be made is an error, not a silent start without templates.
  WriteText(root / "file", "x");
  EXPECT_THROW((void)CopyMissingFiles(share.Files(), root / "file" / "ZK-470"), IoError);
}

class DesktopRegistrationTest : public testing::Test {
 protected:
  DesktopRegistrationTest() : root_(MakeTestDir()), share_(MakeShare(root_ / "prefix" / "share")) {
    desktop_.data_home = root_ / "home" / ".local" / "share";
    desktop_.config_home = root_ / "home" / ".config";
    desktop_.data_dirs = {root_ / "system"};
    desktop_.update_mime_database = [this](const fs::path& folder) {
      updated_.push_back(folder);
      return true;
    };
  }

  fs::path UserEntry() const { return desktop_.data_home / "applications" / kDesktopEntryName; }
  fs::path UserType() const { return desktop_.data_home / "mime" / "packages" / kMimePackageName; }
  fs::path MimeApps() const { return desktop_.config_home / "mimeapps.list"; }

  fs::path root_;
  ProgramShare share_;
  UserDesktop desktop_;
  std::vector<fs::path> updated_;
};

TEST_F(DesktopRegistrationTest, FirstStartRegistersForTheUserAndTheSecondWritesNothing) {
  const fs::path program = root_ / "prefix" / "bin" / "zk470";
  const DesktopRegistration first = RegisterForUser(share_, program, desktop_);
  EXPECT_EQ(first.problem, "");
  EXPECT_EQ(first.written, (std::vector<std::string>{"file type", "desktop entry", "default application"}));

  EXPECT_EQ(ReadText(UserType()), "<mime-info/>\n");
  EXPECT_EQ(updated_, std::vector<fs::path>{desktop_.data_home / "mime"});
  // The entry starts this very program and shows its icon, wherever it was installed.
  const std::string entry = ReadText(UserEntry());
  EXPECT_NE(entry.find("\nExec=" + program.string() + " %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=" + share_.Icon(256).string() + "\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("TryExec"), std::string::npos) << entry;
  EXPECT_NE(entry.find("MimeType=application/x-zk470-document;"), std::string::npos) << entry;
  EXPECT_EQ(ReadText(MimeApps()), "[Default Applications]\napplication/x-zk470-document=zk470.desktop;\n");

  const DesktopRegistration second = RegisterForUser(share_, program, desktop_);
  EXPECT_TRUE(second.written.empty());
  EXPECT_EQ(second.problem, "");
  EXPECT_EQ(updated_.size(), 1u);
  EXPECT_FALSE(fs::exists(root_ / "system")) << "a system folder was written";
}

TEST_F(DesktopRegistrationTest, WhatASystemFolderHoldsIsNotCopiedForTheUser) {
  WriteText(root_ / "system" / "applications" / kDesktopEntryName, "[Desktop Entry]\n");
  WriteText(root_ / "system" / "mime" / "packages" / kMimePackageName, "<mime-info/>\n");

  const DesktopRegistration result = RegisterForUser(share_, "/usr/bin/zk470", desktop_);
  EXPECT_EQ(result.written, std::vector<std::string>{"default application"});
  EXPECT_FALSE(fs::exists(UserEntry()));
  EXPECT_FALSE(fs::exists(UserType()));
  EXPECT_TRUE(updated_.empty());
}

TEST_F(DesktopRegistrationTest, TheUsersMimeappsListKeepsItsChoicesAndOtherLines) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;  // empty: unchanged
  };
  const Case cases[] = {
      {"another program is the user's default",
       "[Default Applications]\napplication/x-zk470-document=other.desktop;\n", ""},
      {"defaults of other types and other sections stay",
       "[Added Associations]\ntext/plain=edit.desktop;\n\n[Default Applications]\ntext/html=web.desktop;\n\n"
       "[Removed Associations]\nimage/png=x.desktop;\n",
       "[Added Associations]\ntext/plain=edit.desktop;\n\n[Default Applications]\ntext/html=web.desktop;\n"
       "application/x-zk470-document=zk470.desktop;\n\n[Removed Associations]\nimage/png=x.desktop;\n"},
      {"no defaults section yet", "[Added Associations]\ntext/plain=edit.desktop;\n",
       "[Added Associations]\ntext/plain=edit.desktop;\n\n[Default Applications]\n"
       "application/x-zk470-document=zk470.desktop;\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(MimeApps(), c.before);
    (void)RegisterForUser(share_, "/opt/zk/bin/zk470", desktop_);
    EXPECT_EQ(ReadText(MimeApps()), c.after.empty() ? c.before : c.after);
  }
}

TEST_F(DesktopRegistrationTest, FailuresAreReportedAndTheRestIsStillRegistered) {
  fs::remove(share_.MimePackage());
  // The data home is a file: neither the type nor the entry can go there.
  desktop_.data_home = root_ / "home" / "data-file";
  WriteText(desktop_.data_home, "x");
  const DesktopRegistration result = RegisterForUser(share_, "/opt/zk/bin/zk470", desktop_);
  EXPECT_NE(result.problem.find(share_.MimePackage().string()), std::string::npos) << result.problem;
  EXPECT_NE(result.problem.find("data-file"), std::string::npos) << result.problem;
  EXPECT_EQ(result.written, std::vector<std::string>{"default application"});

  desktop_.data_home = root_ / "home" / ".local" / "share";
  desktop_.update_mime_database = [](const fs::path&) { return false; };
  WriteText(share_.MimePackage(), "<mime-info/>\n");
  EXPECT_NE(RegisterForUser(share_, "/opt/zk/bin/zk470", desktop_).problem.find("update-mime-database"),
            std::string::npos);
}

TEST(DesktopExecLineTest, QuotesWhatTheEntryFormatReserves) {
  const struct {
    const char* program;
    const char* want;
  } cases[] = {
      {"/usr/bin/zk470", "/usr/bin/zk470 %f"},
      {"/home/dr x/zk470", "\"/home/dr x/zk470\" %f"},
      {"/opt/a$b/zk\"470", "\"/opt/a\\\\$b/zk\\\\\"470\" %f"},
      {"/opt/a\\b/zk470", "\"/opt/a\\\\\\\\b/zk470\" %f"},
      {"/opt/100%/zk470", "/opt/100%%/zk470 %f"},
  };
  for (const auto& c : cases) EXPECT_EQ(DesktopExecLine(c.program), c.want) << c.program;
}

}  // namespace
}  // namespace platform
