#include "recorder/service/recorder_test_dlg.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/cp1252.h"
#include "recorder/recorder_clock.h"
#include "recorder/service/service_dialog_ui.h"
#include "recorder/service/service_test_data.h"

namespace {

using P = TRecorderProtocol;

constexpr std::array<int, 4> kButtons = {TRecorderTestDlg::kGetPatientId, TRecorderTestDlg::kSetPatient1Id,
                                         TRecorderTestDlg::kSetPatient2Id, TRecorderTestDlg::kResetId};
constexpr std::array<const char*, 4> kCaptions = {"Get Patient Data", "Set Patient Data 1",
                                                  "Set Patient Data 2", "Reset"};

// A field of the record after the marker, without its trailing blanks.
std::string Field(std::span<const uint8_t> stream, size_t at, size_t length) {
  std::string text;
  for (size_t i = at; i < at + length && i < stream.size(); ++i) text.push_back(static_cast<char>(stream[i]));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

// The recorder's number text; what reads as no finite number counts as 0.
double Number(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

}  // namespace

TRecorderTestDlg::TRecorderTestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui,
                                   const platform::Locale& locale, win::Window* parent)
    : TServiceTestDlg(kTemplateId, kLogId, kConfirmId, kClearLogId, document, ui, locale, parent) {
  for (size_t op = 0; op < kButtons.size(); ++op)
    AddCommand(kButtons[op], [this, op] { RunOperation(static_cast<int>(op)); });
}

void TRecorderTestDlg::RunOperation(int operation) {
  if (operation < 0 || operation >= static_cast<int>(kButtons.size())) return;
  const std::string caption = kCaptions[static_cast<size_t>(operation)];
  BeginOperation(kButtons[static_cast<size_t>(operation)], caption);
  if (!session_.Connect(document_, false)) {
    EndOperation(caption);
    return;
  }
  bool given_up = false;
  for (;;) {
    session_.ResetLink();
    session_.SendText("Reset\r", "RESET", false);
    recorder::Clock().SleepMs(1000);
    bool ok = session_.SendText("Reset\r", "RESET", Confirm());
    recorder::Clock().SleepMs(1000);
    if (ok) ok = OperationSteps(operation);
    if (ok) break;
    win::Windows().MessageBeep();
    win::Windows().EndWaitCursor();
    const bool retry = ui_.AskRetryAfterCommError();
    win::Windows().BeginWaitCursor();
    if (!retry) {
      given_up = true;
      break;
    }
  }
  session_.Close();
  if (given_up) Log().AddLine("Cancelled after error");
  EndOperation(caption);
}

bool TRecorderTestDlg::OperationSteps(int operation) {
  switch (operation) {
    case 0:
      return ReadPatientRecord();
    case 1:
    case 2:
      return ProgramTestPatient(operation);
    default:
      return true;
  }
}

bool TRecorderTestDlg::ReadPatientRecord() {
  if (!session_.SendText("REV\r", "REVIEW", Confirm())) return false;
  recorder::Clock().SleepMs(250);
  session_.SendText("\x15", "NAK", false);
  const std::vector<uint8_t> stream = session_.Collect(kReviewReadBytes, 2000);
  session_.LogDump(recorder::ServiceCountCaption("ReadRecordblock IN:", stream.size()), stream);
  // The recorder still streams: its echoes would drown in the data, so nothing is compared.
  session_.SendText("Reset\r", "RESET", false);
  recorder::Clock().SleepMs(300);
  session_.SendText("Reset\r", "RESET", false);
  if (stream.size() < kReviewReadBytes) return false;
  const std::optional<size_t> marker = P::FindReviewMarker(stream);
  if (!marker) return false;
  std::string type = Field(stream, *marker + 6, 16);
  if (type.size() > 6) type.resize(6);
  if (type != "ZK-130" && type != "ZK-133") return false;
  LogReviewRecord(stream, *marker);
  return true;
}

void TRecorderTestDlg::LogReviewRecord(std::span<const uint8_t> stream, size_t m) {
  const platform::LocalDateTime now = document_.GetClock().Now();
  const double today = document::OleDateOnly(now).days;
  const auto text = [&](size_t offset, size_t length) {
    return platform::Cp1252ToUtf8(Field(stream, m + offset, length));
  };
  const auto date = [&](size_t offset, double if_zero) {
    double days = Number(Field(stream, m + offset, 10));
    if (days == 0) days = if_zero;
    return recorder::ServiceDateText({0, days}, locale_);
  };
  const auto yes_no = [&](size_t offset) {
    return m + offset < stream.size() && stream[m + offset] == 'N' ? "no" : "yes";
  };
  char number[64];
  CLogEdit& log = Log();
  log.AddLine("LastName: " + text(22, 20));
  log.AddLine("FirstName: " + text(42, 20));
  log.AddLine("Patient ID: " + text(62, 20));
  log.AddLine("DOB: " + date(82, today));
  // Five characters always fit a long.
  const long sex = std::strtol(Field(stream, m + 92, 5).c_str(), nullptr, 10);
  log.AddLine(sex == 1 ? "Sex: female" : sex == 2 ? "Sex: male" : "Sex: none");
  std::snprintf(number, sizeof number, "Height: %f", Number(Field(stream, m + 97, 10)));
  log.AddLine(number);
  std::snprintf(number, sizeof number, "Weight: %f", Number(Field(stream, m + 107, 10)));
  log.AddLine(number);
  log.AddLine(std::string("Pacemaker: ") + yes_no(117));
  log.AddLine("Recording Date: " + date(122, today - 1));
  double time = Number(Field(stream, m + 132, 20));
  if (time == 0) time = document::OleTimeOnly(now).days;
  log.AddLine("Recording Time: " + recorder::ServiceTimeText({0, time}, locale_));
  log.AddLine(std::string("Pacemaker Detection : ") + yes_no(152));
  log.AddLine("Recording Morning: " + recorder::ServiceTimeText({0, 7.0 / 24}, locale_));
  log.AddLine("Recording Evening: " + recorder::ServiceTimeText({0, 22.0 / 24}, locale_));
}

bool TRecorderTestDlg::ProgramTestPatient(int patient) {
  recorder::Clock().SleepMs(300);
  if (!session_.SendText(patient == 1 ? "PMOn\r" : "PMOff\r", "PACEMAKER", Confirm())) return false;
  recorder::Clock().SleepMs(200);
  if (!session_.SendText("PDat\r", "PATIENTDATA", Confirm())) return false;
  recorder::Clock().SleepMs(500);
  const std::vector<uint8_t> record =
      P::EncodePatientRecord(recorder::ServiceTestRecord(patient, document_.GetClock()));
  TRecorderCommand command;
  command.text = record;
  if (!session_.Send(command, "PatDataCmdStr", Confirm())) return false;
  recorder::Clock().SleepMs(500);
  if (!session_.SendText("REC\r", "RECORD", Confirm())) return false;
  Log().AddLine("Recorder started !!!");
  return true;
}
