#include "win/prompt.h"

#include "platform/process_context.h"
#include "platform/worker.h"
#include "win/unattended_answer.h"

namespace win {
namespace {

Prompt* g_prompt = nullptr;

template <typename T>
T PopOr(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

int DefaultAnswer(unsigned style) {
  switch (style & 0xF) {
    case kMbYesNo:
    case kMbYesNoCancel:
      return kIdYes;
    case kMbRetryCancel:
    case kMbAbortRetryIgnore:
      return kIdRetry;
    default:
      return kIdOk;
  }
}

// What answers while no prompt is set: the defaults, logged.
ScriptedPrompt& Fallback() {
  static ScriptedPrompt fallback;
  return fallback;
}

// A fresh process has no prompt set, and its fallback has asked nothing yet.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kWin, [] {
      g_prompt = nullptr;
      Fallback() = ScriptedPrompt();
    });

}  // namespace

std::optional<std::vector<std::string>> Prompt::ChooseFiles(const FileDialogRequest& request) {
  std::optional<std::string> one = ChooseFile(request);
  if (!one) return std::nullopt;
  return std::vector<std::string>{std::move(*one)};
}

Prompt& CurrentPrompt() {
  if (void* own = platform::ThreadSlotValue(platform::ThreadSlot::kPrompt)) return *static_cast<Prompt*>(own);
  return g_prompt ? *g_prompt : Fallback();
}

void SetPrompt(Prompt* prompt) { g_prompt = prompt; }

int UnattendedAnswer(unsigned style) {
  switch (style & 0xF) {
    case kMbOkCancel:
    case kMbRetryCancel:
      return kIdCancel;
    case kMbAbortRetryIgnore:
      return kIdAbort;
    case kMbYesNo:
    case kMbYesNoCancel:
      return kIdNo;
    default:
      return kIdOk;
  }
}

int ScriptedPrompt::MessageBox(std::string_view text, std::string_view caption, unsigned style) {
  log_.push_back({"message", std::string(text), std::string(caption), style});
  return PopOr(answers_, DefaultAnswer(style));
}

std::optional<std::string> ScriptedPrompt::ChooseFile(const FileDialogRequest& request) {
  log_.push_back({"file", request.file_name, request.title, request.open ? 1u : 0u});
  return PopOr<std::optional<std::string>>(files_, std::nullopt);
}

std::optional<std::string> ScriptedPrompt::ChooseFolder(std::string_view title, std::string_view initial) {
  log_.push_back({"folder", std::string(initial), std::string(title), 0});
  return PopOr<std::optional<std::string>>(folders_, std::nullopt);
}

std::optional<uint32_t> ScriptedPrompt::ChooseColor(uint32_t initial) {
  log_.push_back({"color", std::to_string(initial), "", 0});
  return PopOr<std::optional<uint32_t>>(colors_, std::nullopt);
}

std::optional<std::vector<std::string>> ScriptedPrompt::ChooseFiles(const FileDialogRequest& request) {
  log_.push_back({"files", request.file_name, request.title, 1});
  return PopOr<std::optional<std::vector<std::string>>>(file_lists_, std::nullopt);
}

bool ScriptedPrompt::OpenExternal(std::string_view target) {
  log_.push_back({"open", std::string(target), "", 0});
  return open_result_;
}

}  // namespace win
