#include "tools/sample_file_commands.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/sample_file_checker.h"
#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "tools/run_family.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

void CheckCmpFile(win::Window* /*frame*/, CZK470Doc* doc) {
  if (doc == nullptr) return;
  ResetDocument(*doc);
  win::FileDialogRequest request;
  request.open = true;
  request.filter = "CMP Files (*.CMP)|*.CMP||";
  request.default_extension = "CMP";
  request.initial_folder = WithoutTrailingSlashes(doc->GetDataDirectory());
  const std::optional<std::string> path = win::CurrentPrompt().ChooseFile(request);
  if (!path) return;
  const std::string title(win::Windows().AppTitle());
  std::string name;
  try {
    name = SampleFileChecker::RunCmpCheck(*path);
  } catch (const platform::IoError&) {
    (void)win::CurrentPrompt().MessageBox(
        "Unable to create output file: " + SampleFileChecker::ReportName(*path), title,
        win::kMbOk | win::kMbIconExclamation);
    return;
  }
  (void)win::CurrentPrompt().MessageBox("Results in file: " + name, title, win::kMbOk);
}

void RepairFiles(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  ResetDocument(*doc);
  const PickResult picked = PickFiles(frame, "Repair Files - Select CMP",
                                      WithoutTrailingSlashes(doc->GetDataDirectory()), kPickCmp);
  if (!picked.ok || picked.paths.empty()) return;
  std::vector<SampleFileChecker::RepairItem> items;
  items.reserve(picked.paths.size());
  for (const std::string& path : picked.paths)
    items.push_back({path, std::filesystem::path(path).filename().string()});
  ShowResults(frame, "Repair Files - Results", SampleFileChecker::RepairFiles(items), false);
}

}  // namespace tools
