#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"
#include "support/wfdb_record.h"
#include "trends/hrv_statistics.h"

namespace {

constexpr int kRate = 125;
constexpr int64_t kSegmentSamples = 300 * kRate;

struct Expected {
  double mean_nn = 0, sdnn = 0, sdann = 0, sdnn_index = 0, rmssd = 0, pnn50 = 0;
  int nn50 = 0;
};

double SampleSd(const std::vector<double>& v) {
  if (v.size() < 2) return 0.0;
  double mean = 0;
  for (double x : v) mean += x;
  mean /= static_cast<double>(v.size());
  double s = 0;
  for (double x : v) s += (x - mean) * (x - mean);
  return std::sqrt(s / static_cast<double>(v.size() - 1));
}

// The time-domain values of a continuous record written out from the definitions: a pair of
// normal or supraventricular beats is an NN interval; a pair lies in the 5-minute segment of its
// first beat (a segment ends after its end position), so the pair that crosses a segment end
// still belongs to it; a segment with more than 20 % other pairs is dropped; the last segment
// (an empty one when the last pair crossed an end) gives no mean and no deviation; differences run over every
// NN pair in order but count only in kept segments. in_window tells the HRV window group of a pair's first
// beat.
template <typename InWindow>
Expected FromDefinitions(const std::vector<int64_t>& pos, const std::vector<bool>& nn, InWindow in_window) {
  const size_t pairs = pos.size() - 1;
  std::vector<int64_t> segment(pairs);
  for (size_t i = 0; i < pairs; ++i) {
    segment[i] = pos[i] > 0 ? (pos[i] - 1) / kSegmentSamples : 0;
    // The record has no gap of 5 minutes, so every segment holds beats.
    if (i > 0) {
      EXPECT_LE(segment[i] - segment[i - 1], 1);
    }
  }
  const bool crossed = pos.back() > (segment.back() + 1) * kSegmentSamples;
  const size_t segments = static_cast<size_t>(segment.back()) + (crossed ? 2 : 1);
  std::vector<int> beats(segments), others(segments);
  for (size_t i = 0; i < pairs; ++i) {
    ++beats[segment[i]];
    if (!nn[i] || !nn[i + 1]) ++others[segment[i]];
  }
  std::vector<bool> kept(segments);
  for (size_t s = 0; s < segments; ++s) kept[s] = beats[s] > 0 && others[s] * 100 / beats[s] <= 20;

  std::vector<double> all;
  std::vector<std::vector<double>> per_segment(segments);
  std::vector<std::array<std::vector<double>, 2>> per_group(segments);
  double previous = -1, squares = 0;
  Expected e;
  for (size_t i = 0; i < pairs; ++i) {
    if (!nn[i] || !nn[i + 1]) continue;
    const double rr = static_cast<double>(pos[i + 1] - pos[i]);
    const size_t s = static_cast<size_t>(segment[i]);
    if (kept[s]) {
      all.push_back(rr);
      per_segment[s].push_back(rr);
      per_group[s][in_window(pos[i]) ? 1 : 0].push_back(rr);
      if (previous >= 0) {
        squares += (rr - previous) * (rr - previous);
        if (std::abs(rr - previous) > 6) ++e.nn50;
      }
    }
    previous = rr;
  }
  double sum = 0;
  for (double rr : all) sum += rr;
  const double ms = 1000.0 / kRate;
  e.mean_nn = sum / static_cast<double>(all.size()) * ms;
  e.sdnn = SampleSd(all) * ms;
  e.rmssd = std::sqrt(squares / static_cast<double>(all.size() - 1)) * ms;
  e.pnn50 = e.nn50 * 100.0 / static_cast<double>(all.size());
  std::vector<double> means;
  double sd_sum = 0;
  int sd_count = 0;
  for (size_t s = 0; s + 1 < segments; ++s) {
    if (!per_segment[s].empty()) {
      double m = 0;
      for (double rr : per_segment[s]) m += rr;
      means.push_back(m / static_cast<double>(per_segment[s].size()));
    }
    for (const auto& list : per_group[s]) {
      const double sd = SampleSd(list);
      if (sd > 0) {
        sd_sum += sd;
        ++sd_count;
      }
    }
  }
  e.sdann = SampleSd(means) * ms;
  e.sdnn_index = sd_count > 0 ? sd_sum / sd_count * ms : 0.0;
  return e;
}

class HRVOnRealECG : public doctest::DocFixture {};

TEST_F(HRVOnRealECG, Record100MatchesTheDefinitions) {
  const std::filesystem::path atr = std::filesystem::path(ZK_SHARED_DIR) / "data/mitdb/100.atr";
  if (!std::filesystem::exists(atr)) GTEST_SKIP() << "no MIT-BIH record 100 in " << atr.parent_path();
  const testsupport::WfdbHeader header = testsupport::ReadWfdbHeader(atr.parent_path() / "100.hea");
  const auto annotations = testsupport::ReadWfdbAnnotations(atr);
  const int minutes = static_cast<int>(header.samples_per_signal / header.sampling_frequency / 60);
  const int64_t shown = int64_t{minutes} * 60 * kRate;
  const auto irate = static_cast<int64_t>(header.sampling_frequency);

  ASSERT_TRUE(doc_->OnNewDocument());
  doc_->GetRawECGData()->SetWholeMinutes(minutes);
  std::vector<int64_t> pos;
  std::vector<bool> nn;
  for (const testsupport::WfdbAnnotation& a : annotations) {
    if (!testsupport::IsWfdbBeat(a.code)) continue;
    const int64_t p = (a.sample * kRate * 2 + irate) / (2 * irate);
    if (p >= shown) continue;
    const uint8_t beat_class = testsupport::WfdbBeatClass(a.code);
    doc_->GetQRSList().Append(TQRSComplex(static_cast<int32_t>(p), beat_class));
    pos.push_back(p);
    nn.push_back(beat_class == kClassNormal || beat_class == kClassSVES);
  }
  ASSERT_GT(pos.size(), 2000u);

  struct Window {
    const char* name;
    int begin_s, end_s;  // clock seconds; the recording starts at 10:00
  };
  constexpr Window kWindows[] = {{"default window", 0, 0}, {"10:10 to 10:20", 36600, 37200}};
  for (const Window& w : kWindows) {
    SCOPED_TRACE(w.name);
    TRecordingData& record = doc_->GetRecordingData();
    record.start_time = {0, 36000 / 86400.0};
    record.hrv_window_start = {0, w.begin_s / 86400.0};
    record.hrv_window_end = {0, w.end_s / 86400.0};
    const int64_t begin = int64_t{(w.begin_s - 36000 + 86400) % 86400} * kRate;
    const int64_t end = int64_t{(w.end_s - 36000 + 86400) % 86400} * kRate;
    const Expected e = FromDefinitions(pos, nn, [&](int64_t p) { return p > begin && p <= end; });

    THRVStatistics statistics(*doc_);
    statistics.Update();
    const THRVValues& v = statistics.GetValues();
    EXPECT_NEAR(v.mean_nn, e.mean_nn, 0.01);
    EXPECT_NEAR(v.sdnn, e.sdnn, 0.01);
    EXPECT_NEAR(v.sdann, e.sdann, 0.01);
    EXPECT_NEAR(v.sdnn_index, e.sdnn_index, 0.01);
    EXPECT_NEAR(v.rmssd, e.rmssd, 0.01);
    EXPECT_EQ(v.counts[0], e.nn50);
    EXPECT_NEAR(v.percents[0], e.pnn50, 1e-9);
    // Record 100 is sinus rhythm: values in the usual range, not artefacts of the bookkeeping.
    EXPECT_GT(v.mean_nn, 700);
    EXPECT_LT(v.mean_nn, 900);
    EXPECT_GT(v.sdnn, 10);
  }
}

}  // namespace
