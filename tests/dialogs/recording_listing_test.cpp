#include "dialogs/recording_listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "dialogs/sound_test_support.h"
#include "platform/archive_attribute.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "platform/resources.h"

namespace {

using dialogs::RecordingFileKind;
using dialogs::RecordingListing;
using dialogs::RecordingRow;
using dialogs_test::WriteBytes;

// Sets the file's modification time to a local date and time; returns that time.
time_t SetLocalMTime(const std::filesystem::path& file, int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  const time_t when = std::mktime(&t);
  const timespec times[2] = {{when, 0}, {when, 0}};
  EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  return when;
}

TEST(SplitRecordingName, CutsExtensionAndFiveCharacterNumber) {
  struct Case {
    const char* file;
    const char* name;
    const char* number;
  };
  constexpr Case kCases[] = {
      {"NameV001-.QRS", "Name", "V001-"},
      {"Müller Hans 24-12-2026 10-15 0012-.qrs", "Müller Hans 24-12-2026 10-15 ", "0012-"},
      {"Name.QRS", "Name", ""},
      {"abcd-.QRS", "", "abcd-"},  // five characters before the extension
      {"abc-.QRS", "abc-", ""},    // four: too short for a number
      {"Jürg-.PDF", "", "Jürg-"},  // characters, not bytes
      {"report.PDF", "report", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const dialogs::RecordingNameParts parts = dialogs::SplitRecordingName(c.file);
    EXPECT_EQ(parts.name_part, c.name);
    EXPECT_EQ(parts.number_part, c.number);
  }
}

class RecordingListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    platform::Resources().ExePack().AddStrings(kStrings);
    dir_ = dialogs_test::MakeTestDir();
    for (const char* name : {"Zeta 0002-.QRS", "alpha V001-.qrs", "report.PDF", "import.kzt", "notes.txt", "Beta.QRS"})
      WriteBytes(dir_ / name, {1});
    std::filesystem::create_directory(dir_ / "folder.QRS");
    SetLocalMTime(dir_ / "Zeta 0002-.QRS", 2026, 12, 24, 13, 5, 9);
    SetLocalMTime(dir_ / "alpha V001-.qrs", 2025, 1, 2, 0, 0, 0);
    SetLocalMTime(dir_ / "report.PDF", 2024, 6, 30, 23, 59, 58);
    SetLocalMTime(dir_ / "import.kzt", 2024, 2, 29, 8, 0, 1);
    SetLocalMTime(dir_ / "Beta.QRS", 2023, 3, 4, 5, 6, 7);
    ASSERT_TRUE(platform::SetArchiveAttribute(dir_ / "report.PDF", false));
    ASSERT_TRUE(platform::SetArchiveAttribute(dir_ / "Beta.QRS", false));
  }
  void TearDown() override { platform::ResetProcessState(); }

  static constexpr platform::StringEntry kStrings[] = {{15100, "F"}, {15101, "A"}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::filesystem::path dir_;
};

TEST_F(RecordingListingTest, ListsRecordingsThenPdfsThenKztFilesWithTheirColumns) {
  RecordingListing listing(locale_);
  const std::vector<RecordingRow> rows = listing.Fill(dir_.string(), dialogs::kFilterAll);
  struct Want {
    RecordingFileKind kind;
    const char* name;
    const char* number;
    const char* finalized;
    const char* archived;
    const char* date;
    const char* file;
  };
  const Want want[] = {
      {RecordingFileKind::kRecording, "alpha ", "V001-", "F", "-", "02.01.2025", "alpha V001-.qrs"},
      {RecordingFileKind::kRecording, "Beta", "", "-", "A", "04.03.2023 05:06:07", "Beta.QRS"},
      {RecordingFileKind::kRecording, "Zeta ", "0002-", "-", "-", "24.12.2026 13:05:09", "Zeta 0002-.QRS"},
      {RecordingFileKind::kPdf, "report", "", "-", "A", "30.06.2024 23:59:58", "report.PDF"},
      {RecordingFileKind::kKzt, "import", "", "-", "-", "29.02.2024 08:00:01", "import.kzt"},
  };
  ASSERT_EQ(rows.size(), std::size(want));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(want[i].file);
    EXPECT_EQ(rows[i].kind, want[i].kind);
    EXPECT_EQ(rows[i].name_part, want[i].name);
    EXPECT_EQ(rows[i].number_part, want[i].number);
    EXPECT_EQ(rows[i].finalized_text, want[i].finalized);
    EXPECT_EQ(rows[i].archived_text, want[i].archived);
    EXPECT_EQ(rows[i].date_text, want[i].date);
    EXPECT_EQ(rows[i].path_index, static_cast<int>(i));
    EXPECT_EQ(listing.Paths().at(i), (dir_ / want[i].file).string());
  }
}

TEST_F(RecordingListingTest, EveryFilterOfTheComboBox) {
  struct Case {
    int filter;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {dialogs::kFilterAll, {"alpha ", "Beta", "Zeta ", "report", "import"}},
      {dialogs::kFilterFinalized, {"alpha "}},
      {dialogs::kFilterNotFinalized, {"Beta", "Zeta ", "report", "import"}},
      {dialogs::kFilterArchived, {"Beta", "report"}},
      {dialogs::kFilterNotArchived, {"alpha ", "Zeta ", "import"}},
      {5, {}},
      {-1, {}},
  };
  RecordingListing listing(locale_);
  size_t paths_before = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    std::vector<std::string> names;
    for (const RecordingRow& row : listing.Fill(dir_.string() + "/", c.filter)) {
      names.push_back(row.name_part);
      // Earlier fills keep their entries: a row points at its own.
      EXPECT_EQ(row.path_index, static_cast<int>(paths_before + names.size() - 1));
    }
    EXPECT_EQ(names, c.names);
    paths_before = listing.Paths().size();
  }
}

TEST_F(RecordingListingTest, FolderThatDoesNotExistListsNothing) {
  RecordingListing listing(locale_);
  EXPECT_TRUE(listing.Fill((dir_ / "missing").string(), dialogs::kFilterAll).empty());
  EXPECT_TRUE(listing.Paths().empty());
}

TEST(ArchiveAttribute, ClearedByArchivingSetAgainByAChange) {
  const std::filesystem::path dir = dialogs_test::MakeTestDir();
  for (const platform::ArchiveMarkPlace place :
       {platform::ArchiveMarkPlace::kAuto, platform::ArchiveMarkPlace::kMarkerFile}) {
    SCOPED_TRACE(place == platform::ArchiveMarkPlace::kAuto ? "extended attribute" : "marker file");
    const std::filesystem::path file = dir / "00001.QRS";
    WriteBytes(file, {1, 2, 3});
    SetLocalMTime(file, 2024, 1, 1, 10, 0, 0);
    EXPECT_TRUE(platform::HasArchiveAttribute(file, place));  // a new file was never archived
    ASSERT_TRUE(platform::SetArchiveAttribute(file, false, place));
    EXPECT_FALSE(platform::HasArchiveAttribute(file, place));
    // Writing the file sets the attribute again, as the platform did.
    SetLocalMTime(file, 2024, 1, 1, 10, 0, 1);
    EXPECT_TRUE(platform::HasArchiveAttribute(file, place));
    ASSERT_TRUE(platform::SetArchiveAttribute(file, false, place));
    ASSERT_TRUE(platform::SetArchiveAttribute(file, true, place));
    EXPECT_TRUE(platform::HasArchiveAttribute(file, place));
    // A file saved over it (a new file under the name) starts with the attribute set.
    ASSERT_TRUE(platform::SetArchiveAttribute(file, false, place));
    std::filesystem::remove(file);
    WriteBytes(file, {4});
    SetLocalMTime(file, 2024, 1, 1, 10, 0, 2);
    EXPECT_TRUE(platform::HasArchiveAttribute(file, place));
    std::filesystem::remove(file);
  }
  EXPECT_FALSE(platform::HasArchiveAttribute(dir / "missing.QRS"));
  EXPECT_FALSE(platform::SetArchiveAttribute(dir / "missing.QRS", false));
}

}  // namespace
