#pragma once

#include <string>

#include "win/property_sheet.h"

// The page of the three assignment texts of the recording record; the third is the medication
// that the narrative letter prints. In recorder-entry mode the texts are shown but locked.
// User-interface thread only.
class TAssignmentPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 204;
  static constexpr int kText1Id = 1171;
  static constexpr int kText2Id = 1172;
  static constexpr int kText3Id = 1173;

  TAssignmentPage();
  bool OnSetActive() override;

  std::string assignment1;  // at most 70 characters
  std::string assignment2;  // at most 1000
  std::string assignment3;  // the medication, at most 1000
  int recorder_entry = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
