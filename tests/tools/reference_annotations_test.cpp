#include "tools/validation/reference_annotations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/qrs_list.h"
#include "platform/archive.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

const Bytes kEnd = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF};

Bytes Record(uint32_t time_ms, char mnemonic, uint16_t number) {
  return {static_cast<uint8_t>(time_ms >> 24), static_cast<uint8_t>(time_ms >> 16),
          static_cast<uint8_t>(time_ms >> 8),  static_cast<uint8_t>(time_ms),
          static_cast<uint8_t>(mnemonic),      0,
          static_cast<uint8_t>(number >> 8),   static_cast<uint8_t>(number)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

struct Beat {
  int32_t position;
  int beat_class;
  bool operator==(const Beat&) const = default;
};

std::vector<Beat> BeatsOf(const TQRSList& list) {
  std::vector<Beat> beats;
  for (const TQRSComplex& b : list.Elements()) beats.push_back({b.GetPosition(), b.GetClass()});
  return beats;
}

TQRSList ListOf(const std::vector<Beat>& beats) {
  TQRSList list;
  for (const Beat& b : beats) list.Append(TQRSComplex(b.position, static_cast<uint8_t>(b.beat_class)));
  return list;
}

class RefAnnotationsTest : public ::testing::Test {
 protected:
  fs::path dir_ = testsupport::MakeTestDir("ref_annotations");
};

TEST(RefAnnotationFileName, ExtensionFollowsTheRecordPrefix) {
  struct Case {
    const char* path;
    const char* want;
  };
  const Case cases[] = {
      {"/data/MI100.QRS", "/data/MI100.MIN"},
      {"/data/XY100.QRS", "/data/XY100.XY"},
      {"/data/xy100.QRS", "/data/xy100.xy"},
      {"/data/V.QRS", "/data/V.VQN"},
      {"/data/mit100", "/data/mit100.MIN"},
      {"ah1201.QRS", "ah1201.AHN"},
      {"/a.b/E.x", "/a.b/E.VQN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(tools::GetRefAnnotationFileName(c.path), c.want);
  }
  for (const char* prefix : {"AH", "ES", "MI", "CU", "NS", "ST", "VF", "AF", "SV", "CO", "SA"}) {
    SCOPED_TRACE(prefix);
    EXPECT_EQ(tools::GetRefAnnotationFileName(std::string("/d/") + prefix + "7.QRS"),
              std::string("/d/") + prefix + "7." + prefix + "N");
  }
}

TEST(RefAnnotationMnemonics, EveryMnemonicAndEveryClass) {
  for (int c = 0; c < 256; ++c) {
    const char mnemonic = static_cast<char>(c);
    int want = kClassUndefined;
    if (std::string("NLRB").find(mnemonic) != std::string::npos) want = kClassNormal;
    if (std::string("AaJSen").find(mnemonic) != std::string::npos) want = kClassSVES;
    if (mnemonic == 'V' || mnemonic == 'F') want = kClassVES;
    if (mnemonic == 'r') want = kClassRonT;
    if (mnemonic == '/' || mnemonic == 'f') want = kClassPacedBeat;
    if (mnemonic == '|') want = kClassArtefact;
    SCOPED_TRACE(c);
    EXPECT_EQ(tools::RefAnnotationClass(mnemonic), want);
  }
  for (int beat_class = 0; beat_class < kClassCount; ++beat_class) {
    char want = 'Q';
    if (beat_class == kClassNormal) want = 'N';
    if (beat_class == kClassArtefact) want = '|';
    if (beat_class == kClassSVES) want = 'A';
    if (beat_class == kClassVES) want = 'V';
    if (beat_class == kClassRonT) want = 'r';
    if (beat_class == kClassPacedBeat) want = '/';
    SCOPED_TRACE(beat_class);
    EXPECT_EQ(tools::RefAnnotationMnemonic(beat_class), want);
  }
}

TEST_F(RefAnnotationsTest, WritesTheRecordsAndTheEndMarkerAndReadsThemBack) {
  const std::string file = (dir_ / "MI100.MIN").string();
  const TQRSList list = ListOf({{1250, kClassNormal}, {1251, kClassVES}, {9000, kClassUndefined}});
  ASSERT_TRUE(tools::WriteRefAnnotations(file, list, 125.0));
  EXPECT_EQ(platform::ReadFileBytes(file),
            Join({Record(10000, 'N', 1), Record(10008, 'V', 2), Record(72000, 'Q', 3), kEnd, kEnd}));

  TQRSList read;
  read.Append(TQRSComplex(7, kClassNormal));  // reading appends
  ASSERT_TRUE(tools::ReadRefAnnotations(file, read, 125.0));
  EXPECT_EQ(BeatsOf(read), (std::vector<Beat>{{7, 1}, {1250, 1}, {1251, 15}, {9000, 22}}));
  EXPECT_EQ(read.GetCounter(kClassNormal), 2);
  for (const TQRSComplex& b : read.Elements()) EXPECT_EQ(b.GetPriorClass(), kPriorNeverEdited);
}

// position / rate x 1000 loses a millisecond for about one position in a hundred, which then
// reads back one sample early; at rates of whole milliseconds per sample every position must
// survive the round trip.
TEST_F(RefAnnotationsTest, EveryPositionSurvivesTheRoundTrip) {
  for (const double rate : {125.0, 250.0, 500.0}) {
    SCOPED_TRACE(rate);
    TQRSList list;
    for (int32_t p = 0; p < 20000; ++p) list.Append(TQRSComplex(p, kClassNormal));
    const std::string file = (dir_ / "ES0100.ESN").string();
    ASSERT_TRUE(tools::WriteRefAnnotations(file, list, rate));
    TQRSList read;
    ASSERT_TRUE(tools::ReadRefAnnotations(file, read, rate));
    ASSERT_EQ(read.GetSize(), list.GetSize());
    int differ = 0;
    for (int i = 0; i < list.GetSize(); ++i)
      differ += read.GetAt(i).GetPosition() != list.GetAt(i).GetPosition();
    EXPECT_EQ(differ, 0);
  }
}

TEST_F(RefAnnotationsTest, ReadingStopsAtTheEndMarkerOrTheLastWholeRecord) {
  struct Case {
    const char* name;
    Bytes bytes;
    bool ok;
    std::vector<Beat> beats;
  };
  const Case cases[] = {
      {"end marker only", Join({kEnd, kEnd}), true, {}},
      {"records after the marker", Join({Record(8, 'V', 1), kEnd, Record(16, 'N', 2)}), true, {{1, 15}}},
      {"no marker, a cut record",
       Join({Record(8, 'N', 1), Record(80, 'f', 2), {0, 0, 1}}),
       true,
       {{1, 1}, {10, 29}}},
      {"one record", Record(8, 'N', 1), false, {}},
      {"empty", {}, false, {}},
      {"equal times", Join({Record(8, 'N', 1), Record(8, 'A', 2)}), true, {{1, 1}, {1, 9}}},
      {"time going back", Join({Record(800, 'N', 1), Record(792, 'N', 2), kEnd}), false, {}},
      {"negative time", Join({Record(0xFFFFFFF0u, 'N', 1), kEnd}), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir_ / "rec.MIN";
    testsupport::WriteBytes(file, c.bytes);
    TQRSList read;
    EXPECT_EQ(tools::ReadRefAnnotations(file.string(), read, 125.0), c.ok);
    EXPECT_EQ(BeatsOf(read), c.beats);
  }
  TQRSList read;
  EXPECT_FALSE(tools::ReadRefAnnotations((dir_ / "missing.MIN").string(), read, 125.0));
  // A time whose position no beat can hold.
  testsupport::WriteBytes(dir_ / "far.MIN", Join({Record(0x7FFFFFFF, 'N', 1), kEnd}));
  EXPECT_FALSE(tools::ReadRefAnnotations((dir_ / "far.MIN").string(), read, 10000.0));
  EXPECT_FALSE(tools::ReadRefAnnotations((dir_ / "far.MIN").string(), read, 0.0));
  EXPECT_EQ(read.GetSize(), 0);
}

TEST_F(RefAnnotationsTest, FailedWritesLeaveTheOldFile) {
  const fs::path file = dir_ / "MI100.MIN";
  const Bytes old = Join({Record(8, 'N', 1), kEnd, kEnd});
  testsupport::WriteBytes(file, old);
  EXPECT_FALSE(tools::WriteRefAnnotations(file.string(), TQRSList(), 125.0));
  EXPECT_FALSE(tools::WriteRefAnnotations(file.string(), ListOf({{1, 1}}), 0.0));
  EXPECT_FALSE(tools::WriteRefAnnotations(file.string(), ListOf({{1, 1}, {2000000000, 1}}), 1.0));
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_FALSE(tools::WriteRefAnnotations(file.string(), ListOf({{1, 1}}), 125.0));
  EXPECT_EQ(platform::ReadFileBytes(file), old);
  ::chmod(file.c_str(), 0644);
  EXPECT_FALSE(tools::WriteRefAnnotations((dir_ / "no/such/folder.MIN").string(), ListOf({{1, 1}}), 125.0));
}

}  // namespace
