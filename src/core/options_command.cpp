#include "core/options_command.h"

#include <filesystem>
#include <system_error>

#include "core/zk470_view.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/small_value_dlgs.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/view_area.h"
#include "win/window.h"

void RunOptionsCommand(CZK470View& view) {
  CZK470Doc& doc = *view.GetDocument();
  SettingsStore& settings = doc.GetSettings();
  const int old_language = settings.Int(SettingKey::kLanguage);

  TOptionsSheet sheet(TOptionsSheet::kCaptionId, nullptr, 0, doc);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  if (sheet.DoModal() != win::kIdOk) return;

  const TUnitsPage& units = sheet.Units();
  settings.SetInt(SettingKey::kUnits, units.units);
  settings.SetInt(SettingKey::kLanguage, units.language);
  settings.SetInt(SettingKey::kCableSet, units.cable_set);

  // The sheet made these folders before it took OK. The 24-hour folder is not applied.
  const TDirectoriesPage& folders = sheet.Directories();
  doc.SetDataDirectory(folders.data_directory);
  doc.SetExportDirectory(folders.export_directory);
  doc.SetSDCardDirectory(folders.sd_card_directory);

  settings.SetInt(SettingKey::kAutoDeleteOn, sheet.AutoDelete().switch_on);
  settings.SetInt(SettingKey::kAutoDeleteFiles, sheet.AutoDelete().choice);
  settings.SetText(SettingKey::kUserOfficeAddress, sheet.OfficeAddress().address);
  settings.SetInt(SettingKey::kTapeCalDataLen, sheet.TapeSettings().cal_data_len);
  settings.SetInt(SettingKey::kTapeSpeed, sheet.TapeSettings().speed);

  doc.SaveSettings();
  doc.RunAutoDelete();
  if (!doc.GetDataDirectory().empty()) {
    std::error_code ec;
    std::filesystem::current_path(doc.GetDataDirectory(), ec);
  }

  // Every area takes its texts again in the new language.
  if (settings.Int(SettingKey::kLanguage) != old_language) {
    if (CViewConfigSelector* selector = view.GetSelector()) selector->Rebuild();
  }

  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}
