#include "layouts/hr_navigator_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "document/beat_class.h"
#include "document/profile_keys.h"
#include "document/qrs_complex.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"

namespace {

constexpr int N = kClassNormal;
constexpr int A = kClassArtefact;
constexpr int V = 15;  // a ventricular beat: neither normal nor artefact

struct Beat {
  int32_t position;
  int beat_class;
};

// A document without a recording (125 samples per second) whose beat list the test sets; the
// rate averages over four intervals.
class NavigatorLists : public testing::Test {
 protected:
  void SetUp() override {
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetSettings().SetInt(SettingKey::kHeartrateTrendAverage, 0);
  }
  void SetBeats(const std::vector<Beat>& beats, std::vector<int32_t> markers = {}) {
    doc_->GetQRSList().RemoveAll();
    for (const Beat& b : beats) doc_->GetQRSList().Append(TQRSComplex(b.position, b.beat_class));
    doc_->GetRecordingData().recorder_markers = std::move(markers);
  }
  std::vector<TNavigatorEntry> RateList() {
    TBeatRateCalculator calculator(*doc_);
    std::vector<TNavigatorEntry> out;
    calculator.BuildRateList(out);
    return out;
  }
  std::vector<TNavigatorEntry> NNList() {
    TBeatRateCalculator calculator(*doc_);
    std::vector<TNavigatorEntry> out;
    calculator.BuildNNList(out);
    return out;
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(NavigatorLists, RateOfTheFirstBeatSkipsArtefactsLongIntervalsAndMarkers) {
  struct Case {
    const char* name;
    std::vector<Beat> beats;
    std::vector<int32_t> markers;
    int want;
  };
  // 100 samples at 125 Hz are 0.8 s: 75 bpm. Five seconds are 625 samples.
  const Case cases[] = {
      {"four equal intervals", {{0, N}, {100, N}, {200, N}, {300, N}, {400, N}, {500, N}}, {}, 75},
      {"only the first four count", {{0, N}, {100, N}, {200, N}, {300, N}, {400, N}, {900, N}}, {}, 75},
      {"intervals touching an artefact", {{0, N}, {150, A}, {250, N}, {350, N}, {450, N}}, {}, 75},
      {"followed only by artefacts", {{0, N}, {100, A}, {200, A}}, {}, -1},
      {"5 s is too long", {{0, N}, {625, N}}, {}, -1},
      {"just under 5 s", {{0, N}, {624, N}}, {}, 12},
      {"marker on a beat: both its intervals", {{0, N}, {100, N}, {150, N}, {250, N}}, {100}, 75},
      {"marker on the interval's start", {{0, N}, {100, N}, {150, N}}, {0}, 150},
      {"marker on the interval's end", {{0, V}, {100, N}, {200, N}, {250, N}}, {250}, 75},
      {"marker just outside", {{0, N}, {100, N}}, {101}, 75},
      {"the last beat", {{0, N}}, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats(c.beats, c.markers);
    TBeatRateCalculator calculator(*doc_);
    int cursor = 0;
    EXPECT_EQ(calculator.RateAt(0, cursor), c.want);
  }
}

TEST_F(NavigatorLists, MarkerBetweenLaterIntervalsStillCountsForTheNextBeats) {
  // The 200-sample interval holds a marker: beats 0 and 1 average the 100-sample ones only.
  // Had beat 0's look ahead carried the cursor past the marker, beat 1 would take it in (60 bpm).
  SetBeats({{0, N}, {100, N}, {300, N}, {400, N}, {500, N}, {600, N}}, {150});
  const std::vector<TNavigatorEntry> rates = RateList();
  ASSERT_GE(rates.size(), 2u);
  EXPECT_EQ(rates[0], (TNavigatorEntry{75, 0, 0}));
  EXPECT_EQ(rates[1], (TNavigatorEntry{75, 100, 1}));
}

TEST_F(NavigatorLists, ListsLeaveOutBeatsWithoutValueAndKeepBeatOrder) {
  SetBeats({{0, N}, {100, N}, {200, V}, {300, N}, {400, N}, {2000, N}, {2100, A}}, {350});
  const std::vector<TNavigatorEntry> nn = NNList();
  // 0-100 normal pair; 100-200 and 200-300 touch the VES; 300-400 holds the marker; 400-2000 has
  // no length limit; 2000-2100 ends on an artefact; the last beat has no successor.
  ASSERT_EQ(nn.size(), 2u);
  EXPECT_EQ(nn[0], (TNavigatorEntry{100, 0, 0}));
  EXPECT_EQ(nn[1], (TNavigatorEntry{1600, 400, 4}));

  TBeatRateCalculator calculator(*doc_);
  std::vector<TNavigatorEntry> rates;
  const int count = calculator.BuildRateList(rates);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(static_cast<int>(rates.size()), count);
  // Beat 4 looks at 400-2000 (too long) and 2000-2100 (artefact); beats 5 and 6 at artefacts only.
  for (const TNavigatorEntry& e : rates) EXPECT_LT(e.beatIndex, 4);
  EXPECT_TRUE(std::ranges::is_sorted(rates, {}, &TNavigatorEntry::beatIndex));
  EXPECT_EQ(calculator.GetMinRate(), std::ranges::min(rates, {}, &TNavigatorEntry::value).value);
  EXPECT_EQ(calculator.GetMaxRate(), std::ranges::max(rates, {}, &TNavigatorEntry::value).value);

  SetBeats({{0, A}, {100, A}});
  TBeatRateCalculator empty(*doc_);
  EXPECT_EQ(empty.BuildRateList(rates), 0);
  EXPECT_EQ(empty.GetMinRate(), 500);
  EXPECT_EQ(empty.GetMaxRate(), 0);
}

TEST_F(NavigatorLists, RateAtStoredExtremesUsesTheNearestBeat) {
  SetBeats({{0, N}, {100, N}, {150, N}, {250, A}, {300, A}});
  TBeatRateCalculator none(*doc_);
  EXPECT_EQ(none.RateAtStoredMin(), -1);
  EXPECT_EQ(none.RateAtStoredMax(), -1);
  doc_->SetHRMax(150, 110, 1, 3);  // nearest beat 1: one interval of 50, the rest artefact
  doc_->SetHRMin(75, 240, 3, 3);   // nearest beat 3: artefact intervals only
  TBeatRateCalculator stored(*doc_);
  EXPECT_EQ(stored.RateAtStoredMax(), 150);
  EXPECT_EQ(stored.RateAtStoredMin(), -1);
}

TEST(NavigatorSort, EqualValuesKeepTheirBeatOrder) {
  const std::vector<TNavigatorEntry> source = {{72, 10, 0}, {90, 20, 1}, {72, 30, 2},
                                               {60, 40, 3}, {72, 50, 4}, {90, 60, 5}};
  std::vector<TNavigatorEntry> sorted;
  ASSERT_TRUE(SortByValue(source, sorted));
  const std::vector<int> beats = [&] {
    std::vector<int> b;
    for (const TNavigatorEntry& e : sorted) b.push_back(e.beatIndex);
    return b;
  }();
  EXPECT_EQ(beats, (std::vector<int>{3, 0, 2, 4, 1, 5}));

  // A far outlier (an NN interval over a long gap) sorts the same way.
  std::vector<TNavigatorEntry> wide = source;
  wide.push_back({2'000'000'000, 70, 6});
  wide.push_back({-5, 80, 7});
  ASSERT_TRUE(SortByValue(wide, sorted));
  std::vector<TNavigatorEntry> expected = wide;
  std::ranges::stable_sort(expected, {}, &TNavigatorEntry::value);
  EXPECT_EQ(sorted, expected);

  EXPECT_FALSE(SortByValue({}, sorted));
  EXPECT_TRUE(sorted.empty());
}

TEST(NavigatorTenMinuteIndex, SlotsPointAtTheFirstEntryOfEachTenMinutes) {
  constexpr double kRate = 125.0;
  const auto at_minute = [](double minute) { return static_cast<int32_t>(minute * 60 * kRate); };
  // Lead off from minute 32 to minute 57.
  std::vector<TNavigatorEntry> entries;
  for (const double minute : {0.5, 9.9, 10.0, 25.0, 31.9, 57.2, 58.0, 61.0})
    entries.push_back({70, at_minute(minute), static_cast<int>(entries.size())});
  const std::vector<int> index = BuildTenMinuteIndex(entries, kRate, 65);
  EXPECT_EQ(index, (std::vector<int>{0, 2, 3, 4, 5, 5, 7, 8}));
  EXPECT_EQ(TenMinuteSlot(index, 7, 8), 8);
  EXPECT_EQ(TenMinuteSlot(index, 500, 8), 8);

  // Past 72 hours the index simply grows: an 80-hour recording has a slot for every ten minutes.
  std::vector<TNavigatorEntry> long_list;
  for (int minute = 0; minute < 80 * 60; minute += 5)
    long_list.push_back({60, at_minute(minute + 0.5), static_cast<int>(long_list.size())});
  const std::vector<int> long_index = BuildTenMinuteIndex(long_list, kRate, 80 * 60);
  ASSERT_EQ(long_index.size(), 482u);
  EXPECT_EQ(long_index[470], 940);
  EXPECT_EQ(long_index[481], static_cast<int>(long_list.size()));

  EXPECT_EQ(BuildTenMinuteIndex({}, kRate, 30), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST(NavigatorNearestEntry, SmallestDistanceFirstInSortedOrder) {
  const std::vector<TNavigatorEntry> sorted = {{60, 500, 5}, {70, 100, 1}, {70, 300, 3}, {80, 700, 7}};
  struct Case {
    const char* name;
    int64_t target;
    int want;
  };
  const Case cases[] = {{"exact", 300, 2},
                        {"tie between 100 and 300", 200, 1},
                        {"tie between 300 and 500 goes to the first sorted", 400, 0},
                        {"before all", -50, 1},
                        {"past all", 9999, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindNearestEntry(sorted, c.target), c.want);
  }
  EXPECT_EQ(FindNearestEntry({}, 100), -1);
  EXPECT_EQ(NavigatorTarget(1000, 125.0), 125);
}

}  // namespace
