#pragma once

#include <QImage>
#include <filesystem>
#include <memory>
#include <string_view>

namespace win {
class Window;
}

namespace qthost {
class CanvasHost;
class EventPump;
}  // namespace qthost

namespace qthost::testing_support {

// The real Qt host on the window system for one test, offscreen: windows created while it lives
// get a Qt window and a backing store. On leaving, the host goes and the window system is reset
// (every window must have been destroyed by then).
class ScreenHost {
 public:
  ScreenHost();
  ~ScreenHost();
  ScreenHost(const ScreenHost&) = delete;
  ScreenHost& operator=(const ScreenHost&) = delete;

  // Paints what is pending and returns a copy of the top-level window's backing store; a null
  // image when the host does not show the window.
  QImage Render(win::Window& top_level);
  // Render, saved as <build>/screenshots/<name>.png.
  std::filesystem::path SaveScreen(win::Window& top_level, std::string_view name);

 private:
  std::unique_ptr<EventPump> pump_;
  std::unique_ptr<CanvasHost> host_;
};

}  // namespace qthost::testing_support
