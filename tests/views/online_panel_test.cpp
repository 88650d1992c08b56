#include "views/online_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/settings_store.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "views/area_messages.h"
#include "views/logo_window.h"
#include "views/panel_screen_fixture.h"

namespace {

using paneltest::ScreenFixture;

// A layout root that puts its areas in a test's window instead of a view.
class HostedRoot : public CViewConfiguration {
 public:
  explicit HostedRoot(win::Window* host) : CViewConfiguration(1, 1, 1), host_(host) {}
  win::Window* GetParentWindow() const override { return host_; }

 private:
  win::Window* host_;
};

// Writes down every hint the document sends.
class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    hints.push_back(object == nullptr ? hint : -hint);
  }
  std::vector<int> hints;
};

std::vector<std::string> Matching(const std::vector<std::string>& lines, std::string_view prefix) {
  std::vector<std::string> found;
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  return found;
}

TEST(OnlinePanelPictures, ChosenByChannelsRecorderTypeAndCableSet) {
  struct Case {
    const char* name;
    int channels, type, cable_set;
    RecorderPictureIds want;
  };
  constexpr Case kCases[] = {
      {"two channels, any recorder", 2, 4, 1, {30998, -1}},
      {"one channel", 1, 2, 0, {30998, -1}},
      {"card recorder, cable set 1", 3, 4, 1, {31007, 31006}},
      {"card recorder, cable set 0", 3, 4, 0, {31005, 31004}},
      {"card recorder, cable set 2", 3, 4, 2, {31005, 31004}},
      {"two-channel family on three channels", 3, 2, 1, {30998, 30999}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChooseRecorderPictures(c.channels, c.type, c.cable_set), c.want);
  }
}

TEST(OnlinePanelPictures, EveryChosenPictureIsOurOwnAndTheyDiffer) {
  const int ids[] = {30998, 30999, 31004, 31005, 31006, 31007};
  std::vector<std::shared_ptr<const gfx::Bitmap>> pictures;
  for (const int id : ids) {
    SCOPED_TRACE(id);
    std::shared_ptr<const gfx::Bitmap> picture = LoadRecorderPicture(id);
    ASSERT_NE(picture, nullptr);
    // Tall enough that the cut rows leave a picture.
    EXPECT_GT(picture->Height(), COnlinePanelArea::kPictureTopCut + COnlinePanelArea::kPictureBottomCut);
    for (const auto& other : pictures) EXPECT_NE(*picture, *other);
    pictures.push_back(picture);
  }
  EXPECT_EQ(LoadRecorderPicture(31000), nullptr);
}

class OnlinePanel : public ScreenFixture {
 protected:
  // Layout 6's panel: the window 190 pixels high at the top here, its area filling it.
  void ShowPanel(int width) {
    ShowLayout(
        [](CViewConfiguration& root) {
          auto window = std::make_unique<COnlinePanelWindowConfig>(TopLeft(), gfx::Size{300, 190},
                                                                   gfx::Size{1000, 0}, false);
          window->AddChild(std::make_unique<COnlinePanelAreaConfig>(TopLeft(), gfx::Size{300, 190},
                                                                    gfx::Size{1000, 1000}, false));
          root.AddChild(std::move(window));
        },
        width, 700);
  }
  COnlinePanelArea* Area() const {
    CViewAreaConfig* node = list_->GetAt(0)->GetChild(0)->GetChild(0);
    return dynamic_cast<COnlinePanelArea*>(node->GetArea());
  }
};

TEST_F(OnlinePanel, ButtonsStandSideBySideAtAttachAndStackedAtTheFirstLayout) {
  SetOnlineRecorder({2, 2});
  win::Window host;
  ASSERT_TRUE(host.Create(nullptr, {0, 0, 1000, 190}, win::kWsVisible));
  HostedRoot root(&host);
  root.AddChild(
      std::make_unique<COnlinePanelAreaConfig>(TopLeft(), gfx::Size{300, 190}, gfx::Size{1000, 1000}, false));
  CViewAreaConfig* node = root.GetChild(0);
  ASSERT_TRUE(node->CreateAreas(doc_.get()));
  auto* area = dynamic_cast<COnlinePanelArea*>(node->GetArea());
  ASSERT_NE(area, nullptr);
  const int w = area->GetFirstPicture()->Width();
  area->SetRect({0, 0, 1000, 190});
  area->Attach(nullptr);
  EXPECT_EQ(COnlinePanelArea::GetHostWindow(), &host);

  // Centred on the picture's right edge, (1000 - W) / 2 + W.
  const int centre = (1000 - w) / 2 + w;
  EXPECT_EQ(area->GetFirstButton()->GetWindowRectInParent(), (gfx::Rect{centre - 160, 75, centre - 20, 115}));
  EXPECT_EQ(area->GetSecondButton()->GetWindowRectInParent(),
            (gfx::Rect{centre + 20, 75, centre + 160, 115}));
  EXPECT_EQ(area->GetFirstButton()->GetParent(), &host);
  EXPECT_TRUE(area->GetFirstButton()->IsWindowEnabled());
  EXPECT_TRUE(area->GetSecondButton()->IsWindowEnabled());

  // Centred right of two picture widths, equal gaps above, between and below.
  area->OnLayout(0, 0, 1000, 190);
  const int x = 2 * w + (1000 - 2 * w - 200) / 2;
  const int d = (190 - 80) / 3;
  EXPECT_EQ(area->GetFirstButton()->GetWindowRectInParent(), (gfx::Rect{x, d, x + 200, d + 40}));
  EXPECT_EQ(area->GetSecondButton()->GetWindowRectInParent(),
            (gfx::Rect{x, 2 * d + 40, x + 200, 2 * d + 80}));

  node->DestroyAreas();
  EXPECT_EQ(host.Children().size(), 0u) << "the buttons go with the area";
  EXPECT_EQ(COnlinePanelArea::GetHostWindow(), nullptr);
  host.DestroyWindow();
}

TEST_F(OnlinePanel, EachButtonBecomesItsDocumentHint) {
  SetOnlineRecorder({3, 4});
  ShowPanel(1000);
  HintLog log;
  doc_->AddView(&log);
  struct Case {
    const char* name;
    win::Button* button;
    int hint;
  };
  const Case cases[] = {{"first", Area()->GetFirstButton(), 1143},
                        {"second", Area()->GetSecondButton(), 1144}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.hints.clear();
    ASSERT_NE(c.button, nullptr);
    c.button->Click();
    win::Windows().RunPending();
    EXPECT_EQ(log.hints, std::vector<int>{c.hint});
  }
  // Other area messages are not the panel's.
  EXPECT_EQ(Area()->OnMessage(areamsg::kOnlineButton2 + 1, 0, 0), 0);
  doc_->RemoveView(&log);
}

TEST_F(OnlinePanel, ButtonTextsComeFromTheLanguagePack) {
  platform::ResourcePack pack("ZK470Eng");
  pack.AddStrings(std::vector<platform::StringEntry>{{COnlinePanelArea::kFirstButtonText, "Start"},
                                                     {COnlinePanelArea::kSecondButtonText, "Stop"}});
  platform::Resources().SetLanguagePack(&pack);
  ShowPanel(1000);
  EXPECT_EQ(Area()->GetFirstButton()->GetWindowText(), "Start");
  EXPECT_EQ(Area()->GetSecondButton()->GetWindowText(), "Stop");
  CloseView();
  platform::Resources().SetLanguagePack(nullptr);
}

TEST_F(OnlinePanel, TwoChannelScreenDrawsOnePictureAndTheLineRightOfIt) {
  SetOnlineRecorder({2, 2});
  ShowPanel(1000);
  const int w = Area()->GetFirstPicture()->Width();
  const int h = Area()->GetFirstPicture()->Height();
  EXPECT_EQ(Area()->GetSecondPicture(), nullptr);
  const std::vector<std::string> lines = testsupport::RecordedScreen(*view_);
  const std::vector<std::string> bitmaps = Matching(lines, "DrawBitmap");
  ASSERT_EQ(bitmaps.size(), 1u);
  // The picture without its top 10 and bottom 12 rows, one pixel down.
  EXPECT_EQ(bitmaps[0].rfind("DrawBitmap 0,1," + std::to_string(w) + "," + std::to_string(h - 21) +
                                 " <- 0,10," + std::to_string(w) + "," + std::to_string(h - 12) + " ",
                             0),
            0u)
      << bitmaps[0];
  const std::string line = "LineTo " + std::to_string(w) + ",191";
  EXPECT_EQ(Matching(lines, line).size(), 1u) << "the separating line ends below the area";
}

TEST_F(OnlinePanel, ThreeChannelCardRecorderScreenGolden) {
  SetOnlineRecorder({3, 4});
  ShowPanel(1000);
  ASSERT_NE(Area()->GetSecondPicture(), nullptr);
  testsupport::ExpectScreenGolden("views", "online_panel_3ch", testsupport::RecordedScreen(*view_));
}

class LogoWindow : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    doc_->SetMainDirectory(folder_.Path().string());
  }
  void ShowLogo(int width, int height) {
    ShowLayout(
        [](CViewConfiguration& root) {
          root.AddChild(std::make_unique<CLogoWindowConfig>(TopLeft(), gfx::Size{700, 500},
                                                            gfx::Size{999, 999}, false));
        },
        width, height);
  }
  testsupport::TempFolder folder_{"logo"};
};

TEST_F(LogoWindow, ProductLogoCentredMakerLogoKeepsItsPlaceFromTheRight) {
  folder_.Write("Main_Logo.bmp", paneltest::SolidBmp(200, 100, 0x0000FF));
  folder_.Write("VKDLogo.bmp", paneltest::SolidBmp(120, 40, 0xFF0000));
  for (const int width : {1000, 1600}) {
    SCOPED_TRACE(width);
    ShowLogo(width, 700);
    CLogoWnd* logo = Hosted<CLogoWnd>();
    ASSERT_NE(logo, nullptr);
    const gfx::Rect client = logo->GetClientRect();
    const std::vector<std::string> bitmaps = Matching(testsupport::RecordedScreen(*logo), "DrawBitmap");
    ASSERT_EQ(bitmaps.size(), 2u);
    const int px = client.Width() / 2 - 100, py = client.Height() / 2 - 50;
    EXPECT_EQ(bitmaps[0].rfind("DrawBitmap " + std::to_string(px) + "," + std::to_string(py) + "," +
                                   std::to_string(px + 200) + "," + std::to_string(py + 100) + " ",
                               0),
              0u)
        << bitmaps[0];
    const int mx = client.right - 260;
    EXPECT_EQ(
        bitmaps[1].rfind("DrawBitmap " + std::to_string(mx) + ",50," + std::to_string(mx + 120) + ",90 ", 0),
        0u)
        << bitmaps[1];
  }
}

TEST_F(LogoWindow, MissingOrUnreadableLogoDrawsNothingForIt) {
  struct Case {
    const char* name;
    bool product_good;
    const char* maker_bytes;  // nullptr: no file
    int pictures;
  };
  const Case cases[] = {
      {"maker logo missing", true, nullptr, 1},
      {"maker logo no bitmap", true, "not a bitmap", 1},
      {"both missing", false, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder_.Path());
    std::filesystem::create_directories(folder_.Path());
    if (c.product_good) folder_.Write("Main_Logo.bmp", paneltest::SolidBmp(20, 10, 0x00FF00));
    if (c.maker_bytes != nullptr) testsupport::WriteText(folder_.File("VKDLogo.bmp"), c.maker_bytes);
    ShowLogo(1000, 700);
    CLogoWnd* logo = Hosted<CLogoWnd>();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->HasPicture(0), c.product_good);
    EXPECT_FALSE(logo->HasPicture(1));
    EXPECT_EQ(Matching(testsupport::RecordedScreen(*logo), "DrawBitmap").size(),
              static_cast<size_t>(c.pictures));
  }
}

TEST_F(LogoWindow, StartScreenGolden) {
  folder_.Write("Main_Logo.bmp", paneltest::SolidBmp(300, 120, 0x804000));
  folder_.Write("VKDLogo.bmp", paneltest::SolidBmp(150, 50, 0x0000C0));
  ShowLogo(1000, 700);
  testsupport::ExpectScreenGolden("views", "logo_window", testsupport::RecordedScreen(*view_));
}

}  // namespace
