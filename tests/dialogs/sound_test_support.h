#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process_context.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "support/test_files.h"
#include "win/prompt.h"
#include "win/window.h"

namespace dialogs_test {

// A fresh, empty folder for the running test.
inline std::filesystem::path MakeTestDir() { return testsupport::MakeTestDir("dialogs"); }

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

using testsupport::WriteBytes;

// A scripted prompt that records the boxes, a clean user-interface queue whose posted messages
// (no window system needed) are collected, and a per-test folder.
class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    platform::UiThreadQueue().SetRouter([this](const platform::PostedMessage& m) { posted_.push_back(m); });
    win::SetPrompt(&prompt_);
    dir_ = MakeTestDir();
  }
  void TearDown() override { platform::ResetProcessState(); }

  // Runs what sound threads posted so far (boxes, owner messages).
  void Pump() { platform::UiThreadQueue().PumpPosted(); }
  int PostedCount(uint32_t message) const {
    int n = 0;
    for (const auto& m : posted_) n += m.message == message ? 1 : 0;
    return n;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }

  win::ScriptedPrompt prompt_;
  std::vector<platform::PostedMessage> posted_;
  std::filesystem::path dir_;
};

}  // namespace dialogs_test
