#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/settings_store.h"
#include "gfx/recording_canvas.h"
#include "reports/print_auto_gain.h"
#include "reports/print_composer_impl.h"
#include "reports/print_hr_events_page.h"
#include "reports/print_part_table.h"
#include "reports/report_parts_fixture.h"
#include "reports/reports_context.h"
#include "support/cmp_writer.h"
#include "support/recording_setup.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "views/ecg_strip_painter.h"

namespace {

using reporttest::PrinterDevice;
using reporttest::ReportPartTest;

constexpr int kParts = 17;

// Counts the pages the test gives it and logs every call of the composer.
class FakePart : public TPrinter {
 public:
  FakePart(const TPrintPartArgs& args, std::string name, int pages, std::vector<std::string>* log)
      : TPrinter(args.full_header, args.doc, -1, args.report_values),
        args(args),
        name_(std::move(name)),
        pages_(pages),
        log_(log) {}

  int GetPageCount(win::CPrintInfo&) override {
    log_->push_back("count " + name_);
    page_count_ = pages_;
    return pages_;
  }
  void PrepareDC(gfx::Canvas&, win::CPrintInfo&) override { log_->push_back("prepare " + name_); }
  void PrintPage(gfx::Canvas&, win::CPrintInfo&, int page) override {
    log_->push_back("print " + name_ + " page " + std::to_string(page));
  }
  void Cleanup(gfx::Canvas*, win::CPrintInfo&) override { log_->push_back("cleanup " + name_); }

  TFindingsDlg* Findings() const { return FindingsDialog(); }

  const TPrintPartArgs args;

 private:
  std::string name_;
  int pages_;
  std::vector<std::string>* log_;
};

std::vector<int> AllParts() {
  std::vector<int> parts(kParts);
  for (int i = 0; i < kParts; ++i) parts[static_cast<size_t>(i)] = i + 1;
  return parts;
}

class ComposerTest : public ReportPartTest {
 protected:
  // The program's table with every factory replaced: part n counts pages_[n - 1] pages, and the
  // full disclosure's one-channel variant is named "11s".
  std::vector<TPrintPartRow> FakeTable() {
    std::vector<TPrintPartRow> rows = PrintPartTable();
    for (TPrintPartRow& row : rows) {
      const auto make = [this, n = row.number](std::string name) {
        return [this, n, name](const TPrintPartArgs& args) -> std::unique_ptr<TPrinter> {
          auto part = std::make_unique<FakePart>(args, name, pages_[static_cast<size_t>(n - 1)], &log_);
          made_.push_back(part.get());
          return part;
        };
      };
      row.factory = make(std::to_string(row.number));
      if (row.number == 11) row.single_channel_factory = make("11s");
    }
    return rows;
  }

  std::unique_ptr<TPrintComposer> MakeComposer(const TFindingsDlgMaker& findings = {}) {
    return std::make_unique<TPrintComposer>(*doc_, findings, FakeTable());
  }

  void SetSwitches(bool all_on, std::initializer_list<SettingKey> on = {}) {
    for (const TPrintPartRow& row : PrintPartTable())
      if (row.user_switch) doc_->GetSettings().SetInt(*row.user_switch, all_on ? 1 : 0);
    for (const SettingKey key : on) doc_->GetSettings().SetInt(key, 1);
  }

  // The part of each page 1..last of the job as the fake parts log it; "-" for nothing printed.
  std::vector<std::string> PrintPages(TPrintComposer& composer, int first, int last) {
    std::vector<std::string> printed;
    gfx::RecordingCanvas dc(PrinterDevice());
    for (int page = first; page <= last; ++page) {
      log_.clear();
      info_.current_page = page;
      composer.PrintPage(dc, info_, 99);
      printed.push_back(log_.empty() ? "-" : log_.front());
    }
    return printed;
  }

  std::array<int, kParts> pages_ = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2};
  std::vector<std::string> log_;
  std::vector<FakePart*> made_;
};

TEST_F(ComposerTest, TheCommandAndTheUserSwitchesChooseTheParts) {
  struct Case {
    const char* name;
    int command;
    bool all_on;
    std::initializer_list<SettingKey> on;
    std::vector<int> parts;
  };
  std::vector<int> whole_report = AllParts();
  std::erase(whole_report, 12);
  const Case cases[] = {
      {"whole report with Report and HRV",
       32816,
       false,
       {SettingKey::kPrintReport, SettingKey::kPrintHRV},
       {2, 17}},
      {"whole report, every switch on: never part 12", 32816, true, {}, whole_report},
      {"whole report, every switch off", 32816, false, {}, {}},
      {"a single part with its switch off", 32996, false, {}, {16}},
      {"a single part with every switch on", 32996, true, {}, {16}},
      {"part 12 by its own command", 32664, true, {}, {12}},
      {"the letter's second command", 33236, false, {}, {1}},
      {"a command of no part", 32778, true, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetSwitches(c.all_on, c.on);
    log_.clear();
    auto composer = MakeComposer();
    composer->CountPages(info_, c.command);
    std::vector<std::string> want_log;
    int want_total = 0;
    for (const int part : c.parts) {
      want_log.push_back("count " + std::to_string(part));
      want_total += pages_[static_cast<size_t>(part - 1)];
    }
    EXPECT_EQ(log_, want_log);
    EXPECT_EQ(composer->GetTotalPages(), want_total);
    EXPECT_EQ(info_.max_page, want_total);
    for (int i = 0; i < kParts; ++i) EXPECT_EQ(composer->GetPart(i).GetCommand(), c.command);
  }
}

TEST_F(ComposerTest, PagesGoToTheirPartsAndEmptyPartsKeepTheNumbering) {
  SetSwitches(false, {SettingKey::kPrintReport, SettingKey::kPrintHREvents, SettingKey::kPrintSummary,
                      SettingKey::kPrintHRV});
  pages_[1] = 2;   // part 2
  pages_[2] = 0;   // part 3, chosen but empty
  pages_[3] = 3;   // part 4
  pages_[16] = 1;  // part 17
  auto composer = MakeComposer();
  composer->CountPages(info_, 32816);
  ASSERT_EQ(composer->GetTotalPages(), 6);
  // The third argument is not the page: the info's current page is.
  const std::vector<std::string> want = {"-",
                                         "print 2 page 1",
                                         "print 2 page 2",
                                         "print 4 page 1",
                                         "print 4 page 2",
                                         "print 4 page 3",
                                         "print 17 page 1",
                                         "-",
                                         "-"};
  EXPECT_EQ(PrintPages(*composer, 0, 8), want);
  EXPECT_EQ(PrintPages(*composer, -3, -3), std::vector<std::string>{"-"});
}

TEST_F(ComposerTest, NothingPrintsBeforeThePagesAreCounted) {
  auto composer = MakeComposer();
  EXPECT_EQ(PrintPages(*composer, 1, 2), (std::vector<std::string>{"-", "-"}));
}

TEST_F(ComposerTest, FullDisclosureChannelsChooseTheVariant) {
  struct Case {
    int channels;
    const char* printed;
  };
  constexpr Case kCases[] = {{0, "print 11s page 1"}, {1, "print 11s page 1"}, {2, "print 11 page 1"}};
  pages_[10] = 1;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.channels);
    doc_->GetSettings().SetInt(SettingKey::kFullDisclosureChannels, c.channels);
    auto composer = MakeComposer();
    composer->CountPages(info_, 32988);
    EXPECT_EQ(PrintPages(*composer, 1, 1), std::vector<std::string>{c.printed});
  }
}

TEST_F(ComposerTest, PartsShareTheJobsObjectsAndTheFindingsDialogEndsWithTheJob) {
  int token = 0;
  auto* const findings = reinterpret_cast<TFindingsDlg*>(&token);
  int deleted = 0;
  auto composer = MakeComposer([&](CZK470Doc& doc) {
    EXPECT_EQ(&doc, doc_.get());
    return TFindingsDlgPtr(findings, [&deleted](TFindingsDlg*) { ++deleted; });
  });
  ASSERT_EQ(made_.size(), static_cast<size_t>(kParts));
  EXPECT_EQ(composer->GetFindingsDialog(), findings);
  for (int n = 1; n <= kParts; ++n) {
    SCOPED_TRACE(n);
    const FakePart* part = made_[static_cast<size_t>(n - 1)];
    EXPECT_EQ(part->args.doc, doc_.get());
    EXPECT_EQ(part->args.report_values, &composer->GetReportValues());
    EXPECT_EQ(part->args.full_header, n <= 2 ? 1 : 0);
    const bool strips = (n >= 6 && n <= 10) || n == 14;
    EXPECT_EQ(part->args.auto_gain, strips ? &composer->GetAutoGain() : nullptr);
    EXPECT_EQ(part->Findings(), findings);
  }
  composer.reset();
  EXPECT_EQ(deleted, 1);
}

TEST_F(ComposerTest, PreparationAndCleanupReachEveryPartInOrder) {
  auto composer = MakeComposer();
  gfx::RecordingCanvas dc(PrinterDevice());
  log_.clear();
  composer->PrepareDC(dc, info_);
  EXPECT_EQ(dc.GetMapMode(), gfx::MapMode::kHiMetric);
  EXPECT_EQ(dc.GetBkMode(), gfx::BkMode::kTransparent);
  composer->CleanUp(&dc, info_);
  std::vector<std::string> want;
  for (const int n : AllParts()) want.push_back("prepare " + std::to_string(n));
  for (const int n : AllParts()) want.push_back("cleanup " + std::to_string(n));
  EXPECT_EQ(log_, want);
}

TEST(PrintPartTable, SwitchDefaultsAreTheSettingsDefaults) {
  const SettingsStore defaults;
  std::vector<int> chosen;
  for (const TPrintPartRow& row : PrintPartTable()) {
    SCOPED_TRACE(row.class_name);
    if (row.user_switch) {
      EXPECT_EQ(defaults.Int(*row.user_switch), row.switch_default);
    }
    if (IsPrintPartSelected(row, 32816, defaults)) chosen.push_back(row.number);
  }
  EXPECT_EQ(chosen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17}));
}

// --- The program's parts on a recording -----------------------------------------------------

class RealComposerTest : public ComposerTest {
 protected:
  void SetUp() override {
    ComposerTest::SetUp();
    OpenRecording(10);
  }
};

TEST_F(RealComposerTest, TheEventsPageAloneCountsItsPageAndAPartWithoutPagesPrintsNothing) {
  struct Case {
    const char* name;
    int command;
    int hr_events_switch;
    int pages;
  };
  constexpr Case kCases[] = {
      {"whole report", 32816, 1, 1},
      {"whole report without the events page", 32816, 0, 0},
      {"the events page's command with its switch off", 32989, 0, 1},
      {"the letter, which has no pages yet", 33218, 1, 0},
  };
  // Only the events page takes part in the whole report.
  for (const TPrintPartRow& row : PrintPartTable())
    if (row.user_switch && *row.user_switch != SettingKey::kPrintHREvents)
      doc_->GetSettings().SetInt(*row.user_switch, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kPrintHREvents, c.hr_events_switch);
    TPrintComposer composer(*doc_);
    composer.CountPages(info_, c.command);
    EXPECT_EQ(composer.GetTotalPages(), c.pages);
    for (int page = 1; page <= c.pages + 1; ++page) {
      gfx::RecordingCanvas dc(PrinterDevice());
      info_.current_page = page;
      composer.PrepareDC(dc, info_);
      const size_t prepared = dc.Items().size();
      composer.PrintPage(dc, info_, 1);
      EXPECT_EQ(dc.Items().size() > prepared, page <= c.pages) << "page " << page;
    }
  }
}

TEST_F(RealComposerTest, TwoColourPrintersPrintBeatsBlackButAPdfKeepsItsColours) {
  struct Case {
    const char* name;
    int colours;
    bool pdf;
    bool black;
  };
  constexpr Case kCases[] = {
      {"two-colour printer", 2, false, true},
      {"two-colour device while a PDF is recorded", 2, true, false},
      {"colour printer", -1, false, false},
      {"256-colour printer", 256, false, false},
  };
  const gfx::Color ves =
      CECGStripPainter::kDisplayColours[static_cast<size_t>(doc_->GetSettings().Color(kClassVES))];
  ASSERT_NE(ves, 0u);
  ASSERT_GT(doc_->GetQRSList().GetCounter(kClassVES), 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    gfx::DeviceInfo device = PrinterDevice();
    device.num_colors = c.colours;
    gfx::RecordingCanvas dc(device);
    if (c.pdf) BeginEmfRecording();
    TPrintComposer composer(*doc_);
    composer.CountPages(info_, 32989);
    composer.DecideColour(dc);
    info_.current_page = 1;
    composer.PrepareDC(dc, info_);
    composer.PrintPage(dc, info_, 1);
    if (c.pdf) EndEmfRecording();
    EXPECT_EQ(IsMonochromePrinting(), c.black);
    // Strokes of the events table (30 mm below the margin, 22 rows of 5 mm); the trend chart's
    // legend below it keeps its colours on any printer.
    const int table_top = -(composer.GetTopMargin() + TPrintHREventsPage::kTableTop);
    const int table_bottom = table_top - 22 * TPrintHREventsPage::kRowHeight;
    int ves_ticks = 0;
    gfx::Pen pen;
    for (const gfx::DisplayItem& item : dc.Items()) {
      if (const auto* select = std::get_if<gfx::rec::SelectPen>(&item)) pen = select->pen;
      if (const auto* line = std::get_if<gfx::rec::LineTo>(&item))
        ves_ticks += pen.color == ves && line->to.y <= table_top && line->to.y >= table_bottom ? 1 : 0;
    }
    EXPECT_EQ(ves_ticks > 0, !c.black);
  }
}

// --- Automatic gain ----------------------------------------------------------------------------

// A beat of the test recording: a one-sample spike per channel on a flat line, in 5 uV units
// (even, so that the sample file keeps it exactly).
struct Spike {
  int32_t position;
  uint8_t beat_class;
  int16_t ch0;
  int16_t ch1;
};

class AutoGainTest : public ReportPartTest {
 protected:
  // Opens a two-channel recording of that many minutes holding these beats and nothing else.
  void OpenSpikes(int minutes, const std::vector<Spike>& spikes) {
    const std::filesystem::path base = folder_.Path() / ("r" + std::to_string(++recordings_)) / "00001";
    std::filesystem::create_directories(base.parent_path());
    std::vector<std::vector<int16_t>> channels(2,
                                               std::vector<int16_t>(static_cast<size_t>(minutes) * 7500, 0));
    for (const Spike& s : spikes) {
      channels[0][static_cast<size_t>(s.position)] = s.ch0;
      channels[1][static_cast<size_t>(s.position)] = s.ch1;
    }
    testsupport::CmpWriter writer(testsupport::CmpFormat::kNew, 2);
    for (int m = 0; m < minutes; ++m) {
      std::vector<std::span<const int16_t>> minute;
      for (const auto& channel : channels)
        minute.emplace_back(channel.data() + static_cast<size_t>(m) * 7500, 7500);
      std::array<int16_t, 7500> decoded0{};
      std::array<int16_t, 7500> decoded1{};
      const std::span<int16_t> decoded[] = {decoded0, decoded1};
      writer.AddMinute(minute, testsupport::CmpMode::kRawFull, {}, decoded);
      ASSERT_TRUE(std::equal(decoded0.begin(), decoded0.end(), minute[0].begin())) << "minute " << m;
      ASSERT_TRUE(std::equal(decoded1.begin(), decoded1.end(), minute[1].begin())) << "minute " << m;
    }
    testsupport::WriteBytes(testsupport::WithExtension(base, "CMP"), writer.Bytes());
    testsupport::RecordingSetup setup;
    setup.sample_file = "00001.CMP";
    setup.channels = 2;
    setup.minutes = minutes;
    setup.format = "new";
    testsupport::WriteRecordingSetup(testsupport::SetupPathFor(base), setup);
    const std::filesystem::path qrs = coretest::WriteRecordingFile(base);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    ASSERT_TRUE(doc_->OnOpenDocument(qrs.string()));
    TQRSList& beats = doc_->GetQRSList();
    beats.RemoveAll();
    for (const Spike& s : spikes) beats.Append(TQRSComplex(s.position, s.beat_class));
  }

  std::vector<int32_t> ChosenPositions(const TPrintAutoGain& gain) const {
    std::vector<int32_t> positions;
    for (const TQRSComplex* beat : gain.ChosenBeats()) positions.push_back(beat->GetPosition());
    return positions;
  }

  testsupport::TempFolder folder_{"auto_gain"};
  int recordings_ = 0;
};

TEST_F(AutoGainTest, ChoosesTheFirstTwentyNormalBeatsAndKeepsTheMiddleFourteen) {
  // 30 normal beats a second apart in the first minute of 20 (a twentieth), a VES after each
  // fifth; channel 0 grows with every normal beat, channel 1 stays.
  std::vector<Spike> spikes;
  std::vector<int32_t> first_twenty;
  for (int k = 0; k < 30; ++k) {
    const int32_t position = 125 * (k + 1);
    spikes.push_back({position, kClassNormal, static_cast<int16_t>(100 + 2 * k), 200});
    if (k < 20) first_twenty.push_back(position);
    if (k % 5 == 4) spikes.push_back({position + 60, kClassVES, 900, 900});
  }
  OpenSpikes(20, spikes);
  TPrintAutoGain gain(*doc_);
  gain.Compute(25);
  EXPECT_EQ(ChosenPositions(gain), first_twenty);
  std::vector<int> middle;
  for (int k = 3; k < 17; ++k) middle.push_back(5 * (100 + 2 * k));
  EXPECT_EQ(gain.Amplitudes(0), middle);
  EXPECT_EQ(gain.Amplitudes(1), std::vector<int>(14, 1000));
  EXPECT_TRUE(gain.IsSmallAmplitude());
}

TEST_F(AutoGainTest, LaterBeatsAreTakenOnePerTwentiethOfTheRecording) {
  // 20 normal beats in minute 0, then one a minute; the last two beats of the list never count.
  std::vector<Spike> spikes;
  for (int k = 0; k < 20; ++k) spikes.push_back({125 * (k + 1), kClassNormal, 100, 100});
  std::vector<int32_t> want = {125};
  for (int m = 1; m < 20; ++m) {
    spikes.push_back({m * 7500 + 3000, kClassNormal, 100, 100});
    want.push_back(m * 7500 + 3000);
  }
  spikes.push_back({19 * 7500 + 5000, kClassNormal, 100, 100});
  spikes.push_back({19 * 7500 + 6000, kClassNormal, 100, 100});
  OpenSpikes(20, spikes);
  TPrintAutoGain gain(*doc_);
  gain.Compute(25);
  EXPECT_EQ(ChosenPositions(gain), want);
}

TEST_F(AutoGainTest, FewerThanTwentyBeatsAreAllKeptFromTheRecordingsStart) {
  // The first beat's window would begin before the recording.
  const std::vector<Spike> spikes = {{10, kClassNormal, 300, 40},
                                     {500, kClassNormal, 200, 60},
                                     {900, kClassNormal, 100, 80},
                                     {1300, kClassNormal, 100, 80},
                                     {1700, kClassNormal, 100, 80}};
  OpenSpikes(2, spikes);
  TPrintAutoGain gain(*doc_);
  gain.Compute(25);
  EXPECT_EQ(ChosenPositions(gain), (std::vector<int32_t>{10, 500, 900}));
  EXPECT_EQ(gain.Amplitudes(0), (std::vector<int>{1500, 1000, 500}));
  EXPECT_EQ(gain.Amplitudes(1), (std::vector<int>{200, 300, 400}));
}

TEST_F(AutoGainTest, EveryChannelsMeanMustStayBelowTheLimit) {
  struct Case {
    const char* name;
    int16_t ch0;
    int16_t ch1;
    uint8_t beat_class;
    int channels;  // of the recording's channel set; -1 as opened
    bool small;
  };
  constexpr Case kCases[] = {
      {"both just below 2500 uV", 498, 498, kClassNormal, -1, true},
      {"exactly 2500 uV", 500, 498, kClassNormal, -1, false},
      {"the second channel too large", 100, 600, kClassNormal, -1, false},
      {"no channels", 100, 100, kClassNormal, 0, false},
      {"no normal beats", 100, 100, kClassVES, -1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<Spike> spikes;
    for (int k = 0; k < 30; ++k) spikes.push_back({125 * (k + 1), c.beat_class, c.ch0, c.ch1});
    OpenSpikes(2, spikes);
    if (c.channels >= 0) document::Context().g_RecordingChannels.count = c.channels;
    TPrintAutoGain gain(*doc_);
    gain.Compute(TPrintComposer::kAutoGainLimit);
    EXPECT_EQ(gain.IsSmallAmplitude(), c.small);
  }
}

TEST_F(AutoGainTest, TheComposerMeasuresOnlyWithAutomaticGainAndPartsPickTheirGain) {
  std::vector<Spike> spikes;
  for (int k = 0; k < 30; ++k) spikes.push_back({125 * (k + 1), kClassNormal, 200, 200});
  OpenSpikes(2, spikes);
  struct Case {
    int auto_amplitude;
    int amplitude;
    bool small;
    double gain;
  };
  constexpr Case kCases[] = {
      {1, 0, true, 10.0}, {0, 0, false, 5.0}, {0, 1, false, 10.0}, {0, 7, false, 10.0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.auto_amplitude << " " << c.amplitude);
    doc_->GetSettings().SetInt(SettingKey::kSamplesAutoAmplitude, c.auto_amplitude);
    doc_->GetSettings().SetInt(SettingKey::kSamplesAmplitude, c.amplitude);
    TPrintComposer composer(*doc_);
    EXPECT_EQ(composer.GetAutoGain().IsSmallAmplitude(), c.small);
    EXPECT_EQ(composer.GetAutoGain().GainMmPerMv(), c.gain);
  }
}

}  // namespace
