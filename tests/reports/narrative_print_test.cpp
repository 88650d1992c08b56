// The narrative letters as the report's first pages: which letters, how many pages, what the
// printed and exported pages hold, and that no letter file (patient data) outlives the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document/settings_store.h"
#include "gfx/recording_canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "reports/narrative_test_data.h"
#include "reports/parts/print_narrative_letter.h"
#include "reports/pdf/pdf_test_support.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "reports/report_parts_fixture.h"
#include "reports/report_pdf_export.h"
#include "reports/report_resources.h"
#include "reports/reports_context.h"
#include "support/recording_print_service.h"
#include "support/test_files.h"
#include "win/printing.h"
#include "win/prompt.h"

namespace fs = std::filesystem;

namespace reporttest {
namespace {

const fs::path kTemplates = fs::path(ZK_SOURCE_DIR) / "data/letters";

using Entry = TPrintNarrativeLetter::PageEntry;

// Switches of the patient record per letter kind (insurance, patient, referred to, referring).
constexpr std::array<size_t, 4> kKindSwitch = {2, 3, 1, 0};

// The print loop's hooks over one composer, as the view drives them.
class ComposerJob : public win::PrintHooks {
 public:
  ComposerJob(PrintComposer& composer, int command) : composer_(composer), command_(command) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    composer_.CountPages(info, command_);
    return true;
  }
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) override { composer_.DecideColour(dc); }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrepareDC(dc, info); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrintPage(dc, info, 1); }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override { composer_.CleanUp(dc, info); }

 private:
  PrintComposer& composer_;
  int command_;
};

std::vector<std::string> LetterFiles() {
  std::vector<std::string> names;
  const fs::path folder = NarrativeLetterFolder();
  if (folder.empty() || !fs::exists(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

class NarrativePrintTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    AddReportResources(platform::Resources().ExePack());
    win::SetPrompt(&prompt_);
    service_.SetDefaultPrinter("Office", 210, 297);
    service_.SetDpi(150);
    installed_ = std::make_unique<testsupport::ScopedPrintService>(service_);
    ResetNarrativeTestData();
    doc_->SetMainDirectory(kTemplates.string());
    SelectKinds({});
  }
  void TearDown() override {
    installed_.reset();
    SetReportPdfExportUnderWay(false);
    win::SetPrompt(nullptr);
    ResetNarrativeTestData();
    ReportPartTest::TearDown();
  }

  void SelectKinds(const std::vector<int>& kinds) {
    auto& switches = doc_->GetPatientData().letter_switches;
    for (const size_t s : kKindSwitch) switches[s] = 0;
    for (const int k : kinds) switches[kKindSwitch[static_cast<size_t>(k)]] = 1;
  }

  // Templates of every form whose letter has `pages` pages, each starting "Sheet <n> of the letter".
  void UseTemplatesOfPages(int pages) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 ";
    for (int p = 1; p <= pages; ++p) {
      if (p > 1) rtf += "\\page ";
      rtf += "Sheet " + std::to_string(p) + " of the letter\\par ";
    }
    rtf += "}";
    for (const char* name : {"ZK470.let", "ZK470.ret", "ZK470pdf.let", "ZK470pdf.ret"}) {
      std::ofstream out(templates_.Path() / name, std::ios::binary);
      out << rtf;
    }
    doc_->SetMainDirectory(templates_.Path().string());
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }

  win::ScriptedPrompt prompt_;
  testsupport::RecordingPrintService service_;
  std::unique_ptr<testsupport::ScopedPrintService> installed_;
  testsupport::TempFolder templates_{"narrative_templates"};
};

TEST_F(NarrativePrintTest, PageTableHasEveryPageOfEachSelectedLetterInKindOrder) {
  struct Case {
    const char* name;
    int command;
    std::vector<int> kinds;
    int pages_per_letter;
    std::vector<Entry> expected;
  };
  std::vector<Entry> twelve;
  for (int p = 1; p <= 12; ++p) twelve.push_back({0, p});
  const std::vector<Case> cases = {
      {"three pages of the referral letter", cmd::kPrint33218, {2}, 3, {{2, 1}, {2, 2}, {2, 3}}},
      {"two letters in kind order", cmd::kPrint33218, {3, 1}, 2, {{1, 1}, {1, 2}, {3, 1}, {3, 2}}},
      {"more pages than ten", cmd::kPrint33218, {0}, 12, twelve},
      {"whole report, no letter chosen", cmd::kPrintWholeReport, {}, 3, {}},
      {"whole report, patient letter", cmd::kPrintWholeReport, {1}, 1, {{1, 1}}},
      // The test set chooses the insurance letter whatever the patient record says.
      {"test data", cmd::kPrintNarrative, {3}, 1, {{0, 1}}},
  };
  doc_->GetSettings().SetInt(SettingKey::kPrintLetter, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseTemplatesOfPages(c.pages_per_letter);
    SelectKinds(c.kinds);
    TPrintNarrativeLetter part(1, doc_.get(), nullptr);
    part.SetCommand(c.command);
    EXPECT_EQ(part.GetPageCount(info_), static_cast<int>(c.expected.size()));
    EXPECT_EQ(part.PageTable(), c.expected);
    for (int k = 0; k < TPrintNarrativeLetter::kKinds; ++k) {
      const bool made =
          std::any_of(c.expected.begin(), c.expected.end(), [&](const Entry& e) { return e.kind == k; });
      EXPECT_EQ(!part.FileName(k).empty(), made) << k;
    }
    part.Cleanup(nullptr, info_);
    EXPECT_TRUE(LetterFiles().empty());
  }
  EXPECT_TRUE(Messages().empty());
}

// A main folder without letter templates: the report is exported without letters, and the user
// hears of the missing template once, not once per chosen letter.
TEST_F(NarrativePrintTest, AMissingTemplateIsSaidOnceForAllLetters) {
  doc_->SetMainDirectory(templates_.Path().string());
  SelectKinds({0, 1, 3});
  doc_->GetSettings().SetInt(SettingKey::kPrintLetter, 1);
  SetReportPdfExportUnderWay(true);
  TPrintNarrativeLetter part(1, doc_.get(), nullptr);
  part.SetCommand(cmd::kPrintWholeReport);
  EXPECT_EQ(part.GetPageCount(info_), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Error 1 while creating Narrative Letter"});
  EXPECT_TRUE(LetterFiles().empty());
}

TEST_F(NarrativePrintTest, EveryPageOfATwelvePageLetterIsPrintedWithoutReportFrame) {
  UseTemplatesOfPages(12);
  SelectKinds({0});
  TPrintComposer composer(*doc_);
  ComposerJob job(composer, cmd::kPrint33218);
  ASSERT_TRUE(win::RunPrintJob(job, "letter", false));
  ASSERT_EQ(service_.Jobs().size(), 1u);
  const auto& pages = service_.Jobs()[0].pages;
  ASSERT_EQ(pages.size(), 12u);
  for (size_t p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    EXPECT_TRUE(HasLine(pages[p], "Sheet")) << testing::PrintToString(pages[p]);
    EXPECT_TRUE(HasLine(pages[p], std::to_string(p + 1))) << testing::PrintToString(pages[p]);
    // No report header or footer on a letter page.
    EXPECT_FALSE(HasLine(pages[p], "KESTROVA")) << testing::PrintToString(pages[p]);
  }
  EXPECT_TRUE(LetterFiles().empty());
}

TEST_F(NarrativePrintTest, WithoutPrinterOrExportTheUserIsToldAndNoLetterIsMade) {
  service_.SetDefaultPrinter(std::nullopt);
  SelectKinds({0, 2});
  TPrintNarrativeLetter part(1, doc_.get(), nullptr);
  part.SetCommand(cmd::kPrint33218);
  EXPECT_EQ(part.GetPageCount(info_), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"No printer selected!"});
  EXPECT_TRUE(LetterFiles().empty());

  // An export needs no printer.
  prompt_.ClearLog();
  SetReportPdfExportUnderWay(true);
  EXPECT_GT(part.GetPageCount(info_), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(NarrativePrintTest, NoLetterFileRemainsAfterAnyWayOfEndingTheJob) {
  enum class Way { kPrint, kPreview, kExport, kFailedExport, kPartDestroyedUncleaned };
  UseTemplatesOfPages(2);
  SelectKinds({0, 1, 2, 3});
  for (const Way way :
       {Way::kPrint, Way::kPreview, Way::kExport, Way::kFailedExport, Way::kPartDestroyedUncleaned}) {
    SCOPED_TRACE(static_cast<int>(way));
    testsupport::TempFolder out("narrative_export");
    {
      TPrintComposer composer(*doc_);
      ComposerJob job(composer, cmd::kPrint33218);
      switch (way) {
        case Way::kPrint:
        case Way::kPreview:
          EXPECT_TRUE(win::RunPrintJob(job, "letters", way == Way::kPreview));
          EXPECT_EQ(service_.Jobs().back().pages.size(), 8u);
          break;
        case Way::kExport:
        case Way::kFailedExport: {
          SetReportPdfExportUnderWay(true);
          win::CPrintInfo info;
          info.preview = true;
          ASSERT_TRUE(job.OnPreparePrinting(info));
          EXPECT_EQ(composer.GetTotalPages(), 8);
          EXPECT_FALSE(LetterFiles().empty());
          ReportPdfWriter writer(clock_);
          const std::string path = way == Way::kExport ? out.File("r.PDF") : out.File("missing/r.PDF");
          EXPECT_EQ(writer.Write(job, info, {"c", "t", "s", "Page"}, path), way == Way::kExport);
          job.OnEndPrinting(nullptr, info);
          SetReportPdfExportUnderWay(false);
          break;
        }
        case Way::kPartDestroyedUncleaned: {
          win::CPrintInfo info;
          ASSERT_TRUE(job.OnPreparePrinting(info));
          EXPECT_EQ(LetterFiles().size(), 4u);
          break;
        }
      }
    }
    EXPECT_TRUE(LetterFiles().empty());
  }
}

TEST_F(NarrativePrintTest, PdfExportMarksEachLetterPageAndDrawsAtScreenResolution) {
  UseTemplatesOfPages(2);
  SelectKinds({1});
  SetReportPdfExportUnderWay(true);
  TPrintNarrativeLetter part(1, doc_.get(), nullptr);
  part.SetCommand(cmd::kPrint33218);
  ASSERT_EQ(part.GetPageCount(info_), 2);
  gfx::DeviceInfo screen;
  BeginEmfRecording();
  gfx::RecordingCanvas dc(screen);
  PreparePage(dc);
  part.PrintPage(dc, info_, 2);
  EndEmfRecording();
  const std::vector<std::string> lines = dc.Lines();
  EXPECT_TRUE(HasLine(lines, "PAGETITLE,Narrative 2-2")) << testing::PrintToString(lines);
  EXPECT_TRUE(HasLine(lines, "SCREENDPI,96")) << testing::PrintToString(lines);
  EXPECT_TRUE(HasLine(lines, "SCREENDPI,0")) << testing::PrintToString(lines);
  EXPECT_TRUE(HasLine(lines, "Sheet 2")) << testing::PrintToString(lines);
  part.Cleanup(nullptr, info_);
}

TEST_F(NarrativePrintTest, WholeReportPdfOpensWithTheGermanLetter) {
  SKIP_WITHOUT("qpdf");
  SKIP_WITHOUT("pdftotext");
  OpenRecording(60);
  FillPatient();
  doc_->SetMainDirectory(kTemplates.string());
  doc_->GetSettings().SetInt(SettingKey::kLanguage, 1);
  for (const TPrintPartRow& row : PrintPartTable())
    if (row.user_switch) doc_->GetSettings().SetInt(*row.user_switch, 0);
  doc_->GetSettings().SetInt(SettingKey::kPrintLetter, 1);
  doc_->GetSettings().SetInt(SettingKey::kPrintHREvents, 1);
  SelectKinds({0});
  testsupport::TempFolder folder("narrative_pdf");
  const std::string path = folder.File("report.PDF");

  SetReportPdfExportUnderWay(true);
  TPrintComposer composer(*doc_);
  ComposerJob job(composer, cmd::kPrintWholeReport);
  win::CPrintInfo info;
  info.preview = true;
  ASSERT_TRUE(job.OnPreparePrinting(info));
  const int letter_pages = composer.GetPartPages(0);
  ASSERT_GE(letter_pages, 1);
  ReportPdfWriter writer(clock_);
  const bool written =
      writer.Write(job, info, {"KESTROVA ZK-470 V 2.04", "report", "Holter ECG report", "Page"}, path);
  job.OnEndPrinting(nullptr, info);
  ASSERT_TRUE(written);
  EXPECT_TRUE(LetterFiles().empty());

  const std::string json = pdf_test::RunTool("qpdf --json --json-key=outlines '" + path + "'").output;
  for (int p = 1; p <= letter_pages; ++p)
    EXPECT_NE(json.find("\"Narrative 1-" + std::to_string(p) + "\""), std::string::npos) << json;
  std::string letter;
  for (int p = 1; p <= letter_pages; ++p)
    letter += pdf_test::RunTool("pdftotext -enc UTF-8 -f " + std::to_string(p) + " -l " + std::to_string(p) +
                                " '" + path + "' -")
                  .output;
  EXPECT_NE(letter.find("Aufnahmeübersicht"), std::string::npos) << letter;
  EXPECT_NE(letter.find("Schläge"), std::string::npos) << letter;
  // The report's own page follows the letter.
  const std::string after = pdf_test::RunTool("pdftotext -enc UTF-8 -f " + std::to_string(letter_pages + 1) +
                                              " -l " + std::to_string(letter_pages + 1) + " '" + path + "' -")
                                .output;
  EXPECT_NE(after.find("KESTROVA"), std::string::npos) << after;
}

}  // namespace
}  // namespace reporttest
