#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/toolbar_model.h"
#include "win/window.h"

// The navigator's column of text buttons, docked at the left of its window: one button per
// command, all as wide as the widest text, with a gap between the heart-rate and the NN group.
// Takes the enabled states from the command window's update handlers; a click on an enabled
// button posts the command to that window. User-interface thread only.
class CHRNavigatorBar : public win::Window {
 public:
  static constexpr int kBarId = 0xE800;
  static constexpr int kButtonHeight = 22;
  // The lowest a button gets in a short bar: one line of the bar's font.
  static constexpr int kMinButtonHeight = 16;
  static constexpr int kGap = 8;
  // Pixels beside the text inside a button.
  static constexpr int kTextMargin = 6;

  struct Button {
    int id = 0;
    std::string text;
  };

  // buttons in order; a button of id 0 is the gap.
  explicit CHRNavigatorBar(std::vector<Button> buttons);

  // Measures the texts with the bar's font on a canvas of measure_on, then creates the bar as a
  // child of parent; commands go to command_window.
  bool CreateBar(win::Window& parent, win::Window& measure_on, win::Window& command_window);
  void UpdateButtons();

  int GetButtonWidth() const { return button_width_; }
  // The button's place in the bar's client area; empty for an id the bar does not carry.
  gfx::Rect ButtonRect(int id) const;
  // kButtonHeight, less in a bar too short for every button at that height.
  int ButtonHeight() const;
  const win::ToolBarModel& Model() const { return model_; }
  const gfx::Font& GetFont() const { return font_; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSize(int type, int cx, int cy) override { Invalidate(); }
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  std::string_view ClassName() const override { return "ToolbarWindow32"; }

 private:
  int ButtonAt(gfx::Point point) const;

  std::vector<Button> buttons_;
  win::ToolBarModel model_;
  win::Window* command_window_ = nullptr;
  gfx::Font font_;
  int button_width_ = 0;
  int pressed_ = -1;
};

// The hosted window of the navigator screen's upper half: docks the command bar at its left,
// passes the mouse and the commands to its areas, and enables the list-walking buttons from the
// navigator's end flags.
class CHRNavigatorWnd : public CAreaWnd {
 public:
  // String numbers of the button texts: 33294.. for the commands 33275..33288, then 33309 for
  // 33289 and 33308 for 33290.
  static constexpr int kFirstButtonString = 33294;
  static constexpr int kGoToNNMaxString = 33309;
  static constexpr int kGoToNNMinString = 33308;

  CHRNavigatorWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CHRNavigatorWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  CHRNavigatorBar* GetBar() const;

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;

 private:
  win::WindowHandle bar_handle_ = 0;
};

class CHRNavigatorWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CHRNavigatorWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Left of the navigator plot: the plot's heart-rate axis with ticks and labels, and in large type
// the local heart rate at the recording's stored maximum and minimum. Shows 40 .. 100 until the
// plot sends its first range (area message 1015 with four ints).
class CMinMaxScaleArea : public CViewArea {
 public:
  static constexpr int kTitleString = 14389;
  static constexpr int kHeartRateString = 14376;

  CMinMaxScaleArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CMinMaxScaleArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;

  int GetAxisMin() const { return axis_min_; }
  int GetAxisMax() const { return axis_max_; }
  int GetStoredMinRate() const { return stored_min_rate_; }
  int GetStoredMaxRate() const { return stored_max_rate_; }
  // The values labelled on the axis, bottom up.
  std::vector<int> TickLabels() const;

 private:
  int axis_min_ = 40;
  int axis_max_ = 100;
  int axis_span_ = 60;
  int stored_min_rate_ = 40;
  int stored_max_rate_ = 100;
};

class CMinMaxScaleAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CMinMaxScaleAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
