#include "views/layout_tree.h"

#include <algorithm>
#include <utility>

#include "gfx/canvas.h"
#include "views/base_view.h"
#include "views/view_area.h"

namespace {

// Where a node starts along one axis: parent edges for reference -1, a sibling's stored rectangle
// otherwise. An anchor the layouts never use (a sibling without an area, an edge other than 0
// and 1) falls back to the parent's near edge, so the node still lies inside its parent.
std::pair<int, int> Place(int reference, int edge, int offset, int size, int parent_near, int parent_far,
                          const CViewArea* sibling_area, bool horizontal) {
  if (reference < 0) {
    if (edge == 1) {
      const int far = parent_far - offset;
      return {far - size, far};
    }
    const int near = parent_near + offset;
    return {near, near + size};
  }
  int start = parent_near;
  if (sibling_area != nullptr) {
    const gfx::Rect& r = sibling_area->StoredRect();
    if (edge == 1) {
      start = horizontal ? r.right : r.bottom;
    } else {
      start = horizontal ? r.left : r.top;
    }
  }
  const int near = start + offset;
  return {near, near + size};
}

int SizeFrom(int available, int min_size, int per_mille) {
  if (per_mille == 0) return min_size;
  return std::max(min_size, available * per_mille / 1000);
}

}  // namespace

// ---- CViewAreaConfig

CViewAreaConfig::CViewAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille,
                                 bool clip)
    : position_(position), min_size_(min_size), per_mille_(per_mille), clip_(clip) {}

CViewAreaConfig::CViewAreaConfig(const CViewAreaConfig& other)
    : position_(other.position_),
      min_size_(other.min_size_),
      per_mille_(other.per_mille_),
      clip_(other.clip_) {}

CViewAreaConfig::~CViewAreaConfig() {
  // Children before the area: an area below a window node lives in the window its parent's area
  // hosts.
  CViewAreaConfig::DeleteChildren();
  area_.reset();
}

bool CViewAreaConfig::CreateAreas(CZK470Doc* doc) {
  // Areas of an earlier creation go first, children before their parent: a child's area may still
  // reach the window that its parent's area hosts.
  if (area_) DestroyAreas();
  if (parent_ != nullptr) {
    std::unique_ptr<CViewArea> area = CreateArea(doc);
    if (!area) return false;
    SetArea(std::move(area));
  }
  return CreateChildAreas(doc);
}

void CViewAreaConfig::DestroyAreas() {
  DestroyChildAreas();
  DeleteArea();
  attached_ = false;
}

int CViewAreaConfig::BroadcastAll(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  int result = 0;
  for (const auto& child : children_) result |= child->Dispatch(false, msg, wparam, lparam);
  return result;
}

bool CViewAreaConfig::BroadcastUntilHandled(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  for (const auto& child : children_) {
    if (child->Dispatch(true, msg, wparam, lparam) != 0) return true;
  }
  return false;
}

void CViewAreaConfig::NotifyAll(document::DocumentView* sender, int hint, THintObject* object) {
  if (area_) area_->OnNotify(sender, hint, object);
  // By index: a hosted window may react to a hint in ways that reach back into the tree.
  for (size_t i = 0; i < children_.size(); ++i) children_[i]->NotifyAll(sender, hint, object);
}

int CViewAreaConfig::AddChild(std::unique_ptr<CViewAreaConfig> child) {
  if (!child) return -1;
  child->parent_ = this;
  children_.push_back(std::move(child));
  return static_cast<int>(children_.size()) - 1;
}

CViewAreaConfig* CViewAreaConfig::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

CViewAreaConfig* CViewAreaConfig::GetSibling(int index) const {
  return parent_ == nullptr ? nullptr : parent_->GetChild(index);
}

CViewAreaConfig* CViewAreaConfig::GetRoot() {
  CViewAreaConfig* node = this;
  while (node->GetParent() != nullptr) node = node->GetParent();
  return node;
}

CViewAreaConfig* CViewAreaConfig::NextSibling() const {
  if (parent_ == nullptr) return nullptr;
  const int count = parent_->GetChildCount();
  return parent_->GetChild((IndexInParent() + 1) % count);
}

CViewAreaConfig* CViewAreaConfig::PrevSibling() const {
  if (parent_ == nullptr) return nullptr;
  const int count = parent_->GetChildCount();
  return parent_->GetChild((IndexInParent() + count - 1) % count);
}

CViewAreaConfig* CViewAreaConfig::NextFocusable() const {
  if (parent_ == nullptr) return nullptr;
  const int count = parent_->GetChildCount();
  const int own = IndexInParent();
  // The siblings after this node, then from the first round to this node itself.
  for (int step = 1; step <= count; ++step) {
    CViewAreaConfig* sibling = parent_->GetChild((own + step) % count);
    if (sibling->GetArea() != nullptr && sibling->GetArea()->HasWindow()) return sibling;
  }
  return nullptr;
}

CViewAreaConfig* CViewAreaConfig::PrevFocusable() const {
  if (parent_ == nullptr) return nullptr;
  const int count = parent_->GetChildCount();
  const int own = IndexInParent();
  for (int step = 1; step <= count; ++step) {
    CViewAreaConfig* sibling = parent_->GetChild((own - step + count) % count);
    if (sibling->GetArea() != nullptr && sibling->GetArea()->HasWindow()) return sibling;
  }
  return nullptr;
}

win::Window* CViewAreaConfig::GetParentWindow() const {
  if (parent_ == nullptr) return nullptr;
  const CViewArea* parent_area = parent_->GetArea();
  if (parent_area != nullptr && parent_area->HasWindow()) return parent_area->GetWindow();
  return parent_->GetParentWindow();
}

int CViewAreaConfig::GetMinWidth() const {
  const int own = per_mille_.cx == 0 ? min_size_.cx : min_size_.cx * 1000 / per_mille_.cx;
  int children = 0;
  for (const auto& child : children_) {
    if (child->GetPerMille().cx == 0) {
      children += child->GetMinWidth();
    } else {
      children = std::max(children, child->GetMinWidth());
    }
  }
  return std::max(own, children);
}

int CViewAreaConfig::GetMinHeight() const {
  const int own = per_mille_.cy == 0 ? min_size_.cy : min_size_.cy * 1000 / per_mille_.cy;
  int children = 0;
  for (const auto& child : children_) {
    if (child->GetPerMille().cy == 0) {
      children += child->GetMinHeight();
    } else {
      children = std::max(children, child->GetMinHeight());
    }
  }
  return std::max(own, children);
}

int CViewAreaConfig::AvailableWidth(const gfx::Rect& parent_rect) const {
  int available = parent_rect.right - parent_rect.left;
  auto take = [&available](const CViewAreaConfig& node) {
    available -= node.GetPosition().x.offset;
    if (node.GetPerMille().cx == 0) available -= node.GetMinSize().cx;
  };
  if (parent_ == nullptr) {
    take(*this);
  } else {
    for (const auto& sibling : parent_->children_) take(*sibling);
  }
  return available;
}

int CViewAreaConfig::AvailableHeight(const gfx::Rect& parent_rect) const {
  int available = parent_rect.bottom - parent_rect.top;
  auto take = [&available](const CViewAreaConfig& node) {
    available -= node.GetPosition().y.offset;
    if (node.GetPerMille().cy == 0) available -= node.GetMinSize().cy;
  };
  if (parent_ == nullptr) {
    take(*this);
  } else {
    for (const auto& sibling : parent_->children_) take(*sibling);
  }
  return available;
}

std::pair<int, int> CViewAreaConfig::PlaceHorizontally(const gfx::Rect& parent_rect,
                                                       int available_width) const {
  const CXPosition& x = position_.x;
  const int width = SizeFrom(available_width, min_size_.cx, per_mille_.cx);
  const CViewAreaConfig* sibling = x.reference >= 0 ? GetSibling(x.reference) : nullptr;
  return Place(x.reference, x.edge, x.offset, width, parent_rect.left, parent_rect.right,
               sibling != nullptr ? sibling->GetArea() : nullptr, true);
}

std::pair<int, int> CViewAreaConfig::PlaceVertically(const gfx::Rect& parent_rect,
                                                     int available_height) const {
  const CYPosition& y = position_.y;
  const int height = SizeFrom(available_height, min_size_.cy, per_mille_.cy);
  const CViewAreaConfig* sibling = y.reference >= 0 ? GetSibling(y.reference) : nullptr;
  return Place(y.reference, y.edge, y.offset, height, parent_rect.top, parent_rect.bottom,
               sibling != nullptr ? sibling->GetArea() : nullptr, false);
}

bool CViewAreaConfig::Layout(const gfx::Rect& parent_rect) {
  if (parent_ == nullptr) return LayoutChildren(parent_rect);
  if (!area_) return false;
  const auto [left, right] = PlaceHorizontally(parent_rect, AvailableWidth(parent_rect));
  const auto [top, bottom] = PlaceVertically(parent_rect, AvailableHeight(parent_rect));
  area_->SetRect({left, top, right, bottom});
  // A hosted window lays out the children in its own client area when it gets its size.
  if (area_->HasWindow()) return true;
  if (attached_) area_->OnLayout(left, top, right, bottom);
  return LayoutChildren(area_->StoredRect());
}

void CViewAreaConfig::Paint(gfx::Canvas& dc, const gfx::Rect& update) {
  if (!area_) return;
  const gfx::Rect part = gfx::Intersect(update, area_->StoredRect());
  if (part.IsEmpty()) return;
  if (clip_) {
    const gfx::Rect saved = dc.GetClipBox();
    dc.SelectClipRect(dc.LPtoDP(part).Normalized());
    area_->Draw(dc, part);
    dc.SelectClipRect(dc.LPtoDP(saved).Normalized());
  } else {
    area_->Draw(dc, part);
  }
  PaintChildren(dc, part);
}

void CViewAreaConfig::AttachData(CBaseView* view) {
  if (!area_) return;
  area_->Attach(view);
  attached_ = true;
  AttachChildData(view);
}

void CViewAreaConfig::DestroyChildAreas() {
  for (const auto& child : children_) child->DestroyAreas();
}

void CViewAreaConfig::DeleteChildren() {
  for (const auto& child : children_) child->DeleteChildren();
  children_.clear();
}

bool CViewAreaConfig::CreateChildAreas(CZK470Doc* doc) {
  for (const auto& child : children_) {
    if (!child->CreateAreas(doc)) return false;
  }
  return true;
}

bool CViewAreaConfig::LayoutChildren(const gfx::Rect& rect) {
  for (const auto& child : children_) {
    if (!child->Layout(rect)) return false;
  }
  return true;
}

void CViewAreaConfig::PaintChildren(gfx::Canvas& dc, const gfx::Rect& update) {
  for (const auto& child : children_) {
    const CViewArea* area = child->GetArea();
    if (area != nullptr && !area->HasWindow()) child->Paint(dc, update);
  }
}

void CViewAreaConfig::AttachChildData(CBaseView* view) {
  for (const auto& child : children_) child->AttachData(view);
}

int CViewAreaConfig::Dispatch(bool until_handled, uint32_t msg, win::WParam wparam, win::LParam lparam) {
  int result = 0;
  if (area_) {
    result = area_->OnMessage(msg, wparam, lparam);
    if (until_handled && result != 0) return 1;
  }
  for (const auto& child : children_) {
    result |= child->Dispatch(until_handled, msg, wparam, lparam);
    if (until_handled && result != 0) break;
  }
  return result;
}

std::unique_ptr<CViewArea> CViewAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CViewArea>(this, doc);
}

void CViewAreaConfig::DeleteArea() { area_.reset(); }

int CViewAreaConfig::IndexInParent() const {
  if (parent_ == nullptr) return -2;
  for (size_t i = 0; i < parent_->children_.size(); ++i) {
    if (parent_->children_[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

void CViewAreaConfig::SetArea(std::unique_ptr<CViewArea> area) { area_ = std::move(area); }

// ---- CViewConfiguration

CViewConfiguration::CViewConfiguration(int kind, int sub_kind, uint16_t flag)
    : CViewAreaConfig(CPosition{}, gfx::Size{0, 0}, gfx::Size{100, 100}, false),
      kind_(kind),
      sub_kind_(sub_kind),
      flag_(flag) {}

CViewConfiguration::~CViewConfiguration() { DestroyAreas(); }

win::Window* CViewConfiguration::GetParentWindow() const { return view_; }

int CViewConfiguration::GetMinWidth() const {
  int width = GetMinSize().cx;
  for (int i = 0; i < GetChildCount(); ++i) width = std::max(width, GetChild(i)->GetMinWidth());
  return width;
}

int CViewConfiguration::GetMinHeight() const {
  int height = GetMinSize().cy;
  for (int i = 0; i < GetChildCount(); ++i) height = std::max(height, GetChild(i)->GetMinHeight());
  return height;
}

void CViewConfiguration::AttachData(CBaseView* view) { AttachChildData(view); }

void CViewConfiguration::DeleteArea() {
  CViewAreaConfig::DeleteArea();
  view_ = nullptr;
}

// ---- CViewConfigurations

CViewConfigurations::~CViewConfigurations() { layouts_.clear(); }

int CViewConfigurations::Add(std::unique_ptr<CViewConfiguration> layout) {
  if (!layout) return -1;
  layouts_.push_back(std::move(layout));
  return static_cast<int>(layouts_.size()) - 1;
}

CViewConfiguration* CViewConfigurations::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return layouts_[static_cast<size_t>(index)].get();
}
