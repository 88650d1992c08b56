#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace apptest {

// A home of its own for the program under test: profile, default folders, the temp folder (where
// the single-instance socket lies) and the runtime folder, under a fresh folder per test. While
// the object lives, the environment of this process (which the program inherits) points there,
// has no display and leaves the platform choice to the program; the destructor restores it.
class ProgramHome {
 public:
  ProgramHome();
  ~ProgramHome();
  ProgramHome(const ProgramHome&) = delete;
  ProgramHome& operator=(const ProgramHome&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // A folder of its own for recordings.
  std::filesystem::path Folder(const std::string& name) const;
  // The program's data directory (its current directory while it runs).
  std::filesystem::path DataDirectory() const { return root_ / "home" / "ZK-470" / "Data"; }
  // Sets (or, with nullopt, removes) a variable for the program until the home goes.
  void SetEnv(const std::string& name, const std::optional<std::string>& value);

 private:
  std::filesystem::path root_;
  std::map<std::string, std::optional<std::string>> saved_;
};

// The program built beside the tests.
std::filesystem::path ProgramPath();

// Runs the program to its end (at most timeout_ms).
platform::ProcessResult RunProgram(const std::vector<std::string>& args, int timeout_ms = 60000);

// The program running in the background until Stop (or the destructor) kills it.
class BackgroundProgram {
 public:
  explicit BackgroundProgram(std::vector<std::string> args);
  ~BackgroundProgram();
  // Kills the program (when still running) and returns how it ended.
  platform::ProcessResult Stop();
  bool Ended() const { return ended_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  platform::ProcessResult result_;
  std::thread thread_;
};

// Waits until done() holds or timeout_ms passed, checking every few milliseconds; whether it held.
bool WaitFor(const std::function<bool()>& done, int timeout_ms = 30000);

std::string ReadFile(const std::filesystem::path& file);

}  // namespace apptest
