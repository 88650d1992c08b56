#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CZK470Doc;
class TPatientData;
class TRecordingData;
namespace win {
class Window;
}

namespace tools {

// The BIN signal file: an 8-byte header of four little-endian 16-bit values (minutes, samples per
// second, channel count, microvolts per sample unit), then per minute 7500 frames of one signed
// 16-bit sample per channel of the display channel set, in the set's order.
inline constexpr int kBinHeaderBytes = 8;

// "Last First dd-mm-yyyy HH-MM ----- .BIN": the names only when given. Points, colons, slashes and
// control characters become "-", so that no name can reach into another folder.
std::string BinFileName(const TPatientData& patient, const TRecordingData& recording);

// What writing a BIN file did.
struct BinWriteResult {
  int minutes_written = 0;
  bool cancelled = false;
  // Why reading the samples or writing the file failed; the file was then not put in place.
  std::optional<std::string> error;
};

// Called after each minute with its index and the whole-minute count; false stops the export.
// It is called once more after a failed minute, so that a cancel at that moment is seen.
using BinMinuteDone = std::function<bool(int minute, int minutes)>;

// Writes the open recording's samples of the display channel set into path, every whole minute
// until after_minute says stop. The header states the minutes the file holds. The file is written
// beside the target and put in place when all minutes are written or the export was cancelled;
// after a failure the target stays as it was. Throws platform::IoError when the file cannot be
// created at all.
BinWriteResult WriteBinFile(CZK470Doc& doc, const std::string& path, const BinMinuteDone& after_minute);

// Command 33040: the open recording into its BIN file in the data directory.
void ExportBin(win::Window* frame, CZK470Doc& doc);
// Command 33055: every recording the user ticks, each into its BIN file in the data directory,
// with a result list at the end. Leaves the document reset.
void ExportBinMultiple(win::Window* frame, CZK470Doc* doc);

}  // namespace tools
