#pragma once

#include <array>
#include <cstddef>

class CZK470Doc;

namespace analysis {

// Reduces the ST series of the recording record to points of a fixed length of time: each point
// keeps the lowest value of its intervals. Also gives a symmetric value range per ST channel
// index. Created on the document for one use.
class TSTTrendBuilder {
 public:
  static constexpr int kMaxPoints = 7200;
  using Output = std::array<std::array<double, kMaxPoints>, 2>;

  explicit TSTTrendBuilder(const CZK470Doc& doc);

  // Fills output with points of seconds_per_point each from the level series (level 1) or the
  // slope series (level 0); returns the points per curve.
  int Build(int seconds_per_point, Output& output, int level);

  double GetLowest(int s) const { return lowest_[static_cast<std::size_t>(s)]; }
  double GetHighest(int s) const { return highest_[static_cast<std::size_t>(s)]; }
  int GetPoints() const { return points_; }

 private:
  const CZK470Doc& doc_;
  std::array<double, 2> lowest_{};
  std::array<double, 2> highest_{};
  int points_ = 0;
};

}  // namespace analysis
