#pragma once

#include <string>
#include <vector>

#include "win/controls.h"
#include "win/dialog.h"
#include "win/image_list.h"

// Lets the user pick one or more entries of a list of texts (recorder devices found, sampling
// choices of an import). The caller fills the input texts, runs the dialog and reads the
// selected texts, the last selected row and the end reason. User-interface thread only.
class TItemsDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 317;
  static constexpr int kListId = 1600;
  static constexpr int kSearchAgainId = 1601;
  enum EndReason { kSelected = 0, kCancelled = 1, kSearchAgain = 2 };

  // wait_cursor_target: whose wait cursor shows while the list fills (normally the document).
  // mode 0 normal, 1 without "Search again"; any other value shows an empty list.
  TItemsDlg(win::CommandTarget* wait_cursor_target, int title_id, int column_id, int mode);
  TItemsDlg(win::CommandTarget* wait_cursor_target, std::string title, std::string column, int mode);

  std::vector<std::string> input;
  std::vector<std::string> selected;
  int last_selected = -1;
  int end_reason = kCancelled;

  win::ListView& List() { return list_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void Fill();

  win::ListView list_;
  win::CommandTarget* wait_cursor_target_;
  int mode_;
  std::string title_;
  std::string column_;
  win::ImageList images_{16, 16};
};
