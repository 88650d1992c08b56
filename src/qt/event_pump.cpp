#include "qt/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>

#include "platform/worker.h"
#include "win/window.h"

namespace qthost {

EventPump::EventPump(win::WindowSystem& windows) : windows_(windows) {
  timer_.setSingleShot(true);
  timer_.callOnTimeout([this] { Pump(); });
  platform::UiThreadQueue().SetWakeHandler([this] { Schedule(); });
}

EventPump::~EventPump() { platform::UiThreadQueue().SetWakeHandler({}); }

void EventPump::Schedule() {
  if (scheduled_.exchange(true)) return;
  QMetaObject::invokeMethod(
      &receiver_, [this] { Pump(); }, Qt::QueuedConnection);
}

void EventPump::Pump() {
  scheduled_.store(false);
  // No exception may leave a Qt event handler: report it and keep the loop going.
  try {
    windows_.RunPending();
  } catch (const std::exception& e) {
    qWarning("event loop: unhandled error: %s", e.what());
  }
  if (platform::UiThreadQueue().Pending() > 0) Schedule();
  const std::optional<int64_t> next = windows_.NextTimerDelayMs();
  if (next) {
    timer_.start(static_cast<int>(std::clamp<int64_t>(*next, 0, 24 * 3600 * 1000)));
  } else {
    timer_.stop();
  }
}

bool EventPump::RunUntil(const std::function<bool()>& done) {
  Pump();
  while (!done()) {
    if (windows_.QuitRequested()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

int EventPump::RunMain() {
  RunUntil([] { return false; });
  return windows_.QuitCode();
}

}  // namespace qthost
