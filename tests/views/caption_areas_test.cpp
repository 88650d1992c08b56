#include "views/caption_areas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/time_formatter.h"
#include "platform/locale.h"

namespace {

struct Mark {
  int position;
  int labelled;
  std::string label;
  bool operator==(const Mark&) const = default;
};

void PrintTo(const Mark& m, std::ostream* out) {
  *out << "{" << m.position << ", " << m.labelled << ", \"" << m.label << "\"}";
}

std::vector<Mark> Marks(const TimeAxisSpan& span, int label_width, const platform::Locale& locale) {
  const TTimeFormatter times(locale);
  std::vector<Mark> marks;
  for (const TTimeAxisMark& m : BuildTimeAxisMarks(
           span, label_width, times, [](int seconds) { return "/" + std::to_string(seconds / 86400 + 1); }))
    marks.push_back({m.position, m.labelled, m.label});
  return marks;
}

// The labelled marks only, as (position, label).
std::vector<std::string> Labels(const std::vector<Mark>& marks) {
  std::vector<std::string> labels;
  for (const Mark& m : marks)
    if (m.labelled != 0) labels.push_back(m.label);
  return labels;
}

const platform::FixedLocale k24Hour(platform::FixedLocale::Kind::k24Hour);
const platform::FixedLocale k12Hour(platform::FixedLocale::Kind::k12Hour);

TEST(TimeAxisMarks, StartAt1035TicksAt1040And1050ThenLabels11) {
  // 3 hours on 675 pixels: 0.0625 pixels per second, truncated.
  const TimeAxisSpan span{675, 180, 0, 10, 35, false};
  const std::vector<Mark> marks = Marks(span, 20, k24Hour);
  ASSERT_GE(marks.size(), 4u);
  EXPECT_EQ(marks[0], (Mark{18, 0, ""}));      // 10:40
  EXPECT_EQ(marks[1], (Mark{56, 0, ""}));      // 10:50
  EXPECT_EQ(marks[2], (Mark{93, 1, "11/1"}));  // 11:00
  EXPECT_EQ(marks[3], (Mark{131, 0, ""}));     // 11:10
  EXPECT_EQ(Labels(marks), (std::vector<std::string>{"11/1", "12/1", "13/1"}));
  // Up to the last step before the span's end plus the start's phase (13:30).
  EXPECT_EQ(marks.back().position, 656);
}

TEST(TimeAxisMarks, LabelIntervalDoublesUntilLabelsFit) {
  struct Case {
    const char* name;
    int width;
    int label_width;
    std::vector<std::string> labels;
  };
  // 6 hours from 08:00 (the hour at the span's end is not marked): labels at 09 .. 13 when they
  // fit, every second or fourth hour when not.
  const std::vector<Case> cases = {
      {"wide: every hour", 600, 40, {"9/1", "10/1", "11/1", "12/1", "13/1"}},
      {"narrow: every second hour", 200, 40, {"9/1", "", "11/1", "", "13/1"}},
      {"narrower: every fourth hour", 100, 40, {"9/1", "", "", "", "13/1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Labels(Marks({c.width, 360, 0, 8, 0, false}, c.label_width, k24Hour)), c.labels);
  }
}

TEST(TimeAxisMarks, SpansLongerThanADayLabelFromTheFirstEvenHour) {
  // 48 hours from 08:20 at 20-minute steps; 09:00 is an hour mark without label, labels every 4
  // hours (8 with AM/PM) from 10:00.
  const TimeAxisSpan span{4000, 2880, 0, 8, 20, true};
  const std::vector<Mark> marks = Marks(span, 10, k24Hour);
  EXPECT_EQ(marks[0].position, 27) << "first step at 08:40";
  std::vector<std::string> labels = Labels(marks);
  labels.resize(6);
  EXPECT_EQ(labels, (std::vector<std::string>{"", "10/1", "", "", "", "14/1"}));
  std::vector<std::string> am_pm = Labels(Marks(span, 10, k12Hour));
  am_pm.resize(10);
  EXPECT_EQ(am_pm, (std::vector<std::string>{"", "10 AM/1", "", "", "", "", "", "", "", "6 PM/1"}));
}

TEST(TimeAxisMarks, NothingIsPlacedWithoutASpanOrWidth) {
  struct Case {
    const char* name;
    TimeAxisSpan span;
  };
  const Case cases[] = {
      {"empty span", {900, 0, 0, 10, 0, false}},
      {"zero width", {0, 180, 0, 10, 0, false}},
      {"negative width", {-5, 180, 0, 10, 0, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(Marks(c.span, 20, k24Hour).empty());
  }
  // One pixel still has its marks, all in column 0.
  for (const Mark& m : Marks({1, 180, 0, 10, 0, false}, 20, k24Hour)) EXPECT_EQ(m.position, 0);
}

TEST(TimeAxisMarks, ClockHoursBeyondADayWrapOntoTheDay) {
  // A span starting 25:35 after the recording's start day's midnight is labelled 2, not 26.
  EXPECT_EQ(Labels(Marks({900, 180, 0, 25, 35, false}, 20, k24Hour)),
            (std::vector<std::string>{"2/1", "3/1", "4/1"}));
  // 23 wraps to 0.
  EXPECT_EQ(Labels(Marks({900, 180, 0, 22, 30, false}, 20, k24Hour)),
            (std::vector<std::string>{"23/1", "0/1", "1/1"}));
}

}  // namespace
