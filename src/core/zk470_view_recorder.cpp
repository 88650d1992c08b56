#include "core/raw_import_commands.h"
#include "core/read_recorder_command.h"
#include "core/read_tape_command.h"
#include "core/zk470_view.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"

void CZK470View::AddRecorderCommands() {
  AddCommand(cmd::kReadRecorder, [this] { RunReadRecorderCommand(*this); });
  AddUpdate(cmd::kReadRecorder, [this](win::CmdUI& ui) { UpdateReadRecorderCommand(Doc(), ui); });
  AddCommand(cmd::kReadTape, [this] { RunReadTapeCommand(*this); });
  AddUpdate(cmd::kReadTape, [this](win::CmdUI& ui) { ui.Enable(IsReadTapeEnabled(Doc())); });
  AddCommand(cmd::kImportRawFile, [this] { RunImportRawFileCommand(*this); });
  AddUpdate(cmd::kImportRawFile, [this](win::CmdUI& ui) { ui.Enable(IsRawImportEnabled(Doc())); });
  AddCommand(cmd::kImportRawFiles, [this] { RunImportRawFilesCommand(*this); });
  AddUpdate(cmd::kImportRawFiles, [this](win::CmdUI& ui) { ui.Enable(IsRawImportEnabled(Doc())); });
  // The image of the open recording (33044) is one of the main frame's tool commands.
  AddCommand(cmd::kNoAction32953, [] {});
  AddCommand(cmd::kDisabled33210, [] {});
  AddUpdate(cmd::kDisabled33210, [](win::CmdUI& ui) { ui.Enable(false); });
}
