#include "views/view_dialogs.h"

namespace {

CViewDialogs* g_view_dialogs = nullptr;

}  // namespace

void SetViewDialogs(CViewDialogs* dialogs) { g_view_dialogs = dialogs; }

CViewDialogs* GetViewDialogs() { return g_view_dialogs; }
