#include "dialogs/analysis_pages.h"

#include <span>
#include <string>

#include "document/settings_store.h"
#include "document/zk470_doc.h"
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

using Opt = TAnalyzeOptDlg;
using Mode = TAnalyzeModeOpt;
using Templates = TTemplateOptions;

// Strings of the duration choices: 10, 20, 30 seconds, then 1, 2, 3, 5, 10 minutes.
constexpr int kDurationStrings = 23100;
constexpr int kDurationChoices = 8;

constexpr DialogLayout kOptLayout{Opt::kTemplateId, 230, 150, true};
constexpr ControlLayout kOptControls[] = {
    {-1, ControlKind::kStatic, 8, 10, 140, 8},
    {Opt::kBradycardiaId, ControlKind::kComboDropList, 152, 8, 60, 100, 0, win::kCtlGroup},
    {-1, ControlKind::kStatic, 8, 26, 140, 8},
    {Opt::kTachycardiaId, ControlKind::kComboDropList, 152, 24, 60, 100},
    {-1, ControlKind::kStatic, 8, 42, 140, 8},
    {Opt::kPauseId, ControlKind::kComboDropList, 152, 40, 60, 100},
    {Opt::kSVESSwitchId, ControlKind::kCheckBox, 8, 58, 140, 10},
    {Opt::kSVESPrematurityId, ControlKind::kComboDropList, 152, 56, 60, 100},
    {Opt::kAbsArrhythmiaSwitchId, ControlKind::kCheckBox, 8, 74, 140, 10},
    {Opt::kArrhythmiaPrematurityId, ControlKind::kComboDropList, 152, 72, 60, 100},
    {-1, ControlKind::kStatic, 8, 90, 140, 8},
    {Opt::kArrhythmiaDurationId, ControlKind::kComboDropList, 152, 88, 60, 100},
    {Opt::kDefaultsId, ControlKind::kPushButton, 8, 120, 70, 14},
};
constexpr auto kOptEnglish = LocalizeControls(
    kOptControls, {"&Bradycardia below (bpm)", "", "&Tachycardia above (bpm)", "", "&Pause longer than (s)",
                   "", "&SVES, prematurity (%)", "", "&Abs. arrhythmia, prematurity (%)", "",
                   "Arrhythmia &duration", "", "&Defaults"});
constexpr auto kOptGerman = LocalizeControls(
    kOptControls, {"&Bradykardie unter (1/min)", "", "&Tachykardie über (1/min)", "", "&Pause länger als (s)",
                   "", "&SVES, Vorzeitigkeit (%)", "", "&Abs. Arrhythmie, Vorzeitigkeit (%)", "",
                   "Arrhythmie-&Dauer", "", "&Standardwerte"});

constexpr DialogLayout kModeLayout{Mode::kTemplateId, 230, 90, true};
constexpr ControlLayout kModeControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 216, 60},
    {Mode::kBuiltInModeId, ControlKind::kRadioButton, 14, 18, 120, 10, 0, win::kCtlGroup},
    {Mode::kBuiltInVersionId, ControlKind::kStatic, 150, 19, 66, 8},
    {Mode::kLibraryModeId, ControlKind::kRadioButton, 14, 38, 120, 10},
    {Mode::kLibraryVersionId, ControlKind::kStatic, 150, 39, 66, 8},
};
constexpr auto kModeEnglish =
    LocalizeControls(kModeControls, {"Analysis", "&Built-in analysis", "", "&External analysis library", ""});
constexpr auto kModeGerman =
    LocalizeControls(kModeControls, {"Analyse", "&Eingebaute Analyse", "", "E&xterne Analysebibliothek", ""});

constexpr DialogLayout kTemplatesLayout{Templates::kTemplateId, 230, 60, true};
constexpr ControlLayout kTemplatesControls[] = {
    {-1, ControlKind::kStatic, 8, 12, 140, 8},
    {Templates::kCountId, ControlKind::kEdit, 160, 10, 40, 12, win::kEsNumber, win::kCtlGroup},
};
constexpr auto kTemplatesEnglish = LocalizeControls(kTemplatesControls, {"&VES template classes kept", ""});
constexpr auto kTemplatesGerman = LocalizeControls(kTemplatesControls, {"&Behaltene VES-Klassen", ""});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kOptLayout, "Analysis", kOptEnglish),
    LocalizeDialog(kModeLayout, "Analysis mode", kModeEnglish),
    LocalizeDialog(kTemplatesLayout, "Templates", kTemplatesEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kOptLayout, "Analyse", kOptGerman),
    LocalizeDialog(kModeLayout, "Analysemodus", kModeGerman),
    LocalizeDialog(kTemplatesLayout, "Klassen", kTemplatesGerman),
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {32774, "Analysis settings"},
    {23100, "10 s"},
    {23101, "20 s"},
    {23102, "30 s"},
    {23103, "1 min"},
    {23104, "2 min"},
    {23105, "3 min"},
    {23106, "5 min"},
    {23107, "10 min"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {32774, "Analyseeinstellungen"},
    {23100, "10 s"},
    {23101, "20 s"},
    {23102, "30 s"},
    {23103, "1 min"},
    {23104, "2 min"},
    {23105, "3 min"},
    {23106, "5 min"},
    {23107, "10 min"},
};

void FillCombo(win::Dialog& page, int id, int count, const auto& text_of) {
  if (auto* combo = page.Item<win::ComboBox>(id)) {
    combo->ResetContent();
    for (int i = 0; i < count; ++i) combo->AddString(text_of(i));
  }
}

std::string PauseText(int index) {
  // 1.0 + 0.5 i seconds: one decimal of halves.
  const int tenths = 10 + 5 * index;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

void Enable(win::Dialog& page, int id, bool on) {
  if (win::Window* control = page.GetDlgItem(id)) control->EnableWindow(on);
}

}  // namespace

// --- TAnalyzeOptDlg ---

TAnalyzeOptDlg::TAnalyzeOptDlg() : win::PropertyPage(kTemplateId) {
  AddCommand(kSVESSwitchId, [this] {
    sves_on = sves_on == 1 ? 0 : 1;
    EnableBySwitches();
  });
  AddCommand(kAbsArrhythmiaSwitchId, [this] {
    abs_arrhythmia_on = abs_arrhythmia_on == 1 ? 0 : 1;
    EnableBySwitches();
  });
  AddCommand(kDefaultsId, [this] { OnDefaults(); });
}

TAnalyzeOptDlg::TAnalyzeOptDlg(int tachycardia_, int sves_prematurity_, int pause_, int bradycardia_,
                               int arrhythmia_prematurity_, int sves_on_, int abs_arrhythmia_on_,
                               int arrhythmia_duration_)
    : TAnalyzeOptDlg() {
  tachycardia = tachycardia_;
  sves_prematurity = sves_prematurity_;
  pause = pause_;
  bradycardia = bradycardia_;
  arrhythmia_prematurity = arrhythmia_prematurity_;
  sves_on = sves_on_;
  abs_arrhythmia_on = abs_arrhythmia_on_;
  arrhythmia_duration = arrhythmia_duration_;
}

bool TAnalyzeOptDlg::OnInitDialog() {
  // The choices must exist before the base loads the indices into them.
  FillCombo(*this, kBradycardiaId, 9, [](int i) { return std::to_string((i + 6) * 5); });
  FillCombo(*this, kPauseId, 7, PauseText);
  FillCombo(*this, kSVESPrematurityId, 8, [](int i) { return std::to_string((i + 3) * 5); });
  FillCombo(*this, kTachycardiaId, 15, [](int i) { return std::to_string((i + 8) * 10); });
  FillCombo(*this, kArrhythmiaPrematurityId, 8, [](int i) { return std::to_string((i + 3) * 5); });
  FillCombo(*this, kArrhythmiaDurationId, kDurationChoices,
            [](int i) { return platform::Resources().LoadString(kDurationStrings + i); });
  return win::PropertyPage::OnInitDialog();
}

void TAnalyzeOptDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxCBIndex(dx, kBradycardiaId, bradycardia);
  win::DdxCBIndex(dx, kPauseId, pause);
  win::DdxCBIndex(dx, kSVESPrematurityId, sves_prematurity);
  win::DdxCBIndex(dx, kTachycardiaId, tachycardia);
  win::DdxCBIndex(dx, kArrhythmiaPrematurityId, arrhythmia_prematurity);
  win::DdxCheck(dx, kSVESSwitchId, sves_on);
  win::DdxCheck(dx, kAbsArrhythmiaSwitchId, abs_arrhythmia_on);
  win::DdxCBIndex(dx, kArrhythmiaDurationId, arrhythmia_duration);
}

bool TAnalyzeOptDlg::OnSetActive() {
  const bool shown = win::PropertyPage::OnSetActive();
  EnableBySwitches();
  return shown;
}

void TAnalyzeOptDlg::EnableBySwitches() {
  Enable(*this, kSVESPrematurityId, sves_on == 1);
  Enable(*this, kArrhythmiaPrematurityId, abs_arrhythmia_on == 1);
  Enable(*this, kArrhythmiaDurationId, abs_arrhythmia_on == 1);
}

void TAnalyzeOptDlg::OnDefaults() {
  // The other fields keep what the user has chosen on the screen.
  UpdateData(true);
  bradycardia = 2;       // 40 per minute
  pause = 1;             // 1.5 s
  sves_prematurity = 1;  // 20 percent
  tachycardia = 2;       // 100 per minute
  UpdateData(false);
}

// --- TAnalyzeModeOpt ---

bool TAnalyzeModeOpt::OnInitDialog() {
  // Settled before the controls show the mode, so that OK cannot store a missing library.
  const bool missing = LibraryMissing();
  if (missing) mode = 0;
  const bool result = win::PropertyPage::OnInitDialog();
  if (missing) Enable(*this, kLibraryModeId, false);
  return result;
}

void TAnalyzeModeOpt::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kBuiltInVersionId, builtin_version);
  win::DdxText(dx, kLibraryVersionId, library_version);
  win::DdxRadio(dx, kBuiltInModeId, mode);
}

// --- TTemplateOptions ---

TTemplateOptions::TTemplateOptions() : win::PropertyPage(kTemplateId) {}

TTemplateOptions::TTemplateOptions(CZK470Doc& document) : TTemplateOptions() {
  document_ = &document;
  ves_templates = document.GetSettings().Int(SettingKey::kTemplatesVESTemplates);
}

bool TTemplateOptions::OnInitDialog() {
  if (auto* edit = Item<win::Edit>(kCountId)) edit->SetLimitText(3);
  return win::PropertyPage::OnInitDialog();
}

void TTemplateOptions::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kCountId, ves_templates);
  win::DdvMinMaxInt(dx, ves_templates, 0, kMaxCount);
}

void AddAnalysisPageResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}
