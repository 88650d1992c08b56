#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CZK470Doc;

namespace tools {

// The two fixed files of the widening, in the data directory.
inline constexpr const char* kNarrowSignalFile = "Aha1201.552";
inline constexpr const char* kWideSignalFile = "Aha1201x.553";

// Two-channel frames (two 16-bit words) become three-channel frames: channel 1, channel 2 and
// channel 1 again. A trailing partial frame is dropped.
std::vector<uint8_t> WidenFrames(std::span<const uint8_t> two_channel);

// Command 33060: writes the three-channel file from the two-channel one and says "Done". Without
// its input, or when a file cannot be read or written, it says so and leaves no output behind.
void ConvertAhaSignalFile(CZK470Doc& doc);

}  // namespace tools
