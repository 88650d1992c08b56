#include "dialogs/sound/sound_message.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "dialogs/sound/sound_thread.h"
#include "platform/worker.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

void Show(std::string text, unsigned style) {
  if (sound::OnSoundThread()) {
    platform::UiThreadQueue().PostTask([text = std::move(text), style] {
      win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), style);
    });
    return;
  }
  win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), style);
}

}  // namespace

void ShowSoundMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  Show(std::move(text), win::kMbOk | win::kMbIconExclamation);
}

void ShowPlainSoundMessage(const std::string& text) { Show(text, win::kMbOk); }
