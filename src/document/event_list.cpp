#include "document/event_list.h"

#include "document/document_context.h"
#include "platform/archive.h"

void TEventList::SetType(int index, int kind) { ChangeClass(index, kind, document::Context().edit_mode == 1); }

int TEventList::AppendShifted(const TEventList& other, int32_t offset) {
  const int count = other.GetSize();
  for (int i = 0; i < count; ++i) {
    const TEvent event = other.GetAt(i);
    Append(TEvent(event.GetPosition() + offset, event.GetEnd() + offset, event.GetClass()));
  }
  return count;
}

bool TEventList::IsBeatPatternEventType(const TEvent& event) { return IsSVEventType(event) || IsVEventType(event); }

bool TEventList::IsSVEventType(const TEvent& event) {
  const int kind = event.GetClass();
  return kind >= kClassSVCouplet && kind <= kClassSVTrigeminy;
}

bool TEventList::IsVEventType(const TEvent& event) {
  const int kind = event.GetClass();
  return (kind >= kClassVCouplet && kind <= kClassVTrigeminy) || kind == kClassRonT;
}

bool TEventList::IsRhythmEventType(const TEvent& event) {
  switch (event.GetClass()) {
    case kClassPause:
    case kClassBradycardia:
    case kClassTachycardia:
    case kClassArrhythmia:
      return true;
    default:
      return false;
  }
}

void TEventList::Serialize(platform::ArchiveWriter& ar, int32_t version) const { SerializeList(ar, version); }

void TEventList::Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes) {
  const int32_t replaced = LoadList(ar, "event list", false);
  if (notes != nullptr) notes->replaced_event_codes += replaced;
}
