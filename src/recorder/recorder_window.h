#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/window_area.h"

// The window node of the online screens; the recorder area and the sweeps lie below it.
class CRecorderWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CRecorderWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Hosts the recorder area: carries the amplitude toolbar, passes the recorder commands of the
// menu and its timer ticks down to the areas below it, and steps the live ECG's amplitude between
// its two steps. User-interface thread only.
class CRecorderWnd : public CAreaWnd {
 public:
  static constexpr int kAmplitudeUp = 33016;
  static constexpr int kAmplitudeDown = 33017;
  static constexpr int kToolBarResource = 161;
  static constexpr int kToolBarCaptionString = 59396;
  static constexpr uint32_t kAreaTimerMessage = 275;

  CRecorderWnd(CWindowAreaConfig* config, CZK470Doc* document);

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  std::string_view ClassName() const override { return "RecorderWnd"; }

  // The document's real-time amplitude step (0 or 1).
  int GetAmplitudeStep() const;

 protected:
  void OnTimer(uintptr_t id) override;

 private:
  void StepAmplitude(int delta);
};
