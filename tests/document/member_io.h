#pragma once

#include <cstdint>
#include <vector>

#include "platform/archive.h"

// The bytes a ".QRS" member writes at the given file version.
template <class Member>
std::vector<uint8_t> StoreMember(const Member& member, int32_t version) {
  platform::ArchiveWriter w;
  member.Serialize(w, version);
  return w.TakeBytes();
}
