#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/document_strings.h"
#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "gfx/recording_canvas.h"
#include "layouts/st_pm_resources.h"
#include "layouts/template_review_factories.h"
#include "platform/ids.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_pm_templates.h"
#include "reports/parts/print_template_pages.h"
#include "reports/report_part_resources.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "reports/template_pages_fixture.h"

namespace {

using reporttest::A;
using reporttest::N;
using reporttest::PlantedClass;
using reporttest::PrinterDevice;
using reporttest::S;
using reporttest::TemplatePagesTest;
using reporttest::V;

std::vector<std::string> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(text->text);
  return texts;
}

const gfx::rec::Text* FindText(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item); text != nullptr && text->text == wanted)
      return text;
  return nullptr;
}

int CountTexts(const gfx::RecordingCanvas& dc, const std::string& wanted) {
  const std::vector<std::string> texts = TextsOf(dc);
  return static_cast<int>(std::count(texts.begin(), texts.end(), wanted));
}

std::vector<EmfMarker> MarkersOf(const gfx::RecordingCanvas& dc, EmfMarkerKind kind) {
  std::vector<EmfMarker> markers;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item))
      if (std::optional<EmfMarker> marker = ParseEmfMarker(comment->text); marker && marker->kind == kind)
        markers.push_back(*marker);
  return markers;
}

// Curve points (polylines and lines) whose x lies in [left, right): the ECG of the cells of that
// column. Grids are markers only while the page is recorded for a PDF.
int CurvePointsBetween(const gfx::RecordingCanvas& dc, int left, int right, int top, int bottom) {
  int n = 0;
  auto count = [&](gfx::Point p) { n += p.x >= left && p.x < right && p.y <= top && p.y >= bottom ? 1 : 0; };
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* line = std::get_if<gfx::rec::Polyline>(&item))
      for (const gfx::Point& p : line->points) count(p);
    if (const auto* line = std::get_if<gfx::rec::PolylineTo>(&item))
      for (const gfx::Point& p : line->points) count(p);
    if (const auto* line = std::get_if<gfx::rec::LineTo>(&item)) count(line->to);
  }
  return n;
}

// Records a page as the PDF export does.
class PdfRecording {
 public:
  PdfRecording() { BeginEmfRecording(); }
  ~PdfRecording() { EndEmfRecording(); }
  PdfRecording(const PdfRecording&) = delete;
  PdfRecording& operator=(const PdfRecording&) = delete;
};

// --- Beat template pages ---------------------------------------------------------------------

TEST_F(TemplatePagesTest, OnlySwitchedOnFamiliesArePaginated) {
  struct Case {
    const char* name;
    std::vector<PlantedClass> classes;
    std::array<int, 4> switches;  // VES, normal, artefact, SVES
    int printable;
    std::vector<int> page_starts;
  };
  std::vector<PlantedClass> twenty_one(21, {N, 2});
  std::vector<PlantedClass> forty(40, {N, 2});
  const std::vector<PlantedClass> mixed = {{V, 2}, {N, 3}, {V, 1}, {N, 0}, {A, 4}, {S, 2}, {N, 5}};
  std::vector<PlantedClass> normal_after_ves(25, {V, 1});
  normal_after_ves.push_back({N, 1});
  const Case cases[] = {
      {"21 classes", twenty_one, {1, 1, 1, 1}, 21, {0, 20}},
      {"40 classes fill two pages", forty, {1, 1, 1, 1}, 40, {0, 20}},
      {"normal only", mixed, {0, 1, 0, 0}, 3, {1}},
      {"ectopic only", mixed, {1, 0, 0, 1}, 3, {0}},
      {"artefacts only", mixed, {0, 0, 1, 0}, 1, {4}},
      {"nothing switched on", mixed, {0, 0, 0, 0}, 0, {}},
      {"a page starts at its first printable row", normal_after_ves, {0, 1, 0, 0}, 1, {25}},
      {"emptied rows never print", {{N, 1}, {-1, 0}, {N, 1}}, {1, 1, 1, 1}, 2, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlantTemplates(c.classes);
    SwitchFamilies(c.switches[0], c.switches[1], c.switches[2], c.switches[3]);
    TPrintTemplatePages part(0, doc_.get(), nullptr);
    part.SetCommand(TPrintTemplatePages::kOwnCommand);
    EXPECT_EQ(part.GetPageCount(info_), static_cast<int>(c.page_starts.size()));
    EXPECT_EQ(part.GetPrintableCount(), c.printable);
    EXPECT_EQ(part.GetPageStarts(), c.page_starts);
  }
}

TEST_F(TemplatePagesTest, PartsPrintForTheirCommandOrTheWholeReportWithTheirSwitch) {
  PlantTemplates(std::vector<PlantedClass>(13, {N, 2}));
  PlantPMClasses(std::vector<int>(13, 2));
  struct Case {
    const char* name;
    bool own_command;
    int command;
    int user_switch;
    bool prints;
  };
  constexpr Case kCases[] = {
      {"own command", true, 0, 0, true},
      {"whole report, switch on", false, TPrinter::kWholeReportCommand, 1, true},
      {"whole report, switch off", false, TPrinter::kWholeReportCommand, 0, false},
      {"another part's command", false, cmd::kPrint32989, 1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kPrintTemplates, c.user_switch);
    doc_->GetSettings().SetInt(SettingKey::kPrintPMTemplates, c.user_switch);
    TPrintTemplatePages templates(0, doc_.get(), nullptr);
    templates.SetCommand(c.own_command ? TPrintTemplatePages::kOwnCommand : c.command);
    EXPECT_EQ(templates.GetPageCount(info_), c.prints ? 1 : 0);
    TPrintPMTemplates pacemaker(0, doc_.get(), nullptr);
    pacemaker.SetCommand(c.own_command ? TPrintPMTemplates::kOwnCommand : c.command);
    EXPECT_EQ(pacemaker.GetPageCount(info_), c.prints ? 2 : 0);
  }
}

TEST_F(TemplatePagesTest, NormalOnlyKeepsTheListNumbersOfTheWholeList) {
  PlantTemplates({{V, 2}, {N, 3}, {V, 1}, {N, 2}, {S, 1}, {N, 1}});
  SwitchFamilies(0, 1, 0, 0);
  TPrintTemplatePages part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintTemplatePages::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  gfx::RecordingCanvas dc(PrinterDevice());
  PrintOnePage(part, dc, 1);
  for (const char* shown : {"Template 2", "Template 4", "Template 6"})
    EXPECT_NE(FindText(dc, shown), nullptr) << shown;
  for (const char* hidden : {"Template 1", "Template 3", "Template 5", "VES", "SVES"})
    EXPECT_EQ(FindText(dc, hidden), nullptr) << hidden;
  EXPECT_EQ(CountTexts(dc, "Normal"), 3);
  // The printed rows fill the slots from the first: row 4 lies one column right of row 2.
  const gfx::rec::Text* second = FindText(dc, "Template 2");
  const gfx::rec::Text* fourth = FindText(dc, "Template 4");
  ASSERT_TRUE(second != nullptr && fourth != nullptr);
  EXPECT_EQ(fourth->draw_rect.left - second->draw_rect.left, TPrinter::HimetricToTwips(3875));
  EXPECT_EQ(fourth->draw_rect.top, second->draw_rect.top);
}

TEST_F(TemplatePagesTest, TwentyOneClassesPutOneCellOnTheSecondPage) {
  PlantTemplates(std::vector<PlantedClass>(21, {N, 2}));
  TPrintTemplatePages part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintTemplatePages::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 2);
  PdfRecording pdf;
  gfx::RecordingCanvas first(PrinterDevice());
  PrintOnePage(part, first, 1);
  gfx::RecordingCanvas second(PrinterDevice());
  PrintOnePage(part, second, 2);

  const std::vector<EmfMarker> first_grids = MarkersOf(first, EmfMarkerKind::kMMGrid);
  ASSERT_EQ(first_grids.size(), 20u);
  // The last cell of the first page: column 5, row 4.
  EXPECT_EQ(first_grids.back().rect, (gfx::Rect{PageX(part, 4 * 3875), PageY(part, 3 * 5700),
                                                PageX(part, 4 * 3875 + 3000), PageY(part, 3 * 5700 + 5000)}));
  const std::vector<EmfMarker> second_grids = MarkersOf(second, EmfMarkerKind::kMMGrid);
  ASSERT_EQ(second_grids.size(), 1u);
  EXPECT_EQ(second_grids[0].rect,
            (gfx::Rect{PageX(part, 0), PageY(part, 0), PageX(part, 3000), PageY(part, 5000)}));
  EXPECT_NE(FindText(second, "Template 21"), nullptr);
  EXPECT_EQ(FindText(second, "Template 20"), nullptr);
  EXPECT_EQ(CountTexts(second, "1 / 2"), 1);
  EXPECT_GT(CurvePointsBetween(second, PageX(part, 0), PageX(part, 3000), PageY(part, 0), PageY(part, 5000)),
            0);
  EXPECT_EQ(
      CurvePointsBetween(second, PageX(part, 3875), PageX(part, 18500), PageY(part, 0), PageY(part, 22800)),
      0);

  const std::vector<EmfMarker> titles = MarkersOf(second, EmfMarkerKind::kPageTitle);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].title, "Beat templates");
  EXPECT_NE(FindText(second, "Beat templates :"), nullptr);
}

TEST_F(TemplatePagesTest, AnEmptyClassShowsItsNamesWithoutStripOrCounter) {
  PlantTemplates({{N, 3}, {N, 0}, {N, 2}});
  TRecordingData& recording = doc_->GetRecordingData();
  recording.normal_special = {1, 2};
  recording.CurrentMembers(N)[0] = 2;
  recording.CurrentMembers(N)[2] = 7;  // beyond the class: its last member shows
  TPrintTemplatePages part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintTemplatePages::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  PdfRecording pdf;
  gfx::RecordingCanvas dc(PrinterDevice());
  PrintOnePage(part, dc, 1);

  EXPECT_EQ(MarkersOf(dc, EmfMarkerKind::kMMGrid).size(), 3u);
  EXPECT_NE(FindText(dc, "Template 2"), nullptr);
  EXPECT_EQ(CountTexts(dc, "Normal"), 3);
  EXPECT_NE(FindText(dc, "Unassigned"), nullptr);    // first special class of the normal family
  EXPECT_NE(FindText(dc, "Edited beats"), nullptr);  // the second
  EXPECT_NE(FindText(dc, "3 / 3"), nullptr);
  EXPECT_NE(FindText(dc, "2 / 2"), nullptr);
  const std::vector<std::string> texts = TextsOf(dc);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.find(" / ") != std::string::npos; }),
            2);
  const int top = PageY(part, 0);
  const int bottom = PageY(part, 5000);
  for (int slot = 0; slot < 3; ++slot) {
    SCOPED_TRACE(slot);
    const int points =
        CurvePointsBetween(dc, PageX(part, slot * 3875), PageX(part, slot * 3875 + 3000), top, bottom);
    if (slot == 1) {
      EXPECT_EQ(points, 0);
    } else {
      EXPECT_GT(points, 0);
    }
  }
}

TEST_F(TemplatePagesTest, SpecialClassNamesFollowTheStoredIndicesOfEachFamily) {
  PlantTemplates({{V, 1}, {V, 1}, {V, 1}, {S, 1}, {S, 1}, {A, 1}, {N, 1}});
  TRecordingData& recording = doc_->GetRecordingData();
  recording.ves_special = {0, 1};
  recording.sves_special = {1, -1};
  recording.normal_special = {-1, 0};
  TPrintTemplatePages part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintTemplatePages::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  gfx::RecordingCanvas dc(PrinterDevice());
  PrintOnePage(part, dc, 1);
  // VES 0 "Further VES", VES 1 and normal 0 "Edited beats", SVES 1 "Unassigned"; artefacts none.
  EXPECT_EQ(CountTexts(dc, "Further VES"), 1);
  EXPECT_EQ(CountTexts(dc, "Edited beats"), 2);
  EXPECT_EQ(CountTexts(dc, "Unassigned"), 1);
  const gfx::rec::Text* further = FindText(dc, "Further VES");
  const gfx::rec::Text* family = FindText(dc, "VES");
  ASSERT_TRUE(further != nullptr && family != nullptr);
  EXPECT_EQ(further->draw_rect.left, family->draw_rect.left);
  EXPECT_LT(further->draw_rect.top, family->draw_rect.top) << "one line below the family name (twips: y up)";
}

TEST_F(TemplatePagesTest, StripsPutTheBeatFortyPercentInAndNeverStartBeforeTheRecording) {
  struct Case {
    const char* name;
    int speed_index;
    int32_t position;
    int32_t start;
  };
  // 30 mm at 25 mm/s hold 1.2 s; 40 % of it are 60 samples at 125 per second.
  constexpr Case kCases[] = {
      {"25 mm/s", 1, 1000, 940},          {"12.5 mm/s", 0, 1000, 880},  {"100 mm/s", 3, 1000, 985},
      {"beyond the table", 9, 1000, 985}, {"near the start", 1, 59, 0}, {"exactly the lead", 1, 60, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kResTemplatesSpeed, c.speed_index);
    TPrintTemplatePages part(0, doc_.get(), nullptr);
    EXPECT_EQ(part.StripStart(c.position), c.start);
  }
}

// --- Pacemaker template pages ----------------------------------------------------------------

TEST_F(TemplatePagesTest, PacemakerPagesEndAtTheLastClassAfterTheFirstWithExamples) {
  struct Case {
    const char* name;
    std::vector<int> counts;
    int rows;
    std::vector<int> page_starts;
  };
  const Case cases[] = {
      {"13 classes", std::vector<int>(13, 2), 13, {0, 12}},
      {"12 classes", std::vector<int>(12, 2), 12, {0}},
      {"25 classes", std::vector<int>(25, 1), 25, {0, 12, 24}},
      {"trailing empty class dropped", {3, 2, 0}, 2, {0}},
      {"empty class in the middle kept", {3, 0, 2, 0}, 3, {0}},
      {"only the first with examples", {3, 0}, 0, {}},
      {"a single class", {5}, 0, {}},
      {"only the second with examples", {0, 4}, 2, {0}},
      {"no classes", {}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlantPMClasses(c.counts);
    TPrintPMTemplates part(0, doc_.get(), nullptr);
    part.SetCommand(TPrintPMTemplates::kOwnCommand);
    EXPECT_EQ(part.GetPageCount(info_), static_cast<int>(c.page_starts.size()));
    EXPECT_EQ(part.GetRowsToPrint(), c.rows);
    EXPECT_EQ(part.GetPageStarts(), c.page_starts);
  }
}

TEST_F(TemplatePagesTest, ThirteenPacemakerClassesPutOneCellOnTheSecondPage) {
  PlantPMClasses(std::vector<int>(13, 3));
  doc_->GetRecordingData().pm_current[12] = 1;
  TPrintPMTemplates part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintPMTemplates::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 2);
  PdfRecording pdf;
  gfx::RecordingCanvas first(PrinterDevice());
  PrintOnePage(part, first, 1);
  gfx::RecordingCanvas second(PrinterDevice());
  PrintOnePage(part, second, 2);

  const std::vector<EmfMarker> first_grids = MarkersOf(first, EmfMarkerKind::kMMGrid);
  ASSERT_EQ(first_grids.size(), 12u);
  EXPECT_EQ(first_grids.back().rect, (gfx::Rect{PageX(part, 13000), PageY(part, 3 * 5700), PageX(part, 18500),
                                                PageY(part, 3 * 5700 + 5000)}));
  EXPECT_NE(FindText(first, "PM Template 1A"), nullptr);
  EXPECT_EQ(FindText(first, "PM Template 6"), nullptr);

  const std::vector<EmfMarker> second_grids = MarkersOf(second, EmfMarkerKind::kMMGrid);
  ASSERT_EQ(second_grids.size(), 1u);
  EXPECT_EQ(second_grids[0].rect,
            (gfx::Rect{PageX(part, 0), PageY(part, 0), PageX(part, 5500), PageY(part, 5000)}));
  EXPECT_NE(FindText(second, "PM Template 6"), nullptr);
  EXPECT_NE(FindText(second, "2 / 3"), nullptr);
  EXPECT_GT(CurvePointsBetween(second, PageX(part, 0), PageX(part, 5500), PageY(part, 0), PageY(part, 5000)),
            0);

  const std::vector<EmfMarker> titles = MarkersOf(second, EmfMarkerKind::kPageTitle);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].title, "Pacemaker templates");
  EXPECT_NE(FindText(second, "Pacemaker templates :"), nullptr);
}

TEST_F(TemplatePagesTest, AnEmptyPacemakerClassInTheMiddleHasPaperButNoStrip) {
  PlantPMClasses({2, 0, 3, 0});
  TPrintPMTemplates part(0, doc_.get(), nullptr);
  part.SetCommand(TPrintPMTemplates::kOwnCommand);
  ASSERT_EQ(part.GetPageCount(info_), 1);
  PdfRecording pdf;
  gfx::RecordingCanvas dc(PrinterDevice());
  PrintOnePage(part, dc, 1);
  EXPECT_EQ(MarkersOf(dc, EmfMarkerKind::kMMGrid).size(), 3u);
  for (const char* shown : {"PM Template 1A", "PM Template 1B", "PM Template 2A", "1 / 2", "1 / 3"})
    EXPECT_NE(FindText(dc, shown), nullptr) << shown;
  // The trailing empty class gets neither paper nor its name.
  EXPECT_EQ(FindText(dc, "PM Template 2B"), nullptr);
  EXPECT_EQ(FindText(dc, "1 / 0"), nullptr);
  const int top = PageY(part, 0);
  const int bottom = PageY(part, 5000);
  EXPECT_GT(CurvePointsBetween(dc, PageX(part, 0), PageX(part, 5500), top, bottom), 0);
  EXPECT_EQ(CurvePointsBetween(dc, PageX(part, 6500), PageX(part, 12000), top, bottom), 0);
  EXPECT_GT(CurvePointsBetween(dc, PageX(part, 13000), PageX(part, 18500), top, bottom), 0);
}

TEST_F(TemplatePagesTest, PacemakerClassNamesComeFromTheSettingsAndTheLanguage) {
  doc_->GetSettings().SetText(SettingKey::kPM2B, "VVI paced");
  struct Case {
    int class_index;
    const char* name;
  };
  constexpr Case kCases[] = {{0, "PM Template 1A"},
                             {3, "VVI paced"},
                             {12, "PM Template 6"},
                             {13, "Artefacts"},
                             {14, "Unclassified spikes"},
                             {15, ""},
                             {-1, ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.class_index);
    EXPECT_EQ(TPrintPMTemplates::ClassName(*doc_, c.class_index), c.name);
  }
}

TEST_F(TemplatePagesTest, PacemakerStripsPutTheExampleFortyPercentIn) {
  struct Case {
    const char* name;
    int speed_index;
    int32_t position;
    int32_t start;
  };
  // 55 mm at 25 mm/s hold 2.2 s; 40 % of it are 110 samples.
  constexpr Case kCases[] = {
      {"25 mm/s", 1, 1000, 890},
      {"50 mm/s", 2, 1000, 945},
      {"beyond the table", 7, 1000, 945},
      {"0.1 s after the start", 1, 12, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kResPMSpeed, c.speed_index);
    TPrintPMTemplates part(0, doc_.get(), nullptr);
    EXPECT_EQ(part.StripStart(c.position), c.start);
  }
}

// --- Texts -------------------------------------------------------------------------------------

TEST(TemplatePageTexts, TitlesExistInEnglishAndGermanWithoutContradictingTheScreens) {
  for (const char* name : {"ZK470Eng", "ZK470Ger"}) {
    SCOPED_TRACE(name);
    platform::ResourcePack pack(name);
    pack.AddStrings(document::DocumentStrings());
    AddReportPartResources(pack);
    AddTemplateReviewResources(pack);
    AddSTAndPacemakerViewResources(pack);
    AddTemplatePagesResources(pack);
    EXPECT_TRUE(pack.Conflicts().empty());
    for (const int id : {TPrintTemplatePages::kPageTitleString, TPrintPMTemplates::kPageTitleString,
                         TPrintTemplatePages::kNumberString, TPrintPMTemplates::kClass14String})
      EXPECT_TRUE(pack.FindString(id).has_value()) << id;
  }
}

}  // namespace
