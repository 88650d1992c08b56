#include "tools/tape_wait_dlg.h"

#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/window.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;

constexpr DialogLayout kTapeWait{TTapeWaitDlg::kTemplateId, 220, 90};
constexpr ControlLayout kTapeWaitControls[] = {
    {TTapeWaitDlg::kAnimationId, ControlKind::kAnimation, 10, 8, 200, 30},
    {-1, ControlKind::kStatic, 10, 44, 200, 20},
    {TTapeWaitDlg::kCancelId, ControlKind::kPushButton, 85, 68, 50, 14},
};
constexpr auto kTapeWaitEnglish = LocalizeControls(
    kTapeWaitControls, {"", "Reading the tape. Please wait until the tape program has finished.", "Cancel"});
constexpr auto kTapeWaitGerman = LocalizeControls(
    kTapeWaitControls,
    {"", "Die Kassette wird gelesen. Bitte warten Sie, bis das Bandprogramm fertig ist.", "Abbrechen"});

constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kTapeWait, "Read tape", kTapeWaitEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kTapeWait, "Kassette einlesen", kTapeWaitGerman)};

}  // namespace

TTapeWaitDlg::TTapeWaitDlg(CZK470Doc& doc) : TTapeWaitDlg(doc, nullptr) {}

TTapeWaitDlg::TTapeWaitDlg(CZK470Doc& doc, win::Window* parent)
    : win::Dialog(kTemplateId, parent), doc_(doc), process_(std::make_shared<TTapeProcess>()) {
  AddCommand(kCancelId, [this] { OnCancelButton(); });
}

TTapeWaitDlg::~TTapeWaitDlg() {
  if (worker_) {
    process_->stop = true;
    worker_->Join();
  }
}

int TTapeWaitDlg::DoModal() {
  const int result = win::Dialog::DoModal();
  // After Cancel the worker has been told to stop; it kills the program before it ends.
  if (worker_) worker_->Join();
  return result;
}

void TTapeWaitDlg::DoDataExchange(win::DataExchange& dx) { win::DdxControl(dx, kAnimationId, animation_); }

bool TTapeWaitDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  if (animation_.Open(kClip)) animation_.Play();
  if (win::Window* cancel = GetDlgItem(kCancelId)) cancel->EnableWindow(false);
  SetTimer(kCancelTimer, kCancelDelayMs);

  worker_ = std::make_unique<platform::WorkerThread>();
  const win::WindowHandle target = Handle();
  auto result = std::make_shared<int>(tape::kNotStarted);
  worker_->Start([&doc = doc_, process = process_,
                  result](const platform::WorkerThread&) { *result = ReadBraemarTape(doc, *process); },
                 [target, result](const platform::WorkerResult& outcome) {
                   const int code = outcome.ok ? *result : tape::kNotStarted;
                   platform::UiThreadQueue().PostMessage(
                       target, kEndMessage, static_cast<uintptr_t>(static_cast<intptr_t>(code)), 0);
                 });
  return true;
}

void TTapeWaitDlg::OnTimer(uintptr_t id) {
  if (id != kCancelTimer) return;
  if (win::Window* cancel = GetDlgItem(kCancelId)) cancel->EnableWindow(true);
  KillTimer(kCancelTimer);
}

void TTapeWaitDlg::OnCancelButton() {
  // Once the program has ended the conversion runs to its end: there is nothing left to kill.
  if (process_->ended) return;
  process_->stop = true;
  EndDialog(kCancelled);
}

void TTapeWaitDlg::OnClose() { animation_.Close(); }

win::LResult TTapeWaitDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kEndMessage) {
    EndDialog(static_cast<int>(static_cast<intptr_t>(wparam)));
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

void AddTapeWaitResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
  }
}
