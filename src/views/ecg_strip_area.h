#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

class CECGSampleWnd;
class CLabelCell;
class THeartRateTrend;

// The node of one stored example strip inside an ECG sample window.
class CSampleStripAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSampleStripAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The node of the main ECG strip inside the strip window.
class CECGStripAreaConfig : public CSampleStripAreaConfig {
 public:
  using CSampleStripAreaConfig::CSampleStripAreaConfig;
  std::string_view GetClassName() const override { return "CECGStripAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Draws several seconds of every channel of the recording inside an ECG sample window: the
// window around a reference position (here the example-strip time of the window's slot for the
// kind chosen in the event legend), one point per pixel column (first extreme of the column's
// samples, the last carried on), the stretch of every beat label cell of the host window in its
// class colour, 1 mV marks at pacemaker event labels and red 1 mV / 1 s calibration bars.
//
// The strip's window (start and end, ms from the recording start) is written into the document
// (the slot's sample window fields), where the label rows of the same window read it; an example
// close to the recording start may begin before 0, and shows zero there. Columns are sized from
// the area, however wide it is. Pixel scale, channel bands and cells belong to the host window.
// User-interface thread only.
class CSampleStripArea : public CViewArea {
 public:
  CSampleStripArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CSampleStripArea() override;

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  // 41101, 41102: recompute and repaint.
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  // The position (ms) the strip is laid around; -1 when there is none (no example stored).
  virtual int GetReferencePosition() const;
  // Recomputes the strip (when there is a reference), repaints it and tells the layout (1024).
  // reset_cursor matters to the main strip only.
  virtual void Refresh(bool reset_cursor);

  // The strip's window in the document, ms.
  int GetStart() const { return *start_address_; }
  void SetStart(int ms) { *start_address_ = ms; }
  int GetEnd() const { return *end_address_; }
  void SetEnd(int ms) { *end_address_ = ms; }

  int GetSampleSlot() const { return sample_slot_; }
  int GetEventClass() const { return event_class_; }
  int GetWindowMs() const { return window_ms_; }
  int GetStripChannelCount() const { return channels_; }
  double GetStripPixelsPerSecond() const { return pixels_per_second_; }
  double GetStripPixelsPerMV() const { return pixels_per_mv_; }
  // The computed columns of a channel: points (x = left + column + 1) and values in microvolts.
  const std::vector<gfx::Point>& Points(int channel) const;
  const std::vector<int32_t>& Microvolts(int channel) const;

 protected:
  // The hosting sample window; nullptr outside one or once it is gone.
  CECGSampleWnd* Host() const;
  const std::vector<CLabelCell>* BeatCells() const;
  const std::vector<CLabelCell>* EventCells() const;
  bool HasSamples() const;
  void Recompute();
  void UpdateScales();
  void ComputeWindow();
  void ComputePoints();
  void ComputeHeartRate();
  void AskEventClass();
  // The colour of a beat-class or event-kind code in the document's colour table.
  gfx::Color CodeColour(int code) const;
  int ColumnOf(int x) const { return x - rect_.left - 1; }

  std::array<std::vector<int32_t>, 3> microvolts_;
  std::array<std::vector<gfx::Point>, 3> points_;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
  int window_ms_ = 0;
  int channels_ = 1;
  bool capturing_ = false;
  // A client canvas of the host window while the mouse is captured.
  std::unique_ptr<win::ClientDc> client_dc_;
  std::unique_ptr<THeartRateTrend> heart_rate_;
  // Before attach the window lives here; then in the document.
  int32_t own_start_ = 0;
  int32_t own_end_ = 0;
  int32_t* start_address_ = &own_start_;
  int32_t* end_address_ = &own_end_;
  int event_class_ = 0;
  int sample_slot_ = -1;
  // The host is reached through its handle: it may go before the areas inside it.
  win::WindowHandle host_handle_ = 0;
  CECGSampleWnd* host_ = nullptr;
};

// The main ECG strip: its reference is the document's current position, at one third of the
// strip under a position cursor. It pages the position through the recording (32783, 32784),
// takes the position from the cursor (32823), answers where the cursor is (41100, 41103) and what
// lies at a point (1009 beats, 1020 event labels, 1030 pacemaker events: a CHitRecord in lparam),
// moves the cursor with the left mouse button and hosts the two-cursor ECG caliper, which
// replaces the cursor while the document's caliper flag is set (32957 toggles it).
class CECGStripArea : public CSampleStripArea, public CECGCaliperSource {
 public:
  static constexpr int kMarkerWidthMs = 250;

  CECGStripArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CECGStripArea() override;

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  int GetReferencePosition() const override;
  void Refresh(bool reset_cursor) override;

  // XOR bars at the top and bottom edge around the cursor, kept inside the strip; a second
  // call erases them.
  void DrawCursor(gfx::Canvas& dc);
  // Only strictly inside the strip: erases the cursor, moves it, draws it again.
  void MoveCursor(int x);
  int GetCursorX() const { return cursor_x_; }
  int GetCursorHalfWidth() const { return cursor_half_width_; }
  CECGCaliper* GetCaliper() const { return caliper_.get(); }

  // What the caliper reads.
  gfx::Rect GetCaliperRect() const override { return rect_; }
  win::Window* GetCaliperWindow() const override;
  double GetPixelsPerSecond() const override { return pixels_per_second_; }
  int32_t GetMicrovoltsAt(int channel, int x) const override;
  int GetChannelCount() const override { return channels_; }
  int32_t GetRecorderChannel(int channel) const override;
  int32_t GetStripStartMs() const override { return GetStart(); }

 private:
  bool CaliperOn() const;
  int HalfWidth() const;
  // Runs the host window's command (the strip window deletes the beat at its cursor on 32950).
  void RunHostCommand(int command);
  void HitTest(uint32_t msg, win::WParam wparam, win::LParam lparam) const;
  int CursorMs() const;
  void NextPage();
  void PreviousPage();
  void TakeCursor();
  void SwitchCaliper(win::WParam wparam);
  void MoveCursorToShortestRR();

  gfx::Pen cursor_pen_;
  gfx::Brush cursor_brush_;
  int cursor_x_ = 0;
  int cursor_half_width_ = 0;
  std::unique_ptr<CECGCaliper> caliper_;
};
