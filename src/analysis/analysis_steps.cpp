#include "analysis/analysis_steps.h"

#include <algorithm>
#include <array>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "analysis/event_insertion.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"

namespace analysis {

namespace {

constexpr int kMaxEventsForPacemakerSpikes = 500000;
constexpr int32_t kRecorderMinuteSamples = 60 * kDefaultSampleRate;
constexpr int32_t kBatteryOffSamples = 30 * kDefaultSampleRate;
constexpr double kSTOffsetSeconds = 0.056;

bool IsValidClass(int32_t index) { return index >= 0 && index < TRecordingData::kTemplateClasses; }

// One event per run of markers `step` apart: the first marker of a run inserts (p, p + step); each
// marker exactly `step` after the previous one extends the event inserted last.
void InsertSegments(TEventList& events, const std::vector<int32_t>& positions, int32_t step, uint8_t kind) {
  int last = -1;
  for (size_t i = 0; i < positions.size(); ++i) {
    const int32_t p = positions[i];
    if (i > 0 && last >= 0 && int64_t{p} - positions[i - 1] == step) {
      events.ElementAt(last)->SetEnd(p + step);
      continue;
    }
    last = InsertEventInOrder(events, TEvent(p, p + step, kind), 0);
  }
}

// 1 + the highest class with beats, 0 when all are empty.
int32_t FirstAfterUsed(const TRecordingData::TemplateFamily& family) {
  for (int c = TRecordingData::kTemplateClasses - 1; c >= 0; --c)
    if (family[static_cast<size_t>(c)].GetSize() > 0) return c + 1;
  return 0;
}

int32_t WithinClasses(int32_t index) { return IsValidClass(index) ? index : -1; }

}  // namespace

void BuildEventsFromInfoList(CZK470Doc& doc, bool store_markers) {
  TZK130InfoList& info = doc.GetInfoList();
  TEventList& events = doc.GetEventList();
  TRecordingData& record = doc.GetRecordingData();

  const std::vector<int32_t>& patient = info.Positions(0);
  const std::vector<int32_t>& pacer = info.Positions(2);
  size_t a = 0;
  size_t b = 0;
  int hint = 0;
  while (a < patient.size() || b < pacer.size()) {
    // On equal positions the pacemaker spike comes first.
    if (b < pacer.size() && (a >= patient.size() || pacer[b] <= patient[a])) {
      const int32_t p = pacer[b++];
      if (record.pacemaker_recording != 0 && events.GetSize() < kMaxEventsForPacemakerSpikes)
        hint = InsertEventInOrder(events, TEvent(p, p, kClassPaceMaker), hint) + 1;
    } else {
      const int32_t p = patient[a++];
      hint = InsertEventInOrder(events, TEvent(p, p, kClassMarker), hint) + 1;
    }
  }

  if (store_markers) record.recorder_markers = info.Positions(1);

  const int32_t end_of_recording = doc.GetRecordingMinutes() * kRecorderMinuteSamples;
  std::vector<TInfoEpisode> episodes;
  for (int channel = 0; channel < 2; ++channel) {
    for (const TInfoEpisode& e : info.Episodes(channel)) episodes.push_back(e);
    if (info.IsEpisodeOpen(channel)) episodes.push_back({channel, info.OpenEpisodeStart(channel), end_of_recording});
  }
  std::stable_sort(episodes.begin(), episodes.end(), [](const TInfoEpisode& x, const TInfoEpisode& y) {
    return x.start != y.start ? x.start < y.start : x.channel < y.channel;
  });
  for (const TInfoEpisode& e : episodes) InsertEventInOrder(events, TEvent(e.start, e.end, kClassLeadOff), 0);

  InsertSegments(events, info.Positions(4), kRecorderMinuteSamples, kClassRecorderMinute);
  InsertSegments(events, info.Positions(5), kBatteryOffSamples, kClassBattOff);

  info.RemoveAll();
  info.FreeExtra();
}

void RemoveMarkerArtefacts(CZK470Doc& doc) {
  TQRSList& beats = doc.GetEngineQRSList();
  const int32_t near_samples = static_cast<int32_t>(kDefaultSampleRate * 0.208);
  const int32_t close_samples = static_cast<int32_t>(kDefaultSampleRate * 0.4);
  TBeatEditor editor(doc, 1);
  int i = 0;
  for (const int32_t marker : doc.GetInfoList().Positions(1)) {
    if (i >= beats.GetSize()) break;
    while (i < beats.GetSize() && int64_t{beats.ElementAt(i)->GetPosition()} + near_samples < marker) ++i;
    if (i <= 1) continue;
    if (i >= beats.GetSize()) break;
    const int c = beats.ElementAt(i)->GetClass();
    const int32_t rr = beats.ElementAt(i)->GetPosition() - beats.ElementAt(i - 1)->GetPosition();
    if ((c == kClassVES || c == kClassArtefact) && rr < close_samples) {
      editor.RemoveWorkingBeatAndShift(i);
      beats.RemoveAt(i);
      continue;
    }
    if (c == kClassVES) {
      editor.RemoveWorkingBeat(i);
      doc.GetEngineTemplates(CZK470Doc::kEngineFamilyArtefact)[0].Append(i);
      beats.SetClass(i, kClassArtefact);
    }
    ++i;
  }
  editor.SortWorkingTemplateClasses();
}

void TakeOverEngineBeats(CZK470Doc& doc) {
  TQRSList& beats = doc.GetQRSList();
  beats.RemoveAll();
  for (const TQRSComplex& beat : doc.GetEngineQRSList().Elements()) beats.Append(beat);
}

void MarkArtefactClassBeats(CZK470Doc& doc) {
  TQRSList& beats = doc.GetQRSList();
  for (const TTemplate& entry : doc.GetEngineTemplates(CZK470Doc::kEngineFamilyArtefact)[0].Elements()) {
    const int beat = entry.GetBeatIndex();
    if (beat >= 0 && beat < beats.GetSize() && beats.ElementAt(beat)->GetClass() == kClassNormal)
      beats.SetClass(beat, kClassArtefact);
  }
}

void CopyWorkingTemplateClasses(CZK470Doc& doc, int analysis_mode) {
  TRecordingData& r = doc.GetRecordingData();
  struct Pair {
    TRecordingData::TemplateFamily* record;
    TRecordingData::MemberIndices* current;
    int engine_family;
  };
  std::vector<Pair> pairs = {{&r.normal_classes, &r.normal_current, CZK470Doc::kEngineFamilyNormal},
                             {&r.ves_classes, &r.ves_current, CZK470Doc::kEngineFamilyVES},
                             {&r.artefact_classes, &r.artefact_current, CZK470Doc::kEngineFamilyArtefact}};
  if (analysis_mode == 1) pairs.push_back({&r.sves_classes, &r.sves_current, CZK470Doc::kEngineFamilySVES});
  for (const Pair& pair : pairs) {
    const CZK470Doc::EngineTemplateFamily& working = doc.GetEngineTemplates(pair.engine_family);
    for (size_t k = 0; k < TRecordingData::kTemplateClasses; ++k) {
      // Classes 298 and 299 would otherwise keep the previous analysis's beats.
      if (k < static_cast<size_t>(kCopiedTemplateClasses)) {
        (*pair.record)[k].Copy(working[k]);
      } else {
        (*pair.record)[k].RemoveAll();
      }
      (*pair.current)[k] = 0;
    }
  }
}

void AssignSpecialTemplateClasses(CZK470Doc& doc) {
  TRecordingData& r = doc.GetRecordingData();
  const int32_t f_normal = FirstAfterUsed(r.normal_classes);
  const int32_t f_ves = FirstAfterUsed(r.ves_classes);
  const int32_t f_sves = FirstAfterUsed(r.sves_classes);

  // The engine's special class counts only when it was copied into the record.
  const int32_t engine_special = doc.GetSpecialNormalClass();
  if (engine_special >= 0 && engine_special < kCopiedTemplateClasses) {
    r.normal_special = {engine_special, WithinClasses(f_normal)};
  } else {
    r.normal_special = {WithinClasses(f_normal), WithinClasses(f_normal + 1)};
  }
  r.ves_special = {WithinClasses(f_ves), WithinClasses(f_ves + 1)};
  if (r.sves_special[0] != -1 && IsValidClass(r.sves_special[0])) {
    r.sves_special[1] = WithinClasses(f_sves);
  } else {
    r.sves_special = {WithinClasses(f_sves), WithinClasses(f_sves + 1)};
  }

  const int32_t s2 = r.ves_special[1];
  if (!IsValidClass(s2)) return;
  // The engine's classes beyond those copied (up to 999) join the second special VES class.
  TTemplateList& target = r.ves_classes[static_cast<size_t>(s2)];
  const CZK470Doc::EngineTemplateFamily& working = doc.GetEngineTemplates(CZK470Doc::kEngineFamilyVES);
  for (size_t k = kCopiedTemplateClasses; k < working.size(); ++k)
    for (const TTemplate& entry : working[k].Elements()) target.Append(entry);
}

void ReduceTemplateClasses(CZK470Doc& doc, int keep) {
  TRecordingData& r = doc.GetRecordingData();
  const int32_t s1 = r.ves_special[0];
  const int32_t s2 = r.ves_special[1];
  if (!IsValidClass(s2)) return;
  // The two special classes do not count among those kept.
  if (s2 < keep) ++keep;
  if (s1 >= 0 && s1 < keep) ++keep;
  TTemplateList& target = r.ves_classes[static_cast<size_t>(s2)];
  for (int k = std::max(keep, 0); k < TRecordingData::kTemplateClasses; ++k) {
    if (k == s1 || k == s2) continue;
    TTemplateList& list = r.ves_classes[static_cast<size_t>(k)];
    if (list.GetSize() > 0) {
      for (const TTemplate& entry : list.Elements()) target.Append(entry);
      list.RemoveAll();
    }
    r.ves_current[static_cast<size_t>(k)] = 0;
  }
  if (target.GetSize() > 0) r.ves_current[static_cast<size_t>(s2)] = 0;
}

void CollectUnassignedVESBeats(CZK470Doc& doc) {
  TRecordingData& r = doc.GetRecordingData();
  const int32_t s2 = r.ves_special[1];
  if (!IsValidClass(s2)) return;
  const TQRSList& beats = doc.GetQRSList();
  std::vector<bool> filed(static_cast<size_t>(beats.GetSize()), false);
  for (const TTemplateList& list : r.ves_classes)
    for (const TTemplate& entry : list.Elements())
      if (entry.GetBeatIndex() >= 0 && entry.GetBeatIndex() < beats.GetSize()) filed[static_cast<size_t>(entry.GetBeatIndex())] = true;
  TTemplateList& target = r.ves_classes[static_cast<size_t>(s2)];
  for (int i = 0; i < beats.GetSize(); ++i)
    if (beats.ElementAt(i)->GetClass() == kClassVES && !filed[static_cast<size_t>(i)]) target.Append(i);
}

void MoveSVESEntries(TTemplateList& from, TTemplateList& to, const TQRSList& beats) {
  for (int e = 0; e < from.GetSize();) {
    const int beat = from.GetAt(e).GetBeatIndex();
    if (beat >= 0 && beat < beats.GetSize() && beats.ElementAt(beat)->GetClass() == kClassSVES) {
      to.Append(from.GetAt(e));
      from.RemoveAt(e);
    } else {
      ++e;
    }
  }
}

void RebuildSVESTemplateClasses(CZK470Doc& doc) {
  TRecordingData& r = doc.GetRecordingData();
  const TQRSList& beats = doc.GetQRSList();
  for (TTemplateList& list : r.sves_classes) list.RemoveAll();
  r.sves_current.fill(0);
  for (size_t k = 0; k < TRecordingData::kTemplateClasses; ++k) {
    if (static_cast<int32_t>(k) == r.normal_special[0]) r.sves_special[0] = static_cast<int32_t>(k);
    MoveSVESEntries(r.normal_classes[k], r.sves_classes[k], beats);
  }
  // The SVES beats among the engine's artefacts go to the first special SVES class, when there is
  // one; otherwise they stay where they are rather than in no class at all.
  if (IsValidClass(r.sves_special[0]))
    MoveSVESEntries(r.artefact_classes[0], r.sves_classes[static_cast<size_t>(r.sves_special[0])], beats);
  TBeatEditor(doc, 1).CompactAndSortTemplateClasses();
}

int PrepareSTAnalysis(CZK470Doc& doc, int* full) {
  TRecordingData& st = doc.GetSTResultData();
  const double offset1 = st.st_offset1;
  const double offset2 = st.st_offset2;
  const double point_offset = st.st_point_offset;
  st.st_offset1 = kSTOffsetSeconds;
  st.st_offset2 = kSTOffsetSeconds;
  st.st_point_offset = doc.GetSTPointOffset();
  st.st_point_distance = doc.GetSTPointValue();
  bool same = st.st_offset1 == offset1 && st.st_offset2 == offset2 && st.st_point_offset == point_offset &&
              doc.GetRecordingData().st_results_current != 0;
  const document::ChannelSet& channels = document::Context().g_STChannels;
  for (int i = 0; i < TRecordingData::kStChannels && same; ++i) {
    const bool on = i < channels.count && doc.IsSTTrendOn(channels.channels[static_cast<size_t>(i)]);
    same = on == (st.st_channel_analysed[static_cast<size_t>(i)] != 0);
  }
  if (full != nullptr) *full = same ? 0 : 1;
  return 1;
}

void TakeOverSTResults(CZK470Doc& doc) {
  TRecordingData& record = doc.GetRecordingData();
  record = doc.GetSTResultData();
  record.st_results_current = 1;
  TEventList& events = doc.GetEventList();
  RemoveEventsWhere(events, [](int kind) { return IsKindIn(kind, kClassSTEpisode1, kClassSTEpisode3); });
  int from = 0;
  for (const TEvent& event : doc.GetEngineEventList().Elements()) {
    from = events.FindNextAfterPosition(event.GetPosition(), std::min(from, events.GetSize()));
    events.InsertAt(from, event, 1);
  }
}

void StoreAnalysisInfo(CZK470Doc& doc, int analysis_mode, const std::string& library_version_text) {
  TRecordingData& r = doc.GetRecordingData();
  const SettingsStore& settings = doc.GetSettings();
  r.analysing_program = std::string(kProgramName) + " " + std::string(kProgramBuild);
  switch (analysis_mode) {
    case 2: r.analysis_engine = "Error"; break;
    case 1: r.analysis_engine = "VRA " + library_version_text; break;
    default: r.analysis_engine = std::string("Olvek ") + kBuiltInEngineVersion; break;
  }
  r.analysis_time = document::ToOleDateTime(doc.GetClock().Now());
  const bool sves_on = settings.Int(SettingKey::kAnalyzeSVAnalysisOn) != 0;
  const bool arrhythmia_on = settings.Int(SettingKey::kAnalyzeAbsArrhythmiaOn) != 0;
  r.tachycardia_threshold = settings.Int(SettingKey::kAnalyzeTachycardia);
  r.pause_threshold = settings.Int(SettingKey::kAnalyzePauseA);
  r.bradycardia_threshold = settings.Int(SettingKey::kAnalyzeBradycardia);
  r.sves_analysis_on = settings.Int(SettingKey::kAnalyzeSVAnalysisOn);
  r.arrhythmia_analysis_on = settings.Int(SettingKey::kAnalyzeAbsArrhythmiaOn);
  r.sves_prematurity = sves_on ? settings.Int(SettingKey::kAnalyzeSVESPrematurity) : -1;
  r.arrhythmia_deviation = arrhythmia_on ? settings.Int(SettingKey::kAnalyzeArrhyPrematurity) : -1;
  r.arrhythmia_min_duration = arrhythmia_on ? settings.Int(SettingKey::kAnalyzeArrhyDuration) : -1;
}

void ClearEngineResults(CZK470Doc& doc) {
  doc.GetEngineQRSList().RemoveAll();
  for (int family = 0; family < CZK470Doc::kEngineFamilies; ++family)
    for (TTemplateList& list : doc.GetEngineTemplates(family)) list.RemoveAll();
  doc.SetSpecialNormalClass(-1);
}

}  // namespace analysis
