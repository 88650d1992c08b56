#pragma once

// The rule by which every ECG trace reduces the samples of one pixel column to one value: the
// column shows the extreme its samples reached first, and the extreme reached last starts the
// next column's group, so that a spike keeps both its edges across columns. One per channel.
class TColumnExtremes {
 public:
  // Both extremes at value: the first sample a trace starts from.
  void Start(int value) {
    low_ = value;
    high_ = value;
    last_high_ = true;
  }
  void Add(int value) {
    if (value < low_) {
      low_ = value;
      last_high_ = false;
    } else if (value > high_) {
      high_ = value;
      last_high_ = true;
    }
  }
  // The column's value; the group goes on from the extreme reached last.
  int Take() {
    if (last_high_) {
      const int shown = low_;
      low_ = high_;
      return shown;
    }
    const int shown = high_;
    high_ = low_;
    return shown;
  }

 private:
  int low_ = 0;
  int high_ = 0;
  bool last_high_ = true;
};
