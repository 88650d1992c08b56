#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

class CECGWnd;

namespace win {
class ClientDc;
}

// The stretch of one beat that is not normal on the page: its row, the columns it covers (0 = the
// row's left edge) and its class.
struct CBeatMarkSpan {
  CBeatMarkSpan() = default;
  CBeatMarkSpan(int row, int left_x, int right_x, int beat_class)
      : row(row), right_x(right_x), left_x(left_x), beat_class(beat_class) {}
  int row = 0;
  int right_x = 0;
  int left_x = 0;
  int beat_class = 0;
  friend bool operator==(const CBeatMarkSpan&, const CBeatMarkSpan&) = default;
};

// The full-disclosure page in the body of the ECG page window: rows of compressed ECG, one pixel
// column per time slice drawn from the slice's extremes, beats other than normal in their class
// colour, a one-second and one-millivolt calibration mark, and an inverting box over the main
// strip's window. Its time window lives in the document so that the row times follow it. Clicks
// and drags move the current position; the page window's commands page it. The traces are built
// once per rebuild, as large as the area. User-interface thread only.
class CFullDisclosureArea : public CViewArea {
 public:
  CFullDisclosureArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CFullDisclosureArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // Geometry when asked, time window when asked, then traces, marks, row times and box width.
  void Rebuild(bool geometry, bool window);

  // The built page, for tests and printing: per displayed channel one point per column of every
  // row (row r, column x at r x width + x).
  const std::vector<std::vector<gfx::Point>>& Traces() const { return traces_; }
  const std::vector<CBeatMarkSpan>& Marks() const { return marks_; }
  int RowLengthMs() const { return row_ms_; }
  int PageLengthMs() const { return page_ms_; }
  int BoxWidth() const { return box_width_; }
  bool IsDragging() const { return dragging_; }
  bool RecentreRequested() const { return recentre_ != 0; }
  int RowCount() const;
  // One part of the box: the outer rectangle and the inner one (not inset at a cut edge).
  struct BoxPart {
    gfx::Rect outer;
    gfx::Rect inner;
  };
  // Where the box lies for the current position; empty when the position is off the page.
  std::vector<BoxPart> BoxParts() const;

 private:
  void ComputeGeometry();
  void ComputeTimeWindow();
  void BuildTraces();
  void BuildMarks();
  void ComputeBoxWidth();
  bool HasSamples() const;
  int Width() const { return rect_.right - rect_.left; }
  int PageStart() const { return document_->GetViewFields().page_start_ms; }
  int PageEnd() const { return document_->GetViewFields().page_end_ms; }
  void SetPageStart(int64_t start);
  int ClampPosition(int64_t position) const;
  // The host row whose rectangle holds the point, -1 none.
  int RowAt(gfx::Point point) const;
  void MoveBoxTo(gfx::Point point);
  // XOR: a second draw erases.
  void DrawBox(gfx::Canvas& dc) const;
  void DrawBoxOnClient();
  void DrawCalibration(gfx::Canvas& dc) const;
  void Invalidate();
  void Hints(int first, int second);
  // The sample of a channel at the build's cursor; past the loaded minutes 0.
  int16_t SampleAt(size_t channel, size_t minute, int sample) const;

  CECGWnd* host_ = nullptr;
  CZK470Doc::MinuteBlockArrays blocks_;
  // The build's sample cursor: the sample within the first loaded minute where the page starts.
  int first_sample_ = 0;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
  int page_ms_ = 0;
  int row_ms_ = 0;
  int channel_count_ = 0;
  std::vector<std::vector<gfx::Point>> traces_;
  std::vector<CBeatMarkSpan> marks_;
  int box_width_ = 4;
  bool dragging_ = false;
  std::unique_ptr<win::ClientDc> drag_dc_;
  gfx::Pen box_pen_;
  gfx::Brush box_brush_;
  int recentre_ = 0;
};

class CFullDisclosureAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CFullDisclosureAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
