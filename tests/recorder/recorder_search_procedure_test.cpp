// The new-recording procedure as File New runs it: the document resets and hands over to the
// procedure, which searches the simulated recorder and shows the patient sheet, the length
// dialog and the preparation prompt.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/new_recording_procedure.h"
#include "dialogs/date_time_text.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/patient_dialog_resources.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_prompt_dlgs.h"
#include "document/document_host.h"
#include "document/settings_store.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "support/recorder_sim.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "win/controls.h"
#include "win/messages.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

class ProcedureHost : public document::DocumentHost {
 public:
  int RunNewRecordingReadOut(CZK470Doc& doc) override { return RunNewRecordingProcedure(doc); }
};

class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

recsim::SimConfig Sim(int kind, std::string version = "V1.20") {
  recsim::SimConfig config = recsim::SimConfig::ForKind(kind);
  config.version = std::move(version);
  config.ecg.assign(2000, 0x40);
  return config;
}

// What a step does with the modal window it meets; "sheet" names the patient sheet, a number the
// template of a dialog.
std::string Name(win::Window* modal) {
  if (dynamic_cast<CPatientPropertySheet*>(modal) != nullptr) return "sheet";
  if (auto* dialog = dynamic_cast<win::Dialog*>(modal)) return std::to_string(dialog->TemplateId());
  return "?";
}

class NewRecordingProcedureTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    platform::ResourcePack& pack = platform::Resources().ExePack();
    AddDialogResources(pack);
    AddPatientDialogResources(pack);
    AddRecordingPromptResources(pack);
    recorder::AddRecorderSearchResources(pack);
    dialogs::SetDialogLocale(&locale_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1200, 900}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    clock_.Set({2024, 3, 5, 10, 0, 0, 0});
    saved_environment_ = recorder::Environment();
    recorder::Environment().probe_names = {};
    recorder::Environment().sysfs_root = (testsupport::MakeTestDir("new_recording") / "no-sysfs").string();
    recorder::SetClock(&fast_);
    recorder::SetRecorderSearchUi(&search_ui_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->SetHost(&host_);
    doc_->AddView(&view_);
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
    // A fresh document counts as closed: its first reset only clears that.
    ASSERT_EQ(doc_->GetClosedFlag(), 1);
    doc_->NewRecording(0);
    view_.hints.clear();
  }
  void TearDown() override {
    doc_->RemoveView(&view_);
    doc_.reset();
    recorder::SetRecorderSearchUi(nullptr);
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  // Each action answers one modal window and logs which it was.
  using Action = std::function<void(win::Window*)>;
  void Answer(std::vector<Action> actions) {
    std::vector<std::function<void(win::Window*)>> steps;
    for (Action& action : actions) {
      steps.push_back([this, action = std::move(action)](win::Window* modal) {
        shown_.push_back(Name(modal));
        action(modal);
      });
    }
    DriveModal(std::move(steps));
  }
  static Action Press(int id) {
    return [id](win::Window* modal) {
      if (auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal)) {
        sheet->PressButton(id);
        return;
      }
      auto* button = dynamic_cast<win::Button*>(modal->GetDlgItem(id));
      ASSERT_NE(button, nullptr) << id;
      button->Click();
    };
  }
  static Action Choose(int length_choice) {
    return [length_choice](win::Window* modal) {
      Press(TRecordingLengthDlg::kLengthId + length_choice)(modal);
      Press(win::kIdOk)(modal);
    };
  }
  void ExpectEmptyDocument() const {
    EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
    EXPECT_EQ(doc_->GetPatientData(), TPatientData(clock_));
    EXPECT_EQ(doc_->GetRecordingData().programmed_length, 0);
  }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  win::Window main_;
  recorder::ScaledRecorderClock fast_{50};
  recorder::ScriptedRecorderSearchUi search_ui_;
  platform::MemoryProfileStore profile_;
  ProcedureHost host_;
  HintLog view_;
  std::unique_ptr<CZK470Doc> doc_;
  std::vector<std::string> shown_;

 private:
  recorder::LinkEnvironment saved_environment_;
};

TEST_F(NewRecordingProcedureTest, EachRecorderGetsItsPromptAndTheProgrammingScreen) {
  struct Case {
    const char* name;
    int kind;
    const char* version;
    int units;
    std::vector<Action> answers;
    std::vector<std::string> want_shown;
    int want_channels;
    int want_length;
  };
  const Case cases[] = {
      {"ZK-130", 2, "", 0, {Press(win::kIdOk), Press(win::kIdOk)}, {"sheet", "162"}, 2, 0},
      {"ZK-133", 3, "", 1, {Press(win::kIdOk), Press(win::kIdOk)}, {"sheet", "30748"}, 3, 0},
      {"ZK-131 for 72 hours",
       4,
       "V1.20",
       0,
       {Press(win::kIdOk), Choose(2), Press(win::kIdOk)},
       {"sheet", "328", "30752"},
       3,
       72},
      {"ZK-131 without the capability, other units",
       4,
       "V1.10",
       1,
       {Press(win::kIdOk), Press(win::kIdOk)},
       {"sheet", "30754"},
       3,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown_.clear();
    view_.hints.clear();
    recsim::PtyRecorder sim(Sim(c.kind, c.version));
    recorder::Environment().probe_names = {sim.DevicePath()};
    doc_->GetSettings().SetInt(SettingKey::kUnits, c.units);
    Answer(c.answers);

    EXPECT_EQ(doc_->NewRecording(0), 1);

    EXPECT_EQ(shown_, c.want_shown);
    EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kOnlineEcg);
    EXPECT_EQ(doc_->GetDisplaySubMode(), 0);
    EXPECT_EQ(doc_->GetChannelCount(), c.want_channels);
    EXPECT_EQ(doc_->GetRecordingData().programmed_length, c.want_length);
    EXPECT_EQ(recorder::CurrentRecorder(*doc_).Kind(), c.kind);
    // The reset's hint, then the programming screen's.
    EXPECT_EQ(view_.hints, (std::vector<int>{hint::kDocumentChanged, hint::kDocumentChanged}));
  }
}

TEST_F(NewRecordingProcedureTest, PatientFromTheSheetGoesIntoTheDocument) {
  recsim::PtyRecorder sim(Sim(2));
  recorder::Environment().probe_names = {sim.DevicePath()};
  Answer({[](win::Window* modal) {
            auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
            ASSERT_NE(sheet, nullptr);
            EXPECT_FALSE(sheet->HasApplyButton());
            EXPECT_FALSE(sheet->HasHelpButton());
            auto* edit = sheet->GetActivePage()->Item<win::Edit>(CPatientPropertyPage::kLastNameId);
            ASSERT_NE(edit, nullptr);
            edit->SetTextFromUser("Meier");
            sheet->PressButton(win::kIdOk);
          },
          Press(win::kIdOk)});

  EXPECT_EQ(doc_->NewRecording(0), 1);
  EXPECT_EQ(doc_->GetPatientData().surname, "Meier");
}

TEST_F(NewRecordingProcedureTest, CancelAnywhereLeavesTheDocumentEmpty) {
  struct Case {
    const char* name;
    std::vector<Action> answers;
    std::vector<std::string> want_shown;
  };
  const Case cases[] = {
      {"sheet", {Press(win::kIdCancel)}, {"sheet"}},
      {"length", {Press(win::kIdOk), Press(win::kIdCancel)}, {"sheet", "328"}},
      {"prompt", {Press(win::kIdOk), Choose(1), Press(win::kIdCancel)}, {"sheet", "328", "30752"}},
  };
  recsim::PtyRecorder sim(Sim(4));
  recorder::Environment().probe_names = {sim.DevicePath()};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown_.clear();
    Answer(c.answers);
    EXPECT_EQ(doc_->NewRecording(0), 1);
    EXPECT_EQ(shown_, c.want_shown);
    ExpectEmptyDocument();
  }
}

TEST_F(NewRecordingProcedureTest, NoRecorderFoundReturnsZeroWithoutDialogs) {
  doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceCard);
  Answer({});
  EXPECT_EQ(doc_->NewRecording(0), 0);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(search_ui_.Log().back(), "status closed");
  ExpectEmptyDocument();
}

TEST_F(NewRecordingProcedureTest, GoldenDisplayListsOfThePromptsAndTheLengthDialog) {
  struct Case {
    const char* name;
    int template_id;
  };
  const Case cases[] = {
      {"prompt_zk130", TRecordingPromptDlg::kZK130TemplateId},
      {"prompt_zk133", TRecordingPromptDlg::kZK133TemplateId},
      {"prompt_zk131", TRecordingPromptDlg::kZK131TemplateId},
      {"prompt_zk131_units", TRecordingPromptDlg::kZK131UnitsTemplateId},
      {"recording_length", TRecordingLengthDlg::kTemplateId},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<win::Dialog> dialog;
    if (c.template_id == TRecordingLengthDlg::kTemplateId)
      dialog = std::make_unique<TRecordingLengthDlg>(&main_);
    else
      dialog = std::make_unique<TRecordingPromptDlg>(c.template_id, &main_);
    DriveModal({[&](win::Window* modal) {
      win::Windows().RunPending();
      testsupport::ExpectScreenGolden("recorder", c.name, testsupport::RecordedScreen(*modal));
      win::Windows().PressKey(win::kVkEscape);
    }});
    EXPECT_EQ(dialog->DoModal(), win::kIdCancel);
  }
}

TEST_F(NewRecordingProcedureTest, LengthChoiceGivesWholeDays) {
  for (const int choice : {0, 1, 2}) {
    SCOPED_TRACE(choice);
    TRecordingLengthDlg dialog(&main_);
    DriveModal({Choose(choice)});
    EXPECT_EQ(dialog.DoModal(), win::kIdOk);
    EXPECT_EQ(dialog.RecordingHours(), (choice + 1) * 24);
  }
}

class NewRecordingAutomationTest : public NewRecordingProcedureTest {
 protected:
  void Start(std::vector<std::string> args) {
    AutomationInfo().ParseCommandLine(args);
    ASSERT_TRUE(AutomationInfo().IsCommandComplete());
    AutomationInfo().SetQuitMode(1);
  }
};

TEST_F(NewRecordingAutomationTest, ZK131WordWithAZK130EndsWithCode10) {
  recsim::PtyRecorder sim(Sim(2));
  recorder::Environment().probe_names = {sim.DevicePath()};
  Start({"/NewZK131USBRecording", "Anna", "Meier", "42", "1.2.1960", "1", "170", "65", "1"});
  Answer({});

  EXPECT_EQ(doc_->NewRecording(0), 1);

  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(search_ui_.Log()[1], "retry: " + platform::LoadString(33270));
  EXPECT_EQ(AutomationInfo().GetExitCode(), kExitNoRecordingRead);
  EXPECT_EQ(AutomationInfo().GetEndRequest(), kExitNoRecordingRead);
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  // The parameters are the document's patient at once, whatever the search finds.
  EXPECT_EQ(doc_->GetPatientData().first_name, "Anna");
  EXPECT_EQ(doc_->GetPatientData().surname, "Meier");
  EXPECT_EQ(doc_->GetPatientData().pacemaker, 1);
  EXPECT_EQ(doc_->GetRecordingData().pacemaker_recording, 1);
  EXPECT_EQ(recorder::GetRequestedRecorder(), recorder::kRequestAny);
}

TEST_F(NewRecordingAutomationTest, NumbersThePatientCannotHoldEndWithABadCommandLine) {
  recsim::PtyRecorder sim(Sim(4));
  recorder::Environment().probe_names = {sim.DevicePath()};
  Start({"/NewZK131USBRecording", "Anna", "Meier", "42", "1.2.1960", "99999999999", "170", "65", "0"});
  Answer({});

  EXPECT_EQ(doc_->NewRecording(0), 1);

  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(search_ui_.Log().empty());
  EXPECT_EQ(AutomationInfo().GetExitCode(), kExitCommandLineInvalid);
  ExpectEmptyDocument();
}

TEST_F(NewRecordingAutomationTest, ZK131WordWithAZK131ProgramsWithTheChosenLength) {
  recsim::PtyRecorder sim(Sim(4));
  recorder::Environment().probe_names = {sim.DevicePath()};
  Start({"/NewZK131USBRecording", "Anna", "Meier", "42", "1.2.1960", "2", "170", "65", "0"});
  Answer({Choose(1), Press(win::kIdOk)});

  EXPECT_EQ(doc_->NewRecording(0), 1);

  EXPECT_EQ(shown_, (std::vector<std::string>{"328", "30752"}));
  EXPECT_FALSE(AutomationInfo().IsExitCodeSet());
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kOnlineEcg);
  EXPECT_EQ(doc_->GetRecordingData().programmed_length, 48);
  EXPECT_EQ(doc_->GetPatientData().sex, 2);
  EXPECT_DOUBLE_EQ(doc_->GetPatientData().height, 170.0);
}

}  // namespace
