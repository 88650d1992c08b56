#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/pm_template_list.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/st_details.h"
#include "document/st_values.h"
#include "document/template_list.h"
#include "platform/clock.h"

// Seeded random records and lists for round trips. Texts use characters that cp1252 holds, so they
// survive the file's single-byte encoding; doubles are finite.
class RecordGenerator {
 public:
  explicit RecordGenerator(uint32_t seed) : rng_(seed) {}

  int32_t Int(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
  int32_t AnyInt() { return static_cast<int32_t>(rng_()); }
  bool Chance(int percent) { return Int(0, 99) < percent; }
  double Double() {
    if (Chance(10)) return Int(-5, 5);
    return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
  }
  platform::OleDateTime Date() { return {Int(0, 2), std::uniform_real_distribution<double>(-1000, 60000)(rng_)}; }

  std::string Text() {
    static const char* const kPieces[] = {"a", "Z", " ", "0", "\r\n", "\xC3\xA4", "\xC3\xA9", "\xE2\x82\xAC", "-", "."};
    const int length = Chance(5) ? Int(250, 400) : Int(0, 20);
    std::string text;
    for (int i = 0; i < length; ++i) text += kPieces[Int(0, 9)];
    return text;
  }

  document::ChannelSet Channels(int capacity) {
    document::ChannelSet set{capacity, 0, {}};
    set.count = Int(0, capacity);
    for (int i = 0; i < set.count; ++i) set.channels[static_cast<size_t>(i)] = Int(0, 2);
    return set;
  }

  TQRSList Beats(int max_size) {
    TQRSList list;
    const int size = Int(0, max_size);
    int32_t position = Int(0, 1000);
    for (int i = 0; i < size; ++i) {
      position += Int(0, 300);
      list.Append(TQRSComplex(position, static_cast<uint8_t>(Int(0, 39)), Prior()));
    }
    return list;
  }

  TEventList Events(int max_size) {
    TEventList list;
    const int size = Int(0, max_size);
    int32_t start = Int(0, 1000);
    for (int i = 0; i < size; ++i) {
      start += Int(0, 3000);
      TEvent event(start, start + Int(0, 10000), static_cast<uint8_t>(Int(0, 39)));
      event.SetPriorClass(Prior());
      list.Append(event);
    }
    return list;
  }

  TTemplateList Templates(int max_size) {
    TTemplateList list;
    const int size = Int(0, max_size);
    for (int i = 0; i < size; ++i) list.Append(AnyInt());
    return list;
  }

  TSTValues Values(int max_size) {
    TSTValues list;
    const int size = Int(0, max_size);
    for (int i = 0; i < size; ++i) list.Add(Double());
    return list;
  }

  TSTDetails Details(int max_size) {
    TSTDetails list;
    const int size = Int(0, max_size);
    for (int i = 0; i < size; ++i) {
      TSTDetail detail;
      for (TSTPoint& point : detail.points) point = {AnyInt(), AnyInt(), Double(), Double()};
      list.Add(detail);
    }
    return list;
  }

  TPMTemplateList Spikes(int max_size) {
    TPMTemplateList list;
    const int size = Int(0, max_size);
    for (int i = 0; i < size; ++i) list.Append(TPMTemplate(AnyInt()));
    return list;
  }

  TPatientData Patient(const platform::Clock& clock) {
    TPatientData p(clock);
    p.first_name = Text();
    p.surname = Text();
    p.patient_id = Text();
    p.address = Text();
    p.telephone = Text();
    p.birth_date = Date();
    p.sex = AnyInt();
    p.height = Double();
    p.weight = Double();
    p.pacemaker = AnyInt();
    p.referring_address = Text();
    p.referred_to_address = Text();
    p.insurance_address = Text();
    for (int32_t& value : p.letter_switches) value = AnyInt();
    p.further_text = Text();
    p.station = Text();
    return p;
  }

  // Every field random; template and pacemaker lists sparse so that a record stays small.
  TRecordingData Recording(const platform::Clock& clock) {
    TRecordingData r(clock);
    r.start_date = Date();
    r.start_time = Date();
    r.programmed_length = AnyInt();
    r.pacemaker_recording = AnyInt();
    r.identity_text = Text();
    r.analysing_program = Text();
    for (int32_t& v : r.fd_day_switches) v = AnyInt();
    for (auto& day : r.fd_half_hours)
      for (int32_t& v : day) v = AnyInt();
    r.analysis_engine = Text();
    r.analysis_time = Date();
    for (int32_t* v : {&r.tachycardia_threshold, &r.sves_prematurity, &r.pause_threshold, &r.bradycardia_threshold,
                       &r.arrhythmia_deviation, &r.arrhythmia_min_duration, &r.sves_analysis_on,
                       &r.arrhythmia_analysis_on, &r.st_interval, &r.reserved_st_a, &r.reserved_st_b,
                       &r.st_point_distance, &r.st_results_current, &r.hrv_window_value})
      *v = AnyInt();
    for (int c = 0; c < TRecordingData::kStChannels; ++c) {
      r.st_levels[c] = Values(30);
      r.st_slopes[c] = Values(30);
      r.st_episodes[c] = Details(4);
      r.deepest_st_position[c] = AnyInt();
      r.st_channel_analysed[c] = AnyInt();
      r.st_depression_limit[c] = AnyInt();
    }
    r.st_offset1 = Double();
    r.st_offset2 = Double();
    r.st_point_offset = Double();
    const int markers = Int(0, 20);
    for (int i = 0; i < markers; ++i) r.recorder_markers.push_back(AnyInt());
    r.diagnosis = Text();
    r.recording_text2 = Text();
    r.assignment_heading = Text();
    r.assignment_text = Text();
    r.medication = Text();
    for (int family = 0; family < 4; ++family) {
      for (TTemplateList& list : r.TemplateClasses(family))
        if (Chance(3)) list = Templates(20);
      for (int32_t& v : r.CurrentMembers(family)) v = AnyInt();
    }
    // Special classes of -1 or more: smaller values are upgraded on loading.
    for (auto* pair : {&r.normal_special, &r.ves_special, &r.sves_special})
      for (int32_t& v : *pair) v = Int(-1, 299);
    for (TTemplateList& list : r.reserved_templates.lists)
      if (Chance(30)) list = Templates(5);
    for (auto& code : r.example_strips)
      for (int32_t& v : code) v = AnyInt();
    for (TPMTemplateList& list : r.pm_classes)
      if (Chance(10)) list = Spikes(10);
    for (int32_t& v : r.pm_class_codes) v = AnyInt();
    for (int32_t& v : r.pm_current) v = AnyInt();
    r.hrv_window_start = Date();
    r.hrv_window_end = Date();
    for (int32_t& v : r.extremes) v = AnyInt();
    return r;
  }

 private:
  uint8_t Prior() {
    switch (Int(0, 2)) {
      case 0: return kPriorNeverEdited;
      case 1: return kPriorInserted;
      default: return static_cast<uint8_t>(Int(0, 39));
    }
  }

  std::mt19937 rng_;
};
