#pragma once

#include <cstdint>

class CZK470Doc;
class TEventList;
class TQRSList;

// Relates the pacemaker spikes (events of kind 0 in the working event list) to the beats around
// them: labels the paced beat with the paced class and files each spike's position into one of the
// recording record's pacemaker classes 0..14 (classes 15..49 are the user's). Positions in samples.
// Borrows the document's lists; created for one call and deleted, on the thread that owns the
// document at that moment (the wait dialog's worker or the user-interface thread).
class TPMAnalysis {
 public:
  static constexpr int kSpikeKind = 0;
  // Classes the analysis fills.
  static constexpr int kClassTwoSpikes = 0;
  static constexpr int kClassPaced = 2;
  static constexpr int kClassEarly = 5;
  static constexpr int kClassPacedWithFollower = 7;
  static constexpr int kClassAfterPrevious = 10;
  static constexpr int kClassNotPaced = 12;
  static constexpr int kClassOther = 14;
  static constexpr int kAnalysedClasses = 15;

  explicit TPMAnalysis(CZK470Doc& doc);

  // The whole recording: the pacemaker classes start empty.
  void AnalyzeAll();
  // After a beat edit: the spikes of events from..to (exclusive) move to the classes they now
  // belong to. The spike at `from` takes part only when an analysis filed it before.
  void ReanalyzeAround(int from_event, int to_event);

  // The average RR interval in samples at the spike classified last; 0 when none could be formed.
  double GetAverageRR() const { return average_rr_; }

 private:
  // reanalysis 1: each spike leaves the classes it was in before it is filed. working 1: paced
  // beats leave the engine's template lists, else the recording record's.
  void AnalyzeRange(int first_event, int end_event, int reanalysis, int working);
  // Classifies the spike at e with the beat cursor at `beat`; returns the event to go on with.
  int ClassifySpike(int e, int beat, int reanalysis);
  void FileSpike(int e, int pm_class, int reanalysis);
  void RemoveSpikeFromPMClasses(int event_index);
  void RemovePacedBeatsFromTemplates(int working);
  // Mean of up to eight similar RR intervals going back from the beat.
  double AverageRRBefore(int beat) const;
  // The first spike after event e whose start lies before `limit`; -1 when none.
  int NextSpikeBefore(int e, int64_t limit) const;
  bool IsSpike(int e) const;
  int32_t EventStart(int e) const;
  int32_t BeatPosition(int beat) const;
  bool IsFiledInAnalysedClass(int e) const;

  CZK470Doc& doc_;
  TQRSList& beats_;
  TEventList& events_;
  double rate_;
  double average_rr_ = 0.0;
};

namespace analysis {

// The document's pacemaker analysis of the whole recording (the run's pacemaker step).
void RunPacemakerAnalysis(CZK470Doc& doc);

}  // namespace analysis
