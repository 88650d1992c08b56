// Kills a child process at each write and rename of a recording's rename after the patient, its
// finalizing rename and its save, then opens the recording as the user would.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"
#include "platform/file_system.h"

namespace {

using doctest::DocFixture;
using doctest::RecordingContent;
using doctest::RegularBeats;
using doctest::WriteBytes;
using doctest::WriteRecording;

int g_steps = 0;
int g_kill_at = 0;

void CountOrKill() {
  if (++g_steps == g_kill_at) std::raise(SIGKILL);
}

std::string Stem(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  const size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

class RenameFaults : public DocFixture {
 protected:
  struct Action {
    const char* name;
    std::function<bool(CZK470Doc&)> run;
  };

  // A recording with companions in a folder of its own.
  std::filesystem::path MakeRecording(const std::string& folder_name) {
    const std::filesystem::path folder = temp_.Path() / folder_name;
    std::filesystem::create_directories(folder);
    RecordingContent content;
    content.beats = RegularBeats(400, 50, 100);
    content.pause_threshold = 1;
    const std::string base = (folder / "00001 0042-").string();
    WriteRecording(clock_, base, content);
    WriteBytes(base + ".PID", {1, 2, 3});
    WriteBytes(base + ".ANO", {4});
    return folder;
  }

  // Runs the action in a child that stops at step kill_at (0: never); the child's steps when it
  // ran to its end, -1 when it was killed.
  int RunInChild(const std::filesystem::path& folder, const Action& action, int kill_at) {
    const pid_t child = ::fork();
    if (child == 0) {
      g_steps = 0;
      g_kill_at = kill_at;
      if (!doc_->OnOpenDocument((folder / "00001 0042-.QRS").string())) ::_exit(250);
      doc_->GetRecordingData().start_date = {0, 45361.0};
      doc_->GetRecordingData().start_time = {0, 0.5};
      doc_->GetQRSList().RemoveAt(0, 1);
      doc_->SetModifiedFlag(true);
      g_steps = 0;
      platform::SetFileStepHook(CountOrKill);
      const bool done = action.run(*doc_);
      platform::SetFileStepHook(nullptr);
      ::_exit(done ? g_steps : 251);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 250) << action.name << " status " << status;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 0;
  }

  // After the fault: the one recording opens with its own sample file, every file carries the
  // recording's name, its content that of the name, and no work file stays.
  void ExpectWholeRecording(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> documents;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() == ".QRS") documents.push_back(entry.path());
    ASSERT_EQ(documents.size(), 1u);
    CZK470Doc reader(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(reader.OnOpenDocument(documents[0].string()));
    const std::string stem = Stem(reader.GetPathName());
    EXPECT_EQ(reader.GetRawECGData()->GetFileName(), (folder / (stem + ".CMP")).string());
    const bool renamed = stem.starts_with("Anna Other");
    EXPECT_TRUE(renamed || stem.starts_with("00001")) << stem;
    if (renamed) EXPECT_EQ(reader.GetPatientData().surname, "Other");
    if (stem == "00001 0042-") EXPECT_EQ(reader.GetPatientData().surname, "Meier");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
      EXPECT_EQ(Stem(entry.path()), stem) << entry.path();
    }
    EXPECT_EQ(names.size(), 5u) << "QRS, BAK, CMP, PID and ANO, no work file";
    reader.OnCloseDocument();
  }
};

TEST_F(RenameFaults, EveryRecordingOpensWholeAfterAKillAtAnyStep) {
  const Action actions[] = {
      {"rename after the patient",
       [](CZK470Doc& doc) {
         doc.GetPatientData().surname = "Other";
         return doc.RenameRecordingByPatient();
       }},
      {"finalize",
       [](CZK470Doc& doc) {
         doc.MarkRecordingNumber(1);
         return doc.GetRecordingNumber() == "V042-";
       }},
      {"save", [](CZK470Doc& doc) { return doc.DoFileSave(); }},
  };
  int tried = 0;
  for (const Action& action : actions) {
    SCOPED_TRACE(action.name);
    const int steps = RunInChild(MakeRecording(std::string(action.name) + " count"), action, 0);
    ASSERT_GT(steps, 0);
    for (int kill_at = 1; kill_at <= steps; ++kill_at) {
      SCOPED_TRACE("killed at step " + std::to_string(kill_at));
      const std::filesystem::path folder =
          MakeRecording(std::string(action.name) + " " + std::to_string(kill_at));
      EXPECT_EQ(RunInChild(folder, action, kill_at), -1);
      ExpectWholeRecording(folder);
      ++tried;
    }
  }
  std::printf("fault injection: %d points tried\n", tried);
}

}  // namespace
