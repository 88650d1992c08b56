#pragma once

#include <cstdint>
#include <vector>

#include "recorder/service/service_test_dlg.h"

// Checks the USB side of the recorder connection: the USB devices present, the converter device
// names that open, the device search, and a timed read of the open recording.
class TUSBTestDlg : public TServiceTestDlg {
 public:
  static constexpr int kTemplateId = 316;
  static constexpr int kLogId = 1470;
  static constexpr int kClearLogId = 1471;
  static constexpr int kTest1Id = 1472;
  static constexpr int kTest4Id = 1475;
  static constexpr int kConfirmId = 1476;
  // Devices listed by test 1 and names probed by test 2.
  static constexpr int kMaxDevices = 32;
  // Bytes of a device name kept.
  static constexpr size_t kMaxNameBytes = 256;

  // One window of the read test, in whole minutes.
  struct ReadWindow {
    int first_minute;
    int minutes;
    bool operator==(const ReadWindow&) const = default;
  };
  // Two-minute windows from the start that together read the recording once and never reach
  // past its end.
  static std::vector<ReadWindow> ReadTestWindows(int recording_minutes);

  TUSBTestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui, const platform::Locale& locale,
              win::Window* parent = nullptr);

  // Test 1 to 4, as the button does.
  void RunTest(int test);
  // Minutes of channel set 0 the last read test copied.
  int MinutesRead() const { return minutes_read_; }
  // The latest minute it copied, -1 for none.
  int LastMinuteRead() const { return last_minute_read_; }

 private:
  void EnumerateDevices();
  void ProbeDevices();
  void SearchDevices();
  void ReadRecording();

  int minutes_read_ = 0;
  int last_minute_read_ = -1;
};
