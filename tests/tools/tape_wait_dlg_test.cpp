#include "tools/tape_wait_dlg.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/archive.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "tools/tape_fixture.h"
#include "win/win_fixture.h"

namespace {

class TapeWaitDlgTest : public win::testing_support::WinTest, public tapetest::TapeDocFixture {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddTapeWaitResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  bool CancelEnabled(win::Window* modal) const {
    win::Window* cancel = modal->GetDlgItem(TTapeWaitDlg::kCancelId);
    return cancel != nullptr && cancel->IsWindowEnabled();
  }

  win::Window main_;
};

TEST_F(TapeWaitDlgTest, EndsWithTheProgramsExitCode) {
  for (const int code : {0, 1, 6, 13, 20, 42}) {
    SCOPED_TRACE(code);
    WriteProgram("exit " + std::to_string(code));
    TTapeWaitDlg dialog(Doc());
    EXPECT_EQ(dialog.DoModal(), code);
  }
}

TEST_F(TapeWaitDlgTest, CancelOnlyAfterSixSecondsAndItKillsTheProgram) {
  const std::string pid_file = Data("tape.pid");
  WriteProgram("echo $$ > '" + pid_file + "'\nexec sleep 30");
  WriteRawFile(tapetest::Block(128, 128));
  TTapeWaitDlg dialog(Doc());
  std::vector<bool> enabled;
  bool stayed_after_close = false;
  DriveModal({[&](win::Window* modal) {
                enabled.push_back(CancelEnabled(modal));
                // The program must be running before it is cancelled: wait until it shows its id.
                const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!std::filesystem::exists(pid_file) && std::chrono::steady_clock::now() < give_up)
                  std::this_thread::yield();
                clock_.Advance(TTapeWaitDlg::kCancelDelayMs - 1);
              },
              [&](win::Window* modal) {
                enabled.push_back(CancelEnabled(modal));
                modal->SendMessage(win::kWmClose);
                stayed_after_close = !dialog.Ended();
                clock_.Advance(1);
              },
              [&](win::Window* modal) {
                enabled.push_back(CancelEnabled(modal));
                modal->SendMessage(win::kWmCommand, TTapeWaitDlg::kCancelId, 0);
              }});
  EXPECT_EQ(dialog.DoModal(), TTapeWaitDlg::kCancelled);
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(stayed_after_close);

  const std::vector<uint8_t> pid_text = platform::ReadFileBytes(pid_file);
  const int pid = std::stoi(std::string(pid_text.begin(), pid_text.end()));
  EXPECT_NE(::kill(pid, 0), 0) << "the tape program still runs";
  EXPECT_FALSE(std::filesystem::exists(Data("HOLTER.TAP")));
  EXPECT_TRUE(std::filesystem::exists(tape::RawFilePath(Doc())));
}

TEST_F(TapeWaitDlgTest, EnterAndEscDoNotEndIt) {
  WriteProgram("exec sleep 30");
  TTapeWaitDlg dialog(Doc());
  bool stayed = false;
  DriveModal({[&](win::Window*) {
                win::Windows().PressKey(win::kVkReturn);
                win::Windows().PressKey(win::kVkEscape);
                stayed = !dialog.Ended();
                clock_.Advance(TTapeWaitDlg::kCancelDelayMs);
              },
              [&](win::Window* modal) { modal->SendMessage(win::kWmCommand, TTapeWaitDlg::kCancelId, 0); }});
  EXPECT_EQ(dialog.DoModal(), TTapeWaitDlg::kCancelled);
  EXPECT_TRUE(stayed);
}

TEST_F(TapeWaitDlgTest, GoldenDisplayList) {
  WriteProgram("exec sleep 30");
  TTapeWaitDlg dialog(Doc());
  DriveModal({[&](win::Window* modal) {
                win::Windows().RunPending();
                testsupport::ExpectScreenGolden("tools", "tape_wait_dlg",
                                                testsupport::RecordedScreen(*modal));
                clock_.Advance(TTapeWaitDlg::kCancelDelayMs);
              },
              [&](win::Window* modal) { modal->SendMessage(win::kWmCommand, TTapeWaitDlg::kCancelId, 0); }});
  EXPECT_EQ(dialog.DoModal(), TTapeWaitDlg::kCancelled);
}

}  // namespace
