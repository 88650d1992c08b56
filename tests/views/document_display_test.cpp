#include "views/document_display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/test_files.h"
#include "views/panel_screen_fixture.h"

namespace {

namespace fs = std::filesystem;
using paneltest::ScreenFixture;

TEST(CWebBrowser2, CancelsEveryAddressButTheDocumentPath) {
  auto owned = std::make_unique<RecordingDocumentDisplay>();
  RecordingDocumentDisplay* display = owned.get();
  CWebBrowser2 browser(std::move(owned));
  browser.SetDocumentPath("/data/Reports/00012.PDF");
  browser.Navigate2("/data/Reports/00012.PDF");
  struct Case {
    const char* name;
    const char* url;
    bool shown;
  };
  constexpr Case kCases[] = {
      {"the same path", "/data/Reports/00012.PDF", true},
      {"the same path in other case", "/DATA/reports/00012.pdf", true},
      {"another file beside it", "/data/Reports/00013.PDF", false},
      {"a web address", "https://example.org/", false},
      {"a part of the path", "/data/Reports/00012", false},
      {"nothing", "", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    display->ClearLog();
    display->ClickLink(c.url);
    EXPECT_EQ(display->Log(),
              std::vector<std::string>{(c.shown ? "navigate " : "cancelled ") + std::string(c.url)});
    EXPECT_EQ(display->Shown(), c.shown ? c.url : "/data/Reports/00012.PDF")
        << "a cancelled link changes nothing";
    if (c.shown) display->ClickLink("/data/Reports/00012.PDF");
  }
}

TEST(RecordingFilesToDelete, TheRecordingsFilesInOrderBySampleKind) {
  testsupport::TempFolder folder("delete");
  for (const char* name : {"00012.QRS", "00012.BAK", "00012.CMP", "00012.TAP", "00012.rx3", "00012.KZC",
                           "00012.KHI", "00012.112", "00012.PID", "00012.VQN", "00012.PDF", "00013.QRS"})
    testsupport::WriteText(folder.File(name), "x");
  const std::string pdf = folder.File("00012.PDF");
  const auto names = [&](int kind) {
    std::vector<std::string> found;
    for (const std::string& file : RecordingFilesToDelete(pdf, kind))
      found.push_back(fs::path(file).filename());
    return found;
  };
  struct Case {
    int kind;
    const char* sample;  // nullptr: none
  };
  constexpr Case kCases[] = {{0, "00012.CMP"}, {2, "00012.TAP"}, {3, "00012.rx3"}, {4, "00012.KZC"},
                             {5, "00012.KHI"}, {6, "00012.112"}, {1, nullptr},     {-1, nullptr}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    std::vector<std::string> want = {"00012.QRS", "00012.BAK"};
    if (c.sample != nullptr) want.push_back(c.sample);
    want.push_back("00012.PID");
    want.push_back("00012.VQN");
    EXPECT_EQ(names(c.kind), want);
  }
  fs::remove(folder.File("00012.BAK"));
  fs::remove(folder.File("00012.PID"));
  EXPECT_EQ(names(0), (std::vector<std::string>{"00012.QRS", "00012.CMP", "00012.VQN"}))
      << "missing files skipped";
}

class DocumentBrowser : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    CDocumentBrowserServices services;
    services.confirm_delete = [this](win::Window* parent) {
      ++asked_;
      // The offer comes after the first paint has finished, never inside it.
      painted_before_offer_ = parent != nullptr && win::Windows().RecordOf(*parent) != nullptr &&
                              win::Windows().RecordOf(*parent)->paint != nullptr;
      return answer_yes_;
    };
    services.remove_recent_file = [this](const std::string& path) { removed_recent_.push_back(path); };
    services.end_automation = [this](int code) { exit_codes_.push_back(code); };
    SetDocumentBrowserServices(std::move(services));
    for (const char* name :
         {"00012.QRS", "00012.BAK", "00012.CMP", "00012.TAP", "00012.PID", "00012.VQN", "00012.PDF"})
      testsupport::WriteText(folder_.File(name), "x");
    pdf_ = folder_.File("00012.PDF");
  }

  // Layout 18: the browser window filling the view.
  void ShowBrowser(int width = 1000, int height = 700) {
    ShowLayout(
        [](CViewConfiguration& root) {
          root.AddChild(std::make_unique<CDocumentBrowserWindowConfig>(TopLeft(), gfx::Size{300, 280},
                                                                       gfx::Size{1000, 1000}, false));
        },
        width, height);
  }
  void OpenExportedPdf(int offer, int sample_kind) {
    ASSERT_TRUE(doc_->OnOpenDocument(pdf_));
    doc_->GetViewFields().report_values = {offer, sample_kind};
  }
  RecordingDocumentDisplay* Display() const {
    CDocumentBrowserWnd* window = Hosted<CDocumentBrowserWnd>();
    if (window == nullptr || window->GetBrowser() == nullptr) return nullptr;
    return dynamic_cast<RecordingDocumentDisplay*>(&window->GetBrowser()->GetDisplay());
  }
  std::vector<std::string> Remaining() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.Path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  testsupport::TempFolder folder_{"browser"};
  std::string pdf_;
  bool answer_yes_ = true;
  int asked_ = 0;
  bool painted_before_offer_ = false;
  std::vector<std::string> removed_recent_;
  std::vector<int> exit_codes_;
};

TEST_F(DocumentBrowser, ShowsTheDocumentAndFollowsTheLayout) {
  OpenExportedPdf(0, -1);
  ShowBrowser();
  RecordingDocumentDisplay* display = Display();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->Shown(), pdf_);
  const gfx::Rect client = Hosted<CDocumentBrowserWnd>()->GetClientRect();
  const std::vector<std::string>& log = display->Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "place 10 10 500 500");
  EXPECT_EQ(log[1], "navigate " + pdf_);
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "place 0 0 " + std::to_string(client.right) + " " + std::to_string(client.bottom)),
            log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "refresh"), log.end()) << "every paint reloads";
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(DocumentBrowser, NavigatesAgainOnHints1005And2057WithoutObject) {
  OpenExportedPdf(0, -1);
  ShowBrowser();
  RecordingDocumentDisplay* display = Display();
  ASSERT_NE(display, nullptr);
  THintObject object;
  struct Case {
    const char* name;
    int hint;
    THintObject* object;
    bool navigates;
  };
  const Case cases[] = {{"1005", 1005, nullptr, true},
                        {"2057", 2057, nullptr, true},
                        {"1005 with an object", 1005, &object, false},
                        {"another hint", 1002, nullptr, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    display->ClearLog();
    doc_->UpdateAllViews(nullptr, c.hint, c.object);
    const std::vector<std::string> want =
        c.navigates ? std::vector<std::string>{"navigate " + pdf_} : std::vector<std::string>{};
    std::vector<std::string> navigations;
    for (const std::string& line : display->Log())
      if (line.rfind("navigate", 0) == 0 || line.rfind("cancelled", 0) == 0) navigations.push_back(line);
    EXPECT_EQ(navigations, want);
  }
}

TEST_F(DocumentBrowser, ADisplayThatCannotBeMadeEndsTheRunWithCode33) {
  SetDocumentDisplayFactory([](win::Window&) { return nullptr; });
  OpenExportedPdf(1, 0);
  ShowBrowser();
  win::Windows().RunPending();
  SetDocumentDisplayFactory({});
  CDocumentBrowserWnd* window = Hosted<CDocumentBrowserWnd>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetBrowser(), nullptr);
  EXPECT_EQ(exit_codes_, std::vector<int>{33});
  EXPECT_EQ(asked_, 0) << "nothing shown, nothing offered";
  EXPECT_EQ(Remaining().size(), 7u);
}

TEST_F(DocumentBrowser, YesDeletesTheRecordingButKeepsThePdfAndItsRecentEntry) {
  OpenExportedPdf(1, 0);
  ShowBrowser();
  EXPECT_EQ(asked_, 0) << "the first paint only posts the offer";
  win::Windows().RunPending();
  EXPECT_EQ(asked_, 1);
  EXPECT_TRUE(painted_before_offer_);
  EXPECT_EQ(Remaining(), (std::vector<std::string>{"00012.PDF", "00012.TAP"}));
  EXPECT_EQ(removed_recent_, std::vector<std::string>{folder_.File("00012.QRS")});
  EXPECT_EQ(doc_->GetViewFields().report_values[CDocumentBrowserWnd::kDeleteOfferField], 0);
  EXPECT_EQ(doc_->GetViewFields().report_values[CDocumentBrowserWnd::kSampleKindField], -1);
  EXPECT_EQ(Display()->Shown(), pdf_);

  // A second repaint offers nothing.
  Hosted<CDocumentBrowserWnd>()->Invalidate();
  win::Windows().RunPending();
  EXPECT_EQ(asked_, 1);
}

TEST_F(DocumentBrowser, NoOrNoOfferKeepsEveryFile) {
  struct Case {
    const char* name;
    int offer;
    bool yes;
    int asked;
  };
  constexpr Case kCases[] = {{"answered no", 1, false, 1}, {"no offer left by an export", 0, true, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    asked_ = 0;
    answer_yes_ = c.yes;
    OpenExportedPdf(c.offer, 0);
    ShowBrowser();
    win::Windows().RunPending();
    EXPECT_EQ(asked_, c.asked);
    EXPECT_EQ(Remaining().size(), 7u);
    EXPECT_TRUE(removed_recent_.empty());
    CloseView();
  }
}

}  // namespace
