#pragma once

#include "win/dialog.h"

// The one-second notice after a recording has been saved: it ends itself with kIdOk when its
// timer fires; Enter and Esc end it at once as in any dialog. User-interface thread only.
class TAutoCloseNoticeDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 200;
  static constexpr uintptr_t kTimerId = 1;
  static constexpr int kShowMs = 1000;

  explicit TAutoCloseNoticeDlg(win::Window* parent = nullptr) : win::Dialog(kTemplateId, parent) {}

 protected:
  bool OnInitDialog() override;
  void OnTimer(uintptr_t id) override;

 private:
  uintptr_t timer_ = 0;
};
