// The European ST-T validation end to end: a synthetic two-hour record with ST episodes of known
// onset, offset and depth, the validation batch on its own worker document with the ST analysis
// on for both channels, then the ST-T statistic over references before, inside and after each
// episode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/analysis_services.h"
#include "support/ecg_synthesizer.h"
#include "support/esc_records.h"
#include "support/test_files.h"
#include "tools/validation/stt_statistic.h"
#include "tools/validation/validation_batches.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kMinuteMs = 60'000;
constexpr int32_t kSegmentMs = 15'000;
// The stored ST level unit is 0.1 mV: 100 uV per unit.
constexpr double kUvPerLevelUnit = 100.0;
constexpr double kTolerance = 0.5;

struct Episode {
  int32_t onset_ms;
  int32_t offset_ms;
  int shift_uv;
  int channel_mask;  // bit c: channel c
};

// One reference of the ".STT" and the ST level the stored analysis must show for it.
struct Expected {
  coretest::SttReference reference;
  double level;  // 0.1 mV
  std::string where;
};

class STValidationTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    data_ = testsupport::MakeTestDir("st_validation");
    profile_.WriteInt("Analyze\\ST", "ST Trend ON 0", 1);
    profile_.WriteInt("Analyze\\ST", "ST Trend ON 1", 1);
  }

  std::unique_ptr<CZK470Doc> MakeDoc() {
    SettingsDefaults defaults;
    defaults.home = data_.string();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    doc->SetDataDirectory(data_.string());
    return doc;
  }

  fs::path data_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_{platform::LocalDateTime{2024, 6, 1, 10, 0, 0, 0}};
};

// The planted level of a channel at a time: the sum of the episodes on that channel.
double PlantedLevel(const std::vector<Episode>& episodes, int channel, int32_t time_ms) {
  double uv = 0.0;
  for (const Episode& e : episodes)
    if ((e.channel_mask & (1 << channel)) != 0 && time_ms >= e.onset_ms && time_ms < e.offset_ms)
      uv += e.shift_uv;
  return uv / kUvPerLevelUnit;
}

// References before, inside and after each episode on both channels: inside from one minute after
// the onset to the last segment before the offset, after from one minute past the offset. The
// reference value is what was planted (0 outside an episode).
std::vector<Expected> References(const std::vector<Episode>& episodes) {
  std::vector<Expected> expected;
  for (const Episode& e : episodes) {
    const int32_t inside[] = {e.onset_ms + kMinuteMs, (e.onset_ms + e.offset_ms) / 2,
                              e.offset_ms - kSegmentMs + 1};
    const int32_t outside[] = {e.onset_ms - 3 * kMinuteMs, e.offset_ms + kMinuteMs,
                               e.offset_ms + 3 * kMinuteMs};
    for (int channel = 0; channel < 2; ++channel) {
      for (const int32_t t : outside)
        expected.push_back({{t, channel, 0}, PlantedLevel(episodes, channel, t), "outside"});
      for (const int32_t t : inside) {
        const double level = PlantedLevel(episodes, channel, t);
        expected.push_back({{t, channel, static_cast<int>(std::lround(level * 100.0))}, level, "inside"});
      }
    }
  }
  std::stable_sort(expected.begin(), expected.end(), [](const Expected& a, const Expected& b) {
    return a.reference.time_ms < b.reference.time_ms;
  });
  return expected;
}

TEST_F(STValidationTest, StatisticShowsThePlantedDepressionOfEachEpisode) {
  const std::vector<Episode> episodes = {
      {20 * kMinuteMs, 35 * kMinuteMs, -200, 0x1},
      {50 * kMinuteMs, 65 * kMinuteMs, -300, 0x2},
      {80 * kMinuteMs, 95 * kMinuteMs, -250, 0x3},
  };
  testsupport::SynthOptions synth;
  synth.seed = 100;
  synth.duration_s = 2 * 3600;
  synth.channels = 2;
  synth.heart_rate_bpm = 70;
  for (const Episode& e : episodes)
    synth.st_episodes.push_back({e.onset_ms, e.offset_ms, e.shift_uv, e.channel_mask});
  (void)coretest::MakeEscRecord(data_, 100, synth);

  tools::BatchOptions options;
  options.threads = 1;
  options.make_document = [this] { return MakeDoc(); };
  options.run_services = coretest::ProgramAnalysisServices;
  options.poll_ms = 5;
  const tools::RunResults batch =
      tools::RunValidationBatch(tools::ValidationSet::kEsc, data_.string(), options);
  ASSERT_EQ(batch.Errors(), 0) << ::testing::PrintToString(batch.Lines());
  ASSERT_EQ(batch.Successes(), 1) << ::testing::PrintToString(batch.Lines());

  const std::vector<Expected> expected = References(episodes);
  std::vector<coretest::SttReference> references;
  for (const Expected& e : expected) references.push_back(e.reference);
  coretest::WriteSttFile(data_ / "ESC0100.STT", references);

  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  tools::TSTTStatistic(*doc).Run();
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"ST-T statistic successful."});

  std::ifstream in(data_ / "STTStat.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4 + expected.size());
  EXPECT_EQ(lines[3], "====ESC0100.STT=================");
  for (size_t i = 0; i < expected.size(); ++i) {
    const Expected& e = expected[i];
    const std::string& line = lines[4 + i];
    SCOPED_TRACE(line + " (" + e.where + ", channel " + std::to_string(e.reference.channel + 1) + ", " +
                 std::to_string(e.reference.time_ms / 1000) + " s)");
    double r = 0.0;
    double s = 0.0;
    int channel = -1;
    char percent[16] = {};
    ASSERT_EQ(std::sscanf(line.c_str() + 8, "%lf %lf %15s %d", &r, &s, percent, &channel), 4);
    EXPECT_DOUBLE_EQ(r, e.reference.value_hundredths * 0.01);
    EXPECT_EQ(channel, e.reference.channel);
    EXPECT_NEAR(s, e.level, kTolerance);
  }
}

}  // namespace
