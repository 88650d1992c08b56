#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/ids.h"
#include "views/window_area.h"

class THeartRateTrend;

// The window node of the heart-rate-variability screens; it hosts a CHRVTrendWnd whose children
// are the HRV table and the charts.
class CHRVTrendWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CHRVTrendWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The window of the HRV screens: two toolbars (screens, recalculation, zoom, scale, NN jumps; and
// the day choice), the visible time range that every chart draws, and the state of the search for
// the next longer or shorter NN interval. The selected day, zoom level and scale step live in the
// document, so that they outlast a change between the three screens. Times are ms from the
// recording start. User-interface thread only.
class CHRVTrendWnd : public CAreaWnd {
 public:
  static constexpr int kCmdScaleDown = 33001;
  static constexpr int kCmdScaleUp = 33002;
  static constexpr int kCmdRecalculate = 33003;
  // 33005, 33006: screens 1 and 2; the window's own ids, shared with the main view's ST jumps.
  static constexpr int kCmdScreen0 = cmd::kGoToST3;
  static constexpr int kCmdZoomIn = 33201;
  static constexpr int kCmdZoomOut = 33202;
  static constexpr int kCmdNextLongerNN = 32997;
  static constexpr int kCmdNextShorterNN = 32998;
  static constexpr int kCmdDay0 = 33318;  // 33319, 33320: days 1 and 2
  static constexpr int kCmdWholeRecording = 33321;
  static constexpr int kMainToolBarId = 285;
  static constexpr int kDayToolBarId = 194;
  // Tips of the bars' buttons and the context menu's entries: screens 0..2, recalculate, zoom out
  // and in, scale down and up, shortest NN, next longer, longest NN, next shorter, days 1..3, whole
  // recording, set mark, return to mark.
  static constexpr int kFirstTipString = 24040;
  static constexpr int kTipStrings = 18;
  static constexpr int kMaxZoom = 4;
  static constexpr int kMaxScaleStep = 3;
  static constexpr int kWholeRecording = 99;
  static constexpr int64_t kDayMs = 86'400'000;

  CHRVTrendWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CHRVTrendWnd() override;

  void Attach(CBaseView* view) override;
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  std::unique_ptr<win::Window> CreateSecondToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                   int* dock_bar) override;

  // The limits of the selected day (the whole recording for 99).
  int64_t DayStartMs() const;
  int64_t DayEndMs() const;
  // The visible range from the day, the zoom level and the current position.
  void ComputeVisibleRange();
  int64_t GetVisibleStart() const { return visible_start_; }
  int64_t GetVisibleEnd() const { return visible_end_; }

  // Day 0, 1, 2 or 99: zoom and scale back to 0, the range of the day, hint 22224.
  void SelectDay(int day);

  // Created on the first attach; the NN searches run on it.
  THeartRateTrend* GetTrend() const { return trend_.get(); }
  int GetSearchInterval() const { return search_interval_; }
  int GetSearchBeat() const { return search_beat_; }
  void SetSearch(int interval, int beat) {
    search_interval_ = interval;
    search_beat_ = beat;
  }
  // Set by the first chart that carried out a forwarded command; the others only follow.
  bool IsHandled() const { return handled_; }
  void SetHandled(bool handled) { handled_ = handled; }

  // The window of the HRV screen now shown; nullptr without one.
  static CHRVTrendWnd* Current();

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void AddCommands();
  // Clears handled and sends the command down the tree; the first chart carries it out.
  void Forward(int id);
  void ShowScreen(int kind);
  // The stored extreme position (samples) as ms, truncated.
  int64_t PositionMs(int32_t samples) const;

  std::unique_ptr<THeartRateTrend> trend_;
  int search_interval_ = 0;
  int search_beat_ = -1;
  bool handled_ = false;
  int64_t visible_start_ = 0;
  int64_t visible_end_ = 0;
};
