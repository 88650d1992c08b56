#include <gtest/gtest.h>

#include <string>

#include "document/zk470_doc.h"
#include "layouts/layout_harness.h"
#include "layouts/panel_factories.h"
#include "layouts/panel_layout_view.h"
#include "platform/resources.h"
#include "views/document_display.h"
#include "views/layout_tree.h"
#include "views/logo_window.h"
#include "views/online_panel.h"
#include "views/view_area.h"

namespace {

using layouttest::LayoutHarness;

template <typename T>
T* HostedAt(const LayoutHarness& harness, int row) {
  CViewAreaConfig* node = harness.Node(row);
  return node != nullptr && node->GetArea() != nullptr ? dynamic_cast<T*>(node->GetArea()->GetWindow())
                                                       : nullptr;
}

TEST(PanelLayouts, StartScreenIsTheLogoWindow) {
  RegisterPanelFactories();
  LayoutHarness harness(5, 1000, 700);
  EXPECT_EQ(harness.Node(1)->GetClassName(), "CLogoWindowConfig");
  EXPECT_NE(HostedAt<CLogoWnd>(harness, 1), nullptr);
  EXPECT_EQ(harness.RectOf(1), (gfx::Rect{0, 0, 999, 699}));
}

using PanelOnlineLayouts = paneltest::PanelLayoutFixture;

TEST_F(PanelOnlineLayouts, StackTheButtonsInThePanelUnderTheSweep) {
  struct Case {
    int layout;
    int panel_child;  // of the root
    OnlineRecorder recorder;
    bool second_picture;
  };
  constexpr Case kCases[] = {{6, 1, {2, 2}, false}, {19, 1, {3, 4}, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.layout);
    SetOnlineRecorder(c.recorder);
    Show(c.layout, 1000, 700);
    EXPECT_EQ(Node(c.panel_child)->GetArea()->StoredRect(), (gfx::Rect{0, 510, 1000, 700}));
    auto* area = dynamic_cast<COnlinePanelArea*>(Node(c.panel_child, 0)->GetArea());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->GetSecondPicture() != nullptr, c.second_picture);
    const gfx::Rect first = area->GetFirstButton()->GetWindowRectInParent();
    const gfx::Rect second = area->GetSecondButton()->GetWindowRectInParent();
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(second.top - first.bottom, first.top) << "equal gaps above and between";
  }
}

TEST(PanelLayouts, DocumentScreenShowsTheOpenPdf) {
  RegisterPanelFactories();
  LayoutHarness harness(18, 1000, 700);
  auto* window = HostedAt<CDocumentBrowserWnd>(harness, 1);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(window->GetBrowser(), nullptr);
  ASSERT_TRUE(harness.Doc().OnOpenDocument("/reports/00012.PDF"));
  auto& display = dynamic_cast<RecordingDocumentDisplay&>(window->GetBrowser()->GetDisplay());
  EXPECT_EQ(display.Shown(), "/reports/00012.PDF");
}

TEST(PanelResources, ButtonTextsInEnglishAndGerman) {
  struct Case {
    const char* pack;
    const char* first;
    const char* second;
  };
  constexpr Case kCases[] = {{"ZK470Eng", "Start recording", "Cancel"},
                             {"ZK470Ger", "Aufzeichnung starten", "Abbrechen"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.pack);
    platform::ResourcePack pack(c.pack);
    AddPanelResources(pack);
    EXPECT_EQ(pack.FindString(COnlinePanelArea::kFirstButtonText), c.first);
    EXPECT_EQ(pack.FindString(COnlinePanelArea::kSecondButtonText), c.second);
  }
}

}  // namespace
