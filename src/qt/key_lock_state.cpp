#include "qt/key_lock_state.h"

#include <QGuiApplication>

namespace qthost {

#ifdef ZK_HAVE_XKB
// In their own file: the X headers' macros (None, Bool, Status) must not meet Qt's headers.
void* X11DisplayOf(const QGuiApplication& app);
bool ResolveIndicatorNames(void* display, std::array<unsigned long, 3>& names);
bool ReadIndicator(void* display, unsigned long name);
#endif

namespace {

// Index into the indicator names; -1 for keys that are no locks.
int LockIndex(int virtual_key) {
  switch (virtual_key) {
    case win::kVkCapital:
      return 0;
    case win::kVkNumLock:
      return 1;
    case win::kVkScroll:
      return 2;
    default:
      return -1;
  }
}

}  // namespace

KeyLockState::KeyLockState() {
#ifdef ZK_HAVE_XKB
  const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return;
  void* display = X11DisplayOf(*app);
  if (display != nullptr && ResolveIndicatorNames(display, names_)) display_ = display;
#endif
}

bool KeyLockState::IsKeyToggled(int virtual_key) const {
  const int index = LockIndex(virtual_key);
  if (display_ == nullptr || index < 0) return false;
#ifdef ZK_HAVE_XKB
  const unsigned long name = names_[static_cast<size_t>(index)];
  return name != 0 && ReadIndicator(display_, name);
#else
  return false;
#endif
}

}  // namespace qthost
