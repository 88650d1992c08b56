#include "analysis/ron_t_detector.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/event_insertion.h"
#include "document/heart_rate_trend.h"
#include "document/zk470_doc.h"

namespace {

constexpr double kQtAtOneSecondMs = 390.0;
constexpr double kQtCeilingMs = 400.0;
constexpr double kCouplingShare = 0.9;

}  // namespace

TROnTDetector::TROnTDetector(CZK470Doc& doc)
    : doc_(doc), ms_per_sample_(1000.0 / doc.GetSampleRate()), averaging_beats_(doc.GetHRAverageBeats()) {}

double TROnTDetector::LimitMs(int heart_rate) {
  // A rate of 0 means an endless RR interval: the ceiling.
  if (heart_rate == 0) return kQtCeilingMs;
  const double rr_seconds = 60.0 / heart_rate;
  if (rr_seconds <= 0.0) return 0.0;
  return std::min(kQtAtOneSecondMs * std::sqrt(rr_seconds), kQtCeilingMs);
}

int TROnTDetector::CheckBeat(int i, int heart_rate) {
  const TQRSList& beats = doc_.GetQRSList();
  const int k = i + averaging_beats_;
  if (i < 0 || k + 1 >= beats.GetSize()) return 0;
  const int before = beats.ElementAt(k)->GetClass();
  if ((before != kClassNormal && before != kClassSVES) || beats.ElementAt(k + 1)->GetClass() != kClassVES) return 0;
  const int32_t start = beats.ElementAt(k + 1)->GetPosition();
  coupling_ms_ = (static_cast<double>(start) - beats.ElementAt(k)->GetPosition()) * ms_per_sample_;
  if (heart_rate < 0) return 0;
  rr_seconds_ = heart_rate == 0 ? 0.0 : 60.0 / heart_rate;
  limit_ms_ = LimitMs(heart_rate);
  if (kCouplingShare * limit_ms_ > coupling_ms_) {
    last_event_ = analysis::InsertEventInOrder(doc_.GetEventList(), TEvent(start, start + 1, kClassRonT), 0);
    last_position_ = start;
  }
  return 0;
}

int TROnTDetector::RecheckAround(int beat_index, int flag) {
  const TQRSList& beats = doc_.GetQRSList();
  TEventList& events = doc_.GetEventList();
  const int count = beats.GetSize();
  const int n = averaging_beats_;
  int a = beat_index + (flag == 1 ? 1 : 0);
  const int i0 = std::max(a - n - 31, 0);
  a = std::min(a + 20, count - 1);
  if (count - 1 < n + i0 + 1 || a < 0) return -1;

  const int32_t from = beats.ElementAt(i0 + n)->GetPosition();
  const int32_t to = beats.ElementAt(a)->GetPosition();
  int j = events.FindNextAfterPosition(from, 0);
  // Back over every event at from: several may start on that beat.
  while (j > 0 && events.ElementAt(j - 1)->GetPosition() == from) --j;
  if (events.GetSize() > 0 && j < events.GetSize() && to >= events.ElementAt(j)->GetPosition()) {
    while (j < events.GetSize() && events.ElementAt(j)->GetPosition() <= to) {
      if (events.ElementAt(j)->GetClass() == kClassRonT) {
        events.RemoveAt(j);
      } else {
        ++j;
      }
    }
  }
  auto trend = std::make_unique<THeartRateTrend>(doc_);
  for (int i = i0; i < a - n; ++i) CheckBeat(i, trend->GetHeartRateAt(i, 0));
  return 0;
}
