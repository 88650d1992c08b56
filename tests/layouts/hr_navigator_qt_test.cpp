#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/editing_factories.h"
#include "layouts/hr_navigator_area.h"
#include "layouts/hr_navigator_factories.h"
#include "layouts/screen_factories.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/screen_host.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "views/base_view.h"
#include "views/view_area.h"
#include "win/window.h"

namespace {

class NavigatorView : public CBaseView {
 public:
  using CBaseView::CBaseView;
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(21); }
};

CHRNavigatorArea* FindNavigator(CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  if (auto* area = dynamic_cast<CHRNavigatorArea*>(node->GetArea())) return area;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (CHRNavigatorArea* found = FindNavigator(node->GetChild(i))) return found;
  return nullptr;
}

// The navigator screen through the real host on a synthetic analysed day: the envelope in the
// "HRTrendMin" colour (blue) and the mean line in black reach the plot.
TEST(NavigatorOnScreen, DayRecordingAtTwoSizes) {
  testsupport::TempFolder folder;
  const std::filesystem::path qrs = coretest::MakeAnalysedRecording(folder.Path() / "00001", 24 * 60, 2);
  for (const auto [width, height] : {std::pair{1000, 700}, std::pair{1920, 1080}}) {
    SCOPED_TRACE(width);
    qthost::testing_support::ScreenHost screen;
    platform::ResourcePack pack("ZK470Eng");
    AddHRNavigatorResources(pack);
    AddEditingResources(pack);
    platform::Resources().SetLanguagePack(&pack);
    platform::MemoryProfileStore profile;
    platform::ManualClock clock({2024, 1, 15, 8, 0, 0, 0});
    {
      CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile, clock);
      RegisterScreenFactories();
      RegisterHRNavigatorFactories();
      ASSERT_TRUE(doc.OnOpenDocument(qrs.string()));
      doc.SetSpanStartMinute(0);
      doc.SetSpanLength(24 * 60);
      doc.SetSpanStartMs(0);
      doc.SetSpanEndMs(24 * 60 * 60000);
      doc.SetCurrentPosition(9 * 3600 * 1000);
      ASSERT_TRUE(CreateDefaultLayouts());
      {
        NavigatorView view(&doc);
        ASSERT_TRUE(view.Create(nullptr, {0, 0, width, height}, win::kWsVisible));
        CHRNavigatorArea* plot = FindNavigator(view.GetSelector()->GetCurrent());
        ASSERT_NE(plot, nullptr);
        EXPECT_GT(plot->GetColumnCount(), plot->GetPlotWidth() - 5);
        const std::string name = "hr_navigator_" + std::to_string(width) + "x" + std::to_string(height);
        screen.SaveScreen(view, name);
        const QImage image = screen.Render(view);
        ASSERT_FALSE(image.isNull());
        int blue = 0;
        int black = 0;
        const gfx::Point origin = plot->GetCaliperWindow()->OffsetInTopLevel();
        const gfx::Rect r = plot->GetCaliperRect();
        for (int y = r.top + 2; y < r.bottom - 2; ++y) {
          for (int x = r.left + 2; x < r.right - 2; x += 3) {
            const QColor c = image.pixelColor(origin.x + x, origin.y + y);
            blue += c == QColor(0, 0, 255) ? 1 : 0;
            black += c == QColor(0, 0, 0) ? 1 : 0;
          }
        }
        EXPECT_GT(blue, 100);
        EXPECT_GT(black, 100);
        view.DestroyWindow();
      }
      DeleteDefaultLayouts();
    }
    platform::Resources().SetLanguagePack(nullptr);
  }
}

}  // namespace
