#pragma once

#include <cstdint>

#include "win/dialog.h"

namespace platform {
class ResourcePack;
}

// The dialog of a beat clicked with the edit commands in dialog mode: the beat's class as a radio
// group (0 normal, 1 SVES, 2 VES, 3 artefact), and buttons that delete the beat or the event that
// starts at it. Ends with OK (1, relabel to the choice), Cancel (2), kDeleteBeatId or
// kDeleteEventId. Modal; user-interface thread only.
class TBeatEditDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 136;
  static constexpr int kNormalId = 1037;  // first of the class radios, the group's data id
  static constexpr int kSVESId = 1038;
  static constexpr int kVESId = 1039;
  static constexpr int kArtefactId = 1040;
  static constexpr int kDeleteBeatNoteId = 1042;
  static constexpr int kDeleteEventNoteId = 1044;
  static constexpr int kDeleteBeatId = 1045;
  static constexpr int kDeleteEventId = 1123;

  // choice: the beat's family (any other class number checks no radio); event_flag 1 when an
  // event starts at the beat, else its delete button is disabled.
  TBeatEditDlg(int32_t choice, int32_t event_flag, win::Window* parent = nullptr);

  int32_t choice;
  int32_t event_flag;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnClassClicked();
};

// The class of a beat inserted with the edit commands in dialog mode: the same radio group; OK
// ends with 1. Modal; user-interface thread only.
class TBeatEditChoiceDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 153;
  static constexpr int kNormalId = 1037;
  static constexpr int kSVESId = 1038;
  static constexpr int kVESId = 1039;
  static constexpr int kArtefactId = 1040;

  explicit TBeatEditChoiceDlg(int32_t choice, win::Window* parent = nullptr);

  int32_t choice;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// Lets every new beat editor ask the user through these dialogs; called once at start-up.
void InstallBeatEditDialogs();

// The templates of both dialogs, German to the German pack, English to every other one.
void AddBeatEditDialogResources(platform::ResourcePack& pack);
