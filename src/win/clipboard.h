#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace win {

// The system clipboard's text. The host provides it; without one the clipboard holds no text and
// copying goes nowhere. User-interface thread only.
class TextClipboard {
 public:
  virtual ~TextClipboard() = default;
  // None when the clipboard holds no text.
  virtual std::optional<std::string> GetText() const = 0;
  virtual void SetText(std::string_view text) = 0;
};

// Process-wide; nullptr when no host provides one.
TextClipboard* CurrentClipboard();
// Not owned; nullptr removes it.
void SetClipboard(TextClipboard* clipboard);

}  // namespace win
