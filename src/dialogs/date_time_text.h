#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/clock.h"

namespace platform {
class Locale;
}
namespace win {
class DataExchange;
}

// Date-times typed into edit fields, as the framework exchanged them with its date-time type: the
// text follows the user's locale, and the page reads back whatever the user wrote.
namespace dialogs {

// The locale the dialogs format and read dates with: the one set, else the system's (LC_TIME).
// Tests set a fixed one. User-interface thread only.
const platform::Locale& DialogLocale();
// Not owned; nullptr restores the system locale.
void SetDialogLocale(const platform::Locale* locale);

// Date and time in the locale's forms, separated by a blank; the time alone for a value on day 0
// (a time of day), the date alone at midnight; empty for a value that is not valid. Dates carry a
// four-digit year even where the locale's short date has two, so that reading the text back
// gives the same century.
std::string FormatDateTimeText(const platform::OleDateTime& value, const platform::Locale& locale);
// The date alone, in the locale's short form; empty for a value that is not valid.
std::string FormatDateText(const platform::OleDateTime& value, const platform::Locale& locale);
// The time of day alone.
std::string FormatTimeText(const platform::OleDateTime& value, const platform::Locale& locale);

// What the user typed: a date in the locale's order of day, month and year (any of ". / -" between
// them), a time (h:mm or h:mm:ss, with the locale's AM or PM after it), or a date and a time.
// Two-digit years 00..29 mean 20xx, 30..99 19xx; with latest given (a date never in the future,
// such as a birth date), the latest date of that year's ending that is not after it. nullopt for
// anything else, an empty text included.
std::optional<platform::OleDateTime> ParseDateTimeText(
    std::string_view text, const platform::Locale& locale,
    const std::optional<platform::LocalDateTime>& latest = {});

// Loads the field with FormatDateTimeText, or reads it back with ParseDateTimeText; a text that is
// no date-time fails with the standard message and keeps the page open. Uses DialogLocale().
void DdxDateTimeText(win::DataExchange& dx, int id, platform::OleDateTime& value,
                     const std::optional<platform::LocalDateTime>& latest = {});

// The typing pattern of dates, from 30 December 1996 in the locale's form: "[ 30.12.1996 ]" with
// "19" and "96" replaced by year, "12" by month and "30" by day, e.g. "[ dd.mm.yyyy ]".
std::string DateEntryHint(const platform::Locale& locale, std::string_view year, std::string_view month,
                          std::string_view day);
// The typing pattern of times, from 06:29:11 in the locale's form: "11" replaced by second, "29"
// by minute, "06", "6" and "18" by hour, " AM" and " PM" removed, e.g. "[ hh:mm:ss ]".
std::string TimeEntryHint(const platform::Locale& locale, std::string_view hour, std::string_view minute,
                          std::string_view second);

// Every occurrence of from in text replaced by to.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace dialogs
