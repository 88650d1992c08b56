#include "dialogs/wait_dlgs.h"

WorkerWaitDialog::WorkerWaitDialog(int template_id, uint32_t end_message, std::function<void()> operation,
                                   win::Window* parent)
    : win::Dialog(template_id, parent), end_message_(end_message), operation_(std::move(operation)) {}

WorkerWaitDialog::~WorkerWaitDialog() {
  if (worker_) worker_->Join();
}

int WorkerWaitDialog::DoModal() {
  worker_.reset();
  error_.clear();
  const int result = win::Dialog::DoModal();
  if (!worker_) {
    // No window to wait in: the operation still has to happen.
    try {
      if (operation_) operation_();
    } catch (const std::exception& e) {
      error_ = e.what();
    }
    return result;
  }
  worker_->Join();
  if (!worker_->Result().ok) error_ = worker_->Result().error;
  return result;
}

bool WorkerWaitDialog::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  const win::WindowHandle window = Handle();
  const uint32_t message = end_message_;
  worker_ = std::make_unique<platform::WorkerThread>();
  worker_->Start([this](const platform::WorkerThread&) { if (operation_) operation_(); },
                [window, message](const platform::WorkerResult&) {
                  // Posted, never sent: the worker does not wait for the user-interface thread.
                  platform::UiThreadQueue().PostMessage(window, message);
                });
  return result;
}

win::LResult WorkerWaitDialog::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == end_message_) {
    EndDialog(1);
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}
