#pragma once

#include <string_view>

#include "win/dialog.h"

// The small modeless window that tells the user a device search is running. It has no parent
// and no buttons; the search closes it. User-interface thread only.
class TSearchStatusDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30745;
  static constexpr int kTextId = 1352;

  TSearchStatusDlg() : win::Dialog(kTemplateId, nullptr) {}
  ~TSearchStatusDlg() override { Close(); }

  // Creates the window (once), sets its title and text and paints it at once.
  void Show(std::string_view title, std::string_view text);
  // Destroys the window when it was shown.
  void Close();
  bool IsShown() const { return shown_; }

 private:
  bool shown_ = false;
};
