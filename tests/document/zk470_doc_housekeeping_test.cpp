#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "document/doc_test_support.h"
#include "platform/file_system.h"

namespace {

namespace fs = std::filesystem;
using doctest::DocFixture;
using doctest::WriteBytes;

class Housekeeping : public DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    data_ = temp_.Path() / "Data";
    fs::create_directories(data_);
    doc_->SetDataDirectory(data_.string());
  }

  static std::string Name(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%05d", number);
    return name;
  }

  // Recording `number` with its sample file, ".QRS" and backup; older numbers are older files.
  void MakeRecording(int number) {
    const std::string base = (data_ / Name(number)).string();
    for (const char* extension : {".CMP", ".QRS", ".BAK"}) WriteBytes(base + extension, {1, 2, 3});
    Age(base + ".CMP", number);
  }
  static void Age(const std::string& file, int number) {
    const auto time =
        fs::file_time_type::clock::now() - std::chrono::hours(1000) + std::chrono::minutes(number);
    fs::last_write_time(file, time);
  }

  bool Exists(int number, const char* extension) const {
    return fs::exists(data_ / (Name(number) + extension));
  }

  fs::path data_;
};

TEST_F(Housekeeping, DeletesTheOldestRecordingsBeyondTheNumberToKeep) {
  for (int n = 1; n <= 25; ++n) MakeRecording(n);
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 2);  // keep 20

  EXPECT_TRUE(doc_->AutoDeleteOldRecordings().empty());
  for (int n = 1; n <= 25; ++n) {
    SCOPED_TRACE(n);
    for (const char* extension : {".CMP", ".QRS", ".BAK"})
      EXPECT_EQ(Exists(n, extension), n > 5) << extension;
  }
  // Twenty are left: nothing more goes.
  EXPECT_TRUE(doc_->AutoDeleteOldRecordings().empty());
  EXPECT_TRUE(Exists(6, ".CMP"));
}

TEST_F(Housekeeping, NeverDeletesTheOpenRecording) {
  for (int n = 1; n <= 25; ++n) MakeRecording(n);
  // Recording 3, among the oldest, is open.
  const std::string base = (data_ / Name(3)).string();
  doctest::WriteRecording(clock_, base, doctest::RecordingContent{});
  Age(base + ".CMP", 3);
  ASSERT_TRUE(doc_->OnOpenDocument(base + ".QRS"));
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 2);

  EXPECT_TRUE(doc_->AutoDeleteOldRecordings().empty());
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(Exists(n, ".CMP"), n == 3 || n == 6) << n;
  EXPECT_TRUE(Exists(3, ".QRS"));
  EXPECT_TRUE(Exists(3, ".BAK"));
}

TEST_F(Housekeeping, NeverDeletesARecordingAnotherInstanceHolds) {
  for (int n = 1; n <= 25; ++n) MakeRecording(n);
  // Another instance shows recording 2: it holds the lock of its ".QRS".
  platform::FileLock other_instance;
  ASSERT_EQ(other_instance.Lock(data_ / (Name(2) + ".QRS")), platform::FileLock::Status::kLocked);
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 2);  // keep 20

  EXPECT_TRUE(doc_->AutoDeleteOldRecordings().empty());
  // The held one counts as kept: no sixth recording goes in its place.
  for (int n = 1; n <= 7; ++n) {
    SCOPED_TRACE(n);
    for (const char* extension : {".CMP", ".QRS", ".BAK"})
      EXPECT_EQ(Exists(n, extension), n == 2 || n > 5) << extension;
  }
  // Once the other instance lets go, the next run takes it.
  other_instance.Unlock();
  EXPECT_TRUE(doc_->AutoDeleteOldRecordings().empty());
  EXPECT_FALSE(Exists(2, ".CMP"));
  EXPECT_FALSE(Exists(2, ".QRS"));
  EXPECT_TRUE(Exists(6, ".CMP"));
}

TEST_F(Housekeeping, AFailedDeletionKeepsTheRecordingsOtherFilesAndIsReported) {
  for (int n = 1; n <= 8; ++n) MakeRecording(n);
  // A sample file that cannot be deleted: a folder of that name with something in it.
  fs::remove(data_ / (Name(2) + ".CMP"));
  fs::create_directories(data_ / (Name(2) + ".CMP") / "inside");
  Age((data_ / (Name(2) + ".CMP")).string(), 2);
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 0);  // keep 5
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteOn, 1);

  doc_->RunAutoDelete();
  EXPECT_FALSE(Exists(1, ".CMP"));
  EXPECT_FALSE(Exists(3, ".QRS"));
  EXPECT_TRUE(Exists(2, ".QRS"));
  EXPECT_TRUE(Exists(2, ".BAK"));
  EXPECT_TRUE(Exists(4, ".CMP"));
  ASSERT_EQ(host_.text_view_lines.size(), 1u);
  EXPECT_EQ(host_.text_view_lines[0].rfind((data_ / (Name(2) + ".CMP")).string() + "  <-", 0), 0u);
  EXPECT_EQ(host_.text_view_title, "Files that could not be deleted");
}

TEST_F(Housekeeping, SwitchedOffDeletesNothing) {
  for (int n = 1; n <= 25; ++n) MakeRecording(n);
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteOn, 0);
  doc_->RunAutoDelete();
  EXPECT_TRUE(Exists(1, ".CMP"));
}

TEST_F(Housekeeping, FreeDiskSpaceCheckReturnsWhatTheCallerActsOn) {
  EXPECT_TRUE(doc_->CheckFreeDiskSpace(20000000 / 1000000));
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(doc_->CheckFreeDiskSpace(std::numeric_limits<uint64_t>::max()));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("not enough free disk space"), std::string::npos);

  doc_->SetDataDirectory((temp_.Path() / "missing").string());
  EXPECT_FALSE(doc_->CheckFreeDiskSpace(1));
  doc_->SetDataDirectory("C:");
  EXPECT_TRUE(doc_->CheckFreeDiskSpace(std::numeric_limits<uint64_t>::max())) << "too short to test";
}

TEST(CZK470DocPaths, JoinPath) {
  struct Case {
    const char* folder;
    const char* name;
    const char* path;
  };
  const Case cases[] = {{"/data", "a.QRS", "/data/a.QRS"},
                        {"/data/", "a.QRS", "/data/a.QRS"},
                        {"C:\\Data\\", "a.QRS", "C:\\Data\\a.QRS"},
                        {"", "a.QRS", "a.QRS"}};
  for (const Case& c : cases) EXPECT_EQ(CZK470Doc::JoinPath(c.folder, c.name), c.path) << c.folder;
}

TEST_F(Housekeeping, WorkFiles) {
  doc_->SetWorkDirectory(data_.string());
  const std::string file = doc_->GetWorkFileName(0);
  ASSERT_FALSE(file.empty());
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::path(file).parent_path(), data_);
  EXPECT_EQ(fs::path(file).filename().string().rfind("QRS", 0), 0u);
  EXPECT_EQ(doc_->GetWorkFileName(6), file);
  EXPECT_EQ(doc_->GetWorkFileName(7), "");
  EXPECT_EQ(doc_->GetWorkFileName(12), "ERR");
  EXPECT_EQ(doc_->GetWorkFileName(-1), "ERR");

  doc_->DeleteWorkFile(6);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(doc_->GetWorkFileName(6), "");

  // The document deletes the work files still named when it goes.
  const std::string kept = doc_->GetWorkFileName(4);
  EXPECT_EQ(fs::path(kept).filename().string().rfind("EMF", 0), 0u);
  doc_->RemoveView(&view_);
  doc_.reset();
  EXPECT_FALSE(fs::exists(kept));
}

TEST_F(Housekeeping, ConstructorMakesTheFoldersAndStoresTheSettingsWhenItGoes) {
  EXPECT_TRUE(fs::is_directory(temp_.Path() / "ZK-470" / "Data"));
  EXPECT_TRUE(fs::is_directory(temp_.Path() / "ZK-490" / "24HData"));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), temp_.Path() / "ZK-470" / "Data"));
  doc_->GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 4);
  doc_->RemoveView(&view_);
  doc_.reset();
  EXPECT_EQ(profile_.GetInt("Auto Delete", "Files"), 4);
}

TEST_F(Housekeeping, DocumentWithoutUserInterfaceLeavesTheProfileAlone) {
  platform::MemoryProfileStore profile;
  SettingsDefaults defaults;
  defaults.home = (temp_.Path() / "other").string();
  {
    CZK470Doc quiet(CZK470Doc::NoUserInterface{}, profile, clock_, defaults);
    EXPECT_FALSE(quiet.HasUserInterface());
    quiet.GetSettings().SetInt(SettingKey::kAutoDeleteFiles, 4);
  }
  EXPECT_TRUE(profile.Values().empty());
  EXPECT_FALSE(fs::exists(temp_.Path() / "other"));
}

}  // namespace
