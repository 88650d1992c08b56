#include "support/wfdb_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/io_error.h"
#include "support/test_files.h"
#include "support/wfdb_test_files.h"

namespace testsupport {
namespace {

const std::filesystem::path kMitdb = std::filesystem::path(ZK_SHARED_DIR) / "data" / "mitdb";

std::filesystem::path TestDir() { return MakeTestDir("wfdb"); }

TEST(WfdbRecord, ReadsMitBihRecord100) {
  if (!std::filesystem::exists(kMitdb / "100.hea")) GTEST_SKIP() << "no MIT-BIH records in " << kMitdb;
  const WfdbRecord record = ReadWfdbRecord(kMitdb / "100");  // also verifies both checksums
  EXPECT_EQ(record.header.record_name, "100");
  EXPECT_EQ(record.header.sampling_frequency, 360.0);
  EXPECT_EQ(record.header.samples_per_signal, 650000);
  ASSERT_EQ(record.header.signals.size(), 2u);
  EXPECT_EQ(record.header.signals[0].description, "MLII");
  EXPECT_EQ(record.header.signals[1].description, "V5");
  EXPECT_EQ(record.header.signals[0].gain, 200.0);
  EXPECT_EQ(record.header.signals[0].baseline, 1024);
  ASSERT_EQ(record.samples[0].size(), 650000u);
  // The first frames as the .dat holds them: e3 33 f3 -> 995, 1011; frame 8 is e8 33 f0.
  EXPECT_EQ(record.samples[0][0], 995);
  EXPECT_EQ(record.samples[1][0], 1011);
  EXPECT_EQ(record.samples[0][0], record.header.signals[0].initial_value);
  EXPECT_EQ(record.samples[1][0], record.header.signals[1].initial_value);
  EXPECT_EQ(record.samples[0][8], 1000);
  EXPECT_EQ(record.samples[1][8], 1008);

  const std::vector<WfdbAnnotation> annotations = ReadWfdbAnnotations(kMitdb / "100.atr");
  std::map<char, int> beats;
  int other = 0;
  for (const WfdbAnnotation& a : annotations) {
    if (IsWfdbBeat(a.code)) {
      ++beats[WfdbMnemonic(a.code)];
    } else {
      ++other;
    }
  }
  // The database's own tally for record 100: 2239 normal, 33 atrial premature, 1 ventricular.
  EXPECT_EQ(beats['N'], 2239);
  EXPECT_EQ(beats['A'], 33);
  EXPECT_EQ(beats['V'], 1);
  EXPECT_EQ(beats.size(), 3u);
  EXPECT_EQ(other, 1) << "the rhythm annotation";
  EXPECT_EQ(annotations.front().aux, std::string("(N\0", 3));
  EXPECT_EQ(annotations.front().sample, 18);
  EXPECT_EQ(annotations[1].sample, 77);
  for (size_t i = 1; i < annotations.size(); ++i) EXPECT_GE(annotations[i].sample, annotations[i - 1].sample);
  EXPECT_LT(annotations.back().sample, 650000);
}

TEST(WfdbRecord, ReadsHeaderVariantsAndInterleavedSignals) {
  const std::filesystem::path dir = TestDir();
  // Three signals in one 212 file (odd per frame: samples pair across frames), one in a format-16 file.
  const std::vector<std::vector<int16_t>> three = {{1, -2, 2047, -2048, 5}, {10, 20, 30, 40, 50}, {-7, 0, 7, 100, -100}};
  WriteBytes(dir / "r.dat", Encode212(three));
  std::vector<uint8_t> sixteen;
  for (int16_t v : {int16_t{-30000}, int16_t{1}, int16_t{2}, int16_t{3}, int16_t{30000}}) {
    sixteen.push_back(static_cast<uint8_t>(v));
    sixteen.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
  }
  // Four header bytes before the samples of the 16-bit file.
  sixteen.insert(sixteen.begin(), {9, 9, 9, 9});
  WriteBytes(dir / "r16.dat", sixteen);
  WriteText(dir / "r.hea",
            "# comment first\n\n"
            "r 4 250/250(0) 5 10:00:00 01/01/2000\n"
            "r.dat 212 200(0)/mV 12 0 1 " + std::to_string(Checksum(three[0])) + " 0 ECG I\n"
            "r.dat 212x1 0 12 7\n"
            "r.dat 212 100/mV\n"
            "r16.dat 16+4 1000 16 0 -30000 " + std::to_string(Checksum({-30000, 1, 2, 3, 30000})) + " 0 pressure\n"
            "# trailing info\n");
  const WfdbRecord record = ReadWfdbRecord(dir / "r");
  EXPECT_EQ(record.header.sampling_frequency, 250.0);
  EXPECT_EQ(record.header.samples_per_signal, 5);
  ASSERT_EQ(record.samples.size(), 4u);
  EXPECT_EQ(record.samples[0], three[0]);
  EXPECT_EQ(record.samples[1], three[1]);
  EXPECT_EQ(record.samples[2], three[2]);
  EXPECT_EQ(record.samples[3], (std::vector<int16_t>{-30000, 1, 2, 3, 30000}));
  EXPECT_EQ(record.header.signals[0].description, "ECG I");
  EXPECT_EQ(record.header.signals[0].baseline, 0);
  EXPECT_EQ(record.header.signals[1].gain, 200.0) << "gain 0 means the default";
  EXPECT_EQ(record.header.signals[1].baseline, 7) << "no baseline: the ADC zero";
  EXPECT_EQ(record.header.signals[2].gain, 100.0);
  EXPECT_EQ(record.header.signals[3].byte_offset, 4);
}

TEST(WfdbRecord, ReadsEveryAnnotationWord) {
  const std::filesystem::path dir = TestDir();
  const std::vector<TestAnnotation> written = {
      {5, 28, "(AFIB"}, {300, 1}, {300 + 1023, 5, "", 2, 1, 3}, {100000, 8}, {100001, 12, "x"}, {5000000, 1}};
  WriteBytes(dir / "a.atr", EncodeAnnotations(written));
  const std::vector<WfdbAnnotation> read = ReadWfdbAnnotations(dir / "a.atr");
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < read.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read[i].sample, written[i].sample);
    EXPECT_EQ(read[i].code, written[i].code);
    EXPECT_EQ(read[i].aux, written[i].aux);
    EXPECT_EQ(read[i].subtype, written[i].subtype);
    EXPECT_EQ(read[i].channel, written[i].channel);
    EXPECT_EQ(read[i].number, written[i].number);
  }
  // Channel and number words are written only when they change: they carry over to the next
  // annotations, the subtype does not.
  WriteBytes(dir / "b.atr", {0x05, 0x04, 0x02, 0xF8, 0x07, 0xF0, 0x03, 0xF4, 0x01, 0x04, 0x00, 0x00});
  const std::vector<WfdbAnnotation> carried = ReadWfdbAnnotations(dir / "b.atr");
  ASSERT_EQ(carried.size(), 2u);
  EXPECT_EQ(carried[0].channel, 2);
  EXPECT_EQ(carried[0].number, 7);
  EXPECT_EQ(carried[0].subtype, 3);
  EXPECT_EQ(carried[1].sample, 6);
  EXPECT_EQ(carried[1].channel, 2);
  EXPECT_EQ(carried[1].number, 7);
  EXPECT_EQ(carried[1].subtype, 0);

  struct Code {
    int code;
    char mnemonic;
    bool beat;
    uint8_t beat_class;
  };
  const Code codes[] = {{1, 'N', true, 1},   {2, 'L', true, 1},   {8, 'A', true, 9},   {4, 'a', true, 9},
                        {5, 'V', true, 15},  {6, 'F', true, 15},  {41, 'r', true, 15}, {12, '/', true, 29},
                        {38, 'f', true, 29}, {16, '|', true, 5},  {13, 'Q', true, 22}, {34, 'e', true, 1},
                        {28, '+', false, 22}, {31, '!', false, 22}, {24, 'p', false, 22}};
  for (const Code& c : codes) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(WfdbMnemonic(c.code), c.mnemonic);
    EXPECT_EQ(IsWfdbBeat(c.code), c.beat);
    if (c.beat) {
      EXPECT_EQ(WfdbBeatClass(c.code), c.beat_class);
    }
  }
}

TEST(WfdbRecord, RefusesDamagedFiles) {
  const std::filesystem::path dir = TestDir();
  const std::vector<std::vector<int16_t>> signals = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  WriteBytes(dir / "ok.dat", Encode212(signals));
  const std::string good_signals = "ok.dat 212 200 11 0 1 " + std::to_string(Checksum(signals[0])) +
                                   "\nok.dat 212 200 11 0 5 " + std::to_string(Checksum(signals[1])) + "\n";
  struct Case {
    const char* name;
    std::string header;
    const char* fault;
  };
  const Case cases[] = {
      {"no record line", "# nothing\n", "no record line"},
      {"fewer signal lines", "bad 2 360 4\nok.dat 212\n", "describes 1"},
      {"too many signals", "bad 99 360 4\n", "signal count"},
      {"multi-segment", "bad/2 2 360 4\n", "multi-segment"},
      {"unsupported format", "bad 2 360 4\nok.dat 310\nok.dat 310\n", "format 310"},
      {"skew", "bad 2 360 4\nok.dat 212:3\nok.dat 212\n", "skew"},
      {"file outside the folder", "bad 2 360 4\n../ok.dat 212\nok.dat 212\n", "beside the header"},
      {"more samples than the file", "bad 2 360 5\n" + good_signals, "holds 4"},
      {"checksum", "bad 2 360 4\nok.dat 212 200 11 0 1 77\nok.dat 212 200 11 0 5 " + std::to_string(Checksum(signals[1])) + "\n",
       "checksum"},
      {"missing signal file", "bad 2 360 4\nnone.dat 212\nnone.dat 212\n", "none.dat"},
      {"negative rate", "bad 2 -360 4\n" + good_signals, "sampling frequency"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(dir / "bad.hea", c.header);
    try {
      ReadWfdbRecord(dir / "bad");
      ADD_FAILURE() << "accepted";
    } catch (const platform::IoError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
  }

  struct AnnotationCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;
  };
  const AnnotationCase annotation_cases[] = {
      {"aux cut short", {0x05, 0x04, 0x08, 0xFC, 'a', 'b'}, "auxiliary"},
      {"skip cut short", {0x00, 0xEC, 0x00, 0x00}, "skip"},
      {"code 55", {0x01, 0xDC}, "code 55"},
      {"skip before the start", {0x00, 0xEC, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x04}, "before the record"},
  };
  for (const AnnotationCase& c : annotation_cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(dir / "bad.atr", c.bytes);
    try {
      ReadWfdbAnnotations(dir / "bad.atr");
      ADD_FAILURE() << "accepted";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
  }
  // A file that just ends (no end word) gives what it holds.
  WriteBytes(dir / "short.atr", {0x05, 0x04});
  EXPECT_EQ(ReadWfdbAnnotations(dir / "short.atr").size(), 1u);
}

}  // namespace
}  // namespace testsupport
