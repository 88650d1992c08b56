#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class CZK470Doc;

// The outside tape program's run as the wait dialog shares it with the conversion's worker: the
// dialog asks for a stop, the conversion kills the program's process group and converts nothing.
// ended is set once the program has gone, after which it can no longer be stopped.
struct TTapeProcess {
  std::atomic<bool> stop{false};
  std::atomic<bool> ended{false};
};

namespace tape {

inline constexpr size_t kBlockBytes = 23040;   // one minute of 7680 three-byte frames at 128 Hz
inline constexpr size_t kMinuteBytes = 15000;  // one minute of 7500 two-byte frames at 125 Hz
inline constexpr int kProgramWaitMs = 600000;
inline constexpr int kStillActive = 259;  // the program did not end within the wait
inline constexpr int kNotStarted = -1;
inline constexpr int kFileWriteError = 13;  // the tape program's own code for it

// 128 frames per second to 125: in each second three frames are dropped, one in each third of
// its first 126 frames, where both channels are flattest.
void ConvertBlock(std::span<const uint8_t, kBlockBytes> block, std::span<uint8_t, kMinuteBytes> minute);

// "HOLTER.DAT" to the 125 Hz minutes of "HOLTER.TMP": the first cal_blocks blocks are skipped, a
// short last block is dropped. False when either file cannot be opened.
bool ConvertRawFile(const std::string& dat_path, const std::string& tmp_path, int cal_blocks);

// Keeps the first frame of every pair; cvt_path is the work file that then replaces tmp_path. On
// failure to open either file nothing changes.
bool HalveTapeRate(const std::string& tmp_path, const std::string& cvt_path);

// Whole minutes at the end of the file whose first half-minute stays within 25 of 128 in both
// channels (at most 5 samples outside per channel).
size_t CountFlatTailMinutes(const std::string& tmp_path);

// Copies the minutes before the flat tail into tap_path. False when either file cannot be opened.
bool WriteTapeFile(const std::string& tmp_path, const std::string& tap_path);

// The program's path and its arguments as the conversion runs it.
std::string ProgramPath(const CZK470Doc& doc);
std::string RawFilePath(const CZK470Doc& doc);
std::string TapeFilePath(const CZK470Doc& doc);

}  // namespace tape

// Runs the tape program (waiting at most 10 minutes) and, when it ended with 0, converts its
// "HOLTER.DAT" into "HOLTER.TAP" of the data directory. Returns the program's exit code:
// tape::kNotStarted when it could not be started or was stopped, tape::kStillActive after the
// wait ran out, tape::kFileWriteError when the tape file could not be written (none is left). A
// stop requested through process means nothing is converted. Worker thread: it
// reads only the document's settings and folders.
int ReadBraemarTape(const CZK470Doc& doc, TTapeProcess& process);
