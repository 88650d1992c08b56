#include "reports/parts/print_user_event_strips.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_sample_strips.h"
#include "reports/print_auto_gain.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

constexpr int kMinute = 7500;

std::vector<std::string> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(text->text);
  return texts;
}

bool HasText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  for (const std::string& text : TextsOf(dc))
    if (text == wanted) return true;
  return false;
}

std::vector<EmfMarker> MarkersOf(const gfx::RecordingCanvas& dc) {
  std::vector<EmfMarker> markers;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item))
      if (std::optional<EmfMarker> marker = ParseEmfMarker(comment->text)) markers.push_back(*marker);
  return markers;
}

class UserEventStripsTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenRecording(6));
    FillPatient();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddSampleStripResources(own);
    AddStripPageResources(own);
  }

  void PlantEvents(const std::vector<TEvent>& events) {
    doc_->GetEventList().RemoveAll();
    for (const TEvent& event : events) doc_->GetEventList().Append(event);
  }

  static TEvent User(int32_t position) { return {position, position + 10, kClassUser}; }

  std::unique_ptr<TPrintUserEventStrips> MakePart(int command) {
    auto part = std::make_unique<TPrintUserEventStrips>(0, doc_.get(), nullptr, nullptr);
    part->SetCommand(command);
    return part;
  }
};

// --- Pages ---------------------------------------------------------------------------------------

TEST_F(UserEventStripsTest, PagesHoldTheUserEventsFourAPageInListOrder) {
  using Rows = std::array<int32_t, 4>;
  struct Case {
    const char* name;
    std::vector<TEvent> events;
    std::vector<Rows> want;
  };
  const Case kCases[] = {
      {"no user events", {{100, 200, kClassMarker}}, {}},
      {"five user events",
       {User(1000), User(2000), User(3000), User(4000), User(5000)},
       {{1000, 2000, 3000, 4000}, {5000, -1, -1, -1}}},
      {"interleaved with other kinds",
       {{500, 600, kClassMarker},
        User(1000),
        {1200, 1300, kClassPause},
        {1500, 1500, kClassPaceMaker},
        User(2000),
        {2500, 9000, kClassVTachycardia},
        User(3000)},
       {{1000, 2000, 3000, -1}}},
      {"exactly four", {User(10), User(20), User(30), User(40)}, {{10, 20, 30, 40}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PlantEvents(c.events);
    auto part = MakePart(TPrintUserEventStrips::kOwnCommand);
    EXPECT_EQ(part->GetPageCount(info_), static_cast<int>(c.want.size()));
    std::vector<Rows> got;
    for (const TPrintStripPageItem& item : part->Items()) got.push_back(item.positions);
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(UserEventStripsTest, TakesPartOnItsCommandOrWithItsSwitchInTheWholeReport) {
  PlantEvents({User(1000)});
  struct Case {
    const char* name;
    int command;
    int user_sections;
    int want;
  };
  constexpr Case kCases[] = {
      {"own command", TPrintUserEventStrips::kOwnCommand, 0, 1},
      {"whole report, switch on", TPrinter::kWholeReportCommand, 1, 1},
      {"whole report, switch off", TPrinter::kWholeReportCommand, 0, 0},
      {"another part's command", TPrintSampleStrips::kOwnCommand, 1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kPrintUserSections, c.user_sections);
    EXPECT_EQ(MakePart(c.command)->GetPageCount(info_), c.want);
  }
}

// --- Printed page ----------------------------------------------------------------------------------

TEST_F(UserEventStripsTest, PageWithTwoRowsHasPaperOnlyBehindThem) {
  // Six events: the second page has rows 1 and 2. The first of them lies closer than a third of
  // a strip to the start.
  PlantEvents({User(2 * kMinute), User(2 * kMinute + 10), User(2 * kMinute + 20), User(2 * kMinute + 30),
               User(100), User(kMinute)});
  auto part = MakePart(TPrintUserEventStrips::kOwnCommand);
  ASSERT_EQ(part->GetPageCount(info_), 2);
  EXPECT_EQ(part->Items()[1].positions, (std::array<int32_t, 4>{100, kMinute, -1, -1}));

  BeginEmfRecording();
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part->PrintPage(dc, info_, 2);
  EndEmfRecording();
  part->SetOffset(0, 0);

  std::vector<EmfMarker> grids;
  std::vector<std::string> titles;
  for (const EmfMarker& marker : MarkersOf(dc)) {
    if (marker.kind == EmfMarkerKind::kMMGrid) grids.push_back(marker);
    if (marker.kind == EmfMarkerKind::kPageTitle) titles.push_back(marker.title);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"User events"}));
  ASSERT_EQ(grids.size(), 2U);
  for (size_t row = 0; row < grids.size(); ++row) {
    SCOPED_TRACE(row);
    const int top = 2900 + 5700 * static_cast<int>(row);
    EXPECT_EQ(grids[row].rect, (gfx::Rect{part->XToPage(0), part->YToPage(top), part->XToPage(18500),
                                          part->YToPage(top + 5000)}));
  }
  // Row 1 starts at the recording's start; row 2 308 samples (a third of 185 mm at 25 mm/s) before
  // its event: 57.536 s into the recording, which starts at 10:30.
  EXPECT_TRUE(HasText(dc, "01.03.2026 10:30:00"));
  EXPECT_TRUE(HasText(dc, "01.03.2026 10:30:57"));
  EXPECT_TRUE(HasText(dc, "User events:"));
  // Between the second row's strip (and its labels) and the footer nothing is drawn.
  const int second_bottom = part->YToPage(8600 + 5000 + 300);
  const int footer = part->YToPage(25500);
  const auto in_gap = [&](int y) { return y < second_bottom - 3000 && y > footer; };
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* line = std::get_if<gfx::rec::LineTo>(&item)) EXPECT_FALSE(in_gap(line->to.y));
    if (const auto* polyline = std::get_if<gfx::rec::PolylineTo>(&item))
      for (const gfx::Point& p : polyline->points) EXPECT_FALSE(in_gap(p.y));
  }
}

TEST_F(UserEventStripsTest, GainFollowsTheAutomaticChoiceOrTheAmplitudeSetting) {
  PlantEvents({User(kMinute)});
  TPrintAutoGain auto_gain(*doc_);
  struct Case {
    const char* name;
    int automatic;
    int amplitude;
    const char* want;
  };
  // The automatic gain has not found small beats: the low gain, whatever "Amplitude" says.
  constexpr Case kCases[] = {
      {"automatic", 1, 1, "5.0 mm/mV  25.0 mm/s"},
      {"amplitude high", 0, 1, "10.0 mm/mV  25.0 mm/s"},
      {"amplitude low", 0, 0, "5.0 mm/mV  25.0 mm/s"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kSamplesAutoAmplitude, c.automatic);
    doc_->GetSettings().SetInt(SettingKey::kSamplesAmplitude, c.amplitude);
    TPrintUserEventStrips part(0, doc_.get(), nullptr, &auto_gain);
    part.SetCommand(TPrintUserEventStrips::kOwnCommand);
    ASSERT_EQ(part.GetPageCount(info_), 1);
    gfx::RecordingCanvas dc(PrinterDevice());
    PreparePage(dc);
    part.PrintPage(dc, info_, 1);
    EXPECT_TRUE(HasText(dc, c.want));
  }
}

TEST_F(UserEventStripsTest, TwoBeatsAtOneSamplePrintNoIntervalBetweenThem) {
  const int p = 2 * kMinute;
  PlantEvents({User(p)});
  doc_->GetQRSList().RemoveAll();
  for (const int32_t at : {p - 100, p, p, p + 100}) doc_->GetQRSList().Append(TQRSComplex(at, kClassNormal));
  auto part = MakePart(TPrintUserEventStrips::kOwnCommand);
  ASSERT_EQ(part->GetPageCount(info_), 1);
  gfx::RecordingCanvas dc(PrinterDevice());
  PreparePage(dc);
  part->PrintPage(dc, info_, 1);
  // 100 samples: 800 ms and 75 per minute, twice; nothing for the empty interval.
  int rr = 0;
  int rates = 0;
  for (const std::string& text : TextsOf(dc)) {
    rr += text == "800" ? 1 : 0;
    rates += text == "75" ? 1 : 0;
    EXPECT_NE(text, "0");
  }
  EXPECT_EQ(rr, 2);
  EXPECT_EQ(rates, 2);
}

TEST(StripPageResources, TitleInEnglishAndGermanWithoutConflicts) {
  platform::ResourcePack english("ZK470Eng");
  platform::ResourcePack german("ZK470Ger");
  for (platform::ResourcePack* pack : {&english, &german}) {
    AddSampleStripResources(*pack);
    AddStripPageResources(*pack);
    EXPECT_TRUE(pack->Conflicts().empty()) << pack->Name();
  }
  EXPECT_EQ(english.FindString(kIdsUserEventsTitle), "User events:");
  EXPECT_EQ(german.FindString(kIdsUserEventsTitle), "Benutzerereignisse:");
}

}  // namespace
