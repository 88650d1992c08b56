#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "document/coded_list.h"

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}  // namespace platform

// One member of a template class: the index of a beat in the working beat list.
class TTemplate {
 public:
  TTemplate() = default;
  explicit TTemplate(int32_t beat_index) : beat_index_(beat_index) {}

  int32_t GetBeatIndex() const { return beat_index_; }
  void SetBeatIndex(int32_t beat_index) { beat_index_ = beat_index; }

  bool operator==(const TTemplate&) const = default;

 private:
  int32_t beat_index_ = 0;
};

using TTemplateUndoEntry = document::UndoEntry<TTemplate>;

// One template (morphology) class: its member beats in the order they were added, with an optional
// change log. Stored inside the recording record.
class TTemplateList {
 public:
  int GetSize() const { return static_cast<int>(entries_.size()); }
  TTemplate GetAt(int index) const { return entries_[Checked(index)]; }
  TTemplate* ElementAt(int index) { return &entries_[Checked(index)]; }
  std::span<const TTemplate> Elements() const { return entries_; }

  void Append(const TTemplate& entry);
  void Append(int32_t beat_index) { Append(TTemplate(beat_index)); }
  // Entries from index on move up; an index beyond the end grows the list with entries of beat 0.
  void InsertAt(int index, const TTemplate& entry, int count = 1);
  void RemoveAt(int index, int count = 1);
  void SetAt(int index, int32_t beat_index);
  // Makes this list a copy of the other; while logging, undoable as a whole.
  void Copy(const TTemplateList& other);
  void RemoveAll();

  void EnableUndoLog(bool enable);
  bool IsUndoLogEnabled() const { return log_enabled_; }
  std::span<const TTemplateUndoEntry> UndoLog() const { return log_; }
  void UndoAll();

  // int32 version, int32 count (no escape), int32 beat index per entry.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the entries and empties the change log (a count of 0 or less holds none); a list of
  // unknown version is read past and left as it was. FormatError on a damaged list, which is then
  // unchanged.
  void Load(platform::ArchiveReader& ar);

  bool operator==(const TTemplateList& other) const { return entries_ == other.entries_; }

 private:
  size_t Checked(int index) const;
  void Log(const TTemplate& entry, int index, document::UndoOperation operation);

  std::vector<TTemplate> entries_;
  std::vector<TTemplateUndoEntry> log_;
  bool log_enabled_ = false;
};
