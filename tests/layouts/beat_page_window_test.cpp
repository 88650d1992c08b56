#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "beat_page_fixture.h"
#include "document/document_context.h"
#include "support/screen_golden.h"
#include "views/area_messages.h"
#include "views/beat_edit_request.h"
#include "views/ecg_strip_painter.h"
#include "views/strip_recording.h"

namespace {

using beatpagetest::BeatPageTest;

// Hands every request to a new beat editor, as the program's sink does, and keeps the request
// with the manual-edit flag at that moment.
class RecordingSink : public CBeatEditSink {
 public:
  void ExecuteCommand(CZK470Doc& document, const TBeatEditRequest& request) override {
    requests.push_back(request);
    manual_flags.push_back(document::Context().edit_mode);
    analysis::TBeatEditRequest out;
    out.window = request.window;
    out.off_beat = request.off_beat;
    out.position = request.position;
    out.beat_index = request.beat_index;
    out.direct = request.direct;
    out.command = request.command;
    out.in_selected_class = request.not_in_selected_class;
    out.beat_class = request.beat_class;
    TBeatEditor editor(document, 1);
    editor.ExecuteCommand(out);
  }
  void CheckExampleStrips(CZK470Doc&) override {}

  std::vector<TBeatEditRequest> requests;
  std::vector<int> manual_flags;
};

class BeatPageWindowTest : public BeatPageTest {
 protected:
  void SetUp() override {
    BeatPageTest::SetUp();
    SetBeatEditSink(&sink_);
  }
  void TearDown() override {
    SetBeatEditSink(nullptr);
    BeatPageTest::TearDown();
  }
  RecordingSink sink_;
};

TEST_F(BeatPageWindowTest, PagingThroughAClassOf120Beats) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 120);
  Open();
  EXPECT_TRUE(Enabled(CBeatPageWnd::kCmdPageForward));
  EXPECT_FALSE(Enabled(CBeatPageWnd::kCmdPageBack));
  Command(CBeatPageWnd::kCmdPageBack);
  EXPECT_EQ(Page().GetFirstRow(), 0);

  Click(7);
  Command(CBeatPageWnd::kCmdPageForward);
  EXPECT_EQ(Page().GetFirstRow(), 5);
  EXPECT_EQ(Area().StripCount(), 20);
  EXPECT_FALSE(Enabled(CBeatPageWnd::kCmdPageForward));
  EXPECT_TRUE(Enabled(CBeatPageWnd::kCmdPageBack));
  Command(CBeatPageWnd::kCmdPageForward);
  EXPECT_EQ(Page().GetFirstRow(), 5);

  Click(9);
  Command(CBeatPageWnd::kCmdPageBack);
  EXPECT_EQ(Page().GetFirstRow(), 0);
  EXPECT_EQ(CursorCell(), 0);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{0});
  EXPECT_EQ(Doc().GetCurrentPosition(), 100 * 1000 / 125);
}

// The page opens at the pending beat: member 230 lies on the third page, cell 30.
TEST_F(BeatPageWindowTest, OpensOnThePageOfThePendingBeat) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 250);
  Doc().GetViewFields().pending_beat_in_class = 230;
  Open();
  EXPECT_EQ(Page().GetFirstRow(), 10);
  EXPECT_EQ(CursorCell(), 30);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{30});
  EXPECT_EQ(Doc().GetViewFields().pending_beat_in_class, -1);
  EXPECT_EQ(Doc().GetCurrentPosition(), 23100 * 1000 / 125);
}

TEST_F(BeatPageWindowTest, ScaleCommandsStepTheDetailSettingsWithinTheirEnds) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 10);
  Open();
  struct Case {
    int up;
    int down;
    SettingKey key;
    int high;
  };
  const Case cases[] = {
      {CBeatPageWnd::kCmdSpeedUp, CBeatPageWnd::kCmdSpeedDown, SettingKey::kResDetailsSpeed, 3},
      {CBeatPageWnd::kCmdAmplitudeUp, CBeatPageWnd::kCmdAmplitudeDown, SettingKey::kResDetailsAmplitude, 3},
      {CBeatPageWnd::kCmdDistanceUp, CBeatPageWnd::kCmdDistanceDown, SettingKey::kTemplatesDetailsDistance,
       4},
  };
  SettingsStore& settings = Doc().GetSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.up);
    settings.SetInt(c.key, c.high - 1);
    EXPECT_TRUE(Enabled(c.up));
    Command(c.up);
    EXPECT_EQ(settings.Int(c.key), c.high);
    EXPECT_FALSE(Enabled(c.up));
    Command(c.up);
    EXPECT_EQ(settings.Int(c.key), c.high);
    settings.SetInt(c.key, 1);
    Command(c.down);
    EXPECT_EQ(settings.Int(c.key), 0);
    EXPECT_FALSE(Enabled(c.down));
    Command(c.down);
    EXPECT_EQ(settings.Int(c.key), 0);
  }
  // The strips follow: speed index 3 is 50 mm/s at 30 pixels per cm.
  settings.SetInt(SettingKey::kResDetailsSpeed, 2);
  Command(CBeatPageWnd::kCmdSpeedUp);
  EXPECT_DOUBLE_EQ(Area().StripOf(0)->PixelsPerSecond(), 150.0);
}

TEST_F(BeatPageWindowTest, RelabelsTheSelectionAndKeepsItOnThePage) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Open();
  for (const int cell : {2, 3, 4, 5, 6}) Click(cell, cell == 2 ? 0u : win::kMkControl);
  std::vector<const CECGStripPainter*> before;
  for (int beat = 0; beat < 30; ++beat) before.push_back(Area().StripOf(beat));
  EXPECT_FALSE(win::UpdateCommand(Page(), CBeatPageWnd::kCmdVES).Radio().value_or(true));
  EXPECT_TRUE(win::UpdateCommand(Page(), CBeatPageWnd::kCmdNormal).Radio().value_or(false));

  Command(CBeatPageWnd::kCmdVES);
  ASSERT_EQ(sink_.requests.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const TBeatEditRequest& r = sink_.requests[i];
    EXPECT_EQ(r.beat_index, static_cast<int>(i) + 2);
    EXPECT_EQ(r.position, (r.beat_index + 1) * 100);
    EXPECT_EQ(r.off_beat, 0);
    EXPECT_EQ(r.command, 32846);
    EXPECT_EQ(r.direct, 1);
    EXPECT_EQ(r.not_in_selected_class, 0);
    EXPECT_EQ(r.window, static_cast<int32_t>(Page().Handle()));
    EXPECT_EQ(sink_.manual_flags[i], 0) << "not marked as edited by hand";
    EXPECT_EQ(Doc().GetQRSList().ElementAt(r.beat_index)->GetClass(), kClassVES);
  }
  // The five strips were made again; the beats stay on the page until the relabels are committed.
  for (int beat = 0; beat < 30; ++beat) {
    SCOPED_TRACE(beat);
    EXPECT_EQ(Area().StripOf(beat) != before[static_cast<size_t>(beat)], beat >= 2 && beat <= 6);
  }
  EXPECT_EQ(Doc().GetRecordingData().TemplateClasses(TTemplateClassEntry::kFamilyNormal)[0].GetSize(), 30);
  EXPECT_EQ(Doc().GetPendingRelabels().size(), 5u);
  EXPECT_EQ(Area().SelectedCells(), std::vector<int>{6}) << "the selection shrinks to its current entry";
  EXPECT_EQ(Doc().GetCurrentPosition(), 700 * 1000 / 125);
  EXPECT_TRUE(win::UpdateCommand(Page(), CBeatPageWnd::kCmdVES).Radio().value_or(false));

  // Relabelling to the cursor beat's class does nothing, whatever the other cells hold.
  Click(5, win::kMkControl);
  Click(6, win::kMkControl);
  Click(8, win::kMkControl);
  Click(6, win::kMkControl);
  ASSERT_EQ(CursorCell(), 6);
  Command(CBeatPageWnd::kCmdVES);
  EXPECT_EQ(sink_.requests.size(), 5u);
}

// Delete passes to the strip of the layout (root broadcast 32950), only with one cell selected.
TEST_F(BeatPageWindowTest, DeleteTakesExactlyOneSelectedCell) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  SpyOnRoot();
  Open();
  Click(3);
  EXPECT_TRUE(Enabled(CBeatPageWnd::kCmdDeleteBeat));
  Click(4, win::kMkControl);
  EXPECT_FALSE(Enabled(CBeatPageWnd::kCmdDeleteBeat));
  Click(4);
  root_messages_.clear();
  Command(CBeatPageWnd::kCmdDeleteBeat);
  EXPECT_EQ(root_messages_, std::vector<uint32_t>{areamsg::kDeleteBeatAtCursor});
}

TEST_F(BeatPageWindowTest, BackToTheTemplateClassesCommitsThePendingRelabels) {
  const int shown = AddClass(TTemplateClassEntry::kFamilyNormal, 0, 30);
  Doc().SetTemplateCursorRow(shown);
  Open();
  Doc().GetPendingRelabels().push_back({TQRSComplex(200, kClassVES, '!'), 1, document::kUndoChanged});
  log_.hints.clear();
  EXPECT_TRUE(Enabled(CBeatPageWnd::kCmdTemplateClasses));
  Command(CBeatPageWnd::kCmdTemplateClasses);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kTemplateClasses);
  EXPECT_EQ(log_.hints, std::vector<int>{hint::kDisplayModeChanged});
}

TEST_F(BeatPageWindowTest, ShiftF10OpensTheMenuAtTheTopLeftCorner) {
  AddClass(TTemplateClassEntry::kFamilyNormal, 0, 10);
  Open();
  std::vector<gfx::Point> shown;
  win::Windows().QueuePopupAnswer([&](const win::PopupRequest& request) {
    shown.push_back(request.screen_point);
    return 0;
  });
  Page().SetFocus();
  win::Windows().PressKey(win::kVkF10);
  EXPECT_TRUE(shown.empty()) << "F10 alone";
  win::Windows().SetKeyDown(win::kVkShift, true);
  win::Windows().PressKey(win::kVkF10);
  win::Windows().SetKeyDown(win::kVkShift, false);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], Page().ClientToScreen(gfx::Point{5, 5}));
}

// Layout 9 over a synthetic recording: the class of the normal beats, three cells selected.
TEST(BeatPageGolden, PaintingEqualsTheGoldenDisplayList) {
  RegisterBeatPageFactories();
  AddBeatPageResources(platform::Resources().ExePack());
  platform::Resources().ExePack().AddStrings(std::vector<platform::StringEntry>{
      {CBeatPageArea::kSecondString, " s"}, {CBeatPageArea::kMillivoltString, " mV"}});
  auto recording = std::make_unique<viewstest::StripRecording>(2, 2);
  CZK470Doc& doc = recording->Doc();
  doc.SetDisplayMode(DisplayMode::kTemplateBeats);
  TTemplateList& normal = doc.GetRecordingData().TemplateClasses(TTemplateClassEntry::kFamilyNormal)[0];
  for (int i = 0; i < doc.GetQRSList().GetSize(); ++i)
    if (doc.GetQRSList().ElementAt(i)->GetClass() == kClassNormal) normal.Append(i);
  doc.BuildTemplateClassList();
  ASSERT_TRUE(CreateDefaultLayouts());
  auto view = std::make_unique<beatpagetest::BeatPageView>(&doc);
  ASSERT_TRUE(view->Create(nullptr, {0, 0, 1000, 700}, win::kWsVisible));
  win::Windows().RunPending();
  CViewAreaConfig* node = view->GetSelector()->GetCurrent()->GetChild(0);
  auto* page = dynamic_cast<CBeatPageWnd*>(dynamic_cast<CWindowArea*>(node->GetArea())->GetHostedWindow());
  ASSERT_NE(page, nullptr);
  auto* area = dynamic_cast<CBeatPageArea*>(node->GetChild(1)->GetArea());
  gfx::Rect r = area->StoredRect();
  for (const auto& [cell, flags] :
       {std::pair{3, 0u}, std::pair{4, win::kMkControl}, std::pair{27, win::kMkControl}}) {
    gfx::Point p{r.left + cell % 20 * area->CellWidth() + 10, r.top + cell / 20 * area->CellHeight() + 10};
    area->OnMessage(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&p));
    area->OnMessage(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&p));
  }
  page->RedrawWindow();
  win::Windows().RunPending();
  const std::vector<std::string> lines = testsupport::RecordedScreen(*page);
  EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("Polyline") != std::string::npos; }),
            50);
  testsupport::ExpectScreenGolden("layouts", "beat_page_window", lines);
  view->DestroyWindow();
  view.reset();
  DeleteDefaultLayouts();
  recording.reset();
  win::Windows().Reset();
  platform::ResetProcessState();
}

}  // namespace
