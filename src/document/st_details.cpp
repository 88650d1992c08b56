#include "document/st_details.h"

#include <utility>

#include "document/file_version.h"
#include "platform/archive.h"

void TSTDetails::RemoveAll() {
  details_.clear();
  details_.shrink_to_fit();
}

void TSTDetails::AppendShifted(const TSTDetails& other, int32_t offset) {
  const std::vector<TSTDetail> copy = other.details_;
  for (TSTDetail detail : copy) {
    for (TSTPoint& point : detail.points) point.position += offset;
    details_.push_back(detail);
  }
}

void TSTDetails::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  ar.WriteInt32(version);
  ar.WriteInt32(GetSize());
  for (const TSTDetail& detail : details_) {
    for (const TSTPoint& point : detail.points) {
      ar.WriteInt32(point.position);
      ar.WriteInt32(point.heart_rate);
      ar.WriteDouble(point.level);
      ar.WriteDouble(point.slope);
    }
  }
}

void TSTDetails::Load(platform::ArchiveReader& ar) {
  const int32_t version = document::ReadMemberVersion(ar);
  const bool known = document::IsKnownFileVersion(version);
  // Every writer stores the count and the current 72-byte episodes after any version: a list of
  // unknown version is read past whole and stays as it was.
  const bool has_slope = version >= 10 || !known;
  const size_t point_bytes = has_slope ? 24 : 16;
  const int32_t count = document::ReadInt32Count(ar, 3 * point_bytes);
  if (!known) {
    ar.Skip(static_cast<size_t>(count) * 3 * point_bytes);
    return;
  }
  std::vector<TSTDetail> details(static_cast<size_t>(count));
  for (TSTDetail& detail : details) {
    for (TSTPoint& point : detail.points) {
      point.position = ar.ReadInt32();
      point.heart_rate = ar.ReadInt32();
      point.level = ar.ReadDouble();
      if (has_slope) point.slope = ar.ReadDouble();
    }
  }
  details_ = std::move(details);
}
