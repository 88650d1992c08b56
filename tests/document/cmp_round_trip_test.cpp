// The store's compressed reader against the test-data writer, an encoder written separately from
// the same format description: every sample and marker a writer puts in must come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "context_guard.h"
#include "document/raw_ecg_data.h"
#include "document/zk130_info_list.h"
#include "sample_test_files.h"
#include "support/cmp_writer.h"

namespace {

using testsupport::CmpFormat;
using testsupport::CmpMarker;
using testsupport::CmpMode;
using testsupport::CmpWriter;

constexpr int kMinutes = 10;
constexpr int kSamples = 7500;

struct Variant {
  const char* name;
  CmpFormat format;
  CmpMode mode;
  int channels;
};

const Variant kVariants[] = {
    {"old coded full rate", CmpFormat::kOld, CmpMode::kCodedFull, 2},
    {"old coded half rate", CmpFormat::kOld, CmpMode::kCodedHalf, 2},
    {"new coded full rate", CmpFormat::kNew, CmpMode::kCodedFull, 3},
    {"new coded half rate", CmpFormat::kNew, CmpMode::kCodedHalf, 3},
    {"new raw full rate", CmpFormat::kNew, CmpMode::kRawFull, 2},
    {"new raw half rate", CmpFormat::kNew, CmpMode::kRawHalf, 1},
};

// An ECG-like random walk: mostly small steps, now and then a jump that needs a literal.
std::vector<int16_t> RandomMinute(std::mt19937& rng, int start) {
  std::vector<int16_t> x(kSamples);
  std::uniform_int_distribution<int> small(-9, 9), jump(-400, 400), pick(0, 99);
  int v = start;
  for (int i = 0; i < kSamples; ++i) {
    const int r = pick(rng);
    v += r < 2 ? jump(rng) : (r < 50 ? small(rng) : 0);
    v = std::clamp(v, -1800, 1800);
    x[static_cast<size_t>(i)] = static_cast<int16_t>(v);
  }
  return x;
}

// Markers whose information kind does not depend on lead-off state or channel: code 1 and flag
// 0x4000 (kind 0), code 9 (kind 5).
std::vector<CmpMarker> RandomMarkers(std::mt19937& rng, int minute, int channels) {
  std::uniform_int_distribution<int> pos(0, kSamples - 1), ch(0, channels - 1), kind(0, 2);
  std::vector<CmpMarker> markers;
  for (int k = 0; k < 4; ++k) {
    const int which = kind(rng);
    CmpMarker m;
    m.type = which == 2 ? CmpMarker::Type::kFlags : CmpMarker::Type::kCode;
    m.value = which == 0 ? 1 : (which == 1 ? 9 : 0x4000);
    m.channel = ch(rng);
    m.position = kSamples * minute + pos(rng);
    markers.push_back(m);
  }
  return markers;
}

struct Written {
  std::vector<uint8_t> bytes;
  std::vector<std::vector<int16_t>> decoded;  // per channel, kMinutes x 7500
  std::vector<CmpMarker> placed;
};

Written Write(const Variant& v, const std::vector<std::vector<int16_t>>& signal, std::mt19937* marker_rng) {
  CmpWriter writer(v.format, v.channels);
  Written w;
  w.decoded.assign(static_cast<size_t>(v.channels), std::vector<int16_t>(kSamples * kMinutes));
  // The new format's reader shows one minute fewer than the file holds.
  const int file_minutes = v.format == CmpFormat::kNew ? kMinutes + 1 : kMinutes;
  for (int m = 0; m < file_minutes; ++m) {
    std::vector<std::span<const int16_t>> in;
    std::vector<std::span<int16_t>> out;
    std::vector<std::vector<int16_t>> spare(static_cast<size_t>(v.channels), std::vector<int16_t>(kSamples));
    for (int c = 0; c < v.channels; ++c) {
      const int source = std::min(m, kMinutes - 1);
      in.emplace_back(signal[static_cast<size_t>(c)].data() + kSamples * source, kSamples);
      out.emplace_back(m < kMinutes ? w.decoded[static_cast<size_t>(c)].data() + kSamples * m
                                    : spare[static_cast<size_t>(c)].data(),
                       kSamples);
    }
    const std::vector<CmpMarker> markers =
        marker_rng && m < kMinutes ? RandomMarkers(*marker_rng, m, v.channels) : std::vector<CmpMarker>{};
    writer.AddMinute(in, v.mode, markers, out);
  }
  w.bytes = writer.Bytes();
  for (const CmpMarker& m : writer.PlacedMarkers())
    if (m.position < kSamples * kMinutes) w.placed.push_back(m);
  return w;
}

class CmpRoundTrip : public ::testing::Test {
 protected:
  // Every minute of every channel as the store decodes it, markers reported.
  std::vector<std::vector<int16_t>> ReadAll(const std::vector<uint8_t>& bytes, int channels) {
    TRawECGData store(&markers_, folder_.Write("rt.CMP", bytes));
    EXPECT_EQ(store.GetWholeMinutes(), kMinutes);
    EXPECT_EQ(store.GetChannelCount(), channels);
    std::vector<std::vector<int16_t>> out(static_cast<size_t>(channels));
    for (int m = 0; m < kMinutes; ++m) {
      TECGBlock block;
      store.GetAnalysisMinute(block, 0, m, true);
      for (int c = 0; c < channels; ++c) {
        const auto minute = store.GetChannelMinute(c, m);
        out[static_cast<size_t>(c)].insert(out[static_cast<size_t>(c)].end(), minute->samples.begin(),
                                           minute->samples.end());
      }
    }
    return out;
  }

  ContextGuard context_;
  sampletest::TempFolder folder_;
  TZK130InfoList markers_;
};

// Index of the first differing sample, for a readable failure.
std::string FirstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
  const auto [pa, pb] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (pa == a.end() && pb == b.end()) return "equal";
  const auto i = pa - a.begin();
  return "sample " + std::to_string(i) + " (minute " + std::to_string(i / kSamples) +
         "): " + (pa != a.end() ? std::to_string(*pa) : "end") + " vs " +
         (pb != b.end() ? std::to_string(*pb) : "end");
}

TEST_F(CmpRoundTrip, TenRandomMinutesInEveryGenerationAndMode) {
  uint32_t seed = 470;
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.name);
    std::mt19937 rng(seed++);
    std::vector<std::vector<int16_t>> signal(static_cast<size_t>(v.channels));
    for (auto& channel : signal)
      for (int m = 0; m < kMinutes; ++m) {
        const auto minute = RandomMinute(rng, channel.empty() ? 0 : channel.back());
        channel.insert(channel.end(), minute.begin(), minute.end());
      }
    markers_.RemoveAll();
    const Written w = Write(v, signal, &rng);
    const auto read = ReadAll(w.bytes, v.channels);
    for (int c = 0; c < v.channels; ++c)
      EXPECT_EQ(read[static_cast<size_t>(c)], w.decoded[static_cast<size_t>(c)])
          << "channel " << c << ": "
          << FirstDifference(read[static_cast<size_t>(c)], w.decoded[static_cast<size_t>(c)]);

    std::vector<int32_t> want_kind0, want_kind5;
    std::set<std::pair<int, int32_t>> flagged_words;  // flags placed twice in one word are one report
    for (const CmpMarker& m : w.placed) {
      if (m.type == CmpMarker::Type::kCode && m.value == 1) want_kind0.push_back(m.position);
      if (m.type == CmpMarker::Type::kFlags && (m.value & 0x4000) &&
          flagged_words.insert({m.channel, m.position}).second)
        want_kind0.push_back(m.position);
      if (m.type == CmpMarker::Type::kCode && m.value == 9) want_kind5.push_back(m.position - 1);
    }
    std::sort(want_kind0.begin(), want_kind0.end());
    std::sort(want_kind5.begin(), want_kind5.end());
    EXPECT_FALSE(want_kind0.empty());
    EXPECT_EQ(markers_.Positions(0), want_kind0);
    EXPECT_EQ(markers_.Positions(5), want_kind5);

    // What a reader produced is representable: written again, it comes back exactly.
    markers_.RemoveAll();
    const Written again = Write(v, w.decoded, nullptr);
    const auto reread = ReadAll(again.bytes, v.channels);
    for (int c = 0; c < v.channels; ++c)
      EXPECT_EQ(reread[static_cast<size_t>(c)], w.decoded[static_cast<size_t>(c)])
          << "channel " << c << ": "
          << FirstDifference(reread[static_cast<size_t>(c)], w.decoded[static_cast<size_t>(c)]);
  }
}

}  // namespace
