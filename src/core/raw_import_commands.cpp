#include "core/raw_import_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/patient_property_sheet.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/file_system.h"
#include "platform/resources.h"
#include "recorder/raw/raw_image_writer.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kIdsAskPatientData = 33247;

static_assert(recorder::kRawExitCancelled == kExitActionCancelled &&
              recorder::kRawExitUnreadable == kExitRawFileUnreadable &&
              recorder::kRawExitLayoutInvalid == kExitRawFileLayoutInvalid &&
              recorder::kRawExitNoMemory == kExitOutOfMemory &&
              recorder::kRawExitWriteFailed == kExitFileWriteFailed);

std::string FillOne(std::string_view format, std::string_view value) {
  std::string text(format);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
  return text;
}

void Say(const std::string& text) {
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(),
                                        win::kMbOk | win::kMbIconExclamation);
}

bool IsRawName(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == ".RAW";
}

// The first "*.RAW" in the order the file system lists the folder.
std::optional<std::filesystem::path> FirstRawFile(const std::string& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsRawName(it->path()) && it->is_regular_file(ec)) return it->path();
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> ChooseRawFiles(const std::string& title, const std::string& folder) {
  win::FileDialogRequest request;
  request.title = title;
  request.initial_folder = folder;
  request.filter = "RAW files (*.RAW)|*.RAW||";
  request.default_extension = "RAW";
  return win::CurrentPrompt().ChooseFiles(request);
}

bool OpenRecording(CZK470Doc& doc, const std::string& path) {
  CZK470App* app = App();
  return app != nullptr ? app->OpenDocumentFile(path) : doc.OnOpenDocument(path);
}

}  // namespace

bool ConvertRawFileAndOpen(CZK470View& view, const std::string& raw_path, std::string& result,
                           const RawImportServices& services) {
  CZK470Doc& doc = *view.GetDocument();
  recorder::RawConvertOptions options = services.convert;
  recorder::RawProgressWindow window("Reading", win::Windows().MainWindow());
  if (options.progress == nullptr) options.progress = &window;
  const recorder::RawConvertResult converted = recorder::ConvertRawFile(doc, raw_path, options);
  AutomationInfo().SetExitCode(converted.exit_code);
  if (!converted.ok()) {
    result = converted.message;
    return false;
  }

  doc.ResetToUntitled();
  doc.RunAutoDelete();
  (void)OpenRecording(doc, converted.recording_path);

  if (doc.GetSettings().Int(SettingKey::kIOPortDoAskPatData) != 0 && !AutomationInfo().IsCommandComplete() &&
      recorder::IsPatientDataIncomplete(doc.GetPatientData())) {
    const int answer =
        win::CurrentPrompt().MessageBox(platform::LoadString(kIdsAskPatientData), win::Windows().AppTitle(),
                                        win::kMbYesNo | win::kMbIconQuestion);
    if (answer == win::kIdYes) (void)EditPatientData(doc, false);
  }
  AutomationInfo().SetExitCode(kExitDone);
  return true;
}

void RunImportRawFileCommand(CZK470View& view, const RawImportServices& services) {
  CZK470Doc& doc = *view.GetDocument();
  const std::string sd_folder = doc.GetSDCardDirectory();
  const std::optional<std::filesystem::path> raw = FirstRawFile(sd_folder);
  if (!raw) {
    Say(FillOne("In %s no RAW File was found !", sd_folder));
    AutomationInfo().SetExitCode(kExitActionCancelled);
    return;
  }

  // The whole image becomes the recording's sample file; sizes past 4 GB stay exact.
  std::error_code ec;
  const uint64_t needed = std::filesystem::file_size(*raw, ec);
  const std::string data_folder = doc.GetDataDirectory();
  const std::optional<uint64_t> free_bytes =
      data_folder.size() <= 2
          ? std::nullopt
          : (services.free_space ? services.free_space(data_folder) : platform::FreeSpaceBytes(data_folder));
  if (!free_bytes || (!ec && *free_bytes < needed)) {
    Say(FillOne("Insufficient space in %s !", data_folder));
    AutomationInfo().SetExitCode(kExitActionCancelled);
    return;
  }

  std::string result;
  if (!ConvertRawFileAndOpen(view, raw->string(), result, services)) Say(result);
}

void RunImportRawFilesCommand(CZK470View& view, const RawImportServices& services) {
  CZK470Doc& doc = *view.GetDocument();
  const std::string title = "Import multiple RAW SDCard files";
  const std::optional<std::vector<std::string>> files =
      services.choose_files ? services.choose_files(title, doc.GetSDCardDirectory())
                            : ChooseRawFiles(title, doc.GetSDCardDirectory());
  if (!files || files->empty()) return;

  std::vector<std::string> lines;
  for (const std::string& file : *files) {
    std::string result;
    if (ConvertRawFileAndOpen(view, file, result, services))
      lines.push_back("File: " + file + " - imported");
    else
      lines.push_back("File: " + file + " - Error : " + result);
  }
  const std::string caption = "Import multiple ZK-131 SD-Card Files - Results";
  if (services.show_lines)
    services.show_lines(lines, caption);
  else
    doc.GetHost().ShowTextView(caption, lines);
}

bool IsRawImportEnabled(const CZK470Doc& doc) { return doc.GetDisplayMode() != DisplayMode::kOnlineEcg; }

void RunWriteRecordingRawFileCommand(CZK470View& view) {
  const platform::ScopedExeResources own_resources;
  CZK470Doc& doc = *view.GetDocument();
  // Only a card recorder's sample file can become the ECG area of a card image.
  if (doc.GetRawECGData()->GetCompressedFormat() != 2) {
    (void)win::CurrentPrompt().MessageBox(
        "Error: Can only create RAW-file when current file was taken by ZK-131", win::Windows().AppTitle(),
        win::kMbOk | win::kMbIconExclamation);
    return;
  }
  win::FileDialogRequest request;
  request.open = false;
  request.file_name = "ZK131ECG";
  request.filter = "RAW files (*.RAW)|*.RAW|All files (*.*)|*.*||";
  request.default_extension = "RAW";
  const std::optional<std::string> raw_path = win::CurrentPrompt().ChooseFile(request);
  if (!raw_path) return;
  // The sample file the recording was opened with: its extension's case is the file system's.
  const std::string source = doc.GetRawECGData()->GetFileName();
  std::string result;
  const int written = recorder::CreateRawFileOfRecording(doc.GetPatientData(), doc.GetRecordingData(),
                                                         doc.GetClock(), source, *raw_path, result);
  (void)win::CurrentPrompt().MessageBox(written != 0 ? std::string("Finished") : result,
                                        win::Windows().AppTitle(), win::kMbOk);
}

bool IsRecordingRawFileEnabled(const CZK470Doc& doc) {
  return !doc.GetPathName().empty() && doc.GetRawECGData()->GetCompressedFormat() == 2;
}
