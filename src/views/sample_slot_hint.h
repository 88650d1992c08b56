#pragma once

#include "document/update_hints.h"

// The object of hints 1005 and 2057 when they concern one example-strip slot (0..2): areas of
// the other slots, and of the main strip, ignore the hint. Built by the sender on the stack.
class TSampleSlotHint : public THintObject {
 public:
  explicit TSampleSlotHint(int slot) : slot(slot) {}
  int slot = -1;
};

// Whether a hint with this object concerns the given slot: no object, or one of another kind,
// concerns every slot.
inline bool HintConcernsSlot(const THintObject* object, int slot) {
  const auto* slot_hint = dynamic_cast<const TSampleSlotHint*>(object);
  return slot_hint == nullptr || slot_hint->slot == slot;
}
