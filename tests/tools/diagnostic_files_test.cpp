#include "tools/diagnostic_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/document_host.h"
#include "document/event_list.h"
#include "document/file_version.h"
#include "document/patient_data.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "platform/archive.h"
#include "tools/bin_export_fixture.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;

// The application's file-format version as the tool services set it.
class VersionHost : public document::DocumentHost {
 public:
  int GetFileFormatVersion() const override { return version; }
  int version = document::kCurrentFileVersion;
};

class DiagnosticFiles : public ToolDocTest {
 protected:
  void SetUp() override {
    ToolDocTest::SetUp();
    doc_->SetHost(&host_);
    services_.reset();
    tools::ToolServices services;
    services.set_file_format_version = [this](int version) {
      versions_set_.push_back(version);
      host_.version = version;
    };
    services_ = std::make_unique<tools::ScopedToolServices>(std::move(services));
  }
  void TearDown() override {
    doc_->SetHost(nullptr);
    ToolDocTest::TearDown();
  }

  static int32_t StoredVersion(const std::string& qrs) {
    const std::vector<uint8_t> bytes = ReadBytes(qrs);
    return bytes.size() >= 4 ? static_cast<int32_t>(platform::LoadLE32(bytes.data())) : -1;
  }

  VersionHost host_;
  std::vector<int> versions_set_;
};

TEST_F(DiagnosticFiles, DumpListsTheSampleStoreAndLeavesTheDocumentsListEmpty) {
  const std::string qrs = WriteSparseRecording("00031", 1440);
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  const std::string expected =
      "mDoc->mECGData->mStartTime:0\n"
      "mDoc->mECGData->mEndTime:0\n"
      "mDoc->mECGData->mSampleRate:125\n"
      "mDoc->mECGData->mWholeMinutes:1440\n";
  // Twice: each run empties what the one before wrote.
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    prompt_.ClearLog();
    tools::DumpDocument(*doc_);
    EXPECT_EQ(ReadText(data_ / "00031.KZC.lst"), expected);
    ASSERT_TRUE(fs::exists(data_ / "00031.QRS.lst"));
    EXPECT_EQ(fs::file_size(data_ / "00031.QRS.lst"), 0u);
    EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"Finished"});
  }
}

TEST_F(DiagnosticFiles, WithoutARecordingNothingIsWritten) {
  tools::DumpDocument(*doc_);
  tools::SaveOldFormat(*doc_);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Keine Datei geöffnet", "Keine Datei geöffnet"}));
  EXPECT_TRUE(versions_set_.empty());
  EXPECT_TRUE(fs::is_empty(data_));
}

TEST_F(DiagnosticFiles, OldFormatSaveWritesVersion25AndTheNextSave32) {
  const std::string qrs = WriteSparseRecording("00032", 3, {"Eva", "Roth"});
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  ASSERT_EQ(doc_->GetChannelCount(), 2);
  tools::SaveOldFormat(*doc_);
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"Finished"});
  EXPECT_EQ(versions_set_, (std::vector<int>{25, 32}));
  EXPECT_EQ(StoredVersion(qrs), 25);
  // Every member reads back in the old layout, and nothing is left over.
  const std::vector<uint8_t> bytes = ReadBytes(qrs);
  platform::ArchiveReader ar(bytes, "00032.QRS");
  TPatientData patient(clock_);
  TRecordingData recording(clock_);
  TQRSList beats;
  TEventList events;
  ASSERT_NO_THROW({
    patient.Load(ar);
    recording.Load(ar);
    beats.Load(ar);
    events.Load(ar);
  });
  EXPECT_TRUE(ar.AtEnd());
  EXPECT_EQ(patient.surname, "Roth");

  ASSERT_TRUE(doc_->DoFileSave());
  EXPECT_EQ(StoredVersion(qrs), 32);
}

TEST_F(DiagnosticFiles, AFailedOldFormatSaveStillReturnsTo32) {
  const std::string qrs = WriteSparseRecording("00033", 3);
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  const std::vector<uint8_t> before = ReadBytes(qrs);
  // The folder goes away under the open recording: the save cannot write its temp file.
  const fs::path moved = temp_->Path() / "moved";
  fs::rename(data_, moved);
  tools::SaveOldFormat(*doc_);
  EXPECT_EQ(versions_set_, (std::vector<int>{25, 32}));
  EXPECT_EQ(host_.version, 32);
  for (const std::string& text : MessagesAsked()) EXPECT_NE(text, "Finished");
  EXPECT_EQ(ReadBytes(moved / "00033.QRS"), before);
}

TEST_F(DiagnosticFiles, OnlyATwoChannelRecordingIsSavedInTheOldFormat) {
  const std::string qrs = WriteCmpRecording("00034", 3, 3);
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  doc_->SetChannelCount(3);
  const std::vector<uint8_t> before = ReadBytes(qrs);
  tools::SaveOldFormat(*doc_);
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"Channel != 2"});
  EXPECT_TRUE(versions_set_.empty());
  EXPECT_EQ(ReadBytes(qrs), before);
}

}  // namespace
}  // namespace toolstest
