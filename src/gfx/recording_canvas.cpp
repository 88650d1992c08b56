#include "gfx/recording_canvas.h"

#include <utility>

namespace gfx {

RecordingCanvas::RecordingCanvas(const DeviceInfo& device) : Canvas(device) {}

std::string RecordingCanvas::Dump() const {
  std::string out;
  for (const DisplayItem& item : items_) out += ToString(item) + "\n";
  return out;
}

void RecordingCanvas::Clear() {
  items_.clear();
  picture_.reset();
}

void RecordingCanvas::Record(DisplayItem item) {
  items_.push_back(std::move(item));
  picture_.reset();
}

std::shared_ptr<const RecordedPicture> RecordingCanvas::Picture() const {
  if (!picture_) picture_ = std::make_shared<const RecordedPicture>(RecordedPicture{items_});
  return picture_;
}

rec::BlitSource RecordingCanvas::Snapshot() const {
  return {{Device().width_px, Device().height_px}, Picture()};
}

std::unique_ptr<Canvas> RecordingCanvas::CreateCompatible(int32_t width, int32_t height) const {
  DeviceInfo device = Device();
  device.width_px = width;
  device.height_px = height;
  device.width_mm = 0;
  device.height_mm = 0;
  device.physical_width_px = 0;
  device.physical_height_px = 0;
  device.physical_offset_x_px = 0;
  device.physical_offset_y_px = 0;
  return std::make_unique<RecordingCanvas>(device);
}

}  // namespace gfx
