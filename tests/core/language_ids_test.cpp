// Every text the program loads exists in each language it offers: the packs hold the same ids, and
// the screens, the report pages and the messages of a recording find each id they ask for in the
// language chosen, without falling back to the other one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "core/app_fixture.h"
#include "core/core_resources.h"
#include "core/resource_packs.h"
#include "core/zk470_view.h"
#include "document/beat_class.h"
#include "document/document_strings.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "reports/pdf/pdf_test_support.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "reports/report_pdf_export.h"
#include "support/language_watch.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "views/view_area.h"
#include "win/dialog_template.h"
#include "win/printing.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

// Ids that a language may lack, each for a reason of its own.
struct OneLanguageId {
  const char* name;
  const char* reason;
};
constexpr OneLanguageId kOneLanguageIds[] = {
    {"string 4133", "kind 33: nothing produces it, and it has no name in any language"},
    {"string 4136", "kind 36: nothing produces it, and it has no name in any language"},
    {"string 4137", "kind 37: nothing produces it, and it has no name in any language"},
    {"string 4139", "kind 39: nothing produces it, and it has no name in any language"},
    {"string 59143", "status pane of the channels: the program writes its text, the pane has none"},
    {"string 59144", "status pane of the view channel: the program writes its text, the pane has none"},
    {"string 59145", "status pane of the analysis engine: the program writes its text, the pane has none"},
};

std::set<std::string> OneLanguageNames() {
  std::set<std::string> names;
  for (const OneLanguageId& id : kOneLanguageIds) names.insert(id.name);
  return names;
}

bool HasMenu(const std::string& pack, int id) {
  const std::vector<int> ids = MenuIdsIn(pack);
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Every id of a kind that a pack holds, as "string 4100", "dialog 317", "menu 210".
std::vector<std::string> IdsOf(const platform::ResourcePack& pack) {
  std::vector<std::string> ids;
  for (int id = 0; id <= 0xFFFF; ++id) {
    if (pack.FindString(id)) ids.push_back("string " + std::to_string(id));
    if (win::Templates().FindIn(pack.Name(), id)) ids.push_back("dialog " + std::to_string(id));
  }
  for (const int id : MenuIdsIn(pack.Name())) ids.push_back("menu " + std::to_string(id));
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::vector<std::string> Minus(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  const std::set<std::string> allowed = OneLanguageNames();
  std::erase_if(out, [&](const std::string& id) { return allowed.contains(id); });
  return out;
}

TEST(LanguagePacks, HoldTheSameStringsTemplatesAndMenus) {
  platform::ResetProcessState();
  InstallProgramResources();
  const platform::ResourcePack* english = FindLanguagePack("ZK470Eng");
  const platform::ResourcePack* german = FindLanguagePack("ZK470Ger");
  ASSERT_NE(english, nullptr);
  ASSERT_NE(german, nullptr);
  const std::vector<std::string> english_ids = IdsOf(*english);
  const std::vector<std::string> german_ids = IdsOf(*german);
  EXPECT_GT(english_ids.size(), 500u);
  EXPECT_EQ(Minus(english_ids, german_ids), std::vector<std::string>{}) << "English only";
  EXPECT_EQ(Minus(german_ids, english_ids), std::vector<std::string>{}) << "German only";
  platform::ResetProcessState();
}

// The display mode, sub-mode and hint that show each built-in screen.
struct Screen {
  DisplayMode mode;
  int16_t sub_mode;
  int hint;
  bool large_templates;
};
constexpr Screen kScreens[] = {
    {DisplayMode::kNavigation, 1, 0, false},
    {DisplayMode::kEcgPage, 1, 0, false},
    {DisplayMode::kNavigation, 0, 0, false},
    {DisplayMode::kEcgPage, 2, 0, false},
    {DisplayMode::kHourlyBarGraphs, 0, 0, false},
    {DisplayMode::kOnlineEcg, 0, 0, false},
    {DisplayMode::kStTrend, 0, 0, false},
    {DisplayMode::kTemplateClasses, 0, 0, false},
    {DisplayMode::kTemplateBeats, 0, hint::kArea1101, false},
    {DisplayMode::kTemplateClasses, 0, 0, true},
    {DisplayMode::kEcgPage, 0, 0, false},
    {DisplayMode::kSampleWindows, 0, 0, false},
    {DisplayMode::kHrv10, 0, 0, false},
    {DisplayMode::kHrv11, 0, 0, false},
    {DisplayMode::kHrv12, 0, 0, false},
    {DisplayMode::kPacemakerTemplates, 0, hint::kDisplayMode13, false},
    {DisplayMode::kStatistics, 0, 0, false},
    {DisplayMode::kHeartRateNavigator, 0, 0, false},
};

// The print loop's hooks over the composer, as the view drives them for the whole report.
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

struct Language {
  int number;
  const char* pack;
};

class LanguageIdsTest : public AppTest, public testing::WithParamInterface<Language> {
 protected:
  // The program started in the language on a recording of more than a day, with the chosen pack
  // watched from the start.
  void StartWatched() {
    profile_.WriteInt("Language", "Language", GetParam().number);
    // One recording of a day and an hour for both languages; each run works on its own copy.
    static const testsupport::TempFolder made("language_ids");
    static const fs::path original =
        MakeAnalysedRecording(made.Path() / "00001", 25 * 60, 2, {"Jürgen", "Müßig", "4711"});
    for (const auto& entry : fs::directory_iterator(made.Path()))
      fs::copy_file(entry.path(), Folder("rec") / entry.path().filename());
    qrs_ = Folder("rec") / original.filename();
    InstallProgramResources();
    pack_source_ = FindLanguagePack;
    const platform::ResourcePack* pack = FindLanguagePack(GetParam().pack);
    ASSERT_NE(pack, nullptr);
    watch_ = std::make_unique<testsupport::LanguageWatch>(*pack, HasMenu);
    ASSERT_TRUE(Start({qrs_.string()}));
    Pump();
    ASSERT_NE(GetActiveZK470View(), nullptr);
    ASSERT_EQ(platform::Resources().LanguagePack(), pack);
  }

  void ShowEveryScreen() {
    for (const Screen& screen : kScreens) {
      Doc().SetDisplayMode(screen.mode);
      Doc().SetDisplaySubMode(screen.sub_mode);
      Doc().SetLargeTemplateViewFlag(screen.large_templates);
      Doc().UpdateAllViews(nullptr, screen.hint);
      Pump();
    }
  }

  // The whole report, every part switched on, as a PDF file.
  std::string WholeReportPdf() {
    for (const TPrintPartRow& row : PrintPartTable())
      if (row.user_switch) Doc().GetSettings().SetInt(*row.user_switch, 1);
    for (auto& day : Doc().GetRecordingData().fd_day_switches) day = 0;
    TPrintComposer composer(Doc());
    ComposerJob job(composer);
    win::CPrintInfo info;
    info.preview = true;
    EXPECT_TRUE(job.OnPreparePrinting(info));
    const std::string path = (Folder("pdf") / "report.PDF").string();
    ReportPdfWriter writer(clock_);
    EXPECT_TRUE(writer.Write(job, info, {"ZK-470", "report", "report", "Page"}, path));
    job.OnEndPrinting(nullptr, info);
    return path;
  }

  fs::path qrs_;
  std::unique_ptr<testsupport::LanguageWatch> watch_;
};

TEST_P(LanguageIdsTest, ScreensReportAndMessagesFindEveryIdInTheirLanguage) {
  ASSERT_NO_FATAL_FAILURE(StartWatched());
  ShowEveryScreen();
  const std::string pdf = WholeReportPdf();
  // A German report names no beat class or event kind in English.
  if (GetParam().number == 1 && pdf_test::HaveTool("pdftotext")) {
    const std::string text = pdf_test::RunTool("pdftotext -enc UTF-8 '" + pdf + "' -").output;
    ASSERT_NE(text.find("Müßig"), std::string::npos) << text;
    // The names German writes as English does.
    const std::set<std::string> shared = {"Normal", "Pause", "Marker", "SVES", "VES", "Debug S"};
    for (int code = 0; code < kClassCount; ++code) {
      platform::ScopedExeResources english;
      const std::string name = platform::LoadString(4100 + code);
      if (name.empty() || shared.contains(name)) continue;
      EXPECT_EQ(text.find(name), std::string::npos) << name;
    }
  }
  // A kind the recording does not hold: the search for the next event says so.
  Doc().GetNavigationFlags()[38] = 1;
  EXPECT_FALSE(Doc().GoToNextEvent());
  // Closing asks whether the recording is finalized.
  prompt_.QueueAnswer(win::kIdNo);
  ASSERT_TRUE(win::ExecuteCommand(Frame(), cmd::kFileClose));
  Pump();
  ASSERT_TRUE(app_->OpenDocumentFile(qrs_.string()));
  Pump();
  // Relabelling two minutes of beats asks whether the ST analysis is to run again.
  {
    TBeatEditor editor(Doc(), 1);
    const TQRSList& beats = Doc().GetQRSList();
    const auto on_beat = [&](int command, int beat) {
      analysis::TBeatEditRequest request;
      request.off_beat = 0;
      request.beat_index = beat;
      request.position = beats.GetAt(beat).GetPosition();
      request.command = command;
      return request;
    };
    int last = 0;
    while (last + 1 < beats.GetSize() && beats.GetAt(last).GetPosition() < 120 * Doc().GetSampleRate())
      ++last;
    prompt_.QueueAnswer(win::kIdNo);
    editor.ExecuteCommand(on_beat(analysis::beatcmd::kMarkRangeStart, 0));
    editor.ExecuteCommand(on_beat(analysis::beatcmd::kRangeVES, last));
  }
  EXPECT_GT(watch_->AskedCount(platform::ResourceLookup::kString), 250u);
  EXPECT_EQ(watch_->Missing(OneLanguageNames()), std::vector<std::string>{});
  // The messages were asked, in the language's own words.
  for (const int id : {document::strings::kNoFurtherEvent, analysis::kStringRedoSTQuestion,
                       document::strings::kFinalizeQuestion}) {
    const std::string text = platform::LoadString(id);
    const std::string start = text.substr(0, text.find("%s"));
    ASSERT_FALSE(start.empty()) << id;
    EXPECT_TRUE(std::any_of(prompt_.Log().begin(), prompt_.Log().end(), [&](const auto& asked) {
      return asked.text.starts_with(start);
    })) << start;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageIdsTest,
                         testing::Values(Language{0, "ZK470Eng"}, Language{1, "ZK470Ger"}),
                         [](const testing::TestParamInfo<Language>& info) {
                           return std::string(info.param.pack);
                         });

}  // namespace
}  // namespace coretest
