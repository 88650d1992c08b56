#pragma once

#include <array>
#include <string>

#include "win/controls.h"
#include "win/dialog.h"

// The choice of a channel or channel combination for a view. Channel codes: 0 channel 1, 1
// channel 2, 2 channels 1+2, 3 channel 3, 4 channels 2+3, 5 channels 1+3, 6 channels 1+2+3. The
// list shows the codes that the channel count allows; after OK the owner reads channel_code.
// User-interface thread only.
class TChannelComboDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 271;
  static constexpr int kComboId = 1223;
  static constexpr int kMaxEntries = 7;

  // extra: passed by callers, not used by the dialog.
  TChannelComboDlg(int code, int channel_count, bool allow_all, std::string caption, int extra = 0);
  // Code 0, two channels, allow-all off.
  explicit TChannelComboDlg(win::Window* parent);

  int channel_code = 0;

  // The codes of the list in list order, as the last initialisation filled it.
  int GetEntryCount() const { return entry_count_; }
  int GetEntryCode(int position) const { return codes_[static_cast<size_t>(position)]; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  win::ComboBox combo_;
  bool allow_all_ = false;
  int channel_count_ = 2;
  std::string caption_;
  std::array<int, kMaxEntries> codes_{};
  int entry_count_ = 0;
  int extra_ = 0;
};
