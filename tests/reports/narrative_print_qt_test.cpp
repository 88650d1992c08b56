#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <filesystem>

#include "document/settings_store.h"
#include "platform/ids.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_narrative_letter.h"
#include "reports/report_parts_fixture.h"
#include "support/recording_print_service.h"
#include "trends/report_values.h"

namespace {

using reporttest::ReportPartTest;

constexpr int kDpi = 100;

int Px(int twips) { return twips * kDpi / 1440; }

TEST_F(ReportPartTest, NarrativeLetterFirstPagePicture) {
  ASSERT_NO_FATAL_FAILURE(OpenRecording(60));
  FillPatient();
  doc_->SetMainDirectory((std::filesystem::path(ZK_SOURCE_DIR) / "data/letters").string());
  auto& switches = doc_->GetPatientData().letter_switches;
  switches = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // the patient letter on the letter form
  testsupport::RecordingPrintService service;
  service.SetDefaultPrinter("Office", 210, 297);
  const testsupport::ScopedPrintService installed(service);

  const gfx::DeviceInfo a4 = reporttest::A4Page(kDpi);
  QImage image(a4.width_px, a4.height_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  doc_->GetSettings().SetText(SettingKey::kUserOfficeAddress, "Cardiology Practice\nMain Street 5\nKestrova");
  TReportValues values(*doc_);
  TPrintNarrativeLetter part(1, doc_.get(), &values);
  part.SetCommand(cmd::kPrint33218);
  ASSERT_GE(part.GetPageCount(info_), 1);
  {
    qthost::ImageCanvas dc(image, QPoint(0, 0), a4);
    PreparePage(dc);
    part.PrintPage(dc, info_, 1);
  }
  part.Cleanup(nullptr, info_);
  qthost::testing_support::SaveScreenshot(image, "narrative_letter_page1");

  // The letter's own margins (the template names none: 1800 twips at the sides, 1440 above).
  const int left = Px(1800);
  const int right = image.width() - Px(1800);
  const int top = Px(1440);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(0, 0, image.width(), top - 2)), 0);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(0, 0, left - 2, image.height())), 0);
  EXPECT_EQ(reporttest::DarkPixels(image, QRect(right + 3, 0, image.width(), image.height())), 0);
  // The office address at the right, the letter's text down the page.
  EXPECT_GT(reporttest::DarkPixels(image, QRect(right - 100, top, 100, 40)), 20);
  EXPECT_GT(reporttest::DarkPixels(image, QRect(left, image.height() / 3, right - left, image.height() / 3)),
            500);
}

}  // namespace
