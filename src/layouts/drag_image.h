#pragma once

#include <functional>
#include <memory>

#include "gfx/canvas.h"
#include "gfx/geometry.h"
#include "win/window.h"

// The picture of a dragged class that follows the mouse: drawn once into an image of its own and
// put on the window by inverting the pixels under it, so that inverting again at the same place
// takes it away without a repaint. User-interface thread only.
class CDragImage {
 public:
  CDragImage() = default;
  CDragImage(const CDragImage&) = delete;
  CDragImage& operator=(const CDragImage&) = delete;

  // Takes a DC on the window and makes the image; draw paints its content on a canvas of that size.
  void Begin(win::Window& window, gfx::Size size, const std::function<void(gfx::Canvas&)>& draw);
  // Takes the image away from where it stands and shows it centred at the point.
  void MoveTo(gfx::Point point);
  // Takes the image away and lets the DC go.
  void End();
  bool IsShown() const { return dc_ != nullptr; }
  // Where the image stands in the window's client; empty when it is not shown.
  const gfx::Rect& ShownAt() const { return at_; }

 private:
  void Invert(const gfx::Rect& at);

  std::unique_ptr<win::ClientDc> dc_;
  std::unique_ptr<gfx::Canvas> image_;
  gfx::Size size_;
  gfx::Rect at_;
};
