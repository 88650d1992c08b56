#include "analysis/st/st_trend_builder.h"

#include <algorithm>
#include <cmath>

#include "document/document_context.h"
#include "document/zk470_doc.h"

namespace analysis {

TSTTrendBuilder::TSTTrendBuilder(const CZK470Doc& doc) : doc_(doc) {}

int TSTTrendBuilder::Build(int seconds_per_point, Output& output, int level) {
  const TRecordingData& record = doc_.GetRecordingData();
  const int interval = record.st_interval;
  const int count = std::clamp(document::Context().g_STChannels.count, 0, 2);
  // A record without an interval, or points shorter than one interval, would divide by zero.
  const int per_point = interval > 0 ? seconds_per_point / interval : 0;
  // Bounds come from each channel's own points: a channel not analysed, or a shorter one, never
  // reads what an earlier use left in the output.
  std::array<int, 2> built = {0, 0};
  for (int s = 0; s < count; ++s) {
    const auto si = static_cast<size_t>(s);
    if (record.st_channel_analysed[si] == 0) continue;
    const TSTValues& series = level != 0 ? record.st_levels[si] : record.st_slopes[si];
    const int n = series.GetSize();
    int points = 0;
    if (per_point > 0) points = static_cast<int>(static_cast<double>(n) * interval / seconds_per_point);
    points = std::clamp(points, 0, kMaxPoints);
    points_ = points;
    built[si] = points;
    for (int k = 0; k < points; ++k) {
      double lowest = 1000.0;
      for (int j = k * per_point; j < k * per_point + per_point && j < n; ++j)
        lowest = std::min(lowest, series.GetAt(j).GetValue());
      output[si][static_cast<size_t>(k)] = lowest;
    }
  }
  for (int s = 0; s < count; ++s) {
    const auto si = static_cast<size_t>(s);
    double lowest = 1000.0;
    double highest = -1000.0;
    for (int k = 0; k < built[si]; ++k) {
      const double v = output[si][static_cast<size_t>(k)];
      if (v < lowest) lowest = v;
      if (v > highest) highest = v;
    }
    if (lowest == 1000.0) lowest = -3.0;
    if (highest == -1000.0) highest = 3.0;
    const double m = std::max(std::abs(std::trunc(highest)), std::abs(std::trunc(lowest))) + 1.0;
    lowest = -m;
    highest = m;
    if (highest < 3.0) {
      lowest = -3.0;
      highest = 3.0;
    }
    if (highest > 8.0) {
      lowest = -8.0;
      highest = 8.0;
    }
    lowest_[si] = lowest;
    highest_[si] = highest;
  }
  return points_;
}

}  // namespace analysis
