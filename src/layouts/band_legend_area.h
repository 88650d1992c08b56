#pragma once

#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

// The narrow band left of the event legend: the 22 legend rows grouped by framed boxes, the
// general codes, the supraventricular codes (light blue, lettered down the box with the SVES name),
// the ventricular codes (white, the same name without its first letter) and the last two rows
// (light blue). Writes the legend row height as the other legend columns do.
class CBandLegendArea : public CViewArea {
 public:
  static constexpr int kRows = 22;
  // The string whose letters the boxes show: the display name of the SVES class.
  static constexpr int kNameStringId = 4109;

  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  const gfx::Rect& GeneralBox() const { return general_box_; }
  const gfx::Rect& SupraBox() const { return supra_box_; }
  const gfx::Rect& VentricularBox() const { return ventricular_box_; }
  const gfx::Rect& LastBox() const { return last_box_; }

 private:
  gfx::Rect general_box_;
  gfx::Rect supra_box_;
  gfx::Rect ventricular_box_;
  gfx::Rect last_box_;
};

class CBandLegendAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CBandLegendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// A plain frame in the band's place on the ST screen.
class CFrameBoxArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CFrameBoxAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CFrameBoxAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
