// The view's GDT commands over the real link: the files in the exchange folder, and the findings
// as the findings dialog wraps them.
#include "core/gdt_link_service.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/view_services.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/comm_error_dlg.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/cp1252.h"
#include "platform/ids.h"
#include "support/test_recordings.h"
#include "win/command_target.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Field(const std::string& id, const std::string& content) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%03zu", content.size() + 9);
  return prefix + id + content + "\r\n";
}

// The contents of the record's fields of this id, in UTF-8.
std::vector<std::string> Contents(const std::string& bytes, const std::string& id) {
  std::vector<std::string> contents;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = bytes.find("\r\n", start);
    const std::string line = bytes.substr(start, end - start);
    if (line.substr(3, 4) == id) contents.push_back(platform::Cp1252ToUtf8(line.substr(7)));
    start = end + 2;
  }
  return contents;
}

class GdtLinkTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    ViewServices services;
    services.gdt_link = MakeGdtLink;
    InstallViewServices(std::move(services));
    exchange_ = Folder("gdt");
    Doc().SetGDTDirectory(exchange_.string());
    Doc().GetSettings().SetInt(SettingKey::kGDTOn, 1);
  }
  fs::path exchange_;
};

TEST_F(GdtLinkTest, TakingThePatientWritesTheRequestAndStartsARecordingFromTheAnswer) {
  std::ofstream(exchange_ / "ZK4EDV.001", std::ios::binary)
      << Field("8000", "6301") + Field("8100", "00000") + Field("9218", "01.00") + Field("3000", "555") +
             Field("3101", "M\xFCller") + Field("3102", "Anna");
  prompt_.QueueAnswer(win::kIdYes);
  // The new recording looks for a recorder; there is none here.
  int recorder_searches = 0;
  on_idle_ = [&](win::Window* modal) {
    if (dynamic_cast<TCommErrorDlg*>(modal) == nullptr) return false;
    ++recorder_searches;
    modal->SendMessage(win::kWmCommand, win::kIdCancel);
    return true;
  };
  ASSERT_TRUE(Enabled(cmd::kGDTTakePatient));
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kGDTTakePatient));
  EXPECT_EQ(Contents(ReadBytes(exchange_ / "EDVZK4.000"), "8000"), std::vector<std::string>{"6300"});
  EXPECT_FALSE(fs::exists(exchange_ / "ZK4EDV.001"));
  EXPECT_EQ(Doc().GetPatientData().patient_id, "555");
  EXPECT_EQ(Doc().GetPatientData().surname, "Müller");
  EXPECT_EQ(Doc().GetPatientData().first_name, "Anna");
  EXPECT_EQ(recorder_searches, 1);

  // Nothing came back the second time: the request stays for the practice software.
  prompt_.ClearLog();
  prompt_.QueueAnswer(win::kIdYes);
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kGDTTakePatient));
  EXPECT_TRUE(fs::exists(exchange_ / "EDVZK4.001"));
  ASSERT_EQ(prompt_.Log().size(), 2u);
  EXPECT_EQ(prompt_.Log()[1].text, "No patient data came from the practice software.");
}

TEST_F(GdtLinkTest, TheResultCarriesTheDiagnosisInTheFindingsDialogsLines) {
  const fs::path qrs = MakeAnalysedRecording(Folder("recording") / "00001", 10, 2);
  ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
  Doc().SetGDTDirectory(exchange_.string());
  Doc().GetSettings().SetInt(SettingKey::kGDTOn, 1);
  const std::string first =
      "Sinusrhythmus mit einzelnen ventrikulären Extrasystolen, keine Pausen, keine höhergradigen "
      "Rhythmusstörungen; Herzfrequenzverlauf im Tagesgang unauffällig, Frequenzvariabilität altersgerecht.";
  Doc().GetRecordingData().diagnosis = first + "\r\n'\r\nKontrolle in einem Jahr.";

  const std::optional<std::vector<std::string>> lines = FindingsDiagnosisLines(Doc());
  ASSERT_TRUE(lines.has_value());
  ASSERT_GE(lines->size(), 4u) << "the first paragraph is wider than the field";
  // Words are wrapped, nothing is lost, and a hard break starts a line.
  std::string joined;
  for (size_t i = 0; i + 2 < lines->size(); ++i) joined += (*lines)[i];
  EXPECT_EQ(joined, first);
  EXPECT_EQ(lines->back(), "Kontrolle in einem Jahr.");

  ASSERT_TRUE(Enabled(cmd::kGDTSendResult));
  EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kGDTSendResult));
  // The apostrophe line is an empty display line, and empty lines are not sent.
  EXPECT_EQ((*lines)[lines->size() - 2], "");
  std::vector<std::string> sent;
  for (const std::string& line : *lines) {
    if (!line.empty()) sent.push_back(line);
  }
  EXPECT_EQ(Contents(ReadBytes(exchange_ / "EDVZK4.000"), "6220"), sent);
  EXPECT_TRUE(prompt_.Log().empty());
}

}  // namespace
}  // namespace coretest
