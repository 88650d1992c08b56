#include "tools/validation/annotation_statistic.h"

#include <cassert>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <system_error>

#include "document/beat_class.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "tools/validation/validation_records.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

constexpr size_t kAnoRecordBytes = 5;
// A 48-hour record has well under a million references (5 MB); far more is no annotation file.
constexpr uint64_t kMaxAnoBytes = uint64_t{64} << 20;
// References are in milliseconds, beats in samples at 125 Hz.
constexpr int32_t kMsPerSample = 8;
// The MIT records' first 5 minutes are not scored.
constexpr int32_t kMitUnscoredSamples = 5 * 60 * 125;
constexpr int kRowsPerHeader = 27;

// Printf of the file's formats, whatever the process locale: "%<width>.<precision>f" only. A value
// that is not finite (a ratio over an empty denominator) is "-" at the field's width.
std::string Line(std::string_view format, std::initializer_list<double> values = {}) {
  std::string out;
  const double* value = values.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    size_t j = i + 1;
    size_t width = 0;
    while (format[j] >= '0' && format[j] <= '9') width = width * 10 + static_cast<size_t>(format[j++] - '0');
    int precision = 6;
    if (format[j] == '.') {
      precision = 0;
      while (format[++j] >= '0' && format[j] <= '9') precision = precision * 10 + (format[j] - '0');
    }
    assert(format[j] == 'f' && value != values.end());
    out += StatisticField(*value, static_cast<int>(width), precision);
    ++value;
    i = j;
  }
  assert(value == values.end());
  return out + "\n";
}

double Ratio(double numerator, double denominator) {
  return denominator == 0.0 ? std::numeric_limits<double>::quiet_NaN() : numerator / denominator;
}

double D(int64_t count) { return static_cast<double>(count); }

enum class RefGroup {
  kNormal,
  kSupraventricular,
  kAbnormal,
  kFusion,
  kQuestionable,
  kUnreadable,
  kIgnored,
  kFlutter
};
enum class BeatGroup { kNormal, kVentricular, kArtefact, kUndefined, kOther };

RefGroup GroupOf(bool mit, char label) {
  if (mit) {
    switch (label) {
      case '.':
      case 'L':
      case 'R':
      case 'J':
      case 'j':
        return RefGroup::kNormal;
      case 'A':
      case 'S':
        return RefGroup::kSupraventricular;
      case 'F':
        return RefGroup::kFusion;
      case 'Q':
        return RefGroup::kQuestionable;
      case '|':
        return RefGroup::kUnreadable;
      case 'a':
      case 'e':
      case 'p':
        return RefGroup::kIgnored;
      case '!':
      case '[':
      case ']':
        return RefGroup::kFlutter;
      default:
        return RefGroup::kAbnormal;
    }
  }
  switch (label) {
    case 'N':
      return RefGroup::kNormal;
    case 'F':
      return RefGroup::kFusion;
    case 'Q':
      return RefGroup::kQuestionable;
    case 'U':
      return RefGroup::kUnreadable;
    case '[':
    case ']':
      return RefGroup::kFlutter;
    default:
      return RefGroup::kAbnormal;
  }
}

BeatGroup GroupOf(int beat_class) {
  switch (beat_class) {
    case kClassNormal:
    case kClassSVES:
      return BeatGroup::kNormal;
    case kClassVES:
      return BeatGroup::kVentricular;
    case kClassArtefact:
      return BeatGroup::kArtefact;
    case kClassUndefined:
      return BeatGroup::kUndefined;
    default:
      return BeatGroup::kOther;
  }
}

// A reference matched with a beat: the table of reference group by beat group.
void CountMatch(AnnotationCounts& c, RefGroup ref, int beat_class) {
  ++c.rpos;
  const BeatGroup beat = GroupOf(beat_class);
  // The normal, abnormal, questionable and unreadable rows differ only in their counters and in
  // where a class-22 or other beat goes.
  struct Row {
    int64_t* norm;
    int64_t* abnor;
    int64_t* ar;
    int64_t* undefined;
    int64_t* other;
  };
  Row row{};
  switch (ref) {
    case RefGroup::kNormal:
    case RefGroup::kSupraventricular:
      row = {&c.n_norm, &c.n_abnor, &c.n_ar, &c.n_22, &c.n_abnor};
      break;
    case RefGroup::kAbnormal:
    case RefGroup::kFlutter:
      row = {&c.a_norm, &c.a_abnor, &c.a_ar, &c.a_22, &c.a_norm};
      break;
    case RefGroup::kFusion:
      row = {&c.f_norm, &c.f_abnor, &c.f_ar, &c.f_abnor, &c.f_abnor};
      break;
    case RefGroup::kQuestionable:
      row = {&c.q_norm, &c.q_abnor, &c.q_ar, &c.q_norm, &c.q_norm};
      break;
    case RefGroup::kUnreadable:
      row = {&c.u_norm, &c.u_abnor, &c.u_ar, &c.u_norm, &c.u_norm};
      break;
    case RefGroup::kIgnored:
      return;
  }
  switch (beat) {
    case BeatGroup::kNormal:
      ++*row.norm;
      break;
    case BeatGroup::kVentricular:
      ++*row.abnor;
      break;
    case BeatGroup::kArtefact:
      ++*row.ar;
      break;
    case BeatGroup::kUndefined:
      ++*row.undefined;
      break;
    case BeatGroup::kOther:
      ++*row.other;
      break;
  }
  if (ref == RefGroup::kSupraventricular && beat != BeatGroup::kArtefact && beat != BeatGroup::kUndefined) {
    if (beat_class == kClassSVES)
      ++c.sves_yes;
    else
      ++c.sves_no;
  }
}

void CountMissed(AnnotationCounts& c, RefGroup ref) {
  ++c.total_missed;
  switch (ref) {
    case RefGroup::kNormal:
    case RefGroup::kSupraventricular:
      ++c.n_fneg;
      break;
    case RefGroup::kQuestionable:
      ++c.qu_fneg;
      break;
    case RefGroup::kUnreadable:
      ++c.u_missed;
      break;
    case RefGroup::kIgnored:
      break;
    case RefGroup::kFusion:
      ++c.fusion_missed;
      ++c.a_fneg;
      break;
    case RefGroup::kAbnormal:
    case RefGroup::kFlutter:
      ++c.a_fneg;
      break;
  }
}

void CountExtra(AnnotationCounts& c, int beat_class) {
  ++c.total_fpos;
  switch (GroupOf(beat_class)) {
    case BeatGroup::kNormal:
      ++c.n_fpos;
      break;
    case BeatGroup::kVentricular:
      ++c.a_fpos;
      break;
    case BeatGroup::kUndefined:
      ++c.fpos_22;
      break;
    case BeatGroup::kArtefact:
    case BeatGroup::kOther:
      ++c.ar_fpos;
      break;
  }
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// "MIT105.ANO, offset 15: time ..." or "MIT105.QRS: cannot open for reading: ...".
std::string RefusalLine(const std::string& file_name, const platform::IoError& error) {
  if (error.where().starts_with(file_name)) return error.what();
  return file_name + ": " + error.fault();
}

// The file's fixed lines.
constexpr std::string_view kTitleRuler =
    "            =========================================================";
constexpr std::string_view kTitle = "             STATISTISCHE AUSWERTUNG QRS-KLASSIFIKATION (Korrelation)";
constexpr std::string_view kTotalsRuler =
    "             #---------------#---------------#-------------------------------------------------";
constexpr std::string_view kSumRuler =
    "           #-------------------#-------------------#---------------------#----------------------";
constexpr std::string_view kPairRuler = "           #-------------------------#-------------------------#";
constexpr std::string_view kFusionRuler = "           #-------------------------#";
constexpr std::string_view kSensRuler = "           #-----------------#-----------------#-------------------";

}  // namespace

AnnotationCounts& AnnotationCounts::operator+=(const AnnotationCounts& other) {
  using C = AnnotationCounts;
  static constexpr int64_t C::*kCounters[] = {
      &C::n_norm,        &C::n_abnor,      &C::n_ar,      &C::n_22,    &C::a_norm,  &C::a_abnor, &C::a_ar,
      &C::a_22,          &C::f_norm,       &C::f_abnor,   &C::f_ar,    &C::q_norm,  &C::q_abnor, &C::q_ar,
      &C::u_norm,        &C::u_abnor,      &C::u_ar,      &C::n_fneg,  &C::a_fneg,  &C::qu_fneg, &C::u_missed,
      &C::fusion_missed, &C::n_fpos,       &C::a_fpos,    &C::ar_fpos, &C::fpos_22, &C::rpos,    &C::sves_yes,
      &C::sves_no,       &C::total_missed, &C::total_fpos};
  // Every counter listed: a new one must be added here too.
  static_assert(sizeof(kCounters) / sizeof(kCounters[0]) * sizeof(int64_t) == sizeof(C));
  for (int64_t C::*counter : kCounters) this->*counter += other.*counter;
  return *this;
}

std::vector<RefBeat> ReadAnoFile(const std::string& path) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxAnoBytes);
  const std::string name = FileNameOf(path);
  std::vector<RefBeat> references;
  references.reserve(bytes.size() / kAnoRecordBytes);
  int32_t last_ms = 0;
  for (size_t offset = 0; offset + kAnoRecordBytes <= bytes.size(); offset += kAnoRecordBytes) {
    const uint8_t* record = bytes.data() + offset;
    const auto time_ms = static_cast<int32_t>(platform::LoadLE32(record));
    const auto label = static_cast<unsigned char>(record[4]);
    const std::string where = name + ", offset " + std::to_string(offset);
    if (time_ms < 0) throw platform::FormatError(where, "negative time " + std::to_string(time_ms) + " ms");
    if (time_ms < last_ms)
      throw platform::FormatError(where, "time " + std::to_string(time_ms) + " ms before the previous " +
                                             std::to_string(last_ms) + " ms");
    if (label < 0x20 || label > 0x7E)
      throw platform::FormatError(where,
                                  "label byte " + std::to_string(label) + " is not a printable character");
    last_ms = time_ms;
    references.push_back({time_ms, static_cast<char>(label)});
  }
  return references;
}

TAnnotationStatistic::TAnnotationStatistic(CZK470Doc& doc)
    : doc_(doc), patient_(doc.GetClock()), recording_(doc.GetClock()) {}

int TAnnotationStatistic::Tolerance(bool mit, int record) {
  if (!mit && record == 7209) return 23;
  if (!mit && record == 8202) return 35;
  return 19;
}

bool TAnnotationStatistic::ReadRecord(const std::string& path) {
  beats_.RemoveAll();
  events_.RemoveAll();
  if (!FileExists(path)) return false;
  // Into locals first: a record that cannot be read leaves the lists empty, not half filled.
  TPatientData patient(doc_.GetClock());
  TRecordingData recording(doc_.GetClock());
  TQRSList beats;
  TEventList events;
  CZK470Doc::ReadRecordingFile(path, patient, recording, beats, events);
  patient_ = std::move(patient);
  recording_ = std::move(recording);
  beats_ = std::move(beats);
  events_ = std::move(events);
  return true;
}

bool TAnnotationStatistic::ReadReference(const std::string& path) {
  references_.clear();
  if (!FileExists(path)) return false;
  references_ = ReadAnoFile(path);
  return true;
}

void TAnnotationStatistic::CompareAhaRecord() { Compare(false); }
void TAnnotationStatistic::CompareMitRecord() { Compare(true); }

void TAnnotationStatistic::Compare(bool mit) {
  const int tolerance = Tolerance(mit, record_);
  const int beat_count = beats_.GetSize();
  const int ref_count = static_cast<int>(references_.size());
  AnnotationCounts c;
  WalkTrace trace;
  trace.tolerance = tolerance;
  trace.references.assign(references_.size(), {});

  int b = 0;
  if (mit)
    while (b < beat_count && beats_.ElementAt(b)->GetPosition() < kMitUnscoredSamples) ++b;
  trace.first_beat = b;

  int r = 0;
  bool first_taken = false;
  auto outcome = [&](WalkTrace::Outcome kind, int beat) { trace.references[r] = {kind, beat}; };
  while (b < beat_count && r < ref_count) {
    const TQRSComplex& beat = *beats_.ElementAt(b);
    const RefBeat& ref = references_[r];
    // In 64 bits: a damaged beat list may hold any position.
    const int64_t delta = int64_t{ref.time_ms / kMsPerSample} - beat.GetPosition();
    const bool within = delta > -tolerance && delta < tolerance;
    const bool after_beat = delta >= tolerance;
    if (!first_taken && !within && !after_beat) {
      outcome(WalkTrace::Outcome::kDropped, -1);
      ++r;
      continue;
    }
    first_taken = true;
    const RefGroup group = GroupOf(mit, ref.label);
    if (mit && ref.label == '!') {
      // Flutter waves: the beats detected in them are left out, the wave itself is not counted.
      if (within || after_beat) {
        trace.dropped_beats.push_back(b);
        ++b;
      } else {
        outcome(WalkTrace::Outcome::kDropped, -1);
        ++r;
      }
    } else if (ref.label == '[') {
      if (within || (mit && after_beat)) {
        outcome(WalkTrace::Outcome::kDroppedWithBeat, b);
        ++b;
      } else {
        outcome(WalkTrace::Outcome::kDropped, -1);
      }
      ++r;
    } else if (ref.label == ']') {
      // The end of flutter counts as an abnormal reference; within the tolerance it takes that one
      // beat, as "[" does.
      if (within) {
        CountMatch(c, RefGroup::kAbnormal, beat.GetClass());
        outcome(WalkTrace::Outcome::kMatched, b);
        ++b;
        ++r;
      } else if (after_beat) {
        trace.dropped_beats.push_back(b);
        ++b;
      } else {
        CountMissed(c, RefGroup::kAbnormal);
        outcome(WalkTrace::Outcome::kMissed, -1);
        ++r;
      }
    } else if (within) {
      CountMatch(c, group, beat.GetClass());
      outcome(WalkTrace::Outcome::kMatched, b);
      ++b;
      ++r;
    } else if (after_beat) {
      CountExtra(c, beat.GetClass());
      trace.extra_beats.push_back(b);
      ++b;
    } else {
      CountMissed(c, group);
      outcome(WalkTrace::Outcome::kMissed, -1);
      ++r;
    }
  }

  WriteRow(mit, c);
  totals_ += c;
  if (observer_) observer_(record_, trace, c);
}

void TAnnotationStatistic::WriteTitleAndHeader(bool mit) {
  text_ += Line(kTitleRuler);
  text_ += Line(kTitle);
  text_ += Line(kTitleRuler);
  text_ += Line(kTitleRuler);
  text_ += Line(
      "           #----------------#----------------#------------------------------------------------------");
  text_ += Line(mit ? "           #      normal    #      abnorm    #                  Triggerung            "
                      "   #SVES|SVES "
                    : "           #      normal    #      abnorm    #                  Triggerung            "
                      "   #  A |  A  ");
  text_ += Line(
      "           #----------------#----------------#-------------------------------------------#----------");
  text_ += Line(mit ? "           # norm|abnor| AR #abnor| norm| AR #       fneg       #       fpos       | "
                      "rpos# yes| no  "
                    : "           # norm|abnor| AR #abnor| norm| AR #       fneg       #       fpos       | "
                      "rpos#  A |no A ");
  text_ += Line(
      "           #     |     |    #     |     |    #Nfneg|Afneg|QUfneg#nfpos|afpos|ARfpos|     #          ");
}

void TAnnotationStatistic::WriteRow(bool mit, const AnnotationCounts& c) {
  const char* format = mit ? " MIT %5.0f #%5.0f|%5.0f|%4.0f#%5.0f|%5.0f|%4.0f# %4.0f| %4.0f| %5.0f# %4.0f| "
                             "%4.0f| %5.0f|%5.0f|%4.0f|%4.0f"
                           : " AHA %5.0f #%5.0f|%5.0f|%4.0f#%5.0f|%5.0f|%4.0f# %4.0f| %4.0f| %5.0f# %4.0f| "
                             "%4.0f| %5.0f|%5.0f|%4.0f|%4.0f";
  text_ +=
      Line(format, {static_cast<double>(record_), D(c.n_norm), D(c.n_abnor), D(c.n_ar), D(c.a_abnor),
                    D(c.a_norm), D(c.a_ar), D(c.n_fneg), D(c.a_fneg), D(c.qu_fneg), D(c.n_fpos), D(c.a_fpos),
                    D(c.ar_fpos), D(c.rpos), mit ? D(c.sves_yes) : 0.0, mit ? D(c.sves_no) : 0.0});
  if (++rows_since_header_ == kRowsPerHeader) {
    rows_since_header_ = 0;
    WriteTitleAndHeader(mit);
  }
}

void TAnnotationStatistic::WriteTotals(bool mit) {
  const AnnotationCounts& t = totals_;
  const double normal_not_normal = D(t.n_abnor + t.n_ar + t.n_22);
  const double abnormal_not_abnormal = D(t.a_norm + t.a_ar + t.a_22);
  text_ += Line(kTotalsRuler);
  text_ += Line(" Total       #%6.0f |%6.0f #%6.0f |%6.0f #    %6.0f        #     %6.0f       |%6.0f",
                {D(t.n_norm), normal_not_normal, D(t.a_abnor), abnormal_not_abnormal, D(t.total_missed),
                 D(t.total_fpos), D(t.rpos)});
  text_ += Line(kTotalsRuler);
  const double normal_sum = D(t.n_norm) + normal_not_normal;
  const double abnormal_sum = D(t.a_abnor) + abnormal_not_abnormal;
  text_ +=
      Line(" Total Proz. # %6.2f|%6.2f # %6.2f|%6.2f #",
           {Ratio(100.0 * D(t.n_norm), normal_sum), Ratio(100.0 * normal_not_normal, normal_sum),
            Ratio(100.0 * D(t.a_abnor), abnormal_sum), Ratio(100.0 * abnormal_not_abnormal, abnormal_sum)});
  text_ += Line("             #---------------#---------------#");

  text_ += "\n";
  text_ += Line(kSumRuler);
  text_ += Line(
      "           #       normal      #        abnorm     #         fneg        #         fpos        #");
  text_ += Line(kSumRuler);
  text_ += Line(
      "   SUMME   # norm |abnor | AR  #abnor | norm |  AR #Nfneg |Afneg |QUfneg #Nfpos |Afpos |ARfpos #");
  text_ += Line(kSumRuler);
  text_ +=
      Line("           #%6.0f|%6.0f|%5.0f#%6.0f|%6.0f|%5.0f#%5.0f |%5.0f |%5.0f  #%5.0f |%5.0f |%5.0f  #",
           {D(t.n_norm), D(t.n_abnor), D(t.n_ar), D(t.a_abnor), D(t.a_norm), D(t.a_ar), D(t.n_fneg),
            D(t.a_fneg - t.fusion_missed), D(t.qu_fneg), D(t.n_fpos), D(t.a_fpos), D(t.ar_fpos)});

  text_ += "\n";
  text_ += Line(kPairRuler);
  text_ += Line("           #        questionable     #         unreadable      #");
  text_ += Line(kPairRuler);
  text_ += Line("   SUMME   # norm |abnor | AR  |fneg #norm  |abnor |  AR |fneg #");
  text_ += Line(kPairRuler);
  text_ += Line("           #%6.0f|%6.0f|%5.0f|%5.0f#%6.0f|%6.0f|%5.0f|%5.0f#",
                {D(t.q_norm), D(t.q_abnor), D(t.q_ar), D(t.qu_fneg), D(t.u_norm), D(t.u_abnor), D(t.u_ar),
                 D(t.u_missed)});
  text_ += Line(kPairRuler);

  text_ += "\n";
  text_ += Line(kFusionRuler);
  text_ += Line(mit ? "           #          Fusion         #" : "           #           Fusion        #");
  text_ += Line(kFusionRuler);
  text_ += Line("   SUMME   # norm |abnor | AR  |fneg #");
  text_ += Line(kFusionRuler);
  text_ += Line("           #%6.0f|%6.0f|%5.0f|%5.0f#",
                {D(t.f_norm), D(t.f_abnor), D(t.f_ar), D(t.fusion_missed)});
  text_ += Line(kFusionRuler);

  if (mit) {
    text_ += "\n";
    text_ += Line("   SVES richtig positiv:              SVES nicht erkannt: ");
    text_ += Line("%6.0f                              %6.0f", {D(t.sves_yes), D(t.sves_no)});
    text_ += "\n";
  }

  const double matched = D(t.n_norm + t.n_abnor + t.n_ar + t.a_abnor + t.a_norm + t.a_ar + t.q_norm +
                           t.q_abnor + t.q_ar + t.f_norm + t.f_abnor + t.f_ar);
  text_ += std::string(6, '\n');
  text_ += Line(kSensRuler);
  text_ += Line("           #      normal     #       abnorm    #     Triggerung   #");
  text_ += Line("           #-----------------#-----------------#------------------#");
  text_ += Line("           #   Sens |   ppV  #   Sens |   ppV  #   Sens |    ppV  #");
  text_ += Line(kSensRuler);
  text_ += Line("           # %6.5f| %6.5f# %6.5f| %6.5f# %6.5f| %6.5f #",
                {Ratio(D(t.n_norm), D(t.n_norm + t.n_abnor + t.n_ar + t.n_fneg)),
                 Ratio(D(t.n_norm), D(t.n_norm + t.a_norm + t.q_norm + t.n_fpos)),
                 Ratio(D(t.a_abnor), D(t.a_norm + t.a_ar + t.a_abnor + t.a_fneg - t.fusion_missed)),
                 Ratio(D(t.a_abnor), D(t.n_abnor + t.q_abnor + t.a_abnor + t.a_fpos)),
                 Ratio(matched, matched + D(t.n_fneg + t.a_fneg + t.qu_fneg)),
                 Ratio(matched, matched + D(t.n_fpos + t.a_fpos + t.ar_fpos))});
}

void TAnnotationStatistic::RunAha() { Run(false); }
void TAnnotationStatistic::RunMit() { Run(true); }

void TAnnotationStatistic::Run(bool mit) {
  const ValidationSet set = mit ? ValidationSet::kMit : ValidationSet::kAha;
  const std::string folder = doc_.GetDataDirectory();
  text_.clear();
  totals_ = {};
  rows_since_header_ = 0;
  std::vector<std::string> refused;

  win::Windows().BeginWaitCursor();
  WriteTitleAndHeader(mit);
  for (const int number : ValidationRecordNumbers(set)) {
    record_ = number;
    const std::string qrs = ValidationRecordPath(folder, set, number, ".QRS");
    const std::string ano = ValidationRecordPath(folder, set, number, ".ANO");
    if (!FileExists(qrs) || !FileExists(ano)) continue;
    std::string reading = FileNameOf(qrs);
    try {
      if (!ReadRecord(qrs)) continue;
      reading = FileNameOf(ano);
      if (!ReadReference(ano)) continue;
    } catch (const platform::IoError& error) {
      refused.push_back(RefusalLine(reading, error));
      continue;
    }
    Compare(mit);
  }
  WriteTotals(mit);

  const std::string output = CZK470Doc::JoinPath(folder, mit ? "MITStat.txt" : "AHAStat.txt");
  std::string message;
  bool written = true;
  try {
    platform::WriteFileAtomic(output,
                              std::span(reinterpret_cast<const uint8_t*>(text_.data()), text_.size()));
    message = mit ? "MIT-Statistic successful." : "AHA-Statistic successful.";
  } catch (const platform::IoError& error) {
    written = false;
    message = std::string("Error writing ") + error.what();
  }
  if (!refused.empty()) {
    message += "\n\nRecords left out:";
    for (const std::string& line : refused) message += "\n" + line;
  }
  beats_.RemoveAll();
  events_.RemoveAll();
  references_.clear();
  win::Windows().EndWaitCursor();

  win::Windows().MessageBeep();
  (void)win::CurrentPrompt().MessageBox(
      message, win::Windows().AppTitle(),
      win::kMbOk | (written && refused.empty() ? 0u : win::kMbIconExclamation));
}

void RunAnnotationStatisticCommand(CZK470Doc& doc, bool mit) {
  TAnnotationStatistic statistic(doc);
  if (mit)
    statistic.RunMit();
  else
    statistic.RunAha();
}

}  // namespace tools
