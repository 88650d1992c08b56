#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "layouts/default_layouts.h"
#include "layouts/layout_harness.h"
#include "layouts/layout_table.h"
#include "platform/process_context.h"
#include "views/fill_areas.h"
#include "views/layout_tree.h"
#include "views/pixel_grid.h"
#include "views/placeholder_area.h"
#include "views/view_area.h"
#include "views/window_area.h"

namespace {

using layouts::LayoutRow;
using layouts::P;
using layouts::S;

constexpr int kNodeCounts[kLayoutCount] = {22, 20, 20, 18, 8,  2,  8,  32, 19, 19, 27,
                                           9,  55, 17, 17, 15, 15, 14, 2,  9,  29, 19};

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

int CountNodes(const CViewAreaConfig& node) {
  int count = 1;
  for (int i = 0; i < node.GetChildCount(); ++i) count += CountNodes(*node.GetChild(i));
  return count;
}

// Row number -> child index in its parent (the value AddChild returned).
std::vector<int> ChildIndices(std::span<const LayoutRow> table) {
  std::vector<int> index(table.size(), -1);
  std::vector<int> taken(table.size(), 0);
  for (size_t row = 1; row < table.size(); ++row)
    index[row] = taken[static_cast<size_t>(table[row].parent)]++;
  return index;
}

// A block's rows with row numbers and parents counted from the block's root row, so that the
// same sub-tree compares equal wherever a table puts it.
struct BlockRow {
  int parent;
  std::string_view class_name;
  CPosition position;
  int min_width, min_height, per_mille_width, per_mille_height, flag, argument;
  uint32_t color;
  int divisions_x, divisions_y;
  friend bool operator==(const BlockRow&, const BlockRow&) = default;
};

BlockRow Normalise(const LayoutRow& row, int root) {
  return {row.parent - root, row.class_name,      layouts::ToPosition(row), row.min_width,
          row.min_height,    row.per_mille_width, row.per_mille_height,     row.flag,
          row.argument,      row.color,           row.divisions_x,          row.divisions_y};
}

// The descendants of the row, in table order.
std::vector<BlockRow> Descendants(std::span<const LayoutRow> table, int root) {
  std::vector<BlockRow> rows;
  for (size_t row = static_cast<size_t>(root) + 1; row < table.size(); ++row) {
    int ancestor = table[row].parent;
    while (ancestor > root) ancestor = table[static_cast<size_t>(ancestor)].parent;
    if (ancestor == root) rows.push_back(Normalise(table[row], root));
  }
  return rows;
}

// The rows of a class in a table.
std::vector<int> RowsOf(std::span<const LayoutRow> table, std::string_view class_name) {
  std::vector<int> rows;
  for (const LayoutRow& row : table)
    if (row.class_name == class_name) rows.push_back(row.number);
  return rows;
}

class DefaultLayoutsTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    ASSERT_TRUE(CreateDefaultLayouts());
    ASSERT_NE(GetDefaultLayouts(), nullptr);
  }
  void TearDown() override { platform::ResetProcessState(); }
};

TEST_F(DefaultLayoutsTest, ListHoldsTheScreensInIndexOrder) {
  const CViewConfigurations& list = *GetDefaultLayouts();
  ASSERT_EQ(list.GetCount(), kLayoutCount);
  // The classes of each root's children identify the screen.
  const std::vector<std::vector<std::string_view>> top_level = {
      {"CNavigationWindowConfig", "CECGStripWindowConfig"},
      {"CECGWindowConfig", "CECGStripWindowConfig"},
      {"CNavigationWindowConfig", "CHRTrendWindowConfig"},
      {"CECGWindowConfig", "CHRTrendWindowConfig"},
      {"CBarGraphWindowConfig"},
      {"CLogoWindowConfig"},
      {"CRecorderWindowConfig", "COnlinePanelWindowConfig"},
      {"CNavigationWindowConfig", "CSTTrendWindowConfig", "CHRTrendWindowConfig", "CECGStripWindowConfig"},
      {"CTemplateClassesWindowConfig"},
      {"CBeatPageWindowConfig", "CViewAreaConfig"},
      {"CTemplateClassesWindowConfig"},
      {"CECGWindowConfig"},
      {"CNavigationWindowConfig", "CViewAreaConfig", "CECGStripWindowConfig"},
      {"CHRVTrendWindowConfig", "CECGStripWindowConfig"},
      {"CHRVTrendWindowConfig", "CECGStripWindowConfig"},
      {"CHRVTrendWindowConfig", "CECGStripWindowConfig"},
      {"CPMTemplateWindowConfig"},
      {"CStatisticsWindowConfig", "CECGStripWindowConfig"},
      {"CDocumentBrowserWindowConfig"},
      {"CRecorderWindowConfig", "COnlinePanelWindowConfig"},
      {"CNavigationWindowConfig", "CECGWindowConfig", "CECGStripWindowConfig"},
      {"CHRNavigatorWindowConfig", "CECGStripWindowConfig"},
  };
  for (int index = 0; index < kLayoutCount; ++index) {
    SCOPED_TRACE(testing::Message() << "layout " << index);
    const CViewConfiguration* root = list.GetAt(index);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountNodes(*root), kNodeCounts[index]);
    EXPECT_EQ(static_cast<int>(GetLayoutTable(index).size()), kNodeCounts[index]);
    EXPECT_EQ(root->GetKind(), 1);
    EXPECT_EQ(root->GetSubKind(), 1);
    EXPECT_EQ(root->GetFlag(), 1);
    std::vector<std::string_view> classes;
    for (int i = 0; i < root->GetChildCount(); ++i) classes.push_back(root->GetChild(i)->GetClassName());
    EXPECT_EQ(classes, top_level[static_cast<size_t>(index)]);
  }
  EXPECT_EQ(list.GetAt(kLayoutCount), nullptr);
}

// Every node is its row: class, anchors, sizes; clip is the flag for areas, always set for
// windows (where the flag is the focusable flag) and always clear for pixel grids.
TEST_F(DefaultLayoutsTest, TreesAreTheirTables) {
  for (int index = 0; index < kLayoutCount; ++index) {
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    ASSERT_FALSE(table.empty()) << "layout " << index;
    std::vector<const CViewAreaConfig*> nodes(table.size(), nullptr);
    std::vector<int> taken(table.size(), 0);
    nodes[0] = GetDefaultLayouts()->GetAt(index);
    EXPECT_EQ(table[0].class_name, "CViewConfiguration");
    for (size_t row = 1; row < table.size(); ++row) {
      SCOPED_TRACE(testing::Message() << "layout " << index << " row " << row);
      const LayoutRow& want = table[row];
      ASSERT_EQ(want.number, static_cast<int>(row));
      ASSERT_TRUE(want.parent >= 0 && want.parent < want.number);
      const CViewAreaConfig* parent = nodes[static_cast<size_t>(want.parent)];
      ASSERT_LT(taken[static_cast<size_t>(want.parent)], parent->GetChildCount());
      const CViewAreaConfig* node = parent->GetChild(taken[static_cast<size_t>(want.parent)]++);
      nodes[row] = node;
      EXPECT_EQ(node->GetClassName(), want.class_name);
      EXPECT_EQ(node->GetPosition(), layouts::ToPosition(want));
      EXPECT_EQ(node->GetMinSize(), (gfx::Size{want.min_width, want.min_height}));
      EXPECT_EQ(node->GetPerMille(), (gfx::Size{want.per_mille_width, want.per_mille_height}));
      const auto* window = dynamic_cast<const CWindowAreaConfig*>(node);
      const auto* grid = dynamic_cast<const CPixelGridConfig*>(node);
      EXPECT_EQ(window != nullptr, EndsWith(want.class_name, "WindowConfig"));
      EXPECT_EQ(grid != nullptr, EndsWith(want.class_name, "PixelGridConfig"));
      if (window != nullptr) {
        EXPECT_TRUE(node->GetClip());
        EXPECT_EQ(window->IsFocusable(), want.flag != 0);
      } else if (grid != nullptr) {
        EXPECT_FALSE(node->GetClip());
        EXPECT_EQ(grid->GetColor(), want.color);
        EXPECT_EQ(grid->GetDivisionsX(), want.divisions_x);
        EXPECT_EQ(grid->GetDivisionsY(), want.divisions_y);
      } else {
        EXPECT_EQ(node->GetClip(), want.flag != 0);
      }
    }
    for (size_t row = 0; row < table.size(); ++row)
      EXPECT_EQ(nodes[row]->GetChildCount(), taken[row]) << "layout " << index << " row " << row;
  }
}

// What every table keeps to: offsets +0, sibling anchors naming earlier siblings only, edges 0
// or 1, window nodes not focusable, grids grey with 10 x 10 divisions.
TEST(LayoutTables, KeepTheRulesOfTheBuiltInScreens) {
  for (int index = 0; index < kLayoutCount; ++index) {
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    const std::vector<int> child_index = ChildIndices(table);
    for (size_t row = 1; row < table.size(); ++row) {
      SCOPED_TRACE(testing::Message() << "layout " << index << " row " << row);
      const LayoutRow& r = table[row];
      EXPECT_EQ(r.x.offset, 0);
      EXPECT_EQ(r.y.offset, 0);
      for (const layouts::Anchor& anchor : {r.x, r.y}) {
        EXPECT_TRUE(anchor.edge == 0 || anchor.edge == 1);
        EXPECT_GE(anchor.reference, -1);
        EXPECT_LT(anchor.reference, child_index[row]);
      }
      if (EndsWith(r.class_name, "WindowConfig")) {
        EXPECT_EQ(r.flag, 0);
      }
      if (EndsWith(r.class_name, "PixelGridConfig")) {
        EXPECT_EQ(r.color, 0xC0C0C0u);
        EXPECT_EQ(r.divisions_x, 10);
        EXPECT_EQ(r.divisions_y, 10);
      }
    }
  }
}

TEST(LayoutTables, SharedBlocksAreIdentical) {
  // The ECG strip window block: its window row (sizes and all) and ten descendants; layout 9 has
  // the same descendants under a window of other sizes.
  const std::span<const LayoutRow> reference = GetLayoutTable(0);
  const std::vector<BlockRow> strip = Descendants(reference, 11);
  ASSERT_EQ(strip.size(), 10u);
  std::vector<int> with_strip;
  for (int index = 0; index < kLayoutCount; ++index) {
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    for (const int row : RowsOf(table, "CECGStripWindowConfig")) {
      SCOPED_TRACE(testing::Message() << "layout " << index << " row " << row);
      with_strip.push_back(index);
      EXPECT_EQ(Descendants(table, row), strip);
      const LayoutRow& window = table[static_cast<size_t>(row)];
      const gfx::Size min{window.min_width, window.min_height};
      const gfx::Size per_mille{window.per_mille_width, window.per_mille_height};
      EXPECT_EQ(min, (index == 9 ? gfx::Size{150, 100} : gfx::Size{300, 100}));
      EXPECT_EQ(per_mille, (index == 9 ? gfx::Size{1000, 1000} : gfx::Size{1000, 380}));
    }
  }
  EXPECT_EQ(with_strip, (std::vector<int>{0, 1, 7, 9, 12, 13, 14, 15, 17, 20, 21}));

  // The ECG page window block: seven descendants everywhere; the window 300 x 280 at 620 per
  // mille beside another window, 300 x 300 filling the view in layout 11.
  const std::span<const LayoutRow> page_reference = GetLayoutTable(1);
  const std::vector<BlockRow> page = Descendants(page_reference, 1);
  ASSERT_EQ(page.size(), 7u);
  std::vector<int> with_page;
  for (int index = 0; index < kLayoutCount; ++index) {
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    for (const int row : RowsOf(table, "CECGWindowConfig")) {
      SCOPED_TRACE(testing::Message() << "layout " << index << " row " << row);
      with_page.push_back(index);
      EXPECT_EQ(Descendants(table, row), page);
      const LayoutRow& window = table[static_cast<size_t>(row)];
      const gfx::Size min{window.min_width, window.min_height};
      const gfx::Size per_mille{window.per_mille_width, window.per_mille_height};
      EXPECT_EQ(min, (index == 11 ? gfx::Size{300, 300} : gfx::Size{300, 280}));
      EXPECT_EQ(per_mille, (index == 11 ? gfx::Size{1000, 1000} : gfx::Size{1000, 620}));
    }
  }
  EXPECT_EQ(with_page, (std::vector<int>{1, 3, 11, 20}));
}

// The two online screens differ only in their sweep channels: two of 500 thousandths, or three
// of 333, 333 and 334, numbered from 0 without gaps.
TEST(LayoutTables, OnlineScreensDifferOnlyInTheirSweeps) {
  struct Shape {
    std::string_view class_name;
    std::string_view parent_class;
    BlockRow row;
  };
  const auto shapes = [](int index, std::vector<int>* channels, std::vector<int>* heights) {
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    std::vector<Shape> rest;
    for (size_t row = 1; row < table.size(); ++row) {
      const LayoutRow& r = table[row];
      if (r.class_name == "COnlineECGAreaConfig") {
        channels->push_back(r.argument);
        heights->push_back(r.per_mille_height);
        continue;
      }
      BlockRow normalised = Normalise(r, 0);
      normalised.parent = 0;
      rest.push_back({r.class_name, table[static_cast<size_t>(r.parent)].class_name, normalised});
    }
    return rest;
  };
  std::vector<int> channels6, heights6, channels19, heights19;
  const std::vector<Shape> rest6 = shapes(6, &channels6, &heights6);
  const std::vector<Shape> rest19 = shapes(19, &channels19, &heights19);
  ASSERT_EQ(rest6.size(), rest19.size());
  for (size_t i = 0; i < rest6.size(); ++i) {
    SCOPED_TRACE(rest6[i].class_name);
    EXPECT_EQ(rest6[i].class_name, rest19[i].class_name);
    EXPECT_EQ(rest6[i].parent_class, rest19[i].parent_class);
    EXPECT_TRUE(rest6[i].row == rest19[i].row);
  }
  EXPECT_EQ(channels6, (std::vector<int>{0, 1}));
  EXPECT_EQ(heights6, (std::vector<int>{500, 500}));
  EXPECT_EQ(channels19, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(heights19, (std::vector<int>{333, 333, 334}));
}

TEST(DefaultLayouts, BuildDeleteAndRebuild) {
  platform::ResetProcessState();
  EXPECT_EQ(GetDefaultLayouts(), nullptr);
  ASSERT_TRUE(CreateDefaultLayouts());
  // A second build replaces the list (the sanitizer build sees the first one go).
  ASSERT_TRUE(CreateDefaultLayouts());
  ASSERT_NE(GetDefaultLayouts(), nullptr);
  EXPECT_EQ(GetDefaultLayouts()->GetCount(), kLayoutCount);
  DeleteDefaultLayouts();
  EXPECT_EQ(GetDefaultLayouts(), nullptr);
  ASSERT_TRUE(CreateDefaultLayouts());
  platform::ResetProcessState();
  EXPECT_EQ(GetDefaultLayouts(), nullptr);
}

// Every screen can be shown: each node below the root gets its area, each window node a live
// hosted window, whether its class is the framework's or a placeholder's.
TEST(DefaultLayouts, EveryScreenShowsAnAreaForEachNode) {
  for (int index = 0; index < kLayoutCount; ++index) {
    const layouttest::LayoutHarness harness(index, 1000, 700);
    const std::span<const LayoutRow> table = GetLayoutTable(index);
    for (size_t row = 1; row < table.size(); ++row) {
      SCOPED_TRACE(testing::Message() << "layout " << index << " row " << row);
      const CViewAreaConfig* node = harness.Node(static_cast<int>(row));
      ASSERT_NE(node, nullptr);
      ASSERT_NE(node->GetArea(), nullptr);
      EXPECT_EQ(node->GetArea()->HasWindow(), EndsWith(table[row].class_name, "WindowConfig"));
    }
  }
}

// A node that remembers the row it was made from.
class ProbeConfig : public CViewAreaConfig {
 public:
  ProbeConfig(const LayoutRow& row, int tag)
      : CViewAreaConfig(layouts::ToPosition(row), {row.min_width, row.min_height},
                        {row.per_mille_width, row.per_mille_height}, row.flag != 0),
        argument(row.argument),
        tag(tag) {}
  std::string_view GetClassName() const override { return "CProbeRegisteredAreaConfig"; }
  int argument;
  int tag;
};

TEST(LayoutRegistry, FrameworkClassesAreKnownFromTheStart) {
  struct Case {
    std::string_view class_name;
    std::function<bool(const CViewAreaConfig&)> is_its_class;
  };
  const auto is = []<typename T>(T*) {
    return std::function<bool(const CViewAreaConfig&)>(
        [](const CViewAreaConfig& node) { return dynamic_cast<const T*>(&node) != nullptr; });
  };
  const Case cases[] = {
      {"CViewAreaConfig", is(static_cast<CViewAreaConfig*>(nullptr))},
      {"CBlankAreaConfig", is(static_cast<CBlankAreaConfig*>(nullptr))},
      {"CSpacerAreaConfig", is(static_cast<CSpacerAreaConfig*>(nullptr))},
      {"CBackgroundAreaConfig", is(static_cast<CBackgroundAreaConfig*>(nullptr))},
      {"CPixelGridConfig", is(static_cast<CPixelGridConfig*>(nullptr))},
      {"CECGPixelGridConfig", is(static_cast<CECGPixelGridConfig*>(nullptr))},
      {"CStripPixelGridConfig", is(static_cast<CStripPixelGridConfig*>(nullptr))},
      {"CHRTrendWindowConfig", is(static_cast<CHRTrendWindowConfig*>(nullptr))},
      {"CWindowAreaConfig", is(static_cast<CWindowAreaConfig*>(nullptr))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.class_name);
    EXPECT_TRUE(layouts::HasNodeFactory(c.class_name));
    const LayoutRow row{1, 0, c.class_name, P(1), S(0, 1), 40, 30, 1000, 500, 1, 0, 0x123456, 4, 5};
    const std::unique_ptr<CViewAreaConfig> node = layouts::CreateNode(row);
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(c.is_its_class(*node));
    EXPECT_EQ(node->GetClassName(), c.class_name);
    EXPECT_EQ(node->GetPosition(), (CPosition{{-1, 1, 0}, {0, 1, 0}}));
    EXPECT_EQ(node->GetMinSize(), (gfx::Size{40, 30}));
    EXPECT_EQ(node->GetPerMille(), (gfx::Size{1000, 500}));
    if (const auto* grid = dynamic_cast<const CPixelGridConfig*>(node.get())) {
      EXPECT_EQ(grid->GetColor(), 0x123456u);
      EXPECT_EQ(grid->GetDivisionsX(), 4);
      EXPECT_EQ(grid->GetDivisionsY(), 5);
    }
  }
}

TEST(LayoutRegistry, UnknownClassesBecomeNamedPlaceholders) {
  struct Case {
    std::string_view class_name;
    int flag;
    bool window;
  };
  constexpr Case kCases[] = {
      {"CProbeUnknownAreaConfig", 1, false},
      {"CProbeUnknownAreaConfig", 0, false},
      {"CProbeUnknownWindowConfig", 0, true},
      {"CProbeUnknownWindowConfig", 1, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.class_name << " flag " << c.flag);
    EXPECT_FALSE(layouts::HasNodeFactory(c.class_name));
    const LayoutRow row{1, 0, c.class_name, P(0), P(0), 50, 20, 0, 1000, c.flag};
    const std::unique_ptr<CViewAreaConfig> node = layouts::CreateNode(row);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetClassName(), c.class_name);
    EXPECT_EQ(node->GetMinSize(), (gfx::Size{50, 20}));
    EXPECT_EQ(node->GetPerMille(), (gfx::Size{0, 1000}));
    if (c.window) {
      const auto* window = dynamic_cast<const CNamedPlaceholderWindowConfig*>(node.get());
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(window->IsFocusable(), c.flag != 0);
      EXPECT_TRUE(node->GetClip());
    } else {
      EXPECT_NE(dynamic_cast<const CNamedPlaceholderAreaConfig*>(node.get()), nullptr);
      EXPECT_EQ(node->GetClip(), c.flag != 0);
    }
  }
}

TEST(LayoutRegistry, RegisteredFactoriesBuildTheirRowsAndAreReplaced) {
  constexpr std::string_view kName = "CProbeRegisteredAreaConfig";
  constexpr LayoutRow kTable[] = {
      {0, -1, "CViewConfiguration", {}, {}},
      {1, 0, "CViewAreaConfig", P(0), P(0), 100, 100, 1000, 1000, 0},
      {2, 1, kName, P(0), P(0), 10, 10, 0, 0, 1, 7},
      {3, 1, "CProbeGoneAreaConfig", S(0, 1), P(0), 10, 10, 0, 0, 1, 8},
      {4, 1, kName, S(1, 1), P(0), 10, 10, 0, 0, 1, 9},
  };
  layouts::RegisterNodeFactory(kName,
                               [](const LayoutRow& row) { return std::make_unique<ProbeConfig>(row, 1); });
  // A factory that makes nothing leaves a placeholder, so that later anchors still count right.
  layouts::RegisterNodeFactory("CProbeGoneAreaConfig", [](const LayoutRow&) { return nullptr; });
  EXPECT_TRUE(layouts::HasNodeFactory(kName));

  std::unique_ptr<CViewConfiguration> root = layouts::BuildLayout(kTable);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetKind(), 1);
  EXPECT_EQ(root->GetSubKind(), 1);
  EXPECT_EQ(root->GetFlag(), 1);
  ASSERT_EQ(root->GetChildCount(), 1);
  const CViewAreaConfig* row1 = root->GetChild(0);
  ASSERT_EQ(row1->GetChildCount(), 3);
  const auto* first = dynamic_cast<const ProbeConfig*>(row1->GetChild(0));
  const auto* last = dynamic_cast<const ProbeConfig*>(row1->GetChild(2));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(first->argument, 7);
  EXPECT_EQ(last->argument, 9);
  EXPECT_EQ(last->GetPosition(), (CPosition{{1, 1, 0}, {-1, 0, 0}}));
  EXPECT_NE(dynamic_cast<const CNamedPlaceholderAreaConfig*>(row1->GetChild(1)), nullptr);
  EXPECT_EQ(row1->GetChild(1)->GetClassName(), "CProbeGoneAreaConfig");

  layouts::RegisterNodeFactory(kName,
                               [](const LayoutRow& row) { return std::make_unique<ProbeConfig>(row, 2); });
  const std::unique_ptr<CViewAreaConfig> replaced = layouts::CreateNode(kTable[2]);
  const auto* probe = dynamic_cast<const ProbeConfig*>(replaced.get());
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->tag, 2);
}

TEST(LayoutRegistry, PositionsKeepReferenceEdgeAndSignedOffset) {
  const LayoutRow row{1, 0, "CViewAreaConfig", P(1, 5), S(2, 0, -3)};
  EXPECT_EQ(layouts::ToPosition(row), (CPosition{{-1, 1, 5}, {2, 0, -3}}));
}

}  // namespace
