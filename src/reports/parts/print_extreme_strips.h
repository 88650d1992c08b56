#pragma once

#include <array>

#include "platform/ids.h"
#include "reports/parts/print_four_strip_page.h"

namespace platform {
class ResourcePack;
}

inline constexpr int kIdsHRExtremesTitle = 21087;
inline constexpr int kIdsHRMinLabel = 20026;  // the statistics tables' "minimum"
inline constexpr int kIdsHRMaxLabel = 20028;  // the statistics tables' "maximum"
inline constexpr int kIdsRRMinLabel = 21077;
inline constexpr int kIdsRRMaxLabel = 21078;
inline constexpr int kIdsSinusExtremesTitle = 24021;
inline constexpr int kIdsSinusMinLabel = 24022;
inline constexpr int kIdsSinusMaxLabel = 24023;
inline constexpr int kIdsNNMinLabel = 24024;
inline constexpr int kIdsNNMaxLabel = 24025;

// Adds the extreme pages' own texts: German to the German pack, English to every other one.
void AddExtremeStripResources(platform::ResourcePack& pack);

// One page with the ECG at four of the recording's stored extremes, one strip row each, labelled
// above the strip; a row whose extreme is unset stays blank.
class TPrintExtremeStrips : public TPrintStripPage {
 public:
  static constexpr int kTitleTop = 1500;
  static constexpr int kLabelTop = 2900;

  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

 protected:
  // The beat index of each row's extreme (-1 unset), its label, and the page title.
  struct Rows {
    std::array<int32_t, kRows> beats;
    std::array<int, kRows> labels;
    int title;
  };

  TPrintExtremeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                      TPrintAutoGain* auto_gain);
  virtual Rows ExtremeRows() const = 0;
};

// The heart-rate minimum and maximum and the shortest and longest RR interval.
class TPrintHRExtremeStrips : public TPrintExtremeStrips {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32876;

  TPrintHRExtremeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                        TPrintAutoGain* auto_gain);

 protected:
  bool IsSelected() const override;
  Rows ExtremeRows() const override;
};

// The sinus heart-rate minimum and maximum and the shortest and longest NN interval.
class TPrintSinusExtremeStrips : public TPrintExtremeStrips {
 public:
  static constexpr int kOwnCommand = cmd::kPrint33203;

  TPrintSinusExtremeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                           TPrintAutoGain* auto_gain);

 protected:
  bool IsSelected() const override;
  Rows ExtremeRows() const override;
};
