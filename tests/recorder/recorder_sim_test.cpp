#include "support/recorder_sim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "recorder/raw/raw_image.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_protocol.h"
#include "support/recorder_sim_cli.h"

namespace {

using P = TRecorderProtocol;
using Bytes = std::vector<uint8_t>;
using recsim::PtyRecorder;
using recsim::RecorderModel;
using recsim::SimConfig;

Bytes B(std::string_view text) { return {text.begin(), text.end()}; }

// The workstation's end of the line, as a link would drive it.
class Line {
 public:
  explicit Line(const PtyRecorder& sim) {
    EXPECT_TRUE(port_.Open(sim.DevicePath(), 115200)) << port_.Error();
  }

  Bytes Ask(std::string_view text, size_t expect, int timeout_ms = 3000) {
    return Ask(B(text), expect, timeout_ms);
  }
  Bytes Ask(const Bytes& bytes, size_t expect, int timeout_ms = 3000) {
    port_.Write(bytes);
    return Collect(expect, timeout_ms);
  }
  Bytes Collect(size_t expect, int timeout_ms = 3000) {
    Bytes got(expect);
    got.resize(port_.Read(got, timeout_ms));
    return got;
  }
  void Send(std::string_view text) { port_.Write(text); }

 private:
  platform::SerialPort port_;
};

TRecorderQueryReply Query(Line& line, const TRecorderCommand& command, size_t answer_size,
                          int timeout_ms = 3000) {
  return P::ParseQueryReply(command, line.Ask(command.Frame(), command.text.size() + answer_size, timeout_ms),
                            answer_size);
}

Bytes Pattern(size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

TEST(RecorderSim, IdentAnswersOnlyOnTheSdCardRecorder) {
  struct Case {
    int kind;
    const char* version;
    bool answers;
    bool firmware120;
  };
  for (const Case& c : {Case{4, "V1.20", true, true}, Case{4, "V1.01", true, false},
                        Case{2, "V1.20", false, false}, Case{3, "V1.20", false, false}}) {
    SCOPED_TRACE(c.kind);
    SimConfig config = SimConfig::ForKind(c.kind);
    config.version = c.version;
    PtyRecorder sim(config);
    Line line(sim);
    const TRecorderQueryReply reply =
        Query(line, P::Word("Ident\r"), P::kIdentAnswerSize, c.answers ? 3000 : 200);
    if (!c.answers) {
      EXPECT_EQ(reply.result, P::kQueryNoData);
      continue;
    }
    ASSERT_EQ(reply.result, P::kQueryOk);
    const TRecorderIdent ident = P::ParseIdent(reply.answer);
    EXPECT_EQ(ident.type, "ZK-131");
    EXPECT_EQ(ident.version, c.version);
    EXPECT_EQ(ident.serial, config.serial);
    EXPECT_EQ(ident.HasFirmware120(), c.firmware120);
  }
}

TEST(RecorderSim, ReviewStreamCarriesHeadAndSampleData) {
  for (const int kind : {P::kKindZK130, P::kKindZK133}) {
    SCOPED_TRACE(kind);
    SimConfig config = SimConfig::ForKind(kind);
    config.ecg = Pattern(5000, 3);
    config.review_prefix = 5;
    PtyRecorder sim(config);
    Line line(sim);
    ASSERT_TRUE(P::IsConfirmed(P::Word("REV\r"), line.Ask("REV\r", 4)));
    uint32_t length = 0;
    {
      const auto lock = sim.Lock();
      length = sim.Model().ReviewLength();
    }
    const Bytes stream = line.Ask(Bytes{P::kStartStream}, length);
    ASSERT_EQ(stream.size(), length);
    const TRecorderReviewHead head = P::ParseReviewHead(stream);
    EXPECT_EQ(head.kind, kind);
    EXPECT_EQ(head.data_length, length);
    EXPECT_EQ(head.marker_offset, 5u);
    EXPECT_EQ(head.record, config.review_record);
    // The read-out keeps the bytes from the head's end up to, not including, the last one.
    EXPECT_EQ(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(head.ecg_offset), stream.end() - 1),
              config.ecg);
    // "ExREV\r" ends the stream: nothing follows its echo.
    EXPECT_EQ(line.Ask("ExREV\r", 100, 200), B("ExREV\r"));
  }
}

TEST(RecorderSim, ProgrammedRecordComesBackInTheReviewHead) {
  RecorderModel model(SimConfig::ForKind(P::kKindZK130));
  TRecorderPatientRecord record;
  record.last_name = "Schmidt";
  record.first_name = "Anna";
  record.height = 175;
  record.start_time = 0.75;
  EXPECT_EQ(model.Receive("PDat\r"), B("PDat\r"));
  EXPECT_TRUE(model.Receive(P::EncodePatientRecord(record)).empty());
  model.Receive("REV\r");
  model.Receive(Bytes{P::kStartStream});
  EXPECT_EQ(P::ParseReviewHead(model.DrainStream()).record, record);
  EXPECT_EQ(model.CommandWords(), (std::vector<std::string>{"PDat", "REV", "\x15"}));
}

TEST(RecorderSim, SdCardReadOutGivesBlocksEcgAndVoiceExactly) {
  SimConfig config = SimConfig::WithSyntheticEcg(P::kKindZK131, 2, 7, 3000);
  PtyRecorder sim(config);
  Line line(sim);

  TRecorderQueryReply reply = Query(line, P::Word("GetPatDat\r"), P::kDataBlockSize);
  ASSERT_EQ(reply.result, P::kQueryOk);
  EXPECT_EQ(reply.answer, Bytes(config.patient_block.begin(), config.patient_block.end()));
  reply = Query(line, P::Word("GetFileVers\r"), P::kLengthAnswerSize);
  ASSERT_EQ(reply.result, P::kQueryOk);
  EXPECT_EQ(P::ParseLength(reply.answer), 2u);
  reply = Query(line, P::GetFlexBlk(1), P::kDataBlockSize);
  ASSERT_EQ(reply.result, P::kQueryOk);
  EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(2, reply.answer).station, "K12");
  reply = Query(line, P::Word("GetVoicLen\r"), P::kLengthAnswerSize);
  ASSERT_EQ(reply.result, P::kQueryOk);
  EXPECT_EQ(P::ParseLength(reply.answer), config.voice.size());
  reply = Query(line, P::Word("GetECGlen\r"), P::kLengthAnswerSize);
  ASSERT_EQ(reply.result, P::kQueryOk);
  ASSERT_EQ(P::ParseLength(reply.answer), config.ecg.size());

  Bytes got = line.Ask("GetECGDat\r", 10 + config.ecg.size(), 10000);
  ASSERT_TRUE(P::IsConfirmed(P::Word("GetECGDat\r"), got));
  EXPECT_EQ(Bytes(got.begin() + 10, got.end()), config.ecg);
  line.Send("StopSend\r");
  got = line.Ask("GetVoiceDat\r", 9 + 12 + config.voice.size());
  // The stop's echo, the voice command's echo, then the voice.
  EXPECT_EQ(Bytes(got.begin() + 21, got.end()), config.voice);
  EXPECT_EQ(sim.CommandWords(),
            (std::vector<std::string>{"GetPatDat", "GetFileVers", "GetFlexBlk", "GetVoicLen", "GetECGlen",
                                      "GetECGDat", "StopSend", "GetVoiceDat"}));
}

TEST(RecorderSim, SettersAreStoredOnlyWhereTheFirmwareTakesThem) {
  for (const char* version : {"V1.20", "V1.10"}) {
    SCOPED_TRACE(version);
    SimConfig config = SimConfig::ForKind(P::kKindZK131);
    config.version = version;
    const bool takes = std::string(version) == "V1.20";
    RecorderModel model(config);
    const Bytes block = Pattern(P::kDataBlockSize, 1);
    const Bytes address = Pattern(P::kDataBlockSize, 9);
    for (const TRecorderCommand& command : {P::WithData("SetPatDat\r", block), P::SetFlexBlk(1, address),
                                            P::SetFileVers(7), P::SetRecLen(48)}) {
      // Data and word arrive in pieces, as over a slow line.
      const Bytes frame = command.Frame();
      Bytes echo = model.Receive(std::span(frame).first(3));
      const Bytes rest = model.Receive(std::span(frame).subspan(3));
      echo.insert(echo.end(), rest.begin(), rest.end());
      EXPECT_EQ(echo, command.text);
    }
    EXPECT_EQ(Bytes(model.PatientBlock().begin(), model.PatientBlock().end()), block);
    const auto flex = model.FlexBlock(1);
    ASSERT_TRUE(flex.has_value());
    EXPECT_EQ(Bytes(flex->begin(), flex->end()) == address, takes);
    EXPECT_EQ(model.FileVersion(), takes ? 7u : 2u);
    EXPECT_EQ(model.RecLenHours(), takes ? std::optional<int>(48) : std::nullopt);
    // An old recorder ignores the flexible block query; a new one answers the stored block.
    const Bytes answer = model.Receive(P::GetFlexBlk(1).Frame());
    EXPECT_EQ(answer.size(), takes ? 12 + P::kDataBlockSize : 12u);
  }
}

TEST(RecorderSim, BareFlexBlockQueryIsTakenAsBlockZero) {
  RecorderModel model(SimConfig::ForKind(P::kKindZK131));
  // A following word is not the block number.
  Bytes out = model.Receive("GetFlexBlk\rReset\r");
  EXPECT_EQ(P::ParseQueryReply(P::GetFlexBlk(0), out, P::kDataBlockSize).answer[0], 0);
  EXPECT_TRUE(model.Receive("GetFlexBlk\r").empty());
  out = model.Idle();
  EXPECT_EQ(P::ParseQueryReply(P::GetFlexBlk(0), out, P::kDataBlockSize).result, P::kQueryOk);
  EXPECT_EQ(model.Commands()[0].data, Bytes{});
}

TEST(RecorderSim, FaultsShowOnTheLine) {
  struct Case {
    const char* name;
    void (*set)(SimConfig&);
    const char* command;
    size_t answer_size;
    int result;
  };
  const Case cases[] = {
      {"bad echo of one word", [](SimConfig& c) { c.faults.bad_echo = "BATStat\r"; }, "BATStat\r", 2,
       P::kQueryConfirmError},
      {"bad echo elsewhere", [](SimConfig& c) { c.faults.bad_echo = "MMCStat"; }, "BATStat\r", 2,
       P::kQueryOk},
      {"bad echo of all", [](SimConfig& c) { c.faults.bad_echo = "*"; }, "MMCSize\r", 2,
       P::kQueryConfirmError},
      {"short answer", [](SimConfig& c) { c.faults.short_answer = "GetRecDat"; }, "GetRecDat\r", 512,
       P::kQueryNoData},
      {"silent", [](SimConfig& c) { c.faults.silent = true; }, "GetECGlen\r", 4, P::kQueryNoData},
      {"silent to Ident only", [](SimConfig& c) { c.faults.silent_word = "Ident"; }, "Ident\r", 25,
       P::kQueryNoData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimConfig config = SimConfig::ForKind(P::kKindZK131);
    c.set(config);
    PtyRecorder sim(config);
    Line line(sim);
    const TRecorderCommand command = P::Word(c.command);
    EXPECT_EQ(P::ParseQueryReply(command, line.Ask(command.Frame(), command.text.size() + c.answer_size, 300),
                                 c.answer_size)
                  .result,
              c.result);
  }
}

TEST(RecorderSim, StreamFaultsCutOrBlankTheData) {
  SimConfig config = SimConfig::ForKind(P::kKindZK131);
  config.ecg = Pattern(4000, 5);
  config.faults.cut_stream_after = 400;
  config.faults.ff_start = true;
  PtyRecorder sim(config);
  Line line(sim);
  const Bytes got = line.Ask("GetECGDat\r", 10 + config.ecg.size(), 300);
  ASSERT_EQ(got.size(), 410u);
  EXPECT_EQ(Bytes(got.begin() + 10, got.begin() + 42), Bytes(32, 0xFF));
  EXPECT_EQ(Bytes(got.begin() + 42, got.end()), Bytes(config.ecg.begin() + 32, config.ecg.begin() + 400));
}

TEST(RecorderSim, MonitorFramesDecodeToTheNegatedSamples) {
  for (const int kind : {P::kKindZK130, P::kKindZK131}) {
    SCOPED_TRACE(kind);
    SimConfig config = SimConfig::ForKind(kind);
    const int channels = config.ChannelCount();
    config.monitor = {{100, -2048, 2047, 0}, {-5, 7, 1000, -1000}, {1, 2, 3, 4}};
    config.monitor.resize(static_cast<size_t>(channels));
    config.monitor_marker_period = 3;
    RecorderModel model(config);
    model.Receive("MON\r");
    model.Receive(Bytes{P::kStartStream});
    const Bytes frames = model.NextStreamBytes(8 * 2 * channels);
    ASSERT_EQ(frames.size(), 16u * channels);
    for (size_t f = 0; f < 8; ++f) {
      const uint8_t* frame = &frames[f * 2 * channels];
      EXPECT_TRUE(P::IsFrameStart(frame[0]));
      EXPECT_EQ((frame[0] & 0x40) != 0, f % 3 == 0);
      for (int c = 0; c < channels; ++c) {
        if (c > 0) {
          EXPECT_FALSE(P::IsFrameStart(frame[2 * c]));
        }
        const int sample = config.monitor[static_cast<size_t>(c)][f % 4];
        // -(-2048) does not fit 12 bits: the recorder sends its nearest value.
        EXPECT_EQ(-P::DecodeMonitorSample(frame[2 * c], frame[2 * c + 1]), sample == -2048 ? -2047 : sample);
      }
    }
    model.Receive("ExMON\r");
    EXPECT_TRUE(model.NextStreamBytes(100).empty());
  }
}

TEST(RecorderSim, MonitorOverThePtyIsPacedByTheClock) {
  PtyRecorder sim(SimConfig::ForKind(P::kKindZK130));
  Line line(sim);
  line.Send("MON\r");
  line.Send("\x15");
  // 125 frames a second: well under a second's worth arrives within 100 ms.
  const Bytes got = line.Collect(4 * 125, 100);
  EXPECT_GT(got.size(), 4u * 5);
  EXPECT_LT(got.size(), 4u * 125);
}

TEST(RecorderSim, ProgrammingStatusAnswers) {
  SimConfig config = SimConfig::ForKind(P::kKindZK131);
  config.card_status = 4;
  config.format_status_polls = 2;
  config.rec_stat_idle_polls = 1;
  RecorderModel model(config);
  auto status = [&](std::string_view word) {
    const TRecorderCommand command = P::Word(word);
    return P::ParseStatus(
        P::ParseQueryReply(command, model.Receive(command.Frame()), P::kStatusAnswerSize).answer);
  };
  EXPECT_EQ(status("MMCStat\r"), 4);
  model.Receive("MMCFormat\r");
  EXPECT_EQ(status("MMCStat\r"), 6);
  EXPECT_EQ(status("MMCStat\r"), 6);
  EXPECT_EQ(status("MMCStat\r"), 1);
  EXPECT_EQ(status("BATStat\r"), 40);
  EXPECT_EQ(status("MMCSize\r"), 1024);
  EXPECT_EQ(status("RECStat\r"), 0);
  model.Receive("PMOn\r");
  model.Receive("REC\r");
  EXPECT_EQ(status("RECStat\r"), 0);
  EXPECT_EQ(status("RECStat\r"), 1);
  EXPECT_TRUE(model.Recording());
  EXPECT_EQ(model.PacemakerDetection(), true);
  EXPECT_EQ(model.FormatCount(), 1);

  config.faults.rec_stat_stuck = true;
  RecorderModel stuck(config);
  stuck.Receive("REC\r");
  model = std::move(stuck);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(status("RECStat\r"), 0);
}

// Drives the model as the workstation's block transfer does; returns the raw file it would write.
Bytes Rx3Transfer(recsim::Rx3Model& model, int* naks_for_checksum) {
  Bytes part_a, part_b;
  Bytes* storing = nullptr;
  int group_type = -1;
  int last_number = -1;
  Bytes pending = model.Receive(Bytes{recsim::Rx3Model::kNak});
  for (int guard = 0; guard < 10000; ++guard) {
    if (pending.size() == 1 && pending[0] == recsim::Rx3Model::kEot) {
      if (group_type == 0) storing = &part_a;
      if (group_type == 0x71) {
        part_b.clear();
        storing = &part_b;
      }
      if (group_type == 0xFF) break;
      group_type = -1;
      pending = model.Receive(Bytes{recsim::Rx3Model::kNak});
      continue;
    }
    EXPECT_EQ(pending.size(), recsim::Rx3Model::kBlockSize);
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < pending.size(); ++i) sum += pending[i];
    if (static_cast<uint8_t>(sum) != pending.back()) {
      ++*naks_for_checksum;
      pending = model.Receive(Bytes{recsim::Rx3Model::kNak});
      continue;
    }
    if (pending[1] != last_number) {
      if (group_type < 0) group_type = pending[4];
      if (storing) storing->insert(storing->end(), pending.begin() + 3, pending.begin() + 131);
      last_number = pending[1];
    }
    pending = model.Receive(Bytes{recsim::Rx3Model::kAck});
  }
  auto data = [](const Bytes& part) {
    if (part.size() < 4) return Bytes{};
    const size_t length = (size_t{part[2]} << 8) | part[3];
    return Bytes(part.begin() + 4, part.begin() + 4 + static_cast<std::ptrdiff_t>(length));
  };
  Bytes raw = data(part_a);
  const Bytes b = data(part_b);
  raw.insert(raw.end(), b.begin(), b.end());
  return raw;
}

TEST(RecorderSim, Rx3BlocksCarryBothParts) {
  recsim::Rx3Config config;
  config.part_a = Pattern(1000, 1);
  config.part_b = Pattern(300, 2);
  config.bad_checksum_block = 3;
  recsim::Rx3Model model(config);
  int naks = 0;
  EXPECT_EQ(Rx3Transfer(model, &naks), model.ExpectedRawFile());
  EXPECT_EQ(naks, 1);
  EXPECT_TRUE(model.Finished());

  // Over the line: the speed text is taken, a wake-up gets the first block.
  PtyRecorder sim(config);
  Line line(sim);
  line.Send("S9600\r");
  const Bytes block = line.Ask(Bytes{recsim::Rx3Model::kNak}, recsim::Rx3Model::kBlockSize);
  ASSERT_EQ(block.size(), recsim::Rx3Model::kBlockSize);
  EXPECT_EQ(block[4], 0x00);
  EXPECT_EQ((block[15] << 8) | block[16], 1000);
  const auto lock = sim.Lock();
  EXPECT_EQ(sim.Rx3().SpeedCommands(), std::vector<std::string>{"S9600"});
}

TEST(RecorderSim, CardImageIsAValidRawImage) {
  const SimConfig config = SimConfig::WithSyntheticEcg(P::kKindZK131, 1, 3, 500);
  const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "recorder_sim_card.RAW";
  recsim::WriteCardImage(config, path);
  const recorder::TRawImage image = recorder::ReadRawImage(path);
  EXPECT_EQ(image.patient_block, Bytes(config.patient_block.begin(), config.patient_block.end()));
  EXPECT_EQ(image.header.RawEcgBlockSize, config.ecg.size());
  EXPECT_EQ(image.voice_header.VoicNSample, config.voice.size());
  const auto address = image.AddressBlock(config.version);
  ASSERT_TRUE(address.has_value());
  EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(2, *address).fon, "0123 456789");
  std::filesystem::remove(path);
}

TEST(RecorderSim, LargeStreamsArriveWholeThrottledAndStoppable) {
  SimConfig config = SimConfig::ForKind(P::kKindZK131);
  config.ecg = Pattern(1 << 20, 11);
  {
    PtyRecorder sim(config);
    Line line(sim);
    const Bytes got = line.Ask("GetECGDat\r", 10 + config.ecg.size(), 20000);
    ASSERT_EQ(got.size(), 10 + config.ecg.size());
    EXPECT_TRUE(std::equal(config.ecg.begin(), config.ecg.end(), got.begin() + 10));
  }
  config.throttle_bytes_per_second = 100000;
  PtyRecorder sim(config);
  Line line(sim);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(line.Ask("GetECGDat\r", 10 + 30000).size(), 10u + 30000);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  // After the stop only what was already under way may follow, then the stop's echo.
  line.Send("StopSend\r");
  const Bytes rest = line.Collect(config.ecg.size(), 300);
  EXPECT_LT(rest.size(), 40000u);
  EXPECT_TRUE(P::IsConfirmed(P::Word("StopSend\r"), rest));
}

TEST(RecorderSimCli, OptionsBecomeTheConfiguration) {
  std::string image;
  const SimConfig config = recsim::ParseRecorderSimOptions(
      {"recorder-sim", "--kind", "3", "--minutes", "1", "--version", "V1.01", "--throttle", "5000",
       "--bad-echo", "REV", "--cut-after", "100", "--unformatted", "--flat-battery", "--rec-stat-stuck",
       "--card-image", "x.RAW"},
      &image);
  EXPECT_EQ(config.kind, 3);
  EXPECT_EQ(config.TypeText(), "ZK-133");
  EXPECT_FALSE(config.ecg.empty());
  EXPECT_EQ(config.version, "V1.01");
  EXPECT_EQ(config.throttle_bytes_per_second, 5000);
  EXPECT_EQ(config.faults.bad_echo, "REV");
  EXPECT_EQ(config.faults.cut_stream_after, 100);
  EXPECT_EQ(config.card_status, 4);
  EXPECT_EQ(config.battery_hours, 0);
  EXPECT_TRUE(config.faults.rec_stat_stuck);
  EXPECT_EQ(image, "x.RAW");

  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"recorder-sim", "--kind", "5"}, {"recorder-sim", "--throttle"}, {"recorder-sim", "--what"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(recsim::RunRecorderSimCli(bad, out, err, [] { return false; }), 2) << bad.back();
  }
  std::ostringstream out, err;
  EXPECT_EQ(recsim::RunRecorderSimCli({"recorder-sim", "--cmp", "/nonexistent/x.CMP"}, out, err,
                                      [] { return false; }),
            1);
}

TEST(RecorderSimCli, ServesUntilToldToStop) {
  std::ostringstream out, err;
  int polls = 0;
  EXPECT_EQ(recsim::RunRecorderSimCli({"recorder-sim", "--kind", "2", "--minutes", "1"}, out, err,
                                      [&] { return ++polls < 3; }),
            0);
  EXPECT_TRUE(out.str().starts_with("/dev/")) << out.str();
}

}  // namespace
