#include "analysis/engine/beat_engine_worker.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "analysis/engine/beat_engine.h"
#include "engine_test_signal.h"
#include "platform/io_error.h"

using namespace engine_test;

namespace {

struct EndLog {
  std::vector<BeatEngineEnd> ends;
  std::string error;
};

BeatEngineWorker::EndHandler Logger(EndLog& log) {
  return [&log](BeatEngineEnd end, const std::string& error) {
    log.ends.push_back(end);
    log.error = error;
  };
}

// A source that runs a hook when a given minute is read (on the worker thread).
class HookedSource : public MemorySource {
 public:
  HookedSource(const Recording& rec, int32_t minute, std::function<void()> hook)
      : MemorySource(rec), minute_(minute), hook_(std::move(hook)) {}
  void GetAnalysisMinute(std::span<int16_t, kMinute> samples, int lead, int32_t minute,
                         bool report_markers) override {
    if (minute == minute_ && lead == 0 && hook_) {
      auto hook = std::move(hook_);
      hook_ = nullptr;
      hook();
    }
    MemorySource::GetAnalysisMinute(samples, lead, minute, report_markers);
  }

 private:
  int32_t minute_;
  std::function<void()> hook_;
};

Recording ThreeMinutes() {
  RhythmOptions o;
  o.minutes = 3;
  o.ventricular_every = 8;
  return MakeRhythm(o);
}

}  // namespace

TEST(BeatEngineWorker, AFinishedRunDeliversAndEndsOnce) {
  const Recording rec = ThreeMinutes();
  MemorySource source(rec);
  CollectingOutput output;
  EndLog log;
  BeatEngine engine;
  BeatEngineWorker worker(engine);
  ASSERT_TRUE(worker.Start(source, &output, Logger(log)));
  worker.Join();
  EXPECT_EQ(log.ends, std::vector<BeatEngineEnd>{BeatEngineEnd::kFinished});
  EXPECT_EQ(output.deliveries, 1);
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_EQ(worker.MinutesReported(), 3);
  EXPECT_EQ(worker.NormalCount() + worker.VentricularCount(), engine.Beats().GetSize());
  EXPECT_GT(worker.VentricularCount(), 0);
}

TEST(BeatEngineWorker, ACancelledRunEndsWithoutConsolidationOrMessage) {
  const Recording rec = ThreeMinutes();
  BeatEngine engine;
  BeatEngineWorker worker(engine);
  // The user cancels while minute 2 is being read.
  HookedSource source(rec, 2, [&engine] { engine.RequestStop(); });
  CollectingOutput output;
  EndLog log;
  ASSERT_TRUE(worker.Start(source, &output, Logger(log)));
  worker.Join();
  EXPECT_TRUE(log.ends.empty());
  EXPECT_EQ(output.deliveries, 0);
  EXPECT_FALSE(worker.IsRunning());
  // The beats written so far stay with the engine; the caller discards them.
  EXPECT_GT(engine.Beats().GetSize(), 0);
}

TEST(BeatEngineWorker, AReadFaultEndsTheRunAsFailed) {
  const Recording rec = ThreeMinutes();
  HookedSource source(rec, 1, [] { throw platform::IoError("00012.CMP", "minute 1: cannot read"); });
  CollectingOutput output;
  EndLog log;
  BeatEngine engine;
  BeatEngineWorker worker(engine);
  ASSERT_TRUE(worker.Start(source, &output, Logger(log)));
  worker.Join();
  EXPECT_EQ(log.ends, std::vector<BeatEngineEnd>{BeatEngineEnd::kFailed});
  EXPECT_NE(log.error.find("00012.CMP"), std::string::npos);
  EXPECT_EQ(output.deliveries, 0);
  EXPECT_FALSE(worker.IsRunning());
}

TEST(BeatEngineWorker, OneRunAtATimeAndTheEndIsPostedToTheUserInterfaceQueue) {
  const Recording rec = ThreeMinutes();
  std::promise<void> reading;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  HookedSource source(rec, 1, [&] {
    reading.set_value();
    released.wait();
  });
  platform::UiQueue queue;
  std::vector<platform::PostedMessage> delivered;
  queue.SetRouter([&](const platform::PostedMessage& m) { delivered.push_back(m); });
  BeatEngine engine;
  BeatEngineWorker worker(engine);
  CollectingOutput output;
  ASSERT_TRUE(worker.Start(source, &output, BeatEngineWorker::PostTo(queue, 77)));
  reading.get_future().wait();
  EXPECT_TRUE(worker.IsRunning());
  MemorySource other(rec);
  EXPECT_FALSE(worker.Start(other, &output, nullptr));
  BeatEngineWorker second(engine);
  EXPECT_FALSE(second.Start(other, &output, nullptr));  // the engine itself is busy
  release.set_value();
  worker.Join();
  EXPECT_EQ(queue.PumpPosted(), 1u);
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].target, 77u);
  EXPECT_EQ(delivered[0].message, BeatEngineWorker::kEndMessage);
  EXPECT_EQ(delivered[0].wparam, 0u);
  // A new run may start once the last has ended.
  EXPECT_TRUE(worker.Start(other, &output, nullptr));
  worker.Join();
  EXPECT_EQ(output.deliveries, 2);
}
