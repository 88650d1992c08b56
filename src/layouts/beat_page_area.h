#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

class CBeatPageWnd;
class CECGStripPainter;
class TTemplateList;

namespace gfx {
class Canvas;
}
namespace win {
class ClientDc;
}

// The node of the beat page area; adds nothing to its base.
class CBeatPageAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  ~CBeatPageAreaConfig() override;

  std::string_view GetClassName() const override { return "CBeatPageAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The beats of the selected template class as a page of 20 x 5 small strips, one beat per cell,
// from the hosting window's firstRow on. Keeps a cursor cell (the current beat, whose time becomes
// the document's position) and a selection of cells drawn as XOR frames: offsets in pixels from
// the area's top-left corner, multiples of the cell size. Owns its strips and, while a mouse
// selection runs, a client DC of the hosting window. User-interface thread only.
class CBeatPageArea : public CViewArea {
 public:
  static constexpr int kColumns = 20;
  static constexpr int kRows = 5;
  static constexpr int kCellsPerPage = kColumns * kRows;
  // Frame colours (COLORREF) on a true-colour and on a palette screen.
  static constexpr gfx::Color kCurrentTrueColour = 0x00FFFF;
  static constexpr gfx::Color kOtherTrueColour = 0x008080;
  static constexpr gfx::Color kCurrentPaletteColour = 0x008080;
  static constexpr gfx::Color kOtherPaletteColour = 0x004040;
  static constexpr int kFrameWidth = 3;
  static constexpr int kPageString = 15486;
  static constexpr int kSecondString = 16003;
  static constexpr int kMillivoltString = 16004;
  static constexpr double kStripSeconds = 0.9;
  static constexpr double kSpeeds[4] = {6.25, 12.5, 25.0, 50.0};
  static constexpr double kGains[4] = {1.25, 2.5, 5.0, 10.0};
  static constexpr double kDistanceFactors[5] = {-1.0, -0.5, 0.0, 0.5, 1.0};
  static constexpr double kGapStep = 0.5;

  enum class SelectMode { kClearAllButCursor, kPlain, kRight, kToggle, kRange };

  CBeatPageArea(CBeatPageAreaConfig* config, CZK470Doc* document);
  ~CBeatPageArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  struct PageInfo {
    int page = 0;
    int count = 0;
    bool has_next = false;
  };
  PageInfo GetPageInfo() const;
  struct FrameColours {
    gfx::Color current = 0;
    gfx::Color other = 0;
  };
  // By the colour depth of the screen the frames are drawn on.
  static FrameColours FrameColoursFor(const gfx::Canvas& screen);
  int CellWidth() const { return (rect_.right - rect_.left) / columns_; }
  int CellHeight() const { return (rect_.bottom - rect_.top) / rows_; }
  gfx::Point Cursor() const { return {cursor_x_, cursor_y_}; }
  // The selected cells as page cell numbers (row x 20 + column), in selection order.
  std::vector<int> SelectedCells() const;
  int CurrentEntry() const { return current_entry_; }
  int StripCount() const { return static_cast<int>(strips_.size()); }
  // The strip drawn for a beat; nullptr when the page has none.
  const CECGStripPainter* StripOf(int beat_index) const;
  // The cell of a point of the hosting window's client area, as offsets; nullopt outside the grid.
  bool CellAt(gfx::Point point, int& x, int& y) const;
  void SelectCell(gfx::Point point, SelectMode mode);
  void SelectPreviousBeat();
  void SelectNextBeat();

 private:
  struct Strip {
    int beat_index = -1;
    std::unique_ptr<CECGStripPainter> painter;
  };
  enum class Style { kCurrent, kOther };

  const TTemplateList* ClassList() const;
  int EntryIndexAt(int x, int y) const;
  // Beat index and sample position of entry i of the class; false when there is none.
  bool BeatOfEntry(int entry, int& beat, int& position) const;
  int FirstRow() const;
  void SetFirstRow(int row);
  void CreatePens(const gfx::Canvas* screen);
  std::unique_ptr<CECGStripPainter> MakeStrip(int beat, const gfx::Rect& rect) const;
  int ChannelGap() const;
  void BuildStrips();
  void RenewStrip(int beat, int x, int y);
  void DrawCellFrame(gfx::Canvas& dc, int x, int y, Style style) const;
  void DrawCalibration(gfx::Canvas& dc) const;
  void DrawPageText(gfx::Canvas& dc) const;
  gfx::Rect CellRect(int x, int y) const;
  int FindSelected(int x, int y) const;
  void SelectCursorAlone();
  void ShowCursorBeat();
  void ShowEntryBeat(int x, int y);
  void CommonTail();
  void Invalidate();
  bool StepBack();
  bool StepForward();
  void StepCursor(bool forward);
  bool ClampCursorToClass();
  bool SelectNextTemplateClass();
  bool SelectPreviousTemplateClass();
  void SendHint(int hint_number);
  gfx::Canvas* SelectionDc() const;

  CBeatPageWnd* page_wnd_ = nullptr;
  int columns_ = kColumns;
  int rows_ = kRows;
  std::vector<Strip> strips_;
  std::unique_ptr<win::ClientDc> dc_;
  gfx::Pen current_pen_;
  gfx::Brush current_brush_;
  bool capturing_ = false;
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  gfx::Pen other_pen_;
  gfx::Brush other_brush_;
  std::vector<int> selection_x_;
  std::vector<int> selection_y_;
  int current_entry_ = 0;
  double last_cell_width_ = 0.0;
  double last_cell_height_ = 0.0;
  bool first_layout_ = false;
};
