#include "tools/rr_multi_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/recording_data.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "tools/bin_export.h"
#include "tools/bin_export_fixture.h"

namespace toolstest {
namespace {

namespace fs = std::filesystem;

// Labels of the classes that have one, as a language pack would give them.
constexpr platform::StringEntry kClassLabels[] = {
    {4200, "P"},
    {4201, "N"},
    {4205, "X"},
    {4209, "S"},
    {4215, "V"},
    {4229, "PB"},
    // Classes without a label in the file still have a name elsewhere.
    {4204, "LO"},
    {4223, "RonT"},
};

class RRMultiExport : public ToolDocTest {
 protected:
  void SetUp() override {
    ToolDocTest::SetUp();
    platform::Resources().ExePack().AddStrings(kClassLabels);
    tools::AddRRMultiExportResources(platform::Resources().ExePack());
  }

  // A ".QRS" with these beats (no sample file: the export does not need one).
  std::string Recording(const std::string& base, const std::vector<Beat>& beats) {
    return WriteQrs(base, {"Eva", "Roth"}, {2004, 5, 3, 8, 30, 5, 0}, beats);
  }
};

TEST(RRFileNames, LastThreeCharactersBecomeRR) {
  EXPECT_EQ(tools::RRFilePath("/data/00017.QRS"), "/data/00017.RR");
  EXPECT_EQ(tools::RRShownName("/data/00017.QRS"), "00017.RR");
}

TEST(RRIntervalText, StartLineThenOneLinePerBeatPair) {
  platform::Resources().ExePack().AddStrings(kClassLabels);
  const platform::ManualClock clock;
  const platform::LocalDateTime start{2004, 5, 3, 8, 30, 5, 0};
  const TRecordingData recording(0, document::OleDateOnly(start), document::OleTimeOnly(start), 0);
  struct Case {
    const char* name;
    std::vector<Beat> beats;
    std::string text;
  };
  const Case kCases[] = {
      {"normal and VES", {{100, 1}, {225, 15}, {350, 1}}, "08:30:05\n800\t1000\tN\n1800\t1000\tV\n"},
      {"labelled classes",
       {{0, 0}, {125, 5}, {250, 9}, {375, 29}, {500, 1}},
       "08:30:05\n0\t1000\tP\n1000\t1000\tX\n2000\t1000\tS\n3000\t1000\tPB\n"},
      {"classes without a label get a blank",
       {{10, 4}, {20, 23}, {30, 2}, {40, 1}},
       "08:30:05\n80\t80\t \n160\t80\t \n240\t80\t \n"},
      {"one beat", {{100, 1}}, ""},
      {"no beat", {}, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TQRSList beats;
    for (const Beat& beat : c.beats) beats.Append(TQRSComplex(beat.position, beat.beat_class, '!'));
    EXPECT_EQ(tools::RRIntervalText(recording, beats, {}), c.text);
  }
}

TEST(RRIntervalText, ProgressMovesByFifthsOfTheList) {
  const platform::ManualClock clock;
  const TRecordingData recording(clock);
  TQRSList beats;
  for (int i = 0; i < 100; ++i) beats.Append(TQRSComplex(i * 100, 1, '!'));
  std::vector<int> marks;
  (void)tools::RRIntervalText(recording, beats, [&marks](int percent) { marks.push_back(percent); });
  EXPECT_EQ(marks, (std::vector<int>{20, 40, 60, 80}));
}

TEST_F(RRMultiExport, EachRecordingGetsItsFileOrAnErrorLine) {
  const std::string first = Recording("00021", {{100, 1}, {225, 15}, {350, 1}});
  const std::string single = Recording("00022", {{100, 1}});
  const std::string kept = Recording("00023", {{100, 1}, {200, 1}});
  const std::string damaged = (data_ / "00024.QRS").string();
  testsupport::WriteText(damaged, "no recording at all");
  const std::string missing = (data_ / "00025.QRS").string();
  testsupport::WriteText(data_ / "00023.RR", "old");
  pick_ = {true, {first, single, kept, damaged, missing}};
  prompt_.QueueAnswer(win::kIdNo);  // overwrite all
  prompt_.QueueAnswer(win::kIdNo);  // 00023.RR
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{2, 1, 0});
  doc_->SetDisplayMode(DisplayMode::kEcgPage);

  tools::ExportRRMultiple(&main_, doc_.get());

  EXPECT_EQ(picker_title_, "Select Files to export RR distances");
  EXPECT_EQ(picker_kind_, tools::kPickRecordings);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Overwrite ALL .RR Files (if any exists already) ?",
                                                       "File 00023.RR already exists !\n\nOverwrite ?"}));
  EXPECT_EQ(result_caption_, "Results - Export multiple RR distances");
  EXPECT_EQ(result_lines_, (std::vector<std::string>{
                               "Exported - 00021.RR",
                               "Exported - 00022.RR",
                               "Did not overwrite file - 00023.RR",
                               "Error reading file - 00024.RR",
                               "Error opening file - 00025.RR",
                               " ",
                               "Exported : 2        Errors : 3",
                           }));
  EXPECT_EQ(ReadText(data_ / "00021.RR"), "08:30:05\n800\t1000\tN\n1800\t1000\tV\n");
  EXPECT_TRUE(fs::exists(data_ / "00022.RR"));
  EXPECT_EQ(fs::file_size(data_ / "00022.RR"), 0u);
  EXPECT_EQ(ReadText(data_ / "00023.RR"), "old");
  EXPECT_FALSE(fs::exists(data_ / "00024.RR"));
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  EXPECT_TRUE(main_.IsWindowEnabled());
}

TEST_F(RRMultiExport, ReadingARecordingLeavesTheChannelSetsAlone) {
  // The recording's patient record stores channels 0 and 1.
  const std::string qrs = Recording("00026", {{100, 1}, {200, 1}});
  pick_ = {true, {qrs}};
  prompt_.QueueAnswer(win::kIdYes);
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{2});
  const document::ChannelSet chosen = document::Context().g_DisplayChannels;
  tools::ExportRRMultiple(&main_, doc_.get());
  ASSERT_EQ(result_lines_.front(), "Exported - 00026.RR");
  EXPECT_EQ(document::Context().g_DisplayChannels, chosen);
}

TEST_F(RRMultiExport, NothingChosenOrCancelledGivesTheFixedLines) {
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
    tools::ExportRRMultiple(&main_, doc_.get());
    EXPECT_EQ(result_lines_, c.lines);
    EXPECT_TRUE(MessagesAsked().empty());
  }
}

}  // namespace
}  // namespace toolstest
