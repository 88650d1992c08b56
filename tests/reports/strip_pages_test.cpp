#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "gfx/recording_canvas.h"
#include "layouts/editing_factories.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_extreme_strips.h"
#include "reports/parts/print_four_strip_page.h"
#include "reports/parts/print_marker_strips.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/printer_base.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "trends/statistics_factories.h"
#include "views/ecg_sample_window.h"

namespace {

constexpr double kRate = 125.0;
// At 25 mm/s one sample is 0.2 mm on paper.
constexpr int kUnitsPerSample = 20;

// A text as laid out by the part: its box back in 0.01 mm from the printable corner (the tests
// print without margins).
struct PlacedText {
  std::string text;
  int left;
  int top;
  int right;
  int bottom;
};

int TwipsToUnits(int twips) { return static_cast<int>(static_cast<int64_t>(twips) * 2540 / 1440); }

std::vector<PlacedText> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<PlacedText> texts;
  for (const gfx::DisplayItem& item : dc.Items()) {
    const auto* text = std::get_if<gfx::rec::Text>(&item);
    if (text == nullptr || !text->from_draw_text) continue;
    texts.push_back({text->text, text->draw_rect.left, text->draw_rect.top, text->draw_rect.right,
                     text->draw_rect.bottom});
  }
  return texts;
}

// Texts whose box lies in the band y0..y1 (0.01 mm, y down), left to right as drawn.
std::vector<std::string> TextsInBand(const gfx::RecordingCanvas& dc, int y0, int y1) {
  std::vector<std::string> found;
  for (const PlacedText& text : TextsOf(dc))
    if (text.top == -TPrinter::HimetricToTwips(y0) && text.bottom == -TPrinter::HimetricToTwips(y1))
      found.push_back(text.text);
  return found;
}

int CountText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  const std::vector<PlacedText> texts = TextsOf(dc);
  return static_cast<int>(
      std::count_if(texts.begin(), texts.end(), [&](const PlacedText& t) { return t.text == wanted; }));
}

std::vector<std::string> CommentsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> comments;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item)) comments.push_back(comment->text);
  return comments;
}

// Opens the row operations for single rows at a chosen rectangle.
class RowProbe : public TPrintSampleStrips {
 public:
  using TPrintSampleStrips::ChooseSpeedAndGain;
  using TPrintSampleStrips::PrintAnnotations;
  using TPrintSampleStrips::PrintRow;
  using TPrintSampleStrips::SetStripRect;
  using TPrintSampleStrips::StripStart;
  using TPrintSampleStrips::TPrintSampleStrips;
};

class StripPagesTest : public reporttest::ReportPartTest {
 protected:
  static constexpr int kTop = 2800;
  static constexpr int kHeight = 5000;

  void SetUp() override {
    ReportPartTest::SetUp();
    platform::ResourcePack& own = platform::Resources().ExePack();
    own.AddStrings(SampleWindowStrings());
    AddStatisticsResources(own);
    AddEditingResources(own);
    AddSampleStripResources(own);
    AddStripPageResources(own);
    AddExtremeStripResources(own);
    ASSERT_NO_FATAL_FAILURE(OpenRecording(10));
    FillPatient();
    SettingsStore& settings = doc_->GetSettings();
    settings.SetText(SettingKey::kSetupMarginsLeft, "0");
    settings.SetText(SettingKey::kSetupMarginsTop, "0");
    settings.SetInt(SettingKey::kSamplesAutoAmplitude, 0);
    doc_->GetQRSList().RemoveAll();
    doc_->GetEventList().RemoveAll();
    doc_->GetRecordingData().ResetExampleStrips();
  }

  // Beats in ascending order: the given ones and, with an interval, a normal rhythm up to `until`.
  void PlantBeats(std::vector<std::pair<int32_t, int>> beats, int32_t interval = 0, int32_t until = 0) {
    for (int32_t p = 0; interval > 0 && p < until; p += interval) beats.emplace_back(p, kClassNormal);
    std::stable_sort(beats.begin(), beats.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [position, code] : beats)
      doc_->GetQRSList().Append(TQRSComplex(position, static_cast<uint8_t>(code)));
  }
  // Events in ascending order of start.
  void PlantEvents(const std::vector<std::pair<int32_t, int>>& events) {
    for (const auto& [start, kind] : events)
      doc_->GetEventList().Append(TEvent(start, start + 250, static_cast<uint8_t>(kind)));
  }
  void SetExamples(int kind, std::array<int32_t, 3> times_ms) {
    doc_->GetRecordingData().example_strips[static_cast<size_t>(kind)] = times_ms;
  }
  void SetRRModes(int rr, int rate) {
    doc_->GetSettings().SetInt(SettingKey::kResRRMode, rr);
    doc_->GetSettings().SetInt(SettingKey::kResRRModeMin, rate);
  }

  // The annotations of one strip row at kTop from `start`, at 25 mm/s.
  void Annotate(gfx::RecordingCanvas& dc, int32_t start, int width = TPrintSampleStrips::kStripWidth) {
    RowProbe probe(0, doc_.get(), nullptr, nullptr);
    probe.ChooseSpeedAndGain();
    probe.SetStripRect(0, kTop, width, kHeight);
    PreparePage(dc);
    probe.PrintAnnotations(dc, start);
  }

  void PrintOn(TPrinter& part, gfx::RecordingCanvas& dc, int page) {
    PreparePage(dc);
    part.PrintPage(dc, info_, page);
  }
};

// Pages recorded for the PDF export while it lives.
struct PdfExportScope {
  PdfExportScope() { BeginEmfRecording(); }
  ~PdfExportScope() { EndEmfRecording(); }
};

std::vector<EmfMarker> MarkersOf(const gfx::RecordingCanvas& dc, EmfMarkerKind kind) {
  std::vector<EmfMarker> markers;
  for (const std::string& comment : CommentsOf(dc))
    if (const std::optional<EmfMarker> marker = ParseEmfMarker(comment); marker && marker->kind == kind)
      markers.push_back(*marker);
  return markers;
}

// --- Pages of the example strips ---------------------------------------------------------------

TEST_F(StripPagesTest, ExamplePagesFollowTheSwitchesInReportOrder) {
  PlantBeats({{45050, kClassVES}}, 100, 60000);
  PlantEvents({{10000, kClassBradycardia},
               {20000, kClassSVBigeminy},
               {30000, kClassVCouplet},
               {40000, kClassArrhythmia}});
  SetExamples(kClassBradycardia, {80000, -1, -1});
  SetExamples(kClassSVBigeminy, {160000, -1, -1});
  SetExamples(kClassVCouplet, {240000, -1, -1});
  SetExamples(kClassArrhythmia, {320000, -1, -1});
  SetExamples(kClassVES, {360400, -1, -1});

  struct Case {
    const char* name;
    int bradycardia_switch;
    std::vector<std::string> captions;
  };
  const Case cases[] = {
      {"all on",
       1,
       {"Sinus rhythm : Bradycardias", "Absolute arrhythmia", "Supraventricular : Bigeminy",
        "Ventricular : VES", "Ventricular : Couplets"}},
      {"bradycardia off",
       0,
       {"Absolute arrhythmia", "Supraventricular : Bigeminy", "Ventricular : VES", "Ventricular : Couplets"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kSamplesBradycardia, c.bradycardia_switch);
    TPrintSampleStrips part(0, doc_.get(), nullptr, nullptr);
    part.SetCommand(TPrintSampleStrips::kOwnCommand);
    ASSERT_EQ(part.GetPageCount(info_), static_cast<int>(c.captions.size()));
    std::vector<std::string> captions;
    for (const TSampleStripRecord& record : part.Records()) captions.push_back(record.caption);
    EXPECT_EQ(captions, c.captions);
  }
}

TEST_F(StripPagesTest, PartPrintsForItsCommandOrTheWholeReportWithItsSwitch) {
  PlantBeats({}, 100, 60000);
  PlantEvents({{1000, kClassMarker}, {9000, kClassBradycardia}, {20000, kClassMarker}});
  SetExamples(kClassBradycardia, {72000, -1, -1});
  struct Case {
    const char* name;
    int command;
    int user_switch;
    int example_pages;
    int marker_pages;
  };
  const Case cases[] = {
      {"own commands", 0, 0, 1, 1},
      {"whole report, switches on", TPrinter::kWholeReportCommand, 1, 1, 1},
      {"whole report, switches off", TPrinter::kWholeReportCommand, 0, 0, 0},
      {"another part's command", cmd::kPrint32989, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kPrintSamples, c.user_switch);
    doc_->GetSettings().SetInt(SettingKey::kPrintMarker, c.user_switch);
    TPrintSampleStrips examples(0, doc_.get(), nullptr, nullptr);
    TPrintMarkerStrips markers(0, doc_.get(), nullptr, nullptr);
    examples.SetCommand(c.command != 0 ? c.command : TPrintSampleStrips::kOwnCommand);
    markers.SetCommand(c.command != 0 ? c.command : TPrintMarkerStrips::kOwnCommand);
    EXPECT_EQ(examples.GetPageCount(info_), c.example_pages);
    EXPECT_EQ(markers.GetPageCount(info_), c.marker_pages);
  }
}

TEST_F(StripPagesTest, OnlyTheSecondExamplePrintsOneRowAtTheTop) {
  PlantBeats({}, 100, 60000);
  PlantEvents({{10000, kClassBradycardia}});
  SetExamples(kClassBradycardia, {-1, 80000, -1});
  TPrintSampleStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintSampleStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  EXPECT_EQ(part.Records()[0].beats[0].GetPosition(), 10000);
  EXPECT_EQ(part.Records()[0].beats[1].GetPosition(), -1);

  gfx::RecordingCanvas dc(reporttest::PrinterDevice());
  PrintOn(part, dc, 1);
  const std::string legend = "10.0 mm/mV  25.0 mm/s";
  EXPECT_EQ(CountText(dc, legend), 1);
  EXPECT_EQ(TextsInBand(dc, kTop - 300, kTop - 100), std::vector<std::string>{legend});
  EXPECT_EQ(TextsInBand(dc, 1500, 2100), std::vector<std::string>{"Sinus rhythm : Bradycardias"});
}

TEST_F(StripPagesTest, ExampleNearTheStartBeginsTheStripAtSampleZero) {
  PlantBeats({{250, kClassVES}, {10250, kClassVES}}, 100, 20000);
  SetExamples(kClassVES, {2000, 82000, -1});
  TPrintSampleStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintSampleStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  gfx::RecordingCanvas dc(reporttest::PrinterDevice());
  PrintOn(part, dc, 1);

  // The first strip starts at 0, so its V stands 2 s = 50 mm in, before the first third; the
  // second one a third (308 samples) into its strip.
  std::vector<int> v_lefts;
  for (const PlacedText& text : TextsOf(dc))
    if (text.text == "V") v_lefts.push_back(text.left);
  EXPECT_EQ(v_lefts, (std::vector<int>{TPrinter::HimetricToTwips(250 * kUnitsPerSample - 300),
                                       TPrinter::HimetricToTwips(308 * kUnitsPerSample - 300)}));
  const std::string start_label = locale_.FormatShortDate(2026, 3, 1) + " " + locale_.FormatTime(10, 30, 0);
  const std::string second_label = locale_.FormatShortDate(2026, 3, 1) + " " + locale_.FormatTime(10, 31, 19);
  const std::vector<std::string> first_row = TextsInBand(dc, kTop - 400, kTop - 100);
  EXPECT_NE(std::find(first_row.begin(), first_row.end(), start_label), first_row.end());
  EXPECT_EQ(CountText(dc, second_label), 1);  // (10250 - 308) / 125 = 79.5 s, whole seconds
}

// --- Annotations of a strip row ----------------------------------------------------------------

TEST_F(StripPagesTest, IntervalLabelsShowThePlantedIntervals) {
  // From S = 900 the strip shows 925 samples; the beat at 850 only opens the first interval, the
  // one at 1830 lies past the right edge and the one at 1930 is not labelled at all.
  PlantBeats({{850, 1},
              {1000, 1},
              {1100, 1},
              {1250, 1},
              {1325, 1},
              {1425, 1},
              {1600, 1},
              {1730, 1},
              {1830, 1},
              {1930, 1}});
  SetRRModes(1, 1);
  gfx::RecordingCanvas dc(reporttest::PrinterDevice());
  Annotate(dc, 900);
  EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 600, kTop + kHeight - 400),
            (std::vector<std::string>{"1200", "800", "1200", "600", "800", "1400", "1040", "800"}));
  EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 300, kTop + kHeight - 100),
            (std::vector<std::string>{"50", "75", "50", "100", "75", "42", "57", "75"}));
  EXPECT_EQ(TextsInBand(dc, kTop, kTop + 300), std::vector<std::string>(7, "N"));
}

TEST_F(StripPagesTest, RRModesChooseWhatStandsBetweenBeats) {
  // Ten intervals from the opening beat at S = 1000; the last band is cut to 500 by the edge.
  PlantBeats({}, 100, 20000);
  struct Case {
    const char* name;
    int rr_mode;
    int rate_mode;
    std::vector<std::string> upper;
    std::vector<std::string> lower;
  };
  const std::vector<std::string> none;
  const Case cases[] = {
      {"both", 1, 1, std::vector<std::string>(10, "800"), std::vector<std::string>(10, "75")},
      {"rates only", 0, 1, none, std::vector<std::string>(10, "75")},
      {"intervals only", 1, 0, none, std::vector<std::string>(10, "800")},
      {"neither", 0, 0, none, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetRRModes(c.rr_mode, c.rate_mode);
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    Annotate(dc, 1000);
    EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 600, kTop + kHeight - 400), c.upper);
    EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 300, kTop + kHeight - 100), c.lower);
    EXPECT_EQ(CountText(dc, "HR 75 /min"), 1);
  }
}

TEST_F(StripPagesTest, IntervalBandMustBeWiderThan499) {
  // The beat at 900 stands at 180 mm; the strip's right edge cuts the next interval's band.
  PlantBeats({{800, 1}, {900, 1}, {1000, 1}});
  SetRRModes(1, 0);
  struct Case {
    int width;
    int labels;
  };
  for (const Case c : {Case{18499, 1}, Case{18500, 2}, Case{18501, 2}}) {
    SCOPED_TRACE(c.width);
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    Annotate(dc, 0, c.width);
    EXPECT_EQ(CountText(dc, "800"), c.labels);
  }
}

TEST_F(StripPagesTest, TwoBeatsAtOneSampleHaveNoRate) {
  PlantBeats({{800, 1}, {900, 1}, {900, kClassVES}, {1000, 1}});
  SetRRModes(1, 1);
  gfx::RecordingCanvas dc(reporttest::PrinterDevice());
  Annotate(dc, 0);
  EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 600, kTop + kHeight - 400),
            (std::vector<std::string>{"800", "800"}));
  EXPECT_EQ(TextsInBand(dc, kTop + kHeight - 300, kTop + kHeight - 100),
            (std::vector<std::string>{"75", "75"}));
  // The beat at 1000 lies past the strip's end at 925 samples.
  EXPECT_EQ(TextsInBand(dc, kTop, kTop + 300), (std::vector<std::string>{"N", "N", "V"}));
}

TEST_F(StripPagesTest, CrowdedEventLabelsStackDownwards) {
  PlantBeats({}, 100, 20000);
  // 50 samples are 10 mm on paper.
  struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int>> events;
    std::vector<std::string> first_line;
    std::vector<std::string> second_line;
    std::vector<std::string> third_line;
  };
  const std::vector<std::string> none;
  const Case cases[] = {
      {"10 mm apart", {{200, kClassBradycardia}, {250, kClassVCouplet}}, {"Brady"}, {"VC"}, none},
      {"20 mm apart", {{200, kClassBradycardia}, {300, kClassVCouplet}}, {"Brady", "VC"}, none, none},
      {"three crowded",
       {{200, kClassBradycardia}, {250, kClassVCouplet}, {300, kClassVTriplet}},
       {"Brady"},
       {"VC"},
       {"VTr"}},
      {"pacemaker and user events unlabelled",
       {{190, kClassPaceMaker}, {200, kClassUser}, {250, kClassVCouplet}},
       {"VC"},
       none,
       none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetEventList().RemoveAll();
    PlantEvents(c.events);
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    Annotate(dc, 0);
    EXPECT_EQ(TextsInBand(dc, kTop + 300, kTop + 600), c.first_line);
    EXPECT_EQ(TextsInBand(dc, kTop + 600, kTop + 900), c.second_line);
    EXPECT_EQ(TextsInBand(dc, kTop + 900, kTop + 1200), c.third_line);
  }
}

// --- Marker pages and the context strip --------------------------------------------------------

TEST_F(StripPagesTest, SevenMarkersMakeThreePages) {
  PlantBeats({}, 100, 70000);
  std::vector<std::pair<int32_t, int>> markers;
  for (int i = 0; i < 7; ++i) markers.emplace_back(5000 + 8000 * i, kClassMarker);
  PlantEvents(markers);
  TPrintMarkerStrips part(0, doc_.get(), nullptr, nullptr);
  part.SetCommand(TPrintMarkerStrips::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 3);
  EXPECT_EQ(part.Records()[2].beats[0].GetPosition(), 53000);
  const std::string legend = "10.0 mm/mV  25.0 mm/s";
  for (const auto& [page, rows] : {std::pair{1, 3}, std::pair{3, 1}}) {
    SCOPED_TRACE(page);
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    PrintOn(part, dc, page);
    EXPECT_EQ(CountText(dc, legend), rows);
    EXPECT_EQ(TextsInBand(dc, 1500, 2100), std::vector<std::string>{"Markers"});
  }
}

TEST_F(StripPagesTest, ContextHighlightIsCentredForExamplesAndEndsWithMarkerStrips) {
  PlantBeats({}, 100, 70000);
  PlantEvents({{20000, kClassMarker}, {30000, kClassBradycardia}});
  SetExamples(kClassBradycardia, {240000, -1, -1});
  TPrintSampleStrips examples(0, doc_.get(), nullptr, nullptr);
  TPrintMarkerStrips markers(0, doc_.get(), nullptr, nullptr);
  examples.SetCommand(TPrintSampleStrips::kOwnCommand);
  markers.SetCommand(TPrintMarkerStrips::kOwnCommand);
  ASSERT_EQ(examples.GetPageCount(info_), 1);
  ASSERT_EQ(markers.GetPageCount(info_), 1);

  // Half the printed 185 mm at 185 mm per minute: 7.4 s of 60 s over the 185 mm bracket.
  constexpr int kHalf = 1139;
  struct Case {
    const char* name;
    TPrinter* part;
    int left;
    int right;
    std::string title;
  };
  const Case cases[] = {
      {"example", &examples, 9250 - kHalf, 9250 + kHalf, "Sinus rhythm : Bradycardias"},
      {"marker", &markers, 18500 - 2 * kHalf, 18500, "Markers"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PdfExportScope pdf;
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    PrintOn(*c.part, dc, 1);
    const std::vector<EmfMarker> dots = MarkersOf(dc, EmfMarkerKind::kBGGrid);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0].rect.left, c.left);
    EXPECT_EQ(dots[0].rect.right, c.right);
    EXPECT_EQ(dots[0].rect.top, -(kTop + kHeight));
    EXPECT_EQ(dots[0].rect.bottom, -(kTop + kHeight + 1500));
    const std::vector<EmfMarker> titles = MarkersOf(dc, EmfMarkerKind::kPageTitle);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].title, c.title);
  }
}

// --- Heart-rate extreme pages ------------------------------------------------------------------

TEST_F(StripPagesTest, ExtremePagesPrintTheRowsWhoseExtremesAreSet) {
  PlantBeats({}, 100, 70000);
  struct Case {
    const char* name;
    std::array<int32_t, 4> beats;  // HR min, HR max, RR min, RR max
    int pages;
    std::array<int32_t, 4> positions;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {"all set",
       {10, 20, 30, 40},
       1,
       {1000, 2000, 3000, 4000},
       {"Min.", "Max.", "Shortest RR interval", "Longest RR interval"}},
      {"RR extremes unset", {10, 20, -1, -1}, 1, {1000, 2000, -1, -1}, {"Min.", "Max."}},
      {"only the maximum", {-1, 20, -1, -1}, 1, {-1, 2000, -1, -1}, {"Max."}},
      {"an index past the list", {-1, 700, -1, 40}, 1, {-1, -1, -1, 4000}, {"Longest RR interval"}},
      {"none set", {-1, -1, -1, -1}, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->SetHRMin(40, 0, c.beats[0], 0);
    doc_->SetHRMax(160, 0, c.beats[1], 0);
    doc_->SetRRMin(40, 0, c.beats[2], 0);
    doc_->SetRRMax(200, 0, c.beats[3], 0);
    TPrintHRExtremeStrips part(0, doc_.get(), nullptr, nullptr);
    part.SetCommand(TPrintHRExtremeStrips::kOwnCommand);
    ASSERT_EQ(part.GetPageCount(info_), c.pages);
    if (c.pages == 0) continue;
    EXPECT_EQ(part.Items()[0].positions, c.positions);

    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    PrintOn(part, dc, 1);
    EXPECT_EQ(TextsInBand(dc, 1500, 2100), std::vector<std::string>{"Heart rate and RR extremes:"});
    // Each label stands just above its row's strip, right of the time label.
    std::vector<std::string> labels;
    for (int row = 0; row < 4; ++row) {
      const int top = TPrintStripPage::kFirstStripTop + TPrintStripPage::kStripPitch * row;
      for (const PlacedText& text : TextsOf(dc))
        // Offset and position are converted to twips one by one: one twip may differ.
        if (text.left == TPrinter::HimetricToTwips(7000) &&
            std::abs(text.top + TPrinter::HimetricToTwips(top - 400)) <= 1) {
          EXPECT_NE(c.positions[static_cast<size_t>(row)], -1) << text.text;
          labels.push_back(text.text);
        }
    }
    EXPECT_EQ(labels, c.labels);
  }
}

TEST_F(StripPagesTest, ExtremePartsNeedBeatsAndTheirOwnCommandOrSwitch) {
  doc_->SetSinusHRMin(50, 0, 10, 0);
  doc_->SetSinusHRMax(0, 0, -1, 0);
  doc_->SetNNMin(0, 0, -1, 0);
  doc_->SetNNMax(150, 0, 30, 0);
  {
    SCOPED_TRACE("empty beat list");
    TPrintSinusExtremeStrips part(0, doc_.get(), nullptr, nullptr);
    part.SetCommand(TPrintSinusExtremeStrips::kOwnCommand);
    EXPECT_EQ(part.GetPageCount(info_), 0);
  }
  PlantBeats({}, 100, 70000);
  struct Case {
    const char* name;
    int command;
    int user_switch;
    int pages;
  };
  const Case cases[] = {
      {"own command", TPrintSinusExtremeStrips::kOwnCommand, 0, 1},
      {"whole report, switch on", TPrinter::kWholeReportCommand, 1, 1},
      {"whole report, switch off", TPrinter::kWholeReportCommand, 0, 0},
      {"the heart-rate page's command", TPrintHRExtremeStrips::kOwnCommand, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kPrintMinMaxSinusHR_RR, c.user_switch);
    TPrintSinusExtremeStrips part(0, doc_.get(), nullptr, nullptr);
    part.SetCommand(c.command);
    ASSERT_EQ(part.GetPageCount(info_), c.pages);
    if (c.pages == 0) continue;
    EXPECT_EQ(part.Items()[0].positions, (std::array<int32_t, 4>{1000, -1, -1, 3000}));
    PdfExportScope pdf;
    gfx::RecordingCanvas dc(reporttest::PrinterDevice());
    PrintOn(part, dc, 1);
    const std::vector<EmfMarker> titles = MarkersOf(dc, EmfMarkerKind::kPageTitle);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles.back().title, "Sinus rate and NN extremes");
    EXPECT_EQ(CountText(dc, "Sinus rate min."), 1);
    EXPECT_EQ(CountText(dc, "Longest NN interval"), 1);
  }
}

}  // namespace
