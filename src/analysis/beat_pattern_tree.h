#pragma once

#include <cstdint>
#include <memory>

// One node of the beat-pattern decision tree: inner (0), no pattern (1) or a pattern (2..11).
// Owns both children.
class CBeatPatternNode {
 public:
  static constexpr int kInner = 0;
  static constexpr int kNoPattern = 1;

  explicit CBeatPatternNode(int type) : type_(type) {}
  CBeatPatternNode(std::unique_ptr<CBeatPatternNode> ectopic, std::unique_ptr<CBeatPatternNode> normal)
      : type_(kInner), ectopic_(std::move(ectopic)), normal_(std::move(normal)) {}

  int GetType() const { return type_; }
  bool IsPattern() const { return type_ >= 2 && type_ <= 11; }
  // The next node on an ectopic or a normal beat; nullptr at a leaf.
  const CBeatPatternNode* OnEctopic() const { return ectopic_.get(); }
  const CBeatPatternNode* OnNormal() const { return normal_.get(); }

 private:
  int type_;
  std::unique_ptr<CBeatPatternNode> ectopic_;
  std::unique_ptr<CBeatPatternNode> normal_;
};

// The decision tree over a sequence of beat classes, from a first ectopic beat E, that tells a
// couplet (E E N), a triplet (E E E N), a run of four or more (E E E E), a bigeminy (E N E N E N)
// and a trigeminy (E N N E N N E N N) from sequences that are none. The leaves of the ventricular
// tree (ectopic class 15) are the types 2..6, those of any other class 7..11, in that order.
// Immutable after construction; shared by the ventricular and supraventricular detectors.
class CBeatPatternTree {
 public:
  // Pattern offsets within a tree's leaf types.
  static constexpr int kCouplet = 0;
  static constexpr int kTriplet = 1;
  static constexpr int kTachycardia = 2;
  static constexpr int kBigeminy = 3;
  static constexpr int kTrigeminy = 4;

  explicit CBeatPatternTree(int ectopic_class);

  int GetEctopicClass() const { return ectopic_class_; }
  // The first leaf type: 2 for the ventricular tree, 7 for any other.
  int GetFirstPatternType() const { return first_type_; }
  const CBeatPatternNode& GetRoot() const { return *root_; }

 private:
  int ectopic_class_;
  int first_type_;
  std::unique_ptr<CBeatPatternNode> root_;
};
