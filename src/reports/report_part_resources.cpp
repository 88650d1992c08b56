#include "reports/report_part_resources.h"

#include "platform/resources.h"
#include "reports/printer_base.h"

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {TPrinter::kTitleString, "Printed on"},
    {kIdsLabelName, "Name"},
    {kIdsLabelPatientNumber, "Patient No."},
    {kIdsLabelSex, "Sex"},
    {kIdsLabelBirthDate, "Date of birth"},
    {kIdsLabelAge, "Age"},
    {kIdsLabelPacemaker, "Pacemaker"},
    {kIdsLabelWeight, "Weight"},
    {kIdsLabelHeight, "Height"},
    {kIdsLabelStation, "Station"},
    {kIdsLabelEngine, "Analysis"},
    {kIdsLabelProgram, "Program"},
    {kIdsSexNone, "-"},
    {kIdsSexNone + 1, "female"},
    {kIdsSexNone + 2, "male"},
    {kIdsPacemakerNo, "no"},
    {kIdsPacemakerNo + 1, "yes"},
    {kIdsYears, "years"},
    {kIdsHeightIn, "in"},
    {kIdsHREventsTitle, "Heart rate and events:"},
    {kIdsCountColumn, "Count"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {TPrinter::kTitleString, "Gedruckt am"},
    {kIdsLabelName, "Name"},
    {kIdsLabelPatientNumber, "Patienten-Nr."},
    {kIdsLabelSex, "Geschlecht"},
    {kIdsLabelBirthDate, "Geburtsdatum"},
    {kIdsLabelAge, "Alter"},
    {kIdsLabelPacemaker, "Schrittmacher"},
    {kIdsLabelWeight, "Gewicht"},
    {kIdsLabelHeight, "Größe"},
    {kIdsLabelStation, "Station"},
    {kIdsLabelEngine, "Analyse"},
    {kIdsLabelProgram, "Programm"},
    {kIdsSexNone, "-"},
    {kIdsSexNone + 1, "weiblich"},
    {kIdsSexNone + 2, "männlich"},
    {kIdsPacemakerNo, "nein"},
    {kIdsPacemakerNo + 1, "ja"},
    {kIdsYears, "Jahre"},
    {kIdsHeightIn, "in"},
    {kIdsHREventsTitle, "Herzfrequenz und Ereignisse:"},
    {kIdsCountColumn, "Anzahl"},
};

}  // namespace

void AddReportPartResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger") {
    pack.AddStrings(kGermanStrings);
  } else {
    pack.AddStrings(kEnglishStrings);
  }
}
