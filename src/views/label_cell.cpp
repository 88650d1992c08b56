#include "views/label_cell.h"

int CompareItemData(intptr_t first, intptr_t second, intptr_t) {
  if (first < second) return -1;
  return first > second ? 1 : 0;
}
