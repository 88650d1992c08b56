#include "reports/report_fixture.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/event.h"
#include "document/event_list.h"
#include "document/qrs_complex.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "support/testdata_cli.h"

namespace reporttest::planted {

namespace {

constexpr int kStretchSeconds = 5 * 60;

bool IsIn(std::span<const int> codes, int code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Without the long episode.
int HourlyCount(int code, int hour) {
  switch (code) {
    case kClassArtefact:
      return hour % 4 + 1;
    case kClassSVES:
      return hour * 7 % 13 + 2;
    case kClassVES:
      return hour * 11 % 29 + 3;
    default:
      return IsIn(kEventCodes, code) ? (hour + code) % 5 + code % 3 : 0;
  }
}

int EpisodeHour(int code, int hours) { return code * 5 % hours; }

// Where the planted beats of a class lie among the beats of an hour.
int BeatSlot(int code, int k) {
  const int offset = code == kClassArtefact ? 0 : code == kClassSVES ? 7 : 14;
  return 10 + k * 21 + offset;
}

}  // namespace

int PlantedCount(int code, int hour, int hours) {
  if (hour < 0 || hour >= hours) return 0;
  int count = HourlyCount(code, hour);
  if (IsIn(kEpisodeCodes, code) && EpisodeHour(code, hours) == hour) ++count;
  return count;
}

int PlantedTotal(int code, int hours) {
  int total = 0;
  for (int hour = 0; hour < hours; ++hour) total += PlantedCount(code, hour, hours);
  return total;
}

int PlantedDayTotal(int code, int day, int hours) {
  int total = 0;
  for (int hour = day * 24; hour < (day + 1) * 24; ++hour) total += PlantedCount(code, hour, hours);
  return total;
}

Episode PlantedEpisode(int code, int hours) {
  if (!IsIn(kEpisodeCodes, code)) return {};
  return {EpisodeHour(code, hours) * 3600 + 1800 + code * 10, 60 + 4 * code};
}

int SlowStretchStart(int hours) { return (hours > 1 ? 3600 : 0) + 40 * 60; }

int FastStretchStart(int hours) { return (hours - 1) * 3600 + 45 * 60; }

std::filesystem::path RecordingPath(int hours) {
  static std::map<int, std::filesystem::path> made;
  static const testsupport::TempFolder folder("planted_recordings");
  const auto found = made.find(hours);
  if (found != made.end()) return found->second;
  const std::filesystem::path base = folder.Path() / (std::to_string(hours) + "h") / "00001";
  std::filesystem::create_directories(base.parent_path());
  std::ostringstream out;
  std::ostringstream err;
  const int code = testsupport::RunTestdataCli(
      {"synth", "--hours", std::to_string(hours), "--channels", "2", "--seed", "7", base.string()}, out, err);
  if (code != 0) throw platform::IoError(base.string(), "zk470-testdata synth failed: " + err.str());
  return made.emplace(hours, coretest::WriteRecordingFile(base)).first->second;
}

void PlantAnalysis(CZK470Doc& doc, int hours) {
  TQRSList& beats = doc.GetQRSList();
  TEventList& events = doc.GetEventList();
  beats.RemoveAll();
  events.RemoveAll();

  const int32_t end = hours * kSamplesPerHour;
  const int32_t slow = SlowStretchStart(hours) * kRate;
  const int32_t fast = FastStretchStart(hours) * kRate;
  constexpr int32_t kStretch = kStretchSeconds * kRate;
  std::vector<int32_t> positions;
  for (int32_t position = 50; position < end;) {
    positions.push_back(position);
    position += position >= slow && position < slow + kStretch   ? kSlowRR
                : position >= fast && position < fast + kStretch ? kFastRR
                                                                 : kPlantedRR;
  }
  std::vector<uint8_t> classes(positions.size(), kClassNormal);
  size_t first_of_hour = 0;
  for (int hour = 0; hour < hours; ++hour) {
    for (const int code : kBeatCodes)
      for (int k = 0; k < PlantedCount(code, hour, hours); ++k)
        classes[first_of_hour + static_cast<size_t>(BeatSlot(code, k))] = static_cast<uint8_t>(code);
    while (first_of_hour < positions.size() && positions[first_of_hour] < (hour + 1) * kSamplesPerHour)
      ++first_of_hour;
  }
  for (size_t i = 0; i < positions.size(); ++i) beats.Append(TQRSComplex(positions[i], classes[i], '!'));

  // The lists keep their elements in time order, as an analysis leaves them.
  std::vector<TEvent> planted;
  for (int hour = 0; hour < hours; ++hour) {
    for (const int code : kEventCodes) {
      for (int k = 0; k < HourlyCount(code, hour); ++k) {
        const int32_t start = hour * kSamplesPerHour + 2000 + k * 8000 + code * 300;
        planted.emplace_back(start, start + kRate * (3 + k % 3), static_cast<uint8_t>(code));
      }
    }
  }
  for (const int code : kEpisodeCodes) {
    const Episode episode = PlantedEpisode(code, hours);
    planted.emplace_back(episode.start_s * kRate, (episode.start_s + episode.duration_s) * kRate,
                         static_cast<uint8_t>(code));
  }
  std::stable_sort(planted.begin(), planted.end(),
                   [](const TEvent& a, const TEvent& b) { return a.GetPosition() < b.GetPosition(); });
  for (const TEvent& event : planted) events.Append(event);
  coretest::AddTemplateClasses(doc);

  TRecordingData& record = doc.GetRecordingData();
  record.tachycardia_threshold = 2;  // 100
  record.sves_prematurity = 1;       // 20 %
  record.pause_threshold = 2;        // 2.0 s
  record.bradycardia_threshold = 3;  // 45
  record.arrhythmia_deviation = 4;   // 35 %
  record.arrhythmia_min_duration = 0;
  record.sves_analysis_on = 1;
  record.arrhythmia_analysis_on = 1;
  const int32_t both[] = {0, 1};
  document::Context().g_AnalysisChannels.Assign(both);
}

bool OpenPlantedRecording(CZK470Doc& doc, int hours) {
  if (!doc.OnOpenDocument(RecordingPath(hours).string())) return false;
  PlantAnalysis(doc, hours);
  return true;
}

}  // namespace reporttest::planted
