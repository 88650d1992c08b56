#include "recorder/recorder_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/io_error.h"

namespace {

using P = TRecorderProtocol;
using ByteVector = std::vector<uint8_t>;

ByteVector B(std::string_view text) { return {text.begin(), text.end()}; }

ByteVector Concat(ByteVector a, const ByteVector& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Columns(const ByteVector& bytes, size_t first, size_t width) {
  return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(first),
                     bytes.begin() + static_cast<std::ptrdiff_t>(first + width));
}

TEST(TRecorderProtocol, EncodesCommandFrames) {
  ByteVector block(P::kDataBlockSize);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
  struct Case {
    const char* name;
    TRecorderCommand command;
    ByteVector text;
    ByteVector data;
  };
  const Case cases[] = {
      {"plain word", P::Word("Reset\r"), B("Reset\r"), {}},
      {"word without its return", P::Word("MON"), B("MON\r"), {}},
      {"stream start", P::StartStream(), {0x15}, {}},
      {"rec len 24", P::SetRecLen(24), B("SetRecLen\r"), {0x00, 0x18}},
      {"rec len 512", P::SetRecLen(512), B("SetRecLen\r"), {0x02, 0x00}},
      {"rec len 99 stays", P::SetRecLen(99), B("SetRecLen\r"), {0x00, 0x63}},
      {"rec len 0 goes out as 72", P::SetRecLen(0), B("SetRecLen\r"), {0x00, 0x48}},
      {"rec len 513 goes out as 72", P::SetRecLen(513), B("SetRecLen\r"), {0x00, 0x48}},
      {"file version 2", P::SetFileVers(2), B("SetFileVers\r"), {0, 0, 0, 2}},
      {"file version 512", P::SetFileVers(512), B("SetFileVers\r"), {0, 0, 2, 0}},
      {"file version 513 goes out as zeros", P::SetFileVers(513), B("SetFileVers\r"), {0, 0, 0, 0}},
      {"file version -1 goes out as zeros", P::SetFileVers(-1), B("SetFileVers\r"), {0, 0, 0, 0}},
      {"get flex block 1", P::GetFlexBlk(1), Concat(B("GetFlexBlk\r"), {0x01}), {}},
      {"get flex block 51", P::GetFlexBlk(51), Concat(B("GetFlexBlk\r"), {51}), {}},
      {"get flex block 0 goes out bare", P::GetFlexBlk(0), B("GetFlexBlk\r"), {}},
      {"set flex block", P::SetFlexBlk(1, block), B("SetFlexBlk\r"), Concat({0x01}, block)},
      {"set patient block", P::WithData("SetPatDat\r", block), B("SetPatDat\r"), block},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.command.text, c.text);
    EXPECT_EQ(c.command.data, c.data);
    EXPECT_EQ(c.command.Frame(), Concat(c.text, c.data));
  }
}

TEST(TRecorderProtocol, ConfirmsWhenTheCommandTextComesBack) {
  ByteVector block(P::kDataBlockSize, 0x15);  // the stream-start byte inside data is still checked
  struct Case {
    const char* name;
    TRecorderCommand command;
    ByteVector echo;
    bool confirmed;
  };
  const Case cases[] = {
      {"exact echo", P::Word("Reset\r"), B("Reset\r"), true},
      {"echo after leftovers", P::Word("Reset\r"), B("xxReset\r"), true},
      {"echo cut short", P::Word("Reset\r"), B("Reset"), false},
      {"other word", P::Word("Reset\r"), B("POff\r\r"), false},
      {"data word only compared", P::WithData("SetPatDat\r", block), B("SetPatDat\r"), true},
      {"data word missing", P::WithData("SetPatDat\r", block), B("SetRecDat\r"), false},
      {"flex block 0 compares the bare word", P::GetFlexBlk(0), B("GetFlexBlk\r"), true},
      {"flex block number compared", P::GetFlexBlk(1), Concat(B("GetFlexBlk\r"), {2}), false},
      {"stream start with no echo", P::StartStream(), {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(P::IsConfirmed(c.command, c.echo), c.confirmed);
  }
}

TEST(TRecorderProtocol, QueryReplyHandsOverOnlyTheAnswer) {
  const ByteVector answer{0x00, 0x2A};
  struct Case {
    const char* name;
    TRecorderCommand command;
    ByteVector received;
    size_t answer_size;
    int result;
    ByteVector answer;
  };
  const Case cases[] = {
      {"complete", P::Word("BATStat\r"), Concat(B("BATStat\r"), answer), 2, P::kQueryOk, answer},
      {"extra bytes dropped", P::Word("BATStat\r"), Concat(B("BATStat\r"), {0, 0x2A, 0x99}), 2, P::kQueryOk,
       answer},
      {"answer short", P::Word("BATStat\r"), Concat(B("BATStat\r"), {0}), 2, P::kQueryNoData, {}},
      {"nothing came", P::Word("BATStat\r"), {}, 2, P::kQueryNoData, {}},
      {"echo differs", P::Word("BATStat\r"), Concat(B("MMCStat\r"), answer), 2, P::kQueryConfirmError, {}},
      {"flex block 0 echo is the bare word", P::GetFlexBlk(0), Concat(B("GetFlexBlk\r"), answer), 2,
       P::kQueryOk, answer},
      {"flex block 1 echo carries the number", P::GetFlexBlk(1),
       Concat(Concat(B("GetFlexBlk\r"), {1}), answer), 2, P::kQueryOk, answer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRecorderQueryReply reply = P::ParseQueryReply(c.command, c.received, c.answer_size);
    EXPECT_EQ(reply.result, c.result);
    EXPECT_EQ(reply.answer, c.answer);
  }
}

TEST(TRecorderProtocol, ResultTextsAsTheTesterLogsThem) {
  EXPECT_EQ(P::QueryResultText(0), " command - OK");
  EXPECT_EQ(P::QueryResultText(-3), " command - Command confirmation error");
  EXPECT_EQ(P::QueryResultText(-4), " command - Status No Data error");
  EXPECT_EQ(P::QueryResultText(-9999), " command - Status Request illegal");
  EXPECT_EQ(P::QueryResultText(-5), " command - unknown return code");
  EXPECT_EQ(P::ConfirmResultText(true), " command - OK");
  EXPECT_EQ(P::ConfirmResultText(false), " command - ERROR");

  EXPECT_EQ(P::CardStatusText(0), "MMC/SD-Card No card in ZK-131");
  EXPECT_EQ(P::CardStatusText(8), "MMC/SD-Card Recording is actice");
  EXPECT_EQ(P::CardStatusText(9), "MMC/SD-Card Unknown error");
  EXPECT_EQ(P::CardStatusText(4711), "MMC/SD-Card Unknown error");
  EXPECT_EQ(P::RecordStatusText(0), "Record Status: IDLE");
  EXPECT_EQ(P::RecordStatusText(1), "Record Status: RECORD SUCCESSFUL STARTED");
  EXPECT_EQ(P::RecordStatusText(5), "Record Status: RECORD START ERROR -  5");
  EXPECT_EQ(P::RecordStatusText(123), "Record Status: RECORD START ERROR - 123");
}

TEST(TRecorderProtocol, ParsesNumberAnswers) {
  EXPECT_EQ(P::ParseStatus(ByteVector{0x01, 0x02}), 0x0102);
  EXPECT_EQ(P::ParseLength(ByteVector{0x00, 0x01, 0x02, 0x03}), 0x00010203u);
  EXPECT_EQ(P::ParseLength(ByteVector{0x7F, 0xFF, 0xFF, 0xFF}), 0x7FFFFFFFu);
  EXPECT_EQ(P::ParseLength(ByteVector{0x80, 0x00, 0x00, 0x00}), std::nullopt);
  EXPECT_EQ(P::ParseLength(ByteVector{0xFF, 0xFF, 0xFF, 0xFF}), std::nullopt);
}

TEST(TRecorderProtocol, ShortAnswersThrow) {
  const ByteVector one{0x01};
  const ByteVector three{0, 0, 1};
  const ByteVector ident(24, ' ');
  EXPECT_THROW(P::ParseStatus(one), platform::FormatError);
  EXPECT_THROW(P::ParseLength(three), platform::FormatError);
  EXPECT_THROW(P::ParseIdent(ident), platform::FormatError);
  EXPECT_THROW(P::DecodePatientRecord(ByteVector(239, ' ')), platform::FormatError);
}

TEST(TRecorderProtocol, IdentificationAndFirmwareLevel) {
  const TRecorderIdent ident = P::ParseIdent(B("ZK-131 V1.20    4711-0815"));
  EXPECT_EQ(ident.type, "ZK-131");
  EXPECT_EQ(ident.version, "V1.20");
  EXPECT_EQ(ident.serial, "4711-0815");
  EXPECT_TRUE(ident.IsSdCardRecorder());
  EXPECT_FALSE(P::ParseIdent(B("ZK-130 V1.20    1        ")).IsSdCardRecorder());

  struct Case {
    const char* version;
    bool firmware_120;
  };
  const Case cases[] = {{"V1.01", false}, {"V1.1", false}, {"V1.19", false}, {"V1.2", true},
                        {"V1.20", true},  {"V2.00", true}, {"V", false},     {"", false},
                        {"Vx.yz", false}, {"V1.x", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TRecorderIdent i;
    i.version = c.version;
    EXPECT_EQ(i.HasFirmware120(), c.firmware_120);
  }
}

TEST(TRecorderProtocol, KindsAndChannels) {
  const int cases[][2] = {{2, 2}, {3, 3}, {4, 3}, {0, 0}, {1, 0}, {5, 0}};
  for (const auto& c : cases) EXPECT_EQ(P::ChannelCount(c[0]), c[1]) << "kind " << c[0];
}

TRecorderPatientRecord SampleRecord() {
  TRecorderPatientRecord r;
  r.last_name = "Müller";
  r.first_name = "Erika";
  r.pat_id = "4711";
  r.date_of_birth = 18019.0;  // 1 May 1949
  r.sex = 1;
  r.height = 175.0;
  r.weight = 68.5;
  r.pace_maker = true;
  r.start_date = 45422.0;
  r.start_time = 11.0 / 24.0;
  r.pace_maker_detection = false;
  return r;
}

TEST(TRecorderProtocol, PatientRecordColumns) {
  const ByteVector bytes = P::EncodePatientRecord(SampleRecord());
  ASSERT_EQ(bytes.size(), P::kPatientRecordSize);
  struct Case {
    size_t first;
    size_t width;
    std::string text;
  };
  const Case cases[] = {
      {0, 20, "M\xFCller              "},
      {20, 20, "Erika               "},
      {40, 20, "4711                "},
      {60, 10, "18019     "},
      {70, 5, "1    "},
      {75, 10, "175.00000 "},
      {85, 10, "68.50000  "},
      {95, 5, "P    "},
      {100, 10, "45422     "},
      {110, 20, ".458333333333333    "},
      {130, 1, "N"},
      {131, 109, std::string(109, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(Columns(bytes, c.first, c.width), c.text);
  }
  const TRecorderCommand command = P::PatientData(SampleRecord());
  EXPECT_EQ(command.text, B("PDat\r"));
  EXPECT_EQ(command.data, bytes);
}

TEST(TRecorderProtocol, OverLongFieldsAreCutToTheirColumn) {
  TRecorderPatientRecord r = SampleRecord();
  r.last_name = std::string(30, 'L');
  r.pat_id = std::string(25, '9');
  r.sex = -123456;
  r.height = 1e12;
  r.date_of_birth = 1e14;
  r.start_time = 12345.0;
  const ByteVector bytes = P::EncodePatientRecord(r);
  ASSERT_EQ(bytes.size(), P::kPatientRecordSize);
  EXPECT_EQ(Columns(bytes, 0, 20), std::string(20, 'L'));
  EXPECT_EQ(Columns(bytes, 20, 20), "Erika               ");
  EXPECT_EQ(Columns(bytes, 40, 20), std::string(20, '9'));
  EXPECT_EQ(Columns(bytes, 60, 10), "1000000000");
  EXPECT_EQ(Columns(bytes, 70, 5), "-1234");
  EXPECT_EQ(Columns(bytes, 75, 10), "1000000000");
  EXPECT_EQ(Columns(bytes, 85, 10), "68.50000  ");
  EXPECT_EQ(Columns(bytes, 95, 5), "P    ");
  EXPECT_EQ(Columns(bytes, 110, 20), "12345.00000000000000");
  EXPECT_EQ(Columns(bytes, 130, 1), "N");
}

TEST(TRecorderProtocol, PatientRecordReadsBack) {
  const TRecorderPatientRecord want = SampleRecord();
  ByteVector bytes = P::EncodePatientRecord(want);
  TRecorderPatientRecord got = P::DecodePatientRecord(bytes);
  EXPECT_NEAR(got.start_time, want.start_time, 1e-14);
  got.start_time = want.start_time;
  EXPECT_EQ(got, want);

  bytes[95] = 'X';  // anything but "N" is a pacemaker
  bytes[130] = '?';
  got = P::DecodePatientRecord(bytes);
  EXPECT_TRUE(got.pace_maker);
  EXPECT_TRUE(got.pace_maker_detection);

  bytes[76] = 'a';
  EXPECT_THROW(P::DecodePatientRecord(bytes), platform::FormatError);
}

ByteVector ReviewStream(size_t lead, std::string_view type) {
  ByteVector s(lead, 0x00);
  const ByteVector head{'=', 0x81, 0x00, 0x01, 0x02, 0x03};
  s.insert(s.end(), head.begin(), head.end());
  std::string type_text(type);
  type_text.resize(16, ' ');
  s.insert(s.end(), type_text.begin(), type_text.end());
  const ByteVector record = P::EncodePatientRecord(SampleRecord());
  s.insert(s.end(), record.begin(), record.end());
  s.insert(s.end(), 4, 0x00);
  s.insert(s.end(), {0x11, 0x22});  // first ECG bytes
  return s;
}

TEST(TRecorderProtocol, ReviewHeadNamesTheRecorder) {
  ByteVector no_0x81 = ReviewStream(3, "ZK-130");
  const ByteVector full = ReviewStream(0, "ZK-130");
  const ByteVector cut_in_type(full.begin(), full.begin() + 10);
  no_0x81[4] = 0x80;
  struct Case {
    const char* name;
    ByteVector stream;
    int kind;
  };
  const Case cases[] = {
      {"two-channel", ReviewStream(0, "ZK-130"), P::kKindZK130},
      {"three-channel after noise", ReviewStream(29, "ZK-133 rev B"), P::kKindZK133},
      {"marker past 30 bytes", ReviewStream(30, "ZK-130"), 0},
      {"no 0x81 after =", no_0x81, 0},
      {"unknown type", ReviewStream(0, "ZK-131"), 0},
      {"empty stream", {}, 0},
      {"cut inside the type", cut_in_type, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(P::ReviewKind(c.stream), c.kind);
  }

  const ByteVector stream = ReviewStream(7, "ZK-133");
  const TRecorderReviewHead head = P::ParseReviewHead(stream);
  EXPECT_EQ(head.marker_offset, 7u);
  EXPECT_EQ(head.data_length, 0x00010203u);
  EXPECT_EQ(head.kind, P::kKindZK133);
  EXPECT_EQ(head.type, "ZK-133");
  EXPECT_EQ(head.record.last_name, "Müller");
  EXPECT_TRUE(head.record.pace_maker);
  ASSERT_EQ(head.ecg_offset, 7u + P::kReviewHeadSize);
  EXPECT_EQ(stream[head.ecg_offset], 0x11);

  EXPECT_THROW(P::ParseReviewHead(ReviewStream(30, "ZK-130")), platform::FormatError);
  const ByteVector cut(stream.begin(), stream.begin() + 7 + 265);
  EXPECT_THROW(P::ParseReviewHead(cut), platform::FormatError);
}

TEST(TRecorderProtocol, DecodesMonitorSamples) {
  struct Case {
    uint8_t high;
    uint8_t low;
    int sample;
  };
  const Case cases[] = {
      {0x90, 0x00, -2048}, {0x8F, 0x7F, 2047}, {0x80, 0x00, 0},    {0x80, 0x01, 1},
      {0x9F, 0x7F, -1},    {0x81, 0x00, 128},  {0xEF, 0xFF, 2047},  // marker, unused bit and the low byte's
                                                                    // top bit are not sample bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int{c.high} << " " << int{c.low});
    EXPECT_EQ(P::DecodeMonitorSample(c.high, c.low), c.sample);
  }
  EXPECT_TRUE(P::IsFrameStart(0x80));
  EXPECT_FALSE(P::IsFrameStart(0x7F));
}

}  // namespace
