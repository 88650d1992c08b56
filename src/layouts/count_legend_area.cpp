#include "layouts/count_legend_area.h"

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "views/area_messages.h"
#include "win/window.h"

CCountLegendArea::CCountLegendArea(CViewAreaConfig* config, CZK470Doc* document, int variant)
    : CViewArea(config, document) {
  for (const LegendRow& row : LegendRowsOfVariant(variant))
    items_.push_back(
        std::make_unique<CClassLegendItem>(document, row.code, row.blue ? kLegendLightBlue : kLegendWhite));
}

void CCountLegendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  for (const auto& item : items_) item->Draw(dc);
}

int CCountLegendArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != areamsg::kLegendKind) return 0;
  if (!items_.empty()) items_.front()->SetCode(static_cast<int>(wparam));
  return 1;
}

void CCountLegendArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (IsLegendRebuildHint(hint, object)) {
    InvalidateArea(*this, rect_);
  } else if (hint == hint::kArea20000 || hint == hint::kArea20003) {
    if (TakeListedKind(config_, items_)) InvalidateArea(*this, rect_);
  } else if (hint == hint::kCountsChanged) {
    const auto* counts = dynamic_cast<const TCountsHint*>(object);
    if (counts == nullptr) {
      InvalidateArea(*this, rect_);
    } else if (host_ != nullptr && host_->IsWindow()) {
      win::ClientDc dc(*host_);
      DrawMarkedItems(dc.Canvas(), items_, *counts);
    }
  }
}

void CCountLegendArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  host_ = HostWindowOf(*this);
}

void CCountLegendArea::OnLayout(int left, int top, int right, int bottom) {
  // The legend's list may announce its kind before this area exists; ask it.
  TakeListedKind(config_, items_);
  const std::vector<gfx::Rect> rows = LayOutLegendRows(rect_, static_cast<int>(items_.size()), document_);
  for (size_t i = 0; i < rows.size(); ++i) items_[i]->SetRect(rows[i]);
}

std::unique_ptr<CViewArea> CCountLegendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CCountLegendArea>(this, doc, variant_);
}
