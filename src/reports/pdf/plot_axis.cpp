#include "reports/pdf/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "reports/pdf/content_operators.h"
#include "reports/pdf/pdf_fonts.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"
#include "reports/pdf/pdf_utils.h"

namespace {

using platform::LocalDateTime;

constexpr double kDegToRad = 0.017453292522222223;
constexpr double kTolerance = 1.0001;
// No axis needs more lines than this; it bounds a caller's unlucky step.
constexpr int kMaxSteps = 100000;

struct StepRow {
  double days;
  int minor_unit, minor_count, major_unit, major_count;
};
constexpr StepRow kSteps[] = {
    {0.042, tvk_kMinutes, 1, tvk_kMinutes, 10}, {0.084, tvk_kMinutes, 10, tvk_kHours, 1},
    {0.51, tvk_kMinutes, 30, tvk_kHours, 1},    {1.1, tvk_kHours, 1, tvk_kHours, 6},
    {8, tvk_kHours, 6, tvk_kDays, 1},           {12.5, tvk_kHours, 12, tvk_kDays, 1},
    {21.5, tvk_kHours, 12, tvk_kDays, 5},       {42, tvk_kDays, 1, tvk_kDays, 10},
    {190, tvk_kDays, 10, tvk_kMonths, 1},       {367, tvk_kMonths, 1, tvk_kMonths, 3},
    {735, tvk_kMonths, 1, tvk_kMonths, 6},      {2193, tvk_kMonths, 6, tvk_kYears, 1},
    {7306, tvk_kYears, 1, tvk_kYears, 5},       {21916, tvk_kYears, 1, tvk_kYears, 10},
    {54788, tvk_kYears, 5, tvk_kYears, 10}};

struct LineStyle {
  double width;
  const std::string* dash;
  const std::array<double, 3>* rgb;
};

void StyledLine(const LineStyle& style, double x0, double y0, double x1, double y1) {
  tvk_setLineWidth(style.width);
  tvk_setDash(*style.dash);
  tvk_setRgbStroke((*style.rgb)[0], (*style.rgb)[1], (*style.rgb)[2]);
  tvk_moveTo(x0, y0);
  tvk_lineTo(x1, y1);
  tvk_stroke();
}

// Calls f(value, is_major) for the values of a logarithmic scale: i × 10^p from the decade of
// min up to max.
void ForLogValues(double min, double max, const std::function<void(double, int)>& f) {
  if (min <= 0 || max <= 0) return;
  int p = static_cast<int>(std::floor(std::log10(min)));
  int i = static_cast<int>(std::floor(min / std::pow(10.0, p) + 1e-9));
  for (int n = 0; n < kMaxSteps; ++n) {
    const double v = i * std::pow(10.0, p);
    if (v > max * kTolerance) break;
    f(v, i);
    if (++i > 9) {
      i = 1;
      ++p;
    }
  }
}

// Calls f(days) for each calendar step from start while within max days.
void ForTimeSteps(const LocalDateTime& start, double max, int unit, int count,
                  const std::function<void(double, const LocalDateTime&)>& f) {
  LocalDateTime t = tvk_normalizeTime(start);
  double days = 0;
  for (int n = 0; n < kMaxSteps && days <= max * kTolerance; ++n) {
    f(days, t);
    days = tvk_addTime(start, t, unit, count);
  }
}

void ForLinearValues(double first, double step, double min, double max,
                     const std::function<void(double)>& f) {
  if (step <= 0) return;
  // The tolerance keeps the last value that rounding puts a hair beyond the maximum.
  const double slack = std::fabs(max - min) * 1e-9;
  const double limit = max + std::max(std::fabs(max) * (kTolerance - 1), slack);
  const double floor_value = min - slack;
  for (int k = 0; k < kMaxSteps; ++k) {
    const double v = first + k * step;
    if (v > limit) break;
    if (v >= floor_value) f(v);
  }
}

void MeshAxis(const tvk_PlotDomain& d, int axis) {
  const bool is_x = axis == 0;
  const int kind = is_x ? d.x_kind : d.y_kind;
  const double min = is_x ? d.x_min : d.y_min;
  const double max = is_x ? d.x_max : d.y_max;
  const LineStyle major{d.major_width, &d.major_dash, &d.major_rgb};
  const LineStyle minor{d.minor_width, &d.minor_dash, &d.minor_rgb};
  auto line = [&](double v, const LineStyle& style) {
    if (is_x) {
      const double x = tvk_mapXIn(d, v);
      StyledLine(style, x, d.y, x, d.y + d.height);
    } else {
      const double y = tvk_mapYIn(d, v);
      StyledLine(style, d.x, y, d.x + d.width, y);
    }
  };
  const tvk_MeshAxis& m = d.mesh[axis];
  if (kind == tvk_kLogarithmic) {
    ForLogValues(min, max, [&](double v, int i) { line(v, i == 1 ? major : minor); });
  } else if (kind == tvk_kTime && is_x) {
    const tvk_TimeSteps steps = tvk_timeSteps(max);
    ForTimeSteps(d.start_time, max, steps.minor_unit, steps.minor_count,
                 [&](double days, const LocalDateTime&) { line(days, minor); });
    ForTimeSteps(d.start_time, max, steps.major_unit, steps.major_count,
                 [&](double days, const LocalDateTime&) { line(days, major); });
  } else {
    ForLinearValues(m.first_minor, m.minor_step, min, max, [&](double v) { line(v, minor); });
    ForLinearValues(m.first_major, m.major_step, min, max, [&](double v) { line(v, major); });
  }
}

// A label format must hold exactly one floating conversion and nothing that reads an argument.
bool ValidLabelFormat(std::string_view format) {
  int conversions = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i >= format.size()) return false;
    if (format[i] == '%') continue;
    while (i < format.size() && std::string_view("-+ #0123456789.").find(format[i]) != std::string_view::npos)
      ++i;
    if (i >= format.size() || std::string_view("feEgG").find(format[i]) == std::string_view::npos)
      return false;
    ++conversions;
  }
  return conversions == 1;
}

std::string FormatLabel(const std::string& format, double value) {
  // The format was checked to hold one floating conversion.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  return tvk_format(format.c_str(), value);
#pragma GCC diagnostic pop
}

struct TimeLabelState {
  int minute = 99, hour = 99, day = 99, month = 99, year = 0;
};

std::string TimeLabel(const tvk_Axis& axis, int unit, const LocalDateTime& t, TimeLabelState& prev) {
  const auto& names = tvk_doc().month_names;
  auto month_name = [&](int month) {
    return month >= 1 && month <= 12 && names.size() == 12 ? names[month - 1] : std::to_string(month);
  };
  std::string text;
  switch (unit) {
    case tvk_kSeconds:
      text = prev.minute == t.minute ? tvk_format("%d", t.second) : tvk_format("%d:%d", t.minute, t.second);
      break;
    case tvk_kMinutes:
      text = prev.hour == t.hour ? tvk_format("%d", t.minute) : tvk_format("%d:%d", t.hour, t.minute);
      break;
    case tvk_kHours:
      text = prev.day == t.day ? tvk_format("%d", t.hour) : tvk_format("%d [%d]", t.hour, t.day);
      break;
    case tvk_kDays:
      if (prev.month == t.month)
        text = t.day <= 29 ? tvk_format("%d", t.day) : std::string();
      else
        text = axis.month_names ? tvk_format("%s %d", month_name(t.month).c_str(), t.day)
                                : tvk_format("%d/%d", t.month, t.day);
      break;
    case tvk_kMonths:
      if (prev.year == t.year)
        text = axis.month_names ? month_name(t.month) : tvk_format("%d", t.month);
      else
        text = axis.month_names
                   ? tvk_format("%s %s", month_name(t.month).c_str(), tvk_yearText(t.year, axis.two_digit_years).c_str())
                   : tvk_format("%d/%s", t.month, tvk_yearText(t.year, axis.two_digit_years).c_str());
      break;
    default:
      text = tvk_yearText(t.year, axis.two_digit_years);
      break;
  }
  prev = {t.minute, t.hour, t.day, t.month, t.year};
  return text;
}

// Rounds a time down to a multiple of count in unit, clearing the smaller fields.
LocalDateTime AlignDown(LocalDateTime t, int unit, int count) {
  t = tvk_normalizeTime(t);
  auto down = [count](int v, int base) { return (v - base) / count * count + base; };
  switch (unit) {
    case tvk_kSeconds: t.second = down(t.second, 0); break;
    case tvk_kMinutes: t.minute = down(t.minute, 0); t.second = 0; break;
    case tvk_kHours: t.hour = down(t.hour, 0); t.minute = t.second = 0; break;
    case tvk_kDays:
      if (count == 5 || count == 10) t.day = t.day < count ? 1 : t.day / count * count;
      t.hour = t.minute = t.second = 0;
      break;
    case tvk_kMonths: t.month = down(t.month, 1); t.day = 1; t.hour = t.minute = t.second = 0; break;
    default: t.year = t.year / count * count; t.month = t.day = 1; t.hour = t.minute = t.second = 0; break;
  }
  t.millisecond = 0;
  return t;
}

}  // namespace

int tvk_bitSet(int mask, int n) { return n >= 0 && n < 31 && (mask >> n) & 1 ? 1 : 0; }

std::string tvk_yearText(int year, int two_digit) {
  return two_digit ? tvk_format("%02d", ((year % 100) + 100) % 100) : tvk_format("%d", year);
}

std::string tvk_trimZeros(std::string_view text) {
  std::string s(text);
  const size_t dot = s.find('.');
  if (dot == std::string::npos) return s;
  size_t end = s.find_first_of("eE", dot);
  const std::string exponent = end == std::string::npos ? std::string() : s.substr(end);
  s = s.substr(0, end);
  while (s.size() > dot + 1 && s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s + exponent;
}

void tvk_setMonthNames(const std::string names[12]) {
  tvk_doc().month_names.assign(names, names + 12);
}

void tvk_freeMonthNames() { tvk_doc().month_names.clear(); }

tvk_TimeSteps tvk_timeSteps(double days) {
  for (const StepRow& r : kSteps)
    if (days <= r.days) return {r.minor_unit, r.major_unit, r.minor_count, r.major_count};
  return {tvk_kYears, tvk_kYears, 10, 100};
}

double tvk_addTime(const LocalDateTime& start, LocalDateTime& time, int unit, int count) {
  LocalDateTime t = tvk_normalizeTime(time);
  switch (unit) {
    case tvk_kSeconds: t.second += count; break;
    case tvk_kMinutes: t.minute += count; break;
    case tvk_kHours: t.hour += count; break;
    case tvk_kDays: {
      const int day = t.day + count;
      if (day > tvk_daysInMonth(t.year, t.month)) {
        t.day = 1;
        t.month += 1;
      } else {
        t.day = day;
        // Steps of 5 and 10 days run 1, 5, 10, 15 ... and 1, 10, 20, 30.
        if ((count == 5 || count == 10) && t.day > 5 && t.day % count == 1) t.day -= 1;
      }
      break;
    }
    case tvk_kMonths: t.month += count; break;
    default: t.year += count; break;
  }
  time = tvk_normalizeTime(t);
  return tvk_daysBetween(start, time);
}

void tvk_roundTimeRange(const LocalDateTime& start, const LocalDateTime& end,
                        LocalDateTime* rounded_start, LocalDateTime* rounded_end) {
  LocalDateTime s = start, e = end;
  tvk_TimeSteps steps = tvk_timeSteps(tvk_daysBetween(s, e));
  for (int round = 0; round < 16; ++round) {
    s = AlignDown(start, steps.major_unit, steps.major_count);
    const LocalDateTime aligned_end = AlignDown(end, steps.major_unit, steps.major_count);
    e = aligned_end;
    if (tvk_daysBetween(aligned_end, tvk_normalizeTime(end)) > 0)
      tvk_addTime(s, e, steps.major_unit, steps.major_count);
    const tvk_TimeSteps next = tvk_timeSteps(tvk_daysBetween(s, e));
    if (next.major_unit == steps.major_unit && next.major_count == steps.major_count &&
        next.minor_unit == steps.minor_unit && next.minor_count == steps.minor_count)
      break;
    steps = next;
  }
  if (rounded_start) *rounded_start = s;
  if (rounded_end) *rounded_end = e;
}

void tvk_drawMesh(const tvk_PlotDomain& domain) {
  tvk_saveState();
  MeshAxis(domain, 0);
  MeshAxis(domain, 1);
  tvk_restoreState();
}

void tvk_fillDomainGray(const tvk_PlotDomain& d, double gray) {
  tvk_saveState();
  tvk_setGrayFill(gray);
  tvk_rectangle(d.x, d.y, d.width, d.height);
  tvk_fill();
  tvk_restoreState();
}

void tvk_fillDomainRgb(const tvk_PlotDomain& d, double r, double g, double b) {
  tvk_saveState();
  tvk_setRgbFill(r, g, b);
  tvk_rectangle(d.x, d.y, d.width, d.height);
  tvk_fill();
  tvk_restoreState();
}

void tvk_clipToDomain(const tvk_PlotDomain& d) {
  tvk_newPath();
  tvk_rectangle(d.x, d.y, d.width, d.height);
  tvk_clip();
  tvk_newPath();
}

std::unique_ptr<tvk_Axis> tvk_newAxis(double angle, double length, int kind, double min, double max) {
  auto axis = std::make_unique<tvk_Axis>();
  axis->domain = nullptr;
  if (tvk_Page* page = tvk_drawingPage()) axis->domain = page->domain.get();
  axis->angle = angle;
  axis->kind = kind;
  axis->length = length;
  axis->min = min;
  axis->max = max;
  if (angle > 60 && angle < 120) {
    axis->tick_style = 0;
    axis->label_side = 2;
  }
  if (kind == tvk_kLinear) {
    const tvk_Ticks t = tvk_niceTicks(min, max);
    axis->first_major = axis->first_minor = t.start;
    axis->major_step = t.major_step;
    axis->minor_step = t.minor_step;
  }
  return axis;
}

std::unique_ptr<tvk_Axis> tvk_newTimeAxis(double angle, double length, int kind,
                                          const LocalDateTime& start, const LocalDateTime& end) {
  auto axis = tvk_newAxis(angle, length, kind, 0, tvk_daysBetween(start, end));
  axis->start_time = start;
  axis->end_time = end;
  axis->month_names = 1;
  axis->two_digit_years = 1;
  return axis;
}

void tvk_setAxisPosition(tvk_Axis& axis, tvk_PlotDomain* domain, double x_offset, double y_offset) {
  axis.domain = domain;
  axis.x_offset = x_offset;
  axis.y_offset = y_offset;
}

void tvk_setAxisTicks(tvk_Axis& axis, int major_on, int minor_on, int third_flag) {
  axis.major_ticks = major_on;
  axis.minor_ticks = minor_on;
  axis.third_flag = third_flag;
}

void tvk_setAxisPlacement(tvk_Axis& axis, int tick_style, int label_side, int upright_labels,
                          int upright_title) {
  axis.tick_style = tick_style;
  axis.label_side = label_side;
  axis.upright_labels = upright_labels;
  axis.upright_title = upright_title;
}

void tvk_setAxisLines(tvk_Axis& axis, double axis_width, double major_length, double minor_length,
                      double major_width, double minor_width) {
  axis.axis_width = axis_width;
  axis.major_length = major_length;
  axis.minor_length = minor_length;
  axis.major_width = major_width;
  axis.minor_width = minor_width;
}

void tvk_setAxisTickValues(tvk_Axis& axis, double first_major, double major_step,
                           double first_minor, double minor_step) {
  axis.first_major = first_major;
  axis.major_step = major_step;
  axis.first_minor = first_minor;
  axis.minor_step = minor_step;
}

void tvk_setLogTickMask(tvk_Axis& axis, int mask) { axis.log_tick_mask = mask; }
void tvk_setLogLabelMask(tvk_Axis& axis, int mask) { axis.log_label_mask = mask; }

void tvk_setAxisLabelFormat(tvk_Axis& axis, std::string_view format, std::string_view font_name,
                            double size) {
  axis.label_format = ValidLabelFormat(format) ? std::string(format) : "%g";
  axis.label_font = font_name;
  axis.label_size = size;
}

void tvk_setTimeLabelFormat(tvk_Axis& axis, int month_names, int two_digit_years,
                            std::string_view font_name, double size) {
  axis.month_names = month_names;
  axis.two_digit_years = two_digit_years;
  axis.label_font = font_name;
  axis.label_size = size;
}

void tvk_setAxisTitle(tvk_Axis& axis, std::string_view title, std::string_view font_name,
                      std::string_view encoding, double size) {
  axis.title = title;
  axis.title_font = font_name;
  axis.title_encoding = encoding;
  axis.title_size = size;
}

double tvk_axisPosition(const tvk_Axis& axis, double value) {
  if (axis.kind == tvk_kLogarithmic) {
    if (value <= 0 || axis.min <= 0 || axis.max <= axis.min) return 0;
    return (std::log10(value) - std::log10(axis.min)) * axis.length /
           (std::log10(axis.max) - std::log10(axis.min));
  }
  return axis.max != axis.min ? (value - axis.min) * axis.length / (axis.max - axis.min) : 0;
}

void tvk_drawAxis(tvk_Axis& axis) {
  if (tvk_drawingPage() == nullptr) return;
  const double a = axis.angle * kDegToRad;
  const double ca = std::cos(a);
  const double sa = std::sin(a);
  const double ox = axis.domain ? axis.domain->x : 0;
  const double oy = axis.domain ? axis.domain->y : 0;
  tvk_writeRaw("\n% Axis starts here \n");
  tvk_saveState();
  tvk_concat(ca, sa, -sa, ca, ox + axis.x_offset, oy + axis.y_offset);

  tvk_setLineWidth(axis.axis_width);
  tvk_moveTo(-axis.major_width * 0.5, 0);
  tvk_lineTo(axis.length + axis.major_width * 0.5, 0);
  tvk_stroke();

  auto tick = [&](double p, double length) {
    switch (axis.tick_style) {
      case 0: tvk_moveTo(p, -length); tvk_lineTo(p, 0); break;
      case 1: tvk_moveTo(p, -length / 2); tvk_lineTo(p, length / 2); break;
      default: tvk_moveTo(p, 0); tvk_lineTo(p, length); break;
    }
  };
  const tvk_TimeSteps steps = tvk_timeSteps(axis.max);
  if (axis.kind == tvk_kLogarithmic) {
    ForLogValues(axis.min, axis.max, [&](double v, int i) {
      if (!tvk_bitSet(axis.log_tick_mask, i)) return;
      tvk_setLineWidth(i == 1 ? axis.major_width : axis.minor_width);
      tick(tvk_axisPosition(axis, v), i == 1 ? axis.major_length : axis.minor_length);
      tvk_stroke();
    });
  } else if (axis.kind == tvk_kTime) {
    if (axis.minor_ticks) {
      tvk_setLineWidth(axis.minor_width);
      ForTimeSteps(axis.start_time, axis.max, steps.minor_unit, steps.minor_count,
                   [&](double days, const LocalDateTime&) { tick(tvk_axisPosition(axis, days), axis.minor_length); });
      tvk_stroke();
    }
    if (axis.major_ticks) {
      tvk_setLineWidth(axis.major_width);
      ForTimeSteps(axis.start_time, axis.max, steps.major_unit, steps.major_count,
                   [&](double days, const LocalDateTime&) { tick(tvk_axisPosition(axis, days), axis.major_length); });
      tvk_stroke();
    }
  } else {
    if (axis.minor_ticks) {
      tvk_setLineWidth(axis.minor_width);
      ForLinearValues(axis.first_minor, axis.minor_step, axis.min, axis.max,
                      [&](double v) { tick(tvk_axisPosition(axis, v), axis.minor_length); });
      tvk_stroke();
    }
    if (axis.major_ticks) {
      tvk_setLineWidth(axis.major_width);
      ForLinearValues(axis.first_major, axis.major_step, axis.min, axis.max,
                      [&](double v) { tick(tvk_axisPosition(axis, v), axis.major_length); });
      tvk_stroke();
    }
  }

  // Labels: y from the tick's low or high end, x centred (numbers) or just before the tick (times).
  const double L = axis.major_length;
  const double low = axis.tick_style == 0 ? -L : axis.tick_style == 1 ? -L / 2 : 0;
  const double high = axis.tick_style == 0 ? 0 : axis.tick_style == 1 ? L / 2 : L;
  const double s = axis.label_size;
  double edge = 0;
  auto label = [&](double p, const std::string& text, bool is_time) {
    if (text.empty()) return;
    const double w = tvk_stringWidth(text);
    double y;
    if (axis.label_side == 0) {
      y = low - axis.label_gap - 0.6 * s;
      edge = axis.upright_labels ? y - 2.5 : y;
    } else {
      y = high + axis.label_gap + (axis.upright_labels ? w : 0);
      edge = axis.upright_labels ? y + 4.0 : y + s;
    }
    double x;
    if (is_time) {
      x = axis.upright_labels ? p - (0.3 * sa + 0.25) * s : p - 0.25 * s;
    } else {
      x = axis.upright_labels ? p - (w / 2 * ca + 0.3 * s * sa) : p - w / 2;
    }
    tvk_text(x, y, axis.upright_labels ? -axis.angle : 0, text);
  };
  tvk_beginText(0);
  tvk_setFont(axis.label_font, "MacRomanEncoding", s);
  if (axis.kind == tvk_kLogarithmic) {
    ForLogValues(axis.min, axis.max, [&](double v, int i) {
      if (tvk_bitSet(axis.log_label_mask, i))
        label(tvk_axisPosition(axis, v), tvk_trimZeros(FormatLabel(axis.label_format, v)), false);
    });
  } else if (axis.kind == tvk_kTime) {
    TimeLabelState prev;
    ForTimeSteps(axis.start_time, axis.max, steps.major_unit, steps.major_count,
                 [&](double days, const LocalDateTime& t) {
                   label(tvk_axisPosition(axis, days), TimeLabel(axis, steps.major_unit, t, prev), true);
                 });
  } else {
    ForLinearValues(axis.first_major, axis.major_step, axis.min, axis.max, [&](double v) {
      label(tvk_axisPosition(axis, v), FormatLabel(axis.label_format, v), false);
    });
  }
  tvk_endText();

  if (!axis.title.empty()) {
    const double middle = axis.kind == tvk_kLogarithmic && axis.min > 0
                              ? axis.min * std::sqrt(axis.max / axis.min)
                              : (axis.min + axis.max) / 2;
    const double p = tvk_axisPosition(axis, middle);
    tvk_beginText(0);
    tvk_setFont(axis.title_font, axis.title_encoding, axis.title_size);
    const double w = tvk_stringWidth(axis.title);
    const double y = axis.label_side == 0 ? edge - axis.title_gap - 0.6 * axis.title_size
                                          : edge + axis.title_gap + (axis.upright_title ? w : 0);
    if (axis.upright_title)
      tvk_text(p - (w / 2 * ca + 0.3 * axis.title_size * sa), y, -axis.angle, axis.title);
    else
      tvk_text(p - w / 2, y, 0, axis.title);
    tvk_endText();
  }
  tvk_restoreState();
}
