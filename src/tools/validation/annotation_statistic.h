#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"

class CZK470Doc;

namespace tools {

// One reference beat of an ".ANO" file: the time in milliseconds from the record's start and the
// label (MIT mnemonic, '.' for a normal beat; AHA letters).
struct RefBeat {
  int32_t time_ms = 0;
  char label = 0;

  bool operator==(const RefBeat&) const = default;
};

// Reads an ".ANO" file: 5-byte records of an int32 little-endian time in milliseconds and the label
// byte; an incomplete last record is ignored. Every record is checked: a negative time, a time
// before the previous one or a label that is not printable ASCII raises platform::FormatError
// naming the file and the byte offset of the record ("MIT105.ANO, offset 15"). IoError when the
// file cannot be read or is far longer than any record's annotations.
std::vector<RefBeat> ReadAnoFile(const std::string& path);

// What the walk of one record made of each reference and of the beats it passed, for tests that
// check the statistic beat by beat. Indices are into the record's reference list (the ".ANO"
// records in file order) and its saved beat list (the ".QRS" beat list, from 0). A reference lies
// at time_ms / 8 samples; with d = reference - beat it matches when |d| < tolerance, is missed when
// d <= -tolerance and leaves the beat extra when d >= tolerance.
struct WalkTrace {
  enum class Outcome {
    kNotReached,      // the walk ended before it (beats or references used up)
    kMatched,         // counted with beat `beat`; also the ignored labels (only the matched count)
                      // and "]" within the tolerance (an abnormal reference; the beat is used once)
    kMissed,          // counted as missed (a false negative of its group; ignored labels only in
                      // the total); `beat` is -1
    kDropped,         // left out without counting: a reference a tolerance or more before the beat
                      // while no reference has yet been examined against a beat (the MIT records'
                      // unscored start), or a flutter mark ("!", "[") that takes no beat with it
    kDroppedWithBeat  // "[" that takes beat `beat` with it, neither counted
  };
  struct Reference {
    Outcome outcome = Outcome::kNotReached;
    int beat = -1;

    bool operator==(const Reference&) const = default;
  };

  int tolerance = 0;                  // samples, exclusive: |reference - beat| < tolerance matches
  int first_beat = 0;                 // MIT: the first beat at or after sample 37500
  std::vector<Reference> references;  // one per reference, in file order
  std::vector<int> extra_beats;       // counted as false positives, in walk order
  // Beats left out by flutter marks: by "!" when within the tolerance or before the mark, by "]"
  // when a tolerance or more before it.
  std::vector<int> dropped_beats;
};

// The counters of one record, or the totals over the records. The names follow the file's columns:
// n_ normal references, a_ abnormal, f_ fusion, q_ questionable, u_ unreadable; _norm, _abnor, _ar,
// _22 the group of the matched beat.
struct AnnotationCounts {
  int64_t n_norm = 0, n_abnor = 0, n_ar = 0, n_22 = 0;
  int64_t a_norm = 0, a_abnor = 0, a_ar = 0, a_22 = 0;
  int64_t f_norm = 0, f_abnor = 0, f_ar = 0;
  int64_t q_norm = 0, q_abnor = 0, q_ar = 0;
  int64_t u_norm = 0, u_abnor = 0, u_ar = 0;
  int64_t n_fneg = 0, a_fneg = 0, qu_fneg = 0, u_missed = 0, fusion_missed = 0;
  int64_t n_fpos = 0, a_fpos = 0, ar_fpos = 0, fpos_22 = 0;
  int64_t rpos = 0, sves_yes = 0, sves_no = 0;
  int64_t total_missed = 0, total_fpos = 0;

  AnnotationCounts& operator+=(const AnnotationCounts& other);
  bool operator==(const AnnotationCounts&) const = default;
};

// The beat-classification statistic of the AHA and MIT reference records in the data directory:
// reads each record's saved analysis (".QRS") and reference beats (".ANO") into its own objects,
// walks both with the record's matching tolerance and writes "AHAStat.txt" or "MITStat.txt" there.
// The open recording is not touched. A record whose ".QRS" or ".ANO" is missing is skipped; one
// that cannot be read is refused (no row, not in the totals) and named in the closing message.
// User-interface thread.
class TAnnotationStatistic {
 public:
  using WalkObserver =
      std::function<void(int record, const WalkTrace& trace, const AnnotationCounts& counts)>;

  explicit TAnnotationStatistic(CZK470Doc& doc);

  // The whole statistic; ends with a beep and the message box.
  void RunAha();
  void RunMit();

  // Empties the statistic's lists and reads the record's ".QRS" into them. false when the file does
  // not exist; platform::IoError (FormatError naming the member and offset) when it cannot be read.
  bool ReadRecord(const std::string& path);
  // Empties the reference list and reads the ".ANO" (ReadAnoFile). false when the file does not
  // exist; IoError or FormatError as ReadAnoFile.
  bool ReadReference(const std::string& path);
  // The walk of the record read, for the current record number; the row is appended to the
  // statistic's text and the counts to the totals.
  void CompareAhaRecord();
  void CompareMitRecord();

  // Called after each compared record with its walk and counts.
  void SetWalkObserver(WalkObserver observer) { observer_ = std::move(observer); }
  void SetRecordNumber(int record) { record_ = record; }

  const TQRSList& Beats() const { return beats_; }
  const std::vector<RefBeat>& References() const { return references_; }
  const AnnotationCounts& Totals() const { return totals_; }

  // Matching tolerance in samples (exclusive): 19, for AHA record 7209 23 and 8202 35.
  static int Tolerance(bool mit, int record);

 private:
  void Run(bool mit);
  void Compare(bool mit);
  void WriteTitleAndHeader(bool mit);
  void WriteRow(bool mit, const AnnotationCounts& counts);
  void WriteTotals(bool mit);

  CZK470Doc& doc_;
  TQRSList beats_;
  TEventList events_;
  TPatientData patient_;
  TRecordingData recording_;
  std::vector<RefBeat> references_;
  int record_ = 0;
  std::string text_;  // the file, written in one piece at the end
  AnnotationCounts totals_;
  int rows_since_header_ = 0;
  WalkObserver observer_;
};

// The main view's commands: the MIT statistic when mit, else the AHA statistic.
void RunAnnotationStatisticCommand(CZK470Doc& doc, bool mit);

}  // namespace tools
