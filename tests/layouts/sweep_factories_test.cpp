#include "layouts/sweep_factories.h"

#include <gtest/gtest.h>

#include "layout_harness.h"
#include "views/area_messages.h"
#include "views/online_ecg_area.h"

namespace {

TEST(SweepFactories, OnlineScreensGetASweepPerChannelOverTheirGrid) {
  RegisterSweepFactories();
  struct Case {
    const char* name;
    int layout;
    int channels;
  };
  constexpr Case kCases[] = {{"two channels", 6, 2}, {"three channels", 19, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    layouttest::LayoutHarness harness(c.layout, 1000, 700);
    for (int channel = 0; channel < c.channels; ++channel) {
      SCOPED_TRACE(channel);
      auto* node = dynamic_cast<COnlineECGAreaConfig*>(harness.Node(4 + channel));
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(node->GetChannel(), channel);
      // The recorder area finds each channel's sweep from the root, as it does at attach.
      CViewArea* found = nullptr;
      EXPECT_TRUE(node->GetRoot()->BroadcastUntilHandled(
          areamsg::kFindSweepArea, static_cast<win::WParam>(channel), reinterpret_cast<win::LParam>(&found)));
      ASSERT_EQ(found, node->GetArea());
      auto* sweep = dynamic_cast<COnlineECGArea*>(found);
      ASSERT_NE(sweep, nullptr);
      EXPECT_EQ(sweep->GetGridArea(), harness.Node(2)->GetArea());
      EXPECT_EQ(static_cast<int>(sweep->GetPoints().size()), harness.RectOf(4 + channel).right);
    }
  }
}

}  // namespace
