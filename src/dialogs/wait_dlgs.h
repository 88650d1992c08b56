#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ids.h"
#include "platform/worker.h"
#include "win/dialog.h"

// A modal dialog that runs one document operation on a worker thread and ends with 1 when the
// worker posts its end message; Enter, Esc and closing the window do nothing, so the user cannot
// leave it while the document is busy. The worker always posts, also when the operation threw
// (the dialog must not stay up for ever). Each dialog keeps its own parameters, so dialogs of the
// same kind do not share state. User-interface thread only (the operation runs on the worker).
class WorkerWaitDialog : public win::Dialog {
 public:
  WorkerWaitDialog(int template_id, uint32_t end_message, std::function<void()> operation, win::Window* parent);
  ~WorkerWaitDialog() override;

  // Runs the dialog and waits for the worker to finish. When the dialog cannot be shown the
  // operation runs here on the caller's thread instead, and the result is -1.
  int DoModal() override;
  // What the operation threw, empty when it returned normally.
  const std::string& Error() const { return error_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  uint32_t end_message_;
  std::function<void()> operation_;
  std::unique_ptr<platform::WorkerThread> worker_;
  std::string error_;
};

// Runs the pacemaker analysis of the document (template 30733, end message 0x401).
class TRecalcProgressDlg : public WorkerWaitDialog {
 public:
  static constexpr int kTemplateId = 30733;
  static constexpr uint32_t kEndMessage = msg::kWorkerEnd;
  TRecalcProgressDlg(win::Window* parent, std::function<void()> run_pacemaker_analysis)
      : WorkerWaitDialog(kTemplateId, kEndMessage, std::move(run_pacemaker_analysis), parent) {}
};

// Runs the automatic deletion of old recordings (template 30726, end message 0x40D).
class TWorkWaitDlg : public WorkerWaitDialog {
 public:
  static constexpr int kTemplateId = 30726;
  static constexpr uint32_t kEndMessage = msg::kAutoDeleteEnd;
  explicit TWorkWaitDlg(std::function<void()> auto_delete_old_recordings, win::Window* parent = nullptr)
      : WorkerWaitDialog(kTemplateId, kEndMessage, std::move(auto_delete_old_recordings), parent) {}
};
