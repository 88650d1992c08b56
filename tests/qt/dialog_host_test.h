#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/dialog_resources.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/qt_dialog.h"
#include "qt/qt_test_app.h"
#include "win/prompt.h"
#include "win/win_strings.h"

namespace qthost::testing_support {

// The window system shown through both Qt hosts (canvas and dialogs) on the test application,
// with the window system's and the dialogs' resources and a scripted prompt; the steps a test
// gives run one after another from the event loop while a modal dialog runs.
class DialogHostTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    platform::ResetProcessState();
    win::AddWindowSystemResources(platform::Resources().ExePack());
    AddDialogResources(platform::Resources().ExePack());
    AddResources(platform::Resources().ExePack());
    pump_ = std::make_unique<EventPump>(win::Windows());
    canvas_ = std::make_unique<CanvasHost>(win::Windows(), *pump_);
    dialogs_ = std::make_unique<DialogHost>(win::Windows(), *pump_);
    win::Windows().SetHost(canvas_.get());
    win::Windows().SetWidgetHost(dialogs_.get());
    win::SetPrompt(&prompt_);
  }
  void TearDown() override {
    // Steps left over once the dialog has ended run now and find nothing to do.
    steps_.clear();
    QCoreApplication::processEvents();
    ReleaseBeforeWindows();
    win::SetPrompt(nullptr);
    win::Windows().Reset();
    dialogs_.reset();
    canvas_.reset();
    pump_.reset();
    platform::ResetProcessState();
    ReleaseAfterHosts();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }

  // The fixture's own resources, added to the program's pack after the dialogs' ones.
  virtual void AddResources(platform::ResourcePack& pack) {}
  // What the fixture lets go of while the windows and hosts are still there, and once they are gone.
  virtual void ReleaseBeforeWindows() {}
  virtual void ReleaseAfterHosts() {}

  // Runs the steps one after another from the event loop while a modal dialog runs; a step that
  // fails a check still lets the next ones run, so the dialog always ends.
  void Steps(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    RunNext();
  }

  std::unique_ptr<EventPump> pump_;
  std::unique_ptr<CanvasHost> canvas_;
  std::unique_ptr<DialogHost> dialogs_;
  win::ScriptedPrompt prompt_;

 private:
  void RunNext() {
    QTimer::singleShot(0, [this] {
      if (next_ >= steps_.size()) return;
      steps_[next_++]();
      RunNext();
    });
  }

  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
};

}  // namespace qthost::testing_support
