#include "support/mit_scoring.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "support/truth_list.h"

namespace testsupport {
namespace {

constexpr uint8_t kVentricularCall = kClassVes;
constexpr int32_t kMsPerSample = 1000 / kSampleRateHz;

double Percent(int part, int whole) {
  return whole > 0 ? 100.0 * part / whole : std::numeric_limits<double>::quiet_NaN();
}

std::string FormatPercent(double value) {
  if (std::isnan(value)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", value);
  return text;
}

// The nearest detection within the window that no earlier reference took; the earlier on a tie.
int32_t NearestUnused(const std::vector<MitDetection>& detections, const std::vector<bool>& used,
                      int32_t position, int32_t window) {
  auto first = std::lower_bound(detections.begin(), detections.end(), position - window,
                                [](const MitDetection& d, int32_t p) { return d.position < p; });
  int32_t best = -1;
  int32_t best_distance = window + 1;
  for (auto it = first; it != detections.end() && it->position <= position + window; ++it) {
    const auto index = static_cast<size_t>(it - detections.begin());
    const int32_t distance = std::abs(it->position - position);
    if (!used[index] && distance < best_distance) {
      best = static_cast<int32_t>(index);
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace

MitLabelGroup GroupOfMitLabel(char label) {
  switch (label) {
    case '.':
    case 'N':
    case 'L':
    case 'R':
    case 'B':
    case 'A':
    case 'a':
    case 'J':
    case 'S':
    case 'j':
    case 'e':
    case 'n':
      return MitLabelGroup::kOther;
    case 'V':
    case 'E':
    case 'r':
      return MitLabelGroup::kVentricular;
    case 'F':
      return MitLabelGroup::kFusion;
    case 'Q':
    case '/':
    case 'f':
      return MitLabelGroup::kUnclassifiable;
    default:
      return MitLabelGroup::kNotABeat;
  }
}

std::vector<MitReference> MitReferencesFromAno(const std::vector<ReferenceBeat>& references) {
  std::vector<MitReference> out;
  out.reserve(references.size());
  for (const ReferenceBeat& r : references) out.push_back({r.time_ms / kMsPerSample, r.label});
  return out;
}

double MitScore::Sensitivity() const { return Percent(true_positive, reference); }
double MitScore::PositivePredictivity() const { return Percent(true_positive, Detected()); }
double MitScore::VentricularSensitivity() const {
  return Percent(ventricular_true_positive, ventricular_true_positive + ventricular_false_negative);
}
double MitScore::VentricularPredictivity() const {
  return Percent(ventricular_true_positive, ventricular_true_positive + ventricular_false_positive);
}

MitScore ScoreMitBeats(const std::vector<MitReference>& references,
                       const std::vector<MitDetection>& detections, int32_t window, int32_t scored_from) {
  MitScore s;
  s.matched.assign(references.size(), -1);
  std::vector<bool> used(detections.size(), false);
  for (size_t r = 0; r < references.size(); ++r) {
    const MitReference& reference = references[r];
    const MitLabelGroup group = GroupOfMitLabel(reference.label);
    if (group == MitLabelGroup::kNotABeat) continue;
    const int32_t match = NearestUnused(detections, used, reference.position, window);
    if (match >= 0) {
      used[static_cast<size_t>(match)] = true;
      s.matched[r] = match;
    }
    if (reference.position < scored_from) continue;

    ++s.reference;
    if (match >= 0) {
      ++s.true_positive;
    } else {
      ++s.false_negative;
    }
    const bool called_ventricular =
        match >= 0 && detections[static_cast<size_t>(match)].beat_class == kVentricularCall;
    switch (group) {
      case MitLabelGroup::kVentricular:
        ++s.ventricular_reference;
        ++(called_ventricular ? s.ventricular_true_positive : s.ventricular_false_negative);
        break;
      case MitLabelGroup::kOther:
        if (called_ventricular) ++s.ventricular_false_positive;
        break;
      case MitLabelGroup::kFusion:
        if (called_ventricular) ++s.ventricular_on_fusion;
        break;
      case MitLabelGroup::kUnclassifiable:
        if (called_ventricular) ++s.ventricular_on_unclassifiable;
        break;
      case MitLabelGroup::kNotABeat:
        break;
    }
  }
  for (size_t d = 0; d < detections.size(); ++d) {
    if (used[d] || detections[d].position < scored_from) continue;
    ++s.false_positive;
    if (detections[d].beat_class == kVentricularCall) ++s.ventricular_false_positive;
  }
  return s;
}

std::string FormatMitScore(const std::string& record, const MitScore& s) {
  char text[512];
  std::snprintf(text, sizeof text,
                "record %s: reference beats %d, detected %d (TP %d, FN %d, FP %d), QRS Se %s, +P %s; "
                "ventricular beats %d (TP %d, FN %d, FP %d), Se %s, +P %s; ventricular calls on fusion %d, "
                "on unclassifiable %d",
                record.c_str(), s.reference, s.Detected(), s.true_positive, s.false_negative,
                s.false_positive, FormatPercent(s.Sensitivity()).c_str(),
                FormatPercent(s.PositivePredictivity()).c_str(), s.ventricular_reference,
                s.ventricular_true_positive, s.ventricular_false_negative, s.ventricular_false_positive,
                FormatPercent(s.VentricularSensitivity()).c_str(),
                FormatPercent(s.VentricularPredictivity()).c_str(), s.ventricular_on_fusion,
                s.ventricular_on_unclassifiable);
  return text;
}

}  // namespace testsupport
