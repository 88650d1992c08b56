#include "document/patient_data.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "document/document_context.h"
#include "document/file_version.h"
#include "document/record_format.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/resources.h"

namespace {

constexpr int kStringFemale = 21110;
constexpr int kStringMale = 21111;

void WriteChannelSet(platform::ArchiveWriter& ar, const document::ChannelSet& set) {
  ar.WriteInt32(set.count);
  for (const int32_t channel : set.Channels()) ar.WriteInt32(channel);
}

// A stored set: a negative count holds no channels (the writer stores none after it), and of a count
// above the set's capacity the first channels are kept and the others read past. The channels kept
// must be recorder channels 0..2: other modules index per-channel arrays with them. stored_count
// receives the count of channels the file holds.
document::ChannelSet ReadChannelSet(platform::ArchiveReader& ar, const document::ChannelSet& like,
                                    const char* name, int32_t* stored_count = nullptr) {
  const int32_t count = document::ReadInt32Count(ar, 4);
  if (stored_count != nullptr) *stored_count = count;
  document::ChannelSet set = like;
  set.channels = {};
  set.count = std::min(count, like.capacity);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t channel = ar.ReadInt32();
    if (i >= set.count) continue;
    if (channel < 0 || channel >= document::kMaxChannels)
      throw platform::FormatError(ar.Where(), std::string(name) + " names channel " + std::to_string(channel));
    set.channels[static_cast<size_t>(i)] = channel;
  }
  return set;
}

// Copies as many channels as the target holds: a three-channel recording set of versions 26 and 27
// becomes an ST set of its first two channels.
void CopyTruncated(const document::ChannelSet& from, document::ChannelSet& to) {
  const auto channels = from.Channels();
  to.Assign(channels.first(std::min<size_t>(channels.size(), static_cast<size_t>(to.capacity))));
}

}  // namespace

TPatientData::TPatientData(const platform::Clock& clock) : birth_date(document::OleDateOnly(clock.Now())) {}

TPatientData::TPatientData(std::string first_name, std::string surname, std::string patient_id,
                           std::string address, std::string telephone, platform::OleDateTime birth_date,
                           std::string referring_address, std::string referred_to_address,
                           std::string insurance_address,
                           const std::array<int32_t, kLetterSwitchCount>& letter_switches,
                           std::string further_text, std::string station, int32_t sex, double height,
                           double weight, int32_t pacemaker)
    : first_name(std::move(first_name)),
      surname(std::move(surname)),
      patient_id(std::move(patient_id)),
      address(std::move(address)),
      telephone(std::move(telephone)),
      birth_date(birth_date),
      sex(sex),
      height(height),
      weight(weight),
      pacemaker(pacemaker),
      referring_address(std::move(referring_address)),
      referred_to_address(std::move(referred_to_address)),
      insurance_address(std::move(insurance_address)),
      letter_switches(letter_switches),
      further_text(std::move(further_text)),
      station(std::move(station)) {}

std::string TPatientData::GetAgeText(const platform::Clock& clock) const {
  const double days = document::OleDateOnly(clock.Now()).days - birth_date.days;
  // A damaged birth date must not reach the integer conversion.
  if (!std::isfinite(days) || std::fabs(days) > 1e9) return {};
  return std::to_string(static_cast<int64_t>(days) / 365);
}

std::string TPatientData::FormatNumber(double value, int decimals) {
  return document::FormatFixedNumber(value, decimals);
}

std::string TPatientData::GetSexText() const {
  if (sex == 1) return platform::LoadString(kStringFemale);
  if (sex == 2) return platform::LoadString(kStringMale);
  return {};
}

std::string TPatientData::GetBirthDateText() const { return document::FormatOleDateTime(birth_date, "%d.%m.%Y"); }

void TPatientData::Serialize(platform::ArchiveWriter& ar, int32_t version) const {
  ar.WriteInt32(version);
  if (version < 25 || version > 32) return;
  const document::DocumentContext& context = document::Context();
  const bool full = version >= 28;
  ar.WriteString(surname);
  ar.WriteString(first_name);
  ar.WriteString(patient_id);
  if (full) {
    ar.WriteString(address);
    ar.WriteString(telephone);
  }
  ar.WriteDateTime(birth_date);
  ar.WriteInt32(sex);
  ar.WriteDouble(height);
  ar.WriteDouble(weight);
  ar.WriteInt32(pacemaker);
  if (full) {
    ar.WriteString(referring_address);
    ar.WriteString(referred_to_address);
    ar.WriteString(insurance_address);
    for (const int32_t value : letter_switches) ar.WriteInt32(value);
    ar.WriteString(further_text);
  }
  if (version >= 30) ar.WriteString(station);
  if (version == 26 || version == 27) {
    WriteChannelSet(ar, context.g_AnalysisChannels);
    WriteChannelSet(ar, context.g_RecordingChannels);
  } else if (full) {
    WriteChannelSet(ar, context.g_AnalysisChannels);
    WriteChannelSet(ar, context.g_STChannels);
  }
}

void TPatientData::Load(platform::ArchiveReader& ar, document::MemberReadNotes* notes) {
  ar.SetContext("patient record");
  const int32_t version = document::ReadMemberVersion(ar);
  if (!document::IsKnownFileVersion(version)) {
    // Without notes nobody could tell the user why the patient is missing: the export of patient
    // records leaves such a file out.
    if (notes == nullptr)
      throw platform::FormatError(ar.Where(), "unknown version " + std::to_string(version) + " (expected " +
                                                  std::to_string(document::kMinFileVersion) + " to " +
                                                  std::to_string(document::kMaxFileVersion) + ")");
    // Writers store nothing after a version they do not know.
    notes->unknown_patient_version = version;
    ar.SetContext({});
    return;
  }
  document::DocumentContext& context = document::Context();
  TPatientData next = *this;
  document::ChannelSet analysis = context.g_AnalysisChannels;
  document::ChannelSet recording = context.g_RecordingChannels;
  document::ChannelSet st = context.g_STChannels;
  const bool full = version >= 28;

  next.surname = ar.ReadString();
  next.first_name = ar.ReadString();
  next.patient_id = ar.ReadString();
  if (full) {
    next.address = ar.ReadString();
    next.telephone = ar.ReadString();
  }
  next.birth_date = ar.ReadDateTime();
  next.sex = ar.ReadInt32();
  next.height = ar.ReadDouble();
  next.weight = ar.ReadDouble();
  next.pacemaker = ar.ReadInt32();
  if (full) {
    next.referring_address = ar.ReadString();
    next.referred_to_address = ar.ReadString();
    next.insurance_address = ar.ReadString();
    for (int32_t& value : next.letter_switches) value = ar.ReadInt32();
    next.further_text = ar.ReadString();
  }
  if (version >= 30) next.station = ar.ReadString();

  constexpr int32_t kFirstTwo[] = {0, 1};
  int32_t stored_analysis_channels = 2;
  if (version <= 25) {
    analysis.Assign(kFirstTwo);
    recording.Assign(kFirstTwo);
    st.Assign(kFirstTwo);
  } else if (version <= 27) {
    analysis = ReadChannelSet(ar, analysis, "analysis channel set", &stored_analysis_channels);
    recording = ReadChannelSet(ar, recording, "recording channel set");
    CopyTruncated(recording, st);
  } else {
    analysis = ReadChannelSet(ar, analysis, "analysis channel set", &stored_analysis_channels);
    st = ReadChannelSet(ar, st, "ST channel set");
    // Opening the recording sets it to all of its channels.
    recording.Assign(kFirstTwo);
  }

  ar.SetContext({});
  if (notes != nullptr) notes->stored_analysis_channels = stored_analysis_channels;
  *this = std::move(next);
  context.g_AnalysisChannels = analysis;
  context.g_RecordingChannels = recording;
  context.g_STChannels = st;
}
