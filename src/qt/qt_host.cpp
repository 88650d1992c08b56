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

int VirtualKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return win::kVkF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return win::kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return win::kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return win::kVkReturn;
    case Qt::Key_Shift:
      return win::kVkShift;
    case Qt::Key_Control:
      return win::kVkControl;
    case Qt::Key_Alt:
      return win::kVkMenu;
    case Qt::Key_Escape:
      return win::kVkEscape;
    case Qt::Key_Space:
      return win::kVkSpace;
    case Qt::Key_PageUp:
      return win::kVkPrior;
    case Qt::Key_PageDown:
      return win::kVkNext;
    case Qt::Key_End:
      return win::kVkEnd;
    case Qt::Key_Home:
      return win::kVkHome;
    case Qt::Key_Left:
      return win::kVkLeft;
    case Qt::Key_Up:
      return win::kVkUp;
    case Qt::Key_Right:
      return win::kVkRight;
    case Qt::Key_Down:
      return win::kVkDown;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return win::kVkDelete;
    case Qt::Key_Menu:
      return win::kVkApps;
    default:
      return 0;
  }
}

std::function<void(const QRect&)> QtHost::RepaintOnRelease(QWidget* widget) {
  return [w = QPointer<QWidget>(widget)](const QRect& changed) {
    if (w) w->update(changed);
  };
}

}  // namespace qthost
