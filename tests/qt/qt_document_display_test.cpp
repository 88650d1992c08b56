#include "qt/qt_document_display.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPdfDocument>
#include <QPdfView>
#include <QTextBrowser>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "qt/qt_host.h"
#include "qt/screen_host.h"
#include "reports/pdf/content_operators.h"
#include "reports/pdf/pdf_document.h"
#include "reports/pdf/pdf_fonts.h"
#include "support/test_files.h"
#include "win/window.h"

namespace {

using qthost::QtDocumentDisplay;

// A PDF of our own writer: one A4 page per title.
void WritePdf(const std::string& path, const std::vector<std::string>& titles) {
  const platform::ManualClock clock({2024, 1, 15, 9, 0, 0, 0});
  tvk_prepare(0);
  ASSERT_EQ(tvk_open(), 0);
  int page = 1;
  for (const std::string& title : titles) {
    ASSERT_EQ(tvk_beginPage(page, 0, "0 0 595 842", "0 0 595 842"), 0);
    tvk_setFont("Helvetica", "WinAnsiEncoding", 24);
    tvk_text(72, 760, 0, title);
    tvk_rectangle(72, 400, 300, 200);
    tvk_stroke();
    tvk_endPage(page++);
  }
  ASSERT_EQ(tvk_finishDocument(clock), 0);
  ASSERT_EQ(tvk_saveToFile(path), 0);
  tvk_release();
}

class QtDocumentDisplayTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(top_.Create(nullptr, {0, 0, 800, 600}, win::kWsVisible));
    ASSERT_TRUE(child_.Create(&top_, {50, 40, 450, 340}, win::kWsChild | win::kWsVisible));
    auto* host = dynamic_cast<qthost::QtHost*>(win::Windows().CanvasHost());
    ASSERT_NE(host, nullptr);
    qthost::InstallQtDocumentDisplay(*host);
  }
  void TearDown() override {
    qthost::RemoveQtDocumentDisplay();
    child_.DestroyWindow();
    top_.DestroyWindow();
  }

  qthost::testing_support::ScreenHost screen_;
  win::Window top_;
  win::Window child_;
  testsupport::TempFolder folder_{"qtdisplay"};
};

TEST_F(QtDocumentDisplayTest, ShowsAPdfOverItsWindowAndKeepsItAgainstOtherAddresses) {
  const std::string report = folder_.File("00012.PDF");
  const std::string other = folder_.File("00013.pdf");
  WritePdf(report, {"Page one", "Page two"});
  WritePdf(other, {"Other"});
  std::unique_ptr<DocumentDisplay> made = CreateDocumentDisplay(child_);
  auto* display = dynamic_cast<QtDocumentDisplay*>(made.get());
  ASSERT_NE(display, nullptr);
  CWebBrowser2 browser(std::move(made));
  browser.SetDocumentPath(report);
  browser.MoveWindow({0, 0, 400, 300});
  browser.Navigate2(report);
  QCoreApplication::processEvents();

  ASSERT_NE(display->PdfDocument(), nullptr);
  EXPECT_EQ(display->PdfDocument()->status(), QPdfDocument::Status::Ready);
  EXPECT_EQ(display->PdfDocument()->pageCount(), 2);
  ASSERT_NE(qobject_cast<QPdfView*>(display->Viewer()), nullptr);
  EXPECT_TRUE(display->Viewer()->isVisible());
  EXPECT_EQ(display->Viewer()->geometry(), QRect(50, 40, 400, 300)) << "over the tree window";

  browser.Navigate2(other);
  EXPECT_EQ(display->PdfDocument()->pageCount(), 2) << "another file is not shown";

  browser.MoveWindow({10, 10, 210, 110});
  EXPECT_EQ(display->Viewer()->geometry(), QRect(60, 50, 200, 100));
}

TEST_F(QtDocumentDisplayTest, TextBrowserPassesLinkClicksThroughTheCheck) {
  testsupport::WriteText(folder_.File("page.html"),
                         "<html><body><p>Report</p><a href=\"other.html\">other</a></body></html>");
  testsupport::WriteText(folder_.File("other.html"), "<html><body><p>Elsewhere</p></body></html>");
  testsupport::WriteText(folder_.File("notes.txt"), "Plain notes");
  std::unique_ptr<DocumentDisplay> made = CreateDocumentDisplay(child_);
  auto* display = dynamic_cast<QtDocumentDisplay*>(made.get());
  ASSERT_NE(display, nullptr);
  std::vector<std::string> asked;
  const std::string page = folder_.File("page.html");
  display->SetBeforeNavigate([&](const std::string& url) {
    asked.push_back(url);
    return url != page && url != folder_.File("notes.txt");
  });
  display->Navigate(page);
  QTextBrowser* text = display->TextBrowser();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(display->Viewer(), text);
  EXPECT_TRUE(text->toPlainText().contains("Report"));
  EXPECT_FALSE(text->openLinks()) << "the browser follows no link by itself";

  asked.clear();
  emit text->anchorClicked(QUrl("other.html"));
  EXPECT_EQ(asked, std::vector<std::string>{folder_.File("other.html")})
      << "a click is asked with the full path";
  EXPECT_TRUE(text->toPlainText().contains("Report")) << "the cancelled link changes nothing";

  display->Navigate(folder_.File("notes.txt"));
  EXPECT_EQ(text->toPlainText(), "Plain notes");
}

}  // namespace
