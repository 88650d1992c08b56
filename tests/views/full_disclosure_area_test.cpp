#include "views/full_disclosure_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/document_context.h"
#include "document/qrs_list.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/page_fixture.h"

namespace {

using pagetest::PageFixture;

class FullDisclosureTest : public PageFixture {
 protected:
  int Query(uint32_t msg) {
    int answer = 1;
    Page()->OnMessage(msg, 0, reinterpret_cast<win::LParam>(&answer));
    return answer;
  }
  int PageStart() { return Doc().GetViewFields().page_start_ms; }
  int PageEnd() { return Doc().GetViewFields().page_end_ms; }
  void MoveTo(int ms) {
    Doc().SetCurrentPosition(ms);
    Doc().UpdateAllViews(nullptr, hint::kEditsChanged);
    Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  }
};

TEST_F(FullDisclosureTest, ThePageIsAsLargeAsItsAreaAndStartsFromItsOwnSamples) {
  // The slowest page at the smallest gain on a 4K screen: wider than 3000 columns, over 100 rows.
  Doc().GetSettings().SetInt(SettingKey::kResECGSpeed, 0);
  Doc().GetSettings().SetInt(SettingKey::kResECGAmplitude, 0);
  Doc().GetSettings().SetInt(SettingKey::kECGViewChannel, 0);
  Show(3900, 2100);
  CFullDisclosureArea& page = *Page();
  const gfx::Rect area = page.GetRect();
  const int width = area.Width();
  ASSERT_GT(width, 3000);
  ASSERT_GT(page.RowCount(), 100);
  ASSERT_EQ(page.Traces().size(), 1u);
  const std::vector<gfx::Point>& trace = page.Traces()[0];
  ASSERT_EQ(trace.size(), static_cast<size_t>(page.RowCount()) * width);
  EXPECT_EQ(trace.back().x, area.left + width);

  // The first column: the extreme of its own samples reached first, counted from the first
  // sample of the page (never a start value of 255 or one left from another page).
  CZK470Doc::MinuteBlockArrays blocks;
  Doc().LoadChannelMinutesSet0(blocks, PageStart(), 60'000, false);
  const double pixels_per_second = Window()->PixelsPerSecond();
  const int first = static_cast<int>(PageStart() * 125.0 / 1000.0) % 7500;
  const int k = static_cast<int>(125.0 / pixels_per_second);
  int low = blocks[0][0]->samples[first];
  int high = low;
  int last = 1;
  for (int i = 0; i < k; ++i) {
    const int v = blocks[0][0]->samples[first + i];
    if (v < low) {
      low = v;
      last = 0;
    } else if (v > high) {
      high = v;
      last = 1;
    }
  }
  const int value = last == 1 ? low : high;
  const double ppmv = Window()->PixelsPerMV();
  const int baseline = Window()->GetPageRows()[0].top + static_cast<int>(ppmv * 2);
  EXPECT_EQ(trace[0], (gfx::Point{area.left + 1, baseline - static_cast<int>(ppmv * value * 5 / 1000.0)}));
  CZK470Doc::FreeChannelMinutesSet0(blocks);
}

TEST_F(FullDisclosureTest, ThePageStaysInsideTheRecording) {
  Show();
  const int range_end = Doc().GetTimeRangeEnd();
  const int page = Page()->PageLengthMs();
  ASSERT_GT(page, 0);
  ASSERT_LT(page, range_end);

  MoveTo(range_end - 10);
  EXPECT_EQ(PageEnd(), range_end - 1);
  EXPECT_EQ(PageStart(), range_end - page - 1);

  MoveTo(0);
  EXPECT_EQ(PageStart(), 0);
  EXPECT_EQ(PageEnd(), page);

  // Paging back at the start changes nothing and says nothing.
  view_->hints.clear();
  Page()->OnMessage(cmd::kPreviousPageOfPage, 0, 0);
  EXPECT_EQ(PageStart(), 0);
  EXPECT_TRUE(view_->hints.empty());
  Page()->OnMessage(cmd::kNextPageOfPage, 0, 0);
  EXPECT_EQ(PageStart(), page);
  EXPECT_EQ(Doc().GetCurrentPosition(), page);
  EXPECT_EQ(view_->hints, (std::vector<int>{hint::kPositionMoved, hint::kArea1019}));
}

TEST_F(FullDisclosureTest, RowStepsAreOffWithinARowOfTheEnds) {
  Show();
  const int row = Page()->RowLengthMs();
  const int range_end = Doc().GetTimeRangeEnd();
  struct Case {
    int position;
    int back;
    int forward;
  };
  for (const Case& c :
       {Case{row - 1, 0, 1}, Case{row, 1, 1}, Case{range_end - row, 1, 1}, Case{range_end - row + 1, 1, 0}}) {
    SCOPED_TRACE(c.position);
    Doc().SetCurrentPosition(c.position);
    EXPECT_EQ(Query(areamsg::kCanRowBack), c.back);
    EXPECT_EQ(Query(areamsg::kCanRowForward), c.forward);
  }
}

TEST_F(FullDisclosureTest, TheBoxFollowsThePositionAcrossRows) {
  Show();
  CFullDisclosureArea& page = *Page();
  const gfx::Rect area = page.GetRect();
  const std::vector<gfx::Rect>& rows = Window()->GetPageRows();
  ASSERT_GE(rows.size(), 3u);
  const int row = page.RowLengthMs();
  const int a = page.BoxWidth();
  EXPECT_EQ(a, 4);  // no strip in these screens

  // Before the page: no box.
  Doc().SetCurrentPosition(PageStart() - 1);
  EXPECT_TRUE(page.BoxParts().empty());

  // At the page start the box begins a third before the first column: cut there, and no row
  // before the first to continue in.
  Doc().SetCurrentPosition(PageStart());
  std::vector<CFullDisclosureArea::BoxPart> parts = page.BoxParts();
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].outer,
            (gfx::Rect{area.left, rows[0].top + 1, area.left + a - a / 3, rows[0].bottom - 1}));
  EXPECT_EQ(parts[0].inner.left, area.left);

  // At the end of row 1 the box crosses into row 2.
  Doc().SetCurrentPosition(PageStart() + 2 * row);
  parts = page.BoxParts();
  ASSERT_EQ(parts.size(), 2u);
  const int x = area.left + static_cast<int>(int64_t{area.Width()} * (row - 1) / row);
  EXPECT_EQ(parts[0].outer, (gfx::Rect{x - a / 3, rows[1].top + 1, area.right, rows[1].bottom - 1}));
  EXPECT_EQ(parts[0].inner.right, area.right);
  EXPECT_EQ(parts[1].outer, (gfx::Rect{area.left, rows[2].top + 1, area.left + (x - a / 3 + a - area.right),
                                       rows[2].bottom - 1}));
}

TEST_F(FullDisclosureTest, ARecentreRequestAloneKeepsThePage) {
  Show();
  const int start = PageStart();
  Doc().SetCurrentPosition(start + 2 * Page()->PageLengthMs());
  Doc().UpdateAllViews(nullptr, hint::kEditsChanged);
  EXPECT_EQ(PageStart(), start);
  EXPECT_TRUE(Page()->RecentreRequested());
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  EXPECT_EQ(PageStart(), Doc().GetCurrentPosition() - Page()->PageLengthMs() / 2);
}

TEST_F(FullDisclosureTest, BeatsOtherThanNormalAreMarkedInTheirRow) {
  Show();
  CFullDisclosureArea& page = *Page();
  const int row = page.RowLengthMs();
  const double pixels_per_second = Window()->PixelsPerSecond();
  TQRSList& beats = Doc().GetQRSList();
  beats.RemoveAll();
  // A normal beat, a VES 1 s into row 0 and a VES just after the start of row 1.
  const int32_t ves_row1 = static_cast<int32_t>((row + 16) * 125 / 1000);
  beats.Append(TQRSComplex(62, 1, '!'));
  beats.Append(TQRSComplex(125, 15, '!'));
  beats.Append(TQRSComplex(ves_row1, 15, '!'));
  Doc().UpdateAllViews(nullptr, hint::kCountsChanged);

  const double w = 250 * pixels_per_second * 0.0005 + 1;
  const double o0 = 1000 * pixels_per_second / 1000;
  const double o1 = ves_row1 / 125.0 * 1000.0 * pixels_per_second / 1000 - page.GetRect().Width();
  ASSERT_GT(ves_row1 / 125.0 * 1000.0, row);
  const std::vector<CBeatMarkSpan> want = {
      {0, static_cast<int>(o0 - w + 3), static_cast<int>(o0 + 1.8 * w), 15},
      {1, std::max(0, static_cast<int>(o1 - w + 3)), static_cast<int>(o1 + 1.8 * w), 15},
  };
  ASSERT_EQ(PageStart(), 0);
  EXPECT_EQ(page.Marks(), want);
}

}  // namespace
