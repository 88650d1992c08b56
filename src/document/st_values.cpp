#include "document/st_values.h"

#include <utility>

#include "document/file_version.h"
#include "platform/archive.h"

void TSTValues::RemoveAll() {
  values_.clear();
  values_.shrink_to_fit();
}

void TSTValues::AppendShifted(const TSTValues& other, int32_t /*offset*/) {
  const std::vector<TSTWindow> copy = other.values_;
  values_.insert(values_.end(), copy.begin(), copy.end());
}

void TSTValues::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  ar.WriteInt32(version);
  ar.WriteInt32(GetSize());
  for (const TSTWindow& window : values_) ar.WriteDouble(window.GetValue());
}

void TSTValues::Load(platform::ArchiveReader& ar) {
  const int32_t version = document::ReadMemberVersion(ar);
  // Version 10 stored nothing after the version.
  if (version == 10) {
    values_.clear();
    return;
  }
  const int32_t count = document::ReadInt32Count(ar, 8);
  // Every other writer stores the count and the values: a list of unknown version is read past
  // whole and stays as it was.
  if (!document::IsKnownFileVersion(version)) {
    ar.Skip(static_cast<size_t>(count) * 8);
    return;
  }
  std::vector<TSTWindow> values;
  values.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) values.emplace_back(ar.ReadDouble());
  values_ = std::move(values);
}
