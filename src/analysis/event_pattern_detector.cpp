#include "analysis/event_pattern_detector.h"

#include <algorithm>

#include "analysis/event_insertion.h"
#include "analysis/pattern_walk.h"
#include "document/zk470_doc.h"

namespace analysis {

int PatternEventKind(int leaf_type) {
  if (leaf_type >= 2 && leaf_type <= 6) return kClassVCouplet + leaf_type - 2;
  if (leaf_type >= 7 && leaf_type <= 11) return kClassSVCouplet + leaf_type - 7;
  return 0;
}

}  // namespace analysis

namespace {

constexpr analysis::PatternRules kVentricularRules{
    analysis::ClassBit(kClassArtefact) | analysis::ClassBit(kClassSVES) | analysis::ClassBit(kClassPacedBeat), true};

}  // namespace

TEventPatternDetector::TEventPatternDetector(CZK470Doc& doc)
    : doc_(doc), beats_(doc.GetQRSList()), events_(doc.GetEventList()), tree_(kClassVES) {}

int TEventPatternDetector::Match(int ectopic_index) {
  const analysis::PatternWalk walk = analysis::WalkPattern(beats_, tree_, ectopic_index, kVentricularRules);
  if (walk.failed || walk.type == CBeatPatternNode::kNoPattern) {
    cursor_ = ectopic_index + 1;
    return CBeatPatternNode::kNoPattern;
  }
  cursor_ = walk.next;
  return walk.type;
}

int TEventPatternDetector::Run(bool to_end, int last_beat) {
  const int count = beats_.GetSize();
  const int end = to_end ? count : std::min(last_beat, count);
  while (cursor_ < end && cursor_ < count - 2) {
    while (cursor_ < count - 2 && beats_.ElementAt(cursor_)->GetClass() != kClassVES) ++cursor_;
    if (cursor_ >= end || beats_.ElementAt(cursor_)->GetClass() != kClassVES) break;
    const int first = cursor_;
    const int type = Match(first);
    const int kind = analysis::PatternEventKind(type);
    if (kind != 0) {
      const TEvent event(beats_.ElementAt(first)->GetPosition(), beats_.ElementAt(cursor_ - 1)->GetPosition(),
                         static_cast<uint8_t>(kind));
      hint_ = analysis::InsertEventInOrder(events_, event, hint_);
    }
  }
  return 0;
}

int TEventPatternDetector::RedetectAround(int beat_index) {
  const int count = beats_.GetSize();
  if (count == 0) return 0;
  const int a = std::clamp(beat_index, 0, count - 1);
  int first = 0;
  int last = 0;
  analysis::FindEctopicWindow(beats_, a, kClassVES, 0, first, last);
  analysis::RemovePatternEventsBetween(events_, beats_.ElementAt(first)->GetPosition(),
                                       beats_.ElementAt(last)->GetPosition(), kClassVCouplet, kClassVTrigeminy);
  cursor_ = std::max(first - 1, 0);
  hint_ = 0;
  return Run(false, last);
}
