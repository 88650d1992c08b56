#include "dialogs/diagnosis_page.h"

#include "win/data_exchange.h"

TDiagnosisPage::TDiagnosisPage(std::string text) : win::PropertyPage(kTemplateId), diagnosis(std::move(text)) {}

bool TDiagnosisPage::OnSetActive() {
  if (win::Window* field = GetDlgItem(kTextId)) field->EnableWindow(recorder_entry == 0);
  return win::PropertyPage::OnSetActive();
}

void TDiagnosisPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kTextId, diagnosis);
  win::DdvMaxChars(dx, diagnosis, kMaxChars);
}
