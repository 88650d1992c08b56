#include "reports/pdf/plot_domain.h"

#include <cmath>

#include "reports/pdf/pdf_document.h"
#include "reports/pdf/pdf_state.h"
#include "reports/pdf/pdf_utils.h"

namespace {

struct TickRow {
  int limit, minor, major;
};
constexpr TickRow kTickRows[] = {{10, 1, 5},  {12, 1, 4},  {15, 1, 5},   {16, 1, 4}, {20, 1, 5},
                                 {25, 1, 5},  {30, 2, 10}, {35, 5, 10},  {40, 5, 10}, {50, 5, 10},
                                 {60, 10, 20}, {80, 10, 20}, {90, 10, 30}, {100, 10, 50}};

void Derive(tvk_PlotDomain& d) {
  auto scale = [](double extent, double lo, double hi) { return hi != lo ? extent / (hi - lo) : 0.0; };
  d.x_scale = scale(d.width, d.x_min, d.x_max);
  d.y_scale = scale(d.height, d.y_min, d.y_max);
  auto lg = [](double v) { return v > 0 ? std::log10(v) : 0.0; };
  d.log_x_min = lg(d.x_min);
  d.log_x_max = lg(d.x_max);
  d.log_y_min = lg(d.y_min);
  d.log_y_max = lg(d.y_max);
}

double MapAxis(double v, double origin, double extent, double min, double scale, int kind,
               double log_min, double log_max) {
  if (kind == tvk_kLogarithmic) {
    if (v <= 0 || log_max == log_min) return origin;
    return origin + (std::log10(v) - log_min) / (log_max - log_min) * extent;
  }
  return origin + (v - min) * scale;
}

void LinearMesh(tvk_MeshAxis& mesh, double min, double max) {
  const tvk_Ticks t = tvk_niceTicks(min, max);
  mesh = {t.start, t.start, t.major_step, t.minor_step};
}

}  // namespace

tvk_Ticks tvk_niceTicks(double min, double max) {
  const double m = std::max(std::fabs(min), std::fabs(max));
  int exponent = 0;
  double mantissa = tvk_splitDecimal(m, &exponent);
  if (m != 0) {
    mantissa *= 10;
    exponent -= 1;
  }
  // A hair of tolerance: 1.1 × 10 must round up to 11, not 12.
  const double c = std::ceil(mantissa - 1e-9);
  const TickRow* row = &kTickRows[0];
  for (const TickRow& r : kTickRows) {
    if (c <= r.limit) {
      row = &r;
      break;
    }
  }
  const double u = std::pow(10.0, exponent);
  tvk_Ticks t;
  t.minor_step = u * row->minor;
  t.major_step = u * row->major;
  if (max > 0 && min >= 0) {
    t.top = u * row->limit;
    t.start = t.top;
    while (t.start > min) t.start -= t.major_step;
  } else if (max < 0 || (max == 0 && min >= 0)) {
    t.start = -u * row->limit;
    t.top = t.start;
    while (t.top < max) t.top += t.major_step;
  } else {
    t.start = std::floor(min / t.major_step) * t.major_step;
    if (t.start > -t.major_step) t.start = -t.major_step;
    t.top = std::ceil(max / t.major_step) * t.major_step;
  }
  return t;
}

std::unique_ptr<tvk_PlotDomain> tvk_newPlotDomain(double x, double y, double width, double height,
                                                  double x_min, double x_max, double y_min,
                                                  double y_max, int x_kind, int y_kind, int polar) {
  auto d = std::make_unique<tvk_PlotDomain>();
  d->x = x;
  d->y = y;
  d->width = width;
  d->height = height;
  d->x_min = x_min;
  d->x_max = x_max;
  d->y_min = y_min;
  d->y_max = y_max;
  d->x_kind = x_kind;
  d->y_kind = y_kind;
  d->polar = polar;
  if (x_kind == tvk_kLinear) LinearMesh(d->mesh[0], x_min, x_max);
  if (y_kind == tvk_kLinear) LinearMesh(d->mesh[1], y_min, y_max);
  Derive(*d);
  return d;
}

std::unique_ptr<tvk_PlotDomain> tvk_newTimePlotDomain(double x, double y, double width, double height,
                                                      const platform::LocalDateTime& start,
                                                      const platform::LocalDateTime& end,
                                                      double y_min, double y_max, int x_kind,
                                                      int y_kind, int polar) {
  auto d = tvk_newPlotDomain(x, y, width, height, 0, tvk_daysBetween(start, end), y_min, y_max,
                             x_kind, y_kind, polar);
  d->start_time = start;
  d->end_time = end;
  // A time axis takes its mesh lines from the calendar steps of its range when drawn.
  d->major_width = 0.16;
  d->minor_width = 0.1;
  return d;
}

tvk_PlotDomain* tvk_setPlotDomain(tvk_PlotDomain* domain) {
  tvk_Document& doc = tvk_doc();
  tvk_PlotDomain* previous = doc.active_domain;
  doc.active_domain = domain;
  if (domain != nullptr) Derive(*domain);
  return previous;
}

tvk_PlotDomain* tvk_activeDomain() { return tvk_doc().active_domain; }

void tvk_setMesh(tvk_PlotDomain& domain, int axis, double first_major, double major_step,
                 double first_minor, double minor_step) {
  domain.mesh[axis == 0 ? 0 : 1] = {first_major, first_minor, major_step, minor_step};
}

void tvk_setMeshColors(tvk_PlotDomain& domain, double major_r, double major_g, double major_b,
                       double minor_r, double minor_g, double minor_b) {
  domain.major_rgb = {major_r, major_g, major_b};
  domain.minor_rgb = {minor_r, minor_g, minor_b};
}

double tvk_mapXIn(const tvk_PlotDomain& d, double x) {
  return MapAxis(x, d.x, d.width, d.x_min, d.x_scale, d.x_kind, d.log_x_min, d.log_x_max);
}

double tvk_mapYIn(const tvk_PlotDomain& d, double y) {
  return MapAxis(y, d.y, d.height, d.y_min, d.y_scale, d.y_kind, d.log_y_min, d.log_y_max);
}

double tvk_mapX(double x) {
  const tvk_PlotDomain* d = tvk_doc().active_domain;
  if (d == nullptr) {
    tvk_reportError(2, tvk_writerName(), "Plot domain has not been set. See tvk_setPlotDomain()");
    return 0;
  }
  return tvk_mapXIn(*d, x);
}

double tvk_mapY(double y) {
  const tvk_PlotDomain* d = tvk_doc().active_domain;
  if (d == nullptr) {
    tvk_reportError(1, tvk_writerName(), "Plot domain has not been set. See tvk_setPlotDomain()");
    return 0;
  }
  return tvk_mapYIn(*d, y);
}
