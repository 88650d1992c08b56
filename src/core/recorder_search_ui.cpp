#include "core/recorder_search_ui.h"

#include <algorithm>

#include "core/unattended_prompt.h"
#include "dialogs/comm_error_dlg.h"
#include "dialogs/items_dlg.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr char kCaption[] = "ZK-470";
constexpr int kListTitle = 33268;
constexpr int kListText = 33269;

}  // namespace

void RecorderSearchDialogs::ShowMessage(std::string_view text, unsigned icon) {
  win::CurrentPrompt().MessageBox(text, kCaption, win::kMbOk | icon);
}

bool RecorderSearchDialogs::AskRetry(std::string_view text) {
  return win::CurrentPrompt().MessageBox(text, kCaption, win::kMbRetryCancel | win::kMbIconInformation) ==
         win::kIdRetry;
}

bool RecorderSearchDialogs::AskRetryAfterCommError() {
  if (PromptIsUnattended()) return AskRetryUnattended();
  TCommErrorDlg dialog(win::Windows().MainWindow());
  return dialog.DoModal() == win::kIdOk;
}

recorder::RecorderSearchUi::Choice RecorderSearchDialogs::ChooseRecorder(
    const std::vector<std::string>& entries) {
  if (PromptIsUnattended()) return {};
  TItemsDlg dialog(nullptr, kListTitle, kListText, 0);
  dialog.input = entries;
  dialog.DoModal();
  if (dialog.end_reason == TItemsDlg::kSearchAgain) return {Pick::kSearchAgain, -1};
  if (dialog.end_reason != TItemsDlg::kSelected) return {};
  int index = dialog.last_selected;
  if ((index < 0 || index >= static_cast<int>(entries.size())) && !dialog.selected.empty()) {
    const auto it = std::find(entries.begin(), entries.end(), dialog.selected.front());
    index = it != entries.end() ? static_cast<int>(it - entries.begin()) : -1;
  }
  if (index < 0 || index >= static_cast<int>(entries.size())) return {};
  return {Pick::kChosen, index};
}

void RecorderSearchDialogs::ShowStatus(std::string_view title, std::string_view text) {
  status_.Show(title, text);
}

void RecorderSearchDialogs::CloseStatus() { status_.Close(); }

bool AskRetryUnattended() {
  return win::CurrentPrompt().MessageBox("The recorder does not answer.", "Communication error !",
                                         win::kMbRetryCancel | win::kMbIconExclamation) == win::kIdRetry;
}

void InstallRecorderSearchDialogs() {
  static RecorderSearchDialogs dialogs;
  recorder::SetRecorderSearchUi(&dialogs);
}
