#pragma once

#include <string>

#include "platform/archive.h"
#include "win/property_sheet.h"

class CZK470Doc;
class TRecordingData;

// The page of the patient data sheet on which the user enters the HRV time window: two clock
// times between which the HRV statistics count intervals separately. Field 1232 holds the first
// of the record's two HRV times (its window start), field 1233 the second (its window end).
// Taking the times back into the record is the sheet owner's business. User-interface thread only.
class THRVTimeDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 30735;
  static constexpr int kFirstTimeId = 1232;
  static constexpr int kSecondTimeId = 1233;
  static constexpr int kHintId = 1168;

  // Both times 0 (midnight), empty hint.
  THRVTimeDlg();
  // Copies the record's two HRV times and builds the entry hint. read_only: the activation
  // disables the two time fields.
  THRVTimeDlg(int read_only, const TRecordingData& record);
  // The form the sheet uses: document (not used beyond identifying the recording) and record.
  THRVTimeDlg(CZK470Doc* document, const TRecordingData& record) : THRVTimeDlg(0, record) {}

  bool OnSetActive() override;

  platform::OleDateTime hrv_window_start{0, 0.0};  // the record's first HRV time
  platform::OleDateTime hrv_window_end{0, 0.0};    // the record's second HRV time
  std::string hint;
  int read_only = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
