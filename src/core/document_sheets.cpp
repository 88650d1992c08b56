#include "core/document_sheets.h"

#include <tuple>

#include "dialogs/analysis_pages.h"
#include "dialogs/display_pages.h"
#include "dialogs/st_dlgs.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "recorder/real_speed_dlg.h"
#include "win/property_sheet.h"

namespace document_sheets {

namespace {

bool RunSheet(win::PropertySheet& sheet) {
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  return sheet.DoModal() == win::kIdOk;
}

void RunChannelsSheet(CZK470Doc& doc, win::Window* parent) {
  const auto& switches = doc.GetViewFields().channel_page_switches;
  TChannelsDlg page(switches[0], switches[1]);
  win::PropertySheet sheet(kChannelsCaption, parent);
  sheet.AddPage(page);
  if (!RunSheet(sheet)) return;
  doc.ApplyChannelsPage(page.first, page.second);
}

void RunDisplaySpeedSheet(CZK470Doc& doc, win::Window* parent) {
  CZK470Doc::DisplaySpeedValues values = doc.GetDisplaySpeedValues();
  TSampleSpeedDlg sample(values.sample_speed, values.sample_amplitude);
  TECGSpeddDlg ecg(values.ecg_speed, values.ecg_amplitude);
  TZoomSpeedDlg zoom(values.zoom_speed, values.zoom_amplitude);
  TRealSpeedDlg real_time(values.realtime_amplitude);
  win::PropertySheet sheet(kDisplaySpeedCaption, parent, doc.GetDisplaySpeedFirstPage());
  sheet.AddPage(sample);
  sheet.AddPage(ecg);
  sheet.AddPage(zoom);
  sheet.AddPage(real_time);
  if (!RunSheet(sheet)) return;
  values.sample_speed = sample.speed;
  values.sample_amplitude = sample.amplitude;
  std::tie(values.ecg_speed, values.ecg_amplitude) = ecg.GetSelection();
  values.zoom_speed = zoom.speed;
  values.zoom_amplitude = zoom.amplitude;
  values.realtime_amplitude = real_time.amplitude;
  doc.ApplyDisplaySpeedValues(values);
}

void RunAnalysisSheet(CZK470Doc& doc, win::Window* parent, const std::string& library_version) {
  CZK470Doc::AnalysisOptionValues values = doc.GetAnalysisOptionValues();
  TAnalyzeOptDlg limits(values.tachycardia, values.sves_prematurity, values.pause, values.bradycardia,
                        values.arrhythmia_prematurity, values.sv_analysis_on, values.abs_arrhythmia_on,
                        values.arrhythmia_duration);
  TSTOptionsDlg st(doc);
  TTemplateOptions templates(doc);
  TAnalyzeModeOpt mode(&doc);
  mode.builtin_version = kBuiltInEngineVersion;
  mode.library_version = library_version;
  mode.mode = values.analysis_mode;
  win::PropertySheet sheet(kAnalysisCaption, parent);
  sheet.AddPage(limits);
  sheet.AddPage(st);
  sheet.AddPage(templates);
  sheet.AddPage(mode);
  if (!RunSheet(sheet)) return;
  values.tachycardia = limits.tachycardia;
  values.sves_prematurity = limits.sves_prematurity;
  values.pause = limits.pause;
  values.bradycardia = limits.bradycardia;
  values.arrhythmia_prematurity = limits.arrhythmia_prematurity;
  values.sv_analysis_on = limits.sves_on;
  values.abs_arrhythmia_on = limits.abs_arrhythmia_on;
  values.arrhythmia_duration = limits.arrhythmia_duration;
  values.st_trend_on = st.switches;
  values.st_limit = st.limits;
  values.st_point = st.st_point;
  values.ves_templates = templates.ves_templates;
  // A mode page never shown keeps the stored mode, unless the library is missing.
  values.analysis_mode = library_version.find('.') == std::string::npos ? 0 : mode.mode;
  doc.ApplyAnalysisOptionValues(values);
}

void RunHeartRateSheet(CZK470Doc& doc, win::Window* parent) {
  const SettingsStore& settings = doc.GetSettings();
  TTrendHRDlg page(settings.Int(SettingKey::kHeartrateTrendAverage),
                   settings.Int(SettingKey::kHeartrateTrendMiddleAverage));
  win::PropertySheet sheet(kHeartRateCaption, parent);
  sheet.AddPage(page);
  if (!RunSheet(sheet)) return;
  doc.ApplyHeartRatePage(page.trend_average, page.trend_middle_average);
}

}  // namespace

bool IsDocumentSheetCommand(int id) {
  return id == kChannelsSheet || id == kDisplaySpeedSheet || id == kAnalysisSheet || id == kHeartRateSheet;
}

bool RunDocumentSheet(CZK470Doc& doc, int id, win::Window* parent, const std::string& library_version) {
  switch (id) {
    case kChannelsSheet:
      RunChannelsSheet(doc, parent);
      return true;
    case kDisplaySpeedSheet:
      RunDisplaySpeedSheet(doc, parent);
      return true;
    case kAnalysisSheet:
      RunAnalysisSheet(doc, parent, library_version);
      return true;
    case kHeartRateSheet:
      RunHeartRateSheet(doc, parent);
      return true;
    default:
      return false;
  }
}

}  // namespace document_sheets
