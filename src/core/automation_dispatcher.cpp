#include "core/automation_dispatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <system_error>

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/core_ids.h"
#include "core/main_frame.h"
#include "core/unattended_prompt.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/small_dlgs.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_files.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/cp1252.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "win/prompt.h"

namespace fs = std::filesystem;

namespace {

int g_recorder_link_selector = 0;

// Paths of 9 characters or fewer cannot name a recording of the form "NNNNN.QRS" in a folder.
constexpr size_t kShortestPath = 9;

constexpr std::string_view kFileFilter = "QRS Files (*.QRS)|*.QRS||";

// Windows wildcards: "*" any run, "?" one character; letters compare without case.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string_view::npos;
  size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || platform::FileNameEqualNoCase(pattern.substr(p, 1), name.substr(n, 1)))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Whether a failed removal was refused for want of rights (the recording is protected or held).
bool IsAccessDenied(const std::error_code& ec) {
  return ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
         ec == std::errc::read_only_file_system;
}

enum class DeleteOutcome { kDeleted, kMissing, kAccessDenied, kFailed };

// The code a command ends with when an error escapes it.
int FailureCode(const CAutomationCommandLineInfo& info) {
  if (info.IsOpenRecording()) return kExitOpenFailed;
  if (info.IsUpdateRecording()) return kExitUpdateOpenFailed;
  if (info.IsDeleteRecording()) return kExitDeleteAccessDenied;
  if (info.IsNewRecording() || info.IsNewZK130OPTRecording() || info.IsNewZK130USBRecording() ||
      info.IsNewZK131USBRecording())
    return kExitNoRecordingRead;
  // The read-outs, Export and AnalyzeRecording: the action did not complete.
  return kExitActionCancelled;
}

// The first max_chars characters of text as the recording stores it (cp1252, one byte a
// character, '?' for what it cannot hold), so that a cut never splits a character and an unchanged
// name compares equal to the stored one.
std::string CutAsStored(const std::string& text, size_t max_chars) {
  std::string stored = platform::Utf8ToCp1252(text);
  if (stored.size() > max_chars) stored.resize(max_chars);
  return platform::Cp1252ToUtf8(stored);
}

DeleteOutcome DeleteFile(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(file, ec))) return DeleteOutcome::kMissing;
  if (fs::remove(file, ec)) return DeleteOutcome::kDeleted;
  return IsAccessDenied(ec) ? DeleteOutcome::kAccessDenied : DeleteOutcome::kFailed;
}

}  // namespace

int GetRecorderLinkSelector() { return g_recorder_link_selector; }
void SetRecorderLinkSelector(int selector) { g_recorder_link_selector = selector; }

// --- Helpers ---------------------------------------------------------------------------------------------

std::vector<fs::path> AutomationDispatcher::FindFiveCharacterFiles(const fs::path& folder, std::string_view extension) {
  const fs::path searched = folder.empty() ? fs::path(".") : folder;
  std::vector<fs::path> found;
  for (const std::string& name : MatchPattern(folder, "?????." + std::string(extension))) found.push_back(searched / name);
  return found;
}

fs::path AutomationDispatcher::FolderOf(const std::string& path_parameter) {
  const fs::path path(path_parameter);
  fs::path folder = path.has_filename() ? path.parent_path() : path;
  if (folder.empty()) folder = ".";
  return folder;
}

std::vector<std::string> AutomationDispatcher::MatchPattern(const fs::path& folder, std::string_view pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    if (WildcardMatch(pattern, name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void AutomationDispatcher::End(int exit_code) {
  CAutomationCommandLineInfo& info = AutomationInfo();
  info.SetExitCode(exit_code);
  info.EndAutomation();
}

std::optional<std::string> AutomationDispatcher::AskForRecording() {
  win::Prompt& prompt = win::CurrentPrompt();
  const std::string question = platform::LoadString(core_ids::kIdsNoRecordingFound);
  if (prompt.MessageBox(question, win::Windows().AppTitle(), win::kMbYesNo | win::kMbIconQuestion) != win::kIdYes)
    return std::nullopt;
  win::FileDialogRequest request;
  request.open = true;
  request.filter = std::string(kFileFilter);
  request.default_extension = "QRS";
  std::optional<std::string> chosen = prompt.ChooseFile(request);
  // The file must exist: a name typed into the chooser that names nothing counts as cancelled.
  if (chosen && !fs::is_regular_file(*chosen)) return std::nullopt;
  if (chosen) *chosen = fs::absolute(*chosen).lexically_normal().string();
  return chosen;
}

void AutomationDispatcher::WriteResultForDocument(const std::string& result_file) {
  CAutomationCommandLineInfo& info = AutomationInfo();
  CZK470Doc* doc = app_.GetDocument();
  info.SetResultFileName(result_file);
  if (doc != nullptr) {
    info.AddResultLine(doc->GetRecordingSummary(doc->GetPathName()), false);
    info.SetAutomationFileName(doc->GetPathName());
  }
  (void)info.WriteResultFile();
}

// --- The start-up command --------------------------------------------------------------------------------

void AutomationDispatcher::OnStartupCommand() {
  CAutomationCommandLineInfo& info = AutomationInfo();
  if (info.IsFirstInstance() == 0) {
    info.SetQuitMode(1);
    End(kExitOtherInstanceRunning);
    return;
  }
  if (!info.IsParseValid()) {
    info.SetQuitMode(1);
    End(kExitCommandLineInvalid);
    return;
  }
  if (!info.IsCommandComplete()) return;
  info.SetQuitMode(1);
  // A calling program waits for the exit code: an error that escapes a command (a hostile file,
  // memory running out) ends the run with the command's failure code, never in the event loop.
  try {
    RunCommand(info);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zk470: automation command failed: %s\n", error.what());
    End(FailureCode(info));
  } catch (...) {
    std::fprintf(stderr, "zk470: automation command failed\n");
    End(FailureCode(info));
  }
}

void AutomationDispatcher::RunCommand(const CAutomationCommandLineInfo& info) {
  if (info.IsNewRecording()) {
    RunNewRecording(0);
  } else if (info.IsNewZK130OPTRecording()) {
    RunNewRecording(1);
  } else if (info.IsNewZK130USBRecording()) {
    RunNewRecording(3);
  } else if (info.IsNewZK131USBRecording()) {
    RunNewRecording(4);
  } else if (info.IsOpenRecording()) {
    RunOpenRecording();
  } else if (info.IsReqZK130Recording()) {
    RunReadOut(0, false);
  } else if (info.IsReqZK130OPTRecording()) {
    RunReadOut(1, false);
  } else if (info.IsReqZK130USBRecording()) {
    RunReadOut(3, false);
  } else if (info.IsReqZK131USBRecording()) {
    RunReadOut(4, false);
  } else if (info.IsReqSDCARDRecording()) {
    RunReadOut(0, true);
  } else if (info.IsUpdateRecording()) {
    RunUpdateRecording();
  } else if (info.IsExport()) {
    RunExport();
  } else if (info.IsDeleteRecording()) {
    RunDeleteRecording();
  } else if (info.IsAnalyzeRecording()) {
    RunAnalyzeRecording();
  }
}

void AutomationDispatcher::RunNewRecording(int link_selector) {
  // The new-recording operation of the document takes over: it reads the recorder through the
  // selected link and records exit code 10 and ends the run when no recording came.
  SetRecorderLinkSelector(link_selector);
  app_.OnFileNew();
  SetRecorderLinkSelector(0);
}

void AutomationDispatcher::RunOpenRecording() {
  CAutomationCommandLineInfo& info = AutomationInfo();
  // The length rule looks at the parameter as passed; the search uses it resolved.
  if (info.GetParameter(0).size() <= kShortestPath) {
    End(kExitPathTooShort);
    return;
  }
  const std::string path = info.GetPathParameter(0);
  const std::string result_file = info.GetPathParameter(1);
  const fs::path folder = FolderOf(path);
  const std::vector<fs::path> recordings = FindFiveCharacterFiles(folder, "QRS");
  const std::vector<fs::path> pdfs = FindFiveCharacterFiles(folder, "PDF");
  std::optional<std::string> recording;
  std::optional<std::string> pdf;
  if (!recordings.empty() && !pdfs.empty()) {
    // Nobody is there to choose on an unattended run: the recording opens, as on Cancel.
    TDeleteConfirmDlg choice(app_.GetMainFrame());
    if (!PromptIsUnattended() && choice.DoModal() == TDeleteConfirmDlg::kDeleteId) {
      pdf = pdfs.front().string();
    } else {
      recording = recordings.front().string();
    }
  } else if (!recordings.empty()) {
    recording = recordings.front().string();
  } else if (!pdfs.empty()) {
    pdf = pdfs.front().string();
  } else {
    recording = AskForRecording();
    if (!recording) {
      End(kExitOpenNoRecording);
      return;
    }
  }
  if (recording) {
    if (!app_.OpenDocumentFile(*recording)) {
      End(kExitOpenFailed);
      return;
    }
    WriteResultForDocument(result_file);
    // The program stays open for the user; without one nobody could ever close it.
    if (PromptIsUnattended()) End(kExitDone);
    return;
  }
  if (!app_.OpenDocumentFile(*pdf)) {
    End(kExitOpenFailed);
    return;
  }
  CZK470Doc* doc = app_.GetDocument();
  const std::string shown = doc != nullptr ? doc->GetPathName() : *pdf;
  info.SetResultFileName(result_file);
  info.AddResultLine(shown, false);
  info.SetAutomationFileName(shown);
  (void)info.WriteResultFile();
  if (PromptIsUnattended()) End(kExitDone);
}

void AutomationDispatcher::RunReadOut(int link_selector, bool sd_card) {
  CAutomationCommandLineInfo& info = AutomationInfo();
  CZK470View* view = GetActiveZK470View();
  if (view != nullptr) {
    if (sd_card) {
      view->ImportRawFile();
    } else {
      SetRecorderLinkSelector(link_selector);
      view->ReadRecorder();
      SetRecorderLinkSelector(0);
    }
  }
  if (view != nullptr && app_.GetDocument() != nullptr) WriteResultForDocument(info.GetPathParameter(0));
  // The read-out has recorded its code (0 done, 20 not done, 10 or 11 from the read-out dialog).
  info.EndAutomation();
}

void AutomationDispatcher::RunUpdateRecording() {
  CAutomationCommandLineInfo& info = AutomationInfo();
  if (info.GetParameter(0).size() <= kShortestPath) {
    End(kExitPathTooShort);
    return;
  }
  // Numbers the patient record cannot hold make the command line bad; the recording stays as it is.
  const std::optional<int> sex = CAutomationCommandLineInfo::ParseIntParameter(info.GetParameter(5));
  const std::optional<double> height = CAutomationCommandLineInfo::ParseNumberParameter(info.GetParameter(6));
  const std::optional<double> weight = CAutomationCommandLineInfo::ParseNumberParameter(info.GetParameter(7));
  const std::optional<int> pacemaker = CAutomationCommandLineInfo::ParseIntParameter(info.GetParameter(8));
  if (!sex || !height || !weight || !pacemaker) {
    End(kExitCommandLineInvalid);
    return;
  }
  const std::string path = info.GetPathParameter(0);
  std::string to_open = path;
  if (FindFiveCharacterFiles(FolderOf(path), "QRS").empty()) {
    const std::optional<std::string> chosen = AskForRecording();
    if (!chosen) {
      End(kExitUpdateNoRecording);
      return;
    }
    // The chosen recording is updated as a found one would be.
    to_open = *chosen;
  }
  if (!app_.OpenDocumentFile(to_open)) {
    End(kExitUpdateOpenFailed);
    return;
  }
  CZK470Doc* doc = app_.GetDocument();
  TPatientData& patient = doc->GetPatientData();
  const std::string old_surname = patient.surname;
  const std::string old_first_name = patient.first_name;
  patient.first_name = CutAsStored(info.GetParameter(1), 20);
  patient.surname = CutAsStored(info.GetParameter(2), 30);
  patient.patient_id = CutAsStored(info.GetParameter(3), 20);
  const platform::LocalDateTime birth =
      CAutomationCommandLineInfo::ParseDate(CutAsStored(info.GetParameter(4), 20), doc->GetClock());
  patient.birth_date = document::ToOleDateTime(birth);
  patient.sex = *sex;
  patient.height = *height;
  patient.weight = *weight;
  patient.pacemaker = *pacemaker == 1 ? 1 : 0;
  doc->SetModifiedFlag(true);
  const bool renamed = patient.surname != old_surname || patient.first_name != old_first_name;
  const bool saved = renamed ? doc->RenameRecordingByPatient() : doc->DoFileSave();
  WriteResultForDocument(info.GetPathParameter(9));
  // A calling program must not take an update that never reached the disk for done.
  if (!saved) info.SetExitCode(kExitUpdateOpenFailed);
  info.EndAutomation();
  doc->CloseRecordingFile(0);
}

void AutomationDispatcher::RunExport() {
  CAutomationCommandLineInfo& info = AutomationInfo();
  CZK470Doc* doc = app_.GetDocument();
  const fs::path pattern(info.GetParameter(0));
  const fs::path folder = pattern.has_parent_path() ? pattern.parent_path() : fs::path();
  const std::vector<std::string> names = MatchPattern(folder, pattern.filename().string());
  for (const std::string& name : names) {
    const fs::path file = folder.empty() ? fs::path(name) : folder / name;
    try {
      const std::vector<uint8_t> bytes = platform::ReadFileBytes(file, CZK470Doc::kMaxRecordingFileBytes);
      platform::ArchiveReader ar(bytes, name);
      TPatientData patient(doc->GetClock());
      patient.Load(ar);
      doc->ResetContents();
      doc->GetPatientData() = std::move(patient);
      // Relative patterns name files of the data directory, which is the current directory.
      const std::string shown = folder.empty() ? CZK470Doc::JoinPath(doc->GetDataDirectory(), name) : file.string();
      info.AddResultLine(doc->GetRecordingSummary(shown), false);
      info.SetAutomationFileName(name);
    } catch (const platform::IoError& error) {
      // A file that is not a recording gets no line; the others are read as usual.
      std::fprintf(stderr, "zk470: Export: %s\n", error.what());
    }
  }
  doc->ResetContents();
  info.SetResultFileName(info.GetPathParameter(1));
  (void)info.WriteResultFile();
  info.EndAutomation();
}

void AutomationDispatcher::RunDeleteRecording() {
  CAutomationCommandLineInfo& info = AutomationInfo();
  if (info.GetParameter(0).size() <= kShortestPath) {
    End(kExitPathTooShort);
    return;
  }
  const std::string path = info.GetPathParameter(0);
  std::string qrs;
  const std::vector<fs::path> found = FindFiveCharacterFiles(FolderOf(path), "QRS");
  if (!found.empty()) {
    // The recording of the given folder, not a file of that name in the current directory.
    qrs = found.front().string();
  } else {
    const std::optional<std::string> chosen = AskForRecording();
    // The chooser takes any typed name: only a ".QRS" may lead to deletions, or the chosen file
    // and its siblings with the last three characters replaced would go.
    if (!chosen || document::LastThreeUpper(*chosen) != "QRS") {
      End(kExitUpdateNoRecording);
      return;
    }
    qrs = *chosen;
  }
  const std::optional<std::string> data_file = CZK470Doc::FindDataFile(qrs);
  const std::string sample_file = data_file.value_or(document::ReplaceLastThree(qrs, "CMP"));

  bool access_denied = false;
  // Another program instance that has the recording open holds its lock: the recording is in use
  // and stays whole, as a file held open could not be deleted.
  platform::FileLock probe;
  if (probe.Lock(qrs) == platform::FileLock::Status::kInUse) {
    access_denied = true;
  } else {
    probe.Unlock();
    for (const std::string& file : {qrs, sample_file}) {
      if (DeleteFile(file) == DeleteOutcome::kAccessDenied) access_denied = true;
    }
  }
  for (const std::string_view extension : {"BAK", "PID", "VQN"}) (void)DeleteFile(document::ReplaceLastThree(qrs, extension));
  End(access_denied ? kExitDeleteAccessDenied : kExitDone);
}

void AutomationDispatcher::RunAnalyzeRecording() {
  // No analysis is defined for this command word; the run ends at once as "did not start" so
  // that the calling program does not wait for ever.
  End(kExitActionCancelled);
}

namespace {

// A fresh process talks to the recorder through the first kind of link.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kCore, [] { SetRecorderLinkSelector(0); });

}  // namespace
