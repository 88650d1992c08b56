#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "gfx/geometry.h"
#include "platform/clock.h"
#include "platform/profile_store.h"

class CViewAreaConfig;
class CZK470Doc;

namespace gfx {
// Failure messages show rectangles as the layout descriptions write them.
inline void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
}  // namespace gfx

namespace layouttest {

class HarnessView;

// A headless CBaseView (client width x height) showing layout `index` of the default list, over a
// document without user interface and without a recording. Builds the default list on
// construction and deletes it, with every window, on destruction.
class LayoutHarness {
 public:
  LayoutHarness(int index, int width, int height);
  ~LayoutHarness();
  LayoutHarness(const LayoutHarness&) = delete;
  LayoutHarness& operator=(const LayoutHarness&) = delete;

  // Row number (as printed) -> the node; its area's stored rectangle (window rows: the window's
  // place in its parent, i.e. CViewArea::StoredRect()).
  CViewAreaConfig* Node(int row) const;
  gfx::Rect RectOf(int row) const;
  // Window rows: the hosted window's client rectangle (0, 0, w, h).
  gfx::Rect ClientOf(int row) const;
  void Resize(int width, int height);
  // The document the view shows (no recording unless a test fills it).
  CZK470Doc& Doc() const { return *doc_; }

 private:
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<HarnessView> view_;
  // Row number -> node, found by walking the tree along the layout's table.
  std::vector<CViewAreaConfig*> nodes_;
};

// A window node's children laid out alone in a client of the given size (for the Parts'
// "client 500 x 300" cases): returns the rectangles by row number.
std::map<int, gfx::Rect> LayOutWindowContents(int layout, int window_row, int width, int height);

}  // namespace layouttest
