#include "core/narrative_commands.h"

#include <cmath>

#include "core/zk470_app.h"
#include "dialogs/narrative_test_data_dlg.h"
#include "reports/narrative_test_data.h"
#include "win/window.h"

namespace {

// The dialog edits its own record; both directions go through one table so no value is missed.
template <typename Copy>
void Exchange(NarrativeTestSet& set, TNarrativeTestData& rec, Copy copy) {
  copy(set.language, rec.language);
  copy(set.st_channel_count, rec.channel_count);
  copy(set.first_name, rec.first_name);
  copy(set.last_name, rec.last_name);
  copy(set.patient_id, rec.patient_id);
  copy(set.birth_date, rec.birth_date);
  copy(set.sex, rec.sex);
  copy(set.height, rec.height);
  copy(set.weight, rec.weight);
  copy(set.age, rec.age);
  copy(set.pacemaker, rec.pacemaker);
  copy(set.height_unit, rec.height_unit);
  copy(set.weight_unit, rec.weight_unit);
  copy(set.recording_date, rec.recording_date);
  copy(set.recording_time, rec.recording_time);
  copy(set.recipients[0], rec.insurance_letter);
  copy(set.recipients[1], rec.patient_letter);
  copy(set.recipients[2], rec.refer_to_letter);
  copy(set.recipients[3], rec.referred_by_letter);
  copy(set.sections[0], rec.overview);
  copy(set.length_minutes, rec.length_minutes);
  copy(set.beats, rec.beat_count);
  copy(set.mean_hr, rec.average_hr);
  copy(set.min_hr_at_s, rec.min_hr_time_s);
  copy(set.min_hr, rec.min_hr);
  copy(set.max_hr_at_s, rec.max_hr_time_s);
  copy(set.max_hr, rec.max_hr);
  copy(set.artefacts, rec.artefact_count);
  copy(set.sections[1], rec.markers);
  copy(set.markers, rec.marker_count);
  copy(set.pause_limit_index, rec.pause_limit);
  copy(set.pauses, rec.pause_count);
  copy(set.longest_pause_at_s, rec.longest_pause_time_s);
  copy(set.longest_pause_s, rec.longest_pause_s);
  copy(set.sections[2], rec.tachy_brady);
  copy(set.tachys, rec.tachy_count);
  copy(set.longest_tachy_at_s, rec.longest_tachy_time_s);
  copy(set.longest_tachy_s, rec.longest_tachy_s);
  copy(set.bradys, rec.brady_count);
  copy(set.longest_brady_at_s, rec.longest_brady_time_s);
  copy(set.longest_brady_s, rec.longest_brady_s);
  copy(set.sections[3], rec.ves);
  copy(set.ves, rec.ves_count);
  copy(set.ves_max_per_hour, rec.ves_max_per_hour);
  copy(set.ves_max_hour, rec.ves_max_hour);
  copy(set.v_couplets, rec.v_couplets);
  copy(set.v_triplets, rec.v_triplets);
  copy(set.v_tachys, rec.v_tachys);
  copy(set.longest_vt_at_s, rec.longest_vtach_time_s);
  copy(set.longest_vt_s, rec.longest_vtach_s);
  copy(set.longest_vt_rate, rec.longest_vtach_hr);
  copy(set.sections[4], rec.sves);
  copy(set.sv_analysis, rec.sves_analysed);
  copy(set.sves, rec.sves_count);
  copy(set.sves_max_per_hour, rec.sves_max_per_hour);
  copy(set.sves_max_hour, rec.sves_max_hour);
  copy(set.sv_couplets, rec.sv_couplets);
  copy(set.sv_triplets, rec.sv_triplets);
  copy(set.sv_tachys, rec.sv_tachys);
  copy(set.longest_svt_at_s, rec.longest_svtach_time_s);
  copy(set.longest_svt_s, rec.longest_svtach_s);
  copy(set.longest_svt_rate, rec.longest_svtach_hr);
  copy(set.sections[5], rec.arrhythmia);
  copy(set.abs_arrhythmia_analysis, rec.arrhythmia_analysed);
  copy(set.prematurity_index, rec.deviation_limit);
  copy(set.abs_arrhythmias, rec.arrhythmia_count);
  copy(set.abs_arrhythmia_max_per_hour, rec.arrhythmia_max_per_hour);
  copy(set.abs_arrhythmia_max_hour, rec.arrhythmia_max_hour);
  copy(set.longest_abs_arrhythmia_s, rec.longest_arrhythmia_s);
  copy(set.sections[6], rec.st_episodes);
  copy(set.st_trend_on[0], rec.st1_analysed);
  copy(set.st_trend_on[1], rec.st2_analysed);
  copy(set.st_episodes_first_kind, rec.st1_hours);
  copy(set.st_episodes_other_kind, rec.st2_hours);
  copy(set.st_threshold_choice[0], rec.st1_limit);
  copy(set.st_threshold_choice[1], rec.st2_limit);
  copy(set.st_max_found[0], rec.st1_found);
  copy(set.st_max_found[1], rec.st2_found);
  copy(set.st_max_at_s[0], rec.st1_max_time_s);
  copy(set.st_max_at_s[1], rec.st2_max_time_s);
  copy(set.st_max_depth_mm[0], rec.st1_max_level);
  copy(set.st_max_depth_mm[1], rec.st2_max_level);
  copy(set.sections[7], rec.medication);
  copy(set.sections[8], rec.diagnosis);
}

struct ToDialog {
  template <typename T>
  void operator()(const T& from, T& to) const {
    to = from;
  }
  void operator()(double from, int& to) const { to = static_cast<int>(std::lround(from)); }
};

struct FromDialog {
  template <typename T>
  void operator()(T& to, const T& from) const {
    to = from;
  }
  void operator()(double& to, int from) const { to = from; }
};

}  // namespace

int EditNarrativeTestData(CZK470App* app) {
  if (app != nullptr) app->UseExeResources();
  NarrativeTestSet& set = NarrativeTestData();
  int result = 2;
  {
    TNarrativeTestDataDlg dlg(win::Windows().MainWindow());
    TNarrativeTestData& rec = dlg.record;
    Exchange(set, rec, ToDialog{});
    rec.office_address = ExpandLineBreaks(set.office_address);
    rec.patient_address = ExpandLineBreaks(set.patient_address);
    rec.insurance_address = ExpandLineBreaks(set.insurance_address);
    rec.refer_to_address = ExpandLineBreaks(set.refer_to_address);
    rec.referred_by_address = ExpandLineBreaks(set.referred_by_address);
    rec.medication_text = ExpandLineBreaks(set.medication);
    rec.diagnosis_text = ExpandLineBreaks(set.diagnosis);
    if (dlg.DoModal() == 1) {
      Exchange(set, rec, FromDialog{});
      set.office_address = RemoveLineFeeds(rec.office_address);
      set.patient_address = RemoveLineFeeds(rec.patient_address);
      set.insurance_address = RemoveLineFeeds(rec.insurance_address);
      set.refer_to_address = RemoveLineFeeds(rec.refer_to_address);
      set.referred_by_address = RemoveLineFeeds(rec.referred_by_address);
      set.medication = RemoveLineFeeds(rec.medication_text);
      set.diagnosis = RemoveLineFeeds(rec.diagnosis_text);
      result = 1;
    }
  }
  if (app != nullptr) app->UseLanguageResources();
  return result;
}

int EditNarrativeTestData() { return EditNarrativeTestData(App()); }
