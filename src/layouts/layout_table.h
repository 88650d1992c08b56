#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "views/layout_tree.h"

namespace layouts {

// One anchor as the tables print it: P/e/+n is {-1, e, n}, Si/e/+n is {i, e, n}.
struct Anchor {
  int reference = -1;
  int edge = 0;
  int offset = 0;
};

inline constexpr Anchor P(int edge, int offset = 0) { return {-1, edge, offset}; }
inline constexpr Anchor S(int sibling, int edge, int offset = 0) { return {sibling, edge, offset}; }

// One row of a layout table, in the builder's creation order. Row 0 is the root.
struct LayoutRow {
  int number = 0;
  int parent = -1;
  std::string_view class_name;
  Anchor x;
  Anchor y;
  int min_width = 0;
  int min_height = 0;
  int per_mille_width = 0;
  int per_mille_height = 0;
  // Clip for plain areas, focusable for window nodes, 0 for pixel grids.
  int flag = 0;
  // The one class-specific number: variant, sample slot, channel or class slot.
  int argument = 0;
  // Pixel grids only.
  uint32_t color = 0;
  int divisions_x = 0;
  int divisions_y = 0;
};

CPosition ToPosition(const LayoutRow& row);

// Makes the node of a row. Each configuration class registers one under its class name.
using NodeFactory = std::function<std::unique_ptr<CViewAreaConfig>(const LayoutRow& row)>;

// Replaces an earlier factory of the same name. Process-wide, set at start-up.
void RegisterNodeFactory(std::string_view class_name, NodeFactory factory);
bool HasNodeFactory(std::string_view class_name);
// The registrations as they stand, and putting them back: tests that register classes of their
// own leave the registry as they found it.
using NodeFactories = std::map<std::string, NodeFactory, std::less<>>;
NodeFactories GetNodeFactories();
void SetNodeFactories(NodeFactories factories);
// The registered factory's node; a class without one becomes a named placeholder (a box naming the
// class; window classes, "...WindowConfig", a placeholder window that hosts the row's children).
std::unique_ptr<CViewAreaConfig> CreateNode(const LayoutRow& row);

// Builds the tree of a table: row 0 is the root (kind 1, sub-kind 1, flag 1), every other row is
// added to its parent's node in row order.
std::unique_ptr<CViewConfiguration> BuildLayout(std::span<const LayoutRow> rows);

// The tables of the template-review, sample, HRV, pacemaker, statistics, document, full-ECG and
// heart-rate-navigator screens (8, 9, 10, 12 to 18, 20, 21); empty for any other index.
std::span<const LayoutRow> ReviewLayoutTable(int index);

}  // namespace layouts
