#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "reports/print_composer.h"
#include "win/property_sheet.h"

class CZK470Doc;
class SettingsStore;
namespace platform {
class Locale;
class ResourcePack;
}  // namespace platform

// Which beat-template families the template pages print ("Print\Templates").
class TPrintCfgTemplates : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 30731;
  static constexpr int kArtefactId = 1225;
  static constexpr int kNormalId = 1224;
  static constexpr int kSVESId = 1074;
  static constexpr int kVESId = 1075;

  TPrintCfgTemplates();
  explicit TPrintCfgTemplates(const CZK470Doc& document);
  void StoreSettings(SettingsStore& settings) const;

  int artefact = 0;
  int normal = 0;
  int sves = 0;
  int ves = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The event kinds that get ECG sample strips, and the strips' amplitude and speed
// ("Print\Samples"); the amplitude list is usable only while automatic amplitude is off.
class TPrintSamplesDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 168;
  static constexpr int kEventCount = 17;
  static constexpr std::array<int, kEventCount> kEventIds = {
      1064, 1141, 1142, 1176, 1143, 1144, 1145, 1146, 1147, 1148, 1149, 1150, 1151, 1152, 1153, 1154, 1177};
  static constexpr int kAmplitudeId = 1181;
  static constexpr int kSpeedId = 1182;
  static constexpr int kAutoAmplitudeId = 1183;

  TPrintSamplesDlg(const std::array<int, kEventCount>& events, int amplitude, int speed, int auto_amplitude);
  explicit TPrintSamplesDlg(const CZK470Doc& document);
  void StoreSettings(SettingsStore& settings) const;

  std::array<int, kEventCount> events{};
  int amplitude = 0;
  int speed = 0;
  int auto_amplitude = 0;

  bool OnSetActive() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnAutoAmplitude();
};

// The full disclosure of one recording day: every half hour or the chosen ones, and (on the first
// day's page only) amplitude and channels. Reads the recording's length, start and channels for
// its labels and enabling; the owner stores the values back.
class TPrintFullDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 169;
  static constexpr int kAllId = 1150;
  static constexpr int kChosenId = 1151;
  static constexpr int kAmplitudeId = 1181;
  static constexpr int kChannelsId = 1184;
  static constexpr int kAmplitudeLabelId = 1030;
  static constexpr int kChannelsLabelId = 1031;
  static constexpr int kFirstHalfHourId = 1064;
  static constexpr int kHalfHours = 48;
  static constexpr int kBothChannels = 2;

  // day: 0, 1 or 2 of a recording longer than a day, -1 for a one-day recording. locale: whether
  // the half-hour texts carry AM/PM (nullptr: the process's).
  TPrintFullDlg(CZK470Doc& document, int day, const platform::Locale* locale = nullptr);

  // Mode and half hours into the recording record, marking the document modified when they
  // changed; on the first day's page also amplitude and channels into the settings.
  void StoreValues(CZK470Doc& document) const;
  int Day() const { return day_; }
  bool IsFirstDay() const { return day_ <= 0; }

  int mode = 0;
  int amplitude = 0;
  int channels = 0;
  std::array<int, kHalfHours> half_hours{};

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void EnableHalfHours(bool chosen, int channel_choice);
  void DisableHalfHours();
  int RecordDay() const { return day_ < 0 ? 0 : day_; }

  CZK470Doc& document_;
  int day_;
  const platform::Locale* locale_;
};

// The report contents: which parts the whole report prints ("Print\User"), and no grid.
class TPrintUserDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 171;
  static constexpr int kFlagCount = 17;
  // The last one is the no-grid box, which the two buttons leave alone.
  static constexpr std::array<int, kFlagCount> kFlagIds = {
      1353, 1094, 1095, 1096, 1097, 1179, 1180, 1098, 1064, 1065, 1199, 1200, 1068, 1223, 1224, 1235, 1257};
  static constexpr int kAllId = 1629;
  static constexpr int kNoneId = 1630;

  explicit TPrintUserDlg(const std::array<int, kFlagCount>& flags);
  explicit TPrintUserDlg(const CZK470Doc& document);
  void StoreSettings(SettingsStore& settings) const;

  std::array<int, kFlagCount> flags{};

 protected:
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void CheckReportParts(bool check);
};

// The pages of the print options sheet for one run of it, built from the document.
class TPrintOptionPages : public PrintOptionPages {
 public:
  // The full-disclosure page's title text, whose last character (":") is dropped.
  static constexpr int kFullDisclosureTitleId = 21069;

  explicit TPrintOptionPages(CZK470Doc& document, const platform::Locale* locale = nullptr);

  win::PropertyPage& TemplatesPage() override { return templates_; }
  win::PropertyPage& SamplesPage() override { return samples_; }
  std::vector<win::PropertyPage*> FullDisclosurePages() override;
  win::PropertyPage& UserPage() override { return user_; }
  void StoreValues() override;

  TPrintCfgTemplates& Templates() { return templates_; }
  TPrintSamplesDlg& Samples() { return samples_; }
  TPrintFullDlg& FullDisclosure(size_t index) { return *days_.at(index); }
  TPrintUserDlg& User() { return user_; }

 private:
  CZK470Doc& document_;
  TPrintCfgTemplates templates_;
  TPrintSamplesDlg samples_;
  std::vector<std::unique_ptr<TPrintFullDlg>> days_;
  TPrintUserDlg user_;
};

// Lets the main view's print options command build its sheet from these pages; once at start-up.
void InstallPrintOptionPages();

// The templates of the pages; German to the German pack, English to every other one.
void AddPrintOptionPageResources(platform::ResourcePack& pack);
