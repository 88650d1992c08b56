#include <cassert>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "layouts/layout_table.h"
#include "views/fill_areas.h"
#include "views/pixel_grid.h"
#include "views/placeholder_area.h"
#include "views/window_area.h"

namespace layouts {
namespace {

gfx::Size MinSize(const LayoutRow& row) { return {row.min_width, row.min_height}; }
gfx::Size PerMille(const LayoutRow& row) { return {row.per_mille_width, row.per_mille_height}; }

template <typename Config>
std::unique_ptr<CViewAreaConfig> MakeArea(const LayoutRow& row) {
  return std::make_unique<Config>(ToPosition(row), MinSize(row), PerMille(row), row.flag != 0);
}

template <typename Config>
std::unique_ptr<CViewAreaConfig> MakeGrid(const LayoutRow& row) {
  return std::make_unique<Config>(ToPosition(row), MinSize(row), PerMille(row), row.color, row.divisions_x,
                                  row.divisions_y);
}

struct BuiltIn {
  std::string_view class_name;
  std::unique_ptr<CViewAreaConfig> (*make)(const LayoutRow& row);
};

// The framework's own classes, known before any registration runs; later libraries cannot
// replace them.
constexpr BuiltIn kBuiltIns[] = {
    {"CViewAreaConfig", MakeArea<CViewAreaConfig>},
    {"CBlankAreaConfig", MakeArea<CBlankAreaConfig>},
    {"CSpacerAreaConfig", MakeArea<CSpacerAreaConfig>},
    {"CBackgroundAreaConfig", MakeArea<CBackgroundAreaConfig>},
    {"CPixelGridConfig", MakeGrid<CPixelGridConfig>},
    {"CECGPixelGridConfig", MakeGrid<CECGPixelGridConfig>},
    {"CStripPixelGridConfig", MakeGrid<CStripPixelGridConfig>},
    {"CHRTrendWindowConfig", MakeArea<CHRTrendWindowConfig>},
    {"CWindowAreaConfig", MakeArea<CWindowAreaConfig>},
};

const BuiltIn* FindBuiltIn(std::string_view class_name) {
  for (const BuiltIn& entry : kBuiltIns)
    if (entry.class_name == class_name) return &entry;
  return nullptr;
}

// Filled at start-up by the libraries above this one. Not part of the process reset: the
// registrations describe the program, not one run of it.
NodeFactories& Registered() {
  static NodeFactories factories;
  return factories;
}

bool IsWindowClass(std::string_view class_name) {
  constexpr std::string_view kSuffix = "WindowConfig";
  return class_name.size() >= kSuffix.size() &&
         class_name.substr(class_name.size() - kSuffix.size()) == kSuffix;
}

std::unique_ptr<CViewAreaConfig> MakePlaceholder(const LayoutRow& row) {
  if (IsWindowClass(row.class_name))
    return std::make_unique<CNamedPlaceholderWindowConfig>(std::string(row.class_name), ToPosition(row),
                                                           MinSize(row), PerMille(row), row.flag != 0);
  return std::make_unique<CNamedPlaceholderAreaConfig>(std::string(row.class_name), ToPosition(row),
                                                       MinSize(row), PerMille(row), row.flag != 0);
}

}  // namespace

CPosition ToPosition(const LayoutRow& row) {
  return CPosition{CXPosition{row.x.reference, row.x.edge, row.x.offset},
                   CYPosition{row.y.reference, row.y.edge, row.y.offset}};
}

void RegisterNodeFactory(std::string_view class_name, NodeFactory factory) {
  auto& factories = Registered();
  const auto found = factories.find(class_name);
  if (found != factories.end())
    found->second = std::move(factory);
  else
    factories.emplace(std::string(class_name), std::move(factory));
}

NodeFactories GetNodeFactories() { return Registered(); }

void SetNodeFactories(NodeFactories factories) { Registered() = std::move(factories); }

bool HasNodeFactory(std::string_view class_name) {
  return FindBuiltIn(class_name) != nullptr || Registered().contains(class_name);
}

std::unique_ptr<CViewAreaConfig> CreateNode(const LayoutRow& row) {
  if (const BuiltIn* built_in = FindBuiltIn(row.class_name)) return built_in->make(row);
  const auto& factories = Registered();
  // A factory that makes nothing still leaves a node, so that the sibling indices of the table hold.
  if (const auto found = factories.find(row.class_name); found != factories.end() && found->second) {
    if (std::unique_ptr<CViewAreaConfig> node = found->second(row)) return node;
  }
  return MakePlaceholder(row);
}

std::unique_ptr<CViewConfiguration> BuildLayout(std::span<const LayoutRow> rows) {
  // Every built-in screen is a (1, 1, 1) root; its own position and sizes play no part.
  auto root = std::make_unique<CViewConfiguration>(1, 1, 1);
  // Row number -> node, so that a row names its parent as the table prints it.
  std::vector<CViewAreaConfig*> nodes(rows.size(), nullptr);
  if (!rows.empty()) nodes[0] = root.get();
  for (size_t i = 1; i < rows.size(); ++i) {
    const LayoutRow& row = rows[i];
    assert(row.number == static_cast<int>(i) && "rows are numbered in creation order");
    assert(row.parent >= 0 && row.parent < row.number && "a parent precedes its children");
    if (row.number != static_cast<int>(i) || row.parent < 0 || row.parent >= row.number) return nullptr;
    std::unique_ptr<CViewAreaConfig> node = CreateNode(row);
    nodes[i] = node.get();
    nodes[static_cast<size_t>(row.parent)]->AddChild(std::move(node));
  }
  return root;
}

}  // namespace layouts
