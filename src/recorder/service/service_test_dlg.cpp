#include "recorder/service/service_test_dlg.h"

#include "win/data_exchange.h"

TServiceTestDlg::TServiceTestDlg(int template_id, int log_id, int confirm_id, int clear_id,
                                 CZK470Doc& document, recorder::ServiceDialogUi& ui,
                                 const platform::Locale& locale, win::Window* parent)
    : win::Dialog(template_id, parent),
      document_(document),
      ui_(ui),
      locale_(locale),
      log_id_(log_id),
      confirm_id_(confirm_id) {
  AddCommand(clear_id, [this] { log_.Clear(); });
}

void TServiceTestDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, log_id_, log_);
  win::DdxCheck(dx, confirm_id_, confirm_);
}

bool TServiceTestDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  // A fixed-pitch face, so that the columns of the hex dumps line up.
  font_ = gfx::Font{-12, 0, 0, 100, false, false, false, "Courier new"};
  log_.SetFont(font_, false);
  log_.SetAutoScroll(true);
  return true;
}

void TServiceTestDlg::OnOK() {
  session_.Close();
  EndDialog(win::kIdOk);
}

void TServiceTestDlg::OnCancel() {
  session_.Close();
  EndDialog(win::kIdCancel);
}

void TServiceTestDlg::EnableControls(int except_id, bool enable) {
  for (win::Window* child : Children()) {
    const int id = child->GetDlgCtrlID();
    if (id <= 0 || id == except_id || id == log_id_) continue;
    child->EnableWindow(enable);
  }
}

void TServiceTestDlg::BeginOperation(int pressed_id, std::string_view caption) {
  UpdateData(true);
  EnableControls(pressed_id, false);
  win::Windows().BeginWaitCursor();
  session_.LogStart(caption);
}

void TServiceTestDlg::EndOperation(std::string_view caption) {
  session_.LogEnd(caption);
  win::Windows().EndWaitCursor();
  EnableControls(0, true);
}
