#include "reports/pdf/memory_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reports/pdf/pdf_test_support.h"
#include "reports/pdf/pdf_utils.h"

namespace {

using pdf_test::PdfTest;

TEST(tvk_MemoryStream, AppendKeepsATerminatingZeroAndGrowsByTheRule) {
  auto s = tvk_newStream();
  EXPECT_EQ(s->Capacity(), 256u);
  EXPECT_EQ(tvk_appendToStream(*s, "", 0), 0);
  EXPECT_EQ(s->Count(), 0u);
  EXPECT_EQ(s->Data()[0], 0);

  const std::string chunk(300, 'x');
  s->Append(chunk);
  EXPECT_EQ(s->Capacity(), 512u);
  EXPECT_EQ(s->Data()[300], 0);

  // Doubling up to 64 KiB, then steps of 64 KiB that widen to half the capacity.
  struct Step { size_t total; size_t capacity; };
  constexpr Step kSteps[] = {{65535, 65536},   {65536, 131072}, {131072, 196608},
                             {196608, 262144}, {262144, 393216}, {393216, 589824}};
  for (const Step& step : kSteps) {
    while (s->Count() < step.total) s->Append("y");
    SCOPED_TRACE(step.total);
    EXPECT_EQ(s->Capacity(), step.capacity);
    EXPECT_EQ(s->Data()[s->Count()], 0);
  }
  EXPECT_EQ(s->Text().substr(0, 300), chunk);
}

TEST(tvk_MemoryStream, ByteAndTextAppendsReportTheirLengths) {
  auto s = tvk_newStream();
  EXPECT_EQ(tvk_appendByte('A', *s), 1);
  EXPECT_EQ(tvk_appendText("bc", *s), 2u);
  const uint8_t* bytes = nullptr;
  size_t count = 0, capacity = 0;
  tvk_streamContents(*s, &bytes, &count, &capacity);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), count), "Abc");
  EXPECT_EQ(capacity, 256u);
  tvk_resetStream(s.get());
  EXPECT_EQ(s->Count(), 0u);
  tvk_resetStream(nullptr);
  tvk_freeStream(s);
  EXPECT_EQ(s, nullptr);
}

class StreamFileTest : public PdfTest {};

TEST_F(StreamFileTest, SaveReplacesTheFileOrLeavesTheOldOneOnFailure) {
  auto s = tvk_newStream();
  s->Append("%PDF new");
  const std::string target = pdf_test::WriteFile(Path("out.pdf"), "old");
  ASSERT_EQ(tvk_saveStreamToFile(*s, target), 0);
  std::ifstream in(target, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "%PDF new");

  const std::string missing_folder = (Path("no such folder") / "out.pdf").string();
  EXPECT_EQ(tvk_saveStreamToFile(*s, missing_folder), -1);
  EXPECT_TRUE(Reported("Cannot open output file: " + missing_folder));
  EXPECT_FALSE(std::filesystem::exists(missing_folder));
}

TEST(PdfUtilities, TimeStampOfTheClock) {
  const platform::ManualClock clock({2004, 3, 7, 9, 5, 1, 0});
  EXPECT_EQ(tvk_timeStamp(0, clock), "20040307090501");
  EXPECT_EQ(tvk_timeStamp(1, clock), "2004-03-07 09:05:01");
}

TEST(PdfUtilities, DaysBetweenCountsLeapYearsAndNormalises) {
  struct Case { const char* name; platform::LocalDateTime t1, t2; double days; };
  const Case kCases[] = {
      {"half a day over new year", {2003, 12, 31, 12, 0, 0, 0}, {2004, 1, 1, 0, 0, 0, 0}, 0.5},
      {"leap year 2004", {2004, 1, 1, 0, 0, 0, 0}, {2005, 1, 1, 0, 0, 0, 0}, 366},
      {"common year 2005", {2005, 1, 1, 0, 0, 0, 0}, {2006, 1, 1, 0, 0, 0, 0}, 365},
      {"minute 90 carries", {2004, 1, 1, 0, 0, 0, 0}, {2004, 1, 1, 0, 90, 0, 0}, 90.0 / 1440},
      {"backwards", {2004, 3, 1, 0, 0, 0, 0}, {2004, 2, 28, 0, 0, 0, 0}, -2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(tvk_daysBetween(c.t1, c.t2), c.days, 1e-9);
  }
}

TEST(PdfUtilities, LeapYears) {
  EXPECT_EQ(tvk_isLeapYear(1900), 0);
  EXPECT_EQ(tvk_isLeapYear(2000), 1);
  EXPECT_EQ(tvk_isLeapYear(2004), 1);
  EXPECT_EQ(tvk_isLeapYear(2003), 0);
}

TEST(PdfUtilities, ConcatMatrixMultipliesInPdfOrder) {
  tvk_Matrix m{1, 0, 0, 1, 10, 20};         // translate
  const tvk_Matrix n{2, 0, 0, 3, 1, 1};     // scale, then move
  tvk_concatMatrix(m, n);                   // n × m: scale and move, then translate
  EXPECT_EQ(m, (tvk_Matrix{2, 0, 0, 3, 11, 21}));
}

TEST(PdfUtilities, SplitDecimal) {
  struct Case { double x; double mantissa; int exponent; };
  constexpr Case kCases[] = {{0, 0, 0}, {1000, 1, 3}, {0.025, 2.5, -2}, {-47, -4.7, 1}, {9.99, 9.99, 0}};
  for (const Case& c : kCases) {
    int e = 99;
    EXPECT_NEAR(tvk_splitDecimal(c.x, &e), c.mantissa, 1e-12) << c.x;
    EXPECT_EQ(e, c.exponent) << c.x;
  }
}

}  // namespace
