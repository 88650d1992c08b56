#include "analysis/example_strips.h"

#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;

// One hour: a third is 150000 samples (20 minutes).
constexpr int kMinutes = 60;
constexpr int32_t kThird = 150000;
constexpr int32_t kWhole = 3 * kThird;

class ExampleStripsTest : public AnalysisDocTest {
 protected:
  ExampleStripsTest() { SetRecordingMinutes(kMinutes); }

  // Normal beats at the given positions; those in `ves` are VES.
  void PlaceBeats(const std::vector<int32_t>& positions, const std::vector<int32_t>& ves) {
    Beats().RemoveAll();
    for (int32_t p : positions) {
      const bool v = std::find(ves.begin(), ves.end(), p) != ves.end();
      Beats().Append(TQRSComplex(p, v ? kClassVES : kClassNormal));
    }
  }
  std::array<int32_t, 3> Times(int code) { return Doc().GetRecordingData().example_strips[static_cast<size_t>(code)]; }
  static int32_t Ms(int32_t samples) { return samples * 8; }
};

TEST_F(ExampleStripsTest, FirstOccurrenceThenOneInEachLaterThird) {
  struct Case {
    const char* name;
    std::vector<int32_t> ves;
    std::array<int32_t, 3> want;  // in samples, -1 none
  };
  const int32_t p10 = kWhole / 10;
  const Case cases[] = {
      {"only in the first third: its first three", {100, 200, 300, 400}, {100, 200, 300}},
      {"10, 20, 50 and 90 %", {p10, 2 * p10, 5 * p10, 9 * p10}, {p10, 9 * p10, 5 * p10}},
      {"one occurrence", {500}, {500, -1, -1}},
      // The part of the last minute beyond the whole minutes is the fourth third: once slots 1 and
      // 2 were replaced it replaces nothing.
      {"beyond the whole minutes", {100, 200, 300, kThird + 10, 2 * kThird + 10, kWhole + 100},
       {100, kThird + 10, 2 * kThird + 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int32_t> positions = c.ves;
    for (int32_t p = 50; p < kWhole + 200; p += 20000) positions.push_back(p);
    std::sort(positions.begin(), positions.end());
    PlaceBeats(positions, c.ves);
    analysis::ChooseExampleStrips(Doc());
    std::array<int32_t, 3> want{};
    for (int k = 0; k < 3; ++k) want[static_cast<size_t>(k)] = c.want[static_cast<size_t>(k)] < 0 ? -1 : Ms(c.want[static_cast<size_t>(k)]);
    EXPECT_EQ(Times(kClassVES), want);
    EXPECT_EQ(Times(kClassSVES), (std::array<int32_t, 3>{-1, -1, -1}));
  }
}

TEST_F(ExampleStripsTest, FibrillationAndFlutterShowAbsoluteArrhythmia) {
  PlaceBeats({100, 200}, {});
  Events().Append(TEvent(1000, 2000, kClassAtrialFibrillation));
  Events().Append(TEvent(kThird + 5, kThird + 900, kClassAtrialFlutter));
  Events().Append(TEvent(kThird + 6000, kThird + 9000, kClassArrhythmia));
  EXPECT_EQ(analysis::ChooseEventExampleStrips(Doc(), kClassArrhythmia), 1);
  EXPECT_EQ(Times(kClassArrhythmia), (std::array<int32_t, 3>{Ms(1000), Ms(kThird + 5), Ms(kThird + 6000)}));
  EXPECT_EQ(analysis::ChooseEventExampleStrips(Doc(), kClassPause), 0);
  EXPECT_EQ(analysis::ChooseBeatExampleStrips(Doc(), kClassSVES), 0);

  // Checking keeps a stored time only on an event of exactly that kind. The fibrillation slot
  // finds every candidate chosen already (-1); the flutter slot then takes the fibrillation.
  EXPECT_EQ(analysis::CheckEventExampleStrips(Doc(), kClassArrhythmia), 0);
  EXPECT_EQ(Times(kClassArrhythmia), (std::array<int32_t, 3>{-1, Ms(1000), Ms(kThird + 6000)}));
}

TEST_F(ExampleStripsTest, CheckKeepsMovedBeatsAndReplacesRelabelledOnes) {
  PlaceBeats({1000, 2000, 3000, 4000, kThird + 1000, 2 * kThird + 1000}, {1000, 3000, 4000, kThird + 1000});
  analysis::ChooseExampleStrips(Doc());
  ASSERT_EQ(Times(kClassVES), (std::array<int32_t, 3>{Ms(1000), Ms(kThird + 1000), Ms(4000)}));

  // The beat of the third strip became normal: the search from the third third finds no VES,
  // wraps round, passes the VES already shown and takes the one at 3000.
  Beats().SetClass(3, kClassNormal);
  EXPECT_EQ(analysis::CheckBeatExampleStrips(Doc(), kClassVES), 0);
  EXPECT_EQ(Times(kClassVES), (std::array<int32_t, 3>{Ms(1000), Ms(kThird + 1000), Ms(3000)}));

  // A beat moved by 62 samples (half a second, truncated) keeps its strip; by 63 the strip moves
  // to where the beat is now.
  Beats().ElementAt(0)->SetPosition(1000 - 62);
  analysis::CheckBeatExampleStrips(Doc(), kClassVES);
  EXPECT_EQ(Times(kClassVES)[0], Ms(1000));
  Beats().ElementAt(0)->SetPosition(1000 - 63);
  analysis::CheckBeatExampleStrips(Doc(), kClassVES);
  EXPECT_EQ(Times(kClassVES), (std::array<int32_t, 3>{Ms(1000 - 63), Ms(kThird + 1000), Ms(3000)}));

  // A class that no longer occurs loses all three.
  for (int i = 0; i < Beats().GetSize(); ++i) Beats().SetClass(i, kClassNormal);
  EXPECT_EQ(analysis::CheckBeatExampleStrips(Doc(), kClassVES), -1);
  EXPECT_EQ(Times(kClassVES), (std::array<int32_t, 3>{-1, -1, -1}));
}

TEST_F(ExampleStripsTest, MarkOccurringKinds) {
  PlaceBeats({100, 200, 300}, {200});
  Beats().SetClass(2, kClassArtefact);
  Events().Append(TEvent(10, 10, kClassPaceMaker));
  Events().Append(TEvent(20, 30, kClassSVTrigeminy));
  Events().Append(TEvent(40, 50, kClassAtrialFlutter));
  Events().Append(TEvent(60, 7560, kClassRecorderMinute));
  analysis::MarkOccurringKinds(Doc());
  std::vector<int> set;
  for (int k = 0; k < kClassCount; ++k)
    if (Doc().GetNavigationFlags()[static_cast<size_t>(k)] != 0) set.push_back(k);
  EXPECT_EQ(set, (std::vector<int>{kClassNormal, kClassLeadOff, kClassSVBigeminy, kClassSVTrigeminy, kClassVES,
                                   kClassArrhythmia, kClassAtrialFlutter, kClassRecorderMinute}));
}

}  // namespace
