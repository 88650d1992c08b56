#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

class CAreaFrameWnd;
class CAreaWnd;

// Where a window node docks a toolbar in its frame.
inline constexpr uint32_t kDockAlignAny = 0xF000;
inline constexpr int kDockBarTop = 0xE81C;
inline constexpr int kDockBarLeft = 0xE81D;
// The control id of every hosted window inside its frame.
inline constexpr int kHostedWindowId = 37;

// A layout node that hosts a child window (with up to two docked toolbars) instead of drawing.
// Its children belong to the hosted window, which creates, lays out and paints them. Owns the
// bars of its last creation. User-interface thread only.
class CWindowAreaConfig : public CViewAreaConfig {
 public:
  // Focusable and clip set.
  CWindowAreaConfig();
  // Always sets clip.
  CWindowAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool focusable);
  ~CWindowAreaConfig() override;

  std::string_view GetClassName() const override { return "CWindowAreaConfig"; }
  bool CreateAreas(CZK470Doc* doc) override;
  win::Window* GetParentWindow() const override;
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  // The hosted window object, not yet created as a window; the node creates it. Base: CAreaWnd.
  virtual std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document);

  bool IsFocusable() const { return focusable_; }
  win::Window* GetToolBar() const { return tool_bar_.get(); }
  win::Window* GetSecondToolBar() const { return second_tool_bar_.get(); }

 private:
  bool focusable_ = true;
  std::unique_ptr<win::Window> tool_bar_;
  std::unique_ptr<win::Window> second_tool_bar_;
};

// The area of a window node: owns the frame and the hosted window.
class CWindowArea : public CViewArea {
 public:
  // Creates the frame inside the node's parent window; frame stays nullptr when that fails.
  CWindowArea(CWindowAreaConfig* config, CZK470Doc* document);
  ~CWindowArea() override;

  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  bool HasWindow() const override;
  win::Window* GetWindow() const override;
  // Stores the rectangle and moves the frame onto it.
  void SetRect(const gfx::Rect& rect) override;
  // (0, 0, width, height).
  gfx::Rect GetRect() const override;
  void Attach(CBaseView* view) override;

  CAreaFrameWnd* GetFrame() const { return frame_.get(); }
  CAreaWnd* GetHostedWindow() const { return window_.get(); }
  void SetHostedWindow(std::unique_ptr<CAreaWnd> window);
  bool HasFocus() const { return has_focus_; }
  void SetHasFocus(bool focus) { has_focus_ = focus; }

 private:
  bool has_focus_ = false;
  std::unique_ptr<CAreaFrameWnd> frame_;
  std::unique_ptr<CAreaWnd> window_;
};

// The small child frame around a hosted window: a 1-pixel border, or a 3-pixel focus frame in
// the caption colours for focusable nodes; docks the bars and gives the rest to the window.
class CAreaFrameWnd : public win::Window {
 public:
  CAreaFrameWnd(CWindowAreaConfig* config, CWindowArea* area);
  ~CAreaFrameWnd() override;

  // Docks a bar created as a child of this frame at kDockBarTop or kDockBarLeft.
  void DockControlBar(win::Window* bar, int dock_bar);
  // Positions the bars and the hosted window in the client rectangle.
  void RecalcLayout();
  // The hosted window's rectangle inside the frame, as the last RecalcLayout set it.
  gfx::Rect GetHostedRect() const;

  bool OnCmdMsg(win::CommandMessage& message) override;
  std::string_view ClassName() const override { return "AreaFrame"; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSize(int type, int cx, int cy) override;

 private:
  CWindowAreaConfig* config_ = nullptr;
  CWindowArea* area_ = nullptr;
  struct DockedBar {
    win::Window* bar = nullptr;
    int dock_bar = kDockBarTop;
    // The bar is reached through its handle: its object may go before this frame does.
    win::WindowHandle handle = 0;
  };
  std::vector<DockedBar> bars_;
};

// A window hosted by a window node: paints its own content, then the node's child areas over it;
// lays them out on every size change; passes the focus on with Tab among focusable siblings.
class CAreaWnd : public win::Window {
 public:
  CAreaWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CAreaWnd() override;

  // Creates the window (child, visible, clip-children, id 37) on the area's rectangle inside the
  // area's frame; WM_CREATE then creates the node's child areas.
  bool CreateAreaWindow();

  virtual void Draw(gfx::Canvas& dc, const gfx::Rect& update) {}
  virtual int OnAreaMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) { return 0; }
  virtual void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) {}
  virtual void OnRightButtonDown(gfx::Point point) {}
  // Bars are created as children of frame; *style and *dock_bar may be changed.
  virtual std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) {
    return nullptr;
  }
  virtual std::unique_ptr<win::Window> CreateSecondToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                           int* dock_bar) {
    return nullptr;
  }
  virtual void Attach(CBaseView* view) {}
  // Every size change once the node is attached, with (0, 0, width, height).
  virtual void OnLayout(int left, int top, int right, int bottom) {}
  // The window and its node's areas laid out again in the client as it stands, as a size change
  // would: for a layout pass that leaves the window's size as it was.
  void LayOutAreas();

  CWindowArea* GetArea() const { return area_; }
  CWindowAreaConfig* GetConfig() const { return config_; }
  CZK470Doc* GetDocument() const { return document_; }
  std::string_view ClassName() const override { return "AreaWnd"; }

 protected:
  int OnCreate() override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSize(int type, int cx, int cy) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnChar(int character, unsigned repeat, unsigned flags) override;

  // The position jumps of the main view (stored heart-rate, RR and NN extremes, ST extremes, the
  // mark, the kind selection), as the navigation and statistics screens carry them: each travels
  // to the window's areas as an area message, enabled and checked from the document's stored
  // positions; stale extremes are computed again before a jump.
  void AddPositionJumpCommands();
  // A review window takes the keys once clicked (Shift+F10, its own keys), though its node
  // shows no focus frame.
  void TakeKeysOnClick() { keys_on_click_ = true; }

 private:
  void AddExtremeJump(int id, int32_t (CZK470Doc::*position)() const);
  void AddSTJump(int id, int channel);
  // A stored sample position converted to ms, truncated, as the document converts positions.
  bool IsAtStoredPosition(int32_t samples) const;

  CWindowArea* area_ = nullptr;
  CWindowAreaConfig* config_ = nullptr;
  CZK470Doc* document_ = nullptr;
  bool keys_on_click_ = false;
};

// The window of the heart-rate trend group: a click reaches every area (513, 514), a mouse move
// stops at the first area that takes it (512).
class CHRTrendWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CHRTrendWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

class CHRTrendWnd : public CAreaWnd {
 public:
  using CAreaWnd::CAreaWnd;

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
};
