#include "document/pm_template_list.h"

#include <cassert>
#include <utility>

#include "document/file_version.h"
#include "platform/archive.h"

void TPMTemplateList::RemoveAt(int index, int count) {
  assert(index >= 0 && count >= 0 && index + count <= GetSize());
  entries_.erase(entries_.begin() + index, entries_.begin() + index + count);
}

void TPMTemplateList::RemoveAll() {
  entries_.clear();
  entries_.shrink_to_fit();
}

void TPMTemplateList::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  ar.WriteInt32(version);
  ar.WriteInt32(GetSize());
  for (const TPMTemplate& entry : entries_) ar.WriteInt32(entry.GetPosition());
}

void TPMTemplateList::Load(platform::ArchiveReader& ar) {
  const int32_t version = document::ReadMemberVersion(ar);
  const int32_t count = document::ReadInt32Count(ar, 4);
  // Every writer stores the count and the positions after any version: a list of unknown version
  // is read past whole and stays as it was.
  if (!document::IsKnownFileVersion(version)) {
    ar.Skip(static_cast<size_t>(count) * 4);
    return;
  }
  std::vector<TPMTemplate> entries;
  entries.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) entries.emplace_back(ar.ReadInt32());
  entries_ = std::move(entries);
}
