#pragma once

#include <cstdint>

#include "document/coded_list.h"
#include "document/qrs_complex.h"

using TQRSUndoEntry = document::UndoEntry<TQRSComplex>;

// The beats of a recording in ascending position, with one counter per beat class and an optional
// change log. The document holds a working list (stored in the ".QRS" file) and the list the analysis
// engines fill. User-interface thread, or an analysis worker while that thread waits.
class TQRSList : public document::CodedList<TQRSComplex> {
 public:
  // In edit mode 1 the beat is marked as inserted by hand (prior class ' '), the caller's object too.
  void InsertAt(int index, TQRSComplex& beat, int count = 1);
  void InsertAt(int index, const TQRSComplex& beat, int count = 1);
  // In edit mode 1 the first change by hand keeps the old class as prior class.
  void SetClass(int index, int beat_class);

  int FindNearest(const TQRSComplex& beat) const { return CodedList::FindNearest(beat.GetPosition()); }
  int FindNextAfter(const TQRSComplex& beat, int start) const {
    return FindNextAfterPosition(beat.GetPosition(), start);
  }

  // Appends every beat of the other list moved by offset samples, as never edited; returns the
  // other list's size.
  int AppendShifted(const TQRSList& other, int32_t offset);

  // The ".QRS" member: int32 version, archive count, packed 10-byte beats, 40 int32 counters.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the content; FormatError on a damaged member, the list then unchanged. Files of versions
  // 4 to 27 load every beat as never edited; the counters are recounted from the beats. A list of
  // unknown version is read past and leaves the list as it was; a beat of a class above 39 is kept
  // with document::kReplacementCode and counted in the notes when given.
  void Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes = nullptr);

  bool operator==(const TQRSList& other) const { return std::ranges::equal(Elements(), other.Elements()); }
};
