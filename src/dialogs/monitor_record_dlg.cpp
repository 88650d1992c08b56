#include "dialogs/monitor_record_dlg.h"

#include <span>

#include "common/monitor_log.h"
#include "document/record_format.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

using Dlg = TMonitorRecordDlg;

constexpr int kLabelX = 8;
constexpr int kFieldX = 72;
constexpr int kSecondLabelX = 132;
constexpr int kSecondFieldX = 196;
constexpr int kRowY = 8;
constexpr int kRowDy = 14;

constexpr ControlLayout Label(int column, int row) {
  return {-1, ControlKind::kStatic, column == 0 ? kLabelX : kSecondLabelX, kRowY + 2 + row * kRowDy, 62, 8};
}
constexpr ControlLayout Field(int id, int column, int row) {
  return {id, ControlKind::kEdit, column == 0 ? kFieldX : kSecondFieldX, kRowY + row * kRowDy, 52,
          12, win::kEsReadOnly};
}

constexpr DialogLayout kLayout{Dlg::kTemplateId, 256, 178};
constexpr ControlLayout kControls[] = {
    Label(0, 0),
    Field(1100, 0, 0),
    Label(0, 1),
    Field(1101, 0, 1),
    Label(0, 2),
    Field(1102, 0, 2),
    Label(0, 3),
    Field(1103, 0, 3),
    Label(0, 4),
    Field(1120, 0, 4),
    Label(0, 5),
    Field(1121, 0, 5),
    Label(0, 6),
    Field(1122, 0, 6),
    Label(0, 7),
    Field(1123, 0, 7),
    Label(0, 8),
    Field(1104, 0, 8),
    Label(0, 9),
    Field(1105, 0, 9),
    Label(1, 0),
    Field(1106, 1, 0),
    Label(1, 1),
    Field(1107, 1, 1),
    Label(1, 2),
    Field(1108, 1, 2),
    Label(1, 3),
    Field(1109, 1, 3),
    Label(1, 4),
    Field(1110, 1, 4),
    Label(1, 5),
    Field(1119, 1, 5),
    Label(1, 6),
    Field(1202, 1, 6),
    Label(1, 7),
    Field(1203, 1, 7),
    Label(1, 8),
    Field(1204, 1, 8),
    Label(1, 9),
    Field(1205, 1, 9),
    {win::kIdOk, ControlKind::kDefPushButton, 196, 156, 52, 14},
};
constexpr auto kEnglish = LocalizeControls(
    kControls,
    {"Value 1:",  "", "Value 2:",  "", "Value 3:",  "", "Value 4:",  "", "Value 5:",  "", "Value 6:",  "",
     "Value 7:",  "", "Value 8:",  "", "Level A:",  "", "Level B:",  "", "Factor:",   "", "Value 9:",  "",
     "Value 10:", "", "Value 11:", "", "Value 12:", "", "Value 13:", "", "Value 14:", "", "Value 15:", "",
     "Value 16:", "", "Value 17:", "", "OK"});
constexpr auto kGerman = LocalizeControls(
    kControls,
    {"Wert 1:",  "", "Wert 2:",  "", "Wert 3:",  "", "Wert 4:",  "", "Wert 5:",  "", "Wert 6:",  "",
     "Wert 7:",  "", "Wert 8:",  "", "Pegel A:", "", "Pegel B:", "", "Faktor:",  "", "Wert 9:",  "",
     "Wert 10:", "", "Wert 11:", "", "Wert 12:", "", "Wert 13:", "", "Wert 14:", "", "Wert 15:", "",
     "Wert 16:", "", "Wert 17:", "", "OK"});

constexpr win::DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kLayout, "Monitor record", kEnglish)};
constexpr win::DialogTemplate kGermanDialogs[] = {LocalizeDialog(kLayout, "Monitor-Datensatz", kGerman)};

}  // namespace

TMonitorRecordDlg::TMonitorRecordDlg(win::Window* parent, TMonitorLog* log, int32_t record_number)
    : win::Dialog(kTemplateId, parent), log_(log), record_number_(record_number) {}

std::string TMonitorRecordDlg::FormatDecimal(double value) {
  std::string text = document::FormatFixedNumber(value, 5);
  // Dropping the sign would show a negative value as its opposite.
  if (value < 0 && text.find_first_of("123456789") != std::string::npos) text.insert(0, "-");
  return text;
}

bool TMonitorRecordDlg::OnInitDialog() {
  const TMonitorRecord record = log_ != nullptr ? log_->ReadRecord(record_number_) : TMonitorRecord{};
  size_t t = 0;
  for (size_t i = 0; i < 8; ++i) texts[t++] = std::to_string(record.first[i]);
  texts[t++] = std::to_string(record.value_a * 5);
  texts[t++] = std::to_string(record.value_b * 5);
  texts[t++] = FormatDecimal(record.value_c);
  for (size_t i = 0; i < 8; ++i) texts[t++] = std::to_string(record.second[i]);
  texts[t++] = std::to_string(record.last);
  return win::Dialog::OnInitDialog();
}

void TMonitorRecordDlg::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < kFieldCount; ++i) win::DdxText(dx, kFieldIds[i], texts[i]);
}

void AddMonitorRecordDlgResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
