#include "reports/print_envelopes_dlg.h"

#include "win/data_exchange.h"

TPrintEnvelopesDlg::TPrintEnvelopesDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  AddCommand(kSkipId, [this] { EndDialog(kSkipResult); });
}

bool TPrintEnvelopesDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  if (single_feed != 0) {
    if (win::Window* first = GetDlgItem(kFirstFeedId)) first->EnableWindow(false);
  }
  return true;
}

void TPrintEnvelopesDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kNameId, name);
  win::DdxRadio(dx, kFirstFeedId, feed_method);
}
