#include "trends/statistics_factories.h"

#include <memory>

#include "layouts/layout_table.h"
#include "trends/statistics_grids.h"
#include "trends/statistics_table_area.h"
#include "trends/statistics_window.h"
#include "win/dialog_template.h"

namespace {

template <typename Config>
std::unique_ptr<CViewAreaConfig> Make(const layouts::LayoutRow& row) {
  return std::make_unique<Config>(layouts::ToPosition(row), gfx::Size{row.min_width, row.min_height},
                                  gfx::Size{row.per_mille_width, row.per_mille_height}, row.flag != 0);
}

using namespace statstr;

// 14389 ("1/min"), 21061 (artefacts) and 21088 ("RR") come with the screens that share them.
constexpr platform::StringEntry kEnglish[] = {
    {kRecording, "Recording"},
    {kHeartRate, "Heart rate"},
    {kSinusRhythm, "Sinus rhythm"},
    {kAbsArrhythmia, "Absolute arrhythmia"},
    {kStart, "Start"},
    {kEnd, "End"},
    {kDuration, "Duration"},
    {kBeats, "Beats"},
    {kMinimum, "Min."},
    {kMean, "Mean"},
    {kMaximum, "Max."},
    {kPauses, "Pauses"},
    {kBradycardias, "Bradycardias"},
    {kTachycardias, "Tachycardias"},
    {kSves, "SVES"},
    {kVes, "VES"},
    {kCouplets, "Couplets"},
    {kTriplets, "Triplets"},
    {kVt, "VT"},
    {kBigeminy, "Bigeminy"},
    {kTrigeminy, "Trigeminy"},
    {kRonT, "R on T"},
    {kAaEpisodes, "Episodes"},
    {kSvCouplets, "Couplets"},
    {kSvTriplets, "Triplets"},
    {kSvt, "SVT"},
    {kTotal, "Total"},
    {kMaxPerHour, "Max./hour"},
    {kLongest, "Longest"},
    {kRhythmTitle, "Heart rate and rhythm"},
    {kSupraventricularTitle, "Supraventricular"},
    {kVentricularTitle, "Ventricular"},
    {kHourBeats, "Beats"},
    {kHourMin, "Min."},
    {kHourMean, "Mean"},
    {kHourMax, "Max."},
    {kHourBrady, "Brady"},
    {kHourTachy, "Tachy"},
    {kHourSvt, "SVT"},
    {kHourBigeminy, "Bigeminy"},
    {kHourTrigeminy, "Trigeminy"},
    {kHourVt, "VT"},
    {kMarkersTitle, "Markers"},
    {kLeadOff, "Lead off"},
    {kSignalTitle, "Signal"},
    {kHourAa, "AA"},
    {kFastest, "Fastest"},
    {kRate, "Rate"},
    {kShortestInterval, "Shortest"},
    {kLongestInterval, "Longest"},
    {kTime, "Time"},
    {kLongestWithDuration, "Longest / duration"},
    {kCount, "Count"},
    {kLengthUnit, "(hh:mm)"},
    {kLength, "Length"},
    {kSummaryTab, "Summary"},
    {kRhythmTab, "Rhythm / SV"},
    {kVentricularTab, "Ventricular"},
};

constexpr platform::StringEntry kGerman[] = {
    {kRecording, "Aufzeichnung"},
    {kHeartRate, "Herzfrequenz"},
    {kSinusRhythm, "Sinusrhythmus"},
    {kAbsArrhythmia, "Absolute Arrhythmie"},
    {kStart, "Beginn"},
    {kEnd, "Ende"},
    {kDuration, "Dauer"},
    {kBeats, "Schläge"},
    {kMinimum, "Min."},
    {kMean, "Mittel"},
    {kMaximum, "Max."},
    {kPauses, "Pausen"},
    {kBradycardias, "Bradykardien"},
    {kTachycardias, "Tachykardien"},
    {kSves, "SVES"},
    {kVes, "VES"},
    {kCouplets, "Couplets"},
    {kTriplets, "Triplets"},
    {kVt, "VT"},
    {kBigeminy, "Bigeminus"},
    {kTrigeminy, "Trigeminus"},
    {kRonT, "R auf T"},
    {kAaEpisodes, "Episoden"},
    {kSvCouplets, "Couplets"},
    {kSvTriplets, "Triplets"},
    {kSvt, "SVT"},
    {kTotal, "Gesamt"},
    {kMaxPerHour, "Max./Stunde"},
    {kLongest, "Längste"},
    {kRhythmTitle, "Herzfrequenz und Rhythmus"},
    {kSupraventricularTitle, "Supraventrikulär"},
    {kVentricularTitle, "Ventrikulär"},
    {kHourBeats, "Schläge"},
    {kHourMin, "Min."},
    {kHourMean, "Mittel"},
    {kHourMax, "Max."},
    {kHourBrady, "Brady"},
    {kHourTachy, "Tachy"},
    {kHourSvt, "SVT"},
    {kHourBigeminy, "Bigeminus"},
    {kHourTrigeminy, "Trigeminus"},
    {kHourVt, "VT"},
    {kMarkersTitle, "Marker"},
    {kLeadOff, "Elektrode ab"},
    {kSignalTitle, "Signal"},
    {kHourAa, "AA"},
    {kFastest, "Schnellste"},
    {kRate, "Frequenz"},
    {kShortestInterval, "Kürzestes"},
    {kLongestInterval, "Längstes"},
    {kTime, "Zeit"},
    {kLongestWithDuration, "Längste / Dauer"},
    {kCount, "Anzahl"},
    {kLengthUnit, "(hh:mm)"},
    {kLength, "Dauer"},
    {kSummaryTab, "Übersicht"},
    {kRhythmTab, "Rhythmus / SV"},
    {kVentricularTab, "Ventrikulär"},
};

}  // namespace

void RegisterStatisticsFactories() {
  layouts::RegisterNodeFactory("CStatisticsWindowConfig", Make<CStatisticsWindowConfig>);
  layouts::RegisterNodeFactory("CStatisticsTableAreaConfig", Make<CStatisticsTableAreaConfig>);
}

void AddStatisticsResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGerman);
  else
    pack.AddStrings(kEnglish);
}
