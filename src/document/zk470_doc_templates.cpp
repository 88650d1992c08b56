// The template-class rows of the template review, pending relabels, and the undo of edits.

#include <algorithm>

#include "document/profile_keys.h"
#include "document/zk470_doc.h"

namespace {

constexpr int kRowScrollStep = 8;
constexpr int kRowsPerPageLarge = 24;
constexpr int kRowsPerPageSmall = 16;
// Pacemaker classes that are special: rows only while they have beats.
constexpr int32_t kPMSpecialCodes[] = {1, 3, 4, 6, 8, 9, 11};
constexpr int kFamilyNumbers[] = {TTemplateClassEntry::kFamilyVES, TTemplateClassEntry::kFamilyNormal,
                                  TTemplateClassEntry::kFamilyArtefact, TTemplateClassEntry::kFamilySVES};

int BeatClassOfFamily(int family) {
  switch (family) {
    case TTemplateClassEntry::kFamilyVES:
      return kClassVES;
    case TTemplateClassEntry::kFamilyNormal:
      return kClassNormal;
    case TTemplateClassEntry::kFamilyArtefact:
      return kClassArtefact;
    case TTemplateClassEntry::kFamilySVES:
      return kClassSVES;
    default:
      return -1;
  }
}

int FamilyOfBeatClass(int beat_class) {
  switch (beat_class) {
    case kClassNormal:
      return TTemplateClassEntry::kFamilyNormal;
    case kClassArtefact:
      return TTemplateClassEntry::kFamilyArtefact;
    case kClassSVES:
      return TTemplateClassEntry::kFamilySVES;
    case kClassVES:
      return TTemplateClassEntry::kFamilyVES;
    default:
      return -1;
  }
}

bool ValidClass(int class_index) {
  return class_index >= 0 && class_index < TRecordingData::kTemplateClasses;
}

}  // namespace

TTemplateList* CZK470Doc::RecordTemplateList(int family_number, int class_index) {
  if (BeatClassOfFamily(family_number) < 0 || !ValidClass(class_index)) return nullptr;
  return &recording_.TemplateClasses(family_number)[static_cast<size_t>(class_index)];
}

bool CZK470Doc::IsSpecialClass(int family_number, int class_index) const {
  const std::array<int32_t, 2>* special = nullptr;
  switch (family_number) {
    case TTemplateClassEntry::kFamilyNormal:
      special = &recording_.normal_special;
      break;
    case TTemplateClassEntry::kFamilyVES:
      special = &recording_.ves_special;
      break;
    case TTemplateClassEntry::kFamilySVES:
      special = &recording_.sves_special;
      break;
    default:
      return false;
  }
  return class_index == (*special)[0] || class_index == (*special)[1];
}

void CZK470Doc::ClearTemplateClassList() {
  template_rows_.clear();
  template_rows_.shrink_to_fit();
  selected_row_ = 0;
  first_visible_row_ = 0;
  cursor_row_ = 0;
}

void CZK470Doc::BuildTemplateClassList() {
  ClearTemplateClassList();
  const auto add_family = [&](int family, const std::array<int32_t, 2>* special, bool second_first) {
    const TRecordingData::TemplateFamily& lists = recording_.TemplateClasses(family);
    for (int c = 0; c < TRecordingData::kTemplateClasses; ++c) {
      const int count = lists[static_cast<size_t>(c)].GetSize();
      if (count == 0) break;
      if (special != nullptr && (c == (*special)[0] || c == (*special)[1])) continue;
      template_rows_.push_back({family, c, count});
    }
    if (special == nullptr) return;
    for (int k : second_first ? std::array<int, 2>{1, 0} : std::array<int, 2>{0, 1}) {
      const int32_t c = (*special)[static_cast<size_t>(k)];
      if (ValidClass(c)) template_rows_.push_back({family, c, lists[static_cast<size_t>(c)].GetSize()});
    }
  };
  add_family(TTemplateClassEntry::kFamilyNormal, &recording_.normal_special, false);
  add_family(TTemplateClassEntry::kFamilyVES, &recording_.ves_special, true);
  add_family(TTemplateClassEntry::kFamilySVES, &recording_.sves_special, false);
  add_family(TTemplateClassEntry::kFamilyArtefact, nullptr, false);
}

void CZK470Doc::UpdateTemplateClassCounts() {
  for (TTemplateClassEntry& row : template_rows_) {
    if (row.family == TTemplateClassEntry::kEmptied) continue;
    TTemplateList* list = RecordTemplateList(row.family, row.class_index);
    if (list == nullptr) continue;
    row.count = list->GetSize();
    int32_t& member = recording_.CurrentMembers(row.family)[static_cast<size_t>(row.class_index)];
    member = row.count == 0 ? 0 : std::clamp(member, 0, row.count - 1);
    if (row.count == 0 && !IsSpecialClass(row.family, row.class_index)) {
      row.family = TTemplateClassEntry::kEmptied;
      row.class_index = TTemplateClassEntry::kEmptied;
    }
  }
}

bool CZK470Doc::IsBeatInSelectedTemplateClass(int beat) const {
  if (beat < 0 || beat >= beats_.GetSize() || display_mode_ != DisplayMode::kTemplateBeats) return false;
  const int family = FamilyOfBeatClass(beats_.ElementAt(beat)->GetClass());
  if (family < 0) return false;
  if (selected_row_ >= 0 && selected_row_ < static_cast<int>(template_rows_.size())) {
    const int class_index = template_rows_[static_cast<size_t>(selected_row_)].class_index;
    if (ValidClass(class_index)) {
      const TTemplateList& list = recording_.TemplateClasses(family)[static_cast<size_t>(class_index)];
      const auto members = list.Elements();
      if (std::any_of(members.begin(), members.end(),
                      [&](const TTemplate& t) { return t.GetBeatIndex() == beat; }))
        return true;
    }
  }
  return std::any_of(pending_relabels_.begin(), pending_relabels_.end(),
                     [&](const TQRSUndoEntry& record) { return record.index == beat; });
}

void CZK470Doc::CommitPendingRelabels() {
  // Without the beat editor the relabels cannot be carried out: they stay pending.
  if (analysis_hooks_ != nullptr) {
    const std::vector<TQRSUndoEntry> records = std::move(pending_relabels_);
    pending_relabels_.clear();
    for (auto it = records.rbegin(); it != records.rend(); ++it)
      if (it->operation == document::kUndoChanged) analysis_hooks_->RemoveBeatFromTemplates(*this, it->index);
  }
  UpdateTemplateClassCounts();
}

void CZK470Doc::DeleteTemplateClassBeats(void* window, int row) {
  if (row < 0 || row >= static_cast<int>(template_rows_.size())) return;
  const int family = template_rows_[static_cast<size_t>(row)].family;
  TTemplateList* list = RecordTemplateList(family, template_rows_[static_cast<size_t>(row)].class_index);
  if (list == nullptr || analysis_hooks_ == nullptr) return;
  const int count = list->GetSize();
  for (int t = 0; t < count && list->GetSize() > 0; ++t) {
    const int beat = list->GetAt(0).GetBeatIndex();
    if (beat < 0 || beat >= beats_.GetSize()) break;
    analysis_hooks_->DeleteBeat(*this, window, beats_.ElementAt(beat)->GetPosition(), beat);
    if (family == TTemplateClassEntry::kFamilySVES)
      analysis_hooks_->DetectSVEvents(*this, GetSVESPrematurityPercent(), beat - 1);
  }
  CommitPendingRelabels();
  UpdateTemplateClassCounts();
  SetModifiedFlag(true);
  derived_valid_ = 0;
}

void CZK470Doc::ScrollTemplateClassIntoView() {
  CommitPendingRelabels();
  if (cursor_row_ < first_visible_row_) {
    while (first_visible_row_ > cursor_row_) first_visible_row_ -= kRowScrollStep;
    first_visible_row_ = std::max(first_visible_row_, 0);
    return;
  }
  const int page = settings_.Int(SettingKey::kTemplatesView) != 0 ? kRowsPerPageLarge : kRowsPerPageSmall;
  while (cursor_row_ >= first_visible_row_ + page) first_visible_row_ += kRowScrollStep;
}

void CZK470Doc::ClearPMTemplateClassList() {
  pm_rows_.clear();
  pm_rows_.shrink_to_fit();
  pm_row_state_ = {0, 0, 0};
  std::copy(std::begin(kPMSpecialCodes), std::end(kPMSpecialCodes), recording_.pm_class_codes.begin());
}

void CZK470Doc::BuildPMTemplateClassList() {
  ClearPMTemplateClassList();
  for (int c = 0; c < TRecordingData::kPMClasses; ++c) {
    const int count = recording_.pm_classes[static_cast<size_t>(c)].GetSize();
    const bool special =
        std::find(std::begin(kPMSpecialCodes), std::end(kPMSpecialCodes), c) != std::end(kPMSpecialCodes);
    if (special && count == 0) continue;
    pm_rows_.push_back({0, c, count});
  }
}

void CZK470Doc::UpdatePMTemplateClassCounts() {
  for (TPMTemplateClassEntry& row : pm_rows_) {
    if (row.class_index < 0 || row.class_index >= TRecordingData::kPMClasses) continue;
    const size_t c = static_cast<size_t>(row.class_index);
    row.count = recording_.pm_classes[c].GetSize();
    recording_.pm_current[c] = row.count == 0 ? 0 : std::clamp(recording_.pm_current[c], 0, row.count - 1);
  }
}

void CZK470Doc::EnsureAnalysisUpToDate() {
  if (derived_valid_ == 0 && analysis_hooks_ != nullptr) analysis_hooks_->RecomputeEvents(*this, 0);
  CommitPendingRelabels();
}

// --- Undo of edits ---------------------------------------------------------------------------------

void CZK470Doc::EnableUndo(int on, int32_t position_ms) {
  edit_recording_ = on;
  saved_position_ = position_ms;
  const bool enable = on != 0;
  beats_.EnableUndoLog(enable);
  events_.EnableUndoLog(enable);
  for (int family : kFamilyNumbers) {
    for (TTemplateList& list : recording_.TemplateClasses(family)) list.EnableUndoLog(enable);
    saved_current_members_[static_cast<size_t>(family)] = recording_.CurrentMembers(family);
  }
  saved_special_ = {recording_.normal_special[0], recording_.normal_special[1], recording_.ves_special[0],
                    recording_.ves_special[1],    recording_.sves_special[0],   recording_.sves_special[1]};
  saved_selected_row_ = selected_row_;
  saved_first_visible_row_ = first_visible_row_;
  saved_pending_relabels_ = pending_relabels_;
  saved_pm_classes_ = recording_.pm_classes;
  saved_pm_current_ = recording_.pm_current;
}

void CZK470Doc::UndoEdits() {
  beats_.UndoAll();
  events_.UndoAll();
  for (int family : kFamilyNumbers) {
    for (TTemplateList& list : recording_.TemplateClasses(family)) list.UndoAll();
    recording_.CurrentMembers(family) = saved_current_members_[static_cast<size_t>(family)];
  }
  recording_.normal_special = {saved_special_[0], saved_special_[1]};
  recording_.ves_special = {saved_special_[2], saved_special_[3]};
  recording_.sves_special = {saved_special_[4], saved_special_[5]};
  selected_row_ = saved_selected_row_;
  first_visible_row_ = saved_first_visible_row_;
  pending_relabels_ = saved_pending_relabels_;
  recording_.pm_classes = saved_pm_classes_;
  recording_.pm_current = saved_pm_current_;
  edit_recording_ = 0;
  SetCurrentPosition(saved_position_, 0);
  if (undo_update_ != 0) {
    UpdateAllViews(nullptr, hint::kDocumentChanged);
    UpdateAllViews(nullptr, hint::kEditsChanged);
    UpdateAllViews(nullptr, hint::kEditsUndone);
  }
  undo_update_ = 0;
}
