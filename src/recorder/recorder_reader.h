#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/patient_data.h"
#include "document/recording_data.h"

class CZK470Doc;

namespace recorder {
class RecorderLink;
}

// Copies a finished recording out of the attached recorder into the data directory: the samples
// (".cmp"), a document file (".qrs") with the patient and recording records and empty lists, and
// for the SD-card recorder the voice (".pid"). Start runs on the user-interface thread (it
// searches the recorder and connects); Run does all link traffic and file writing on the worker;
// Cancel may come from any thread. Nothing named as a recording appears in the data directory
// before every file of it is complete; a read-out that fails or is cancelled leaves only what
// was there before and deletes its work files. Every wait goes through recorder::Clock().
class TRecorderReader {
 public:
  // What the read-out shows the user. Called on the thread that runs Start or Run; an
  // implementation for a worker hands each call to the user-interface thread and waits for it.
  class Ui {
   public:
    virtual ~Ui() = default;
    virtual void Beep() = 0;
    // A message box with the exclamation icon.
    virtual void ShowMessage(const std::string& text) = 0;
    // The communication-error dialog; true for Retry.
    virtual bool AskRetry() = 0;
    // Kilobytes.
    virtual void SetProgressRange(int upper) = 0;
    virtual void SetProgressPos(int pos) = 0;
  };
  // The device search: the recorder kind (2, 3, 4; anything else finds none). It leaves the
  // device name, firmware and 72-hour capability in the document's recorder identification.
  using DeviceSearch = std::function<int(CZK470Doc&)>;

  // Error reports.
  static constexpr int kReportNotOpen = 1;
  static constexpr int kReportBrokenOff = 2;
  static constexpr int kReportCommError = 3;
  static constexpr int kReportNoData = 4;
  static constexpr int kReportEmptyRecorder = 5;

  // Strings of the reports.
  static constexpr int kStrBrokenOff = 32788;
  static constexpr int kStrCardDriver = 32789;
  static constexpr int kStrNoData = 32792;
  static constexpr int kStrEmptyRecorder = 33223;
  static constexpr int kStrUsbDriver = 33233;

  TRecorderReader(CZK470Doc& doc, Ui& ui, DeviceSearch search);
  ~TRecorderReader();
  TRecorderReader(const TRecorderReader&) = delete;
  TRecorderReader& operator=(const TRecorderReader&) = delete;

  // Prepares the sample file, searches the recorder and connects; true when the transfer can begin.
  [[nodiscard]] bool Start();
  void Run();
  void Cancel() { cancel_.store(true); }
  bool Cancelled() const { return cancel_.load(); }

  bool Succeeded() const { return success_; }
  // The ".qrs" to open: the new or existing recording, or the work file when the files could not
  // be moved; empty when the read-out did not finish.
  const std::string& GetResultPath() const { return result_path_; }
  bool Moved() const { return moved_; }
  int GetRecorderKind() const { return recorder_kind_; }
  const TPatientData& GetPatientData() const { return patient_; }
  const TRecordingData& GetRecordingData() const { return recording_; }

 private:
  class OutFile;

  bool Connect();
  bool Request();
  bool RequestZK131();
  bool LinkReady();
  void ReceiveECG();
  void ReadReviewHead();
  void ReceiveVoice();
  void ConvertVoice();
  void Finish();
  void Report(int report);
  void WriteFailed(const std::string& path, int error);
  bool WriteDocumentFile();
  // Appends stream bytes; whole buffers go to the file.
  bool Append(OutFile& file, const uint8_t* data, size_t count, bool test_first_buffer);
  bool Flush(OutFile& file, size_t count);
  void BrokenOff(bool voice);
  void Progress(int64_t bytes);
  void RemoveOwnFiles();
  bool IsStream130() const;

  CZK470Doc& doc_;
  Ui& ui_;
  DeviceSearch search_;
  std::string result_path_;
  bool moved_ = false;
  std::atomic<bool> cancel_{false};
  std::unique_ptr<recorder::RecorderLink> link_;
  bool link_open_ = false;
  int64_t received_ = 0;
  bool done_ = false;
  int empty_reads_ = 0;
  int failed_reads_ = 0;
  std::vector<uint8_t> buffer_;
  size_t buffer_count_ = 0;
  int64_t ecg_length_ = 0;
  int64_t voice_length_ = 0;
  bool data_tested_ = false;
  int recorder_kind_ = 9;
  bool success_ = false;
  std::unique_ptr<OutFile> sample_file_;
  std::unique_ptr<OutFile> voice_file_;
  TPatientData patient_;
  TRecordingData recording_;
  // Work files this read-out made (kind 0..3 -> path); removed unless the recording took them.
  std::vector<std::pair<int, std::string>> own_files_;
};
