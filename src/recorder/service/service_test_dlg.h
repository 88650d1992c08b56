#pragma once

#include <string_view>

#include "common/log_edit.h"
#include "gfx/drawing_types.h"
#include "recorder/service/service_session.h"
#include "win/dialog.h"

class CZK470Doc;
namespace platform {
class Locale;
}
namespace recorder {
class ServiceDialogUi;
}

// What the recorder service dialogs share: the log in a fixed-pitch font, the "Confirm Commands"
// switch, the link session and the start and end of an operation (every other control disabled
// meanwhile, the wait cursor shown). The link lives until the dialog closes. User-interface
// thread only; the operations run on it and wait through the recorder clock.
class TServiceTestDlg : public win::Dialog {
 public:
  TServiceTestDlg(int template_id, int log_id, int confirm_id, int clear_id, CZK470Doc& document,
                  recorder::ServiceDialogUi& ui, const platform::Locale& locale, win::Window* parent);

  CLogEdit& Log() { return log_; }
  bool Confirm() const { return confirm_ != 0; }
  recorder::ServiceSession& Session() { return session_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  // Close: the link goes with the dialog.
  void OnOK() override;
  void OnCancel() override;

  // Takes the dialog's data, disables every control but pressed_id and logs the start lines.
  void BeginOperation(int pressed_id, std::string_view caption);
  void EndOperation(std::string_view caption);

  CZK470Doc& document_;
  recorder::ServiceDialogUi& ui_;
  const platform::Locale& locale_;
  CLogEdit log_;
  recorder::ServiceSession session_{log_};

 private:
  void EnableControls(int except_id, bool enable);

  int log_id_;
  int confirm_id_;
  int confirm_ = 1;
  gfx::Font font_;
};
