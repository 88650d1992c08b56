#include "recorder/read_recorder_dlg.h"

#include <future>

#include "platform/resources.h"
#include "platform/worker.h"
#include "recorder/recorder_search.h"
#include "win/controls.h"
#include "win/dialog_template.h"
#include "win/messages.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;

constexpr ControlTemplate kReadRecorderControls[] = {
    {-1, ControlKind::kStatic, "Read ECG-data...", 7, 7, 186, 8},
    {TReadRecorderDlg::kProgressId, ControlKind::kProgressBar, "", 7, 20, 186, 10},
    {-1, ControlKind::kStatic, "0%", 7, 33, 30, 8},
    {-1, ControlKind::kStatic, "100%", 163, 33, 30, 8, win::kSsRight},
    {TReadRecorderDlg::kCancelId, ControlKind::kPushButton, "Cancel", 75, 46, 50, 14},
};

constexpr DialogTemplate kOwnDialogs[] = {
    {TReadRecorderDlg::kTemplateId, "Read ZK-131 SD-Card", 200, 67, kReadRecorderControls},
};

constexpr platform::StringEntry kOwnStrings[] = {
    {TRecorderReader::kStrCardDriver, "VxD/sys error !\nPlease install the appropriate device driver !"},
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {TRecorderReader::kStrBrokenOff,
     "The data transfer was interrupted !\nPlease check the connection to the Holter and try again."},
    {TRecorderReader::kStrNoData, "No ECG data received from the Holter !"},
    {TRecorderReader::kStrEmptyRecorder, "The Holter memory is empty !\nThere is no recording to read."},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {TRecorderReader::kStrBrokenOff,
     "Die Datenübertragung wurde unterbrochen !\nBitte prüfen Sie die Verbindung zum Holter und versuchen "
     "Sie "
     "es erneut."},
    {TRecorderReader::kStrNoData, "Vom Holter wurden keine EKG-Daten empfangen !"},
    {TRecorderReader::kStrEmptyRecorder,
     "Der Speicher des Holters ist leer !\nEs ist keine Aufzeichnung zum Auslesen vorhanden."},
};

}  // namespace

void AddReadRecorderResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  if (win::IsExePack(pack)) {
    pack.AddStrings(kOwnStrings);
    win::Templates().Add(pack, kOwnDialogs);
  }
}

TReadRecorderDlg::TReadRecorderDlg(win::Window* parent, CZK470Doc& doc, TRecorderReader::DeviceSearch search)
    : win::Dialog(kTemplateId, parent),
      reader_(std::make_unique<TRecorderReader>(
          doc, static_cast<TRecorderReader::Ui&>(*this),
          search ? std::move(search) : [](CZK470Doc& d) { return recorder::FindRecorders(d, -1, -1); })),
      ui_thread_(std::this_thread::get_id()) {
  AddCommand(kCancelId, [this] { reader_->Cancel(); });
}

TReadRecorderDlg::~TReadRecorderDlg() {
  // The reader must outlive the worker that uses it.
  if (worker_) {
    reader_->Cancel();
    worker_->Join();
  }
}

bool TReadRecorderDlg::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  if (!reader_->Start()) {
    EndDialog(kResultCancelled);
    return result;
  }
  const win::WindowHandle window = Handle();
  worker_ = std::make_unique<platform::WorkerThread>();
  worker_->Start([this](const platform::WorkerThread&) { reader_->Run(); },
                 [window](const platform::WorkerResult& outcome) {
                   // Always posted, so that the dialog never waits for ever; wparam 1 when Run threw.
                   platform::UiThreadQueue().PostMessage(window, kEndMessage, outcome.ok ? 0 : 1);
                 });
  return result;
}

void TReadRecorderDlg::OnOK() { reader_->Cancel(); }
void TReadRecorderDlg::OnCancel() { reader_->Cancel(); }

win::LResult TReadRecorderDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kEndMessage) {
    if (worker_) worker_->Join();
    EndDialog(reader_->Succeeded() && wparam == 0 ? kResultDone : kResultCancelled);
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

void TReadRecorderDlg::OnUiThread(const std::function<void()>& task) {
  if (std::this_thread::get_id() == ui_thread_) {
    task();
    return;
  }
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  platform::UiThreadQueue().PostTask([&task, &done] {
    try {
      task();
    } catch (...) {
      // The worker waits for this; it must always hear back.
    }
    done.set_value();
  });
  finished.wait();
}

void TReadRecorderDlg::Beep() {
  OnUiThread([] { win::Windows().MessageBeep(); });
}

void TReadRecorderDlg::ShowMessage(const std::string& text) {
  OnUiThread(
      [&text] { win::CurrentPrompt().MessageBox(text, "ZK-470", win::kMbOk | win::kMbIconExclamation); });
}

bool TReadRecorderDlg::AskRetry() {
  bool retry = false;
  OnUiThread([&retry] { retry = recorder::SearchUi().AskRetryAfterCommError(); });
  return retry;
}

void TReadRecorderDlg::PostProgress(std::function<void(win::ProgressBar&)> change) {
  const win::WindowHandle window = Handle();
  // Not waited for: the bar only shows how far the transfer is.
  platform::UiThreadQueue().PostTask([window, change = std::move(change)] {
    auto* dialog = dynamic_cast<TReadRecorderDlg*>(win::Windows().FromHandle(window));
    if (dialog == nullptr) return;
    if (auto* bar = dialog->Item<win::ProgressBar>(kProgressId)) change(*bar);
  });
}

void TReadRecorderDlg::SetProgressRange(int upper) {
  PostProgress([upper](win::ProgressBar& bar) { bar.SetRange32(0, upper); });
}

void TReadRecorderDlg::SetProgressPos(int pos) {
  PostProgress([pos](win::ProgressBar& bar) { bar.SetPos(pos); });
}
