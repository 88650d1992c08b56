#include "core/mail_program.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/view_services.h"
#include "core/zk470_view.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "reports/export_resources.h"
#include "reports/report_pdf_export.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr const char* kPdfFailed = "Internal PDF Library Error!";
// xdg-email: 3 a required tool is missing, 4 the action failed (no mail program configured).
constexpr int kExitToolMissing = 3;
constexpr int kExitActionFailed = 4;

std::string Format(const std::string& format, const std::string& a, const std::string& b = {}) {
  const int n = std::snprintf(nullptr, 0, format.c_str(), a.c_str(), b.c_str());
  std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format.c_str(), a.c_str(), b.c_str());
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string LastThree(const std::string& text) {
  return text.size() < 3 ? text : text.substr(text.size() - 3);
}

std::string WithoutLastThree(const std::string& text) {
  return text.substr(0, text.size() - std::min<size_t>(3, text.size()));
}

// The sample file's extension by the kind of the document's sample store.
std::string SampleExtension(const CZK470Doc& doc) {
  const TRawECGData* samples = doc.GetRawECGData();
  if (samples == nullptr) return {};
  switch (samples->GetReaderKind()) {
    case TRawECGData::kReaderCmp:
      return "CMP";
    case TRawECGData::kReaderDat:
      return "DAT";
    case TRawECGData::kReaderTap:
      return "TAP";
    case TRawECGData::kReaderRx3:
      return "RX3";
    case TRawECGData::kReaderKzc:
      return "KZC";
    case TRawECGData::kReaderKhi:
      return "KHI";
    case TRawECGData::kReaderRefSignal:
      return LastThree(samples->GetFileName());
    default:
      return {};
  }
}

std::string Subject(const std::string& first_name) {
  return platform::LoadString(kIdsReportPdfSubject) + " (" + first_name + ")";
}

void Send(MailProgram& program, const MailMessage& message) {
  win::Windows().BeginWaitCursor();
  const MailResult result = program.Send(message);
  win::Windows().EndWaitCursor();
  if (result.outcome == MailOutcome::kHandedOver) return;
  std::string files;
  for (const std::string& path : message.attachments) files += path + "\n";
  const std::string text = result.outcome == MailOutcome::kNoMailProgram
                               ? Format(platform::LoadString(kIdsNoMailProgram), files)
                               : Format(platform::LoadString(kIdsMailFailed), result.detail, files);
  win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
}

// Makes the report PDF beside the recording as the report export does, without opening it; false
// when the user cancelled or the conversion failed (said already).
bool MakeReportPdf(CZK470Doc& doc) {
  CZK470View* view = GetActiveZK470View();
  if (view == nullptr) return false;
  if (view->DoPrintOptions(cmd::kPrintWholeReport) != 0) return false;
  view->PrepareDocumentForReportPdf();
  if (view->CreateReportPdf()) return true;
  win::CurrentPrompt().MessageBox(kPdfFailed, win::Windows().AppTitle(),
                                  win::kMbOk | win::kMbIconExclamation);
  return false;
}

}  // namespace

MailResult XdgEmailProgram::Send(const MailMessage& message) {
  std::vector<std::string> argv = {"xdg-email", "--subject", message.subject};
  for (const std::string& path : message.attachments) {
    argv.push_back("--attach");
    argv.push_back(path);
  }
  platform::ProcessOptions options;
  options.timeout_ms = kTimeoutMs;
  const platform::ProcessResult run = platform::RunProcess(argv, options);
  if (run.Succeeded()) return {MailOutcome::kHandedOver, {}};
  if (run.started && !run.timed_out && run.signal == 0 &&
      (run.exit_code == kExitToolMissing || run.exit_code == kExitActionFailed)) {
    return {MailOutcome::kNoMailProgram, {}};
  }
  std::string why = run.error;
  if (why.empty()) why = run.timed_out ? "no answer" : "exit code " + std::to_string(run.exit_code);
  return {MailOutcome::kFailed, why};
}

void SendReportPdfByMail(CZK470Doc& doc, MailProgram& program) {
  doc.EnsureAnalysisUpToDate();
  const std::string extension = Upper(LastThree(doc.GetPathName()));
  if (extension == "QRS") {
    if (!MakeReportPdf(doc)) return;
  } else if (extension != "PDF") {
    return;
  }
  if (doc.IsModified()) (void)doc.DoFileSave();
  MailMessage message;
  message.attachments.push_back(WithoutLastThree(doc.GetPathName()) + "PDF");
  message.subject = Subject(WithoutLastThree(doc.GetTitle()) + "PDF");
  Send(program, message);
}

void SendRecordingByMail(CZK470Doc& doc, MailProgram& program) {
  // The mail goes with the recording as it stands: pending edits are saved first.
  if (doc.IsModified()) (void)doc.DoFileSave();
  const std::string path = doc.GetPathName();
  doc.CloseRecordingFile(0);
  MailMessage message;
  message.attachments.push_back(path);
  message.attachments.push_back(WithoutLastThree(path) + SampleExtension(doc));
  message.subject = Subject(doc.GetTitle());
  Send(program, message);
  (void)doc.OpenRecordingFile(path);
}

void AddMailServices(ViewServices& services) {
  services.send_report_pdf = [](CZK470Doc& doc) {
    XdgEmailProgram program;
    SendReportPdfByMail(doc, program);
  };
  services.send_recording = [](CZK470Doc& doc) {
    XdgEmailProgram program;
    SendRecordingByMail(doc, program);
  };
}
