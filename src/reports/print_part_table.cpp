#include "reports/print_part_table.h"

#include "document/settings_store.h"
#include "platform/ids.h"
#include "reports/parts/print_event_chart.h"
#include "reports/parts/print_extreme_strips.h"
#include "reports/parts/print_full_disclosure.h"
#include "reports/parts/print_hourly_tables.h"
#include "reports/parts/print_hrv.h"
#include "reports/parts/print_marker_strips.h"
#include "reports/parts/print_narrative_letter.h"
#include "reports/parts/print_pm_templates.h"
#include "reports/parts/print_report.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/parts/print_st_episode_strips.h"
#include "reports/parts/print_st_page.h"
#include "reports/parts/print_template_pages.h"
#include "reports/parts/print_user_event_strips.h"
#include "reports/print_hr_events_page.h"
#include "reports/printer_base.h"

namespace {

using K = SettingKey;

// Printed from the event strips' page; the whole report never holds it.
constexpr int kFullDisclosureAtPositionCommand = 32664;

template <class Part>
std::unique_ptr<TPrinter> Make(const TPrintPartArgs& args) {
  return std::make_unique<Part>(args.full_header, args.doc, args.report_values);
}

// The parts that print ECG strips also take the job's automatic gain.
template <class Part>
std::unique_ptr<TPrinter> MakeWithGain(const TPrintPartArgs& args) {
  return std::make_unique<Part>(args.full_header, args.doc, args.report_values, args.auto_gain);
}

std::vector<TPrintPartRow> BuildTable() {
  // Number, class, own commands, "Print\User" switch and its default, full header, automatic gain,
  // factories. Parts whose pages do not exist yet have no factory; the composer gives them no pages.
  // clang-format off
  return {
      {1,  "TPrintNarrativeLetter",          {cmd::kPrint33218, cmd::kPrintNarrative}, K::kPrintLetter,           1, 1, false, Make<TPrintNarrativeLetter>, {}},
      {2,  "TPrintReport",                   {cmd::kPrint32885, 0},            K::kPrintReport,           1, 1, false, Make<TPrintReport>, {}},
      {3,  "TPrintHREventsPage",             {cmd::kPrint32989, 0},            K::kPrintHREvents,         1, 0, false, Make<TPrintHREventsPage>, {}},
      {4,  "TPrintHourlyTables",             {cmd::kPrint32886, 0},            K::kPrintSummary,          1, 0, false, Make<TPrintHourlyTables>, {}},
      {5,  "TPrintEventChart",               {cmd::kPrint32790, 0},            K::kPrintEventChart,       1, 0, false, Make<TPrintEventChart>, {}},
      {6,  "TPrintHRExtremeStrips",          {cmd::kPrint32876, 0},            K::kPrintMinMaxHR_RR,      1, 0, true,  MakeWithGain<TPrintHRExtremeStrips>, {}},
      {7,  "TPrintSinusExtremeStrips",       {cmd::kPrint33203, 0},            K::kPrintMinMaxSinusHR_RR, 1, 0, true,  MakeWithGain<TPrintSinusExtremeStrips>, {}},
      {8,  "TPrintSampleStrips",             {cmd::kPrint32987, 0},            K::kPrintSamples,          1, 0, true,  MakeWithGain<TPrintSampleStrips>, {}},
      {9,  "TPrintUserEventStrips",          {cmd::kPrintSamples, 0},          K::kPrintUserSections,     1, 0, true,  MakeWithGain<TPrintUserEventStrips>, {}},
      {10, "TPrintMarkerStrips",             {cmd::kPrint32956, 0},            K::kPrintMarker,           1, 0, true,  MakeWithGain<TPrintMarkerStrips>, {}},
      {11, "TPrintFullDisclosure",           {cmd::kPrintFullDisclosure, 0},   K::kPrintFull,             0, 0, false, Make<TPrintFullDisclosure>, Make<TPrintFullDisclosureSingle>},
      {12, "TPrintFullDisclosureAtPosition", {kFullDisclosureAtPositionCommand, 0}, std::nullopt,        0, 0, false, Make<TPrintFullDisclosureAtPosition>, {}},
      {13, "TPrintSTPage",                   {cmd::kPrint32912, 0},            K::kPrintSTTrends,         1, 0, false, Make<TPrintSTPage>, {}},
      {14, "TPrintSTEpisodeStrips",          {cmd::kPrint32911, 0},            K::kPrintSTEpisodes,       1, 0, true,  MakeWithGain<TPrintSTEpisodeStrips>, {}},
      {15, "TPrintTemplatePages",            {cmd::kPrintTemplates, 0},        K::kPrintTemplates,        1, 0, false, Make<TPrintTemplatePages>, {}},
      {16, "TPrintPMTemplates",              {cmd::kPrint32996, 0},            K::kPrintPMTemplates,      1, 0, false, Make<TPrintPMTemplates>, {}},
      {17, "TPrintHRV",                      {cmd::kPrint33007, 0},            K::kPrintHRV,              1, 0, false, Make<TPrintHRV>, {}},
  };
  // clang-format on
}

}  // namespace

const std::vector<TPrintPartRow>& PrintPartTable() {
  static const std::vector<TPrintPartRow> table = BuildTable();
  return table;
}

bool IsPrintPartSelected(const TPrintPartRow& row, int command, const SettingsStore& settings) {
  for (const int own : row.commands)
    if (own != 0 && own == command) return true;
  return command == cmd::kPrintWholeReport && row.user_switch.has_value() &&
         settings.Int(*row.user_switch) != 0;
}
