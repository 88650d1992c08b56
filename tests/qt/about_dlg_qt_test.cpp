// The About box under the Qt host: its logo frame shows the logo it paints.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <fstream>
#include <vector>

#include "core/about_dlg.h"
#include "core/core_resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "support/test_files.h"

namespace qthost {
namespace {

// A square 8-bit BMP of one colour, larger than the frame, so every pixel of the frame shows it.
void WriteOneColourBmp(const std::filesystem::path& file, int side, uint8_t red, uint8_t green,
                       uint8_t blue) {
  std::vector<uint8_t> bytes = {'B', 'M'};
  const auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  const auto u16 = [&](uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  };
  const uint32_t offset = 14 + 40 + 256 * 4;
  const uint32_t pixels = static_cast<uint32_t>(side * side);  // side is a multiple of 4
  u32(offset + pixels);
  u32(0);
  u32(offset);
  u32(40);
  u32(static_cast<uint32_t>(side));
  u32(static_cast<uint32_t>(side));
  u16(1);
  u16(8);
  for (int i = 0; i < 6; ++i) u32(0);
  u32(0);
  u32(static_cast<uint32_t>(blue) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(red) << 16);
  for (int i = 2; i < 256; ++i) u32(0);
  bytes.insert(bytes.end(), pixels, 1);
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class AboutBoxQtTest : public testing_support::DialogHostTest {
 protected:
  void AddResources(platform::ResourcePack& pack) override { AddCoreResources(pack); }
};

TEST_F(AboutBoxQtTest, TheLogoFrameShowsTheLogo) {
  testsupport::TempFolder main("about_logo");
  WriteOneColourBmp(main.Path() / "Main_Logp.bmp", 400, 200, 30, 40);
  CAboutDlg about(main.Path().string(), nullptr);
  QColor centre;
  Steps({[&] {
    QWidget* frame = dialogs_->WidgetOf(*about.GetDlgItem(CAboutDlg::kLogoId));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(about.HasLogo());
    QCoreApplication::processEvents();
    const QImage shot = frame->grab().toImage();
    centre = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    testing_support::SaveScreenshot(*dialogs_->WidgetOf(about), "about_box");
    about.EndDialog(win::kIdOk);
  }});
  EXPECT_EQ(about.DoModal(), win::kIdOk);
  EXPECT_EQ(centre, QColor(200, 30, 40));
}

}  // namespace
}  // namespace qthost
