#include "dialogs/hrv_time_dlg.h"

#include "dialogs/date_time_text.h"
#include "document/recording_data.h"
#include "win/data_exchange.h"

THRVTimeDlg::THRVTimeDlg() : win::PropertyPage(kTemplateId) {}

THRVTimeDlg::THRVTimeDlg(int read_only, const TRecordingData& record)
    : win::PropertyPage(kTemplateId),
      hrv_window_start(record.hrv_window_start),
      hrv_window_end(record.hrv_window_end),
      read_only(read_only) {
  hint = dialogs::TimeEntryHint(dialogs::DialogLocale(), "hh", "mm", "ss");
}

bool THRVTimeDlg::OnSetActive() {
  if (read_only != 0) {
    for (const int id : {kFirstTimeId, kSecondTimeId})
      if (win::Window* field = GetDlgItem(id)) field->EnableWindow(false);
  }
  return win::PropertyPage::OnSetActive();
}

void THRVTimeDlg::DoDataExchange(win::DataExchange& dx) {
  dialogs::DdxDateTimeText(dx, kFirstTimeId, hrv_window_start);
  dialogs::DdxDateTimeText(dx, kSecondTimeId, hrv_window_end);
  win::DdxText(dx, kHintId, hint);
}
