#include "core/tool_commands.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "tools/run_family.h"
#include "win/command_target.h"

namespace {

using enum ToolRule;

constexpr ToolCommand kToolCommands[] = {
    {cmd::kValidationBatchAHA, kUnlessMonitorOrPdf, false},
    {cmd::kValidationBatchMIT, kUnlessMonitorOrPdf, false},
    {cmd::kValidationBatchESC, kUnlessMonitorOrPdf, false},
    {cmd::kBatchAnalysis, kUnlessMonitorOrPdf, false},
    {cmd::kRecorderTest, kUnlessMonitorOrPdf, true, true},
    {cmd::kZK131Test, kUnlessMonitorOrPdf, true, true},
    {cmd::kUsbTest, kUnlessMonitorOrPdf, true},
    {cmd::kDumpDocument, kRecordingShown, false},
    {cmd::kNoAction33038, kNoRule, false},
    {cmd::kSaveOldFormat, kRecordingShown, false},
    {cmd::kExportBin, kRecordingShown, true},
    {cmd::kNoAction33041, kUnlessMonitorOrPdf, false},
    {cmd::kNoAction33042, kNoRule, false},
    {cmd::kRawDataTest, kUnlessMonitorOrPdf, true, true},
    {cmd::kWriteRecordingRawFile, kNewFormatRecording, true},
    {cmd::kNoAction33045, kNoRule, false},
    {cmd::kNoAction33046, kNoRule, false},
    {cmd::kDiscardAnalysis, kRecordingShown, false},
    {cmd::kImportAhaFiles, kUnlessMonitorOrPdf, false},
    {cmd::kNoAction33049, kNoRule, false},
    {cmd::kNoAction33050, kRecordingWithBeats, false},
    {cmd::kNoAction33051, kNoRule, false},
    {cmd::kRepairFiles, kUnlessMonitorOrPdf, false},
    {cmd::kImportKEKGFiles, kUnlessMonitorOrPdf, false},
    {cmd::kExportBinMultiple, kUnlessMonitorOrPdf, false},
    {cmd::kExportRRMultiple, kUnlessMonitorOrPdf, false},
    {cmd::kCheckRawFile, kUnlessMonitorOrPdf, false},
    {cmd::kCheckCmpFile, kUnlessMonitorOrPdf, false},
    {cmd::kConvertAhaSignalFile, kUnlessMonitorOrPdf, false},
    {cmd::kNoAction33061, kNoRule, false},
    {cmd::kNoAction33062, kNoRule, false},
};

// The sample store's code of the new compressed format.
constexpr int kNewCompressedFormat = 2;

bool RecordingShown(DisplayMode mode) {
  return mode != DisplayMode::kNone && mode != DisplayMode::kOnlineEcg && mode != DisplayMode::kPdf;
}

}  // namespace

std::span<const ToolCommand> ToolCommands() { return kToolCommands; }

const ToolCommand* FindToolCommand(int id) {
  const auto* found = std::find_if(std::begin(kToolCommands), std::end(kToolCommands),
                                   [id](const ToolCommand& command) { return command.id == id; });
  return found != std::end(kToolCommands) ? found : nullptr;
}

void UpdateToolCommand(const ToolCommand& command, const CZK470Doc* doc, win::CmdUI& ui) {
  const DisplayMode mode = doc != nullptr ? doc->GetDisplayMode() : DisplayMode::kNone;
  switch (command.rule) {
    case kNoRule:
      return;
    case kUnlessMonitorOrPdf:
      ui.Enable(mode != DisplayMode::kOnlineEcg && mode != DisplayMode::kPdf);
      return;
    case kRecordingShown:
      ui.Enable(RecordingShown(mode));
      return;
    case kNewFormatRecording: {
      const TRawECGData* samples = doc != nullptr ? doc->GetRawECGData() : nullptr;
      ui.Enable(RecordingShown(mode) && samples != nullptr &&
                samples->GetCompressedFormat() == kNewCompressedFormat);
      return;
    }
    case kRecordingWithBeats:
      ui.Enable(RecordingShown(mode) && doc->GetQRSList().GetSize() > 0);
      return;
  }
}

void RunToolCommand(const ToolCommand& command, CZK470Doc* doc, const std::function<void()>& handler) {
  if (!handler) return;
  if (command.resets_document && doc != nullptr) tools::ResetDocument(*doc);
  std::optional<platform::ScopedExeResources> own_resources;
  if (command.own_resources) own_resources.emplace();
  handler();
}

void AddToolCommands(const ToolCommandRegistrar& registrar, win::Window* frame,
                     std::function<CZK470Doc*()> active_document, ToolHandlerLookup lookup) {
  for (const ToolCommand& command : kToolCommands) {
    registrar.add_command(command.id, [&command, frame, active_document, lookup] {
      CZK470Doc* doc = active_document();
      RunToolCommand(command, doc, lookup(command.id, frame, doc));
    });
    registrar.add_update(command.id, [&command, active_document](win::CmdUI& ui) {
      UpdateToolCommand(command, active_document(), ui);
    });
  }
}
