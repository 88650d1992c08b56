#include "core/recent_file_list.h"

#include <algorithm>
#include <filesystem>

namespace {

std::string EntryKey(int index) { return "File" + std::to_string(index + 1); }

std::string FullPath(std::string_view path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
  if (error) return std::string(path);
  return full.lexically_normal().string();
}

}  // namespace

RecentFileList::RecentFileList(platform::ProfileStore& profile, int size) : profile_(profile), size_(size) {}

void RecentFileList::ReadList() {
  names_.clear();
  for (int i = 0; i < size_; ++i) {
    std::optional<std::string> name = profile_.GetString(kSection, EntryKey(i));
    if (name && !name->empty()) names_.push_back(std::move(*name));
  }
}

void RecentFileList::Add(std::string_view path) {
  if (path.empty() || size_ <= 0) return;
  std::string full = FullPath(path);
  std::erase(names_, full);
  names_.insert(names_.begin(), std::move(full));
  if (names_.size() > static_cast<size_t>(size_)) names_.resize(static_cast<size_t>(size_));
  WriteList();
}

void RecentFileList::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(names_.size())) return;
  names_.erase(names_.begin() + index);
  WriteList();
}

std::string RecentFileList::GetName(int index) const {
  if (index < 0 || index >= static_cast<int>(names_.size())) return {};
  return names_[static_cast<size_t>(index)];
}

void RecentFileList::WriteList() {
  // Keys of entries that are gone are removed, or a removed file would come back at the next start.
  for (int i = 0; i < size_; ++i) {
    if (i < static_cast<int>(names_.size())) {
      profile_.WriteString(kSection, EntryKey(i), names_[static_cast<size_t>(i)]);
    } else {
      profile_.RemoveKey(kSection, EntryKey(i));
    }
  }
}
