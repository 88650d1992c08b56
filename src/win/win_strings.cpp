#include "win/win_strings.h"

#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_template.h"

namespace win {
namespace {

// The window system's own texts: the messages of data exchange and the buttons of property
// sheets and message boxes, as the platform shows them in each language.
constexpr platform::StringEntry kEnglish[] = {
    {kIdsParseInt, "Please enter an integer."},
    {kIdsParseReal, "Please enter a number."},
    {kIdsParseIntRange, "Please enter an integer between %1 and %2."},
    {kIdsParseRealRange, "Please enter a number between %1 and %2."},
    {kIdsParseStringSize, "Please enter no more than %1 characters."},
    {kIdsParseRadioButton, "Please select a button."},
    {kIdsParseByte, "Please enter an integer between 0 and 255."},
    {kIdsParseUInt, "Please enter a positive integer."},
    {kIdsParseDateTime, "Please enter a date and/or time."},
    {kIdsSheetOk, "OK"},
    {kIdsSheetCancel, "Cancel"},
    {kIdsSheetApply, "&Apply"},
    {kIdsSheetHelp, "Help"},
    {kIdsBoxYes, "&Yes"},
    {kIdsBoxNo, "&No"},
    {kIdsBoxRetry, "&Retry"},
    {kIdsBoxAbort, "&Abort"},
    {kIdsBoxIgnore, "&Ignore"},
};

constexpr platform::StringEntry kGerman[] = {
    {kIdsParseInt, "Geben Sie eine ganze Zahl ein."},
    {kIdsParseReal, "Geben Sie eine Zahl ein."},
    {kIdsParseIntRange, "Geben Sie eine ganze Zahl zwischen %1 und %2 ein."},
    {kIdsParseRealRange, "Geben Sie eine Zahl zwischen %1 und %2 ein."},
    {kIdsParseStringSize, "Geben Sie höchstens %1 Zeichen ein."},
    {kIdsParseRadioButton, "Wählen Sie eine Schaltfläche aus."},
    {kIdsParseByte, "Geben Sie eine ganze Zahl zwischen 0 und 255 ein."},
    {kIdsParseUInt, "Geben Sie eine positive ganze Zahl ein."},
    {kIdsParseDateTime, "Geben Sie ein Datum und/oder eine Uhrzeit ein."},
    {kIdsSheetOk, "OK"},
    {kIdsSheetCancel, "Abbrechen"},
    {kIdsSheetApply, "Ü&bernehmen"},
    {kIdsSheetHelp, "Hilfe"},
    {kIdsBoxYes, "&Ja"},
    {kIdsBoxNo, "&Nein"},
    {kIdsBoxRetry, "&Wiederholen"},
    {kIdsBoxAbort, "&Abbrechen"},
    {kIdsBoxIgnore, "&Ignorieren"},
};

}  // namespace

void AddWindowSystemResources(platform::ResourcePack& pack) {
  if (IsGermanPack(pack)) {
    pack.AddStrings(kGerman);
  } else {
    pack.AddStrings(kEnglish);
  }
}

}  // namespace win
