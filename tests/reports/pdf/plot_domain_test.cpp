#include "reports/pdf/plot_domain.h"

#include <gtest/gtest.h>

#include <string>

#include "reports/pdf/pdf_test_support.h"

namespace {

using pdf_test::CountOf;
using pdf_test::PdfTest;

TEST(tvk_niceTicks, ChoosesRowAndAnchors) {
  struct Case { const char* name; double min, max; double start, top, major, minor; };
  constexpr Case kCases[] = {
      {"mixed signs anchored at 0", -3, 11, -4, 12, 4, 1},
      {"positive range", 3, 11, 0, 12, 4, 1},
      {"unit range", 0, 1, 0, 1, 0.5, 0.1},
      {"negative range", -47, -3, -50, 0, 10, 5},
      {"all zero", 0, 0, -10, 0, 5, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const tvk_Ticks t = tvk_niceTicks(c.min, c.max);
    EXPECT_NEAR(t.start, c.start, 1e-12);
    EXPECT_NEAR(t.top, c.top, 1e-12);
    EXPECT_NEAR(t.major_step, c.major, 1e-12);
    EXPECT_NEAR(t.minor_step, c.minor, 1e-12);
  }
}

class PlotDomainTest : public PdfTest {};

TEST_F(PlotDomainTest, MapsLinearAndLogarithmicAxes) {
  auto d = tvk_newPlotDomain(100, 200, 300, 400, 0, 10, 1, 1000, tvk_kLinear, tvk_kLogarithmic, 0);
  tvk_setPlotDomain(d.get());
  EXPECT_DOUBLE_EQ(tvk_mapX(5), 250);
  EXPECT_DOUBLE_EQ(tvk_mapY(1), 200);
  EXPECT_DOUBLE_EQ(tvk_mapY(10), 200 + 400.0 / 3);
  EXPECT_DOUBLE_EQ(tvk_mapY(1000), 600);
  EXPECT_DOUBLE_EQ(tvk_mapY(0), 200);   // zero and below map to the origin
  EXPECT_DOUBLE_EQ(tvk_mapY(-5), 200);
  tvk_setPlotDomain(nullptr);
}

TEST_F(PlotDomainTest, MappingWithoutDomainReportsAndGivesZero) {
  tvk_setPlotDomain(nullptr);
  EXPECT_EQ(tvk_mapX(3), 0);
  EXPECT_EQ(tvk_mapY(3), 0);
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_[0].message, "Plot domain has not been set. See tvk_setPlotDomain()");
  EXPECT_EQ(reports_[0].severity, 2);
  EXPECT_EQ(reports_[1].severity, 1);
}

TEST_F(PlotDomainTest, PageDefaultDomainDrawsInUnits) {
  tvk_setUnitSize(28.3464566);  // centimetres
  ASSERT_EQ(BeginA4(1), 0);
  EXPECT_NEAR(tvk_mapX(1), 28.3464566, 1e-9);
  EXPECT_NEAR(tvk_mapY(29.7), 841.89, 0.01);
}

TEST_F(PlotDomainTest, LinearAxisLabelsIncludeTheLastValue) {
  ASSERT_EQ(BeginA4(1), 0);
  auto axis = tvk_newAxis(0, 200, tvk_kLinear, 0, 1);
  tvk_setAxisTickValues(*axis, 0, 0.2, 0, 0.1);
  tvk_drawAxis(*axis);
  const std::string content = pdf_test::ContentStreams(Finish())[0];
  for (const char* label : {"(0) Tj", "(0.2) Tj", "(0.4) Tj", "(0.6) Tj", "(0.8) Tj", "(1) Tj"})
    EXPECT_EQ(CountOf(content, label), 1) << label;
  EXPECT_NE(content.find("\n% Axis starts here \n"), std::string::npos);
  EXPECT_NE(content.find("/Ftvk0 12.000 Tf"), std::string::npos);
}

TEST_F(PlotDomainTest, LogarithmicAxisTicksAndLabels) {
  ASSERT_EQ(BeginA4(1), 0);
  auto axis = tvk_newAxis(0, 300, tvk_kLogarithmic, 1, 1000);
  tvk_drawAxis(*axis);
  const std::string content = pdf_test::ContentStreams(Finish())[0];
  // The axis line and 28 ticks (1..9, 10..90, 100..900, 1000), each stroked on its own.
  EXPECT_EQ(CountOf(content, "\nS\n"), 1 + 28);
  for (const char* label : {"(1) Tj", "(10) Tj", "(100) Tj", "(1000) Tj"})
    EXPECT_EQ(CountOf(content, label), 1) << label;
  EXPECT_EQ(CountOf(content, ") Tj"), 4);
}

TEST_F(PlotDomainTest, TenDayStepsRunOnTheFirstTenthTwentiethAndThirtieth) {
  using platform::LocalDateTime;
  const LocalDateTime start{2004, 1, 1, 0, 0, 0, 0};
  struct Case { LocalDateTime from; LocalDateTime want; };
  const Case kCases[] = {
      {{2004, 1, 1, 0, 0, 0, 0}, {2004, 1, 10, 0, 0, 0, 0}},
      {{2004, 1, 10, 0, 0, 0, 0}, {2004, 1, 20, 0, 0, 0, 0}},
      {{2004, 1, 20, 0, 0, 0, 0}, {2004, 1, 30, 0, 0, 0, 0}},
      {{2004, 1, 30, 0, 0, 0, 0}, {2004, 2, 1, 0, 0, 0, 0}},
      {{2004, 2, 20, 0, 0, 0, 0}, {2004, 3, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : kCases) {
    LocalDateTime t = c.from;
    const double days = tvk_addTime(start, t, tvk_kDays, 10);
    EXPECT_EQ(t, c.want) << c.from.month << "/" << c.from.day;
    EXPECT_DOUBLE_EQ(days, tvk_daysBetween(start, c.want));
  }
  LocalDateTime t{2004, 1, 1, 0, 0, 0, 0};
  tvk_addTime(start, t, tvk_kDays, 5);
  EXPECT_EQ(t.day, 5);
}

TEST_F(PlotDomainTest, TimeStepsAndRoundedRange) {
  EXPECT_EQ(tvk_timeSteps(1.0).major_unit, tvk_kHours);
  EXPECT_EQ(tvk_timeSteps(1.0).major_count, 6);
  EXPECT_EQ(tvk_timeSteps(100).major_unit, tvk_kMonths);
  EXPECT_EQ(tvk_timeSteps(200000).major_count, 100);

  platform::LocalDateTime rs, re;
  tvk_roundTimeRange({2004, 3, 7, 9, 5, 1, 0}, {2004, 3, 7, 21, 40, 0, 0}, &rs, &re);
  EXPECT_EQ(rs, (platform::LocalDateTime{2004, 3, 7, 6, 0, 0, 0}));
  EXPECT_EQ(re, (platform::LocalDateTime{2004, 3, 8, 0, 0, 0, 0}));
}

TEST_F(PlotDomainTest, TimeAxisLabelsHoursWithTheDayWhereItChanges) {
  ASSERT_EQ(BeginA4(1), 0);
  auto axis = tvk_newTimeAxis(0, 400, tvk_kTime, {2004, 3, 7, 12, 0, 0, 0}, {2004, 3, 8, 6, 0, 0, 0});
  tvk_drawAxis(*axis);
  const std::string content = pdf_test::ContentStreams(Finish())[0];
  for (const char* label : {"(12 [7]) Tj", "(18) Tj", "(0 [8]) Tj", "(6) Tj"})
    EXPECT_EQ(CountOf(content, label), 1) << label;
}

TEST_F(PlotDomainTest, MeshFillAndClipOfADomain) {
  ASSERT_EQ(BeginA4(1), 0);
  auto d = tvk_newPlotDomain(100, 100, 200, 100, 0, 10, 0, 5, tvk_kLinear, tvk_kLinear, 0);
  tvk_setMesh(*d, 0, 0, 5, 0, 1);
  tvk_setMesh(*d, 1, 0, 5, 0, 5);
  tvk_fillDomainGray(*d, 0.9);
  tvk_clipToDomain(*d);
  tvk_drawMesh(*d);
  const std::string content = pdf_test::ContentStreams(Finish())[0];
  EXPECT_NE(content.find("\nq\n0.9000 g\n100.000 100.000 200.000 100.000 re\nf\nQ\n"), std::string::npos);
  EXPECT_NE(content.find("n\n100.000 100.000 200.000 100.000 re\nW\nn\n"), std::string::npos);
  // x: 11 minor and 3 major lines; y: 2 minor and 2 major lines.
  EXPECT_EQ(CountOf(content, "[2 3] 0 d\n"), 11 + 3 + 2 + 2);
  EXPECT_NE(content.find("140.000 100.000 m\n140.000 200.000 l\nS\n"), std::string::npos);
}

}  // namespace
