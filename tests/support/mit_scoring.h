#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/cmp_writer.h"
#include "support/wfdb_converter.h"

namespace testsupport {

// A beat analysis scored against a record's reference annotations the usual way: every reference
// beat is matched by the nearest unused detected beat within 150 ms; the first 5 minutes are not
// scored. The ventricular figures go by the reference labels: V, E and r are ventricular, F is
// fusion, Q, / and f cannot be classified; a ventricular call on fusion or on an unclassifiable
// beat is neither a true nor a false positive (calls on fusion are counted apart); a ventricular
// call that matches no reference is a false positive. Q, / and f beats still count for detection.

// |detected - reference| <= 18 samples at 125 Hz matches.
inline constexpr int32_t kMitMatchWindowSamples = 150 * kSampleRateHz / 1000;
inline constexpr int32_t kMitUnscoredSamples = 5 * kSamplesPerMinute;

// A reference annotation at 125 Hz with its label (MIT mnemonic; '.' or 'N' normal).
struct MitReference {
  int32_t position = 0;
  char label = '.';
};

// A detected beat and the class the analysis gave it (15 is a ventricular call).
struct MitDetection {
  int32_t position = 0;
  uint8_t beat_class = 0;
};

enum class MitLabelGroup {
  kNotABeat,        // rhythm and flutter marks, isolated QRS-like artefacts ('|')
  kOther,           // every other beat: normal, supraventricular, aberrated
  kVentricular,     // V, E, r
  kFusion,          // F
  kUnclassifiable,  // Q, /, f
};
MitLabelGroup GroupOfMitLabel(char label);

// The references of an ".ANO" that zk470-testdata wrote: time / 8 ms is the position.
std::vector<MitReference> MitReferencesFromAno(const std::vector<ReferenceBeat>& references);

struct MitScore {
  // Detection, over the scored beats (references of every group but kNotABeat).
  int reference = 0;
  int true_positive = 0;   // matched references
  int false_negative = 0;  // missed references
  int false_positive = 0;  // detections, at or after the scored start, that match no reference
  // Ventricular calls.
  int ventricular_reference = 0;
  int ventricular_true_positive = 0;
  int ventricular_false_negative = 0;  // ventricular references missed or called otherwise
  int ventricular_false_positive = 0;  // calls on a non-ventricular beat, and unmatched calls
  int ventricular_on_fusion = 0;
  int ventricular_on_unclassifiable = 0;
  // Per reference, in the order given: the index of the detection it matched, -1 when it was
  // missed or is no beat. References before the scored start are matched too (so that their beats
  // are not taken for extra ones) but not counted.
  std::vector<int32_t> matched;

  int Detected() const { return true_positive + false_positive; }
  // Percentages; NaN when nothing was there to count.
  double Sensitivity() const;
  double PositivePredictivity() const;
  double VentricularSensitivity() const;
  double VentricularPredictivity() const;
};

// references and detections in position order.
MitScore ScoreMitBeats(const std::vector<MitReference>& references,
                       const std::vector<MitDetection>& detections, int32_t window = kMitMatchWindowSamples,
                       int32_t scored_from = kMitUnscoredSamples);

// One line of figures for a record, percentages with two decimals ("-" when not defined).
std::string FormatMitScore(const std::string& record, const MitScore& score);

}  // namespace testsupport
