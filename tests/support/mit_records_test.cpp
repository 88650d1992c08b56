#include "support/mit_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "support/wfdb_converter.h"
#include "support/wfdb_record.h"
#include "support/wfdb_test_files.h"
#include "win/prompt.h"

namespace coretest {
namespace {

const std::filesystem::path kMitdb = std::filesystem::path(ZK_SHARED_DIR) / "data" / "mitdb";

// Opens the ".QRS" as the program does and expects an unanalysed recording of that length.
void ExpectOpensUnanalysed(const std::filesystem::path& qrs, int minutes, int channels) {
  platform::MemoryProfileStore profile;
  const platform::SystemClock clock;
  win::ScriptedPrompt prompt;
  const win::ScopedPrompt prompt_guard(prompt);
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
  ASSERT_TRUE(doc.OnOpenDocument(qrs.string()));
  EXPECT_EQ(doc.GetRecordingMinutes(), minutes);
  EXPECT_EQ(doc.GetChannelCount(), channels);
  EXPECT_EQ(doc.GetQRSList().GetSize(), 0);
  std::filesystem::path cmp = qrs;
  cmp.replace_extension(".CMP");
  EXPECT_EQ(CZK470Doc::FindDataFile(qrs.string()), cmp.string()) << "the batch finds the sample file";

  // The statistic's way: the four members into its own objects.
  TPatientData patient(clock);
  TRecordingData recording(clock);
  TQRSList beats;
  TEventList events;
  EXPECT_NO_THROW(CZK470Doc::ReadRecordingFile(qrs.string(), patient, recording, beats, events));
  EXPECT_EQ(beats.GetSize(), 0);
}

// What the statistic must find in the ".ANO" of a record, computed here from the annotations: one
// reference per beat and flutter mark inside the signal, at the nearest 125 Hz sample, 8 ms each.
std::vector<testsupport::ReferenceBeat> ExpectedReferences(
    const std::vector<testsupport::WfdbAnnotation>& annotations, double rate, int64_t length) {
  std::vector<testsupport::ReferenceBeat> references;
  for (const testsupport::WfdbAnnotation& a : annotations) {
    if (!testsupport::IsWfdbBeat(a.code) && !testsupport::IsWfdbFlutterMark(a.code)) continue;
    if (a.sample >= length) continue;
    const long position = std::lround(static_cast<double>(a.sample) * 125.0 / rate);
    references.push_back(
        {static_cast<int32_t>(position * 8), a.code == 1 ? '.' : testsupport::WfdbMnemonic(a.code)});
  }
  return references;
}

TEST(MitRecords, FromWfdbWritesARecordingThatOpens) {
  const std::filesystem::path dir = testsupport::MakeTestDir("mitrec");
  // 150 s at 128 Hz: two whole minutes shown; beats where milliseconds would truncate onto the
  // sample before (sample 3 is 23.4 ms, 2.93 samples at 125 Hz).
  std::vector<std::vector<int16_t>> signals(2, std::vector<int16_t>(150 * 128, 1024));
  const std::vector<testsupport::TestAnnotation> annotations = {
      {3, 1}, {128, 5}, {300, 31}, {301, 6}, {7000, 32}, {7001, 13}, {7200, 33}, {15000, 28, "(N"}};
  const std::filesystem::path record = testsupport::WriteTestRecord(dir, "rec", 128, signals, annotations);

  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunTestdataCliWithDocument({"from-wfdb", record.string(), (dir / "MIT900").string()}, out, err),
            0)
      << err.str();
  EXPECT_NE(out.str().find("MIT900.QRS (not analysed)"), std::string::npos) << out.str();
  ExpectOpensUnanalysed(dir / "MIT900.QRS", 2, 2);

  const std::vector<testsupport::ReferenceBeat> expected = {{3 * 8, '.'},   {125 * 8, 'V'},  {293 * 8, '!'},
                                                            {294 * 8, 'F'}, {6836 * 8, '['}, {6837 * 8, 'Q'},
                                                            {7031 * 8, ']'}};
  EXPECT_EQ(testsupport::ReadAnoFile(dir / "MIT900.ANO"), expected);

  // A ".QRS" that cannot be written fails the command, naming the file; the converted files stay.
  std::filesystem::create_directories(dir / "MIT901.QRS" / "in the way");
  std::ostringstream out2;
  std::ostringstream err2;
  EXPECT_EQ(RunTestdataCliWithDocument({"from-wfdb", record.string(), (dir / "MIT901").string()}, out2, err2),
            1);
  EXPECT_NE(err2.str().find("MIT901.QRS"), std::string::npos) << err2.str();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "MIT901.QRS"));
  EXPECT_TRUE(std::filesystem::exists(dir / "MIT901.ANO"));
}

TEST(MitRecords, ConvertsRecords100And800ForTheValidation) {
  if (!std::filesystem::exists(kMitdb / "100.hea")) GTEST_SKIP() << "no MIT-BIH records in " << kMitdb;
  const std::filesystem::path dir = testsupport::MakeTestDir("mitrec");
  for (const char* name : {"100", "800"}) {
    SCOPED_TRACE(name);
    const MitRecordFiles files = ConvertMitRecord(kMitdb / name, dir);
    EXPECT_EQ(files.qrs, dir / ("MIT" + std::string(name) + ".QRS"));
    ExpectOpensUnanalysed(files.qrs, 30, 2);

    const testsupport::WfdbHeader header = testsupport::ReadWfdbHeader(kMitdb / (std::string(name) + ".hea"));
    const std::vector<testsupport::WfdbAnnotation> annotations =
        testsupport::ReadWfdbAnnotations(kMitdb / (std::string(name) + ".atr"));
    const std::vector<testsupport::ReferenceBeat> expected =
        ExpectedReferences(annotations, header.sampling_frequency, header.samples_per_signal);
    const std::vector<testsupport::ReferenceBeat> written = testsupport::ReadAnoFile(files.ano);
    ASSERT_EQ(written.size(), expected.size());
    const auto differs = std::mismatch(written.begin(), written.end(), expected.begin());
    EXPECT_TRUE(differs.first == written.end())
        << "reference " << (differs.first - written.begin()) << ": " << differs.first->time_ms << " ms '"
        << differs.first->label << "', expected " << differs.second->time_ms << " ms '"
        << differs.second->label << "'";
    EXPECT_TRUE(std::is_sorted(written.begin(), written.end(),
                               [](const auto& a, const auto& b) { return a.time_ms < b.time_ms; }));
    if (std::string(name) == "100") {
      EXPECT_EQ(written.size(), 2273u);
      EXPECT_EQ(std::count_if(written.begin(), written.end(), [](const auto& r) { return r.label == 'A'; }),
                33);
      EXPECT_EQ(std::count_if(written.begin(), written.end(), [](const auto& r) { return r.label == 'V'; }),
                1);
    }
  }
}

}  // namespace
}  // namespace coretest
