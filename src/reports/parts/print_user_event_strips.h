#pragma once

#include "platform/ids.h"
#include "reports/parts/print_four_strip_page.h"

// A strip for every user event of the recording, four a page in list order, under the title of
// the user events.
class TPrintUserEventStrips : public TPrintStripPage {
 public:
  static constexpr int kOwnCommand = cmd::kPrintSamples;

  TPrintUserEventStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                        TPrintAutoGain* auto_gain);
  ~TPrintUserEventStrips() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;
};
