#include "analysis/abs_arrhythmia_detector.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/event_insertion.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"

namespace {

// Minimum episode durations in seconds by the index of "Arrhy-Duration".
constexpr std::array<int, 8> kMinimumSeconds = {10, 20, 30, 60, 120, 180, 300, 600};

// The last beat at or before the position, -1 when none.
int BeatAtOrBefore(const TQRSList& beats, int32_t position) {
  return beats.FindNextAfterPosition(position, 0) - 1;
}

}  // namespace

TAbsArrhythmiaDetector::TAbsArrhythmiaDetector(CZK470Doc& doc)
    : doc_(doc), deviation_factor_(doc.GetArrhythmiaPrematurityPercent() * 0.01) {
  FindNextSVEpisode();
}

void TAbsArrhythmiaDetector::FindNextSVEpisode() {
  const TEventList& events = doc_.GetEventList();
  const TQRSList& beats = doc_.GetQRSList();
  for (int e = events.FindNextAfterPosition(sv_searched_from_, 0); e < events.GetSize(); ++e) {
    const TEvent& event = *events.ElementAt(e);
    if (event.GetClass() != kClassSVBigeminy && event.GetClass() != kClassSVTrigeminy) continue;
    sv_first_beat_ = BeatAtOrBefore(beats, event.GetPosition());
    sv_last_beat_ = BeatAtOrBefore(beats, event.GetEnd());
    // Searching on after the event's own start, so that an event starting between beats is not
    // found again.
    sv_searched_from_ = event.GetPosition();
    return;
  }
  sv_first_beat_ = -1;
  sv_last_beat_ = -1;
}

void TAbsArrhythmiaDetector::CloseEpisode() {
  open_ = false;
  const TQRSList& beats = doc_.GetQRSList();
  if (onset_beat_ < 0 || last_irregular_beat_ < 0) return;
  episode_start_ = beats.ElementAt(onset_beat_)->GetPosition();
  episode_end_ = beats.ElementAt(last_irregular_beat_)->GetPosition();
  const int index = doc_.GetSettings().Int(SettingKey::kAnalyzeArrhyDuration);
  if (index >= 0 && index < static_cast<int>(kMinimumSeconds.size())) {
    const auto minimum = static_cast<int64_t>(std::trunc(doc_.GetSampleRate() * kMinimumSeconds[static_cast<size_t>(index)]));
    if (int64_t{episode_end_} - episode_start_ < minimum) return;
  }
  last_event_ =
      analysis::InsertEventInOrder(doc_.GetEventList(), TEvent(episode_start_, episode_end_, kClassArrhythmia), 0);
}

int TAbsArrhythmiaDetector::CheckBeat(int i, int forced) {
  const TQRSList& beats = doc_.GetQRSList();
  // The pass has ended: whatever the last beats are, an episode still open is recorded.
  if (forced != 0) {
    if (open_) CloseEpisode();
    return 0;
  }
  if (i <= 0 || i + 1 >= beats.GetSize()) return -1;

  // Supraventricular bigeminy and trigeminy are regular in their own way: not counted.
  while (!inside_sv_ && sv_first_beat_ >= 0 && sv_first_beat_ < i && sv_last_beat_ < i) FindNextSVEpisode();
  if (!inside_sv_ && i == sv_first_beat_) {
    if (open_) CloseEpisode();
    inside_sv_ = true;
    counter_ = 0;
  }
  if (inside_sv_) {
    if (i >= sv_last_beat_) {
      inside_sv_ = false;
      FindNextSVEpisode();
    }
    return -1;
  }

  const int c0 = beats.ElementAt(i - 1)->GetClass();
  const int c1 = beats.ElementAt(i)->GetClass();
  const int c2 = beats.ElementAt(i + 1)->GetClass();
  const auto any = [&](int code) { return c0 == code || c1 == code || c2 == code; };
  if (any(kClassVES) || any(kClassArtefact)) return -1;
  if (any(kClassSVES)) {
    if (open_) CloseEpisode();
    counter_ = 0;
    return -1;
  }

  previous_rr_ = static_cast<double>(beats.ElementAt(i)->GetPosition()) - beats.ElementAt(i - 1)->GetPosition();
  next_rr_ = static_cast<double>(beats.ElementAt(i + 1)->GetPosition()) - beats.ElementAt(i)->GetPosition();
  difference_ = std::trunc(std::fabs(previous_rr_ - next_rr_));
  bool irregular = false;
  if (!open_) {
    irregular = difference_ > deviation_factor_ * previous_rr_;
  } else if (difference_ < regular_bound_ * previous_rr_) {
    irregular = false;
  } else if (difference_ > deviation_factor_ * previous_rr_) {
    irregular = true;
  } else {
    return -1;  // doubtful inside an episode: nothing changes
  }

  if (irregular) {
    if (counter_ < kCounterMax) ++counter_;
    if (counter_ == 2 && !open_) onset_beat_ = i;
    if (counter_ == kOpenThreshold && !open_) open_ = true;
    last_irregular_beat_ = i;
  } else {
    counter_ = std::max(counter_ - 2, 0);
    if (!open_ && counter_ <= 2) onset_beat_ = i;
    if (open_ && counter_ == 0) CloseEpisode();
  }
  return 0;
}
