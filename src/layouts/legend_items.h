#pragma once

#include <memory>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"

class CViewAreaConfig;

class CViewArea;
class CZK470Doc;
class TCountsHint;

namespace platform {
class ResourcePack;
}

namespace gfx {
class Canvas;
}
namespace win {
class Window;
}

// The rows that the event legend, the event-tick strip and the count legend share: which beat
// classes and event kinds a variant lists, how the rows divide an area, and the one box per row
// that each of them draws. The three areas of one variant line up row by row.

// Rows of the supraventricular and last groups sit on light blue (COLORREF 0x00BBGGRR).
inline constexpr gfx::Color kLegendLightBlue = 0xF0CAA6;
inline constexpr gfx::Color kLegendWhite = 0xFFFFFF;

struct LegendRow {
  int code = 0;
  bool blue = false;
};

// The legends' own texts (the name of the SV bigeminy row): German to the German pack, English to
// every other one.
void AddLegendResources(platform::ResourcePack& pack);

// Variant 0 the 22 rows of the navigation band, 1 the ST screen's rows (markers, artefacts, an ST
// episode row per recorded channel 0..2, user events), 2 one row whose code the kind list sets, 3
// lead-off only; any other variant none.
std::vector<LegendRow> LegendRowsOfVariant(int variant);

// n rows of (bottom - top) / n pixels, the last rows one taller to take the remainder; each row
// but the last reaches one pixel into the next. Stores the row height in the document. No rows for
// n < 1.
std::vector<gfx::Rect> LayOutLegendRows(const gfx::Rect& area, int n, CZK470Doc* doc);

// The kinds a row's code stands for besides itself: SV bigeminy also SV trigeminy, arrhythmia also
// atrial fibrillation and flutter, lead-off also the recorder's two lead-off kinds.
std::vector<int> CoupledKinds(int code);
// Beat classes count beats, every other code events (with its coupled kinds).
bool IsBeatCode(int code);
int CountOfCode(const CZK470Doc& doc, int code);
// The display colour of a code from the document's colour setting; black for an index outside the
// table.
gfx::Color CodeColour(const CZK470Doc& doc, int code);

// Repaint of an area's rectangle in the window it draws in, at the next paint.
void InvalidateArea(const CViewArea& area, const gfx::Rect& rect);
// The window an area draws in once attached; nullptr without one.
win::Window* HostWindowOf(const CViewArea& area);
// Whether a hint rebuilds the legends: 1005 and 2057 without a slot object.
bool IsLegendRebuildHint(int hint, const void* object);

// One row's box, owned by its area.
class CLegendItem {
 public:
  CLegendItem(CZK470Doc* doc, int code, gfx::Color back) : doc_(doc), code_(code), back_(back) {}
  virtual ~CLegendItem() = default;

  void SetRect(const gfx::Rect& rect) { rect_ = rect; }
  virtual void Draw(gfx::Canvas& dc) = 0;

  const gfx::Rect& GetRect() const { return rect_; }
  int GetCode() const { return code_; }
  void SetCode(int code) { code_ = code; }
  gfx::Color GetBackColour() const { return back_; }

 protected:
  // The background: a frame with the canvas's pen over right_extra pixels less than the row, its
  // inside filled with the back colour.
  void DrawBox(gfx::Canvas& dc, gfx::Color back, int right_inset);

  gfx::Color text_ = 0x000000;
  gfx::Color selected_text_ = kLegendWhite;
  gfx::Color selected_back_ = 0xFF0000;  // blue
  CZK470Doc* doc_ = nullptr;
  int code_ = 0;
  gfx::Color back_ = kLegendWhite;
  gfx::Rect rect_;
};

// The count box: the number of beats or events of its code, right-aligned; empty while an analysis
// runs.
class CClassLegendItem : public CLegendItem {
 public:
  using CLegendItem::CLegendItem;
  void Draw(gfx::Canvas& dc) override;
};

// The name box: the kind's name, white on blue while the kind is selected.
class CClassNameItem : public CLegendItem {
 public:
  using CLegendItem::CLegendItem;
  void Draw(gfx::Canvas& dc) override;
};

using LegendItems = std::vector<std::unique_ptr<CLegendItem>>;

// Draws the items whose code the counts hint marks.
void DrawMarkedItems(gfx::Canvas& dc, const LegendItems& items, const TCountsHint& counts);

// A single-row legend takes the kind shown in the event legend's drop-down list, asked from the
// layout's root; true when its code changed. Without such a list nothing answers.
bool TakeListedKind(CViewAreaConfig* config, const LegendItems& items);
