#pragma once

#include "win/dialog.h"

// Tells the user that the recorder did not answer and what to check. Ends with 1 (Retry) or 2
// (Cancel); the caller decides what follows. Its template is one of the program's own.
class TCommErrorDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 230;
  explicit TCommErrorDlg(win::Window* parent = nullptr) : win::Dialog(kTemplateId, parent) {}
};
