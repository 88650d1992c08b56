#pragma once

#include <array>
#include <string>

#include "platform/archive.h"

// The sample findings a clinic tries its letter templates on: one process-wide set, filled with
// the initial values at start-up, changed only by the test-data dialog and never stored. Address,
// medication and diagnosis texts separate their lines with "\r" alone. Durations are seconds,
// event times whole seconds after the recording start. User-interface thread only.
struct NarrativeTestSet {
  int language = 0;  // 0 English, any other value German
  // Recipients in kind order: insurance, patient, physician referred to, referring physician.
  std::array<int, 4> recipients = {1, 0, 0, 0};
  // Overview, markers and pauses, tachy/brady, VES, SVES, absolute arrhythmia, ST, medication,
  // diagnosis.
  std::array<int, 9> sections = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  std::string office_address = "Office Name\rOffice Street\rOffice Town";

  std::string first_name = "Jonas";
  std::string last_name = "Brenneke";
  std::string patient_address = "Patient Street\rPatient Town";
  std::string patient_id = "007";
  platform::OleDateTime birth_date{0, 17890.0 + 2.0 / 24.0};  // 23 December 1948, 02:00
  int sex = 2;
  std::string age = "53";
  std::string height = "188";
  std::string weight = "89";
  std::string height_unit = "cm";
  std::string weight_unit = "kg";
  int pacemaker = 1;

  std::string insurance_address = "Insurance Name\rInsurance Street\rInsurance Town";
  std::string refer_to_address = "ReferTo Name\rReferTo Street\rReferTo Town";
  std::string referred_by_address = "ReferedBy Name\rReferedBy Street\rReferedBy Town";

  platform::OleDateTime recording_date{0, 37561.0};                // 1 November 2002
  platform::OleDateTime recording_time{0, 37561.0 + 18.5 / 24.0};  // 18:30
  int length_minutes = 1440;
  std::string medication = "MyMedication";
  std::string diagnosis = "MyDiagnose";

  int pause_limit_index = 1;
  int sv_analysis = 1;
  int abs_arrhythmia_analysis = 1;
  int prematurity_index = 1;
  int st_channel_count = 2;
  std::array<int, 2> st_threshold_choice = {0, 0};
  std::array<int, 2> st_trend_on = {1, 1};

  int beats = 85000;
  std::string mean_hr = "60";
  std::string min_hr = "30";
  int min_hr_at_s = 10000;
  std::string max_hr = "90";
  int max_hr_at_s = 13000;

  int artefacts = 2656;
  int markers = 5;
  int pauses = 4;
  int longest_pause_at_s = 9898;
  double longest_pause_s = 324.5;
  int tachys = 9;
  int longest_tachy_at_s = 87345;
  double longest_tachy_s = 88.7;
  int bradys = 17;
  int longest_brady_at_s = 12213;
  double longest_brady_s = 44.5;

  int ves = 8;
  int ves_max_per_hour = 19;
  int ves_max_hour = 9;
  int v_couplets = 9;
  int v_triplets = 9;
  int v_tachys = 9;
  int longest_vt_at_s = 5000;
  double longest_vt_s = 1.9;
  int longest_vt_rate = 189;

  int sves = 4;
  int sves_max_per_hour = 5;
  int sves_max_hour = 6;
  int sv_couplets = 2;
  int sv_triplets = 3;
  int sv_tachys = 4;
  int longest_svt_at_s = 6000;
  double longest_svt_s = 13.1;
  int longest_svt_rate = 190;

  int abs_arrhythmias = 9;
  int abs_arrhythmia_max_per_hour = 9;
  int abs_arrhythmia_max_hour = 9;
  double longest_abs_arrhythmia_s = 111;

  // Episodes of the first channel's ST kind and of every other kind.
  int st_episodes_first_kind = 1;
  int st_episodes_other_kind = 3;
  std::array<int, 2> st_max_found = {1, 1};
  std::array<int, 2> st_max_at_s = {1000, 2000};
  std::array<double, 2> st_max_depth_mm = {2.0, 2.5};
};

// The process-wide set.
NarrativeTestSet& NarrativeTestData();
// Back to the initial values (program start, tests).
void ResetNarrativeTestData();

// "\r" -> "\r\n" for multi-line edit fields, and back ("\n" dropped).
std::string ExpandLineBreaks(const std::string& text);
std::string RemoveLineFeeds(const std::string& text);
