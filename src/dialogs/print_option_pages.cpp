#include "dialogs/print_option_pages.h"

#include <cmath>
#include <cstdio>
#include <span>
#include <string>

#include "common/time_formatter.h"
#include "document/document_context.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/locale.h"
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

using Templates = TPrintCfgTemplates;
using Samples = TPrintSamplesDlg;
using Full = TPrintFullDlg;
using User = TPrintUserDlg;

constexpr int kMinutesPerHalfHour = 30;
constexpr int kMinutesPerDay = 1440;

// The choices of the lists, in the order of the indices the printed parts look up.
constexpr const char* kSampleAmplitudes[] = {"5 mm/mV", "10 mm/mV"};
constexpr const char* kSampleSpeeds[] = {"12.5 mm/s", "25 mm/s"};
constexpr const char* kFullAmplitudes[] = {"1 mm/mV", "1.5 mm/mV", "3 mm/mV"};

constexpr std::array<SettingKey, Samples::kEventCount> kEventKeys = {
    SettingKey::kSamplesBradycardia, SettingKey::kSamplesTachycardia,   SettingKey::kSamplesPause,
    SettingKey::kSamplesArrhythmia,  SettingKey::kSamplesSVES,          SettingKey::kSamplesSVCouplet,
    SettingKey::kSamplesSVTriplet,   SettingKey::kSamplesSVTachycardia, SettingKey::kSamplesSVBigeminy,
    SettingKey::kSamplesSVTrigeminy, SettingKey::kSamplesVES,           SettingKey::kSamplesVCouplet,
    SettingKey::kSamplesVTriplet,    SettingKey::kSamplesVTachycardia,  SettingKey::kSamplesVBigeminy,
    SettingKey::kSamplesVTrigeminy,  SettingKey::kSamplesRonT,
};

constexpr std::array<SettingKey, User::kFlagCount> kUserKeys = {
    SettingKey::kPrintLetter,
    SettingKey::kPrintReport,
    SettingKey::kPrintSummary,
    SettingKey::kPrintSamples,
    SettingKey::kPrintFull,
    SettingKey::kPrintMinMaxHR_RR,
    SettingKey::kPrintMinMaxSinusHR_RR,
    SettingKey::kPrintHREvents,
    SettingKey::kPrintEventChart,
    SettingKey::kPrintUserSections,
    SettingKey::kPrintSTEpisodes,
    SettingKey::kPrintSTTrends,
    SettingKey::kPrintMarker,
    SettingKey::kPrintTemplates,
    SettingKey::kPrintPMTemplates,
    SettingKey::kPrintHRV,
    SettingKey::kPrintNoGrid,
};

// --- Templates ---

constexpr DialogLayout kTemplatesLayout{Templates::kTemplateId, 220, 90, true};
constexpr ControlLayout kTemplatesControls[] = {
    {-1, ControlKind::kGroupBox, 7, 7, 206, 76},
    {Templates::kNormalId, ControlKind::kCheckBox, 16, 22, 180, 10},
    {Templates::kVESId, ControlKind::kCheckBox, 16, 36, 180, 10},
    {Templates::kSVESId, ControlKind::kCheckBox, 16, 50, 180, 10},
    {Templates::kArtefactId, ControlKind::kCheckBox, 16, 64, 180, 10},
};
constexpr auto kTemplatesEnglish = LocalizeControls(
    kTemplatesControls, {"Print the templates of", "&Normal beats", "&VES", "&SVES", "&Artefacts"});
constexpr auto kTemplatesGerman = LocalizeControls(
    kTemplatesControls, {"Templates drucken von", "&Normalschlägen", "&VES", "&SVES", "&Artefakten"});

// --- Samples ---

constexpr DialogLayout kSamplesLayout{Samples::kTemplateId, 260, 196, true};
constexpr ControlLayout kSamplesControls[] = {
    {-1, ControlKind::kGroupBox, 7, 7, 246, 124},
    {Samples::kEventIds[0], ControlKind::kCheckBox, 16, 20, 110, 10},
    {Samples::kEventIds[1], ControlKind::kCheckBox, 16, 32, 110, 10},
    {Samples::kEventIds[2], ControlKind::kCheckBox, 16, 44, 110, 10},
    {Samples::kEventIds[3], ControlKind::kCheckBox, 16, 56, 110, 10},
    {Samples::kEventIds[4], ControlKind::kCheckBox, 16, 68, 110, 10},
    {Samples::kEventIds[5], ControlKind::kCheckBox, 16, 80, 110, 10},
    {Samples::kEventIds[6], ControlKind::kCheckBox, 16, 92, 110, 10},
    {Samples::kEventIds[7], ControlKind::kCheckBox, 16, 104, 110, 10},
    {Samples::kEventIds[8], ControlKind::kCheckBox, 16, 116, 110, 10},
    {Samples::kEventIds[9], ControlKind::kCheckBox, 134, 20, 110, 10},
    {Samples::kEventIds[10], ControlKind::kCheckBox, 134, 32, 110, 10},
    {Samples::kEventIds[11], ControlKind::kCheckBox, 134, 44, 110, 10},
    {Samples::kEventIds[12], ControlKind::kCheckBox, 134, 56, 110, 10},
    {Samples::kEventIds[13], ControlKind::kCheckBox, 134, 68, 110, 10},
    {Samples::kEventIds[14], ControlKind::kCheckBox, 134, 80, 110, 10},
    {Samples::kEventIds[15], ControlKind::kCheckBox, 134, 92, 110, 10},
    {Samples::kEventIds[16], ControlKind::kCheckBox, 134, 104, 110, 10},
    {-1, ControlKind::kStatic, 16, 142, 60, 8},
    {Samples::kAmplitudeId, ControlKind::kComboDropList, 80, 140, 70, 60},
    {Samples::kAutoAmplitudeId, ControlKind::kCheckBox, 160, 141, 90, 10},
    {-1, ControlKind::kStatic, 16, 162, 60, 8},
    {Samples::kSpeedId, ControlKind::kComboDropList, 80, 160, 70, 60},
};
constexpr auto kSamplesEnglish = LocalizeControls(kSamplesControls, {"Print ECG samples of",
                                                                     "&Bradycardia",
                                                                     "&Tachycardia",
                                                                     "&Pause",
                                                                     "Absolute &arrhythmia",
                                                                     "SVES",
                                                                     "SV couplet",
                                                                     "SV triplet",
                                                                     "SV tachycardia",
                                                                     "SV bigeminy",
                                                                     "SV trigeminy",
                                                                     "VES",
                                                                     "V couplet",
                                                                     "V triplet",
                                                                     "V tachycardia",
                                                                     "V bigeminy",
                                                                     "V trigeminy",
                                                                     "&R on T",
                                                                     "A&mplitude:",
                                                                     "",
                                                                     "A&utomatic",
                                                                     "&Speed:",
                                                                     ""});
constexpr auto kSamplesGerman = LocalizeControls(kSamplesControls, {"EKG-Beispiele drucken von",
                                                                    "&Bradykardie",
                                                                    "&Tachykardie",
                                                                    "&Pause",
                                                                    "&Absolute Arrhythmie",
                                                                    "SVES",
                                                                    "SV-Couplet",
                                                                    "SV-Triplet",
                                                                    "SV-Tachykardie",
                                                                    "SV-Bigeminus",
                                                                    "SV-Trigeminus",
                                                                    "VES",
                                                                    "V-Couplet",
                                                                    "V-Triplet",
                                                                    "V-Tachykardie",
                                                                    "V-Bigeminus",
                                                                    "V-Trigeminus",
                                                                    "&R auf T",
                                                                    "A&mplitude:",
                                                                    "",
                                                                    "A&utomatisch",
                                                                    "&Geschwindigkeit:",
                                                                    ""});

// --- Full disclosure ---

// The radio buttons, the two lists with their labels, the frame and its hint; then the half hours.
constexpr size_t kFixedFullControls = 8;
constexpr int kHalfHourColumns = 6;
constexpr int kHalfHourX = 16;
constexpr int kHalfHourY = 84;
constexpr int kHalfHourDx = 45;
constexpr int kHalfHourDy = 12;

constexpr std::array<ControlLayout, kFixedFullControls + Full::kHalfHours> MakeFullControls() {
  std::array<ControlLayout, kFixedFullControls + Full::kHalfHours> c{};
  c[0] = {Full::kAllId, ControlKind::kRadioButton, 12, 8, 200, 10, 0, win::kCtlGroup};
  c[1] = {Full::kChosenId, ControlKind::kRadioButton, 12, 22, 200, 10};
  c[2] = {Full::kAmplitudeLabelId, ControlKind::kStatic, 12, 42, 50, 8, 0, win::kCtlGroup};
  c[3] = {Full::kAmplitudeId, ControlKind::kComboDropList, 64, 40, 70, 60};
  c[4] = {Full::kChannelsLabelId, ControlKind::kStatic, 146, 42, 50, 8};
  c[5] = {Full::kChannelsId, ControlKind::kComboDropList, 198, 40, 80, 60};
  c[6] = {-1, ControlKind::kGroupBox, 7, 60, 276, 126};
  c[7] = {-1, ControlKind::kStatic, 16, 72, 200, 8};
  for (int i = 0; i < Full::kHalfHours; ++i) {
    c[kFixedFullControls + static_cast<size_t>(i)] = {Full::kFirstHalfHourId + i,
                                                      ControlKind::kCheckBox,
                                                      kHalfHourX + (i % kHalfHourColumns) * kHalfHourDx,
                                                      kHalfHourY + (i / kHalfHourColumns) * kHalfHourDy,
                                                      kHalfHourDx - 2,
                                                      10};
  }
  return c;
}
constexpr auto kFullControls = MakeFullControls();

constexpr std::array<win::ControlTemplate, kFullControls.size()> LocalizeFull(
    const char* all, const char* chosen, const char* amplitude, const char* channels, const char* group,
    const char* hint) {
  std::array<win::ControlTemplate, kFullControls.size()> t{};
  const char* texts[kFixedFullControls] = {all, chosen, amplitude, "", channels, "", group, hint};
  for (size_t i = 0; i < kFullControls.size(); ++i) {
    const ControlLayout& c = kFullControls[i];
    t[i] = win::ControlTemplate{c.id,    c.kind, i < kFixedFullControls ? texts[i] : "", c.x, c.y, c.cx, c.cy,
                                c.style, c.flags};
  }
  return t;
}
constexpr DialogLayout kFullLayout{Full::kTemplateId, 290, 194, true};
constexpr auto kFullEnglish =
    LocalizeFull("Print the &whole day", "Print the &chosen half hours",
                 "A&mplitude:", "C&hannels:", "Half hours", "Half hours beginning at:");
constexpr auto kFullGerman = LocalizeFull("Den &ganzen Tag drucken", "Die &gewählten halben Stunden drucken",
                                          "A&mplitude:", "&Kanäle:", "Halbe Stunden", "Halbe Stunden ab:");

// --- Report contents ---

constexpr DialogLayout kUserLayout{User::kTemplateId, 260, 170, true};
constexpr ControlLayout kUserControls[] = {
    {-1, ControlKind::kGroupBox, 7, 7, 246, 124},
    {User::kFlagIds[0], ControlKind::kCheckBox, 16, 20, 110, 10},
    {User::kFlagIds[1], ControlKind::kCheckBox, 16, 32, 110, 10},
    {User::kFlagIds[2], ControlKind::kCheckBox, 16, 44, 110, 10},
    {User::kFlagIds[3], ControlKind::kCheckBox, 16, 56, 110, 10},
    {User::kFlagIds[4], ControlKind::kCheckBox, 16, 68, 110, 10},
    {User::kFlagIds[5], ControlKind::kCheckBox, 16, 80, 110, 10},
    {User::kFlagIds[6], ControlKind::kCheckBox, 16, 92, 110, 10},
    {User::kFlagIds[7], ControlKind::kCheckBox, 16, 104, 110, 10},
    {User::kFlagIds[8], ControlKind::kCheckBox, 134, 20, 110, 10},
    {User::kFlagIds[9], ControlKind::kCheckBox, 134, 32, 110, 10},
    {User::kFlagIds[10], ControlKind::kCheckBox, 134, 44, 110, 10},
    {User::kFlagIds[11], ControlKind::kCheckBox, 134, 56, 110, 10},
    {User::kFlagIds[12], ControlKind::kCheckBox, 134, 68, 110, 10},
    {User::kFlagIds[13], ControlKind::kCheckBox, 134, 80, 110, 10},
    {User::kFlagIds[14], ControlKind::kCheckBox, 134, 92, 110, 10},
    {User::kFlagIds[15], ControlKind::kCheckBox, 134, 104, 110, 10},
    {User::kFlagIds[16], ControlKind::kCheckBox, 16, 140, 150, 10},
    {User::kAllId, ControlKind::kPushButton, 150, 152, 48, 14},
    {User::kNoneId, ControlKind::kPushButton, 204, 152, 48, 14},
};
constexpr auto kUserEnglish = LocalizeControls(kUserControls, {"The whole report contains",
                                                               "Narrative &letter",
                                                               "&Report",
                                                               "&Summary",
                                                               "ECG &samples",
                                                               "&Full disclosure",
                                                               "Min./max. HR and RR",
                                                               "Min./max. sinus HR and RR",
                                                               "&HR and events",
                                                               "&Event chart",
                                                               "&User sections",
                                                               "ST e&pisodes",
                                                               "ST &trends",
                                                               "&Markers",
                                                               "Te&mplates",
                                                               "Pacemaker templates",
                                                               "HR&V",
                                                               "ECG strips without &grid",
                                                               "&All",
                                                               "&None"});
constexpr auto kUserGerman = LocalizeControls(kUserControls, {"Der ganze Bericht enthält",
                                                              "Arzt&brief",
                                                              "&Bericht",
                                                              "&Zusammenfassung",
                                                              "EKG-&Beispiele",
                                                              "&Voll-EKG",
                                                              "Min./max. HF und RR",
                                                              "Min./max. Sinus-HF und RR",
                                                              "&HF und Ereignisse",
                                                              "&Ereignisübersicht",
                                                              "Ben&utzerabschnitte",
                                                              "ST-E&pisoden",
                                                              "ST-&Trends",
                                                              "&Marker",
                                                              "Te&mplates",
                                                              "Schrittmacher-Templates",
                                                              "HR&V",
                                                              "EKG-Streifen ohne &Raster",
                                                              "&Alle",
                                                              "&Keine"});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kTemplatesLayout, "Templates", kTemplatesEnglish),
    LocalizeDialog(kSamplesLayout, "ECG samples", kSamplesEnglish),
    LocalizeDialog(kFullLayout, "Full disclosure", kFullEnglish),
    LocalizeDialog(kUserLayout, "Report contents", kUserEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kTemplatesLayout, "Templates", kTemplatesGerman),
    LocalizeDialog(kSamplesLayout, "EKG-Beispiele", kSamplesGerman),
    LocalizeDialog(kFullLayout, "Voll-EKG", kFullGerman),
    LocalizeDialog(kUserLayout, "Berichtsinhalt", kUserGerman),
};

template <size_t N>
void FillCombo(win::Dialog& page, int id, const char* const (&entries)[N]) {
  auto* combo = page.Item<win::ComboBox>(id);
  if (combo == nullptr) return;
  combo->ResetContent();
  for (const char* entry : entries) combo->AddString(entry);
}

const platform::Locale& ProcessLocale() {
  static const platform::SystemLocale locale;
  return locale;
}

// 1-based channel number of display position i.
int DisplayChannelNumber(size_t i) { return document::Context().g_DisplayChannels.channels[i] + 1; }

}  // namespace

// --- TPrintCfgTemplates ---

TPrintCfgTemplates::TPrintCfgTemplates() : win::PropertyPage(kTemplateId) {}

TPrintCfgTemplates::TPrintCfgTemplates(const CZK470Doc& document) : TPrintCfgTemplates() {
  const SettingsStore& settings = document.GetSettings();
  artefact = settings.Int(SettingKey::kPrintTemplatesArtefact);
  normal = settings.Int(SettingKey::kPrintTemplatesNormal);
  sves = settings.Int(SettingKey::kPrintTemplatesSVES);
  ves = settings.Int(SettingKey::kPrintTemplatesVES);
}

void TPrintCfgTemplates::StoreSettings(SettingsStore& settings) const {
  settings.SetInt(SettingKey::kPrintTemplatesArtefact, artefact);
  settings.SetInt(SettingKey::kPrintTemplatesNormal, normal);
  settings.SetInt(SettingKey::kPrintTemplatesSVES, sves);
  settings.SetInt(SettingKey::kPrintTemplatesVES, ves);
}

void TPrintCfgTemplates::DoDataExchange(win::DataExchange& dx) {
  win::DdxCheck(dx, kArtefactId, artefact);
  win::DdxCheck(dx, kNormalId, normal);
  win::DdxCheck(dx, kSVESId, sves);
  win::DdxCheck(dx, kVESId, ves);
}

// --- TPrintSamplesDlg ---

TPrintSamplesDlg::TPrintSamplesDlg(const std::array<int, kEventCount>& event_flags, int amplitude_index,
                                   int speed_index, int automatic)
    : win::PropertyPage(kTemplateId),
      events(event_flags),
      amplitude(amplitude_index),
      speed(speed_index),
      auto_amplitude(automatic) {
  AddCommand(kAutoAmplitudeId, [this] { OnAutoAmplitude(); });
}

TPrintSamplesDlg::TPrintSamplesDlg(const CZK470Doc& document)
    : TPrintSamplesDlg({}, document.GetSettings().Int(SettingKey::kSamplesAmplitude),
                       document.GetSettings().Int(SettingKey::kSamplesSpeed),
                       document.GetSettings().Int(SettingKey::kSamplesAutoAmplitude)) {
  for (size_t i = 0; i < kEventCount; ++i) events[i] = document.GetSettings().Int(kEventKeys[i]);
}

void TPrintSamplesDlg::StoreSettings(SettingsStore& settings) const {
  for (size_t i = 0; i < kEventCount; ++i) settings.SetInt(kEventKeys[i], events[i]);
  settings.SetInt(SettingKey::kSamplesAmplitude, amplitude);
  settings.SetInt(SettingKey::kSamplesSpeed, speed);
  settings.SetInt(SettingKey::kSamplesAutoAmplitude, auto_amplitude);
}

bool TPrintSamplesDlg::OnInitDialog() {
  // The lists must exist before the base loads the indices into them.
  FillCombo(*this, kAmplitudeId, kSampleAmplitudes);
  FillCombo(*this, kSpeedId, kSampleSpeeds);
  return win::PropertyPage::OnInitDialog();
}

void TPrintSamplesDlg::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < kEventCount; ++i) win::DdxCheck(dx, kEventIds[i], events[i]);
  win::DdxCBIndex(dx, kAmplitudeId, amplitude);
  win::DdxCBIndex(dx, kSpeedId, speed);
  win::DdxCheck(dx, kAutoAmplitudeId, auto_amplitude);
}

bool TPrintSamplesDlg::OnSetActive() {
  const bool shown = win::PropertyPage::OnSetActive();
  if (win::Window* combo = GetDlgItem(kAmplitudeId)) combo->EnableWindow(auto_amplitude == 0);
  return shown;
}

void TPrintSamplesDlg::OnAutoAmplitude() {
  auto_amplitude = auto_amplitude == 0 ? 1 : 0;
  if (win::Window* combo = GetDlgItem(kAmplitudeId)) combo->EnableWindow(auto_amplitude == 0);
}

// --- TPrintFullDlg ---

TPrintFullDlg::TPrintFullDlg(CZK470Doc& document, int day, const platform::Locale* locale)
    : win::PropertyPage(kTemplateId), document_(document), day_(day), locale_(locale) {
  const SettingsStore& settings = document.GetSettings();
  const TRecordingData& record = document.GetRecordingData();
  const auto d = static_cast<size_t>(RecordDay());
  mode = record.fd_day_switches[d];
  amplitude = settings.Int(SettingKey::kFullDisclosureAmplitude);
  channels = settings.Int(SettingKey::kFullDisclosureChannels);
  for (size_t i = 0; i < kHalfHours; ++i) half_hours[i] = record.fd_half_hours[d][i];
  AddCommand(kAllId, [this] { DisableHalfHours(); });
  AddCommand(kChosenId, [this] {
    const auto* combo = Item<win::ComboBox>(kChannelsId);
    EnableHalfHours(true, combo != nullptr ? combo->GetCurSel() : channels);
  });
  AddNotification(kChannelsId, win::kCbnSelChange, [this] {
    const auto* combo = Item<win::ComboBox>(kChannelsId);
    EnableHalfHours(true, combo != nullptr ? combo->GetCurSel() : channels);
  });
}

void TPrintFullDlg::StoreValues(CZK470Doc& document) const {
  TRecordingData& record = document.GetRecordingData();
  const auto d = static_cast<size_t>(RecordDay());
  bool changed = record.fd_day_switches[d] != mode;
  record.fd_day_switches[d] = mode;
  for (size_t i = 0; i < kHalfHours; ++i) {
    changed = changed || record.fd_half_hours[d][i] != half_hours[i];
    record.fd_half_hours[d][i] = half_hours[i];
  }
  // The choice lives in the recording record: without this, closing the recording drops it.
  if (changed) document.SetModifiedFlag(true);
  if (IsFirstDay()) {
    SettingsStore& settings = document.GetSettings();
    settings.SetInt(SettingKey::kFullDisclosureAmplitude, amplitude);
    settings.SetInt(SettingKey::kFullDisclosureChannels, channels);
  }
}

bool TPrintFullDlg::OnInitDialog() {
  if (day_ >= 0) {
    if (auto* all = Item<win::Button>(kAllId))
      all->SetWindowText(all->GetWindowText() + " " + document_.GetDayLabel(day_ + 1));
    if (day_ > 0) {
      // Amplitude and channels are chosen on the first day's page only.
      for (const int id : {kChannelsId, kAmplitudeId, kAmplitudeLabelId, kChannelsLabelId}) {
        if (win::Window* control = GetDlgItem(id)) {
          control->EnableWindow(false);
          control->SendMessage(win::kBmSetCheck, win::kBstUnchecked);
          control->ShowWindow(win::kSwHide);
        }
      }
    }
  }
  FillCombo(*this, kAmplitudeId, kFullAmplitudes);
  if (auto* combo = Item<win::ComboBox>(kChannelsId)) {
    combo->ResetContent();
    char text[40];
    std::snprintf(text, sizeof text, "Channel %d", DisplayChannelNumber(0));
    combo->AddString(text);
    std::snprintf(text, sizeof text, "Channel %d", DisplayChannelNumber(1));
    combo->AddString(text);
    std::snprintf(text, sizeof text, "Channel %d+%d", DisplayChannelNumber(0), DisplayChannelNumber(1));
    combo->AddString(text);
  }

  // The clock time of each half hour. A 12-hour locale gets a 12-hour hour before its designator.
  const platform::Locale& locale = locale_ != nullptr ? *locale_ : ProcessLocale();
  const bool am_pm = TTimeFormatter(locale).UsesAmPm();
  const TRecordingData& record = document_.GetRecordingData();
  const double fraction = record.start_time.days - std::floor(record.start_time.days);
  const int start_minute = static_cast<int>(std::llround(fraction * 86400.0)) % 86400 / 60;
  for (int i = 0; i < kHalfHours; ++i) {
    auto* box = Item<win::Button>(kFirstHalfHourId + i);
    if (box == nullptr) continue;
    const int minute_of_day = (start_minute + kMinutesPerHalfHour * i) % kMinutesPerDay;
    const int hour = minute_of_day / 60;
    char text[40];
    if (am_pm) {
      const std::string designator = hour < 12 ? locale.AmDesignator() : locale.PmDesignator();
      std::snprintf(text, sizeof text, "%02d:%02d %s", (hour + 11) % 12 + 1, minute_of_day % 60,
                    designator.c_str());
    } else {
      std::snprintf(text, sizeof text, "%02d:%02d", hour, minute_of_day % 60);
    }
    box->SetWindowText(text);
  }

  if (mode == 1) {
    EnableHalfHours(true, channels);
  } else {
    DisableHalfHours();
  }
  return win::PropertyPage::OnInitDialog();
}

void TPrintFullDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kAllId, mode);
  win::DdxCBIndex(dx, kAmplitudeId, amplitude);
  win::DdxCBIndex(dx, kChannelsId, channels);
  for (size_t i = 0; i < kHalfHours; ++i)
    win::DdxCheck(dx, kFirstHalfHourId + static_cast<int>(i), half_hours[i]);
}

void TPrintFullDlg::EnableHalfHours(bool chosen, int channel_choice) {
  if (!chosen) {
    DisableHalfHours();
    return;
  }
  const int minutes = document_.GetRecordingMinutes() - kMinutesPerDay * RecordDay();
  for (int i = 0; i < kHalfHours; ++i) {
    win::Window* box = GetDlgItem(kFirstHalfHourId + i);
    if (box == nullptr) continue;
    // One channel prints a whole hour per page: only the full hours can be chosen.
    const bool single_channel = channel_choice != kBothChannels && i % 2 == 1;
    box->EnableWindow(minutes - kMinutesPerHalfHour * i > 0 && !single_channel);
  }
}

void TPrintFullDlg::DisableHalfHours() {
  for (int i = 0; i < kHalfHours; ++i) {
    if (win::Window* box = GetDlgItem(kFirstHalfHourId + i)) box->EnableWindow(false);
  }
}

// --- TPrintUserDlg ---

TPrintUserDlg::TPrintUserDlg(const std::array<int, kFlagCount>& values)
    : win::PropertyPage(kTemplateId), flags(values) {
  AddCommand(kAllId, [this] { CheckReportParts(true); });
  AddCommand(kNoneId, [this] { CheckReportParts(false); });
}

TPrintUserDlg::TPrintUserDlg(const CZK470Doc& document) : TPrintUserDlg(std::array<int, kFlagCount>{}) {
  for (size_t i = 0; i < kFlagCount; ++i) flags[i] = document.GetSettings().Int(kUserKeys[i]);
}

void TPrintUserDlg::StoreSettings(SettingsStore& settings) const {
  for (size_t i = 0; i < kFlagCount; ++i) settings.SetInt(kUserKeys[i], flags[i]);
}

void TPrintUserDlg::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < kFlagCount; ++i) win::DdxCheck(dx, kFlagIds[i], flags[i]);
}

void TPrintUserDlg::CheckReportParts(bool check) {
  for (size_t i = 0; i + 1 < kFlagCount; ++i) {
    if (auto* box = Item<win::Button>(kFlagIds[i]))
      box->SetCheck(check ? win::kBstChecked : win::kBstUnchecked);
  }
}

// --- TPrintOptionPages ---

TPrintOptionPages::TPrintOptionPages(CZK470Doc& document, const platform::Locale* locale)
    : document_(document), templates_(document), samples_(document), user_(document) {
  const int minutes = document.GetRecordingMinutes();
  if (minutes <= kMinutesPerDay) {
    days_.push_back(std::make_unique<TPrintFullDlg>(document, -1, locale));
    return;
  }
  const int day_count = minutes > 2 * kMinutesPerDay ? 3 : 2;
  std::string title = platform::LoadString(kFullDisclosureTitleId);
  if (!title.empty()) title.pop_back();
  for (int day = 0; day < day_count; ++day) {
    auto page = std::make_unique<TPrintFullDlg>(document, day, locale);
    page->SetCaption(title + document.GetDayLabel(day + 1));
    days_.push_back(std::move(page));
  }
}

std::vector<win::PropertyPage*> TPrintOptionPages::FullDisclosurePages() {
  std::vector<win::PropertyPage*> pages;
  for (const auto& page : days_) pages.push_back(page.get());
  return pages;
}

void TPrintOptionPages::StoreValues() {
  SettingsStore& settings = document_.GetSettings();
  templates_.StoreSettings(settings);
  samples_.StoreSettings(settings);
  for (const auto& page : days_) page->StoreValues(document_);
  user_.StoreSettings(settings);
}

void InstallPrintOptionPages() {
  InstallPrintOptionPagesFactory([](CZK470Doc& document) -> std::unique_ptr<PrintOptionPages> {
    return std::make_unique<TPrintOptionPages>(document);
  });
}

void AddPrintOptionPageResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
