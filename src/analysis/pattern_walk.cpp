#include "analysis/pattern_walk.h"

#include <algorithm>

#include "analysis/beat_pattern_tree.h"
#include "document/event_list.h"
#include "document/qrs_list.h"

namespace analysis {

PatternWalk WalkPattern(const TQRSList& beats, const CBeatPatternTree& tree, int first, const PatternRules& rules) {
  const int count = beats.GetSize();
  const int ectopic = tree.GetEctopicClass();
  const auto cls = [&](int k) { return static_cast<int>(beats.ElementAt(k)->GetClass()); };

  const CBeatPatternNode* node = tree.GetRoot().OnEctopic();
  int k = first + 1;
  while (node->GetType() == CBeatPatternNode::kInner) {
    if (k >= count) return {true, 0, k};
    const int c = cls(k);
    if (c == ectopic) {
      node = node->OnEctopic();
    } else if (c == kClassNormal) {
      node = node->OnNormal();
    } else if ((rules.substitutes & ClassBit(c)) != 0 && node->OnNormal()->IsPattern()) {
      node = node->OnNormal();
    } else {
      return {true, 0, k};
    }
    ++k;
  }

  PatternWalk walk{false, node->GetType(), k};
  const int offset = walk.type - tree.GetFirstPatternType();
  int& off = walk.next;
  if (!node->IsPattern()) return walk;
  switch (offset) {
    case CBeatPatternTree::kTachycardia:
      while (off < count - 1 &&
             (cls(off) == ectopic || (rules.run_takes_artefacts && cls(off) == kClassArtefact && cls(off + 1) == ectopic))) {
        ++off;
      }
      break;
    case CBeatPatternTree::kBigeminy:
      while (off < count && cls(off) == ectopic) {
        if (off == count - 1) {
          ++off;
          break;
        }
        if (cls(off + 1) != kClassNormal) break;
        off += 2;
      }
      break;
    case CBeatPatternTree::kCouplet:
    case CBeatPatternTree::kTriplet:
      // The beat that ended a couplet or triplet is not part of it.
      --off;
      break;
    case CBeatPatternTree::kTrigeminy:
      while (off < count && cls(off) == ectopic) {
        if (off == count - 1) {
          ++off;
          break;
        }
        if (off + 2 >= count || cls(off + 1) != kClassNormal || cls(off + 2) != kClassNormal) break;
        off += 3;
      }
      break;
    default:
      break;
  }
  return walk;
}

}  // namespace analysis

namespace analysis {

void FindEctopicWindow(const TQRSList& beats, int a, int ectopic_class, int forward_extra, int& first, int& last) {
  const int count = beats.GetSize();
  first = a;
  for (int j = a, run = 0; j >= 0 && run < 4; --j) {
    first = j;
    run = beats.ElementAt(j)->GetClass() == ectopic_class ? 0 : run + 1;
  }
  last = a;
  for (int j = a, run = 0; j < count && run < 4 + forward_extra; ++j) {
    last = j;
    run = beats.ElementAt(j)->GetClass() == ectopic_class ? 0 : run + 1;
  }
}

void RemovePatternEventsBetween(TEventList& events, int32_t from, int32_t to, int first_kind, int last_kind) {
  // The first event at or after from: several events may start on the same sample, and stepping
  // back one from the first event past it would skip all but the last of them.
  int i = from > 0 ? events.FindNextAfterPosition(from - 1, 0) : 0;
  while (i < events.GetSize()) {
    const TEvent& e = *events.ElementAt(i);
    if (e.GetPosition() >= to) break;
    if (e.GetClass() >= first_kind && e.GetClass() <= last_kind && e.GetPosition() >= from) {
      events.RemoveAt(i);
    } else {
      ++i;
    }
  }
}

}  // namespace analysis
