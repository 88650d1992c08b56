#include "layouts/drag_image.h"

#include <algorithm>

void CDragImage::Begin(win::Window& window, gfx::Size size, const std::function<void(gfx::Canvas&)>& draw) {
  End();
  dc_ = std::make_unique<win::ClientDc>(window);
  size_ = size;
  image_ = dc_->Canvas().CreateCompatible(std::max(size.cx, 1), std::max(size.cy, 1));
  draw(*image_);
}

void CDragImage::MoveTo(gfx::Point point) {
  if (dc_ == nullptr) return;
  Invert(at_);
  at_ = {point.x - size_.cx / 2, point.y - size_.cy / 2, point.x - size_.cx / 2 + size_.cx,
         point.y - size_.cy / 2 + size_.cy};
  Invert(at_);
}

void CDragImage::End() {
  Invert(at_);
  at_ = {};
  image_.reset();
  dc_.reset();
}

void CDragImage::Invert(const gfx::Rect& at) {
  if (dc_ == nullptr || image_ == nullptr || at.IsEmpty()) return;
  dc_->Canvas().BitBlt(at.left, at.top, at.Width(), at.Height(), image_.get(), 0, 0, gfx::kSrcInvert);
}
