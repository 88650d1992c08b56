#pragma once

#include <array>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "platform/archive.h"
#include "win/dialog.h"

namespace dialogs {
class COptionTreeItem;
}
namespace platform {
class ResourcePack;
}

// A complete set of sample values of the narrative letter. Dates are the framework's date-times;
// radio choices are indices; the texts of height, weight, age and the three heart rates are kept
// as typed.
struct TNarrativeTestData {
  int channel_count = 0;
  int language = 0;  // 0 English, 1 German
  std::string office_address;
  std::string first_name;
  std::string last_name;
  std::string patient_address;
  std::string patient_id;
  platform::OleDateTime birth_date;
  int sex = 0;  // 0 not set, 1 female, 2 male
  std::string height;
  std::string weight;
  std::string age;
  int pacemaker = 0;
  std::string height_unit;
  std::string weight_unit;
  platform::OleDateTime recording_date;
  platform::OleDateTime recording_time;
  int patient_letter = 0;
  int insurance_letter = 0;
  std::string insurance_address;
  int refer_to_letter = 0;
  std::string refer_to_address;
  int referred_by_letter = 0;
  std::string referred_by_address;
  int address_position = 0;
  int overview = 0;
  int length_minutes = 0;
  int beat_count = 0;
  std::string average_hr;
  int min_hr_time_s = 0;
  std::string min_hr;
  int max_hr_time_s = 0;
  std::string max_hr;
  int artefact_count = 0;
  int markers = 0;
  int marker_count = 0;
  int pause_limit = 0;
  int pause_count = 0;
  int longest_pause_time_s = 0;
  double longest_pause_s = 0;
  int tachy_brady = 0;
  int tachy_count = 0;
  int longest_tachy_time_s = 0;
  double longest_tachy_s = 0;
  int brady_count = 0;
  int longest_brady_time_s = 0;
  double longest_brady_s = 0;
  int ves = 0;
  int ves_count = 0;
  int ves_max_per_hour = 0;
  int ves_max_hour = 0;
  int v_couplets = 0;
  int v_triplets = 0;
  int v_tachys = 0;
  int longest_vtach_time_s = 0;
  double longest_vtach_s = 0;
  int longest_vtach_hr = 0;
  int sves = 0;
  int sves_analysed = 0;
  int sves_count = 0;
  int sves_max_per_hour = 0;
  int sves_max_hour = 0;
  int sv_couplets = 0;
  int sv_triplets = 0;
  int sv_tachys = 0;
  int longest_svtach_time_s = 0;
  double longest_svtach_s = 0;
  int longest_svtach_hr = 0;
  int arrhythmia = 0;
  int arrhythmia_analysed = 0;
  int deviation_limit = 0;
  int arrhythmia_count = 0;
  int arrhythmia_max_per_hour = 0;
  int arrhythmia_max_hour = 0;
  int longest_arrhythmia_s = 0;
  int st_episodes = 0;
  int st1_analysed = 0;
  int st2_analysed = 0;
  int st1_hours = 0;
  int st2_hours = 0;
  int st1_limit = 0;
  int st2_limit = 0;
  int st1_found = 0;
  int st2_found = 0;
  int st1_max_time_s = 0;
  int st2_max_time_s = 0;
  double st1_max_level = 0;
  double st2_max_level = 0;
  int medication = 0;
  std::string medication_text;
  int diagnosis = 0;
  std::string diagnosis_text;
};

// Edits a TNarrativeTestData in an option tree: a category per group of the letter, a row per
// value. "Generate Narrative" reads every row into the record and ends with 1; "Cancel" ends with
// 2 and leaves the record as it was. Uses template 314 of the program's own resources.
// User-interface thread only.
class TNarrativeTestDataDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 314;
  static constexpr int kFrameId = 1401;
  static constexpr int kGenerateId = 1402;
  static constexpr int kExpandAllId = 1403;
  static constexpr int kCancelId = 1404;
  static constexpr int kRowCount = 92;
  // Shown info pane, shaded expand column and categories.
  static constexpr uint32_t kTreeOptions =
      dialogs::OptionShowInfoPane | dialogs::OptionShadeExpandColumn | dialogs::OptionShadeCategories;

  explicit TNarrativeTestDataDlg(win::Window* parent = nullptr);

  TNarrativeTestData record;

  dialogs::COptionTree& Tree() { return tree_; }
  // The item of row r (0-based, in the record's order); none before the dialog is open.
  dialogs::COptionTreeItem* RowItem(int r) const;
  // The shown value of a row as the tree draws it: the text of an edit, the checked choice of a
  // radio row, "Checked"/"UnChecked", the picker's text.
  std::string RowText(int r) const;
  static const char* RowLabel(int r);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnSize(int type, int cx, int cy) override;

 private:
  void InsertRows();
  void ShowRow(int r);
  void ReadRow(int r);
  void OnGenerate();

  dialogs::COptionTree tree_;
  std::vector<dialogs::COptionTreeItem*> rows_;
  std::vector<dialogs::COptionTreeItem*> categories_;
  dialogs::COptionTreeItem* end_item_ = nullptr;
};

// Template 314, in the program's own pack only.
void AddNarrativeTestDataResources(platform::ResourcePack& pack);
