#include "core/resource_packs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/auto_scroll_dlg.h"
#include "layouts/strip_header_area.h"
#include "platform/ids.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "views/caption_areas.h"
#include "views/ecg_page_window.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_edit_window.h"
#include "views/st_scale_area.h"
#include "views/view_resources.h"

namespace {

constexpr int kSVBigeminyName = 4140;

class ResourcePacksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    InstallProgramResources();
  }
  void TearDown() override { platform::ResetProcessState(); }

  static void ServeLanguage(const char* name) {
    platform::Resources().SetLanguagePack(FindLanguagePack(name));
    platform::Resources().UseLanguageResources();
  }
};

struct Id {
  std::string name;
  int id;
  bool prompt;  // a command prompt: status text, a line end, a tool tip
};

// Every string the ECG screens load: their captions, labels and menu texts, and the prompts of
// the commands of their toolbars, context menu and navigation.
std::vector<Id> ScreenStringIds() {
  std::vector<Id> ids = {
      {"time-axis caption", kCaptionStringId, false},
      {"SV bigeminy row", kSVBigeminyName, false},
      {"strip toolbar title", CECGStripWnd::kToolBarTitleString, false},
      {"RR box", CSampleHeaderArea::kRRModeString, false},
      {"caliper box", CSampleHeaderArea::kCaliperString, false},
      {"per minute", 16001, false},
      {"seconds unit", 16003, false},
      {"millivolt unit", 16004, false},
      {"channels caption", ecgpage::kChannelsCaption, false},
      {"analysed channels caption", ecgpage::kAnalysedChannelsCaption, false},
      {"reanalysis question", ecgpage::kConfirmReanalysis, false},
      {"reanalysis aborted", ecgpage::kReanalysisAborted, false},
      {"auto-scroll start", TAutoScrollDlg::kStartText, false},
      {"auto-scroll stop", TAutoScrollDlg::kStopText, false},
      {"ST scale trend", CSTScaleArea::kTrendCaption, false},
      {"ST scale ST", CSTScaleArea::kSTCaption, false},
      {"ST scale level", CSTScaleArea::kLevelCaption, false},
      {"ST scale slope", CSTScaleArea::kSlopeCaption, false},
  };
  for (const platform::StringEntry& label : SampleWindowStrings(false))
    ids.push_back({"label " + std::string(label.text), label.id, false});

  const win::Menu menu = CECGStripWnd::BuildContextMenu();
  int text_id = CECGStripWnd::kMenuTextFirst;
  for (size_t i = 0; i < menu.Count(); ++i) {
    const win::MenuItem& item = menu.At(i);
    if (item.separator) continue;
    ids.push_back({"menu text " + item.text, text_id++, false});
    ids.push_back({"menu prompt " + item.text, item.id, true});
  }

  const int commands[] = {
      // strip toolbar
      CECGStripWnd::kCmdTakeCursor, CECGStripWnd::kCmdUserMarker, CECGStripWnd::kCmdSlower,
      CECGStripWnd::kCmdFaster, CECGStripWnd::kCmdLarger, CECGStripWnd::kCmdSmaller,
      // page toolbar
      cmd::kCentrePage, ecgpage::kPrintEventStripsCommand, cmd::kPreviousPageOfPage, cmd::kNextPageOfPage,
      cmd::kPageSlower, cmd::kPageFaster, cmd::kPageLarger, cmd::kPageSmaller, cmd::kChannels,
      cmd::kAnalysedChannels, cmd::kAutoScroll,
      // sample toolbar
      CECGSampleWnd::kCmdTakeExample, CECGSampleWnd::kCmdNextExample,
      // navigation
      cmd::kPreviousEvent, cmd::kNextEvent, cmd::kSelectOccurringKinds, cmd::kClearKindSelection,
      cmd::kSetMark, cmd::kReturnToMark, cmd::kGoToHRMin, cmd::kGoToHRMax, cmd::kGoToSinusHRMin,
      cmd::kGoToSinusHRMax, cmd::kGoToRRMin, cmd::kGoToRRMax, cmd::kGoToNNMin, cmd::kGoToNNMax, cmd::kGoToST1,
      cmd::kGoToST2, cmd::kGoToST3};
  for (const int id : commands) ids.push_back({"command " + std::to_string(id), id, true});
  return ids;
}

// The screens fill each pack in turn; one that reused another's id would change its texts.
TEST_F(ResourcePacksTest, NoScreenTakesAnotherScreensStringIds) {
  EXPECT_EQ(platform::Resources().ExePack().Conflicts(), std::vector<int>{});
  for (const char* name : {"ZK470Eng", "ZK470Ger"}) {
    const platform::ResourcePack* pack = FindLanguagePack(name);
    ASSERT_NE(pack, nullptr) << name;
    EXPECT_EQ(pack->Conflicts(), std::vector<int>{}) << name;
  }
}

TEST_F(ResourcePacksTest, EveryStringOfTheECGScreensIsInBothLanguages) {
  const std::vector<Id> ids = ScreenStringIds();
  ASSERT_GT(ids.size(), 100u);
  for (const char* pack_name : {"ZK470Eng", "ZK470Ger"}) {
    const platform::ResourcePack* pack = FindLanguagePack(pack_name);
    ASSERT_NE(pack, nullptr) << pack_name;
    for (const Id& c : ids) {
      SCOPED_TRACE(std::string(pack_name) + ": " + c.name);
      const std::optional<std::string> text = pack->FindString(c.id);
      ASSERT_TRUE(text.has_value()) << c.id;
      EXPECT_FALSE(text->empty());
      if (c.prompt) {
        const size_t line_end = text->find('\n');
        ASSERT_NE(line_end, std::string::npos) << *text;
        EXPECT_GT(line_end, 0u) << "no status text: " << *text;
        EXPECT_LT(line_end + 1, text->size()) << "no tool tip: " << *text;
      }
    }
  }
}

// What the screens show once a language is chosen: the German texts, and among them the channel
// names, which the English sample-window table used to overwrite in the German pack.
TEST_F(ResourcePacksTest, ScreensShowTheTextsOfTheChosenLanguage) {
  struct Case {
    const char* what;
    std::string (*load)();
    const char* english;
    const char* german;
  };
  const Case kCases[] = {
      {"menu entry",
       [] { return CECGStripWnd::BuildContextMenu().FindItem(CECGStripWnd::kCmdDeleteBeat)->text; },
       "&Delete beat", "Schlag &löschen"},
      {"strip tool tip", [] { return ToolTipOfCommand(CECGStripWnd::kCmdSlower); }, "Slower paper",
       "Langsamer"},
      {"page tool tip", [] { return ToolTipOfCommand(cmd::kAutoScroll); }, "Auto-scroll",
       "Automatisch blättern"},
      {"sample tool tip", [] { return ToolTipOfCommand(CECGSampleWnd::kCmdNextExample); }, "Next example",
       "Nächstes Beispiel"},
      {"channel label", [] { return platform::LoadString(CECGSampleWnd::kChannelLabelString + 2); }, "Ch 3",
       "Kanal 3"},
      {"caption", [] { return platform::LoadString(kCaptionStringId); }, "Time of day", "Uhrzeit"},
      {"SV bigeminy row", [] { return platform::LoadString(kSVBigeminyName); }, "SV bigem./trigem.",
       "SV-Bigem./Trigem."},
      {"atrial fibrillation label", [] { return platform::LoadString(4230); }, "AFib", "VHF"},
  };
  for (const auto& [pack_name, german] : {std::pair{"ZK470Eng", false}, std::pair{"ZK470Ger", true}}) {
    ServeLanguage(pack_name);
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(pack_name) + ": " + c.what);
      EXPECT_EQ(c.load(), german ? c.german : c.english);
    }
  }
}

// Without any pack the context menu still has its English texts; tool tips are simply absent.
TEST_F(ResourcePacksTest, ContextMenuKeepsItsTextsWithoutPacks) {
  platform::ResetProcessState();
  const win::Menu menu = CECGStripWnd::BuildContextMenu();
  ASSERT_NE(menu.FindItem(CECGStripWnd::kCmdCaliper), nullptr);
  EXPECT_EQ(menu.FindItem(CECGStripWnd::kCmdCaliper)->text, "Ca&liper");
  EXPECT_EQ(ToolTipOfCommand(CECGStripWnd::kCmdCaliper), "");
}

}  // namespace
