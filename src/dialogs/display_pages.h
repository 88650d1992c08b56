#pragma once

#include <utility>

#include "win/property_sheet.h"

namespace platform {
class ResourcePack;
}

// Speed and amplitude of an ECG display, each a list index into the settings' scale tables.
class TSpeedAmplitudePage : public win::PropertyPage {
 public:
  static constexpr int kAmplitudeId = 1026;  // 1026..1028
  static constexpr int kSpeedId = 1020;      // 1020..1022

  TSpeedAmplitudePage(int template_id, int speed, int amplitude)
      : win::PropertyPage(template_id), speed(speed), amplitude(amplitude) {}
  int speed;
  int amplitude;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The example-strip display.
class TSampleSpeedDlg : public TSpeedAmplitudePage {
 public:
  static constexpr int kTemplateId = 30730;
  TSampleSpeedDlg(int speed, int amplitude) : TSpeedAmplitudePage(kTemplateId, speed, amplitude) {}
};

// The zoomed strip display.
class TZoomSpeedDlg : public TSpeedAmplitudePage {
 public:
  static constexpr int kTemplateId = 143;
  TZoomSpeedDlg(int speed, int amplitude) : TSpeedAmplitudePage(kTemplateId, speed, amplitude) {}
};

// The ECG strips: four speeds, and two amplitudes for the slow speeds (0, 1) and two others for the
// fast ones (2, 3); only the group that belongs to the chosen speed can be changed.
class TECGSpeddDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 142;
  static constexpr int kSlowAmplitudeId = 1024;  // 1024, 1025
  static constexpr int kFastAmplitudeId = 1026;  // 1026, 1027
  static constexpr int kSpeedId = 1016;          // 1016..1019
  static constexpr int kSlowLabelId = 1029;
  static constexpr int kFastLabelId = 1030;

  // Both amplitude groups start at amplitude (0 or 1).
  TECGSpeddDlg(int speed, int amplitude) : TECGSpeddDlg() {
    this->speed = speed;
    slow_amplitude = amplitude;
    fast_amplitude = amplitude;
  }
  // The speed and the amplitude of the group that belongs to it.
  std::pair<int, int> GetSelection() const { return {speed, speed > 1 ? fast_amplitude : slow_amplitude}; }

  int slow_amplitude = 0;
  int fast_amplitude = 0;
  int speed = 0;

  bool OnSetActive() override;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  TECGSpeddDlg();
  void EnableGroups(bool fast);
};

// The heart-rate trend: the averaging (radio index) and the middle averaging (list index).
class TTrendHRDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 150;
  static constexpr int kAverageId = 1031;  // 1031..1033
  static constexpr int kMiddleAverageId = 1035;

  TTrendHRDlg(int trend_average, int trend_middle_average)
      : win::PropertyPage(kTemplateId),
        trend_average(trend_average),
        trend_middle_average(trend_middle_average) {}
  int trend_average;
  int trend_middle_average;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};

// The two switches of the channels sheet, kept by the document for the program run.
class TChannelsDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 144;
  static constexpr int kFirstId = 1000;
  static constexpr int kSecondId = 1001;

  TChannelsDlg(int first, int second) : win::PropertyPage(kTemplateId), first(first), second(second) {}
  int first;
  int second;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// Templates of the display pages, German to the German pack, English to every other one.
void AddDisplayPageResources(platform::ResourcePack& pack);
