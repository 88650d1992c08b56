#include "dialogs/display_pages.h"

#include <cstdio>
#include <span>
#include <string>

#include "platform/resources.h"
#include "win/controls.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

using Page = TSpeedAmplitudePage;
using Ecg = TECGSpeddDlg;
using Trend = TTrendHRDlg;
using Channels = TChannelsDlg;

// Sample and zoom pages share their controls; only the scales differ.
constexpr ControlLayout kSpeedControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 100, 64},
    {Page::kSpeedId, ControlKind::kRadioButton, 14, 18, 80, 10, 0, win::kCtlGroup},
    {Page::kSpeedId + 1, ControlKind::kRadioButton, 14, 32, 80, 10},
    {Page::kSpeedId + 2, ControlKind::kRadioButton, 14, 46, 80, 10},
    {-1, ControlKind::kGroupBox, 115, 4, 100, 64},
    {Page::kAmplitudeId, ControlKind::kRadioButton, 122, 18, 80, 10, 0, win::kCtlGroup},
    {Page::kAmplitudeId + 1, ControlKind::kRadioButton, 122, 32, 80, 10},
    {Page::kAmplitudeId + 2, ControlKind::kRadioButton, 122, 46, 80, 10},
};
constexpr DialogLayout kSampleLayout{TSampleSpeedDlg::kTemplateId, 222, 76, true};
constexpr DialogLayout kZoomLayout{TZoomSpeedDlg::kTemplateId, 222, 76, true};
constexpr auto kSampleEnglish = LocalizeControls(
    kSpeedControls,
    {"Speed", "12.5 mm/s", "25 mm/s", "50 mm/s", "Amplitude", "2.5 mm/mV", "5 mm/mV", "10 mm/mV"});
constexpr auto kSampleGerman = LocalizeControls(
    kSpeedControls,
    {"Geschwindigkeit", "12,5 mm/s", "25 mm/s", "50 mm/s", "Amplitude", "2,5 mm/mV", "5 mm/mV", "10 mm/mV"});
constexpr auto kZoomEnglish = LocalizeControls(
    kSpeedControls,
    {"Speed", "12.5 mm/s", "25 mm/s", "50 mm/s", "Amplitude", "5 mm/mV", "10 mm/mV", "20 mm/mV"});
constexpr auto kZoomGerman = LocalizeControls(
    kSpeedControls,
    {"Geschwindigkeit", "12,5 mm/s", "25 mm/s", "50 mm/s", "Amplitude", "5 mm/mV", "10 mm/mV", "20 mm/mV"});

constexpr DialogLayout kEcgLayout{Ecg::kTemplateId, 222, 90, true};
constexpr ControlLayout kEcgControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 100, 78},
    {Ecg::kSpeedId, ControlKind::kRadioButton, 14, 18, 80, 10, 0, win::kCtlGroup},
    {Ecg::kSpeedId + 1, ControlKind::kRadioButton, 14, 32, 80, 10},
    {Ecg::kSpeedId + 2, ControlKind::kRadioButton, 14, 46, 80, 10},
    {Ecg::kSpeedId + 3, ControlKind::kRadioButton, 14, 60, 80, 10},
    {Ecg::kSlowLabelId, ControlKind::kStatic, 115, 8, 100, 8},
    {Ecg::kSlowAmplitudeId, ControlKind::kRadioButton, 122, 20, 80, 10, 0, win::kCtlGroup},
    {Ecg::kSlowAmplitudeId + 1, ControlKind::kRadioButton, 122, 32, 80, 10},
    {Ecg::kFastLabelId, ControlKind::kStatic, 115, 48, 100, 8},
    {Ecg::kFastAmplitudeId, ControlKind::kRadioButton, 122, 60, 80, 10, 0, win::kCtlGroup},
    {Ecg::kFastAmplitudeId + 1, ControlKind::kRadioButton, 122, 72, 80, 10},
};
constexpr auto kEcgEnglish =
    LocalizeControls(kEcgControls, {"Speed", "3 mm/s", "4 mm/s", "6.25 mm/s", "12.5 mm/s", "Amplitude (slow)",
                                    "1.25 mm/mV", "2.5 mm/mV", "Amplitude (fast)", "2.5 mm/mV", "5 mm/mV"});
constexpr auto kEcgGerman = LocalizeControls(
    kEcgControls, {"Geschwindigkeit", "3 mm/s", "4 mm/s", "6,25 mm/s", "12,5 mm/s", "Amplitude (langsam)",
                   "1,25 mm/mV", "2,5 mm/mV", "Amplitude (schnell)", "2,5 mm/mV", "5 mm/mV"});

constexpr DialogLayout kTrendLayout{Trend::kTemplateId, 222, 76, true};
constexpr ControlLayout kTrendControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 100, 64},
    {Trend::kAverageId, ControlKind::kRadioButton, 14, 18, 80, 10, 0, win::kCtlGroup},
    {Trend::kAverageId + 1, ControlKind::kRadioButton, 14, 32, 80, 10},
    {Trend::kAverageId + 2, ControlKind::kRadioButton, 14, 46, 80, 10},
    {-1, ControlKind::kStatic, 115, 8, 100, 8},
    {Trend::kMiddleAverageId, ControlKind::kComboDropList, 115, 20, 80, 80, 0, win::kCtlGroup},
};
constexpr auto kTrendEnglish = LocalizeControls(
    kTrendControls, {"Heart rate over", "4 beats", "8 beats", "16 beats", "Mean heart rate over", ""});
constexpr auto kTrendGerman = LocalizeControls(kTrendControls, {"Herzfrequenz über", "4 Schläge", "8 Schläge",
                                                                "16 Schläge", "Mittlere Frequenz über", ""});

constexpr DialogLayout kChannelsLayout{Channels::kTemplateId, 222, 50, true};
constexpr ControlLayout kChannelsControls[] = {
    {Channels::kFirstId, ControlKind::kCheckBox, 14, 12, 150, 10, 0, win::kCtlGroup},
    {Channels::kSecondId, ControlKind::kCheckBox, 14, 28, 150, 10},
};
constexpr auto kChannelsEnglish = LocalizeControls(kChannelsControls, {"Channel &1", "Channel &2"});
constexpr auto kChannelsGerman = LocalizeControls(kChannelsControls, {"Kanal &1", "Kanal &2"});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kSampleLayout, "Examples", kSampleEnglish),
    LocalizeDialog(kEcgLayout, "ECG", kEcgEnglish),
    LocalizeDialog(kZoomLayout, "Zoom", kZoomEnglish),
    LocalizeDialog(kTrendLayout, "Heart rate", kTrendEnglish),
    LocalizeDialog(kChannelsLayout, "Channels", kChannelsEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kSampleLayout, "Beispiele", kSampleGerman),
    LocalizeDialog(kEcgLayout, "EKG", kEcgGerman),
    LocalizeDialog(kZoomLayout, "Zoom", kZoomGerman),
    LocalizeDialog(kTrendLayout, "Herzfrequenz", kTrendGerman),
    LocalizeDialog(kChannelsLayout, "Kanäle", kChannelsGerman),
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {32773, "Channels"},
    {32776, "Heart rate"},
    {32777, "Display speed"},
    {23110, "%d beats"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {32773, "Kanäle"},
    {32776, "Herzfrequenz"},
    {32777, "Darstellung"},
    {23110, "%d Schläge"},
};
constexpr int kBeatsFormat = 23110;

// The middle averages: entries 3.. of the document's averaging table, in beats.
constexpr int kMiddleAverages[] = {60, 120, 300, 600};

void Enable(win::Dialog& page, int id, bool on) {
  if (win::Window* control = page.GetDlgItem(id)) control->EnableWindow(on);
}

}  // namespace

void TSpeedAmplitudePage::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kAmplitudeId, amplitude);
  win::DdxRadio(dx, kSpeedId, speed);
}

TECGSpeddDlg::TECGSpeddDlg() : win::PropertyPage(kTemplateId) {
  for (int i = 0; i < 4; ++i) AddCommand(kSpeedId + i, [this, i] { EnableGroups(i > 1); });
}

void TECGSpeddDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kSlowAmplitudeId, slow_amplitude);
  win::DdxRadio(dx, kFastAmplitudeId, fast_amplitude);
  win::DdxRadio(dx, kSpeedId, speed);
}

bool TECGSpeddDlg::OnSetActive() {
  const bool shown = win::PropertyPage::OnSetActive();
  EnableGroups(speed > 1);
  return shown;
}

void TECGSpeddDlg::EnableGroups(bool fast) {
  for (const int id : {kSlowAmplitudeId, kSlowAmplitudeId + 1, kSlowLabelId}) Enable(*this, id, !fast);
  for (const int id : {kFastAmplitudeId, kFastAmplitudeId + 1, kFastLabelId}) Enable(*this, id, fast);
}

bool TTrendHRDlg::OnInitDialog() {
  if (auto* combo = Item<win::ComboBox>(kMiddleAverageId)) {
    const std::string format = platform::Resources().LoadString(kBeatsFormat);
    for (const int n : kMiddleAverages) {
      char text[64];
      std::snprintf(text, sizeof text, format.c_str(), n);
      combo->AddString(text);
    }
  }
  return win::PropertyPage::OnInitDialog();
}

void TTrendHRDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kAverageId, trend_average);
  win::DdxCBIndex(dx, kMiddleAverageId, trend_middle_average);
}

void TChannelsDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxCheck(dx, kFirstId, first);
  win::DdxCheck(dx, kSecondId, second);
}

void AddDisplayPageResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}
