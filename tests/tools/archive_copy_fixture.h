#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "tools/archive_copy.h"

namespace archivetest {

// A document whose data and export (archive) folders are empty folders of the test.
class ArchiveDocFixture {
 public:
  ArchiveDocFixture() : doc_clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}) {
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    std::filesystem::create_directories(Data());
    std::filesystem::create_directories(Archive());
    doc_->SetDataDirectory(Data().string());
    doc_->SetExportDirectory(Archive().string());
  }

  std::filesystem::path Data() const { return temp_.Path() / "data"; }
  std::filesystem::path Archive() const { return temp_.Path() / "archive"; }

  // A recording of a document file and a ".TAP" sample file (and a voice file when asked), each
  // with its own bytes, so that a copy that mixed them up would show. Returns the document path.
  static std::string MakeRecording(const std::filesystem::path& folder, const std::string& base, uint8_t seed,
                                   bool voice = false) {
    testsupport::WriteBytes(folder / (base + ".QRS"), Bytes(seed, 300));
    testsupport::WriteBytes(folder / (base + ".TAP"), Bytes(seed + 1, 5000));
    if (voice) testsupport::WriteBytes(folder / (base + ".PID"), Bytes(seed + 2, 700));
    return (folder / (base + ".QRS")).string();
  }

  static std::vector<uint8_t> Bytes(uint8_t seed, size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed * 31 + i * 7);
    return bytes;
  }
  static std::vector<uint8_t> Read(const std::filesystem::path& file) {
    return platform::ReadFileBytes(file);
  }

  CZK470Doc& Doc() { return *doc_; }

 private:
  ContextGuard context_;
  testsupport::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_;
  std::unique_ptr<CZK470Doc> doc_;
};

// Holds the worker at its first written file until the test lets it go, so that the dialog can
// be looked at (or cancelled) in a known state.
class CopyGate {
 public:
  ArchiveCopyHooks Hooks() {
    ArchiveCopyHooks hooks;
    hooks.after_write = [this](const std::filesystem::path&, const std::filesystem::path&) {
      if (!held_) {
        held_ = true;
        reached_.set_value();
        go_future_.wait();
      }
      return true;
    };
    return hooks;
  }
  void WaitUntilReached() { reached_future_.wait(); }
  void Release() { go_.set_value(); }

 private:
  bool held_ = false;  // worker thread only
  std::promise<void> reached_;
  std::future<void> reached_future_ = reached_.get_future();
  std::promise<void> go_;
  std::shared_future<void> go_future_ = go_.get_future().share();
};

}  // namespace archivetest
