#include "qt/screen_colormap.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QWindow>

namespace qthost {

#ifdef ZK_HAVE_XCB
// In their own file: the X headers must not meet Qt's headers.
void* XcbConnectionOf(const QGuiApplication& app);
bool UseDefaultColormap(void* connection, unsigned long window);
#endif

ScreenColormap::ScreenColormap() {
#ifdef ZK_HAVE_XCB
  const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  connection_ = XcbConnectionOf(*app);
  if (connection_ == nullptr) return;
  QCoreApplication::instance()->installEventFilter(this);
#endif
}

ScreenColormap::~ScreenColormap() {
  if (connection_ != nullptr && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(this);
  }
}

bool ScreenColormap::eventFilter(QObject* watched, QEvent* event) {
#ifdef ZK_HAVE_XCB
  // The X window exists from here on and is not yet mapped: the change shows from the start.
  if (event->type() == QEvent::PlatformSurface &&
      static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
          QPlatformSurfaceEvent::SurfaceCreated) {
    if (auto* window = qobject_cast<QWindow*>(watched)) UseDefaultColormap(connection_, window->winId());
  }
#endif
  return QObject::eventFilter(watched, event);
}

}  // namespace qthost
