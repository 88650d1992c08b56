#include "analysis/editing/beat_editor.h"

#include <algorithm>
#include <utility>

#include "analysis/event_pattern_detector.h"
#include "analysis/pacemaker/pm_analysis.h"
#include "analysis/pause_detector.h"
#include "analysis/ron_t_detector.h"
#include "analysis/sv_detector.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
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

TBeatEditor::TBeatEditor(CZK470Doc& doc, int notify) : doc_(doc), hooks_(DefaultHooks()), notify_(notify) {}

TBeatEditor::Hooks& TBeatEditor::DefaultHooks() {
  static Hooks hooks;
  return hooks;
}

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

// ---- Edit operations

namespace {

using analysis::TBeatEditRequest;
namespace bc = analysis::beatcmd;

class EditorWaitCursor {
 public:
  EditorWaitCursor() { win::Windows().BeginWaitCursor(); }
  ~EditorWaitCursor() { win::Windows().EndWaitCursor(); }
  EditorWaitCursor(const EditorWaitCursor&) = delete;
  EditorWaitCursor& operator=(const EditorWaitCursor&) = delete;
};

// Edit mode 1 makes the lists keep the prior class of what a user changes.
class EditModeOn {
 public:
  EditModeOn() : saved_(document::Context().edit_mode) { document::Context().edit_mode = 1; }
  ~EditModeOn() { document::Context().edit_mode = saved_; }
  EditModeOn(const EditModeOn&) = delete;
  EditModeOn& operator=(const EditModeOn&) = delete;

 private:
  int saved_;
};

bool IsRangeRelabel(int command) {
  return command == bc::kRangeVES || command == bc::kRangeSVES || command == bc::kRangeNormal ||
         command == bc::kRangeArtefact || command == bc::kRangeUnlabel;
}

int InsertClassOfCommand(int command) {
  switch (command) {
    case bc::kNormal:
      return kClassNormal;
    case bc::kVES:
      return kClassVES;
    case bc::kSVES:
      return kClassSVES;
    case bc::kArtefact:
      return kClassArtefact;
    default:
      return -1;
  }
}

int ClassOfChoice(int choice) {
  switch (choice) {
    case 0:
      return kClassNormal;
    case 1:
      return kClassSVES;
    case 2:
      return kClassVES;
    case 3:
      return kClassArtefact;
    default:
      return -1;
  }
}

int ChoiceOfClass(int beat_class) {
  switch (beat_class) {
    case kClassNormal:
      return 0;
    case kClassSVES:
      return 1;
    case kClassVES:
      return 2;
    case kClassArtefact:
      return 3;
    default:
      return beat_class;
  }
}

// The first event index whose start equals the position, else the first after it.
int FirstEventAtOrAfter(const TEventList& events, int32_t position) {
  if (events.GetSize() == 0) return 0;
  return events.FindNextAfterPosition(position - 1, 0);
}

}  // namespace

TCountsHint TBeatEditor::TakeSnapshot() const {
  return TCountsHint(doc_.GetEventList().Counters(), doc_.GetQRSList().Counters());
}

int TBeatEditor::ExecuteCommand(const TBeatEditRequest& in) {
  TBeatEditRequest request = in;
  CZK470Doc::ViewFields& view = doc_.GetViewFields();
  TQRSList& beats = doc_.GetQRSList();
  TEventList& events = doc_.GetEventList();
  const int command = request.command;

  // 1. The undo position.
  int32_t undo_position = doc_.GetCurrentPosition();
  if (command == bc::kMarkRangeStart) {
    view.range_position = doc_.GetCurrentPosition();
    undo_position = view.range_position;
  } else if (IsRangeRelabel(command)) {
    undo_position = view.range_position;
  }
  doc_.EnableUndo(1, undo_position);

  // 2. The counts before the edit.
  TCountsHint snapshot = TakeSnapshot();
  int update = 1;
  int long_range = 0;

  // 3. A command at a free position applies to the beat next to it.
  if (request.off_beat == 1) {
    if (IsRangeRelabel(command) || command == bc::kRangeFibrillation || command == bc::kRangeFlutter ||
        command == bc::kMarkRangeStart) {
      TQRSComplex probe(request.position, kClassNormal);
      int index = beats.GetSize() == 0 ? 0 : beats.FindNextAfter(probe, 0);
      if (command == bc::kMarkRangeStart) --index;
      index = std::max(index, 0);
      request.beat_index = index;
      if (index < beats.GetSize() - 1) request.off_beat = 0;
    } else if (command == bc::kDeleteEvent) {
      return DeleteEventAtPoint(request, snapshot);
    }
  }

  // 4. Insertion.
  if (request.off_beat == 1) {
    int beat_class = InsertClassOfCommand(command);
    if (request.direct == 0) {
      int choice = 0;
      const int result = hooks_.choice_dialog ? hooks_.choice_dialog(choice) : win::kIdCancel;
      if (result != win::kIdOk) return 0;
      beat_class = ClassOfChoice(choice);
      if (beat_class < 0) return 0;
    }
    TQRSComplex probe(request.position, kClassNormal);
    const int index = beats.GetSize() == 0 ? 0 : beats.FindNextAfter(probe, 0);
    if (beat_class >= 0)
      InsertBeat(index, TQRSComplex(request.position, static_cast<uint8_t>(beat_class)),
                 request.in_selected_class);
    RedetectAround(index, kEditInsert, 0);
    doc_.SetExtremesValid(0);
    doc_.UpdateAllViews(nullptr, hint::kBeatsEdited);
    MarkChangedKinds(snapshot, 1);
    doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
    doc_.SetModifiedFlag(true);
    return 0;
  }

  if (request.beat_index < 0 || request.beat_index >= beats.GetSize()) return 0;
  const int beat = request.beat_index;

  // 7. Beat commands with a dialog.
  if (request.direct == 0) return DialogCommand(request, snapshot);

  // 5. Beat commands, direct.
  if (IsRangeRelabel(command)) {
    if (view.range_start_beat == -1) {
      update = 0;
    } else {
      long_range = RangeRelabel(command, beat, request.in_selected_class);
    }
  } else if (InsertClassOfCommand(command) >= 0) {
    RelabelBeat(beat, InsertClassOfCommand(command), request.in_selected_class, nullptr, 0);
    RedetectAround(beat, kEditRelabel, 0);
    doc_.SetExtremesValid(0);
  } else if (command == bc::kDeleteEvent) {
    const int32_t position = beats.ElementAt(beat)->GetPosition();
    const int after = events.GetSize() == 0 ? 0 : events.FindNextAfterPosition(position, 0);
    const int beat_class = beats.ElementAt(beat)->GetClass();
    if (after > 0 && events.GetAt(after - 1).GetPosition() == position) {
      int next_beat = beat;
      for (int e = after - 1; e >= 0 && events.GetAt(e).GetPosition() == position; --e) {
        RelabelPatternBeats(beat, e, next_beat, request.in_selected_class);
        if (events.GetAt(e).GetClass() != kClassPaceMaker) events.RemoveAt(e);
      }
      TROnTDetector ron_t(doc_);
      ron_t.RecheckAround(beat, kEditRelabel);
      if (next_beat < beats.GetSize()) ron_t.RecheckAround(next_beat, kEditRelabel);
      doc_.SetExtremesValid(0);
    } else if (beat_class == kClassVES || beat_class == kClassSVES) {
      RelabelBeat(beat, kClassNormal, request.in_selected_class, nullptr, 0);
      RedetectAround(beat, kEditRelabel, 0);
      doc_.SetExtremesValid(0);
    } else {
      const int index = hooks_.event_at_point ? hooks_.event_at_point(request) : -1;
      if (index >= 0 && index < events.GetSize() && events.GetAt(index).GetClass() != kClassPaceMaker) {
        events.RemoveAt(index);
      } else {
        update = 0;
      }
      doc_.SetExtremesValid(0);
    }
  } else if (command == bc::kMarkRangeStart) {
    view.range_start_beat = beat;
    update = 0;
  } else if (command == bc::kDeleteBeat) {
    DeleteBeat(beat, request.in_selected_class, request.beat_class);
    RedetectAround(beat - 1, kEditDelete, 0);
    doc_.SetExtremesValid(0);
    if (notify_ != 0) doc_.UpdateAllViews(nullptr, hint::kBeatsEdited);
  } else if (command == bc::kRangeFibrillation || command == bc::kRangeFlutter) {
    if (view.range_start_beat == -1) {
      update = 0;
    } else {
      int start = view.range_start_beat;
      int end = beat;
      if (end < start) std::swap(start, end);
      view.range_end_beat = end;
      AddRangeEvent(start, end,
                    command == bc::kRangeFibrillation ? kClassAtrialFibrillation : kClassAtrialFlutter);
      doc_.SetExtremesValid(0);
      view.range_start_beat = -1;
    }
  }

  // 6. The common end.
  if (notify_ != 0 && update != 0) {
    MarkChangedKinds(snapshot, 1);
    doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
  }
  if (long_range != 0) {
    const int answer = win::CurrentPrompt().MessageBox(platform::LoadString(analysis::kStringRedoSTQuestion),
                                                       "ZK-470", win::kMbYesNo | win::kMbIconQuestion);
    if (answer == win::kIdYes) {
      if (hooks_.st_reanalysis) hooks_.st_reanalysis(doc_);
    } else {
      doc_.GetRecordingData().st_results_current = 0;
    }
  }
  if (update != 0) doc_.SetModifiedFlag(true);
  return 0;
}

int TBeatEditor::DeleteEventAtPoint(const TBeatEditRequest& request, TCountsHint& snapshot) {
  TEventList& events = doc_.GetEventList();
  // The hit test answers with an event index or -1; nothing else of the request is taken for one.
  const int index = hooks_.event_at_point ? hooks_.event_at_point(request) : -1;
  if (index < 0 || index >= events.GetSize() || events.GetAt(index).GetClass() == kClassPaceMaker) return 0;
  events.RemoveAt(index);
  MarkChangedKinds(snapshot, 1);
  doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
  doc_.SetModifiedFlag(true);
  return 0;
}

void TBeatEditor::RelabelPatternBeats(int beat, int event_index, int& next_beat, int in_selected_class) {
  const TEventList& events = doc_.GetEventList();
  if (!events.IsBeatPatternEvent(event_index)) return;
  const int32_t end = events.GetAt(event_index).GetEnd();
  const TQRSList& beats = doc_.GetQRSList();
  next_beat = std::max(next_beat, beat);
  while (next_beat < beats.GetSize() && beats.ElementAt(next_beat)->GetPosition() <= end) {
    RelabelBeat(next_beat, kClassNormal, in_selected_class, nullptr, 0);
    ++next_beat;
  }
}

int TBeatEditor::RangeRelabel(int command, int end_beat, int in_selected_class) {
  CZK470Doc::ViewFields& view = doc_.GetViewFields();
  TQRSList& beats = doc_.GetQRSList();
  TEventList& events = doc_.GetEventList();
  EditorWaitCursor wait;
  int start = view.range_start_beat;
  int end = end_beat;
  if (end < start) std::swap(start, end);
  start = std::clamp(start, 0, beats.GetSize() - 1);
  view.range_end_beat = end;
  int target = kClassVES;
  if (command == bc::kRangeSVES) target = kClassSVES;
  if (command == bc::kRangeNormal) target = kClassNormal;
  if (command == bc::kRangeArtefact) target = kClassArtefact;
  for (int i = start; i <= end; ++i) {
    if (command == bc::kRangeUnlabel) {
      const int c = beats.ElementAt(i)->GetClass();
      if (c == kClassVES) {
        RelabelBeat(i, kClassArtefact, in_selected_class, nullptr, 0);
      } else if (c == kClassSVES) {
        RelabelBeat(i, kClassNormal, in_selected_class, nullptr, 0);
      }
      continue;
    }
    RelabelBeat(i, target, in_selected_class, nullptr, 0);
  }
  const int32_t start_position = beats.ElementAt(start)->GetPosition();
  const int32_t end_position = beats.ElementAt(end)->GetPosition();
  for (int e = FirstEventAtOrAfter(events, start_position);
       e < events.GetSize() && events.GetAt(e).GetPosition() <= end_position;) {
    if (events.IsBeatPatternEvent(e) || events.IsRhythmEvent(e)) {
      events.RemoveAt(e);
    } else {
      ++e;
    }
  }
  RedetectAround(start, kEditRelabel, 1);
  RedetectAround(end, kEditRelabel, 1);
  doc_.SetExtremesValid(0);
  int long_range = 0;
  if (command != bc::kRangeUnlabel &&
      static_cast<double>(end_position) - start_position >= 60.0 * doc_.GetSampleRate())
    long_range = 1;
  view.range_start_beat = -1;
  return long_range;
}

int TBeatEditor::DialogCommand(const TBeatEditRequest& request, TCountsHint& snapshot) {
  TQRSList& beats = doc_.GetQRSList();
  TEventList& events = doc_.GetEventList();
  const int beat = request.beat_index;
  const int32_t position = beats.ElementAt(beat)->GetPosition();
  const int initial = ChoiceOfClass(beats.ElementAt(beat)->GetClass());
  const int after = events.GetSize() == 0 ? 0 : events.FindNextAfterPosition(position, 0);
  // The event that starts at the beat: the last of those with that start.
  const int event_at_beat = after > 0 && events.GetAt(after - 1).GetPosition() == position ? after - 1 : -1;
  int choice = initial;
  const int result =
      hooks_.beat_dialog ? hooks_.beat_dialog(initial, event_at_beat >= 0 ? 1 : 0, choice) : win::kIdCancel;
  const int sel = request.in_selected_class;
  if (result == win::kIdOk) {
    if (choice == initial) return 0;
    switch (choice) {
      case 0:
        RelabelBeat(beat, kClassNormal, sel, nullptr, 0);
        break;
      case 1:
        RelabelBeat(beat, kClassSVES, sel, nullptr, 0);
        break;
      case 2:
        if (beat + 1 < beats.GetSize() && beats.ElementAt(beat)->GetClass() == kClassSVES &&
            beats.ElementAt(beat + 1)->GetClass() == kClassSVES)
          RelabelBeat(beat + 1, kClassNormal, sel, nullptr, 0);
        RelabelBeat(beat, kClassVES, sel, nullptr, 0);
        break;
      case 3:
        RelabelBeat(beat, kClassArtefact, sel, nullptr, 0);
        doc_.SetExtremesValid(0);
        break;
      default:
        return 0;
    }
    RedetectAround(beat, kEditRelabel, 0);
    MarkChangedKinds(snapshot, 1);
    doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
    doc_.SetModifiedFlag(true);
  } else if (result == analysis::kBeatDlgDeleteBeat) {
    DeleteBeat(beat, sel, -1);
    RedetectAround(beat - 1, kEditDelete, 0);
    doc_.SetExtremesValid(0);
    MarkChangedKinds(snapshot, 1);
    doc_.UpdateAllViews(nullptr, hint::kBeatsEdited);
    doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
    doc_.SetModifiedFlag(true);
  } else if (result == analysis::kBeatDlgDeleteEvent && event_at_beat >= 0) {
    int next_beat = beat;
    RelabelPatternBeats(beat, event_at_beat, next_beat, sel);
    events.RemoveAt(event_at_beat);
    MarkChangedKinds(snapshot, 1);
    doc_.UpdateAllViews(nullptr, hint::kCountsChanged, &snapshot);
    doc_.SetModifiedFlag(true);
  }
  return 0;
}

int TBeatEditor::RelabelBeat(int beat, int new_class, int in_selected_class, void* /*view*/, int force) {
  TQRSList& beats = doc_.GetQRSList();
  if (beat < 0 || beat >= beats.GetSize()) return -1;
  const int current = beats.ElementAt(beat)->GetClass();
  if (current == kClassPacedBeat && force != 1) return -1;
  if (in_selected_class == 1) {
    if (current != kClassPacedBeat && current != 35) {
      SelectFamily(current, 0);
      RemoveBeatFromClass(beat, 1, 1, new_class);
    }
  } else {
    std::vector<TQRSUndoEntry>& pending = doc_.GetPendingRelabels();
    const bool named = std::any_of(pending.begin(), pending.end(),
                                   [beat](const TQRSUndoEntry& r) { return r.index == beat; });
    if (!named) pending.push_back(TQRSUndoEntry{*beats.ElementAt(beat), beat, document::kUndoChanged});
  }
  const EditModeOn edit_mode;
  beats.SetClass(beat, new_class);
  return 0;
}

void TBeatEditor::InsertBeat(int index, const TQRSComplex& beat, int in_selected_class) {
  class_count_ = kRecordClasses;
  TQRSList& beats = doc_.GetQRSList();
  const TEventList& events = doc_.GetEventList();
  const auto first_event_after_beat = [&](int b) {
    return events.GetSize() == 0 ? 0 : events.FindNextAfterPosition(BeatPosition(b), 0);
  };
  const int from = index < 2 ? 0 : first_event_after_beat(index - 2);
  const int to =
      index + 2 < beats.GetSize() ? first_event_after_beat(index + 2) : std::max(events.GetSize() - 1, 0);
  // The entries at or above the index move up first, so that the edit class names the inserted
  // beat whichever way the beat is filed.
  if (index < beats.GetSize())
    for (int family : {kFamilyVES, kFamilyNormal, kFamilyArtefact, kFamilySVES})
      ShiftTemplateBeatIndices(RecordFamily(family), index, +1);
  AddToEditClass(-1, index, beat.GetClass(), 1);
  ShiftPendingRelabels(index, +1);
  beats.InsertAt(index, beat);
  if (events.GetSize() > 0) {
    const int last = events.GetSize() - 1;
    PacemakerReanalysis(std::min(from, last), std::min(to, last));
  }
  CZK470Doc::ViewFields& view = doc_.GetViewFields();
  if (view.range_start_beat > index) ++view.range_start_beat;
}

void TBeatEditor::DeleteBeat(int beat, int in_selected_class, int beat_class) {
  TQRSList& beats = doc_.GetQRSList();
  if (beat < 0 || beat >= beats.GetSize()) return;
  const TEventList& events = doc_.GetEventList();
  if (beat_class == -1) beat_class = beats.ElementAt(beat)->GetClass();
  const auto first_event_after_beat = [&](int b) {
    b = std::clamp(b, 0, beats.GetSize() - 1);
    return events.GetSize() == 0 ? 0 : events.FindNextAfterPosition(BeatPosition(b), 0);
  };
  const int from = first_event_after_beat(beat - 2);
  const int to = first_event_after_beat(beat + 2);
  class_count_ = kRecordClasses;
  if (beat_class == kClassPacedBeat) {
    for (int family : {kFamilyVES, kFamilyNormal, kFamilyArtefact, kFamilySVES})
      ShiftTemplateBeatIndices(RecordFamily(family), beat, -1);
  } else {
    const std::vector<TQRSUndoEntry>& pending = doc_.GetPendingRelabels();
    for (const TQRSUndoEntry& record : pending)
      if (record.index == beat && record.operation == document::kUndoChanged)
        beat_class = record.element.GetClass();
    selected_ = {};
    SelectFamily(beat_class, 0);
    for (int family : {kFamilyNormal, kFamilyVES, kFamilySVES, kFamilyArtefact})
      AdjustCurrentMembers(family, beat, -1);
    if (!selected_.empty()) RemoveBeatFromClass(beat, in_selected_class, 0, 0);
    for (int family : {kFamilyVES, kFamilyNormal, kFamilyArtefact, kFamilySVES})
      ShiftTemplateBeatIndices(RecordFamily(family), beat, -1);
    ShiftPendingRelabels(beat, -1);
  }
  beats.RemoveAt(beat);
  if (events.GetSize() > 0) {
    const int last = events.GetSize() - 1;
    PacemakerReanalysis(std::min(from, last), std::min(to, last));
  }
  CZK470Doc::ViewFields& view = doc_.GetViewFields();
  if (view.range_start_beat >= beat) --view.range_start_beat;
}

void TBeatEditor::PacemakerReanalysis(int from, int to) {
  if (hooks_.pacemaker_reanalysis) {
    hooks_.pacemaker_reanalysis(doc_, from, to);
    return;
  }
  TPMAnalysis(doc_).ReanalyzeAround(from, to);
}

void TBeatEditor::ShiftPendingRelabels(int beat, int delta) {
  std::vector<TQRSUndoEntry>& pending = doc_.GetPendingRelabels();
  if (delta > 0) {
    // An insertion moves the beat at the index up as well: its record goes with it.
    for (TQRSUndoEntry& record : pending)
      if (record.index >= beat) record.index += delta;
    return;
  }
  std::erase_if(pending, [beat](const TQRSUndoEntry& record) { return record.index == beat; });
  for (TQRSUndoEntry& record : pending)
    if (record.index > beat) record.index += delta;
}

void TBeatEditor::AddRangeEvent(int start_beat, int end_beat, int kind) {
  const TQRSList& beats = doc_.GetQRSList();
  if (start_beat < 0 || end_beat >= beats.GetSize() || start_beat > end_beat) return;
  TEventList& events = doc_.GetEventList();
  const TEvent event(BeatPosition(start_beat), BeatPosition(end_beat), static_cast<uint8_t>(kind));
  const int at = events.GetSize() == 0 ? 0 : events.FindNextAfter(event, 0);
  events.InsertAt(at, event);
}

void TBeatEditor::RedetectAround(int beat, int edit_kind, int skip_pauses) {
  if (notify_ == 0) return;
  EditorWaitCursor wait;
  const int count = doc_.GetQRSList().GetSize();
  if (count == 0) return;
  beat = std::clamp(beat, 0, count - 1);
  CheckRRExtremeBeat(beat);
  TEventPatternDetector(doc_).RedetectAround(beat);
  TROnTDetector(doc_).RecheckAround(beat, edit_kind);
  TSVDetector(doc_, doc_.GetSVESPrematurityPercent()).Analyze(beat, edit_kind);
  if (skip_pauses != 1) TPauseDetector(doc_, doc_.GetPauseLimit(), doc_.GetSampleRate()).RedetectAround(beat);
  auto& flags = doc_.GetNavigationFlags();
  for (int code = 0; code < kClassCount; ++code)
    if (doc_.GetQRSList().GetCounter(code) == 0 && doc_.GetEventList().GetCounter(code) == 0)
      flags[static_cast<size_t>(code)] = 0;
}

void TBeatEditor::CheckRRExtremeBeat(int beat) {
  const int min_beat = doc_.GetRRMinBeat();
  const int max_beat = doc_.GetRRMaxBeat();
  if (beat == min_beat || beat == max_beat || (min_beat >= 0 && beat == min_beat + 1) ||
      (max_beat >= 0 && beat == max_beat + 1))
    doc_.SetExtremesValid(0);
}

void TBeatEditor::MarkChangedKinds(TCountsHint& snapshot, int mark_recording) {
  const TQRSList& beats = doc_.GetQRSList();
  const TEventList& events = doc_.GetEventList();
  for (int code = 0; code < kClassCount; ++code) {
    const auto c = static_cast<size_t>(code);
    if (events.GetCounter(code) != snapshot.event_counters[c] ||
        beats.GetCounter(code) != snapshot.beat_counters[c])
      snapshot.marks[c] = 1;
  }
  // Codes shown together: a change of one is a change of the other.
  if (snapshot.marks[kClassSVTrigeminy] != 0) snapshot.marks[kClassSVBigeminy] = 1;
  if (snapshot.marks[kClassAtrialFibrillation] != 0 || snapshot.marks[kClassAtrialFlutter] != 0)
    snapshot.marks[kClassArrhythmia] = 1;
  if (snapshot.marks[kClassLeadOff] != 0) snapshot.marks[kClassRecorderMinute] = 1;
  if (mark_recording == 1) doc_.MarkRecordingNumber(1);
}

// ---- Pacemaker classes

int TBeatEditor::FindFreePMClass() const {
  const auto& classes = doc_.GetRecordingData().pm_classes;
  for (int c = 0; c < kPMClasses; ++c)
    if (classes[static_cast<size_t>(c)].GetSize() == 0) return c;
  return kPMClasses;
}

int TBeatEditor::PMDestination(int target) const { return target == -1 ? FindFreePMClass() : target; }

bool TBeatEditor::ReportPMClassesFull(int destination) const {
  if (destination >= 0 && destination < kPMClasses) return false;
  win::Windows().MessageBeep();
  win::CurrentPrompt().MessageBox("To much PM-template-classes !", "ZK-470", win::kMbOk);
  return true;
}

int TBeatEditor::MovePMClass(int source, int target) {
  if (source < 0 || source >= kPMClasses) return -1;
  const int destination = PMDestination(target);
  if (ReportPMClassesFull(destination)) return -1;
  TRecordingData& record = doc_.GetRecordingData();
  if (destination == source) return destination;
  TPMTemplateList& from = record.pm_classes[static_cast<size_t>(source)];
  TPMTemplateList& to = record.pm_classes[static_cast<size_t>(destination)];
  for (const TPMTemplate& spike : std::vector<TPMTemplate>(from.Elements().begin(), from.Elements().end())) {
    RelabelForPMClassChange(spike.GetPosition(), source, target);
    to.Append(spike);
  }
  from.RemoveAll();
  record.pm_current[static_cast<size_t>(source)] = 0;
  return destination;
}

int TBeatEditor::MovePMTemplate(int pm_class, int member, int target) {
  if (pm_class < 0 || pm_class >= kPMClasses) return -1;
  TRecordingData& record = doc_.GetRecordingData();
  TPMTemplateList& from = record.pm_classes[static_cast<size_t>(pm_class)];
  if (member < 0 || member >= from.GetSize()) return -1;
  const int destination = PMDestination(target);
  if (ReportPMClassesFull(destination)) return -1;
  if (destination == pm_class) return destination;
  const TPMTemplate spike = from.GetAt(member);
  RelabelForPMClassChange(spike.GetPosition(), pm_class, target);
  record.pm_classes[static_cast<size_t>(destination)].Append(spike);
  from.RemoveAt(member);
  int32_t& current = record.pm_current[static_cast<size_t>(pm_class)];
  current = from.GetSize() == 0 ? 0 : std::clamp(current, 0, from.GetSize() - 1);
  return destination;
}

void TBeatEditor::RelabelForPMClassChange(int32_t spike_position, int source, int target) {
  if (source < 0 || source > 14) return;
  const TQRSList& beats = doc_.GetQRSList();
  const int after = beats.GetSize() == 0 ? 0 : beats.FindNextAfterPosition(spike_position, 0);
  const int before = after - 1;  // none when after is 0
  const bool has_after = after < beats.GetSize();
  const auto relabel = [&](int beat, int beat_class) {
    if (beat < 0 || beat >= beats.GetSize()) return;
    RelabelBeat(beat, beat_class, 1, nullptr, 1);
  };
  const auto relabel_after = [&](int beat_class) {
    if (has_after) relabel(after, beat_class);
  };
  const int group = target >= 0 && target <= 9     ? 0
                    : target == 10 || target == 11 ? 1
                    : target >= 12 && target <= 14 ? 2
                                                   : 3;
  if (group == 3) return;
  if (source <= 9) {
    if (group == 1) {
      relabel_after(kClassNormal);
      relabel(before, kClassPacedBeat);
    } else if (group == 2) {
      relabel_after(kClassNormal);
    }
  } else if (source <= 11) {
    if (group == 0) {
      relabel_after(kClassPacedBeat);
      relabel(before, kClassNormal);
    } else if (group == 2) {
      relabel(before, kClassNormal);
    }
  } else if (source == 12 || source == 14) {
    if (group == 0) relabel_after(kClassPacedBeat);
    if (group == 1) relabel(before, kClassPacedBeat);
  } else {  // 13
    if (group == 0) relabel(before, kClassPacedBeat);
    if (group == 1) relabel_after(kClassPacedBeat);
  }
}
