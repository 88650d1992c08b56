#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <memory>
#include <set>

#include "core/app_fixture.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/qt_dialog.h"
#include "qt/qt_test_app.h"

namespace apptest {

// The headless application fixture with the Qt host (offscreen) in place of the recordings of
// drawing: frames and views paint into the canvas host's images, dialogs are real widgets, and
// modal loops run Qt's event loop, so steps inside a dialog come from Qt timers or posted tasks.
class ScreenshotTest : public coretest::AppTest {
 protected:
  void SetUp() override {
    qthost::testing_support::TestApp();
    AppTest::SetUp();
    pump_ = std::make_unique<qthost::EventPump>(win::Windows());
    canvas_host_ = std::make_unique<qthost::CanvasHost>(win::Windows(), *pump_);
    dialog_host_ = std::make_unique<qthost::DialogHost>(win::Windows(), *pump_);
    win::Windows().SetHost(canvas_host_.get());
    win::Windows().SetWidgetHost(dialog_host_.get());
  }

  void TearDown() override {
    app_.reset();
    win::Windows().SetHost(nullptr);
    win::Windows().SetWidgetHost(nullptr);
    dialog_host_.reset();
    canvas_host_.reset();
    pump_.reset();
    QCoreApplication::processEvents();
    AppTest::TearDown();
  }

  // Runs the window system's pending work and Qt's events until both are quiet.
  void Settle() {
    for (int i = 0; i < 10; ++i) {
      pump_->Pump();
      QCoreApplication::processEvents();
    }
  }

  // How many different colours a part of the image holds: a drawn bar is never one flat colour.
  static size_t Colours(const QImage& image, const QRect& part) {
    std::set<QRgb> colours;
    for (int y = part.top(); y <= part.bottom(); ++y) {
      for (int x = part.left(); x <= part.right(); ++x) colours.insert(image.pixel(x, y));
    }
    return colours.size();
  }

  std::unique_ptr<qthost::EventPump> pump_;
  std::unique_ptr<qthost::CanvasHost> canvas_host_;
  std::unique_ptr<qthost::DialogHost> dialog_host_;
};

}  // namespace apptest
