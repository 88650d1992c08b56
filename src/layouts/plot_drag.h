#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "gfx/canvas.h"
#include "gfx/geometry.h"
#include "win/messages.h"
#include "win/window.h"

class CCaliper;
class CViewArea;

// The left-button drag of a plot whose vertical cursor follows the mouse (the heart-rate and ST
// trends, the heart-rate navigator). A press inside the plot captures the mouse for the window the
// plot draws in and keeps a client DC on it until the release; every step moves the cursor, tells
// the caliper and sends mouse hint 1026, 1027 or 1028; the release sends 1031 before its 1028.
// User-interface thread only.
class CPlotDrag {
 public:
  // Moves the cursor to the point; returns the point the mouse hint carries.
  using MoveTo = std::function<gfx::Point(gfx::Point)>;

  CPlotDrag() = default;
  CPlotDrag(const CPlotDrag&) = delete;
  CPlotDrag& operator=(const CPlotDrag&) = delete;
  ~CPlotDrag() { Cancel(); }

  // Area messages 513, 512 and 514: 1 when the drag took the message; 0 for any other message.
  int OnMessage(CViewArea& area, const gfx::Rect& plot, CCaliper* caliper, uint32_t msg, win::WParam wparam,
                win::LParam lparam, const MoveTo& move_to);
  // Lets go of the DC and of the capture the drag holds.
  void Cancel();
  bool IsDragging() const { return dragging_; }
  // The DC on the plot's window while the button is down; nullptr otherwise.
  gfx::Canvas* Canvas() { return dc_ ? &dc_->Canvas() : nullptr; }

 private:
  win::Window* window_ = nullptr;
  std::optional<win::ClientDc> dc_;
  bool dragging_ = false;
};
