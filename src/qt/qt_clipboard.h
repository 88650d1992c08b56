#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win/clipboard.h"

namespace qthost {

// The desktop's clipboard text through QClipboard. Needs the Qt application; user-interface
// thread only.
class QtClipboard : public win::TextClipboard {
 public:
  std::optional<std::string> GetText() const override;
  void SetText(std::string_view text) override;
};

}  // namespace qthost
