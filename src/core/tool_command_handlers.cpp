#include "core/import_commands.h"
#include "core/raw_import_commands.h"
#include "core/recorder_service_commands.h"
#include "core/tool_commands.h"
#include "core/zk470_view.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "tools/batch_analysis.h"
#include "tools/bin_export.h"
#include "tools/diagnostic_files.h"
#include "tools/raw_file_checker.h"
#include "tools/reference_signal_widen.h"
#include "tools/rr_multi_export.h"
#include "tools/sample_file_commands.h"
#include "tools/validation/validation_batches.h"

std::function<void()> ToolCommandHandler(int id, win::Window* frame, CZK470Doc* doc) {
  switch (id) {
    case cmd::kRecorderTest:
    case cmd::kZK131Test:
    case cmd::kUsbTest:
    case cmd::kRawDataTest:
      if (doc == nullptr) return {};
      return [id, frame, doc] { RunRecorderServiceCommand(id, *doc, frame); };
    case cmd::kWriteRecordingRawFile:
      return [] {
        if (CZK470View* view = GetActiveZK470View(); view != nullptr && view->GetDocument() != nullptr)
          RunWriteRecordingRawFileCommand(*view);
      };
    case cmd::kCheckRawFile:
      return [frame, doc] { tools::CheckRawFile(frame, doc); };
    case cmd::kCheckCmpFile:
      return [frame, doc] { tools::CheckCmpFile(frame, doc); };
    case cmd::kRepairFiles:
      return [frame, doc] { tools::RepairFiles(frame, doc); };
    case cmd::kDumpDocument:
      if (doc == nullptr) return {};
      return [doc] { tools::DumpDocument(*doc); };
    case cmd::kSaveOldFormat:
      if (doc == nullptr) return {};
      return [doc] { tools::SaveOldFormat(*doc); };
    case cmd::kExportBin:
      if (doc == nullptr) return {};
      return [frame, doc] { tools::ExportBin(frame, *doc); };
    case cmd::kExportBinMultiple:
      return [frame, doc] { tools::ExportBinMultiple(frame, doc); };
    case cmd::kExportRRMultiple:
      return [frame, doc] { tools::ExportRRMultiple(frame, doc); };
    case cmd::kConvertAhaSignalFile:
      if (doc == nullptr) return {};
      return [doc] { tools::ConvertAhaSignalFile(*doc); };
    case cmd::kImportAhaFiles:
      return [frame, doc] { ImportAhaFiles(frame, doc); };
    case cmd::kImportKEKGFiles:
      return [frame, doc] { ImportKEKGFiles(frame, doc); };
    case cmd::kBatchAnalysis:
      return [frame, doc] { tools::BatchAnalysis(frame, doc); };
    case cmd::kValidationBatchAHA:
    case cmd::kValidationBatchMIT:
    case cmd::kValidationBatchESC:
      if (doc == nullptr) return {};
      return [id, frame, doc] { tools::RunValidationBatchCommand(frame, *doc, id); };
    case cmd::kDiscardAnalysis:
      if (doc == nullptr) return {};
      return [doc] { tools::DiscardAnalysis(*doc); };
    default:
      return {};
  }
}
