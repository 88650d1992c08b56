#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {
class ArchiveReader;
}

namespace document {

// The file-format version every member of a ".QRS" file begins with: writers use the application's
// current version (32, or 25 while saving in the old format); readers know 2..32.
inline constexpr int32_t kCurrentFileVersion = 32;
inline constexpr int32_t kOldFormatFileVersion = 25;
inline constexpr int32_t kMinFileVersion = 2;
inline constexpr int32_t kMaxFileVersion = 32;

inline bool IsKnownFileVersion(int32_t version) {
  return version >= kMinFileVersion && version <= kMaxFileVersion;
}

// What reading the members of one ".QRS" file read past instead of refusing the file, so that the
// document can tell the user once per open; and what one member hands to the next. Members read
// without it (a single member, the export of patient records) read past the same things silently,
// except a patient record of unknown version, which they refuse.
struct MemberReadNotes {
  // The versions of a patient or recording record read as the version alone (the record, and the
  // channel sets, kept as they were). Such a record may have held more than a writer of that version
  // stores, so the members after it must then end with the file.
  std::optional<int32_t> unknown_patient_version;
  std::optional<int32_t> unknown_recording_version;
  // Beats and events whose class code lay outside 0..39 and were kept with kReplacementCode.
  int32_t replaced_beat_codes = 0;
  int32_t replaced_event_codes = 0;
  // The analysed-channel count as the patient record stored it (0 for a negative one). It sizes the
  // per-channel rows of a version-26 recording record, also where the set itself holds fewer.
  std::optional<int32_t> stored_analysis_channels;
};

// Reads a member's int32 version as stored; the caller decides what an unknown one means.
int32_t ReadMemberVersion(platform::ArchiveReader& ar);

// Reads a plain int32 element count. A count of 0 or less means no elements (a writer writes none
// after it) and gives 0; a positive count must leave room in the stream for count elements of
// element_bytes each: FormatError otherwise.
int32_t ReadInt32Count(platform::ArchiveReader& ar, size_t element_bytes);

// The framework's archive count (16 bits, or 0xFFFF then 32 bits), checked that the stream still
// holds count elements; trailing_bytes is what must still follow the elements (so the check is
// exact, not only bounded). FormatError otherwise.
int32_t ReadArchiveCount(platform::ArchiveReader& ar, size_t element_bytes, size_t trailing_bytes = 0);

}  // namespace document
