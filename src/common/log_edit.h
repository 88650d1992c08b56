#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "win/controls.h"

// The read-only log field that recorder service pages, file checks and read-out results write
// into, line by line, with a hex-dump form for raw bytes. It does not take the focus unless
// allowed (a click on it leaves the focus where it was). User-interface thread only.
class CLogEdit : public win::Edit {
 public:
  CLogEdit();

  // Appends "\r\n" first when the field holds text already; with auto-scroll the last line
  // shows afterwards.
  void AddLine(std::string_view text);
  void Clear();
  // The caption line, then one line per 16 bytes: "%04X: %-48s %-16s" with the offset, the
  // bytes as "%02x " and the printable ones as themselves (others as "."). Nothing but the
  // caption for an empty span.
  void AddHexDump(std::string_view caption, std::span<const uint8_t> bytes);

  void SetMayTakeFocus(bool may) {
    may_take_focus_ = may ? 1 : 0;
    SetAcceptsFocus(may);
  }
  bool MayTakeFocus() const { return may_take_focus_ != 0; }
  void SetAutoScroll(bool on) { auto_scroll_ = on ? 1 : 0; }
  bool AutoScroll() const { return auto_scroll_ != 0; }

 private:
  int may_take_focus_ = 0;
  int auto_scroll_ = 1;
};
