#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "layouts/legend_items.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace win {
class Window;
}

// The right column of the navigation band: one box per row of its variant with the number of
// beats or events of that row's code. Counts that change with an edit are redrawn at once; the
// rest waits for the next paint. User-interface thread only.
class CCountLegendArea : public CViewArea {
 public:
  CCountLegendArea(CViewAreaConfig* config, CZK470Doc* document, int variant);

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  const LegendItems& Items() const { return items_; }

 private:
  LegendItems items_;
  win::Window* host_ = nullptr;
};

class CCountLegendAreaConfig : public CViewAreaConfig {
 public:
  CCountLegendAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                         int variant)
      : CViewAreaConfig(position, min_size, per_mille, clip), variant_(variant) {}
  std::string_view GetClassName() const override { return "CCountLegendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetVariant() const { return variant_; }

 private:
  int variant_ = 0;
};
