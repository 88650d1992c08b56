#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "gfx/geometry.h"
#include "layouts/drag_image.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/tip_button.h"

namespace gfx {
class Canvas;
}
namespace win {
class ClientDc;
}
class CTemplateClassesWnd;
class CTemplateDetailWnd;

// A template browser's node: the browser's slot on the page (0..23), which also numbers its
// buttons.
class CTemplateBrowserAreaConfig : public CViewAreaConfig {
 public:
  CTemplateBrowserAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                             int slot);
  ~CTemplateBrowserAreaConfig() override;

  std::string_view GetClassName() const override { return "CTemplateBrowserAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetSlot() const { return slot_; }

 private:
  int slot_ = 0;
};

// The template detail area's node; its slot is not used.
class CTemplateDetailAreaConfig : public CTemplateBrowserAreaConfig {
 public:
  using CTemplateBrowserAreaConfig::CTemplateBrowserAreaConfig;
  std::string_view GetClassName() const override { return "CTemplateDetailAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Texts and colours that the browsers and the detail area share.
namespace templatetext {
inline constexpr int kTitleString = 16000;
inline constexpr int kSecondString = 16003;
inline constexpr int kMillivoltString = 16004;
inline constexpr int kCountTip = 23010;
inline constexpr int kNextTip = 23011;
inline constexpr int kPreviousTip = 23012;
// Names of the record's special classes in its order: normal 1, normal 2, VES 1, VES 2, SVES 1,
// SVES 2.
inline constexpr int kSpecialNames[6] = {32942, 32940, 32941, 32261, 32262, 32943};
// The family's label ("Normal", "VES", ...), empty for none.
std::string FamilyLabel(int family);
}  // namespace templatetext

// One template class in one slot of the template classes window: title bar with the row number
// (white on blue for the cursor row), family label and special-class name, a member beat as an
// ECG strip with labels, the member number, PREV / NEXT buttons and the beat count on a button
// that opens the beat page. A press on the area lifts the strip and drags it; dropped on another
// browser the class merges into that one. The buttons are children of the hosting window, made
// in Attach. User-interface thread only.
class CTemplateBrowserArea : public CViewArea {
 public:
  static constexpr int kCountButtonId = 35000;
  static constexpr int kPreviousButtonId = 35100;
  static constexpr int kNextButtonId = 35200;
  // The title bar of the cursor row: blue (0x00BBGGRR).
  static constexpr gfx::Color kCursorTitleColour = 0xFF0000;
  static constexpr gfx::Color kCalibrationColour = 0x0000FF;

  CTemplateBrowserArea(CTemplateBrowserAreaConfig* config, CZK470Doc* document);
  ~CTemplateBrowserArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  int Slot() const { return slot_; }
  bool IsDragging() const { return dragging_; }
  const gfx::Rect& StripRect() const { return strip_rect_; }
  const gfx::Rect& DragImageRect() const { return image_rect_; }
  // Where the drag image was last inverted in, in the window's client coordinates; empty when
  // it is not shown.
  const gfx::Rect& DragImageShownAt() const { return drag_image_.ShownAt(); }
  CTipButton& CountButton() { return count_button_; }
  CRepeatButton& PreviousButton() { return previous_button_; }
  CRepeatButton& NextButton() { return next_button_; }
  void Refresh();

 private:
  void UpdateCountButton();
  void SetStripRect();
  void DrawFrameAndTitle(gfx::Canvas& dc) const;
  void DrawLabels(gfx::Canvas& dc) const;
  void DrawCalibration() const;
  void DrawStrip(gfx::Canvas& dc) const;
  void MakeCursorRow();
  void BeginDrag(gfx::Point point);
  void EndDrag(gfx::Point point);
  void Invalidate(const gfx::Rect& rect) const;
  int ChannelGap() const;

  int slot_ = 0;
  CTemplateClassesWnd* window_ = nullptr;
  CViewArea* pixel_grid_ = nullptr;
  CTipButton count_button_;
  CRepeatButton previous_button_;
  CRepeatButton next_button_;
  int family_ = -1;
  int count_ = 0;
  gfx::Rect strip_rect_;
  gfx::Rect image_rect_;
  bool dragging_ = false;
  CDragImage drag_image_;
};

// The class on show in the beat page (the selected row) drawn large in the template detail
// window: title, labels, the calibration, the member beat without labels, PREV / NEXT and the
// count. User-interface thread only.
class CTemplateDetailArea : public CViewArea {
 public:
  static constexpr int kPreviousButtonId = 35100;
  static constexpr int kNextButtonId = 35200;

  CTemplateDetailArea(CTemplateDetailAreaConfig* config, CZK470Doc* document);
  ~CTemplateDetailArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  CTipButton& CountButton() { return count_button_; }
  CRepeatButton& PreviousButton() { return previous_button_; }
  CRepeatButton& NextButton() { return next_button_; }
  void Refresh();

 private:
  void UpdateCountButton();
  void Invalidate() const;

  CTemplateDetailWnd* window_ = nullptr;
  CTipButton count_button_;
  CRepeatButton previous_button_;
  CRepeatButton next_button_;
  int family_ = -1;
  int count_ = 0;
};
