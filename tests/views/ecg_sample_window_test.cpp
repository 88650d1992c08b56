#include "views/ecg_sample_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "document/document_context.h"
#include "views/sample_window_fixture.h"
#include "win/command_target.h"
#include "win/messages.h"

namespace {

using viewstest::SampleWindowFixture;

class ECGSampleWindowTest : public SampleWindowFixture {};

TEST_F(ECGSampleWindowTest, BandsAndLabelsOverlapOnlyBetweenNeighbours) {
  CECGSampleWindowConfig* node = AddSampleWindow(0);
  Show();
  CECGSampleWnd& window = WindowOf(node);
  struct Case {
    const char* name;
    std::vector<int32_t> channels;
    std::vector<gfx::Rect> bands;
    std::vector<gfx::Rect> labels;
    std::vector<std::string> texts;
  };
  // 40 pixels per cm: bands overlap by half a centimetre each way, labels by a whole one.
  const Case kCases[] = {
      {"one channel: no overlap", {0}, {{0, 0, 300, 90}}, {{3, 0, 300, 90}}, {"Ch 1"}},
      {"two channels: bands 0 and 1",
       {0, 2},
       {{0, 0, 300, 65}, {0, 25, 300, 90}},
       {{3, 0, 300, 85}, {3, 5, 300, 90}},
       {"Ch 1", "Ch 3"}},
      {"three channels: each neighbour pair",
       {0, 1, 2},
       {{0, 0, 300, 50}, {0, 10, 300, 80}, {0, 40, 300, 90}},
       {{3, 0, 300, 70}, {3, -10, 300, 100}, {3, 20, 300, 90}},
       {"Ch 1", "Ch 2", "Ch 3"}},
      {"an empty channel set still gets one band", {}, {{0, 0, 300, 90}}, {{3, 0, 300, 90}}, {"Ch 1"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    document::Context().g_RecordingChannels.Assign(c.channels);
    window.LayoutChannelBands({0, 0, 300, 90});
    window.LayoutChannelLabels({0, 0, 300, 90});
    EXPECT_EQ(window.ChannelBands(), c.bands);
    EXPECT_EQ(window.ChannelLabelRects(), c.labels);
    EXPECT_EQ(window.ChannelLabelTexts(), c.texts);
  }
  EXPECT_DOUBLE_EQ(window.GetPixelsPerSecond(), 100.0) << "40 px/cm at 25 mm/s";
  EXPECT_DOUBLE_EQ(window.GetPixelsPerMV(), 20.0) << "40 px/cm at 5 mm/mV";
}

TEST_F(ECGSampleWindowTest, TheSlotTakesItsKindFromTheSettingThenFromTheLegend) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, 15);
  ExampleTime(15, 1) = 4000;
  CECGSampleWindowConfig* node = AddSampleWindow(1);
  CECGSampleWindowConfig* strip = AddSampleWindow(-1, 100);
  Show();
  CECGSampleWnd& window = WindowOf(node);
  EXPECT_EQ(WindowOf(strip).GetSampleSlot(), -1);
  EXPECT_TRUE(WindowOf(strip).HasExample()) << "the main strip always shows";
  EXPECT_EQ(window.GetSampleSlot(), 1);
  EXPECT_EQ(doc_->GetViewFields().sample_kind[1], 15);
  EXPECT_TRUE(window.HasExample());
  EXPECT_EQ(window.GetExampleTime(), 4000);

  struct Case {
    const char* name;
    int legend;
    int want_kind;
    bool want_example;
  };
  const Case kCases[] = {
      {"unanswered: the kind stays", -1, 15, true},
      {"the legend chose a kind without an example", 9, 9, false},
      {"back to one with an example", 15, 15, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    legend_kind_ = c.legend;
    root_->NotifyAll(nullptr, hint::kArea20000, nullptr);
    EXPECT_EQ(doc_->GetViewFields().sample_kind[1], c.want_kind);
    EXPECT_EQ(window.HasExample(), c.want_example);
    EXPECT_EQ(win::UpdateCommand(window, CECGSampleWnd::kCmdNextExample).Enabled(), c.want_example);
    EXPECT_EQ(win::UpdateCommand(window, CECGSampleWnd::kCmdTakeExample).Enabled(), true);
  }
}

TEST_F(ECGSampleWindowTest, TakingThePositionMakesAnExampleAndNamesTheSlot) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, 7);
  CECGSampleWindowConfig* node = AddSampleWindow(2);
  Show();
  CECGSampleWnd& window = WindowOf(node);
  ASSERT_FALSE(window.HasExample());
  doc_->SetCurrentPosition(5000);
  // The stand-in legend confirms the kind when the slot is taken again.
  legend_kind_ = 7;
  hints_.lines.clear();
  ASSERT_TRUE(win::ExecuteCommand(window, CECGSampleWnd::kCmdTakeExample));
  EXPECT_EQ(ExampleTime(7, 2), 5000);
  EXPECT_EQ(hints_.lines, (std::vector<std::string>{"20003", "1005 slot 2"}));
  EXPECT_TRUE(doc_->IsModified());
  // The hints reach the layout through the view; here the test passes them on.
  root_->NotifyAll(nullptr, hint::kDocumentChanged, nullptr);
  EXPECT_TRUE(window.HasExample());
}

TEST_F(ECGSampleWindowTest, NextExampleOfAbsoluteArrhythmiaVisitsFibrillationAndFlutter) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, kClassArrhythmia);
  AddEvent(100, kClassArtefact);
  AddEvent(200, kClassAtrialFibrillation);
  AddEvent(300, kClassArrhythmia);
  AddEvent(400, kClassAtrialFlutter);
  AddEvent(500, kClassBradycardia);
  CECGSampleWindowConfig* node = AddSampleWindow(0);
  Show();
  CECGSampleWnd& window = WindowOf(node);
  // 125 samples per second: sample 200 is 1600 ms; after the last match the search wraps.
  for (const int want : {1600, 2400, 3200, 1600}) {
    ASSERT_TRUE(win::ExecuteCommand(window, CECGSampleWnd::kCmdNextExample));
    EXPECT_EQ(ExampleTime(kClassArrhythmia, 0), want);
  }
}

TEST_F(ECGSampleWindowTest, SlotsNeverShareAnExample) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, kClassVES);
  AddBeat(100, kClassNormal);
  AddBeat(200, kClassVES);
  AddBeat(300, kClassNormal);
  AddBeat(400, kClassVES);
  std::vector<CECGSampleWindowConfig*> nodes = {AddSampleWindow(0, 120), AddSampleWindow(1, 120),
                                                AddSampleWindow(2, 120)};
  Show();
  hints_.lines.clear();
  for (CECGSampleWindowConfig* node : nodes)
    ASSERT_TRUE(win::ExecuteCommand(WindowOf(node), CECGSampleWnd::kCmdNextExample));
  EXPECT_EQ(ExampleTime(kClassVES, 0), 1600);
  EXPECT_EQ(ExampleTime(kClassVES, 1), 3200) << "the first VES is slot 0's";
  EXPECT_EQ(ExampleTime(kClassVES, 2), -1) << "both are taken: nothing found, the time stays";
  EXPECT_EQ(hints_.lines, (std::vector<std::string>{"20003", "1005 slot 0", "20003", "1005 slot 1", "20003",
                                                    "1005 slot 2"}));
}

TEST_F(ECGSampleWindowTest, AClickGoesToTheExampleOnlyWhereThereIsOne) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, kClassVES);
  ExampleTime(kClassVES, 0) = 7000;
  CECGSampleWindowConfig* with = AddSampleWindow(0, 120);
  CECGSampleWindowConfig* without = AddSampleWindow(1, 120);
  CECGSampleWindowConfig* strip = AddSampleWindow(-1, 120);
  Show();
  struct Case {
    const char* name;
    CECGSampleWindowConfig* node;
    int want_position;
    std::vector<std::string> want_hints;
  };
  const Case kCases[] = {
      {"no example: ignored", without, 100, {}},
      {"the main strip has no slot", strip, 100, {}},
      {"to the example", with, 7000, {"1031", "1016"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->SetCurrentPosition(100);
    hints_.lines.clear();
    WindowOf(c.node).SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(20, 20));
    EXPECT_EQ(doc_->GetCurrentPosition(), c.want_position);
    EXPECT_EQ(hints_.lines, c.want_hints);
  }
}

TEST_F(ECGSampleWindowTest, AKindOutsideTheCodesShowsNoExample) {
  doc_->GetSettings().SetInt(SettingKey::kECGSamplesLast, 77);
  CECGSampleWindowConfig* node = AddSampleWindow(0);
  Show();
  CECGSampleWnd& window = WindowOf(node);
  EXPECT_FALSE(window.HasExample());
  EXPECT_TRUE(win::ExecuteCommand(window, CECGSampleWnd::kCmdTakeExample));
  EXPECT_TRUE(win::ExecuteCommand(window, CECGSampleWnd::kCmdNextExample));
  EXPECT_EQ(window.GetExampleTime(), -1);
}

}  // namespace
