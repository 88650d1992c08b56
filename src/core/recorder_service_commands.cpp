#include "core/recorder_service_commands.h"

#include <optional>
#include <string>
#include <vector>

#include "dialogs/comm_error_dlg.h"
#include "dialogs/items_dlg.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "recorder/service/raw_data_test_dlg.h"
#include "recorder/service/recorder_test_dlg.h"
#include "recorder/service/service_dialog_ui.h"
#include "recorder/service/usb_test_dlg.h"
#include "recorder/service/zk131_test_dlg.h"
#include "tools/run_family.h"
#include "win/prompt.h"

namespace {

// The service dialogs' questions through the program's list and communication-error dialogs.
class ServiceDialogUiImpl : public recorder::ServiceDialogUi {
 public:
  explicit ServiceDialogUiImpl(win::Window* parent) : parent_(parent) {}

  std::optional<int> ChooseItem(const std::string& title, const std::string& text,
                                const std::vector<std::string>& items) override {
    TItemsDlg dialog(nullptr, title, text, 1);
    dialog.input = items;
    dialog.SetParentWindow(parent_);
    if (dialog.DoModal() != win::kIdOk || dialog.end_reason != TItemsDlg::kSelected ||
        dialog.selected.empty())
      return std::nullopt;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == dialog.selected.back()) return static_cast<int>(i);
    return std::nullopt;
  }

  bool AskRetryAfterCommError() override { return TCommErrorDlg(parent_).DoModal() == 1; }

 private:
  win::Window* parent_;
};

void ReturnToStartScreen(CZK470Doc& document) {
  document.SetDisplayMode(DisplayMode::kNone);
  document.UpdateAllViews(nullptr, hint::kDocumentChanged);
}

void RunRawDataTest(CZK470Doc& document, win::Window* parent) {
  TRawDataTestDlg dialog(document, parent);
  if (dialog.DoModal() != win::kIdOk) return;
  win::FileDialogRequest request;
  request.open = false;
  request.file_name = "ZK131ECG";
  request.filter = "RAW files (*.RAW)|*.RAW|All files (*.*)|*.*||";
  request.default_extension = "RAW";
  const std::optional<std::string> path = win::CurrentPrompt().ChooseFile(request);
  if (!path) return;
  std::string result;
  const int done = CreateRawTestImage(*path, static_cast<uint32_t>(dialog.length), result);
  win::CurrentPrompt().MessageBox(done == 1 ? "Finished" : result, "ZK-470", win::kMbOk);
}

}  // namespace

void RunRecorderServiceCommand(int command, CZK470Doc& document, win::Window* parent) {
  // The test image closes the recording first, while the language's texts still serve its
  // save question.
  if (command == kCmdRawDataTest) tools::ResetDocument(document);
  const platform::ScopedExeResources own_resources;
  static const platform::SystemLocale locale;
  ServiceDialogUiImpl ui(parent);
  switch (command) {
    case kCmdRecorderTest: {
      ReturnToStartScreen(document);
      TRecorderTestDlg dialog(document, ui, locale, parent);
      dialog.DoModal();
      return;
    }
    case kCmdZK131Test: {
      ReturnToStartScreen(document);
      TZK131TestDlg dialog(document, ui, locale, parent);
      dialog.DoModal();
      return;
    }
    case kCmdUsbTest: {
      TUSBTestDlg dialog(document, ui, locale, parent);
      dialog.DoModal();
      return;
    }
    case kCmdRawDataTest:
      RunRawDataTest(document, parent);
      return;
    default:
      return;
  }
}
