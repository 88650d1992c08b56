#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Folders and files of the tests of every folder. Header only: a test program includes it without
// linking the test support library.
namespace testsupport {

// The running test's folder name under the test temp folder: prefix, suite, test and process, so
// that parallel runs of the same test (other build folders) never share one. A parameterised
// test's '/' becomes '_'.
inline std::string TestFolderName(std::string_view prefix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(prefix) + "_" + (info ? info->test_suite_name() : "x") + "_" +
                     (info ? info->name() : "x") + "_" + std::to_string(::getpid());
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

namespace detail {
inline std::filesystem::path FreshFolder(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}
}  // namespace detail

// A fresh, empty folder for the running test; a second call in the same test empties it again.
// It stays after the test, for a look at what a failing test left.
inline std::filesystem::path MakeTestDir(std::string_view prefix) {
  return detail::FreshFolder(TestFolderName(prefix));
}

// Writes the bytes as the whole file; a file that cannot be written fails the test.
inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << file;
}

// Writes the text as the whole file, byte for byte; a file that cannot be written fails the test.
inline void WriteText(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) ADD_FAILURE() << "cannot write " << file;
}

// The whole file's bytes; empty when it cannot be read.
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Checks that each seed of a fuzz corpus (name relative to folder) is stored with the seed's bytes;
// UPDATE_GOLDEN=1 writes them first.
inline void ExpectSeedsCurrent(const std::filesystem::path& folder,
                               const std::map<std::string, std::vector<uint8_t>>& seeds) {
  const bool update = std::getenv("UPDATE_GOLDEN") != nullptr;
  for (const auto& [name, bytes] : seeds) {
    SCOPED_TRACE(name);
    const std::filesystem::path file = folder / name;
    if (update) {
      std::filesystem::create_directories(file.parent_path());
      WriteBytes(file, bytes);
    }
    EXPECT_EQ(ReadBytes(file), bytes) << "regenerate with UPDATE_GOLDEN=1";
  }
}

// Hands the bytes of every fixture in a corpus folder (its README aside) to replay; returns how many
// there were. A missing folder has none.
inline int ReplayCorpus(const std::filesystem::path& folder,
                        const std::function<void(const std::vector<uint8_t>& bytes)>& replay) {
  int replayed = 0;
  if (!std::filesystem::is_directory(folder)) return replayed;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().string());
    replay(ReadBytes(entry.path()));
    ++replayed;
  }
  return replayed;
}

// A folder of its own, apart from every other of the process, removed when it goes.
class TempFolder {
 public:
  explicit TempFolder(std::string_view prefix = "test") {
    static std::atomic<int> counter{0};
    path_ = detail::FreshFolder(TestFolderName(prefix) + "_" + std::to_string(counter++));
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(std::string_view name) const { return (path_ / std::string(name)).string(); }
  // Writes the file of that name; returns its path.
  std::string Write(std::string_view name, const std::vector<uint8_t>& bytes) const {
    const std::string file = File(name);
    WriteBytes(file, bytes);
    return file;
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
