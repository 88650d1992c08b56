// Recordings whose ".QRS" holds something the reader does not know, but whose bytes stay in step:
// they open (with a message where the user must know), save as current recordings and read back.
// Where reading on would lose step with the file, the recording is refused and nothing changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "document/doc_test_support.h"
#include "document/document_strings.h"
#include "document/raw_ecg_data.h"
#include "document/signal_exchange_file.h"
#include "member_io.h"
#include "platform/io_error.h"

namespace {

using doctest::DocFixture;
using doctest::ReadBytes;
using doctest::RegularBeats;
using doctest::Snapshot;
using doctest::WriteBytes;

// The four members of a ".QRS" file, each replaceable by hand-built bytes.
struct Members {
  std::vector<uint8_t> patient, recording, beats, events;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out;
    for (const auto* part : {&patient, &recording, &beats, &events})
      out.insert(out.end(), part->begin(), part->end());
    return out;
  }
};

constexpr int kBeats = 30;

Members CurrentMembers(const platform::Clock& clock) {
  TPatientData patient(clock);
  patient.first_name = "Anna";
  patient.surname = "Meier";
  TRecordingData recording(clock);
  recording.normal_classes[0].Append(0);
  recording.normal_classes[0].Append(1);
  recording.st_levels[0].Add(-1.5);
  TQRSList beats;
  for (const TQRSComplex& beat : RegularBeats(kBeats, 50, 100)) beats.Append(beat);
  TEventList events;
  events.Append(TEvent(300, 900, kClassTachycardia));
  events.Append(TEvent(2000, 2000, kClassUser));
  return {StoreMember(patient, 32), StoreMember(recording, 32), StoreMember(beats, 32),
          StoreMember(events, 32)};
}

// The default recording record of version 26 written while `channels` channels were analysed: the
// per-channel rows hold that many ST channels, the level series of channel c the value -(c + 2).
std::vector<uint8_t> Version26Recording(int channels) {
  constexpr int32_t v = 26;
  ArchiveBytes b;
  b.I32(v).I32(0).Date(0, 45000).Date(0, 0.5).Text("ID    ").I32(1).I32Repeat(0, 48);
  b.I32Repeat(-1, 4).I32(-1).I32s({1, 1}).U16(0);
  b.Text("").Text("").Text("").Text("").Text("");
  b.I32s({-1, -1, -1}).Double(-1).Double(-1).Double(-1);
  for (int c = 0; c < channels; ++c) b.I32(v).I32(1).Double(-(c + 2.0));  // ST levels
  for (int c = 0; c < channels; ++c) b.EmptyMember(v);                    // ST slopes
  for (int c = 0; c < channels; ++c) b.EmptyMember(v);                    // ST episodes
  for (int c = 0; c < channels; ++c) b.I32s({-1, 0, -1});                 // deepest, analysed, limit
  b.U16(0).I32(1);                                                        // markers, ST current
  for (int k = 0; k < 900; ++k) b.EmptyMember(v);
  b.I32Repeat(0, 900);
  for (int c = 0; c < channels; ++c) b.EmptyMember(v).EmptyMember(v);  // reserved pairs
  b.EmptyMember(v).EmptyMember(v);
  b.I32Repeat(-1, 4);
  for (int k = 0; k < 300; ++k) b.EmptyMember(v);
  b.I32s({-1, -1}).I32Repeat(0, 300).I32Repeat(-1, 120);
  for (int k = 0; k < 50; ++k) b.EmptyMember(v);
  b.I32Repeat(0, 100).Date(0, 0).Date(0, 0).I32(0);
  return b.Bytes();
}

class TolerantReading : public DocFixture {
 protected:
  // Writes the ".QRS" and a two-minute compressed sample file beside it.
  std::string Write(const std::string& name, const std::vector<uint8_t>& qrs) {
    WriteBytes(Base(name + ".QRS"), qrs);
    WriteBytes(Base(name + ".CMP"), doctest::CmpBytes(2));
    return Base(name + ".QRS");
  }

  std::vector<int> BeatClasses() const {
    std::vector<int> classes;
    for (const TQRSComplex& beat : doc_->GetQRSList().Elements()) classes.push_back(beat.GetClass());
    return classes;
  }

  // Saves the open recording, opens the saved file again and expects it to read without a message
  // and to save the same bytes.
  void ExpectSavesAndReadsBack(const std::string& qrs) {
    ASSERT_TRUE(doc_->OnSaveDocument(qrs));
    const std::vector<uint8_t> saved = ReadBytes(qrs);
    prompt_.ClearLog();
    ASSERT_TRUE(doc_->OnOpenDocument(qrs));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_EQ(doc_->StoreToBytes(), saved);
  }
};

TEST_F(TolerantReading, PatientRecordOfUnknownVersionOpensWithItsMessage) {
  for (const int32_t version : {1, 33, -7}) {
    SCOPED_TRACE(version);
    Members members = CurrentMembers(clock_);
    members.patient = ArchiveBytes().I32(version).Bytes();  // what a writer of that version stores
    const std::string qrs = Write("00017", members.Bytes());
    prompt_.ClearLog();

    ASSERT_TRUE(doc_->OnOpenDocument(qrs));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], document::DocString(document::strings::kUnknownPatientVersion));
    EXPECT_EQ(doc_->GetPatientData().surname, "");
    EXPECT_EQ(doc_->GetQRSList().GetSize(), kBeats) << "the members after it are read";
    EXPECT_EQ(doc_->GetEventList().GetSize(), 2);
    EXPECT_EQ(doc_->GetRecordingData().st_levels[0].GetSize(), 1);
    EXPECT_EQ(document::Context().g_AnalysisChannels.count, 2);
    ASSERT_NO_FATAL_FAILURE(ExpectSavesAndReadsBack(qrs));
    EXPECT_EQ(doc_->GetQRSList().GetSize(), kBeats);
  }
}

// Codes above 39 in the beat and event lists: every element stays, with code 39, and the user is
// told once for the whole file.
TEST_F(TolerantReading, UnknownClassCodesAreKeptAndReportedOnce) {
  struct Case {
    const char* name;
    std::vector<uint8_t> beat_codes;   // for beats 0, 1, 2
    std::vector<uint8_t> event_codes;  // for events 0, 1
    const char* want;
  };
  const Case cases[] = {
      {"one beat", {40}, {}, "holds 1 beat of an unknown class"},
      {"beats and an event", {40, 200, 255}, {0, 77}, "holds 3 beats and 1 event of an unknown class"},
      {"events only", {}, {99, 255}, "holds 2 events of an unknown class"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Members members = CurrentMembers(clock_);
    // The class byte of element i: version, 16-bit count, then tag and position before it.
    for (size_t i = 0; i < c.beat_codes.size(); ++i) members.beats[4 + 2 + 10 * i + 8] = c.beat_codes[i];
    for (size_t i = 0; i < c.event_codes.size(); ++i) members.events[4 + 2 + 14 * i + 8] = c.event_codes[i];
    const std::string qrs = Write("00018", members.Bytes());
    prompt_.ClearLog();

    ASSERT_TRUE(doc_->OnOpenDocument(qrs));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(c.want), std::string::npos) << Messages()[0];
    EXPECT_NE(Messages()[0].find("00018.QRS"), std::string::npos) << Messages()[0];
    ASSERT_EQ(doc_->GetQRSList().GetSize(), kBeats);
    for (size_t i = 0; i < 3; ++i) {
      const bool bad = i < c.beat_codes.size() && c.beat_codes[i] > 39;
      EXPECT_EQ(BeatClasses()[i], bad ? document::kReplacementCode : kClassNormal) << "beat " << i;
      EXPECT_EQ(doc_->GetQRSList().ElementAt(static_cast<int>(i))->GetPosition(),
                50 + 100 * static_cast<int>(i));
    }
    const int bad_beats = static_cast<int>(
        std::count_if(c.beat_codes.begin(), c.beat_codes.end(), [](uint8_t code) { return code > 39; }));
    EXPECT_EQ(doc_->GetQRSList().GetCounter(document::kReplacementCode), bad_beats);
    EXPECT_EQ(doc_->GetQRSList().GetCounter(kClassNormal), kBeats - bad_beats);
    ASSERT_EQ(doc_->GetEventList().GetSize(), 2);
    ASSERT_NO_FATAL_FAILURE(ExpectSavesAndReadsBack(qrs));
    EXPECT_EQ(doc_->GetQRSList().GetCounter(document::kReplacementCode), bad_beats);
  }
}

// Members of unknown versions whose bytes every writer lays out the same way, and negative counts
// (the writer stores nothing after them): read past, the rest of the file in step, no message.
TEST_F(TolerantReading, MembersOfUnknownVersionsAndNegativeCountsAreReadPast) {
  const Members current = CurrentMembers(clock_);
  // The first template list (normal class 0) of the version-32 recording record: everything before
  // it is the fixed part of the default record plus the one ST level.
  const size_t first_template = 4 + 4 + 24 + 4 + 7 + 1 + 4 + 12 + 48 * 4 + 144 * 4 + 1 + 12 + 16 + 4 + 4 + 8 +
                                2 + 5 + 12 + 24 + 4 + (6 * 8 + 8) + 24 + 2 + 4;
  ASSERT_EQ(platform::LoadLE32(current.recording.data() + first_template + 4), 2u)
      << "normal class 0 holds 2";
  const size_t first_st_levels = first_template - 6 - 24 - 48 - 8;
  ASSERT_EQ(platform::LoadLE32(current.recording.data() + first_st_levels + 4), 1u) << "one ST level";
  auto patched = [](std::vector<uint8_t> bytes, size_t offset, int32_t value) {
    platform::StoreLE32(bytes.data() + offset, static_cast<uint32_t>(value));
    return bytes;
  };
  // A negative count stores nothing after it: the elements of the current file go.
  auto without = [](std::vector<uint8_t> bytes, size_t offset, size_t count) {
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
    return bytes;
  };
  struct Case {
    const char* name;
    Members members;
    int want_beats;
    int want_class0_members;
    int want_st_levels;
  };
  const Case cases[] = {
      {"template list of version 99",
       {current.patient, patched(current.recording, first_template, 99), current.beats, current.events},
       kBeats,
       0,
       1},
      {"template list count -1",
       {current.patient, without(patched(current.recording, first_template + 4, -1), first_template + 8, 8),
        current.beats, current.events},
       kBeats,
       0,
       1},
      {"ST level series of version 0",
       {current.patient, patched(current.recording, first_st_levels, 0), current.beats, current.events},
       kBeats,
       2,
       0},
      {"ST level series count -3",
       {current.patient, without(patched(current.recording, first_st_levels + 4, -3), first_st_levels + 8, 8),
        current.beats, current.events},
       kBeats,
       2,
       0},
      {"beat list of version 40",
       {current.patient, current.recording, patched(current.beats, 0, 40), current.events},
       0,
       2,
       1},
      {"recording record of version 33 alone",
       {current.patient, ArchiveBytes().I32(33).Bytes(), current.beats, current.events},
       kBeats,
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string qrs = Write("00019", c.members.Bytes());
    prompt_.ClearLog();

    ASSERT_TRUE(doc_->OnOpenDocument(qrs));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_EQ(doc_->GetPatientData().surname, "Meier");
    EXPECT_EQ(doc_->GetQRSList().GetSize(), c.want_beats);
    EXPECT_EQ(doc_->GetEventList().GetSize(), 2) << "the last member is read in step";
    EXPECT_EQ(doc_->GetRecordingData().normal_classes[0].GetSize(), c.want_class0_members);
    EXPECT_EQ(doc_->GetRecordingData().st_levels[0].GetSize(), c.want_st_levels);
    ASSERT_NO_FATAL_FAILURE(ExpectSavesAndReadsBack(qrs));
    EXPECT_EQ(doc_->GetQRSList().GetSize(), c.want_beats);
  }
}

// A version-26 file written while three channels were analysed: the patient record keeps the first
// two analysed channels, the recording record reads the rows of three ST channels and keeps two.
TEST_F(TolerantReading, Version26WithThreeAnalysedChannelsOpens) {
  Members members = CurrentMembers(clock_);
  ArchiveBytes patient;
  patient.I32(26).Text("Meier").Text("Anna").Text("4711").Date(0, 30000).I32(2).Double(180).Double(80).I32(0);
  patient.I32s({3, 0, 1, 2}).I32s({3, 2, 1, 0});  // analysed channels, recording channels
  members.patient = patient.Bytes();
  members.recording = Version26Recording(3);
  const std::string qrs = Write("00020", members.Bytes());

  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  EXPECT_TRUE(Messages().empty()) << Messages().front();
  const document::DocumentContext& context = document::Context();
  EXPECT_EQ(context.g_AnalysisChannels.Channels().size(), 2u);
  EXPECT_EQ(context.g_AnalysisChannels.channels[1], 1);
  EXPECT_EQ(context.g_STChannels.channels[0], 2) << "the first two of the stored recording set";
  EXPECT_EQ(context.g_STChannels.channels[1], 1);
  EXPECT_EQ(doc_->GetPatientData().patient_id, "4711");
  const TRecordingData& record = doc_->GetRecordingData();
  EXPECT_EQ(record.identity_text, "ID    ");
  EXPECT_EQ(record.st_levels[0].GetAt(0).GetValue(), -2.0);
  EXPECT_EQ(record.st_levels[1].GetAt(0).GetValue(), -3.0);
  EXPECT_EQ(doc_->GetQRSList().GetSize(), kBeats) << "the members after the record are read in step";
  EXPECT_EQ(doc_->GetEventList().GetSize(), 2);
  ASSERT_NO_FATAL_FAILURE(ExpectSavesAndReadsBack(qrs));
  EXPECT_EQ(doc_->GetRecordingData().st_levels[1].GetAt(0).GetValue(), -3.0);
}

// A record of unknown version that held more than its version: nothing after it can be found, so
// the file is refused as a whole and nothing on disk changes.
TEST_F(TolerantReading, RecordOfUnknownVersionWithContentIsRefused) {
  const Members current = CurrentMembers(clock_);
  struct Case {
    const char* name;
    Members members;
    const char* want;
  };
  auto with_version = [](std::vector<uint8_t> bytes, int32_t version) {
    platform::StoreLE32(bytes.data(), static_cast<uint32_t>(version));
    return bytes;
  };
  const Case cases[] = {
      {"patient record",
       {with_version(current.patient, 33), current.recording, current.beats, current.events},
       "patient record of unknown version 33"},
      {"recording record",
       {current.patient, with_version(current.recording, 0), current.beats, current.events},
       "recording record of unknown version 0"},
      {"version alone, bytes left over",
       {ArchiveBytes().I32(40).Bytes(), current.recording, current.beats,
        [&] {
          std::vector<uint8_t> events = current.events;
          events.push_back(0);
          return events;
        }()},
       "1 byte follows the last member"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string qrs = Write("00021", c.members.Bytes());
    WriteBytes(Base("00021.BAK"), ReadBytes(qrs));
    const auto before = Snapshot(temp_.Path());
    prompt_.ClearLog();

    EXPECT_FALSE(doc_->OnOpenDocument(qrs));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("cannot be read"), std::string::npos) << Messages()[0];
    EXPECT_NE(Messages()[0].find(c.want), std::string::npos) << Messages()[0];
    EXPECT_EQ(Snapshot(temp_.Path()), before);
  }
}

// An exchange file of 8-bit samples: its header is valid, so the recording opens; every minute read
// from it reports why it shows nothing.
TEST_F(TolerantReading, ExchangeFileOfOtherSampleWidthOpens) {
  WriteBytes(Base("00022.QRS"), CurrentMembers(clock_).Bytes());
  TSignalExchangeFile header;
  header.duration = 7500 * 2;
  header.rate = 125;
  header.channel_count = 2;
  header.bits_per_sample = 8;
  header.lsb = 5.0;
  header.display_count = 2;
  header.display_map = {0, 1};
  std::ostringstream out;
  ASSERT_TRUE(header.WriteHeader(out));
  std::string bytes = out.str();
  bytes.append(7500 * 2 * 2, '\x01');
  WriteBytes(Base("00022.KHI"), std::vector<uint8_t>(bytes.begin(), bytes.end()));

  ASSERT_TRUE(doc_->OnOpenDocument(Base("00022.QRS")));
  EXPECT_TRUE(Messages().empty()) << Messages().front();
  ASSERT_NE(doc_->GetRawECGData(), nullptr);
  EXPECT_EQ(doc_->GetRawECGData()->GetReaderKind(), TRawECGData::kReaderKhi);
  EXPECT_EQ(doc_->GetRecordingMinutes(), 2);
  for (int minute = 0; minute < 2; ++minute) {
    SCOPED_TRACE(minute);
    try {
      doc_->GetRawECGData()->GetChannelMinute(0, minute);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find("Implementation error"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("minute " + std::to_string(minute)), std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
