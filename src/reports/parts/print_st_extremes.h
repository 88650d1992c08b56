#pragma once

#include <string>

#include "reports/printer_base.h"

struct TSTDetail;

// The table of the deepest ST episode of each ST channel on the ST page: clock time, ST level, ST
// slope and heart rate at onset, extreme and end, and the duration. Placed at its corner in 0.01 mm
// from the margin corner; PrintPage takes the day from 1. A drawing element of the ST page.
class TPrintSTExtremesTable : public TPrinter {
 public:
  static constexpr int kWidth = 11500;
  static constexpr int kHeight = 2400;
  // ST windows of 15 s: 5760 a day, 1875 samples each.
  static constexpr int kWindowsPerDay = 5760;
  static constexpr int kSamplesPerWindow = 1875;

  TPrintSTExtremesTable(CZK470Doc* doc, int x, int y);
  ~TPrintSTExtremesTable() override;

  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int day) override;
  void DrawFrame(gfx::Canvas& dc);
  void PrintValues(gfx::Canvas& dc, int day);

  // The sample position whose episode the table shows for ST channel index st_index; -1 for none.
  int ReferencePosition(int st_index, int day) const;
  // The first episode of the channel that contains the position; nullptr for none.
  const TSTDetail* EpisodeAt(int st_index, int position) const;
  // The clock time of a sample position from the recording's start time, wrapped at midnight.
  std::string ClockTimeText(int position) const;

 private:
  int x_ = 0;
  int y_ = 0;
};
