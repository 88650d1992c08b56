#include "analysis/editing/beat_editor.h"

#include <algorithm>
#include <utility>

#include "analysis/sv_detector.h"
#include "document/zk470_doc.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

bool LogsOff(const TTemplateList& a, const TTemplateList& b) { return !a.IsUndoLogEnabled() && !b.IsUndoLogEnabled(); }

// Exchanges two classes; through copies while a change log is on, so that the undo sees them.
void SwapLists(TTemplateList& a, TTemplateList& b) {
  if (&a == &b) return;
  if (LogsOff(a, b)) {
    std::swap(a, b);
    return;
  }
  TTemplateList held;
  held.Copy(a);
  a.Copy(b);
  b.Copy(held);
}

// The target takes the source's entries; the source is left empty.
void MoveListInto(TTemplateList& target, TTemplateList& source) {
  if (LogsOff(target, source)) {
    target = std::move(source);
    source.RemoveAll();
    return;
  }
  target.Copy(source);
  source.RemoveAll();
}

// The highest class index (below the limit) that has beats, -1 when none has.
int LastUsedClass(std::span<TTemplateList> family, int limit) {
  for (int c = std::min(limit, static_cast<int>(family.size())) - 1; c >= 0; --c)
    if (family[static_cast<size_t>(c)].GetSize() > 0) return c;
  return -1;
}

}  // namespace

TBeatEditor::TBeatEditor(CZK470Doc& doc, int notify) : doc_(doc), notify_(notify) {}

int TBeatEditor::FamilyOfBeatClass(int beat_class) {
  switch (beat_class) {
    case kClassVES: return kFamilyVES;
    case kClassNormal: return kFamilyNormal;
    case kClassArtefact: return kFamilyArtefact;
    case kClassSVES: return kFamilySVES;
    default: return -1;
  }
}

int TBeatEditor::BeatClassOfFamily(int family_code) {
  switch (family_code) {
    case kFamilyVES: return kClassVES;
    case kFamilyNormal: return kClassNormal;
    case kFamilyArtefact: return kClassArtefact;
    case kFamilySVES: return kClassSVES;
    default: return -1;
  }
}

std::span<TTemplateList> TBeatEditor::RecordFamily(int family_code) const {
  if (FamilyOfBeatClass(BeatClassOfFamily(family_code)) < 0) return {};
  return doc_.GetRecordingData().TemplateClasses(family_code);
}

std::span<TTemplateList> TBeatEditor::WorkingFamily(int beat_class) const {
  switch (beat_class) {
    case kClassNormal: return doc_.GetEngineTemplates(CZK470Doc::kEngineFamilyNormal);
    case kClassVES: return doc_.GetEngineTemplates(CZK470Doc::kEngineFamilyVES);
    // The external library files its SVES beats in the working SVES family, so they are looked
    // for there.
    case kClassSVES: return doc_.GetEngineTemplates(CZK470Doc::kEngineFamilySVES);
    case kClassArtefact: return doc_.GetEngineTemplates(CZK470Doc::kEngineFamilyArtefact);
    default: return {};
  }
}

int32_t* TBeatEditor::EditClass(int family_code) const {
  TRecordingData& record = doc_.GetRecordingData();
  switch (family_code) {
    case kFamilyNormal: return &record.normal_special[1];
    case kFamilyVES: return &record.ves_special[0];
    case kFamilySVES: return &record.sves_special[1];
    default: return nullptr;
  }
}

std::vector<int32_t*> TBeatEditor::SpecialIndices(int family_code) const {
  TRecordingData& record = doc_.GetRecordingData();
  switch (family_code) {
    case kFamilyNormal: return {&record.normal_special[0], &record.normal_special[1]};
    case kFamilyVES: return {&record.ves_special[0], &record.ves_special[1]};
    case kFamilySVES: return {&record.sves_special[1], &record.sves_special[0]};
    default: return {};
  }
}

bool TBeatEditor::IsAnySpecialClass(int class_index) const {
  const TRecordingData& r = doc_.GetRecordingData();
  for (const auto* pair : {&r.normal_special, &r.ves_special, &r.sves_special})
    if ((*pair)[0] == class_index || (*pair)[1] == class_index) return true;
  return false;
}

int32_t TBeatEditor::BeatPosition(int beat) const {
  const TQRSList& beats = doc_.GetQRSList();
  return beat >= 0 && beat < beats.GetSize() ? beats.ElementAt(beat)->GetPosition() : -1;
}

void TBeatEditor::SelectFamily(int beat_class, int working) {
  class_count_ = working != 0 ? kWorkingClasses : kRecordClasses;
  const std::span<TTemplateList> family =
      working != 0 ? WorkingFamily(beat_class) : RecordFamily(FamilyOfBeatClass(beat_class));
  if (!family.empty()) selected_ = family;
}

bool TBeatEditor::RemoveBeatFromClass(int beat, int delete_empty, int add, int new_class) {
  const int classes = std::min(class_count_, static_cast<int>(selected_.size()));
  for (int c = 0; c < classes; ++c) {
    TTemplateList& list = selected_[static_cast<size_t>(c)];
    for (int e = 0; e < list.GetSize(); ++e) {
      if (list.GetAt(e).GetBeatIndex() != beat) continue;
      if (add == 1) AddToEditClass(c, e, new_class, 0);
      // The edit class may be this very class: find the entry again before removing it.
      const auto entries = list.Elements();
      const auto it = std::find(entries.begin(), entries.end(), TTemplate(beat));
      list.RemoveAt(static_cast<int>(it - entries.begin()));
      if (delete_empty == 1 && list.GetSize() == 0) DeleteTemplateClass(c);
      return true;
    }
  }
  return false;
}

void TBeatEditor::AddToEditClass(int class_index, int entry_or_beat, int beat_class, int by_beat) {
  const int family_code = FamilyOfBeatClass(beat_class);
  if (family_code < 0) return;
  int32_t artefact_class = 0;
  int32_t* edit = family_code == kFamilyArtefact ? &artefact_class : EditClass(family_code);
  if (*edit < 0 || *edit >= kRecordClasses) {
    const int free_class = FindFreeTemplateClass(family_code);
    if (free_class >= kRecordClasses) return;  // the family is full: the beat stays unfiled
    *edit = free_class;
  }
  TTemplate entry(entry_or_beat);
  if (by_beat == 0) {
    if (class_index < 0 || class_index >= static_cast<int>(selected_.size())) return;
    const TTemplateList& source = selected_[static_cast<size_t>(class_index)];
    if (entry_or_beat < 0 || entry_or_beat >= source.GetSize()) return;
    entry = source.GetAt(entry_or_beat);
  }
  RecordFamily(family_code)[static_cast<size_t>(*edit)].Append(entry);
}

void TBeatEditor::DeleteTemplateClass(int class_index) {
  const int classes = std::min(class_count_, static_cast<int>(selected_.size()));
  if (class_index < 0 || class_index >= classes) return;
  for (int c = class_index; c < classes - 1; ++c) {
    TTemplateList& next = selected_[static_cast<size_t>(c + 1)];
    // Past the last used class everything is empty already.
    if (next.GetSize() == 0 && selected_[static_cast<size_t>(c)].GetSize() == 0) continue;
    MoveListInto(selected_[static_cast<size_t>(c)], next);
  }
  selected_[static_cast<size_t>(classes - 1)].RemoveAll();
}

void TBeatEditor::ShiftTemplateBeatIndices(std::span<TTemplateList> family, int from, int delta) {
  const int classes = std::min(class_count_, static_cast<int>(family.size()));
  for (int c = 0; c < classes; ++c) {
    TTemplateList& list = family[static_cast<size_t>(c)];
    for (int e = 0; e < list.GetSize(); ++e) {
      const int32_t index = list.GetAt(e).GetBeatIndex();
      if (index >= from) list.SetAt(e, index + delta);
    }
  }
}

void TBeatEditor::AdjustCurrentMembers(int family_code, int beat, int delta) {
  const std::span<TTemplateList> family = RecordFamily(family_code);
  if (family.empty()) return;
  TRecordingData::MemberIndices& current = doc_.GetRecordingData().CurrentMembers(family_code);
  const int32_t position = BeatPosition(beat);
  for (size_t c = 0; c < family.size(); ++c) {
    const TTemplateList& list = family[c];
    int32_t& member = current[c];
    for (int e = 0; e <= member && e < list.GetSize(); ++e) {
      if (position >= 0 && BeatPosition(list.GetAt(e).GetBeatIndex()) == position) {
        member += delta;
        break;
      }
    }
    member = list.GetSize() == 0 ? 0 : std::clamp(member, 0, list.GetSize() - 1);
  }
}

int TBeatEditor::FindFreeTemplateClass(int family_code) const {
  const std::span<TTemplateList> family = RecordFamily(family_code);
  for (int c = 0; c < kRecordClasses && c < static_cast<int>(family.size()); ++c)
    if (family[static_cast<size_t>(c)].GetSize() == 0 && !IsAnySpecialClass(c)) return c;
  return kRecordClasses;
}

void TBeatEditor::CompactTemplateClasses(int family_code) {
  const std::span<TTemplateList> family = RecordFamily(family_code);
  if (family.empty()) return;
  TRecordingData::MemberIndices& current = doc_.GetRecordingData().CurrentMembers(family_code);
  const std::vector<int32_t*> specials = SpecialIndices(family_code);
  const auto is_special = [&](int c) {
    return std::any_of(specials.begin(), specials.end(), [c](const int32_t* s) { return *s == c; });
  };
  int last = LastUsedClass(family, kRecordClasses);
  for (int j = 0; j <= last; ++j) {
    if (is_special(j) || family[static_cast<size_t>(j)].GetSize() > 0) continue;
    for (int k = j + 1; k <= last; ++k) {
      MoveListInto(family[static_cast<size_t>(k - 1)], family[static_cast<size_t>(k)]);
      current[static_cast<size_t>(k - 1)] = current[static_cast<size_t>(k)];
      for (int32_t* s : specials)
        if (*s == k) *s = k - 1;
    }
    family[static_cast<size_t>(last)].RemoveAll();
    current[static_cast<size_t>(last)] = 0;
    --last;
  }
}

void TBeatEditor::SortClasses(std::span<TTemplateList> family, int32_t* current,
                              const std::vector<int32_t*>& specials) const {
  const int last = LastUsedClass(family, kRecordClasses);
  if (last < 0) return;
  for (int pass = 0; pass <= last; ++pass) {
    bool swapped = false;
    for (int index = last; index >= 1; --index) {
      const int size = family[static_cast<size_t>(index)].GetSize();
      int k = 0;
      while (k < index && family[static_cast<size_t>(k)].GetSize() >= size) ++k;
      if (k == index) continue;
      SwapLists(family[static_cast<size_t>(k)], family[static_cast<size_t>(index)]);
      if (current != nullptr) std::swap(current[k], current[index]);
      for (int32_t* s : specials) {
        if (*s == k) {
          *s = index;
        } else if (*s == index) {
          *s = k;
        }
      }
      swapped = true;
    }
    // A pass without a swap leaves nothing for the remaining passes to do.
    if (!swapped) break;
  }
}

void TBeatEditor::SortTemplateClasses(int family_code) {
  const std::span<TTemplateList> family = RecordFamily(family_code);
  if (family.empty()) return;
  SortClasses(family, doc_.GetRecordingData().CurrentMembers(family_code).data(), SpecialIndices(family_code));
}

void TBeatEditor::CompactAndSortTemplateClasses() {
  class_count_ = kRecordClasses;
  for (int family : {kFamilyNormal, kFamilyVES, kFamilySVES, kFamilyArtefact}) CompactTemplateClasses(family);
  for (int family : {kFamilyNormal, kFamilyVES, kFamilySVES, kFamilyArtefact}) SortTemplateClasses(family);
}

int TBeatEditor::MoveTemplateClass(int source_family, int source_class, int target_family, int target_class) {
  if (source_family == target_family && source_class == target_class) return -1;
  const std::span<TTemplateList> source = RecordFamily(source_family);
  const std::span<TTemplateList> target = RecordFamily(target_family);
  if (source.empty() || target.empty() || source_class < 0 || source_class >= kRecordClasses) return -1;
  const int target_beat_class = BeatClassOfFamily(target_family);
  if (target_family == kFamilyArtefact) {
    target_class = 0;
  } else if (target_class == -1) {
    target_class = FindFreeTemplateClass(target_family);
  }
  if (target_class < 0 || target_class >= kRecordClasses) {
    win::Windows().MessageBeep();
    win::CurrentPrompt().MessageBox("To much template-classes !", "ZK-470", win::kMbOk);
    return -1;
  }
  if (source_family == target_family && source_class == target_class) return -1;

  TTemplateList& from = source[static_cast<size_t>(source_class)];
  TTemplateList& to = target[static_cast<size_t>(target_class)];
  TQRSList& beats = doc_.GetQRSList();
  const bool sv_involved = source_family == kFamilySVES || target_family == kFamilySVES;
  for (int e = 0; e < from.GetSize(); ++e) {
    const TTemplate entry = from.GetAt(e);
    to.Append(entry);
    const int beat = entry.GetBeatIndex();
    if (beat < 0 || beat >= beats.GetSize()) continue;
    if (beats.ElementAt(beat)->GetClass() != target_beat_class) beats.SetClass(beat, target_beat_class);
    if (sv_involved) TSVDetector(doc_, doc_.GetSVESPrematurityPercent()).Analyze(beat, 1);
  }
  from.RemoveAll();
  doc_.GetRecordingData().CurrentMembers(source_family)[static_cast<size_t>(source_class)] = 0;
  return target_class;
}

void TBeatEditor::RemoveBeatFromTemplates(int beat) {
  const TQRSList& beats = doc_.GetQRSList();
  if (beat < 0 || beat >= beats.GetSize()) return;
  const int new_class = beats.ElementAt(beat)->GetClass();
  for (int family_class : {kClassVES, kClassSVES, kClassNormal, kClassArtefact}) {
    SelectFamily(family_class, 0);
    if (RemoveBeatFromClass(beat, 0, 1, new_class)) return;
  }
}

void TBeatEditor::RemoveWorkingBeat(int beat) {
  const TQRSList& engine_beats = doc_.GetEngineQRSList();
  if (beat < 0 || beat >= engine_beats.GetSize()) return;
  selected_ = {};
  SelectFamily(engine_beats.ElementAt(beat)->GetClass(), 1);
  RemoveBeatFromClass(beat, 1, 0, 0);
}

void TBeatEditor::RemoveWorkingBeatAndShift(int beat) {
  const TQRSList& engine_beats = doc_.GetEngineQRSList();
  if (beat < 0 || beat >= engine_beats.GetSize()) return;
  RemoveWorkingBeat(beat);
  // Every working family holds indices into the engine beat list, the SVES one too (the external
  // library fills it): all of them follow the removal.
  for (int family = 0; family < CZK470Doc::kEngineFamilies; ++family)
    ShiftTemplateBeatIndices(doc_.GetEngineTemplates(family), beat, -1);
}

void TBeatEditor::SortWorkingTemplateClasses() {
  class_count_ = kWorkingClasses;
  TRecordingData& record = doc_.GetRecordingData();
  const auto first_300 = [&](int engine_family) {
    return std::span<TTemplateList>(doc_.GetEngineTemplates(engine_family)).first(kRecordClasses);
  };
  int32_t special_normal = doc_.GetSpecialNormalClass();
  SortClasses(first_300(CZK470Doc::kEngineFamilyNormal), record.normal_current.data(), {&special_normal});
  doc_.SetSpecialNormalClass(special_normal);
  SortClasses(first_300(CZK470Doc::kEngineFamilyVES), record.ves_current.data(), {});
  SortClasses(first_300(CZK470Doc::kEngineFamilyArtefact), record.artefact_current.data(), {});
}
