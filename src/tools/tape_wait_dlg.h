#pragma once

#include <memory>

#include "platform/ids.h"
#include "platform/worker.h"
#include "tools/tape_conversion.h"
#include "win/controls.h"
#include "win/dialog.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The modal wait of the tape read-in: its worker runs the tape program and the conversion
// (ReadBraemarTape) and posts 0x40F with the program's exit code, which ends the dialog with it.
// Cancel is enabled 6 s after the start by a window timer; it kills the program, so that nothing
// is converted, and ends the dialog with 2. Enter, Esc and closing the window do not end it.
// User-interface thread only.
class TTapeWaitDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30729;
  static constexpr int kAnimationId = 1206;
  static constexpr int kCancelId = 1210;
  static constexpr uintptr_t kCancelTimer = 1;
  static constexpr int kCancelDelayMs = 6000;
  static constexpr uint32_t kEndMessage = msg::kTapeEnd;
  static constexpr int kCancelled = 2;
  static constexpr const char* kClip = "FILECOPY.AVI";

  explicit TTapeWaitDlg(CZK470Doc& doc);
  TTapeWaitDlg(CZK470Doc& doc, win::Window* parent);
  ~TTapeWaitDlg() override;

  // The program's exit code, 2 after Cancel; -1 when the dialog could not be shown.
  int DoModal() override;

  // Button 1210.
  void OnCancelButton();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnClose() override;
  void OnTimer(uintptr_t id) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  CZK470Doc& doc_;
  win::Animation animation_;
  // Shared with the worker, which may outlive the window by the time it takes to see the stop.
  std::shared_ptr<TTapeProcess> process_;
  std::unique_ptr<platform::WorkerThread> worker_;
};

// The wait dialog's template: German to the German pack, English to every other one.
void AddTapeWaitResources(platform::ResourcePack& pack);
