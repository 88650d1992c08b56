#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "reports/pdf/plot_domain.h"

// Drawing a plot domain's background, clip and mesh, and axes with linear, logarithmic or time
// scales, ticks, number or date labels and a title. The writer's repertoire for charts; the
// report pages do not use it.

// Calendar units of time steps.
enum tvk_TimeUnit { tvk_kSeconds = 0, tvk_kMinutes, tvk_kHours, tvk_kDays, tvk_kMonths, tvk_kYears };

struct tvk_TimeSteps {
  int minor_unit = tvk_kMinutes;
  int major_unit = tvk_kMinutes;
  int minor_count = 1;
  int major_count = 10;
};

// An axis; owned by its creator. Its domain must outlive it.
struct tvk_Axis {
  tvk_PlotDomain* domain = nullptr;
  double angle = 0;  // degrees
  int kind = tvk_kLinear;
  double x_offset = 0, y_offset = 0;  // points from the domain's origin
  double length = 0;                  // points
  double axis_width = 1.0;
  double min = 0, max = 1;  // time axes: 0 and the days from start to end
  platform::LocalDateTime start_time, end_time;
  int major_ticks = 1, minor_ticks = 1, third_flag = 0;
  double major_length = 10.0, minor_length = 5.0;
  double major_width = 2.0, minor_width = 1.0;
  int tick_style = 2;  // 0 below the axis, 1 centred, 2 above
  int label_side = 0;  // 0 below, other above
  double label_gap = 7.0;
  double label_size = 12.0;
  int month_names = 0;
  int two_digit_years = 0;
  int upright_labels = 1;
  std::string label_format = "%g";
  std::string label_font = "Helvetica";
  double title_gap = 7.0;
  double title_size = 18.0;
  int upright_title = 0;
  std::string title_font = "Helvetica";
  std::string title_encoding;
  std::string title;  // empty: none
  double first_major = 0, first_minor = 0, major_step = 1, minor_step = 1;
  int log_tick_mask = 1022;  // ticks at 1..9 times each power of ten
  int log_label_mask = 2;    // labels at 1 times each power of ten
};

void tvk_drawMesh(const tvk_PlotDomain& domain);
void tvk_fillDomainGray(const tvk_PlotDomain& domain, double gray);
void tvk_fillDomainRgb(const tvk_PlotDomain& domain, double r, double g, double b);
void tvk_clipToDomain(const tvk_PlotDomain& domain);

std::unique_ptr<tvk_Axis> tvk_newAxis(double angle, double length, int kind, double min, double max);
std::unique_ptr<tvk_Axis> tvk_newTimeAxis(double angle, double length, int kind,
                                          const platform::LocalDateTime& start,
                                          const platform::LocalDateTime& end);
void tvk_setAxisPosition(tvk_Axis& axis, tvk_PlotDomain* domain, double x_offset, double y_offset);
void tvk_setAxisTicks(tvk_Axis& axis, int major_on, int minor_on, int third_flag);
void tvk_setAxisPlacement(tvk_Axis& axis, int tick_style, int label_side, int upright_labels,
                          int upright_title);
void tvk_setAxisLines(tvk_Axis& axis, double axis_width, double major_length, double minor_length,
                      double major_width, double minor_width);
void tvk_setAxisTickValues(tvk_Axis& axis, double first_major, double major_step,
                           double first_minor, double minor_step);
void tvk_setLogTickMask(tvk_Axis& axis, int mask);
void tvk_setLogLabelMask(tvk_Axis& axis, int mask);
// A format with one floating conversion ("%g", "%.1f" ...); anything else keeps "%g".
void tvk_setAxisLabelFormat(tvk_Axis& axis, std::string_view format, std::string_view font_name,
                            double size);
void tvk_setTimeLabelFormat(tvk_Axis& axis, int month_names, int two_digit_years,
                            std::string_view font_name, double size);
void tvk_setAxisTitle(tvk_Axis& axis, std::string_view title, std::string_view font_name,
                      std::string_view encoding, double size);
void tvk_drawAxis(tvk_Axis& axis);

tvk_TimeSteps tvk_timeSteps(double days);
// Advances time by count units; returns the days from start to the new time.
double tvk_addTime(const platform::LocalDateTime& start, platform::LocalDateTime& time, int unit,
                   int count);
void tvk_roundTimeRange(const platform::LocalDateTime& start, const platform::LocalDateTime& end,
                        platform::LocalDateTime* rounded_start, platform::LocalDateTime* rounded_end);
std::string tvk_yearText(int year, int two_digit);
// Removes trailing zeros after a decimal point ("2.500" -> "2.5", "3.000" -> "3").
std::string tvk_trimZeros(std::string_view text);
void tvk_setMonthNames(const std::string names[12]);
void tvk_freeMonthNames();
double tvk_axisPosition(const tvk_Axis& axis, double value);
int tvk_bitSet(int mask, int n);
