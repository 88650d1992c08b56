#pragma once

#include <array>
#include <cstdint>

#include "views/ecg_page_window.h"
#include "win/controls.h"
#include "win/dialog.h"

class CZK470Doc;

namespace platform {
class ProfileStore;
class ResourcePack;
}  // namespace platform

// The auto-scroll dialog of the ECG page: a modeless dialog over the page window that pages it
// forward on a timer whose interval a slider chooses (0 slowest .. 10 fastest), with a start/stop
// button. Its place on the screen is kept in the profile under "ECG\AutoScroll"; the slider
// position is the document's "Scroll-Speed". Closing its window ends auto-scroll through the page
// window, which owns the object. User-interface thread only.
class TAutoScrollDlg : public win::Dialog, public CAutoScrollDialog {
 public:
  static constexpr int kTemplateId = 235;
  static constexpr int kStartStopId = 1190;
  static constexpr int kSliderId = 1182;
  static constexpr int kStartText = 23015;
  static constexpr int kStopText = 23016;
  static constexpr uintptr_t kPageTimer = 1;
  static constexpr uintptr_t kSliderTimer = 2;
  static constexpr uintptr_t kFocusTimer = 3;
  static constexpr int kSliderPollMs = 500;
  static constexpr int kFocusPollMs = 100;
  // The page interval per slider position; 0 is the window system's shortest.
  static constexpr std::array<int, 11> kIntervalsMs = {3700, 3400, 3100, 2800, 2500, 2200,
                                                       1900, 1600, 1300, 1000, 0};
  enum State { kNotStarted = 0, kRunning = 1, kStopped = 2 };

  // The document, the profile and the owner must outlive the dialog.
  TAutoScrollDlg(CZK470Doc& document, CAutoScrollOwner& owner, platform::ProfileStore& profile);
  ~TAutoScrollDlg() override;

  // Creates and shows the window over the owner's window.
  bool Open();

  // CAutoScrollDialog
  bool IsOpen() const override { return IsWindow(); }
  // Writes the window's place to the profile, stops the timers and ends the window.
  void Close() override;
  void StartStop() override;

  int Position() const { return position_; }
  int GetState() const { return state_; }

 protected:
  bool OnInitDialog() override;
  // Enter and Esc do nothing: the dialog stays while the user reads the page.
  void OnOK() override {}
  void OnCancel() override {}
  void OnClose() override;
  void OnTimer(uintptr_t id) override;

 private:
  int Interval() const { return kIntervalsMs[static_cast<size_t>(position_)]; }
  void PlaceWindow();

  win::Button start_stop_;
  win::Slider slider_;
  CZK470Doc& document_;
  CAutoScrollOwner& owner_;
  platform::ProfileStore& profile_;
  int position_ = 5;
  int state_ = kNotStarted;
};

// Lets the page window open this dialog; called once at start-up with the program's profile.
void InstallAutoScrollDialog(platform::ProfileStore& profile);

// The template of the dialog and the texts of the ECG page, its row times, its channel choices and
// the ST value scale.
void AddECGPageResources(platform::ResourcePack& pack);
