#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "recorder/online_monitor.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/messages.h"

class COnlineECGArea;
namespace recorder {
class RecorderLink;
}

// What the recorder screen needs of the dialogs and the automation above it; the application
// installs them at start-up. An empty slot cancels the communication-error question and ends no
// run.
struct RecorderScreenServices {
  // The communication-error dialog: true for Retry.
  std::function<bool()> ask_comm_retry;
  // Records the exit code of an automation run and ends a running one.
  std::function<void(int exit_code)> end_automation;
};
// Process-wide.
void SetRecorderScreenServices(RecorderScreenServices services);
const RecorderScreenServices& GetRecorderScreenServices();

// The node of the recorder area in the online screens.
class CRecorderAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CRecorderAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The online screen's connection to the recorder: owns the link, runs the live monitor on the
// timers of the window it lies in (start timer 3 once after 500 ms, then poll timer 2 every
// 50 ms), feeds the decoded frames to the channels' sweep areas, sends the single recorder
// commands of the menu and, on the panel's start button, programs and starts the recorder. Every
// way off the screen ends with one posted common end (display mode 0, hint 1005, the automation
// exit code), so the screen is never torn down while one of its own handlers runs.
// User-interface thread only; the link's reader thread only fills the link's queue.
class CRecorderArea : public CViewArea {
 public:
  static constexpr int kPollTimer = 2;
  static constexpr int kStartTimer = 3;
  static constexpr int kPollMs = 50;
  static constexpr int kStartDelayMs = 500;
  // 1.25 s without data.
  static constexpr int kMaxEmptyPolls = 25;

  // Area messages.
  static constexpr uint32_t kMsgTimer = 275;
  static constexpr uint32_t kCmdMonitor = 32772;
  static constexpr uint32_t kCmdExitMonitor = 32793;
  static constexpr uint32_t kCmdStartStream = 32794;
  static constexpr uint32_t kCmdReset = 32795;
  static constexpr uint32_t kCmdSetup = 32796;
  static constexpr uint32_t kCmdRecord = 32797;
  static constexpr uint32_t kCmdReview = 32798;
  static constexpr uint32_t kCmdTest = 32799;
  static constexpr uint32_t kCmdPowerOff = 32800;
  static constexpr uint32_t kCmdExitSetup = 32811;
  static constexpr uint32_t kCmdExitReview = 32812;
  static constexpr uint32_t kCmdStartMonitor = 32813;

  // Strings.
  static constexpr int kProgrammedString = 32787;
  static constexpr int kCommFailureString = 32788;
  static constexpr int kCardDriverString = 32789;
  static constexpr int kConverterDriverString = 33233;

  // Automation exit codes.
  static constexpr int kExitDone = 0;
  static constexpr int kExitFailed = 10;
  static constexpr int kExitLeft = 11;

  CRecorderArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CRecorderArea() override;

  void Attach(CBaseView* view) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  void StartMonitor();
  void StopMonitor();
  // 1 driver, 2 and 3 communication failure, other kinds without a message; then the common end
  // with exit code 10.
  void StopWithError(int kind);
  void OnStartTimer();
  void OnPollTimer();
  // Programs and starts the recorder, then leaves the screen (panel's start button).
  void ProgramAndStart();
  // Stops the monitor and leaves the screen (panel's cancel button).
  void Leave();

  // Through the link; a link that is not open stops with error kind 1.
  bool Send(std::string_view text, bool confirm);
  bool SendBytes(std::span<const uint8_t> bytes, bool confirm);

  bool IsLinkOpen() const { return link_open_; }
  bool IsMonitoring() const { return monitoring_; }
  int GetEmptyPolls() const { return empty_polls_; }
  int GetChannelCount() const { return channels_; }
  int GetLastFrames() const { return frames_; }
  COnlineECGArea* GetSweepArea(int channel) const;
  const TOnlineMonitorRing& GetRing() const { return ring_; }
  recorder::RecorderLink* GetLink() const { return link_.get(); }
  // Whether the common end was posted (it runs once).
  bool HasEnded() const { return ended_; }

 private:
  void OpenLink();
  bool SwitchTransferOn();
  void KillTimers();
  void DecodeAndFeed();
  // Posted: the area may be gone by the time it runs.
  void CommonEnd(int exit_code);
  win::Window* ParentWindow() const;

  // By handle: the window may be gone before this area is.
  win::WindowHandle parent_ = 0;
  std::unique_ptr<recorder::RecorderLink> link_;
  bool link_open_ = false;
  int empty_polls_ = 0;
  uintptr_t poll_timer_ = 0;
  uintptr_t start_timer_ = 0;
  std::array<COnlineECGArea*, TOnlineMonitorRing::kMaxChannels> sweeps_{};
  int channels_ = 2;
  std::array<TOnlineMonitorRing::Channel, TOnlineMonitorRing::kMaxChannels> samples_{};
  int frames_ = 0;
  bool monitoring_ = false;
  bool ended_ = false;
  TOnlineMonitorRing ring_;
};
