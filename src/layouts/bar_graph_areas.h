#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/window_area.h"

// Toolbar commands of the bar-graph window: the three groups of six codes.
inline constexpr int kBarGraphOtherGroupCommand = 136;        // group 3, codes 3-8
inline constexpr int kBarGraphSupraventricularCommand = 137;  // group 2, codes 9-14
inline constexpr int kBarGraphVentricularCommand = 138;       // group 1, codes 15-20
inline constexpr int kBarGraphToolBarId = 0xE800;

// Bars of a recording of whole_minutes: 24, or one per whole hour of a longer one.
int HourlyBarCount(int whole_minutes);
// Beats of the class and events of the kind code per hour, for hours 0 .. bar_count - 1.
std::vector<int> HourlyCounts(const CZK470Doc& doc, int code, int bar_count);

// An hourly bar graph: a bar per hour of the recording, the value axis rounded up to tens with
// its grid, the hour labels and a title. The base counts nothing; a derived class fills the
// hourly values in ComputeValues, which every layout pass runs first. User-interface thread only.
class CBarGraphArea : public CViewArea {
 public:
  CBarGraphArea(CViewAreaConfig* config, CZK470Doc* document);

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  virtual void ComputeValues() {}

  int BarCount() const { return bar_count_; }
  const gfx::Rect& Bar(int i) const { return bars_.at(static_cast<size_t>(i)); }
  int HourValue(int i) const { return hour_values_.at(static_cast<size_t>(i)); }
  int ScaleMax() const { return scale_max_; }
  int ValueMax() const { return value_max_; }
  int LeftMargin() const { return left_margin_; }
  int BottomMargin() const { return bottom_margin_; }
  const std::string& Caption() const { return caption_; }
  gfx::Color BarColour() const { return bar_brush_.color; }

 protected:
  // Sets the bar count and all values to 0.
  void ResetValues(int bar_count);

  std::string caption_;
  std::vector<gfx::Rect> bars_;
  int bar_count_ = 0;
  gfx::Brush bar_brush_;
  gfx::Rect graph_rect_;
  std::vector<int> hour_values_;
  int scale_max_ = 0;
  int value_max_ = 0;
  gfx::Pen grid_pen_{gfx::PenStyle::kDot, 1, gfx::Rgb(192, 192, 192)};
  int left_margin_ = 0;
  int bottom_margin_ = 0;
};

class CBarGraphAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CBarGraphAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The bar graph of one beat class or event kind (class slot; -1 none, which draws only a frame).
class CClassBarGraphArea : public CBarGraphArea {
 public:
  CClassBarGraphArea(CViewAreaConfig* config, CZK470Doc* document);

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void ComputeValues() override;

  int GetClassSlot() const { return class_slot_; }

 private:
  int class_slot_ = -1;
};

class CClassBarGraphAreaConfig : public CBarGraphAreaConfig {
 public:
  CClassBarGraphAreaConfig() = default;
  CClassBarGraphAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                           int class_slot)
      : CBarGraphAreaConfig(position, min_size, per_mille, clip), class_slot_(class_slot) {}

  std::string_view GetClassName() const override { return "CClassBarGraphAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

  int GetClassSlot() const { return class_slot_; }
  // Takes effect when the areas are created next.
  void SetClassSlot(int class_slot) { class_slot_ = class_slot; }

 private:
  int class_slot_ = -1;
};

// The window of the hourly bar graphs: six class graphs showing one group of six codes, a toolbar
// that switches the group; the document keeps the group while it is open.
class CBarGraphWnd : public CAreaWnd {
 public:
  CBarGraphWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CBarGraphWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  // Group 1, 2 or 3: the graphs are made anew for its codes and painted at once.
  void SelectGroup(int group);
  int GetGroup() const { return group_; }
  // The first code of a group (15, 9 or 3).
  static int FirstCodeOfGroup(int group);

 private:
  void SetChildSlots();

  int16_t group_ = 1;
};

class CBarGraphWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CBarGraphWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};
