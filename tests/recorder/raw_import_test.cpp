#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/doc_test_support.h"
#include "document/document_context.h"
#include "document/record_format.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "recorder/raw/raw_converter.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/raw/raw_image.h"
#include "recorder/raw/raw_image_writer.h"
#include "recorder/recorder_blocks.h"

namespace recorder {
namespace {

namespace fs = std::filesystem;
using doctest::ReadBytes;

// Steps the conversion like the progress window and cancels after a chosen number of steps.
class ScriptedProgress : public RawCopyProgress {
 public:
  void Begin(int count) override { steps_announced = count; }
  bool Step() override { return ++steps != cancel_after; }
  void End() override { ++ended; }

  int steps_announced = -1;
  int steps = 0;
  int cancel_after = -1;
  int ended = 0;
};

TPatientBlockFields BrandLea() {
  TPatientBlockFields fields;
  fields.pat_nr = "4711";
  fields.last_name = "Brand";
  fields.first_name = "Lea";
  fields.date_of_birth = document::OleDateOnly({1950, 6, 15});
  fields.age = 54;
  fields.race = 1;
  fields.sex = 1;
  fields.height = 168;
  fields.weight = 61;
  fields.pace_maker = 0;
  return fields;
}

TRecordingBlockFields CardRecording(std::string dev_version = "V1.20") {
  TRecordingBlockFields fields;
  fields.recording_date = document::OleDateOnly({2004, 12, 8});
  platform::LocalDateTime start;
  start.hour = 14;
  start.minute = 30;
  fields.recording_time = document::OleTimeOnly(start);
  fields.recording_type = 7;
  fields.dev_type = "ZK-131";
  fields.dev_version = std::move(dev_version);
  fields.recording_pace_maker = 1;
  fields.dev_serial = "123";
  return fields;
}

// The voice area: a header carrying n and the n sample bytes.
std::vector<uint8_t> VoiceArea(const std::vector<uint8_t>& samples,
                               std::optional<uint32_t> n = std::nullopt) {
  TRawVoiceHeader voice;
  voice.VoicFreq = 8000;
  voice.VoicNSample = n.value_or(static_cast<uint32_t>(samples.size()));
  const auto head = voice.Pack();
  std::vector<uint8_t> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  return bytes;
}

// A card image as a recorder lays it out: header, patient and recording blocks, ECG area, then the
// address block and the voice area when there are any, and a sector of slack at the end.
struct CardImage {
  TPatientBlockFields patient = BrandLea();
  TRecordingBlockFields recording = CardRecording();
  std::optional<TAddressBlockFields> address;
  uint16_t file_version = kRawFileVersionWithAddress;
  std::vector<uint8_t> ecg = std::vector<uint8_t>(3000, 0x5A);
  std::optional<std::vector<uint8_t>> voice;
  std::function<void(TRawFileHeader&)> tweak;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> bytes(kRawHeaderSize);
    const auto put = [&bytes](std::span<const uint8_t> part) {
      const auto at = static_cast<uint32_t>(bytes.size());
      bytes.insert(bytes.end(), part.begin(), part.end());
      return at;
    };
    TRawFileHeader header;
    header.RawFileVersion = file_version;
    header.RawPatBlockSize = header.RawRecBlockSize = kMaxRawFileBlockSize;
    header.RawPatBlockAddr = put(TRecorderBlocks::PackPatientBlock(patient));
    header.RawRecBlockAddr = put(TRecorderBlocks::PackRecordingBlock(recording));
    header.RawEcgBlockAddr = put(ecg);
    header.RawEcgBlockSize = static_cast<uint32_t>(ecg.size());
    if (address) {
      header.RawFlexBlockAddr[0] =
          put(TRecorderBlocks::PackAddressBlock(kRawFileVersionWithAddress, *address));
      header.RawFlexBlockSize[0] = kMaxRawFileBlockSize;
    }
    if (voice) header.RawVoicBlockAddr = put(*voice);
    bytes.resize(bytes.size() + kRawHeaderSize, 0);
    if (tweak) tweak(header);
    const auto packed = header.Pack();
    std::copy(packed.begin(), packed.end(), bytes.begin());
    return bytes;
  }
};

// The records a ".qrs" holds, read back the way the document reads them.
struct StoredRecords {
  TPatientData patient;
  TRecordingData recording;
  int beats = -1;
  int events = -1;
};

class RawConversion : public doctest::DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    data_ = temp_.Path() / "Data";
    work_ = temp_.Path() / "Work";
    fs::create_directories(data_);
    fs::create_directories(work_);
    doc_->SetDataDirectory(data_.string());
    doc_->SetWorkDirectory(work_.string());
    options_.progress = &progress_;
  }

  std::string Plant(const CardImage& image, const std::string& name = "CARD.RAW") {
    return temp_.Write(name, image.Bytes());
  }

  RawConvertResult Convert(const std::string& raw) { return ConvertRawFile(*doc_, raw, options_); }

  StoredRecords ReadRecords(const std::string& qrs) {
    const std::vector<uint8_t> bytes = ReadBytes(qrs);
    platform::ArchiveReader ar(bytes, qrs);
    StoredRecords stored{TPatientData(clock_), TRecordingData(clock_)};
    stored.patient.Load(ar);
    stored.recording.Load(ar);
    TQRSList beats;
    beats.Load(ar);
    TEventList events;
    events.Load(ar);
    stored.beats = beats.GetSize();
    stored.events = events.GetSize();
    return stored;
  }

  static std::string Sibling(const std::string& qrs, const char* extension) {
    return fs::path(qrs).replace_extension(extension).string();
  }

  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work_)) names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path data_;
  fs::path work_;
  ScriptedProgress progress_;
  RawConvertOptions options_;
};

TEST_F(RawConversion, CardImageBecomesRecordingWithSamplesVoiceAndRecords) {
  CardImage image;
  image.address = TAddressBlockFields{"Lindenweg 4\r\n8000 Zürich", "044 123 45 67", "3B"};
  image.voice = VoiceArea({10, 12, 9});
  const std::string raw = Plant(image);
  const std::vector<uint8_t> raw_before = ReadBytes(raw);

  const RawConvertResult result = Convert(raw);

  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(fs::path(result.recording_path).parent_path(), data_);
  EXPECT_EQ(fs::path(result.recording_path).stem().string(), "Brand Lea 08-12-2004 14-30 -----");
  EXPECT_EQ(ReadBytes(Sibling(result.recording_path, ".cmp")), image.ecg);
  // Three stored bytes carry two sound samples of one byte each after the 44-byte wave head.
  EXPECT_EQ(fs::file_size(Sibling(result.recording_path, ".pid")), 44u + 2u);
  EXPECT_EQ(ReadBytes(raw), raw_before) << "the card image is only read";
  EXPECT_TRUE(WorkFiles().empty());

  const StoredRecords stored = ReadRecords(result.recording_path);
  EXPECT_EQ(stored.patient.surname, "Brand");
  EXPECT_EQ(stored.patient.first_name, "Lea");
  EXPECT_EQ(stored.patient.patient_id, "4711");
  EXPECT_EQ(stored.patient.GetBirthDateText(), "15.06.1950");
  EXPECT_EQ(stored.patient.sex, 1);
  EXPECT_EQ(stored.patient.height, 168.0);
  EXPECT_EQ(stored.patient.address, "Lindenweg 4\r\n8000 Zürich");
  EXPECT_EQ(stored.patient.telephone, "044 123 45 67");
  EXPECT_EQ(stored.patient.station, "3B");
  EXPECT_EQ(stored.recording.GetStartDateText(), "08.12.2004");
  EXPECT_EQ(stored.recording.GetStartTimeText(), "14:30");
  EXPECT_EQ(stored.recording.pacemaker_recording, 1);
  EXPECT_EQ(stored.recording.identity_text, "ZK-131 V1.20 123");
  EXPECT_EQ(stored.beats, 0);
  EXPECT_EQ(stored.events, 0);
  EXPECT_EQ(progress_.steps_announced, 2) << "one chunk of ECG, one of voice";
  EXPECT_EQ(progress_.ended, 1);
}

TEST_F(RawConversion, WriterImageRoundTripsThroughTheConversion) {
  TPatientData patient(clock_);
  patient.surname = "Brand";
  patient.first_name = "Lea";
  patient.patient_id = "4711";
  patient.birth_date = document::OleDateOnly({1950, 6, 15});
  patient.sex = 2;
  patient.height = 180;
  patient.weight = 75;
  TRecordingData recording(clock_);
  recording.start_date = document::OleDateOnly({2004, 12, 8});
  recording.start_time = CardRecording().recording_time;
  recording.identity_text = "ZK-131 V1.20 123";
  // Whatever recorder was identified last has nothing to do with this recording's image.
  doc_->GetRecorderIdentification().texts = {"/dev/ttyUSB0", "ZK-130", "V0.99", "999"};

  const RawImageBlocks blocks = BlocksOfRecording(patient, recording, clock_);
  const std::vector<uint8_t> samples = doctest::CmpBytes(3);
  const std::string cmp = temp_.Write("SOURCE.CMP", samples);
  const std::string raw = temp_.File("ZK131ECG.RAW");
  const TRawImageWriter writer(blocks.patient, blocks.recording, 4096);
  ASSERT_TRUE(writer.WriteFromFile(raw, cmp, [](int, int) { return true; }));

  const RawConvertResult result = Convert(raw);

  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(ReadBytes(Sibling(result.recording_path, ".cmp")), samples);
  EXPECT_FALSE(fs::exists(Sibling(result.recording_path, ".pid")));
  const StoredRecords stored = ReadRecords(result.recording_path);
  TPatientData expected_patient(clock_);
  TRecordingData expected_recording(clock_);
  TRecorderBlocks::StoreInRecords(TRecorderBlocks::UnpackPatientBlock(blocks.patient, clock_), {},
                                  TRecorderBlocks::UnpackRecordingBlock(blocks.recording, clock_),
                                  expected_patient, expected_recording);
  EXPECT_TRUE(stored.patient == expected_patient);
  EXPECT_TRUE(stored.recording == expected_recording);
  EXPECT_EQ(stored.recording.identity_text, "ZK-131 V1.20 123");
  EXPECT_EQ(stored.patient.surname, "Brand");
  EXPECT_EQ(stored.patient.sex, 2);
}

TEST_F(RawConversion, VoiceAndAddressBlockVariants) {
  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> voice;
    std::string dev_version;
    uint16_t file_version;
    bool want_pid;
    const char* want_station;
  };
  const std::vector<Case> cases = {
      {"no voice area", std::nullopt, "V1.20", 2, false, "3B"},
      {"voice header all zero", std::vector<uint8_t>(20, 0), "V1.20", 2, false, "3B"},
      // Sound needs samples: a header without any is a recording without voice, not a failure.
      {"voice header without samples", VoiceArea({}, 0), "V1.20", 2, false, "3B"},
      {"one sample byte", VoiceArea({7}), "V1.20", 2, true, "3B"},
      {"old firmware has no address block", std::nullopt, "0.99b", 2, false, ""},
      {"version without its leading character", std::nullopt, "1.20", 2, false, ""},
      {"address block of another layout", std::nullopt, "V1.20", 1, false, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardImage image;
    image.patient.last_name = "Case" + std::to_string(n++);
    image.recording = CardRecording(c.dev_version);
    image.address = TAddressBlockFields{"Street 1", "0123", "3B"};
    image.file_version = c.file_version;
    image.voice = c.voice;

    const RawConvertResult result = Convert(Plant(image));

    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(fs::exists(Sibling(result.recording_path, ".pid")), c.want_pid);
    EXPECT_EQ(ReadRecords(result.recording_path).patient.station, c.want_station);
    EXPECT_TRUE(WorkFiles().empty());
  }
}

TEST_F(RawConversion, RefusedImagesGiveTheirMessageAndExitCode) {
  const auto tweaked = [](std::function<void(TRawFileHeader&)> tweak) {
    CardImage image;
    image.tweak = std::move(tweak);
    return image.Bytes();
  };
  std::vector<uint8_t> short_image = {0x02, 0x90, 0, 0};
  short_image.resize(300, 0);
  CardImage short_voice;
  short_voice.voice = VoiceArea({1, 2});
  std::vector<uint8_t> short_voice_bytes = short_voice.Bytes();
  short_voice_bytes.erase(short_voice_bytes.end() - 500,
                          short_voice_bytes.end());  // 12 bytes left behind the voice
  CardImage long_voice;
  long_voice.voice = VoiceArea({1, 2}, 600);

  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> bytes;  // nullopt: no file
    const char* format;
    int exit_code;
  };
  const std::vector<Case> cases = {
      {"missing file", std::nullopt, "Error reading RawFile %s !", 21},
      {"empty file", std::vector<uint8_t>{}, "Error reading RawFile %s !", 21},
      {"shorter than the header", short_image, "Error reading RawFile %s !", 21},
      {"wrong ident", tweaked([](TRawFileHeader& h) { h.ident_code = 0x9003; }), "RawFile %s not valid!", 21},
      {"ECG end past 2^32", tweaked([](TRawFileHeader& h) {
         h.RawEcgBlockAddr = 256;
         h.RawEcgBlockSize = 0xFFFFFF80u;
       }),
       "RawFile %s not valid (Addr/Size)!", 22},
      {"patient block 293", tweaked([](TRawFileHeader& h) { h.RawPatBlockSize = 293; }),
       "RawFile %s not valid (Addr/Size)!", 22},
      {"recording block 38", tweaked([](TRawFileHeader& h) { h.RawRecBlockSize = 38; }),
       "RawFile %s not valid (Addr/Size)!", 22},
      {"flex entry 513", tweaked([](TRawFileHeader& h) {
         h.RawFlexBlockAddr[49] = 512;
         h.RawFlexBlockSize[49] = 513;
       }),
       "RawFile %s not valid (Addr/Size)!", 22},
      {"voice address past the end", tweaked([](TRawFileHeader& h) { h.RawVoicBlockAddr = 1u << 30; }),
       "RawFile %s not valid (Addr/Size)!", 22},
      {"no sector behind the voice address", short_voice_bytes, "Error reading RawFile %s !", 21},
      {"voice samples past the end", long_voice.Bytes(), "RawFile %s not valid (Voic Addr/Size)!", 22},
  };
  const document::DocumentContext context_before = document::Context();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string raw = temp_.File("BAD.RAW");
    fs::remove(raw);
    if (c.bytes) testsupport::WriteBytes(raw, *c.bytes);

    const RawConvertResult result = Convert(raw);

    EXPECT_EQ(result.exit_code, c.exit_code);
    std::string want = c.format;
    want.replace(want.find("%s"), 2, raw);
    EXPECT_EQ(result.message, want);
    EXPECT_TRUE(result.recording_path.empty());
    EXPECT_TRUE(fs::is_empty(data_));
    EXPECT_EQ(progress_.steps_announced, -1) << "no copy began";
  }
  EXPECT_TRUE(document::Context().g_RecordingChannels == context_before.g_RecordingChannels);
}

TEST_F(RawConversion, TransferBufferFallsBackAndNoMemoryIsExitCode23) {
  CardImage image;
  image.ecg.assign((size_t{3} << 19) + 1, 0x33);  // 1.5 MB and a byte
  const std::string raw = Plant(image);
  struct Case {
    const char* name;
    size_t largest_granted;
    int want_steps;
  };
  constexpr Case kCases[] = {
      {"1 MB", size_t{1} << 20, 2},
      {"512 KB", size_t{512} << 10, 4},
      {"256 KB", size_t{256} << 10, 7},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    options_.allocate = [&c](size_t bytes) {
      return bytes <= c.largest_granted ? std::make_unique<uint8_t[]>(bytes) : nullptr;
    };
    const RawConvertResult result = Convert(raw);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(progress_.steps_announced, c.want_steps);
    EXPECT_EQ(ReadBytes(Sibling(result.recording_path, ".cmp")), image.ecg);
    fs::remove_all(data_);
    fs::create_directories(data_);
  }

  options_.allocate = [](size_t) { return std::unique_ptr<uint8_t[]>(); };
  const RawConvertResult result = Convert(raw);
  EXPECT_EQ(result.exit_code, 23);
  EXPECT_EQ(result.message, "No memory for available !");
  EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(RawConversion, CancelDuringTheEcgCopyKeepsChannelSetsAndSkipsTheVoice) {
  CardImage image;
  image.ecg.assign((size_t{1} << 20) * 2 + 10, 0x11);
  image.voice = VoiceArea({1, 2, 3});
  document::Context().g_RecordingChannels.Assign(std::array<int32_t, 3>{0, 1, 2});
  document::Context().g_STChannels.Assign(std::array<int32_t, 1>{2});
  const document::DocumentContext before = document::Context();
  progress_.cancel_after = 2;

  const RawConvertResult result = Convert(Plant(image));

  EXPECT_EQ(result.exit_code, 20);
  EXPECT_EQ(result.message, "Action was cancelled !");
  EXPECT_EQ(progress_.steps, 2);
  EXPECT_EQ(progress_.ended, 1);
  EXPECT_TRUE(doc_->GetWorkFileName(6 + 3).empty()) << "the voice area was not copied";
  EXPECT_TRUE(fs::is_empty(data_));
  EXPECT_TRUE(document::Context().g_RecordingChannels == before.g_RecordingChannels);
  EXPECT_TRUE(document::Context().g_STChannels == before.g_STChannels);

  // The next conversion clears what the cancelled one left.
  progress_.cancel_after = -1;
  ASSERT_FALSE(WorkFiles().empty());
  const RawConvertResult again = Convert(Plant(image));
  ASSERT_TRUE(again.ok()) << again.message;
  EXPECT_TRUE(WorkFiles().empty());
  const std::array<int32_t, 2> first_two = {0, 1};
  EXPECT_TRUE(std::ranges::equal(document::Context().g_RecordingChannels.Channels(), first_two));
  EXPECT_TRUE(std::ranges::equal(document::Context().g_AnalysisChannels.Channels(), first_two));
  EXPECT_EQ(document::Context().g_STChannels.count, 1) << "the ST set keeps its count";
  EXPECT_EQ(document::Context().g_STChannels.channels[0], 0);
}

TEST_F(RawConversion, FailuresWhileWritingGiveExitCode24) {
  const std::string raw = Plant(CardImage());
  const document::DocumentContext before = document::Context();

  doc_->SetWorkDirectory((temp_.Path() / "missing").string());
  RawConvertResult result = Convert(raw);
  EXPECT_EQ(result.exit_code, 24);
  EXPECT_EQ(result.message.rfind("Error creating file ", 0), 0u) << result.message;

  // A recording that cannot be named is no success: nothing is left behind.
  doc_->SetWorkDirectory(work_.string());
  options_.name_recording = [](CZK470Doc&, std::string_view, std::string_view, std::string_view,
                               std::string_view) { return std::string(); };
  result = Convert(raw);
  EXPECT_EQ(result.exit_code, 24);
  EXPECT_TRUE(WorkFiles().empty());
  EXPECT_TRUE(fs::is_empty(data_));
  EXPECT_TRUE(document::Context().g_RecordingChannels == before.g_RecordingChannels);
}

TEST_F(RawConversion, EmptyEcgAreaAndRepeatedImport) {
  CardImage image;
  image.ecg.clear();
  const std::string raw = Plant(image);

  const RawConvertResult first = Convert(raw);
  ASSERT_TRUE(first.ok()) << first.message;
  EXPECT_EQ(fs::file_size(Sibling(first.recording_path, ".cmp")), 0u);
  EXPECT_EQ(progress_.steps_announced, 0);

  const RawConvertResult second = Convert(raw);
  ASSERT_TRUE(second.ok()) << second.message;
  EXPECT_EQ(second.recording_path, first.recording_path) << "the first import is opened again";
  EXPECT_TRUE(WorkFiles().empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(data_), fs::directory_iterator()), 2);
}

// The header's 32-bit addresses reach past 4 GB in a larger file; the file size must not be cut to
// 32 bits, or every block of such a card would seem to lie outside it.
TEST_F(RawConversion, ImageLargerThan4GBConvertsWithAreasAcrossTheBoundary) {
  CardImage image;
  image.ecg.clear();
  const uint64_t ecg_addr = (uint64_t{1} << 32) - 1024;
  image.tweak = [ecg_addr](TRawFileHeader& h) {
    h.RawEcgBlockAddr = static_cast<uint32_t>(ecg_addr);
    h.RawEcgBlockSize = 4096;
  };
  const std::string raw = Plant(image);
  std::vector<uint8_t> ecg(4096);
  for (size_t i = 0; i < ecg.size(); ++i) ecg[i] = static_cast<uint8_t>(i * 7);
  {
    std::fstream file(raw, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(ecg_addr));
    file.write(reinterpret_cast<const char*>(ecg.data()), static_cast<std::streamsize>(ecg.size()));
  }
  fs::resize_file(raw, (uint64_t{1} << 32) + 8192);  // sparse: nothing is stored for the gap

  const RawConvertResult result = Convert(raw);

  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(ReadBytes(Sibling(result.recording_path, ".cmp")), ecg);
}

TEST(RawImageOfRecording, BlocksCarryTheRecordingsRecorderTextAndCalendarAge) {
  struct Case {
    const char* name;
    const char* recorder_text;
    platform::LocalDateTime today;
    const char* want_type;
    const char* want_version;
    const char* want_serial;
    int want_age;
  };
  // Born 15 June 1950; 2024 is a leap year, where whole days / 365 would already say 74.
  const Case cases[] = {
      {"day before the birthday",
       "ZK-131 V1.20 123",
       {2024, 6, 14, 9, 0, 0, 0},
       "ZK-131",
       "V1.20",
       "123",
       73},
      {"on the birthday", "ZK-131 V1.20 123", {2024, 6, 15, 9, 0, 0, 0}, "ZK-131", "V1.20", "123", 74},
      {"serial with a blank", "ZK-130 V1.01 12 34", {2024, 7, 1, 9, 0, 0, 0}, "ZK-130", "V1.01", "12 34", 74},
      {"recording never read from a recorder", "      ", {2024, 7, 1, 9, 0, 0, 0}, "", "", "", 74},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const platform::ManualClock clock(c.today);
    TPatientData patient(clock);
    patient.birth_date = document::OleDateOnly({1950, 6, 15});
    TRecordingData recording(clock);
    recording.identity_text = c.recorder_text;

    const RawImageBlocks blocks = BlocksOfRecording(patient, recording, clock);

    const TRecordingBlockFields fields = TRecorderBlocks::UnpackRecordingBlock(blocks.recording, clock);
    EXPECT_EQ(fields.dev_type, c.want_type);
    EXPECT_EQ(fields.dev_version, c.want_version);
    EXPECT_EQ(fields.dev_serial, c.want_serial);
    EXPECT_EQ(TRecorderBlocks::UnpackPatientBlock(blocks.patient, clock).age, c.want_age);
  }
}

TEST(RawImageOfRecording, SourceFailingMidwayLeavesNoHalfImage) {
  const testsupport::TempFolder temp("raw");
  const std::string target = temp.Write("ZK131ECG.RAW", {7, 7, 7});
  const std::string source = temp.Write("SOURCE.CMP", std::vector<uint8_t>(10000, 0x42));
  const platform::ManualClock clock(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0});
  const RawImageBlocks blocks = BlocksOfRecording(TPatientData(clock), TRecordingData(clock), clock);
  const TRawImageWriter writer(blocks.patient, blocks.recording, 4000);

  // The sample file shrinks under the copy, as when its medium goes away.
  EXPECT_THROW((void)writer.WriteFromFile(target, source,
                                          [&source](int, int) {
                                            fs::resize_file(source, 5000);
                                            return true;
                                          }),
               platform::IoError);

  EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{7, 7, 7}));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 2);
}

TEST(RawImageOfRecording, CreateRawFileOfRecordingOutcomes) {
  const testsupport::TempFolder temp("raw");
  const platform::ManualClock clock(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0});
  TPatientData patient(clock);
  patient.surname = "Brand";
  TRecordingData recording(clock);
  recording.identity_text = "ZK-131 V1.20 123";
  // More than one 1 MB chunk, so that the copy has a second chunk to fail in.
  std::vector<uint8_t> samples((size_t{1} << 20) + 5000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i % 251);
  const std::string source = temp.Write("00001.CMP", samples);
  const std::vector<uint8_t> old_image = {7, 7, 7};
  const auto go_on = [](int, int) { return true; };
  struct Case {
    const char* name;
    std::string source;
    std::string target;
    TRawImageWriter::ChunkDone chunk_done;
    std::string want_message;
  };
  const std::string target = temp.File("ZK131ECG.RAW");
  const std::string missing = temp.File("NONE.CMP");
  const std::string no_folder = temp.File("gone/ZK131ECG.RAW");
  const std::vector<Case> cases = {
      {"no sample file", missing, target, go_on, "Error reading CMPFile " + missing + " !"},
      {"no folder for the image", source, no_folder, go_on, "Error opening RawFile " + no_folder + " !"},
      {"cancelled", source, target, [](int, int) { return false; }, "Action was cancelled !"},
      {"sample file shrinks under the copy", source, target,
       [&source](int, int) {
         fs::resize_file(source, 100);
         return true;
       },
       "Error reading CMPFile " + source + " !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::WriteBytes(source, samples);
    testsupport::WriteBytes(target, old_image);
    std::string result;
    EXPECT_EQ(CreateRawFileOfRecording(patient, recording, clock, c.source, c.target, result, c.chunk_done),
              0);
    EXPECT_EQ(result, c.want_message);
    EXPECT_EQ(ReadBytes(target), old_image);
  }

  testsupport::WriteBytes(source, samples);
  std::string result = "unchanged";
  ASSERT_EQ(CreateRawFileOfRecording(patient, recording, clock, source, target, result, go_on), 1);
  EXPECT_EQ(result, "unchanged");
  const TRawImage image = ReadRawImage(target);
  EXPECT_EQ(image.header.RawEcgBlockSize, samples.size());
  const std::vector<uint8_t> written = ReadBytes(target);
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), written.begin() + kWrittenEcgBlockAddr));
  const TRecordingBlockFields fields = TRecorderBlocks::UnpackRecordingBlock(image.recording_block, clock);
  EXPECT_EQ(fields.dev_type + " " + fields.dev_version + " " + fields.dev_serial, "ZK-131 V1.20 123");
}

TEST(RawPatientQuestion, AskedOnlyForIncompletePatientData) {
  const platform::ManualClock clock(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0});
  const auto complete = [&clock] {
    TPatientData patient(clock);
    patient.surname = "Brand";
    patient.first_name = "Lea";
    patient.patient_id = "4711";
    patient.birth_date = document::OleDateOnly({1950, 6, 15});
    patient.sex = 1;
    return patient;
  };
  struct Case {
    const char* name;
    std::function<void(TPatientData&)> change;
    bool want;
  };
  const std::vector<Case> cases = {
      {"complete", [](TPatientData&) {}, false},
      {"no last name", [](TPatientData& p) { p.surname.clear(); }, true},
      {"no first name", [](TPatientData& p) { p.first_name.clear(); }, true},
      {"no patient number", [](TPatientData& p) { p.patient_id.clear(); }, true},
      {"no valid birth date", [](TPatientData& p) { p.birth_date.status = 1; }, true},
      {"no sex", [](TPatientData& p) { p.sex = 0; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPatientData patient = complete();
    c.change(patient);
    EXPECT_EQ(IsPatientDataIncomplete(patient), c.want);
  }
}

}  // namespace
}  // namespace recorder
