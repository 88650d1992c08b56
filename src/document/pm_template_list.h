#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}  // namespace platform

// One member of a pacemaker template class: the sample position of a pacemaker spike event.
class TPMTemplate {
 public:
  TPMTemplate() = default;
  explicit TPMTemplate(int32_t position) : position_(position) {}

  int32_t GetPosition() const { return position_; }
  void SetPosition(int32_t position) { position_ = position; }

  bool operator==(const TPMTemplate&) const = default;

 private:
  int32_t position_ = 0;
};

// The spikes of one of the fifty pacemaker template classes, in insertion order. No change log.
class TPMTemplateList {
 public:
  int GetSize() const { return static_cast<int>(entries_.size()); }
  TPMTemplate GetAt(int index) const { return entries_.at(static_cast<size_t>(index)); }
  TPMTemplate* ElementAt(int index) { return &entries_.at(static_cast<size_t>(index)); }
  std::span<const TPMTemplate> Elements() const { return entries_; }

  void Append(const TPMTemplate& entry) { entries_.push_back(entry); }
  // The caller passes a valid range.
  void RemoveAt(int index, int count = 1);
  void Copy(const TPMTemplateList& other) { entries_ = other.entries_; }
  void RemoveAll();

  // int32 version, int32 count, int32 sample position per entry.
  void Serialize(platform::ArchiveWriter& ar, int32_t version) const;
  // Replaces the entries (a count of 0 or less holds none); a list of unknown version is read past
  // and left as it was. FormatError on a damaged list, which is then unchanged.
  void Load(platform::ArchiveReader& ar);

  bool operator==(const TPMTemplateList&) const = default;

 private:
  std::vector<TPMTemplate> entries_;
};

// One row of the document's pacemaker class overview; rebuilt from the recording record, never stored.
struct TPMTemplateClassEntry {
  int32_t kind = 0;  // 0 for pacemaker classes
  int32_t class_index = 0;  // 0..49
  int32_t count = 0;  // members

  bool operator==(const TPMTemplateClassEntry&) const = default;
};
