#include "core/options_command.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/core_ids.h"
#include "core/core_resources.h"
#include "core/main_frame.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/small_value_dlgs.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/view_area.h"
#include "win/window.h"

namespace {

// A pack that cannot be loaded keeps the old menu and kind names; the saved value takes effect at
// the next start. The layout is rebuilt either way, so that every area takes its texts again.
void ApplyNewLanguage(CZK470View& view, CZK470Doc& doc) {
  CZK470App* app = App();
  if (app != nullptr && app->LoadLanguageDll()) {
    app->UseLanguageResources();
    CMainFrame* frame = app->GetMainFrame();
    if (std::optional<win::Menu> menu = LoadMenuResource(core_ids::kDocumentResource);
        menu && frame != nullptr) {
      frame->SetMenu(std::move(*menu));
      frame->GetMenuBar().Invalidate();
      view.RemoveMenuEntries();
    }
    doc.ReloadKindNames();
  }
  if (CViewConfigSelector* selector = view.GetSelector()) selector->Rebuild();
}

}  // namespace

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

  if (settings.Int(SettingKey::kLanguage) != old_language) ApplyNewLanguage(view, doc);

  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}
