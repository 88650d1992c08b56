#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/richtext/rich_text_layout.h"
#include "reports/richtext_letter_fixture.h"

namespace {

constexpr int kDpi = 100;

int Px(int twips) { return twips * kDpi / 1440; }

int RedPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      n += c.red() > 150 && c.green() < 100 && c.blue() < 100 ? 1 : 0;
    }
  return n;
}

TEST(RichTextLayoutPicture, LetterPage) {
  const richtext::RichTextDocument doc = richtexttest::LetterPage();
  const richtext::RichTextLayout layout(doc);
  ASSERT_EQ(layout.PageCount(), 2);
  const gfx::DeviceInfo a4 = reporttest::A4Page(kDpi);
  QImage image(a4.width_px, a4.height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), a4);
    layout.DrawPage(dc, 0, {doc.margin_left_twips, doc.margin_top_twips}, false);
  }
  qthost::testing_support::SaveScreenshot(image, "richtext_letter_page");

  const int left = Px(doc.margin_left_twips);
  const int right = Px(doc.paper_width_twips - doc.margin_right_twips);
  const int top = Px(doc.margin_top_twips);
  // The address ends at the right margin, the heading starts at the left one.
  EXPECT_GT(reporttest::DarkPixels(image, QRect(right - 40, top, 40, 30)), 20);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(left, top, 200, 30)), 0);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(left, top + 40, 60, 30)), 20);
  // The coloured run.
  EXPECT_GT(RedPixels(image), 20);
  // Nothing in the margins.
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(0, 0, image.width(), top - 2)), 0);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(0, 0, left - 2, image.height())), 0);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(right + 3, 0, image.width(), image.height())), 0);
}

}  // namespace
