#pragma once

#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

// The vertical value axis left of the ST trend graph: whole-number ticks and labels of the ST
// range, zero at the vertical centre, and the axis captions. The range comes from the trend graph
// with area message 1023; a new layout starts at -3 .. 3. User-interface thread only.
class CSTScaleArea : public CViewArea {
 public:
  using CViewArea::CViewArea;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void Attach(CBaseView* view) override;

  int RangeMin() const { return range_min_; }
  int RangeMax() const { return range_max_; }

  // The caption texts.
  static constexpr int kTrendCaption = 14377;
  static constexpr int kSTCaption = 14391;
  static constexpr int kLevelCaption = 14392;
  static constexpr int kSlopeCaption = 14393;

 private:
  win::Window* host_ = nullptr;
  int range_min_ = -3;
  int range_max_ = 3;
  int range_span_ = 6;
};

class CSTScaleAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSTScaleAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
