#pragma once

#include <string>

#include "win/dialog.h"

// Shown before each envelope: names the envelope that comes next and lets the user choose how it
// is fed, then print it (kIdOk), skip it (kSkipResult) or stop the run (kIdCancel).
// User-interface thread only.
class TPrintEnvelopesDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 297;
  static constexpr int kNameId = 1384;
  static constexpr int kFirstFeedId = 1385;  // portrait; kFirstFeedId + 1 landscape
  static constexpr int kSecondFeedId = 1386;
  static constexpr int kSkipId = 1387;
  static constexpr int kPortraitPictureId = 298;
  static constexpr int kLandscapePictureId = 299;
  // Neither kIdOk nor kIdCancel.
  static constexpr int kSkipResult = 5;

  explicit TPrintEnvelopesDlg(win::Window* parent = nullptr);

  std::string name;
  // The checked feed button: 0 first, 1 second, -1 none.
  int feed_method = -1;
  // Set when the paper is narrower than the envelope: only the second feed method can be chosen.
  int single_feed = 0;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};
