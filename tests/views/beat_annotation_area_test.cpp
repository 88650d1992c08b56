#include "views/beat_annotation_area.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "views/beat_label_area.h"
#include "views/sample_window_fixture.h"

namespace gfx {
inline void PrintTo(const Rect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace gfx

inline void PrintTo(const CTextCell& c, std::ostream* out) {
  *out << "{" << c.rect.left << ".." << c.rect.right << " \"" << c.upper << "\" \"" << c.lower << "\"}";
}
inline void PrintTo(const CLabelCell& c, std::ostream* out) {
  *out << "{" << c.rect.left << ".." << c.rect.right << " class " << c.code << " index " << c.index
       << " mark " << int{c.mark} << "}";
}

namespace {

using viewstest::SampleWindowFixture;

int Count(const std::vector<std::string>& lines, const std::string& prefix) {
  int n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

// At 100 pixels per second one pixel is 10 ms; at 125 samples per second one sample is 8 ms.
// The beats: 9.0 s, 10.2 s, 11.0 s twice (a duplicate, hand-edited), 12.4 s, 14.0 s, 20.0 s.
class BeatAnnotationTest : public SampleWindowFixture {
 protected:
  void SetUp() override {
    SampleWindowFixture::SetUp();
    window_ = AddSampleWindow(-1);
    annotation_ = AddRow<CBeatAnnotationAreaConfig>(window_, viewstest::TopLeft(), {300, 32});
    labels_ = AddRow<CBeatLabelAreaConfig>(window_, viewstest::Below(0), {300, 20});
  }
  void AddHandMadeBeats() {
    AddBeat(1125, kClassNormal);
    AddBeat(1275, kClassNormal);
    AddBeat(1375, kClassVES);
    AddBeat(1375, kClassSVES, kClassNormal);
    AddBeat(1550, kClassNormal);
    AddBeat(1750, kClassNormal);
    AddBeat(2500, kClassNormal);
  }
  void ShowStrip(int start_ms, int end_ms) {
    doc_->SetStripStartMs(start_ms);
    doc_->SetStripEndMs(end_ms);
    root_->NotifyAll(nullptr, hint::kPositionMoved, nullptr);
  }
  CECGSampleWnd& Window() { return WindowOf(window_); }
  std::vector<std::string> DrawnLines(CViewAreaConfig* node) {
    gfx::RecordingCanvas canvas;
    node->GetArea()->Draw(canvas, node->GetArea()->GetRect());
    return canvas.Lines();
  }

  CECGSampleWindowConfig* window_ = nullptr;
  CBeatAnnotationAreaConfig* annotation_ = nullptr;
  CBeatLabelAreaConfig* labels_ = nullptr;
};

TEST_F(BeatAnnotationTest, CellsOfAHandMadeBeatList) {
  AddHandMadeBeats();
  Show();
  using T = CTextCell;
  using L = CLabelCell;
  struct Case {
    const char* name;
    int start;
    std::vector<T> texts;
    std::vector<L> labels;
  };
  const Case kCases[] = {
      {"a duplicate beat has no rate; a gap of 59 px at the right gets the crossing interval",
       10000,
       {T({21, 0, 101, 32}, "800", "75"), T({101, 0, 101, 32}, "0", "--"), T({101, 0, 241, 32}, "1400", "42"),
        T({241, 0, 300, 32}, "1600", "37")},
       {L({9, 0, 33, 32}, 1, 1, '!'), L({89, 0, 113, 32}, 15, 2, '!'), L({89, 0, 113, 32}, 9, 3, 1),
        L({229, 0, 253, 32}, 1, 4, '!')}},
      {"a gap of 36 px at the left gets the crossing interval",
       9850,
       {T({0, 0, 36, 32}, "1200", "50"), T({36, 0, 116, 32}, "800", "75"), T({116, 0, 116, 32}, "0", "--"),
        T({116, 0, 256, 32}, "1400", "42"), T({256, 0, 300, 32}, "1600", "37")},
       {L({24, 0, 48, 32}, 1, 1, '!'), L({104, 0, 128, 32}, 15, 2, '!'), L({104, 0, 128, 32}, 9, 3, 1),
        L({244, 0, 268, 32}, 1, 4, '!')}},
      {"a gap of exactly 30 px gets none",
       9910,
       {T({30, 0, 110, 32}, "800", "75"), T({110, 0, 110, 32}, "0", "--"), T({110, 0, 250, 32}, "1400", "42"),
        T({250, 0, 300, 32}, "1600", "37")},
       {L({18, 0, 42, 32}, 1, 1, '!'), L({98, 0, 122, 32}, 15, 2, '!'), L({98, 0, 122, 32}, 9, 3, 1),
        L({238, 0, 262, 32}, 1, 4, '!')}},
      {"one beat in view: the intervals on both sides",
       13000,
       {T({0, 0, 101, 32}, "1600", "37"), T({101, 0, 300, 32}, "6000", "10")},
       {L({89, 0, 113, 32}, 1, 5, '!')}},
      {"no beat in view: the interval that holds the view", 14100, {T({0, 0, 300, 32}, "6000", "10")}, {}},
      {"past the last beat: nothing", 21000, {}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ShowStrip(c.start, c.start + 3000);
    EXPECT_EQ(Window().TextCells(), c.texts);
    EXPECT_EQ(Window().BeatLabelCells(), c.labels);
  }
}

TEST_F(BeatAnnotationTest, AnEmptyBeatListLeavesNoCellsAndNothingDrawn) {
  Show();
  Window().TextCells().emplace_back(gfx::Rect{0, 0, 5, 5}, "stale", "stale");
  Window().BeatLabelCells().emplace_back();
  ShowStrip(10000, 13000);
  EXPECT_TRUE(Window().TextCells().empty());
  EXPECT_TRUE(Window().BeatLabelCells().empty()) << "so no beat can be hit in this window";
  EXPECT_EQ(Count(DrawnLines(annotation_), "LineTo"), 0);
  EXPECT_EQ(Count(DrawnLines(labels_), "DrawText"), 0);
}

TEST_F(BeatAnnotationTest, TheRRModesChooseTheTextsButTheLineAndTicksStay) {
  AddHandMadeBeats();
  Show();
  ShowStrip(10000, 13000);
  struct Case {
    const char* name;
    int rr_mode;
    int rr_mode_min;
    int texts;
  };
  const Case kCases[] = {
      {"both", 1, 1, 8}, {"intervals only", 1, 0, 4}, {"rates only", 0, 1, 4}, {"neither", 0, 0, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    doc_->GetSettings().SetInt(SettingKey::kResRRMode, c.rr_mode);
    doc_->GetSettings().SetInt(SettingKey::kResRRModeMin, c.rr_mode_min);
    const std::vector<std::string> lines = DrawnLines(annotation_);
    EXPECT_EQ(Count(lines, "DrawText"), c.texts);
    // The line, a tick at every cell's left edge right of the area's edge and one at the end.
    EXPECT_EQ(Count(lines, "LineTo"), 1 + 4 + 1);
  }
}

TEST_F(BeatAnnotationTest, LabelsOnlyForBeatClassesAndAStarWhenEditedByHand) {
  AddBeat(1275, kClassNormal);
  AddBeat(1300, kClassATypical);
  AddBeat(1375, kClassVES, kClassNormal);
  AddBeat(1400, kClassPacedBeat, kPriorInserted);
  Show();
  ShowStrip(10000, 13000);
  std::vector<std::string> texts;
  for (const std::string& line : DrawnLines(labels_)) {
    if (line.rfind("DrawText", 0) == 0) texts.push_back(line.substr(0, line.find(" at ")));
  }
  // The cells lie 12 px each side of the beat; the text box 20 px more, from 3 px below the top.
  EXPECT_EQ(texts, (std::vector<std::string>{"DrawText -11,35,53,52 0x125 \"N\"",
                                             "DrawText 69,35,133,52 0x125 \"*V\"",
                                             "DrawText 89,35,153,52 0x125 \"*PB\""}));
}

TEST_F(BeatAnnotationTest, ACountsHintRepaintsTheLabelsWithoutRebuildingTheCells) {
  AddHandMadeBeats();
  Show();
  ShowStrip(10000, 13000);
  win::Windows().RunPending();
  const std::vector<CLabelCell> before = Window().BeatLabelCells();
  doc_->GetQRSList().SetClass(2, kClassSVES);
  labels_->NotifyAll(nullptr, hint::kCountsChanged, nullptr);
  EXPECT_EQ(Window().BeatLabelCells(), before);
  EXPECT_EQ(Window().UpdateRect(), labels_->GetArea()->GetRect());
  // The annotation row does rebuild on it: the cells then carry the new class.
  annotation_->NotifyAll(nullptr, hint::kCountsChanged, nullptr);
  EXPECT_EQ(Window().BeatLabelCells()[1].code, kClassSVES);
}

TEST_F(BeatAnnotationTest, ARowFollowsOnlyTheHintsOfItsOwnSlot) {
  AddHandMadeBeats();
  CECGSampleWindowConfig* sample = AddSampleWindow(1, 100);
  auto* sample_row = AddRow<CSampleAnnotationAreaConfig>(sample, viewstest::TopLeft(), {300, 32});
  doc_->GetViewFields().sample_start_ms[1] = 10000;
  doc_->GetViewFields().sample_end_ms[1] = 13000;
  Show();
  EXPECT_EQ(WindowOf(sample).TextCells().size(), 4u) << "built at layout from the slot's window";
  struct Case {
    const char* name;
    int slot;  // of the hint object, -1 none
    bool sample_rebuilt;
    bool strip_rebuilt;
  };
  const Case kCases[] = {
      {"slot 0", 0, false, false}, {"slot 1", 1, true, false}, {"no slot object", -1, true, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WindowOf(sample).TextCells().clear();
    Window().TextCells().clear();
    doc_->SetStripStartMs(10000);
    doc_->SetStripEndMs(13000);
    TSampleSlotHint slot_hint(c.slot);
    root_->NotifyAll(nullptr, hint::kDocumentChanged, c.slot >= 0 ? &slot_hint : nullptr);
    EXPECT_EQ(!WindowOf(sample).TextCells().empty(), c.sample_rebuilt);
    EXPECT_EQ(!Window().TextCells().empty(), c.strip_rebuilt);
  }
  EXPECT_EQ(dynamic_cast<CSampleAnnotationArea*>(sample_row->GetArea())->GetSampleSlot(), 1);
}

TEST_F(BeatAnnotationTest, AnExampleThatStartsBeforeTheRecordingIsStillAnnotated) {
  AddBeat(100, kClassNormal);
  AddBeat(200, kClassVES);
  CECGSampleWindowConfig* sample = AddSampleWindow(0, 100);
  AddRow<CSampleAnnotationAreaConfig>(sample, viewstest::TopLeft(), {300, 32});
  doc_->GetViewFields().sample_start_ms[0] = -500;
  doc_->GetViewFields().sample_end_ms[0] = 2500;
  Show();
  // 0.8 s and 1.6 s after a start of -0.5 s: columns 131 and 211.
  ASSERT_EQ(WindowOf(sample).BeatLabelCells().size(), 2u);
  EXPECT_EQ(WindowOf(sample).BeatLabelCells()[0].rect.left, 131 - 12);
  ASSERT_FALSE(WindowOf(sample).TextCells().empty());
  EXPECT_EQ(WindowOf(sample).TextCells()[0], CTextCell({131, 0, 211, 32}, "800", "75"));
}

}  // namespace
