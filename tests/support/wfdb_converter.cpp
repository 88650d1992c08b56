#include "support/wfdb_converter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "support/cmp_writer.h"
#include "support/recording_setup.h"
#include "support/resampler.h"

namespace testsupport {
namespace {

constexpr double kUvPerUnit = 5.0;
constexpr int kReferenceMin = -2048;  // reference signal words hold 12 bits
constexpr int kReferenceMax = 2047;
constexpr size_t kMaxStoreMinutes = 4320;
constexpr int64_t kMsPerSample = 1000 / kSampleRateHz;

char AnoLabel(int code) { return code == 1 ? '.' : WfdbMnemonic(code); }

}  // namespace

WfdbConversion ConvertWfdbRecord(const WfdbRecord& record, const std::vector<WfdbAnnotation>& annotations) {
  const WfdbHeader& header = record.header;
  const std::string name = header.record_name;
  const double rate = header.sampling_frequency;
  if (rate != std::floor(rate) || rate < 1.0)
    throw platform::FormatError(name, "sampling frequency " + std::to_string(rate) + " is not a whole number of hertz");
  if (record.samples.empty() || record.samples[0].empty()) throw platform::FormatError(name, "record has no samples");

  WfdbConversion out;
  out.record_name = name;
  const size_t source_channels = std::min<size_t>(record.samples.size(), 3);
  out.channels = static_cast<int>(std::max<size_t>(source_channels, 2));
  const Resampler resampler(static_cast<int>(rate), kSampleRateHz);
  for (int c = 0; c < out.channels; ++c) {
    const size_t source = std::min(static_cast<size_t>(c), source_channels - 1);
    const WfdbSignal& signal = header.signals[source];
    // Analog-to-digital units to microvolts, then to store units.
    const double scale = 1000.0 / signal.gain / kUvPerUnit;
    std::vector<double> input(record.samples[source].size());
    for (size_t i = 0; i < input.size(); ++i) input[i] = (record.samples[source][i] - signal.baseline) * scale;
    const std::vector<double> resampled = resampler.Process(input);
    std::vector<int16_t> units(resampled.size());
    for (size_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<int16_t>(std::clamp<long>(std::lround(resampled[i]), kReferenceMin, kReferenceMax));
    }
    out.resampled.push_back(std::move(units));
  }

  const size_t length = out.resampled[0].size();
  if (length / kSamplesPerMinute > kMaxStoreMinutes)
    throw platform::FormatError(name, "longer than the " + std::to_string(kMaxStoreMinutes) + " minutes a store holds");
  out.minutes = static_cast<int>(length / kSamplesPerMinute);
  // One minute more than shown: the new format's reader drops the last minute it indexes. The
  // record's tail (or a repeat of its last sample) fills it.
  const int written = out.minutes + 1;
  CmpWriter writer(CmpFormat::kNew, out.channels);
  std::vector<std::vector<int16_t>> minute(static_cast<size_t>(out.channels), std::vector<int16_t>(kSamplesPerMinute));
  std::vector<std::vector<int16_t>> decoded(minute);
  out.cmp_samples.assign(static_cast<size_t>(out.channels), {});
  for (int m = 0; m < written; ++m) {
    std::vector<std::span<const int16_t>> in;
    std::vector<std::span<int16_t>> dec;
    for (size_t c = 0; c < minute.size(); ++c) {
      const size_t begin = static_cast<size_t>(m) * kSamplesPerMinute;
      for (size_t i = 0; i < kSamplesPerMinute; ++i) minute[c][i] = out.resampled[c][std::min(begin + i, length - 1)];
      in.emplace_back(minute[c]);
      dec.emplace_back(decoded[c]);
    }
    writer.AddMinute(in, CmpMode::kCodedFull, {}, dec);
    if (m < out.minutes) {
      for (size_t c = 0; c < minute.size(); ++c) out.cmp_samples[c].insert(out.cmp_samples[c].end(), decoded[c].begin(), decoded[c].end());
    }
  }
  out.cmp_bytes = writer.TakeBytes();

  const int64_t shown = static_cast<int64_t>(out.minutes) * kSamplesPerMinute;
  const int64_t irate = static_cast<int64_t>(rate);
  const int64_t record_length = static_cast<int64_t>(record.samples[0].size());
  for (const WfdbAnnotation& a : annotations) {
    if (!IsWfdbBeat(a.code) && !IsWfdbFlutterMark(a.code)) continue;
    if (a.sample < 0 || a.sample >= record_length) continue;                        // outside the signal
    const int64_t position = (a.sample * kSampleRateHz * 2 + irate) / (2 * irate);  // rounded
    // The statistic takes time / 8 as the position: a whole number of samples keeps the reference
    // on the beat's own sample, where milliseconds of the source rate would truncate it onto the
    // sample before.
    out.references.push_back({static_cast<int32_t>(position * kMsPerSample), AnoLabel(a.code)});
    if (!IsWfdbBeat(a.code)) continue;
    if (position < shown) out.truth.beats.push_back({static_cast<int32_t>(position), WfdbBeatClass(a.code)});
  }
  return out;
}

WfdbConversion ConvertWfdbRecordToFiles(const std::filesystem::path& record_path, const std::filesystem::path& out_base) {
  const WfdbRecord record = ReadWfdbRecord(record_path);
  std::filesystem::path atr = record_path;
  atr += ".atr";
  std::vector<WfdbAnnotation> annotations;
  if (std::filesystem::exists(atr)) annotations = ReadWfdbAnnotations(atr);
  WfdbConversion out = ConvertWfdbRecord(record, annotations);

  const std::string name = out_base.filename().string();
  const std::string reference_extension = "15" + std::to_string(out.channels);
  platform::WriteFileAtomic(WithExtension(out_base, "CMP"), out.cmp_bytes);
  platform::WriteFileAtomic(WithExtension(out_base, reference_extension), EncodeReferenceSignal(out.resampled));
  WriteAnoFile(WithExtension(out_base, "ANO"), out.references);
  WriteTruthList(WithExtension(out_base, "truth.txt"), out.truth);

  RecordingSetup setup;
  setup.sample_file = name + ".CMP";
  setup.truth_file = name + ".truth.txt";
  setup.reference_file = name + "." + reference_extension;
  setup.annotation_file = name + ".ANO";
  setup.channels = out.channels;
  setup.minutes = out.minutes;
  setup.format = "new";
  std::ostringstream source;
  source << "WFDB record " << record.header.record_name << ", " << record.header.sampling_frequency << " Hz, "
         << record.header.signals.size() << " signals (";
  for (size_t i = 0; i < record.header.signals.size(); ++i) {
    const std::string& description = record.header.signals[i].description;
    source << (i > 0 ? ", " : "") << (description.empty() ? "?" : description);
  }
  source << "), resampled to 125 Hz";
  setup.source = source.str();
  WriteRecordingSetup(SetupPathFor(out_base), setup);
  return out;
}

void WriteAnoFile(const std::filesystem::path& path, const std::vector<ReferenceBeat>& references) {
  std::vector<uint8_t> bytes(references.size() * 5);
  for (size_t i = 0; i < references.size(); ++i) {
    platform::StoreLE32(&bytes[5 * i], static_cast<uint32_t>(references[i].time_ms));
    bytes[5 * i + 4] = static_cast<uint8_t>(references[i].label);
  }
  platform::WriteFileAtomic(path, bytes);
}

std::vector<ReferenceBeat> ReadAnoFile(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path);
  std::vector<ReferenceBeat> references(bytes.size() / 5);
  for (size_t i = 0; i < references.size(); ++i) {
    references[i] = {static_cast<int32_t>(platform::LoadLE32(&bytes[5 * i])), static_cast<char>(bytes[5 * i + 4])};
  }
  return references;
}

std::vector<uint8_t> EncodeReferenceSignal(const std::vector<std::vector<int16_t>>& channels) {
  const size_t length = channels.empty() ? 0 : channels[0].size();
  std::vector<uint8_t> bytes(length * channels.size() * 2);
  size_t at = 0;
  for (size_t i = 0; i < length; ++i) {
    for (const auto& channel : channels) {
      platform::StoreLE16(&bytes[at], static_cast<uint16_t>(channel[i] & 0x0FFF));
      at += 2;
    }
  }
  return bytes;
}

}  // namespace testsupport
