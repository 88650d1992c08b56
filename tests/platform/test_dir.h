#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include "support/test_files.h"

namespace platform::testing_support {

// A fresh, empty folder for the running test.
inline std::filesystem::path MakeTestDir() { return testsupport::MakeTestDir("platform"); }

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

using testsupport::WriteText;

inline size_t CountEntries(const std::filesystem::path& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace platform::testing_support
