#include "dialogs/beat_edit_dlgs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "win/messages.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

constexpr int kRadios[] = {TBeatEditDlg::kNormalId, TBeatEditDlg::kSVESId, TBeatEditDlg::kVESId,
                           TBeatEditDlg::kArtefactId};

class BeatEditDlgsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddBeatEditDialogResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    saved_hooks_ = TBeatEditor::DefaultHooks();
  }
  void TearDown() override {
    TBeatEditor::DefaultHooks() = saved_hooks_;
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  static win::Button* ButtonOf(win::Window* dialog, int id) {
    return dynamic_cast<win::Button*>(dialog->GetDlgItem(id));
  }
  static void Click(win::Window* dialog, int id) {
    win::Button* button = ButtonOf(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    button->Click();
  }
  // The index of the checked class radio, -1 for none.
  static int CheckedRadio(win::Window* dialog) {
    int checked = -1;
    for (int i = 0; i < 4; ++i) {
      if (win::Button* radio = ButtonOf(dialog, kRadios[i]);
          radio != nullptr && radio->GetCheck() == win::kBstChecked)
        checked = checked == -1 ? i : -2;
    }
    return checked;
  }

  win::Window main_;
  TBeatEditor::Hooks saved_hooks_;
};

// What the user does in the beat dialog and what the editor gets back.
TEST_F(BeatEditDlgsTest, BeatDialogEndsWithTheButtonPressed) {
  constexpr int kEsc = -1;
  struct Case {
    const char* name;
    int initial;
    int event_flag;
    std::vector<int> presses;  // control ids clicked in order, kEsc for the Esc key
    int want_result;
    int want_choice;
  };
  const std::vector<Case> cases = {
      {"OK keeps the beat's class", 2, 0, {win::kIdOk}, win::kIdOk, 2},
      {"VES chosen normal", 2, 0, {TBeatEditDlg::kNormalId, win::kIdOk}, win::kIdOk, 0},
      {"normal chosen SVES", 0, 1, {TBeatEditDlg::kSVESId, win::kIdOk}, win::kIdOk, 1},
      {"normal chosen artefact", 0, 0, {TBeatEditDlg::kArtefactId, win::kIdOk}, win::kIdOk, 3},
      {"delete the beat", 1, 0, {TBeatEditDlg::kDeleteBeatId}, TBeatEditDlg::kDeleteBeatId, 1},
      {"delete the event at the beat", 0, 1, {TBeatEditDlg::kDeleteEventId}, TBeatEditDlg::kDeleteEventId, 0},
      {"no event: its button does not answer", 0, 0, {TBeatEditDlg::kDeleteEventId, kEsc}, win::kIdCancel, 0},
      {"Esc after a choice cancels", 3, 1, {TBeatEditDlg::kVESId, kEsc}, win::kIdCancel, 3},
      // A paced beat's class is none of the four: no radio is checked and OK reports none.
      {"class outside the four", 29, 0, {win::kIdOk}, win::kIdOk, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBeatEditDlg dialog(c.initial, c.event_flag);
    std::vector<std::function<void(win::Window*)>> steps;
    steps.push_back([&](win::Window* modal) {
      EXPECT_EQ(CheckedRadio(modal), c.initial >= 0 && c.initial < 4 ? c.initial : -1);
      EXPECT_EQ(modal->GetDlgItem(TBeatEditDlg::kDeleteEventId)->IsWindowEnabled(), c.event_flag == 1);
      EXPECT_TRUE(modal->GetDlgItem(TBeatEditDlg::kDeleteBeatId)->IsWindowEnabled());
    });
    for (const int press : c.presses) {
      steps.push_back([press](win::Window* modal) {
        if (press == kEsc) {
          win::Windows().PressKey(win::kVkEscape);
        } else {
          Click(modal, press);
        }
      });
    }
    DriveModal(steps);
    EXPECT_EQ(dialog.DoModal(), c.want_result);
    if (c.want_result == win::kIdOk) {
      EXPECT_EQ(dialog.choice, c.want_choice);
    }
  }
}

// Choosing normal, SVES or VES greys the notes of the delete buttons; artefact leaves them.
TEST_F(BeatEditDlgsTest, ClassRadiosGreyTheDeleteNotes) {
  struct Case {
    int radio;
    bool notes_enabled;
  };
  const Case cases[] = {
      {TBeatEditDlg::kNormalId, false},
      {TBeatEditDlg::kSVESId, false},
      {TBeatEditDlg::kVESId, false},
      {TBeatEditDlg::kArtefactId, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radio);
    TBeatEditDlg dialog(3, 1);
    DriveModal(
        {[&](win::Window* modal) {
           EXPECT_TRUE(modal->GetDlgItem(TBeatEditDlg::kDeleteBeatNoteId)->IsWindowEnabled());
           Click(modal, c.radio);
           EXPECT_EQ(modal->GetDlgItem(TBeatEditDlg::kDeleteBeatNoteId)->IsWindowEnabled(), c.notes_enabled);
           EXPECT_EQ(modal->GetDlgItem(TBeatEditDlg::kDeleteEventNoteId)->IsWindowEnabled(), c.notes_enabled);
           // The buttons themselves stay usable.
           EXPECT_TRUE(modal->GetDlgItem(TBeatEditDlg::kDeleteBeatId)->IsWindowEnabled());
           EXPECT_TRUE(modal->GetDlgItem(TBeatEditDlg::kDeleteEventId)->IsWindowEnabled());
         },
         [](win::Window*) { win::Windows().PressKey(win::kVkEscape); }});
    EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
  }
}

TEST_F(BeatEditDlgsTest, ChoiceDialogStartsAtItsChoice) {
  struct Case {
    const char* name;
    int initial;
    int radio;  // clicked before OK; 0 none, -1 Esc instead of OK
    int want_result;
    int want_choice;
  };
  const Case cases[] = {
      {"OK takes the initial normal", 0, 0, win::kIdOk, 0},
      {"VES chosen", 0, TBeatEditChoiceDlg::kVESId, win::kIdOk, 2},
      {"artefact chosen from SVES", 1, TBeatEditChoiceDlg::kArtefactId, win::kIdOk, 3},
      {"Esc cancels", 0, -1, win::kIdCancel, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBeatEditChoiceDlg dialog(c.initial);
    DriveModal({[&](win::Window* modal) {
      EXPECT_EQ(CheckedRadio(modal), c.initial);
      if (c.radio < 0) {
        win::Windows().PressKey(win::kVkEscape);
        return;
      }
      if (c.radio > 0) Click(modal, c.radio);
      win::Windows().PressKey(win::kVkReturn);
    }});
    EXPECT_EQ(dialog.DoModal(), c.want_result);
    if (c.want_result == win::kIdOk) {
      EXPECT_EQ(dialog.choice, c.want_choice);
    }
  }
}

// The installed hooks put the dialogs between the user and the editor's dialog-mode commands.
class BeatEditHooksTest : public BeatEditDlgsTest {
 protected:
  void SetUp() override {
    BeatEditDlgsTest::SetUp();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    InstallBeatEditDialogs();
  }
  void TearDown() override {
    doc_.reset();
    BeatEditDlgsTest::TearDown();
  }

  void SetBeats(const std::string& letters) {
    TQRSList& beats = doc_->GetQRSList();
    beats.RemoveAll();
    for (size_t i = 0; i < letters.size(); ++i)
      beats.Append(TQRSComplex(1000 + 100 * static_cast<int32_t>(i), ClassOf(letters[i])));
  }
  std::string Letters() const {
    std::string out;
    for (const TQRSComplex& b : doc_->GetQRSList().Elements()) out += LetterOf(b.GetClass());
    return out;
  }
  static uint8_t ClassOf(char c) {
    return c == 'V' ? kClassVES : c == 'S' ? kClassSVES : c == 'A' ? kClassArtefact : kClassNormal;
  }
  static char LetterOf(int cls) {
    return cls == kClassVES        ? 'V'
           : cls == kClassSVES     ? 'S'
           : cls == kClassArtefact ? 'A'
           : cls == kClassNormal   ? 'N'
                                   : '?';
  }

  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(BeatEditHooksTest, DialogModeCommandsAskThroughTheDialogs) {
  struct Case {
    const char* name;
    int off_beat;
    int beat;                  // on-beat requests
    int32_t position;          // off-beat requests
    bool event_at_beat;        // a VES triplet over beats 1..3 starting at beat 1
    std::vector<int> presses;  // clicked in the dialog that opens
    int want_template;
    const char* want_letters;
    size_t want_events;
  };
  const std::vector<Case> cases = {
      {"insert: SVES chosen",
       1,
       -1,
       1150,
       false,
       {TBeatEditChoiceDlg::kSVESId, win::kIdOk},
       153,
       "NVSVVN",
       0},
      {"insert: cancelled", 1, -1, 1150, false, {win::kIdCancel}, 153, "NVVVN", 0},
      {"beat: normal chosen", 0, 2, 0, false, {TBeatEditDlg::kNormalId, win::kIdOk}, 136, "NVNVN", 0},
      {"beat: deleted", 0, 0, 0, false, {TBeatEditDlg::kDeleteBeatId}, 136, "VVVN", 0},
      {"beat: its triplet deleted", 0, 1, 0, true, {TBeatEditDlg::kDeleteEventId}, 136, "NNNNN", 0},
      {"beat: cancelled", 0, 1, 0, true, {win::kIdCancel}, 136, "NVVVN", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBeats("NVVVN");
    doc_->GetEventList().RemoveAll();
    if (c.event_at_beat) doc_->GetEventList().Append(TEvent(1100, 1300, kClassVTriplet));
    analysis::TBeatEditRequest request;
    request.direct = 0;
    request.command = analysis::beatcmd::kNormal;
    request.off_beat = c.off_beat;
    request.beat_index = c.beat;
    request.position = c.off_beat == 1 ? c.position : 1000 + 100 * c.beat;
    int shown = 0;
    std::vector<std::function<void(win::Window*)>> steps;
    for (const int press : c.presses) {
      steps.push_back([&, press](win::Window* modal) {
        shown = static_cast<win::Dialog*>(modal)->TemplateId();
        Click(modal, press);
      });
    }
    DriveModal(steps);
    TBeatEditor editor(*doc_, 0);
    editor.ExecuteCommand(request);
    EXPECT_EQ(shown, c.want_template);
    EXPECT_EQ(Letters(), c.want_letters);
    EXPECT_EQ(static_cast<size_t>(doc_->GetEventList().GetSize()), c.want_events);
  }
}

TEST_F(BeatEditDlgsTest, GoldenDisplayLists) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<win::Dialog>()> make;
  };
  const Case cases[] = {
      {"beat_edit_dlg", [] { return std::make_unique<TBeatEditDlg>(2, 0); }},
      {"beat_edit_choice_dlg", [] { return std::make_unique<TBeatEditChoiceDlg>(0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<win::Dialog> dialog = c.make();
    DriveModal({[&](win::Window* modal) {
      win::Windows().RunPending();
      testsupport::ExpectScreenGolden("dialogs", c.name, testsupport::RecordedScreen(*modal));
      win::Windows().PressKey(win::kVkEscape);
    }});
    EXPECT_EQ(dialog->DoModal(), win::kIdCancel);
  }
}

TEST_F(BeatEditDlgsTest, GermanTextsComeFromTheGermanPack) {
  platform::ResourcePack german("ZK470Ger");
  AddBeatEditDialogResources(german);
  win::AddWindowSystemResources(german);
  platform::Resources().SetLanguagePack(&german);
  TBeatEditDlg edit(0, 1);
  DriveModal({[&](win::Window* modal) {
    EXPECT_EQ(modal->GetWindowText(), "Schlag bearbeiten");
    EXPECT_EQ(modal->GetDlgItemText(TBeatEditDlg::kArtefactId), "&Artefakt");
    win::Windows().PressKey(win::kVkEscape);
  }});
  EXPECT_EQ(edit.DoModal(), win::kIdCancel);
  TBeatEditChoiceDlg choice(0);
  DriveModal({[&](win::Window* modal) {
    EXPECT_EQ(modal->GetWindowText(), "Schlag einfügen");
    win::Windows().PressKey(win::kVkEscape);
  }});
  EXPECT_EQ(choice.DoModal(), win::kIdCancel);
  platform::Resources().SetLanguagePack(nullptr);
}

}  // namespace
