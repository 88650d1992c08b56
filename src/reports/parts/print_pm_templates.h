#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ids.h"
#include "reports/printer_base.h"

struct TPMTemplateClassEntry;

// The pacemaker template pages: the rows of the document's pacemaker class list up to the last
// one after the first that has examples, twelve to a page in three columns and four rows. Each
// cell shows the class name and, for a class with examples, its current example on millimetre
// paper with the example's number. Layout in 0.01 mm from the printable corner, y downward.
class TPrintPMTemplates : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32996;
  static constexpr int kCellsPerPage = 12;
  static constexpr int kCellWidth = 5500;
  static constexpr int kCellHeight = 5000;
  static constexpr std::array<int, 3> kColumnX = {0, 6500, 13000};
  static constexpr int kRowPitch = 5700;
  static constexpr int kCellsTop = 2500;
  static constexpr int kChannelSpread = 300;
  // "ECG\Resolution" "PM-Speed" (mm/s) and "PM-Amplitude" (mm/mV) index these.
  static constexpr std::array<double, 3> kSpeeds = {12.5, 25.0, 50.0};
  static constexpr std::array<double, 4> kGains = {2.5, 5.0, 10.0, 20.0};

  static constexpr int kPageTitleString = 21100;
  // Names of the classes 13 and 14; 0 to 12 are named in the settings.
  static constexpr int kClass13String = 21061;
  static constexpr int kClass14String = 14399;

  TPrintPMTemplates(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  int GetRowsToPrint() const { return rows_to_print_; }
  // Entry p - 1: the class row that starts page p.
  const std::vector<int>& GetPageStarts() const { return page_starts_; }
  // The example lies 40 % into its strip; a strip never starts before the recording.
  int32_t StripStart(int32_t position) const;
  // The name of a pacemaker class index; empty beyond the named classes.
  static std::string ClassName(const CZK470Doc& doc, int class_index);

 private:
  double Speed() const;
  double Gain() const;
  void PrintCell(gfx::Canvas& dc, win::CPrintInfo& info, const TPMTemplateClassEntry& row, int x, int y);

  std::string text_;
  int rows_to_print_ = 0;
  std::vector<int> page_starts_;
};
