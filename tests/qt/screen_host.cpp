#include "qt/screen_host.h"

#include <QCoreApplication>

#include "platform/worker.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "win/window.h"

namespace qthost::testing_support {

ScreenHost::ScreenHost() {
  TestApp();
  pump_ = std::make_unique<EventPump>(win::Windows());
  host_ = std::make_unique<CanvasHost>(win::Windows(), *pump_);
  win::Windows().SetHost(host_.get());
}

ScreenHost::~ScreenHost() {
  win::Windows().SetHost(nullptr);
  host_.reset();
  pump_.reset();
  win::Windows().Reset();
  platform::UiThreadQueue().Reset();
  QCoreApplication::processEvents();
}

QImage ScreenHost::Render(win::Window& top_level) {
  QCoreApplication::processEvents();
  win::Windows().RunPending();
  const QImage* store = host_->BackingStore(top_level);
  return store != nullptr ? store->copy() : QImage();
}

std::filesystem::path ScreenHost::SaveScreen(win::Window& top_level, std::string_view name) {
  return SaveScreenshot(Render(top_level), name);
}

}  // namespace qthost::testing_support
