#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "gfx/recording_canvas.h"
#include "reports/parts/print_full_disclosure.h"
#include "reports/report_parts_fixture.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

class FullDisclosureTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    AddFullDisclosureResources(platform::Resources().ExePack());
  }

  // Day modes and flagged half-hours of the recording record.
  void Select(std::array<int, 3> modes, std::vector<std::pair<int, int>> flagged = {}) {
    TRecordingData& recording = doc_->GetRecordingData();
    for (size_t d = 0; d < 3; ++d) {
      recording.fd_day_switches[d] = modes[d];
      recording.fd_half_hours[d].fill(0);
    }
    for (const auto& [day, half_hour] : flagged)
      recording.fd_half_hours[static_cast<size_t>(day)][static_cast<size_t>(half_hour)] = 1;
  }

  template <class Part>
  int Pages(Part& part) {
    part.SetCommand(TPrintFullDisclosure::kOwnCommand);
    return part.GetPageCount(info_);
  }
};

std::vector<std::string> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(text->text);
  return texts;
}

// Every compressed curve: a MoveTo followed by a PolylineTo.
std::vector<std::vector<gfx::Point>> CurvesOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::vector<gfx::Point>> curves;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* line = std::get_if<gfx::rec::PolylineTo>(&item)) curves.push_back(line->points);
  return curves;
}

bool IsTimeText(const std::string& text) { return text.size() == 8 && text[2] == ':' && text[5] == ':'; }

TEST_F(FullDisclosureTest, PagesFollowTheDaySelection) {
  struct Case {
    const char* name;
    int minutes;
    std::array<int, 3> modes;
    std::vector<std::pair<int, int>> flagged;
    int half_hour_pages;
    int hour_pages;
  };
  const Case kCases[] = {
      {"one day whole", 1440, {0, 0, 0}, {}, 48, 24},
      {"36 hours whole", 2160, {0, 0, 0}, {}, 48 + 24, 24 + 12},
      {"three days whole", 4320, {0, 0, 0}, {}, 144, 72},
      {"10 h 15 min whole", 615, {0, 0, 0}, {}, 21, 11},
      {"day 2 half-hour 3 only", 2160, {2, 1, 2}, {{1, 3}}, 1, 0},
      {"hour from its first half-hour", 2160, {2, 1, 2}, {{1, 2}, {1, 3}}, 2, 1},
      {"nothing of day 1", 1440, {2, 0, 0}, {}, 0, 0},
      {"flag past the end", 600, {1, 0, 0}, {{0, 2}, {0, 26}}, 1, 1},
      {"no whole minute", 0, {0, 0, 0}, {}, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetRawECGData()->SetWholeMinutes(c.minutes);
    Select(c.modes, c.flagged);
    TPrintFullDisclosure halves(0, doc_.get(), nullptr);
    TPrintFullDisclosureSingle hours(0, doc_.get(), nullptr);
    EXPECT_EQ(Pages(halves), c.half_hour_pages);
    EXPECT_EQ(Pages(hours), c.hour_pages);
  }
}

TEST_F(FullDisclosureTest, WholeDaysCoverEveryMinuteOnce) {
  struct Case {
    int minutes;
    bool single;
  };
  constexpr Case kCases[] = {{1440, false}, {1440, true}, {2160, false}, {2160, true}, {615, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.minutes << (c.single ? " single" : " both"));
    doc_->GetRawECGData()->SetWholeMinutes(c.minutes);
    Select({0, 0, 0});
    std::unique_ptr<TPrintFullDisclosure> part =
        c.single ? std::make_unique<TPrintFullDisclosureSingle>(0, doc_.get(), nullptr)
                 : std::make_unique<TPrintFullDisclosure>(0, doc_.get(), nullptr);
    const int rows = c.single ? 60 : 30;
    const int pages = Pages(*part);
    std::multiset<int> minutes;
    for (int page = 1; page <= pages; ++page) {
      const auto block = part->FindBlock(page);
      ASSERT_TRUE(block.has_value());
      const int first = part->BlockFirstMinute(*block);
      for (int r = 0; r < rows && first + r < c.minutes; ++r) minutes.insert(first + r);
    }
    EXPECT_FALSE(part->FindBlock(pages + 1).has_value());
    ASSERT_EQ(static_cast<int>(minutes.size()), c.minutes);
    for (int m = 0; m < c.minutes; ++m) EXPECT_EQ(minutes.count(m), 1u) << m;
  }
}

TEST_F(FullDisclosureTest, FlaggedHalfHourOfTheSecondDayStartsItsRows) {
  FillPatient();
  doc_->GetRawECGData()->SetWholeMinutes(2160);
  Select({2, 1, 2}, {{1, 3}});
  TPrintFullDisclosure part(0, doc_.get(), nullptr);
  ASSERT_EQ(Pages(part), 1);
  const auto block = part.FindBlock(1);
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(block->day, 1);
  EXPECT_EQ(block->index, 3);
  EXPECT_EQ(part.BlockFirstMinute(*block), 30 * (48 + 3));
  // The recording starts at 10:30 on 1 March: the fourth half-hour of day 2 begins at 12:00.
  EXPECT_EQ(part.BlockTitle(*block), "Full disclosure 12:00:00 - 12:29:00 (02.03.2026)");
}

// A 45-minute recording: the second page holds minutes 30 to 44 and nothing after its end.
TEST_F(FullDisclosureTest, LastPageRowsStopAtTheRecordingEnd) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(45));
  FillPatient();
  Select({0, 0, 0});
  struct Case {
    bool single;
    int channels;
    int pages;
    int rows;
    int curves_per_row;
    const char* legend;
  };
  constexpr Case kCases[] = {{false, 2, 2, 15, 2, "Channel 1+2"}, {true, 1, 1, 45, 1, "Channel 2"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.legend);
    doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, c.channels);
    std::unique_ptr<TPrintFullDisclosure> part =
        c.single ? std::make_unique<TPrintFullDisclosureSingle>(0, doc_.get(), nullptr)
                 : std::make_unique<TPrintFullDisclosure>(0, doc_.get(), nullptr);
    ASSERT_EQ(Pages(*part), c.pages);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    part->PrintPage(dc, info_, c.pages);
    std::vector<std::string> times;
    for (const std::string& text : TextsOf(dc))
      if (IsTimeText(text)) times.push_back(text);
    ASSERT_EQ(static_cast<int>(times.size()), c.rows);
    EXPECT_EQ(times.front(), c.single ? "10:30:00" : "11:00:00");
    EXPECT_EQ(times.back(), "11:14:00");
    EXPECT_EQ(static_cast<int>(CurvesOf(dc).size()), c.rows * c.curves_per_row);
    const std::vector<std::string> texts = TextsOf(dc);
    EXPECT_NE(std::find(texts.begin(), texts.end(), c.legend), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "1.5mm/mV  2.9mm/s"), texts.end());
  }
}

TEST_F(FullDisclosureTest, SecondChannelAloneLiesOnTheRowMiddle) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(45));
  Select({0, 0, 0});
  doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, 1);
  TPrintFullDisclosureSingle part(0, doc_.get(), nullptr);
  ASSERT_EQ(Pages(part), 1);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part.PrintPage(dc, info_, 1);
  const std::vector<std::vector<gfx::Point>> curves = CurvesOf(dc);
  ASSERT_EQ(curves.size(), 45u);
  for (size_t r = 0; r < curves.size(); ++r) {
    const int row_top =
        part.YToPage(TPrintFullDisclosure::kFirstRowY + static_cast<int>(r) * part.RowHeight());
    const int middle = row_top - part.RowHeight() / 2;
    std::vector<int> ys;
    for (const gfx::Point& p : curves[r]) ys.push_back(p.y);
    std::nth_element(ys.begin(), ys.begin() + static_cast<long>(ys.size() / 2), ys.end());
    // Between the beats the curve rests on its baseline, the row's middle line; the two-channel
    // baseline of the second channel would lie 0.45 mm lower.
    EXPECT_NEAR(ys[ys.size() / 2], middle, 20) << r;
  }
}

TEST_F(FullDisclosureTest, PositionPageStartsFifteenMinutesBefore) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(45));
  FillPatient();
  struct Case {
    int32_t position_ms;
    int64_t first_sample;
    int rows;
    const char* first_time;
  };
  constexpr Case kCases[] = {{10 * 60000, 0, 30, "10:30:00"},
                             {15 * 60000 + 8, 1, 30, "10:30:00"},
                             {40 * 60000, 25 * 7500, 20, "10:55:00"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position_ms);
    doc_->SetCurrentPosition(c.position_ms);
    TPrintFullDisclosureAtPosition part(0, doc_.get(), nullptr);
    part.SetCommand(TPrintFullDisclosure::kOwnCommand);
    EXPECT_EQ(part.GetPageCount(info_), 0);
    part.SetCommand(TPrintFullDisclosureAtPosition::kOwnCommand);
    ASSERT_EQ(part.GetPageCount(info_), 1);
    EXPECT_EQ(part.FirstSample(), c.first_sample);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    part.PrintPage(dc, info_, 1);
    std::vector<std::string> times;
    for (const std::string& text : TextsOf(dc))
      if (IsTimeText(text)) times.push_back(text);
    ASSERT_EQ(static_cast<int>(times.size()), c.rows);
    EXPECT_EQ(times.front(), c.first_time);
    EXPECT_EQ(static_cast<int>(CurvesOf(dc).size()), 2 * c.rows);
    const std::vector<std::string> texts = TextsOf(dc);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Full disclosure:"), texts.end());
  }
}

TEST_F(FullDisclosureTest, WholeReportNeedsTheFullSwitch) {
  doc_->GetRawECGData()->SetWholeMinutes(60);
  Select({0, 0, 0});
  TPrintFullDisclosure part(0, doc_.get(), nullptr);
  part.SetCommand(TPrinter::kWholeReportCommand);
  EXPECT_EQ(part.GetPageCount(info_), 0);
  doc_->GetSettings().SetInt(SettingKey::kPrintFull, 1);
  EXPECT_EQ(part.GetPageCount(info_), 2);
}

}  // namespace
