#pragma once

#include <array>
#include <cstdint>

#include "gfx/geometry.h"
#include "win/controls.h"
#include "win/property_sheet.h"

class CZK470Doc;
namespace gfx {
class Canvas;
}
namespace platform {
class ResourcePack;
}

// A combo box whose entries are plain colour swatches; each entry's item data is its colour.
class TColourCombo : public win::ComboBox {
 public:
  // What an owner-draw request asks for.
  static constexpr unsigned kDrawEntire = 0x0001;
  static constexpr unsigned kDrawSelect = 0x0002;
  static constexpr int kItemHeight = 20;

  static int MeasureItem() { return kItemHeight; }
  // Draws one entry into item (the entry's whole rectangle).
  static void DrawItem(gfx::Canvas& canvas, const gfx::Rect& item, gfx::Color colour, unsigned action,
                       bool selected);
  // The order of two colours when the box sorts: negative when a comes first, 0 when equal.
  static int CompareItem(gfx::Color a, gfx::Color b);

  gfx::Color ColourAt(int index) const { return static_cast<gfx::Color>(GetItemData(index)); }
  // The entries have no texts: a host that lists them gets each one drawn as its swatch.
  bool DrawListEntry(gfx::Canvas& canvas, const gfx::Rect& rect, int index) override;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
};

// The colours of twelve beat and event kinds, each an index into the fifteen colours of
// ColourTable(). No sheet of the program shows it.
class TColoursPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 157;
  static constexpr int kBoxes = 12;
  // The boxes in binding order.
  static constexpr std::array<int, kBoxes> kBoxIds = {1068, 1069, 1070, 1011, 1072, 1073,
                                                      1074, 1075, 1076, 1071, 1077, 1078};
  // The controls the twelve values are exchanged with, in value order.
  static constexpr std::array<int, kBoxes> kValueIds = {1070, 1072, 1069, 1068, 1076, 1011,
                                                        1074, 1073, 1075, 1071, 1077, 1078};

  TColoursPage();
  explicit TColoursPage(const CZK470Doc& document);

  std::array<int, kBoxes> values{};
  TColourCombo& Box(int index) { return boxes_[static_cast<size_t>(index)]; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  std::array<TColourCombo, kBoxes> boxes_;
  const CZK470Doc* document_ = nullptr;
};

// The fifteen colours a "Colors" setting indexes.
const std::array<gfx::Color, 15>& ColourTable();

// The template of the colours page, German to the German pack, English to every other one.
void AddColourPageResources(platform::ResourcePack& pack);
