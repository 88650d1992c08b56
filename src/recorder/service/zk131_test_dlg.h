#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "recorder/service/service_test_dlg.h"

// The command tester: one button per command word of the recorders, each sent on its own and
// logged byte by byte with what came back. Opened modally by a service command of the main frame.
class TZK131TestDlg : public TServiceTestDlg {
 public:
  static constexpr int kTemplateId = 315;
  static constexpr int kLogId = 1409;
  static constexpr int kClearLogId = 1410;
  static constexpr int kConfirmId = 1411;
  static constexpr int kFirstCommandId = 1412;
  static constexpr int kLastCommandId = 1458;

  TZK131TestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui, const platform::Locale& locale,
                win::Window* parent = nullptr);

  // The button's caption from the program's template; empty for an id outside the range.
  static std::string_view Caption(int id);
  // Runs the operation of a command button as a press does.
  void RunCommand(int id);

 private:
  void RunOperation(int id);
  bool SendWord(std::string_view word, recorder::ServiceFamily family);
  void ReadRecordBlock(bool review);
  void ProgramZK130TestPatient();
  void SendTestPatientBlock();
  void SendTestRecordingBlock();
  void ShowPatientBlock();
  void ShowRecordingBlock();
  void SendRecLen();
  void SendFlexBlock();
  void GetFlexBlock();
  void SendFileVersion();
  void StatusQuery(int id);
};
