#include "trends/hrv_table_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "trends/hrv_table_area.h"
#include "win/dialog_template.h"

namespace {

std::unique_ptr<CViewAreaConfig> MakeTable(const layouts::LayoutRow& row) {
  return std::make_unique<CHRVTableAreaConfig>(
      layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
      gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

// The difference rows name their thresholds in ms at 125 Hz: more than 6, 13 and 25 samples.
constexpr platform::StringEntry kEnglishStrings[] = {
    {24000, "Coverage"}, {24001, "Mean NN"}, {24002, "SDNN"},    {24003, "SDANN"},  {24004, "SDNN index"},
    {24005, "RMSSD"},    {24006, "NN50"},    {24007, "pNN50"},   {24008, "NN104"},  {24009, "pNN104"},
    {24010, "NN200"},    {24011, "pNN200"},  {24012, "Outside"}, {24013, "Inside"}, {24014, "All"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {24000, "Abdeckung"},  {24001, "Mittel NN"}, {24002, "SDNN"},   {24003, "SDANN"},
    {24004, "SDNN-Index"}, {24005, "RMSSD"},     {24006, "NN50"},   {24007, "pNN50"},
    {24008, "NN104"},      {24009, "pNN104"},    {24010, "NN200"},  {24011, "pNN200"},
    {24012, "Außerhalb"},  {24013, "Innerhalb"}, {24014, "Gesamt"},
};

}  // namespace

void RegisterHRVTableFactories() { layouts::RegisterNodeFactory("CHRVTableAreaConfig", MakeTable); }

void AddHRVTableResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
