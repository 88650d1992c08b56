#include "qt/qt_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include "qt/event_pump.h"

namespace qthost {

QtHost::~QtHost() {
  if (wait_cursor_) QGuiApplication::restoreOverrideCursor();
}

void QtHost::InvalidateRequested(win::Window&) { pump_.Schedule(); }

bool QtHost::RunModalLoop(const std::function<bool()>& done) {
  pump_.RunUntil(done);
  return true;
}

void QtHost::Flush(win::Window& top_level) {
  if (QWidget* widget = WidgetOf(top_level); widget != nullptr && widget->isVisible()) widget->repaint();
}

void QtHost::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::SetCursor(win::CursorShape shape) {
  if (wait_cursor_) {
    QGuiApplication::restoreOverrideCursor();
    wait_cursor_ = false;
  }
  if (shape == win::CursorShape::kArrow) return;
  QGuiApplication::setOverrideCursor(shape == win::CursorShape::kWait ? Qt::WaitCursor : Qt::BusyCursor);
  wait_cursor_ = true;
}

void QtHost::SetPointerShape(win::Window& top_level, win::CursorShape shape) {
  QWidget* widget = WidgetOf(top_level);
  if (widget == nullptr) return;
  switch (shape) {
    case win::CursorShape::kArrow:
      widget->unsetCursor();
      return;
    case win::CursorShape::kWait:
      widget->setCursor(Qt::WaitCursor);
      return;
    case win::CursorShape::kAppStarting:
      widget->setCursor(Qt::BusyCursor);
      return;
    case win::CursorShape::kHand:
      widget->setCursor(Qt::PointingHandCursor);
      return;
    case win::CursorShape::kSizeWE:
      widget->setCursor(Qt::SizeHorCursor);
      return;
    case win::CursorShape::kSizeNS:
      widget->setCursor(Qt::SizeVerCursor);
      return;
    case win::CursorShape::kIBeam:
      widget->setCursor(Qt::IBeamCursor);
      return;
  }
}

void QtHost::Beep() { QApplication::beep(); }

void QtHost::BringToForeground(win::Window& top_level) {
  if (QWidget* widget = WidgetOf(top_level)) {
    widget->raise();
    widget->activateWindow();
  }
}

std::function<void(const QRect&)> QtHost::RepaintOnRelease(QWidget* widget) {
  return [w = QPointer<QWidget>(widget)](const QRect& changed) {
    if (w) w->update(changed);
  };
}

}  // namespace qthost
