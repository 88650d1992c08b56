#include "layouts/template_review_dialogs.h"

namespace {

// Describes the program, not one run: installed once at start-up.
CTemplateReviewDialogs* g_dialogs = nullptr;

}  // namespace

void SetTemplateReviewDialogs(CTemplateReviewDialogs* dialogs) { g_dialogs = dialogs; }

CTemplateReviewDialogs* GetTemplateReviewDialogs() { return g_dialogs; }
