#include "reports/rr_export.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "analysis/st/st_analyzer.h"
#include "common/time_formatter.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "reports/printer_base.h"

namespace {

constexpr int kNormalClass = 1;
constexpr int kMsPerDay = 24 * 3600 * 1000;
// Flushed to the file in pieces of this size; a day of beats is megabytes.
constexpr size_t kFlushBytes = 64 * 1024;

bool HasClassName(int beat_class) {
  switch (beat_class) {
    case 0:
    case 1:
    case 5:
    case 9:
    case 15:
    case 29:
      return true;
    default:
      return false;
  }
}

void AppendFormatted(std::string& out, const char* format, double a, double b, double c) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, a, b, c);
  if (n > 0) out.append(buffer, static_cast<size_t>(std::min<int>(n, sizeof buffer - 1)));
}

void WriteOut(std::FILE* file, const std::string& path, std::string& buffer) {
  if (buffer.empty()) return;
  if (std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
    throw platform::IoError(path, std::string("write failed: ") + std::strerror(errno));
  buffer.clear();
}

}  // namespace

std::string ExportFileNamePart(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '.' || c == ':' || c == '/' || u < 0x20 || u == 0x7f) c = '-';
  }
  return out;
}

std::string RRExportBaseName(const TPatientData& patient, const TRecordingData& recording,
                             std::string_view recording_number) {
  std::string base;
  if (!patient.surname.empty()) base += patient.surname + " ";
  if (!patient.first_name.empty()) base += patient.first_name + " ";
  base += recording.GetStartDateText() + " " + recording.GetStartTimeText() + " ";
  base += recording_number;
  return ExportFileNamePart(base);
}

TRRExport::TRRExport(CZK470Doc& doc)
    : doc_(doc), rate_(doc.GetSampleRate()), analyzer_(std::make_unique<analysis::TSTAnalyzer>(doc)) {}

TRRExport::~TRRExport() = default;

int TRRExport::LineCount() const {
  const int n = doc_.GetQRSList().GetSize();
  return n < 2 ? 0 : n - 1;
}

std::string TRRExport::StartLine() const {
  const std::optional<platform::LocalDateTime> start =
      document::ToLocalDateTime(doc_.GetRecordingData().start_time);
  const int seconds = start ? start->hour * 3600 + start->minute * 60 + start->second : 0;
  const int time_ms = (seconds * 1000) % kMsPerDay;
  return TTimeFormatter(PrintLocale()).FormatHMS(time_ms) + "\n";
}

void TRRExport::AppendLine(int index, std::string& out) {
  const auto beats = doc_.GetQRSList().Elements();
  const TQRSComplex& r = beats[static_cast<size_t>(index - 1)];
  const TQRSComplex& q = beats[static_cast<size_t>(index)];
  const auto ms = [this](int32_t position) { return static_cast<long long>(position * 1000.0 / rate_); };
  const long long t_r = ms(r.GetPosition());
  out += std::to_string(t_r);
  out += '\t';
  out += std::to_string(ms(q.GetPosition()) - t_r);
  out += '\t';
  const int beat_class = r.GetClass();
  out +=
      HasClassName(beat_class) ? platform::LoadString(kFirstClassNameString + beat_class) : std::string(" ");

  const int first = analyzer_->GetFirstChannel();
  const int end = analyzer_->GetChannelEnd();
  if (beat_class != kNormalClass) {
    out += "\t \t ";
    for (int c = first; c < end; ++c) out += "\t \t \t ";
    out += '\n';
    return;
  }
  int32_t j_ms = 0;
  int32_t st_ms = 0;
  std::array<double, 2> j_level{};
  std::array<double, 2> st_level{};
  std::array<double, 2> difference{};
  std::array<double, 2> slope_value{};
  analyzer_->MeasureBeat(index - 1, j_ms, st_ms, j_level, st_level, difference, slope_value);
  AppendSTFields(j_ms, st_ms, j_level, st_level, first, end, out);
  out += '\n';
}

void TRRExport::AppendSTFields(int32_t j_time_ms, int32_t st_time_ms, const std::array<double, 2>& j_level,
                               const std::array<double, 2>& st_level, int first, int end, std::string& out) {
  out += '\t';
  out += std::to_string(j_time_ms);
  out += '\t';
  out += std::to_string(st_time_ms);
  const int32_t span_ms = st_time_ms - j_time_ms;
  for (int c = first; c < end; ++c) {
    const size_t i = static_cast<size_t>(c);
    const double slope = span_ms < 1 ? 9999.0 : (st_level[i] - j_level[i]) / span_ms * 1000.0;
    AppendFormatted(out, "\t%.2f\t%.2f\t%.2f", j_level[i], st_level[i], slope);
  }
}

int WriteRRFile(CZK470Doc& doc, const std::string& path, const std::function<bool(int index)>& after_line) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw RRFileOpenError(path, std::string("cannot create: ") + std::strerror(errno));
  int written = 0;
  try {
    if (doc.GetQRSList().GetSize() >= 2) {
      TRRExport exporter(doc);
      std::string buffer = exporter.StartLine();
      const int lines = exporter.LineCount();
      for (int i = 1; i <= lines; ++i) {
        exporter.AppendLine(i, buffer);
        ++written;
        if (buffer.size() >= kFlushBytes) WriteOut(file, path, buffer);
        if (after_line && !after_line(i)) break;
      }
      WriteOut(file, path, buffer);
    }
  } catch (...) {
    std::fclose(file);
    throw;
  }
  if (std::fclose(file) != 0)
    throw platform::IoError(path, std::string("close failed: ") + std::strerror(errno));
  return written;
}
