#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "reports/parts/print_sample_strips.h"

namespace platform {
class ResourcePack;
}

// The title of the user event pages, also the bookmark of every four-strip page that has no
// title of its own.
inline constexpr int kIdsUserEventsTitle = 21075;

// Adds the four-strip pages' texts: German to the German pack, English to every other one.
void AddStripPageResources(platform::ResourcePack& pack);

// The four strip rows of one page: sample positions, -1 for an empty row.
struct TPrintStripPageItem {
  static constexpr int kEmpty = -1;

  TPrintStripPageItem() = default;
  explicit TPrintStripPageItem(const std::array<int32_t, 4>& positions) : positions(positions) {}

  std::array<int32_t, 4> positions{kEmpty, kEmpty, kEmpty, kEmpty};
};

// The base of the parts that print pages of four ECG strips, each placed so that its position lies
// a third into the strip, on millimetre paper with legend, time label and annotations and without
// a context strip. Derived parts fill the page items in their Paginate (page p prints item p - 1),
// call PrintPage first and then print their own title and texts.
class TPrintStripPage : public TPrintSampleStrips {
 public:
  static constexpr int kRows = 4;
  static constexpr int kFirstStripTop = 2900;
  static constexpr int kStripPitch = 5700;

  TPrintStripPage();
  TPrintStripPage(int full_header, CZK470Doc* doc, TReportValues* report_values, TPrintAutoGain* auto_gain);
  ~TPrintStripPage() override;

  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;
  // One strip row at the current strip rectangle; nothing at all for an empty row.
  void PrintStripRow(gfx::Canvas& dc, win::CPrintInfo& info, int32_t position);

  const std::vector<TPrintStripPageItem>& Items() const { return items_; }

 protected:
  std::vector<TPrintStripPageItem> items_;
};
