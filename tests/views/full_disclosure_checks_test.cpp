#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ids.h"
#include "views/full_disclosure_area.h"
#include "views/page_fixture.h"
#include "views/strip_samples.h"

namespace {

using pagetest::PageFixture;

class FullDisclosurePagingTest : public PageFixture {
 protected:
  int PageStart() { return Doc().GetViewFields().page_start_ms; }
  void Rebuild() {
    ASSERT_TRUE(view_->GetSelector()->Rebuild());
    win::Windows().RunPending();
  }
};

// The extremes of a column restart with every page: a spike on the last samples of one page must
// not show in the first column of the next.
TEST_F(FullDisclosurePagingTest, ALaterPageStartsFromItsOwnSamplesNotTheLastPages) {
  Show();
  const int page = Page()->PageLengthMs();
  ASSERT_GT(page, 0);
  ASSERT_LT(2 * page, Doc().GetTimeRangeEnd());

  // Flat zero everywhere but for a 2 mV / -1 mV spike on the last samples of the first page.
  const int first_of_second = static_cast<int>(int64_t{page} * 125 / 1000);
  std::vector<int16_t> samples(30 * 7500, 0);
  samples[static_cast<size_t>(first_of_second - 2)] = 400;
  samples[static_cast<size_t>(first_of_second - 1)] = -200;
  viewstest::ReplaceSamples(Doc(), {samples, samples});
  Rebuild();
  ASSERT_EQ(PageStart(), 0);

  CFullDisclosureArea& area = *Page();
  const int width = area.GetRect().Width();
  const int baseline = Window()->GetPageRows()[0].top + static_cast<int>(Window()->PixelsPerMV() * 2);
  // The spike does show, at the end of the first page's last row.
  const std::vector<gfx::Point>& first_page = area.Traces()[0];
  const std::vector<gfx::Rect>& rows = Window()->GetPageRows();
  const int last_row = area.RowCount() - 1;
  const int last_baseline =
      rows[static_cast<size_t>(last_row)].top + static_cast<int>(Window()->PixelsPerMV() * 2);
  bool spike = false;
  for (int x = width - 3; x < width; ++x)
    spike = spike || first_page[static_cast<size_t>(last_row * width + x)].y != last_baseline;
  ASSERT_TRUE(spike);

  area.OnMessage(cmd::kNextPageOfPage, 0, 0);
  win::Windows().RunPending();
  ASSERT_EQ(PageStart(), page);
  const std::vector<gfx::Point>& second_page = Page()->Traces()[0];
  ASSERT_GE(second_page.size(), static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    SCOPED_TRACE(x);
    ASSERT_EQ(second_page[static_cast<size_t>(x)].y, baseline) << "a flat page draws a flat first row";
  }
}

}  // namespace
