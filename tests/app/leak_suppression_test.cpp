// The sanitizer builds check every test process, and every program a test starts, for leaks; the
// suppression list that scripts/test and ctest hand them must hide what third-party libraries keep
// and nothing of ours.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/process.h"

namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLeakChecker = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLeakChecker = true;
#else
constexpr bool kLeakChecker = false;
#endif
#else
constexpr bool kLeakChecker = false;
#endif

// Sets an environment variable for the programs this test starts, until it goes.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LeakSuppressions, HideThirdPartyLeaksOnlyNotOurs) {
  if (!kLeakChecker) GTEST_SKIP() << "not a sanitizer build: no leak checker runs";
  const fs::path list = fs::path(ZK_SOURCE_DIR) / "scripts" / "lsan.supp";
  const fs::path probe = fs::path(ZK_BINARY_DIR) / "tests" / "app" / "zk470-leak-probe";
  ASSERT_TRUE(fs::exists(list)) << list;
  ScopedEnv asan("ASAN_OPTIONS", "detect_leaks=1");

  struct Case {
    const char* name;
    const char* mode;
    bool with_list;
    bool want_report;
  };
  constexpr Case kCases[] = {
      // Without the list the library's leak is reported: the probe really leaks.
      {"library, no list", "library", false, true},
      {"library, with the list", "library", true, false},
      {"own code, with the list", "own", true, true},
  };
  platform::ProcessOptions options;
  options.timeout_ms = 60000;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ScopedEnv lsan("LSAN_OPTIONS", c.with_list ? "suppressions=" + list.string() : "");
    const platform::ProcessResult result = platform::RunProcess({probe.string(), c.mode}, options);
    if (result.exit_code == 77) GTEST_SKIP() << "the font configuration library is not installed";
    EXPECT_EQ(result.Succeeded(), !c.want_report) << result.err;
    EXPECT_EQ(result.err.find("LeakSanitizer") != std::string::npos, c.want_report) << result.err;
  }
}

}  // namespace
