#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/date_time_text.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/patient_dialog_resources.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "document/document_context.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "qt/canvas_host.h"
#include "qt/dialog_host_test.h"
#include "qt/event_pump.h"
#include "qt/image_canvas.h"
#include "qt/qt_audio.h"
#include "qt/qt_dialog.h"
#include "qt/qt_test_app.h"
#include "qt/screenshot.h"
#include "support/test_files.h"
#include "win/image_list.h"
#include "win/prompt.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

// The patient sheet and the recording browser as real widgets, for a reviewer's screenshots.
class PatientDialogsTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    document::Context().Reset();
    dialogs::SetDialogLocale(&locale_);
    DialogHostTest::SetUp();
    SettingsDefaults defaults;
    defaults.home = folder_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
    doc_->SetDataDirectory(folder_.Path().string());
  }
  void AddResources(platform::ResourcePack& pack) override { AddPatientDialogResources(pack); }
  void ReleaseBeforeWindows() override {
    doc_.reset();
    dialogs::SetDialogLocale(nullptr);
  }
  void ReleaseAfterHosts() override { document::Context().Reset(); }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::ManualClock clock_{platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  testsupport::TempFolder folder_{"qt_patient"};
};

TEST_F(PatientDialogsTest, ScreenshotsOfTheSixSheetPages) {
  TPatientData& p = doc_->GetPatientData();
  p.first_name = "Anna";
  p.surname = "Meier";
  p.patient_id = "4711";
  p.address = "Lindenstrasse 12\r\n8000 Zürich";
  p.telephone = "044 123 45 67";
  p.birth_date = document::ToOleDateTime({1950, 8, 17});
  p.sex = 1;
  p.height = 168;
  p.weight = 62.5;
  p.station = "B2";
  p.referring_address = "Dr. med. H. Weber\r\nBahnhofstrasse 3\r\n8001 Zürich";
  TRecordingData& r = doc_->GetRecordingData();
  r.start_date = document::OleDateOnly({2024, 3, 4});
  r.start_time = document::OleTimeOnly({1970, 1, 1, 9, 12, 0});
  r.bradycardia_threshold = 4;
  r.tachycardia_threshold = 7;
  r.pause_threshold = 2;
  r.sves_prematurity = 3;
  r.arrhythmia_deviation = 3;
  r.arrhythmia_min_duration = 3;
  r.analysing_program = "ZK-470 2.04";
  r.analysis_engine = "  Olvek 1.78";
  r.analysis_time = document::ToOleDateTime({2024, 3, 5, 8, 41, 17});
  r.st_point_distance = 60;
  r.st_channel_analysed = {1, 1};
  r.st_depression_limit = {15, 15};
  document::Context().g_AnalysisChannels.Assign(std::vector<int32_t>{0, 1});
  document::Context().g_STChannels.Assign(std::vector<int32_t>{0, 1});
  r.assignment_heading = "Palpitations at night";
  r.assignment_text = "24-hour recording after a syncope on 2 March.";
  r.medication = "Metoprolol 50 mg";
  r.diagnosis = "Sinus rhythm throughout, mean rate 71/min. Isolated VES (412), no pauses.";
  r.hrv_window_start = document::OleTimeOnly({1970, 1, 1, 22, 0, 0});
  r.hrv_window_end = document::OleTimeOnly({1970, 1, 1, 6, 0, 0});

  CPatientPropertySheet sheet(nullptr, p, r, doc_.get(), "");
  sheet.SetApplyButton(false);
  const char* names[] = {"1_patient", "2_recording", "3_assignment", "4_diagnosis", "5_hrv_time", "6_letter"};
  std::vector<std::function<void()>> steps;
  for (int page = 0; page < 6; ++page) {
    steps.push_back([&, page] { EXPECT_TRUE(sheet.SetActivePage(page)); });
    steps.push_back([&, page] {
      QWidget* window = dialogs_->WidgetOf(sheet);
      ASSERT_NE(window, nullptr);
      testing_support::SaveScreenshot(*window, std::string("patient_sheet_") + names[page]);
    });
  }
  steps.push_back([&] { sheet.PressButton(win::kIdCancel); });
  Steps(std::move(steps));
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  for (const char* name : names) {
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (std::string("patient_sheet_") + name + ".png")))
        << name;
  }
}

TEST_F(PatientDialogsTest, ScreenshotOfTheRecordingBrowser) {
  for (const char* name : {"Anna Meier 04-03-2024 09-12 V001-.QRS", "Bert Baum 01-02-2024 08-00 0002-.QRS",
                           "Carl Frei 11-01-2024 14-30 0003-.QRS", "report Meier.PDF", "import.KZT"}) {
    std::ofstream(folder_.Path() / name) << "x";
  }
  TRecordingBrowserDlg browser(doc_.get(), 61440, 0);
  int rows = 0;
  // Per row as the screen shows it: pixels of the recording trace's red and of the exchange
  // arrows' blue beside the name, and whether the icon's background let the row show through.
  struct Shown {
    int red = 0;
    int blue = 0;
    int mask = 0;
  };
  std::vector<Shown> shown;
  Steps({[&] {
           QWidget* window = dialogs_->WidgetOf(browser);
           ASSERT_NE(window, nullptr);
           rows = browser.List().GetItemCount();
           browser.List().SelectFromUser({1});
         },
         [&] {
           testing_support::SaveScreenshot(*dialogs_->WidgetOf(browser), "recording_browser");
           auto* tree = dialogs_->WidgetOf(browser)->findChild<QTreeWidget*>();
           ASSERT_NE(tree, nullptr);
           const QImage screen = tree->viewport()->grab().toImage();
           for (int row = 0; row < tree->topLevelItemCount(); ++row) {
             const QRect cell = tree->visualItemRect(tree->topLevelItem(row));
             Shown counts;
             for (int y = cell.top(); y <= cell.bottom(); ++y) {
               for (int x = cell.left(); x < cell.left() + 32; ++x) {
                 const QRgb c = screen.pixel(x, y) & 0xFFFFFF;
                 counts.red += c == 0xC80000 ? 1 : 0;
                 counts.blue += c == 0x0040C0 ? 1 : 0;
                 counts.mask += c == 0xFF00FF ? 1 : 0;
               }
             }
             shown.push_back(counts);
           }
         },
         [&] { browser.EndDialog(win::kIdOk); }});
  EXPECT_EQ(browser.DoModal(), win::kIdOk);
  EXPECT_EQ(rows, 5);
  // Three recordings, then the PDF report and the KZT file.
  ASSERT_EQ(shown.size(), 5u);
  for (size_t row = 0; row < shown.size(); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(shown[row].mask, 0);
    if (row == 1) continue;  // selected: the style may tint its icon
    EXPECT_EQ(shown[row].red > 10, row < 4);
    EXPECT_EQ(shown[row].blue > 10, row == 4);
  }
  EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / "recording_browser.png"));
}

// A list that paints its own rows draws the kind icons masked: the row's colour stays wherever
// an icon has no picture, plain or half-mixed for a selected row.
TEST(MaskedImageList, BackgroundPixelsLeaveWhatLiesBelow) {
  win::ImageList images(16, 16, kDialogIconMask);
  images.Add(LoadDialogIcon(132));
  const gfx::Bitmap icon = LoadDialogIcon(132);
  constexpr gfx::Color kRow = gfx::Rgb(10, 200, 30);
  constexpr gfx::Color kHighlight = gfx::Rgb(0, 0, 120);
  for (const bool selected : {false, true}) {
    SCOPED_TRACE(selected ? "selected" : "plain");
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(QColor(gfx::RedOf(kRow), gfx::GreenOf(kRow), gfx::BlueOf(kRow)));
    {
      ImageCanvas canvas(target, QPoint(0, 0), gfx::DeviceInfo{});
      ASSERT_TRUE(images.Draw(canvas, 0, {2, 2}, selected, kHighlight));
    }
    int wrong = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const gfx::Color c = icon.GetPixel(x, y);
        gfx::Color want = c == kDialogIconMask ? kRow : c;
        if (selected && c != kDialogIconMask) {
          want = gfx::Rgb(static_cast<uint8_t>((gfx::RedOf(c) + gfx::RedOf(kHighlight)) / 2),
                          static_cast<uint8_t>((gfx::GreenOf(c) + gfx::GreenOf(kHighlight)) / 2),
                          static_cast<uint8_t>((gfx::BlueOf(c) + gfx::BlueOf(kHighlight)) / 2));
        }
        const QRgb got = target.pixel(x + 2, y + 2);
        if (gfx::Rgb(static_cast<uint8_t>(qRed(got)), static_cast<uint8_t>(qGreen(got)),
                     static_cast<uint8_t>(qBlue(got))) != want) {
          ++wrong;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(WaveOutQueue, HandsEachBufferBackOnceItsBytesAreTakenAndFillsWithSilence) {
  std::vector<sound::WaveHeader*> done;
  WaveOutQueue queue([&](sound::WaveHeader* h) { done.push_back(h); }, 0x80);
  uint8_t a[3] = {1, 2, 3};
  uint8_t b[2] = {4, 5};
  sound::WaveHeader ha{a, 3};
  sound::WaveHeader hb{b, 2};
  queue.Write(&ha);
  queue.Write(&hb);
  char out[4];
  EXPECT_EQ(queue.Read(out, 4), 4);
  EXPECT_EQ(std::vector<char>(out, out + 4), (std::vector<char>{1, 2, 3, 4}));
  EXPECT_EQ(done, std::vector<sound::WaveHeader*>{&ha});
  std::vector<sound::WaveHeader*> returned;
  queue.Reset(returned);
  EXPECT_EQ(returned, std::vector<sound::WaveHeader*>{&hb});  // partly played: back through Reset only
  EXPECT_EQ(queue.Read(out, 2), 2);
  EXPECT_EQ(static_cast<uint8_t>(out[0]), 0x80);
  EXPECT_EQ(done.size(), 1u);
}

TEST(WaveInQueue, FillsBuffersInTurnAndReturnsAPartlyFilledOneOnReset) {
  std::vector<sound::WaveHeader*> done;
  WaveInQueue queue([&](sound::WaveHeader* h) { done.push_back(h); });
  uint8_t a[2];
  uint8_t b[4];
  sound::WaveHeader ha{a, 2};
  sound::WaveHeader hb{b, 4};
  queue.Add(&ha);
  queue.Add(&hb);
  const char recorded[3] = {7, 8, 9};
  queue.Take(recorded, 3);
  EXPECT_EQ(done, std::vector<sound::WaveHeader*>{&ha});
  EXPECT_EQ(ha.bytes_recorded, 2u);
  std::vector<sound::WaveHeader*> returned;
  queue.Reset(returned);
  EXPECT_EQ(returned, std::vector<sound::WaveHeader*>{&hb});
  EXPECT_EQ(hb.bytes_recorded, 1u);
  EXPECT_EQ(b[0], 9);
}

TEST(QtAudioBackend, OpensTheDefaultOutputOrSaysThereIsNone) {
  testing_support::TestApp();
  QtAudioBackend backend;
  std::unique_ptr<sound::WaveOutDevice> device;
  sound::WaveFormatEx compressed;
  compressed.format_tag = 2;
  EXPECT_EQ(backend.OpenWaveOut(compressed, [](sound::WaveHeader*) {}, device), sound::kWaveBadFormat);
  sound::WaveFormatEx voice{1, 1, 16000, 16000, 1, 8, 0};
  const sound::MmResult result = backend.OpenWaveOut(voice, [](sound::WaveHeader*) {}, device);
  if (!QtAudioBackend::HasOutputDevice()) {
    EXPECT_EQ(result, sound::kMmNoDriver);
    EXPECT_EQ(device, nullptr);
    return;
  }
  ASSERT_EQ(result, sound::kMmNoError);
  std::vector<sound::WaveHeader*> returned;
  EXPECT_EQ(device->Reset(returned), sound::kMmNoError);
  EXPECT_EQ(device->Close(), sound::kMmNoError);
}

}  // namespace
}  // namespace qthost
