#include "core/zk470_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/io_error.h"
#include "platform/process_context.h"

namespace {

TEST(CZK470App, GDTModeFromWholeCommandLine) {
  struct Case {
    const char* command_line;
    int want;
    const char* left;
  };
  constexpr Case kCases[] = {
      {"/G:GDT/ZK470S", 1, "/G:GDT/ZK470S"},
      {"/g:gdt/zk470s", 1, "/g:gdt/zk470s"},
      {"/G:GDT/ZK470C", 2, "/G:GDT/ZK470C"},
      {"/G:GDT/ZK470X", 0, ""},
      {"/G:", 0, ""},
      {"/home/anna/00012.QRS", 0, "/home/anna/00012.QRS"},
      {" /G:S", 0, " /G:S"},
      {"", 0, ""},
  };
  platform::MemoryProfileStore profile;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.command_line);
    CZK470App app(profile);
    app.SetCommandLine(std::string(c.command_line));
    EXPECT_EQ(app.GetGDTMode(), c.want);
    EXPECT_EQ(app.GetCommandLine(), c.left);
  }
}

class LanguageTest : public testing::Test {
 protected:
  void SetUp() override { platform::ResetProcessState(); }
  void TearDown() override { platform::ResetProcessState(); }

  // Every pack but the Swedish one is built in, so a chosen pack that is missing is covered too.
  CZK470App::LanguagePackSource Source() {
    return [this](std::string_view name) -> const platform::ResourcePack* {
      if (name == "ZK470Se") return nullptr;
      auto it = packs_.find(std::string(name));
      if (it == packs_.end()) it = packs_.emplace(std::string(name), std::make_unique<platform::ResourcePack>(std::string(name))).first;
      return it->second.get();
    };
  }

  std::map<std::string, std::unique_ptr<platform::ResourcePack>> packs_;
};

TEST_F(LanguageTest, PackChosenByProfileValue) {
  struct Case {
    const char* name;
    const char* stored;  // nullptr: no value
    const char* pack;    // nullptr: no pack
    const char* runtime_locale;
  };
  constexpr Case kCases[] = {
      {"missing value means English", nullptr, "ZK470Eng", ""},
      {"stored -1 counts as missing", "-1", "ZK470Eng", ""},
      {"German", "1", "ZK470Ger", ""},
      {"Spanish", "2", "ZK470Esp", ""},
      {"French", "3", "ZK470Fra", ""},
      {"Italian", "4", "ZK470Ita", ""},
      {"Portuguese", "5", "ZK470Por", ""},
      {"Russian switches the C locale", "6", "ZK470Rus", "rus"},
      {"Czech", "7", "ZK470Cz", ""},
      {"Polish", "8", "ZK470Pl", ""},
      {"Swedish pack not built in", "9", nullptr, ""},
      {"value outside the table", "12", nullptr, ""},
      {"negative value", "-2", nullptr, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::MemoryProfileStore profile;
    if (c.stored) profile.WriteString("Language", "Language", c.stored);
    CZK470App app(profile);
    app.SetLanguagePackSource(Source());
    EXPECT_EQ(app.LoadLanguageDll(), c.pack != nullptr);
    EXPECT_EQ(app.GetLanguagePackName(), c.pack ? c.pack : "");
    const platform::ResourcePack* loaded = platform::Resources().LanguagePack();
    EXPECT_EQ(loaded ? loaded->Name() : "", c.pack ? c.pack : "");
    EXPECT_EQ(app.SelectRuntimeLocale(), c.runtime_locale);
    if (!c.stored || std::string(c.stored) == "-1") {
      EXPECT_EQ(profile.GetInt("Language", "Language"), 0);
    }
  }
}

TEST_F(LanguageTest, ReloadReplacesPackAndSwitchFollowsIt) {
  platform::MemoryProfileStore profile;
  profile.WriteInt("Language", "Language", 1);
  CZK470App app(profile);
  app.SetLanguagePackSource(Source());
  ASSERT_TRUE(app.LoadLanguageDll());
  const platform::StringEntry german[] = {{16001, " Schl\xC3\xA4ge"}};
  packs_.at("ZK470Ger")->AddStrings(german);
  const platform::StringEntry own[] = {{16001, " beats"}};
  platform::Resources().ExePack().AddStrings(own);

  EXPECT_TRUE(app.UseLanguageResources());
  EXPECT_TRUE(app.IsUsingLanguageResources());
  EXPECT_EQ(platform::LoadString(16001), " Schl\xC3\xA4ge");
  EXPECT_TRUE(app.UseExeResources());
  EXPECT_FALSE(app.IsUsingLanguageResources());
  EXPECT_EQ(platform::LoadString(16001), " beats");

  // A value that names no pack frees the one loaded before.
  profile.WriteInt("Language", "Language", 12);
  EXPECT_FALSE(app.LoadLanguageDll());
  EXPECT_EQ(platform::Resources().LanguagePack(), nullptr);
  EXPECT_FALSE(app.UseLanguageResources());
  EXPECT_FALSE(app.IsUsingLanguageResources());
}

TEST(CZK470App, RecentFileListKeepsFourNewestInProfile) {
  platform::MemoryProfileStore profile;
  profile.WriteString("Recent File List", "File1", "/d/1.QRS");
  profile.WriteString("Recent File List", "File2", "");
  profile.WriteString("Recent File List", "File3", "/d/3.QRS");
  profile.WriteString("Recent File List", "File4", "/d/4.QRS");
  profile.WriteString("Recent File List", "File5", "/d/5.QRS");
  CZK470App app(profile);

  // Before the list exists nothing is kept.
  app.AddToRecentFileList("/d/x.QRS");
  EXPECT_EQ(app.GetRecentFileName(0), "");

  app.LoadStdProfileSettings();
  EXPECT_EQ(app.GetRecentFileName(0), "/d/1.QRS");
  EXPECT_EQ(app.GetRecentFileName(1), "/d/3.QRS");
  EXPECT_EQ(app.GetRecentFileName(2), "/d/4.QRS");
  EXPECT_EQ(app.GetRecentFileName(3), "");
  EXPECT_EQ(app.GetRecentFileName(-1), "");

  app.AddToRecentFileList("/d/a.QRS");
  app.AddToRecentFileList("/d/b.QRS");  // the list is full: the oldest, 4, drops out
  app.AddToRecentFileList("/d/3.QRS");  // already there: moves to the top, no second entry
  auto stored = [&](const char* key) { return profile.GetString("Recent File List", key).value_or("<none>"); };
  EXPECT_EQ(stored("File1"), "/d/3.QRS");
  EXPECT_EQ(stored("File2"), "/d/b.QRS");
  EXPECT_EQ(stored("File3"), "/d/a.QRS");
  EXPECT_EQ(stored("File4"), "/d/1.QRS");

  app.ReplaceFirstRecentFile("/e/renamed.QRS");
  EXPECT_EQ(app.GetRecentFileName(0), "/e/renamed.QRS");
  EXPECT_EQ(app.GetRecentFileName(1), "/d/b.QRS");

  app.RemoveRecentFile(1);
  app.RemoveRecentFile(7);
  EXPECT_EQ(stored("File2"), "/d/a.QRS");
  EXPECT_EQ(stored("File3"), "/d/1.QRS");
  EXPECT_EQ(stored("File4"), "<none>");  // a removed entry must not come back at the next start

  app.AddToRecentFileList("relative.QRS");
  EXPECT_EQ(app.GetRecentFileName(0), (std::filesystem::current_path() / "relative.QRS").string());

  CZK470App next_start(profile);
  next_start.LoadStdProfileSettings();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(next_start.GetRecentFileName(i), app.GetRecentFileName(i));
}

TEST(CZK470App, AnalysisLibraryVersionText) {
  struct Case {
    uint32_t version;
    const char* want;
  };
  constexpr Case kCases[] = {
      {0x01020304, "1.02.03.04"}, {0xABCDEF01, "a.bc.de.f01"}, {0x123456, "1.23.45.6"},
      // Short numbers get no point after their last digit.
      {0x1234, "1.23.4"}, {0x12345, "1.23.45"}, {0x5, "5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(CZK470App::FormatLibraryVersion(c.version), c.want);
  }

  platform::MemoryProfileStore profile;
  CZK470App app(profile);
  EXPECT_EQ(app.GetAnalysisLibraryVersionText(), "-         ");
  app.ReadAnalysisLibraryVersion([] { return 0x01020304u; });
  EXPECT_EQ(app.GetAnalysisLibraryVersionText(), "1.02.03.04");
  app.ReadAnalysisLibraryVersion([]() -> uint32_t { throw platform::IoError("libVRA.so", "cannot load"); });
  EXPECT_EQ(app.GetAnalysisLibraryVersionText(), "-         ");
  app.ReadAnalysisLibraryVersion(nullptr);
  EXPECT_EQ(app.GetAnalysisLibraryVersionText(), "-         ");
}

}  // namespace
