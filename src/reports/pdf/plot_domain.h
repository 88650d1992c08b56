#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/clock.h"

// A plot domain maps the caller's coordinates (values, centimetres, days) onto a rectangle of the
// page in points. Every plot form of the drawing operations maps through the active domain. Each
// page owns a default domain in drawing units (tvk_setUnitSize); other domains are owned by their
// creator, who must keep a domain alive while it is active.

enum tvk_ScaleKind { tvk_kLinear = 0, tvk_kLogarithmic = 1, tvk_kTime = 2 };

struct tvk_MeshAxis {
  double first_major = 0;
  double first_minor = 0;
  double major_step = 1;
  double minor_step = 0.5;
};

struct tvk_PlotDomain {
  double x = 0, y = 0, width = 0, height = 0;  // points
  double x_min = 0, x_max = 1, y_min = 0, y_max = 1;
  platform::LocalDateTime start_time, end_time;  // time domains: x runs in days from start_time
  int x_kind = tvk_kLinear;
  int y_kind = tvk_kLinear;
  int polar = 0;   // stored, not consulted
  int mesh_x = 1;  // stored, not consulted
  int mesh_y = 1;
  std::string major_dash = "[2 3] 0";
  std::string minor_dash = "[2 3] 0";
  double major_width = 0.15;
  double minor_width = 0.15;
  std::array<double, 3> major_rgb{};
  std::array<double, 3> minor_rgb{};
  tvk_MeshAxis mesh[2];  // x, y

  // Derived by tvk_setPlotDomain.
  double x_scale = 0, y_scale = 0;
  double log_x_min = 0, log_x_max = 0, log_y_min = 0, log_y_max = 0;
};

// Tick values chosen for a linear range: majors from start in major_step up to top.
struct tvk_Ticks {
  double start = 0;
  double top = 0;
  double major_step = 1;
  double minor_step = 1;
};

std::unique_ptr<tvk_PlotDomain> tvk_newPlotDomain(double x, double y, double width, double height,
                                                  double x_min, double x_max, double y_min,
                                                  double y_max, int x_kind, int y_kind, int polar);
std::unique_ptr<tvk_PlotDomain> tvk_newTimePlotDomain(double x, double y, double width, double height,
                                                      const platform::LocalDateTime& start,
                                                      const platform::LocalDateTime& end,
                                                      double y_min, double y_max, int x_kind,
                                                      int y_kind, int polar);
// Makes the domain active (null: none) and returns the previous one.
tvk_PlotDomain* tvk_setPlotDomain(tvk_PlotDomain* domain);
tvk_PlotDomain* tvk_activeDomain();
void tvk_setMesh(tvk_PlotDomain& domain, int axis, double first_major, double major_step,
                 double first_minor, double minor_step);
void tvk_setMeshColors(tvk_PlotDomain& domain, double major_r, double major_g, double major_b,
                       double minor_r, double minor_g, double minor_b);
// Plot coordinate to points through the active domain; 0 (reported) without one.
double tvk_mapX(double x);
double tvk_mapY(double y);
// The same through a given domain, without a report.
double tvk_mapXIn(const tvk_PlotDomain& domain, double x);
double tvk_mapYIn(const tvk_PlotDomain& domain, double y);
tvk_Ticks tvk_niceTicks(double min, double max);
