#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>

#include "document/zk470_doc.h"
#include "layouts/beat_page_area.h"
#include "layouts/beat_page_factories.h"
#include "layouts/beat_page_window.h"
#include "layouts/default_layouts.h"
#include "layouts/editing_factories.h"
#include "layouts/screen_factories.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "qt/screen_host.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/strip_recording.h"
#include "views/view_resources.h"
#include "views/window_area.h"
#include "win/window.h"

namespace {

class BeatPageView : public CBaseView {
 public:
  explicit BeatPageView(CZK470Doc* doc) : CBaseView(doc) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(9); }
};

// Layout 9 through the real host, offscreen, over a synthetic recording whose normal beats form
// one template class and whose VES another; the normal class is on show.
class BeatPageOnScreen : public testing::Test {
 protected:
  void SetUp() override {
    RegisterScreenFactories();
    RegisterBeatPageFactories();
    platform::ResourcePack& pack = platform::Resources().ExePack();
    AddViewResources(pack);
    AddEditingResources(pack);
    AddBeatPageResources(pack);
    pack.AddStrings(std::vector<platform::StringEntry>{{CBeatPageArea::kSecondString, " s"},
                                                       {CBeatPageArea::kMillivoltString, " mV"}});
    recording_ = std::make_unique<viewstest::StripRecording>(2, 2);
    CZK470Doc& doc = recording_->Doc();
    doc.SetDisplayMode(DisplayMode::kTemplateBeats);
    TRecordingData& record = doc.GetRecordingData();
    for (int i = 0; i < doc.GetQRSList().GetSize(); ++i) {
      const int beat_class = doc.GetQRSList().ElementAt(i)->GetClass();
      if (beat_class == kClassNormal) record.TemplateClasses(TTemplateClassEntry::kFamilyNormal)[0].Append(i);
      if (beat_class == kClassVES) record.TemplateClasses(TTemplateClassEntry::kFamilyVES)[0].Append(i);
    }
    doc.BuildTemplateClassList();
    doc.SetCurrentPosition(0);
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<BeatPageView>(&doc);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 700}, win::kWsVisible));
    win::Windows().RunPending();
    CViewAreaConfig* node = view_->GetSelector()->GetCurrent()->GetChild(0);
    area_ = dynamic_cast<CBeatPageArea*>(node->GetChild(1)->GetArea());
    ASSERT_NE(area_, nullptr);
  }
  void TearDown() override {
    view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
    recording_.reset();
    platform::ResetProcessState();
  }

  void Click(int cell, unsigned flags) {
    const gfx::Rect r = area_->StoredRect();
    gfx::Point p{r.left + cell % 20 * area_->CellWidth() + 10, r.top + cell / 20 * area_->CellHeight() + 10};
    area_->OnMessage(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&p));
    area_->OnMessage(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&p));
  }

  qthost::testing_support::ScreenHost host_;
  std::unique_ptr<viewstest::StripRecording> recording_;
  std::unique_ptr<BeatPageView> view_;
  CBeatPageArea* area_ = nullptr;
};

TEST_F(BeatPageOnScreen, ShowsTheBeatsWithTheSelection) {
  Click(3, 0);
  Click(4, win::kMkControl);
  Click(27, win::kMkControl);
  const QImage image = host_.Render(*view_);
  ASSERT_FALSE(image.isNull());
  // The page window's client starts below its toolbar; the current cell's frame is yellow.
  const gfx::Point origin =
      dynamic_cast<CWindowArea*>(view_->GetSelector()->GetCurrent()->GetChild(0)->GetArea())
          ->GetHostedWindow()
          ->OffsetInTopLevel();
  const gfx::Rect r = area_->StoredRect();
  const int w = area_->CellWidth();
  const int h = area_->CellHeight();
  // Yellow XORed onto the white paper.
  EXPECT_EQ(image.pixelColor(origin.x + r.left + 7 * w + 1, origin.y + r.top + h + 1), QColor(0, 0, 255));
  int dark = 0;
  for (int y = origin.y + r.top; y < origin.y + r.top + h; ++y)
    for (int x = origin.x + r.left + 5; x < origin.x + r.left + w - 8; ++x)
      if (image.pixelColor(x, y).lightness() < 80) ++dark;
  EXPECT_GT(dark, 20) << "the first cell's trace";
  const std::filesystem::path png = host_.SaveScreen(*view_, "layout_09_beat_page");
  EXPECT_TRUE(std::filesystem::exists(png));
}

// A frame drawn and erased again leaves every pixel as it was; inside the band nothing changes.
TEST_F(BeatPageOnScreen, FramesXorEraseExactly) {
  Click(3, 0);
  const QImage before = host_.Render(*view_);
  Click(10, win::kMkControl);
  const QImage framed = host_.Render(*view_);
  Click(10, win::kMkControl);
  const QImage after = host_.Render(*view_);
  ASSERT_FALSE(before.isNull());
  EXPECT_NE(framed, before);
  const gfx::Point origin =
      dynamic_cast<CWindowArea*>(view_->GetSelector()->GetCurrent()->GetChild(0)->GetArea())
          ->GetHostedWindow()
          ->OffsetInTopLevel();
  const gfx::Rect r = area_->StoredRect();
  // The strip window below follows the position that the clicks set; the page itself is whole.
  const QRect page(origin.x + r.left, origin.y + r.top, r.Width(), r.Height());
  EXPECT_EQ(after.copy(page), before.copy(page));
  const int left = origin.x + r.left + 10 * area_->CellWidth();
  const int top = origin.y + r.top;
  int changed_band = 0;
  int changed_inside = 0;
  for (int y = top; y < top + area_->CellHeight(); ++y) {
    for (int x = left; x < left + area_->CellWidth(); ++x) {
      if (framed.pixel(x, y) == before.pixel(x, y)) continue;
      const bool inside = x >= left + 3 && x < left + area_->CellWidth() - 3 && y >= top + 3 &&
                          y < top + area_->CellHeight() - 3;
      ++(inside ? changed_inside : changed_band);
    }
  }
  EXPECT_EQ(changed_inside, 0);
  EXPECT_EQ(changed_band, 2 * 3 * (area_->CellWidth() + area_->CellHeight()) - 4 * 9);
}

}  // namespace
