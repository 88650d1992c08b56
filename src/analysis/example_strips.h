#pragma once

class CZK470Doc;

// The example strips of the report: for each interesting beat class and event kind up to three
// times (milliseconds from the recording start, -1 none) in the recording record. The first
// strip is the first occurrence, the others the first occurrences in later thirds of the
// recording. Work on the document's working lists on the user-interface thread (or the analysis
// worker while that thread waits).
namespace analysis {

// Sets every time to -1 and chooses them afresh for every kind that gets strips.
void ChooseExampleStrips(CZK470Doc& doc);
// 1 when the class (kind) occurs and times were chosen, else 0.
int ChooseBeatExampleStrips(CZK470Doc& doc, int beat_class);
int ChooseEventExampleStrips(CZK470Doc& doc, int event_kind);
// After edits: keeps each stored time whose beat (event) is still there within half a second,
// and replaces the others by an occurrence not chosen yet.
void CheckExampleStrips(CZK470Doc& doc);
// -1 when the class (kind) does not occur (its three times become -1), else 0.
int CheckBeatExampleStrips(CZK470Doc& doc, int beat_class);
int CheckEventExampleStrips(CZK470Doc& doc, int event_kind);
// The document's kind-selection flags: 1 for every kind that occurs in the lists (pacemaker,
// lead-off and artefact codes never; a pattern or arrhythmia form selects its main kind too).
void MarkOccurringKinds(CZK470Doc& doc);

}  // namespace analysis
