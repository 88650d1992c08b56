#include "document/template_list.h"

#include <cassert>
#include <utility>

#include "document/file_version.h"
#include "platform/archive.h"

using document::kUndoAppended;
using document::kUndoChanged;
using document::kUndoInserted;
using document::kUndoRemoved;

size_t TTemplateList::Checked(int index) const {
  assert(index >= 0 && index < GetSize());
  return static_cast<size_t>(index);
}

void TTemplateList::Log(const TTemplate& entry, int index, document::UndoOperation operation) {
  if (log_enabled_) log_.push_back({entry, index, operation});
}

void TTemplateList::Append(const TTemplate& entry) {
  entries_.push_back(entry);
  Log(entry, GetSize() - 1, kUndoAppended);
}

void TTemplateList::InsertAt(int index, const TTemplate& entry, int count) {
  assert(index >= 0 && count >= 0);
  if (index > GetSize()) entries_.resize(static_cast<size_t>(index));
  entries_.insert(entries_.begin() + index, static_cast<size_t>(count), entry);
  // One record per slot, so that undoing newest first removes every inserted entry.
  for (int i = 0; i < count; ++i) Log(entry, index, kUndoInserted);
}

void TTemplateList::RemoveAt(int index, int count) {
  assert(index >= 0 && count >= 0 && index + count <= GetSize());
  for (int i = 0; i < count; ++i) Log(entries_[index + i], index, kUndoRemoved);
  entries_.erase(entries_.begin() + index, entries_.begin() + index + count);
}

void TTemplateList::SetAt(int index, int32_t beat_index) {
  TTemplate& entry = entries_[Checked(index)];
  Log(entry, index, kUndoChanged);
  entry.SetBeatIndex(beat_index);
}

void TTemplateList::Copy(const TTemplateList& other) {
  if (&other == this) return;
  if (log_enabled_) {
    for (int i = GetSize() - 1; i >= 0; --i) Log(entries_[i], i, kUndoRemoved);
    for (int i = other.GetSize() - 1; i >= 0; --i) Log(other.entries_[i], 0, kUndoAppended);
  }
  entries_ = other.entries_;
}

void TTemplateList::RemoveAll() {
  for (int i = GetSize() - 1; i >= 0; --i) Log(entries_[i], i, kUndoRemoved);
  entries_.clear();
  entries_.shrink_to_fit();
}

void TTemplateList::EnableUndoLog(bool enable) {
  log_enabled_ = enable;
  log_.clear();
}

void TTemplateList::UndoAll() {
  std::vector<TTemplateUndoEntry> log = std::exchange(log_, {});
  for (auto it = log.rbegin(); it != log.rend(); ++it) {
    const int index = it->index;
    switch (it->operation) {
      case kUndoRemoved:
        assert(index >= 0 && index <= GetSize());
        if (index >= 0 && index <= GetSize()) InsertAt(index, it->element, 1);
        break;
      case kUndoChanged:
        assert(index >= 0 && index < GetSize());
        if (index >= 0 && index < GetSize()) SetAt(index, it->element.GetBeatIndex());
        break;
      case kUndoAppended:
      case kUndoInserted:
        assert(index >= 0 && index < GetSize());
        if (index >= 0 && index < GetSize()) RemoveAt(index, 1);
        break;
      default:
        break;
    }
  }
  log_.clear();
}

void TTemplateList::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  ar.WriteInt32(version);
  ar.WriteInt32(GetSize());
  for (const TTemplate& entry : entries_) ar.WriteInt32(entry.GetBeatIndex());
}

void TTemplateList::Load(platform::ArchiveReader& ar) {
  const int32_t version = document::ReadMemberVersion(ar);
  const int32_t count = document::ReadInt32Count(ar, 4);
  // Every writer stores the count and the entries after any version: a list of unknown version is
  // read past whole and stays as it was.
  if (!document::IsKnownFileVersion(version)) {
    ar.Skip(static_cast<size_t>(count) * 4);
    return;
  }
  std::vector<TTemplate> entries;
  entries.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) entries.emplace_back(ar.ReadInt32());
  entries_ = std::move(entries);
  log_.clear();
}
