#include "dialogs/caliper_dlgs.h"

#include <cstdio>

#include "dialogs/channel_combo_dlg.h"
#include "document/document_context.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::ControlTemplate;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

constexpr DialogLayout kStripTimeLayout{TCaliperStripTimeDlg::kTemplateId, 72, 14};
constexpr ControlTemplate kStripTime[] = {
    {TCaliperStripTimeDlg::kTextId, ControlKind::kStatic, "", 4, 3, 64, 8, win::kSsCenter},
};

constexpr DialogLayout kAmplitude3Layout{TCaliperAmplitude3Dlg::kTemplateId, 74, 44};
constexpr ControlTemplate kAmplitude3[] = {
    {TCaliperAmplitude3Dlg::kFirstLabelId, ControlKind::kStatic, "", 4, 3, 24, 8},
    {TCaliperAmplitude3Dlg::kFirstValueId, ControlKind::kStatic, "", 30, 3, 40, 8, win::kSsRight},
    {TCaliperAmplitude3Dlg::kSecondLabelId, ControlKind::kStatic, "", 4, 13, 24, 8},
    {TCaliperAmplitude3Dlg::kSecondValueId, ControlKind::kStatic, "", 30, 13, 40, 8, win::kSsRight},
    {TCaliperAmplitude3Dlg::kThirdLabelId, ControlKind::kStatic, "", 4, 23, 24, 8},
    {TCaliperAmplitude3Dlg::kThirdValueId, ControlKind::kStatic, "", 30, 23, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "ms:", 4, 33, 24, 8},
    {TCaliperAmplitude3Dlg::kTimeId, ControlKind::kStatic, "", 30, 33, 40, 8, win::kSsRight},
};

constexpr DialogLayout kChannelComboLayout{TChannelComboDlg::kTemplateId, 120, 58};
constexpr ControlLayout kChannelComboControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 40, 8},
    {TChannelComboDlg::kComboId, ControlKind::kComboDropList, 50, 7, 60, 90},
    {win::kIdOk, ControlKind::kDefPushButton, 7, 36, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 63, 36, 50, 14},
};
constexpr auto kChannelComboEnglish =
    LocalizeControls(kChannelComboControls, {"Channel:", "", "OK", "Cancel"});
constexpr auto kChannelComboGerman =
    LocalizeControls(kChannelComboControls, {"Kanal:", "", "OK", "Abbrechen"});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kStripTimeLayout, "", kStripTime),
    LocalizeDialog(kAmplitude3Layout, "", kAmplitude3),
    LocalizeDialog(kChannelComboLayout, "Channels", kChannelComboEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kStripTimeLayout, "", kStripTime),
    LocalizeDialog(kAmplitude3Layout, "", kAmplitude3),
    LocalizeDialog(kChannelComboLayout, "Kanäle", kChannelComboGerman),
};

// The units of the online sweep's calibration bars; its channel names are the strip labels'
// (14394 + channel) of the view texts.
constexpr platform::StringEntry kEnglishStrings[] = {{16003, " s"}, {16004, " mV"}};
constexpr platform::StringEntry kGermanStrings[] = {{16003, " s"}, {16004, " mV"}};

}  // namespace

TCaliperStripTimeDlg::TCaliperStripTimeDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  CreateModeless(parent);
}

void TCaliperStripTimeDlg::DoDataExchange(win::DataExchange& dx) { win::DdxText(dx, kTextId, text); }

TCaliperAmplitude3Dlg::TCaliperAmplitude3Dlg(win::Window* parent, std::span<const int32_t> channels)
    : win::Dialog(kTemplateId, parent), channels_(channels.begin(), channels.end()) {
  if (channels_.empty()) {
    const std::span<const int32_t> recording = document::Context().g_RecordingChannels.Channels();
    channels_.assign(recording.begin(), recording.end());
  }
  CreateModeless(parent);
}

void TCaliperAmplitude3Dlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFirstValueId, first_value);
  win::DdxText(dx, kTimeId, time);
  win::DdxText(dx, kSecondValueId, second_value);
  win::DdxText(dx, kThirdValueId, third_value);
}

bool TCaliperAmplitude3Dlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  constexpr int kLabels[] = {kFirstLabelId, kSecondLabelId, kThirdLabelId};
  LabelMeasuredChannels(*this, kLabels, channels_);
  return true;
}

void LabelMeasuredChannels(win::Dialog& dialog, std::span<const int> label_ids,
                           std::span<const int32_t> channels) {
  for (size_t i = 0; i < label_ids.size() && i < channels.size(); ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "Ch.%d", static_cast<int>(channels[i]) + 1);
    dialog.SetDlgItemText(label_ids[i], text);
  }
}

void AddCaliperDialogResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanDialogs);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  win::Templates().Add(pack, kEnglishDialogs);
}
