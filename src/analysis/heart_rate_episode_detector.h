#pragma once

#include <cstdint>
#include <memory>

class CZK470Doc;
class TEventList;
class THeartRateTrend;
class TQRSList;

// Finds bradycardia (event kind 7) and tachycardia (kind 8) episodes in the document's working
// beat list: the mean heart rate over the N beats after a beat (N = the document's averaging
// count) below the bradycardia limit or above the tachycardia limit, over stretches of normal and
// supraventricular beats. A new episode of a kind never starts less than 30 s after the start of
// the previous one; tachycardia ends only 20 beats per minute below its limit. Created, run once
// and deleted; borrows the document's lists for that time.
class THeartRateEpisodeDetector {
 public:
  explicit THeartRateEpisodeDetector(CZK470Doc& doc);
  ~THeartRateEpisodeDetector();
  THeartRateEpisodeDetector(const THeartRateEpisodeDetector&) = delete;
  THeartRateEpisodeDetector& operator=(const THeartRateEpisodeDetector&) = delete;

  // One bradycardia pass, then one tachycardia pass, over the whole list. Returns 0.
  int Run();
  // The beat editor's hook after an edit: episodes are not re-detected locally. Returns 0.
  int RedetectAround(int beat_index) { return 0; }

 private:
  enum class Kind { kBradycardia, kTachycardia };

  void Pass(Kind kind);
  bool IsNormalWindow(int beat) const;

  CZK470Doc& doc_;
  TQRSList& beats_;
  TEventList& events_;
  int bradycardia_limit_;  // beats per minute
  int tachycardia_limit_;  // beats per minute
  double sample_rate_;
  int averaging_beats_;
  std::unique_ptr<THeartRateTrend> trend_;
};
