#pragma once

#include <array>

#include "platform/ids.h"
#include "reports/parts/print_four_strip_page.h"

// One page with the strips of the four ST episodes that reach the lowest ST level over all ST
// channels, lowest first, each headed by its ST level and slope at the extreme.
class TPrintSTEpisodeStrips : public TPrintStripPage {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32911;
  static constexpr double kNoLevel = 10000.0;

  // One of the four lowest episodes; level and slope are kNoLevel while the entry is empty.
  struct Entry {
    double level = kNoLevel;  // mm
    double slope = kNoLevel;  // mV/s
    int episode = -1;         // in the channel's episode list
    int channel = -1;         // ST channel index
  };

  TPrintSTEpisodeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                        TPrintAutoGain* auto_gain);
  ~TPrintSTEpisodeStrips() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  const std::array<Entry, kRows>& Lowest() const { return lowest_; }

 private:
  std::array<Entry, kRows> lowest_{};
};
