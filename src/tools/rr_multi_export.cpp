#include "tools/rr_multi_export.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "common/progress_window.h"
#include "common/time_formatter.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "tools/bin_export.h"
#include "tools/run_family.h"
#include "win/dialog_template.h"

namespace tools {
namespace {

constexpr int kFirstClassLabel = 4200;
constexpr double kRate = 125.0;
constexpr int kMsPerDay = 24 * 3600 * 1000;
constexpr const char* kExported = "Exported";
constexpr const char* kErrors = "Errors";
constexpr const char* kCanceled = "Exporting was canceled !";

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsRRMultiExportTitle, "Select Files to export RR distances"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsRRMultiExportTitle, "Dateien für den Export der RR-Abstände auswählen"},
};

bool HasClassLabel(int beat_class) {
  switch (beat_class) {
    case 0:   // pacemaker
    case 1:   // normal
    case 5:   // artefact
    case 9:   // SVES
    case 15:  // VES
    case 29:  // paced beat
      return true;
    default:
      return false;
  }
}

// Loading a patient record sets the process-wide channel sets; the open document's must stay.
class ChannelSetsKept {
 public:
  ChannelSetsKept() : saved_(document::Context()) {}
  ~ChannelSetsKept() {
    document::DocumentContext& c = document::Context();
    c.g_DisplayChannels = saved_.g_DisplayChannels;
    c.g_RecordingChannels = saved_.g_RecordingChannels;
    c.g_AnalysisChannels = saved_.g_AnalysisChannels;
    c.g_STChannels = saved_.g_STChannels;
  }
  ChannelSetsKept(const ChannelSetsKept&) = delete;
  ChannelSetsKept& operator=(const ChannelSetsKept&) = delete;

 private:
  document::DocumentContext saved_;
};

// The four members of a ".QRS", in file order. Throws platform::IoError (or a memory failure).
void LoadMembers(const std::vector<uint8_t>& bytes, const std::string& name, TPatientData& patient,
                 TRecordingData& recording, TQRSList& beats, TEventList& events) {
  const ChannelSetsKept kept;
  platform::ArchiveReader ar(bytes, name);
  patient.Load(ar);
  recording.Load(ar);
  beats.Load(ar);
  events.Load(ar);
}

// Reads the whole open file, at most as long as a recording can be.
std::vector<uint8_t> ReadAll(std::FILE* file, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> chunk(64 * 1024);
  for (;;) {
    const size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    if (bytes.size() + got > CZK470Doc::kMaxRecordingFileBytes)
      throw platform::IoError(path, "longer than a recording can be");
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    if (got < chunk.size()) break;
  }
  if (std::ferror(file) != 0) throw platform::IoError(path, "read failed");
  return bytes;
}

bool CanBeRead(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

void AddRRMultiExportResources(platform::ResourcePack& pack) {
  pack.AddStrings(win::IsGermanPack(pack) ? std::span<const platform::StringEntry>(kGermanStrings)
                                          : std::span<const platform::StringEntry>(kEnglishStrings));
}

std::string RRFilePath(const std::string& qrs_path) {
  return qrs_path.substr(0, qrs_path.size() >= 3 ? qrs_path.size() - 3 : 0) + "RR";
}

std::string RRShownName(const std::string& qrs_path) {
  return std::filesystem::path(qrs_path).stem().string() + ".RR";
}

std::string RRIntervalText(const TRecordingData& recording, const TQRSList& beats,
                           const RRProgress& progress) {
  const int n = beats.GetSize();
  std::string text;
  if (n < 2) return text;
  const std::optional<platform::LocalDateTime> start = document::ToLocalDateTime(recording.start_time);
  const int seconds = start ? start->hour * 3600 + start->minute * 60 + start->second : 0;
  static const platform::SystemLocale locale;
  text = TTimeFormatter(locale).FormatHMS((seconds * 1000) % kMsPerDay) + "\n";

  // Both times truncate toward zero, as the interval of the negated positions does.
  const auto ms = [](int32_t position) { return static_cast<long long>(position * 1000.0 / kRate); };
  const auto negated_ms = [](int32_t position) { return static_cast<long long>(-1000.0 * position / kRate); };
  const std::span<const TQRSComplex> list = beats.Elements();
  const int fifth = n / 5;
  int next_mark = fifth;
  int percent = 0;
  for (int i = 1; i < n; ++i) {
    const TQRSComplex& a = list[static_cast<size_t>(i - 1)];
    const TQRSComplex& b = list[static_cast<size_t>(i)];
    text += std::to_string(ms(a.GetPosition()));
    text += '\t';
    text += std::to_string(negated_ms(a.GetPosition()) - negated_ms(b.GetPosition()));
    text += '\t';
    text += HasClassLabel(a.GetClass()) ? platform::LoadString(kFirstClassLabel + a.GetClass())
                                        : std::string(" ");
    text += '\n';
    if (fifth > 0 && i > next_mark && percent < 100) {
      percent += 20;
      next_mark += fifth;
      if (progress) progress(percent);
    }
  }
  return text;
}

void ExportRRMultiple(win::Window* frame, CZK470Doc* doc) {
  if (doc == nullptr) return;
  ResetDocument(*doc);
  const PickResult picked = PickFiles(frame, platform::LoadString(kIdsRRMultiExportTitle),
                                      doc->GetDataDirectory(), kPickRecordings);
  RunResults results;
  const bool overwrite_all = picked.ok && !picked.paths.empty() && AskOverwriteAll("RR");
  if (picked.ok) {
    for (const std::string& qrs : picked.paths) {
      if (QueryBatchFileResult() == 1) break;
      const std::string rr_path = RRFilePath(qrs);
      const std::string shown = RRShownName(qrs);
      if (!overwrite_all && CanBeRead(rr_path) && !AskOverwrite(shown)) {
        results.Error("Did not overwrite file", shown);
        continue;
      }
      TPatientData patient(doc->GetClock());
      TRecordingData recording(doc->GetClock());
      TQRSList beats;
      TEventList events;
      CProgressWindow progress(frame, "Export", false);
      progress.BeginModal("Export", false);
      progress.SetRange(0, 100, 1);
      progress.SetText("%s", shown.c_str());
      (void)progress.SetPos(1);

      std::FILE* file = std::fopen(qrs.c_str(), "rb");
      if (file == nullptr) {
        results.Error("Error opening file", shown);
        continue;
      }
      try {
        const std::vector<uint8_t> bytes = ReadAll(file, qrs);
        std::fclose(file);
        file = nullptr;
        LoadMembers(bytes, std::filesystem::path(qrs).filename().string(), patient, recording, beats, events);
      } catch (const std::exception&) {
        if (file != nullptr) std::fclose(file);
        results.Error("Error reading file", shown);
        continue;
      }

      std::optional<platform::AtomicFileWriter> out;
      try {
        out.emplace(rr_path);
      } catch (const platform::IoError&) {
        results.Error("Error opening file", rr_path);
        continue;
      }
      try {
        const std::string text = RRIntervalText(recording, beats, [&progress](int percent) {
          (void)progress.SetPos(percent);
          (void)progress.PumpMessages(true);
        });
        out->Write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
        out->Commit();
      } catch (const platform::IoError& error) {
        // The earlier file, if any, stays as it was.
        results.Add("Error writing file - " + shown);
        results.Add(error.what());
        results.CountError();
        continue;
      }
      results.Success(kExported, shown);
      if (progress.PumpMessages(true) != 0) {
        results.Add(kCanceled);
        break;
      }
      (void)progress.SetPos(100);
    }
  } else {
    results.Add(kCanceled);
  }
  if (picked.paths.empty()) results.Add("No Files were selected !");
  ResetDocument(*doc);
  results.AddSummary(kExported, kErrors);
  ShowResults(frame, "Results - Export multiple RR distances", results.Lines(), true);
}

}  // namespace tools
