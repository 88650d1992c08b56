#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "tools/tape_conversion.h"

namespace tapetest {

// One minute of tape as the program leaves it: 7680 frames of (channel 1, channel 2, unused).
inline std::vector<uint8_t> Block(uint8_t ch1, uint8_t ch2) {
  std::vector<uint8_t> block(tape::kBlockBytes);
  for (size_t f = 0; f < block.size() / 3; ++f) {
    block[f * 3] = ch1;
    block[f * 3 + 1] = ch2;
    block[f * 3 + 2] = 0xEE;
  }
  return block;
}

// A document whose main folder holds the fake tape program and whose data folder is empty.
class TapeDocFixture {
 public:
  TapeDocFixture() : doc_clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}) {
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    std::filesystem::create_directories(temp_.Path() / "main" / "Braemar");
    std::filesystem::create_directories(temp_.Path() / "data");
    doc_->SetMainDirectory((temp_.Path() / "main").string());
    doc_->SetDataDirectory((temp_.Path() / "data").string());
  }

  // The tape program: a shell script with this body.
  void WriteProgram(const std::string& body) const {
    const std::string path = tape::ProgramPath(*doc_);
    testsupport::WriteText(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
  }
  void WriteRawFile(const std::vector<uint8_t>& bytes) const {
    testsupport::WriteBytes(tape::RawFilePath(*doc_), bytes);
  }
  std::string Data(const std::string& name) const { return (temp_.Path() / "data" / name).string(); }

  CZK470Doc& Doc() { return *doc_; }
  const testsupport::TempFolder& Temp() const { return temp_; }

 private:
  ContextGuard context_;
  testsupport::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_;
  std::unique_ptr<CZK470Doc> doc_;
};

}  // namespace tapetest
