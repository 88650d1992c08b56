#include "support/mit_scoring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {
namespace {

constexpr uint8_t kN = 1;
constexpr uint8_t kV = 15;
// Well after the unscored first 5 minutes.
constexpr int32_t kAt = 40000;

struct Counts {
  int reference, tp, fn, fp;
  int v_reference, v_tp, v_fn, v_fp, v_on_fusion, v_on_unclassifiable;

  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << "{ref " << c.reference << ", TP " << c.tp << ", FN " << c.fn << ", FP " << c.fp << "; V ref "
             << c.v_reference << ", V TP " << c.v_tp << ", V FN " << c.v_fn << ", V FP " << c.v_fp
             << ", V on F " << c.v_on_fusion << ", V on Q/f " << c.v_on_unclassifiable << "}";
}

Counts CountsOf(const MitScore& s) {
  return {s.reference,
          s.true_positive,
          s.false_negative,
          s.false_positive,
          s.ventricular_reference,
          s.ventricular_true_positive,
          s.ventricular_false_negative,
          s.ventricular_false_positive,
          s.ventricular_on_fusion,
          s.ventricular_on_unclassifiable};
}

TEST(MitScoring, CountsEachPairingByTheReferenceLabel) {
  struct Case {
    const char* name;
    std::vector<MitReference> references;
    std::vector<MitDetection> detections;
    Counts expected;
    std::vector<int32_t> matched;
  };
  const Case cases[] = {
      {"V on V", {{kAt, 'V'}}, {{kAt + 3, kV}}, {1, 1, 0, 0, 1, 1, 0, 0, 0, 0}, {0}},
      {"E and r are ventricular",
       {{kAt, 'E'}, {kAt + 200, 'r'}},
       {{kAt, kV}, {kAt + 200, kN}},
       {2, 2, 0, 0, 2, 1, 1, 0, 0, 0},
       {0, 1}},
      {"V on F: neither, counted apart", {{kAt, 'F'}}, {{kAt, kV}}, {1, 1, 0, 0, 0, 0, 0, 0, 1, 0}, {0}},
      {"N on F: nothing ventricular", {{kAt, 'F'}}, {{kAt, kN}}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {0}},
      {"V on N: FP", {{kAt, '.'}}, {{kAt - 2, kV}}, {1, 1, 0, 0, 0, 0, 0, 1, 0, 0}, {0}},
      {"V on A: FP", {{kAt, 'A'}}, {{kAt, kV}}, {1, 1, 0, 0, 0, 0, 0, 1, 0, 0}, {0}},
      {"unmatched V: FP of both",
       {{kAt, 'N'}},
       {{kAt, kN}, {kAt + 100, kV}},
       {1, 1, 0, 1, 0, 0, 0, 1, 0, 0},
       {0}},
      {"unmatched N: detection FP only",
       {{kAt, 'N'}},
       {{kAt, kN}, {kAt + 100, kN}},
       {1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
       {0}},
      {"missed V: FN of both", {{kAt, 'V'}}, {}, {1, 0, 1, 0, 1, 0, 1, 0, 0, 0}, {-1}},
      {"V called normal: ventricular FN", {{kAt, 'V'}}, {{kAt, kN}}, {1, 1, 0, 0, 1, 0, 1, 0, 0, 0}, {0}},
      {"V on Q, / and f: excluded",
       {{kAt, 'Q'}, {kAt + 200, '/'}, {kAt + 400, 'f'}},
       {{kAt, kV}, {kAt + 200, kV}, {kAt + 400, kV}},
       {3, 3, 0, 0, 0, 0, 0, 0, 0, 3},
       {0, 1, 2}},
      {"missed Q: a missed beat, no ventricular FN", {{kAt, 'Q'}}, {}, {1, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {-1}},
      {"missed F: a missed beat only", {{kAt, 'F'}}, {}, {1, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {-1}},
      {"marks and artefacts are no beats",
       {{kAt, '|'}, {kAt + 200, '!'}, {kAt + 400, '['}, {kAt + 600, ']'}},
       {{kAt, kV}},
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0},
       {-1, -1, -1, -1}},
      // 150 ms at 125 Hz: 18 samples match on either side, 19 do not.
      {"18 samples after: match", {{kAt, 'V'}}, {{kAt + 18, kV}}, {1, 1, 0, 0, 1, 1, 0, 0, 0, 0}, {0}},
      {"18 samples before: match", {{kAt, 'V'}}, {{kAt - 18, kV}}, {1, 1, 0, 0, 1, 1, 0, 0, 0, 0}, {0}},
      {"19 samples after: missed and extra",
       {{kAt, 'V'}},
       {{kAt + 19, kV}},
       {1, 0, 1, 1, 1, 0, 1, 1, 0, 0},
       {-1}},
      {"19 samples before: missed and extra",
       {{kAt, '.'}},
       {{kAt - 19, kN}},
       {1, 0, 1, 1, 0, 0, 0, 0, 0, 0},
       {-1}},
      {"the nearest of two detections",
       {{kAt, '.'}},
       {{kAt - 10, kV}, {kAt + 5, kN}},
       {1, 1, 0, 1, 0, 0, 0, 1, 0, 0},
       {1}},
      {"a tie goes to the earlier",
       {{kAt, '.'}},
       {{kAt - 5, kN}, {kAt + 5, kV}},
       {1, 1, 0, 1, 0, 0, 0, 1, 0, 0},
       {0}},
      {"a used detection is not taken twice",
       {{kAt, '.'}, {kAt + 10, 'V'}},
       {{kAt + 4, kV}},
       {2, 1, 1, 0, 1, 0, 1, 1, 0, 0},
       {0, -1}},
      {"the second reference takes the next detection",
       {{kAt, '.'}, {kAt + 10, 'V'}},
       {{kAt + 4, kN}, {kAt + 20, kV}},
       {2, 2, 0, 0, 1, 1, 0, 0, 0, 0},
       {0, 1}},
      // The first 5 minutes: 37500 samples at 125 Hz.
      {"37499 not scored, 37500 scored",
       {{37499, 'V'}, {37500 + 200, 'V'}},
       {{37499, kN}, {37500 + 200, kV}},
       {1, 1, 0, 0, 1, 1, 0, 0, 0, 0},
       {0, 1}},
      {"an unscored reference keeps its detection from being extra",
       {{37490, '.'}},
       {{37505, kV}},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0}},
      {"a detection just before the start matches a scored reference",
       {{37505, 'V'}},
       {{37495, kV}},
       {1, 1, 0, 0, 1, 1, 0, 0, 0, 0},
       {0}},
      {"unmatched detections before the start are not counted",
       {},
       {{100, kV}, {37499, kV}, {37500, kV}},
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MitScore s = ScoreMitBeats(c.references, c.detections);
    EXPECT_EQ(CountsOf(s), c.expected);
    EXPECT_EQ(s.matched, c.matched);
    EXPECT_EQ(s.Detected(), s.true_positive + s.false_positive);
  }
}

TEST(MitScoring, FiguresAndTheirLine) {
  // 3 V references: 2 found as V, 1 called N; one V call on N, one on F; one beat missed, one extra.
  const std::vector<MitReference> references = {{kAt, 'V'},       {kAt + 100, 'V'}, {kAt + 200, 'V'},
                                                {kAt + 300, 'N'}, {kAt + 400, 'F'}, {kAt + 500, 'N'}};
  const std::vector<MitDetection> detections = {{kAt, kV},       {kAt + 100, kV}, {kAt + 200, kN},
                                                {kAt + 300, kV}, {kAt + 400, kV}, {kAt + 600, kN}};
  const MitScore s = ScoreMitBeats(references, detections);
  EXPECT_DOUBLE_EQ(s.Sensitivity(), 500.0 / 6);
  EXPECT_DOUBLE_EQ(s.PositivePredictivity(), 500.0 / 6);
  EXPECT_DOUBLE_EQ(s.VentricularSensitivity(), 200.0 / 3);
  EXPECT_DOUBLE_EQ(s.VentricularPredictivity(), 200.0 / 3);
  EXPECT_EQ(FormatMitScore("100", s),
            "record 100: reference beats 6, detected 6 (TP 5, FN 1, FP 1), QRS Se 83.33 %, +P 83.33 %; "
            "ventricular beats 3 (TP 2, FN 1, FP 1), Se 66.67 %, +P 66.67 %; ventricular calls on fusion 1, "
            "on unclassifiable 0");

  // No ventricular reference and no call: no figure rather than 0 %.
  const MitScore none = ScoreMitBeats({{kAt, 'N'}}, {{kAt, kN}});
  EXPECT_TRUE(std::isnan(none.VentricularSensitivity()));
  EXPECT_TRUE(std::isnan(none.VentricularPredictivity()));
  EXPECT_NE(FormatMitScore("800", none).find("Se -, +P -;"), std::string::npos)
      << FormatMitScore("800", none);
}

TEST(MitScoring, AnoTimesAreWholeSamples) {
  const std::vector<MitReference> references =
      MitReferencesFromAno({{0, 'N'}, {8, 'V'}, {10000, '!'}, {299992, 'F'}});
  ASSERT_EQ(references.size(), 4u);
  const int32_t positions[] = {0, 1, 1250, 37499};
  for (size_t i = 0; i < references.size(); ++i) EXPECT_EQ(references[i].position, positions[i]) << i;
  EXPECT_EQ(references[3].label, 'F');
}

}  // namespace
}  // namespace testsupport
