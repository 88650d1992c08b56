#include "win/clipboard.h"

namespace win {

namespace {

TextClipboard* g_clipboard = nullptr;

}  // namespace

TextClipboard* CurrentClipboard() { return g_clipboard; }

void SetClipboard(TextClipboard* clipboard) { g_clipboard = clipboard; }

}  // namespace win
