#include "platform/profile_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/io_error.h"
#include "support/scoped_env.h"
#include "test_dir.h"

namespace platform {
namespace {

using testing_support::CountEntries;
using testing_support::MakeTestDir;
using testing_support::ReadText;
using testing_support::WriteText;
using Values = std::map<std::string, std::map<std::string, std::string>>;

TEST(IniProfileStore, RoundTripKeepsEveryValueAndBackslashSections) {
  struct Entry {
    const char* section;
    const char* key;
    std::string value;
  };
  const Entry entries[] = {
      {"Print\\Setup", "Orientation", "1"},
      {"ECG\\AutoScroll", "Left", "-120"},
      {"Directories", "Data", "/home/doc/ZK-470/Data"},
      {"Directories", "Old", "C:\\ZK-470\\Data\\"},
      {"User", "OfficeAddress", "Dr. Müller\nHauptstraße 1\r\n8000 Zürich"},
      {"User", "Edges", "  leading and trailing  "},
      {"User", "Quoted", "\"already quoted\""},
      {"User", "Escapes", "back\\slash \\n tab\t"},
      {"User", "Empty", ""},
      {"User", "Equals", "a=b=c"},
      {"User", "Semicolon", ";not a comment"},
      {"Pacemaker", "PM1A", "PM Template 1A"},
  };
  const auto file = MakeTestDir() / "nested" / "ZK-470.ini";
  {
    IniProfileStore store(file);
    store.SetBatching(true);
    for (const Entry& e : entries) store.WriteString(e.section, e.key, e.value);
    store.WriteInt("Colors", "Normal", 7);
    store.Flush();
  }
  IniProfileStore loaded(file);
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(loaded.GetString(e.section, e.key), e.value);
  }
  EXPECT_EQ(loaded.GetInt("Colors", "Normal"), 7);
  const std::string text = ReadText(file);
  EXPECT_NE(text.find("[Print\\Setup]\nOrientation=1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Old=C:\\ZK-470\\Data\\\n"), std::string::npos) << text;
}

TEST(IniProfileStore, OddLinesAreIgnoredAndSoundOnesKept) {
  struct Case {
    const char* name;
    std::string text;
    Values want;
  };
  const Case cases[] = {
      {"empty file", "", {}},
      {"key before any section", "Lost=1\n[A]\nKept=2\n", {{"A", {{"Kept", "2"}}}}},
      {"comments and blank lines", "; note\n# note\n\n[A]\n  ; indented\nK=v\n", {{"A", {{"K", "v"}}}}},
      {"line without equals", "[A]\ngarbage line\nK=v\n", {{"A", {{"K", "v"}}}}},
      {"empty key", "[A]\n=orphan\nK=v\n", {{"A", {{"K", "v"}}}}},
      {"broken section drops its keys", "[A]\nK=1\n[Broken\nX=2\n[B]\nY=3\n",
       {{"A", {{"K", "1"}}}, {"B", {{"Y", "3"}}}}},
      {"empty section name", "[]\nX=1\n", {}},
      {"blanks around names and values", "  [ Print\\Setup ]  \n  Key  =  value  \n",
       {{"Print\\Setup", {{"Key", "value"}}}}},
      {"CRLF and byte-order mark", "\xEF\xBB\xBF[A]\r\nK=v\r\n", {{"A", {{"K", "v"}}}}},
      {"first of two equal keys wins", "[A]\nK=1\nk=2\n", {{"A", {{"K", "1"}}}}},
      {"sections differing in case merge", "[Colors]\nA=1\n[COLORS]\nB=2\n", {{"Colors", {{"A", "1"}, {"B", "2"}}}}},
      {"cp1252 text is converted", "[A]\nName=M\xFCller\n", {{"A", {{"Name", "Müller"}}}}},
      {"unterminated quote", "[A]\nK=\"abc\n", {{"A", {{"K", "abc"}}}}},
      {"no final newline", "[A]\nK=v", {{"A", {{"K", "v"}}}}},
      {"nul byte inside a value", std::string("[A]\nK=a\0b\n", 10), {{"A", {{"K", std::string("a\0b", 3)}}}}},
  };
  const auto dir = MakeTestDir();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file = dir / "p.ini";
    WriteText(file, c.text);
    IniProfileStore store(file);
    EXPECT_EQ(store.Values(), c.want);
    EXPECT_EQ(ReadText(file), c.text) << "loading must not rewrite the file";
  }
}

// A save changes the lines of the values it changed and nothing else: what a person wrote into
// the file (comments, notes, keys before the first section, a repeated key) stays as it stands.
TEST(IniProfileStore, SaveKeepsEveryLineThatIsNotAChangedValue) {
  const auto dir = MakeTestDir();
  const auto file = dir / "p.ini";
  WriteText(file,
            "; settings of the ward PC\r\nLoose=1\n[A]\nKeep=1\n# old value was 3\nChange=2\nGone=5\n"
            "note without equals\nkeep=9\n\n[B]\nX=1\n");
  IniProfileStore store(file);
  store.SetBatching(true);
  store.WriteInt("a", "change", 7);
  store.RemoveKey("A", "Gone");
  store.WriteString("A", "New", "n");
  store.WriteString("C", "Y", "2");
  store.SetBatching(false);
  EXPECT_EQ(ReadText(file),
            "; settings of the ward PC\r\nLoose=1\n[A]\nKeep=1\n# old value was 3\nChange=7\nNew=n\n"
            "note without equals\nkeep=9\n\n[B]\nX=1\n\n[C]\nY=2\n");
  EXPECT_EQ(IniProfileStore(file).Values(), (Values{{"A", {{"Change", "7"}, {"Keep", "1"}, {"New", "n"}}},
                                                    {"B", {{"X", "1"}}},
                                                    {"C", {{"Y", "2"}}}}));
}

// Many keys whose spelling differs from the first one's only in case: each is found in its own
// section (the reader must not compare every key with every other one).
TEST(IniProfileStore, LargeProfileReadsEveryKey) {
  const auto dir = MakeTestDir();
  const auto file = dir / "p.ini";
  std::string text = "[Keys]\n";
  constexpr int kKeys = 100000;
  for (int i = 0; i < kKeys; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "KEY7=other\n[keys]\nLate=1\n";
  WriteText(file, text);
  const IniProfileStore store(file);
  ASSERT_EQ(store.Values().size(), 1u);
  EXPECT_EQ(store.Values().at("Keys").size(), size_t{kKeys} + 1);
  EXPECT_EQ(store.GetInt("KEYS", "key99999"), 99999);
  EXPECT_EQ(store.GetString("Keys", "Key7"), "7");
  EXPECT_EQ(store.GetInt("Keys", "late"), 1);
}

TEST(ProfileStore, NamesMatchIgnoringCaseAndKeepTheFirstSpelling) {
  MemoryProfileStore store;
  store.WriteInt("Colors", "Normal", 3);
  EXPECT_EQ(store.GetInt("colors", "NORMAL"), 3);
  store.WriteInt("COLORS", "normal", 5);
  EXPECT_EQ(store.Values(), (Values{{"Colors", {{"Normal", "5"}}}}));
  store.WriteString("colors", "Ventricular", "x");
  EXPECT_EQ(store.Values().at("Colors").size(), 2u);
  store.RemoveKey("COLORS", "NORMAL");
  store.RemoveKey("Colors", "ventricular");
  EXPECT_TRUE(store.Values().empty());
  EXPECT_EQ(store.GetString("Colors", "Normal"), std::nullopt);
}

TEST(ProfileStore, GetIntReadsOnlyWholeDecimalNumbers) {
  struct Case {
    const char* text;
    std::optional<int> want;
  };
  const Case cases[] = {
      {"12", 12},          {"-1", -1},           {" 7 ", 7},        {"+5", 5},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt}, {"12abc", std::nullopt}, {"abc", std::nullopt},
      {"", std::nullopt},  {"0x10", std::nullopt}, {"1.5", std::nullopt}, {"+-1", std::nullopt},
  };
  MemoryProfileStore store;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    store.WriteString("S", "K", c.text);
    EXPECT_EQ(store.GetInt("S", "K"), c.want);
  }
  EXPECT_EQ(store.GetInt("S", "Missing"), std::nullopt);
  EXPECT_EQ(store.GetInt("Missing", "K"), std::nullopt);
}

TEST(IniProfileStore, MissingFileIsEmptyAndSavesLeaveNoTempFile) {
  const auto dir = MakeTestDir();
  const auto file = dir / "KESTROVA AG" / "ZK-470.ini";
  IniProfileStore store(file);
  EXPECT_TRUE(store.Values().empty());
  store.Flush();
  EXPECT_FALSE(std::filesystem::exists(file)) << "nothing written, nothing saved";

  store.WriteInt("Language", "Language", 1);  // saves at once: not batching
  EXPECT_FALSE(store.Dirty());
  EXPECT_EQ(ReadText(file), "[Language]\nLanguage=1\n");
  store.WriteString("Directories", "Data", "/data");
  EXPECT_EQ(CountEntries(file.parent_path()), 1u);
  EXPECT_EQ(IniProfileStore(file).GetString("Directories", "Data"), "/data");
}

TEST(IniProfileStore, BatchingSavesOnlyAtFlushOrAtTheEndOfTheBatch) {
  const auto file = MakeTestDir() / "p.ini";
  IniProfileStore store(file);
  store.SetBatching(true);
  store.WriteInt("A", "K", 1);
  store.RemoveKey("A", "Missing");
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(store.Dirty());
  store.SetBatching(false);
  EXPECT_EQ(ReadText(file), "[A]\nK=1\n");
  store.SetBatching(true);
  store.RemoveKey("A", "K");
  store.Flush();
  EXPECT_EQ(ReadText(file), "");
}

TEST(IniProfileStore, UnwritablePathThrowsOnFlushButNotOnWrite) {
  const auto dir = MakeTestDir();
  WriteText(dir / "blocker", "a file where the folder should be");
  IniProfileStore store(dir / "blocker" / "ZK-470.ini");
  EXPECT_NO_THROW(store.WriteInt("A", "K", 1));
  EXPECT_TRUE(store.Dirty());
  EXPECT_EQ(store.GetInt("A", "K"), 1);
  try {
    store.Flush();
    ADD_FAILURE() << "no error";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find("ZK-470.ini"), std::string::npos) << e.what();
  }
  EXPECT_EQ(CountEntries(dir), 1u);
}

TEST(IniProfileStore, ProfileThatIsNoFileIsAnError) {
  const auto dir = MakeTestDir();
  std::filesystem::create_directory(dir / "ZK-470.ini");
  EXPECT_THROW(IniProfileStore(dir / "ZK-470.ini"), IoError);
}

using testsupport::ScopedEnv;

TEST(IniProfileStore, DefaultPathFollowsTheEnvironment) {
  struct Case {
    const char* name;
    const char* profile;
    const char* xdg;
    std::string want;
  };
  const Case cases[] = {
      {"explicit profile wins", "/tmp/p.ini", "/xdg", "/tmp/p.ini"},
      {"empty profile is unset", "", "/xdg", "/xdg/KESTROVA AG/ZK-470.ini"},
      {"XDG config folder", nullptr, "/xdg", "/xdg/KESTROVA AG/ZK-470.ini"},
      {"relative XDG folder is ignored", nullptr, "rel", "/home/u/.config/KESTROVA AG/ZK-470.ini"},
      {"home folder", nullptr, nullptr, "/home/u/.config/KESTROVA AG/ZK-470.ini"},
  };
  ScopedEnv home("HOME", "/home/u");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnv profile("ZK470_PROFILE", c.profile);
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    EXPECT_EQ(IniProfileStore::DefaultPath(), std::filesystem::path(c.want));
  }
}

}  // namespace
}  // namespace platform
