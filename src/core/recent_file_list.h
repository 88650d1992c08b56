#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"

// The most recently used files, newest first, kept in the profile section "Recent File List" as
// "File1" .. "FileN". Every change is written through at once, so a crash loses none of it.
// User-interface thread only; the profile must outlive the list.
class RecentFileList {
 public:
  static constexpr std::string_view kSection = "Recent File List";

  RecentFileList(platform::ProfileStore& profile, int size);

  // Reads the entries from the profile; empty and surplus keys are skipped.
  void ReadList();
  // Puts the path first; an entry already in the list moves up instead of appearing twice, and the
  // oldest entry drops out when the list is full. A relative path is made absolute.
  void Add(std::string_view path);
  // Removes entry index; an index outside the entries is ignored.
  void Remove(int index);

  // The number of entries the list can hold.
  int GetSize() const { return size_; }
  // Entry index, or "" when there is none there.
  std::string GetName(int index) const;

 private:
  void WriteList();

  platform::ProfileStore& profile_;
  int size_;
  std::vector<std::string> names_;
};
