#include "layouts/event_legend_area.h"

#include <algorithm>

#include "analysis/example_strips.h"
#include "document/profile_keys.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/navigation_window.h"
#include "win/controls.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr int kListVariant = 2;
constexpr int kArrhythmia = 24;

void SelectWithForms(std::array<int32_t, kClassCount>& flags, int code, int32_t value) {
  if (!IsValidClassCode(code)) return;
  flags[static_cast<size_t>(code)] = value;
  for (const int kind : CoupledKinds(code)) flags[static_cast<size_t>(kind)] = value;
}

}  // namespace

CEventLegendArea::CEventLegendArea(CViewAreaConfig* config, CZK470Doc* document, int variant)
    : CViewArea(config, document), variant_(variant) {
  for (const LegendRow& row : LegendRowsOfVariant(variant))
    items_.push_back(
        std::make_unique<CClassNameItem>(document, row.code, row.blue ? kLegendLightBlue : kLegendWhite));
}

CEventLegendArea::~CEventLegendArea() {
  if (!list_) return;
  // While the view closes, its window tree has taken the list with it already.
  if (!IsViewClosing()) {
    if (document_ != nullptr)
      document_->GetSettings().SetInt(SettingKey::kECGSamplesLast, SelectedListKind());
    list_->DestroyWindow();
  }
  if (document_ != nullptr) document_->GetNavigationFlags() = saved_flags_;
}

int CEventLegendArea::SelectedListKind() const {
  if (!list_ || list_->GetCurSel() < 0) return -1;
  return static_cast<int>(list_->GetItemData(list_->GetCurSel()));
}

void CEventLegendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (list_) {
    // The list stands in for the boxes.
    dc.MoveTo(rect_.left, rect_.bottom - 1);
    dc.LineTo(rect_.right, rect_.bottom - 1);
    list_->UpdateWindow();
    return;
  }
  for (const auto& item : items_) item->Draw(dc);
}

int CEventLegendArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  switch (msg) {
    case areamsg::kLeftButtonDown: {
      const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
      if (point == nullptr || !rect_.Contains(*point)) return 0;
      if (host_ != nullptr) host_->SetCapture();
      pressed_ = true;
      return 1;
    }
    case areamsg::kLeftButtonUp: {
      if (!pressed_) return 0;
      win::Windows().ReleaseCapture();
      const auto* point = reinterpret_cast<const gfx::Point*>(lparam);
      if (point != nullptr && rect_.Contains(*point)) ToggleAt(*point);
      pressed_ = false;
      return 1;
    }
    case areamsg::kSelectedSampleKind: {
      if (!list_) return 0;
      if (auto* kind = reinterpret_cast<int*>(lparam)) *kind = SelectedListKind();
      return 1;
    }
    case cmd::kSelectOccurringKinds:
      if (document_ != nullptr) analysis::MarkOccurringKinds(*document_);
      InvalidateArea(*this, rect_);
      return 1;
    case cmd::kClearKindSelection:
      if (document_ != nullptr) document_->GetNavigationFlags().fill(0);
      InvalidateArea(*this, rect_);
      return 1;
    default:
      return 0;
  }
}

void CEventLegendArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (IsLegendRebuildHint(hint, object)) {
    InvalidateArea(*this, rect_);
  } else if (hint == hint::kCountsChanged) {
    const auto* counts = dynamic_cast<const TCountsHint*>(object);
    if (counts == nullptr) {
      InvalidateArea(*this, rect_);
    } else if (host_ != nullptr && host_->IsWindow() && !list_) {
      win::ClientDc dc(*host_);
      DrawMarkedItems(dc.Canvas(), items_, *counts);
    }
  } else if (hint == hint::kArea20000 && list_ && document_ != nullptr) {
    const int kind = SelectedListKind();
    SelectClass(list_->GetCurSel());
    if (kind == 9 || kind == 15)
      analysis::CheckBeatExampleStrips(*document_, kind);
    else
      analysis::CheckEventExampleStrips(*document_, kind);
  } else if (hint == hint::kArea20003 && list_) {
    SelectClass(list_->GetCurSel());
  }
}

void CEventLegendArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = HostWindowOf(*this);
  if (variant_ != kListVariant || host_ == nullptr || document_ == nullptr) return;

  list_ = std::make_unique<win::ComboBox>(win::ControlKind::kComboDropList);
  if (!list_->CreateControl(host_, rect_, kEventKindComboId, {},
                            win::kWsChild | win::kWsVisible | win::kWsVScroll)) {
    list_.reset();
    return;
  }
  for (const int kind : kListKinds) {
    const int index = list_->AddString(document_->GetKindName(kind));
    list_->SetItemData(index, static_cast<uintptr_t>(kind));
  }
  saved_flags_ = document_->GetNavigationFlags();
  const int remembered = document_->GetSettings().Int(SettingKey::kECGSamplesLast);
  const auto found = std::find(kListKinds.begin(), kListKinds.end(), remembered);
  const int index = found == kListKinds.end() ? 0 : static_cast<int>(found - kListKinds.begin());
  list_->SetCurSel(index);
  SelectClass(index);
}

void CEventLegendArea::OnLayout(int left, int top, int right, int bottom) {
  if (!list_) {
    const std::vector<gfx::Rect> rows = LayOutLegendRows(rect_, static_cast<int>(items_.size()), document_);
    for (size_t i = 0; i < rows.size(); ++i) items_[i]->SetRect(rows[i]);
    return;
  }
  // The list drops down as a pop-up of its own, so the box keeps the area's height: a taller box
  // would cover the areas below it.
  list_->MoveWindow(rect_, true);
  if (first_layout_) {
    first_layout_ = false;
    if (CViewAreaConfig* root = config_->GetRoot())
      root->BroadcastAll(areamsg::kLegendKind, static_cast<win::WParam>(SelectedListKind()), 0);
  }
}

void CEventLegendArea::ToggleAt(const gfx::Point& point) {
  if (document_ == nullptr) return;
  for (const auto& item : items_) {
    const gfx::Rect& row = item->GetRect();
    if (!(row.top < point.y && point.y < row.bottom)) continue;
    const int code = item->GetCode();
    if (!IsValidClassCode(code)) return;
    auto& flags = document_->GetNavigationFlags();
    SelectWithForms(flags, code, flags[static_cast<size_t>(code)] == 0 ? 1 : 0);
    if (host_ != nullptr) {
      win::ClientDc dc(*host_);
      item->Draw(dc.Canvas());
    }
    return;
  }
}

void CEventLegendArea::SelectClass(int list_index) {
  if (document_ == nullptr) return;
  auto& flags = document_->GetNavigationFlags();
  flags.fill(0);
  if (list_index < 0 || list_index >= static_cast<int>(kListKinds.size())) return;
  const int kind = kListKinds[static_cast<size_t>(list_index)];
  flags[static_cast<size_t>(kind)] = 1;
  if (kind == kArrhythmia) SelectWithForms(flags, kind, 1);
}

std::unique_ptr<CViewArea> CEventLegendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CEventLegendArea>(this, doc, variant_);
}
