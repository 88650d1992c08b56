#include "layouts/plot_drag.h"

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/legend_items.h"
#include "views/area_messages.h"
#include "views/caliper.h"
#include "views/view_area.h"

namespace {

void SendMouseHint(CZK470Doc& document, int hint_number, unsigned flags, gfx::Point point) {
  TMouseHint mouse(flags, point.x, point.y);
  document.UpdateAllViews(nullptr, hint_number, &mouse);
}

}  // namespace

int CPlotDrag::OnMessage(CViewArea& area, const gfx::Rect& plot, CCaliper* caliper, uint32_t msg,
                         win::WParam wparam, win::LParam lparam, const MoveTo& move_to) {
  CZK470Doc* document = area.GetDocument();
  if (document == nullptr) return 0;
  const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
  const auto flags = static_cast<unsigned>(wparam);
  switch (msg) {
    case areamsg::kLeftButtonDown: {
      if (point == nullptr || !plot.Contains(*point)) return 0;
      window_ = HostWindowOf(area);
      if (window_ != nullptr && window_->IsWindow()) {
        window_->SetCapture();
        dc_.emplace(*window_);
      }
      const gfx::Point at = move_to(*point);
      dragging_ = dc_.has_value();
      if (caliper != nullptr) caliper->OnMessage(win::kWmLButtonDown, flags, point);
      SendMouseHint(*document, hint::kMouse1026, flags, at);
      return 1;
    }
    case areamsg::kMouseMove: {
      if (!dragging_ || point == nullptr) return 0;
      const gfx::Point at = move_to(*point);
      if (caliper != nullptr) caliper->OnMessage(win::kWmMouseMove, flags, point);
      SendMouseHint(*document, hint::kMouse1027, flags, at);
      return 1;
    }
    case areamsg::kLeftButtonUp: {
      if (!dragging_) return 0;
      const gfx::Point at = point != nullptr ? *point : gfx::Point{};
      Cancel();
      document->UpdateAllViews(nullptr, hint::kEditsChanged);
      if (caliper != nullptr) caliper->OnMessage(win::kWmLButtonUp, flags, &at);
      SendMouseHint(*document, hint::kMouse1028, flags, at);
      return 1;
    }
    default:
      return 0;
  }
}

void CPlotDrag::Cancel() {
  dc_.reset();
  if (dragging_ && window_ != nullptr && win::Windows().GetCapture() == window_)
    win::Windows().ReleaseCapture();
  dragging_ = false;
}
