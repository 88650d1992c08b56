#pragma once

#include "win/property_sheet.h"

// The live ECG's amplitude step (0: 5 mm/mV, 1: 10 mm/mV), the fourth page of the ECG resolution
// sheet; the caller stores the step after the sheet closed with OK.
class TRealSpeedDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 163;
  static constexpr int kAmplitudeId = 1026;  // 1026, 1027

  explicit TRealSpeedDlg(int amplitude) : win::PropertyPage(kTemplateId), amplitude(amplitude) {}
  int amplitude;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
