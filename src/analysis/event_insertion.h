#pragma once

#include <algorithm>
#include <cstdint>

#include "document/event_list.h"

namespace analysis {

// Inserts the event in start order: before the first event at or after `search_from` that starts
// after it (a moving hint from the caller, as the detectors walk forwards). A hint beyond the
// event's place is not trusted: the search then starts at the front. Returns the event's index.
inline int InsertEventInOrder(TEventList& events, const TEvent& event, int search_from) {
  int start = std::clamp(search_from, 0, events.GetSize());
  if (start > 0 && events.ElementAt(start - 1)->GetPosition() > event.GetPosition()) start = 0;
  const int index = events.FindNextAfter(event, start);
  events.InsertAt(index, event, 1);
  return index;
}

// Removes every event whose kind the predicate selects, walking from the front; contiguous
// stretches go in one call so that a long list is not shifted once per event. Each removal is
// logged when the list's change log is on.
template <class Predicate>
void RemoveEventsWhere(TEventList& events, Predicate&& selected) {
  int i = 0;
  while (i < events.GetSize()) {
    if (!selected(events.ElementAt(i)->GetClass())) {
      ++i;
      continue;
    }
    int end = i + 1;
    while (end < events.GetSize() && selected(events.ElementAt(end)->GetClass())) ++end;
    events.RemoveAt(i, end - i);
  }
}

inline bool IsKindIn(int kind, int first, int last) { return kind >= first && kind <= last; }

}  // namespace analysis
