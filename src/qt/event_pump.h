#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>

namespace win {
class WindowSystem;
}

namespace qthost {

// Joins the window system to Qt's event loop. Completions that workers post to the platform's
// user-interface queue wake the loop (the queue's wake handler posts a Qt event), and a Qt timer
// fires when the window system's next timer is due; both then run the window system's pending
// work (posted messages, due timers, pending paints). Requests to repaint come the same way.
// Created and used on the user-interface thread after the QApplication; the wake may come from
// any thread.
class EventPump {
 public:
  explicit EventPump(win::WindowSystem& windows);
  ~EventPump();
  EventPump(const EventPump&) = delete;
  EventPump& operator=(const EventPump&) = delete;

  // Asks for a Pump from the event loop soon; any thread, repeated calls coalesce.
  void Schedule();
  // Runs the window system's pending work now and sets the timer for its next timer.
  void Pump();
  // Runs Qt's event loop until done() holds or a quit is posted; false when a quit ended it.
  bool RunUntil(const std::function<bool()>& done);
  // The program's main loop: runs until a quit is posted and returns its exit code.
  int RunMain();

 private:
  win::WindowSystem& windows_;
  QObject receiver_;
  QTimer timer_;
  std::atomic<bool> scheduled_{false};
};

}  // namespace qthost
