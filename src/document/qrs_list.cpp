#include "document/qrs_list.h"

#include "document/document_context.h"
#include "platform/archive.h"

void TQRSList::InsertAt(int index, TQRSComplex& beat, int count) {
  if (document::Context().edit_mode == 1) beat.SetPriorClass(kPriorInserted);
  InsertElements(index, beat, count);
}

void TQRSList::InsertAt(int index, const TQRSComplex& beat, int count) {
  TQRSComplex copy = beat;
  InsertAt(index, copy, count);
}

void TQRSList::SetClass(int index, int beat_class) {
  ChangeClass(index, beat_class, document::Context().edit_mode == 1);
}

int TQRSList::AppendShifted(const TQRSList& other, int32_t offset) {
  const int count = other.GetSize();
  for (int i = 0; i < count; ++i) {
    const TQRSComplex beat = other.GetAt(i);
    // Positions are sample indices of one recording; a shift past int32 is a caller's bug.
    Append(TQRSComplex(beat.GetPosition() + offset, beat.GetClass(), kPriorNeverEdited));
  }
  return count;
}

void TQRSList::Serialize(platform::ArchiveWriter& ar, int32_t version) const { SerializeList(ar, version); }

void TQRSList::Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes) {
  const int32_t replaced = LoadList(ar, "beat list", true);
  if (notes != nullptr) notes->replaced_beat_codes += replaced;
}
