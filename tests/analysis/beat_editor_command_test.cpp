#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "analysis_test_support.h"
#include "document/update_hints.h"
#include "platform/ids.h"

namespace {

using analysis::TBeatEditRequest;
using analysis_test::AnalysisDocTest;
using analysis_test::Ev;
namespace bc = analysis::beatcmd;

// Remembers every hint with the marks of a counts hint.
class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject* object) override {
    hints.push_back(hint);
    if (auto* counts = dynamic_cast<TCountsHint*>(object)) marks = counts->marks;
  }
  std::vector<int> hints;
  TCountsHint::Table marks{};
};

class BeatEditorCommandTest : public AnalysisDocTest {
 protected:
  BeatEditorCommandTest() { Doc().AddView(&log_); }
  ~BeatEditorCommandTest() override { Doc().RemoveView(&log_); }

  TRecordingData& Record() { return Doc().GetRecordingData(); }
  CZK470Doc::ViewFields& View() { return Doc().GetViewFields(); }

  static TBeatEditRequest OnBeatAt(int command, int beat, int32_t position, int in_selected) {
    TBeatEditRequest r;
    r.off_beat = 0;
    r.beat_index = beat;
    r.position = position;
    r.command = command;
    r.in_selected_class = in_selected;
    return r;
  }
  TBeatEditRequest OnBeat(int command, int beat, int in_selected = 0) {
    return OnBeatAt(command, beat, Beats().GetAt(beat).GetPosition(), in_selected);
  }
  static TBeatEditRequest AtPosition(int command, int32_t position, int in_selected = 0) {
    TBeatEditRequest r;
    r.off_beat = 1;
    r.position = position;
    r.command = command;
    r.in_selected_class = in_selected;
    return r;
  }
  int Execute(const TBeatEditRequest& request) {
    TBeatEditor editor(Doc(), 1);
    editor.GetHooks() = hooks_;
    return editor.ExecuteCommand(request);
  }
  static std::vector<int32_t> Members(const TTemplateList& list) {
    std::vector<int32_t> out;
    for (const TTemplate& t : list.Elements()) out.push_back(t.GetBeatIndex());
    return out;
  }
  static std::vector<int32_t> Spikes(const TPMTemplateList& list) {
    std::vector<int32_t> out;
    for (const TPMTemplate& t : list.Elements()) out.push_back(t.GetPosition());
    return out;
  }
  std::vector<int32_t> PendingBeats() {
    std::vector<int32_t> out;
    for (const TQRSUndoEntry& r : Doc().GetPendingRelabels()) out.push_back(r.index);
    return out;
  }
  size_t QuestionsAsked() const {
    size_t n = 0;
    for (const auto& asked : prompt_.Log())
      if ((asked.style & win::kMbYesNo) == win::kMbYesNo) ++n;
    return n;
  }

  HintLog log_;
  TBeatEditor::Hooks hooks_;
};

TEST_F(BeatEditorCommandTest, InsertionAtAPosition) {
  struct Case {
    const char* name;
    int command;
    int direct;
    int choice;  // of the class dialog, -1 cancelled
    int32_t position;
    const char* letters;
  };
  // Beats at 1000, 1100, 1200, 1300.
  const Case cases[] = {
      {"VES between beats", bc::kVES, 1, 0, 1150, "NNVNN"},
      {"at a beat's own position lands after it", bc::kSVES, 1, 0, 1100, "NNSNN"},
      {"before the first beat", bc::kArtefact, 1, 0, 500, "ANNNN"},
      {"after the last beat", bc::kNormal, 1, 0, 1400, "NNNNN"},
      {"dialog chooses VES", bc::kNormal, 0, 2, 1250, "NNNVN"},
      {"dialog cancelled", bc::kNormal, 0, -1, 1250, "NNNN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats("NNNN", 100);
    log_.hints.clear();
    hooks_.choice_dialog = [&](int& choice) {
      if (c.choice < 0) return win::kIdCancel;
      choice = c.choice;
      return win::kIdOk;
    };
    TBeatEditRequest r = AtPosition(c.command, c.position);
    r.direct = c.direct;
    Execute(r);
    EXPECT_EQ(ClassLetters(), c.letters);
    if (c.choice < 0) {
      EXPECT_TRUE(log_.hints.empty());
      continue;
    }
    EXPECT_EQ(log_.hints, (std::vector<int>{hint::kBeatsEdited, hint::kCountsChanged}));
    EXPECT_TRUE(Doc().IsModified());
  }
  // The exact-position case: the new beat comes after the old one at that position.
  SetBeats("NNNN", 100);
  Execute(AtPosition(bc::kVES, 1100));
  EXPECT_EQ(Beats().GetAt(1).GetClass(), kClassNormal);
  EXPECT_EQ(Beats().GetAt(2).GetClass(), kClassVES);
  EXPECT_EQ(Beats().GetAt(2).GetPosition(), 1100);
}

// Whether the beat is filed at once or later, the edit class must name the inserted beat, not the
// one that moved up; a pending relabel of the beat that moved up follows it.
TEST_F(BeatEditorCommandTest, InsertedBeatIsFiledAndPendingRelabelsFollowTheirBeats) {
  for (int in_selected : {0, 1}) {
    SCOPED_TRACE(in_selected);
    SetBeats("NNNNN", 100);
    Record().normal_classes[0].RemoveAll();
    for (int32_t b : {0, 1, 2, 3, 4}) Record().normal_classes[0].Append(b);
    Record().ves_classes[0].RemoveAll();
    Record().ves_special = {0, -1};
    Doc().GetPendingRelabels() = {TQRSUndoEntry{Beats().GetAt(2), 2, document::kUndoChanged},
                                  TQRSUndoEntry{Beats().GetAt(1), 1, document::kUndoChanged}};
    Execute(AtPosition(bc::kVES, 1150, in_selected));
    EXPECT_EQ(ClassLetters(), "NNVNNN");
    EXPECT_EQ(Members(Record().ves_classes[0]), (std::vector<int32_t>{2}));
    EXPECT_EQ(Members(Record().normal_classes[0]), (std::vector<int32_t>{0, 1, 3, 4, 5}));
    EXPECT_EQ(PendingBeats(), (std::vector<int32_t>{3, 1}));
  }
}

TEST_F(BeatEditorCommandTest, RangeRelabels) {
  struct Case {
    const char* name;
    int command;
    const char* before;
    int start;
    int end;
    const char* after;
  };
  const Case cases[] = {
      {"VES in order", bc::kRangeVES, "NNNNNN", 1, 3, "NVVVNN"},
      {"reversed range in order", bc::kRangeSVES, "NNNNNN", 4, 2, "NNSSSN"},
      {"normal", bc::kRangeNormal, "NVVSAN", 1, 4, "NNNNNN"},
      {"artefact", bc::kRangeArtefact, "NNNNNN", 0, 5, "AAAAAA"},
      {"unlabel: VES to artefact, SVES to normal", bc::kRangeUnlabel, "VSNVSA", 0, 5, "ANNANA"},
      {"paced beats refuse", bc::kRangeVES, "NPPN", 0, 3, "VPPV"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats(c.before, 100);
    Execute(OnBeat(bc::kMarkRangeStart, c.start));
    EXPECT_EQ(View().range_start_beat, c.start);
    Execute(OnBeat(c.command, c.end));
    EXPECT_EQ(ClassLetters(), c.after);
    EXPECT_EQ(View().range_start_beat, -1);
  }
}

TEST_F(BeatEditorCommandTest, RangeCommandsWithoutAMarkedStartDoNothing) {
  SetBeats("NNNN", 100);
  for (int command : {bc::kRangeVES, bc::kRangeUnlabel, bc::kRangeFibrillation}) {
    Execute(OnBeat(command, 2));
    EXPECT_EQ(ClassLetters(), "NNNN");
    EXPECT_EQ(Events().GetSize(), 0);
  }
  EXPECT_TRUE(log_.hints.empty());
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(BeatEditorCommandTest, RangeRemovesPatternAndRhythmEventsInsideIt) {
  SetBeats("NVVVNNNN", 100);  // 1000 .. 1700
  Events().Append(TEvent(900, 1000, kClassPause));
  Events().Append(TEvent(1100, 1300, kClassVTriplet));
  Events().Append(TEvent(1200, 1250, kClassUser));
  Events().Append(TEvent(1300, 1600, kClassArrhythmia));
  Events().Append(TEvent(1500, 1600, kClassBradycardia));
  Execute(OnBeat(bc::kMarkRangeStart, 1));
  Execute(OnBeat(bc::kRangeNormal, 3));
  EXPECT_EQ(ClassLetters(), "NNNNNNNN");
  EXPECT_EQ(EventsOf({kClassVTriplet, kClassArrhythmia, kClassUser}),
            (std::vector<Ev>{{kClassUser, 1200, 1250}}));
  EXPECT_EQ(EventsOf({kClassBradycardia}), (std::vector<Ev>{{kClassBradycardia, 1500, 1600}}));
}

// One minute of range asks whether the ST analysis is to run again; one sample less does not, and
// the unlabel command never does.
TEST_F(BeatEditorCommandTest, LongRangeAsksTheSTQuestion) {
  const int32_t minute = static_cast<int32_t>(60 * Doc().GetSampleRate());
  struct Case {
    int command;
    int32_t span;
    int answer;
    size_t asked;
    int st_runs;
    int st_current;
  };
  const Case cases[] = {
      {bc::kRangeVES, minute, win::kIdNo, 1, 0, 0},
      {bc::kRangeNormal, minute, win::kIdYes, 1, 1, 1},
      {bc::kRangeSVES, minute - 1, win::kIdNo, 0, 0, 1},
      {bc::kRangeUnlabel, 2 * minute, win::kIdNo, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    SetBeats("NVN", std::vector<int32_t>{0, c.span / 2, c.span - c.span / 2});
    Record().st_results_current = 1;
    prompt_.ClearLog();
    int st_runs = 0;
    hooks_.st_reanalysis = [&](CZK470Doc&) { ++st_runs; };
    prompt_.QueueAnswer(c.answer);
    Execute(OnBeat(bc::kMarkRangeStart, 0));
    Execute(OnBeat(c.command, 2));
    EXPECT_EQ(QuestionsAsked(), c.asked);
    EXPECT_EQ(st_runs, c.st_runs);
    EXPECT_EQ(Record().st_results_current, c.st_current);
  }
}

TEST_F(BeatEditorCommandTest, DirectRelabelAndItsHints) {
  SetBeats("NNNNN", 100);
  Execute(OnBeat(bc::kVES, 2));
  EXPECT_EQ(ClassLetters(), "NNVNN");
  EXPECT_EQ(log_.hints, (std::vector<int>{hint::kCountsChanged}));
  EXPECT_EQ(log_.marks[kClassVES], 1);
  EXPECT_EQ(log_.marks[kClassNormal], 1);
  EXPECT_EQ(log_.marks[kClassSVES], 0);
  // Outside the selected class the relabel is pending, once per beat, with the old class.
  Execute(OnBeat(bc::kSVES, 2));
  ASSERT_EQ(Doc().GetPendingRelabels().size(), 1u);
  EXPECT_EQ(Doc().GetPendingRelabels()[0].element.GetClass(), kClassNormal);
  EXPECT_EQ(Beats().GetAt(2).GetPriorClass(), kClassNormal);
  // A paced beat refuses.
  SetBeats("NPN", 100);
  Execute(OnBeat(bc::kVES, 1));
  EXPECT_EQ(ClassLetters(), "NPN");
}

TEST_F(BeatEditorCommandTest, BeatDialog) {
  struct Case {
    const char* name;
    const char* before;
    int result;
    int choice;
    const char* after;
    bool hinted;
  };
  const Case cases[] = {
      {"same class changes nothing", "NNSN", win::kIdOk, 1, "NNSN", false},
      {"SVES to VES normalises the next SVES", "NNSS", win::kIdOk, 2, "NNVN", true},
      {"SVES to VES with a normal after it", "NNSN", win::kIdOk, 2, "NNVN", true},
      {"to artefact", "NNNN", win::kIdOk, 3, "NNAN", true},
      {"cancel", "NNVN", win::kIdCancel, 0, "NNVN", false},
      {"delete the beat", "NNVN", analysis::kBeatDlgDeleteBeat, 0, "NNN", true},
      {"delete the event without one", "NNVN", analysis::kBeatDlgDeleteEvent, 0, "NNVN", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats(c.before, 100);
    log_.hints.clear();
    int initial = -1;
    hooks_.beat_dialog = [&](int first, int, int& choice) {
      initial = first;
      choice = c.choice;
      return c.result;
    };
    TBeatEditRequest r = OnBeat(bc::kNormal, 2);
    r.direct = 0;
    Execute(r);
    EXPECT_EQ(ClassLetters(), c.after);
    EXPECT_EQ(initial, c.before[2] == 'S' ? 1 : c.before[2] == 'V' ? 2 : 0);
    EXPECT_EQ(!log_.hints.empty(), c.hinted);
  }
}

TEST_F(BeatEditorCommandTest, DeleteEventCommand) {
  // Beats 1000 .. 1500; a couplet at beats 2-3 and a user event elsewhere.
  const auto setup = [&] {
    SetBeats("NNVVNN", 100);
    Events().RemoveAll();
    Events().Append(TEvent(1050, 1060, kClassPaceMaker));
    Events().Append(TEvent(1200, 1300, kClassVCouplet));
    Events().Append(TEvent(1400, 1450, kClassUser));
  };
  // At the start of an event: the pattern's beats become normal and the event goes.
  setup();
  Execute(OnBeat(bc::kDeleteEvent, 2));
  EXPECT_EQ(ClassLetters(), "NNNNNN");
  EXPECT_EQ(EventsOf({kClassVCouplet}).size(), 0u);

  // Off a beat: exactly the event the hit test finds goes; nothing when it finds none, even when
  // the request's beat index would name an event; the first event may go too; spikes stay.
  struct Case {
    int hit;
    int request_index;
    std::vector<int> kinds_left;
  };
  const Case cases[] = {
      {-1, 2, {kClassPaceMaker, kClassVCouplet, kClassUser}},
      {2, 1, {kClassPaceMaker, kClassVCouplet}},
      {0, -1, {kClassPaceMaker, kClassVCouplet, kClassUser}},
  };
  for (const Case& c : cases) {
    setup();
    hooks_.event_at_point = [&](const TBeatEditRequest&) { return c.hit; };
    TBeatEditRequest r = AtPosition(bc::kDeleteEvent, 1420);
    r.beat_index = c.request_index;
    Execute(r);
    std::vector<int> kinds;
    for (const TEvent& e : Events().Elements()) kinds.push_back(e.GetClass());
    EXPECT_EQ(kinds, c.kinds_left) << "hit " << c.hit;
  }
  // Event 0 is an ordinary event when it is not a spike.
  setup();
  Events().RemoveAt(0);
  hooks_.event_at_point = [](const TBeatEditRequest&) { return 0; };
  Execute(AtPosition(bc::kDeleteEvent, 1220));
  EXPECT_EQ(EventsOf({kClassVCouplet}).size(), 0u);
  // On a normal beat with no event at it: the hit test decides.
  setup();
  hooks_.event_at_point = [](const TBeatEditRequest&) { return 2; };
  Execute(OnBeat(bc::kDeleteEvent, 4));
  EXPECT_EQ(EventsOf({kClassUser}).size(), 0u);
}

TEST_F(BeatEditorCommandTest, DeleteBeatKeepsClassesAndRangeConsistent) {
  // In the template review the emptied class goes and later classes move up; outside it stays.
  for (int in_selected : {1, 0}) {
    SCOPED_TRACE(in_selected);
    SetBeats("NVNVV", 100);
    Events().RemoveAll();
    Record().ves_classes[0].RemoveAll();
    Record().ves_classes[0].Append(1);
    Record().ves_classes[1].RemoveAll();
    for (int32_t b : {3, 4}) Record().ves_classes[1].Append(b);
    Record().ves_special = {-1, -1};
    log_.hints.clear();
    Execute(OnBeat(bc::kDeleteBeat, 1, in_selected));
    EXPECT_EQ(ClassLetters(), "NNVV");
    EXPECT_EQ(log_.hints, (std::vector<int>{hint::kBeatsEdited, hint::kCountsChanged}));
    if (in_selected == 1) {
      EXPECT_EQ(Members(Record().ves_classes[0]), (std::vector<int32_t>{2, 3}));
    } else {
      EXPECT_EQ(Record().ves_classes[0].GetSize(), 0);
      EXPECT_EQ(Members(Record().ves_classes[1]), (std::vector<int32_t>{2, 3}));
    }
  }
  // A paced beat: no membership or current member changes, only the shift.
  SetBeats("NPN", 100);
  Record().normal_classes[0].RemoveAll();
  for (int32_t b : {0, 2}) Record().normal_classes[0].Append(b);
  Record().normal_current[0] = 1;
  Execute(OnBeat(bc::kDeleteBeat, 1));
  EXPECT_EQ(Members(Record().normal_classes[0]), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(Record().normal_current[0], 1);
  // Deleting beat 0 that starts the marked range leaves no range.
  SetBeats("NNNN", 100);
  Execute(OnBeat(bc::kMarkRangeStart, 0));
  Execute(OnBeat(bc::kDeleteBeat, 0));
  EXPECT_EQ(View().range_start_beat, -1);
}

TEST_F(BeatEditorCommandTest, MarkChangedKindsLinksShownTogetherCodes) {
  const std::pair<int, int> links[] = {{kClassSVTrigeminy, kClassSVBigeminy},
                                       {kClassAtrialFibrillation, kClassArrhythmia},
                                       {kClassAtrialFlutter, kClassArrhythmia},
                                       {kClassLeadOff, kClassRecorderMinute}};
  for (const auto& [changed, linked] : links) {
    Events().RemoveAll();
    TBeatEditor editor(Doc(), 1);
    TCountsHint snapshot = editor.TakeSnapshot();
    Events().Append(TEvent(10, 20, static_cast<uint8_t>(changed)));
    editor.MarkChangedKinds(snapshot, 0);
    EXPECT_EQ(snapshot.marks[static_cast<size_t>(linked)], 1) << changed;
    EXPECT_EQ(snapshot.marks[kClassNormal], 0);
  }
}

TEST_F(BeatEditorCommandTest, FibrillationRangeAddsAnEventInStartOrder) {
  SetBeats("NNNNNN", 100);
  Events().Append(TEvent(1000, 1000, kClassUser));
  Events().Append(TEvent(1450, 1460, kClassUser));
  Execute(OnBeat(bc::kMarkRangeStart, 4));
  Execute(OnBeat(bc::kRangeFlutter, 1));
  EXPECT_EQ(EventsOf({kClassAtrialFlutter}), (std::vector<Ev>{{kClassAtrialFlutter, 1100, 1400}}));
  EXPECT_TRUE(EventsInStartOrder());
  EXPECT_EQ(log_.marks[kClassArrhythmia], 1);
}

// ---- Pacemaker classes

TEST_F(BeatEditorCommandTest, RelabelForPMClassChangeTable) {
  // The spike lies between beat 1 (before) and beat 2 (after).
  struct Case {
    int source;
    int target;
    const char* letters;
  };
  const Case cases[] = {
      {3, 5, "NNNN"},   {3, 10, "NPNN"},  {3, 13, "NNNN"}, {3, 20, "NNNN"},  {10, 2, "NNPN"},
      {11, 11, "NNNN"}, {10, 12, "NNNN"}, {12, 0, "NNPN"}, {12, 11, "NPNN"}, {12, 14, "NNNN"},
      {13, 9, "NPNN"},  {13, 10, "NNPN"}, {14, 4, "NNPN"}, {14, 10, "NPNN"}, {15, 0, "NNNN"},
  };
  for (const Case& c : cases) {
    SetBeats("NNNN", 100);
    TBeatEditor(Doc(), 1).RelabelForPMClassChange(1150, c.source, c.target);
    EXPECT_EQ(ClassLetters(), c.letters) << c.source << " -> " << c.target;
  }
  // Paced beats go back to normal the other way round.
  SetBeats("NPPN", 100);
  TBeatEditor(Doc(), 1).RelabelForPMClassChange(1150, 10, 12);
  EXPECT_EQ(ClassLetters(), "NNPN");
}

TEST_F(BeatEditorCommandTest, MovePMClassAndTemplate) {
  SetBeats("NNNN", 100);
  auto& pm = Record().pm_classes;
  pm[0].Append(TPMTemplate(1150));
  pm[0].Append(TPMTemplate(1250));
  pm[2].Append(TPMTemplate(1350));
  Record().pm_current[0] = 1;
  TBeatEditor editor(Doc(), 1);
  // To a new class: the first empty one, and no beat changes.
  EXPECT_EQ(editor.MovePMClass(0, -1), 1);
  EXPECT_EQ(Spikes(pm[1]), (std::vector<int32_t>{1150, 1250}));
  EXPECT_EQ(pm[0].GetSize(), 0);
  EXPECT_EQ(Record().pm_current[0], 0);
  EXPECT_EQ(ClassLetters(), "NNNN");
  // One member to class 10 relabels around its spike.
  Record().pm_current[1] = 1;
  EXPECT_EQ(editor.MovePMTemplate(1, 1, 10), 10);
  EXPECT_EQ(Spikes(pm[1]), (std::vector<int32_t>{1150}));
  EXPECT_EQ(Spikes(pm[10]), (std::vector<int32_t>{1250}));
  EXPECT_EQ(Record().pm_current[1], 0);
  EXPECT_EQ(ClassLetters(), "NNPN");
  // All fifty classes hold spikes: nothing moves.
  for (auto& list : pm)
    if (list.GetSize() == 0) list.Append(TPMTemplate(1000));
  EXPECT_EQ(editor.MovePMClass(2, -1), -1);
  EXPECT_EQ(editor.MovePMTemplate(2, 0, -1), -1);
  EXPECT_EQ(Spikes(pm[2]), (std::vector<int32_t>{1350}));
  ASSERT_FALSE(prompt_.Log().empty());
  EXPECT_EQ(prompt_.Log().back().text, "To much PM-template-classes !");
}

// ---- Undo

TEST_F(BeatEditorCommandTest, UndoRestoresEverythingAnEditChanges) {
  const auto setup = [&] {
    SetBeats("NNVNSNN", 100);
    Events().RemoveAll();
    Events().Append(TEvent(1150, 1160, kClassPaceMaker));
    Events().Append(TEvent(1400, 1500, kClassUser));
    for (auto& list : Record().normal_classes) list.RemoveAll();
    for (auto& list : Record().ves_classes) list.RemoveAll();
    for (auto& list : Record().sves_classes) list.RemoveAll();
    for (int32_t b : {0, 1, 3}) Record().normal_classes[0].Append(b);
    for (int32_t b : {5, 6}) Record().normal_classes[1].Append(b);
    Record().ves_classes[0].Append(2);
    Record().sves_classes[0].Append(4);
    Record().normal_current = {};
    Record().normal_current[0] = 2;
    Record().normal_current[1] = 1;
    Record().normal_special = {-1, -1};
    Record().ves_special = {-1, -1};
    Record().sves_special = {-1, -1};
    for (auto& list : Record().pm_classes) list.RemoveAll();
    Record().pm_classes[0].Append(TPMTemplate(1150));
    Doc().GetPendingRelabels() = {TQRSUndoEntry{Beats().GetAt(6), 6, document::kUndoChanged}};
    View().range_start_beat = -1;
  };
  using Edit = std::function<void()>;
  const std::pair<const char*, Edit> edits[] = {
      {"insert", [&] { Execute(AtPosition(bc::kVES, 1350)); }},
      {"insert filed", [&] { Execute(AtPosition(bc::kSVES, 1050, 1)); }},
      {"delete", [&] { Execute(OnBeat(bc::kDeleteBeat, 3)); }},
      {"delete filed", [&] { Execute(OnBeat(bc::kDeleteBeat, 2, 1)); }},
      {"relabel", [&] { Execute(OnBeat(bc::kVES, 1)); }},
      {"relabel filed", [&] { Execute(OnBeat(bc::kArtefact, 5, 1)); }},
      {"range",
       [&] {
         View().range_start_beat = 1;
         View().range_position = Doc().GetCurrentPosition();
         Execute(OnBeat(bc::kRangeSVES, 4));
       }},
      {"event", [&] { Execute(OnBeat(bc::kDeleteEvent, 2)); }},
      {"pacemaker move",
       [&] {
         Doc().EnableUndo(1, 0);
         TBeatEditor(Doc(), 1).MovePMClass(0, 11);
       }},
  };
  setup();
  const std::vector<uint8_t> unedited = Doc().StoreToBytes();
  for (const auto& [name, edit] : edits) {
    SCOPED_TRACE(name);
    setup();
    const TQRSList beats = Beats();
    const TEventList events = Events();
    const TRecordingData record = Record();
    const auto pending = Doc().GetPendingRelabels();
    edit();
    Doc().UndoEdits();
    EXPECT_EQ(Beats(), beats);
    EXPECT_EQ(Events(), events);
    EXPECT_EQ(Record().normal_classes, record.normal_classes);
    EXPECT_EQ(Record().ves_classes, record.ves_classes);
    EXPECT_EQ(Record().sves_classes, record.sves_classes);
    EXPECT_EQ(Record().artefact_classes, record.artefact_classes);
    EXPECT_EQ(Record().normal_current, record.normal_current);
    EXPECT_EQ(Record().pm_classes, record.pm_classes);
    EXPECT_EQ(Record().pm_current, record.pm_current);
    EXPECT_EQ(Doc().GetPendingRelabels(), pending);
    EXPECT_EQ(Doc().StoreToBytes(), unedited);
  }
}

// Each edit starts a new recording, so Undo takes back the newest edit only, also
// in the middle of a sequence where earlier edits left pending relabels and moved classes.
TEST_F(BeatEditorCommandTest, UndoInAMixedSequenceTakesBackTheNewestEdit) {
  SetBeats("NNVNSNNNVN", 100);
  Events().RemoveAll();
  Events().Append(TEvent(1150, 1160, kClassPaceMaker));
  Events().Append(TEvent(1700, 1750, kClassUser));
  for (auto& list : Record().normal_classes) list.RemoveAll();
  for (auto& list : Record().ves_classes) list.RemoveAll();
  for (auto& list : Record().sves_classes) list.RemoveAll();
  for (int32_t b : {0, 1, 3, 5, 6, 7, 9}) Record().normal_classes[0].Append(b);
  for (int32_t b : {2, 8}) Record().ves_classes[0].Append(b);
  Record().sves_classes[0].Append(4);
  for (auto& list : Record().pm_classes) list.RemoveAll();
  Record().pm_classes[0].Append(TPMTemplate(1150));
  View().range_start_beat = -1;

  struct Snapshot {
    std::vector<uint8_t> bytes;
    std::vector<TQRSUndoEntry> pending;
    bool operator==(const Snapshot&) const = default;
  };
  const auto snap = [&] { return Snapshot{Doc().StoreToBytes(), Doc().GetPendingRelabels()}; };
  using Edit = std::function<void()>;
  const std::pair<const char*, Edit> sequence[] = {
      {"relabel filed", [&] { Execute(OnBeat(bc::kVES, 1, 1)); }},
      {"insert", [&] { Execute(AtPosition(bc::kSVES, 1350)); }},
      {"pacemaker move",
       [&] {
         Doc().EnableUndo(1, 0);
         TBeatEditor(Doc(), 1).MovePMClass(0, 11);
       }},
      {"delete", [&] { Execute(OnBeat(bc::kDeleteBeat, 6)); }},
      {"range",
       [&] {
         View().range_start_beat = 2;
         View().range_position = Doc().GetCurrentPosition();
         Execute(OnBeat(bc::kRangeNormal, 5));
       }},
      {"event",
       [&] {
         hooks_.event_at_point = [&](const TBeatEditRequest&) { return Events().GetSize() - 1; };
         Execute(AtPosition(bc::kDeleteEvent, 1720));
       }},
  };
  for (const auto& [name, edit] : sequence) {
    SCOPED_TRACE(name);
    const Snapshot before = snap();
    edit();
    const Snapshot after = snap();
    ASSERT_NE(after, before);
    Doc().UndoEdits();
    EXPECT_EQ(snap(), before);
    // A second Undo has nothing left to take back.
    Doc().UndoEdits();
    EXPECT_EQ(snap(), before);
    edit();
    EXPECT_EQ(snap(), after);
  }
}

}  // namespace
