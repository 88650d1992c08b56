// The report's pages recorded and converted into one PDF file, on a fake print job.
#include "reports/report_pdf_export.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/qrs_list.h"
#include "document/settings_store.h"
#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/pdf/pdf_test_support.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "support/test_files.h"
#include "win/printing.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> FolderListing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A print job of `pages` pages; the page numbered titled_page names its own bookmark. Notes what
// it is asked, and whether a page was being recorded then.
class FakeJob : public win::PrintHooks {
 public:
  explicit FakeJob(int pages, int titled_page = 0) : pages_(pages), titled_page_(titled_page) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    info.max_page = pages_;
    return true;
  }
  void OnBeginPrinting(gfx::Canvas&, win::CPrintInfo&) override {
    log.push_back(std::string("begin") + (IsEmfRecording() ? " recording" : ""));
  }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo&) override { dc.SetMapMode(gfx::MapMode::kHiMetric); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override {
    log.push_back("page " + std::to_string(info.current_page) + (IsEmfRecording() ? " recording" : ""));
    if (info.current_page == titled_page_) WritePageTitleMarker(dc, "Summary");
    dc.TextOut(2000, -2000, "Report page " + std::to_string(info.current_page));
    dc.Rectangle(1000, -1000, 18000, -26000);
  }
  std::vector<std::string> log;

 private:
  int pages_;
  int titled_page_;
};

ReportPdfTexts Texts() {
  return {"KESTROVA ZK-470 V 2.04", "Müßig Jürgen 01-03-26 V0001", "Holter ECG report", "Page"};
}

class ReportPdfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ResetProcessState(); }
  void TearDown() override { platform::ResetProcessState(); }

  // Runs the job as the export does: prepared, then written.
  bool Export(FakeJob& job, win::CPrintInfo& info, const std::function<bool()>& stop = {}) {
    info.preview = true;
    EXPECT_TRUE(job.OnPreparePrinting(info));
    ReportPdfWriter writer(clock_);
    const bool ok = writer.Write(job, info, Texts(), pdf_.string(), stop);
    messages_ = writer.Messages();
    return ok;
  }

  platform::ManualClock clock_{platform::LocalDateTime{2026, 3, 4, 14, 5, 9, 0}};
  testsupport::TempFolder folder_{"report_pdf"};
  std::filesystem::path pdf_ = std::filesystem::path(folder_.Path()) / "Müßig Jürgen 01-03-26 V0001.PDF";
  std::vector<std::string> messages_;
};

TEST(ReportPdfNames, PathBesideTheRecordingAndDefaultBookmarkTitles) {
  EXPECT_EQ(ReportPdfPath("/data/Berg Eva 05-03-24 10-00 V0001.QRS"),
            "/data/Berg Eva 05-03-24 10-00 V0001.PDF");
  EXPECT_EQ(ReportPdfPath("a.qrs"), "a.PDF");
  EXPECT_EQ(ReportPdfPath("ab"), "PDF");
  struct Case {
    int page;
    const char* want;
  };
  constexpr Case kCases[] = {{1, "Seite  1"}, {12, "Seite 12"}, {123, "Seite 123"}};
  for (const Case& c : kCases) EXPECT_EQ(ReportPdfBookmarkTitle("Seite", c.page), c.want);
}

TEST_F(ReportPdfWriterTest, WritesThePagesOfTheRangeWithOneBookmarkEach) {
  struct Case {
    const char* name;
    int pages;
    int from, to;
    std::vector<int> want_pages;
    std::vector<std::string> want_titles;
  };
  const Case kCases[] = {
      {"whole report", 3, 1, 0xFFFF, {1, 2, 3}, {"Page  1", "Summary", "Page  3"}},
      {"one page", 1, 1, 0xFFFF, {1}, {"Page  1"}},
      {"range", 4, 2, 3, {2, 3}, {"Summary", "Page  3"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeJob job(c.pages, 2);
    win::CPrintInfo info;
    info.from_page = c.from;
    info.to_page = c.to;
    ASSERT_TRUE(Export(job, info));
    EXPECT_FALSE(IsEmfRecording());
    EXPECT_TRUE(messages_.empty());

    std::vector<std::string> want_log = {"begin recording"};
    for (const int page : c.want_pages) want_log.push_back("page " + std::to_string(page) + " recording");
    EXPECT_EQ(job.log, want_log);

    const std::string pdf = ReadAll(pdf_);
    pdf_test::ExpectValidXref(pdf);
    const std::vector<std::string> streams = pdf_test::ContentStreams(pdf);
    ASSERT_EQ(streams.size(), c.want_pages.size());
    for (size_t i = 0; i < streams.size(); ++i)
      EXPECT_NE(streams[i].find("Report page " + std::to_string(c.want_pages[i])), std::string::npos) << i;
    EXPECT_EQ(pdf_test::CountOf(pdf, "/Title ("), static_cast<int>(c.want_titles.size()) + 1);
    for (const std::string& title : c.want_titles)
      EXPECT_NE(pdf.find("/Title (" + title + ")"), std::string::npos) << title;
    EXPECT_NE(pdf.find("/Subject (Holter ECG report)"), std::string::npos);
    EXPECT_NE(pdf.find("/Creator (KESTROVA ZK-470 V 2.04)"), std::string::npos);
  }
}

TEST_F(ReportPdfWriterTest, AnEarlierPdfIsOverwritten) {
  pdf_test::WriteFile(pdf_, "earlier report");
  FakeJob job(2);
  win::CPrintInfo info;
  ASSERT_TRUE(Export(job, info));
  const std::string pdf = ReadAll(pdf_);
  EXPECT_EQ(pdf.rfind("%PDF-1.2", 0), 0u);
  EXPECT_EQ(pdf_test::ContentStreams(pdf).size(), 2u);
  EXPECT_EQ(FolderListing(folder_.Path()), std::vector<std::string>{pdf_.filename()});
}

// A folder in which no file can be made or renamed, for the superuser too (immutable).
class LockedFolder {
 public:
  explicit LockedFolder(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::permissions(folder,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() == 0) locked_ = SetImmutable(true);
  }
  ~LockedFolder() {
    if (locked_) SetImmutable(false);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  }
  // False when the folder could not be made unwritable here.
  bool Locked() const { return ::geteuid() != 0 || locked_; }

 private:
  bool SetImmutable(bool on) {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  std::filesystem::path folder_;
  bool locked_ = false;
};

TEST_F(ReportPdfWriterTest, AFailedExportLeavesTheEarlierPdfAndNoTempFile) {
  pdf_test::WriteFile(pdf_, "earlier report");
  const std::vector<std::string> before = FolderListing(folder_.Path());
  {
    SCOPED_TRACE("stopped before the end");
    FakeJob job(3);
    win::CPrintInfo info;
    // Stops while the second page is converted.
    EXPECT_FALSE(Export(job, info, [&job] { return job.log.size() >= 3; }));
    EXPECT_FALSE(IsEmfRecording());
    EXPECT_TRUE(ReadAll(pdf_) == "earlier report");
    EXPECT_EQ(FolderListing(folder_.Path()), before);
  }
  {
    SCOPED_TRACE("unwritable folder");
    LockedFolder locked(folder_.Path());
    if (!locked.Locked()) GTEST_SKIP() << "the folder cannot be made unwritable here";
    FakeJob job(2);
    win::CPrintInfo info;
    EXPECT_FALSE(Export(job, info));
    EXPECT_EQ(job.log.size(), 3u);
    EXPECT_TRUE(ReadAll(pdf_) == "earlier report");
    EXPECT_EQ(FolderListing(folder_.Path()), before);
  }
  // The writer is free again for the next export.
  FakeJob job(1);
  win::CPrintInfo info;
  EXPECT_TRUE(Export(job, info));
  EXPECT_EQ(pdf_test::ContentStreams(ReadAll(pdf_)).size(), 1u);
}

TEST(ReportPdfResources, EnglishEverywhereAndGermanInTheGermanPack) {
  platform::ResourcePack own("ZK470");
  platform::ResourcePack german("ZK470Ger");
  AddReportPdfExportResources(own);
  AddReportPdfExportResources(german);
  EXPECT_EQ(own.FindString(kIdsReportPdfSubject), "Holter ECG report");
  EXPECT_EQ(german.FindString(kIdsReportPdfSubject), "Langzeit-EKG-Befund");
  EXPECT_TRUE(own.Conflicts().empty());
  EXPECT_TRUE(german.Conflicts().empty());
}

}  // namespace

namespace reporttest {
namespace {

// The print loop's hooks over one composer, as the view drives them.
class ComposerJob : public win::PrintHooks {
 public:
  explicit ComposerJob(PrintComposer& composer) : composer_(composer) {}
  bool OnPreparePrinting(win::CPrintInfo& info) override {
    composer_.CountPages(info, cmd::kPrintWholeReport);
    return true;
  }
  void OnBeginPrinting(gfx::Canvas& dc, win::CPrintInfo&) override { composer_.DecideColour(dc); }
  void OnPrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrepareDC(dc, info); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override { composer_.PrintPage(dc, info, 1); }
  void OnEndPrinting(gfx::Canvas* dc, win::CPrintInfo& info) override { composer_.CleanUp(dc, info); }

 private:
  PrintComposer& composer_;
};

class WholeReportPdfTest : public ReportPartTest {};

TEST_F(WholeReportPdfTest, TwentySixHoursOfJuergenMuessigAsOnePdf) {
  SKIP_WITHOUT("qpdf");
  SKIP_WITHOUT("pdfinfo");
  SKIP_WITHOUT("pdftotext");
  OpenRecording(26 * 60);
  FillPatient();
  // Every part of the report, full disclosure too.
  for (const TPrintPartRow& row : PrintPartTable())
    if (row.user_switch) doc_->GetSettings().SetInt(*row.user_switch, 1);
  for (auto& day : doc_->GetRecordingData().fd_day_switches) day = 0;
  testsupport::TempFolder folder("whole_report_pdf");
  const std::string path = folder.File("report.PDF");

  TPrintComposer composer(*doc_);
  ComposerJob job(composer);
  win::CPrintInfo info;
  info.preview = true;
  ASSERT_TRUE(job.OnPreparePrinting(info));
  const int total = composer.GetTotalPages();
  ASSERT_GE(total, 1);
  ReportPdfWriter writer(clock_);
  const bool written =
      writer.Write(job, info, {"KESTROVA ZK-470 V 2.04", "report", "Holter ECG report", "Page"}, path);
  job.OnEndPrinting(nullptr, info);
  ASSERT_TRUE(written);

  EXPECT_EQ(pdf_test::RunTool("qpdf --check '" + path + "' >/dev/null 2>&1").exit_code, 0);
  const std::string pdf_info = pdf_test::RunTool("pdfinfo '" + path + "'").output;
  const size_t pages_at = pdf_info.find("Pages:");
  ASSERT_NE(pages_at, std::string::npos) << pdf_info;
  EXPECT_EQ(std::stoi(pdf_info.substr(pages_at + 6)), total);
  EXPECT_NE(pdf_info.find("595 x 842 pts (A4)"), std::string::npos) << pdf_info;
  const std::string json = pdf_test::RunTool("qpdf --json --json-key=outlines '" + path + "'").output;
  EXPECT_EQ(pdf_test::CountOf(json, "\"title\":"), total);

  for (int page = 1; page <= total; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    const std::string text = pdf_test::RunTool("pdftotext -enc UTF-8 -f " + std::to_string(page) + " -l " +
                                               std::to_string(page) + " '" + path + "' -")
                                 .output;
    EXPECT_NE(text.find("Müßig"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(page) + "/" + std::to_string(total)), std::string::npos) << text;
    EXPECT_NE(text.find("KESTROVA ZK-470"), std::string::npos) << text;
  }
  // The summary, the report's first page, holds the recording's own numbers.
  const std::string summary = pdf_test::RunTool("pdftotext -enc UTF-8 -f 1 -l 1 '" + path + "' -").output;
  for (const int count : {doc_->GetQRSList().GetSize(), doc_->GetQRSList().GetCounter(kClassVES)})
    EXPECT_NE(summary.find("\n" + std::to_string(count) + "\n"), std::string::npos) << count << "\n"
                                                                                    << summary;
}

}  // namespace
}  // namespace reporttest
