#pragma once

#include <string>

#include "win/property_sheet.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The rhythm-detector limits of the analysis settings sheet. The five limits and the duration are
// list indices as stored; the two switches 0 or 1.
class TAnalyzeOptDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 145;
  static constexpr int kBradycardiaId = 1009;
  static constexpr int kTachycardiaId = 1010;
  static constexpr int kPauseId = 1011;
  static constexpr int kSVESPrematurityId = 1013;
  static constexpr int kArrhythmiaPrematurityId = 1014;
  static constexpr int kDefaultsId = 1015;
  static constexpr int kSVESSwitchId = 1064;
  static constexpr int kAbsArrhythmiaSwitchId = 1178;
  static constexpr int kArrhythmiaDurationId = 1237;

  TAnalyzeOptDlg();
  TAnalyzeOptDlg(int tachycardia, int sves_prematurity, int pause, int bradycardia,
                 int arrhythmia_prematurity, int sves_on, int abs_arrhythmia_on, int arrhythmia_duration);

  int bradycardia = -1;
  int pause = -1;
  int sves_prematurity = -1;
  int tachycardia = -1;
  int arrhythmia_prematurity = -1;
  int sves_on = 1;
  int abs_arrhythmia_on = 1;
  int arrhythmia_duration = -1;

  bool OnSetActive() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void EnableBySwitches();
  void OnDefaults();
};

// The choice of the beat analysis engine: 0 the built-in one, 1 the external library. Without a
// loadable library (its version text has no point) only the built-in engine can be chosen.
class TAnalyzeModeOpt : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 319;
  static constexpr int kBuiltInModeId = 1602;
  static constexpr int kLibraryModeId = 1603;
  static constexpr int kLibraryVersionId = 1604;
  static constexpr int kBuiltInVersionId = 1605;

  explicit TAnalyzeModeOpt(CZK470Doc* document = nullptr)
      : win::PropertyPage(kTemplateId), document_(document) {}
  CZK470Doc* GetDocument() const { return document_; }

  std::string builtin_version;
  std::string library_version;
  int mode = 0;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  bool LibraryMissing() const { return library_version.find('.') == std::string::npos; }
  CZK470Doc* document_ = nullptr;
};

// The number of VES template classes kept after an analysis (0 to 300).
class TTemplateOptions : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 267;
  static constexpr int kCountId = 1213;
  static constexpr int kMaxCount = 300;

  TTemplateOptions();
  explicit TTemplateOptions(CZK470Doc& document);
  CZK470Doc* GetDocument() const { return document_; }

  int ves_templates = 0;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  CZK470Doc* document_ = nullptr;
};

// Templates and texts of the three pages, German to the German pack, English to every other one.
void AddAnalysisPageResources(platform::ResourcePack& pack);
