#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

class CECGSampleWnd;

// The event label row of a sample window (layout 12).
class CSampleEventLabelAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSampleEventLabelAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The same row over the main strip.
class CEventLabelAreaConfig : public CSampleEventLabelAreaConfig {
 public:
  using CSampleEventLabelAreaConfig::CSampleEventLabelAreaConfig;
  std::string_view GetClassName() const override { return "CEventLabelAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// A transparent row over the channel strips of its host window: the short name of every event
// that starts in the window's time window, staggered over six lines so that close names do not
// overlap, and the recorder's zero-set marks between the first two strips. Fills the host
// window's event and mark cells on each layout and refresh. Times are ms from the recording
// start.
class CSampleEventLabelArea : public CViewArea {
 public:
  static constexpr int kMarkerWidthMs = 250;
  static constexpr int kMarkWidthMs = 200;
  // Labels whose left edges lie closer than this step down one line.
  static constexpr int kLabelSpacing = 60;
  static constexpr int kLabelLines = 6;

  CSampleEventLabelArea(CViewAreaConfig* config, CZK470Doc* document);

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  virtual int GetStartTime() const;
  virtual int GetEndTime() const;

  void Refresh();
  void BuildEventCells(const gfx::Rect& rect);
  void BuildMarkCells(const gfx::Rect& rect);
  int GetSampleSlot() const { return sample_slot_; }

 protected:
  CECGSampleWnd* Host() const;
  void DrawEventLabels(gfx::Canvas& dc);
  void DrawMarks(gfx::Canvas& dc);

  int sample_slot_ = -1;
};

class CEventLabelArea : public CSampleEventLabelArea {
 public:
  using CSampleEventLabelArea::CSampleEventLabelArea;

  int GetStartTime() const override;
  int GetEndTime() const override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
};
