#include "support/esc_records.h"

#include <string>

#include "platform/archive.h"
#include "support/recording_setup.h"
#include "support/test_recordings.h"
#include "support/wfdb_converter.h"

namespace coretest {

namespace {

constexpr int32_t kMsPerSample = 8;  // 125 Hz

char AnnotationLabel(uint8_t beat_class) {
  switch (beat_class) {
    case testsupport::kClassNormal:
      return '.';
    case testsupport::kClassSves:
      return 'A';
    case testsupport::kClassVes:
      return 'V';
    case testsupport::kClassPaced:
      return '/';
    default:
      return 'Q';
  }
}

}  // namespace

std::vector<uint8_t> EncodeSttRecords(const std::vector<SttReference>& references) {
  std::vector<uint8_t> bytes;
  for (const SttReference& r : references) {
    uint16_t flags = static_cast<uint16_t>(r.type & 0x0F);
    if (r.value_hundredths < 0) flags |= 0x40;
    if (r.channel == 1) flags |= 0x80;
    const uint16_t magnitude =
        static_cast<uint16_t>(r.value_hundredths < 0 ? -r.value_hundredths : r.value_hundredths);
    uint8_t record[8];
    platform::StoreLE32(record, static_cast<uint32_t>(r.time_ms));
    record[4] = static_cast<uint8_t>(flags);
    record[5] = static_cast<uint8_t>(flags >> 8);
    record[6] = static_cast<uint8_t>(magnitude);
    record[7] = static_cast<uint8_t>(magnitude >> 8);
    bytes.insert(bytes.end(), record, record + 8);
  }
  return bytes;
}

void WriteSttFile(const std::filesystem::path& path, const std::vector<SttReference>& references) {
  platform::WriteFileAtomic(path, EncodeSttRecords(references));
}

std::string EscRecordName(int number) { return (number < 1000 ? "ESC0" : "ESC") + std::to_string(number); }

testsupport::TruthList MakeEscRecord(const std::filesystem::path& folder, int number,
                                     const testsupport::SynthOptions& options) {
  const std::filesystem::path base = folder / EscRecordName(number);
  testsupport::TruthList truth = testsupport::WriteSyntheticRecording(base, options);
  WriteRecordingFile(base);
  std::vector<testsupport::ReferenceBeat> references;
  references.reserve(truth.beats.size());
  for (const testsupport::TruthBeat& beat : truth.beats)
    references.push_back({beat.position * kMsPerSample, AnnotationLabel(beat.beat_class)});
  testsupport::WriteAnoFile(testsupport::WithExtension(base, "ANO"), references);
  return truth;
}

}  // namespace coretest
