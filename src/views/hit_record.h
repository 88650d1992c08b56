#pragma once

#include "document/update_hints.h"

// What a strip window asks its areas with area messages 1009, 1020 and 1030: the point (the host
// window's client coordinates), and the answer: kind 0 for a beat or event label, 1 for a free
// position; the sample position (-1: the point lies outside the strip); the beat or event index
// (-1 for a free position). Five ints, in this order.
struct CHitRecord {
  static constexpr int kBeat = 0;
  static constexpr int kFreePosition = 1;

  int x = 0;
  int y = 0;
  int kind = kFreePosition;
  int position = -1;
  int index = -1;
};

// The lparam of area message 1102: where the cursor cell of the beat page lies on its page, in
// pixels from the page's top-left corner.
class COffsetParam : public THintObject {
 public:
  COffsetParam(int x, int y) : x(x), y(y) {}
  int x = 0;
  int y = 0;
};
