// A letter printed through Qt's printer in PDF mode is laid out on the paper the printer holds:
// US Letter (wider, shorter) breaks the pages elsewhere than A4, and no line is lost or doubled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "platform/ids.h"
#include "qt/qt_print_service.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "reports/narrative_test_data.h"
#include "reports/parts/print_narrative_letter.h"
#include "reports/report_parts_fixture.h"
#include "support/test_files.h"
#include "win/printing.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLines = 90;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

// The numbers of the "Line <n> of the letter" lines a PDF reader finds on a page, in order.
std::vector<int> LineNumbers(const std::string& text) {
  std::vector<int> numbers;
  static const std::regex kLine(R"(Line (\d+) of the letter)");
  for (std::sregex_iterator it(text.begin(), text.end(), kLine), end; it != end; ++it)
    numbers.push_back(std::stoi((*it)[1].str()));
  return numbers;
}

// The print loop's hooks over the letter part alone.
class LetterJob : public win::PrintHooks {
 public:
  explicit LetterJob(TPrintNarrativeLetter& part) : part_(part) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    info.max_page = part_.GetPageCount(info);
    return info.max_page > 0 && win::DoPreparePrinting(info);
  }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo&) override {
    dc.SetMapMode(gfx::MapMode::kHiMetric);
    dc.SetBkMode(gfx::BkMode::kTransparent);
  }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override {
    part_.PrintPage(dc, info, info.current_page);
  }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override { part_.Cleanup(dc, info); }

 private:
  TPrintNarrativeLetter& part_;
};

class NarrativeLetterSizeTest : public reporttest::ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    qthost::testing_support::TestApp();
    OpenRecording(60);
    ResetNarrativeTestData();
    // One letter of short numbered lines, long enough for two pages on either paper.
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 ";
    for (int n = 1; n <= kLines; ++n) rtf += "Line " + std::to_string(n) + " of the letter\\par ";
    rtf += "}";
    for (const char* name : {"ZK470.let", "ZK470.ret", "ZK470pdf.let", "ZK470pdf.ret"}) {
      std::ofstream out(templates_.Path() / name, std::ios::binary);
      out << rtf;
    }
    doc_->SetMainDirectory(templates_.Path().string());
    auto& switches = doc_->GetPatientData().letter_switches;
    switches = {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // the patient letter only
  }
  void TearDown() override {
    win::SetPrintService(nullptr);
    ResetNarrativeTestData();
    ReportPartTest::TearDown();
  }

  testsupport::TempFolder templates_{"narrative_letter_size"};
  testsupport::TempFolder out_{"narrative_letter_size_pdf"};
};

// Sets the paper on the printer the print dialog shows (the service's only way to it); the
// printer keeps it for the jobs that follow although the dialog closes without printing.
void ChoosePaperInDialog(qthost::QtPrintService& service, QPageSize::PageSizeId paper) {
  service.SetPrintDialogSwitch([] { return true; });
  QTimer chooser;
  bool chosen = false;
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
      dialog->printer()->setPageSize(QPageSize(paper));
      chosen = true;
      dialog->reject();
    }
  });
  chooser.start(0);
  win::CPrintInfo info;
  service.PrintDialog(info);
  chooser.stop();
  ASSERT_TRUE(chosen);
  service.SetPrintDialogSwitch([] { return false; });
}

TEST_F(NarrativeLetterSizeTest, LetterPaperBreaksThePagesElsewhereThanA4) {
  struct Case {
    const char* name;
    QPageSize::PageSizeId paper;
    int width_pt;  // the sheet as pdfinfo shows it
    int height_pt;
    int paper_height_mm;
    std::vector<std::vector<int>> pages;  // filled by the run
  };
  std::vector<Case> cases = {
      {"A4", QPageSize::A4, 595, 842, 297, {}},
      {"US Letter", QPageSize::Letter, 612, 792, 279, {}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path pdf = out_.Path() / (std::string(c.name) + ".pdf");
    qthost::QtPrintService service;
    service.SetPdfOutput(QString::fromStdString(pdf.string()));
    ASSERT_NO_FATAL_FAILURE(ChoosePaperInDialog(service, c.paper));
    const std::optional<win::PrinterInfo> printer = service.DefaultPrinter();
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->paper_height_mm, c.paper_height_mm);
    win::SetPrintService(&service);

    TPrintNarrativeLetter part(1, doc_.get(), nullptr);
    part.SetCommand(cmd::kPrint33218);
    LetterJob job(part);
    ASSERT_TRUE(win::RunPrintJob(job, "letter", false));
    win::SetPrintService(nullptr);

    const std::string info = Shell("pdfinfo '" + pdf.string() + "'");
    const std::string sheet = std::to_string(c.width_pt) + " x " + std::to_string(c.height_pt) + " pts";
    EXPECT_NE(info.find(sheet), std::string::npos) << info;
    const int page_count = static_cast<int>(part.PageTable().size());
    ASSERT_GE(page_count, 2);
    EXPECT_NE(info.find("Pages:           " + std::to_string(page_count) + "\n"), std::string::npos) << info;
    for (int p = 1; p <= page_count; ++p) {
      // Only what lies on the sheet: a line laid out below its bottom edge is not read.
      const std::string text = Shell("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) +
                                     " -x 0 -y 0 -W " + std::to_string(c.width_pt) + " -H " +
                                     std::to_string(c.height_pt) + " '" + pdf.string() + "' -");
      c.pages.push_back(LineNumbers(text));
    }
    // Every line once, in order, across the pages, none off the sheet.
    std::vector<int> all;
    for (const auto& page : c.pages) all.insert(all.end(), page.begin(), page.end());
    std::vector<int> expected(kLines);
    for (int n = 0; n < kLines; ++n) expected[static_cast<size_t>(n)] = n + 1;
    EXPECT_EQ(all, expected);

    Shell("pdftoppm -r 100 -png -f 1 -l 1 -singlefile '" + pdf.string() + "' '" +
          (out_.Path() / c.name).string() + "'");
    const QImage picture(QString::fromStdString((out_.Path() / (std::string(c.name) + ".png")).string()));
    ASSERT_FALSE(picture.isNull());
    qthost::testing_support::SaveScreenshot(
        picture, std::string("narrative_letter_on_") + (c.paper == QPageSize::A4 ? "a4" : "us_letter"));
  }
  // The shorter sheet holds fewer lines: its first page ends earlier.
  ASSERT_FALSE(cases[0].pages.empty());
  ASSERT_FALSE(cases[1].pages.empty());
  EXPECT_LT(cases[1].pages[0].size(), cases[0].pages[0].size());
  EXPECT_NE(cases[1].pages[1].front(), cases[0].pages[1].front());
}

}  // namespace
