#pragma once

#include <cstdint>
#include <span>

#include "recorder/service/service_test_dlg.h"

// The service dialog of the two-channel recorder family: reads the patient record back through
// the review stream, programs one of two test patients and starts a recording, or only resets the
// recorder; every command and answer goes to the log. Each operation opens the link afresh and
// deletes it at its end.
class TRecorderTestDlg : public TServiceTestDlg {
 public:
  static constexpr int kTemplateId = 313;
  static constexpr int kGetPatientId = 1394;
  static constexpr int kSetPatient1Id = 1395;
  static constexpr int kClearLogId = 1396;
  static constexpr int kSetPatient2Id = 1397;
  static constexpr int kResetId = 1398;
  static constexpr int kLogId = 1399;
  static constexpr int kConfirmId = 1400;
  // Bytes read of the review stream.
  static constexpr size_t kReviewReadBytes = 500;

  TRecorderTestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui, const platform::Locale& locale,
                   win::Window* parent = nullptr);

  // Operation 0 read the record, 1 and 2 program a test patient, 3 reset.
  void RunOperation(int operation);

 private:
  bool OperationSteps(int operation);
  bool ReadPatientRecord();
  bool ProgramTestPatient(int patient);
  void LogReviewRecord(std::span<const uint8_t> stream, size_t marker);
};
