#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "win/prompt.h"

// The prompt of a run that nobody watches (an automation command on a machine without a
// display): every question gets the answer that changes nothing and goes on (No, Cancel, or OK
// where OK is the only answer), choosers are cancelled, and each question is logged, so a calling
// program never waits for an answer. User-interface thread only.
class UnattendedPrompt : public win::Prompt {
 public:
  // log: where the questions are written ("zk470: <caption>: <text> -> <answer>"); nullptr: nowhere.
  explicit UnattendedPrompt(std::ostream* log) : log_(log) {}

  int MessageBox(std::string_view text, std::string_view caption, unsigned style) override;
  std::optional<std::string> ChooseFile(const win::FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;

  // The answer given to a message box of this style.
  static int AnswerFor(unsigned style);

 private:
  void Log(std::string_view caption, std::string_view text, std::string_view answer);

  std::ostream* log_;
};

// True while the installed prompt is an unattended one: dialogs that would wait for a person are
// answered through it instead (Cancel, logged).
bool PromptIsUnattended();
