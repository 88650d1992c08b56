#include "core/pdf_convert_wait_dlg.h"

#include <cstdio>

TPdfConvertWaitDlg::TPdfConvertWaitDlg(std::function<int()> conversion, win::Window* parent)
    : win::Dialog(kTemplateId, parent), conversion_(std::move(conversion)) {}

TPdfConvertWaitDlg::~TPdfConvertWaitDlg() {
  if (worker_) worker_->Join();
}

int TPdfConvertWaitDlg::DoModal() {
  const int result = win::Dialog::DoModal();
  if (worker_) worker_->Join();
  if (worker_ || !conversion_) return result;
  // No dialog: the conversion still has to run.
  try {
    return conversion_();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "zk470: PDF conversion: %s\n", error.what());
    return 0;
  }
}

bool TPdfConvertWaitDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  worker_ = std::make_unique<platform::WorkerThread>();
  const win::WindowHandle target = Handle();
  auto result = std::make_shared<int>(0);
  worker_->Start(
      [conversion = conversion_, result](const platform::WorkerThread&) {
        if (conversion) *result = conversion();
      },
      [target, result](const platform::WorkerResult& outcome) {
        if (!outcome.ok) std::fprintf(stderr, "zk470: PDF conversion: %s\n", outcome.error.c_str());
        platform::UiThreadQueue().PostMessage(target, kEndMessage, static_cast<uintptr_t>(outcome.ok ? *result : 0), 0);
      });
  return true;
}

win::LResult TPdfConvertWaitDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kEndMessage) {
    EndDialog(static_cast<int>(wparam));
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}
