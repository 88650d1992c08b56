// The real program started as a practice program starts it: from the caller's own folder, with
// paths relative to it, in a German session whose locale writes numbers with a decimal comma.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "core/automation_exit_codes.h"
#include "document/patient_data.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/comma_decimal_locale.h"
#include "support/test_recordings.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
using coretest::MakeSyntheticRecording;

// The program inherits this process's working folder; it goes back when the test ends.
class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const fs::path& folder) : old_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~ScopedWorkingFolder() {
    std::error_code ec;
    fs::current_path(old_, ec);
  }
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  fs::path old_;
};

TPatientData ReadPatient(const fs::path& qrs) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(qrs);
  platform::ArchiveReader ar(bytes, qrs.string());
  const platform::SystemClock clock;
  TPatientData patient(clock);
  patient.Load(ar);
  return patient;
}

TEST(AutomationCaller, UpdateRecordingFromTheCallersFolderInAGermanSession) {
  {
    // Without the locale the program would run in the C locale and prove nothing.
    const testsupport::ScopedCommaDecimalLocale available;
    ASSERT_TRUE(available.Active());
  }
  ProgramHome home;
  home.SetEnv("LC_ALL", std::nullopt);
  home.SetEnv("LANG", "de_DE.UTF-8");
  home.SetEnv("LC_NUMERIC", "de_DE.UTF-8");
  const fs::path caller = home.Folder("caller");
  const fs::path mine = MakeSyntheticRecording(home.Folder("caller/sub") / "00017", 2, {"Eva", "Berg", "55"});
  fs::create_directories(home.DataDirectory() / "sub");
  const fs::path decoy =
      MakeSyntheticRecording(home.DataDirectory() / "sub" / "00017", 2, {"Dora", "Decoy", "99"});
  const std::vector<uint8_t> decoy_bytes = platform::ReadFileBytes(decoy);
  const ScopedWorkingFolder in_caller(caller);

  // A height the record cannot hold: refused like any bad command line, nothing written.
  const std::vector<uint8_t> mine_bytes = platform::ReadFileBytes(mine);
  platform::ProcessResult run = RunProgram({"-UpdateRecording", "sub/00017.QRS", "Eva", "Berg", "56",
                                            "1.1.1950", "2", "1e300", "72.4", "0", "update.txt"});
  EXPECT_EQ(run.exit_code, kExitCommandLineInvalid) << run.err;
  EXPECT_EQ(platform::ReadFileBytes(mine), mine_bytes);
  EXPECT_FALSE(fs::exists(caller / "update.txt"));

  run = RunProgram({"-UpdateRecording", "sub/00017.QRS", "Eva", "Berg", "56", "1.1.1950", "2", "180.6",
                    "72.4", "0", "update.txt"});
  ASSERT_EQ(run.exit_code, kExitDone) << run.err;
  const TPatientData patient = ReadPatient(mine);
  EXPECT_EQ(patient.patient_id, "56");
  EXPECT_DOUBLE_EQ(patient.height, 180.6);
  EXPECT_DOUBLE_EQ(patient.weight, 72.4);
  EXPECT_EQ(ReadFile(caller / "update.txt"),
            mine.string() + "\tEva\tBerg\t56\t01.01.1950\t2\t181\t72\t0\r\nSOUND=0\r\n");
  EXPECT_EQ(platform::ReadFileBytes(decoy), decoy_bytes);
  EXPECT_FALSE(fs::exists(home.DataDirectory() / "update.txt"));
}

}  // namespace
}  // namespace apptest
