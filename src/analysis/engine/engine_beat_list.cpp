#include "analysis/engine/engine_beat_list.h"

void EngineBeatList::Clear() {
  beats_.clear();
  beats_.shrink_to_fit();
  for (auto& count : counts_) count.store(0, std::memory_order_relaxed);
}

void EngineBeatList::Append(EngineBeat beat) {
  beats_.push_back(beat);
  Add(beat.beat_class, 1);
}

void EngineBeatList::RemoveAt(int32_t index) {
  if (index < 0 || index >= GetSize()) return;
  Add(beats_[static_cast<size_t>(index)].beat_class, -1);
  beats_.erase(beats_.begin() + index);
}

void EngineBeatList::SetClass(int32_t index, uint8_t beat_class) {
  if (index < 0 || index >= GetSize()) return;
  EngineBeat& beat = beats_[static_cast<size_t>(index)];
  Add(beat.beat_class, -1);
  beat.beat_class = beat_class;
  Add(beat_class, 1);
}

int32_t EngineBeatList::Count(uint8_t beat_class) const {
  return beat_class < kClassCodes ? counts_[beat_class].load(std::memory_order_relaxed) : 0;
}

void EngineBeatList::Add(uint8_t beat_class, int32_t delta) {
  if (beat_class < kClassCodes) counts_[beat_class].fetch_add(delta, std::memory_order_relaxed);
}
