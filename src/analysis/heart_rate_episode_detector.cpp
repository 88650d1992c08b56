#include "analysis/heart_rate_episode_detector.h"

#include <cmath>

#include "analysis/event_insertion.h"
#include "document/heart_rate_trend.h"
#include "document/zk470_doc.h"

namespace {

constexpr double kRestartSeconds = 30.0;
// A tachycardia ends only this far below its limit.
constexpr int kTachycardiaHysteresisBpm = 20;

}  // namespace

THeartRateEpisodeDetector::THeartRateEpisodeDetector(CZK470Doc& doc)
    : doc_(doc),
      beats_(doc.GetQRSList()),
      events_(doc.GetEventList()),
      bradycardia_limit_(doc.GetBradycardiaLimit()),
      tachycardia_limit_(doc.GetTachycardiaLimit()),
      sample_rate_(doc.GetSampleRate()),
      averaging_beats_(doc.GetHRAverageBeats()),
      trend_(std::make_unique<THeartRateTrend>(doc)) {}

THeartRateEpisodeDetector::~THeartRateEpisodeDetector() = default;

int THeartRateEpisodeDetector::Run() {
  Pass(Kind::kBradycardia);
  Pass(Kind::kTachycardia);
  return 0;
}

bool THeartRateEpisodeDetector::IsNormalWindow(int beat) const {
  for (int k = beat; k < beat + averaging_beats_; ++k) {
    const int c = beats_.ElementAt(k)->GetClass();
    if (c != kClassNormal && c != kClassSVES) return false;
  }
  return true;
}

void THeartRateEpisodeDetector::Pass(Kind kind) {
  const int32_t restart = static_cast<int32_t>(std::trunc(sample_rate_ * kRestartSeconds));
  const int end = beats_.GetSize() - averaging_beats_;
  const uint8_t event_kind = kind == Kind::kBradycardia ? kClassBradycardia : kClassTachycardia;
  int64_t last_start = -int64_t{restart};
  int hint = 0;
  int open = -1;  // index of the open episode's event
  for (int i = 0; i < end; ++i) {
    if (!IsNormalWindow(i)) continue;
    const int hr = trend_->GetHeartRateAt(i, 0);
    const int32_t position = beats_.ElementAt(i)->GetPosition();
    const bool inside = kind == Kind::kBradycardia ? hr > -1 && hr < bradycardia_limit_ : hr > tachycardia_limit_;
    if (inside) {
      if (open < 0 && position >= last_start + restart) {
        open = analysis::InsertEventInOrder(events_, TEvent(position, position, event_kind), hint);
        hint = open;
        last_start = position;
      }
      continue;
    }
    const bool ends = kind == Kind::kBradycardia ? true : hr > -1 && hr <= tachycardia_limit_ - kTachycardiaHysteresisBpm;
    if (open >= 0 && ends) {
      events_.ElementAt(open)->SetEnd(position);
      open = -1;
    }
  }
  if (open >= 0) events_.ElementAt(open)->SetEnd(beats_.ElementAt(end)->GetPosition());
}
