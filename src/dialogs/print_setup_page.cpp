#include "dialogs/print_setup_page.h"

#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/window.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;

// Wide enough for the sheet's seven tabs in German.
constexpr DialogLayout kPrintSetup{TPrintSetupPage::kTemplateId, 360, 100, true};
constexpr ControlLayout kPrintSetupControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 120, 8},
    {TPrintSetupPage::kLeftMarginId, ControlKind::kEdit, 135, 10, 40, 12},
    {-1, ControlKind::kStatic, 10, 30, 120, 8},
    {TPrintSetupPage::kTopMarginId, ControlKind::kEdit, 135, 28, 40, 12},
    {-1, ControlKind::kStatic, 10, 50, 120, 8},
    {-1, ControlKind::kStatic, 10, 62, 30, 8},
    {TPrintSetupPage::kSliderPlaceId, ControlKind::kStatic, 40, 59, 140, 14, 0, win::kCtlHidden},
    {-1, ControlKind::kStatic, 185, 62, 35, 8},
    {TPrintSetupPage::kShowPrintDlgId, ControlKind::kCheckBox, 10, 80, 210, 10},
};
constexpr auto kPrintSetupEnglish =
    LocalizeControls(kPrintSetupControls, {"Left margin (inches):", "", "Top margin (inches):", "",
                                           "Size of the print fonts:", "Small", "", "Large",
                                           "Show the print dialog before printing"});
constexpr auto kPrintSetupGerman =
    LocalizeControls(kPrintSetupControls, {"Linker Rand (Zoll):", "", "Oberer Rand (Zoll):", "",
                                           "Größe der Druckschriften:", "Klein", "", "Groß",
                                           "Druckdialog vor dem Drucken anzeigen"});

constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kPrintSetup, "Print", kPrintSetupEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kPrintSetup, "Druck", kPrintSetupGerman)};

}  // namespace

TPrintSetupPage::TPrintSetupPage() : win::PropertyPage(kTemplateId) {}

TPrintSetupPage::TPrintSetupPage(CZK470Doc& doc) : TPrintSetupPage() {
  const SettingsStore& settings = doc.GetSettings();
  left_margin = settings.Text(SettingKey::kSetupMarginsLeft);
  top_margin = settings.Text(SettingKey::kSetupMarginsTop);
  show_print_dlg = settings.Int(SettingKey::kSetupShowPrintDlg);
  doc_ = &doc;
}

bool TPrintSetupPage::OnInitDialog() {
  gfx::Rect place{};
  if (const win::Window* placeholder = GetDlgItem(kSliderPlaceId))
    place = placeholder->GetWindowRectInParent();
  if (slider_.CreateControl(this, place, kSliderId, "", win::kWsChild | win::kWsVisible | win::kWsTabStop)) {
    slider_.SetRange(kMinFontSize, kMaxFontSize);
    if (doc_ != nullptr) slider_.SetPos(doc_->GetSettings().Int(SettingKey::kSetupFontSize));
  }
  Invalidate();
  initialised = 1;
  return win::PropertyPage::OnInitDialog();
}

void TPrintSetupPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kLeftMarginId, left_margin);
  win::DdxText(dx, kTopMarginId, top_margin);
  win::DdxCheck(dx, kShowPrintDlgId, show_print_dlg);
}

void TPrintSetupPage::OnOK() {
  font_size = slider_.GetPos();
  win::PropertyPage::OnOK();
}

void AddPrintSetupPageResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
  }
}
