#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"

namespace {

using doctest::DocFixture;
using doctest::RecordingContent;
using doctest::WriteRecording;

// Normal beats every 100 samples from 50 with a few ectopic ones, three events and a late VES in
// the second minute.
RecordingContent NavigationRecording() {
  RecordingContent content;
  content.beats = doctest::RegularBeats(40, 50, 100);
  content.beats[5].SetClass(kClassVES);    // 550
  content.beats[15].SetClass(kClassVES);   // 1550
  content.beats[21].SetClass(kClassVES);   // 2150, inside the couplet
  content.beats[25].SetClass(kClassSVES);  // 2550
  content.beats[35].SetClass(kClassVES);   // 3550
  content.beats.emplace_back(8000, kClassVES);
  content.events = {TEvent(800, 1200, kClassTachycardia), TEvent(1550, 1550, kClassUser),
                    TEvent(2050, 2250, kClassVCouplet)};
  return content;
}

class DocumentPosition : public DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    ASSERT_TRUE(doc_->OnOpenDocument(WriteRecording(clock_, Base("00001"), NavigationRecording())));
    view_.hints.clear();
    prompt_.ClearLog();
  }

  void Flags(std::initializer_list<int> codes) {
    doc_->GetNavigationFlags().fill(0);
    for (int code : codes) doc_->GetNavigationFlags()[static_cast<size_t>(code)] = 1;
  }
};

constexpr int32_t kMsPerSample = 8;
constexpr int32_t kNone = -1;

TEST_F(DocumentPosition, NextEvent) {
  struct Case {
    const char* name;
    std::initializer_list<int> flags;
    int32_t from_sample;
    int32_t want_sample;  // kNone: nothing found
  };
  const Case cases[] = {
      {"first flagged beat", {kClassVES}, 0, 550},
      {"position on a flagged beat moves past it", {kClassVES}, 550, 1550},
      {"event kind", {kClassTachycardia}, 0, 800},
      {"supraventricular beat", {kClassSVES}, 0, 2550},
      {"pattern event", {kClassVCouplet}, 0, 2050},
      {"inside a run the search goes on behind it", {kClassVCouplet, kClassVES}, 2100, 3550},
      {"normal beats are never targets", {kClassNormal}, 0, kNone},
      {"no flag set", {}, 0, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Flags(c.flags);
    doc_->SetCurrentPosition(c.from_sample * kMsPerSample, 0);
    prompt_.ClearLog();
    const bool found = doc_->GoToNextEvent();
    EXPECT_EQ(found, c.want_sample != kNone);
    EXPECT_EQ(doc_->GetCurrentPosition(),
              (c.want_sample == kNone ? c.from_sample : c.want_sample) * kMsPerSample);
    EXPECT_EQ(prompt_.Log().size(), c.want_sample == kNone ? 1u : 0u);
  }
  EXPECT_TRUE(view_.hints.empty()) << "moves inside the displayed span send no hint";
}

TEST_F(DocumentPosition, PreviousEvent) {
  struct Case {
    const char* name;
    std::initializer_list<int> flags;
    int32_t from_sample;
    int32_t want_sample;
  };
  const Case cases[] = {
      {"position on a flagged beat moves to the one before", {kClassVES}, 1550, 550},
      {"nothing before", {kClassVES}, 550, kNone},
      {"event kind", {kClassTachycardia}, 1550, 800},
      {"later beat wins over an earlier event", {kClassSVES, kClassUser}, 2600, 2550},
      {"a run covering the beat wins", {kClassVES}, 2500, 2050},
      {"pattern kind", {kClassVCouplet}, 2500, 2050},
      {"no flag set", {}, 3000, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Flags(c.flags);
    doc_->SetCurrentPosition(c.from_sample * kMsPerSample, 0);
    prompt_.ClearLog();
    EXPECT_EQ(doc_->GoToPreviousEvent(), c.want_sample != kNone);
    EXPECT_EQ(doc_->GetCurrentPosition(),
              (c.want_sample == kNone ? c.from_sample : c.want_sample) * kMsPerSample);
    EXPECT_EQ(prompt_.Log().size(), c.want_sample == kNone ? 1u : 0u);
  }
}

TEST_F(DocumentPosition, NavigationThatMovesTheSpanSendsHint2057) {
  doc_->SetSpanLength(1);
  doc_->SetSpanStep(1);
  Flags({kClassVES});
  doc_->SetCurrentPosition(3550 * kMsPerSample, 0);
  ASSERT_TRUE(doc_->GoToNextEvent());
  EXPECT_EQ(doc_->GetCurrentPosition(), 64000);
  EXPECT_EQ(doc_->GetSpanStartMinute(), 1);
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kSpanMoved}));
}

TEST_F(DocumentPosition, AdjustTimeSpanToPosition) {
  doc_->GetRawECGData()->SetWholeMinutes(1500);
  struct Case {
    const char* name;
    int32_t span_start, length, step, position_minute;
    bool keep_if_inside;
    bool moved;
    int32_t want_start;
  };
  const Case cases[] = {
      {"inside stays", 0, 720, 660, 100, true, false, 0},
      {"second span", 0, 720, 660, 800, true, true, 660},
      {"limited to the recording's end", 0, 720, 660, 1450, true, true, 780},
      {"whole recording starts at 0", 780, 1500, 0, 1450, false, true, 0},
      {"not kept but unchanged", 0, 720, 660, 100, false, false, 0},
      {"span longer than the recording", 0, 2000, 1380, 10, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->SetSpanStartMinute(c.span_start);
    doc_->SetSpanStartMs(c.span_start * 60000);
    doc_->SetSpanEndMs((c.span_start + c.length) * 60000);
    doc_->SetSpanLength(c.length);
    doc_->SetSpanStep(c.step);
    doc_->SetCurrentPosition(c.position_minute * 60000, 0);
    EXPECT_EQ(doc_->AdjustTimeSpanToPosition(c.keep_if_inside), c.moved);
    EXPECT_EQ(doc_->GetSpanStartMinute(), c.want_start);
    EXPECT_EQ(doc_->GetSpanStartMs(), c.want_start * 60000);
    EXPECT_EQ(doc_->GetSpanEndMs(), (c.want_start + c.length) * 60000);
  }
}

TEST_F(DocumentPosition, DaysHoursAndClockTimes) {
  doc_->GetRawECGData()->SetWholeMinutes(1500);
  EXPECT_TRUE(doc_->IsMultiDayRecording());
  EXPECT_EQ(doc_->GetDayCount(), 2);
  EXPECT_EQ(doc_->GetHoursInDay(1), 24);
  EXPECT_EQ(doc_->GetHoursInDay(2), 1);
  EXPECT_EQ(doc_->GetHoursInDay(3), 0);
  EXPECT_EQ(doc_->GetHoursInDay(99), 25);
  EXPECT_EQ(doc_->GetMinutesInDay(0), 1440);
  EXPECT_EQ(doc_->GetMinutesInDay(1), 60);
  EXPECT_EQ(doc_->GetMinutesInDay(99), 1500);
  // The label follows a clock time, one blank after it.
  EXPECT_EQ(doc_->GetDayLabel(2), " Day 2");
  EXPECT_EQ(doc_->GetDayLabelAt(90000), " Day 2");
  doc_->GetRawECGData()->SetWholeMinutes(1440);
  EXPECT_FALSE(doc_->IsMultiDayRecording());
  EXPECT_EQ(doc_->GetDayLabel(1), "");

  doc_->GetRecordingData().start_time = {0, (10 * 60 + 45) / 1440.0};
  doc_->SetSpanStartMinute(30);
  EXPECT_EQ(doc_->GetSpanStartClockHour(), 11);
  EXPECT_EQ(doc_->GetSpanStartClockMinute(), 15);
  EXPECT_EQ(doc_->GetSpanStartClockSecond(), 0);
  doc_->SetPrintSpanStartMinute(24 * 60 + 100);
  EXPECT_EQ(doc_->GetPrintSpanStartClockHour(), 36) << "not wrapped at 24";
  EXPECT_EQ(doc_->GetPrintSpanStartClockMinute(), 25);
}

TEST_F(DocumentPosition, TimeUnitConversions) {
  struct Case {
    int32_t ms;
    int32_t samples;
  };
  for (const Case& c :
       {Case{0, 0}, Case{8, 1}, Case{3, 0}, Case{4, 1}, Case{60000, 7500}, Case{1000007, 125001}})
    EXPECT_EQ(doc_->MsToSamples(c.ms), c.samples) << c.ms;
  EXPECT_EQ(doc_->SamplesToMs(3), 24);
  EXPECT_EQ(doc_->SamplesToMs(7500), 60000);
}

TEST_F(DocumentPosition, LoadChannelMinutesTakesTheWholeMinutesFlag) {
  CZK470Doc::MinuteBlockArrays arrays;
  EXPECT_EQ(doc_->LoadChannelMinutesSet1(arrays, 0, 59999, true), 1);
  EXPECT_EQ(arrays[0].size(), 1u);
  EXPECT_EQ(arrays[1].size(), 1u);
  EXPECT_EQ(doc_->LoadChannelMinutesSet1(arrays, 0, 59999, false), 2);
  ASSERT_EQ(arrays[0].size(), 2u);
  EXPECT_EQ(arrays[0][1]->minute, 1);
  EXPECT_NE(arrays[0][0]->samples[2], 0) << "channel 0 carries the test signal";
  CZK470Doc::FreeChannelMinutesSet1(arrays);
  EXPECT_TRUE(arrays[0].empty());
}

TEST_F(DocumentPosition, ExtremeSetterModes) {
  // Beat 3 lies at sample 350; a valid extreme is stored there before each case.
  struct Case {
    const char* name;
    int mode;
    int32_t value, position, beat;
    bool stored;
  };
  const Case cases[] = {
      {"mode 0 always", 0, 60, 950, 9, true},
      {"mode 1 new position", 1, 60, 950, 9, true},
      {"mode 1 same beat position", 1, 61, 350, 4, false},
      {"mode 1 position -1", 1, 61, -1, 4, false},
      {"mode 2 keeps a valid extreme", 2, 60, 950, 9, false},
      {"mode 3 same place", 3, 99, 350, 3, false},
      {"mode 3 other place", 3, 99, 350, 4, true},
      {"unknown mode", 7, 99, 950, 9, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_->SetHRMin(70, 350, 3, 0);
    doc_->SetModifiedFlag(false);
    doc_->SetHRMin(c.value, c.position, c.beat, c.mode);
    EXPECT_EQ(doc_->GetHRMinValue(), c.stored ? c.value : 70);
    EXPECT_EQ(doc_->GetHRMinPosition(), c.stored ? c.position : 350);
    EXPECT_EQ(doc_->GetHRMinBeat(), c.stored ? c.beat : 3);
    EXPECT_EQ(doc_->IsModified(), c.stored && c.mode != 0);
    EXPECT_EQ(doc_->GetRecordingData().extremes[4], doc_->GetHRMinValue()) << "the record keeps a copy";
  }
  // Mode 2 fills in an extreme that is not set.
  doc_->SetRRMax(0, -1, -1, 0);
  doc_->SetRRMax(140, 700, 6, 2);
  EXPECT_EQ(doc_->GetRRMaxValue(), 140);
}

TEST_F(DocumentPosition, GoToExtremes) {
  doc_->SetHRMin(0, -1, -1, 0);
  EXPECT_FALSE(doc_->GoToHRMin());
  doc_->SetCurrentPosition(123, 0);
  doc_->SetRRMax(150, 1130, 10, 0);
  ASSERT_TRUE(doc_->GoToRRMax());
  EXPECT_EQ(doc_->GetCurrentPosition(), 9000) << "whole seconds of 9040 ms";
  doc_->SetNNMin(100, 1130, 10, 0);
  ASSERT_TRUE(doc_->GoToNNMin());
  EXPECT_EQ(doc_->GetCurrentPosition() / 10, 904);
  doc_->GetRecordingData().deepest_st_position = {-1, 250};
  EXPECT_FALSE(doc_->GoToSTPosition(0));
  ASSERT_TRUE(doc_->GoToSTPosition(1));
  EXPECT_EQ(doc_->GetCurrentPosition(), 2000);
  EXPECT_FALSE(doc_->GoToSTPosition(2));
  EXPECT_TRUE(view_.hints.empty());
}

// The hint sequence of each document action.
TEST_F(DocumentPosition, HintsOfDocumentActions) {
  struct Case {
    const char* name;
    std::function<void(CZK470Doc&)> action;
    std::vector<int> hints;
  };
  const std::vector<Case> cases = {
      {"go to start", [](CZK470Doc& d) { d.OnCommand(33018); }, {hint::kDocumentChanged}},
      {"remove user events", [](CZK470Doc& d) { d.OnCommand(32873); }, {hint::kDocumentChanged}},
      {"reset without caliper", [](CZK470Doc& d) { d.ResetAnalysisResults(); }, {}},
      {"reset with caliper",
       [](CZK470Doc& d) {
         d.GetViewFields().caliper = 1;
         d.ResetContents();
       },
       {hint::kCaliperOff}},
      {"extremes for the views",
       [](CZK470Doc& d) { d.RecalcHeartRateExtremes(0, 0, 1); },
       {hint::kCountsChanged}},
      {"extremes with R-on-T again", [](CZK470Doc& d) { d.RecalcHeartRateExtremes(1, 0, 1); }, {}},
      {"channels page", [](CZK470Doc& d) { d.ApplyChannelsPage(1, 0); }, {hint::kDisplaySettings}},
      {"display speed",
       [](CZK470Doc& d) { d.ApplyDisplaySpeedValues(d.GetDisplaySpeedValues()); },
       {hint::kDisplaySettings}},
      {"heart-rate page unchanged", [](CZK470Doc& d) { d.ApplyHeartRatePage(1, 2); }, {}},
      {"heart-rate page changed",
       [](CZK470Doc& d) { d.ApplyHeartRatePage(2, 2); },
       {hint::kHeartRateAveraging}},
      {"untitled", [](CZK470Doc& d) { d.ResetToUntitled(); }, {hint::kDocumentChanged}},
      {"new document", [](CZK470Doc& d) { d.OnNewDocument(); }, {hint::kDocumentChanged}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_.hints.clear();
    c.action(*doc_);
    EXPECT_EQ(view_.hints, c.hints);
  }
}

// A recording closed or analysed again leaves no page or example-strip place of its own behind:
// the next screens would otherwise show the old places on the new recording.
TEST_F(DocumentPosition, ResetsForgetThePageAndTheExampleStrips) {
  for (const bool whole : {true, false}) {
    SCOPED_TRACE(whole ? "contents" : "analysis results");
    CZK470Doc::ViewFields& fields = doc_->GetViewFields();
    fields.page_start_ms = 60'000;
    fields.page_end_ms = 120'000;
    fields.sample_start_ms = {1000, 2000, 3000};
    fields.sample_end_ms = {9000, 9000, 9000};
    if (whole)
      doc_->ResetContents();
    else
      doc_->ResetAnalysisResults();
    EXPECT_EQ(fields.page_start_ms, 0);
    EXPECT_EQ(fields.page_end_ms, 0);
    EXPECT_EQ(fields.sample_start_ms, (std::array<int32_t, 3>{-1, -1, -1}));
    EXPECT_EQ(fields.sample_end_ms, (std::array<int32_t, 3>{-1, -1, -1}));
  }
}

TEST_F(DocumentPosition, CountsHintMarksBradycardiaAndTachycardia) {
  doc_->RecalcHeartRateExtremes(0, 0, 1);
  TCountsHint::Table want{};
  want[kClassBradycardia] = 1;
  want[kClassTachycardia] = 1;
  EXPECT_EQ(view_.last_counts_marks, want);
}

TEST_F(DocumentPosition, GoToStartAndUserEventCommands) {
  doc_->SetSpanStartMinute(1);
  doc_->SetCurrentPosition(0, 0);
  EXPECT_TRUE(doc_->OnCommand(33018));
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kDocumentChanged})) << "sent even when the position was 0";
  EXPECT_EQ(doc_->GetSpanStartMinute(), 1) << "the displayed span stays";

  ASSERT_EQ(doc_->OnUpdateCommand(32873).enabled, true);
  EXPECT_TRUE(doc_->OnCommand(32873));
  EXPECT_EQ(doc_->GetEventList().GetCounter(kClassUser), 0);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(doc_->OnUpdateCommand(32873).enabled, false);

  struct Case {
    DisplayMode mode;
    bool go_to_start, channels;
  };
  for (const Case& c :
       {Case{DisplayMode::kNone, false, false}, Case{DisplayMode::kNavigation, true, true},
        Case{DisplayMode::kHourlyBarGraphs, false, true}, Case{DisplayMode::kTemplateClasses, false, true},
        Case{DisplayMode::kPdf, false, false}}) {
    doc_->SetDisplayMode(c.mode);
    EXPECT_EQ(doc_->OnUpdateCommand(33018).enabled, c.go_to_start) << static_cast<int>(c.mode);
    EXPECT_EQ(doc_->OnUpdateCommand(32838).enabled, c.channels) << static_cast<int>(c.mode);
  }
  EXPECT_TRUE(doc_->OnUpdateCommand(32837).handled);
  EXPECT_FALSE(doc_->OnUpdateCommand(32837).enabled.has_value());
  EXPECT_FALSE(doc_->OnUpdateCommand(12345).handled);
}

TEST_F(DocumentPosition, ViewsAlwaysFindASampleStore) {
  doc_->ResetContents();
  ASSERT_NE(doc_->GetRawECGData(), nullptr);
  EXPECT_EQ(doc_->GetRawECGData()->GetWholeMinutes(), 0);
  CZK470Doc::MinuteBlockArrays arrays;
  EXPECT_EQ(doc_->LoadChannelMinutesSet1(arrays, 0, 60000, false), 0);
  EXPECT_TRUE(arrays[0].empty());
  CZK470Doc fresh(CZK470Doc::NoUserInterface{}, profile_, clock_);
  EXPECT_NE(fresh.GetRawECGData(), nullptr);
}

TEST_F(DocumentPosition, ResetToUntitledLetsTheRecordingGo) {
  doc_->ResetToUntitled();
  EXPECT_EQ(doc_->GetTitle(), "Untitled");
  EXPECT_TRUE(doc_->GetPathName().empty());
  EXPECT_FALSE(doc_->IsFileHeld());
  ASSERT_NE(doc_->GetRawECGData(), nullptr) << "views always find a sample store";
  EXPECT_EQ(doc_->GetRawECGData()->GetWholeMinutes(), 0);
  EXPECT_EQ(doc_->GetQRSList().GetSize(), 0);
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
}

}  // namespace
