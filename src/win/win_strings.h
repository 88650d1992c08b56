#pragma once

namespace platform {
class ResourcePack;
}

namespace win {

// Ids of the texts of a property sheet's buttons.
inline constexpr int kIdsSheetOk = 0xF200;
inline constexpr int kIdsSheetCancel = 0xF201;
inline constexpr int kIdsSheetApply = 0xF202;
inline constexpr int kIdsSheetHelp = 0xF203;
// Ids of the texts of a message box's buttons (OK and Cancel share the sheet's).
inline constexpr int kIdsBoxYes = 0xF204;
inline constexpr int kIdsBoxNo = 0xF205;
inline constexpr int kIdsBoxRetry = 0xF206;
inline constexpr int kIdsBoxAbort = 0xF207;
inline constexpr int kIdsBoxIgnore = 0xF208;

// Adds the window system's own texts (data-exchange messages, sheet and message box buttons) to a pack:
// German to the German pack, English to every other one (the program's own pack included).
void AddWindowSystemResources(platform::ResourcePack& pack);

}  // namespace win
