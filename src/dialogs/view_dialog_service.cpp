#include "dialogs/view_dialog_service.h"

#include <functional>
#include <utility>
#include <vector>

#include "dialogs/caliper_dlgs.h"
#include "dialogs/channel_combo_dlg.h"
#include "dialogs/small_value_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "views/window_area.h"

namespace {

// One readout dialog and the members its values go to, in the kind's order.
template <typename Dlg>
class Readout : public CCaliperReadout {
 public:
  using Members = std::vector<std::string Dlg::*>;

  Readout(std::unique_ptr<Dlg> dialog, Members members)
      : dialog_(std::move(dialog)), members_(std::move(members)) {}

  win::Window& GetWindow() override { return *dialog_; }
  void SetValues(std::span<const std::string> values) override {
    for (size_t i = 0; i < values.size() && i < members_.size(); ++i) (*dialog_).*members_[i] = values[i];
  }
  void UpdateData() override { dialog_->UpdateData(false); }
  Dlg& Dialog() { return *dialog_; }

 private:
  std::unique_ptr<Dlg> dialog_;
  Members members_;
};

template <typename Dlg>
std::unique_ptr<CCaliperReadout> MakeReadout(std::unique_ptr<Dlg> dialog,
                                             typename Readout<Dlg>::Members members) {
  if (!dialog->IsWindow()) return nullptr;
  return std::make_unique<Readout<Dlg>>(std::move(dialog), std::move(members));
}

}  // namespace

std::unique_ptr<CCaliperReadout> TViewDialogService::CreateCaliperReadout(CaliperReadoutKind kind,
                                                                          win::Window* host,
                                                                          std::span<const int32_t> channels) {
  switch (kind) {
    case CaliperReadoutKind::kAmplitude2: {
      auto dialog = std::make_unique<TCaliperAmplitude2Dlg>(host);
      // The values are those of the strip's channels: the labels name them, not the display choice.
      if (!channels.empty()) {
        constexpr int kLabels[] = {TCaliperAmplitude2Dlg::kFirstLabelId,
                                   TCaliperAmplitude2Dlg::kSecondLabelId};
        if (dialog->IsWindow()) LabelMeasuredChannels(*dialog, kLabels, channels);
      }
      return MakeReadout(std::move(dialog),
                         {&TCaliperAmplitude2Dlg::first_value, &TCaliperAmplitude2Dlg::second_value,
                          &TCaliperAmplitude2Dlg::time});
    }
    case CaliperReadoutKind::kAmplitude3:
      return MakeReadout(std::make_unique<TCaliperAmplitude3Dlg>(host, channels),
                         {&TCaliperAmplitude3Dlg::first_value, &TCaliperAmplitude3Dlg::second_value,
                          &TCaliperAmplitude3Dlg::third_value, &TCaliperAmplitude3Dlg::time});
    case CaliperReadoutKind::kStripTime:
      return MakeReadout(std::make_unique<TCaliperStripTimeDlg>(host), {&TCaliperStripTimeDlg::text});
    case CaliperReadoutKind::kHRValues:
      return MakeReadout(
          std::make_unique<TCaliperHRValuesDlg>(host),
          {&TCaliperHRValuesDlg::first, &TCaliperHRValuesDlg::second, &TCaliperHRValuesDlg::third});
    case CaliperReadoutKind::kTime:
      return MakeReadout(std::make_unique<TCaliperTimeDlg>(host), {&TCaliperTimeDlg::text});
    case CaliperReadoutKind::kSTValues: {
      // The trend window's document greys the rows of ST channels not analysed.
      const auto* window = dynamic_cast<const CAreaWnd*>(host);
      return MakeReadout(
          std::make_unique<TSTValuesDlg>(host, window != nullptr ? window->GetDocument() : nullptr),
          {&TSTValuesDlg::level0, &TSTValuesDlg::level1, &TSTValuesDlg::slope0, &TSTValuesDlg::slope1});
    }
  }
  return nullptr;
}

std::optional<int> TViewDialogService::ChooseChannels(win::Window* parent, int code, int channel_count,
                                                      bool allow_all, const std::string& caption) {
  TChannelComboDlg dialog(code, channel_count, allow_all, caption);
  dialog.SetParentWindow(parent);
  if (dialog.DoModal() != win::kIdOk) return std::nullopt;
  return dialog.channel_code;
}

void InstallViewDialogs() {
  static TViewDialogService service;
  SetViewDialogs(&service);
}
