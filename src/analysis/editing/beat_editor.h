#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "document/recording_data.h"
#include "document/template_list.h"

class CZK470Doc;

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

  // notify 1: edits re-run the detectors around them and send update hints (the edit commands);
  // 0: lists only.
  TBeatEditor(CZK470Doc& doc, int notify);

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

  CZK470Doc& doc_;
  int notify_;
  int class_count_ = kRecordClasses;
  std::span<TTemplateList> selected_;
};
