#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/record_format.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/recorder_blocks.h"

// Card images for the tests of the RAW checker and the seeds of its fuzz corpus.
namespace rawcheck {

inline const platform::ManualClock kClock({2026, 12, 10, 12, 0, 0, 0});
inline const platform::FixedLocale kLocale(platform::FixedLocale::Kind::k24Hour);

inline platform::OleDateTime Date(int year, int month, int day) {
  return document::ToOleDateTime({year, month, day, 0, 0, 0, 0});
}
inline platform::OleDateTime Time(int hour, int minute, int second) {
  return document::OleTimeOnly({1899, 12, 30, hour, minute, second, 0});
}

inline TPatientBlockFields Patient() {
  TPatientBlockFields p;
  p.pat_nr = "P-17";
  p.last_name = "Muster";
  p.first_name = "Erika";
  p.date_of_birth = Date(1950, 4, 3);
  p.age = 76;
  p.race = 1;
  p.sex = 1;
  p.height = 168;
  p.weight = 61;
  p.pace_maker = 1;
  p.pace_maker_type = "DDD";
  p.pace_maker_act_date = Date(2020, 1, 2);
  return p;
}

inline TRecordingBlockFields Recording(const std::string& dev_version) {
  TRecordingBlockFields r;
  r.recording_date = Date(2026, 12, 1);
  r.recording_time = Time(8, 15, 30);
  r.recording_type = 7;
  r.dev_type = "ZK-131";
  r.dev_version = dev_version;
  r.recording_pace_maker = 0;
  r.dev_serial = "123456";
  return r;
}

// A card image as the recorder writes it: header, patient block at 512, recording block at 1024,
// the address block (flex entry 0) at 1536, 1024 bytes of ECG at 2048 and a voice area of 600
// samples at 3072.
struct Image {
  recorder::TRawFileHeader header;
  std::vector<uint8_t> bytes;

  static Image Good(const std::string& dev_version = "V1.20") {
    Image image;
    recorder::TRawFileHeader& h = image.header;
    h.RawPatBlockAddr = 512;
    h.RawPatBlockSize = 512;
    h.RawRecBlockAddr = 1024;
    h.RawRecBlockSize = 512;
    h.RawFlexBlockAddr[0] = 1536;
    h.RawFlexBlockSize[0] = 512;
    h.RawEcgBlockAddr = 2048;
    h.RawEcgBlockSize = 1024;
    h.RawVoicBlockAddr = 3072;
    h.RawFileVersion = 2;
    image.bytes.resize(3072 + 20 + 600);
    image.Put(512, TRecorderBlocks::PackPatientBlock(Patient()));
    image.Put(1024, TRecorderBlocks::PackRecordingBlock(Recording(dev_version)));
    image.Put(1536, TRecorderBlocks::PackAddressBlock(2, {"Hauptstr. 1", "0711 123", "W12"}));
    recorder::TRawVoiceHeader voice;
    voice.VoicFormat = 1;
    voice.VoicFreq = 8000;
    voice.VoicBitsStorage = 8;
    voice.VoicBitsSnd = 16;
    voice.VoicDay = 3;
    voice.VoicSec = 70000;
    voice.VoicAverage = 128;
    voice.VoicNSample = 600;
    image.Put(3072, voice.Pack());
    return image;
  }

  template <class Bytes>
  void Put(size_t offset, const Bytes& data) {
    if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  // The bytes with the header packed in.
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out = bytes;
    const auto packed = header.Pack();
    std::copy(packed.begin(), packed.end(), out.begin());
    return out;
  }
};

}  // namespace rawcheck
