#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "views/view_dialogs.h"

namespace gfx {
class Canvas;
}
namespace win {
class Window;
}

// What a caliper needs of the area that owns it: where the area lies and in which window. Every
// coordinate of a caliper is a client pixel of that window.
class CCaliperHost {
 public:
  virtual ~CCaliperHost() = default;
  virtual gfx::Rect GetCaliperRect() const = 0;
  // nullptr once the window is gone.
  virtual win::Window* GetCaliperWindow() const = 0;
};

// A measuring tool that one area owns and drives: it reads values of its host at one or two pixel
// columns and shows them in a small modeless readout window beside the measuring point. The host
// creates it, switches it on, passes it mouse messages and commands, lets it redraw after painting
// (Track with kRedraw) and deletes it. User-interface thread only.
class CCaliper {
 public:
  // Messages of the host besides the mouse messages.
  static constexpr uint32_t kSwitchOnHidden = 15000;
  static constexpr int kRedraw = 15002;
  static constexpr int kMoveNearer = 15003;
  static constexpr int kMoveBoth = 15004;
  static constexpr uint32_t kCaliperSwitch = 32957;
  static constexpr uint32_t kSpeedUp = 33008;
  static constexpr uint32_t kSpeedDown = 33009;

  static constexpr int kStateOff = 0;
  static constexpr int kStateOn = 1;
  static constexpr int kStateClosed = 100;

  // Picks the cursor pen from the host window's colours: yellow with more than 256, else olive.
  explicit CCaliper(CCaliperHost* host);
  virtual ~CCaliper();
  CCaliper(const CCaliper&) = delete;
  CCaliper& operator=(const CCaliper&) = delete;

  // 512, 513, 514, 516 with a point in the host window; 15000, 32957 (flags 1 on, 0 off), 33008,
  // 33009 without one (point may be nullptr).
  virtual void OnMessage(uint32_t message, unsigned flags, const gfx::Point* point) = 0;
  // The variants make their readout window first, then call the base.
  virtual void Start();
  virtual void UpdateValues() = 0;
  virtual bool SyncCursors() = 0;

  // 1 starts, 0 closes; any other value is only stored.
  void SetState(int on);
  void Close();
  void ShowValues();
  void ShowInfo();
  void HideInfo();
  void ReleaseMouse();
  void SetMouse(const gfx::Point& point) { mouse_ = point; }
  // Takes the point only when the cursor it drags stays on its side of the other.
  void DragMouse(const gfx::Point& point);
  // Modes kRedraw, kMoveNearer, kMoveBoth; draws on dc (a client canvas of the host window).
  void Track(gfx::Canvas& dc, int mode);
  // Track on a fresh client canvas of the host window; nothing when the window is gone.
  void TrackOnWindow(int mode);
  void PlaceInfoWindow(int x, int y);
  void DrawCursorLine(int slot, int x, gfx::Canvas& dc, int mode);

  int GetState() const { return state_; }
  gfx::Point GetCursorA() const { return a_; }
  gfx::Point GetCursorB() const { return b_; }
  void SetCursors(gfx::Point a, gfx::Point b) {
    a_ = a;
    b_ = b;
  }
  gfx::Point GetMouse() const { return mouse_; }
  bool IsAActive() const { return a_active_; }
  int GetLastInput() const { return last_input_; }
  int GetLineSlot(int slot) const { return slot_x_[static_cast<size_t>(slot)]; }
  const gfx::Pen& GetPen() const { return pen_; }
  bool IsFollow() const { return follow_; }
  CCaliperReadout* GetReadout() const { return readout_.get(); }
  // The working rectangle (the readout's place) while the caliper is on.
  std::optional<gfx::Rect> GetWorkingRect() const { return working_rect_; }

  // The host height at the last placement of any readout, shared by all calipers.
  static int SharedPlacementHeight();
  static void ResetSharedPlacementHeight();

 protected:
  // The readout's size as (0, 0, width, height), (0, 0, 0, 0) without one.
  gfx::Rect InfoSize() const;
  void SetReadout(std::unique_ptr<CCaliperReadout> readout);

  std::optional<gfx::Rect> working_rect_;
  std::optional<gfx::Rect> size_rect_;
  int state_ = kStateOff;
  CCaliperHost* host_ = nullptr;
  gfx::Point a_;
  gfx::Point b_;
  gfx::Point mouse_;
  gfx::Pen pen_;
  std::array<int, 2> slot_x_{-10, -10};
  int left_margin_ = 0;
  int right_margin_ = 0;
  bool a_active_ = true;
  int last_input_ = 0;
  bool follow_ = false;

 private:
  std::unique_ptr<CCaliperReadout> readout_;
};
