#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/ids.h"
#include "reports/narrative_letter.h"
#include "reports/printer_base.h"

namespace richtext {
class RichTextLayout;
}

// Whether a report PDF is being made: the letters are then laid out for the PDF page and built
// from the PDF templates, also while the pages are counted, before any page is recorded.
// Process-wide; the thread that prepares the export sets it and clears it when the job ends.
bool IsReportPdfExportUnderWay();
void SetReportPdfExportUnderWay(bool on);

// The narrative letters as the first pages of a report: each selected letter kind (0 insurance,
// 1 patient, 2 physician referred to, 3 referring physician) is written to a private temporary
// rich-text file, laid out on the printer's paper (or the PDF page) within the letter's own
// margins, and printed page by page without the report's header and footer. Every page of every
// letter prints. The files are removed at Cleanup and, whatever path the job took, when the part
// ends.
class TPrintNarrativeLetter : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint33218;
  static constexpr int kTestDataCommand = cmd::kPrintNarrative;
  static constexpr int kKinds = CNarrativeLetter::kRecipients;
  // The PDF page (A4) in twips.
  static constexpr int kPdfPageWidthTwips = 11906;
  static constexpr int kPdfPageHeightTwips = 16838;

  // One printed page: the letter kind and the page within that letter, from 1.
  struct PageEntry {
    int kind = 0;
    int page = 0;
    friend bool operator==(const PageEntry&, const PageEntry&) = default;
  };

  TPrintNarrativeLetter(int full_header, CZK470Doc* doc, TReportValues* report_values);
  ~TPrintNarrativeLetter() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;
  void Cleanup(gfx::Canvas* dc, win::CPrintInfo& info) override;

  const std::vector<PageEntry>& PageTable() const { return pages_; }
  // The letter file of a kind; empty when none is made.
  const std::string& FileName(int kind) const { return file_names_.at(static_cast<size_t>(kind)); }
  // The letter kinds the current command selects.
  std::array<bool, kKinds> SelectedKinds() const;

 private:
  bool IsSelected() const;
  void DeleteFiles();

  CNarrativeLetter letter_;
  std::array<std::string, kKinds> file_names_;
  std::array<std::unique_ptr<richtext::RichTextLayout>, kKinds> layouts_;
  std::array<gfx::Point, kKinds> origins_{};  // the letter's margins, twips from the paper corner
  std::vector<PageEntry> pages_;
};
