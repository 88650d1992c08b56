#include "core/options_command.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/core_ids.h"
#include "core/core_resources.h"
#include "core/main_frame.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/gdt_page.h"
#include "dialogs/io_port_page.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/print_setup_page.h"
#include "dialogs/small_value_dlgs.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
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

// Both bars are made again from the program's own resources, each on a new window, so that the
// view can trim the main bar for the new GDT switch.
void RebuildToolBars(CZK470View& view, const CZK470Doc& doc) {
  CMainFrame* frame = App() != nullptr ? App()->GetMainFrame() : nullptr;
  if (frame == nullptr) return;
  {
    platform::ScopedExeResources own;
    if (CMainToolBar* bar = frame->GetMainToolBar()) {
      const gfx::Rect place = bar->GetWindowRectInParent();
      bar->DestroyWindow();
      if (bar->CreateBar(*frame, place) > 0) {
        bar->SetDropDownHandler([frame](int id, const gfx::Rect& r) { frame->OnToolbarDropDown(id, r); });
      }
    }
    if (CTimeSpanToolBar* bar = frame->GetTimeSpanToolBar()) {
      const gfx::Rect place = bar->GetWindowRectInParent();
      const int span = bar->Combo().GetCurSel();
      bar->DestroyWindow();
      // The new combo offers the spans of the open recording again, the chosen one selected.
      if (bar->CreateBar(*frame, place) > 0 && doc.GetRawECGData() != nullptr) {
        CTimeSpanToolBar::FillSpans(doc.GetRawECGData()->GetWholeMinutes());
        if (span >= 0 && span < bar->Combo().GetCount()) bar->Combo().SetCurSel(span);
      }
    }
  }
  view.HideToolBarButtons();
  frame->RecalcLayout();
}

}  // namespace

void StorePrintSetup(const TPrintSetupPage& page, SettingsStore& settings) {
  settings.SetText(SettingKey::kSetupMarginsLeft, page.left_margin);
  settings.SetText(SettingKey::kSetupMarginsTop, page.top_margin);
  // A page never shown has no slider; its position means nothing.
  if (page.initialised != 0) settings.SetInt(SettingKey::kSetupFontSize, page.font_size);
  settings.SetInt(SettingKey::kSetupShowPrintDlg, page.show_print_dlg);
}

bool PrintDialogWanted() {
  const CZK470App* app = App();
  const CZK470Doc* doc = app != nullptr ? app->GetDocument() : nullptr;
  return doc == nullptr || doc->GetSettings().Int(SettingKey::kSetupShowPrintDlg) != 0;
}

void RunOptionsCommand(CZK470View& view) {
  CZK470Doc& doc = *view.GetDocument();
  SettingsStore& settings = doc.GetSettings();
  const int old_language = settings.Int(SettingKey::kLanguage);
  const int old_gdt_on = settings.Int(SettingKey::kGDTOn);

  TOptionsSheet sheet(TOptionsSheet::kCaptionId, nullptr, 0, doc);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  if (sheet.DoModal() != win::kIdOk) return;

  StorePrintSetup(sheet.PrintSetup(), settings);

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
  StoreIOPortPage(sheet.IOPort(), doc);
  // The sheet made the exchange folder too.
  const TGDTPage& gdt = sheet.GDT();
  doc.SetGDTDirectory(gdt.folder);
  settings.SetInt(SettingKey::kGDTOn, gdt.switch_on);
  settings.SetText(SettingKey::kGDTZK470Shorty, gdt.own_short_name);
  settings.SetText(SettingKey::kGDTEDVShorty, gdt.practice_short_name);
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
  if (settings.Int(SettingKey::kGDTOn) != old_gdt_on) RebuildToolBars(view, doc);

  doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}
