#include "trends/hrv_table_area.h"

#include <gtest/gtest.h>

#include <string>

#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "layouts/layout_harness.h"
#include "platform/resources.h"
#include "trends/hrv_table_factories.h"
#include "views/layout_tree.h"
#include "win/grid_ctrl.h"

namespace {

TEST(CHRVTableArea, ValueTextsOfEveryRowAndColumn) {
  THRVResult r;
  r.groups[0] = {.coverage = 0.43,
                 .mean_nn = 812.9,
                 .sdnn = 45.99,
                 .sdann = 30.2,
                 .rmssd = 33.5,
                 .sdnn_index = 20.7,
                 .counts = {7, 2, 0},
                 .percents = {12.36, 3.51, 0.0}};
  r.groups[1] = {.coverage = 99.96, .mean_nn = 1000.0, .sdnn = 0.99};
  r.whole = {.coverage = 50.05,
             .mean_nn = 900.5,
             .sdnn = 60.0,
             .sdann = 41.999,
             .rmssd = 31.0,
             .sdnn_index = 25.1,
             .counts = {1234, 56, 7},
             .percents = {100.0, 4.44, 0.05}};
  // Rows: coverage, mean NN, SDNN, SDANN, SDNN index, RMSSD, then count and percent three times.
  const char* const kWant[12][3] = {
      {"0.4", "100.0", "50.0"},  // one decimal, rounded; 50.05 is stored just below .05
      {"812", "1000", "900"},    // interval values are cut
      {"45", "0", "60"},        {"30", "0", "41"},        {"20", "0", "25"}, {"33", "0", "31"},
      {"7", "0", "1234"},       {"12.4", "0.0", "100.0"}, {"2", "0", "56"},  {"3.5", "0.0", "4.4"},
      {"0", "0", "7"},          {"0.0", "0.0", "0.1"},
  };
  for (int row = 0; row < CHRVTableArea::kValueRows; ++row)
    for (int column = 0; column < CHRVTableArea::kValueColumns; ++column)
      EXPECT_EQ(CHRVTableArea::FormatValue(r, row, column), kWant[row][column]) << row << "/" << column;
}

// Layout 13 with only the table brought to life, on a 40-minute recording of regular beats.
class HRVTableInLayout : public testing::Test {
 protected:
  void SetUp() override {
    RegisterHRVTableFactories();
    harness_ = std::make_unique<layouttest::LayoutHarness>(13, 1000, 700);
    AddHRVTableResources(platform::Resources().ExePack());
    harness_->Resize(1000, 701);
  }

  CHRVTableArea* Table() const { return dynamic_cast<CHRVTableArea*>(harness_->Node(2)->GetArea()); }
  CZK470Doc& Doc() const { return harness_->Doc(); }

  std::unique_ptr<layouttest::LayoutHarness> harness_;
};

TEST_F(HRVTableInLayout, GridShowsHeadersAndFollowsTheDocument) {
  CHRVTableArea* table = Table();
  ASSERT_NE(table, nullptr);
  win::GridCtrl* grid = table->GetGrid();
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->GetRowCount(), 13);
  EXPECT_EQ(grid->GetColumnCount(), 4);
  EXPECT_EQ(grid->GetFixedRowCount(), 1);
  EXPECT_EQ(grid->GetFixedColumnCount(), 1);
  EXPECT_EQ(grid->GetItemText(1, 0), " Coverage [%]");
  EXPECT_EQ(grid->GetItemText(2, 0), " Mean NN [ms]");
  EXPECT_EQ(grid->GetItemText(7, 0), " NN50");
  EXPECT_EQ(grid->GetItemText(12, 0), " pNN200 [%]");
  EXPECT_EQ(grid->GetItemText(0, 1), "Outside");
  EXPECT_EQ(grid->GetItemText(0, 3), "All");
  EXPECT_EQ(grid->GetColumnWidth(0), 85);
  EXPECT_EQ(grid->GetColumnWidth(3), 40);
  const gfx::Rect area = table->StoredRect();
  const gfx::Rect shrunk{area.left + 5, area.top + 5, area.right - 5, area.bottom - 5};
  EXPECT_EQ(grid->GetWindowRectInParent(), shrunk);
  // The height less 2 shared out: the later rows take the remainder.
  const int share = shrunk.Height() - 2;
  EXPECT_EQ(grid->GetRowHeight(0), share / 13);
  int total = 0;
  for (int row = 0; row < 13; ++row) total += grid->GetRowHeight(row);
  EXPECT_EQ(total, share);
  EXPECT_LE(grid->GetRowHeight(12) - grid->GetRowHeight(0), 1);
  // No recording yet: zeros.
  EXPECT_EQ(grid->GetItemText(2, 3), "0");

  // The chart areas find the table from the root.
  CHRVTableArea* found = nullptr;
  EXPECT_TRUE(
      harness_->Node(0)->BroadcastUntilHandled(kFindHRVTableArea, 0, reinterpret_cast<win::LParam>(&found)));
  EXPECT_EQ(found, table);

  // Beats 100 samples (800 ms) apart on day 0, 120 apart on day 1, the lead off in between.
  Doc().GetRawECGData()->SetWholeMinutes(2 * 1440);
  Doc().GetEventList().Append(TEvent(41000, 86400 * 125, kClassLeadOff));
  for (int j = 0; j < 400; ++j) Doc().GetQRSList().Append(TQRSComplex(1000 + 100 * j, kClassNormal));
  for (int j = 0; j < 400; ++j)
    Doc().GetQRSList().Append(TQRSComplex(86400 * 125 + 1000 + 120 * j, kClassNormal));
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  EXPECT_EQ(grid->GetItemText(2, 1), "880");
  EXPECT_EQ(grid->GetItemText(1, 3), "99.9");  // 798 of 799 pairs

  // A day change shows that day's stored values at once.
  Doc().SetHRVSelectedDay(1);
  Doc().UpdateAllViews(nullptr, hint::kTrend22224);
  EXPECT_EQ(grid->GetItemText(2, 3), "960");
  EXPECT_EQ(grid->GetItemText(1, 3), "100.0");
  EXPECT_FALSE(table->GetStatistics()->IsComputed());

  // A hint 1005 that carries an object is not a recalculation.
  Doc().GetQRSList().RemoveAll();
  THintObject object;
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged, &object);
  EXPECT_EQ(grid->GetItemText(2, 3), "960");
  Doc().UpdateAllViews(nullptr, hint::kPatientDataEdited);
  EXPECT_EQ(grid->GetItemText(2, 3), "0");
}

}  // namespace
