#include "tools/validation/aha_record_reader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "document/recording_files.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".dat";
constexpr size_t kSampleBytes = 2;

std::string FileName(std::string_view path) { return fs::path(path).filename().string(); }

// Where the two characters before ".dat" begin in the path; none when the name is too short or
// has another extension.
std::optional<size_t> MarkPosition(std::string_view path) {
  const std::string name = FileName(path);
  if (name.size() < kExtension.size() + 2) return std::nullopt;
  const std::string_view extension = std::string_view(name).substr(name.size() - kExtension.size());
  for (size_t i = 0; i < kExtension.size(); ++i)
    if (static_cast<char>(std::tolower(static_cast<unsigned char>(extension[i]))) != kExtension[i])
      return std::nullopt;
  return path.size() - kExtension.size() - 2;
}

std::string Existing(const std::string& path) {
  const std::optional<std::string> found = document::ExistingFile(path);
  if (!found) throw platform::IoError(FileName(path), "the file does not exist");
  return *found;
}

// Sample count of a channel file; its length must be whole samples.
int64_t ChannelSamples(const std::string& path) {
  std::error_code error;
  const uintmax_t bytes = fs::file_size(path, error);
  if (error) throw platform::IoError(FileName(path), "cannot read the file size: " + error.message());
  if (bytes % kSampleBytes != 0)
    throw platform::FormatError(
        FileName(path), "length " + std::to_string(bytes) + " bytes is not a whole number of 16-bit samples");
  return static_cast<int64_t>(bytes / kSampleBytes);
}

// Reads count samples from sample number first on; a file that ends before them is damaged.
void ReadChannel(const std::string& path, int64_t first, size_t count, std::vector<int16_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw platform::IoError(FileName(path), "cannot open the file");
  in.seekg(static_cast<std::streamoff>(first) * static_cast<std::streamoff>(kSampleBytes));
  std::vector<uint8_t> bytes(count * kSampleBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const auto got = static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0));
  if (got != bytes.size())
    throw platform::FormatError(
        FileName(path), "ends after " + std::to_string(first + static_cast<int64_t>(got / kSampleBytes)) +
                            " samples; " + std::to_string(first + static_cast<int64_t>(count)) + " needed");
  out.resize(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<int16_t>(platform::LoadLE16(&bytes[i * kSampleBytes]));
}

size_t CountIndex(char character) {
  const size_t at = TAhaRecordReader::kCountedCharacters.find(character);
  return at == std::string_view::npos ? TAhaRecordReader::kCountedCharacters.size() : at;
}

}  // namespace

std::string TAhaRecordReader::SecondChannelPath(std::string_view first_channel_path) {
  const std::optional<size_t> mark = MarkPosition(first_channel_path);
  if (!mark || first_channel_path[*mark + 1] != '1') return {};
  std::string path(first_channel_path);
  path[*mark + 1] = '2';
  return path;
}

std::string TAhaRecordReader::AnnotationPath(std::string_view first_channel_path) {
  const std::optional<size_t> mark = MarkPosition(first_channel_path);
  if (!mark || first_channel_path[*mark + 1] != '1') return {};
  std::string path(first_channel_path);
  path.replace(*mark, 2, "AN");
  return path;
}

TAhaAnnotationTable TAhaRecordReader::ReadAnnotationFile(std::istream& in, std::string_view name) {
  TAhaAnnotationTable table;
  std::array<char, kAnnotationRecordBytes> record{};
  uint64_t offset = 0;
  for (;;) {
    in.read(record.data(), record.size());
    const std::streamsize got = in.gcount();
    if (got == 0) break;  // the end of the file also ends the list
    if (got != static_cast<std::streamsize>(record.size()))
      throw platform::FormatError(
          std::string(name) + ", offset " + std::to_string(offset),
          "annotation record cut short after " + std::to_string(got) + " of 16 bytes");
    const auto* r = reinterpret_cast<const uint8_t*>(record.data());
    if (r[0] == kEndMarker) break;
    const char character = static_cast<char>(r[1]);
    ++table.counts[CountIndex(character)];
    ++table.total;
    if (table.held.size() < kMaxAnnotations) {
      // Two 16-bit words, the high one first, each little-endian.
      const uint32_t time = (uint32_t{platform::LoadLE16(r + 2)} << 16) | platform::LoadLE16(r + 4);
      table.held.push_back({character, time, static_cast<int16_t>(platform::LoadLE16(r + 6))});
    }
    offset += record.size();
  }
  return table;
}

TAhaRecordReader::TAhaRecordReader(const std::string& first_channel_path) {
  const std::string second = SecondChannelPath(first_channel_path);
  const std::string annotation = AnnotationPath(first_channel_path);
  if (second.empty())
    throw platform::FormatError(FileName(first_channel_path),
                                "not the first channel file of a record (\"...1.dat\")");
  first_path_ = Existing(first_channel_path);
  second_path_ = Existing(second);
  annotation_path_ = Existing(annotation);
  pair_count_ = std::min(ChannelSamples(first_path_), ChannelSamples(second_path_));
  std::ifstream in(annotation_path_, std::ios::binary);
  if (!in) throw platform::IoError(FileName(annotation_path_), "cannot open the file");
  annotations_ = ReadAnnotationFile(in, FileName(annotation_path_));
  if (in.bad()) throw platform::IoError(FileName(annotation_path_), "read error");
}

void TAhaRecordReader::ReadSamplePairs(int64_t first_pair, size_t count, std::vector<int16_t>& first,
                                       std::vector<int16_t>& second) const {
  if (first_pair < 0 || first_pair > pair_count_ || static_cast<uint64_t>(pair_count_ - first_pair) < count)
    throw platform::FormatError(FileName(first_path_), "the record holds " + std::to_string(pair_count_) +
                                                           " sample pairs; " + std::to_string(count) +
                                                           " from pair " + std::to_string(first_pair) +
                                                           " asked for");
  ReadChannel(first_path_, first_pair, count, first);
  ReadChannel(second_path_, first_pair, count, second);
}

int64_t TAhaRecordReader::GetCount(char character) const {
  return annotations_.counts[CountIndex(character)];
}

}  // namespace tools
