#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/context_guard.h"
#include "document/document_context.h"
#include "document/document_host.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "support/cmp_writer.h"
#include "support/test_files.h"
#include "win/prompt.h"

namespace doctest {

// A folder of its own per test, removed afterwards.
using testsupport::TempFolder;
using testsupport::WriteBytes;

inline std::vector<uint8_t> ReadBytes(const std::string& file) { return platform::ReadFileBytes(file); }

// Every file of a folder with its bytes, to show that nothing on disk changed.
inline std::map<std::string, std::vector<uint8_t>> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadBytes(entry.path().string());
  return files;
}

// A view that logs the hints it receives.
class RecordingView : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    hints.push_back(hint);
    if (auto* counts = dynamic_cast<TCountsHint*>(object)) last_counts_marks = counts->marks;
  }
  std::vector<int> hints;
  TCountsHint::Table last_counts_marks{};
};

// The application as the document sees it, recording what it was asked.
class FakeHost : public document::DocumentHost {
 public:
  void AddToRecentFileList(std::string_view path) override {
    recent.insert(recent.begin(), std::string(path));
  }
  void ReplaceFirstRecentFile(std::string_view path) override {
    if (!recent.empty()) recent.erase(recent.begin());
    recent.insert(recent.begin(), std::string(path));
  }
  bool IsBatchRunning() const override { return batch_running; }
  void SetBatchFileResult(int result) override { batch_file_result = result; }
  bool IsAutomationCommandComplete() const override { return automation_complete; }
  std::string GetAutomationFileName() const override { return automation_file; }
  void ReplaceLastResultLine(std::string line) override { result_lines.push_back(std::move(line)); }
  void WriteResultFile() override { ++result_files_written; }
  void PostMainFrameMessage(uint32_t message) override { posted.push_back(message); }
  void RecordingLengthChanged(int minutes) override { recording_length = minutes; }
  void ShowSaveNotice() override { ++save_notices; }
  void ShowTextView(std::string_view title, std::span<const std::string> lines) override {
    text_view_title = std::string(title);
    text_view_lines.assign(lines.begin(), lines.end());
  }

  std::vector<std::string> recent;
  bool batch_running = false;
  int batch_file_result = 0;
  bool automation_complete = false;
  std::string automation_file;
  std::vector<std::string> result_lines;
  int result_files_written = 0;
  std::vector<uint32_t> posted;
  int recording_length = -1;
  int save_notices = 0;
  std::string text_view_title;
  std::vector<std::string> text_view_lines;
};

// What goes into a test recording's ".QRS".
struct RecordingContent {
  std::vector<TQRSComplex> beats;
  std::vector<TEvent> events;
  int32_t pause_threshold = -1;  // set to 0 or more for an analysed recording
};

inline std::vector<uint8_t> QrsBytes(const platform::Clock& clock, const RecordingContent& content) {
  TPatientData patient(clock);
  patient.first_name = "Anna";
  patient.surname = "Meier";
  TRecordingData recording(clock);
  recording.pause_threshold = content.pause_threshold;
  TQRSList beats;
  for (const TQRSComplex& beat : content.beats) beats.Append(beat);
  TEventList events;
  for (const TEvent& event : content.events) events.Append(event);
  platform::ArchiveWriter ar;
  patient.Serialize(ar, 32);
  recording.Serialize(ar, 32);
  beats.Serialize(ar, 32);
  events.Serialize(ar, 32);
  return ar.TakeBytes();
}

// A compressed two-channel sample file that shows `minutes` whole minutes.
inline std::vector<uint8_t> CmpBytes(int minutes) {
  // The new format's reader shows one minute fewer than the file holds.
  const size_t samples = static_cast<size_t>(minutes + 1) * testsupport::kSamplesPerMinute;
  std::vector<std::vector<int16_t>> channels(2, std::vector<int16_t>(samples, 0));
  for (size_t i = 0; i < samples; ++i) channels[0][i] = static_cast<int16_t>((i % 100) * 2);
  return testsupport::EncodeCmp(testsupport::CmpFormat::kNew, channels);
}

// Writes base.QRS and base.CMP; returns the ".QRS" path.
inline std::string WriteRecording(const platform::Clock& clock, const std::string& base,
                                  const RecordingContent& content, int minutes = 2) {
  WriteBytes(base + ".QRS", QrsBytes(clock, content));
  WriteBytes(base + ".CMP", CmpBytes(minutes));
  return base + ".QRS";
}

// Normal beats every `rr` samples from `first`.
inline std::vector<TQRSComplex> RegularBeats(int count, int32_t first, int32_t rr) {
  std::vector<TQRSComplex> beats;
  for (int i = 0; i < count; ++i) beats.emplace_back(first + i * rr, kClassNormal);
  return beats;
}

// A document with user interface on a memory profile and a manual clock, its folders under a
// temp home, a scripted prompt, a fake host and a recording view.
class DocFixture : public ::testing::Test {
 protected:
  DocFixture() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}), prompt_guard_(prompt_) {}

  void SetUp() override {
    platform::ResetProcessState();
    win::SetPrompt(&prompt_);
    cwd_ = std::filesystem::current_path();
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(profile_, clock_, defaults);
    doc_->SetHost(&host_);
    doc_->AddView(&view_);
  }

  void TearDown() override {
    if (doc_) doc_->RemoveView(&view_);
    doc_.reset();
    std::filesystem::current_path(cwd_);
    platform::ResetProcessState();
  }

  // Messages shown so far.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }

  std::string Base(std::string_view name) const { return temp_.File(name); }

  ContextGuard context_guard_;
  TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt prompt_guard_;
  FakeHost host_;
  RecordingView view_;
  std::unique_ptr<CZK470Doc> doc_;
  std::filesystem::path cwd_;
};

}  // namespace doctest
