#pragma once

#include <optional>
#include <string>

#include "layouts/template_review_dialogs.h"

// The template review's questions on the program's dialogs: the number input (template 269) and
// the delete choice (template 30740). User-interface thread only.
class TTemplateReviewDialogService : public CTemplateReviewDialogs {
 public:
  std::optional<std::string> AskNumber(const std::string& initial) override;
  bool ChooseDelete(win::Window* parent) override;
};

// Makes the template review reach these dialogs; called once at start-up.
void InstallTemplateReviewDialogs();
