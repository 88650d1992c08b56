#pragma once

#include <cstdint>

class CBeatPatternTree;
class TEventList;
class TQRSList;

namespace analysis {

// How a pattern walk treats the beats of one detector.
struct PatternRules {
  // Classes (bit per code) that stand for a normal beat only where that completes a pattern.
  uint64_t substitutes = 0;
  // A run of four or more also takes in a single artefact followed by an ectopic beat.
  bool run_takes_artefacts = false;
};

constexpr uint64_t ClassBit(int code) { return uint64_t{1} << code; }

// Where a walk from an ectopic beat ended.
struct PatternWalk {
  bool failed = false;  // an unexpected class, or the list ended inside the tree
  int type = 0;         // the leaf reached (1 none, 2..11 a pattern)
  int next = 0;         // index after the last beat of the pattern (the beat that ended a couplet or
                        // triplet is not part of it; runs, bigeminy and trigeminy extended)
};

// Walks the tree from the ectopic beat `first`: the ectopic class follows the ectopic branch,
// class 1 the normal branch, a substitute the normal branch only into a pattern leaf. A run,
// bigeminy or trigeminy is then extended over the beats that continue it.
PatternWalk WalkPattern(const TQRSList& beats, const CBeatPatternTree& tree, int first, const PatternRules& rules);

// The beats around a that a local re-detection covers: from a, backwards and forwards, until four
// beats in a row (four plus forward_extra forwards) without one of the ectopic class were passed.
void FindEctopicWindow(const TQRSList& beats, int a, int ectopic_class, int forward_extra, int& first, int& last);

// Removes the events of kinds first_kind .. last_kind that start in from .. to (to excluded),
// walking from the last event that starts at or before from.
void RemovePatternEventsBetween(TEventList& events, int32_t from, int32_t to, int first_kind, int last_kind);

}  // namespace analysis
