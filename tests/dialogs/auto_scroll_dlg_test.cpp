#include "dialogs/auto_scroll_dlg.h"

#include <gtest/gtest.h>

#include <memory>

#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "win/messages.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

// Stands in for the page window: each page step moves the page one minute on, as the page does.
class FakeOwner : public CAutoScrollOwner {
 public:
  FakeOwner(win::Window& window, CZK470Doc& doc) : window_(window), doc_(doc) {}
  win::Window* GetOwnerWindow() override { return &window_; }
  void ScrollOnePage() override {
    ++pages;
    doc_.GetViewFields().page_start_ms += 60'000;
    doc_.GetViewFields().page_end_ms += 60'000;
  }
  void RequestClose() override { ++close_requests; }

  int pages = 0;
  int close_requests = 0;

 private:
  win::Window& window_;
  CZK470Doc& doc_;
};

class AutoScrollTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddECGPageResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    // A page of one minute in a displayed span of ten.
    doc_->GetViewFields().page_start_ms = 0;
    doc_->GetViewFields().page_end_ms = 60'000;
    doc_->SetSpanEndMs(600'000);
  }
  void TearDown() override {
    dialog_.reset();
    doc_.reset();
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  void Open(int speed) {
    doc_->GetSettings().SetInt(SettingKey::kECGViewScrollSpeed, speed);
    owner_ = std::make_unique<FakeOwner>(main_, *doc_);
    dialog_ = std::make_unique<TAutoScrollDlg>(*doc_, *owner_, profile_);
    ASSERT_TRUE(dialog_->Open());
  }
  // Runs the clock on in steps of 10 ms, firing the timers as they fall due.
  void Run(int ms) {
    for (int t = 0; t < ms; t += 10) {
      clock_.Advance(10);
      win::Windows().RunPending();
    }
  }
  win::Slider& Slider() { return *dialog_->Item<win::Slider>(TAutoScrollDlg::kSliderId); }

  win::Window main_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<FakeOwner> owner_;
  std::unique_ptr<TAutoScrollDlg> dialog_;
};

TEST_F(AutoScrollTest, PagesOnTheSliderIntervalUntilTheSpanEnds) {
  Open(0);
  EXPECT_EQ(dialog_->GetState(), TAutoScrollDlg::kRunning);
  EXPECT_EQ(Slider().GetPos(), 0);
  Run(3690);
  EXPECT_EQ(owner_->pages, 0);
  Run(10);
  EXPECT_EQ(owner_->pages, 1);
  Run(3700);
  EXPECT_EQ(owner_->pages, 2);

  // Position 10 pages with the shortest interval the window system has.
  // The slider is read every half second; the new interval starts then.
  Slider().SetPosFromUser(10);
  Run(100);
  EXPECT_EQ(owner_->pages, 2);
  EXPECT_EQ(dialog_->Position(), 10);
  EXPECT_EQ(doc_->GetSettings().Int(SettingKey::kECGViewScrollSpeed), 10);
  const int before = owner_->pages;
  Run(30);
  EXPECT_EQ(owner_->pages, before + 3);

  // Nine pages reach the end of the ten-minute span: the timer runs on, the page stays.
  Run(1000);
  EXPECT_EQ(owner_->pages, 9);
  EXPECT_EQ(doc_->GetViewFields().page_end_ms, 600'000);
  EXPECT_EQ(dialog_->GetState(), TAutoScrollDlg::kRunning);
}

TEST_F(AutoScrollTest, TheButtonStopsAndStartsTheTimer) {
  Open(9);
  dialog_->StartStop();
  EXPECT_EQ(dialog_->GetState(), TAutoScrollDlg::kStopped);
  EXPECT_EQ(dialog_->GetDlgItemText(TAutoScrollDlg::kStartStopId), "Start");
  Run(5000);
  EXPECT_EQ(owner_->pages, 0);
  dialog_->Item<win::Button>(TAutoScrollDlg::kStartStopId)->Click();
  EXPECT_EQ(dialog_->GetState(), TAutoScrollDlg::kRunning);
  EXPECT_EQ(dialog_->GetDlgItemText(TAutoScrollDlg::kStartStopId), "Stop");
  Run(1000);
  EXPECT_EQ(owner_->pages, 1);

  // Enter and Esc leave it open.
  win::Windows().PressKey(win::kVkReturn);
  win::Windows().PressKey(win::kVkEscape);
  EXPECT_TRUE(dialog_->IsOpen());
}

TEST_F(AutoScrollTest, ItsPlaceIsKeptAndClosingItsWindowAsksTheOwner) {
  Open(5);
  // First at the main frame's lower right.
  const gfx::Rect first = dialog_->GetWindowRect();
  EXPECT_EQ(first.right, 1000 - 15);
  EXPECT_EQ(first.bottom, 800 - 35);

  // Closing the window goes through the page window, which ends it later.
  dialog_->SendMessage(win::kWmClose);
  EXPECT_EQ(owner_->close_requests, 1);
  ASSERT_TRUE(dialog_->IsOpen());

  const gfx::Rect moved{100, 120, 100 + first.Width(), 120 + first.Height()};
  dialog_->MoveWindow(moved);
  dialog_->Close();
  EXPECT_FALSE(dialog_->IsOpen());
  EXPECT_EQ(win::Windows().TimerCount(), 0u);
  EXPECT_EQ(profile_.GetInt("ECG\\AutoScroll", "Left"), 100);
  EXPECT_EQ(profile_.GetInt("ECG\\AutoScroll", "Bottom"), moved.bottom);

  Open(5);
  EXPECT_EQ(dialog_->GetWindowRect(), moved);
  dialog_.reset();

  // A place off the screen is not used.
  profile_.WriteInt("ECG\\AutoScroll", "Left", -500);
  Open(5);
  EXPECT_EQ(dialog_->GetWindowRect().right, 1000 - 15);
}

}  // namespace
