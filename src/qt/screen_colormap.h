#pragma once

#include <QObject>

class QEvent;

namespace qthost {

// Puts every window the program shows on an X server on the screen's default colormap instead of
// the private one the xcb platform gives each window. The pixels are the same (the visual is true
// colour), but screen grabs that read the screen window by window through the colormaps (xwd)
// drop a window lying wholly inside another one with a private colormap and show it black: every
// pop-up menu and dialog over the main frame. Does nothing on other platforms. Made after the
// QApplication and before the first window; user-interface thread only.
class ScreenColormap : public QObject {
 public:
  ScreenColormap();
  ~ScreenColormap() override;
  ScreenColormap(const ScreenColormap&) = delete;
  ScreenColormap& operator=(const ScreenColormap&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void* connection_ = nullptr;  // the X connection the windows are made on
};

}  // namespace qthost
