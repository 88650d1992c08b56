#pragma once

#include <array>
#include <cstdint>
#include <vector>

class EngineBeatList;

// Counters of one template class, kept by the engine while it writes beats: beats of engine kind
// normal, ventricular and artefact, noise-flagged beats, and the mark of a class merged away.
struct TemplateStats {
  int32_t normal = 0;
  int32_t ventricular = 0;
  int32_t artefact = 0;
  int32_t flagged = 0;
  int32_t merged = 0;
};

// The template classes a run writes: three families (1 normal, 2 ventricular, 3 artefact) of 1000
// classes, each a list of beat indices into the run's beat list, with its counters; and the
// special normal class that collects noisy and surplus normal beats. Holds the end-of-run
// consolidation steps that work on the lists alone. Owned by the engine, used by its thread.
class EngineTemplates {
 public:
  static constexpr int kClasses = 1000;
  static constexpr int kNormal = 1;
  static constexpr int kVentricular = 2;
  static constexpr int kArtefact = 3;
  // The collecting class is looked for among the first 300 classes (the recording keeps 300).
  static constexpr int kCollectingSearch = 300;

  EngineTemplates();

  void Clear();

  // family 1..3, template_class 0..999; callers check the range.
  std::vector<int32_t>& List(int family, int template_class);
  const std::vector<int32_t>& List(int family, int template_class) const;
  TemplateStats& Stats(int family, int template_class);
  [[nodiscard]] static bool IsValid(int family, int template_class);

  [[nodiscard]] int32_t special_normal_class() const { return special_normal_; }
  void set_special_normal_class(int32_t index) { special_normal_ = index; }

  // Number of classes from class 0 up to the first empty one.
  [[nodiscard]] int LeadingNonEmpty(int family) const;

  void MergeTemplateClass(int source_family, int source, int target_family, int target);
  void RemoveMergedClasses(int family, bool keep_selection);
  void RemoveEmptyClasses(int family, bool keep_selection);
  void RelabelClassesByMajority(EngineBeatList& beats, bool relabel);
  void CollectArtefactClasses();
  void ChooseCollectingClass(const EngineBeatList& beats);
  void SortClassesBySize(int family, bool keep_selection);
  void MergeSurplusNormalClasses(int first);

 private:
  struct Family {
    std::vector<std::vector<int32_t>> lists;
    std::vector<TemplateStats> stats;
  };

  // Keeps the classes for which keep(i) holds, in order; the others go to the end, empty.
  template <typename Keep>
  void Compact(int family, bool keep_selection, Keep keep);
  [[nodiscard]] int FirstEmpty(int family, int limit) const;
  void Relabel(EngineBeatList& beats, int family, int template_class, uint8_t beat_class);

  std::array<Family, 3> families_;
  int32_t special_normal_ = -1;
};
