#include "analysis/example_strips.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "document/zk470_doc.h"

namespace analysis {

namespace {

// The kinds that get example strips, in the order they are processed; true for a beat class.
struct StripKind {
  int code;
  bool beat;
};
constexpr std::array<StripKind, 17> kStripKinds = {{{kClassPause, false},
                                                    {kClassBradycardia, false},
                                                    {kClassTachycardia, false},
                                                    {kClassArrhythmia, false},
                                                    {kClassSVES, true},
                                                    {kClassSVCouplet, false},
                                                    {kClassSVTriplet, false},
                                                    {kClassSVTachycardia, false},
                                                    {kClassSVBigeminy, false},
                                                    {kClassSVTrigeminy, false},
                                                    {kClassVES, true},
                                                    {kClassVCouplet, false},
                                                    {kClassVTriplet, false},
                                                    {kClassVTachycardia, false},
                                                    {kClassVBigeminy, false},
                                                    {kClassVTrigeminy, false},
                                                    {kClassRonT, false}}};

using Times = std::array<int32_t, TRecordingData::kExampleStripsPerCode>;

// Absolute arrhythmia is shown by atrial fibrillation and flutter events too.
bool MatchesKind(int item_kind, int kind) {
  return item_kind == kind || (kind == kClassArrhythmia && (item_kind == kClassAtrialFibrillation || item_kind == kClassAtrialFlutter));
}

// One third of the recording in samples (whole minutes only).
int64_t ThirdSamples(const CZK470Doc& doc) {
  return static_cast<int64_t>(std::trunc(doc.GetRecordingMinutes() * 60.0 * doc.GetSampleRate() / 3.0));
}

template <class List>
int Choose(CZK470Doc& doc, const List& list, int code, const std::function<bool(int)>& matches) {
  const int64_t third = ThirdSamples(doc);
  std::array<int32_t, 3> slots{};
  int filled = 0;
  int64_t next_third = 1;
  int replace = 1;
  int replacements = 0;
  for (const auto& item : list.Elements()) {
    if (!matches(item.GetClass())) continue;
    if (filled < 3) {
      slots[static_cast<size_t>(filled++)] = item.GetPosition();
      continue;
    }
    const int64_t t = third > 0 ? item.GetPosition() / third : 0;
    if (t >= next_third && replacements < 2) {
      slots[static_cast<size_t>(replace++)] = item.GetPosition();
      ++replacements;
      next_third = t + 1;
    }
  }
  Times& times = doc.GetRecordingData().example_strips[static_cast<size_t>(code)];
  for (int k = 0; k < 3; ++k) times[static_cast<size_t>(k)] = k < filled ? doc.SamplesToMs(slots[static_cast<size_t>(k)]) : -1;
  return filled > 0 ? 1 : 0;
}

template <class List>
int Check(CZK470Doc& doc, const List& list, int code, bool occurs, const std::function<bool(int)>& stays,
          const std::function<bool(int)>& accepted) {
  Times& times = doc.GetRecordingData().example_strips[static_cast<size_t>(code)];
  if (!occurs) {
    times.fill(-1);
    return -1;
  }
  const int count = list.GetSize();
  const int64_t third = ThirdSamples(doc);
  const int32_t tolerance = static_cast<int32_t>(std::trunc(doc.GetSampleRate() * 0.5));
  for (int k = 0; k < 3; ++k) {
    int32_t& m = times[static_cast<size_t>(k)];
    if (m != -1) {
      const int32_t p = doc.MsToSamples(m);
      const int at = list.FindNextAfterPosition(p, 0) - 1;
      if (at >= 0 && stays(list.ElementAt(at)->GetClass()) && int64_t{p} - list.ElementAt(at)->GetPosition() <= tolerance)
        continue;
    }
    const int64_t from = third * k;
    int start = from > INT32_MAX ? count : list.FindNextAfterPosition(static_cast<int32_t>(from), 0);
    if (start >= count) start = 0;
    int32_t found = -1;
    const auto search = [&](int first, int end) {
      for (int i = first; i < end && found == -1; ++i) {
        const auto& item = *list.ElementAt(i);
        if (!accepted(item.GetClass())) continue;
        const int32_t time = doc.SamplesToMs(item.GetPosition());
        if (std::find(times.begin(), times.end(), time) == times.end()) found = time;
      }
    };
    search(start, count);
    // Wrapping round: start .. count has just been searched.
    if (found == -1 && start > 0) search(0, start);
    m = found;
  }
  return 0;
}

}  // namespace

int ChooseBeatExampleStrips(CZK470Doc& doc, int beat_class) {
  const TQRSList& beats = doc.GetQRSList();
  if (beats.GetCounter(beat_class) < 1) return 0;
  return Choose(doc, beats, beat_class, [beat_class](int c) { return c == beat_class; });
}

int ChooseEventExampleStrips(CZK470Doc& doc, int event_kind) {
  return Choose(doc, doc.GetEventList(), event_kind, [event_kind](int c) { return MatchesKind(c, event_kind); });
}

void ChooseExampleStrips(CZK470Doc& doc) {
  doc.GetRecordingData().ResetExampleStrips();
  for (const StripKind& kind : kStripKinds) {
    if (kind.beat) {
      ChooseBeatExampleStrips(doc, kind.code);
    } else {
      ChooseEventExampleStrips(doc, kind.code);
    }
  }
}

int CheckBeatExampleStrips(CZK470Doc& doc, int beat_class) {
  const TQRSList& beats = doc.GetQRSList();
  const auto is_class = [beat_class](int c) { return c == beat_class; };
  return Check(doc, beats, beat_class, beats.GetCounter(beat_class) >= 1, is_class, is_class);
}

int CheckEventExampleStrips(CZK470Doc& doc, int event_kind) {
  const TEventList& events = doc.GetEventList();
  bool occurs = events.GetCounter(event_kind) > 0;
  if (event_kind == kClassArrhythmia)
    occurs = occurs || events.GetCounter(kClassAtrialFibrillation) > 0 || events.GetCounter(kClassAtrialFlutter) > 0;
  return Check(
      doc, events, event_kind, occurs, [event_kind](int c) { return c == event_kind; },
      [event_kind](int c) { return MatchesKind(c, event_kind); });
}

void CheckExampleStrips(CZK470Doc& doc) {
  for (const StripKind& kind : kStripKinds) {
    if (kind.beat) {
      CheckBeatExampleStrips(doc, kind.code);
    } else {
      CheckEventExampleStrips(doc, kind.code);
    }
  }
}

void MarkOccurringKinds(CZK470Doc& doc) {
  std::array<int32_t, kClassCount>& flags = doc.GetNavigationFlags();
  const TQRSList& beats = doc.GetQRSList();
  const TEventList& events = doc.GetEventList();
  for (int k = 0; k < kClassCount; ++k)
    flags[static_cast<size_t>(k)] = beats.GetCounter(k) > 0 || events.GetCounter(k) > 0 ? 1 : 0;
  flags[kClassPaceMaker] = 0;
  flags[kClassLeadOff] = 0;
  flags[kClassArtefact] = 0;
  if (flags[kClassSVTrigeminy] != 0) flags[kClassSVBigeminy] = 1;
  if (flags[kClassAtrialFibrillation] != 0 || flags[kClassAtrialFlutter] != 0) flags[kClassArrhythmia] = 1;
  if (flags[kClassRecorderMinute] != 0 || flags[kClassBattOff] != 0) flags[kClassLeadOff] = 1;
}

}  // namespace analysis
