#pragma once

#include <functional>
#include <initializer_list>
#include <span>
#include <string>

#include "platform/ids.h"
#include "reports/printer_base.h"

// The hourly tables: one page per day of the recording (at most the three days the report values
// hold) with the hour-by-hour rhythm, ventricular and signal tables and the day's totals. Every
// cell is a text of the report values.
class TPrintHourlyTables : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32886;
  static constexpr int kMaxDays = 3;

  TPrintHourlyTables(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  // page is the day, from 1.
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // The page's title: day number and date for a multi-day recording.
  std::string PageTitle(int day) const;

  void PrintRhythmTable(gfx::Canvas& dc, win::CPrintInfo& info, int day);
  void PrintVentricularTable(gfx::Canvas& dc, win::CPrintInfo& info, int day);
  void PrintMarkerTable(gfx::Canvas& dc, win::CPrintInfo& info, int day);

 private:
  // Box, lines, hour labels and totals label of a table of that width at the current offsets.
  void DrawTableFrame(gfx::Canvas& dc, int width, std::initializer_list<int> thick_columns,
                      std::initializer_list<int> thin_columns, int day);
  // The 24 hour cells of the day and its total, bold, in the column x0..x1.
  void PrintColumn(gfx::Canvas& dc, int day, int x0, int x1, const std::string& total,
                   const std::function<std::string(int hour)>& hour_text);
  std::string Total(int day_row, int day, const std::string& whole) const;
  // A column of hourly counts that one counting call fills.
  struct CountColumn;
  // Counts and prints each column in turn (the counting call refills the report values' hours).
  void PrintCountColumns(gfx::Canvas& dc, int day, std::span<const CountColumn> columns);
};
