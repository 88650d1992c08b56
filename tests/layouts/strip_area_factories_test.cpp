#include "layouts/strip_area_factories.h"

#include <gtest/gtest.h>

#include "document/zk470_doc.h"
#include "layout_harness.h"
#include "layouts/editing_factories.h"
#include "layouts/sample_window_factories.h"
#include "views/area_messages.h"
#include "views/ecg_strip_area.h"

namespace {

// The strips of the built-in screens: the main strip in its strip window, answering where its
// cursor stands, and the three example strips of layout 12, each keeping its slot's window.
TEST(StripAreaFactories, TheScreensGetTheirStrips) {
  RegisterEditingFactories();
  RegisterSampleWindowFactories();
  RegisterStripAreaFactories();
  {
    layouttest::LayoutHarness harness(0, 1000, 700);
    auto* strip = dynamic_cast<CECGStripArea*>(harness.Node(17)->GetArea());
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->GetSampleSlot(), -1);
    const gfx::Rect r = harness.RectOf(17);
    int x = 0;
    EXPECT_TRUE(harness.Node(17)->GetRoot()->BroadcastUntilHandled(areamsg::kStripCursorX, 0,
                                                                   reinterpret_cast<win::LParam>(&x)));
    EXPECT_EQ(x, r.left + r.Width() / 3);
  }
  {
    layouttest::LayoutHarness harness(12, 1000, 700);
    int slot = 0;
    for (const int row : {17, 28, 39}) {
      SCOPED_TRACE(row);
      auto* strip = dynamic_cast<CSampleStripArea*>(harness.Node(row)->GetArea());
      ASSERT_NE(strip, nullptr);
      EXPECT_EQ(dynamic_cast<CECGStripArea*>(strip), nullptr);
      EXPECT_EQ(strip->GetSampleSlot(), slot);
      strip->SetStart(1234 + slot);
      EXPECT_EQ(harness.Doc().GetViewFields().sample_start_ms[static_cast<size_t>(slot)], 1234 + slot);
      ++slot;
    }
  }
}

}  // namespace
