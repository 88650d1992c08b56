#pragma once

#include <memory>
#include <string_view>

#include "gfx/drawing_types.h"
#include "layouts/drag_image.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/controls.h"
#include "win/repeat_button.h"

class CPMTemplateWnd;

// One class area of the pacemaker page: its row number 0..11 on the page.
class CPMTemplateAreaConfig : public CViewAreaConfig {
 public:
  CPMTemplateAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                        int row);
  ~CPMTemplateAreaConfig() override;

  std::string_view GetClassName() const override { return "CPMTemplateAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetRow() const { return row_; }

 private:
  int row_ = 0;
};

// A row button: every step (press and repeat) tells the page window to step the row's member.
class CPMStepButton : public win::RepeatButton {
 public:
  CPMStepButton(int direction) : direction_(direction) {}
  void SetTarget(win::Window* target, int row) {
    target_ = target;
    row_ = row;
  }

 protected:
  void OnRepeat() override;

 private:
  int direction_ = 0;
  int row_ = 0;
  win::Window* target_ = nullptr;
};

// Shows one pacemaker class: header with the class name (blue when selected), the ECG around
// the current member's spike, member number and time of day, step buttons and member count;
// the area of row 8 also carries the calibration. A press starts a drag of the class; a drop on
// another class's area merges the two. User-interface thread only.
class CPMTemplateArea : public CViewArea {
 public:
  static constexpr int kCountButtonId = 35000;
  static constexpr int kPreviousButtonId = 35100;
  static constexpr int kNextButtonId = 35200;
  static constexpr int kCalibrationRow = 8;
  static constexpr int kTipNext = 23011;
  static constexpr int kTipPrevious = 23012;
  static constexpr int kSecondString = 16003;
  static constexpr int kMillivoltString = 16004;

  CPMTemplateArea(CPMTemplateAreaConfig* config, CZK470Doc* document);
  ~CPMTemplateArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  int Row() const { return row_; }
  bool IsDragging() const { return dragging_; }
  // Where the drag image stands in the page's client; empty when it is not shown.
  const gfx::Rect& DragImageShownAt() const { return drag_image_.ShownAt(); }
  const gfx::Rect& StripRect() const { return strip_rect_; }
  win::Button& CountButton() { return count_button_; }
  CPMStepButton& PreviousButton() { return previous_button_; }
  CPMStepButton& NextButton() { return next_button_; }

 private:
  void RefreshCount();
  void Select();
  void SetStripRect();
  void DrawCalibration(gfx::Canvas& dc) const;
  void InvalidateArea(const gfx::Rect& rect);
  void BeginDrag(gfx::Point point);

  int row_ = 0;
  CPMTemplateWnd* page_ = nullptr;
  bool dragging_ = false;
  win::Button count_button_;
  CPMStepButton previous_button_{0};
  CPMStepButton next_button_{1};
  gfx::Rect strip_rect_;
  gfx::Rect image_rect_;
  int last_count_ = 0;
  CViewArea* drag_object_ = nullptr;
  CDragImage drag_image_;
};
