#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/win_strings.h"
#include "win/window.h"

namespace win::testing_support {

// A clean window system on a manual clock, the program's own pack with the window system's
// texts, and a scripted prompt that records what was asked. Headless.
class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    Windows().SetClock(&clock_);
    Windows().SetStallLimitMs(5000);
    AddWindowSystemResources(platform::Resources().ExePack());
    SetPrompt(&prompt_);
  }
  void TearDown() override { platform::ResetProcessState(); }

  // Steps run one at a time whenever a modal loop has nothing else to do; each gets the modal
  // window. When they are used up the loop idles (and a stuck dialog fails the stall limit).
  void DriveModal(std::vector<std::function<void(Window*)>> steps) {
    steps_ = std::move(steps);
    next_step_ = 0;
    Windows().SetModalIdleHandler([this](Window* modal) {
      if (next_step_ >= steps_.size()) return false;
      steps_[next_step_++](modal);
      return true;
    });
  }
  size_t StepsRun() const { return next_step_; }

  std::vector<std::string> MessagesAsked() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log()) {
      if (asked.kind == "message") texts.push_back(asked.text);
    }
    return texts;
  }

  platform::ManualClock clock_;
  ScriptedPrompt prompt_;

 private:
  std::vector<std::function<void(Window*)>> steps_;
  size_t next_step_ = 0;
};

}  // namespace win::testing_support
