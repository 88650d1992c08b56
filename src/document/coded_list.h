#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "document/beat_class.h"
#include "document/file_version.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace document {

// The code a loaded beat or event keeps when its stored code lies outside 0..39: one that no part of
// the system produces or interprets, so the element stays in place without being taken for anything.
inline constexpr uint8_t kReplacementCode = 39;

// Operations of a change-log record; the record holds the element as it was before the change.
enum UndoOperation : int32_t {
  kUndoAppended = 1,
  kUndoRemoved = 2,
  kUndoInserted = 3,
  kUndoChanged = 4,  // class (kind) or beat index changed
};

template <class E>
struct UndoEntry {
  E element;
  int32_t index = -1;
  int32_t operation = 0;

  bool operator==(const UndoEntry&) const = default;
};

// What the beat list and the event list share: elements in ascending position (kept so by the
// callers; the list does not sort), one counter per class code that always equals the number of
// elements of that code, and a change log that UndoAll replays backwards. E is TQRSComplex or TEvent.
// Indices and codes are trusted (asserted), as every caller passes valid ones.
template <class E>
class CodedList {
 public:
  using Element = E;
  using UndoRecord = UndoEntry<E>;

  int GetSize() const { return static_cast<int>(elements_.size()); }
  E* ElementAt(int index) { return &elements_[Checked(index)]; }
  const E* ElementAt(int index) const { return &elements_[Checked(index)]; }
  E GetAt(int index) const { return elements_[Checked(index)]; }
  std::span<const E> Elements() const { return elements_; }

  int32_t GetCounter(int code) const { return counters_[CheckedCode(code)]; }
  const std::array<int32_t, kClassCount>& Counters() const { return counters_; }

  void Append(const E& element) {
    elements_.push_back(element);
    ++counters_[CheckedCode(element.GetClass())];
    Log(element, GetSize() - 1, kUndoAppended);
  }

  // Removes count elements from index on; returns the new size.
  int RemoveAt(int index, int count = 1) {
    assert(index >= 0 && count >= 0 && index + count <= GetSize());
    // One record per element, each at `index`, so that undoing them newest first restores the order.
    for (int i = 0; i < count; ++i) Log(elements_[index + i], index, kUndoRemoved);
    for (int i = 0; i < count; ++i) --counters_[elements_[index + i].GetClass()];
    elements_.erase(elements_.begin() + index, elements_.begin() + index + count);
    return GetSize();
  }

  // Empties the list. While logging, every removal is recorded (last element first), so UndoAll can
  // bring the elements back and the log never names an element that no longer exists.
  void RemoveAll() {
    for (int i = GetSize() - 1; i >= 0; --i) Log(elements_[i], i, kUndoRemoved);
    elements_.clear();
    elements_.shrink_to_fit();
    counters_.fill(0);
  }

  void EnableUndoLog(bool enable) {
    log_enabled_ = enable;
    log_.clear();
  }
  bool IsUndoLogEnabled() const { return log_enabled_; }
  std::span<const UndoRecord> UndoLog() const { return log_; }

  // Replays the change log from the newest record to the oldest, then empties it. A class change is
  // undone by restoring the whole element, so a relabel by hand also loses its prior-class mark.
  void UndoAll() {
    std::vector<UndoRecord> log = std::exchange(log_, {});
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
      const int index = it->index;
      switch (it->operation) {
        case kUndoAppended:
        case kUndoInserted:
          assert(index >= 0 && index < GetSize());
          if (index >= 0 && index < GetSize()) RemoveAt(index, 1);
          break;
        case kUndoRemoved:
          assert(index >= 0 && index <= GetSize());
          if (index >= 0 && index <= GetSize()) InsertElements(index, it->element, 1);
          break;
        case kUndoChanged:
          assert(index >= 0 && index < GetSize());
          if (index >= 0 && index < GetSize()) {
            --counters_[elements_[index].GetClass()];
            elements_[index] = it->element;
            ++counters_[elements_[index].GetClass()];
          }
          break;
        default:
          break;
      }
    }
    log_.clear();
  }

  // Index of the element nearest to the position; a tie goes to the earlier one. Fewer than 2
  // elements give 0.
  int FindNearest(int32_t position) const {
    const int size = GetSize();
    if (size < 2) return 0;
    // The first index whose position exceeds the given one, at most size - 1.
    const auto last = elements_.begin() + (size - 1);
    const int i = static_cast<int>(
        std::upper_bound(elements_.begin(), last, position,
                         [](int32_t p, const E& e) { return p < e.GetPosition(); }) -
        elements_.begin());
    if (i == 0) return 0;
    const int64_t after = int64_t{elements_[i].GetPosition()} - position;
    const int64_t before = int64_t{position} - elements_[i - 1].GetPosition();
    return after >= before ? i - 1 : i;
  }

  // The first index >= start whose position is greater than the given one; the size when there is
  // none; start itself when start >= size.
  int FindNextAfterPosition(int32_t position, int start) const {
    assert(start >= 0);
    if (start >= GetSize()) return start;
    return static_cast<int>(std::upper_bound(elements_.begin() + start, elements_.end(), position,
                                             [](int32_t p, const E& e) { return p < e.GetPosition(); }) -
                            elements_.begin());
  }

 protected:
  // Inserts count copies at index (index == size appends); each slot is counted and logged.
  void InsertElements(int index, const E& element, int count) {
    assert(index >= 0 && index <= GetSize() && count >= 0);
    CheckedCode(element.GetClass());
    elements_.insert(elements_.begin() + index, static_cast<size_t>(count), element);
    counters_[element.GetClass()] += count;
    for (int i = 0; i < count; ++i) Log(element, index, kUndoInserted);
  }

  // Sets the class; in edit mode 1 the first change by hand keeps the old class as prior class.
  void ChangeClass(int index, int code, bool edit_mode) {
    E& element = elements_[Checked(index)];
    Log(element, index, kUndoChanged);
    const uint8_t old_code = element.GetClass();
    --counters_[old_code];
    if (edit_mode && element.GetPriorClass() == kPriorNeverEdited && code != old_code)
      element.SetPriorClass(old_code);
    element.SetClass(static_cast<uint8_t>(CheckedCode(code)));
    ++counters_[code];
  }

  void SerializeList(platform::ArchiveWriter& ar, int32_t version) const {
    ar.WriteInt32(version);
    ar.WriteCount(static_cast<uint32_t>(elements_.size()));
    std::vector<uint8_t> block(elements_.size() * E::kRecordSize);
    for (size_t i = 0; i < elements_.size(); ++i) elements_[i].Encode(block.data() + i * E::kRecordSize);
    ar.WriteBytes(block);
    // Versions 2 and 3 knew 22 codes only; their readers expect that many counters.
    const size_t stored_counters = version <= 3 ? 22 : kClassCount;
    for (size_t i = 0; i < stored_counters; ++i) ar.WriteInt32(counters_[i]);
  }

  // Replaces the content with the stored list and returns how many elements carried a code outside
  // 0..39: they are kept with kReplacementCode. The stored counters are read past and recounted from
  // the elements; the change log, which described the old content, is emptied. A list of unknown
  // version is read past whole (every writer stores count, elements and counters after the version)
  // and leaves the list as it was. On a FormatError the list is unchanged.
  int32_t LoadList(platform::ArchiveReader& ar, const char* list_name, bool reset_prior_of_4_to_27) {
    ar.SetContext(list_name);
    const int32_t version = ReadMemberVersion(ar);
    // Versions 2 and 3 knew 22 codes only; the writer stores as many counters for older ones.
    const size_t stored_counters = version <= 3 ? 22 : kClassCount;
    const int32_t count = ReadArchiveCount(ar, E::kRecordSize, stored_counters * 4);
    const std::span<const uint8_t> block = ar.ReadBytes(static_cast<size_t>(count) * E::kRecordSize);
    ar.Skip(stored_counters * 4);
    ar.SetContext({});
    if (!IsKnownFileVersion(version)) return 0;
    std::vector<E> elements;
    elements.reserve(static_cast<size_t>(count));
    std::array<int32_t, kClassCount> counters{};
    int32_t replaced = 0;
    for (int32_t i = 0; i < count; ++i) {
      E element = E::Decode(block.data() + static_cast<size_t>(i) * E::kRecordSize);
      if (!IsValidClassCode(element.GetClass())) {
        element.SetClass(kReplacementCode);
        ++replaced;
      }
      // Beat lists of versions 4 to 27 carry no prior class: every beat counts as never edited.
      if (reset_prior_of_4_to_27 && version >= 4 && version <= 27) element.SetPriorClass(kPriorNeverEdited);
      ++counters[element.GetClass()];
      elements.push_back(element);
    }
    elements_ = std::move(elements);
    counters_ = counters;
    log_.clear();
    return replaced;
  }

 private:
  size_t Checked(int index) const {
    assert(index >= 0 && index < GetSize());
    return static_cast<size_t>(index);
  }
  static int CheckedCode(int code) {
    assert(IsValidClassCode(code));
    return code;
  }
  void Log(const E& element, int index, UndoOperation operation) {
    if (log_enabled_) log_.push_back({element, index, operation});
  }

  std::vector<E> elements_;
  bool log_enabled_ = false;
  std::array<int32_t, kClassCount> counters_{};
  std::vector<UndoRecord> log_;
};

}  // namespace document
