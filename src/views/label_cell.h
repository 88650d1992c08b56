#pragma once

#include <cstdint>

#include "document/beat_class.h"
#include "gfx/geometry.h"

// The hit cell of one drawn beat or event label: where it lies in the host window, the beat
// class or event kind, the index in its list and the prior-class mark ('!' = never edited by
// hand). The label rows fill the host window's arrays; the strip area hit-tests them.
class CLabelCell {
 public:
  CLabelCell() = default;
  CLabelCell(const gfx::Rect& rect, int code, int index, uint8_t mark)
      : rect(rect), code(code), index(index), mark(mark) {}

  friend bool operator==(const CLabelCell&, const CLabelCell&) = default;

  gfx::Rect rect;
  int code = 0;
  int index = 0;
  uint8_t mark = kPriorNeverEdited;
};

// Three-way comparison of two item data values in the form of a list-view sort callback; the
// third argument is ignored. Sorts the rows of the item selection dialog by their string index.
int CompareItemData(intptr_t first, intptr_t second, intptr_t unused);
