#include "document/settings_store.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/profile_keys.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

namespace {

using K = SettingKey;

SettingsDefaults TestDefaults() { return {.home = "/home/tester", .user_name = "Dr. Test"}; }

// Texts whose default depends on the home folder and the language pack, written out by hand.
const std::map<SettingKey, std::string>& ResolvedTextDefaults() {
  static const std::map<SettingKey, std::string> kDefaults = {
      {K::kDirData, "/home/tester/ZK-470/Data"},
      {K::kDirMain, "/home/tester/ZK-470"},
      {K::kDirExport, "/home/tester/"},
      {K::kDirExport24H, "/home/tester/ZK-490/24HData"},
      {K::kDirGDT, "/home/tester/"},
      {K::kDirSDCard, "/home/tester/"},
      {K::kUserName, "Dr. Test"},
  };
  return kDefaults;
}

// The default as the profile holds it under TestDefaults().
std::string ExpectedStored(const ProfileKey& key) {
  if (key.kind == SettingKind::kInt) return std::to_string(key.default_int);
  if (key.text_default == TextDefault::kAsWritten) return key.default_text;
  const auto it = ResolvedTextDefaults().find(key.key);
  EXPECT_NE(it, ResolvedTextDefaults().end()) << key.section << "/" << key.name;
  return it == ResolvedTextDefaults().end() ? std::string() : it->second;
}

std::string Stored(const platform::ProfileStore& profile, const ProfileKey& key) {
  return profile.GetString(key.section, key.name).value_or("<missing>");
}

std::size_t CountValues(const platform::MemoryProfileStore& profile) {
  std::size_t count = 0;
  for (const auto& [section, keys] : profile.Values()) count += keys.size();
  return count;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Every key in the profile holds its default, and nothing else is there.
void ExpectProfileHoldsEveryDefault(const platform::MemoryProfileStore& profile) {
  for (const ProfileKey& key : ProfileKeys()) {
    SCOPED_TRACE(std::string(key.section) + "/" + key.name);
    EXPECT_EQ(Stored(profile, key), ExpectedStored(key));
  }
  EXPECT_EQ(CountValues(profile), kSettingKeyCount);
}

void ExpectStoreHoldsEveryDefault(const SettingsStore& store) {
  for (const ProfileKey& key : ProfileKeys()) {
    SCOPED_TRACE(std::string(key.section) + "/" + key.name);
    if (key.key == K::kAnalyzePauseA) continue;  // holds the pause index, checked on its own
    if (key.kind == SettingKind::kInt) {
      EXPECT_EQ(std::to_string(store.Int(key.key)), ExpectedStored(key));
    } else {
      EXPECT_EQ(store.Text(key.key), ExpectedStored(key));
    }
  }
}

TEST(ProfileKeys, TableHasOneRowPerKeyWithoutClashes) {
  ASSERT_EQ(ProfileKeys().size(), kSettingKeyCount);
  // The profile compares names ignoring case, so two rows must differ in more than case.
  std::set<std::pair<std::string, std::string>> seen;
  for (const ProfileKey& key : ProfileKeys()) {
    SCOPED_TRACE(std::string(key.section) + "/" + key.name);
    EXPECT_TRUE(seen.insert({Lower(key.section), Lower(key.name)}).second) << "duplicate";
    EXPECT_NE(std::string(key.meaning), "");
    if (key.kind == SettingKind::kText) {
      ASSERT_NE(key.default_text, nullptr);
      EXPECT_EQ(key.text_default == TextDefault::kUnderHome, std::string(key.default_text).starts_with("~/"));
    } else {
      EXPECT_EQ(key.default_text, nullptr);
      EXPECT_NE(key.default_int, -1) << "-1 marks a missing value";
    }
  }
}

TEST(ProfileKeys, HistoricSpellingsAreKept) {
  struct Case {
    SettingKey key;
    const char* section;
    const char* name;
  };
  const Case kCases[] = {
      {K::kAnalyzeSVAnalysisOn, "Analyze", "Abs.-Arrhythmia ON"},
      {K::kAnalyzeAbsArrhythmiaOn, "Analyze", "SVES ON"},
      {K::kSTUnit, "Analyze\\ST", "Unit"},
      {K::kFullDisclosureChannels, "Print\\Full_Dislcosure", "Channels"},
      {K::kSetupMarginsLeft, "Print\\Setup", "MarginsLeft"},
      {K::kColorArtefakt, "Colors", "Artefakt"},
      {K::kZK130AutoDelete, "ZK-130", "Auto Delete"},
      {K::kIOPortBaseAdr, "I/O-Port", "BaseAdr"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(GetProfileKey(c.key).section, c.section);
    EXPECT_STREQ(GetProfileKey(c.key).name, c.name);
  }
}

TEST(ProfileKeys, ColourKeysFollowTheBeatAndEventCodes) {
  const std::pair<int, std::optional<SettingKey>> kCases[] = {
      {0, K::kColorPaceMaker}, {1, K::kColorNormal},         {24, K::kColorArrhythmia},
      {31, K::kColorAtrialFlutter}, {32, std::nullopt},     {33, std::nullopt},
      {34, K::kColorBattOff},  {35, std::nullopt},          {37, std::nullopt},
      {38, K::kColorDebugS},   {39, std::nullopt},          {40, std::nullopt},
      {-1, std::nullopt},
  };
  for (const auto& [code, want] : kCases) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ColorKey(code), want);
  }
  const SettingsStore store(TestDefaults());
  EXPECT_EQ(store.Color(0), 5);
  EXPECT_EQ(store.Color(34), 9);
  EXPECT_EQ(store.Color(32), 3);
  EXPECT_EQ(store.Color(1000), 3);
}

TEST(SettingsStore, FreshProfileGetsEveryKeyWithItsDefault) {
  platform::MemoryProfileStore profile;
  SettingsStore store(TestDefaults());
  store.LoadSettings(profile);

  ExpectProfileHoldsEveryDefault(profile);
  ExpectStoreHoldsEveryDefault(store);
  EXPECT_EQ(store.Int(K::kAnalyzePauseA), 1);
  EXPECT_DOUBLE_EQ(store.GetPauseLimit(), 1.5);
  EXPECT_EQ(store.WorkDirectory(), "/home/tester/ZK-470/Data");

  // A second load finds every key and changes nothing.
  const auto before = profile.Values();
  SettingsStore again(TestDefaults());
  again.LoadSettings(profile);
  EXPECT_EQ(profile.Values(), before);
}

TEST(SettingsStore, MissingMarkersAndUnreadableValuesGetTheDefault) {
  struct Fill {
    const char* name;
    const char* int_text;
    const char* text;
  };
  const Fill kFills[] = {
      {"markers", "-1", "NULL"},
      {"no number in an integer key", "twelve", "NULL"},
  };
  for (const Fill& fill : kFills) {
    SCOPED_TRACE(fill.name);
    platform::MemoryProfileStore profile;
    for (const ProfileKey& key : ProfileKeys()) {
      profile.WriteString(key.section, key.name, key.kind == SettingKind::kInt ? fill.int_text : fill.text);
    }
    SettingsStore store(TestDefaults());
    store.LoadSettings(profile);
    ExpectProfileHoldsEveryDefault(profile);
    ExpectStoreHoldsEveryDefault(store);
    EXPECT_EQ(store.Int(K::kAnalyzePauseA), 1);
  }
}

// Gives every saved key a value other than its default, of every shape the profile must keep.
SettingsStore StoreWithEveryValueChanged() {
  // -1 and "NULL" cannot round-trip: they mean "missing".
  const int kInts[] = {0, 7, -5, 300, INT_MAX, INT_MIN, 1};
  const std::string kTexts[] = {"", "Praxis Dr. Müller\nHauptstraße 1", " blanks at the edges ",
                                "/srv/holter/Daten", "x=y;[z] \\server\\share \"q\""};
  SettingsStore store(TestDefaults());
  std::size_t n = 0;
  for (const ProfileKey& key : ProfileKeys()) {
    if (key.kind == SettingKind::kInt) {
      store.SetInt(key.key, kInts[n++ % std::size(kInts)]);
    } else {
      store.SetText(key.key, kTexts[n++ % std::size(kTexts)]);
    }
  }
  return store;
}

void ExpectSameSavedValues(const SettingsStore& read, const SettingsStore& written) {
  for (const ProfileKey& key : ProfileKeys()) {
    if (key.key == K::kAnalyzePause) continue;  // never saved
    SCOPED_TRACE(std::string(key.section) + "/" + key.name);
    if (key.kind == SettingKind::kInt) {
      EXPECT_EQ(read.Int(key.key), written.Int(key.key));
    } else {
      EXPECT_EQ(read.Text(key.key), written.Text(key.key));
    }
  }
}

TEST(SettingsStore, EveryValueRoundTripsThroughTheProfile) {
  const SettingsStore written = StoreWithEveryValueChanged();
  platform::MemoryProfileStore profile;
  written.SaveSettings(profile);

  SettingsStore read(TestDefaults());
  read.LoadSettings(profile);
  ExpectSameSavedValues(read, written);
  EXPECT_EQ(read.WorkDirectory(), read.Text(K::kDirData));
}

TEST(SettingsStore, EveryValueRoundTripsThroughTheProfileFile) {
  const testsupport::TempFolder dir("settings_store_ini");
  const std::filesystem::path path = dir.Path() / "ZK-470.ini";

  const SettingsStore written = StoreWithEveryValueChanged();
  {
    platform::IniProfileStore profile(path);
    profile.SetBatching(true);
    written.SaveSettings(profile);
  }
  platform::IniProfileStore profile(path);
  SettingsStore read(TestDefaults());
  read.LoadSettings(profile);
  ExpectSameSavedValues(read, written);
}

TEST(SettingsStore, PauseIndexComesFromTheOlderKeyWhenTheNewOneIsNotSet) {
  struct Case {
    const char* name;
    std::optional<int> pause_a;  // stored before the load
    std::optional<int> pause;
    int want_index;
    std::optional<int> want_pause_after_load;
  };
  const Case kCases[] = {
      {"fresh profile", std::nullopt, std::nullopt, 1, 99},
      {"only the older key", std::nullopt, 2, 4, 2},
      {"older key 0", 99, 0, 2, 0},
      {"new key wins", 3, 7, 3, 7},
      {"new key alone", 3, std::nullopt, 3, std::nullopt},
      {"new key marked missing", -1, 5, 7, 5},
      {"both not set", 99, 99, 1, 99},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    platform::MemoryProfileStore profile;
    if (c.pause_a) profile.WriteInt("Analyze", "PauseA", *c.pause_a);
    if (c.pause) profile.WriteInt("Analyze", "Pause", *c.pause);
    SettingsStore store(TestDefaults());
    store.LoadSettings(profile);
    EXPECT_EQ(store.Int(K::kAnalyzePauseA), c.want_index);
    EXPECT_DOUBLE_EQ(store.GetPauseLimit(), 1.0 + 0.5 * c.want_index);
    EXPECT_EQ(profile.GetInt("Analyze", "Pause"), c.want_pause_after_load);

    // Saving moves the index to the new key and leaves the older key as it was.
    store.SaveSettings(profile);
    EXPECT_EQ(profile.GetInt("Analyze", "PauseA"), c.want_index);
    EXPECT_EQ(profile.GetInt("Analyze", "Pause"), c.want_pause_after_load);
  }
}

TEST(SettingsStore, STUnitSurvivesSaveAndRestart) {
  platform::MemoryProfileStore profile;
  {
    SettingsStore store(TestDefaults());
    store.LoadSettings(profile);
    store.SetInt(K::kSTUnit, 2);
    store.SaveSettings(profile);
  }
  SettingsStore restarted(TestDefaults());
  restarted.LoadSettings(profile);
  EXPECT_EQ(restarted.Int(K::kSTUnit), 2);
  EXPECT_EQ(restarted.GetSTUnitValue(), 25);
  EXPECT_EQ(profile.GetInt("Analyze\\ST", "Unit"), 2);
  EXPECT_EQ(profile.GetInt("Analyze\\ST", "Beats Per Unit"), std::nullopt);
}

TEST(SettingsStore, LeftoverSaveKeyOfTheSTUnitIsIgnoredAndKept) {
  platform::MemoryProfileStore profile;
  profile.WriteInt("Analyze\\ST", "Unit", 1);
  profile.WriteInt("Analyze\\ST", "Beats Per Unit", 3);
  SettingsStore store(TestDefaults());
  store.LoadSettings(profile);
  EXPECT_EQ(store.Int(K::kSTUnit), 1);
  store.SaveSettings(profile);
  EXPECT_EQ(profile.GetInt("Analyze\\ST", "Unit"), 1);
  EXPECT_EQ(profile.GetInt("Analyze\\ST", "Beats Per Unit"), 3);
}

TEST(SettingsStore, SwappedAnalysisSwitchesKeepTheirKeys) {
  platform::MemoryProfileStore profile;
  SettingsStore store(TestDefaults());
  store.LoadSettings(profile);
  store.SetInt(K::kAnalyzeSVAnalysisOn, 0);
  store.SetInt(K::kAnalyzeAbsArrhythmiaOn, 1);
  store.SaveSettings(profile);
  EXPECT_EQ(profile.GetInt("Analyze", "Abs.-Arrhythmia ON"), 0);
  EXPECT_EQ(profile.GetInt("Analyze", "SVES ON"), 1);
}

TEST(SettingsStore, ReadOnlyStoreLeavesTheProfileAlone) {
  platform::MemoryProfileStore profile;
  profile.WriteInt("Analyze", "Bradycardia", 4);
  profile.WriteInt("Analyze", "Tachycardia", -1);
  profile.WriteString("Directories", "Data", "NULL");
  profile.WriteString("User", "OfficeAddress", "Klinik Nord");
  const auto before = profile.Values();

  SettingsStore store(TestDefaults(), ProfileAccess::kReadOnly);
  store.LoadSettings(profile);
  EXPECT_EQ(store.Int(K::kAnalyzeBradycardia), 4);
  EXPECT_EQ(store.Int(K::kAnalyzeTachycardia), 2);
  EXPECT_EQ(store.Int(K::kAnalyzePauseA), 1);
  EXPECT_EQ(store.Text(K::kDirData), "/home/tester/ZK-470/Data");
  EXPECT_EQ(store.Text(K::kUserOfficeAddress), "Klinik Nord");

  store.SetInt(K::kAnalyzeBradycardia, 0);
  store.SaveSettings(profile);
  EXPECT_EQ(profile.Values(), before);
}

TEST(SettingsStore, DefaultFoldersLieUnderTheHomeFolder) {
  for (const char* home : {"/home/tester", "/home/tester/"}) {
    SCOPED_TRACE(home);
    const SettingsStore store({.home = home, .user_name = "Dr. Test"});
    for (const auto& [key, want] : ResolvedTextDefaults()) {
      SCOPED_TRACE(GetProfileKey(key).name);
      EXPECT_EQ(store.Text(key), want);
      EXPECT_EQ(store.DefaultText(key), want);
    }
  }
  const SettingsStore root({.home = "/", .user_name = ""});
  EXPECT_EQ(root.Text(K::kDirData), "/ZK-470/Data");
  EXPECT_EQ(root.Text(K::kDirExport), "/");
}

TEST(SettingsStore, WorkDirectoryIsTheLoadedDataDirectory) {
  platform::MemoryProfileStore profile;
  profile.WriteString("Directories", "Data", "/srv/holter/data");
  SettingsStore store(TestDefaults());
  store.LoadSettings(profile);
  EXPECT_EQ(store.WorkDirectory(), "/srv/holter/data");
  store.SetWorkDirectory("/tmp/run");
  store.SaveSettings(profile);
  EXPECT_EQ(profile.GetString("Directories", "Data"), "/srv/holter/data");
}

using testsupport::ScopedEnv;

TEST(SettingsDefaults, HomeComesFromTheEnvironmentElseTheAccount) {
  {
    const ScopedEnv env("HOME", "/home/from-env");
    EXPECT_EQ(SettingsDefaults::DefaultHome(), "/home/from-env");
    EXPECT_EQ(SettingsDefaults().home, "/home/from-env");
  }
  for (const char* unset : {"", static_cast<const char*>(nullptr)}) {
    const ScopedEnv env("HOME", unset);
    const std::string home = SettingsDefaults::DefaultHome();
    EXPECT_FALSE(home.empty());
    EXPECT_EQ(home.front(), '/');
  }
}

TEST(SettingsStore, IndexConversions) {
  struct Case {
    const char* name;
    SettingKey key;
    int stored;
    std::function<double(const SettingsStore&)> get;
    double want;
  };
  const auto brady = [](const SettingsStore& s) { return s.GetBradycardiaLimit(); };
  const auto tachy = [](const SettingsStore& s) { return s.GetTachycardiaLimit(); };
  const auto sves = [](const SettingsStore& s) { return s.GetSVESPrematurityPercent(); };
  const auto arrhy = [](const SettingsStore& s) { return s.GetArrhythmiaPrematurityPercent(); };
  const auto pause = [](const SettingsStore& s) { return s.GetPauseLimit(); };
  const auto unit = [](const SettingsStore& s) { return s.GetSTUnitValue(); };
  const auto point = [](const SettingsStore& s) { return s.GetSTPointOffset(); };
  const auto point_value = [](const SettingsStore& s) { return s.GetSTPointValue(); };
  const auto average = [](const SettingsStore& s) { return s.GetHRAverageBeats(); };
  const auto trend = [](const SettingsStore& s) { return s.GetHRTrendAverage(); };
  const Case kCases[] = {
      {"bradycardia default", K::kAnalyzeBradycardia, 2, brady, 40},
      {"bradycardia huge", K::kAnalyzeBradycardia, INT_MAX, brady, INT_MAX},
      {"tachycardia default", K::kAnalyzeTachycardia, 2, tachy, 100},
      {"tachycardia very negative", K::kAnalyzeTachycardia, INT_MIN, tachy, INT_MIN},
      {"SVES prematurity default", K::kAnalyzeSVESPrematurity, 1, sves, 20},
      {"arrhythmia prematurity 0", K::kAnalyzeArrhyPrematurity, 0, arrhy, 15},
      {"pause 0", K::kAnalyzePauseA, 0, pause, 1.0},
      {"pause 4", K::kAnalyzePauseA, 4, pause, 3.0},
      {"ST unit default", K::kSTUnit, 0, unit, 15},
      {"ST unit 2", K::kSTUnit, 2, unit, 25},
      {"ST point first", K::kSTPoint, 0, point, 0.008},
      {"ST point default", K::kSTPoint, 5, point, 0.064},
      {"ST point last", K::kSTPoint, 9, point, 0.104},
      {"ST point past the list", K::kSTPoint, 10, point, 0.064},
      {"ST point negative", K::kSTPoint, -3, point, 0.064},
      {"ST point value default", K::kSTPoint, 5, point_value, 60},
      {"ST point value huge", K::kSTPoint, INT_MAX, point_value, INT_MAX},
      {"average first", K::kHeartrateTrendAverage, 0, average, 4},
      {"average default", K::kHeartrateTrendAverage, 1, average, 8},
      {"average last", K::kHeartrateTrendAverage, 6, average, 600},
      {"average past the table", K::kHeartrateTrendAverage, 7, average, 8},
      {"average negative", K::kHeartrateTrendAverage, -2, average, 8},
      {"trend 0", K::kHeartrateTrendMiddleAverage, 0, trend, 60},
      {"trend default", K::kHeartrateTrendMiddleAverage, 2, trend, 300},
      {"trend 3", K::kHeartrateTrendMiddleAverage, 3, trend, 600},
      {"trend past the table", K::kHeartrateTrendMiddleAverage, 4, trend, 300},
      {"trend huge", K::kHeartrateTrendMiddleAverage, INT_MAX, trend, 300},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SettingsStore store(TestDefaults());
    store.SetInt(c.key, c.stored);
    EXPECT_DOUBLE_EQ(c.get(store), c.want);
  }
}

TEST(SettingsStore, STLimitTakesTheKeyOfItsChannel) {
  SettingsStore store(TestDefaults());
  EXPECT_EQ(store.GetSTLimit(0), 20);
  store.SetInt(K::kSTLimit0, 0);
  store.SetInt(K::kSTLimit1, 1);
  store.SetInt(K::kSTLimit2, 3);
  const std::pair<int, int> kCases[] = {{0, 10}, {1, 15}, {2, 25}, {3, 10}, {-1, 10}};
  for (const auto& [channel, want] : kCases) {
    SCOPED_TRACE(channel);
    EXPECT_EQ(store.GetSTLimit(channel), want);
  }
}

// A profile whose disk is full: the write-back and the save must report it, not pass silently.
class FailingProfileStore : public platform::MemoryProfileStore {
 public:
  void Flush() override { throw platform::IoError("ZK-470.ini", "disk full"); }
};

TEST(SettingsStore, ProfileWriteFailuresReachTheCaller) {
  FailingProfileStore profile;
  SettingsStore store(TestDefaults());
  EXPECT_THROW(store.LoadSettings(profile), platform::IoError);
  EXPECT_THROW(store.SaveSettings(profile), platform::IoError);

  SettingsStore read_only(TestDefaults(), ProfileAccess::kReadOnly);
  EXPECT_NO_THROW(read_only.LoadSettings(profile));
  EXPECT_NO_THROW(read_only.SaveSettings(profile));
}

}  // namespace
