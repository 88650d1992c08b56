#pragma once

#include <QRect>
#include <functional>

#include "win/window.h"

class QWidget;

namespace qthost {

class EventPump;

// The platform's virtual key of a Qt key; 0 for keys the program does not know.
int VirtualKey(int key);

// What the canvas host and the dialog host do alike: the event loop, the cursor, the bell, and
// flushing and raising a top-level window through the Qt widget that shows it. Holds the wait
// cursor it set, and takes it back when it goes. User-interface thread only.
class QtHost : public win::Host {
 public:
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  void InvalidateRequested(win::Window& top_level) override;
  bool RunModalLoop(const std::function<bool()>& done) override;
  void Flush(win::Window& top_level) override;
  void ProcessEvents() override;
  void SetCursor(win::CursorShape shape) override;
  void SetPointerShape(win::Window& top_level, win::CursorShape shape) override;
  void Beep() override;
  void BringToForeground(win::Window& top_level) override;

  // The Qt widget that shows a window; nullptr when it has none.
  virtual QWidget* WidgetOf(const win::Window& window) const = 0;

 protected:
  explicit QtHost(EventPump& pump) : pump_(pump) {}
  EventPump& Pump() const { return pump_; }
  // A canvas release handler: repaints the changed part of widget, unless the widget is gone.
  static std::function<void(const QRect&)> RepaintOnRelease(QWidget* widget);

 private:
  EventPump& pump_;
  bool wait_cursor_ = false;
};

}  // namespace qthost
