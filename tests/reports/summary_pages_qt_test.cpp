#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <memory>
#include <string>

#include "dialogs/findings_dlg.h"
#include "dialogs/patient_dialog_resources.h"
#include "document/recording_data.h"
#include "qt/image_canvas.h"
#include "qt/screenshot.h"
#include "reports/page_picture.h"
#include "reports/parts/print_event_chart.h"
#include "reports/parts/print_hourly_tables.h"
#include "reports/parts/print_report.h"
#include "reports/report_fixture.h"
#include "reports/report_parts_fixture.h"
#include "trends/report_values.h"
#include "trends/statistics_factories.h"

namespace {

constexpr platform::StringEntry kOwnersTexts[] = {
    {16001, " /min"}, {16003, " s"}, {21107, "Channels"}, {21108, "analysed"}};

class SummaryPagesPictures : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddSummaryReportResources(own);
    AddStatisticsResources(own);
    AddPatientDialogResources(own);
    own.AddStrings(kOwnersTexts);
    SetReportValuesLocale(&locale_);
    SetFindingsWindowAccess([](const TFindingsDlg* findings) -> const win::Dialog* { return findings; });
  }
  void TearDown() override {
    SetFindingsWindowAccess(nullptr);
    SetReportValuesLocale(nullptr);
    ReportPartTest::TearDown();
  }

  void Open(int hours) {
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(reporttest::planted::OpenPlantedRecording(*doc_, hours));
    FillPatient();
    TRecordingData& record = doc_->GetRecordingData();
    record.start_date = {0, 45306.0};  // 15 January 2024, as the samples say
    record.start_time = {0, 8.0 / 24.0};
  }

  template <typename Print>
  void Picture(const char* name, Print print) {
    QImage image(reporttest::A4Page(100).width_px, reporttest::A4Page(100).height_px, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      qthost::ImageCanvas dc(image, QPoint(0, 0), reporttest::A4Page(100));
      PreparePage(dc);
      print(dc);
    }
    qthost::testing_support::SaveScreenshot(image, name);
    EXPECT_GT(reporttest::DarkPixels(image), 5000) << name;
  }
};

TEST_F(SummaryPagesPictures, SummaryReportPages) {
  ASSERT_NO_FATAL_FAILURE(Open(24));
  TRecordingData& record = doc_->GetRecordingData();
  record.assignment_heading = "Palpitations at rest";
  record.assignment_text =
      "Sinus rhythm throughout with isolated ventricular and supraventricular premature beats, "
      "several pauses and short runs of ventricular tachycardia.";
  record.medication = "Bisoprolol 5 mg\r\nRamipril 2.5 mg";
  std::string diagnosis;
  for (int n = 1; n <= 10; ++n) diagnosis += "Diagnosis line " + std::to_string(n) + "\r\n";
  record.diagnosis = diagnosis;
  TFindingsDlg findings(doc_.get());
  ASSERT_TRUE(findings.CreateModeless(nullptr, false));
  TReportValues values(*doc_, locale_);
  TPrintReport report(1, doc_.get(), &values);
  report.SetDialog(&findings);
  report.SetCommand(TPrintReport::kOwnCommand);
  ASSERT_EQ(report.GetPageCount(info_), 2);
  Picture("report_summary_page1", [&](gfx::Canvas& dc) { report.PrintPage(dc, info_, 1); });
  Picture("report_summary_page2", [&](gfx::Canvas& dc) { report.PrintPage(dc, info_, 2); });
  findings.DestroyWindow();
}

TEST_F(SummaryPagesPictures, HourlyTablesAndEventChart) {
  ASSERT_NO_FATAL_FAILURE(Open(50));
  TReportValues values(*doc_, locale_);
  TPrintHourlyTables tables(0, doc_.get(), &values);
  tables.SetCommand(TPrintHourlyTables::kOwnCommand);
  ASSERT_EQ(tables.GetPageCount(info_), 3);
  Picture("report_hourly_tables_day2", [&](gfx::Canvas& dc) { tables.PrintPage(dc, info_, 2); });
  TPrintEventChart chart(0, doc_.get(), &values);
  chart.SetCommand(TPrintEventChart::kOwnCommand);
  ASSERT_EQ(chart.GetPageCount(info_), 1);
  Picture("report_event_chart_50h", [&](gfx::Canvas& dc) { chart.PrintPage(dc, info_, 1); });
}

}  // namespace
