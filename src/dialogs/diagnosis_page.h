#pragma once

#include <string>

#include "win/property_sheet.h"

// The page of the recording's diagnosis text; the text can be changed only outside
// recorder-entry mode. User-interface thread only.
class TDiagnosisPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 202;
  static constexpr int kTextId = 1170;
  static constexpr int kMaxChars = 4096;

  TDiagnosisPage() : TDiagnosisPage(std::string()) {}
  explicit TDiagnosisPage(std::string text);
  bool OnSetActive() override;

  std::string diagnosis;
  int recorder_entry = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
