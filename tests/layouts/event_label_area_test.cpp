#include "layouts/event_label_area.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/document_context.h"
#include "gfx/recording_canvas.h"
#include "layouts/layout_harness.h"
#include "layouts/sample_window_factories.h"
#include "support/screen_golden.h"
#include "views/beat_annotation_area.h"
#include "views/beat_label_area.h"
#include "views/sample_window_fixture.h"

namespace {

using viewstest::SampleWindowFixture;

// The rectangle of each label the row draws, with its text ("81,0,93,20 VC").
std::vector<std::string> DrawnLabels(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    if (line.rfind("DrawText ", 0) != 0) continue;
    const size_t rect_end = line.find(' ', 9);
    const size_t text_start = line.find('"');
    out.push_back(line.substr(9, rect_end - 9) + " " +
                  line.substr(text_start + 1, line.find('"', text_start + 1) - text_start - 1));
  }
  return out;
}

// The main strip window (100 pixels per second, 10 ms a pixel, 8 ms a sample) from 10 s to
// 13 s, with an event label row of 300 x 140 (lines of 20 pixels) at its top left.
class EventLabelTest : public SampleWindowFixture {
 protected:
  void SetUp() override {
    SampleWindowFixture::SetUp();
    window_ = AddSampleWindow(-1);
    row_ = AddRow<CEventLabelAreaConfig>(window_, viewstest::TopLeft(), {300, 140});
    doc_->SetStripStartMs(10000);
    doc_->SetStripEndMs(13000);
  }
  CECGSampleWnd& Window() { return WindowOf(window_); }
  std::vector<std::string> DrawnLines() {
    gfx::RecordingCanvas canvas;
    row_->GetArea()->Draw(canvas, row_->GetArea()->GetRect());
    return canvas.Lines();
  }

  CECGSampleWindowConfig* window_ = nullptr;
  CEventLabelAreaConfig* row_ = nullptr;
};

TEST_F(EventLabelTest, CloseLabelsStepDownAndReturnToTheTop) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> events;  // sample, kind
    size_t cells;
    std::vector<std::string> labels;
  };
  // Sample p lies at column trunc(0.8 p - 1000); its label starts one pixel right of it.
  const Case kCases[] = {
      {"61 px apart: both on the top line",
       {{1350, kClassVCouplet}, {1427, kClassVTriplet}},
       2,
       {"81,0,93,20 VC", "142,0,154,20 VTr"}},
      {"60 px apart: the second one line down",
       {{1350, kClassVCouplet}, {1426, kClassVTriplet}},
       2,
       {"81,0,93,20 VC", "141,20,153,40 VTr"}},
      {"seven crowded labels: the seventh returns to the top",
       {{1350, 16}, {1360, 17}, {1370, 18}, {1380, 19}, {1390, 20}, {1400, 10}, {1410, 11}},
       7,
       {"81,0,93,20 VC", "89,20,101,40 VTr", "97,40,109,60 VT", "105,60,117,80 VBi", "113,80,125,100 VTri",
        "121,100,133,120 SC", "129,0,141,20 STr"}},
      {"a pacemaker event: a cell, no label, and no crowding",
       {{1350, kClassPaceMaker}, {1360, kClassVCouplet}},
       2,
       {"89,0,101,20 VC"}},
      {"the first label near the left edge goes one line down",
       {{1312, kClassPause}},
       1,
       {"50,20,62,40 Pause"}},
      {"at the start sample and one later: no label",
       {{1250, 16}, {1251, 17}, {1252, 18}},
       1,
       {"2,20,14,40 VT"}},
      {"on the end: labelled; after it: not", {{1625, 16}, {1626, 17}}, 1, {"301,0,313,20 VC"}},
  };
  Show();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetEventList().RemoveAll();
    for (const auto& [sample, kind] : c.events) AddEvent(sample, kind);
    root_->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
    EXPECT_EQ(Window().EventLabelCells().size(), c.cells);
    EXPECT_EQ(DrawnLabels(DrawnLines()), c.labels);
  }
}

TEST_F(EventLabelTest, CellsCarryKindIndexAndPriorKind) {
  AddEvent(1300, kClassBradycardia);
  AddEvent(1350, kClassUser, kClassPause);
  Show();
  // Half of the 250-ms marker is 12 px; the cell runs from the column - 11 to the column + 13.
  EXPECT_EQ(Window().EventLabelCells(),
            (std::vector<CLabelCell>{CLabelCell({29, 0, 53, 140}, kClassBradycardia, 0, '!'),
                                     CLabelCell({69, 0, 93, 140}, kClassUser, 1, kClassPause)}));
}

TEST_F(EventLabelTest, ZeroSetMarksLieBetweenTheFirstTwoStrips) {
  doc_->GetRecordingData().recorder_markers = {1000, 1300, 1500, 9000};
  Show();
  ASSERT_EQ(Window().MarkLabelCells(),
            (std::vector<CLabelCell>{CLabelCell({41, 0, 61, 140}, kClassZeroSet, 1, kClassZeroSet),
                                     CLabelCell({201, 0, 221, 140}, kClassZeroSet, 2, kClassZeroSet)}));
  // Without two channel strips the marks are not drawn.
  document::Context().g_RecordingChannels.Assign(std::vector<int32_t>{0});
  Window().LayoutChannelBands({0, 0, 300, 140});
  EXPECT_TRUE(DrawnLabels(DrawnLines()).empty());
  // Two strips of 70 widened by 20: the first ends at 90, the second starts at 50; y = 70.
  document::Context().g_RecordingChannels.Assign(std::vector<int32_t>{0, 1});
  Window().LayoutChannelBands({0, 0, 300, 140});
  const std::vector<std::string> lines = DrawnLines();
  EXPECT_EQ(DrawnLabels(lines), (std::vector<std::string>{"41,60,61,68 Z", "201,60,221,68 Z"}));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "MoveTo 41,70"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "LineTo 61,70"), lines.end());
}

TEST_F(EventLabelTest, TheLabelSwitchHidesTheLabelsButKeepsTheCells) {
  AddEvent(1350, kClassVCouplet);
  Show();
  Window().SetLabelSwitch(false);
  EXPECT_TRUE(DrawnLines().empty());
  EXPECT_EQ(Window().EventLabelCells().size(), 1u);
}

TEST_F(EventLabelTest, ASampleRowIgnoresTheHintsOfOtherSlots) {
  AddEvent(1350, kClassVCouplet);
  CECGSampleWindowConfig* sample = AddSampleWindow(1, 160);
  AddRow<CSampleEventLabelAreaConfig>(sample, viewstest::TopLeft(), {300, 140});
  doc_->GetViewFields().sample_start_ms[1] = 10000;
  Show();
  struct Case {
    const char* name;
    int hint;
    int slot;  // -1: no slot object
    bool sample_rebuilt;
    bool strip_rebuilt;
  };
  const Case kCases[] = {
      {"1005 of slot 0", hint::kDocumentChanged, 0, false, false},
      {"1005 of slot 1", hint::kDocumentChanged, 1, true, false},
      {"2057 without a slot", hint::kSpanMoved, -1, true, true},
      {"1019: the main strip's page moved", hint::kArea1019, -1, false, true},
      {"1010: both", hint::kCountsChanged, -1, true, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WindowOf(sample).EventLabelCells().clear();
    Window().EventLabelCells().clear();
    TSampleSlotHint slot_hint(c.slot);
    root_->NotifyAll(nullptr, c.hint, c.slot >= 0 ? &slot_hint : nullptr);
    EXPECT_EQ(WindowOf(sample).EventLabelCells().size(), c.sample_rebuilt ? 1u : 0u);
    EXPECT_EQ(Window().EventLabelCells().size(), c.strip_rebuilt ? 1u : 0u);
  }
}

class SampleWindowRowsTest : public SampleWindowFixture {};

// The three rows as the layouts place them inside a strip: the label row at the top, the event
// row below it, the annotation row at the bottom; every beat class, a hand-edited beat, a beat
// pair on one sample, events with a pacemaker spike and a zero-set mark.
TEST_F(SampleWindowRowsTest, RowsGolden) {
  CECGSampleWindowConfig* window = AddSampleWindow(-1, 240);
  auto strip =
      std::make_unique<CViewAreaConfig>(viewstest::TopLeft(), gfx::Size{400, 200}, gfx::Size{0, 0}, false);
  CViewAreaConfig* strip_node = strip.get();
  window->AddChild(std::move(strip));
  AddRow<CBeatAnnotationAreaConfig>(strip_node, AtBottom(), {400, 32});
  AddRow<CBeatLabelAreaConfig>(strip_node, viewstest::TopLeft(), {400, 20});
  AddRow<CEventLabelAreaConfig>(strip_node, viewstest::Below(1), {400, 130});
  doc_->SetStripStartMs(10000);
  doc_->SetStripEndMs(14000);
  const int classes[] = {kClassNormal,    kClassVES,      kClassSVES,          kClassArtefact,
                         kClassPacedBeat, kClassATypical, kClassExternalType5, kClassNormal};
  int sample = 1260;
  for (const int beat_class : classes) {
    AddBeat(sample, beat_class);
    sample += 55;
  }
  AddBeat(sample - 55, kClassVES, kClassNormal);
  AddEvent(1300, kClassPaceMaker);
  AddEvent(1320, kClassSVCouplet);
  AddEvent(1330, kClassVCouplet);
  AddEvent(1500, kClassUser);
  doc_->GetRecordingData().recorder_markers = {1400};
  Show();
  WindowOf(window).LayoutChannelBands({0, 0, 400, 200});
  root_->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("layouts", "sample_window_rows",
                                  testsupport::RecordedScreen(WindowOf(window)));
}

// Layout 12 with the classes registered: three sample windows of slots 0 to 2, the rows inside
// them find their window and slot; the rows of the main strip (a stand-in window until its class
// is registered) find none and stay empty.
TEST(SampleWindowFactories, LayoutTwelveHasThreeSlotsAndTheirRows) {
  RegisterSampleWindowFactories();
  layouttest::LayoutHarness layout(12, 1000, 700);
  const int kWindows[] = {11, 22, 33};
  for (int slot = 0; slot < 3; ++slot) {
    SCOPED_TRACE(slot);
    const CViewAreaConfig* node = layout.Node(kWindows[slot]);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetClassName(), "CECGSampleWindowConfig");
    EXPECT_EQ(dynamic_cast<const CECGSampleWindowConfig*>(node)->GetSampleSlot(), slot);
    const int first_row = kWindows[slot] + 7;
    EXPECT_EQ(layout.Node(first_row)->GetClassName(), "CSampleAnnotationAreaConfig");
    EXPECT_EQ(layout.Node(first_row + 1)->GetClassName(), "CSampleBeatLabelAreaConfig");
    EXPECT_EQ(layout.Node(first_row + 2)->GetClassName(), "CSampleEventLabelAreaConfig");
    auto* annotation = dynamic_cast<CSampleAnnotationArea*>(layout.Node(first_row)->GetArea());
    ASSERT_NE(annotation, nullptr);
    EXPECT_EQ(annotation->GetSampleSlot(), slot);
    EXPECT_NE(FindSampleWindow(layout.Node(first_row)), nullptr);
  }
  EXPECT_EQ(layout.Node(51)->GetClassName(), "CBeatAnnotationAreaConfig");
  EXPECT_EQ(layout.Node(53)->GetClassName(), "CEventLabelAreaConfig");
  ASSERT_NE(layout.Node(53)->GetArea(), nullptr);
  gfx::RecordingCanvas canvas;
  layout.Node(53)->GetArea()->Draw(canvas, layout.RectOf(53));
  layout.Node(51)->GetArea()->OnNotify(nullptr, hint::kPositionMoved, nullptr);
  EXPECT_TRUE(canvas.Lines().empty());
}

}  // namespace
