#pragma once

#include <string>
#include <vector>

class CZK470Doc;
namespace platform {
class Clock;
class Locale;
}  // namespace platform
namespace win {
class Window;
}

namespace tools {

// The report of a RAW card image: the header, the block table against the file size and the
// block limits, the voice, patient, recording and address blocks, ending "No error found" or
// "Error found". Only reads the file; every problem is a line, nothing throws. Dates and times
// missing from a block read as the clock's today; they are shown in the locale's form.
[[nodiscard]] std::vector<std::string> CheckRawFileLines(const std::string& path,
                                                         const platform::Clock& clock,
                                                         const platform::Locale& locale);

// Asks for a RAW image in the SD-card folder and shows its report ("Check RAW - File - Results").
// Does nothing without a document or when the open dialog is cancelled.
void CheckRawFile(win::Window* frame, CZK470Doc* doc);

}  // namespace tools
