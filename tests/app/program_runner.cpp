#include "app/program_runner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace apptest {

namespace {

std::optional<std::string> GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void PutEnv(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

}  // namespace

ProgramHome::ProgramHome() {
  static std::atomic<int> counter{0};
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("app_") + (info ? info->test_suite_name() : "x") + "_" + (info ? info->name() : "x") +
                     "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  root_ = std::filesystem::path(testing::TempDir()) / name;
  std::filesystem::remove_all(root_);
  for (const char* sub : {"home", "config", "tmp", "runtime"}) std::filesystem::create_directories(root_ / sub);
  ::chmod((root_ / "runtime").c_str(), 0700);
  SetEnv("HOME", (root_ / "home").string());
  SetEnv("XDG_CONFIG_HOME", (root_ / "config").string());
  SetEnv("ZK470_PROFILE", (root_ / "config" / "ZK-470.ini").string());
  SetEnv("TMPDIR", (root_ / "tmp").string());
  SetEnv("XDG_RUNTIME_DIR", (root_ / "runtime").string());
  SetEnv("DISPLAY", std::nullopt);
  SetEnv("WAYLAND_DISPLAY", std::nullopt);
  SetEnv("QT_QPA_PLATFORM", std::nullopt);
}

ProgramHome::~ProgramHome() {
  for (const auto& [name, value] : saved_) PutEnv(name, value);
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::filesystem::path ProgramHome::Folder(const std::string& name) const {
  const std::filesystem::path folder = root_ / name;
  std::filesystem::create_directories(folder);
  return folder;
}

void ProgramHome::SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (!saved_.contains(name)) saved_[name] = GetEnv(name);
  PutEnv(name, value);
}

std::filesystem::path ProgramPath() { return std::filesystem::path(ZK_BINARY_DIR) / "src" / "app" / "zk470"; }

platform::ProcessResult RunProgram(const std::vector<std::string>& args, int timeout_ms) {
  std::vector<std::string> argv = {ProgramPath().string()};
  argv.insert(argv.end(), args.begin(), args.end());
  platform::ProcessOptions options;
  options.timeout_ms = timeout_ms;
  return platform::RunProcess(argv, options);
}

BackgroundProgram::BackgroundProgram(std::vector<std::string> args) {
  std::vector<std::string> argv = {ProgramPath().string()};
  argv.insert(argv.end(), args.begin(), args.end());
  thread_ = std::thread([this, argv] {
    platform::ProcessOptions options;
    options.timeout_ms = 120000;
    options.stop_requested = [this] { return stop_.load(); };
    result_ = platform::RunProcess(argv, options);
    ended_.store(true);
  });
}

BackgroundProgram::~BackgroundProgram() { Stop(); }

platform::ProcessResult BackgroundProgram::Stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  return result_;
}

bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    // Waiting for another process: there is nothing to drive from here.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace apptest
