#include "reports/narrative_letter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <system_error>

#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "reports/narrative_test_data.h"
#include "reports/richtext/rich_edit2_ctrl.h"
#include "reports/richtext/rtf_reader.h"
#include "reports/richtext/rtf_writer.h"
#include "trends/report_values.h"
#include "win/prompt.h"
#include "win/window.h"

namespace fs = std::filesystem;

namespace {

bool g_test_data_on = false;

template <typename... Args>
std::string Fmt(const char* format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  std::string out(static_cast<size_t>(std::max(size, 0)), '\0');
  std::snprintf(out.data(), out.size() + 1, format, args...);
  return out;
}

// Fixed month names: the letter must read the same whatever locale the system runs in.
constexpr const char* kGermanMonths[12] = {"Januar",    "Februar", "März",     "April",
                                           "Mai",       "Juni",    "Juli",     "August",
                                           "September", "Oktober", "November", "Dezember"};
constexpr const char* kEnglishMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1 January 1970 of a civil date, and back.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int* y, int* m, int* d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

platform::LocalDateTime AddSeconds(const platform::LocalDateTime& t, long long seconds) {
  long long total =
      DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second + seconds;
  long long days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
  long long rest = total - days * 86400;
  platform::LocalDateTime out;
  CivilFromDays(days, &out.year, &out.month, &out.day);
  out.hour = static_cast<int>(rest / 3600);
  out.minute = static_cast<int>(rest / 60 % 60);
  out.second = static_cast<int>(rest % 60);
  return out;
}

platform::LocalDateTime ToLocal(const platform::OleDateTime& value) {
  return document::ToLocalDateTime(value).value_or(platform::LocalDateTime{1899, 12, 30});
}

// The date of one date-time with the time of another.
platform::LocalDateTime Combine(const platform::OleDateTime& date, const platform::OleDateTime& time) {
  platform::LocalDateTime out = ToLocal(date);
  const platform::LocalDateTime clock = ToLocal(time);
  out.hour = clock.hour;
  out.minute = clock.minute;
  out.second = clock.second;
  return out;
}

size_t CodePoints(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, int width) {
  const size_t length = CodePoints(text);
  if (width > 0 && length < static_cast<size_t>(width)) text.append(static_cast<size_t>(width) - length, ' ');
  return text;
}

// Lines broken by "\r" alone (the test set) or "\n" become "\r\n" lines.
std::string CrLfLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string NumberOrDashes(const std::string& text) { return text.empty() ? "--" : text; }

// Templates are read as every other input: regular files only (a pipe would block the user
// interface) and bounded (a link to a device would never end).
constexpr uint64_t kMaxTemplateBytes = 16u << 20;

std::optional<std::string> ReadWholeFile(const fs::path& path, int* error) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    *error = 1;
    return std::nullopt;
  }
  try {
    const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxTemplateBytes);
    return std::string(bytes.begin(), bytes.end());
  } catch (const platform::IoError&) {
    *error = 2;
    return std::nullopt;
  }
}

// A folder of this process that only its user can enter, for files holding patient data. It
// lives while letters are in it: the last letter deleted takes it along, the next makes a new one.
std::mutex g_folder_mutex;
std::optional<fs::path> g_folder;  // guarded by g_folder_mutex

// Called with g_folder_mutex held.
std::optional<fs::path> PrivateTempFolder() {
  std::error_code ec;
  if (g_folder && fs::is_directory(*g_folder, ec)) return g_folder;
  std::string pattern = (fs::temp_directory_path(ec) / "zk470-letters-XXXXXX").string();
  if (ec || ::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  g_folder = fs::path(pattern);
  return g_folder;
}

std::optional<fs::path> CreateLetterFile() {
  const std::lock_guard lock(g_folder_mutex);
  const std::optional<fs::path> folder = PrivateTempFolder();
  return folder ? platform::CreateUniqueFile(*folder, "ZK4") : std::nullopt;
}

void ShowError(int number) {
  win::CurrentPrompt().MessageBox(Fmt("Error %d while creating Narrative Letter", number),
                                  win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
}

}  // namespace

bool IsNarrativeTestDataOn() { return g_test_data_on; }

std::filesystem::path NarrativeLetterFolder() {
  const std::lock_guard lock(g_folder_mutex);
  std::error_code ec;
  return g_folder && fs::is_directory(*g_folder, ec) ? *g_folder : fs::path();
}

void DeleteNarrativeLetterFile(const std::string& path) {
  if (path.empty()) return;
  const std::lock_guard lock(g_folder_mutex);
  std::error_code ec;
  fs::remove(path, ec);
  // Removing a folder that still holds letters fails and leaves it.
  if (g_folder && fs::path(path).parent_path() == *g_folder && fs::remove(*g_folder, ec)) g_folder.reset();
}

NarrativeInputs NarrativeInputsFromTestSet(const NarrativeTestSet& set, bool letter_form) {
  NarrativeInputs in;
  in.german = set.language != 0;
  // Options 0..3 name the referring physician, the physician referred to, the insurance and the
  // patient; the set keeps them in recipient-kind order.
  in.options = {set.recipients[3], set.recipients[2], set.recipients[0], set.recipients[1]};
  for (size_t i = 0; i < set.sections.size(); ++i) in.options[4 + i] = set.sections[i];
  in.options[13] = letter_form ? 1 : 0;
  in.office_address = CrLfLines(set.office_address);
  in.recipient_address = {CrLfLines(set.insurance_address),
                          set.first_name + " " + set.last_name + "\r\n" + CrLfLines(set.patient_address),
                          CrLfLines(set.refer_to_address), CrLfLines(set.referred_by_address)};
  in.first_name = set.first_name;
  in.last_name = set.last_name;
  in.patient_id = set.patient_id;
  in.birth_date = set.birth_date;
  in.sex = set.sex;
  in.age = set.age;
  in.height = set.height;
  in.weight = set.weight;
  in.height_unit = set.height_unit;
  in.weight_unit = set.weight_unit;
  in.pacemaker = set.pacemaker;
  in.start = Combine(set.recording_date, set.recording_time);
  in.length_minutes = set.length_minutes;
  in.medication = CrLfLines(set.medication);
  in.diagnosis = CrLfLines(set.diagnosis);
  in.pause_limit_index = set.pause_limit_index;
  in.prematurity_index = set.prematurity_index;
  in.sv_analysis = set.sv_analysis != 0;
  in.abs_arrhythmia_analysis = set.abs_arrhythmia_analysis != 0;
  in.beats = std::max(1, set.beats);
  in.beat_count_text = std::to_string(in.beats);
  in.mean_hr = set.mean_hr;
  in.min_hr = set.min_hr;
  in.min_hr_at_s = set.min_hr_at_s;
  in.max_hr = set.max_hr;
  in.max_hr_at_s = set.max_hr_at_s;
  const auto ms = [](double seconds) { return static_cast<int>(seconds * 1000.0 + 0.5); };
  in.artefacts = set.artefacts;
  in.markers = set.markers;
  in.pauses = set.pauses;
  in.longest_pause_at_s = set.longest_pause_at_s;
  in.longest_pause_ms = ms(set.longest_pause_s);
  in.tachys = set.tachys;
  in.longest_tachy_at_s = set.longest_tachy_at_s;
  in.longest_tachy_ms = ms(set.longest_tachy_s);
  in.bradys = set.bradys;
  in.longest_brady_at_s = set.longest_brady_at_s;
  in.longest_brady_ms = ms(set.longest_brady_s);
  in.ves = set.ves;
  in.ves_max_per_hour = set.ves_max_per_hour;
  in.ves_max_hour = set.ves_max_hour;
  in.v_couplets = set.v_couplets;
  in.v_triplets = set.v_triplets;
  in.v_tachys = set.v_tachys;
  in.longest_vt_at_s = set.longest_vt_at_s;
  in.longest_vt_ms = ms(set.longest_vt_s);
  in.longest_vt_rate = set.longest_vt_rate;
  in.sves = set.sves;
  in.sves_max_per_hour = set.sves_max_per_hour;
  in.sves_max_hour = set.sves_max_hour;
  in.sv_couplets = set.sv_couplets;
  in.sv_triplets = set.sv_triplets;
  in.sv_tachys = set.sv_tachys;
  in.longest_svt_at_s = set.longest_svt_at_s;
  in.longest_svt_ms = ms(set.longest_svt_s);
  in.longest_svt_rate = set.longest_svt_rate;
  in.abs_arrhythmias = set.abs_arrhythmias;
  in.abs_arrhythmia_max_per_hour = set.abs_arrhythmia_max_per_hour;
  in.abs_arrhythmia_max_hour = set.abs_arrhythmia_max_hour;
  in.longest_abs_arrhythmia_s = static_cast<int>(set.longest_abs_arrhythmia_s);
  in.st_channel_count = set.st_channel_count;
  for (int i = 0; i < 2; ++i) {
    auto& ch = in.st[static_cast<size_t>(i)];
    ch.table_entry = i;
    ch.trend_on = set.st_trend_on[static_cast<size_t>(i)] != 0;
    ch.threshold_tenths_mm = set.st_threshold_choice[static_cast<size_t>(i)] * 10 + 10;
    // Table entry 0 measures the first ST kind, every other entry the second.
    ch.episodes = i == 0 ? set.st_episodes_first_kind : set.st_episodes_other_kind;
    ch.max_found = set.st_max_found[static_cast<size_t>(i)] != 0;
    ch.max_at_s = set.st_max_at_s[static_cast<size_t>(i)];
    ch.max_depth_mm = set.st_max_depth_mm[static_cast<size_t>(i)];
  }
  return in;
}

CNarrativeLetter::CNarrativeLetter(CZK470Doc* doc, TReportValues* values, const platform::Clock* clock)
    : doc_(doc), values_(values), clock_(clock) {}

const char* CNarrativeLetter::TemplateName(bool letter_form, bool for_pdf) {
  if (letter_form) return for_pdf ? "ZK470pdf.let" : "ZK470.let";
  return for_pdf ? "ZK470pdf.ret" : "ZK470.ret";
}

NarrativeInputs CNarrativeLetter::GatherFromDocument(bool letter_form) {
  NarrativeInputs in;
  if (doc_ == nullptr) return in;
  const CZK470Doc& doc = *doc_;
  const TPatientData& patient = doc.GetPatientData();
  const TRecordingData& recording = doc.GetRecordingData();
  in.german = doc.GetSettings().Int(SettingKey::kLanguage) == 1;
  std::copy(patient.letter_switches.begin(), patient.letter_switches.end(), in.options.begin());
  in.options[13] = letter_form ? 1 : 0;
  in.office_address = CrLfLines(doc.GetSettings().Text(SettingKey::kUserOfficeAddress));
  in.recipient_address = {CrLfLines(patient.insurance_address),
                          patient.first_name + " " + patient.surname + "\r\n" + CrLfLines(patient.address),
                          CrLfLines(patient.referred_to_address), CrLfLines(patient.referring_address)};
  in.first_name = patient.first_name;
  in.last_name = patient.surname;
  in.patient_id = patient.patient_id;
  in.birth_date = patient.birth_date;
  in.sex = patient.sex;
  in.age = patient.GetAgeText(doc.GetClock());
  in.height = patient.GetHeightText(0);
  in.weight = patient.GetWeightText(0);
  in.height_unit = doc.GetUnitLabelA();
  in.weight_unit = doc.GetUnitLabelB();
  in.pacemaker = patient.pacemaker;
  in.start = Combine(recording.start_date, recording.start_time);
  in.length_minutes = doc.GetRecordingMinutes();
  in.medication = CrLfLines(recording.medication);
  in.diagnosis = CrLfLines(recording.diagnosis);
  in.pause_limit_index = recording.pause_threshold;
  in.prematurity_index = recording.arrhythmia_deviation;
  in.sv_analysis = recording.sves_analysis_on != 0;
  in.abs_arrhythmia_analysis = recording.arrhythmia_analysis_on != 0;
  const auto& st_set = document::Context().g_STChannels;
  in.st_channel_count = st_set.count;
  for (int i = 0; i < 2; ++i) {
    auto& ch = in.st[static_cast<size_t>(i)];
    ch.table_entry = i < st_set.count ? st_set.channels[static_cast<size_t>(i)] : i;
    ch.trend_on = doc.IsSTTrendOn(i);
    ch.threshold_tenths_mm = doc.GetSTLimit(i);
  }
  if (values_ == nullptr) return in;
  TReportValues& v = *values_;
  in.beats = std::max(1, v.GetBeatCount());
  in.beat_count_text = v.GetBeatCountText();
  in.artefacts = v.GetArtefactCount();
  in.markers = v.GetMarkerCount();
  in.pauses = v.GetPauseCount();
  in.tachys = v.GetTachycardiaCount();
  in.bradys = v.GetBradycardiaCount();
  in.ves = v.GetVesCount();
  v.GetMaxVesPerHour(&in.ves_max_per_hour, &in.ves_max_hour);
  in.v_couplets = v.GetVCoupletCount();
  in.v_triplets = v.GetVTripletCount();
  in.v_tachys = v.GetVtCount();
  in.sves = v.GetSvesCount();
  v.GetMaxSvesPerHour(&in.sves_max_per_hour, &in.sves_max_hour);
  in.sv_couplets = v.GetSvCoupletCount();
  in.sv_triplets = v.GetSvTripletCount();
  in.sv_tachys = v.GetSvtCount();
  in.abs_arrhythmias = v.GetAbsArrhythmiaCount();
  v.GetMaxAbsArrhythmiaPerHour(&in.abs_arrhythmia_max_per_hour, &in.abs_arrhythmia_max_hour);
  for (int i = 0; i < std::min(2, in.st_channel_count); ++i) {
    auto& ch = in.st[static_cast<size_t>(i)];
    if (!ch.trend_on) continue;
    v.CountEventsPerHour(CZK470Doc::STAnalyzeChIndex2EQRSType(i));
    int episodes = 0;
    for (int h = 0; h < TReportValues::kHours; ++h) episodes += v.GetHourCount(h);
    ch.episodes = episodes;
    ch.max_found = v.GetMaxSTDepression(i, &ch.max_at_s, &ch.max_depth_mm);
  }
  // The longest episodes need the episode pass; the heart-rate sentences follow it.
  v.ComputeEpisodes();
  in.longest_abs_arrhythmia_s = v.GetLongestAbsArrhythmiaDuration();
  in.mean_hr = v.GetMeanHeartRateText();
  in.min_hr = v.GetMinHeartRateText();
  in.min_hr_at_s = v.GetMinHeartRateSeconds();
  in.max_hr = v.GetMaxHeartRateText();
  in.max_hr_at_s = v.GetMaxHeartRateSeconds();
  in.longest_pause_at_s = v.GetLongestPauseSeconds();
  in.longest_pause_ms = v.GetLongestPauseDurationMs();
  in.longest_tachy_at_s = v.GetLongestTachycardiaSeconds();
  in.longest_tachy_ms = v.GetLongestTachycardiaDurationMs();
  in.longest_brady_at_s = v.GetLongestBradycardiaSeconds();
  in.longest_brady_ms = v.GetLongestBradycardiaDurationMs();
  in.longest_vt_at_s = v.GetLongestVtSeconds();
  in.longest_vt_ms = v.GetLongestVtDurationMs();
  in.longest_vt_rate = v.GetLongestVtRate();
  in.longest_svt_at_s = v.GetLongestSvtSeconds();
  in.longest_svt_ms = v.GetLongestSvtDurationMs();
  in.longest_svt_rate = v.GetLongestSvtRate();
  return in;
}

std::string CNarrativeLetter::CreateLetter(int kind, bool letter_form, bool for_pdf, bool test_data) {
  g_test_data_on = test_data;
  if (kind < 0 || kind >= kRecipients) return {};
  fs::path folder = template_folder_;
  if (folder.empty() && doc_ != nullptr) folder = doc_->GetMainDirectory();
  const char* name = TemplateName(letter_form, for_pdf);
  const fs::path path = platform::FindFileNoCase(folder, name).value_or(folder / name);
  int error = 0;
  const std::optional<std::string> bytes = ReadWholeFile(path, &error);
  if (!bytes) {
    // Every letter kind of a report reads the same template: its absence is said once.
    if (unreadable_template_ != path) ShowError(error);
    unreadable_template_ = path;
    return {};
  }
  CRichEdit2Ctrl ctrl;
  try {
    ctrl.SetDocument(richtext::ReadRtf(*bytes, path.string()).document);
  } catch (const platform::FormatError& e) {
    // Not a letter template: the user learns which file and why, and no letter is made.
    win::CurrentPrompt().MessageBox(std::string("Error 2 while creating Narrative Letter\n\n") + e.what(),
                                    win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
    return {};
  }
  const NarrativeInputs in = test_data ? NarrativeInputsFromTestSet(NarrativeTestData(), letter_form)
                                       : GatherFromDocument(letter_form);
  FillTemplate(ctrl, in, kind);

  const std::string rtf = richtext::WriteRtf(ctrl.Document());
  const std::optional<fs::path> out = CreateLetterFile();
  if (!out) {
    ShowError(3);
    return {};
  }
  ::chmod(out->c_str(), 0600);
  {
    std::ofstream file(*out, std::ios::binary | std::ios::trunc);
    file.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
    file.close();
    if (!file) {
      DeleteNarrativeLetterFile(out->string());
      ShowError(3);
      return {};
    }
  }
  file_names_[static_cast<size_t>(kind)] = out->string();
  return out->string();
}

// --- Text building blocks ------------------------------------------------------------------

void CNarrativeLetter::FormatDateTime(const platform::LocalDateTime& when, std::string* date,
                                      std::string* time, bool with_year, bool long_form) const {
  const int month = std::clamp(when.month, 1, 12) - 1;
  if (date != nullptr) {
    if (german_) {
      if (with_year && !long_form)
        *date = Fmt("%02d.%02d.%04d", when.day, when.month, when.year);
      else if (with_year)
        *date = Fmt("%d. %s %04d", when.day, kGermanMonths[month], when.year);
      else
        *date = Fmt("%d. %s", when.day, kGermanMonths[month]);
    } else {
      *date = with_year ? Fmt("%d %s %04d", when.day, kEnglishMonths[month], when.year)
                        : Fmt("%d %s", when.day, kEnglishMonths[month]);
    }
  }
  if (time != nullptr) {
    if (german_) {
      *time = Fmt("%d:%02d", when.hour, when.minute);
    } else {
      const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
      *time = Fmt("%d:%02d %s", hour12, when.minute, when.hour < 12 ? "AM" : "PM");
    }
  }
}

std::string CNarrativeLetter::FormatDurationMs(long long ms) const {
  const char* sec = german_ ? "Sek." : "sec.";
  if (ms < 60001) return Fmt("%.1f %s", static_cast<double>(ms) / 1000.0, sec);
  long long s = ms / 1000;
  const long long parts[4] = {s / 86400, s / 3600 % 24, s / 60 % 60, s % 60};
  static constexpr const char* kGerman[4] = {"Tage", "Stunden", "Minuten", "Sek."};
  static constexpr const char* kEnglish[4] = {"days", "hours", "min.", "sec."};
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (parts[i] == 0) continue;
    if (!out.empty()) out += ' ';
    out += Fmt("%lld %s", parts[i], german_ ? kGerman[i] : kEnglish[i]);
  }
  return out;
}

std::string CNarrativeLetter::FormatDurationSeconds(long long seconds, bool clock_form) const {
  if (!clock_form) return FormatDurationMs(seconds * 1000);
  if (seconds <= 0) seconds = 1;
  return Fmt("%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string CNarrativeLetter::FormatThousands(long long n) {
  const bool negative = n < 0;
  unsigned long long value =
      negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  std::string digits = std::to_string(value);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += '\'';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string CNarrativeLetter::FormatCountWord(int n) const {
  if (n == 0) return german_ ? "keinem" : "none";
  return german_ ? FormatThousands(n) : std::to_string(n);
}

std::string CNarrativeLetter::PickByCount(int n, std::string_view singular, std::string_view plural) const {
  if (n == 1 || (n == 0 && german_)) return std::string(singular);
  return std::string(plural);
}

std::string CNarrativeLetter::FormatCountNoun(int n, std::string_view singular,
                                              std::string_view plural) const {
  if (n == 0) return german_ ? "keine " + std::string(singular) : "no " + std::string(plural);
  if (n == 1) return "1 " + std::string(singular);
  return (german_ ? FormatThousands(n) : std::to_string(n)) + " " + std::string(plural);
}

int CNarrativeLetter::SplitLines(std::string_view text, std::array<std::string, kMaxLines>& lines) {
  int count = 0;
  size_t start = 0;
  while (count < kMaxLines) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      if (start < text.size()) lines[static_cast<size_t>(count++)] = std::string(text.substr(start));
      break;
    }
    size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    lines[static_cast<size_t>(count++)] = std::string(text.substr(start, end - start));
    start = lf + 1;
  }
  for (int i = count; i < kMaxLines; ++i) lines[static_cast<size_t>(i)].clear();
  return count;
}

bool CNarrativeLetter::ReplaceKeyword(CRichEdit2Ctrl& ctrl, std::string_view keyword, std::string_view text) {
  const std::optional<CharRange> found = ctrl.FindText(keyword, 0);
  if (!found) return false;
  ctrl.SetSel(found->min, found->max);
  ctrl.ReplaceSel(text);
  return true;
}

std::string CNarrativeLetter::EventDate(const NarrativeInputs& in, long long seconds) const {
  std::string date;
  FormatDateTime(AddSeconds(in.start, seconds), &date, nullptr, false, false);
  return date;
}

std::string CNarrativeLetter::EventTime(const NarrativeInputs& in, long long seconds) const {
  std::string time;
  FormatDateTime(AddSeconds(in.start, seconds), nullptr, &time, false, false);
  return time;
}

std::string CNarrativeLetter::Share(const NarrativeInputs& in, int n) const {
  return Fmt("%.1f%%", static_cast<double>(n) / std::max(1, in.beats) * 100.0);
}

// --- The letter ------------------------------------------------------------------------------

void CNarrativeLetter::FillTemplate(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in, int kind) {
  german_ = in.german;
  const bool de = german_;
  const auto replace = [&ctrl](std::string_view keyword, const std::string& text) {
    ReplaceKeyword(ctrl, keyword, text);
  };
  const auto remove = [&ctrl](std::initializer_list<std::string_view> strings) {
    for (std::string_view s : strings) ReplaceKeyword(ctrl, s, "");
  };

  std::array<std::string, kMaxLines> lines;
  SplitLines(in.office_address, lines);
  for (int i = 0; i < 5; ++i) replace(Fmt("ZK470OFFICEADR%d", i + 1), lines[static_cast<size_t>(i)]);

  const platform::LocalDateTime today = clock_ != nullptr ? clock_->Now()
                                        : doc_ != nullptr ? doc_->GetClock().Now()
                                                          : platform::SystemClock().Now();
  std::string date;
  FormatDateTime(today, &date, nullptr, true, false);
  replace("ZK470DATUM", date);

  const int recipient = std::clamp(kind, 0, kRecipients - 1);
  SplitLines((de ? "An: " : "To: ") + in.recipient_address[static_cast<size_t>(recipient)], lines);
  for (int i = 0; i < 5; ++i) replace(Fmt("ZK470ADR%d", i + 1), lines[static_cast<size_t>(i)]);

  const std::string name_label = de ? "Patientenname" : "Patient Name";
  const std::string id_label = de ? "Patientennr." : "ID";
  replace("PATNAME0", name_label);
  replace("ID0", id_label);
  replace("DOB0", de ? "Geb." : "DOB");
  replace("ZK470PATNAME",
          PadRight(in.first_name + " " + in.last_name, 49 - static_cast<int>(CodePoints(name_label))));
  replace("ZK470PATID",
          PadRight(in.patient_id.empty() ? " " : in.patient_id, 24 - static_cast<int>(CodePoints(id_label))));
  FormatDateTime(ToLocal(in.birth_date), &date, nullptr, true, false);
  replace("ZK470PATBIRTH", date);

  const std::string height = NumberOrDashes(in.height);
  const std::string weight = NumberOrDashes(in.weight);
  std::string patient;
  if (de) {
    const char* pacemaker = in.pacemaker != 0 ? " mit Herzschrittmacher" : "";
    const char* format =
        in.sex == 1   ? "Die Patientin ist eine %s-jährige %s%s. Sie ist %s %s gross und wiegt %s %s."
        : in.sex == 2 ? "Der Patient ist ein %s-jähriger %s%s. Er ist %s %s gross und wiegt %s %s."
                      : "Der Patient ist eine %s-jährige %s%s. Er ist %s %s gross und wiegt %s %s.";
    const char* word = in.sex == 1 ? "Frau" : in.sex == 2 ? "Mann" : "Person";
    patient = Fmt(format, in.age.c_str(), word, pacemaker, height.c_str(), in.height_unit.c_str(),
                  weight.c_str(), in.weight_unit.c_str());
  } else {
    const char* word = in.sex == 1 ? "female" : in.sex == 2 ? "male" : "person";
    patient = Fmt("The patient is a %s-year-old %s%s. The patient is %s %s tall and weighs %s %s.",
                  in.age.c_str(), word, in.pacemaker != 0 ? " who wears a pacemaker" : "", height.c_str(),
                  in.height_unit.c_str(), weight.c_str(), in.weight_unit.c_str());
  }
  replace("ZK470PATDATA", patient);

  if (in.options[4] != 0)
    FillOverview(ctrl, in);
  else
    remove({"ZK470RECOVERVIEW\r", "ZK470RECSTART ", "ZK470RECSTOP ", "ZK470RECDUR ", "ZK470RECAVGHR ",
            "ZK470RECMINHR ", "ZK470RECMAXHR ", "ZK470RECSUMQRS ", "ZK470RECARTIFACTS\r\r"});

  const bool any_event =
      std::any_of(in.options.begin() + 5, in.options.begin() + 11, [](int o) { return o != 0; });
  if (any_event)
    replace("ZK470EVENTS", de ? "Zusammenfassung Holter-Ereignisse" : "Summary of Holter Events");
  else
    remove({"ZK470EVENTS\r"});

  if (in.options[5] != 0)
    FillMarkers(ctrl, in);
  else
    remove({"ZK470EVTMARKER ", "ZK470EVTPAUSE ", "ZK470EVTMAXPAUSE\r\r"});
  if (in.options[6] != 0)
    FillTachyBrady(ctrl, in);
  else
    remove({"ZK470EVTTACHY ", "ZK470EVTBRADY\r\r"});
  if (in.options[7] != 0)
    FillVes(ctrl, in);
  else
    remove({"ZK470EVTVES ", "ZK470EVTMAXVES ", "ZK470EVTTYPVES ", "ZK470EVTTACHVES\r\r"});
  if (in.options[8] != 0)
    FillSves(ctrl, in);
  else
    remove({"ZK470EVTSVES ", "ZK470EVTMAXSVES ", "ZK470EVTTYPSVES ", "ZK470EVTTACHSVES\r\r"});
  if (in.options[9] != 0)
    FillAbsArrhythmia(ctrl, in);
  else
    remove({"ZK470EVTABSARR ", "ZK470EVTMAXABSARR\r\r"});
  if (in.options[10] != 0)
    FillSt(ctrl, in);
  else
    remove({"ZK470STEPSCH1 ", "ZK470MAXSTEPSCH1 ", "ZK470STEPSCH2 ", "ZK470MAXSTEPSCH2\r\r"});

  if (in.options[11] != 0 && !in.medication.empty()) {
    replace("ZK470MEDICATION", de ? "Medikation" : "Medication");
    std::string text = de ? (in.sex == 1 ? "Die Patientin nimmt folgende Medikamente: "
                                         : "Der Patient nimmt folgende Medikamente: ")
                          : "The patient is taking the following medications: ";
    const int count = SplitLines(in.medication, lines);
    for (int i = 0; i < count; ++i) {
      const std::string& line = lines[static_cast<size_t>(i)];
      if (i == 0)
        text += line;
      else if (!line.empty())
        text += ", " + line;
    }
    replace("ZK470MEDICATIONTXT", text);
  } else {
    remove({"ZK470MEDICATION\r", "ZK470MEDICATIONTXT\r"});
  }

  if (in.options[12] != 0 && !in.diagnosis.empty()) {
    replace("ZK470DIAGNOSIS", de ? "Diagnose" : "Diagnosis");
    replace("ZK470DIAGNOSISTXT", (de ? "Ich habe die folgende Diagnose erstellt: "
                                     : "I have made the following initial diagnosis: ") +
                                     in.diagnosis);
  } else {
    remove({"ZK470DIAGNOSIS\r", "ZK470DIAGNOSISTXT\r"});
  }

  replace("ZK470SIGNATURE", de ? "Unterschrift:" : "Signature:");
}

void CNarrativeLetter::FillOverview(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  std::string date, time;
  ReplaceKeyword(ctrl, "ZK470RECOVERVIEW", de ? "Aufnahmeübersicht" : "Recording Overview");
  FormatDateTime(in.start, &date, &time, true, true);
  ReplaceKeyword(ctrl, "ZK470RECSTART",
                 Fmt(de ? "Die Aufnahme für den Patienten begann am %s um %s h."
                        : "The patient's recording was started on %s at %s.",
                     date.c_str(), time.c_str()));
  FormatDateTime(AddSeconds(in.start, static_cast<long long>(in.length_minutes) * 60), &date, &time, true,
                 true);
  ReplaceKeyword(ctrl, "ZK470RECSTOP",
                 Fmt(de ? "Sie endete am %s um %s h." : "The recording was completed on %s at %s.",
                     date.c_str(), time.c_str()));
  ReplaceKeyword(
      ctrl, "ZK470RECDUR",
      Fmt(de ? "Die Aufnahmedauer betrug %d Stunden, %d Minuten." : "Recording time was %d hours %d minutes.",
          in.length_minutes / 60, in.length_minutes % 60));
  ReplaceKeyword(ctrl, "ZK470RECAVGHR",
                 Fmt(de ? "Die mittlere Herzfrequenz betrug %s Schläge pro Minute."
                        : "The average heart rate was %s BPM.",
                     in.mean_hr.c_str()));
  ReplaceKeyword(
      ctrl, "ZK470RECMINHR",
      Fmt(de ? "Die niedrigste Frequenz war %s Schläge pro Minute um %s h am %s."
             : "The minimum heart rate was %s BPM at %s on %s.",
          in.min_hr.c_str(), EventTime(in, in.min_hr_at_s).c_str(), EventDate(in, in.min_hr_at_s).c_str()));
  ReplaceKeyword(
      ctrl, "ZK470RECMAXHR",
      Fmt(de ? "Die höchste Frequenz war %s Schläge pro Minute um %s h am %s."
             : "The maximum heart rate was %s BPM at %s on %s.",
          in.max_hr.c_str(), EventTime(in, in.max_hr_at_s).c_str(), EventDate(in, in.max_hr_at_s).c_str()));
  ReplaceKeyword(
      ctrl, "ZK470RECSUMQRS",
      de ? Fmt("Die Gesamtzahl QRS während der Aufnahme betrug %s.", FormatThousands(in.beats).c_str())
         : Fmt("Total QRS count for this recording was %s.", in.beat_count_text.c_str()));
  const int a = in.artefacts;
  std::string text = de ? Fmt("Es %s %s auf", PickByCount(a, "trat", "traten").c_str(),
                              FormatCountNoun(a, "Artefakt", "Artefakte").c_str())
                        : Fmt("There %s %s", PickByCount(a, "was", "were").c_str(),
                              FormatCountNoun(a, "artifact trigger", "artifact triggers").c_str());
  if (a > 0)
    text +=
        Fmt(de ? ", was %s der Gesamtzahl QRS entspricht." : ", which represent %s of the total QRS count.",
            Share(in, a).c_str());
  else
    text += ".";
  ReplaceKeyword(ctrl, "ZK470RECARTIFACTS", text);
}

void CNarrativeLetter::FillMarkers(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  const int m = in.markers;
  const int p = in.pauses;
  ReplaceKeyword(
      ctrl, "ZK470EVTMARKER",
      de ? Fmt(in.sex == 1 ? "Die Patientin löste während des Tests %s aus."
                           : "Der Patient löste während des Tests %s aus.",
               FormatCountNoun(m, "Marker", "Marker").c_str())
         : Fmt("The patient initiated %s during the test.", FormatCountNoun(m, "marker", "markers").c_str()));
  static constexpr const char* kLimits[7] = {"1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"};
  // An index outside the settings' range has no limit to name.
  const char* limit =
      in.pause_limit_index >= 0 && in.pause_limit_index < 7 ? kLimits[in.pause_limit_index] : "-";
  ReplaceKeyword(
      ctrl, "ZK470EVTPAUSE",
      de ? Fmt("Mit einer Einstellung von > %s Sek. %s %s detektiert.", limit,
               PickByCount(p, "wurde", "wurden").c_str(), FormatCountNoun(p, "Pause", "Pausen").c_str())
         : Fmt("There %s %s detected using a setting of > %s sec.", PickByCount(p, "was", "were").c_str(),
               FormatCountNoun(p, "pause", "pauses").c_str(), limit));
  if (p < 2) {
    ReplaceKeyword(ctrl, "ZK470EVTMAXPAUSE", "");
    return;
  }
  const std::string d = FormatDurationMs(in.longest_pause_ms);
  const std::string date = EventDate(in, in.longest_pause_at_s);
  const std::string time = EventTime(in, in.longest_pause_at_s);
  ReplaceKeyword(
      ctrl, "ZK470EVTMAXPAUSE",
      de ? Fmt("Die längste Pause betrug %s und trat am %s um %s h auf.", d.c_str(), date.c_str(),
               time.c_str())
         : Fmt("The longest pause was %s and occured at %s on %s.", d.c_str(), time.c_str(), date.c_str()));
}

void CNarrativeLetter::FillTachyBrady(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  struct Kind {
    const char* keyword;
    int count;
    int at_s;
    int ms;
    const char* de_singular;
    const char* de_plural;
    const char* de_longest;
    const char* en_singular;
    const char* en_plural;
    const char* en_longest;
  };
  const Kind kinds[2] = {
      {"ZK470EVTTACHY", in.tachys, in.longest_tachy_at_s, in.longest_tachy_ms, "Tachykardie", "Tachykardien",
       " Die längste Tachykardie-Episode dauerte %s und trat am %s um %s h auf.", "Tachycardia",
       "Tachycardias", " the longest Tachycardia episode was %s and occured at %s on %s."},
      {"ZK470EVTBRADY", in.bradys, in.longest_brady_at_s, in.longest_brady_ms, "Bradykardie", "Bradykardien",
       " Die längste Bradykardie-Episode dauerte %s und trat am %s um %s h auf.", "Bradycardia",
       "Bradycardias", " the longest Bradycardia episode was %s and occured at %s on %s."},
  };
  for (const Kind& k : kinds) {
    const int n = k.count;
    const std::string d = FormatDurationMs(k.ms);
    const std::string date = EventDate(in, k.at_s);
    const std::string time = EventTime(in, k.at_s);
    std::string text;
    if (german_) {
      text = Fmt("Es %s %s gefunden.", PickByCount(n, "wurde", "wurden").c_str(),
                 FormatCountNoun(n, k.de_singular, k.de_plural).c_str());
      if (n > 0) text += Fmt(k.de_longest, d.c_str(), date.c_str(), time.c_str());
    } else {
      text = Fmt("There %s %s%s", PickByCount(n, "was", "were").c_str(),
                 FormatCountNoun(n, k.en_singular, k.en_plural).c_str(), n > 0 ? "," : ".");
      if (n > 0) text += Fmt(k.en_longest, d.c_str(), time.c_str(), date.c_str());
    }
    ReplaceKeyword(ctrl, k.keyword, text);
  }
}

void CNarrativeLetter::FillVes(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  const int v = in.ves;
  std::string text = de ? Fmt("Es %s %s gefunden.", PickByCount(v, "wurde", "wurden").c_str(),
                              FormatCountNoun(v, "VES", "VES").c_str())
                        : Fmt("There %s %s.", PickByCount(v, "was", "were").c_str(),
                              FormatCountNoun(v, "VES", "VES").c_str());
  if (v > 0)
    text += Fmt(de ? " Das entspricht %s der QRS-Gesamtzahl." : " These represent %s of the QRS count total.",
                Share(in, v).c_str());
  ReplaceKeyword(ctrl, "ZK470EVTVES", text);
  if (v < 1) {
    for (std::string_view s : {"ZK470EVTMAXVES ", "ZK470EVTTYPVES ", "ZK470EVTTACHVES"})
      ReplaceKeyword(ctrl, s, "");
    return;
  }
  if (in.ves_max_per_hour < 1) {
    ReplaceKeyword(ctrl, "ZK470EVTMAXVES", "");
  } else {
    const long long at = (static_cast<long long>(in.ves_max_hour) * 60 + 30) * 60;
    ReplaceKeyword(ctrl, "ZK470EVTMAXVES",
                   Fmt(de ? "Die höchste Anzahl VES von %d trat am %s um ca. %s h auf."
                          : "The highest VES count of %d was noted on %s around %s.",
                       in.ves_max_per_hour, EventDate(in, at).c_str(), EventTime(in, at).c_str()));
  }
  const int cp = in.v_couplets, tp = in.v_triplets, k = in.v_tachys;
  if (de)
    text = Fmt("Bei diesen VES handelte es sich in %s %s um %s, in %s %s um %s und in %s %s um %s.",
               FormatCountWord(cp).c_str(), PickByCount(cp, "Fall", "Fällen").c_str(),
               PickByCount(cp, "ein Couplet", "Couplets").c_str(), FormatCountWord(tp).c_str(),
               PickByCount(tp, "Fall", "Fällen").c_str(), PickByCount(tp, "ein Triplet", "Triplets").c_str(),
               FormatCountWord(k).c_str(), PickByCount(k, "Fall", "Fällen").c_str(),
               PickByCount(k, "eine VTach", "VTachs").c_str());
  else
    text = Fmt("Of these VES, %s %s %s, %s %s %s, and %s %s %s.", FormatCountWord(cp).c_str(),
               PickByCount(cp, "was", "were").c_str(), PickByCount(cp, "couplet", "couplets").c_str(),
               FormatCountWord(tp).c_str(), PickByCount(tp, "was", "were").c_str(),
               PickByCount(tp, "triplet", "triplets").c_str(), FormatCountWord(k).c_str(),
               PickByCount(k, "was", "were").c_str(),
               PickByCount(k, "VES Tachycardia", "VES Tachycardias").c_str());
  ReplaceKeyword(ctrl, "ZK470EVTTYPVES", text);
  if (k < 1) {
    ReplaceKeyword(ctrl, "ZK470EVTTACHVES", "");
    return;
  }
  const std::string d = FormatDurationMs(in.longest_vt_ms);
  const std::string date = EventDate(in, in.longest_vt_at_s);
  const std::string time = EventTime(in, in.longest_vt_at_s);
  ReplaceKeyword(
      ctrl, "ZK470EVTTACHVES",
      de ? Fmt("Die längste VTach-Episode dauerte %s mit einer Herzfrequenz von %d Schlägen pro Minute und "
               "trat am %s um %s h auf.",
               d.c_str(), in.longest_vt_rate, date.c_str(), time.c_str())
         : Fmt("The longest VES Tachycardia episode was %s with a rate of %d BPM and occured at %s on %s.",
               d.c_str(), in.longest_vt_rate, time.c_str(), date.c_str()));
}

void CNarrativeLetter::FillSves(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  const int s = in.sves;
  std::string text;
  if (!in.sv_analysis)
    text = de ? "Es wurde keine SVES Analyse für diese Aufnahme vorgenommen."
              : "No analysis of SV tachycardia has been performed.";
  else if (s > 0)
    text = (de ? Fmt("Es %s %s gefunden.", PickByCount(s, "wurde", "wurden").c_str(),
                     FormatCountNoun(s, "SVES", "SVES").c_str())
               : Fmt("There %s %s.", PickByCount(s, "was", "were").c_str(),
                     FormatCountNoun(s, "SVES", "SVES").c_str())) +
           Fmt(de ? " Das entspricht %s der QRS-Gesamtzahl." : " These represent %s of the QRS count total.",
               Share(in, s).c_str());
  else
    text = de ? "Es wurden keine SVES gefunden." : "There were no SVES.";
  ReplaceKeyword(ctrl, "ZK470EVTSVES", text);
  if (!in.sv_analysis || s < 1) {
    for (std::string_view r : {"ZK470EVTMAXSVES ", "ZK470EVTTYPSVES ", "ZK470EVTTACHSVES"})
      ReplaceKeyword(ctrl, r, "");
    return;
  }
  if (in.sves_max_per_hour < 1) {
    ReplaceKeyword(ctrl, "ZK470EVTMAXSVES", "");
  } else {
    const long long at = (static_cast<long long>(in.sves_max_hour) * 60 + 30) * 60;
    ReplaceKeyword(ctrl, "ZK470EVTMAXSVES",
                   Fmt(de ? "Die höchste Anzahl SVES von %d trat am %s um %s h auf."
                          : "The highest SVES count of %d was noted on %s around %s.",
                       in.sves_max_per_hour, EventDate(in, at).c_str(), EventTime(in, at).c_str()));
  }
  const int cp = in.sv_couplets, tp = in.sv_triplets, k = in.sv_tachys;
  if (de)
    text = Fmt("Bei diesen SVES handelte es sich in %s %s um %s, in %s %s um %s und in %s %s um %s.",
               FormatCountWord(cp).c_str(), PickByCount(cp, "Fall", "Fällen").c_str(),
               PickByCount(cp, "ein Couplet", "Couplets").c_str(), FormatCountWord(tp).c_str(),
               PickByCount(tp, "Fall", "Fällen").c_str(), PickByCount(tp, "ein Triplet", "Triplets").c_str(),
               FormatCountWord(k).c_str(), PickByCount(k, "Fall", "Fällen").c_str(),
               PickByCount(k, "ein SV-Tachykardie", "SV-Tachykardien").c_str());
  else
    text = Fmt("Of these SVES, %s %s %s, %s %s %s, and %s %s %s.", FormatCountWord(cp).c_str(),
               PickByCount(cp, "was", "were").c_str(), PickByCount(cp, "couplet", "couplets").c_str(),
               FormatCountWord(tp).c_str(), PickByCount(tp, "was", "were").c_str(),
               PickByCount(tp, "triplet", "triplets").c_str(), FormatCountWord(k).c_str(),
               PickByCount(k, "was", "were").c_str(),
               PickByCount(k, "SV tachycardia", "SV tachycardias").c_str());
  ReplaceKeyword(ctrl, "ZK470EVTTYPSVES", text);
  if (k < 1) {
    ReplaceKeyword(ctrl, "ZK470EVTTACHSVES", "");
    return;
  }
  const std::string d = FormatDurationMs(in.longest_svt_ms);
  const std::string date = EventDate(in, in.longest_svt_at_s);
  const std::string time = EventTime(in, in.longest_svt_at_s);
  ReplaceKeyword(
      ctrl, "ZK470EVTTACHSVES",
      de ? Fmt("Die längste SV-Tachykardie-Episode dauerte %s mit einer Herzfrequenz von %d Schlägen pro "
               "Minute und trat am %s um %s h auf.",
               d.c_str(), in.longest_svt_rate, date.c_str(), time.c_str())
         : Fmt("The longest SV tachycardia episode was %s with a rate of %d BPM and occured at %s on %s.",
               d.c_str(), in.longest_svt_rate, time.c_str(), date.c_str()));
}

void CNarrativeLetter::FillAbsArrhythmia(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  const int e = in.abs_arrhythmias;
  static constexpr const char* kLimits[8] = {"15", "20", "25", "30", "35", "40", "45", "50"};
  const char* limit =
      in.prematurity_index >= 0 && in.prematurity_index < 8 ? kLimits[in.prematurity_index] : "-";
  std::string text;
  if (!in.abs_arrhythmia_analysis)
    text = de ? "In dieser Aufnahme wurde nicht nach abs. Arrhythmien gesucht."
              : "No analysis of absolute arrhythmia has been performed.";
  else if (e > 0)
    text = de ? Fmt("Es %s %s von (>%s%%) absoluter Arrhythmie entdeckt.",
                    PickByCount(e, "wurde", "wurden").c_str(),
                    FormatCountNoun(e, "Episode", "Episoden").c_str(), limit)
              : Fmt("There %s %s of (>%s%%) Absolute Arrhythmia detected.",
                    PickByCount(e, "was", "were").c_str(), FormatCountNoun(e, "episode", "episodes").c_str(),
                    limit);
  else
    text = de ? "Es wurden keine absolute Arrhythmien gefunden."
              : "There were no absolute arrhythmias detected.";
  ReplaceKeyword(ctrl, "ZK470EVTABSARR", text);
  const int n = in.abs_arrhythmia_max_per_hour;
  if (!in.abs_arrhythmia_analysis || e < 1 || n < 1) {
    ReplaceKeyword(ctrl, "ZK470EVTMAXABSARR", "");
    return;
  }
  const long long hour = static_cast<long long>(in.abs_arrhythmia_max_hour) * 3600;
  const std::string h = FormatDurationSeconds(in.longest_abs_arrhythmia_s, true);
  if (de)
    text =
        Fmt("Die längste Periode war %d pro Stunde während %s h, und trat am %s zwischen %s h und %s h auf.",
            n, h.c_str(), EventDate(in, hour).c_str(), EventTime(in, hour).c_str(),
            EventTime(in, hour + 3600).c_str());
  else
    text = Fmt("The maximum episode was %d per hour lasting %s, and occured on %s around %s.", n, h.c_str(),
               EventDate(in, hour + 1800).c_str(), EventTime(in, hour + 1800).c_str());
  ReplaceKeyword(ctrl, "ZK470EVTMAXABSARR", text);
}

void CNarrativeLetter::FillSt(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in) {
  const bool de = german_;
  for (int c = 0; c < 2; ++c) {
    const std::string keyword = Fmt("ZK470STEPSCH%d", c + 1);
    const std::string max_keyword = Fmt("ZK470MAXSTEPSCH%d", c + 1);
    if (c == 1 && in.st_channel_count < 2) {
      ReplaceKeyword(ctrl, "ZK470STEPSCH2 ", "");
      ReplaceKeyword(ctrl, "ZK470MAXSTEPSCH2", "");
      continue;
    }
    const NarrativeInputs::StChannel& ch = in.st[static_cast<size_t>(c)];
    const int number = ch.table_entry + 1;
    if (!ch.trend_on) {
      ReplaceKeyword(ctrl, keyword + " ",
                     Fmt(de ? "In Kanal %d wurde keine ST-Analyse durchgeführt."
                            : "No ST-analysis has been performed in channel %d.",
                         number));
      ReplaceKeyword(ctrl, c == 0 ? max_keyword + " " : max_keyword, "");
      continue;
    }
    const int n = ch.episodes;
    const double limit = ch.threshold_tenths_mm * 0.1;
    ReplaceKeyword(ctrl, keyword,
                   de ? Fmt("In Kanal %d wurden %s ST-Senkungen (>%.1f mm) detektiert.", number,
                            n >= 1 ? "mehrfach" : "keine", limit)
                      : Fmt("%s ST depression episodes (>%.1f mm) were detected in channel %d.",
                            n > 0 ? "Multiple" : "No", limit, number));
    if (n < 1 || !ch.max_found) {
      ReplaceKeyword(ctrl, max_keyword, "");
      continue;
    }
    ReplaceKeyword(
        ctrl, max_keyword,
        Fmt(de ? "Die grösste Senkung von %.1f mm trat am %s um %s h auf."
               : "The maximum depression of %.1f mm occured on %s at %s.",
            ch.max_depth_mm, EventDate(in, ch.max_at_s).c_str(), EventTime(in, ch.max_at_s).c_str()));
  }
}
