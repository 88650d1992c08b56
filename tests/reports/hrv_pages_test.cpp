#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "gfx/recording_canvas.h"
#include "reports/parts/print_full_disclosure.h"
#include "reports/parts/print_hrv.h"
#include "reports/report_part_resources.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "trends/hrv_statistics.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

// Beats every 100 samples (0.8 s) from sample 50 over 30 minutes: each 5-minute block holds
// beats 375 k .. 375 k + 374. One marker splits the pair 100/101; in the second block every eighth
// beat from 376 is an artefact, so 94 of its 375 pairs (25 %) hold one.
constexpr int kBeats = 2250;
constexpr int kMarkerPair = 100;

class HRVPagesTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    AddHRVPageResources(platform::Resources().ExePack());
  }

  void PlantBeats() {
    doc_->GetRawECGData()->SetWholeMinutes(30);
    TQRSList& beats = doc_->GetQRSList();
    for (int i = 0; i < kBeats; ++i) {
      const bool artefact = i >= 376 && i <= 744 && (i - 376) % 8 == 0;
      // Alternating 96/104 intervals in the last block give the differences something to count.
      const int position = 50 + 100 * i + (i >= 1875 && i % 2 == 1 ? 4 : 0);
      beats.Append(TQRSComplex(position, artefact ? kClassArtefact : kClassNormal));
    }
    doc_->GetRecordingData().recorder_markers = {50 + 100 * kMarkerPair + 50};
  }

  std::unique_ptr<gfx::RecordingCanvas> Print(TPrintHRV& part, int page) {
    auto dc = std::make_unique<gfx::RecordingCanvas>(PrinterDevice());
    PreparePage(*dc);
    part.PrintPage(*dc, info_, page);
    return dc;
  }

  int PageCount(TPrintHRV& part) {
    part.SetCommand(TPrintHRV::kOwnCommand);
    return part.GetPageCount(info_);
  }
};

std::vector<std::string> TextsOf(const gfx::RecordingCanvas& dc) {
  std::vector<std::string> texts;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* text = std::get_if<gfx::rec::Text>(&item)) texts.push_back(text->text);
  return texts;
}

std::vector<gfx::rec::SetPixel> PixelsOf(const gfx::RecordingCanvas& dc, gfx::Color colour) {
  std::vector<gfx::rec::SetPixel> pixels;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* pixel = std::get_if<gfx::rec::SetPixel>(&item);
        pixel != nullptr && pixel->color == colour)
      pixels.push_back(*pixel);
  return pixels;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Fixed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

TEST_F(HRVPagesTest, OnePagePerStartedDayAndEachPageSpansItsDay) {
  FillPatient();
  struct Case {
    int minutes;
    int pages;
    int last_start;
    int last_length;
    const char* last_title;
  };
  constexpr Case kCases[] = {
      {1200, 1, 0, 1200, "Heart rate variability:"},
      {1440, 1, 0, 1440, "Heart rate variability:"},
      {3000, 3, 2880, 120, "Heart rate variability, day 3 (03.03.2026) :"},
      {4320, 3, 2880, 1440, "Heart rate variability, day 3 (03.03.2026) :"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.minutes);
    doc_->GetRawECGData()->SetWholeMinutes(c.minutes);
    doc_->SetHRVSelectedDay(1);
    TPrintHRV part(0, doc_.get(), nullptr);
    ASSERT_EQ(PageCount(part), c.pages);
    EXPECT_EQ(doc_->GetHRVSelectedDay(), 1);
    const auto page = Print(part, c.pages);
    const gfx::RecordingCanvas& dc = *page;
    EXPECT_EQ(doc_->GetPrintSpanStartMinute(), c.last_start);
    EXPECT_EQ(doc_->GetPrintSpanLength(), c.last_length);
    EXPECT_TRUE(Contains(TextsOf(dc), c.last_title));
  }
}

TEST_F(HRVPagesTest, PdfBookmarkOfASingleDayDropsTheColon) {
  doc_->GetRawECGData()->SetWholeMinutes(600);
  TPrintHRV part(0, doc_.get(), nullptr);
  ASSERT_EQ(PageCount(part), 1);
  BeginEmfRecording();
  const auto page = Print(part, 1);
  const gfx::RecordingCanvas& dc = *page;
  EndEmfRecording();
  std::vector<std::string> comments;
  for (const gfx::DisplayItem& item : dc.Items())
    if (const auto* comment = std::get_if<gfx::rec::Comment>(&item)) comments.push_back(comment->text);
  EXPECT_TRUE(Contains(comments, "PAGETITLE,Heart rate variability"));
}

TEST_F(HRVPagesTest, TableShowsTheStatisticsOfTheDay) {
  PlantBeats();
  TPrintHRV part(0, doc_.get(), nullptr);
  ASSERT_EQ(PageCount(part), 1);
  const auto page = Print(part, 1);
  const gfx::RecordingCanvas& dc = *page;
  const std::vector<std::string> texts = TextsOf(dc);

  THRVStatistics statistics(*doc_);
  doc_->SetHRVSelectedDay(0);
  statistics.Update();
  ASSERT_GT(statistics.GetValues().counts[0], 0);
  const auto row = [](const THRVValues& v) {
    const auto whole = [](double x) { return std::to_string(static_cast<int>(x)); };
    return std::vector<std::string>{
        Fixed(v.coverage >= 1.0 || v.coverage == 0.0 ? "%.1f" : "%.3f", v.coverage),
        whole(v.mean_nn),
        whole(v.sdnn),
        whole(v.sdann),
        whole(v.sdnn_index),
        whole(v.rmssd),
        std::to_string(v.counts[0]),
        Fixed("%.1f", v.percents[0]),
        std::to_string(v.counts[1]),
        Fixed("%.1f", v.percents[1]),
        std::to_string(v.counts[2]),
        Fixed("%.1f", v.percents[2])};
  };
  std::vector<std::string> want;
  for (const THRVValues* values :
       {&statistics.GetGroupValues(THRVStatistics::kOutside),
        &statistics.GetGroupValues(THRVStatistics::kInside), &statistics.GetValues()})
    for (const std::string& text : row(*values)) want.push_back(text);
  const auto after_row_names = std::find(texts.begin(), texts.end(), "All");
  ASSERT_NE(after_row_names, texts.end());
  ASSERT_GE(texts.end() - after_row_names, 37);
  EXPECT_EQ(std::vector<std::string>(after_row_names + 1, after_row_names + 37), want);
}

TEST_F(HRVPagesTest, ChartsLeaveOutMarkersAndBadBlocks) {
  PlantBeats();
  struct Case {
    const char* name;
    bool monochrome;
    gfx::Color rr_colour;
    gfx::Color difference_colour;
  };
  const Case kCases[] = {{"colour", false, gfx::Rgb(255, 0, 0), gfx::Rgb(0, 0, 255)},
                         {"monochrome", true, 0x000000, 0x000000}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetMonochromePrinting(c.monochrome);
    TPrintHRV part(0, doc_.get(), nullptr);
    ASSERT_EQ(PageCount(part), 1);
    const auto page = Print(part, 1);
    const gfx::RecordingCanvas& dc = *page;
    // Each chart's pixels lie inside its own block: RR from 51 mm, differences from 92 mm down.
    const auto xs_in_block = [&](gfx::Color colour, int block_top) {
      std::vector<int> xs;
      for (const gfx::rec::SetPixel& p : PixelsOf(dc, colour))
        if (p.at.y <= -(part.GetTopMargin() + block_top) &&
            p.at.y >= -(part.GetTopMargin() + block_top + 3500))
          xs.push_back(p.at.x);
      return xs;
    };
    const std::vector<int> rr_x = xs_in_block(c.rr_colour, 5100);
    const std::vector<int> difference_x = xs_in_block(c.difference_colour, 9200);
    // 375 pairs in block 1 but the marked one, none of block 2, 1499 pairs in blocks 3 to 6.
    EXPECT_EQ(rr_x.size(), 374u + 1499u);
    // Triples need both pairs: block 1 loses 99, 100 and 374 (whose second pair holds beat 376).
    EXPECT_EQ(difference_x.size(), 372u + 1498u);
    const auto x_of = [&](int beat) { return part.XToPage(part.TimeToX(50 + 100 * beat)); };
    EXPECT_EQ(std::count(rr_x.begin(), rr_x.end(), x_of(kMarkerPair)), 0);
    EXPECT_EQ(std::count(rr_x.begin(), rr_x.end(), x_of(kMarkerPair - 1)), 1);
    for (int beat = 375; beat < 750; ++beat)
      EXPECT_EQ(std::count(rr_x.begin(), rr_x.end(), x_of(beat)), 0) << beat;
  }
}

TEST_F(HRVPagesTest, YIndexSetsTheScales) {
  PlantBeats();
  struct Case {
    int y_index;
    const char* rr_top_label;
    const char* difference_label;
    const char* sd_top_label;
    const char* distribution_top_label;
    int rr_800_y;  // block y of an 800 ms interval in the RR chart
  };
  constexpr Case kCases[] = {
      {0, "1000 ", "125 ", "100 ", "5 ", 3000 - 600 * 3000 / 1000},
      {3, "4000 ", "750 ", "400 ", "60 ", 3000 - 600 * 3000 / 4000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.y_index);
    doc_->GetSettings().SetInt(SettingKey::kHRVYIndex, c.y_index);
    TPrintHRV part(0, doc_.get(), nullptr);
    ASSERT_EQ(PageCount(part), 1);
    const TPrintHRV::Scales scales = part.GetScales();
    EXPECT_EQ(scales.rr_top_ms, 1200 + 1000 * c.y_index);
    const auto page = Print(part, 1);
    const gfx::RecordingCanvas& dc = *page;
    const std::vector<std::string> texts = TextsOf(dc);
    for (const char* label : {c.rr_top_label, c.difference_label, c.sd_top_label, c.distribution_top_label})
      EXPECT_TRUE(Contains(texts, label)) << label;
    EXPECT_FALSE(Contains(texts, std::to_string(scales.rr_top_ms + 300) + " "));
    const std::vector<gfx::rec::SetPixel> pixels = PixelsOf(dc, gfx::Rgb(255, 0, 0));
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels.front().at.y, -(part.GetTopMargin() + 5100 + c.rr_800_y));
  }
}

}  // namespace

namespace {

TEST(DisclosureAndHRVResources, EnglishAndGermanWithoutConflicts) {
  platform::ResourcePack english("ZK470Eng");
  platform::ResourcePack german("ZK470Ger");
  for (platform::ResourcePack* pack : {&english, &german}) {
    AddReportPartResources(*pack);
    AddHRVPageResources(*pack);
    AddFullDisclosureResources(*pack);
    EXPECT_TRUE(pack->Conflicts().empty()) << pack->Name();
  }
  struct Case {
    int id;
    const char* english;
    const char* german;
  };
  constexpr Case kCases[] = {
      {kIdsHRVPageTitle, "Heart rate variability:", "Herzfrequenzvariabilität:"},
      {24014, "All", "Gesamt"},
      {kIdsFullDisclosureAtPositionTitle, "Full disclosure:", "Voll-EKG:"},
      {kIdsFullDisclosureChannel, "Channel", "Kanal"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(english.FindString(c.id), c.english);
    EXPECT_EQ(german.FindString(c.id), c.german);
  }
}

}  // namespace
