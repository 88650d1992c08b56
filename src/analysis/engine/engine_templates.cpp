#include "analysis/engine/engine_templates.h"

#include <algorithm>
#include <utility>

#include "analysis/engine/engine_beat_list.h"

namespace {

constexpr uint8_t kClassNormal = 1;
constexpr uint8_t kClassArtefact = 5;
constexpr uint8_t kClassVentricular = 15;

}  // namespace

EngineTemplates::EngineTemplates() {
  for (Family& f : families_) {
    f.lists.resize(kClasses);
    f.stats.resize(kClasses);
  }
}

void EngineTemplates::Clear() {
  for (Family& f : families_) {
    for (auto& list : f.lists) {
      list.clear();
      list.shrink_to_fit();
    }
    std::fill(f.stats.begin(), f.stats.end(), TemplateStats{});
  }
  special_normal_ = -1;
}

bool EngineTemplates::IsValid(int family, int template_class) {
  return family >= 1 && family <= 3 && template_class >= 0 && template_class < kClasses;
}

std::vector<int32_t>& EngineTemplates::List(int family, int template_class) {
  return families_[static_cast<size_t>(family - 1)].lists[static_cast<size_t>(template_class)];
}

const std::vector<int32_t>& EngineTemplates::List(int family, int template_class) const {
  return families_[static_cast<size_t>(family - 1)].lists[static_cast<size_t>(template_class)];
}

TemplateStats& EngineTemplates::Stats(int family, int template_class) {
  return families_[static_cast<size_t>(family - 1)].stats[static_cast<size_t>(template_class)];
}

int EngineTemplates::LeadingNonEmpty(int family) const {
  int n = 0;
  while (n < kClasses && !List(family, n).empty()) ++n;
  return n;
}

int EngineTemplates::FirstEmpty(int family, int limit) const {
  for (int i = 0; i < limit && i < kClasses; ++i)
    if (List(family, i).empty()) return i;
  return -1;
}

void EngineTemplates::MergeTemplateClass(int source_family, int source, int target_family,
                                         int target) {
  if (!IsValid(source_family, source) || !IsValid(target_family, target)) return;
  if (source_family == target_family && source == target) return;
  TemplateStats& from = Stats(source_family, source);
  TemplateStats& to = Stats(target_family, target);
  from.merged = 1;
  const std::vector<int32_t>& src = List(source_family, source);
  std::vector<int32_t>& dst = List(target_family, target);
  dst.insert(dst.end(), src.begin(), src.end());
  to.normal += from.normal;
  to.ventricular += from.ventricular;
  to.artefact += from.artefact;
  to.flagged += from.flagged;
  from.normal = from.ventricular = from.artefact = from.flagged = 0;
}

template <typename Keep>
void EngineTemplates::Compact(int family, bool keep_selection, Keep keep) {
  Family& f = families_[static_cast<size_t>(family - 1)];
  const bool follow = keep_selection && family == kNormal && special_normal_ >= 0 &&
                      special_normal_ < kClasses;
  int32_t special = special_normal_;
  int out = 0;
  for (int i = 0; i < kClasses; ++i) {
    if (!keep(i)) continue;
    if (follow && i == special_normal_) special = out;
    if (out != i) {
      f.lists[static_cast<size_t>(out)] = std::move(f.lists[static_cast<size_t>(i)]);
      f.stats[static_cast<size_t>(out)] = f.stats[static_cast<size_t>(i)];
    }
    ++out;
  }
  if (follow && !keep(special_normal_)) {
    // The class itself went: the index stays on the place it named.
    int below = 0;
    for (int i = 0; i < special_normal_; ++i) below += keep(i) ? 1 : 0;
    special = below;
  }
  for (int i = out; i < kClasses; ++i) {
    f.lists[static_cast<size_t>(i)].clear();
    f.stats[static_cast<size_t>(i)] = TemplateStats{};
  }
  if (follow) special_normal_ = special;
}

void EngineTemplates::RemoveMergedClasses(int family, bool keep_selection) {
  Family& f = families_[static_cast<size_t>(family - 1)];
  std::vector<bool> keep(kClasses);
  for (int i = 0; i < kClasses; ++i) keep[static_cast<size_t>(i)] = f.stats[static_cast<size_t>(i)].merged == 0;
  Compact(family, keep_selection, [&](int i) { return static_cast<bool>(keep[static_cast<size_t>(i)]); });
}

void EngineTemplates::RemoveEmptyClasses(int family, bool keep_selection) {
  Family& f = families_[static_cast<size_t>(family - 1)];
  std::vector<bool> keep(kClasses);
  for (int i = 0; i < kClasses; ++i) keep[static_cast<size_t>(i)] = !f.lists[static_cast<size_t>(i)].empty();
  Compact(family, keep_selection, [&](int i) { return static_cast<bool>(keep[static_cast<size_t>(i)]); });
}

void EngineTemplates::Relabel(EngineBeatList& beats, int family, int template_class,
                              uint8_t beat_class) {
  for (const int32_t index : List(family, template_class)) beats.SetClass(index, beat_class);
}

void EngineTemplates::RelabelClassesByMajority(EngineBeatList& beats, bool relabel) {
  enum Majority { kN, kV, kA };
  auto majority = [](const TemplateStats& s) {
    Majority m = kN;
    int32_t top = s.normal;
    if (s.ventricular >= top) {
      m = kV;
      top = s.ventricular;
    }
    if (s.artefact >= top) m = kA;
    return m;
  };
  auto move_to = [&](int family, int cls, int target_family, uint8_t beat_class) {
    const int empty = FirstEmpty(target_family, kClasses);
    if (empty < 0) return;
    if (relabel) Relabel(beats, family, cls, beat_class);
    MergeTemplateClass(family, cls, target_family, empty);
  };

  for (int cls = 0; cls < kClasses && !List(kNormal, cls).empty(); ++cls) {
    switch (majority(Stats(kNormal, cls))) {
      case kN:
        if (relabel) Relabel(beats, kNormal, cls, kClassNormal);
        break;
      case kV:
        move_to(kNormal, cls, kVentricular, kClassVentricular);
        break;
      case kA:
        move_to(kNormal, cls, kArtefact, kClassArtefact);
        break;
    }
  }
  for (int cls = 0; cls < kClasses && !List(kVentricular, cls).empty(); ++cls) {
    switch (majority(Stats(kVentricular, cls))) {
      case kV:
        if (relabel) Relabel(beats, kVentricular, cls, kClassVentricular);
        break;
      case kN:
        move_to(kVentricular, cls, kNormal, kClassNormal);
        break;
      case kA:
        move_to(kVentricular, cls, kArtefact, kClassArtefact);
        break;
    }
  }
  RemoveMergedClasses(kNormal, true);
  RemoveMergedClasses(kVentricular, false);
}

void EngineTemplates::CollectArtefactClasses() {
  // Class 0 ends in beat order. It is sorted first: it may hold a whole class moved there by the
  // relabelling, and merged classes are not in beat order.
  std::vector<int32_t>& target = List(kArtefact, 0);
  for (int cls = 1; cls < kClasses && !List(kArtefact, cls).empty(); ++cls) {
    std::vector<int32_t>& source = List(kArtefact, cls);
    target.insert(target.end(), source.begin(), source.end());
    source.clear();
    source.shrink_to_fit();
  }
  std::stable_sort(target.begin(), target.end());
}

void EngineTemplates::ChooseCollectingClass(const EngineBeatList& beats) {
  int last = -1;
  for (int i = 0; i < kClasses; ++i)
    if (!List(kNormal, i).empty()) last = i;
  special_normal_ = -1;
  for (int cls = 0; cls <= last; ++cls) {
    const TemplateStats& s = Stats(kNormal, cls);
    const int32_t count = static_cast<int32_t>(List(kNormal, cls).size());
    if (count == 0 || s.flagged <= 0 || s.flagged < count / 2) continue;
    if (special_normal_ < 0) {
      special_normal_ = cls;
    } else {
      MergeTemplateClass(kNormal, cls, kNormal, special_normal_);
    }
  }
  if (special_normal_ < 0) special_normal_ = FirstEmpty(kNormal, kCollectingSearch);
  if (special_normal_ >= 0) {
    std::vector<int32_t>& artefacts = List(kArtefact, 0);
    std::vector<int32_t>& collecting = List(kNormal, special_normal_);
    std::vector<int32_t> kept;
    kept.reserve(artefacts.size());
    for (const int32_t index : artefacts) {
      const bool normal = index >= 0 && index < beats.GetSize() &&
                          beats.GetAt(index).beat_class == kClassNormal;
      (normal ? collecting : kept).push_back(index);
    }
    artefacts = std::move(kept);
    if (collecting.empty()) special_normal_ = -1;
  }
  RemoveMergedClasses(kNormal, true);
  RemoveEmptyClasses(kNormal, true);
  RemoveMergedClasses(kArtefact, false);
  RemoveEmptyClasses(kArtefact, false);
}

void EngineTemplates::SortClassesBySize(int family, bool keep_selection) {
  Family& f = families_[static_cast<size_t>(family - 1)];
  const int count = LeadingNonEmpty(family);
  const bool follow = keep_selection && family == kNormal;
  for (int pass = 0; pass < count; ++pass) {
    bool exchanged = false;
    for (int k = count - 1; k >= 1; --k) {
      const size_t size_k = f.lists[static_cast<size_t>(k)].size();
      for (int j = 0; j < k; ++j) {
        if (f.lists[static_cast<size_t>(j)].size() >= size_k) continue;
        std::swap(f.lists[static_cast<size_t>(j)], f.lists[static_cast<size_t>(k)]);
        if (follow) {
          if (special_normal_ == j) {
            special_normal_ = k;
          } else if (special_normal_ == k) {
            special_normal_ = j;
          }
        }
        exchanged = true;
        break;
      }
    }
    // A pass that exchanged nothing leaves nothing for the next one.
    if (!exchanged) break;
  }
}

void EngineTemplates::MergeSurplusNormalClasses(int first) {
  if (special_normal_ < 0) special_normal_ = FirstEmpty(kNormal, kCollectingSearch);
  if (special_normal_ >= 0) {
    const int from = special_normal_ <= first - 1 ? first + 1 : first;
    for (int cls = from; cls < kClasses; ++cls) {
      if (cls == special_normal_ || List(kNormal, cls).empty()) continue;
      MergeTemplateClass(kNormal, cls, kNormal, special_normal_);
    }
    RemoveMergedClasses(kNormal, true);
    RemoveEmptyClasses(kNormal, true);
  }
  if (special_normal_ >= 0 && List(kNormal, special_normal_).empty()) special_normal_ = -1;
}
