#include "document/recording_data.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "document/document_context.h"
#include "document/file_version.h"
#include "document/record_format.h"
#include "platform/clock.h"
#include "platform/io_error.h"

namespace {

constexpr int32_t kExtremesGroup[6] = {-1, -1, -1, -1, 0, 0};

// The first version whose pause threshold means the index of the setting "PauseA"; older ones
// stored the older "Pause" index, which is 2 lower.
constexpr int32_t kPauseIndexVersion = 28;

class Writer {
 public:
  Writer(platform::ArchiveWriter& ar, int32_t version) : ar_(ar), version_(version) {}
  void Row(const char*, int = -1) {}
  void Int(const int32_t& value) { ar_.WriteInt32(value); }
  void Double(const double& value) { ar_.WriteDouble(value); }
  void Text(const std::string& value) { ar_.WriteString(value); }
  void Date(const platform::OleDateTime& value) { ar_.WriteDateTime(value); }
  template <class List>
  void Member(const List& list) {
    list.Serialize(ar_, version_);
  }
  // The writer stores at most the two ST channels the record holds.
  template <class List>
  void Spare() {
    assert(false);
  }
  void SpareInt() { assert(false); }
  void Markers(const std::vector<int32_t>& markers) {
    ar_.WriteCount(static_cast<uint32_t>(markers.size()));
    for (const int32_t position : markers) ar_.WriteInt32(position);
  }
  // The legacy entry list: always written empty.
  void LegacyEntries() { ar_.WriteCount(0); }

 private:
  platform::ArchiveWriter& ar_;
  int32_t version_;
};

class Reader {
 public:
  explicit Reader(platform::ArchiveReader& ar) : ar_(ar) {}
  // Names the row in error messages.
  void Row(const char* name, int index = -1) {
    std::string context = std::string("recording record, ") + name;
    if (index >= 0) context += " " + std::to_string(index);
    ar_.SetContext(std::move(context));
  }
  void Int(int32_t& value) { value = ar_.ReadInt32(); }
  void Double(double& value) { value = ar_.ReadDouble(); }
  void Text(std::string& value) { value = ar_.ReadString(); }
  void Date(platform::OleDateTime& value) { value = ar_.ReadDateTime(); }
  template <class List>
  void Member(List& list) {
    list.Load(ar_);
  }
  // What a version-26 record stores for ST channels beyond the two it holds: read and dropped.
  template <class List>
  void Spare() {
    List spare;
    spare.Load(ar_);
  }
  void SpareInt() { (void)ar_.ReadInt32(); }
  void Markers(std::vector<int32_t>& markers) {
    const int32_t count = document::ReadArchiveCount(ar_, 4);
    std::vector<int32_t> positions(static_cast<size_t>(count));
    for (int32_t& position : positions) position = ar_.ReadInt32();
    markers = std::move(positions);
  }
  // 8 bytes per element: 4 without meaning and an int32 that nothing uses.
  void LegacyEntries() {
    const int32_t count = document::ReadArchiveCount(ar_, 8);
    ar_.Skip(static_cast<size_t>(count) * 8);
  }

 private:
  platform::ArchiveReader& ar_;
};

// The one description of every layout, for writing (R const) and reading. st_channels is the number
// of ST channels of the per-channel rows: 2, or in version 26 the analysed-channel count, which a
// file may hold above 2 (rows of the channels beyond the record's two are read past).
template <class Io, class R>
void Transfer(Io& io, R& r, int32_t v, int st_channels) {
  constexpr int kHeld = TRecordingData::kStChannels;
  io.Row("header");
  io.Int(r.pacemaker_recording);
  io.Date(r.start_date);
  io.Date(r.start_time);
  if (v >= 31) io.Int(r.programmed_length);
  io.Text(r.identity_text);
  if (v >= 31) io.Text(r.analysing_program);
  io.Row("full-disclosure selection");
  // Versions 31 and 32 repeat day 1 in the three-day rows; the second reading wins.
  io.Int(r.fd_day_switches[0]);
  if (v >= 31)
    for (auto& value : r.fd_day_switches) io.Int(value);
  for (auto& value : r.fd_half_hours[0]) io.Int(value);
  if (v >= 31)
    for (auto& day : r.fd_half_hours)
      for (auto& value : day) io.Int(value);
  io.Row("analysis settings");
  if (v >= 30) io.Text(r.analysis_engine);
  if (v >= 31) io.Date(r.analysis_time);
  io.Int(r.tachycardia_threshold);
  io.Int(r.sves_prematurity);
  io.Int(r.pause_threshold);
  io.Int(r.bradycardia_threshold);
  if (v >= 5) io.Int(r.arrhythmia_deviation);
  if (v >= 30) io.Int(r.arrhythmia_min_duration);
  if (v >= 5) {
    io.Int(r.sves_analysis_on);
    io.Int(r.arrhythmia_analysis_on);
  }
  io.Row("legacy entry list");
  io.LegacyEntries();
  if (v >= 3) {
    io.Row("texts");
    io.Text(r.diagnosis);
    io.Text(r.recording_text2);
    io.Text(r.assignment_heading);
    io.Text(r.assignment_text);
    io.Text(r.medication);
  }
  if (v >= 6) {
    io.Row("ST settings");
    io.Int(r.st_interval);
    io.Int(r.reserved_st_a);
    io.Int(r.reserved_st_b);
    if (v == 6) {
      io.Row("ST level series", 0);
      io.Member(r.st_levels[0]);
      io.Row("ST settings");
    }
    io.Double(r.st_offset1);
    io.Double(r.st_offset2);
    io.Double(r.st_point_offset);
    if (v >= 31) io.Int(r.st_point_distance);
  }
  if (v >= 7)
    for (int c = 0; c < st_channels; ++c) {
      io.Row("ST level series", c);
      if (c < kHeld) {
        io.Member(r.st_levels[c]);
      } else {
        io.template Spare<TSTValues>();
      }
    }
  if (v >= 8)
    for (int c = 0; c < st_channels; ++c) {
      io.Row("ST slope series", c);
      if (c < kHeld) {
        io.Member(r.st_slopes[c]);
      } else {
        io.template Spare<TSTValues>();
      }
    }
  if (v >= 9)
    for (int c = 0; c < st_channels; ++c) {
      io.Row("ST episodes", c);
      if (c < kHeld) {
        io.Member(r.st_episodes[c]);
      } else {
        io.template Spare<TSTDetails>();
      }
    }
  if (v >= 12) {
    io.Row("ST channel results");
    for (int c = 0; c < st_channels; ++c) {
      if (c < kHeld) {
        io.Int(r.deepest_st_position[c]);
        io.Int(r.st_channel_analysed[c]);
        io.Int(r.st_depression_limit[c]);
      } else {
        for (int i = 0; i < 3; ++i) io.SpareInt();
      }
    }
  }
  if (v >= 13) {
    io.Row("recorder markers");
    io.Markers(r.recorder_markers);
  }
  if (v >= 14) {
    io.Row("ST results current");
    io.Int(r.st_results_current);
  }
  if (v >= 15)
    for (int k = 0; k < TRecordingData::kTemplateClasses; ++k) {
      io.Row("template class", k);
      io.Member(r.normal_classes[k]);
      io.Member(r.ves_classes[k]);
      io.Member(r.artefact_classes[k]);
    }
  if (v >= 16) {
    io.Row("current template members");
    for (int k = 0; k < TRecordingData::kTemplateClasses; ++k) {
      io.Int(r.normal_current[k]);
      io.Int(r.ves_current[k]);
      io.Int(r.artefact_current[k]);
    }
  }
  if (v >= 17) {
    auto& reserved = r.reserved_templates.lists;
    // Per ST channel the pair of lists 1 and 3 (2 and 4), then lists 5 and 6.
    for (int c = 0; c < st_channels; ++c) {
      io.Row("reserved template list", c);
      if (c < kHeld) {
        io.Member(reserved[c]);
        io.Member(reserved[c + 2]);
      } else {
        io.template Spare<TTemplateList>();
        io.template Spare<TTemplateList>();
      }
    }
    io.Row("reserved template list", 4);
    io.Member(reserved[4]);
    io.Member(reserved[5]);
  }
  if (v >= 18) {
    io.Row("special template classes");
    io.Int(r.normal_special[0]);
    io.Int(r.normal_special[1]);
    io.Int(r.ves_special[0]);
  }
  if (v >= 20) io.Int(r.ves_special[1]);
  if (v >= 21) {
    for (int k = 0; k < TRecordingData::kTemplateClasses; ++k) {
      io.Row("SVES template class", k);
      io.Member(r.sves_classes[k]);
    }
    io.Row("special template classes");
    io.Int(r.sves_special[0]);
    io.Int(r.sves_special[1]);
    io.Row("current template members");
    for (auto& value : r.sves_current) io.Int(value);
  }
  if (v >= 22) {
    io.Row("example strips");
    for (auto& code : r.example_strips)
      for (auto& value : code) io.Int(value);
  }
  if (v >= 23) {
    for (int k = 0; k < TRecordingData::kPMClasses; ++k) {
      io.Row("pacemaker template class", k);
      io.Member(r.pm_classes[k]);
    }
    io.Row("pacemaker class codes");
    for (auto& value : r.pm_class_codes) io.Int(value);
    for (auto& value : r.pm_current) io.Int(value);
  }
  if (v >= 24) {
    io.Row("HRV window");
    io.Date(r.hrv_window_start);
    io.Date(r.hrv_window_end);
    io.Int(r.hrv_window_value);
  }
  if (v >= 32) {
    io.Row("heart-rate extremes");
    for (auto& value : r.extremes) io.Int(value);
  }
}

// Brings content of older files up to date.
void Upgrade(TRecordingData& r, int32_t version) {
  // Only versions that the program never writes can hold the older pause index: it writes 25 (old
  // format) and 32, so a version-25 value may already be a "PauseA" index and is left alone, and
  // -1 (never analysed) means the same in both. A damaged value must not overflow.
  if (version < kPauseIndexVersion && version != 25 && r.pause_threshold >= 0 &&
      r.pause_threshold <= std::numeric_limits<int32_t>::max() - 2)
    r.pause_threshold += 2;
  for (int32_t& special : r.normal_special)
    if (special < -1) special = 0;
  if (r.ves_special[0] < -1 || r.ves_special[1] < -1) r.ves_special = {0, 1};
  if (r.sves_special[0] < -1 || r.sves_special[1] < -1) r.sves_special = {1, 0};
}

}  // namespace

TRecordingData::TRecordingData(const platform::Clock& clock)
    : TRecordingData(0, document::OleDateOnly(clock.Now()), document::OleTimeOnly(clock.Now()), 0) {}

TRecordingData::TRecordingData(int32_t pacemaker_recording, platform::OleDateTime start_date,
                               platform::OleDateTime start_time, int32_t programmed_length)
    : start_date(start_date),
      start_time(start_time),
      programmed_length(programmed_length),
      pacemaker_recording(pacemaker_recording) {
  ResetExampleStrips();
  for (size_t i = 0; i < extremes.size(); ++i) extremes[i] = kExtremesGroup[i % 6];
}

void TRecordingData::SetExtremes(std::span<const int32_t, kExtremeValues> values) {
  std::copy(values.begin(), values.end(), extremes.begin());
}

void TRecordingData::ResetExampleStrips() {
  for (auto& code : example_strips) code.fill(-1);
}

std::string TRecordingData::GetStartDateText() const { return document::FormatOleDateTime(start_date, "%d.%m.%Y"); }

std::string TRecordingData::GetStartTimeText() const { return document::FormatOleDateTime(start_time, "%H:%M"); }

std::string TRecordingData::GetStartTimeFractionText() const {
  return FormatNumber(std::fabs(start_time.days - std::trunc(start_time.days)), 15);
}

std::string TRecordingData::FormatNumber(double value, int decimals) {
  return document::FormatFixedNumber(value, decimals);
}

TRecordingData::TemplateFamily& TRecordingData::TemplateClasses(int family_number) {
  return const_cast<TemplateFamily&>(std::as_const(*this).TemplateClasses(family_number));
}

const TRecordingData::TemplateFamily& TRecordingData::TemplateClasses(int family_number) const {
  switch (family_number) {
    case 0: return ves_classes;
    case 1: return normal_classes;
    case 2: return artefact_classes;
    default:
      assert(family_number == 3);
      return sves_classes;
  }
}

TRecordingData::MemberIndices& TRecordingData::CurrentMembers(int family_number) {
  switch (family_number) {
    case 0: return ves_current;
    case 1: return normal_current;
    case 2: return artefact_current;
    default:
      assert(family_number == 3);
      return sves_current;
  }
}

void TRecordingData::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  if (version < 25 || version > 32) return;
  const int st_channels = version == 26 ? document::Context().g_AnalysisChannels.count : kStChannels;
  assert(st_channels >= 0 && st_channels <= kStChannels);
  ar.WriteInt32(version);
  Writer writer(ar, version);
  Transfer(writer, *this, version, st_channels);
}

void TRecordingData::Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes) {
  ar.SetContext("recording record");
  const int32_t version = document::ReadMemberVersion(ar);
  if (!document::IsKnownFileVersion(version)) {
    // Nothing more is read; the record stays as it was.
    if (notes != nullptr) notes->unknown_recording_version = version;
    ar.SetContext({});
    return;
  }
  int st_channels = kStChannels;
  if (version == 26) {
    // The patient record just read tells how many channels were analysed when this was written.
    st_channels = notes != nullptr && notes->stored_analysis_channels
                      ? *notes->stored_analysis_channels
                      : document::Context().g_AnalysisChannels.count;
    assert(st_channels >= 0);
  }
  TRecordingData next = *this;
  next.reserved_templates.lists = reserved_templates.lists;
  Reader reader(ar);
  Transfer(reader, next, version, st_channels);
  Upgrade(next, version);
  ar.SetContext({});
  *this = std::move(next);
}
