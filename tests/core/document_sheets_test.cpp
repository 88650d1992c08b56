// The document's settings sheets: what each page shows, what OK stores and what it refuses.
#include "core/document_sheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/zk470_app.h"
#include "dialogs/analysis_pages.h"
#include "dialogs/colour_page.h"
#include "dialogs/display_pages.h"
#include "dialogs/qx99_extra_dlg.h"
#include "dialogs/st_dlgs.h"
#include "document/doc_test_support.h"
#include "document/document_context.h"
#include "gfx/pixel_canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "recorder/real_speed_dlg.h"
#include "recorder/recorder_screen_factories.h"
#include "win/controls.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
namespace ds = document_sheets;
using win::testing_support::WinTest;

constexpr char kLibrary[] = "1.02.03.04";
constexpr char kNoLibrary[] = "-         ";

class DocumentSheetsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    cwd_ = fs::current_path();
    context_ = std::make_unique<ContextGuard>();
    AddAnalysisPageResources(platform::Resources().ExePack());
    AddDisplayPageResources(platform::Resources().ExePack());
    AddRecorderScreenResources(platform::Resources().ExePack());
    AddSTDialogResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    profile_ = std::make_unique<platform::IniProfileStore>(Ini());
    doc_ = std::make_unique<CZK470Doc>(*profile_, clock_, Defaults());
    doc_->SetHost(&host_);
    doc_->AddView(&view_);
  }
  void TearDown() override {
    doc_->RemoveView(&view_);
    doc_.reset();
    main_.DestroyWindow();
    context_.reset();
    fs::current_path(cwd_);
    WinTest::TearDown();
  }

  fs::path Ini() const { return fs::path(temp_.File("zk470.ini")); }
  SettingsDefaults Defaults() const {
    SettingsDefaults defaults;
    defaults.home = temp_.File("home");
    return defaults;
  }
  std::string IniText() const {
    std::ifstream in(Ini());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The settings a new document reads from the INI file.
  SettingsStore Reread() {
    platform::IniProfileStore profile(Ini());
    CZK470Doc fresh(CZK470Doc::NoUserInterface{}, profile, clock_, Defaults());
    fresh.LoadSettings();
    return fresh.GetSettings();
  }

  // Runs the sheet of command id; step gets the sheet once it shows.
  void Run(int id, const std::function<void(win::PropertySheet&)>& step,
           const std::string& library = kLibrary) {
    DriveModal({[&](win::Window* modal) {
      auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
      ASSERT_NE(sheet, nullptr);
      step(*sheet);
    }});
    ASSERT_TRUE(ds::RunDocumentSheet(*doc_, id, &main_, library));
  }

  static win::PropertyPage& Page(win::PropertySheet& sheet, int index) {
    EXPECT_TRUE(sheet.SetActivePage(index));
    return *sheet.GetPage(index);
  }
  static void Click(win::Window& page, int id) {
    auto* button = dynamic_cast<win::Button*>(page.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }
  static bool Checked(win::Window& page, int id) {
    auto* button = dynamic_cast<win::Button*>(page.GetDlgItem(id));
    return button != nullptr && button->GetCheck() == win::kBstChecked;
  }
  static bool Enabled(win::Window& page, int id) { return page.GetDlgItem(id)->IsWindowEnabled(); }
  static int Selected(win::PropertyPage& page, int id) { return page.Item<win::ComboBox>(id)->GetCurSel(); }
  static void Choose(win::PropertyPage& page, int id, int index) {
    page.Item<win::ComboBox>(id)->SelectFromUser(index);
  }

  int Hints(int hint) const {
    return static_cast<int>(std::count(view_.hints.begin(), view_.hints.end(), hint));
  }

  SettingsStore& Settings() { return doc_->GetSettings(); }

  testsupport::TempFolder temp_;
  fs::path cwd_;
  std::unique_ptr<ContextGuard> context_;
  win::Window main_;
  std::unique_ptr<platform::IniProfileStore> profile_;
  doctest::FakeHost host_;
  doctest::RecordingView view_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(DocumentSheetsTest, AnalysisSheetStoresEveryKeyCrosswise) {
  Settings().SetInt(SettingKey::kAnalyzeSVAnalysisOn, 1);
  Settings().SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, 1);
  Settings().SetInt(SettingKey::kUserAnalyzeModus, 0);
  Settings().SetInt(SettingKey::kSTTrendOn1, 1);
  Run(ds::kAnalysisSheet, [&](win::PropertySheet& sheet) {
    ASSERT_EQ(sheet.GetPageCount(), 4);
    EXPECT_EQ(sheet.GetWindowText(), "Analysis settings");
    win::PropertyPage& limits = Page(sheet, 0);
    Choose(limits, TAnalyzeOptDlg::kBradycardiaId, 8);            // 70 per minute
    Choose(limits, TAnalyzeOptDlg::kPauseId, 6);                  // 4.0 s
    Choose(limits, TAnalyzeOptDlg::kSVESPrematurityId, 7);        // 50 percent
    Choose(limits, TAnalyzeOptDlg::kTachycardiaId, 14);           // 220 per minute
    Choose(limits, TAnalyzeOptDlg::kArrhythmiaPrematurityId, 0);  // 15 percent
    Choose(limits, TAnalyzeOptDlg::kArrhythmiaDurationId, 7);     // 10 minutes
    EXPECT_EQ(limits.Item<win::ComboBox>(TAnalyzeOptDlg::kPauseId)->GetLBText(6), "4.0");
    EXPECT_EQ(limits.Item<win::ComboBox>(TAnalyzeOptDlg::kTachycardiaId)->GetLBText(14), "220");
    EXPECT_EQ(limits.Item<win::ComboBox>(TAnalyzeOptDlg::kArrhythmiaDurationId)->GetLBText(3), "1 min");
    Click(limits, TAnalyzeOptDlg::kAbsArrhythmiaSwitchId);  // absolute arrhythmia off, SVES stays on
    win::PropertyPage& st = Page(sheet, 1);
    Click(st, TSTOptionsDlg::kSwitchIds[1]);
    Choose(st, TSTOptionsDlg::kPointId, 6);
    win::PropertyPage& templates = Page(sheet, 2);
    templates.Item<win::Edit>(TTemplateOptions::kCountId)->SetTextFromUser("300");
    win::PropertyPage& mode = Page(sheet, 3);
    EXPECT_EQ(mode.GetDlgItemText(TAnalyzeModeOpt::kBuiltInVersionId), "1.78");
    EXPECT_EQ(mode.GetDlgItemText(TAnalyzeModeOpt::kLibraryVersionId), kLibrary);
    EXPECT_TRUE(Enabled(mode, TAnalyzeModeOpt::kLibraryModeId));
    Click(mode, TAnalyzeModeOpt::kLibraryModeId);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_TRUE(MessagesAsked().empty());
  EXPECT_EQ(host_.posted, std::vector<uint32_t>{msg::kStatusRefresh});

  const SettingsStore s = Reread();
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeBradycardia), 8);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzePauseA), 6);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeSVESPrematurity), 7);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeTachycardia), 14);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeArrhyPrematurity), 0);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeArrhyDuration), 7);
  EXPECT_EQ(s.Int(SettingKey::kSTTrendOn1), 0);
  EXPECT_EQ(s.Int(SettingKey::kSTPoint), 6);
  EXPECT_EQ(s.Int(SettingKey::kTemplatesVESTemplates), 300);
  EXPECT_EQ(s.Int(SettingKey::kUserAnalyzeModus), 1);
  // Each switch lives under the other one's key.
  platform::IniProfileStore profile(Ini());
  EXPECT_EQ(profile.GetInt("Analyze", "Abs.-Arrhythmia ON"), 1);  // the SVES switch
  EXPECT_EQ(profile.GetInt("Analyze", "SVES ON"), 0);             // the absolute-arrhythmia switch
}

TEST_F(DocumentSheetsTest, CancelChangesNothing) {
  doc_->SaveSettings();
  const std::string before = IniText();
  const auto switches = doc_->GetViewFields().channel_page_switches;
  for (const int id : {ds::kAnalysisSheet, ds::kDisplaySpeedSheet, ds::kHeartRateSheet, ds::kChannelsSheet}) {
    SCOPED_TRACE(id);
    Run(id, [&](win::PropertySheet& sheet) {
      for (int p = 0; p < sheet.GetPageCount(); ++p) {
        win::PropertyPage& page = Page(sheet, p);
        // Flip whatever radio or box comes first on every page.
        for (const int first :
             {TAnalyzeOptDlg::kSVESSwitchId, TSpeedAmplitudePage::kSpeedId + 2, TECGSpeddDlg::kSpeedId + 3,
              TTrendHRDlg::kAverageId + 2, TChannelsDlg::kFirstId, TAnalyzeModeOpt::kLibraryModeId}) {
          if (page.GetDlgItem(first) != nullptr) Click(page, first);
        }
      }
      sheet.PressButton(win::kIdCancel);
    });
  }
  EXPECT_EQ(IniText(), before);
  EXPECT_EQ(doc_->GetViewFields().channel_page_switches, switches);
  EXPECT_TRUE(view_.hints.empty());
  EXPECT_TRUE(host_.posted.empty());
}

TEST_F(DocumentSheetsTest, SwitchesGreyTheirLimits) {
  Settings().SetInt(SettingKey::kAnalyzeSVAnalysisOn, 0);
  Settings().SetInt(SettingKey::kAnalyzeAbsArrhythmiaOn, 0);
  Run(ds::kAnalysisSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& page = Page(sheet, 0);
    for (const int id : {TAnalyzeOptDlg::kSVESPrematurityId, TAnalyzeOptDlg::kArrhythmiaPrematurityId,
                         TAnalyzeOptDlg::kArrhythmiaDurationId})
      EXPECT_FALSE(Enabled(page, id)) << id;
    EXPECT_TRUE(Enabled(page, TAnalyzeOptDlg::kBradycardiaId));
    Click(page, TAnalyzeOptDlg::kSVESSwitchId);
    EXPECT_TRUE(Enabled(page, TAnalyzeOptDlg::kSVESPrematurityId));
    EXPECT_FALSE(Enabled(page, TAnalyzeOptDlg::kArrhythmiaPrematurityId));
    Click(page, TAnalyzeOptDlg::kAbsArrhythmiaSwitchId);
    EXPECT_TRUE(Enabled(page, TAnalyzeOptDlg::kArrhythmiaPrematurityId));
    EXPECT_TRUE(Enabled(page, TAnalyzeOptDlg::kArrhythmiaDurationId));
    Click(page, TAnalyzeOptDlg::kSVESSwitchId);
    EXPECT_FALSE(Enabled(page, TAnalyzeOptDlg::kSVESPrematurityId));
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_EQ(Reread().Int(SettingKey::kAnalyzeSVAnalysisOn), 0);
  EXPECT_EQ(Reread().Int(SettingKey::kAnalyzeAbsArrhythmiaOn), 1);
}

// The defaults button resets the four limits on the screen at once and leaves the rest.
TEST_F(DocumentSheetsTest, DefaultsButtonResetsFourLimits) {
  Settings().SetInt(SettingKey::kAnalyzeBradycardia, 7);
  Settings().SetInt(SettingKey::kAnalyzePauseA, 5);
  Settings().SetInt(SettingKey::kAnalyzeSVESPrematurity, 6);
  Settings().SetInt(SettingKey::kAnalyzeTachycardia, 9);
  Settings().SetInt(SettingKey::kAnalyzeArrhyPrematurity, 4);
  Run(ds::kAnalysisSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& page = Page(sheet, 0);
    Choose(page, TAnalyzeOptDlg::kArrhythmiaDurationId, 5);
    Click(page, TAnalyzeOptDlg::kDefaultsId);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kBradycardiaId), 2);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kPauseId), 1);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kSVESPrematurityId), 1);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kTachycardiaId), 2);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kArrhythmiaPrematurityId), 4);
    EXPECT_EQ(Selected(page, TAnalyzeOptDlg::kArrhythmiaDurationId), 5);
    sheet.PressButton(win::kIdOk);
  });
  const SettingsStore s = Reread();
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeBradycardia), 2);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzePauseA), 1);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeSVESPrematurity), 1);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeTachycardia), 2);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeArrhyPrematurity), 4);
  EXPECT_EQ(s.Int(SettingKey::kAnalyzeArrhyDuration), 5);
}

// Without the external library only the built-in engine can be chosen, whether or not the mode
// page is ever shown.
TEST_F(DocumentSheetsTest, MissingLibraryForcesTheBuiltInEngine) {
  EXPECT_EQ(CZK470App::FormatLibraryVersion(0x1020304), kLibrary);
  for (const bool visit : {true, false}) {
    SCOPED_TRACE(visit);
    Settings().SetInt(SettingKey::kUserAnalyzeModus, 1);
    Run(
        ds::kAnalysisSheet,
        [&](win::PropertySheet& sheet) {
          if (visit) {
            win::PropertyPage& mode = Page(sheet, 3);
            EXPECT_EQ(mode.GetDlgItemText(TAnalyzeModeOpt::kLibraryVersionId), kNoLibrary);
            EXPECT_FALSE(Enabled(mode, TAnalyzeModeOpt::kLibraryModeId));
            EXPECT_TRUE(Checked(mode, TAnalyzeModeOpt::kBuiltInModeId));
            EXPECT_FALSE(Checked(mode, TAnalyzeModeOpt::kLibraryModeId));
          }
          sheet.PressButton(win::kIdOk);
        },
        kNoLibrary);
    EXPECT_EQ(Reread().Int(SettingKey::kUserAnalyzeModus), 0);
  }
}

TEST_F(DocumentSheetsTest, TemplateCountAbove300IsRefusedOnItsPage) {
  Settings().SetInt(SettingKey::kTemplatesVESTemplates, 50);
  doc_->SaveSettings();
  Run(ds::kAnalysisSheet, [&](win::PropertySheet& sheet) {
    Page(sheet, 2).Item<win::Edit>(TTemplateOptions::kCountId)->SetTextFromUser("301");
    EXPECT_FALSE(sheet.SetActivePage(0));  // leaving the page already checks it
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    sheet.PressButton(win::kIdOk);
    EXPECT_TRUE(sheet.IsWindow());
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    sheet.PressButton(win::kIdCancel);
  });
  ASSERT_FALSE(MessagesAsked().empty());
  EXPECT_EQ(MessagesAsked().back(), "Please enter an integer between 0 and 300.");
  EXPECT_EQ(Reread().Int(SettingKey::kTemplatesVESTemplates), 50);
  EXPECT_TRUE(host_.posted.empty());
}

// The ECG page keeps one amplitude per speed group; the fast group is stored two places further.
TEST_F(DocumentSheetsTest, DisplaySpeedSheetStoresAndReopens) {
  Settings().SetInt(SettingKey::kResECGSpeed, 0);
  Settings().SetInt(SettingKey::kResECGAmplitude, 0);
  Settings().SetInt(SettingKey::kResRealTimeAmplitude, 1);
  Run(ds::kDisplaySpeedSheet, [&](win::PropertySheet& sheet) {
    ASSERT_EQ(sheet.GetPageCount(), 4);
    EXPECT_EQ(sheet.GetWindowText(), "Display speed");
    win::PropertyPage& sample = Page(sheet, 0);
    Click(sample, TSpeedAmplitudePage::kSpeedId + 2);
    Click(sample, TSpeedAmplitudePage::kAmplitudeId);
    win::PropertyPage& ecg = Page(sheet, 1);
    EXPECT_TRUE(Enabled(ecg, TECGSpeddDlg::kSlowAmplitudeId));
    EXPECT_FALSE(Enabled(ecg, TECGSpeddDlg::kFastAmplitudeId + 1));
    EXPECT_FALSE(Enabled(ecg, TECGSpeddDlg::kFastLabelId));
    Click(ecg, TECGSpeddDlg::kSpeedId + 3);
    EXPECT_FALSE(Enabled(ecg, TECGSpeddDlg::kSlowAmplitudeId));
    EXPECT_FALSE(Enabled(ecg, TECGSpeddDlg::kSlowLabelId));
    EXPECT_TRUE(Enabled(ecg, TECGSpeddDlg::kFastAmplitudeId + 1));
    Click(ecg, TECGSpeddDlg::kFastAmplitudeId + 1);
    win::PropertyPage& zoom = Page(sheet, 2);
    Click(zoom, TSpeedAmplitudePage::kSpeedId);
    Click(zoom, TSpeedAmplitudePage::kAmplitudeId + 2);
    win::PropertyPage& real_time = Page(sheet, 3);
    EXPECT_TRUE(Checked(real_time, TRealSpeedDlg::kAmplitudeId + 1));
    Click(real_time, TRealSpeedDlg::kAmplitudeId);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_EQ(Hints(hint::kDisplaySettings), 1);
  const SettingsStore s = Reread();
  EXPECT_EQ(s.Int(SettingKey::kResSampleSpeed), 2);
  EXPECT_EQ(s.Int(SettingKey::kResSampleAmplitude), 0);
  EXPECT_EQ(s.Int(SettingKey::kResECGSpeed), 3);
  EXPECT_EQ(s.Int(SettingKey::kResECGAmplitude), 3);
  EXPECT_EQ(s.Int(SettingKey::kResZoomSpeed), 0);
  EXPECT_EQ(s.Int(SettingKey::kResZoomAmplitude), 2);
  EXPECT_EQ(s.Int(SettingKey::kResRealTimeAmplitude), 0);

  Run(ds::kDisplaySpeedSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& ecg = Page(sheet, 1);
    EXPECT_TRUE(Checked(ecg, TECGSpeddDlg::kSpeedId + 3));
    EXPECT_TRUE(Checked(ecg, TECGSpeddDlg::kFastAmplitudeId + 1));
    EXPECT_FALSE(Checked(ecg, TECGSpeddDlg::kFastAmplitudeId));
    sheet.PressButton(win::kIdCancel);
  });
}

TEST_F(DocumentSheetsTest, DisplaySpeedSheetOpensOnThePageOfTheScreen) {
  const struct {
    DisplayMode mode;
    int page;
  } cases[] = {{DisplayMode::kNavigation, 1}, {DisplayMode::kOnlineEcg, 2}, {DisplayMode::kNone, 0}};
  for (const auto& c : cases) {
    doc_->SetDisplayMode(c.mode);
    Run(ds::kDisplaySpeedSheet, [&](win::PropertySheet& sheet) {
      EXPECT_EQ(sheet.GetActiveIndex(), c.page);
      sheet.PressButton(win::kIdCancel);
    });
  }
}

TEST_F(DocumentSheetsTest, HeartRateSheetSavesOnlyAChange) {
  Settings().SetInt(SettingKey::kHeartrateTrendAverage, 1);
  Settings().SetInt(SettingKey::kHeartrateTrendMiddleAverage, 2);
  doc_->SaveSettings();
  const std::string before = IniText();
  Run(ds::kHeartRateSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& page = Page(sheet, 0);
    EXPECT_TRUE(Checked(page, TTrendHRDlg::kAverageId + 1));
    EXPECT_EQ(Selected(page, TTrendHRDlg::kMiddleAverageId), 2);
    EXPECT_EQ(page.Item<win::ComboBox>(TTrendHRDlg::kMiddleAverageId)->GetLBText(3), "600 beats");
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_EQ(IniText(), before);
  EXPECT_EQ(Hints(hint::kHeartRateAveraging), 0);

  Run(ds::kHeartRateSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& page = Page(sheet, 0);
    Click(page, TTrendHRDlg::kAverageId + 2);
    Choose(page, TTrendHRDlg::kMiddleAverageId, 0);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_EQ(Hints(hint::kHeartRateAveraging), 1);
  const SettingsStore s = Reread();
  EXPECT_EQ(s.Int(SettingKey::kHeartrateTrendAverage), 2);
  EXPECT_EQ(s.Int(SettingKey::kHeartrateTrendMiddleAverage), 0);
}

// The channel switches live in the document only.
TEST_F(DocumentSheetsTest, ChannelsSheetKeepsItsSwitchesOutOfTheProfile) {
  doc_->SaveSettings();
  const std::string before = IniText();
  Run(ds::kChannelsSheet, [&](win::PropertySheet& sheet) {
    win::PropertyPage& page = Page(sheet, 0);
    EXPECT_TRUE(Checked(page, TChannelsDlg::kFirstId));
    EXPECT_TRUE(Checked(page, TChannelsDlg::kSecondId));
    Click(page, TChannelsDlg::kSecondId);
    sheet.PressButton(win::kIdOk);
  });
  EXPECT_EQ(doc_->GetViewFields().channel_page_switches, (std::array<int32_t, 2>{1, 0}));
  EXPECT_EQ(Hints(hint::kDisplaySettings), 1);
  EXPECT_EQ(IniText(), before);
  EXPECT_FALSE(ds::RunDocumentSheet(*doc_, 32839, &main_, kLibrary));
}

// Colour swatches: sorted darkest first, selection framed in the inverted colour.
TEST(ColourCombo, OrderAndSelectionFrame) {
  const auto& table = ColourTable();
  ASSERT_EQ(table.size(), 15u);
  const gfx::Color white = table[0], red = table[7], black = table[14];
  EXPECT_LT(TColourCombo::CompareItem(red, white), 0);
  EXPECT_GT(TColourCombo::CompareItem(white, red), 0);
  EXPECT_EQ(TColourCombo::CompareItem(table[5], table[11]), 0);
  EXPECT_EQ(TColourCombo::MeasureItem(), 20);

  const struct {
    gfx::Color colour;
    unsigned action;
    bool selected;
    gfx::Color frame;  // pixel on the frame
    gfx::Color inside;
  } cases[] = {
      {white, TColourCombo::kDrawEntire, true, black, white},
      {black, TColourCombo::kDrawEntire, true, white, black},
      {red, TColourCombo::kDrawEntire, false, red, red},
      // Only the selection went: the old frame is painted over in the entry's colour.
      {red, TColourCombo::kDrawSelect, false, red, 0x123456},
  };
  for (const auto& c : cases) {
    gfx::testing_support::PixelCanvas canvas(30, 24, 0x123456);
    canvas.FrameRect({2, 2, 28, 22}, gfx::Brush{gfx::BrushStyle::kSolid, 0x00FF00});
    TColourCombo::DrawItem(canvas, {0, 0, 30, 24}, c.colour, c.action, c.selected);
    EXPECT_EQ(canvas.Pixels().GetPixel(2, 2), c.frame);
    EXPECT_EQ(canvas.Pixels().GetPixel(15, 12), c.inside);
    EXPECT_EQ(canvas.Pixels().GetPixel(1, 1), 0x123456u);  // two pixels in on every side
  }
}

TEST_F(DocumentSheetsTest, ColoursPageShowsTheTwelveSettings) {
  AddColourPageResources(platform::Resources().ExePack());
  Settings().SetInt(SettingKey::kColorPause, 3);
  Settings().SetInt(SettingKey::kColorMarker, 9);
  Settings().SetInt(SettingKey::kColorHRTrendAverage, 12);
  TColoursPage page(*doc_);
  win::PropertySheet sheet("Colours", &main_);
  sheet.AddPage(page);
  DriveModal({[&](win::Window*) {
    EXPECT_EQ(page.Box(0).GetCount(), 15);
    EXPECT_EQ(page.Box(0).ColourAt(7), gfx::Rgb(255, 0, 0));
    EXPECT_EQ(Selected(page, 1011), 3);
    EXPECT_EQ(Selected(page, 1068), 9);
    EXPECT_EQ(Selected(page, 1078), 12);
    page.Item<win::ComboBox>(1011)->SelectFromUser(4);
    sheet.PressButton(win::kIdOk);
  }});
  ASSERT_EQ(sheet.DoModal(), win::kIdOk);
  EXPECT_EQ(page.values[5], 4);  // the value exchanged with the pause box
  EXPECT_EQ(page.values[3], 9);  // the marker box
}

// The extras dialog shows the stored analysis mode in its group of three (in the order 1366,
// 1368, 1367) and the built-in file mode; OK hands back what was clicked, Cancel what it had.
TEST_F(DocumentSheetsTest, ExtrasDialogExchangesBothGroups) {
  AddQX99ExtraDlgResources(platform::Resources().ExePack());
  struct Case {
    const char* name;
    int stored_mode;
    int checked_on_open;
    int click_analysis;
    int click_file;
    int button;
    int want_mode;
    int want_file;
  };
  const Case cases[] = {
      {"library shown, variant chosen", 1, TQX99ExtraDlg::kAnalysisLibraryId,
       TQX99ExtraDlg::kAnalysisVariantId, TQX99ExtraDlg::kFileLibraryId, win::kIdOk, 2, 1},
      {"variant shown, built-in chosen", 2, TQX99ExtraDlg::kAnalysisVariantId,
       TQX99ExtraDlg::kAnalysisBuiltInId, TQX99ExtraDlg::kFileBuiltInId, win::kIdOk, 0, 0},
      {"cancelled", 0, TQX99ExtraDlg::kAnalysisBuiltInId, TQX99ExtraDlg::kAnalysisLibraryId,
       TQX99ExtraDlg::kFileLibraryId, win::kIdCancel, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings().SetInt(SettingKey::kUserAnalyzeModus, c.stored_mode);
    TQX99ExtraDlg dialog(*doc_, &main_);
    DriveModal({[&](win::Window* modal) {
      ASSERT_EQ(modal, &dialog);
      EXPECT_EQ(dialog.GetWindowText(), "Extras");
      EXPECT_EQ(dialog.GetDlgItem(TQX99ExtraDlg::kVersionId)->GetWindowText(), "X.XX");
      EXPECT_EQ(dialog.GetDlgItem(TQX99ExtraDlg::kLongVersionId)->GetWindowText(), "X.XX.XX.XX");
      for (int id : {TQX99ExtraDlg::kAnalysisBuiltInId, TQX99ExtraDlg::kAnalysisLibraryId,
                     TQX99ExtraDlg::kAnalysisVariantId})
        EXPECT_EQ(Checked(dialog, id), id == c.checked_on_open) << id;
      EXPECT_TRUE(Checked(dialog, TQX99ExtraDlg::kFileBuiltInId));
      EXPECT_FALSE(Checked(dialog, TQX99ExtraDlg::kFileLibraryId));
      Click(dialog, c.click_analysis);
      Click(dialog, c.click_file);
      Click(dialog, c.button);
    }});
    EXPECT_EQ(dialog.DoModal(), c.button);
    if (c.button == win::kIdOk) {
      EXPECT_EQ(dialog.analysis_mode, c.want_mode);
      EXPECT_EQ(dialog.file_mode, c.want_file);
    } else {
      EXPECT_EQ(dialog.analysis_mode, c.stored_mode);
      EXPECT_EQ(dialog.file_mode, 0);
    }
    // The dialog only hands its choice back: the stored mode stays.
    EXPECT_EQ(Settings().Int(SettingKey::kUserAnalyzeModus), c.stored_mode);
  }
}

}  // namespace
