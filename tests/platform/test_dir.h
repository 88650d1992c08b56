#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

namespace platform::testing_support {

// A fresh, empty folder for the running test.
inline std::filesystem::path MakeTestDir() {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) /
                                    ("platform_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                                     std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string ReadText(const std::filesystem::path& file) {
  std::string text;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
  FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr) << file;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

inline size_t CountEntries(const std::filesystem::path& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace platform::testing_support
