#include "analysis/beat_pattern_tree.h"

#include "document/beat_class.h"

namespace {

using Node = std::unique_ptr<CBeatPatternNode>;

Node Leaf(int type) { return std::make_unique<CBeatPatternNode>(type); }
Node None() { return Leaf(CBeatPatternNode::kNoPattern); }
Node Inner(Node ectopic, Node normal) { return std::make_unique<CBeatPatternNode>(std::move(ectopic), std::move(normal)); }

}  // namespace

CBeatPatternTree::CBeatPatternTree(int ectopic_class)
    : ectopic_class_(ectopic_class), first_type_(ectopic_class == kClassVES ? 2 : 7) {
  const auto pattern = [this](int offset) { return Leaf(first_type_ + offset); };
  // Paths after the first ectopic beat E; N is a normal beat.
  Node e_e = Inner(Inner(pattern(kTachycardia), pattern(kTriplet)), pattern(kCouplet));
  Node e_n_e = Inner(None(), Inner(Inner(None(), pattern(kBigeminy)), None()));
  Node e_n_n_e_n_n = Inner(Inner(None(), Inner(None(), pattern(kTrigeminy))), None());
  Node e_n_n = Inner(Inner(None(), Inner(None(), std::move(e_n_n_e_n_n))), None());
  Node e_n = Inner(std::move(e_n_e), std::move(e_n_n));
  root_ = Inner(Inner(std::move(e_e), std::move(e_n)), None());
}
