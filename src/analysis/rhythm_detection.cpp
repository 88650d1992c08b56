#include "analysis/rhythm_detection.h"

#include "analysis/abs_arrhythmia_detector.h"
#include "analysis/event_insertion.h"
#include "analysis/event_pattern_detector.h"
#include "analysis/heart_rate_episode_detector.h"
#include "analysis/pause_detector.h"
#include "analysis/ron_t_detector.h"
#include "analysis/sv_detector.h"
#include "document/profile_keys.h"
#include "document/zk470_doc.h"

namespace analysis {

namespace {

class PassDetectors : public document::HeartRatePassDetectors {
 public:
  explicit PassDetectors(CZK470Doc& doc) : ron_t_(doc), arrhythmia_(doc) {}
  void CheckROnT(int beat, int heart_rate) override { ron_t_.CheckBeat(beat, heart_rate); }
  void CheckArrhythmia(int beat, bool forced) override { arrhythmia_.CheckBeat(beat, forced ? 1 : 0); }

 private:
  TROnTDetector ron_t_;
  TAbsArrhythmiaDetector arrhythmia_;
};

bool UsesBuiltInEngine(const CZK470Doc& doc) { return GetAnalysisMode(doc) != 1; }

}  // namespace

int GetAnalysisMode(const CZK470Doc& doc) { return doc.GetSettings().Int(SettingKey::kUserAnalyzeModus); }

void DetectPatternEvents(CZK470Doc& doc) {
  RemoveEventsWhere(doc.GetEventList(), [](int kind) { return IsKindIn(kind, kClassVCouplet, kClassVTrigeminy); });
  TEventPatternDetector detector(doc);
  detector.Run(true, 0);
}

void DetectSVEvents(CZK470Doc& doc, int flag) {
  TQRSList& beats = doc.GetQRSList();
  const bool built_in = UsesBuiltInEngine(doc);
  if (built_in && beats.GetCounter(kClassSVES) > 0) {
    for (int i = 0; i < beats.GetSize(); ++i)
      if (beats.ElementAt(i)->GetClass() == kClassSVES) beats.SetClass(i, kClassNormal);
  }
  RemoveEventsWhere(doc.GetEventList(), [](int kind) { return IsKindIn(kind, kClassSVCouplet, kClassSVTrigeminy); });
  if (built_in) {
    TRecordingData& record = doc.GetRecordingData();
    for (TTemplateList& list : record.sves_classes) list.RemoveAll();
    record.sves_current.fill(0);
  }
  if (doc.GetSettings().Int(SettingKey::kAnalyzeSVAnalysisOn) == 0) return;
  TSVDetector detector(doc, doc.GetSVESPrematurityPercent());
  detector.Run(-1, -1);
}

void DetectHeartRateEpisodes(CZK470Doc& doc) {
  RemoveEventsWhere(doc.GetEventList(), [](int kind) { return kind == kClassBradycardia || kind == kClassTachycardia; });
  THeartRateEpisodeDetector detector(doc);
  detector.Run();
}

void DetectPauses(CZK470Doc& doc) {
  RemoveEventsWhere(doc.GetEventList(), [](int kind) { return kind == kClassPause; });
  TPauseDetector detector(doc, doc.GetPauseLimit(), doc.GetSampleRate());
  detector.Run(0, -1);
}

void RunRhythmDetection(CZK470Doc& doc, int sv_flag) {
  DetectPatternEvents(doc);
  if (sv_flag != 0) DetectSVEvents(doc, sv_flag);
  DetectHeartRateEpisodes(doc);
  DetectPauses(doc);
  doc.RecalcHeartRateExtremes(1, 1, 1);
}

std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc& doc) {
  return std::make_unique<PassDetectors>(doc);
}

}  // namespace analysis
