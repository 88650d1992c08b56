#include "views/view_area.h"

#include "views/base_view.h"
#include "views/layout_tree.h"

// ---- CViewArea

CViewArea::CViewArea(CViewAreaConfig* config, CZK470Doc* document)
    : rect_{0, 0, config != nullptr ? config->GetMinWidth() : 0,
            config != nullptr ? config->GetMinHeight() : 0},
      config_(config),
      document_(document) {}

// ---- CViewConfigSelector

CViewConfiguration* CViewConfigSelector::GetConfiguration() const {
  return list_ == nullptr ? nullptr : list_->GetAt(current_index_);
}

bool CViewConfigSelector::Select(int index) {
  if (view_ == nullptr || list_ == nullptr) return false;
  CViewConfiguration* layout = list_->GetAt(index);
  if (layout == nullptr) return false;
  // Reselecting keeps every area and hosted window with its state.
  if (layout == current_) return true;
  if (building_) return false;
  building_ = true;
  if (current_ != nullptr) current_->DestroyAreas();
  current_ = layout;
  current_index_ = index;
  current_->SetView(view_);
  // A partly created layout stays current: painting, layout and messages skip nodes without areas.
  current_->CreateAreas(view_->GetDocument());
  current_->AttachData(view_);
  current_->Layout(view_->GetClientRect());
  building_ = false;
  return true;
}

bool CViewConfigSelector::Rebuild() {
  if (view_ == nullptr || current_ == nullptr || building_) return false;
  building_ = true;
  current_->DestroyAreas();
  current_->SetView(view_);
  current_->CreateAreas(view_->GetDocument());
  current_->AttachData(view_);
  current_->Layout(view_->GetClientRect());
  building_ = false;
  return true;
}

namespace {

bool SameKind(const CViewConfiguration& a, const CViewConfiguration& b) {
  return a.GetKind() == b.GetKind() && a.GetSubKind() == b.GetSubKind();
}

}  // namespace

CViewConfiguration* CViewConfigSelector::NextOfSameKind() {
  if (list_ == nullptr || current_ == nullptr) return nullptr;
  const int count = list_->GetCount();
  const int from = current_index_;
  // The layouts after the current one, then from the first round to the current one itself.
  for (int step = 1; step <= count; ++step) {
    const int index = (from + step) % count;
    CViewConfiguration* candidate = list_->GetAt(index);
    if (candidate == nullptr || !SameKind(*candidate, *current_)) continue;
    if (Select(index)) return candidate;
    Select(from);
    return nullptr;
  }
  return nullptr;
}

CViewConfiguration* CViewConfigSelector::PrevOfSameKind() {
  if (list_ == nullptr || current_ == nullptr) return nullptr;
  const int count = list_->GetCount();
  const int from = current_index_;
  for (int step = 1; step <= count; ++step) {
    const int index = ((from - step) % count + count) % count;
    CViewConfiguration* candidate = list_->GetAt(index);
    if (candidate == nullptr || !SameKind(*candidate, *current_)) continue;
    if (Select(index)) return candidate;
    Select(from);
    return nullptr;
  }
  return nullptr;
}
