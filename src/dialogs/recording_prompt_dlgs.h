#pragma once

#include "win/dialog.h"

namespace platform {
class ResourcePack;
}

// The preparation prompt of a new recording: what to do with the recorder before it is
// programmed. Plain text with OK and Cancel; the template says which recorder it is for.
// User-interface thread only.
class TRecordingPromptDlg : public win::Dialog {
 public:
  static constexpr int kZK130TemplateId = 162;
  static constexpr int kZK133TemplateId = 30748;
  static constexpr int kZK131TemplateId = 30752;
  static constexpr int kZK131UnitsTemplateId = 30754;  // "Units" 1: the other cable colours

  explicit TRecordingPromptDlg(int template_id, win::Window* parent = nullptr)
      : win::Dialog(template_id, parent) {}

  // The prompt for a recorder kind (2, 3, 4) and the "Units" setting; 0 for any other kind.
  static int TemplateFor(int recorder_kind, int units);
};

// Asks how long a ZK-131 with the 72-hour capability records. Choice n (0..2) of the radio group
// gives (n + 1) x 24 hours. User-interface thread only.
class TRecordingLengthDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 328;
  static constexpr int kLengthId = 1626;  // the first of the three radio buttons

  explicit TRecordingLengthDlg(win::Window* parent = nullptr) : win::Dialog(kTemplateId, parent) {}

  int choice = 0;
  int RecordingHours() const { return (choice + 1) * 24; }

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The templates of both dialogs, English in every pack and German in "ZK470Ger".
void AddRecordingPromptResources(platform::ResourcePack& pack);
