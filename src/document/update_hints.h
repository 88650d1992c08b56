#pragma once

#include <array>
#include <cstdint>

#include "document/beat_class.h"
#include "platform/ids.h"

// The object that may travel with a hint; views test its kind with dynamic_cast. Built by the
// sender on the stack and gone after the update.
class THintObject {
 public:
  virtual ~THintObject() = default;
};

// Hint 1010: which beat-class / event-kind counts changed, with the working lists' counters at the
// moment of the update. Indexed by code 0..39.
class TCountsHint : public THintObject {
 public:
  using Table = std::array<int32_t, kClassCount>;

  // The marks start cleared; the sender sets those it needs.
  TCountsHint(const Table& event_counters, const Table& beat_counters)
      : event_counters(event_counters), beat_counters(beat_counters) {}

  Table marks{};
  Table event_counters{};
  Table beat_counters{};
};

// Hints 1026 to 1028: a mouse event in an interactive area, in that area's pixels.
class TMouseHint : public THintObject {
 public:
  TMouseHint(uint32_t key_flags, int x, int y) : key_flags(key_flags), x(x), y(y) {}

  uint32_t key_flags = 0;
  int x = 0;
  int y = 0;
};

namespace document {

// A view of the document: it learns of every change only through OnUpdate. Views register with
// CZK470Doc::AddView and must be removed before they are destroyed. User-interface thread only.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // sender: the view that caused the update (it is skipped), nullptr for the document's own hints.
  virtual void OnUpdate(DocumentView* sender, int hint, THintObject* object) = 0;
};

}  // namespace document
