#pragma once

#include <optional>
#include <string>

namespace win {
class Window;
}

// The dialogs the template review screens open, which live in a layer above them. The dialogs
// library installs its implementation at start-up; until then every question counts as
// cancelled. User-interface thread only.
class CTemplateReviewDialogs {
 public:
  virtual ~CTemplateReviewDialogs() = default;
  // The number question (at most three digits) starting with `initial`: the text typed after
  // OK, nullopt when cancelled.
  virtual std::optional<std::string> AskNumber(const std::string& initial) = 0;
  // The delete choice: true when the user chose to delete.
  virtual bool ChooseDelete(win::Window* parent) = 0;
};

// Not owned; nullptr removes it.
void SetTemplateReviewDialogs(CTemplateReviewDialogs* dialogs);
CTemplateReviewDialogs* GetTemplateReviewDialogs();
