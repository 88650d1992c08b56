#pragma once

#include <string>

namespace platform {
class ResourcePack;
}

// The texts of the ECG screens' windows and areas: the sample windows' short labels and channel
// names, the caption of the time axis, the entries of the strip window's context menu, and the
// prompts of the commands of the strip, page, sample and navigation windows (the status-bar
// text, a line end, the tool tip). German to the German pack, English to every other one.
void AddViewResources(platform::ResourcePack& pack);

// The tool tip of a command: its prompt string after the line end (the whole string when it has
// none); empty when the command has no string. From the pack that serves loads now.
std::string ToolTipOfCommand(int id);
