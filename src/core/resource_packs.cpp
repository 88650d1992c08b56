#include "core/resource_packs.h"

#include <memory>

#include "common/utility_resources.h"
#include "core/core_resources.h"
#include "core/read_recorder_command.h"
#include "core/read_tape_command.h"
#include "dialogs/analysis_pages.h"
#include "dialogs/annotation_compare_dlgs.h"
#include "dialogs/auto_scroll_dlg.h"
#include "dialogs/beat_edit_dlgs.h"
#include "dialogs/caliper_dlgs.h"
#include "dialogs/colour_page.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/display_pages.h"
#include "dialogs/io_port_page.h"
#include "dialogs/monitor_record_dlg.h"
#include "dialogs/narrative_test_data_dlg.h"
#include "dialogs/options_pages.h"
#include "dialogs/optiontree/option_tree_font_dialog.h"
#include "dialogs/patient_dialog_resources.h"
#include "dialogs/print_option_pages.h"
#include "dialogs/recording_prompt_dlgs.h"
#include "dialogs/small_value_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "document/document_strings.h"
#include "layouts/beat_page_factories.h"
#include "layouts/editing_factories.h"
#include "layouts/hr_navigator_factories.h"
#include "layouts/legend_items.h"
#include "layouts/panel_factories.h"
#include "layouts/st_pm_resources.h"
#include "layouts/template_review_factories.h"
#include "layouts/trend_factories.h"
#include "platform/resources.h"
#include "recorder/read_recorder_dlg.h"
#include "recorder/recorder_screen_factories.h"
#include "recorder/recorder_search.h"
#include "recorder/rx3_transfer.h"
#include "recorder/service/service_resources.h"
#include "reports/export_resources.h"
#include "reports/parts/print_extreme_strips.h"
#include "reports/parts/print_four_strip_page.h"
#include "reports/parts/print_full_disclosure.h"
#include "reports/parts/print_hrv.h"
#include "reports/parts/print_report.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/parts/print_st_page.h"
#include "reports/parts/print_template_pages.h"
#include "reports/report_part_resources.h"
#include "reports/report_pdf_export.h"
#include "reports/report_resources.h"
#include "tools/archive_copy.h"
#include "tools/batch_analysis.h"
#include "tools/recording_select_dlg.h"
#include "tools/rr_multi_export.h"
#include "trends/trend_screens.h"
#include "views/view_resources.h"
#include "win/win_strings.h"

namespace {

std::unique_ptr<platform::ResourcePack>& EnglishPack() {
  static std::unique_ptr<platform::ResourcePack> pack;
  return pack;
}

std::unique_ptr<platform::ResourcePack>& GermanPack() {
  static std::unique_ptr<platform::ResourcePack> pack;
  return pack;
}

void Fill(platform::ResourcePack& pack) {
  win::AddWindowSystemResources(pack);
  AddUtilityResources(pack);
  AddDialogResources(pack);
  AddPatientDialogResources(pack);
  AddSmallValueDialogResources(pack);
  AddReportResources(pack);
  AddCoreResources(pack);
  AddCaliperDialogResources(pack);
  AddBeatEditDialogResources(pack);
  AddSTAndPacemakerViewResources(pack);
  AddSTDialogResources(pack);
  AddECGPageResources(pack);
  AddEditingResources(pack);
  AddLegendResources(pack);
  AddViewResources(pack);
  AddBeatPageResources(pack);
  AddTemplateReviewResources(pack);
  AddTrendResources(pack);
  AddPanelResources(pack);
  AddHRNavigatorResources(pack);
  AddTrendScreenResources(pack);
  AddOptionsPageResources(pack);
  AddAnalysisPageResources(pack);
  AddDisplayPageResources(pack);
  AddColourPageResources(pack);
  dialogs::AddOptionTreeFontResources(pack);
  AddReportPartResources(pack);
  AddReportPdfExportResources(pack);
  AddPrintOptionPageResources(pack);
  AddMonitorRecordDlgResources(pack);
  AddSummaryReportResources(pack);
  AddSampleStripResources(pack);
  AddStripPageResources(pack);
  AddExtremeStripResources(pack);
  AddTemplatePagesResources(pack);
  AddFullDisclosureResources(pack);
  AddHRVPageResources(pack);
  AddSTPageResources(pack);
  AddExportResources(pack);
  recorder::AddRecorderSearchResources(pack);
  AddRecordingPromptResources(pack);
  AddReadRecorderResources(pack);
  AddReadRecorderCommandResources(pack);
  AddRecorderScreenResources(pack);
  AddRecorderServiceResources(pack);
  AddReadTapeResources(pack);
  AddIOPortPageResources(pack);
  AddRX3Resources(pack);
  AddArchiveCopyResources(pack);
  AddBatchAnalysisResources(pack);
  AddRecordingSelectResources(pack);
  tools::AddRRMultiExportResources(pack);
}

}  // namespace

void InstallProgramResources() {
  // The packs are made anew: the resource switch must not keep pointing at an old one.
  const platform::ResourcePack* chosen = platform::Resources().LanguagePack();
  if (chosen != nullptr && (chosen == EnglishPack().get() || chosen == GermanPack().get()))
    platform::Resources().SetLanguagePack(nullptr);
  platform::ResourcePack& own = platform::Resources().ExePack();
  own.AddStrings(document::DocumentStrings());
  Fill(own);
  // The narrative test data's labels are the program's own, in no language pack.
  AddNarrativeTestDataResources(own);
  // So are the templates of the analysis test bench.
  AddAnnotationCompareResources(own);
  EnglishPack() = std::make_unique<platform::ResourcePack>("ZK470Eng");
  EnglishPack()->AddStrings(document::DocumentStrings());
  Fill(*EnglishPack());
  GermanPack() = std::make_unique<platform::ResourcePack>("ZK470Ger");
  GermanPack()->AddStrings(document::DocumentStrings(true));
  Fill(*GermanPack());
}

const platform::ResourcePack* FindLanguagePack(std::string_view name) {
  if (name == "ZK470Eng") return EnglishPack().get();
  if (name == "ZK470Ger") return GermanPack().get();
  return nullptr;
}
