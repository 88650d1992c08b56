#pragma once

#include <string>

#include "platform/ids.h"

class CZK470Doc;
class TQRSList;
class TTemplateList;

// The steps of the analysis run that take the engine's result over into the recording: events
// from the recorder's markers, the engine's template classes, the special classes, the
// supraventricular classes, the ST take-over and the analysis record. Each works on the document
// on the thread that runs the analysis (the user-interface thread, or a worker while that thread
// waits in a modal dialog).
namespace analysis {

inline constexpr int kDefaultSampleRate = 125;
// The analysing program written into the recording record (the engine's version: the registry).
inline constexpr const char* kProgramName = "ZK-470";
inline constexpr const char* kProgramBuild = "2.04";
// Record classes filled from the engine's classes; the last two stay free for the special classes.
inline constexpr int kCopiedTemplateClasses = 298;

// Appends patient markers (kind 3) and pacemaker spikes (kind 0, pacemaker recordings only) and
// inserts lead-off episodes (kind 4), recorder minutes (kind 32) and battery-off segments (kind
// 34) from the info list, then empties it. store_markers: the recording record's recorder marker
// positions become the kind-1 markers.
void BuildEventsFromInfoList(CZK470Doc& doc, bool store_markers);
// Beats next to a first-channel marker: a VES or artefact closer than 0.4 s to the beat before
// leaves the engine beat list; another VES becomes an artefact.
void RemoveMarkerArtefacts(CZK470Doc& doc);
// The working beat list becomes an exact copy of the engine beat list.
void TakeOverEngineBeats(CZK470Doc& doc);
// Normal beats that the engine filed in artefact class 0 become artefacts.
void MarkArtefactClassBeats(CZK470Doc& doc);
// The recording record's classes 0..297 become copies of the working lists (SVES only in mode 1);
// classes 298 and 299 are emptied; copied current members 0.
void CopyWorkingTemplateClasses(CZK470Doc& doc, int analysis_mode);
// Sets the two special classes of the normal, VES and SVES families behind the last used class
// (every index within 0..299, else -1) and files the engine's surplus VES classes into the second
// special VES class.
void AssignSpecialTemplateClasses(CZK470Doc& doc);
// Keeps `keep` VES classes besides the two special ones; the others join the second special class.
void ReduceTemplateClasses(CZK470Doc& doc, int keep);
// VES beats that are in no VES class join the second special VES class.
void CollectUnassignedVESBeats(CZK470Doc& doc);
// Moves the entries of `from` whose beat is an SVES of `beats` to the end of `to`, in order; each
// removal goes through the list's undo log.
void MoveSVESEntries(TTemplateList& from, TTemplateList& to, const TQRSList& beats);
// Moves the SVES beats of the normal classes (and of artefact class 0) into the SVES classes of
// the same index, then compacts and sorts every family.
void RebuildSVESTemplateClasses(CZK470Doc& doc);
// Prepares the ST result record for an ST analysis; full receives 0 when only the episodes must be
// found again, 1 when the values must be measured. Returns 1.
int PrepareSTAnalysis(CZK470Doc& doc, int* full);
// The recording record becomes the ST result record; the ST episode events of the working event
// list are replaced by those of the engine event list.
void TakeOverSTResults(CZK470Doc& doc);
// The analysing program, engine text, time and setting indices of this analysis.
void StoreAnalysisInfo(CZK470Doc& doc, int analysis_mode, const std::string& library_version_text);
// Between runs the engine beat list and the working template lists are empty.
void ClearEngineResults(CZK470Doc& doc);

}  // namespace analysis
