#pragma once

#include <memory>

#include "document/document_host.h"

class CZK470Doc;

// The detector steps of the document that the analysis run, the event recomputation and the
// beat editor run over the working beat and event lists. Each removes the events of its kinds
// first and then finds them again. They run on the rhythm worker thread while the user-interface
// thread waits in the modal wait dialog, or on the user-interface thread.
namespace analysis {

// The process-wide analysis engine mode ("User" / "AnalyzeModus"): 0 built-in engine, 1 the
// external library, 2 the built-in engine under its second dialog.
int GetAnalysisMode(const CZK470Doc& doc);

// Ventricular couplets, triplets, runs, bigeminy and trigeminy (kinds 16..20).
void DetectPatternEvents(CZK470Doc& doc);
// Supraventricular beats and patterns (kinds 10..14). With the built-in engine (modes 0 and 2)
// every SVES first becomes normal again and the SVES template classes are emptied; then, when the
// SVES analysis is switched on, the full supraventricular analysis runs.
void DetectSVEvents(CZK470Doc& doc, int flag);
// Bradycardia and tachycardia episodes (kinds 7 and 8).
void DetectHeartRateEpisodes(CZK470Doc& doc);
// Pauses (kind 6).
void DetectPauses(CZK470Doc& doc);
// The rhythm detection worker's body: the steps above in order (the supraventricular one only
// when sv_flag is nonzero), then the heart-rate extremes with R-on-T and absolute arrhythmia.
void RunRhythmDetection(CZK470Doc& doc, int sv_flag);

// The R-on-T and absolute-arrhythmia detectors for one heart-rate extremes pass.
std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc& doc);

}  // namespace analysis
