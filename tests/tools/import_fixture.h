#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/settings_store.h"
#include "document/signal_exchange_file.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "win/prompt.h"

namespace importtest {

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted.
inline std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A "KHI" sample file of two channels at 125 Hz holding whole minutes of silence: enough for a
// recording to open.
inline std::vector<uint8_t> SilentKhi(int minutes) {
  TSignalExchangeFile header;
  header.duration = static_cast<uint32_t>(125 * 60 * minutes);
  header.rate = 125;
  header.channel_count = 2;
  header.bits_per_sample = 16;
  header.lsb = 5.0;
  header.channel_names[0] = "a";
  header.channel_names[1] = "b";
  header.display_count = 2;
  header.display_map[0] = 0;
  header.display_map[1] = 1;
  std::ostringstream out;
  EXPECT_TRUE(header.WriteHeader(out));
  std::string bytes = out.str();
  bytes.append(static_cast<size_t>(header.duration) * 4, '\0');
  return {bytes.begin(), bytes.end()};
}

// A document without user interface whose data directory is a folder of its own, and a scripted
// prompt that answers Yes unless told otherwise.
class ImportDocFixture {
 public:
  ImportDocFixture() : clock_(platform::LocalDateTime{2026, 12, 10, 12, 0, 0, 0}), prompt_scope_(prompt_) {
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
    fs::create_directories(Data());
    fs::create_directories(Source());
    doc_->SetDataDirectory(Data().string());
  }

  fs::path Data() const { return temp_.Path() / "data"; }
  fs::path Source() const { return temp_.Path() / "source"; }
  CZK470Doc& Doc() { return *doc_; }
  const platform::Clock& Clock() const { return clock_; }

  // The messages the prompt was asked, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }

  // The four members of a ".QRS" file, read back as opening does.
  struct Members {
    explicit Members(const platform::Clock& clock) : patient(clock), recording(clock) {}
    TPatientData patient;
    TRecordingData recording;
    int64_t beats = -1;
    int64_t events = -1;
  };
  Members ReadDocument(const fs::path& path) {
    platform::MemoryProfileStore profile;
    CZK470Doc reader(CZK470Doc::NoUserInterface{}, profile, clock_);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    platform::ArchiveReader ar(bytes, path.filename().string());
    reader.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    Members members(clock_);
    members.patient = reader.GetPatientData();
    members.recording = reader.GetRecordingData();
    members.beats = reader.GetQRSList().GetSize();
    members.events = reader.GetEventList().GetSize();
    return members;
  }

 protected:
  ContextGuard context_;
  testsupport::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt prompt_scope_;
  std::unique_ptr<CZK470Doc> doc_;
};

}  // namespace importtest
