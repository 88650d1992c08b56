#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "document/beat_class.h"
#include "layouts/legend_items.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace win {
class ComboBox;
class Window;
}  // namespace win

// The left column of the navigation band: one name box per row; a click on a name switches that
// kind in or out of the document's kind selection, which event navigation and the example strips
// follow. In variant 2 a drop-down list of event kinds stands in for the boxes: while the list
// exists it owns the selection (the document's flags are saved at attach and written back when
// the area goes), and its choice is remembered for the next time. User-interface thread only.
class CEventLegendArea : public CViewArea {
 public:
  // The kinds of the drop-down list, in list order.
  static constexpr std::array<int, 17> kListKinds = {6,  7,  8,  24, 9,  10, 11, 12, 13,
                                                     14, 15, 16, 17, 18, 19, 20, 23};

  CEventLegendArea(CViewAreaConfig* config, CZK470Doc* document, int variant);
  ~CEventLegendArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // Toggles the kind of the row under the point (and the kinds it stands for) and redraws the row.
  void ToggleAt(const gfx::Point& point);
  // Selects only the kind of that list entry (absolute arrhythmia with its two forms).
  void SelectClass(int list_index);

  const LegendItems& Items() const { return items_; }
  win::ComboBox* GetList() const { return list_.get(); }

 private:
  int SelectedListKind() const;

  LegendItems items_;
  int variant_ = 0;
  bool pressed_ = false;
  std::unique_ptr<win::ComboBox> list_;
  std::array<int32_t, kClassCount> saved_flags_{};
  bool first_layout_ = true;
  win::Window* host_ = nullptr;
};

class CEventLegendAreaConfig : public CViewAreaConfig {
 public:
  CEventLegendAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                         int variant)
      : CViewAreaConfig(position, min_size, per_mille, clip), variant_(variant) {}
  std::string_view GetClassName() const override { return "CEventLegendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
  int GetVariant() const { return variant_; }

 private:
  int variant_ = 0;
};
