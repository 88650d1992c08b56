#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_pm_templates.h"
#include "reports/parts/print_template_pages.h"
#include "reports/template_pages_fixture.h"

namespace {

using reporttest::A;
using reporttest::N;
using reporttest::S;
using reporttest::TemplatePagesTest;
using reporttest::V;

// Pixels per 0.01 mm at 100 dpi.
int Px(int himetric) { return static_cast<int>(himetric * 100.0 / 2540.0); }

// Pixels of ink: neither the white page nor the light and darker grey of the paper grid.
int InkPixels(const QImage& image, const QRect& rect) {
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      const bool grey = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qGray(p) >= 150;
      n += grey ? 0 : 1;
    }
  }
  return n;
}

class TemplatePagesPictureTest : public TemplatePagesTest {
 protected:
  QImage Print(TPrinter& part, int page) {
    QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
      PrintOnePage(part, dc, page);
    }
    return image;
  }

  // The strip band of a cell below its top names, in image pixels.
  QRect StripBand(const TPrinter& part, int x, int y, int width) const {
    const int left = part.GetLeftMargin() + x;
    const int top = part.GetTopMargin() + 2500 + y + 1000;
    return {Px(left), Px(top), Px(width), Px(3500)};
  }
};

TEST_F(TemplatePagesPictureTest, BeatTemplatePagePicture) {
  PlantTemplates({{N, 6}, {N, 0}, {V, 3}, {V, 2}, {S, 2}, {A, 1}, {N, 4}});
  doc_->GetRecordingData().normal_special = {1, -1};
  doc_->GetRecordingData().ves_special = {0, 1};
  TPrintTemplatePages part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintTemplatePages::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  const QImage image = Print(part, 1);
  qthost::testing_support::SaveScreenshot(image, "report_template_pages");
  // ECG in the first cell, none in the empty second one.
  EXPECT_GT(InkPixels(image, StripBand(part, 0, 0, 3000)), 40);
  EXPECT_EQ(InkPixels(image, StripBand(part, 3875, 0, 3000)), 0);
  EXPECT_GT(InkPixels(image, StripBand(part, 2 * 3875, 0, 3000)), 40);
  // Nothing below the seventh cell's row.
  EXPECT_EQ(InkPixels(image, StripBand(part, 0, 2 * 5700, 18500)), 0);
}

TEST_F(TemplatePagesPictureTest, PacemakerTemplatePagePicture) {
  PlantPMClasses({3, 0, 2, 5, 1});
  TPrintPMTemplates part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintPMTemplates::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  const QImage image = Print(part, 1);
  qthost::testing_support::SaveScreenshot(image, "report_pm_templates");
  EXPECT_GT(InkPixels(image, StripBand(part, 0, 0, 5500)), 40);
  EXPECT_EQ(InkPixels(image, StripBand(part, 6500, 0, 5500)), 0);
  EXPECT_GT(InkPixels(image, StripBand(part, 13000, 0, 5500)), 40);
  EXPECT_GT(InkPixels(image, StripBand(part, 6500, 5700, 5500)), 40);
}

}  // namespace
