#include "dialogs/template_review_dlgs.h"

#include "dialogs/small_dlgs.h"
#include "dialogs/small_value_dlgs.h"

std::optional<std::string> TTemplateReviewDialogService::AskNumber(const std::string& initial) {
  TNumberInputDlg dialog(initial);
  if (dialog.DoModal() != win::kIdOk) return std::nullopt;
  return dialog.text;
}

bool TTemplateReviewDialogService::ChooseDelete(win::Window* parent) {
  TDeleteChoiceDlg dialog(parent);
  return dialog.DoModal() == TDeleteChoiceDlg::kDeleteId;
}

void InstallTemplateReviewDialogs() {
  static TTemplateReviewDialogService service;
  SetTemplateReviewDialogs(&service);
}
