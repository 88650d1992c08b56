// End-of-run consolidation of the built-in engine's template classes: merge similar classes,
// relabel by majority, collect artefacts, choose the collecting class, sort, cap the normal classes.
#include <cmath>

#include "analysis/engine/beat_engine.h"

namespace {

size_t U(int i) { return static_cast<size_t>(i); }

int32_t OtherMergeTolerance(int32_t amplitude) {
  if (amplitude >= 800) return 300;
  if (amplitude >= 600) return 200;
  if (amplitude >= 400) return 160;
  return 120;
}

int32_t IntoNormalTolerance(int32_t amplitude) {
  if (amplitude >= 800) return 300;
  if (amplitude >= 600) return 200;
  if (amplitude >= 400) return 160;
  return 100;
}

int32_t AverageTolerance(double amplitude) {
  if (amplitude >= 800) return 300;
  if (amplitude >= 600) return 200;
  if (amplitude >= 400) return 160;
  return 100;
}

int32_t Abs(int32_t v) { return v < 0 ? -v : v; }

// Amplitudes below 120 on a lead make its shape meaningless; the other lead decides alone.
constexpr int32_t kSmallLead = 120;

}  // namespace

void BeatEngine::ConsolidateTemplates() {
  EngineTemplates& t = templates_;
  const int other_count = static_cast<int>(other_group_.size());
  const int normal_count = static_cast<int>(normal_group_.size());

  // Step 1: similar other-group classes merge, the higher index into the lower.
  for (int i = other_count - 1; i >= 0; --i) {
    const TemplateClass& ci = other_group_[U(i)];
    const int32_t tol0 = OtherMergeTolerance(ci.amplitude[0]);
    const int32_t tol1 = OtherMergeTolerance(ci.amplitude[1]);
    t.Stats(EngineTemplates::kVentricular, i).merged = 0;
    for (int j = i - 1; j >= 0; --j) {
      const TemplateClass& cj = other_group_[U(j)];
      const bool ratio = std::fabs(ci.prematurity - cj.prematurity) < 0.2 ||
                         (ci.prematurity > 0.8 && cj.prematurity > 0.8);
      if (!ratio) continue;
      const bool near0 = Abs(ci.amplitude[0] - cj.amplitude[0]) < tol0;
      const bool near1 = Abs(ci.amplitude[1] - cj.amplitude[1]) < tol1;
      const bool small0 = ci.amplitude[0] < kSmallLead && cj.amplitude[0] < kSmallLead;
      const bool small1 = ci.amplitude[1] < kSmallLead && cj.amplitude[1] < kSmallLead;
      if (!(near0 && near1) && !(small0 && near1) && !(small1 && near0)) continue;
      const int32_t c0 = CompareShapes(ci.shape[0], ci.fiducial[0], cj.shape[0], cj.fiducial[0]);
      const int32_t c1 = (c0 >= 7745 || small0)
                             ? CompareShapes(ci.shape[1], ci.fiducial[1], cj.shape[1], cj.fiducial[1])
                             : 0;
      const bool merge = (((c0 >= 8101 && c1 >= 7745) || (c1 >= 8101 && c0 >= 7745)) && near0 && near1) ||
                         (small0 && c1 >= 8465 && near1) || (small1 && c0 >= 8465 && near0);
      if (merge) {
        t.MergeTemplateClass(EngineTemplates::kVentricular, i, EngineTemplates::kVentricular, j);
        break;
      }
    }
  }

  // Step 2: other-group classes that look like a normal class join it.
  const int larger = std::max(other_count, normal_count);
  const int smaller = std::min(other_count, normal_count);
  for (int i = larger - 1; i >= 0; --i) {
    if (i >= other_count || t.Stats(EngineTemplates::kVentricular, i).merged) continue;
    const TemplateClass& ci = other_group_[U(i)];
    const int32_t tol0 = IntoNormalTolerance(ci.amplitude[0]);
    const int32_t tol1 = IntoNormalTolerance(ci.amplitude[1]);
    for (int j = smaller - 1; j >= 0; --j) {
      const TemplateClass& nj = normal_group_[U(j)];
      if (std::fabs(ci.prematurity - nj.prematurity) >= 0.2) continue;
      const bool near0 = Abs(ci.amplitude[0] - nj.amplitude[0]) < tol0;
      const bool near1 = Abs(ci.amplitude[1] - nj.amplitude[1]) < tol1;
      const bool small0 = ci.amplitude[0] < kSmallLead && nj.amplitude[0] < kSmallLead;
      const bool small1 = ci.amplitude[1] < kSmallLead && nj.amplitude[1] < kSmallLead;
      if (!(near0 && near1) && !(small0 && near1) && !(small1 && near0)) continue;
      const int32_t c0 = CompareShapes(ci.shape[0], ci.fiducial[0], nj.shape[0], nj.fiducial[0]);
      const int32_t c1 = CompareShapes(ci.shape[1], ci.fiducial[1], nj.shape[1], nj.fiducial[1]);
      const bool merge = (c0 >= 8837 && c1 >= 8837 && near0 && near1) || (small0 && c1 >= 8837 && near1) ||
                         (small1 && c0 >= 8837 && near0);
      if (merge) {
        t.MergeTemplateClass(EngineTemplates::kVentricular, i, EngineTemplates::kNormal, j);
        break;
      }
    }
  }

  // Step 3: normal classes of similar mean size merge.
  std::vector<std::array<double, 2>> average(U(normal_count));
  for (int i = 0; i < normal_count; ++i) {
    const TemplateClass& ci = normal_group_[U(i)];
    for (int c = 0; c < 2; ++c)
      average[U(i)][U(c)] = ci.count > 0 ? ci.amplitude_sum[U(c)] / ci.count : 0.0;
  }
  for (int i = normal_count - 1; i >= 0; --i) {
    if (normal_group_[U(i)].count <= 0) continue;
    const int32_t tol0 = AverageTolerance(average[U(i)][0]);
    const int32_t tol1 = AverageTolerance(average[U(i)][1]);
    for (int j = i - 1; j >= 0; --j) {
      if (normal_group_[U(j)].count <= 0) continue;
      const auto diff0 = static_cast<int32_t>(std::fabs(average[U(i)][0] - average[U(j)][0]));
      const auto diff1 = static_cast<int32_t>(std::fabs(average[U(i)][1] - average[U(j)][1]));
      if (diff0 < tol0 && diff1 < tol1) {
        t.MergeTemplateClass(EngineTemplates::kNormal, i, EngineTemplates::kNormal, j);
        break;
      }
    }
  }

  t.RemoveMergedClasses(EngineTemplates::kNormal, true);
  t.RemoveMergedClasses(EngineTemplates::kVentricular, false);
  t.RemoveMergedClasses(EngineTemplates::kArtefact, false);
  t.RemoveEmptyClasses(EngineTemplates::kNormal, true);
  t.RemoveEmptyClasses(EngineTemplates::kVentricular, false);
  t.RemoveEmptyClasses(EngineTemplates::kArtefact, false);
  t.RelabelClassesByMajority(beats_, true);
  t.CollectArtefactClasses();
  t.ChooseCollectingClass(beats_);
  t.SortClassesBySize(EngineTemplates::kNormal, true);
  t.SortClassesBySize(EngineTemplates::kVentricular, false);
  t.SortClassesBySize(EngineTemplates::kArtefact, false);
  t.MergeSurplusNormalClasses(12);
}
