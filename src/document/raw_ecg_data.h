#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "document/cmp_decoder.h"
#include "document/ecg_block.h"
#include "document/signal_exchange_file.h"

class TZK130InfoList;

// The sample store of one recording: whole minutes of 7500 samples (125 per second) of up to three
// channels, read from the recording's ECG data file one minute at a time into a one-minute cache.
// The reader is chosen by the last three characters of the path: "CMP"/"DAT" compressed,
// "TAP" tape bytes, "RX3" serial-recorder words, "KZC" 12-bit word pairs, "KHI" exchange file,
// else a reference-database signal file when the name test accepts it.
// Owned by the document. No lock: the user-interface thread reads it, or an analysis worker while
// that thread waits in the modal analysis dialog. Opening indexes the file; each minute load
// opens and closes it again, so nothing stays open between calls.
class TRawECGData {
 public:
  enum ReaderKind : int32_t {
    kReaderNone = -1,  // no file, or a name no reader accepts
    kReaderCmp = 0,
    kReaderDat = 1,
    kReaderTap = 2,
    kReaderRx3 = 3,
    kReaderKzc = 4,
    kReaderKhi = 5,
    kReaderRefSignal = 6,
  };

  static constexpr int kSampleRateHz = 125;
  static constexpr int kSamplesPerMinute = TECGBlock::kSamples;
  static constexpr int kMaxChannels = 3;
  static constexpr int kMaxWholeMinutes = 4320;  // three days

  // A store without a file: 0 whole minutes, sample rate 0.0. The sink (not owned, may be null)
  // receives the recorder markers of minutes decoded with marker reporting.
  explicit TRawECGData(TZK130InfoList* sink);
  // Opens and indexes the file. Throws platform::IoError when it cannot be opened or read, and
  // platform::FormatError when its header is not the format's (an empty compressed file, a
  // compressed header with more than 3 channels or another rate or block size, a KHI file the
  // exchange reader rejects). A file damaged or cut further on opens with the whole minutes
  // before the damage (GetIndexNote says where); a file too short for one minute has 0.
  TRawECGData(TZK130InfoList* sink, std::string path);
  // The checking variant: writes a line for every field the index scan reads to the report and
  // never throws for the file's content; the store is usable afterwards.
  TRawECGData(TZK130InfoList* sink, std::string path, std::ostream& report);

  // Indexes the file again (clearing the compressed reader's lead-off flags). Throws as the
  // constructor; the store then has 0 whole minutes.
  void InitECGDecomp();
  // The index scan with report lines (the checking variant).
  void CheckECGDecomp(std::ostream& report);
  // InitECGDecomp and an empty cache, so every minute is decoded again (with marker reporting
  // when the analysis asks for it).
  void Reopen();

  // Decodes one minute of every channel into the cache; with report_markers the compressed reader
  // reports the minute's markers to the sink. Channels the file lacks and whatever a damaged
  // record cannot give are 0. Throws platform::IoError when the file cannot be opened or read;
  // the cache is then empty.
  void LoadMinute(int minute, bool report_markers);
  // A new block with one minute of recorder channel 0..2; 7500 zero samples for a minute outside
  // 0 .. whole minutes - 1 or another channel (no file access). Throws as LoadMinute.
  std::unique_ptr<TECGBlock> GetChannelMinute(int channel, int minute);
  // Fills the caller's block with one minute of the analysed lead: recorder channel
  // g_AnalysisChannels[lead] for a lead below the set's count, else g_AnalysisChannels[0],
  // negated in analysis mode 1. Returns 0. Throws as LoadMinute.
  int GetAnalysisMinute(TECGBlock& block, int lead, int minute, bool report_markers);
  std::unique_ptr<TECGBlock> GetPrevChannelMinute(int channel);
  std::unique_ptr<TECGBlock> GetNextChannelMinute(int channel);

  int16_t GetChannelCount() const { return channel_count_; }
  int GetWholeMinutes() const { return mCurWholeMinutes; }
  // Limited to 0..4320; minutes the reader did not index still read as zero blocks.
  void SetWholeMinutes(int minutes);
  double GetSampleRate() const { return mSampleRate; }
  static int GetSampleRateHz() { return kSampleRateHz; }

  const std::string& GetFileName() const { return path_; }
  // After the files of the recording were renamed: the same data under its new name.
  void SetFileName(std::string path) { path_ = std::move(path); }
  ReaderKind GetReaderKind() const { return reader_kind_; }
  // 0 not a compressed file or not readable, 1 old format, 2 new format.
  int GetCompressedFormat() const { return compressed_format_; }
  // Where and why the index scan stopped inside the file; empty when it read to the end.
  const std::string& GetIndexNote() const;
  int GetCachedMinute() const { return cached_minute_; }
  int32_t GetStartTime() const { return mStartTime; }
  int32_t GetEndTime() const { return mEndTime; }

  // The analysis engine mode ("AnalyzeModus"): in mode 1 a lead beyond the analysed set is
  // served negated.
  void SetAnalyzeMode(int mode) { analyze_mode_ = mode; }

  static ReaderKind ReaderKindOf(const std::string& path);

 private:
  void Construct();
  void EmptyCache();
  void LoadUncompressed(int minute);
  CmpMarkerTarget MarkerTarget() const;

  CmpDecoder decoder_;
  int16_t channel_count_ = 2;
  int cached_minute_ = 0;
  std::array<TECGBlock, kMaxChannels> cache_;
  TSignalExchangeFile exchange_file_;
  std::string path_;
  int32_t mStartTime = 0;
  int32_t mEndTime = 0;
  int32_t mCurWholeMinutes = 0;
  double mSampleRate = 0.0;
  ReaderKind reader_kind_ = kReaderNone;
  TZK130InfoList* sink_ = nullptr;
  int compressed_format_ = 0;
  int analyze_mode_ = 0;
  std::string index_note_;
  std::vector<uint8_t> raw_buffer_;  // one minute of an uncompressed file
};
