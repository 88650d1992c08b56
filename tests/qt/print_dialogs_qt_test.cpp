#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/monitor_log.h"
#include "dialogs/monitor_record_dlg.h"
#include "dialogs/narrative_test_data_dlg.h"
#include "dialogs/print_option_pages.h"
#include "document/document_context.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "win/messages.h"
#include "win/property_sheet.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

constexpr platform::StringEntry kEnglishTitle[] = {
    {TPrintOptionPages::kFullDisclosureTitleId, "Full disclosure:"}};
constexpr platform::StringEntry kGermanTitle[] = {{TPrintOptionPages::kFullDisclosureTitleId, "Voll-EKG:"}};

// The print option pages and the two test dialogs as real widgets, for a reviewer's pictures.
class PrintDialogsQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    document::Context().Reset();
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetRecordingData().start_time.days = 0.375;  // 09:00
    doc_->GetRawECGData()->SetWholeMinutes(1800);
    document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{0, 1});
  }
  void AddResources(platform::ResourcePack& pack) override {
    AddPrintOptionPageResources(pack);
    AddMonitorRecordDlgResources(pack);
    AddNarrativeTestDataResources(pack);
    pack.AddStrings(kEnglishTitle);
  }
  void ReleaseBeforeWindows() override {
    platform::Resources().SetLanguagePack(nullptr);
    doc_.reset();
    main_.DestroyWindow();
  }
  void ReleaseAfterHosts() override { document::Context().Reset(); }

  // Saves the window's picture and checks that texts reached it.
  void Shoot(win::Window& dialog, const std::string& name) {
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr) << name;
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 50) << name;
    testing_support::SaveScreenshot(*window, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }

  // One step per page of the modal sheet, then Cancel.
  std::vector<std::function<void()>> ShootEveryPage(const std::string& prefix, int pages) {
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < pages; ++i) {
      steps.push_back([this, prefix, i] {
        auto* sheet = dynamic_cast<win::PropertySheet*>(win::Windows().GetActiveWindow());
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->SetActivePage(i));
        win::Windows().RunPending();
        QCoreApplication::processEvents();
        Shoot(*sheet, prefix + "_" + std::to_string(i));
      });
    }
    steps.push_back([] {
      if (auto* sheet = dynamic_cast<win::PropertySheet*>(win::Windows().GetActiveWindow()))
        sheet->PressButton(win::kIdCancel);
    });
    return steps;
  }

  win::Window main_;
  platform::ManualClock clock_{platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}};
  platform::MemoryProfileStore profile_;
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(PrintDialogsQtTest, ScreenshotsOfThePrintOptionSheetInBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  AddPrintOptionPageResources(german);
  win::AddWindowSystemResources(german);
  german.AddStrings(kGermanTitle);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    doc_->GetRecordingData().fd_day_switches = {1, 1, 1};
    TPrintOptionPages pages(*doc_, &locale_);
    win::PropertySheet sheet(std::string(in_german ? "Druckoptionen" : "Print options"), &main_);
    sheet.SetApplyButton(false);
    sheet.AddPage(pages.TemplatesPage());
    sheet.AddPage(pages.SamplesPage());
    for (win::PropertyPage* day : pages.FullDisclosurePages()) sheet.AddPage(*day);
    sheet.AddPage(pages.UserPage());
    Steps(ShootEveryPage(in_german ? "print_options_de" : "print_options", sheet.GetPageCount()));
    EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
    QCoreApplication::processEvents();
  }
}

TEST_F(PrintDialogsQtTest, ScreenshotOfTheMonitorRecordDialog) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zk470_print_dialogs_qt";
  std::filesystem::create_directories(dir);
  TMonitorRecord record;
  record.first = {12, 34, 56, 78, 90, 11, 22, 33};
  record.value_a = -2;
  record.value_b = 40;
  record.value_c = 0.05;
  record.second = {1, 2, 3, 4, 5, 6, 7, 8};
  record.last = 9;
  {
    TMonitorLog log(dir / "demo.QRS", true);
    log.AddRecord(record);
  }
  {
    TMonitorLog log(dir / "demo.QRS", false);
    TMonitorRecordDlg dialog(&main_, &log, 0);
    Steps({[&] {
             win::Windows().RunPending();
             QCoreApplication::processEvents();
             Shoot(dialog, "monitor_record_dialog");
           },
           [&] { dialog.EndDialog(win::kIdOk); }});
    EXPECT_EQ(dialog.DoModal(), win::kIdOk);
  }
  std::filesystem::remove_all(dir);
}

TEST_F(PrintDialogsQtTest, ScreenshotOfTheNarrativeTestDataDialog) {
  TNarrativeTestDataDlg dialog(&main_);
  dialog.record.channel_count = 2;
  dialog.record.first_name = "Anna";
  dialog.record.last_name = "Muster";
  dialog.record.birth_date = {0, 25000.0};
  dialog.record.sex = 1;
  dialog.record.height = "172";
  dialog.record.height_unit = "cm";
  dialog.record.weight_unit = "kg";
  dialog.record.length_minutes = 1440;
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           Shoot(dialog, "narrative_test_data_dialog");
         },
         [&] { dialog.SendMessage(win::kWmCommand, TNarrativeTestDataDlg::kCancelId); }});
  EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
}

}  // namespace
}  // namespace qthost
