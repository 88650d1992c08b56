#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "recorder/recorder_reader.h"

class CZK470Doc;
class CZK470View;
namespace platform {
class ResourcePack;
}
namespace win {
class CmdUI;
}

struct ReadRecorderServices {
  // Empty: the device search with the settings.
  TRecorderReader::DeviceSearch search;
};

// The main view's read-recorder command: warns when the data directory runs short of space, runs
// the read-out dialog, opens the new (or the existing) recording and offers the patient data
// command when "DoAskPatData" is on, no automation runs and the patient is incomplete. Sets the
// automation exit code: 0 done, 20 cancelled or failed (work files 6 and 7 are gone then).
void RunReadRecorderCommand(CZK470View& view, const ReadRecorderServices& services = {});

// The menu state of the read-out commands (recorder and tape): disabled while the online monitor
// and programming screen is shown, else enabled.
void UpdateReadRecorderCommand(const CZK470Doc& doc, win::CmdUI& ui);

// True when the data directory's file system has at least minimum_bytes free; false for a data
// directory text of two characters or fewer.
bool HasFreeDiskSpace(const CZK470Doc& doc, uint32_t minimum_bytes);
// A file time in local time to the second, written with "%c" in the process's LC_TIME.
std::string FormatFileTime(std::filesystem::file_time_type time);

// String 33247, the question after a read-out.
void AddReadRecorderCommandResources(platform::ResourcePack& pack);
