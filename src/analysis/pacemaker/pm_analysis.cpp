#include "analysis/pacemaker/pm_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/editing/beat_editor.h"
#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/qrs_list.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"

namespace {

constexpr int kMaxAveragedIntervals = 8;
constexpr double kSimilarInterval = 0.3;  // of the last accepted interval
constexpr double kRRShare = 0.35;         // of the average RR interval

// Time limits in seconds; multiplied by the sample rate.
constexpr double kPairMin = 0.10;
constexpr double kPairMax = 0.22;
constexpr double kPairToBeat = 0.20;
constexpr double kEarly = 0.15;
constexpr double kLate = 0.35;

// Engine families, in the same order as the recording record's families below.
constexpr int kFamilies = 4;

}  // namespace

TPMAnalysis::TPMAnalysis(CZK470Doc& doc)
    : doc_(doc), beats_(doc.GetQRSList()), events_(doc.GetEventList()), rate_(doc.GetSampleRate()) {}

bool TPMAnalysis::IsSpike(int e) const { return events_.ElementAt(e)->GetClass() == kSpikeKind; }
int32_t TPMAnalysis::EventStart(int e) const { return events_.ElementAt(e)->GetPosition(); }
int32_t TPMAnalysis::BeatPosition(int beat) const { return beats_.ElementAt(beat)->GetPosition(); }

void TPMAnalysis::AnalyzeAll() {
  TRecordingData& record = doc_.GetRecordingData();
  for (TPMTemplateList& pm_class : record.pm_classes) pm_class.RemoveAll();
  const int event_count = events_.GetSize();
  if (beats_.GetSize() == 0 || event_count == 0) return;

  // One event before the first that reaches the first beat, so that the spike of a paced first
  // beat is classified too.
  const int32_t first_beat = BeatPosition(0);
  int e = 0;
  while (e < event_count - 1 && EventStart(e) < first_beat) ++e;
  AnalyzeRange(std::max(0, e - 1), event_count, 0, 1);
}

void TPMAnalysis::ReanalyzeAround(int from_event, int to_event) {
  const int event_count = events_.GetSize();
  if (event_count == 0) return;
  from_event = std::clamp(from_event, 0, event_count - 1);
  const int start =
      IsFiledInAnalysedClass(from_event) ? from_event : std::min(from_event + 1, event_count - 1);
  AnalyzeRange(start, std::min(to_event, event_count), 1, 0);
}

bool TPMAnalysis::IsFiledInAnalysedClass(int e) const {
  if (!IsSpike(e)) return false;
  const int32_t s = EventStart(e);
  const TRecordingData& record = doc_.GetRecordingData();
  for (int c = 0; c < kAnalysedClasses; ++c)
    for (const TPMTemplate& entry : record.pm_classes[static_cast<size_t>(c)].Elements())
      if (entry.GetPosition() == s) return true;
  return false;
}

void TPMAnalysis::AnalyzeRange(int first_event, int end_event, int reanalysis, int working) {
  const int beat_count = beats_.GetSize();
  end_event = std::min(end_event, events_.GetSize());
  int beat = 0;  // only moves forward
  for (int e = std::max(0, first_event); e < end_event;) {
    if (!IsSpike(e)) {
      ++e;
      continue;
    }
    const int32_t s = EventStart(e);
    while (beat < beat_count && BeatPosition(beat) < s) ++beat;
    if (beat >= beat_count) {
      FileSpike(e, kClassOther, reanalysis);
      ++e;
      continue;
    }
    e = ClassifySpike(e, beat, reanalysis);
  }

  RemovePacedBeatsFromTemplates(working);
  // The template review shows the classes as they are; tidying them would move its page.
  if (doc_.GetDisplayMode() != DisplayMode::kTemplateBeats)
    TBeatEditor(doc_, 1).CompactAndSortTemplateClasses();
}

int TPMAnalysis::NextSpikeBefore(int e, int64_t limit) const {
  // Through the last event: a spike that is the last event still counts.
  for (int j = e + 1; j < events_.GetSize(); ++j) {
    if (EventStart(j) >= limit) break;
    if (IsSpike(j)) return j;
  }
  return -1;
}

int TPMAnalysis::ClassifySpike(int e, int i, int reanalysis) {
  const int beat_count = beats_.GetSize();
  const int32_t s = EventStart(e);
  const int32_t beat_pos = BeatPosition(i);
  const double r = rate_;

  // k1: spikes from e on before beat i (e itself lies at or before it); k2 > 0: a further spike
  // before beat i + 1.
  const int second = NextSpikeBefore(e, beat_pos);
  const int k1 = second < 0 ? 1 : (NextSpikeBefore(second, beat_pos) < 0 ? 2 : 3);
  const int64_t next_limit =
      i + 1 < beat_count ? int64_t{BeatPosition(i + 1)} : std::numeric_limits<int64_t>::max();
  const int next = NextSpikeBefore(e, next_limit);

  if (k1 == 2) {
    const double d = EventStart(second) - s;
    if (d > kPairMin * r && d < kPairMax * r && beat_pos - EventStart(second) < kPairToBeat * r) {
      beats_.SetClass(i, kClassPacedBeat);
      FileSpike(e, kClassTwoSpikes, reanalysis);
      return second + 1;  // the second spike of the pair is passed over
    }
  }

  average_rr_ = AverageRRBefore(i);
  const double avg = average_rr_;
  const double x = beat_pos - s;

  if (k1 == 1 && next >= 0 && avg > 0.0 && x > kEarly * r && x <= kLate * r) {
    const double y = EventStart(next) - beat_pos;
    if (y > 0.0 && y <= kRRShare * avg) {
      beats_.SetClass(i, kClassPacedBeat);
      FileSpike(e, kClassPacedWithFollower, reanalysis);
      return next + 1;
    }
  }

  if (i > 0) {
    const double after_previous = s - BeatPosition(i - 1);
    if (after_previous > 0.0 && after_previous <= kRRShare * avg && after_previous <= x) {
      beats_.SetClass(i - 1, kClassPacedBeat);
      FileSpike(e, kClassAfterPrevious, reanalysis);
      return e + 1;
    }
  }

  if (k1 == 1) {
    if (x > kEarly * r && x < kLate * r) {
      beats_.SetClass(i, kClassPacedBeat);
      FileSpike(e, kClassPaced, reanalysis);
      return e + 1;
    }
    if (x >= 0.0 && x < kEarly * r) {
      beats_.SetClass(i, kClassPacedBeat);
      FileSpike(e, kClassEarly, reanalysis);
      return e + 1;
    }
    if (i > 0) {
      const int32_t previous_beat = BeatPosition(i - 1);
      const bool spike_before_after_previous_beat =
          e > 0 && IsSpike(e - 1) && EventStart(e - 1) > previous_beat;
      const double z = s - previous_beat;
      if (!spike_before_after_previous_beat && z > kLate * r && z > kRRShare * avg) {
        FileSpike(e, kClassNotPaced, reanalysis);
        return e + 1;
      }
    }
  }

  FileSpike(e, kClassOther, reanalysis);
  return e + 1;
}

double TPMAnalysis::AverageRRBefore(int beat) const {
  double sum = 0.0;
  int accepted = 0;
  double last = 0.0;
  for (int k = beat - 1; k >= 0 && accepted < kMaxAveragedIntervals; --k) {
    const double rr = BeatPosition(k + 1) - BeatPosition(k);
    if (accepted == 0 || std::abs(rr - last) <= kSimilarInterval * last) {
      sum += rr;
      last = rr;
      ++accepted;
    }
  }
  return accepted == 0 ? 0.0 : sum / accepted;
}

void TPMAnalysis::FileSpike(int e, int pm_class, int reanalysis) {
  if (reanalysis) RemoveSpikeFromPMClasses(e);
  doc_.GetRecordingData().pm_classes[static_cast<size_t>(pm_class)].Append(TPMTemplate(EventStart(e)));
}

void TPMAnalysis::RemoveSpikeFromPMClasses(int event_index) {
  // Every class, the user's too: a spike moved by hand into a class above the analysed ones must
  // not stay there when the analysis files it again.
  const int32_t s = EventStart(event_index);
  TRecordingData& record = doc_.GetRecordingData();
  for (int c = 0; c < TRecordingData::kPMClasses; ++c) {
    TPMTemplateList& list = record.pm_classes[static_cast<size_t>(c)];
    bool removed = false;
    for (int k = list.GetSize() - 1; k >= 0; --k) {
      if (list.GetAt(k).GetPosition() != s) continue;
      list.RemoveAt(k, 1);
      removed = true;
    }
    int32_t& current = record.pm_current[static_cast<size_t>(c)];
    if (removed && current >= list.GetSize()) current = std::max(0, list.GetSize() - 1);
  }
}

void TPMAnalysis::RemovePacedBeatsFromTemplates(int working) {
  const int beat_count = beats_.GetSize();
  const auto is_paced = [&](const TTemplate& entry) {
    const int32_t beat = entry.GetBeatIndex();
    return beat >= 0 && beat < beat_count && beats_.ElementAt(beat)->GetClass() == kClassPacedBeat;
  };
  // Rebuilt whole rather than entry by entry: a large class would otherwise move its tail once
  // for every paced beat.
  const auto strip = [&](TTemplateList& list) -> bool {
    if (std::none_of(list.Elements().begin(), list.Elements().end(), is_paced)) return false;
    TTemplateList kept;
    for (const TTemplate& entry : list.Elements())
      if (!is_paced(entry)) kept.Append(entry);
    list.Copy(kept);
    return true;
  };

  TRecordingData& record = doc_.GetRecordingData();
  for (int family = 0; family < kFamilies; ++family) {
    if (working) {
      auto& classes = doc_.GetEngineTemplates(family);
      for (int c = 0; c < TRecordingData::kTemplateClasses; ++c) strip(classes[static_cast<size_t>(c)]);
      continue;
    }
    auto& classes = record.TemplateClasses(family);
    auto& current = record.CurrentMembers(family);
    for (int c = 0; c < TRecordingData::kTemplateClasses; ++c) {
      TTemplateList& list = classes[static_cast<size_t>(c)];
      if (strip(list) && current[static_cast<size_t>(c)] >= list.GetSize())
        current[static_cast<size_t>(c)] = std::max(0, list.GetSize() - 1);
    }
  }
}

namespace analysis {

void RunPacemakerAnalysis(CZK470Doc& doc) { TPMAnalysis(doc).AnalyzeAll(); }

}  // namespace analysis
