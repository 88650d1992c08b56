#pragma once

#include <string>

#include "platform/ids.h"

class CZK470Doc;
namespace win {
class Window;
}

namespace document_sheets {

// Commands of the document's settings sheets.
inline constexpr int kChannelsSheet = cmd::kChannels;
inline constexpr int kDisplaySpeedSheet = cmd::kDisplaySpeed;
inline constexpr int kAnalysisSheet = cmd::kAnalysisOptions;
inline constexpr int kHeartRateSheet = 32775;

// Sheet captions.
inline constexpr int kChannelsCaption = 32773;
inline constexpr int kAnalysisCaption = 32774;
inline constexpr int kHeartRateCaption = 32776;
inline constexpr int kDisplaySpeedCaption = 32777;

// True for the four commands above.
bool IsDocumentSheetCommand(int id);

// Shows the sheet of command id over parent and applies it to the document on OK. library_version
// is the external analysis library's version text as the status bar shows it (no point in it when
// the library does not load). False when id is not a sheet command.
bool RunDocumentSheet(CZK470Doc& doc, int id, win::Window* parent, const std::string& library_version);

}  // namespace document_sheets
