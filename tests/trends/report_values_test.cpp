#include "trends/report_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/context_guard.h"
#include "document/document_strings.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "support/recording_setup.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "support/testdata_cli.h"
#include "support/truth_list.h"

namespace {

using R = TReportValues;

constexpr int kRate = 125;
constexpr int32_t kHour = kRate * 3600;
constexpr int32_t Sec(int seconds) { return seconds * kRate; }

// 30 hours from 08:37:00 of beats every second (the first at sample 60), made once per process.
struct ThirtyHours {
  testsupport::TempFolder folder{"report_values_30h"};
  std::filesystem::path qrs;
  testsupport::TruthList truth;
};

const ThirtyHours& Recording() {
  static const ThirtyHours* made = [] {
    auto* r = new ThirtyHours;
    const std::filesystem::path base = r->folder.Path() / "00001";
    std::ostringstream out;
    std::ostringstream err;
    const int code =
        testsupport::RunTestdataCli({"synth", "--hours", "30", "--channels", "2", "--hr", "60", "--hrv", "0",
                                     "--seed", "3", "--start", "2024-01-15 08:37:00", base.string()},
                                    out, err);
    if (code != 0) throw std::runtime_error("synth failed: " + err.str());
    r->qrs = coretest::WriteRecordingFile(base);
    const testsupport::RecordingSetup setup =
        testsupport::ReadRecordingSetup(testsupport::SetupPathFor(base));
    r->truth = testsupport::ReadTruthList(r->folder.Path() / setup.truth_file);
    return r;
  }();
  return *made;
}

// Truth beat j lies at 60 + 125 j.
constexpr int32_t BeatAt(int j) { return 60 + kRate * j; }

// The working lists the tests plant on the generator's beats. An extra supraventricular beat lies
// exactly at one hour; two hours inside the second day are lead-off, their beats artefacts.
struct Planted {
  std::vector<TQRSComplex> beats;
  std::vector<TEvent> events;
};

Planted PlantedLists(const testsupport::TruthList& truth) {
  Planted p;
  for (const testsupport::TruthBeat& b : truth.beats) p.beats.emplace_back(b.position, b.beat_class, '!');
  const auto reclass = [&](int j, uint8_t beat_class) {
    p.beats[static_cast<size_t>(j)].SetClass(beat_class);
  };
  for (int j : {100, 200, 300, 18100, 18200, 90500, 90600, 90700}) reclass(j, kClassSVES);
  for (int j : {36100, 36101, 36102, 36103, 36104, 36105, 101000, 101001}) reclass(j, kClassVES);
  for (int j : {11000, 11001}) reclass(j, kClassArtefact);
  for (int j = 93600; j <= 100799; ++j) reclass(j, kClassArtefact);
  p.beats.insert(p.beats.begin() + 3600, TQRSComplex(kHour, kClassSVES, '!'));

  const auto add = [&](int kind, int32_t start, int32_t end) { p.events.emplace_back(start, end, kind); };
  add(kClassBradycardia, Sec(3700), Sec(3720));
  add(kClassBradycardia, Sec(7300), Sec(7320));
  add(kClassBradycardia, Sec(90000), Sec(90010));
  add(kClassTachycardia, Sec(5000), Sec(5000 + 3725));
  add(kClassPause, Sec(400), Sec(400) + 300);
  add(kClassPause, Sec(500), Sec(500) + 250);
  // Two beats and the extra one inside: three intervals over 250 samples, 90 bpm.
  add(kClassVTachycardia, BeatAt(3599), BeatAt(3600));
  // 240 samples with a single beat inside: no span of three intervals fits.
  add(kClassVTachycardia, BeatAt(80000) + 5, BeatAt(80000) + 245);
  add(kClassVBigeminy, Sec(20000), Sec(20060));
  add(kClassVBigeminy, Sec(20200), Sec(20230));
  add(kClassVTrigeminy, Sec(95000), Sec(95045));
  add(kClassSVTachycardia, Sec(30000), Sec(30008));
  add(kClassAtrialFibrillation, Sec(40000), Sec(40090));
  add(kClassAtrialFlutter, Sec(41000), Sec(41120));
  add(kClassArrhythmia, Sec(42000), Sec(42030));
  add(kClassSVCouplet, Sec(3 * 3600 + 10), Sec(3 * 3600 + 11));
  add(kClassSVCouplet, Sec(3 * 3600 + 900), Sec(3 * 3600 + 901));
  add(kClassSVTriplet, Sec(24 * 3600 + 50), Sec(24 * 3600 + 52));
  add(kClassSVBigeminy, Sec(50000), Sec(50004));
  add(kClassSVBigeminy, Sec(50100), Sec(50107));
  add(kClassVCouplet, Sec(2 * 3600 + 1), Sec(2 * 3600 + 2));
  add(kClassVCouplet, Sec(2 * 3600 + 5), Sec(2 * 3600 + 6));
  add(kClassVCouplet, Sec(27 * 3600 + 5), Sec(27 * 3600 + 6));
  add(kClassVTriplet, Sec(4 * 3600 + 7), Sec(4 * 3600 + 9));
  add(kClassRonT, Sec(4 * 3600 + 70), Sec(4 * 3600 + 70));
  add(kClassMarker, Sec(18000), Sec(18000));
  add(kClassMarker, Sec(100000), Sec(100000));
  add(kClassLeadOff, 26 * kHour, 28 * kHour);
  std::stable_sort(p.events.begin(), p.events.end(),
                   [](const TEvent& a, const TEvent& b) { return a.GetPosition() < b.GetPosition(); });
  return p;
}

// Two ST episodes of channel 0 starting in hour 4; the deepest lies in the second.
void PlantStEpisodes(TRecordingData& record) {
  const auto episode = [](int32_t onset, int32_t extreme, double level, double slope, int32_t end) {
    TSTDetail d;
    d.points[TSTDetail::kOnset] = {onset, 60, -1.0, 0.0};
    d.points[TSTDetail::kExtreme] = {extreme, 60, level, slope};
    d.points[TSTDetail::kEnd] = {end, 60, -1.0, 0.0};
    return d;
  };
  record.st_episodes[0].RemoveAll();
  record.st_episodes[0].Add(
      episode(4 * kHour + Sec(100), 4 * kHour + Sec(200), -2.0, -0.5, 4 * kHour + Sec(700)));
  record.st_episodes[0].Add(
      episode(4 * kHour + Sec(900), 4 * kHour + Sec(950), -3.5, -1.2, 4 * kHour + Sec(1100)));
  record.st_episodes[1].RemoveAll();
  record.deepest_st_position = {4 * kHour + Sec(1000), -1};
}

class ReportValues : public testing::Test {
 protected:
  void SetUp() override {
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(doc_->OnOpenDocument(Recording().qrs.string()));
    ASSERT_EQ(doc_->GetRecordingMinutes(), 30 * 60);
    const Planted planted = PlantedLists(Recording().truth);
    doc_->GetQRSList().RemoveAll();
    doc_->GetEventList().RemoveAll();
    for (const TQRSComplex& beat : planted.beats) doc_->GetQRSList().Append(beat);
    for (const TEvent& event : planted.events) doc_->GetEventList().Append(event);
    PlantStEpisodes(doc_->GetRecordingData());
    doc_->GetRecordingData().sves_analysis_on = 1;
    doc_->GetRecordingData().arrhythmia_analysis_on = 1;
  }
  void TearDown() override {
    doc_.reset();
    platform::Resources().Reset();
  }

  void SetStart(int hour, int minute, int second) {
    doc_->GetRecordingData().start_time = {0, (hour * 3600 + minute * 60 + second) / 86400.0};
  }

  ContextGuard context_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

}  // namespace

TEST_F(ReportValues, EveryFieldOfThePlantedRecording) {
  TReportValues rv(*doc_, locale_);
  rv.ComputeEpisodes();
  // Every getter wrapped alike, so that one table holds every field.
#define F(name) [](R& r) { return r.name(); }
  struct Row {
    const char* field;
    std::string (*get)(R&);
    const char* want;
  };
  const Row rows[] = {
      // Extremes: beats every 125 samples. The extra beat at one hour shortens the eight intervals
      // after each of the seven beats before it to 875 samples (68 bpm) and gives the shortest RR,
      // 60 samples; the last run of eight normal beats ends just before it (940 samples, 63 bpm).
      {"HR min", F(GetMinHeartRateText), "60"},
      {"HR min time", F(GetMinHeartRateTimeText), "08:37:00 Day 1"},
      {"HR mean", F(GetMeanHeartRateText), "60"},
      {"HR max", F(GetMaxHeartRateText), "68"},
      {"HR max time", F(GetMaxHeartRateTimeText), "09:36:53 Day 1"},
      {"RR min", F(GetMinRRText), "480"},
      {"RR min time", F(GetMinRRTimeText), "09:37:00 Day 1"},
      {"RR max", F(GetMaxRRText), "1000"},
      {"RR max time", F(GetMaxRRTimeText), "08:37:00 Day 1"},
      {"NN min", F(GetMinNNText), "1000"},
      {"NN min time", F(GetMinNNTimeText), "08:37:00 Day 1"},
      {"NN max", F(GetMaxNNText), "1000"},
      {"NN max time", F(GetMaxNNTimeText), "08:37:00 Day 1"},
      {"sinus min", F(GetMinSinusRateText), "60"},
      {"sinus min time", F(GetMinSinusRateTimeText), "08:37:00 Day 1"},
      {"sinus max", F(GetMaxSinusRateText), "63"},
      {"sinus max time", F(GetMaxSinusRateTimeText), "09:36:52 Day 1"},
      // Counts.
      {"beats", F(GetBeatCountText), "108001"},
      {"bradycardias", F(GetBradycardiaCountText), "3"},
      {"tachycardias", F(GetTachycardiaCountText), "1"},
      {"pauses", F(GetPauseCountText), "2"},
      {"SVES", F(GetSvesCountText), "9"},
      {"SV couplets", F(GetSvCoupletCountText), "2"},
      {"SV triplets", F(GetSvTripletCountText), "1"},
      {"SVT", F(GetSvtCountText), "1"},
      {"SV bigeminies", F(GetSvBigeminyCountText), "2"},
      {"SV trigeminies (a zero count reads 0)", F(GetSvTrigeminyCountText), "0"},
      {"VES", F(GetVesCountText), "8"},
      {"V couplets", F(GetVCoupletCountText), "3"},
      {"V triplets", F(GetVTripletCountText), "1"},
      {"VT", F(GetVtCountText), "2"},
      {"V bigeminies", F(GetVBigeminyCountText), "2"},
      {"V trigeminies", F(GetVTrigeminyCountText), "1"},
      {"R on T", F(GetRonTCountText), "1"},
      {"markers", F(GetMarkerCountText), "2"},
      {"lead off", F(GetLeadOffCountText), "1"},
      {"artefacts", F(GetArtefactCountText), "7202"},
      {"AA (kinds 24, 30, 31)", F(GetAbsArrhythmiaCountText), "3"},
      {"AA ungated", F(GetAbsArrhythmiaTotalText), "3"},
      // Per-hour maxima; the SVES tie of hours 0 and 25 is the same count.
      {"max SVES/h", F(GetMaxSvesPerHourText), "3"},
      {"max SV couplets/h", F(GetMaxSvCoupletsPerHourText), "2"},
      {"max SV triplets/h", F(GetMaxSvTripletsPerHourText), "1"},
      {"max SVT/h", F(GetMaxSvtPerHourText), "1"},
      {"max SV bigeminies/h", F(GetMaxSvBigeminyPerHourText), "2"},
      {"max SV trigeminies/h", F(GetMaxSvTrigeminyPerHourText), "0"},
      {"max VES/h", F(GetMaxVesPerHourText), "6"},
      {"max V couplets/h", F(GetMaxVCoupletsPerHourText), "2"},
      {"max V triplets/h", F(GetMaxVTripletsPerHourText), "1"},
      {"max VT/h (both in hour 0 and 22)", F(GetMaxVtPerHourText), "1"},
      {"max V bigeminies/h", F(GetMaxVBigeminyPerHourText), "2"},
      {"max V trigeminies/h", F(GetMaxVTrigeminyPerHourText), "1"},
      {"max AA/h", F(GetMaxAbsArrhythmiaPerHourText), "3"},
      // Longest episodes: of the two equal bradycardias the earlier.
      {"longest brady time", F(GetLongestBradycardiaTimeText), "09:38:40 Day 1"},
      {"longest brady duration", F(GetLongestBradycardiaDurationText), "00:00:20"},
      {"longest tachy time", F(GetLongestTachycardiaTimeText), "10:00:20 Day 1"},
      {"longest tachy duration", F(GetLongestTachycardiaDurationText), "01:02:05"},
      {"longest pause time", F(GetLongestPauseTimeText), "08:43:40 Day 1"},
      {"longest pause duration", F(GetLongestPauseDurationText), "00:00:02"},
      {"longest SVT time", F(GetLongestSvtTimeText), "16:57:00 Day 1"},
      {"longest SVT duration", F(GetLongestSvtDurationText), "00:00:08"},
      {"longest SVT rate", F(GetLongestSvtRateText), "60"},
      {"longest VT: the one without a span of 3", F(GetLongestVtTimeText), "06:50:20 Day 1"},
      {"longest VT duration (240 samples)", F(GetLongestVtDurationText), "00:00:01"},
      {"longest VT rate", F(GetLongestVtRateText), "-"},
      {"longest V bigeminy time", F(GetLongestVBigeminyTimeText), "14:10:20 Day 1"},
      {"longest V bigeminy duration", F(GetLongestVBigeminyDurationText), "00:01:00"},
      {"longest V bigeminy rate", F(GetLongestVBigeminyRateText), "60"},
      {"longest V trigeminy time", F(GetLongestVTrigeminyTimeText), "11:00:20 Day 2"},
      {"longest V trigeminy duration", F(GetLongestVTrigeminyDurationText), "00:00:45"},
      {"longest V trigeminy rate", F(GetLongestVTrigeminyRateText), "60"},
      // Fastest: the VT with the extra beat; the second V bigeminy is not faster.
      {"fastest SVT time", F(GetFastestSvtTimeText), "16:57:00 Day 1"},
      {"fastest SVT rate", F(GetFastestSvtRateText), "60"},
      {"fastest SVT duration", F(GetFastestSvtDurationText), "00:00:08"},
      {"fastest VT time", F(GetFastestVtTimeText), "09:36:59 Day 1"},
      {"fastest VT rate", F(GetFastestVtRateText), "90"},
      {"fastest VT duration (125 samples)", F(GetFastestVtDurationText), "00:00:01"},
      {"fastest V bigeminy time", F(GetFastestVBigeminyTimeText), "14:10:20 Day 1"},
      {"fastest V bigeminy rate", F(GetFastestVBigeminyRateText), "60"},
      {"fastest V bigeminy duration", F(GetFastestVBigeminyDurationText), "00:01:00"},
      {"fastest V trigeminy time", F(GetFastestVTrigeminyTimeText), "11:00:20 Day 2"},
      {"fastest V trigeminy rate", F(GetFastestVTrigeminyRateText), "60"},
      {"fastest V trigeminy duration", F(GetFastestVTrigeminyDurationText), "00:00:45"},
      {"longest AA: the flutter", F(GetLongestAbsArrhythmiaText), "20:00:20 Day 1 /00:02:00"},
      {"longest SV bigeminy", F(GetLongestSvBigeminyText), "7s (22:32:00 Day 1)"},
      {"longest SV trigeminy: none", F(GetLongestSvTrigeminyText), "-"},
  };
#undef F
  for (const Row& row : rows) EXPECT_EQ(row.get(rv), row.want) << row.field;

  struct Number {
    const char* field;
    int got;
    int want;
  };
  int sves_max = -1, sves_hour = -1, ves_max = -1, ves_hour = -1, aa_max = -1, aa_hour = -1;
  const int sves_result = rv.GetMaxSvesPerHour(&sves_max, &sves_hour);
  const int ves_result = rv.GetMaxVesPerHour(&ves_max, &ves_hour);
  const int aa_result = rv.GetMaxAbsArrhythmiaPerHour(&aa_max, &aa_hour);
  const Number numbers[] = {
      {"HR min seconds", rv.GetMinHeartRateSeconds(), 0},
      {"HR max seconds", rv.GetMaxHeartRateSeconds(), 3593},
      {"beats", rv.GetBeatCount(), 108001},
      {"bradycardias", rv.GetBradycardiaCount(), 3},
      {"tachycardias", rv.GetTachycardiaCount(), 1},
      {"pauses", rv.GetPauseCount(), 2},
      {"SVES", rv.GetSvesCount(), 9},
      {"SV couplets", rv.GetSvCoupletCount(), 2},
      {"SV triplets", rv.GetSvTripletCount(), 1},
      {"SVT", rv.GetSvtCount(), 1},
      {"VES", rv.GetVesCount(), 8},
      {"V couplets", rv.GetVCoupletCount(), 3},
      {"V triplets", rv.GetVTripletCount(), 1},
      {"VT", rv.GetVtCount(), 2},
      {"markers", rv.GetMarkerCount(), 2},
      {"artefacts", rv.GetArtefactCount(), 7202},
      {"AA", rv.GetAbsArrhythmiaCount(), 3},
      {"SVES max per hour", sves_result, 3},
      {"... its count", sves_max, 3},
      {"... its first hour of the tie", sves_hour, 0},
      {"VES max per hour", ves_result, 6},
      {"... its hour", ves_hour, 10},
      {"AA max per hour", aa_result, 3},
      {"... its count", aa_max, 3},
      {"... its hour", aa_hour, 11},
      {"longest brady seconds", rv.GetLongestBradycardiaSeconds(), 3700},
      {"longest brady ms", rv.GetLongestBradycardiaDurationMs(), 20000},
      {"longest tachy seconds", rv.GetLongestTachycardiaSeconds(), 5000},
      {"longest tachy ms", rv.GetLongestTachycardiaDurationMs(), 3725000},
      {"longest pause seconds", rv.GetLongestPauseSeconds(), 400},
      {"longest pause ms", rv.GetLongestPauseDurationMs(), 2400},
      {"longest SVT seconds", rv.GetLongestSvtSeconds(), 30000},
      {"longest SVT ms", rv.GetLongestSvtDurationMs(), 8000},
      {"longest SVT rate", rv.GetLongestSvtRate(), 60},
      {"longest VT seconds", rv.GetLongestVtSeconds(), 80000},
      {"longest VT ms, after its text", rv.GetLongestVtDurationMs(), 1920},
      {"longest VT rate", rv.GetLongestVtRate(), 0},
      {"longest AA seconds", rv.GetLongestAbsArrhythmiaSeconds(), 41000},
      {"longest AA duration", rv.GetLongestAbsArrhythmiaDuration(), 120},
      {"longest brady start", rv.GetEpisodeStartPosition(R::kStartLongestBradycardia), Sec(3700)},
      {"longest tachy start", rv.GetEpisodeStartPosition(R::kStartLongestTachycardia), Sec(5000)},
      {"longest pause start", rv.GetEpisodeStartPosition(R::kStartLongestPause), Sec(400)},
      {"longest VT start", rv.GetEpisodeStartPosition(R::kStartLongestVt), BeatAt(80000) + 5},
      {"longest V bigeminy start", rv.GetEpisodeStartPosition(R::kStartLongestVBigeminy), Sec(20000)},
      {"longest V trigeminy start", rv.GetEpisodeStartPosition(R::kStartLongestVTrigeminy), Sec(95000)},
      {"longest SVT start", rv.GetEpisodeStartPosition(R::kStartLongestSvt), Sec(30000)},
      {"fastest VT start", rv.GetEpisodeStartPosition(R::kStartFastestVt), BeatAt(3599)},
      {"fastest V bigeminy start", rv.GetEpisodeStartPosition(R::kStartFastestVBigeminy), Sec(20000)},
      {"fastest V trigeminy start", rv.GetEpisodeStartPosition(R::kStartFastestVTrigeminy), Sec(95000)},
      {"fastest SVT start", rv.GetEpisodeStartPosition(R::kStartFastestSvt), Sec(30000)},
  };
  for (const Number& n : numbers) EXPECT_EQ(n.got, n.want) << n.field;
}

TEST_F(ReportValues, TimeAndDurationTexts) {
  struct Case {
    const char* name;
    int start_h, start_m, start_s;
    int minutes;  // of the recording: day labels only beyond 1440
    int seconds;
    const char* want;
  };
  const Case cases[] = {
      {"past midnight, one day: no label", 23, 59, 30, 1440, 45, "00:00:15"},
      {"at 86400 s of two days: day 2", 23, 59, 30, 2880, 86400, "23:59:30 Day 2"},
      {"last second of day 1, a minute carried", 23, 59, 30, 2880, 86399, "23:59:29 Day 1"},
      {"second 50 + 15 carries a minute", 8, 37, 50, 1800, 15, "08:38:05 Day 1"},
      {"second 50 + 9 carries nothing", 8, 37, 50, 1800, 9, "08:37:59 Day 1"},
      {"25 h after the start", 8, 37, 0, 1800, 90000, "09:37:00 Day 2"},
  };
  for (const Case& c : cases) {
    SetStart(c.start_h, c.start_m, c.start_s);
    doc_->GetRawECGData()->SetWholeMinutes(c.minutes);
    EXPECT_EQ(TReportValues(*doc_, locale_).GetTimeOfDayText(c.seconds), c.want) << c.name;
  }

  SetStart(13, 5, 0);
  doc_->GetRawECGData()->SetWholeMinutes(600);
  const platform::FixedLocale twelve(platform::FixedLocale::Kind::k12Hour);
  EXPECT_EQ(TReportValues(*doc_, twelve).GetTimeOfDayText(9), "1:05:09 PM");

  struct Duration {
    int seconds;
    const char* want;
  };
  for (const Duration& d : {Duration{0, "00:00:00"}, Duration{3725, "01:02:05"},
                            Duration{25 * 3600 + 61, "25:01:01"}, Duration{100 * 3600, "100:00:00"}})
    EXPECT_EQ(TReportValues::GetDurationText(d.seconds), d.want) << d.seconds;
}

TEST_F(ReportValues, HourAndDayTables) {
  TReportValues rv(*doc_, locale_);

  rv.FillHourLabels(false);
  EXPECT_EQ(rv.GetHourText(0), "08:37");
  EXPECT_EQ(rv.GetHourText(1), "09:37");
  EXPECT_EQ(rv.GetHourText(15), "23:37");
  EXPECT_EQ(rv.GetHourText(16), "00:37");
  EXPECT_EQ(rv.GetHourText(71), "07:37");
  rv.FillHourLabels(true);
  EXPECT_EQ(rv.GetHourText(23), "07:37 Day 1");
  EXPECT_EQ(rv.GetHourText(24), "08:37 Day 2");
  EXPECT_EQ(rv.GetHourText(47), "07:37 Day 2");
  EXPECT_EQ(rv.GetHourText(48), "08:37 Day 3");

  // Per-hour texts ("-" for none) and the day rows they leave ("0" for none).
  struct HourCell {
    int hour;
    const char* want;
  };
  struct Count {
    const char* name;
    bool beats;
    int code;
    int want_hours;  // hours with a count, events only
    std::vector<HourCell> cells;
    int row;  // -1: no day row
    std::array<const char*, 3> want_days;
  };
  const Count counts[] = {
      {"SVES: the beat at exactly 450000 is in hour 1",
       true,
       kClassSVES,
       0,
       {{0, "3"}, {1, "1"}, {2, "-"}, {5, "2"}, {25, "3"}},
       R::kRowSves,
       {"6", "3", "0"}},
      {"VES", true, kClassVES, 0, {{10, "6"}, {28, "2"}, {11, "-"}}, R::kRowVes, {"6", "2", "0"}},
      {"artefacts: the lead-off hours",
       true,
       kClassArtefact,
       0,
       {{3, "2"}, {26, "3600"}, {27, "3600"}},
       R::kRowArtefacts,
       {"2", "7200", "0"}},
      {"normal beats: no day row", true, kClassNormal, 0, {{0, "3597"}, {1, "3600"}, {30, "-"}}, -1, {}},
      {"kind 24 counts fibrillation and flutter too",
       false,
       kClassArrhythmia,
       1,
       {{11, "3"}},
       R::kRowAbsArrhythmias,
       {"3", "0", "0"}},
      {"bradycardias",
       false,
       kClassBradycardia,
       3,
       {{1, "1"}, {2, "1"}, {25, "1"}},
       R::kRowBradycardias,
       {"2", "1", "0"}},
      {"tachycardias", false, kClassTachycardia, 1, {{1, "1"}}, R::kRowTachycardias, {"1", "0", "0"}},
      {"pauses", false, kClassPause, 1, {{0, "2"}}, R::kRowPauses, {"2", "0", "0"}},
      {"SV couplets", false, kClassSVCouplet, 1, {{3, "2"}}, R::kRowSvCouplets, {"2", "0", "0"}},
      {"SV triplets", false, kClassSVTriplet, 1, {{24, "1"}}, R::kRowSvTriplets, {"0", "1", "0"}},
      {"SVT", false, kClassSVTachycardia, 1, {{8, "1"}}, R::kRowSvts, {"1", "0", "0"}},
      {"SV bigeminies", false, kClassSVBigeminy, 1, {{13, "2"}}, R::kRowSvBigeminies, {"2", "0", "0"}},
      {"SV trigeminies: none",
       false,
       kClassSVTrigeminy,
       0,
       {{0, "-"}},
       R::kRowSvTrigeminies,
       {"0", "0", "0"}},
      {"V couplets", false, kClassVCouplet, 2, {{2, "2"}, {27, "1"}}, R::kRowVCouplets, {"2", "1", "0"}},
      {"V triplets", false, kClassVTriplet, 1, {{4, "1"}}, R::kRowVTriplets, {"1", "0", "0"}},
      {"VT", false, kClassVTachycardia, 2, {{0, "1"}, {22, "1"}}, R::kRowVts, {"2", "0", "0"}},
      {"V bigeminies", false, kClassVBigeminy, 1, {{5, "2"}}, R::kRowVBigeminies, {"2", "0", "0"}},
      {"V trigeminies", false, kClassVTrigeminy, 1, {{26, "1"}}, R::kRowVTrigeminies, {"0", "1", "0"}},
      {"R on T", false, kClassRonT, 1, {{4, "1"}}, R::kRowRonT, {"1", "0", "0"}},
      {"markers", false, kClassMarker, 2, {{5, "1"}, {27, "1"}}, R::kRowMarkers, {"1", "1", "0"}},
      {"lead off", false, kClassLeadOff, 1, {{26, "1"}}, R::kRowLeadOff, {"0", "1", "0"}},
      {"fibrillation alone: no day row", false, kClassAtrialFibrillation, 1, {{11, "1"}}, -1, {}},
  };
  for (const Count& c : counts) {
    SCOPED_TRACE(c.name);
    if (c.beats) {
      rv.CountBeatsPerHour(c.code);
    } else {
      EXPECT_EQ(rv.CountEventsPerHour(c.code), c.want_hours);
    }
    for (const HourCell& cell : c.cells)
      EXPECT_EQ(rv.GetHourText(cell.hour), cell.want) << "hour " << cell.hour;
    if (c.row < 0) continue;
    for (int d = 0; d < 3; ++d) EXPECT_EQ(rv.GetDayText(c.row, d), c.want_days[static_cast<size_t>(d)]) << d;
  }
  // A count without a row leaves the row alone.
  rv.CountBeatsPerHour(kClassNormal);
  EXPECT_EQ(rv.GetDayText(R::kRowLeadOff, 1), "1");

  // Heart rates per hour: the eight beats before the extra one read 68 bpm, the lead-off hours
  // nothing; the second day has six hours, two of them without a heart rate.
  rv.FillHourlyHeartRateTable();
  struct HrHour {
    int hour;
    const char *beats, *min, *mean, *max;
  };
  const HrHour hours[] = {{0, "3600", "60", "60", "68"},  {1, "3601", "60", "60", "64"},
                          {25, "3600", "60", "60", "60"}, {26, "3600", "0", "0", "0"},
                          {29, "3600", "60", "60", "60"}, {30, "0", "0", "0", "0"}};
  for (const HrHour& h : hours) {
    SCOPED_TRACE(h.hour);
    EXPECT_EQ(rv.GetHourBeatText(h.hour), h.beats);
    EXPECT_EQ(rv.GetHourMinText(h.hour), h.min);
    EXPECT_EQ(rv.GetHourMeanText(h.hour), h.mean);
    EXPECT_EQ(rv.GetHourMaxText(h.hour), h.max);
  }
  EXPECT_EQ(rv.GetDayBeatTotal(0), 86401);
  EXPECT_EQ(rv.GetDayBeatTotal(1), 21600);
  EXPECT_EQ(rv.GetDayBeatTotal(2), 0);
  const std::array<std::array<const char*, 3>, 4> want_days = {{
      {"60*", "60", "68*"},  // whole recording
      {"60*", "60*", "-*"},  // minimum per day; day 3 has no hours
      {"60", "60", "-"},     // mean over the hours with a heart rate: not 240 / 6 = 40
      {"68*", "60*", "-*"},
  }};
  for (int row = 0; row < 4; ++row)
    for (int d = 0; d < 3; ++d) EXPECT_EQ(rv.GetDayText(row, d), want_days[row][d]) << row << "/" << d;
}

TEST_F(ReportValues, StTables) {
  TReportValues rv(*doc_, locale_);
  rv.FillHourlySTTable(0);
  EXPECT_EQ(rv.GetSTLevelText(4), "-3.5");
  EXPECT_EQ(rv.GetSTSlopeText(4), "-1.2");
  EXPECT_EQ(rv.GetSTLongestText(4), "00:10");
  EXPECT_EQ(rv.GetSTHourLongest(4), Sec(600));
  for (int hour : {0, 3, 5, 71}) {
    EXPECT_EQ(rv.GetSTLevelText(hour), "-") << hour;
    EXPECT_EQ(rv.GetSTSlopeText(hour), "-") << hour;
    EXPECT_EQ(rv.GetSTLongestText(hour), "-") << hour;
  }
  rv.FillHourlySTTable(1);
  EXPECT_EQ(rv.GetSTLevelText(4), "-");

  int seconds = -1;
  double level = 1.0;
  EXPECT_TRUE(rv.GetMaxSTDepression(0, &seconds, &level));
  EXPECT_EQ(seconds, 4 * 3600 + 950);
  EXPECT_DOUBLE_EQ(level, -3.5);
  doc_->GetRecordingData().deepest_st_position[0] = 4 * kHour + Sec(800);  // between the episodes
  EXPECT_FALSE(rv.GetMaxSTDepression(0, &seconds, &level));
  EXPECT_EQ(seconds, 0);
  EXPECT_EQ(level, 0.0);
  EXPECT_FALSE(rv.GetMaxSTDepression(1, &seconds, &level)) << "no deepest position";
}

TEST_F(ReportValues, Gates) {
  doc_->GetRecordingData().sves_analysis_on = 0;
  TReportValues rv(*doc_, locale_);
  rv.ComputeEpisodes();
  for (const std::string& text :
       {rv.GetSvesCountText(), rv.GetSvCoupletCountText(), rv.GetSvTripletCountText(), rv.GetSvtCountText(),
        rv.GetSvBigeminyCountText(), rv.GetSvTrigeminyCountText(), rv.GetMaxSvesPerHourText(),
        rv.GetMaxSvCoupletsPerHourText(), rv.GetMaxSvTripletsPerHourText(), rv.GetMaxSvtPerHourText(),
        rv.GetMaxSvBigeminyPerHourText(), rv.GetMaxSvTrigeminyPerHourText(), rv.GetLongestSvBigeminyText()})
    EXPECT_EQ(text, "-");
  EXPECT_EQ(rv.GetSvesCount() + rv.GetSvCoupletCount() + rv.GetSvTripletCount() + rv.GetSvtCount(), 0);
  int count = 0, hour = -1;
  EXPECT_EQ(rv.GetMaxSvesPerHour(&count, &hour), 3) << "not gated";
  EXPECT_EQ(hour, 0);

  // Absolute-arrhythmia analysis off: the events present still show; with none, "-".
  doc_->GetRecordingData().arrhythmia_analysis_on = 0;
  EXPECT_EQ(rv.GetAbsArrhythmiaCountText(), "3");
  EXPECT_EQ(rv.GetMaxAbsArrhythmiaPerHourText(), "3");
  TEventList& events = doc_->GetEventList();
  for (int i = events.GetSize() - 1; i >= 0; --i) {
    const int kind = events.GetAt(i).GetClass();
    if (kind == kClassArrhythmia || kind == kClassAtrialFlutter) events.RemoveAt(i);
  }
  EXPECT_EQ(rv.GetAbsArrhythmiaCountText(), "1") << "kind 30 alone";
  for (int i = events.GetSize() - 1; i >= 0; --i)
    if (events.GetAt(i).GetClass() == kClassAtrialFibrillation) events.RemoveAt(i);
  EXPECT_EQ(rv.GetAbsArrhythmiaCountText(), "-");
  EXPECT_EQ(rv.GetAbsArrhythmiaCount(), 0);
  EXPECT_EQ(rv.GetMaxAbsArrhythmiaPerHourText(), "-");
  count = 7;
  hour = 7;
  EXPECT_EQ(rv.GetMaxAbsArrhythmiaPerHour(&count, &hour), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(hour, 0);
  EXPECT_EQ(rv.GetAbsArrhythmiaTotalText(), "0");
}

// A short episode reads one second, but its stored duration stays: the milliseconds do not depend
// on whether a text was asked for first.
TEST_F(ReportValues, ShortEpisodeKeepsItsDuration) {
  TEventList& events = doc_->GetEventList();
  events.RemoveAll();
  events.Append(TEvent(Sec(1000), Sec(1000) + 100, kClassVTachycardia));
  events.Append(TEvent(Sec(2000), Sec(2000) + 50, kClassAtrialFlutter));
  TReportValues rv(*doc_, locale_);
  rv.ComputeEpisodes();
  EXPECT_EQ(rv.GetLongestVtDurationMs(), 800);
  EXPECT_EQ(rv.GetLongestVtDurationText(), "00:00:01");
  EXPECT_EQ(rv.GetLongestVtDurationMs(), 800);
  EXPECT_EQ(rv.GetLongestVtRateText(), "-");
  EXPECT_EQ(rv.GetFastestVtTimeText(), "-") << "a VT without a rate is never the fastest";
  EXPECT_EQ(rv.GetFastestVtDurationText(), "-");
  EXPECT_EQ(rv.GetEpisodeStartPosition(R::kStartFastestVt), 0);
  EXPECT_EQ(rv.GetLongestAbsArrhythmiaDuration(), 1);
  EXPECT_EQ(rv.GetLongestAbsArrhythmiaText(), "09:10:20 Day 1 /00:00:01");
  for (const std::string& text : {rv.GetLongestBradycardiaTimeText(), rv.GetLongestBradycardiaDurationText(),
                                  rv.GetLongestPauseTimeText(), rv.GetFastestSvtRateText()})
    EXPECT_EQ(text, "-");
  EXPECT_EQ(rv.GetLongestBradycardiaSeconds(), 0);
  EXPECT_EQ(rv.GetLongestBradycardiaDurationMs(), 0);
  events.RemoveAll();
  EXPECT_EQ(rv.GetLongestSvBigeminyText(), "-") << "empty event list";
}

// A missing extreme has no time: "-", not the recording start. The values come from the document,
// the trend only fills in what it holds no valid extreme for.
TEST_F(ReportValues, ExtremesFromTheDocument) {
  doc_->SetHRMax(140, Sec(7200), 7200, 0);
  TReportValues rv(*doc_, locale_);
  EXPECT_EQ(rv.GetMaxHeartRateText(), "140") << "a stored extreme stays";
  EXPECT_EQ(rv.GetMaxHeartRateTimeText(), "10:37:00 Day 1");
  EXPECT_EQ(rv.GetMinHeartRateText(), "60") << "filled in by the trend";
  doc_->SetRRMax(Sec(6 * 3600), Sec(60), 60, 0);  // six hours between two beats
  EXPECT_EQ(rv.GetMaxRRText(), "21600000");

  doc_->SetHRMin(0, -1, -1, 0);
  doc_->SetRRMax(0, -1, -1, 0);
  EXPECT_EQ(rv.GetMinHeartRateTimeText(), "-");
  EXPECT_EQ(rv.GetMinHeartRateSeconds(), 0);
  EXPECT_EQ(rv.GetMaxRRTimeText(), "-");
  EXPECT_EQ(rv.GetMinHeartRateText(), "0") << "the trend is computed once";
  rv.FillHourlyHeartRateTable();
  EXPECT_EQ(rv.GetDayText(R::kRowRecordingHeartRate, 0), "0*");
  doc_->SetHRMin(-1, -1, -1, 0);
  rv.FillHourlyHeartRateTable();
  EXPECT_EQ(rv.GetDayText(R::kRowRecordingHeartRate, 0), "-*");
}

// A recording that ends inside an hour: that last hour has its heart rates like every other.
TEST_F(ReportValues, TheLastPartialHourHasItsHeartRates) {
  doc_->GetRawECGData()->SetWholeMinutes(29 * 60 + 30);
  TReportValues rv(*doc_, locale_);
  rv.FillHourlyHeartRateTable();
  EXPECT_EQ(rv.GetHourMinText(29), "60");
  EXPECT_EQ(rv.GetHourMeanText(29), "60");
  EXPECT_EQ(rv.GetHourMaxText(29), "60");
  EXPECT_EQ(rv.GetHourMaxText(30), "0");
}

// A day whose hours hold no heart rate at all shows "-" for its values, never a minimum of 0.
TEST_F(ReportValues, DayWithoutHeartRate) {
  TQRSList& beats = doc_->GetQRSList();
  const int first_of_day_2 = 86401;  // truth beats below one day, plus the extra one
  ASSERT_GE(beats.GetAt(first_of_day_2).GetPosition(), 24 * kHour);
  ASSERT_LT(beats.GetAt(first_of_day_2 - 1).GetPosition(), 24 * kHour);
  beats.RemoveAt(first_of_day_2, beats.GetSize() - first_of_day_2);
  TReportValues rv(*doc_, locale_);
  rv.FillHourlyHeartRateTable();
  EXPECT_EQ(rv.GetDayText(R::kRowDayMinHeartRate, 1), "-*");
  EXPECT_EQ(rv.GetDayText(R::kRowDayMeanHeartRate, 1), "-");
  EXPECT_EQ(rv.GetDayText(R::kRowDayMaxHeartRate, 1), "-*");
  EXPECT_EQ(rv.GetDayText(R::kRowDayMinHeartRate, 0), "60*");
  EXPECT_EQ(rv.GetHourBeatText(24), "0");
}
