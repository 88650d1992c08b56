// The way a user reaches a recording and its patient data: File Open shows the recording browser
// on the data folder, the chosen recording opens, and the patient commands of the main menu show
// the patient sheet on it. Everything goes through the main menu and the frame's command route.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "core/main_frame.h"
#include "core/menu_bar.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "support/test_recordings.h"
#include "win/command_target.h"
#include "win/controls.h"
#include "win/dialog.h"

namespace coretest {
namespace {

namespace ids = core_ids;
namespace fs = std::filesystem;

class PatientCommandsTest : public AppTest {
 protected:
  // Steps run one at a time whenever a modal loop has nothing else to do; each gets the modal
  // window. Once they are used up the loop idles on the clock as the fixture does.
  void Drive(std::vector<std::function<void(win::Window*)>> steps) {
    steps_ = std::move(steps);
    steps_run_ = 0;
    on_idle_ = [this](win::Window* modal) {
      if (steps_run_ >= steps_.size()) return false;
      steps_[steps_run_++](modal);
      return true;
    };
  }

  // Opens the main-menu pop-up that holds command id and clicks its entry, as a user would, then
  // runs what that posted. Returns the command chosen: 0 when the entry is disabled or missing.
  int ChooseFromMenu(int id) {
    const win::Menu* menu = Frame().GetMenu();
    if (menu == nullptr) return 0;
    for (size_t title = 0; title < menu->Count(); ++title) {
      const win::Menu* popup = menu->At(title).popup.get();
      if (popup == nullptr) continue;
      for (size_t entry = 0; entry < popup->Count(); ++entry) {
        if (popup->At(entry).id != id) continue;
        const int chosen = Frame().GetMenuBar().OpenPopup(title, [entry](PopupMenuWnd& open) {
          open.ChooseItem(entry);
          if (!open.Closed()) open.Close(0);
        });
        Pump();
        return chosen;
      }
    }
    ADD_FAILURE() << "no main-menu entry carries command " << id;
    return 0;
  }

  static std::string FieldOf(win::Window* modal, int id) {
    auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
    if (sheet == nullptr || sheet->GetActivePage() == nullptr) return "<no sheet>";
    const auto* edit = sheet->GetActivePage()->Item<win::Edit>(id);
    return edit != nullptr ? edit->GetWindowText() : "<no field>";
  }

  std::vector<std::function<void(win::Window*)>> steps_;
  size_t steps_run_ = 0;
};

TEST_F(PatientCommandsTest, OpenFromTheBrowserThenThePatientSheetShowsItsPatient) {
  const fs::path data = Folder("home") / "ZK-470" / "Data";
  fs::create_directories(data);
  const fs::path qrs = MakeSyntheticRecording(data / "00007", 2, {"Eva", "Berg", "55"});
  std::ofstream(data / "letter.PDF") << "%PDF-1.4\n";
  ASSERT_TRUE(Start({}));
  Pump();
  ASSERT_EQ(Doc().GetDataDirectory(), data.string());

  // Nothing open yet: the patient entries are there but cannot be chosen.
  EXPECT_EQ(ChooseFromMenu(cmd::kPatientData), 0);
  EXPECT_EQ(ChooseFromMenu(cmd::kEditDiagnosis), 0);

  std::vector<std::string> listed;
  std::string caption;
  Drive({[&](win::Window* modal) {
    auto* browser = dynamic_cast<TRecordingBrowserDlg*>(modal);
    ASSERT_NE(browser, nullptr) << "File Open did not show the recording browser";
    caption = modal->GetWindowText();
    win::ListView& list = browser->List();
    int row = -1;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      listed.push_back(list.GetItemText(i, 0));
      if (list.GetItemText(i, 0) == "00007") row = i;
    }
    ASSERT_GE(row, 0);
    list.SelectFromUser({row});
    modal->SendMessage(win::kWmCommand, win::kIdOk);
  }});
  EXPECT_EQ(ChooseFromMenu(cmd::kFileOpen), cmd::kFileOpen);
  ASSERT_EQ(steps_run_, 1u);
  EXPECT_EQ(caption, "Open");
  EXPECT_EQ(listed, (std::vector<std::string>{"00007", "letter"}));
  EXPECT_EQ(Doc().GetPathName(), qrs.string());
  EXPECT_EQ(Doc().GetPatientData().surname, "Berg");
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00007.QRS");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");

  // The patient command: the sheet on the open recording, at the patient page.
  std::optional<int> page;
  std::vector<std::string> fields;
  Drive({[&](win::Window* modal) {
    auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
    ASSERT_NE(sheet, nullptr) << "the patient command did not show the patient sheet";
    page = sheet->GetActiveIndex();
    fields = {FieldOf(modal, CPatientPropertyPage::kFirstNameId),
              FieldOf(modal, CPatientPropertyPage::kLastNameId),
              FieldOf(modal, CPatientPropertyPage::kPatientIdId)};
    // No voice diary beside the recording: nothing to play.
    EXPECT_FALSE(sheet->ExtraButton().IsWindowEnabled());
    sheet->PressButton(win::kIdCancel);
  }});
  EXPECT_EQ(ChooseFromMenu(cmd::kPatientData), cmd::kPatientData);
  ASSERT_EQ(steps_run_, 1u);
  EXPECT_EQ(page, 0);
  EXPECT_EQ(fields, (std::vector<std::string>{"Eva", "Berg", "55"}));
  EXPECT_FALSE(Doc().IsModified());

  // The diagnosis entry: the same sheet at its diagnosis page; OK writes the text back.
  Drive({[&](win::Window* modal) {
    auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
    ASSERT_NE(sheet, nullptr);
    page = sheet->GetActiveIndex();
    EXPECT_EQ(page, sheet->GetPageIndex(*sheet->diagnosis_page));
    auto* text = sheet->GetActivePage()->Item<win::Edit>(TDiagnosisPage::kTextId);
    ASSERT_NE(text, nullptr);
    text->SetTextFromUser("Sinus rhythm, isolated VES.");
    sheet->PressButton(win::kIdOk);
  }});
  EXPECT_EQ(ChooseFromMenu(cmd::kEditDiagnosis), cmd::kEditDiagnosis);
  ASSERT_EQ(steps_run_, 1u);
  EXPECT_EQ(Doc().GetRecordingData().diagnosis, "Sinus rhythm, isolated VES.");
  EXPECT_TRUE(Doc().IsModified());

  // The second patient command (no menu entry of its own) opens at the patient page again.
  page.reset();
  Drive({[&](win::Window* modal) {
    auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
    ASSERT_NE(sheet, nullptr);
    page = sheet->GetActiveIndex();
    sheet->PressButton(win::kIdCancel);
  }});
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPatientDataAlt));
  EXPECT_EQ(page, 0);
}

TEST_F(PatientCommandsTest, PatientCommandsNeedARecordingAndNoPdf) {
  ASSERT_TRUE(Start({}));
  Pump();
  struct Case {
    const char* name;
    DisplayMode display_mode;
    bool want;
  };
  constexpr Case kCases[] = {
      {"nothing open", DisplayMode::kNone, false},
      {"recording", DisplayMode::kNavigation, true},
      {"prepared for a recorder", DisplayMode::kOnlineEcg, true},
      {"PDF report", DisplayMode::kPdf, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().SetDisplayMode(c.display_mode);
    for (const int id : {cmd::kPatientData, cmd::kPatientDataAlt, cmd::kEditDiagnosis}) {
      SCOPED_TRACE(id);
      EXPECT_EQ(win::UpdateCommand(Frame(), id).Enabled(), std::optional<bool>(c.want));
    }
  }
}

TEST_F(PatientCommandsTest, BothLanguagesCarryThePatientEntries) {
  for (const int language : {0, 1}) {
    SCOPED_TRACE(language);
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    profile_.WriteInt("Language", "Language", language);
    ASSERT_TRUE(Start({}));
    const win::Menu* menu = Frame().GetMenu();
    ASSERT_NE(menu, nullptr);
    for (const int id : {cmd::kPatientData, cmd::kEditDiagnosis}) {
      bool found = false;
      for (size_t title = 0; title < menu->Count() && !found; ++title) {
        const win::Menu* popup = menu->At(title).popup.get();
        found = popup != nullptr && popup->FindItem(id) != nullptr;
      }
      EXPECT_TRUE(found) << id;
    }
  }
}

}  // namespace
}  // namespace coretest
