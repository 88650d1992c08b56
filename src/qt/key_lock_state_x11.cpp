// The X side of KeyLockState: the keyboard indicators through the XKB extension. Only this file
// includes the X headers.
// clang-format off
// Qt first: the X headers' macros would break Qt's headers.
#include <QGuiApplication>
#include <array>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
// clang-format on

namespace qthost {

void* X11DisplayOf(const QGuiApplication& app) {
  const auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->display() : nullptr;
}

bool ResolveIndicatorNames(void* display, std::array<unsigned long, 3>& names) {
  auto* d = static_cast<Display*>(display);
  int opcode = 0;
  int event = 0;
  int error = 0;
  int major = XkbMajorVersion;
  int minor = XkbMinorVersion;
  if (!XkbQueryExtension(d, &opcode, &event, &error, &major, &minor)) return false;
  const char* const kNames[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
  for (size_t i = 0; i < names.size(); ++i) {
    // A server without such an indicator has no atom for it: that lock reads as off.
    names[i] = XInternAtom(d, kNames[i], True);
  }
  return true;
}

bool ReadIndicator(void* display, unsigned long name) {
  Bool on = False;
  if (!XkbGetNamedIndicator(static_cast<Display*>(display), static_cast<Atom>(name), nullptr, &on, nullptr,
                            nullptr)) {
    return false;
  }
  return on != False;
}

}  // namespace qthost
