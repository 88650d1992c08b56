#pragma once

#include <string_view>

namespace gdt {

// Whether a short name may become part of a file name in the exchange folder: no "/", no "..",
// no control character. An empty name is allowed. Header only, so that the settings page checks
// names the same way the link does.
inline bool IsSafeShortName(std::string_view name) {
  if (name.find('/') != std::string_view::npos || name.find("..") != std::string_view::npos) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace gdt
