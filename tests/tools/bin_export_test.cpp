#include "tools/bin_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/patient_data.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "tools/bin_export_fixture.h"
#include "win/messages.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;

constexpr int kFrameSamples = 7500;

struct BinHeader {
  int minutes, rate, channels, unit;
};

BinHeader HeaderOf(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 8) return {-1, -1, -1, -1};
  return {platform::LoadLE16(bytes.data()), platform::LoadLE16(bytes.data() + 2),
          platform::LoadLE16(bytes.data() + 4), platform::LoadLE16(bytes.data() + 6)};
}

TEST(BinFileName, NamesOnlyWhenGivenAndNothingThatMakesAPath) {
  struct Case {
    const char* first;
    const char* last;
    const char* expected;
  };
  const Case kCases[] = {
      {"", "", "03-05-2004 09-15 ----- .BIN"},
      {"Eva", "Roth", "Roth Eva 03-05-2004 09-15 ----- .BIN"},
      {"", "Roth", "Roth 03-05-2004 09-15 ----- .BIN"},
      {"A.", "../../etc", "------etc A- 03-05-2004 09-15 ----- .BIN"},
      {"Tab\there", "New\nLine", "New-Line Tab-here 03-05-2004 09-15 ----- .BIN"},
  };
  const platform::ManualClock clock;
  const platform::LocalDateTime start{2004, 5, 3, 9, 15, 0, 0};
  const TRecordingData recording(0, document::OleDateOnly(start), document::OleTimeOnly(start), 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.expected);
    TPatientData patient(clock);
    patient.first_name = c.first;
    patient.surname = c.last;
    EXPECT_EQ(tools::BinFileName(patient, recording), c.expected);
  }
}

class BinExport : public ToolDocTest {};

TEST_F(BinExport, ADayOfTwoChannelsFillsHeaderAndEveryFrame) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteSparseRecording("00001", 1440)));
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 1});
  const fs::path path = data_ / "day.BIN";
  int calls = 0;
  const tools::BinWriteResult result =
      tools::WriteBinFile(*doc_, path.string(), [&calls](int minute, int minutes) {
        EXPECT_EQ(minute, calls);
        EXPECT_EQ(minutes, 1440);
        ++calls;
        return true;
      });
  EXPECT_EQ(result.minutes_written, 1440);
  EXPECT_FALSE(result.cancelled);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(calls, 1440);
  EXPECT_EQ(fs::file_size(path), 8u + 1440u * 7500u * 4u);
  std::vector<uint8_t> head(8);
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(head.data()), 8);
  const BinHeader header = HeaderOf(head);
  EXPECT_EQ(header.minutes, 1440);
  EXPECT_EQ(header.rate, 125);
  EXPECT_EQ(header.channels, 2);
  EXPECT_EQ(header.unit, 5);
}

TEST_F(BinExport, FramesFollowTheOrderOfTheDisplayChannelSet) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteCmpRecording("00002", 3, 3)));
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{2, 0});
  TRawECGData& store = *doc_->GetRawECGData();
  const int minutes = store.GetWholeMinutes();
  ASSERT_GE(minutes, 2);
  const fs::path path = data_ / "order.BIN";
  ASSERT_EQ(tools::WriteBinFile(*doc_, path.string(), {}).minutes_written, minutes);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 8u + static_cast<size_t>(minutes) * kFrameSamples * 4u);
  EXPECT_EQ(HeaderOf(bytes).channels, 2);
  for (int minute = 0; minute < minutes; ++minute) {
    const auto first = store.GetChannelMinute(2, minute);
    const auto second = store.GetChannelMinute(0, minute);
    ASSERT_NE(first->samples, second->samples) << "the channels must differ for the order to show";
    for (int i = 0; i < kFrameSamples; ++i) {
      const size_t at = 8 + (static_cast<size_t>(minute) * kFrameSamples + static_cast<size_t>(i)) * 4;
      ASSERT_EQ(static_cast<int16_t>(platform::LoadLE16(bytes.data() + at)),
                first->samples[static_cast<size_t>(i)])
          << "minute " << minute << " frame " << i;
      ASSERT_EQ(static_cast<int16_t>(platform::LoadLE16(bytes.data() + at + 2)),
                second->samples[static_cast<size_t>(i)])
          << "minute " << minute << " frame " << i;
    }
  }
}

TEST_F(BinExport, ACancelledFileStatesTheMinutesItHolds) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteSparseRecording("00003", 30)));
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 1});
  const fs::path path = data_ / "cut.BIN";
  const tools::BinWriteResult result =
      tools::WriteBinFile(*doc_, path.string(), [](int minute, int) { return minute < 2; });
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.minutes_written, 3);
  const std::vector<uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(bytes.size(), 8u + 3u * kFrameSamples * 4u);
  EXPECT_EQ(HeaderOf(bytes).minutes, 3);
}

TEST_F(BinExport, AFileThatCannotBeCreatedThrowsAndWritesNothing) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteSparseRecording("00004", 2)));
  const fs::path path = data_ / "missing" / "x.BIN";
  EXPECT_THROW((void)tools::WriteBinFile(*doc_, path.string(), {}), platform::IoError);
  EXPECT_FALSE(fs::exists(path.parent_path()));
}

TEST_F(BinExport, SingleExportWritesBesideTheRecordingsAndAsksBeforeOverwriting) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteSparseRecording("00005", 2, {"Eva", "Roth"})));
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{1});
  const fs::path bin = data_ / "Roth Eva 03-05-2004 09-15 ----- .BIN";
  struct Case {
    const char* name;
    bool exists;
    int answer;  // 0: no question
    bool written;
  };
  const Case kCases[] = {
      {"new file", false, 0, true},
      {"existing, overwrite", true, win::kIdYes, true},
      {"existing, keep", true, win::kIdNo, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove(bin);
    if (c.exists) testsupport::WriteText(bin, "old");
    prompt_.ClearLog();
    if (c.answer != 0) prompt_.QueueAnswer(c.answer);
    tools::ExportBin(&main_, *doc_);
    const std::vector<std::string> asked = MessagesAsked();
    if (c.answer != 0) {
      ASSERT_EQ(asked.size(), 1u);
      EXPECT_EQ(asked[0], "File Roth Eva 03-05-2004 09-15 ----- .BIN already exists !\n\nOverwrite ?");
    } else {
      EXPECT_TRUE(asked.empty());
    }
    EXPECT_EQ(fs::file_size(bin), c.written ? 8u + 2u * kFrameSamples * 2u : 3u);
    EXPECT_FALSE(platform::Resources().ExeResourcesChosen()) << "the language resources are current again";
    EXPECT_TRUE(main_.IsWindowEnabled());
  }
}

TEST_F(BinExport, SingleExportSaysWhenTheFileCannotBeCreated) {
  ASSERT_TRUE(doc_->OnOpenDocument(WriteSparseRecording("00006", 2)));
  const fs::path elsewhere = temp_->Path() / "gone";
  doc_->SetDataDirectory(elsewhere.string());
  tools::ExportBin(&main_, *doc_);
  const std::vector<std::string> asked = MessagesAsked();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].rfind("Error opening file - " + (elsewhere / "03-05-2004 09-15 ----- .BIN").string(), 0),
            0u)
      << asked[0];
}

class BinExportMultiple : public ToolDocTest {};

TEST_F(BinExportMultiple, ResultListTellsEachRecordingsOutcome) {
  const std::string good = WriteSparseRecording("00011", 2, {"Eva", "Roth"});
  const std::string kept = WriteSparseRecording("00012", 1, {"Max", "Berg"});
  const std::string broken = (data_ / "00013.QRS").string();
  testsupport::WriteText(broken, "no recording");
  testsupport::WriteText(data_ / "Berg Max 03-05-2004 09-15 ----- .BIN", "old");
  pick_ = {true, {good, broken, kept}};
  prompt_.QueueAnswer(win::kIdNo);  // overwrite all
  prompt_.QueueAnswer(win::kIdNo);  // the existing file of the third
  doc_->SetDisplayMode(DisplayMode::kEcgPage);

  tools::ExportBinMultiple(&main_, doc_.get());

  EXPECT_EQ(picker_title_, "Select Files to export to BIN Format");
  EXPECT_EQ(picker_folder_, data_.string());
  EXPECT_EQ(picker_kind_, tools::kPickRecordings);
  const std::vector<std::string> asked = MessagesAsked();
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ(asked.front(), "Overwrite ALL .BIN Files (if any exists already) ?");
  EXPECT_EQ(asked.back(), "File Berg Max 03-05-2004 09-15 ----- .BIN already exists !\n\nOverwrite ?");
  EXPECT_EQ(result_caption_, "Results - Export multiple recordings in BIN Format");
  EXPECT_TRUE(result_auto_scroll_);
  EXPECT_EQ(result_lines_, (std::vector<std::string>{
                               "Exported - Roth Eva 03-05-2004 09-15 ----- .BIN",
                               "Error opening file - " + broken,
                               "Did not overwrite file - Berg Max 03-05-2004 09-15 ----- .BIN",
                               " ",
                               "Exported : 1        Errors : 2",
                           }));
  EXPECT_EQ(fs::file_size(data_ / "Roth Eva 03-05-2004 09-15 ----- .BIN"), 8u + 2u * kFrameSamples * 4u);
  EXPECT_EQ(ReadText(data_ / "Berg Max 03-05-2004 09-15 ----- .BIN"), "old");
  EXPECT_TRUE(doc_->GetPathName().empty()) << "the run leaves the document reset";
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
}

TEST_F(BinExportMultiple, OverwriteAllAsksNoMore) {
  const std::string qrs = WriteSparseRecording("00014", 1);
  testsupport::WriteText(data_ / "03-05-2004 09-15 ----- .BIN", "old");
  pick_ = {true, {qrs}};
  prompt_.QueueAnswer(win::kIdYes);
  tools::ExportBinMultiple(&main_, doc_.get());
  EXPECT_EQ(MessagesAsked().size(), 1u);
  EXPECT_EQ(result_lines_.front(), "Exported - 03-05-2004 09-15 ----- .BIN");
  EXPECT_EQ(fs::file_size(data_ / "03-05-2004 09-15 ----- .BIN"), 8u + kFrameSamples * 4u);
}

// The program's document asks whether to finalize an analysed recording it closes, unless a batch
// runs: the run's own recordings close without a word.
TEST_F(BinExportMultiple, AnalysedRecordingsCloseWithoutAQuestion) {
  class BatchFlagHost : public document::DocumentHost {
   public:
    bool IsBatchRunning() const override { return running != 0; }
    int running = 0;
  } host;
  doc_->SetHost(&host);
  tools::ToolServices services = tools::GetToolServices();
  std::vector<int> flags;
  services.set_batch_running = [&](int running) {
    flags.push_back(running);
    host.running = running;
  };
  const tools::ScopedToolServices batch(std::move(services));
  const platform::LocalDateTime start{2004, 5, 3, 9, 15, 0, 0};
  const std::string first = WriteSparseRecording("00021", 1, {"Eva", "Roth"}, start, true);
  const std::string second = WriteSparseRecording("00022", 1, {"Max", "Berg"}, start, true);
  pick_ = {true, {first, second}};
  prompt_.QueueAnswer(win::kIdNo);

  tools::ExportBinMultiple(&main_, doc_.get());

  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"Overwrite ALL .BIN Files (if any exists already) ?"});
  EXPECT_EQ(flags, (std::vector<int>{1, 0}));
  EXPECT_EQ(result_lines_.back(), "Exported : 2        Errors : 0");
  EXPECT_TRUE(doc_->GetPathName().empty());
  doc_->SetHost(nullptr);
}

TEST_F(BinExportMultiple, NothingChosenOrCancelledGivesTheFixedLines) {
  struct Case {
    const char* name;
    tools::PickResult pick;
    std::vector<std::string> lines;
  };
  const Case kCases[] = {
      {"OK with none ticked",
       {true, {}},
       {"No Files were selected !", " ", "Exported : 0        Errors : 0"}},
      {"Cancel",
       {false, {}},
       {"Exporting was canceled !", "No Files were selected !", " ", "Exported : 0        Errors : 0"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    pick_ = c.pick;
    prompt_.ClearLog();
    tools::ExportBinMultiple(&main_, doc_.get());
    EXPECT_EQ(result_lines_, c.lines);
    EXPECT_TRUE(MessagesAsked().empty()) << "no overwrite-all question";
  }
}

TEST_F(BinExportMultiple, CancelInTheProgressWindowEndsTheRun) {
  const std::string first = WriteSparseRecording("00015", 5);
  const std::string second = WriteSparseRecording("00016", 5, {"Max", "Berg"});
  pick_ = {true, {first, second}};
  prompt_.QueueAnswer(win::kIdNo);
  // Esc reaches the progress window at its first look at the input.
  on_open_ = [](const std::string&) {
    platform::UiThreadQueue().PostTask([] { win::Windows().PressKey(win::kVkEscape); });
  };
  tools::ExportBinMultiple(&main_, doc_.get());
  EXPECT_EQ(opened_, std::vector<std::string>{first});
  EXPECT_EQ(result_lines_,
            (std::vector<std::string>{"Exporting was canceled !", " ", "Exported : 0        Errors : 0"}));
  const std::vector<uint8_t> bytes = ReadBytes(data_ / "03-05-2004 09-15 ----- .BIN");
  EXPECT_EQ(bytes.size(), 8u + kFrameSamples * 4u);
  EXPECT_EQ(HeaderOf(bytes).minutes, 1);
  EXPECT_TRUE(main_.IsWindowEnabled());
}

TEST_F(BinExportMultiple, AFileThatCannotBeCreatedIsAnErrorLine) {
  const std::string qrs = WriteSparseRecording("00018", 1);
  doc_->SetDataDirectory((temp_->Path() / "gone").string());
  pick_ = {true, {qrs}};
  prompt_.QueueAnswer(win::kIdNo);
  tools::ExportBinMultiple(&main_, doc_.get());
  EXPECT_EQ(result_lines_, (std::vector<std::string>{"Error opening file - 03-05-2004 09-15 ----- .BIN", " ",
                                                     "Exported : 0        Errors : 1"}));
}

TEST_F(BinExportMultiple, AStopOfTheBatchEndsTheRunBeforeTheNextFile) {
  const std::string qrs = WriteSparseRecording("00017", 1);
  pick_ = {true, {qrs}};
  prompt_.QueueAnswer(win::kIdNo);
  tools::ToolServices services = tools::GetToolServices();
  services.batch_file_result = [] { return 1; };
  const tools::ScopedToolServices stopped(std::move(services));
  tools::ExportBinMultiple(&main_, doc_.get());
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(result_lines_, (std::vector<std::string>{" ", "Exported : 0        Errors : 0"}));
}

}  // namespace
}  // namespace toolstest
