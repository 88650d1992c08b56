#pragma once

#include <functional>
#include <string>

class CZK470Doc;
class TQRSList;
class TRecordingData;
namespace platform {
class ResourcePack;
}
namespace win {
class Window;
}

namespace tools {

// Title of the recording picker of the RR export of several recordings.
inline constexpr int kIdsRRMultiExportTitle = 59400;

// English texts into every pack, German ones into "ZK470Ger".
void AddRRMultiExportResources(platform::ResourcePack& pack);

// The RR file of a ".QRS": its last three characters replaced by "RR" (00017.QRS gives 00017.RR).
std::string RRFilePath(const std::string& qrs_path);
// How messages name it: the file name without folder and extension, then ".RR".
std::string RRShownName(const std::string& qrs_path);

// Called when the beat index passes the next fifth of the list, with 20, 40, 60, ...
using RRProgress = std::function<void(int percent)>;

// The RR file's text: the start time of day "HH:MM:SS", then for each pair of consecutive beats the
// time of the first in ms, a tab, the interval in ms, a tab and the first beat's class label
// (strings 4200 + class for pacemaker, normal, artefact, SVES, VES and paced beats, else a blank).
// Lines end in a line feed alone. Fewer than two beats give an empty text.
std::string RRIntervalText(const TRecordingData& recording, const TQRSList& beats,
                           const RRProgress& progress);

// Command 33056: for every recording the user ticks, its RR file beside its ".QRS", read straight
// from the file without opening the recording; a result list at the end. Leaves the document reset.
void ExportRRMultiple(win::Window* frame, CZK470Doc* doc);

}  // namespace tools
