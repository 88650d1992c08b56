#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// One annotation of an AHA record: its character, its time (as the file gives it) and the 16-bit
// value stored with it.
struct TAhaAnnotation {
  char character = 0;
  uint32_t time = 0;
  int16_t value = 0;

  bool operator==(const TAhaAnnotation&) const = default;
};

// The annotations of an AHA annotation file: the first kMaxAnnotations of them, and how many of
// each character the whole file holds.
struct TAhaAnnotationTable {
  std::vector<TAhaAnnotation> held;
  // Per character of kCountedCharacters, in its order; the last entry counts all others.
  std::array<int64_t, 11> counts{};
  int64_t total = 0;
};

// A record of the AHA database distribution: three files whose names differ only in the two
// characters before ".dat": the first channel ("...1.dat", the name given), the second channel
// (that character "2") and the annotations (the two characters "AN"). The channels hold 16-bit
// little-endian samples; the annotation file 16-byte records up to one whose first byte is 255.
// Construction checks all three files; the samples are read on request. Any thread, one at a time.
class TAhaRecordReader {
 public:
  static constexpr size_t kMaxAnnotations = 9000;
  static constexpr size_t kAnnotationRecordBytes = 16;
  static constexpr uint8_t kEndMarker = 255;
  static constexpr std::string_view kCountedCharacters = "NVEFRPQU[]";

  // Throws platform::IoError when a file is missing or cannot be read, platform::FormatError when
  // the name is no first channel file or a file's content is damaged.
  explicit TAhaRecordReader(const std::string& first_channel_path);

  // The names of the other two files beside a first channel file; empty when the name is no
  // first channel file.
  static std::string SecondChannelPath(std::string_view first_channel_path);
  static std::string AnnotationPath(std::string_view first_channel_path);

  // Reads an annotation file; name is the file's name for the messages. Throws
  // platform::FormatError for a record cut short by the end of the file.
  static TAhaAnnotationTable ReadAnnotationFile(std::istream& in, std::string_view name);

  // Sample pairs that both channels hold.
  int64_t GetSamplePairCount() const { return pair_count_; }
  // Reads count pairs from first_pair into the two channels (resized to count). Throws
  // platform::FormatError when the record holds fewer, platform::IoError when a file fails.
  void ReadSamplePairs(int64_t first_pair, size_t count, std::vector<int16_t>& first,
                       std::vector<int16_t>& second) const;

  const std::vector<TAhaAnnotation>& GetAnnotations() const { return annotations_.held; }
  // How many annotations of the character the file holds; a character that is not counted on its
  // own gives the count of all such others.
  int64_t GetCount(char character) const;
  int64_t GetOtherCount() const { return annotations_.counts.back(); }
  int64_t GetTotalCount() const { return annotations_.total; }

  const std::string& GetFirstChannelPath() const { return first_path_; }
  const std::string& GetSecondChannelPath() const { return second_path_; }
  const std::string& GetAnnotationPath() const { return annotation_path_; }

 private:
  std::string first_path_;
  std::string second_path_;
  std::string annotation_path_;
  int64_t pair_count_ = 0;
  TAhaAnnotationTable annotations_;
};

}  // namespace tools
