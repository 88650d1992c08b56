#include "dialogs/narrative_test_data_dlg.h"

#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_item.h"
#include "dialogs/optiontree/option_tree_radio.h"
#include "dialogs/optiontree/option_tree_static.h"
#include "document/record_format.h"
#include "platform/resources.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using dialogs::COptionTreeCheckItem;
using dialogs::COptionTreeDateItem;
using dialogs::COptionTreeEditItem;
using dialogs::COptionTreeItem;
using dialogs::COptionTreeRadioItem;
using dialogs::COptionTreeStaticItem;

using Rec = TNarrativeTestData;
using Dlg = TNarrativeTestDataDlg;

enum class Kind {
  kCheck,
  kInteger,
  kIntegerText,  // an integer field whose value is kept as typed
  kDecimal,
  kText,
  kLines,
  kRadio,
  kChannelRadio,  // the value is the index + 1
  kUnitRadio,     // the value is the text of the choice
  kDate,
  kTime,
};

using Field = std::variant<int Rec::*, double Rec::*, std::string Rec::*, platform::OleDateTime Rec::*>;

// Categories in the order the tree shows them; the two channels stand under "ST-Episodes".
enum Category {
  kCommon,
  kPatient,
  kLetters,
  kOverview,
  kMarkers,
  kTachyBrady,
  kVES,
  kSVES,
  kArrhythmia,
  kST,
  kChannel1,
  kChannel2,
  kMedication,
  kDiagnosis,
  kCategoryCount
};

struct CategoryText {
  const char* label;
  const char* info;
  int parent;  // -1 at the root
};
constexpr CategoryText kCategories[kCategoryCount] = {
    {"Common", "Allgemeine Optionen", -1},
    {"Patient/Recording Data", "Patient/Recording Data", -1},
    {"Letters", "Letters", -1},
    {"Recording Overview", "Recording Overview", -1},
    {"Markers + Pauses", "Markers + Pauses", -1},
    {"Tachys + Bradys", "Tachys + Bradys", -1},
    {"VES", "VES", -1},
    {"SVES", "SVES", -1},
    {"Absolute Arrhythmia", "Absolute Arrhythmia", -1},
    {"ST-Episodes", "ST-Episodes", -1},
    {"Channel 1", "Channel 1", kST},
    {"Channel 2", "Channel 2", kST},
    {"Medication", "Medication", -1},
    {"Diagnosis", "Diagnosis", -1},
};

constexpr const char* kChannelChoices[] = {"1", "2"};
constexpr const char* kLanguageChoices[] = {"Englisch", "Deutsch"};
constexpr const char* kSexChoices[] = {"undefiniert", "Frau", "Mann"};
constexpr const char* kHeightUnits[] = {"cm", "inches"};
constexpr const char* kWeightUnits[] = {"kg", "lbs"};
constexpr const char* kAddressPositions[] = {"Europe stnd C5 envelope (right)",
                                             "Europe stnd C5 envelope (left)", "American block"};
constexpr const char* kPauseLimits[] = {" > 1.0 sec.", " > 1.5 sec.", " > 2.0 sec.",
                                        " > 2.5 sec.", " > 3.0 sec.", " > 3.5 sec."};
constexpr const char* kDeviationLimits[] = {" > 15 %%", " > 20 %%", " > 25 %%", " > 30 %%",
                                            " > 35 %%", " > 40 %%", " > 45 %%", " > 50 %%"};
constexpr const char* kSTLimits[] = {" > 1.0 mm", " > 1.5 mm", " > 2.0 mm", " > 2.5 mm", " > 3.0 mm"};

constexpr const char* kYesNo = "Ja/Nein";
constexpr const char* kAtLeastZero = ">= 0";
constexpr const char* kSeconds = "in Seconds !";
constexpr const char* kDecimalSeconds = "in Seconds !(e.g 1.5) ";

struct Row {
  int category;
  const char* label;
  const char* info;
  Kind kind;
  Field field;
  double fallback = 0;  // stored when an integer or decimal row holds no valid number
  std::span<const char* const> choices = {};
};

const Row kRows[Dlg::kRowCount] = {
    {kCommon, "Anzahl Analyse Kanäle", "1 oder 2", Kind::kChannelRadio, &Rec::channel_count, 0,
     kChannelChoices},
    {kCommon, "Sprache", "Englisch oder Deutsch", Kind::kRadio, &Rec::language, 0, kLanguageChoices},
    {kCommon, "Office address", "Maximal 5 Zeilen", Kind::kLines, &Rec::office_address},
    {kPatient, "Patient Vorname", "Maximal 20 Zeichen", Kind::kText, &Rec::first_name},
    {kPatient, "Patient Nachname", "Maximal 20 Zeichen", Kind::kText, &Rec::last_name},
    {kPatient, "Patient Address", "Maximal 3 Zeilen, 128 Zeichen", Kind::kLines, &Rec::patient_address},
    {kPatient, "Patient ID", "Maximal 20 Zeichen", Kind::kText, &Rec::patient_id},
    {kPatient, "Patient DOB", "Date of birth", Kind::kDate, &Rec::birth_date},
    {kPatient, "Patient Geschlecht", "Frau, Mann oder undefiniert", Kind::kRadio, &Rec::sex, 0, kSexChoices},
    {kPatient, "Patient Groesse", "in cm oder inch", Kind::kIntegerText, &Rec::height},
    {kPatient, "Patient Gewicht", "in kg oder lbs", Kind::kIntegerText, &Rec::weight},
    {kPatient, "Patient Alter", "in Jahren", Kind::kIntegerText, &Rec::age},
    {kPatient, "Patient Pacemaker", kYesNo, Kind::kCheck, &Rec::pacemaker},
    {kPatient, "Patient Groesse Einheit", "cm /inches", Kind::kUnitRadio, &Rec::height_unit, 0, kHeightUnits},
    {kPatient, "Patient Gewicht Einheit", "kg / lbs", Kind::kUnitRadio, &Rec::weight_unit, 0, kWeightUnits},
    {kPatient, "Recording Date", "Date of recording", Kind::kDate, &Rec::recording_date},
    {kPatient, "Recording Time", "Time of recording", Kind::kTime, &Rec::recording_time},
    {kLetters, "Patient Letter", kYesNo, Kind::kCheck, &Rec::patient_letter},
    {kLetters, "Insurance Letter", kYesNo, Kind::kCheck, &Rec::insurance_letter},
    {kLetters, "Insurance Address", "Maximal 5 Zeilen", Kind::kLines, &Rec::insurance_address},
    {kLetters, "ReferTo Letter", kYesNo, Kind::kCheck, &Rec::refer_to_letter},
    {kLetters, "ReferTo Address", "Maximal 5 Zeilen", Kind::kLines, &Rec::refer_to_address},
    {kLetters, "ReferedBy Letter", kYesNo, Kind::kCheck, &Rec::referred_by_letter},
    {kLetters, "ReferedBy Address", "Maximal 5 Zeilen", Kind::kLines, &Rec::referred_by_address},
    {kLetters, "Address Position", "Position of the address on the letter", Kind::kRadio,
     &Rec::address_position, 0, kAddressPositions},
    {kOverview, "Include Recording Overview", kYesNo, Kind::kCheck, &Rec::overview},
    {kOverview, "Length of Recording", " in minutes> 0", Kind::kInteger, &Rec::length_minutes, 1},
    {kOverview, "Total number of beats", "> 0", Kind::kInteger, &Rec::beat_count, 1},
    {kOverview, "Average HR", " > 0", Kind::kIntegerText, &Rec::average_hr},
    {kOverview, "Time of Minimum HR", "in seconds !", Kind::kInteger, &Rec::min_hr_time_s, 1},
    {kOverview, "Minimum HR", "> 0", Kind::kIntegerText, &Rec::min_hr},
    {kOverview, "Time of Maximum HR", "in seconds !", Kind::kInteger, &Rec::max_hr_time_s, 1},
    {kOverview, "Maximum HR", "> 0", Kind::kIntegerText, &Rec::max_hr},
    {kOverview, "Total number of artefakts", "> 0", Kind::kInteger, &Rec::artefact_count, 1},
    {kMarkers, "Include Markers / Pauses", kYesNo, Kind::kCheck, &Rec::markers},
    {kMarkers, "Total number of markers", kAtLeastZero, Kind::kInteger, &Rec::marker_count, 0},
    {kMarkers, "Pause value", "Pauses longer than", Kind::kRadio, &Rec::pause_limit, 0, kPauseLimits},
    {kMarkers, "Total number of Pauses", kAtLeastZero, Kind::kInteger, &Rec::pause_count, 0},
    {kMarkers, "Time of longest Pause", kSeconds, Kind::kInteger, &Rec::longest_pause_time_s, 1},
    {kMarkers, "Duration of longest Pause", kDecimalSeconds, Kind::kDecimal, &Rec::longest_pause_s, 1.5},
    {kTachyBrady, "Include Tachys / Bradys", kYesNo, Kind::kCheck, &Rec::tachy_brady},
    {kTachyBrady, "Total number of Tachys", kAtLeastZero, Kind::kInteger, &Rec::tachy_count, 0},
    {kTachyBrady, "Time of longest Tachy", kSeconds, Kind::kInteger, &Rec::longest_tachy_time_s, 1},
    {kTachyBrady, "Duration of longest Tachy", kDecimalSeconds, Kind::kDecimal, &Rec::longest_tachy_s, 1.6},
    {kTachyBrady, "Total number of Bradys", kAtLeastZero, Kind::kInteger, &Rec::brady_count, 0},
    {kTachyBrady, "Time of longest Brady", kSeconds, Kind::kInteger, &Rec::longest_brady_time_s, 1},
    {kTachyBrady, "Duration of longest Brady", kDecimalSeconds, Kind::kDecimal, &Rec::longest_brady_s, 1.7},
    {kVES, "Include VES", kYesNo, Kind::kCheck, &Rec::ves},
    {kVES, "Total number of VES", kAtLeastZero, Kind::kInteger, &Rec::ves_count, 0},
    {kVES, "Max. number of VES/h", kAtLeastZero, Kind::kInteger, &Rec::ves_max_per_hour, 1},
    {kVES, "Hour of max. VES", kAtLeastZero, Kind::kInteger, &Rec::ves_max_hour, 1},
    {kVES, "Total number of VCouplets", kAtLeastZero, Kind::kInteger, &Rec::v_couplets, 0},
    {kVES, "Total number of VTriplets", kAtLeastZero, Kind::kInteger, &Rec::v_triplets, 0},
    {kVES, "Total number of VTachys", kAtLeastZero, Kind::kInteger, &Rec::v_tachys, 0},
    {kVES, "Time of longest VTach", kSeconds, Kind::kInteger, &Rec::longest_vtach_time_s, 1},
    {kVES, "Duration of longest VTach", "in Seconds (e.g 1.9) !", Kind::kDecimal, &Rec::longest_vtach_s, 1.8},
    {kVES, "HR at longest VTach", kSeconds, Kind::kInteger, &Rec::longest_vtach_hr, 1},
    {kSVES, "Include SVES", kYesNo, Kind::kCheck, &Rec::sves},
    {kSVES, "SVES analyzed", kYesNo, Kind::kCheck, &Rec::sves_analysed},
    {kSVES, "Total number of SVES", kAtLeastZero, Kind::kInteger, &Rec::sves_count, 0},
    {kSVES, "Max. number of SVES/h", kAtLeastZero, Kind::kInteger, &Rec::sves_max_per_hour, 1},
    {kSVES, "Hour of max. SVES", kAtLeastZero, Kind::kInteger, &Rec::sves_max_hour, 1},
    {kSVES, "Total number of SVCouplets", kAtLeastZero, Kind::kInteger, &Rec::sv_couplets, 0},
    {kSVES, "Total number of SVTriplets", kAtLeastZero, Kind::kInteger, &Rec::sv_triplets, 0},
    {kSVES, "Total number of SVTachys", kAtLeastZero, Kind::kInteger, &Rec::sv_tachys, 0},
    {kSVES, "Time of longest SVTach", kSeconds, Kind::kInteger, &Rec::longest_svtach_time_s, 1},
    {kSVES, "Duration of longest SVTach", kDecimalSeconds, Kind::kDecimal, &Rec::longest_svtach_s, 1.9},
    {kSVES, "HR at longest SVTach", kSeconds, Kind::kInteger, &Rec::longest_svtach_hr, 1},
    {kArrhythmia, "Include Absolute Arrhythmia", kYesNo, Kind::kCheck, &Rec::arrhythmia},
    {kArrhythmia, "Absolute Arrhythmia analyzed", kYesNo, Kind::kCheck, &Rec::arrhythmia_analysed},
    {kArrhythmia, "Deviation", "in %%", Kind::kRadio, &Rec::deviation_limit, 0, kDeviationLimits},
    {kArrhythmia, "Total number of AbsArrhy", kAtLeastZero, Kind::kInteger, &Rec::arrhythmia_count, 0},
    {kArrhythmia, "Max. number of AbsArrhy/h", kAtLeastZero, Kind::kInteger, &Rec::arrhythmia_max_per_hour,
     1},
    {kArrhythmia, "Hour of max. AbsArrhy", kAtLeastZero, Kind::kInteger, &Rec::arrhythmia_max_hour, 1},
    {kArrhythmia, "Duration of longest AbsArrhy", kSeconds, Kind::kInteger, &Rec::longest_arrhythmia_s, 1},
    {kST, "Include ST-Episodes", kYesNo, Kind::kCheck, &Rec::st_episodes},
    {kChannel1, "Ch1 analyzed", kYesNo, Kind::kCheck, &Rec::st1_analysed},
    {kChannel2, "Ch2 2 analyzed", kYesNo, Kind::kCheck, &Rec::st2_analysed},
    {kChannel1, "Ch1  Hours with ST-Episodes", "0<=x<=24", Kind::kInteger, &Rec::st1_hours, 0},
    {kChannel2, "Ch2  Hours with ST-Episodes", "0<=x<=24", Kind::kInteger, &Rec::st2_hours, 0},
    {kChannel1, "Ch1 ST Level Limit", "1,0 .. 3.0", Kind::kRadio, &Rec::st1_limit, 0, kSTLimits},
    {kChannel2, "Ch2 ST Level Limit", "1,0 .. 3.0", Kind::kRadio, &Rec::st2_limit, 0, kSTLimits},
    {kChannel1, "Ch1 Max ST found", kYesNo, Kind::kCheck, &Rec::st1_found},
    {kChannel2, "Ch2 Max ST found", kYesNo, Kind::kCheck, &Rec::st2_found},
    {kChannel1, "Ch1 Time of Max ST", kSeconds, Kind::kInteger, &Rec::st1_max_time_s, 1000},
    {kChannel2, "Ch2 Time of Max ST", kSeconds, Kind::kInteger, &Rec::st2_max_time_s, 1000},
    {kChannel1, "Ch1 Level of Max ST", "> 1.0", Kind::kDecimal, &Rec::st1_max_level, 1000.0},
    {kChannel2, "Ch2 Level of Max ST", "> 1.0", Kind::kDecimal, &Rec::st2_max_level, 1000.0},
    {kMedication, "Include Medication", kYesNo, Kind::kCheck, &Rec::medication},
    {kMedication, "Medication", "Maximal 10 Zeilen", Kind::kLines, &Rec::medication_text},
    {kDiagnosis, "Include Diagnosis", kYesNo, Kind::kCheck, &Rec::diagnosis},
    {kDiagnosis, "Diagnosis", "Maximal 4096 Zeichen", Kind::kLines, &Rec::diagnosis_text},
};

// Record rows 76 to 87 alternate between the channels; the tree groups them by channel in the
// order analysed, limit, hours, found, time, level.
constexpr int kTreeOrder[Dlg::kRowCount] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
    23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45,
    46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68,
    69, 70, 71, 72, 73, 74, 75, 76, 80, 78, 82, 84, 86, 77, 81, 79, 83, 85, 87, 88, 89, 90, 91,
};

constexpr const char* kDateFormat = "ddd, MMM d, yyyy";
constexpr const char* kTimeFormat = "hh:mm tt";

template <typename T>
T& Value(Rec& record, const Row& row) {
  return record.*std::get<T Rec::*>(row.field);
}

// The template: a band of buttons in frame 1401 at the bottom; the tree fills the rest.
constexpr win::DialogLayout kLayout{Dlg::kTemplateId, 320, 300};
constexpr win::ControlLayout kControls[] = {
    {Dlg::kFrameId, win::ControlKind::kGroupBox, 4, 270, 312, 26},
    {Dlg::kGenerateId, win::ControlKind::kPushButton, 12, 278, 90, 14},
    {Dlg::kExpandAllId, win::ControlKind::kPushButton, 115, 278, 90, 14},
    {Dlg::kCancelId, win::ControlKind::kPushButton, 218, 278, 90, 14},
};
constexpr auto kEnglish =
    win::LocalizeControls(kControls, {"", "Generate Narrative", "Expand All", "Cancel"});
constexpr win::DialogTemplate kDialogs[] = {
    win::LocalizeDialog(kLayout, "Holter Narrative Test Data", kEnglish)};

}  // namespace

TNarrativeTestDataDlg::TNarrativeTestDataDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  AddCommand(kGenerateId, [this] { OnGenerate(); });
  AddCommand(kExpandAllId, [] {});
  AddCommand(kCancelId, [this] { EndDialog(win::kIdCancel); });
}

const char* TNarrativeTestDataDlg::RowLabel(int r) { return kRows[r].label; }

COptionTreeItem* TNarrativeTestDataDlg::RowItem(int r) const {
  return r >= 0 && static_cast<size_t>(r) < rows_.size() ? rows_[static_cast<size_t>(r)] : nullptr;
}

std::string TNarrativeTestDataDlg::RowText(int r) const {
  COptionTreeItem* item = RowItem(r);
  if (item == nullptr) return {};
  if (auto* edit = dynamic_cast<COptionTreeEditItem*>(item)) return edit->GetEdit().GetWindowText();
  if (auto* check = dynamic_cast<COptionTreeCheckItem*>(item))
    return check->GetCheck() != 0 ? check->GetCheckedText() : check->GetUncheckedText();
  if (auto* radio = dynamic_cast<COptionTreeRadioItem*>(item)) {
    const int index = radio->GetCheckedIndex();
    return index < 0 ? std::string() : std::string(kRows[r].choices[static_cast<size_t>(index)]);
  }
  if (auto* date = dynamic_cast<COptionTreeDateItem*>(item)) return date->Text();
  return {};
}

bool TNarrativeTestDataDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  gfx::Rect rect = GetClientRect();
  if (win::Window* frame = GetDlgItem(kFrameId)) rect.bottom -= frame->GetWindowRect().Height() + 20;
  if (tree_.Create(win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, rect, this,
                   kTreeOptions, -1)) {
    tree_.SetNotifyWindow(1, this);
    InsertRows();
    tree_.ExpandAll();
  }
  return true;
}

void TNarrativeTestDataDlg::InsertRows() {
  rows_.assign(kRowCount, nullptr);
  categories_.assign(kCategoryCount, nullptr);
  for (const int r : kTreeOrder) {
    const Row& row = kRows[r];
    auto& category = categories_[static_cast<size_t>(row.category)];
    if (category == nullptr) {
      const CategoryText& text = kCategories[row.category];
      category = new COptionTreeItem;
      category->SetLabelText(text.label);
      category->SetInfoText(text.info);
      tree_.InsertItem(category, text.parent < 0 ? nullptr : categories_[static_cast<size_t>(text.parent)]);
    }
    COptionTreeItem* item = nullptr;
    switch (row.kind) {
      case Kind::kCheck:
        item = new COptionTreeCheckItem;
        break;
      case Kind::kRadio:
      case Kind::kChannelRadio:
      case Kind::kUnitRadio:
        item = new COptionTreeRadioItem;
        break;
      case Kind::kDate:
      case Kind::kTime:
        item = new COptionTreeDateItem;
        break;
      default:
        item = new COptionTreeEditItem;
        break;
    }
    item->SetLabelText(row.label);
    item->SetInfoText(row.info);
    tree_.InsertItem(item, category);
    rows_[static_cast<size_t>(r)] = item;
    ShowRow(r);
  }
  auto* end = new COptionTreeStaticItem;
  end->SetLabelText("Ende");
  end->SetInfoText("Ende Der Optionen");
  end->SetStaticText("Ende");
  tree_.InsertItem(end);
  end_item_ = end;
}

void TNarrativeTestDataDlg::ShowRow(int r) {
  const Row& row = kRows[r];
  COptionTreeItem* item = rows_[static_cast<size_t>(r)];
  switch (row.kind) {
    case Kind::kCheck: {
      auto* check = dynamic_cast<COptionTreeCheckItem*>(item);
      if (!check->CreateCheckWindow(Value<int>(record, row) != 0 ? 1 : 0,
                                    dialogs::CheckOptionDrawBox | dialogs::CheckOptionDrawText))
        return;
      check->SetStateTexts("Checked", "UnChecked");
      return;
    }
    case Kind::kRadio:
    case Kind::kChannelRadio:
    case Kind::kUnitRadio: {
      auto* radio = dynamic_cast<COptionTreeRadioItem*>(item);
      if (!radio->CreateRadioWindow()) return;
      for (size_t i = 0; i < row.choices.size(); ++i) {
        bool checked = false;
        if (row.kind == Kind::kUnitRadio) {
          checked = Value<std::string>(record, row) == row.choices[i];
        } else {
          const int value = Value<int>(record, row);
          checked = value == static_cast<int>(i) + (row.kind == Kind::kChannelRadio ? 1 : 0);
        }
        radio->AddRadio(row.choices[i], checked ? 1 : 0);
      }
      return;
    }
    case Kind::kDate:
    case Kind::kTime: {
      auto* date = dynamic_cast<COptionTreeDateItem*>(item);
      if (!date->CreateDateWindow(row.kind == Kind::kDate ? kDateFormat : kTimeFormat)) return;
      date->SetTime(document::ToLocalDateTime(Value<platform::OleDateTime>(record, row)));
      return;
    }
    case Kind::kInteger:
    case Kind::kIntegerText:
    case Kind::kDecimal:
    case Kind::kText:
    case Kind::kLines: {
      auto* edit = dynamic_cast<COptionTreeEditItem*>(item);
      uint32_t options = 0;
      uint32_t style = 0;
      if (row.kind == Kind::kInteger || row.kind == Kind::kIntegerText) options = dialogs::kEditOptionInteger;
      if (row.kind == Kind::kDecimal) options = dialogs::kEditOptionDecimal;
      if (row.kind == Kind::kLines) {
        options = dialogs::kEditOptionMultiline;
        style = win::kEsWantReturn;
      }
      if (!edit->CreateEditWindow(options, style)) return;
      if (row.kind == Kind::kInteger) edit->SetIntValue(Value<int>(record, row));
      if (row.kind == Kind::kIntegerText)
        edit->SetIntValue(std::atoi(Value<std::string>(record, row).c_str()));
      if (row.kind == Kind::kDecimal) edit->SetDoubleValue(Value<double>(record, row));
      if (row.kind == Kind::kText || row.kind == Kind::kLines)
        edit->GetEdit().SetWindowText(Value<std::string>(record, row));
      return;
    }
  }
}

void TNarrativeTestDataDlg::ReadRow(int r) {
  const Row& row = kRows[r];
  COptionTreeItem* item = rows_[static_cast<size_t>(r)];
  switch (row.kind) {
    case Kind::kCheck:
      Value<int>(record, row) = dynamic_cast<COptionTreeCheckItem*>(item)->GetCheck();
      return;
    case Kind::kRadio:
      Value<int>(record, row) = dynamic_cast<COptionTreeRadioItem*>(item)->GetCheckedIndex();
      return;
    case Kind::kChannelRadio:
      Value<int>(record, row) = dynamic_cast<COptionTreeRadioItem*>(item)->GetCheckedIndex() + 1;
      return;
    case Kind::kUnitRadio: {
      const int index = dynamic_cast<COptionTreeRadioItem*>(item)->GetCheckedIndex();
      Value<std::string>(record, row) = index == 0 ? row.choices[0] : row.choices[1];
      return;
    }
    case Kind::kDate:
    case Kind::kTime: {
      const std::optional<platform::LocalDateTime>& time =
          dynamic_cast<COptionTreeDateItem*>(item)->GetTime();
      // A picker without a valid time gives the framework's invalid date-time.
      Value<platform::OleDateTime>(record, row) =
          time ? document::ToOleDateTime(*time) : platform::OleDateTime{1, 0.0};
      return;
    }
    case Kind::kInteger: {
      int value = 0;
      const bool valid = dynamic_cast<COptionTreeEditItem*>(item)->GetIntValue(value);
      Value<int>(record, row) = valid ? value : static_cast<int>(row.fallback);
      return;
    }
    case Kind::kDecimal: {
      double value = 0;
      const bool valid = dynamic_cast<COptionTreeEditItem*>(item)->GetDoubleValue(value);
      Value<double>(record, row) = valid ? value : row.fallback;
      return;
    }
    case Kind::kIntegerText:
    case Kind::kText:
    case Kind::kLines:
      Value<std::string>(record, row) = dynamic_cast<COptionTreeEditItem*>(item)->GetEdit().GetWindowText();
      return;
  }
}

void TNarrativeTestDataDlg::OnGenerate() {
  // An edit still open holds the newest text.
  if (COptionTreeItem* focused = tree_.GetFocusedItem()) focused->CommitChanges();
  for (int r = 0; r < kRowCount; ++r) ReadRow(r);
  EndDialog(1);
}

// Enter would otherwise end the dialog with 1 without reading the rows, and the letter would be
// made from the values before the edits.
void TNarrativeTestDataDlg::OnOK() { OnGenerate(); }

void TNarrativeTestDataDlg::OnSize(int type, int cx, int cy) {
  win::Dialog::OnSize(type, cx, cy);
  if (cx <= 0 || cy <= 0 || !tree_.IsWindow()) return;
  // The band of the buttons stays free, or the tree would cover them.
  int band = 0;
  if (win::Window* frame = GetDlgItem(kFrameId)) band = frame->GetWindowRect().Height() + 20;
  tree_.MoveWindow({0, 0, cx, cy - band});
}

void AddNarrativeTestDataResources(platform::ResourcePack& pack) {
  if (!win::IsExePack(pack)) return;
  win::Templates().Add(pack, kDialogs);
}
