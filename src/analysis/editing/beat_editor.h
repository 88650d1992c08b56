#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/template_list.h"
#include "document/update_hints.h"

class CZK470Doc;

namespace analysis {

// One edit as the review windows hand it to the editor: eleven int32 in this order. Fields 2 to 6
// are the hit record that the window's strip area filled for the mouse position. The views keep
// their own copy of this record (they lie above this library); the program's sink converts.
struct TBeatEditRequest {
  int32_t window = 0;  // the asking window; answers the event hit test
  int32_t x = 0;
  int32_t y = 0;
  int32_t off_beat = 1;  // 1: no beat at the point, the position applies
  int32_t position = -1;
  int32_t beat_index = -1;
  int32_t key_flags = 0;
  int32_t direct = 1;  // 0: ask the user with a dialog first
  int32_t command = 0;
  // 1 when the beat belongs to the class of the selected template row: relabels then move the
  // beat between template classes at once instead of leaving a pending record.
  int32_t in_selected_class = 0;
  int32_t beat_class = -1;  // for the delete command; -1 the beat's own class
};

// Command ids the editor knows.
namespace beatcmd {
inline constexpr int kNormal = 32845;
inline constexpr int kVES = 32846;
inline constexpr int kSVES = 32847;
inline constexpr int kArtefact = 32848;
inline constexpr int kRangeVES = 32830;
inline constexpr int kRangeSVES = 32831;
inline constexpr int kRangeNormal = 32921;
inline constexpr int kRangeArtefact = 32923;
inline constexpr int kRangeUnlabel = 32853;
inline constexpr int kDeleteEvent = 32851;
inline constexpr int kMarkRangeStart = 32852;
inline constexpr int kDeleteBeat = 32950;
inline constexpr int kRangeFibrillation = 33204;
inline constexpr int kRangeFlutter = 33205;
}  // namespace beatcmd

// Dialog results of the beat dialog besides OK (1) and Cancel (2).
inline constexpr int kBeatDlgDeleteBeat = 1045;
inline constexpr int kBeatDlgDeleteEvent = 1123;
// The question after a long range relabel.
inline constexpr int kStringRedoSTQuestion = 23009;

}  // namespace analysis

// Keeps the template classes consistent with the beat list: every beat of the four families
// (normal, VES, SVES, artefact) belongs to one class of its family. Works either on the recording
// record's classes (300 per family, with current members and two special classes per family but
// the artefact family) or on the document's working template lists (1000 per family, filled by
// the engines). Beats are named by their index in the working beat list (the engine beat list for
// the working lists).
//
// Family codes: 0 VES, 1 normal, 2 artefact, 3 SVES. The edit class of a family collects the
// beats labelled or inserted by hand: the second special class for normal and SVES, the first for
// VES, class 0 for artefacts; an unset edit class is created in the first free class.
//
// Created for one operation and deleted; owns nothing. Runs on the thread that owns the document
// at that moment. Changes go through the lists and are logged while their change logs are on.
class TBeatEditor {
 public:
  static constexpr int kFamilyVES = 0;
  static constexpr int kFamilyNormal = 1;
  static constexpr int kFamilyArtefact = 2;
  static constexpr int kFamilySVES = 3;
  static constexpr int kRecordClasses = TRecordingData::kTemplateClasses;
  static constexpr int kWorkingClasses = 1000;

  static constexpr int kPMClasses = TRecordingData::kPMClasses;
  static constexpr int kEditInsert = 0;
  static constexpr int kEditDelete = 1;
  static constexpr int kEditRelabel = 2;

  // What an edit needs beyond the analysis library. Empty members: the event hit test finds no
  // event, the dialogs are cancelled, the ST re-analysis is skipped, the pacemaker analysis
  // matches the spikes again.
  struct Hooks {
    // Index of the event marker under the request's point in its window, -1 for none.
    std::function<int(const analysis::TBeatEditRequest&)> event_at_point;
    // The beat dialog: initial choice and event flag in, the choice out; returns 1 (OK), 2
    // (Cancel), 1045 or 1123.
    std::function<int(int initial_choice, int event_flag, int& choice)> beat_dialog;
    // The class choice before an insertion (choice starts 0); returns 1 for OK.
    std::function<int(int& choice)> choice_dialog;
    // The document's ST re-analysis of the whole recording.
    std::function<void(CZK470Doc&)> st_reanalysis;
    // Replaces the pacemaker analysis' matching of the spikes from event `from` to event `to`.
    std::function<void(CZK470Doc&, int from, int to)> pacemaker_reanalysis;
  };
  // The hooks every new editor starts with (the program installs them once); editors may override.
  static Hooks& DefaultHooks();

  // notify 1: edits re-run the detectors around them and send update hints (the edit commands);
  // 0: lists only.
  TBeatEditor(CZK470Doc& doc, int notify);
  Hooks& GetHooks() { return hooks_; }

  // --- Edit operations ---
  // Carries out one edit request; the result is of no use to callers.
  int ExecuteCommand(const analysis::TBeatEditRequest& request);
  // 0, or -1 when refused (a paced beat without force).
  int RelabelBeat(int beat, int new_class, int in_selected_class, void* view, int force);
  void InsertBeat(int index, const TQRSComplex& beat, int in_selected_class);
  void DeleteBeat(int beat, int in_selected_class, int beat_class);
  void AddRangeEvent(int start_beat, int end_beat, int kind);
  void RedetectAround(int beat, int edit_kind, int skip_pauses);
  void CheckRRExtremeBeat(int beat);
  // The counts of the lists now, as a hint without marks.
  TCountsHint TakeSnapshot() const;
  void MarkChangedKinds(TCountsHint& snapshot, int mark_recording);
  void ShiftPendingRelabels(int beat, int delta);

  // --- Pacemaker classes of the recording record ---
  int FindFreePMClass() const;
  int MovePMClass(int source, int target);
  int MovePMTemplate(int pm_class, int member, int target);
  void RelabelForPMClassChange(int32_t spike_position, int source, int target);

  // The family code of a beat class (-1 for none) and the beat class of a family code.
  static int FamilyOfBeatClass(int beat_class);
  static int BeatClassOfFamily(int family_code);

  // Selects the family of the beat class in the recording record (working 0, 300 classes) or the
  // working lists (working 1, 1000 classes); any other class only sets the class count.
  void SelectFamily(int beat_class, int working);
  // Takes the beat out of the first class of the selected family that holds it (add: first copied
  // to the edit class of new_class's family; delete_empty: a class left empty is deleted). True
  // when the beat was found.
  bool RemoveBeatFromClass(int beat, int delete_empty, int add, int new_class);
  // Appends to the edit class of beat_class's family either the beat (by_beat) or a copy of entry
  // entry_or_beat of class class_index of the selected family.
  void AddToEditClass(int class_index, int entry_or_beat, int beat_class, int by_beat);
  // Classes after class_index of the selected family move down by one; the last is emptied.
  void DeleteTemplateClass(int class_index);
  // Every entry naming a beat at or after `from` moves by delta.
  void ShiftTemplateBeatIndices(std::span<TTemplateList> family, int from, int delta);
  // Current members of the recording record's family that point at or past the beat move by delta.
  void AdjustCurrentMembers(int family_code, int beat, int delta);
  // The first empty class that is none of the six special classes; 300 when the family is full.
  int FindFreeTemplateClass(int family_code) const;
  // Drops empty classes (special classes excepted) of a recording record family.
  void CompactTemplateClasses(int family_code);
  // Orders the classes of a recording record family by size, largest first; current members and
  // special indices follow their classes.
  void SortTemplateClasses(int family_code);
  void CompactAndSortTemplateClasses();
  // Moves every beat of a class into another family's class (target -1: a free one; the artefact
  // family always class 0). Returns the target class, or -1 when nothing moved.
  int MoveTemplateClass(int source_family, int source_class, int target_family, int target_class);
  // After a relabel: the beat leaves its class and joins the edit class of its new class's family.
  void RemoveBeatFromTemplates(int beat);

  // The engine's post-processing on the working lists: take a beat out of its class (and shift
  // the later beat indices down, as the beat leaves the engine beat list), and sort the classes.
  void RemoveWorkingBeatAndShift(int beat);
  void RemoveWorkingBeat(int beat);
  void SortWorkingTemplateClasses();

  std::span<TTemplateList> GetSelectedFamily() const { return selected_; }
  int GetClassCount() const { return class_count_; }

 private:
  std::span<TTemplateList> RecordFamily(int family_code) const;
  std::span<TTemplateList> WorkingFamily(int beat_class) const;
  int32_t* EditClass(int family_code) const;
  std::vector<int32_t*> SpecialIndices(int family_code) const;
  bool IsAnySpecialClass(int class_index) const;
  void SortClasses(std::span<TTemplateList> family, int32_t* current, const std::vector<int32_t*>& specials) const;
  int32_t BeatPosition(int beat) const;
  int PMDestination(int target) const;
  bool ReportPMClassesFull(int destination) const;
  int DeleteEventAtPoint(const analysis::TBeatEditRequest& request, TCountsHint& snapshot);
  void RelabelPatternBeats(int beat, int event_index, int& next_beat, int in_selected_class);
  int RangeRelabel(int command, int end_beat, int in_selected_class);
  int DialogCommand(const analysis::TBeatEditRequest& request, TCountsHint& snapshot);
  void PacemakerReanalysis(int from, int to);

  CZK470Doc& doc_;
  Hooks hooks_;
  int notify_;
  int class_count_ = kRecordClasses;
  std::span<TTemplateList> selected_;
};
