#include "document/record_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "support/comma_decimal_locale.h"

namespace {

// The Qt host takes the C locale from the user's environment; a German one writes "1,5" through
// printf. Records, result lines and the recorder's programming need the point.
TEST(RecordFormat, FixedNumbersKeepThePointInACommaDecimalLocale) {
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  struct Case {
    double value;
    int decimals;
    const char* want_number;  // FormatFixedNumber
    const char* want_point;   // FormatFixedPoint
  };
  const Case kCases[] = {
      {1.5, 1, "1.5", "1.5"},
      {0.05, 2, ".05", "0.05"},
      {175.0, 0, "175", "175"},
      {0.3, 0, "", "0"},
      {-2.25, 1, "2.2", "-2.2"},
      {180.6, 0, "181", "181"},
      {0.5, 15, ".500000000000000", "0.500000000000000"},
      {1234567.125, 3, "1234567.125", "1234567.125"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.want_point << " with " << c.decimals);
    EXPECT_EQ(document::FormatFixedNumber(c.value, c.decimals), c.want_number);
    EXPECT_EQ(document::FormatFixedPoint(c.value, c.decimals), c.want_point);
  }
}

// A stored value of any size gives all its digits: nothing is cut.
TEST(RecordFormat, FixedPointWritesEveryDigitOfAnyDouble) {
  const std::string largest = document::FormatFixedPoint(std::numeric_limits<double>::max(), 2);
  EXPECT_EQ(largest.size(), 309u + 3u);
  EXPECT_TRUE(largest.starts_with("17976931348623157")) << largest;
  EXPECT_TRUE(largest.ends_with(".00")) << largest;
  EXPECT_EQ(document::FormatFixedPoint(-std::numeric_limits<double>::max(), 0).size(), 310u);
  EXPECT_EQ(document::FormatFixedPoint(std::numeric_limits<double>::infinity(), 0), "inf");
  EXPECT_EQ(document::FormatFixedPoint(std::numeric_limits<double>::quiet_NaN(), 1), "nan");
}

}  // namespace
