#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "recorder/read_recorder_dlg.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "support/recorder_sim.h"
#include "support/test_files.h"

namespace qthost {
namespace {

// Takes the picture when the worker, stopped by a recorder that does not answer, asks about the
// communication error: nothing has been transferred then, so the dialog shows its start state.
class PictureAtCommError : public recorder::ScriptedRecorderSearchUi {
 public:
  explicit PictureAtCommError(std::function<void()> shoot) : shoot_(std::move(shoot)) {}
  bool AskRetryAfterCommError() override {
    if (shots++ == 0) shoot_();
    return false;
  }
  int shots = 0;

 private:
  std::function<void()> shoot_;
};

class ReadRecorderQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    recorder::SetClock(&recorder_clock_);
    root_ = testsupport::MakeTestDir("read_recorder_qt");
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->SetDataDirectory((root_ / "data").string());
    doc_->SetWorkDirectory(root_.string());
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
  }
  void AddResources(platform::ResourcePack& pack) override { AddReadRecorderResources(pack); }
  void ReleaseBeforeWindows() override {
    recorder::SetRecorderSearchUi(nullptr);
    recorder::SetClock(nullptr);
    platform::Resources().SetLanguagePack(nullptr);
    doc_.reset();
    main_.DestroyWindow();
  }

  recorder::ScaledRecorderClock recorder_clock_{100};
  std::filesystem::path root_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2026, 3, 5, 10, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  win::Window main_;
};

TEST_F(ReadRecorderQtTest, ScreenshotsInBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  AddReadRecorderResources(german);
  win::AddWindowSystemResources(german);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    const std::string name = in_german ? "read_recorder_de" : "read_recorder";
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK131);
    config.faults.silent_word = "GetPatDat";
    recsim::PtyRecorder sim(config);
    TReadRecorderDlg dialog(&main_, *doc_, [&sim](CZK470Doc& doc) {
      recorder::CurrentRecorder current(doc);
      current.SetKind(TRecorderProtocol::kKindZK131);
      current.DeviceName() = sim.DevicePath();
      return TRecorderProtocol::kKindZK131;
    });
    PictureAtCommError picture([&] {
      win::Windows().RunPending();
      QCoreApplication::processEvents();
      QWidget* window = dialogs_->WidgetOf(dialog);
      ASSERT_NE(window, nullptr);
      // The program's own template in every language.
      EXPECT_EQ(window->windowTitle().toStdString(), "Read ZK-131 SD-Card");
      const QImage image = window->grab().toImage();
      int dark = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (qGray(image.pixel(x, y)) < 80) ++dark;
      EXPECT_GT(dark, 50) << "the texts reached the screen";
      testing_support::SaveScreenshot(*window, name);
    });
    recorder::SetRecorderSearchUi(&picture);

    EXPECT_EQ(dialog.DoModal(), TReadRecorderDlg::kResultCancelled);

    recorder::SetRecorderSearchUi(nullptr);
    EXPECT_EQ(picture.shots, 1);
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }
}

}  // namespace
}  // namespace qthost
