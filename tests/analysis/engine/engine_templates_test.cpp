#include "analysis/engine/engine_templates.h"

#include <gtest/gtest.h>

#include <numeric>

#include "analysis/engine/engine_beat_list.h"

namespace {

constexpr int kN = EngineTemplates::kNormal;
constexpr int kV = EngineTemplates::kVentricular;
constexpr int kA = EngineTemplates::kArtefact;

// `count` beats 100 samples apart, all of the given class.
void AddBeats(EngineBeatList& beats, int count, uint8_t beat_class) {
  for (int i = 0; i < count; ++i) beats.Append({100 * (i + 1), beat_class});
}

// Puts beats [first, first + count) into class cls of family, counting them as the given kind.
void Fill(EngineTemplates& t, int family, int cls, int first, int count, TemplateStats stats = {}) {
  auto& list = t.List(family, cls);
  for (int i = 0; i < count; ++i) list.push_back(first + i);
  t.Stats(family, cls) = stats;
}

std::vector<size_t> Sizes(const EngineTemplates& t, int family) {
  std::vector<size_t> sizes;
  for (int i = 0; i < EngineTemplates::kClasses && !t.List(family, i).empty(); ++i)
    sizes.push_back(t.List(family, i).size());
  return sizes;
}

}  // namespace

TEST(EngineTemplates, MergedClassesCloseTheirGapAndTheCollectingClassFollows) {
  EngineTemplates t;
  Fill(t, kN, 0, 0, 2, {2, 0, 0, 0, 0});
  Fill(t, kN, 1, 2, 3, {3, 0, 0, 1, 0});
  Fill(t, kN, 2, 5, 1, {1, 0, 0, 0, 0});
  Fill(t, kN, 3, 6, 4, {4, 0, 0, 0, 0});
  t.set_special_normal_class(3);
  t.MergeTemplateClass(kN, 1, kN, 0);
  EXPECT_EQ(t.List(kN, 0), (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(t.Stats(kN, 0).normal, 5);
  EXPECT_EQ(t.Stats(kN, 0).flagged, 1);
  EXPECT_EQ(t.Stats(kN, 1).normal, 0);
  EXPECT_EQ(t.Stats(kN, 1).merged, 1);

  t.RemoveMergedClasses(kN, true);
  EXPECT_EQ(Sizes(t, kN), (std::vector<size_t>{5, 1, 4}));
  EXPECT_EQ(t.special_normal_class(), 2);
  EXPECT_EQ(t.Stats(kN, 3).normal, 0);

  t.List(kN, 1).clear();
  t.RemoveEmptyClasses(kN, true);
  EXPECT_EQ(Sizes(t, kN), (std::vector<size_t>{5, 4}));
  EXPECT_EQ(t.special_normal_class(), 1);
}

TEST(EngineTemplates, ClassesAreRelabelledByTheMajorityOfTheirBeats) {
  struct Case {
    const char* name;
    TemplateStats stats;
    int family_after;
    uint8_t class_after;
  };
  const Case kCases[] = {
      {"normal majority stays", {5, 1, 1, 0, 0}, kN, 1},
      {"ventricular wins a tie with normal", {2, 2, 0, 0, 0}, kV, 15},
      {"artefact wins every tie", {1, 3, 3, 0, 0}, kA, 5},
      {"no counted beats (only undefined ones) counts as artefact", {0, 0, 0, 0, 0}, kA, 5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EngineBeatList beats;
    AddBeats(beats, 3, 22);
    EngineTemplates t;
    Fill(t, kN, 0, 0, 3, c.stats);
    t.RelabelClassesByMajority(beats, true);
    EXPECT_EQ(t.List(c.family_after, 0), (std::vector<int32_t>{0, 1, 2}));
    if (c.family_after != kN) {
      EXPECT_TRUE(t.List(kN, 0).empty());
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(beats.GetAt(i).beat_class, c.class_after);
    EXPECT_EQ(beats.Count(c.class_after), 3);
  }
}

TEST(EngineTemplates, ArtefactClassesAreCollectedInBeatOrder) {
  EngineTemplates t;
  t.List(kA, 0) = {9, 2, 20};  // a class moved here whole by the relabelling need not be in order
  t.List(kA, 1) = {5, 1};
  t.List(kA, 2) = {30, 15};
  t.List(kA, 4) = {7};  // after the first empty class: not collected
  t.CollectArtefactClasses();
  EXPECT_EQ(t.List(kA, 0), (std::vector<int32_t>{1, 2, 5, 9, 15, 20, 30}));
  EXPECT_TRUE(t.List(kA, 1).empty());
  EXPECT_TRUE(t.List(kA, 2).empty());
  EXPECT_EQ(t.List(kA, 4), (std::vector<int32_t>{7}));
}

TEST(EngineTemplates, CollectingClass) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> normal;  // per class: beats, noise-flagged beats
    std::vector<int32_t> artefact0;           // beat indices in artefact class 0
    int32_t want_special;
    std::vector<size_t> want_sizes;
    std::vector<int32_t> want_artefact0;
  };
  // Beats 0..49 exist; beats 40..49 are normal beats filed as artefacts, 45..49 really artefacts.
  const Case kCases[] = {
      {"none qualifies and it stays empty", {{4, 0}, {3, 0}}, {45, 46}, -1, {4, 3}, {45, 46}},
      {"none qualifies, normal beats in the artefact class fill it", {{4, 0}, {3, 0}}, {40, 41, 45}, 2, {4, 3, 2}, {45}},
      {"half flagged qualifies, later ones merge into it", {{4, 0}, {4, 2}, {2, 0}, {3, 3}}, {}, 1, {4, 7, 2}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EngineBeatList beats;
    AddBeats(beats, 50, 1);
    for (int i = 45; i < 50; ++i) beats.SetClass(i, 5);
    EngineTemplates t;
    int next = 0;
    for (size_t k = 0; k < c.normal.size(); ++k) {
      Fill(t, kN, static_cast<int>(k), next, c.normal[k].first, {c.normal[k].first, 0, 0, c.normal[k].second, 0});
      next += c.normal[k].first;
    }
    t.List(kA, 0) = c.artefact0;
    t.ChooseCollectingClass(beats);
    EXPECT_EQ(t.special_normal_class(), c.want_special);
    EXPECT_EQ(Sizes(t, kN), c.want_sizes);
    EXPECT_EQ(t.List(kA, 0), c.want_artefact0);
  }
}

TEST(EngineTemplates, SortingExchangesListsButNotCounters) {
  EngineTemplates t;
  Fill(t, kV, 0, 0, 1, {0, 1, 0, 0, 0});
  Fill(t, kV, 1, 1, 3, {0, 3, 0, 0, 0});
  Fill(t, kV, 2, 4, 2, {0, 2, 0, 0, 0});
  t.SortClassesBySize(kV, false);
  EXPECT_EQ(Sizes(t, kV), (std::vector<size_t>{3, 2, 1}));
  EXPECT_EQ(t.List(kV, 0), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(t.Stats(kV, 0).ventricular, 1);
  EXPECT_EQ(t.Stats(kV, 1).ventricular, 3);
}

TEST(EngineTemplates, AtMostThirteenNormalClassesSurvive) {
  struct Case {
    const char* name;
    int classes;
    int32_t special;  // before the merge
    size_t want_classes;
    int32_t want_special;
  };
  const Case kCases[] = {
      {"few classes, no collecting class yet", 5, -1, 5, -1},
      {"twenty classes, no collecting class yet", 20, -1, 13, 12},
      {"collecting class among the first twelve", 20, 3, 13, 3},
      {"collecting class further back", 20, 15, 13, 12},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EngineTemplates t;
    int next = 0;
    for (int k = 0; k < c.classes; ++k) {
      Fill(t, kN, k, next, 30 - k, {30 - k, 0, 0, 0, 0});
      next += 30 - k;
    }
    t.set_special_normal_class(c.special);
    t.MergeSurplusNormalClasses(12);
    EXPECT_EQ(Sizes(t, kN).size(), c.want_classes);
    EXPECT_EQ(t.special_normal_class(), c.want_special);
    size_t total = 0;
    for (size_t s : Sizes(t, kN)) total += s;
    EXPECT_EQ(total, static_cast<size_t>(next));  // no beat lost
  }
}

TEST(EngineTemplates, ClassIndicesStopAtTheCap) {
  EXPECT_TRUE(EngineTemplates::IsValid(kN, 999));
  EXPECT_FALSE(EngineTemplates::IsValid(kN, 1000));
  EXPECT_FALSE(EngineTemplates::IsValid(kN, -1));
  EXPECT_FALSE(EngineTemplates::IsValid(0, 0));
  EXPECT_FALSE(EngineTemplates::IsValid(4, 0));
  EngineTemplates t;
  t.MergeTemplateClass(kN, 1000, kN, 0);  // out of range: nothing happens
  t.MergeTemplateClass(0, 0, kN, 0);
  EXPECT_TRUE(t.List(kN, 0).empty());
}
