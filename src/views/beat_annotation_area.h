#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

class CECGSampleWnd;

// The beat-annotation row of a sample window (layout 12): a time line with a tick at every beat
// and, between neighbouring beats, the RR interval (ms) and the heart rate (beats per minute).
class CSampleAnnotationAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSampleAnnotationAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The same row in the main strip window, following the document's strip window.
class CBeatAnnotationAreaConfig : public CSampleAnnotationAreaConfig {
 public:
  using CSampleAnnotationAreaConfig::CSampleAnnotationAreaConfig;
  std::string_view GetClassName() const override { return "CBeatAnnotationAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Builds, on every layout and refresh, the host window's text cells (one per RR interval in
// view) and beat label cells (one per beat in view), which the label row draws and the strip
// area hit-tests; draws the line, ticks and texts. Times are ms from the recording start.
class CSampleAnnotationArea : public CViewArea {
 public:
  // More than this many pixels of edge gap get a cell of the interval that crosses the edge.
  static constexpr int kEdgeGap = 30;
  // A cell that reaches past the left edge by more than this is cut at the edge.
  static constexpr int kLeftCut = 25;
  static constexpr int kMarkerWidthMs = 250;

  CSampleAnnotationArea(CViewAreaConfig* config, CZK470Doc* document);

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  // Sample variant: the window start of the slot, as its strip area keeps it.
  virtual int GetStartTime() const;
  virtual int GetEndTime() const;
  // Whether the window to annotate is known: a strip start of 0 or more, or in a slot a window
  // its strip area has computed (an early example may start before the recording).
  virtual bool HasWindowStart() const;

  void Refresh();
  void BuildCells(const gfx::Rect& rect);
  int GetSampleSlot() const { return sample_slot_; }

 protected:
  CECGSampleWnd* Host() const;

  int sample_slot_ = -1;
};

class CBeatAnnotationArea : public CSampleAnnotationArea {
 public:
  using CSampleAnnotationArea::CSampleAnnotationArea;

  int GetStartTime() const override;
  int GetEndTime() const override;
  bool HasWindowStart() const override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
};
