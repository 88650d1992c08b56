#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "reports/print_composer.h"
#include "reports/print_part_table.h"
#include "reports/printer_base.h"

class TPrintAutoGain;

// The findings dialog belongs to a layer above printing: whoever makes a composer says how to make
// it (window created, hidden) and how to end it.
using TFindingsDlgPtr = std::unique_ptr<TFindingsDlg, std::function<void(TFindingsDlg*)>>;
using TFindingsDlgMaker = std::function<TFindingsDlgPtr(CZK470Doc&)>;

// Beats and other class colours print black on a two-colour printer; a PDF being recorded keeps its
// colours whatever the device says.
void CheckMonochromePrinter(gfx::Canvas& dc);

// One print job: owns the report parts in their fixed order, the report values, the automatic gain
// and the findings dialog they share, counts the job's pages and hands each page to the part that
// owns it. Lives from the view's print preparation to the end of the job; one thread at a time.
class TPrintComposer : public TPrinter, public PrintComposer {
 public:
  // Limit of the automatic gain in 0.1 mV.
  static constexpr int kAutoGainLimit = 25;

  explicit TPrintComposer(CZK470Doc& doc, const TFindingsDlgMaker& make_findings = {},
                          const std::vector<TPrintPartRow>& parts = PrintPartTable());
  ~TPrintComposer() override;

  void CountPages(win::CPrintInfo& info, int command) override;
  void DecideColour(gfx::Canvas& dc) override;
  void PrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override;
  // Prints the info's current page; the page argument is not used.
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;
  void Cleanup(gfx::Canvas* dc, win::CPrintInfo& info) override;
  void CleanUp(gfx::Canvas* dc, win::CPrintInfo& info) override { Cleanup(dc, info); }

  int GetTotalPages() const { return total_pages_; }
  int GetPartCount() const { return static_cast<int>(parts_.size()); }
  TPrinter& GetPart(int index) { return *parts_.at(static_cast<size_t>(index)); }
  // The pages the part counted for the job; 0 before CountPages.
  int GetPartPages(int index) const;
  TPrintAutoGain& GetAutoGain() { return *auto_gain_; }
  TReportValues& GetReportValues() { return *report_values_; }
  TFindingsDlg* GetFindingsDialog() const { return findings_.get(); }

 private:
  // Declared so that the parts go first, then the gain, the report values and the dialog.
  TFindingsDlgPtr findings_;
  std::unique_ptr<TReportValues> report_values_;
  std::unique_ptr<TPrintAutoGain> auto_gain_;
  std::vector<TPrintPartRow> rows_;
  std::vector<std::unique_ptr<TPrinter>> parts_;
  std::vector<int> part_pages_;
  int total_pages_ = 0;
};
