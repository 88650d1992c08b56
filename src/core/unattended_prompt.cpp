#include "core/unattended_prompt.h"

#include <ostream>

#include "win/unattended_answer.h"

namespace {

std::string_view AnswerName(int answer) {
  switch (answer) {
    case win::kIdOk:
      return "OK";
    case win::kIdCancel:
      return "Cancel";
    case win::kIdAbort:
      return "Abort";
    case win::kIdNo:
      return "No";
    default:
      return "?";
  }
}

// One line: line ends of the question become blanks.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

}  // namespace

int UnattendedPrompt::AnswerFor(unsigned style) { return win::UnattendedAnswer(style); }

int UnattendedPrompt::MessageBox(std::string_view text, std::string_view caption, unsigned style) {
  const int answer = AnswerFor(style);
  Log(caption, text, AnswerName(answer));
  return answer;
}

std::optional<std::string> UnattendedPrompt::ChooseFile(const win::FileDialogRequest& request) {
  Log(request.title.empty() ? "file" : request.title, request.filter, "Cancel");
  return std::nullopt;
}

std::optional<std::string> UnattendedPrompt::ChooseFolder(std::string_view title, std::string_view initial) {
  Log(title, initial, "Cancel");
  return std::nullopt;
}

std::optional<uint32_t> UnattendedPrompt::ChooseColor(uint32_t) {
  Log("colour", "", "Cancel");
  return std::nullopt;
}

void UnattendedPrompt::Log(std::string_view caption, std::string_view text, std::string_view answer) {
  if (log_ == nullptr) return;
  *log_ << "zk470: " << OneLine(caption) << ": " << OneLine(text) << " -> " << answer << "\n";
  log_->flush();
}

bool PromptIsUnattended() { return dynamic_cast<UnattendedPrompt*>(&win::CurrentPrompt()) != nullptr; }
