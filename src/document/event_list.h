#pragma once

#include <cstdint>

#include "document/coded_list.h"
#include "document/event.h"

using TEventUndoEntry = document::UndoEntry<TEvent>;

// The events of a recording ordered by start position, with one counter per event kind and an
// optional change log. Same threading as the beat list.
class TEventList : public document::CodedList<TEvent> {
 public:
  // Unlike the beat list, insertion leaves the prior kind alone.
  void InsertAt(int index, const TEvent& event, int count = 1) { InsertElements(index, event, count); }
  // In edit mode 1 the first change by hand keeps the old kind as prior kind.
  void SetType(int index, int kind);

  int FindNearest(const TEvent& event) const { return CodedList::FindNearest(event.GetPosition()); }
  int FindNextAfter(const TEvent& event, int start) const {
    return FindNextAfterPosition(event.GetPosition(), start);
  }

  // Appends every event of the other list with start and end moved by offset samples, as never
  // edited; returns the other list's size.
  int AppendShifted(const TEventList& other, int32_t offset);

  bool IsBeatPatternEvent(int index) const { return IsBeatPatternEventType(GetAt(index)); }
  bool IsSVEvent(int index) const { return IsSVEventType(GetAt(index)); }
  bool IsVEvent(int index) const { return IsVEventType(GetAt(index)); }
  bool IsRhythmEvent(int index) const { return IsRhythmEventType(GetAt(index)); }
  // Supraventricular or ventricular pattern.
  static bool IsBeatPatternEventType(const TEvent& event);
  // SV couplet, triplet, tachycardia, bigeminy, trigeminy.
  static bool IsSVEventType(const TEvent& event);
  // V couplet, triplet, tachycardia, bigeminy, trigeminy, and R-on-T.
  static bool IsVEventType(const TEvent& event);
  // Pause, bradycardia, tachycardia, absolute arrhythmia.
  static bool IsRhythmEventType(const TEvent& event);

  // The ".QRS" member: int32 version, archive count, packed 14-byte events, 40 int32 counters.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the content (prior kinds as stored); FormatError on a damaged member, the list then
  // unchanged; the counters are recounted from the events. A list of unknown version is read past
  // and leaves the list as it was; an event of a kind above 39 is kept with
  // document::kReplacementCode and counted in the notes when given.
  void Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes = nullptr);

  bool operator==(const TEventList& other) const { return std::ranges::equal(Elements(), other.Elements()); }
};
