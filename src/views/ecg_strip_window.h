#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/update_hints.h"
#include "gfx/geometry.h"
#include "win/toolbar_window.h"
#include "win/window.h"

class CZK470Doc;

namespace views {

// A window that shows the recording as rows of ECG strips, one under the other, each row a
// whole number of seconds wide and drawn by CECGStripPainter. The horizontal scroll bar counts
// seconds: its position is the start of the first row, its page what all rows show together;
// a line moves one second, a page one window's worth. A drawn toolbar and a context menu change
// gain and paper speed. Repaints when the document says its content changed. The document must
// outlive the window. User-interface thread only.
class CECGStripWindow : public win::Window, public document::DocumentView {
 public:
  static constexpr int kCmdGainDown = 0x9C41;
  static constexpr int kCmdGainUp = 0x9C42;
  static constexpr int kCmdSpeedDown = 0x9C43;
  static constexpr int kCmdSpeedUp = 0x9C44;
  // One command per entry of kGainsMmPerMv and kSpeedsMmPerS, in order.
  static constexpr int kCmdGainFirst = 0x9C50;
  static constexpr int kCmdSpeedFirst = 0x9C60;
  static constexpr std::array<double, 3> kGainsMmPerMv = {5.0, 10.0, 20.0};
  static constexpr std::array<double, 3> kSpeedsMmPerS = {12.5, 25.0, 50.0};
  // Left of every row: its start time.
  static constexpr int kTimeMargin = 64;
  static constexpr int kRowGap = 10;
  static constexpr int kChannelHeight = 70;
  static constexpr gfx::Color kTraceColour = 0x000000;
  static constexpr gfx::Color kFrameColour = 0xC0C0C0;

  CECGStripWindow();
  ~CECGStripWindow() override;

  // A top-level window when parent is nullptr, else a child; kWsHScroll is added to style.
  bool CreateStrip(CZK470Doc& document, win::Window* parent, const gfx::Rect& rect, uint32_t style,
                   int id = 0);

  double Gain() const { return kGainsMmPerMv[gain_index_]; }
  double Speed() const { return kSpeedsMmPerS[speed_index_]; }
  int RowSeconds() const { return row_seconds_; }
  int RowCount() const { return row_count_; }
  // The seconds the recording has for scrolling.
  int TotalSeconds() const { return total_seconds_; }
  // The time window of each row as the last paint drew it: painter start and end in ms.
  struct PaintedRow {
    int start_ms = 0;
    int end_ms = 0;
  };
  const std::vector<PaintedRow>& PaintedRows() const { return painted_rows_; }
  int PaintCount() const { return paint_count_; }
  win::Window& ToolBar();

  void OnUpdate(document::DocumentView* sender, int hint, THintObject* object) override;
  std::string_view ClassName() const override { return "ECGStripWindow"; }

 protected:
  int OnCreate() override;
  void OnDestroy() override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  // Row length, row count and the scroll range from the window size, speed and recording.
  void Layout();
  void OnHScroll(int code);
  void ScrollTo(int pos);
  void SetGain(int index);
  void SetSpeed(int index);
  gfx::Rect RowsRect() const;

  CZK470Doc* document_ = nullptr;
  std::unique_ptr<win::TextToolBarWindow> toolbar_;
  size_t gain_index_ = 1;
  size_t speed_index_ = 1;
  int row_seconds_ = 1;
  int row_count_ = 1;
  int total_seconds_ = 0;
  std::vector<PaintedRow> painted_rows_;
  int paint_count_ = 0;
};

}  // namespace views
