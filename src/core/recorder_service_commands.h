#pragma once

#include "platform/ids.h"

class CZK470Doc;
namespace win {
class Window;
}

// The main frame's recorder service commands.
inline constexpr int kCmdRecorderTest = cmd::kRecorderTest;
inline constexpr int kCmdZK131Test = cmd::kZK131Test;
inline constexpr int kCmdUsbTest = cmd::kUsbTest;
inline constexpr int kCmdRawDataTest = cmd::kRawDataTest;

// Opens the service dialog of the command (modal, the program's own resources active) on the
// document of the active view; the recorder and command testers first return the view to the
// start screen. The raw data test then asks for the file and writes the test card image.
void RunRecorderServiceCommand(int command, CZK470Doc& document, win::Window* parent);
