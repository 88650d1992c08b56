#include "document/raw_ecg_data.h"

#include <algorithm>
#include <ostream>
#include <span>

#include "document/document_context.h"
#include "document/recording_files.h"
#include "document/ref_signal_file.h"
#include "document/sample_file.h"
#include "document/sample_word.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

constexpr uint64_t kTapBytesPerMinute = 15000;  // two channels, one byte per sample
constexpr uint64_t kRx3BytesPerMinute = 15000;  // one channel, one word per sample
constexpr uint64_t kKzcBytesPerMinute = 30000;  // two channels, one word per sample

int CeilMinutes(uint64_t bytes, uint64_t per_minute) {
  return static_cast<int>(std::min<uint64_t>((bytes + per_minute - 1) / per_minute, INT32_MAX));
}

// Minutes of an uncompressed sample file: a TAP file counts whole minutes only.
int UncompressedMinutes(TRawECGData::ReaderKind kind, uint64_t size) {
  if (kind == TRawECGData::kReaderTap)
    return static_cast<int>(std::min<uint64_t>(size / kTapBytesPerMinute, INT32_MAX));
  return CeilMinutes(size, kind == TRawECGData::kReaderRx3 ? kRx3BytesPerMinute : kKzcBytesPerMinute);
}

}  // namespace

TRawECGData::ReaderKind TRawECGData::ReaderKindOf(const std::string& path) {
  if (path.size() >= 3) {
    const std::string ext = document::LastThreeUpper(path);
    if (ext == "CMP") return kReaderCmp;
    if (ext == "DAT") return kReaderDat;
    if (ext == "TAP") return kReaderTap;
    if (ext == "RX3") return kReaderRx3;
    if (ext == "KZC") return kReaderKzc;
    if (ext == "KHI") return kReaderKhi;
  }
  return IsRefSignalFileName(path) ? kReaderRefSignal : kReaderNone;
}

TRawECGData::TRawECGData(TZK130InfoList* sink) : sink_(sink) {}

TRawECGData::TRawECGData(TZK130InfoList* sink, std::string path) : path_(std::move(path)), sink_(sink) {
  Construct();
  InitECGDecomp();
}

TRawECGData::TRawECGData(TZK130InfoList* sink, std::string path, std::ostream& report)
    : path_(std::move(path)), sink_(sink) {
  Construct();
  CheckECGDecomp(report);
}

void TRawECGData::Construct() {
  reader_kind_ = ReaderKindOf(path_);
  mSampleRate = kSampleRateHz;
  channel_count_ = 2;
  EmptyCache();
}

void TRawECGData::EmptyCache() {
  cached_minute_ = -1;
  for (TECGBlock& block : cache_) {
    block.minute = -1;
    block.Clear();
  }
}

const std::string& TRawECGData::GetIndexNote() const {
  return reader_kind_ == kReaderCmp || reader_kind_ == kReaderDat ? decoder_.IndexNote() : index_note_;
}

void TRawECGData::SetWholeMinutes(int minutes) {
  mCurWholeMinutes = std::clamp(minutes, 0, kMaxWholeMinutes);
}

void TRawECGData::InitECGDecomp() {
  mCurWholeMinutes = 0;
  compressed_format_ = 0;
  channel_count_ = 2;
  index_note_.clear();
  decoder_.Reset();
  int minutes = 0;
  switch (reader_kind_) {
    case kReaderTap:
    case kReaderRx3:
    case kReaderKzc:
      minutes = UncompressedMinutes(reader_kind_, SampleFile(path_).Size());
      break;
    case kReaderKhi: {
      SampleFile probe(path_);  // an IoError of its own when the file cannot be opened
      if (!exchange_file_.ReadHeader(path_))
        throw platform::FormatError(path_ + ", header", "not a KHI exchange file this program reads");
      // The blocks hold the displayed channels, at most three.
      const uint32_t shown = std::min<uint32_t>(exchange_file_.display_count, kMaxChannels);
      if (shown == 0) throw platform::FormatError(path_ + ", header", "no displayed channel");
      channel_count_ = static_cast<int16_t>(shown);
      minutes = exchange_file_.GetDurationMinutes();
      break;
    }
    case kReaderRefSignal: {
      SampleFile probe(path_);
      minutes = GetRefDurationMinutes(path_);
      if (minutes >= 1) channel_count_ = static_cast<int16_t>(GetRefChannelCount(path_));
      break;
    }
    case kReaderCmp:
    case kReaderDat: {
      const SampleFile file(path_);
      decoder_.Index(file);
      minutes = decoder_.WholeMinutes();
      channel_count_ = static_cast<int16_t>(decoder_.ChannelCount());
      compressed_format_ = static_cast<int>(decoder_.GetFormat());
      break;
    }
    case kReaderNone:
      break;
  }
  mCurWholeMinutes = std::min(minutes, kMaxWholeMinutes);
}

void TRawECGData::CheckECGDecomp(std::ostream& report) {
  bool error = false;
  auto line = [&](const std::string& text) {
    report << text;
    if (text.rfind("Error:", 0) == 0) error = true;
  };
  mCurWholeMinutes = 0;
  compressed_format_ = 0;
  channel_count_ = 2;
  index_note_.clear();
  decoder_.Reset();
  int minutes = 0;
  try {
    switch (reader_kind_) {
      case kReaderTap:
      case kReaderRx3:
      case kReaderKzc: {
        const SampleFile file = SampleFile::TryOpen(path_);
        if (!file.IsOpen()) {
          line("Error: Opening file\n");
          break;
        }
        minutes = UncompressedMinutes(reader_kind_, file.Size());
        break;
      }
      case kReaderKhi:
        if (!exchange_file_.ReadHeader(path_)) {
          line("Error: Opening file\n");
          break;
        }
        channel_count_ = static_cast<int16_t>(std::min<uint32_t>(exchange_file_.display_count, kMaxChannels));
        minutes = exchange_file_.GetDurationMinutes();
        break;
      case kReaderRefSignal:
        minutes = GetRefDurationMinutes(path_);
        if (minutes < 1)
          line("Error: Opening file mCurWholeMinutes == 0\n");
        else
          channel_count_ = static_cast<int16_t>(GetRefChannelCount(path_));
        break;
      case kReaderCmp:
      case kReaderDat: {
        const SampleFile file = SampleFile::TryOpen(path_);
        if (!file.IsOpen()) {
          line("Error: Opening file\n");
          break;
        }
        uint16_t first = 0;
        if (!file.ReadWord(0, first)) {
          line("Error: Reading FileHead\n");
          break;
        }
        if (first & 0x8000) {
          minutes = decoder_.CheckNew(file, line);
          channel_count_ = static_cast<int16_t>(decoder_.ChannelCount());
          compressed_format_ = static_cast<int>(decoder_.GetFormat());
        } else {
          line("Checking of old RAW File Format not supported\n");
          compressed_format_ = 1;
        }
        break;
      }
      case kReaderNone:
        break;
    }
  } catch (const platform::IoError& e) {
    line(std::string("Error: ") + e.what() + "\n");
    minutes = 0;
    decoder_.Reset();
  }
  mCurWholeMinutes = std::min(minutes, kMaxWholeMinutes);
  line(error ? "Error found in InitECGDecomp\n" : "No error found in InitECGDecomp\n");
}

void TRawECGData::Reopen() {
  EmptyCache();
  InitECGDecomp();
}

CmpMarkerTarget TRawECGData::MarkerTarget() const {
  const document::ChannelSet& set = document::Context().g_AnalysisChannels;
  return {sink_, std::span<const int>(set.channels.data(), static_cast<size_t>(std::clamp(set.count, 0, 2)))};
}

void TRawECGData::LoadMinute(int minute, bool report_markers) {
  EmptyCache();
  if (minute >= 0 && minute < mCurWholeMinutes) {
    switch (reader_kind_) {
      case kReaderTap:
      case kReaderRx3:
      case kReaderKzc:
        LoadUncompressed(minute);
        break;
      case kReaderKhi:
        if (!exchange_file_.ReadBlock(path_, minute, cache_)) {
          // Samples of another width open, and every minute says why it shows nothing.
          if (std::string fault = exchange_file_.SampleWidthFault(); !fault.empty())
            throw platform::FormatError(path_ + ", minute " + std::to_string(minute), fault);
          throw platform::IoError(path_, "minute " + std::to_string(minute) + " cannot be read");
        }
        break;
      case kReaderRefSignal:
        if (!ReadRefSignalBlock(path_, minute, cache_))
          throw platform::IoError(path_, "minute " + std::to_string(minute) + " cannot be read");
        break;
      case kReaderCmp:
      case kReaderDat: {
        const SampleFile file(path_);
        try {
          decoder_.DecodeMinute(file, minute, report_markers, cache_, MarkerTarget());
        } catch (...) {
          EmptyCache();
          throw;
        }
        break;
      }
      case kReaderNone:
        break;
    }
  }
  for (TECGBlock& block : cache_) block.minute = minute;
  cached_minute_ = minute;
}

void TRawECGData::LoadUncompressed(int minute) {
  const SampleFile file(path_);
  int16_t* ch0 = cache_[0].samples.data();
  int16_t* ch1 = cache_[1].samples.data();
  const uint64_t per_minute = reader_kind_ == kReaderKzc ? kKzcBytesPerMinute : kTapBytesPerMinute;
  raw_buffer_.resize(per_minute);
  const size_t got = file.ReadAt(per_minute * static_cast<uint64_t>(minute), raw_buffer_);
  const uint8_t* bytes = raw_buffer_.data();
  switch (reader_kind_) {
    case kReaderTap: {
      // Interleaved unsigned bytes, 4 store units per step around the mid value 128.
      const size_t samples = std::min<size_t>(got / 2, kSamplesPerMinute);
      for (size_t i = 0; i < samples; ++i) {
        ch0[i] = static_cast<int16_t>(bytes[2 * i] * 4 - 512);
        ch1[i] = static_cast<int16_t>(bytes[2 * i + 1] * 4 - 512);
      }
      break;
    }
    case kReaderRx3: {
      // One channel, shown in both.
      const size_t samples = std::min<size_t>(got / 2, kSamplesPerMinute);
      for (size_t i = 0; i < samples; ++i) ch0[i] = ch1[i] = Wrap16(2 * platform::LoadLE16(bytes + 2 * i));
      break;
    }
    default: {
      const size_t samples = std::min<size_t>(got / 4, kSamplesPerMinute);
      for (size_t i = 0; i < samples; ++i) {
        ch0[i] = Int12(platform::LoadLE16(bytes + 4 * i));
        ch1[i] = Int12(platform::LoadLE16(bytes + 4 * i + 2));
      }
      break;
    }
  }
}

std::unique_ptr<TECGBlock> TRawECGData::GetChannelMinute(int channel, int minute) {
  auto block = std::make_unique<TECGBlock>(minute, kSamplesPerMinute);
  if (channel < 0 || channel >= kMaxChannels || minute < 0 || minute >= mCurWholeMinutes) return block;
  if (minute != cached_minute_) LoadMinute(minute, false);
  block->samples = cache_[channel].samples;
  return block;
}

int TRawECGData::GetAnalysisMinute(TECGBlock& block, int lead, int minute, bool report_markers) {
  block.minute = minute;
  if (minute < 0 || minute >= mCurWholeMinutes) {
    block.Clear();
    return 0;
  }
  if (minute != cached_minute_) LoadMinute(minute, report_markers);
  const document::ChannelSet& set = document::Context().g_AnalysisChannels;
  const int count = std::clamp(set.count, 0, 2);
  const bool in_set = lead >= 0 && lead < count;
  const int channel = set.channels[in_set ? lead : 0];
  if (channel < 0 || channel >= kMaxChannels) {
    block.Clear();
    return 0;
  }
  const auto& source = cache_[channel].samples;
  if (!in_set && analyze_mode_ == 1) {
    for (int i = 0; i < kSamplesPerMinute; ++i) block.samples[i] = Wrap16(-int32_t{source[i]});
  } else {
    block.samples = source;
  }
  return 0;
}

std::unique_ptr<TECGBlock> TRawECGData::GetPrevChannelMinute(int channel) {
  return GetChannelMinute(channel, cached_minute_ - 1);
}

std::unique_ptr<TECGBlock> TRawECGData::GetNextChannelMinute(int channel) {
  return GetChannelMinute(channel, cached_minute_ + 1);
}
