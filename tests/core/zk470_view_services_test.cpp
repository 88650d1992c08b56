// The main view's commands over the services of other subsystems (GDT, mail, archive copies) and its
// small sheets on the document's settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/view_pages.h"
#include "core/view_services.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/comm_error_dlg.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "support/scoped_env.h"
#include "win/controls.h"
#include "win/property_sheet.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

using ServicesTest = ZK470ViewTest;

// A GDT link whose answers the test sets; it notes each operation asked of it.
struct GdtScript {
  bool request_written = true;
  bool answer_read = true;
  bool examination_read = true;
  std::vector<std::string> calls;
  bool result_written = true;
};

class FakeGdtLink : public GdtLink {
 public:
  explicit FakeGdtLink(GdtScript& script) : script_(script) {}
  bool SendResult() override {
    script_.calls.push_back("send");
    return script_.result_written;
  }
  bool WriteRequest() override {
    script_.calls.push_back("request");
    return script_.request_written;
  }
  bool ReadAnswer(TPatientData& patient, TRecordingData&) override {
    script_.calls.push_back("answer");
    patient.surname = "Gerdt";
    return script_.answer_read;
  }
  bool ReadNewExamination(TPatientData& patient, TRecordingData&) override {
    script_.calls.push_back("examination");
    patient.surname = "Neu";
    return script_.examination_read;
  }

 private:
  GdtScript& script_;
};

TEST_F(ServicesTest, TakingPatientDataAsksOnceAndStartsANewRecordingOnlyFromARecordRead) {
  struct Case {
    const char* name;
    bool request_written;
    int answer;  // to the question whether to take the data
    bool answer_read;
    std::vector<std::string> calls;
    const char* surname;  // nullptr: the recording stays
    bool failure_shown;
  };
  const Case kCases[] = {
      {"taken", true, win::kIdYes, true, {"request", "answer"}, "Gerdt", false},
      {"request failed", false, win::kIdYes, true, {"request"}, nullptr, false},
      {"No", true, win::kIdNo, true, {"request"}, nullptr, false},
      {"nothing came back", true, win::kIdYes, false, {"request", "answer"}, nullptr, true},
  };
  GdtScript script;
  ViewServices services;
  services.gdt_link = [&script](CZK470Doc&) { return std::make_unique<FakeGdtLink>(script); };
  InstallViewServices(std::move(services));
  Doc().GetSettings().SetInt(SettingKey::kGDTOn, 1);
  // The new recording looks for its recorder; none answers, and the user gives up the search.
  int searches_given_up = 0;
  on_idle_ = [&](win::Window* modal) {
    auto* error = dynamic_cast<TCommErrorDlg*>(modal);
    if (error == nullptr) return false;
    ++searches_given_up;
    error->EndDialog(win::kIdCancel);
    return true;
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().GetPatientData().surname = "Alt";
    script = GdtScript{c.request_written, c.answer_read, true, {}};
    prompt_.ClearLog();
    // The question comes only after a request went out.
    if (c.request_written) prompt_.QueueAnswer(c.answer);
    ASSERT_TRUE(Enabled(cmd::kGDTTakePatient));
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kGDTTakePatient));
    EXPECT_EQ(script.calls, c.calls);
    EXPECT_EQ(Doc().GetPatientData().surname, c.surname != nullptr ? c.surname : "Alt");
    bool failure_shown = false;
    for (const auto& asked : prompt_.Log()) {
      failure_shown |= asked.text == "No patient data came from the practice software.";
    }
    EXPECT_EQ(failure_shown, c.failure_shown);
  }
  EXPECT_EQ(searches_given_up, 1) << "only the data taken start a new recording";
  // A result that could not be written is said; a written one passes without a word.
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  for (const bool written : {true, false}) {
    SCOPED_TRACE(written ? "written" : "not written");
    script = GdtScript{};
    script.result_written = written;
    prompt_.ClearLog();
    ASSERT_TRUE(Enabled(cmd::kGDTSendResult));
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kGDTSendResult));
    EXPECT_EQ(script.calls, std::vector<std::string>{"send"});
    ASSERT_EQ(prompt_.Log().size(), written ? 0u : 1u);
    if (!written)
      EXPECT_EQ(prompt_.Log()[0].text, "The result could not be written to the GDT exchange folder.");
  }
  // Without the GDT link setting neither GDT command is offered.
  Doc().GetSettings().SetInt(SettingKey::kGDTOn, 0);
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_FALSE(Enabled(cmd::kGDTTakePatient));
  EXPECT_FALSE(Enabled(cmd::kGDTSendResult));
}

TEST_F(ServicesTest, WithoutTheMailProgramSendStaysOffForTheRun) {
  ViewServices services;
  services.send_report_pdf = [](CZK470Doc&) {};
  services.send_recording = [](CZK470Doc&) {};
  InstallViewServices(std::move(services));
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  const fs::path bin = Folder("bin");
  testsupport::ScopedEnv path("PATH", bin.c_str());
  EXPECT_FALSE(Enabled(cmd::kSend));
  // The path was searched once; a program that comes later is not seen in this run.
  std::ofstream(bin / "xdg-email") << "#!/bin/sh\n";
  fs::permissions(bin / "xdg-email", fs::perms::owner_all);
  EXPECT_FALSE(Enabled(cmd::kSend));
}

TEST_F(ServicesTest, SendGoesAsReportForAPdfAndAsRecordingOtherwise) {
  const fs::path bin = Folder("bin");
  std::ofstream(bin / "xdg-email") << "#!/bin/sh\n";
  fs::permissions(bin / "xdg-email", fs::perms::owner_all);
  testsupport::ScopedEnv path("PATH", bin.c_str());
  std::vector<std::string> sent;
  ViewServices services;
  services.send_report_pdf = [&sent](CZK470Doc&) { sent.push_back("report"); };
  services.send_recording = [&sent](CZK470Doc&) { sent.push_back("recording"); };
  InstallViewServices(std::move(services));

  Doc().SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_TRUE(Enabled(cmd::kSend));
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kSend));
  Doc().SetDisplayMode(DisplayMode::kPdf);
  EXPECT_TRUE(Enabled(cmd::kSend));
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kSend));
  EXPECT_EQ(sent, (std::vector<std::string>{"recording", "report"}));
  for (const DisplayMode mode : {DisplayMode::kNone, DisplayMode::kOnlineEcg}) {
    Doc().SetDisplayMode(mode);
    EXPECT_FALSE(Enabled(cmd::kSend));
  }
}

TEST_F(ServicesTest, AnArchiveCopyThatDidNotGoThroughSaysSo) {
  std::vector<int> modes;
  int result = 0;
  ViewServices services;
  services.archive_copy = [&](CZK470Doc&, int copy_mode) {
    modes.push_back(copy_mode);
    return result;
  };
  InstallViewServices(std::move(services));
  Doc().SetDisplayMode(DisplayMode::kNone);
  EXPECT_FALSE(Enabled(cmd::kArchiveCopy));
  EXPECT_TRUE(Enabled(cmd::kArchiveCopyAll));
  prompt_.ClearLog();
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kArchiveCopyAll));
  EXPECT_TRUE(prompt_.Log().empty());
  result = -1;
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kArchiveCopy));
  EXPECT_EQ(modes, (std::vector<int>{1, 0}));
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(
      prompt_.Log()[0].text,
      "The copy to the archive did not complete: there was nothing to copy, a file could not be copied, or "
      "the copy was cancelled.");
}

TEST_F(ServicesTest, PacemakerNamesAreStoredOnOkOnly) {
  int renamed = 0;
  SpyHints(hint::kArea1100, &renamed);
  const std::string before = Doc().GetSettings().Text(SettingKey::kPM2A);
  for (const int button : {win::kIdCancel, win::kIdOk}) {
    SCOPED_TRACE(button);
    on_idle_ = [button](win::Window* modal) {
      auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
      if (sheet == nullptr || sheet->GetActivePage() == nullptr) return false;
      auto* field = sheet->GetActivePage()->Item<win::Edit>(TPMTextDlg::kTextIds[2]);
      if (field == nullptr) return false;
      field->SetWindowText("Vorhof");
      sheet->PressButton(button);
      return true;
    };
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPacemakerTexts));
    const bool ok = button == win::kIdOk;
    EXPECT_EQ(Doc().GetSettings().Text(SettingKey::kPM2A), ok ? "Vorhof" : before);
    EXPECT_EQ(renamed, ok ? 1 : 0);
  }
  EXPECT_EQ(profile_.GetString("Pacemaker", "PM2A"), "Vorhof");

  // A name of 21 characters is refused with a message; the sheet stays open until Cancel.
  prompt_.ClearLog();
  int presses = 0;
  on_idle_ = [&presses](win::Window* modal) {
    auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
    if (sheet == nullptr || sheet->GetActivePage() == nullptr) return false;
    auto* field = sheet->GetActivePage()->Item<win::Edit>(TPMTextDlg::kTextIds[2]);
    if (field == nullptr) return false;
    field->SetWindowText(std::string(21, 'x'));
    sheet->PressButton(presses++ == 0 ? win::kIdOk : win::kIdCancel);
    return true;
  };
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kPacemakerTexts));
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(Doc().GetSettings().Text(SettingKey::kPM2A), "Vorhof");
  EXPECT_EQ(renamed, 1);
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_EQ(prompt_.Log()[0].text, "Please enter no more than 20 characters.");
}

}  // namespace
}  // namespace coretest
