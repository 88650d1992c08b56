#pragma once

#include <functional>
#include <memory>

#include "core/core_ids.h"
#include "platform/ids.h"
#include "platform/worker.h"
#include "win/dialog.h"

// The modal wait dialog of the report's PDF export: its worker thread runs the view's PDF
// conversion and posts 1025 with the conversion's result, which ends the dialog with that result.
// Enter and Esc do nothing, so the dialog stays until the conversion has ended; the worker always
// reports, also when the conversion threw (then with result 0). User-interface thread only.
class TPdfConvertWaitDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = core_ids::kPdfConvertWaitTemplate;
  static constexpr uint32_t kEndMessage = msg::kWorkerEnd;

  // conversion: the view's CreateReportPdf, run on the worker thread.
  TPdfConvertWaitDlg(std::function<int()> conversion, win::Window* parent = nullptr);
  ~TPdfConvertWaitDlg() override;

  // The conversion's result (0 when it threw). When the dialog cannot be shown the conversion
  // runs on the caller's thread instead.
  int DoModal() override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  std::function<int()> conversion_;
  std::unique_ptr<platform::WorkerThread> worker_;
};
