#include "analysis/event_pattern_detector.h"

#include "analysis/beat_pattern_tree.h"
#include "analysis/pattern_walk.h"
#include "analysis/rhythm_detection.h"
#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;
using analysis_test::Ev;

// The node a path of E (ectopic) and N (normal) letters reaches from the root.
int Walk(const CBeatPatternTree& tree, std::string_view path) {
  const CBeatPatternNode* node = &tree.GetRoot();
  for (char c : path) {
    if (node->GetType() != CBeatPatternNode::kInner) return -1;
    node = c == 'E' ? node->OnEctopic() : node->OnNormal();
  }
  return node->GetType();
}

TEST(PatternWalk, RemovalCoversEveryEventStartingOnTheFirstSample) {
  TEventList events;
  for (const auto& [start, kind] : std::vector<std::pair<int32_t, int>>{
           {50, kClassVCouplet}, {100, kClassVCouplet}, {100, kClassPause}, {100, kClassVTriplet},
           {150, kClassVBigeminy}, {200, kClassVCouplet}}) {
    events.Append(TEvent(start, start + 10, static_cast<uint8_t>(kind)));
  }
  analysis::RemovePatternEventsBetween(events, 100, 200, kClassVCouplet, kClassVTrigeminy);
  std::vector<std::pair<int32_t, int>> left;
  for (int i = 0; i < events.GetSize(); ++i)
    left.emplace_back(events.ElementAt(i)->GetPosition(), events.ElementAt(i)->GetClass());
  const std::vector<std::pair<int32_t, int>> want = {{50, kClassVCouplet}, {100, kClassPause}, {200, kClassVCouplet}};
  EXPECT_EQ(left, want);
}

TEST(CBeatPatternTree, LeavesOfBothTrees) {
  struct Case {
    const char* path;
    int ventricular;
  };
  const Case cases[] = {
      {"EEN", 2}, {"EEEN", 3}, {"EEEE", 4}, {"ENENEN", 5}, {"ENNENNENN", 6},
      {"N", 1}, {"ENEE", 1}, {"ENENN", 1}, {"ENENEE", 1}, {"ENNN", 1}, {"ENNEE", 1}, {"ENNENE", 1},
      {"ENNENNN", 1}, {"ENNENNEE", 1}, {"ENNENNENE", 1},
      {"E", 0}, {"EE", 0}, {"EN", 0}, {"ENEN", 0}, {"ENNENNEN", 0},
  };
  const CBeatPatternTree ventricular(kClassVES);
  const CBeatPatternTree supraventricular(kClassSVES);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Walk(ventricular, c.path), c.ventricular);
    EXPECT_EQ(Walk(supraventricular, c.path), c.ventricular >= 2 ? c.ventricular + 5 : c.ventricular);
  }
}

class EventPatternTest : public AnalysisDocTest {
 protected:
  // The pattern events found over the letters, as (kind, first beat, last beat).
  std::vector<Ev> Detect(std::string_view classes) {
    Events().RemoveAll();
    SetBeats(classes, 100);
    analysis::DetectPatternEvents(Doc());
    return EventsOf({kClassVCouplet, kClassVTriplet, kClassVTachycardia, kClassVBigeminy, kClassVTrigeminy});
  }
  Ev At(int kind, int first, int last) const { return {kind, Pos(first), Pos(last)}; }
};

TEST_F(EventPatternTest, PatternsAndWhereTheyEnd) {
  struct Case {
    const char* name;
    const char* classes;
    std::vector<std::tuple<int, int, int>> events;  // kind, first beat, last beat
  };
  const Case cases[] = {
      {"V V N couplet", "NNVVNNN", {{kClassVCouplet, 2, 3}}},
      {"V V V N triplet", "NNVVVNNN", {{kClassVTriplet, 2, 4}}},
      {"five VES run", "NNVVVVVNNN", {{kClassVTachycardia, 2, 6}}},
      // V V A V inside a run: one run, the artefact part of it.
      {"run takes in a single artefact", "NNVVVVAVNNN", {{kClassVTachycardia, 2, 7}}},
      // Where the artefact ends the second beat's pattern, it completes a couplet instead.
      {"V V A V from the start", "NNVVAVNNN", {{kClassVCouplet, 2, 3}}},
      {"V N V N V N bigeminy", "NNVNVNVNNN", {{kClassVBigeminy, 2, 7}}},
      {"bigeminy extends over V N pairs", "NNVNVNVNVNVNNN", {{kClassVBigeminy, 2, 11}}},
      {"V N V V: none, restart at the next beat", "NNVNVVNNN", {{kClassVCouplet, 4, 5}}},
      {"trigeminy", "NNVNNVNNVNNNN", {{kClassVTrigeminy, 2, 10}}},
      {"a fourth normal beat ends the match", "NNVNNNVNNVNNN", {}},
      {"a pattern needing beats past the end", "NNNNVV", {}},
      {"SVES completes a couplet", "NNVVSNN", {{kClassVCouplet, 2, 3}}},
      {"paced beat completes a couplet", "NNVVPNN", {{kClassVCouplet, 2, 3}}},
      {"artefact completes a triplet", "NNVVVANN", {{kClassVTriplet, 2, 4}}},
      {"SVES inside a bigeminy breaks it", "NNVSVNVNNN", {}},
      {"two patterns", "NVVNNNNNVVVNNN", {{kClassVCouplet, 1, 2}, {kClassVTriplet, 8, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Ev> got = Detect(c.classes);
    std::vector<Ev> want;
    for (const auto& [kind, first, last] : c.events) want.push_back(At(kind, first, last));
    EXPECT_EQ(got, want);
  }
}

TEST_F(EventPatternTest, MatchMovesTheCursorPastThePattern) {
  SetBeats("NNVVVVNVN", 100);
  TEventPatternDetector detector(Doc());
  EXPECT_EQ(detector.Match(2), 4);  // run
  EXPECT_EQ(detector.GetCursor(), 6);
  EXPECT_EQ(detector.Match(7), CBeatPatternNode::kNoPattern);  // the list ends inside the tree
  EXPECT_EQ(detector.GetCursor(), 8);
}

TEST_F(EventPatternTest, DetectionKeepsOtherEventsInStartOrder) {
  SetBeats("NNVVNNNNVNVNVNNN", 100);
  Events().Append(TEvent(Pos(1), Pos(1), kClassMarker));
  Events().Append(TEvent(Pos(3), Pos(9), kClassVTrigeminy));  // from an earlier detection
  Events().Append(TEvent(Pos(5), Pos(7), kClassPause));
  analysis::DetectPatternEvents(Doc());
  EXPECT_EQ(EventsOf({kClassMarker, kClassPause, kClassVCouplet, kClassVBigeminy, kClassVTrigeminy}),
            (std::vector<Ev>{{kClassMarker, Pos(1), Pos(1)}, At(kClassVCouplet, 2, 3), {kClassPause, Pos(5), Pos(7)},
                             At(kClassVBigeminy, 8, 13)}));
}

TEST_F(EventPatternTest, RedetectAroundAnEditedBeat) {
  SetBeats("NNNNNNVVNNNNNNNNNNNNNVVNNNNN", 100);
  analysis::DetectPatternEvents(Doc());
  ASSERT_EQ(Events().GetSize(), 2);
  // The user relabels beat 8: the couplet becomes a triplet; the couplet far away stays.
  Beats().SetClass(8, kClassVES);
  TEventPatternDetector(Doc()).RedetectAround(8);
  EXPECT_EQ(EventsOf({kClassVCouplet, kClassVTriplet}), (std::vector<Ev>{At(kClassVTriplet, 6, 8), At(kClassVCouplet, 21, 22)}));
}

}  // namespace
