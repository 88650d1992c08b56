#include "dialogs/channel_combo_dlg.h"

#include <span>

#include "win/data_exchange.h"

namespace {

struct Entry {
  const char* text;
  int code;
};

constexpr Entry kOneChannel[] = {{"1", 0}};
constexpr Entry kTwoChannels[] = {{"1", 0}, {"2", 1}, {"1+2", 2}};
constexpr Entry kThreeChannels[] = {{"1", 0},   {"2", 1},   {"3", 3},    {"1+2", 2},
                                    {"2+3", 4}, {"1+3", 5}, {"1+2+3", 6}};

}  // namespace

TChannelComboDlg::TChannelComboDlg(int code, int channel_count, bool allow_all, std::string caption,
                                   int extra)
    : win::Dialog(kTemplateId),
      channel_code(code),
      allow_all_(allow_all),
      channel_count_(channel_count),
      caption_(std::move(caption)),
      extra_(extra) {}

TChannelComboDlg::TChannelComboDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {}

void TChannelComboDlg::DoDataExchange(win::DataExchange& dx) { win::DdxControl(dx, kComboId, combo_); }

bool TChannelComboDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  SetWindowText(caption_);
  std::span<const Entry> entries = kTwoChannels;
  int highest = 2;
  if (channel_count_ <= 1) {
    // A one-channel recording has nothing to combine.
    entries = kOneChannel;
    highest = 0;
  } else if (channel_count_ >= 3) {
    entries = std::span<const Entry>(kThreeChannels).first(allow_all_ ? 7 : 6);
    highest = allow_all_ ? 6 : 5;
  }
  if (channel_code > highest) channel_code = highest;
  combo_.ResetContent();
  entry_count_ = 0;
  for (const Entry& entry : entries) {
    combo_.AddString(entry.text);
    codes_[static_cast<size_t>(entry_count_++)] = entry.code;
  }
  for (int i = 0; i < entry_count_; ++i) {
    if (codes_[static_cast<size_t>(i)] == channel_code) combo_.SetCurSel(i);
  }
  return true;
}

void TChannelComboDlg::OnOK() {
  const int selected = combo_.GetCurSel();
  if (selected >= 0 && selected < entry_count_) channel_code = codes_[static_cast<size_t>(selected)];
  EndDialog(win::kIdOk);
}
