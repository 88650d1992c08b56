#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "layouts/legend_items.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace win {
class Window;
}

// One row of the tick strip: a tick for every beat or event of its code inside the displayed span,
// a bar over every event's duration, and on the bradycardia and tachycardia rows a pair of
// triangles at the stored heart-rate minimum or maximum. Columns are whole seconds scaled onto the
// row; an empty span or a row too narrow for a column draws the background only.
class CEventTickItem : public CLegendItem {
 public:
  using CLegendItem::CLegendItem;
  void Draw(gfx::Canvas& dc) override;
};

// The middle column of the navigation band: the tick rows and an inverted position line at the
// current position, which the user drags to move it (a clock-time readout follows while the button
// is held). It also carries out the navigation commands that the navigation window passes down,
// through the document's go-to operations. User-interface thread only.
class CEventTickArea : public CViewArea, public CFollowCaliperHost {
 public:
  CEventTickArea(CViewAreaConfig* config, CZK470Doc* document, int variant);
  ~CEventTickArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // The column of the current position, stored in the document; nullopt (and column 0) when the
  // span or the area leaves no column defined.
  std::optional<int> UpdateCursorColumn();
  // Moves the current position to the time under x, for left < x < right only.
  void SetPositionFromX(int x);

  gfx::Rect GetCaliperRect() const override { return rect_; }
  win::Window* GetCaliperWindow() const override;
  int GetCursorColumn() const override;

  const LegendItems& Items() const { return items_; }
  bool IsDragging() const { return dragging_; }
  CCaliper* GetCaliper() const { return caliper_.get(); }

 private:
  // Draws the position line at the stored column (R2_NOT: twice erases it).
  void DrawPositionLine(gfx::Canvas& dc);
  // Erases the line at the old column, recomputes the column, draws it at the new one.
  void RedrawPositionLine();
  void RedrawPositionLine(gfx::Canvas& dc);
  int HandleCommand(uint32_t command, win::WParam wparam);
  void Send(int hint);
  void SendMouseHint(int hint, unsigned flags, const gfx::Point& point);

  LegendItems items_;
  bool dragging_ = false;
  bool line_shown_ = false;
  std::unique_ptr<CStripTimeCaliper> caliper_;
  unsigned last_flags_ = 0;
  int last_x_ = 0;
  int last_y_ = 0;
  win::Window* host_ = nullptr;
};

class CEventTickAreaConfig : public CViewAreaConfig {
 public:
  CEventTickAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                       int variant)
      : CViewAreaConfig(position, min_size, per_mille, clip), variant_(variant) {}
  std::string_view GetClassName() const override { return "CEventTickAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetVariant() const { return variant_; }

 private:
  int variant_ = 0;
};
