#include "dialogs/assignment_page.h"

#include "win/data_exchange.h"

TAssignmentPage::TAssignmentPage() : win::PropertyPage(kTemplateId) {}

bool TAssignmentPage::OnSetActive() {
  if (recorder_entry != 0) {
    for (const int id : {kText1Id, kText2Id, kText3Id})
      if (win::Window* field = GetDlgItem(id)) field->EnableWindow(false);
  }
  return win::PropertyPage::OnSetActive();
}

void TAssignmentPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kText1Id, assignment1);
  win::DdvMaxChars(dx, assignment1, 70);
  win::DdxText(dx, kText2Id, assignment2);
  win::DdvMaxChars(dx, assignment2, 1000);
  win::DdxText(dx, kText3Id, assignment3);
  win::DdvMaxChars(dx, assignment3, 1000);
}
