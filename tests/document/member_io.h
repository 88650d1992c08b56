#pragma once

#include <gtest/gtest.h>

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

// Stores member at version 32 and loads the bytes over loaded, which holds other content first:
// the load reads every byte, an equal member comes back, and it stores the same bytes again.
// Wrap in ASSERT_NO_FATAL_FAILURE to stop at the first failing case.
template <class Member>
void ExpectRoundTrip(const Member& member, Member& loaded) {
  const std::vector<uint8_t> bytes = StoreMember(member, 32);
  platform::ArchiveReader r(bytes, "test");
  loaded.Load(r);
  ASSERT_TRUE(r.AtEnd());
  ASSERT_EQ(loaded, member);
  ASSERT_EQ(StoreMember(loaded, 32), bytes);
}
