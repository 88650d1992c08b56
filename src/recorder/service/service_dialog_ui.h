#pragma once

#include <optional>
#include <string>
#include <vector>

namespace recorder {

// What the recorder service dialogs ask of the dialogs above the recorder folder: a choice from a
// list and the communication-error question. The program installs one over its list and error
// dialogs; tests script it. User-interface thread only.
class ServiceDialogUi {
 public:
  virtual ~ServiceDialogUi() = default;
  // The index of the chosen entry; nullopt when the user cancelled.
  virtual std::optional<int> ChooseItem(const std::string& title, const std::string& text,
                                        const std::vector<std::string>& items) = 0;
  // True when the user asks to try again.
  virtual bool AskRetryAfterCommError() = 0;
};

}  // namespace recorder
