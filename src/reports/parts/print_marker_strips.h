#pragma once

#include "platform/ids.h"
#include "reports/parts/print_sample_strips.h"

// The patient-marker pages: the recording's markers, three strips a page in recording order, each
// context strip ending where its printed strip ends.
class TPrintMarkerStrips : public TPrintSampleStrips {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32956;

  TPrintMarkerStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                     TPrintAutoGain* auto_gain);

  void Paginate() override;

 protected:
  bool IsSelected() const override;
};
