#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/window_area.h"

class CZK470Doc;
namespace platform {
class Locale;
}

// The auto-scroll dialog as the page window sees it: a modeless dialog that the dialogs library
// makes (it lies above this layer). The page window owns it while auto-scroll is on.
class CAutoScrollDialog {
 public:
  virtual ~CAutoScrollDialog() = default;
  // Whether its window still exists.
  virtual bool IsOpen() const = 0;
  // Ends the window as its own destruction does: its place goes to the profile, the timers stop.
  virtual void Close() = 0;
  // Start or stop paging, as its button does.
  virtual void StartStop() = 0;
};

// What the auto-scroll dialog asks of the page window that owns it.
class CAutoScrollOwner {
 public:
  virtual ~CAutoScrollOwner() = default;
  // The dialog's parent.
  virtual win::Window* GetOwnerWindow() = 0;
  // One page forward, as the page's own paging does.
  virtual void ScrollOnePage() = 0;
  // The user closed the dialog's window: the owner ends auto-scroll as its toggle command does.
  virtual void RequestClose() = 0;
};

// Makes and shows the auto-scroll dialog; nullptr when it cannot be made. Installed at start-up by
// the dialogs library; without one the toggle only ticks the command. Describes the program, not
// one run: the process reset keeps it.
using AutoScrollDialogFactory =
    std::function<std::unique_ptr<CAutoScrollDialog>(CZK470Doc&, CAutoScrollOwner&)>;
void SetAutoScrollDialogFactory(AutoScrollDialogFactory factory);

// What a change of the analysed channels needs of the application: the process-wide
// analysis-aborted flag and opening a recording again. Installed at start-up; an empty slot is
// skipped (the flag then reads as not aborted).
struct CECGPageServices {
  std::function<void(int aborted)> set_analysis_aborted;
  std::function<int()> is_analysis_aborted;
  std::function<bool(const std::string& path)> open_document;
  // The locale of the row times; nullptr: the system's. Not owned.
  const platform::Locale* locale = nullptr;
};
void SetECGPageServices(CECGPageServices services);

// The page speeds (mm/s) and gains (mm/mV) that "ECG-Speed" and "ECG-Amplitude" choose.
inline constexpr double kPageSpeeds[4] = {3.0, 4.0, 6.25, 12.5};
inline constexpr double kPageGains[4] = {1.25, 2.5, 2.5, 5.0};

// The ECG page window of layouts 1, 3, 11 and 20: holds the page's scales, the channel choice,
// the row geometry and the clock time of every row, owns the "ECG Window" toolbar and turns its
// commands into area messages for the full-disclosure page inside it. While auto-scroll is on it
// owns the auto-scroll dialog. User-interface thread only.
class CECGWnd : public CAreaWnd, public CAutoScrollOwner {
 public:
  CECGWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CECGWnd() override;

  // Scales from the document's indexes; clamps the channel mode to the recording, writes the
  // display channel set and the row height.
  void UpdateScale();
  void ComputePageRows(const gfx::Rect& r);
  // Also empties the texts and adds one empty text per row.
  void ComputeLabelRows(const gfx::Rect& r);
  // The clock time of every label row from the page's time window (the row-time column's texts).
  void UpdateTexts();

  const std::vector<gfx::Rect>& GetPageRows() const { return page_rows_; }
  const std::vector<gfx::Rect>& GetLabelRows() const { return label_rows_; }
  const std::vector<std::string>& GetRowTexts() const { return row_texts_; }
  void ClearPageRows() { page_rows_.clear(); }
  double PixelsPerSecond() const { return pixels_per_second_; }
  double PixelsPerMV() const { return pixels_per_mv_; }
  int RowHeight() const { return row_height_; }

  bool IsAutoScrollOn() const { return auto_scroll_ != nullptr; }
  CAutoScrollDialog* GetAutoScroll() const { return auto_scroll_.get(); }
  // Ends auto-scroll when it is on (the page area does this when it goes).
  void CloseAutoScroll();

  void Attach(CBaseView* view) override;
  void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  std::string_view ClassName() const override { return "ECGWnd"; }

  // CAutoScrollOwner
  win::Window* GetOwnerWindow() override { return this; }
  void ScrollOnePage() override;
  void RequestClose() override;

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void AddCommands();
  void AddGoTo(int id, bool (CZK470Doc::*go)(), int32_t (CZK470Doc::*position)() const, int moved_hint,
               bool extreme_shown);
  void AddGoToST(int id, int channel);
  void GoToMark();
  // After the document moved the current position: rebuild or repaint the page and tell the views.
  void AfterGoTo(int moved_hint);
  void ChooseChannels();
  void ChooseAnalysedChannels();
  void ToggleAutoScroll();
  void OpenAutoScroll();
  // Send n: the first area of the node that takes it; tell n: every area of the node.
  bool Send(uint32_t n, win::LParam lparam = 0);
  void Tell(uint32_t n);
  // The rows of rectangle r for the current scales.
  std::vector<gfx::Rect> ComputeRows(const gfx::Rect& r) const;
  int SpeedIndex() const;
  int AmplitudeIndex() const;

  std::vector<gfx::Rect> page_rows_;
  std::vector<gfx::Rect> label_rows_;
  std::vector<std::string> row_texts_;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
  std::unique_ptr<CAutoScrollDialog> auto_scroll_;
  int row_height_ = 0;
};

class CECGWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CECGWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The page window that hosts the node's area: the nearest ECG page window above it; nullptr when
// the node lies in none or its window does not exist.
CECGWnd* FindECGPageWindow(const CViewAreaConfig* node);

// The column of row start times beside the page.
class CECGRowTimeArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

 private:
  void Refresh();

  CECGWnd* host_ = nullptr;
};

class CECGRowTimeAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CECGRowTimeAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The texts of the page window and the row times, for the resource packs.
namespace ecgpage {
inline constexpr int kAnalysedChannelsCaption = 15108;
inline constexpr int kChannelsCaption = 15109;
inline constexpr int kConfirmReanalysis = 59397;
inline constexpr int kReanalysisAborted = 59398;
// The main view prints the event strips at once on this hint's command.
inline constexpr int kPrintEventStripsCommand = 32664;
}  // namespace ecgpage
