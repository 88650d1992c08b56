#include "tools/bin_export.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/progress_window.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/patient_data.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "tools/run_family.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

constexpr int kMsPerMinute = 60 * 1000;
constexpr size_t kMaxErrorText = 1024;
constexpr const char* kExported = "Exported";
constexpr const char* kErrors = "Errors";
constexpr const char* kCanceled = "Exporting was canceled !";

std::string SafeNamePart(std::string text) {
  for (char& c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '.' || c == ':' || c == '/' || u < 0x20 || u == 0x7f) c = '-';
  }
  return text;
}

bool CanBeRead(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

void Say(const std::string& text) {
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(),
                                        win::kMbOk | win::kMbIconExclamation);
}

std::array<uint8_t, kBinHeaderBytes> Header(int minutes, int channels) {
  std::array<uint8_t, kBinHeaderBytes> header{};
  // Each value is the low 16 bits of the number.
  platform::StoreLE16(header.data(), static_cast<uint16_t>(minutes & 0xFFFF));
  platform::StoreLE16(header.data() + 2, static_cast<uint16_t>(TRawECGData::GetSampleRateHz() & 0xFFFF));
  platform::StoreLE16(header.data() + 4, static_cast<uint16_t>(channels & 0xFFFF));
  platform::StoreLE16(header.data() + 6, static_cast<uint16_t>(CZK470Doc::kSampleUnitMicrovolts & 0xFFFF));
  return header;
}

// One minute as frames of the loaded channels, in the set's order.
void FillFrames(const CZK470Doc::MinuteBlockArrays& blocks, int channels, std::vector<uint8_t>& frames) {
  std::array<const TECGBlock*, 3> sources{};
  for (int k = 0; k < channels; ++k) {
    const auto& array = blocks[static_cast<size_t>(k)];
    sources[static_cast<size_t>(k)] = array.empty() ? nullptr : array.front().get();
  }
  uint8_t* out = frames.data();
  for (int i = 0; i < TECGBlock::kSamples; ++i) {
    for (int k = 0; k < channels; ++k) {
      const TECGBlock* block = sources[static_cast<size_t>(k)];
      const int16_t sample = block != nullptr ? block->samples[static_cast<size_t>(i)] : int16_t{0};
      platform::StoreLE16(out, static_cast<uint16_t>(sample));
      out += 2;
    }
  }
}

// The signal under the progress window of both commands; Cancel or Esc stops after a minute.
BinWriteResult WriteWithProgress(win::Window* frame, CZK470Doc& doc, const std::string& path,
                                 const std::string& name) {
  CProgressWindow progress(frame, "Writing BIN - File", false);
  progress.BeginModal("Writing BIN - File", false);
  progress.SetRange(0, 101, 1);
  progress.SetText("%s", name.c_str());
  (void)progress.PumpMessages(true);
  return WriteBinFile(doc, path, [&progress](int minute, int minutes) {
    if (100 * minute / minutes > (100 * minute - 100) / minutes) (void)progress.StepIt();
    return progress.PumpMessages(true) == 0;
  });
}

}  // namespace

std::string BinFileName(const TPatientData& patient, const TRecordingData& recording) {
  std::string text;
  if (!patient.surname.empty()) text += patient.surname + " ";
  if (!patient.first_name.empty()) text += patient.first_name + " ";
  text += recording.GetStartDateText() + " " + recording.GetStartTimeText();
  text += " -----";
  return SafeNamePart(std::move(text)) + " .BIN";
}

BinWriteResult WriteBinFile(CZK470Doc& doc, const std::string& path, const BinMinuteDone& after_minute) {
  platform::AtomicFileWriter file(path);
  const int minutes = std::max(doc.GetRawECGData()->GetWholeMinutes(), 0);
  const int channels = std::clamp(document::Context().g_DisplayChannels.count, 0, document::kMaxChannels);
  BinWriteResult result;
  CZK470Doc::MinuteBlockArrays blocks;
  std::vector<uint8_t> frames(static_cast<size_t>(channels) * 2 * TECGBlock::kSamples);
  try {
    file.Write(Header(minutes, channels));
  } catch (const platform::IoError& error) {
    result.error = std::string(error.what()).substr(0, kMaxErrorText);
  }
  for (int minute = 0; minute < minutes && !result.error; ++minute) {
    try {
      (void)doc.LoadChannelMinutesSet0(blocks, minute * kMsPerMinute, kMsPerMinute, true);
      FillFrames(blocks, channels, frames);
      file.Write(frames);
      ++result.minutes_written;
    } catch (const platform::IoError& error) {
      result.error = std::string(error.what()).substr(0, kMaxErrorText);
    }
    if (after_minute && !after_minute(minute, minutes)) {
      result.cancelled = true;
      break;
    }
  }
  CZK470Doc::FreeChannelMinutesSet0(blocks);
  if (result.error) {
    file.Abandon();
    return result;
  }
  try {
    // A file cut short by Cancel states what it holds, so a reader never runs past its end.
    if (result.minutes_written != minutes) file.WriteAt(0, Header(result.minutes_written, channels));
    file.Commit();
  } catch (const platform::IoError& error) {
    result.error = std::string(error.what()).substr(0, kMaxErrorText);
  }
  return result;
}

void ExportBin(win::Window* frame, CZK470Doc& doc) {
  const platform::ScopedExeResources own_resources;
  const std::string name = BinFileName(doc.GetPatientData(), doc.GetRecordingData());
  const std::string path = CZK470Doc::JoinPath(doc.GetDataDirectory(), name);
  if (CanBeRead(path) && !AskOverwrite(name)) return;
  BinWriteResult result;
  try {
    result = WriteWithProgress(frame, doc, path, name);
  } catch (const platform::IoError& error) {
    Say("Error opening file - " + path + "\n\n" + error.fault());
    return;
  }
  if (result.error && !result.cancelled) Say("Error writing file - " + path + "\n\n" + *result.error);
}

void ExportBinMultiple(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  ResetDocument(*doc);
  const PickResult picked =
      PickFiles(frame, "Select Files to export to BIN Format", doc->GetDataDirectory(), kPickRecordings);
  RunResults results;
  const bool overwrite_all = picked.ok && !picked.paths.empty() && AskOverwriteAll("BIN");
  // The recordings of the run close without their finalize question; only the overwrite question
  // may interrupt it.
  const BatchRunningScope batch;
  CZK470Doc* opened = nullptr;
  if (picked.ok) {
    for (const std::string& recording : picked.paths) {
      if (QueryBatchFileResult() == 1) break;
      const auto& open = GetToolServices().open_document;
      CZK470Doc* current = open ? open(recording) : nullptr;
      if (current == nullptr) {
        results.Error("Error opening file", recording);
        continue;
      }
      opened = current;
      current->UpdateAllViews(nullptr, hint::kDocumentChanged);
      const std::string name = BinFileName(current->GetPatientData(), current->GetRecordingData());
      const std::string path = CZK470Doc::JoinPath(current->GetDataDirectory(), name);
      if (!overwrite_all && CanBeRead(path) && !AskOverwrite(name)) {
        results.Error("Did not overwrite file", name);
        continue;
      }
      BinWriteResult written;
      try {
        written = WriteWithProgress(frame, *current, path, name);
      } catch (const platform::IoError&) {
        results.Error("Error opening file", name);
        continue;
      }
      if (written.cancelled) {
        results.Add(kCanceled);
        break;
      }
      if (written.error) {
        results.Add("Error reading file - " + recording);
        results.Add(*written.error);
        results.CountError();
        continue;
      }
      results.Success(kExported, name);
    }
  } else {
    results.Add(kCanceled);
  }
  if (picked.paths.empty()) results.Add("No Files were selected !");
  if (opened != nullptr) ResetDocument(*opened);
  results.AddSummary(kExported, kErrors);
  ShowResults(frame, "Results - Export multiple recordings in BIN Format", results.Lines(), true);
}

}  // namespace tools
