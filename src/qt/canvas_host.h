#pragma once

#include <QImage>
#include <QObject>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "gfx/drawing_types.h"
#include "qt/qt_host.h"
#include "win/window.h"

class QPoint;
class QWidget;

namespace qthost {

class EventPump;
class HostMenu;
class TopLevelWidget;

// Shows the top-level windows of the window tree whose content is drawn (frames, views, the
// splash): one Qt window each, with a QImage backing store that the tree paints into through
// ImageCanvas, at once when it asks (synchronous repaint) and outside painting through client
// canvases. Mouse, key, focus, resize and close events of the Qt window go into the tree as its
// messages; the pointer leaving it, and files dropped on it (when a window of its tree takes
// them), as well. User-interface thread only.
class CanvasHost : public QtHost {
 public:
  CanvasHost(win::WindowSystem& windows, EventPump& pump);
  ~CanvasHost() override;
  CanvasHost(const CanvasHost&) = delete;
  CanvasHost& operator=(const CanvasHost&) = delete;

  void TopLevelCreated(win::Window& top_level) override;
  void TopLevelDestroyed(win::Window& top_level) override;
  void WindowChanged(win::Window& window, unsigned what) override;
  std::unique_ptr<gfx::Canvas> CreateCanvas(win::Window& window, const gfx::Rect& clip) override;
  std::unique_ptr<gfx::Canvas> CreateClientCanvas(win::Window& window, const gfx::Rect& clip) override;
  // Tool tips are Qt's own (QToolTip), over the Qt window of owner's top-level window.
  void ShowToolTip(win::Window& owner, gfx::Point screen_point, std::string_view text) override;
  void HideToolTip() override;
  // Pop-up menus and drop-down lists are QMenus, waited on in the window system's modal loop
  // (the tree keeps painting and running its timers; a posted quit closes them).
  std::optional<int> TrackPopupMenu(const win::PopupRequest& request) override;
  std::optional<int> ShowDropDownList(const win::PopupRequest& request) override;
  std::unique_ptr<gfx::Canvas> CreateWindowCanvas(win::Window& window, const gfx::Rect& clip) override;

  // The Qt window of a top-level window and its backing store; nullptr when it has none.
  QWidget* WidgetOf(const win::Window& top_level) const override;
  const QImage* BackingStore(const win::Window& top_level) const;
  // What the window canvases report as their device: the screen at 96 dpi.
  gfx::DeviceInfo ScreenDevice() const;

 private:
  TopLevelWidget* Find(const win::Window& top_level) const;
  static void TieToOwner(QWidget& owned, QWidget& owner);
  void RaiseOwnedWindows(const win::Window& owner);
  std::unique_ptr<gfx::Canvas> CanvasOn(win::Window& window, const gfx::Rect& visible_clip);
  // Shows menu at the screen point and waits until it closes; the data of the action chosen, or
  // nullopt.
  std::optional<int> RunPopup(HostMenu& menu, const QPoint& at, win::Window* owner);

  win::WindowSystem& windows_;
  std::unordered_map<win::WindowHandle, std::unique_ptr<TopLevelWidget>> widgets_;
  // Widgets of destroyed windows, deleted from the event loop: a window may end inside one of
  // its own widget's event handlers.
  std::vector<std::unique_ptr<TopLevelWidget>> retired_;
  QObject receiver_;
};

}  // namespace qthost
