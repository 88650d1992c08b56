#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/clock.h"

class CRichEdit2Ctrl;
class CZK470Doc;
class TReportValues;
struct NarrativeTestSet;

// Every value a narrative letter says, gathered once from the document and its report values or
// from the test set. Times of events are seconds after the recording start; durations of episodes
// milliseconds. Texts break lines with "\r\n".
struct NarrativeInputs {
  bool german = false;
  std::array<int, 14> options{};  // the patient record's letter switches
  std::string office_address;
  std::array<std::string, 4> recipient_address;  // by recipient kind

  std::string first_name;
  std::string last_name;
  std::string patient_id;
  platform::OleDateTime birth_date;
  int sex = 0;
  std::string age;
  std::string height;
  std::string weight;
  std::string height_unit;
  std::string weight_unit;
  int pacemaker = 0;

  platform::LocalDateTime start;
  int length_minutes = 0;
  std::string medication;
  std::string diagnosis;
  int pause_limit_index = 0;
  int prematurity_index = 0;
  bool sv_analysis = false;
  bool abs_arrhythmia_analysis = false;

  int beats = 1;  // at least 1
  std::string beat_count_text;
  std::string mean_hr;
  std::string min_hr;
  int min_hr_at_s = 0;
  std::string max_hr;
  int max_hr_at_s = 0;

  int artefacts = 0;
  int markers = 0;
  int pauses = 0;
  int longest_pause_at_s = 0;
  int longest_pause_ms = 0;
  int tachys = 0;
  int longest_tachy_at_s = 0;
  int longest_tachy_ms = 0;
  int bradys = 0;
  int longest_brady_at_s = 0;
  int longest_brady_ms = 0;

  int ves = 0;
  int ves_max_per_hour = 0;
  int ves_max_hour = 0;
  int v_couplets = 0;
  int v_triplets = 0;
  int v_tachys = 0;
  int longest_vt_at_s = 0;
  int longest_vt_ms = 0;
  int longest_vt_rate = 0;

  int sves = 0;
  int sves_max_per_hour = 0;
  int sves_max_hour = 0;
  int sv_couplets = 0;
  int sv_triplets = 0;
  int sv_tachys = 0;
  int longest_svt_at_s = 0;
  int longest_svt_ms = 0;
  int longest_svt_rate = 0;

  int abs_arrhythmias = 0;
  int abs_arrhythmia_max_per_hour = 0;
  int abs_arrhythmia_max_hour = 0;
  int longest_abs_arrhythmia_s = 0;

  struct StChannel {
    int table_entry = 0;  // printed as entry + 1
    bool trend_on = false;
    int threshold_tenths_mm = 0;
    int episodes = 0;
    bool max_found = false;
    int max_at_s = 0;
    double max_depth_mm = 0;
  };
  int st_channel_count = 0;
  std::array<StChannel, 2> st{};
};

// The inputs of the test set; options 0..12 from the set, 13 (the form) as given.
NarrativeInputs NarrativeInputsFromTestSet(const NarrativeTestSet& set, bool letter_form);

// Whether the last CreateLetter ran on the test set (process-wide; each call sets it again).
bool IsNarrativeTestDataOn();

// Fills an RTF template written by the clinic with the findings of a recording in whole sentences,
// in English or German, for one of four recipients (0 insurance, 1 patient, 2 physician referred
// to, 3 referring physician), and saves the result as a private temporary RTF file. One letter
// object per print job or export, on the thread that makes the letters.
class CNarrativeLetter {
 public:
  static constexpr int kRecipients = 4;
  static constexpr int kMaxLines = 32;

  CNarrativeLetter() = default;
  // The clock gives today's date of the letter; without one the document's, else the system's.
  CNarrativeLetter(CZK470Doc* doc, TReportValues* values, const platform::Clock* clock = nullptr);

  // The path of the new RTF file (also kept as the recipient's file name), or "" after a message.
  // The caller deletes the file when done with it.
  std::string CreateLetter(int kind, bool letter_form, bool for_pdf, bool test_data);
  const std::string& FileName(int kind) const { return file_names_.at(kind); }

  // The template's file name for a form.
  static const char* TemplateName(bool letter_form, bool for_pdf);
  // The folder the templates are looked up in (the main directory); tests may set another.
  void SetTemplateFolder(std::filesystem::path folder) { template_folder_ = std::move(folder); }

  // Fills the keywords of the control's text from the inputs for the recipient kind.
  void FillTemplate(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in, int kind);

  // --- Text building blocks; the language is that of the last inputs (English before) ---------
  void SetGerman(bool german) { german_ = german; }
  bool IsGerman() const { return german_; }
  // Date in the letter form (with year, short), the long form (with year, long) or without year;
  // time in the language's clock form.
  void FormatDateTime(const platform::LocalDateTime& when, std::string* date, std::string* time,
                      bool with_year, bool long_form) const;
  std::string FormatDurationMs(long long ms) const;
  std::string FormatDurationSeconds(long long seconds, bool clock_form) const;
  std::string FormatCountWord(int n) const;
  std::string PickByCount(int n, std::string_view singular, std::string_view plural) const;
  static std::string FormatThousands(long long n);
  std::string FormatCountNoun(int n, std::string_view singular, std::string_view plural) const;
  static int SplitLines(std::string_view text, std::array<std::string, kMaxLines>& lines);
  // Replaces the first occurrence of the keyword (ignoring case) with the text in the keyword's
  // character format; false when the keyword is not there.
  static bool ReplaceKeyword(CRichEdit2Ctrl& ctrl, std::string_view keyword, std::string_view text);

 private:
  NarrativeInputs GatherFromDocument(bool letter_form);
  std::string EventDate(const NarrativeInputs& in, long long seconds_after_start) const;
  std::string EventTime(const NarrativeInputs& in, long long seconds_after_start) const;
  std::string Share(const NarrativeInputs& in, int n) const;

  void FillOverview(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillMarkers(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillTachyBrady(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillVes(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillSves(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillAbsArrhythmia(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);
  void FillSt(CRichEdit2Ctrl& ctrl, const NarrativeInputs& in);

  CZK470Doc* doc_ = nullptr;
  TReportValues* values_ = nullptr;
  const platform::Clock* clock_ = nullptr;
  std::filesystem::path template_folder_;
  std::array<std::string, kRecipients> file_names_;
  std::filesystem::path unreadable_template_;  // already reported to the user
  bool german_ = false;
};

// The folder of this process, private to its user, that letters are written to; empty while
// it holds no letter.
std::filesystem::path NarrativeLetterFolder();

// Removes a letter file made by CreateLetter; nothing for "".
void DeleteNarrativeLetterFile(const std::string& path);
