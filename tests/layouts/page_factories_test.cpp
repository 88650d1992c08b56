#include "layouts/page_factories.h"

#include <gtest/gtest.h>

#include "layouts/layout_harness.h"
#include "views/ecg_page_window.h"
#include "views/full_disclosure_area.h"
#include "views/st_scale_area.h"
#include "views/window_area.h"

namespace {

using layouttest::LayoutHarness;

// The page screens take the real classes; without a recording the page stays empty but its rows
// are laid out.
TEST(PageFactories, ThePageScreensAndTheSTScaleUseTheRealClasses) {
  RegisterPageFactories();
  for (const int layout : {1, 3, 11}) {
    SCOPED_TRACE(layout);
    LayoutHarness harness(layout, 1000, 700);
    auto* area = dynamic_cast<CWindowArea*>(harness.Node(1)->GetArea());
    ASSERT_NE(area, nullptr);
    auto* window = dynamic_cast<CECGWnd*>(area->GetHostedWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_NE(dynamic_cast<CECGRowTimeArea*>(harness.Node(2)->GetArea()), nullptr);
    auto* page = dynamic_cast<CFullDisclosureArea*>(harness.Node(8)->GetArea());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(FindECGPageWindow(harness.Node(8)), window);
    EXPECT_TRUE(page->Traces().empty());
    EXPECT_EQ(harness.RectOf(8).left, 90);
  }
  LayoutHarness st(7, 1000, 700);
  EXPECT_NE(dynamic_cast<CSTScaleArea*>(st.Node(9)->GetArea()), nullptr);
}

}  // namespace
