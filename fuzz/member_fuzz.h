#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/archive.h"
#include "platform/io_error.h"

// Feeds the bytes to a ".QRS" member's reader. Only IoError (FormatError) is an expected outcome;
// a crash, a sanitizer report or any other exception is a finding. A member that did load must
// write itself stably: its version-32 bytes read back and write again to the same bytes.
template <class Member, class Make>
int FuzzMember(std::span<const uint8_t> bytes, Make make) {
  Member member = make();
  try {
    platform::ArchiveReader ar(bytes, "fuzz");
    member.Load(ar);
  } catch (const platform::IoError&) {
    return 0;
  }
  platform::ArchiveWriter first;
  member.Serialize(first, 32);
  Member again = make();
  platform::ArchiveReader back(first.Bytes(), "fuzz round trip");
  again.Load(back);
  platform::ArchiveWriter second;
  again.Serialize(second, 32);
  if (!back.AtEnd() || second.Bytes() != first.Bytes()) __builtin_trap();
  return 0;
}
