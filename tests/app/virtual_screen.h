#pragma once

#include <sys/types.h>

#include <QImage>
#include <QRect>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace apptest {

// An X server of the test's own: Xvfb on the first free display, one 1280x800 screen of 24 bits,
// no window manager. Grabs the screen with xwd as a screenshot tool sees it, reads window kinds
// with xprop and xwininfo and sends input with xdotool. Every command has a time-out; the destructor ends the
// server.
class VirtualScreen {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 800;

  // The programs it needs that PATH does not hold (Xvfb, xwd, xdotool); empty when all are there.
  static std::vector<std::string> MissingTools();

  // Starts the server; its output goes to log. Ready() tells whether it came up.
  explicit VirtualScreen(const std::filesystem::path& log);
  ~VirtualScreen();
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;

  bool Ready() const { return !display_.empty(); }
  // Why it is not ready.
  const std::string& Problem() const { return problem_; }
  // The display name for DISPLAY (":N").
  const std::string& Display() const { return display_; }

  // The whole screen as xwd reads it; a null image when xwd failed.
  QImage Grab() const;

  struct Window {
    std::string id;
    std::string name;
    // The kinds it declares (_NET_WM_WINDOW_TYPE, comma-separated atom names); empty when none.
    std::string type;
    // Placed by the program itself, past any window manager: how pop-ups are shown.
    bool override_redirect = false;
    QRect rect;  // screen coordinates
  };
  // The mapped windows, the root window left out.
  std::vector<Window> VisibleWindows() const;
  // xdotool with these arguments on this screen; false when it failed.
  bool Xdotool(const std::vector<std::string>& args) const;

 private:
  platform::ProcessResult RunXdotool(const std::vector<std::string>& args) const;

  pid_t pid_ = -1;
  std::string display_;
  std::string problem_;
};

// An xwd file (ZPixmap, 32 bits a pixel) as an image; null for anything else.
QImage ReadXwd(std::string_view bytes);

}  // namespace apptest
