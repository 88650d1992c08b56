#include "recorder/recorder_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "platform/clock.h"
#include "platform/io_error.h"

namespace {

using Block = TRecorderBlocks::Block;

const platform::LocalDateTime kNow{2024, 5, 10, 14, 20, 30};

platform::OleDateTime Date(int year, int month, int day) { return document::OleDateOnly({year, month, day}); }

platform::OleDateTime Time(int hour, int minute, int second) {
  platform::LocalDateTime local;
  local.hour = hour;
  local.minute = minute;
  local.second = second;
  return document::OleTimeOnly(local);
}

platform::OleDateTime Invalid(platform::OleDateTime value) {
  value.status = 1;
  return value;
}

std::string Bytes(const Block& block, size_t offset, size_t length) {
  return std::string(block.begin() + static_cast<std::ptrdiff_t>(offset),
                     block.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

void Put(Block& block, size_t offset, const std::string& text) {
  std::copy(text.begin(), text.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

Block Blanks() {
  Block block;
  block.fill(' ');
  return block;
}

TPatientBlockFields SamplePatient() {
  TPatientBlockFields p;
  p.pat_nr = "4711";
  p.last_name = "Mustermann";
  p.first_name = "Erika";
  p.date_of_birth = Date(1949, 4, 1);
  p.age = 75;
  p.race = 3;
  p.sex = 1;
  p.height = 168;
  p.weight = 62;
  p.pace_maker = 1;
  p.pace_maker_type = "DDD";
  p.pace_maker_act_date = Date(2019, 11, 5);
  return p;
}

TRecordingBlockFields SampleRecording() {
  TRecordingBlockFields r;
  r.recording_date = Date(2003, 2, 1);
  r.recording_time = Time(7, 5, 9);
  r.recording_type = 7;
  r.dev_type = "ZK-131";
  r.dev_version = "0.99b";
  r.recording_pace_maker = 1;
  r.dev_serial = "123";
  r.recording_morning = Time(7, 0, 0);
  r.recording_evening = Time(22, 0, 0);
  return r;
}

class RecorderBlocks : public ::testing::Test {
 protected:
  platform::ManualClock clock_{kNow};
};

TEST_F(RecorderBlocks, PatientBlockPutsEveryFieldInItsColumn) {
  TPatientBlockFields p = SamplePatient();
  p.last_name = "Abcdefghijklmnopqrstuvwxyz123456789";  // 35 characters
  p.first_name = "Anna-Maria Luise Ka";                 // 19 characters
  p.race = 12;
  p.height = 175.9;
  p.weight = 300;
  const Block block = TRecorderBlocks::PackPatientBlock(p);

  struct Field {
    const char* name;
    size_t offset;
    std::string want;
  };
  const Field kFields[] = {
      {"PatNr", 0, "4711" + std::string(16, ' ')},
      {"LastName cut to 30", 20, "Abcdefghijklmnopqrstuvwxyz1234"},
      {"rest of LastName blank", 50, std::string(30, ' ')},
      {"FirstName part 1", 80, "Anna-Maria Luis"},
      {"FirstName part 2", 95, "e Ka" + std::string(11, ' ')},
      {"DateOfBirth", 110, "19490401"},
      {"Age", 118, std::string("\x4b\x00", 2)},
      {"Race 12 keeps its first digit", 120, "1"},
      {"Sex female", 121, "2"},
      {"Height 175.9", 122, std::string("\xaf\x00", 2)},
      {"Weight 300", 124, std::string("\x2c\x01", 2)},
      {"PaceMaker", 126, std::string("\x01", 1)},
      {"PaceMakerType", 127, "DDD" + std::string(17, ' ')},
      {"PaceMakerActDate", 147, "20191105"},
      {"unused rest", 155, std::string(357, ' ')},
  };
  for (const Field& f : kFields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(Bytes(block, f.offset, f.want.size()), f.want);
  }
}

TEST_F(RecorderBlocks, SexCodesMapBothWays) {
  struct Case {
    int32_t code;
    char packed;
    int32_t unpacked;
  };
  const Case kCases[] = {{0, ' ', 0}, {1, '2', 1}, {2, '1', 2}, {3, ' ', 0}, {-1, ' ', 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    TPatientBlockFields p = SamplePatient();
    p.sex = c.code;
    const Block block = TRecorderBlocks::PackPatientBlock(p);
    EXPECT_EQ(block[121], static_cast<uint8_t>(c.packed));
    EXPECT_EQ(TRecorderBlocks::UnpackPatientBlock(block, clock_).sex, c.unpacked);
  }
  // A recorder's unknown code reads as none.
  Block block = TRecorderBlocks::PackPatientBlock(SamplePatient());
  block[121] = '3';
  EXPECT_EQ(TRecorderBlocks::UnpackPatientBlock(block, clock_).sex, 0);
}

TEST_F(RecorderBlocks, TwoByteNumbersAreWholeAndStayInTheirColumn) {
  struct Case {
    const char* name;
    double value;
    uint8_t low;
    uint8_t high;
    double unpacked;
  };
  const Case kCases[] = {
      {"fraction cut", 175.9, 0xaf, 0x00, 175.0},
      {"high byte", 300.0, 0x2c, 0x01, 300.0},
      {"largest", 65535.0, 0xff, 0xff, 65535.0},
      {"too large held at the largest", 70000.0, 0xff, 0xff, 65535.0},
      {"negative held at zero", -5.5, 0x00, 0x00, 0.0},
      {"nan is zero", std::nan(""), 0x00, 0x00, 0.0},
      {"infinity held at the largest", std::numeric_limits<double>::infinity(), 0xff, 0xff, 65535.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TPatientBlockFields p = SamplePatient();
    p.height = c.value;
    p.weight = c.value;
    const Block block = TRecorderBlocks::PackPatientBlock(p);
    EXPECT_EQ(block[122], c.low);
    EXPECT_EQ(block[123], c.high);
    EXPECT_EQ(block[124], c.low);
    EXPECT_EQ(block[125], c.high);
    EXPECT_EQ(block[126], 0x01) << "the pacemaker byte after the weight is untouched";
    const TPatientBlockFields back = TRecorderBlocks::UnpackPatientBlock(block, clock_);
    EXPECT_EQ(back.height, c.unpacked);
    EXPECT_EQ(back.weight, c.unpacked);
  }
}

TEST_F(RecorderBlocks, OverlongTextsNeverReachTheNextColumn) {
  const std::string kLong(600, 'x');
  struct Case {
    const char* name;
    size_t offset;
    size_t length;
    void (*set)(TPatientBlockFields&, TAddressBlockFields&, TRecordingBlockFields&, const std::string&);
    int block;  // 0 patient, 1 address, 2 recording
  };
  const Case kCases[] = {
      {"PatNr", 0, 20, [](auto& p, auto&, auto&, const std::string& t) { p.pat_nr = t; }, 0},
      {"LastName", 20, 30, [](auto& p, auto&, auto&, const std::string& t) { p.last_name = t; }, 0},
      {"FirstName", 80, 30, [](auto& p, auto&, auto&, const std::string& t) { p.first_name = t; }, 0},
      {"PaceMakerType", 127, 20, [](auto& p, auto&, auto&, const std::string& t) { p.pace_maker_type = t; },
       0},
      {"Address", 0, 240, [](auto&, auto& a, auto&, const std::string& t) { a.address = t; }, 1},
      {"Fon", 240, 20, [](auto&, auto& a, auto&, const std::string& t) { a.fon = t; }, 1},
      {"Station", 260, 3, [](auto&, auto& a, auto&, const std::string& t) { a.station = t; }, 1},
      {"DevType", 16, 10, [](auto&, auto&, auto& r, const std::string& t) { r.dev_type = t; }, 2},
      {"DevVersion", 26, 10, [](auto&, auto&, auto& r, const std::string& t) { r.dev_version = t; }, 2},
      {"DevSerial", 37, 9, [](auto&, auto&, auto& r, const std::string& t) { r.dev_serial = t; }, 2},
  };
  const auto pack = [](int kind, const TPatientBlockFields& p, const TAddressBlockFields& a,
                       const TRecordingBlockFields& r) {
    if (kind == 0) return TRecorderBlocks::PackPatientBlock(p);
    if (kind == 1) return TRecorderBlocks::PackAddressBlock(2, a);
    return TRecorderBlocks::PackRecordingBlock(r);
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TPatientBlockFields p = SamplePatient();
    TAddressBlockFields a{"Street 1", "0123", "B7"};
    TRecordingBlockFields r = SampleRecording();
    c.set(p, a, r, "");
    const Block empty = pack(c.block, p, a, r);
    c.set(p, a, r, kLong);
    const Block full = pack(c.block, p, a, r);
    for (size_t i = 0; i < TRecorderBlocks::kBlockSize; ++i) {
      const bool inside = i >= c.offset && i < c.offset + c.length;
      if (inside) {
        EXPECT_EQ(full[i], 'x') << "byte " << i;
      } else {
        EXPECT_EQ(full[i], empty[i]) << "byte " << i;
      }
    }
  }
}

TEST_F(RecorderBlocks, TextsAreSingleByteInTheBlockAndCutByCharacter) {
  TPatientBlockFields p = SamplePatient();
  // 30 two-byte UTF-8 characters: cut by bytes, the name would fill only half the column.
  std::string name;
  for (int i = 0; i < 31; ++i) name += "\xc3\xbc";  // u umlaut
  p.last_name = name;
  p.first_name = "J\xc3\xbcrgen";
  const Block block = TRecorderBlocks::PackPatientBlock(p);
  EXPECT_EQ(Bytes(block, 20, 30), std::string(30, '\xfc'));
  EXPECT_EQ(Bytes(block, 80, 7), "J\xfcrgen ");
  const TPatientBlockFields back = TRecorderBlocks::UnpackPatientBlock(block, clock_);
  EXPECT_EQ(back.last_name, name.substr(0, 60));
  EXPECT_EQ(back.first_name, "J\xc3\xbcrgen");
}

TEST_F(RecorderBlocks, UnpackingThePatientBlock) {
  struct Case {
    const char* name;
    size_t offset;
    std::string bytes;
    void (*check)(const TPatientBlockFields&);
  };
  static const platform::OleDateTime kToday = Date(2024, 5, 10);
  const Case kCases[] = {
      {"second LastName column appends", 50, "Schmidt-Lehmann Baronesse vonX",
       [](const TPatientBlockFields& p) {
         EXPECT_EQ(p.last_name, std::string("Mustermann") + "Schmidt-Lehmann Baronesse vonX");
       }},
      {"each FirstName part is cut on its own", 80, "Anna Maria Lui e Karoline",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.first_name, "Anna Maria Luie Karoline"); }},
      {"leap day", 110, "19600229",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.date_of_birth, Date(1960, 2, 29)); }},
      {"seven digits are today", 110, "1960022 ",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.date_of_birth, kToday); }},
      {"blank date is today", 110, "        ",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.date_of_birth, kToday); }},
      {"no such leap day is today, invalid", 110, "19610229",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.date_of_birth, Invalid(kToday)); }},
      {"month 13 is today, invalid", 110, "19601301",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.date_of_birth, Invalid(kToday)); }},
      {"letters are today, invalid", 147, "2019AB05",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.pace_maker_act_date, Invalid(kToday)); }},
      {"race letter is 0", 120, "A", [](const TPatientBlockFields& p) { EXPECT_EQ(p.race, 0); }},
      {"race digit", 120, "9", [](const TPatientBlockFields& p) { EXPECT_EQ(p.race, 9); }},
      {"any nonzero pacemaker byte", 126, "N",
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.pace_maker, 1); }},
      {"zero pacemaker byte", 126, std::string(1, '\0'),
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.pace_maker, 0); }},
      {"blank PatNr is empty", 0, std::string(20, ' '),
       [](const TPatientBlockFields& p) { EXPECT_EQ(p.pat_nr, ""); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TPatientBlockFields p = SamplePatient();
    p.first_name = "";
    Block block = TRecorderBlocks::PackPatientBlock(p);
    Put(block, c.offset, c.bytes);
    c.check(TRecorderBlocks::UnpackPatientBlock(block, clock_));
  }
}

TEST_F(RecorderBlocks, PatientBlockWithoutPacemakerHasAZeroByteAmongBlanks) {
  TPatientBlockFields p;
  p.date_of_birth = Invalid(Date(1950, 1, 1));
  p.pace_maker_act_date = Invalid(Date(1950, 1, 1));
  const Block block = TRecorderBlocks::PackPatientBlock(p);
  for (size_t i = 0; i < block.size(); ++i) {
    if (i == 118 || i == 119 || (i >= 122 && i <= 126)) {
      EXPECT_EQ(block[i], 0x00) << "byte " << i;
    } else if (i == 120) {
      EXPECT_EQ(block[i], '0');
    } else {
      EXPECT_EQ(block[i], ' ') << "byte " << i;
    }
  }
}

TEST_F(RecorderBlocks, RecordingTimeIsATimeOfDay) {
  struct Case {
    const char* name;
    std::string bytes;
    platform::OleDateTime want;
  };
  const Case kCases[] = {
      {"digits", "093015", Time(9, 30, 15)},
      {"midnight", "000000", Time(0, 0, 0)},
      {"blanks are the current time", "      ", Time(14, 20, 30)},
      {"five digits are the current time", "09301 ", Time(14, 20, 30)},
      {"hour 25 is the current time, invalid", "250000", Invalid(Time(14, 20, 30))},
      {"letters are the current time, invalid", "09x015", Invalid(Time(14, 20, 30))},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Block block = TRecorderBlocks::PackRecordingBlock(SampleRecording());
    Put(block, 8, c.bytes);
    const TRecordingBlockFields r = TRecorderBlocks::UnpackRecordingBlock(block, clock_);
    EXPECT_EQ(r.recording_time, c.want);
    EXPECT_LT(r.recording_time.days, 1.0);
  }
}

TEST_F(RecorderBlocks, RecordingBlockLayoutAndFixedDayTimes) {
  TRecordingBlockFields r = SampleRecording();
  // A start time carrying a date still packs its time of day only.
  r.recording_time.days += 37000.0;
  r.recording_type = 300;
  r.recording_morning = Time(6, 0, 0);
  const Block block = TRecorderBlocks::PackRecordingBlock(r);
  EXPECT_EQ(Bytes(block, 0, 46),
            std::string("20030201070509\x2c\x01ZK-131    0.99b     \x01", 37) + "123      ");
  EXPECT_EQ(Bytes(block, 46, 466), std::string(466, ' '));

  const TRecordingBlockFields back = TRecorderBlocks::UnpackRecordingBlock(block, clock_);
  EXPECT_EQ(back.recording_date, Date(2003, 2, 1));
  EXPECT_EQ(back.recording_time, Time(7, 5, 9));
  EXPECT_EQ(back.recording_type, 300);
  EXPECT_EQ(back.recording_morning, Time(7, 0, 0));
  EXPECT_EQ(back.recording_evening, Time(22, 0, 0));
}

TEST_F(RecorderBlocks, AddressFieldsTravelOnlyWithFileVersion2) {
  const TAddressBlockFields a{"Hauptstr. 5\r\n12345 Musterstadt", "+49 30 1234567", "B7"};
  const Block with_text = TRecorderBlocks::PackAddressBlock(2, a);
  EXPECT_EQ(Bytes(with_text, 0, 30), "Hauptstr. 5\r\n12345 Musterstadt");
  EXPECT_EQ(Bytes(with_text, 240, 23), "+49 30 1234567      B7 ");

  struct Case {
    int version;
    TAddressBlockFields unpacked;
    bool packs_text;
  };
  const Case kCases[] = {{0, {}, false}, {1, {}, false}, {2, a, true}, {3, {}, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(c.version, with_text), c.unpacked);
    EXPECT_EQ(TRecorderBlocks::PackAddressBlock(c.version, a) == Blanks(), !c.packs_text);
  }
}

TEST_F(RecorderBlocks, FieldsSurviveARoundTrip) {
  TPatientBlockFields p = SamplePatient();
  p.first_name = "Anna-Maria Luise Karoline";
  p.last_name = std::string(30, 'L');
  EXPECT_EQ(TRecorderBlocks::UnpackPatientBlock(TRecorderBlocks::PackPatientBlock(p), clock_), p);

  const TRecordingBlockFields r = SampleRecording();
  EXPECT_EQ(TRecorderBlocks::UnpackRecordingBlock(TRecorderBlocks::PackRecordingBlock(r), clock_), r);

  const TAddressBlockFields a{std::string(240, 'a'), std::string(20, 'f'), "S12"};
  EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(2, TRecorderBlocks::PackAddressBlock(2, a)), a);
}

TEST_F(RecorderBlocks, ShortBlocksFromOutside) {
  const Block patient = TRecorderBlocks::PackPatientBlock(SamplePatient());
  const Block recording = TRecorderBlocks::PackRecordingBlock(SampleRecording());
  const Block address = TRecorderBlocks::PackAddressBlock(2, {"A", "F", "S"});
  const std::span<const uint8_t> p(patient), r(recording), a(address);

  EXPECT_THROW(TRecorderBlocks::UnpackPatientBlock(p.first(293), clock_), platform::FormatError);
  EXPECT_EQ(TRecorderBlocks::UnpackPatientBlock(p.first(294), clock_), SamplePatient());
  EXPECT_THROW(TRecorderBlocks::UnpackPatientBlock({}, clock_), platform::FormatError);

  EXPECT_THROW(TRecorderBlocks::UnpackRecordingBlock(r.first(38), clock_), platform::FormatError);
  // The serial number's column runs past the smallest block: what is missing reads as blanks.
  EXPECT_EQ(TRecorderBlocks::UnpackRecordingBlock(r.first(39), clock_).dev_serial, "12");

  EXPECT_THROW(TRecorderBlocks::UnpackAddressBlock(2, a.first(262)), platform::FormatError);
  EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(2, a.first(263)).station, "S");
  // Without the address version nothing is read, so nothing can be short.
  EXPECT_EQ(TRecorderBlocks::UnpackAddressBlock(1, {}), TAddressBlockFields{});
}

TEST_F(RecorderBlocks, RecordsToBlocksAndBack) {
  TPatientData patient(clock_);
  patient.patient_id = "P-17";
  patient.surname = "Mustermann";
  patient.first_name = "Erika";
  patient.birth_date = Date(1960, 2, 29);
  patient.sex = 2;
  patient.height = 182.5;
  patient.weight = 80;
  patient.pacemaker = 1;
  auto recording = std::make_unique<TRecordingData>(clock_);
  recording->start_date = Date(2024, 5, 9);
  recording->start_time = Time(8, 15, 0);
  recording->pacemaker_recording = 1;

  const TPatientBlockFields p = TRecorderBlocks::PatientFieldsFromRecord(patient, clock_);
  EXPECT_EQ(p.age, 64);
  EXPECT_EQ(p.race, 1);
  EXPECT_EQ(p.pace_maker_act_date, Date(2024, 5, 10));
  EXPECT_EQ(p.height, 182.5);
  const TRecordingBlockFields r =
      TRecorderBlocks::RecordingFieldsFromRecord(*recording, "ZK-131", "1.20", "9876");
  EXPECT_EQ(r.recording_type, 7);

  // Read back as the read-out does, into fresh records.
  const TAddressBlockFields a{"Hauptstr. 5", "0301234", "B7"};
  TPatientData read_patient(clock_);
  auto read_recording = std::make_unique<TRecordingData>(clock_);
  TRecorderBlocks::StoreInRecords(
      TRecorderBlocks::UnpackPatientBlock(TRecorderBlocks::PackPatientBlock(p), clock_),
      TRecorderBlocks::UnpackAddressBlock(2, TRecorderBlocks::PackAddressBlock(2, a)),
      TRecorderBlocks::UnpackRecordingBlock(TRecorderBlocks::PackRecordingBlock(r), clock_), read_patient,
      *read_recording);

  TPatientData want = patient;
  want.height = 182.0;
  want.address = "Hauptstr. 5";
  want.telephone = "0301234";
  want.station = "B7";
  EXPECT_EQ(read_patient, want);
  EXPECT_EQ(read_recording->start_date, recording->start_date);
  EXPECT_EQ(read_recording->start_time, recording->start_time);
  EXPECT_EQ(read_recording->pacemaker_recording, 1);
  EXPECT_EQ(read_recording->identity_text, "ZK-131 1.20 9876");
}

TEST_F(RecorderBlocks, AgeOfAnUnusableBirthDateIsZero) {
  TPatientData patient(clock_);
  struct Case {
    const char* name;
    platform::OleDateTime birth;
  };
  const Case kCases[] = {
      {"invalid", Invalid(Date(1960, 1, 1))}, {"huge", {0, 1e300}}, {"nan", {0, std::nan("")}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    patient.birth_date = c.birth;
    const TPatientBlockFields p = TRecorderBlocks::PatientFieldsFromRecord(patient, clock_);
    EXPECT_EQ(p.age, 0);
    // And the date that no calendar holds stays blank, which reads back as today.
    const Block block = TRecorderBlocks::PackPatientBlock(p);
    EXPECT_EQ(Bytes(block, 110, 8), std::string(8, ' '));
  }
}

}  // namespace
