#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/display_list.h"

namespace gfx {

// A canvas without pixels that keeps every drawing call as a display list: the program's
// metafile. Windows drawn headless, report pages for the PDF export and tests use it. It follows
// the whole drawing state (mapping, objects, clip) as a device would, measures text with the
// standard font metrics, and answers pixel queries with kInvalidColor. The device it stands for is
// given at construction (a 96 dpi screen unless told). One thread at a time.
class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(const DeviceInfo& device = DeviceInfo{});

  const DisplayList& Items() const { return items_; }
  // One line per record (see ToString).
  std::vector<std::string> Lines() const { return ToLines(items_); }
  // The lines joined with '\n', each ending with one.
  std::string Dump() const;
  // Drops the records; the drawing state stays.
  void Clear();
  // The display list as one shared picture, kept until the next record.
  std::shared_ptr<const RecordedPicture> Picture() const;

  // A recording of a memory bitmap of that size, at this canvas's resolution.
  std::unique_ptr<Canvas> CreateCompatible(int32_t width, int32_t height) const override;

 protected:
  bool Records() const override { return true; }
  void Record(DisplayItem item) override;
  rec::BlitSource Snapshot() const override;

 private:
  DisplayList items_;
  mutable std::shared_ptr<const RecordedPicture> picture_;
};

}  // namespace gfx
