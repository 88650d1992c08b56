#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/ids.h"
#include "recorder/recorder_reader.h"
#include "win/dialog.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
class WorkerThread;
}  // namespace platform

// The read-out dialog (template 164 of the program's own resources): a progress bar in kilobytes
// and Cancel. It owns the reader; its worker runs TRecorderReader::Run and posts kEndMessage. The
// worker's messages and questions reach the user-interface thread through posts it waits on.
// Cancel, Enter and closing the window only ask the reader to stop: the dialog ends when the
// worker's end message arrives, never before. Ends with 0 when the recording was read, else 1084.
class TReadRecorderDlg : public win::Dialog, private TRecorderReader::Ui {
 public:
  static constexpr int kTemplateId = 164;
  static constexpr int kProgressId = 1046;
  static constexpr int kCancelId = 1084;
  static constexpr uint32_t kEndMessage = msg::kEngineEnd;
  static constexpr int kResultDone = 0;
  static constexpr int kResultCancelled = kCancelId;

  // search: the device search; empty takes recorder::FindRecorders with the settings. The
  // communication-error dialog is the one of recorder::SearchUi().
  TReadRecorderDlg(win::Window* parent, CZK470Doc& doc, TRecorderReader::DeviceSearch search = {});
  ~TReadRecorderDlg() override;

  TRecorderReader& Reader() { return *reader_; }
  const std::string& GetResultPath() const { return reader_->GetResultPath(); }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  // TRecorderReader::Ui
  void Beep() override;
  void ShowMessage(const std::string& text) override;
  bool AskRetry() override;
  void SetProgressRange(int upper) override;
  void SetProgressPos(int pos) override;

  // Runs task on the user-interface thread and waits for it (at once when called there).
  void OnUiThread(const std::function<void()>& task);
  void PostProgress(std::function<void(win::ProgressBar&)> change);

  std::unique_ptr<TRecorderReader> reader_;
  std::unique_ptr<platform::WorkerThread> worker_;
  std::thread::id ui_thread_;
};

// The template, the report texts and the driver messages.
void AddReadRecorderResources(platform::ResourcePack& pack);
