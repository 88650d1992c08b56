// Pictures of the start screen, the online panels and the document screen through the real host.
#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "layouts/panel_factories.h"
#include "layouts/panel_layout_view.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "qt/qt_document_display.h"
#include "qt/qt_host.h"
#include "qt/screen_host.h"
#include "qt/screenshot.h"
#include "reports/pdf/content_operators.h"
#include "reports/pdf/pdf_document.h"
#include "reports/pdf/pdf_fonts.h"
#include "support/test_files.h"
#include "views/online_panel.h"
#include "win/window.h"

namespace {

using qthost::testing_support::SaveScreenshot;
using qthost::testing_support::ScreenHost;

constexpr struct {
  int width;
  int height;
} kSizes[] = {{1000, 700}, {1920, 1080}};

std::string SizeName(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

QWidget* WidgetOfView() {
  auto* host = dynamic_cast<qthost::QtHost*>(win::Windows().CanvasHost());
  const auto& tops = win::Windows().TopLevelWindows();
  return host != nullptr && !tops.empty() ? host->WidgetOf(*tops.front()) : nullptr;
}

// Two pages of a report as our PDF export writes them: a title, a table frame and a trace.
void WriteReport(const std::string& path) {
  const platform::ManualClock clock({2024, 1, 15, 9, 0, 0, 0});
  tvk_prepare(0);
  ASSERT_EQ(tvk_open(), 0);
  for (int page = 1; page <= 2; ++page) {
    ASSERT_EQ(tvk_beginPage(page, 0, "0 0 595 842", "0 0 595 842"), 0);
    tvk_setFont("Helvetica-Bold", "WinAnsiEncoding", 20);
    tvk_text(60, 780, 0, page == 1 ? "Holter report - summary" : "Holter report - ECG strips");
    tvk_setFont("Helvetica", "WinAnsiEncoding", 11);
    tvk_text(60, 755, 0, "Patient: Test, Anna    Recording 00012    15.01.2024 09:00");
    tvk_setLineWidth(0.5);
    tvk_rectangle(60, 500, 475, 220);
    tvk_stroke();
    tvk_setRgbStroke(0.8, 0.1, 0.1);
    tvk_moveTo(60, 400);
    for (int x = 0; x < 475; x += 5)
      tvk_lineTo(60 + x, 400 + ((x / 5) % 16 == 8 ? 40 : (x / 5) % 16 == 9 ? -15 : 0));
    tvk_stroke();
    tvk_endPage(page);
  }
  ASSERT_EQ(tvk_finishDocument(clock), 0);
  ASSERT_EQ(tvk_saveToFile(path), 0);
  tvk_release();
}

// The host goes last: every window of the view is gone by then.
// Pixels of the report's black text and frame (every second row and column); the view around
// the page and the empty page are white and grey.
int DarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) dark += image.pixelColor(x, y).lightness() < 60;
  return dark;
}

class PanelScreens : public paneltest::PanelLayoutFixture {
 protected:
  void SetUp() override {
    PanelLayoutFixture::SetUp();
    AddPanelResources(pack_);
    platform::Resources().SetLanguagePack(&pack_);
  }
  void TearDown() override {
    PanelLayoutFixture::TearDown();
    platform::Resources().SetLanguagePack(nullptr);
  }
  QImage Render() { return host_->Render(*view_); }

  std::unique_ptr<ScreenHost> host_ = std::make_unique<ScreenHost>();
  platform::ResourcePack pack_{"ZK470Eng"};
};

TEST_F(PanelScreens, StartScreenWithOurLogos) {
  doc_->SetMainDirectory(ZK_SOURCE_DIR "/tests/fixtures/logos");
  for (const auto& size : kSizes) {
    SCOPED_TRACE(SizeName(size.width, size.height));
    Show(5, size.width, size.height);
    const QImage image = Render();
    SaveScreenshot(image, "layout_05_start_" + SizeName(size.width, size.height));
    // The maker's logo lies 260 pixels left of the logo window's right edge, 50 below its top:
    // its first column is the teal bar.
    const int client_right = size.width * 999 / 1000 - 2;
    EXPECT_EQ(image.pixelColor(1 + client_right - 260 + 5, 1 + 50 + 30), QColor(0, 130, 140)) << "maker logo";
    int navy = 0;
    for (int x = size.width / 2 - 200; x < size.width / 2 + 200; ++x)
      navy += image.pixelColor(x, size.height / 2 - 40) == QColor(20, 50, 110) ? 1 : 0;
    EXPECT_GT(navy, 20) << "the product logo's name, centred";
  }
}

TEST_F(PanelScreens, OnlinePanelsOfBothOnlineScreens) {
  struct Case {
    int layout;
    OnlineRecorder recorder;
    const char* name;
  };
  constexpr Case kCases[] = {{6, {2, 2}, "layout_06_online_panel"}, {19, {3, 4}, "layout_19_online_panel"}};
  for (const Case& c : kCases) {
    for (const auto& size : kSizes) {
      SCOPED_TRACE(std::string(c.name) + " " + SizeName(size.width, size.height));
      SetOnlineRecorder(c.recorder);
      Show(c.layout, size.width, size.height);
      const QImage image = Render();
      SaveScreenshot(image, std::string(c.name) + "_" + SizeName(size.width, size.height));
      // The recorder picture in the panel window's client, the separating line right of it.
      const int panel_top = size.height - 190 + 1;
      EXPECT_EQ(image.pixelColor(1 + 240, panel_top + 100), QColor(Qt::black));
      int coloured = 0;
      for (int x = 1; x < 240; ++x)
        for (int y = panel_top + 2; y < size.height - 2; ++y)
          coloured += image.pixelColor(x, y).saturation() > 100;
      EXPECT_GT(coloured, 100) << "the recorder picture reached the screen";
    }
  }
}

TEST_F(PanelScreens, DocumentScreenShowsOurPdf) {
  auto* qt_host = dynamic_cast<qthost::QtHost*>(win::Windows().CanvasHost());
  ASSERT_NE(qt_host, nullptr);
  qthost::InstallQtDocumentDisplay(*qt_host);
  testsupport::TempFolder folder("report");
  const std::string pdf = folder.File("00012.PDF");
  WriteReport(pdf);
  ASSERT_TRUE(doc_->OnOpenDocument(pdf));
  for (const auto& size : kSizes) {
    SCOPED_TRACE(SizeName(size.width, size.height));
    Show(18, size.width, size.height);
    Render();
    QWidget* widget = WidgetOfView();
    ASSERT_NE(widget, nullptr);
    // The viewer renders its pages on a thread of its own and shows them when they arrive.
    QImage image;
    for (int round = 0; round < 100 && DarkPixels(image) <= 200; ++round) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      image = widget->grab().toImage();
    }
    SaveScreenshot(image, "layout_18_document_" + SizeName(size.width, size.height));
    EXPECT_GT(DarkPixels(image), 200) << "the report's page reached the screen";
  }
  Close();
  qthost::RemoveQtDocumentDisplay();
}

}  // namespace
