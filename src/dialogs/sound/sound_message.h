#pragma once

#include <string>

// Message boxes of the sound path. On the user-interface thread they are shown at once; called on
// a sound thread (a device error, a failed write while recording) they are posted to the
// user-interface thread and shown there, since only that thread may show a box.

// Formats the text printf-style and shows it with the exclamation icon.
void ShowSoundMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A plain box (no icon), as the wave file's messages appear.
void ShowPlainSoundMessage(const std::string& text);
